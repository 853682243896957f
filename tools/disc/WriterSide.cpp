// The writer side the audio CD windows share: writers, speeds, the disc's facts, and the
// listing of the files to burn.
#include "tools/disc/WriterSide.h"

#include "common/mdlFunctions.h"
#include "components/cAudioBurner/cAudioBurner.h"
#include "components/cGrid/cGrid.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"

#include <QComboBox>
#include <QLabel>

#include <cmath>

namespace WriterSide {

namespace {
constexpr qint32 kGreen = 32768;
constexpr qint32 kRed = 255;
} // namespace

bool LoadWriters(cAudioBurner* burner, QComboBox* cboDrv)
{
    const qint32 n = burner->GetWriterCount();
    for (qint32 i = 1; i <= n; ++i)
        cboDrv->addItem(burner->GetWriterName(i));
    if (cboDrv->count() < 1)
        return false;
    cboDrv->setCurrentIndex(0);
    return true;
}

QString DriveLetter(const QComboBox* cboDrv)
{
    return cboDrv->currentText().left(1);
}

void LoadSpeeds(cAudioBurner* burner, QComboBox* cboSpeed, const QString& drive)
{
    const qint32 n = burner->GetSpeedCount(drive);
    QStringList speeds;
    for (qint32 i = 1; i <= n; ++i)
        speeds << burner->GetSpeed(i);
    FillSpeeds(cboSpeed, speeds);
}

void FillSpeeds(QComboBox* cboSpeed, const QStringList& speeds)
{
    cboSpeed->clear();
    for (const QString& s : speeds) {
        const qint32 kbs = s.trimmed().toInt();
        cboSpeed->addItem(s + QStringLiteral(" KB/s (") + QString::number(kbs / 176) + QStringLiteral("x)"), kbs);
    }
    cboSpeed->addItem(QStringLiteral("Max."), kFastest);
    cboSpeed->setCurrentIndex(cboSpeed->count() - 1);
}

bool SayNoWriter(const QComboBox* cboDrv, QPlainTextEdit* log)
{
    if (cboDrv->count() > 0)
        return false;
    const QString text = QStringLiteral("There is no CD writer: connect one, then open this window again.");
    AddLog(text, log);
    MsgBox(text, vbOKOnly + vbExclamation);
    return true;
}

bool AddTracks(cAudioBurner* burner, cGrid* grid, QPlainTextEdit* log, const bool& aborted,
               const std::function<void(qint32 row)>& refused)
{
    const qint32 rows = grid->Rows();
    for (qint32 row = 1; row <= rows; ++row) {
        const QString file = RowText(grid, row, QStringLiteral("COL_FILE"));
        if (file.isEmpty())
            continue;
        const bool added = burner->AddTrack(file);
        // The refusal an abort causes is no fault of the file.
        if (aborted) {
            burner->ClearTracks();
            return false;
        }
        if (!added) {
            AddLog(QStringLiteral("Cannot add ") + GetFileName(file), log);
            refused(row);
        }
    }
    return true;
}

qint32 ChosenSpeed(const QComboBox* cboSpeed)
{
    const QVariant speed = cboSpeed->currentData();
    return speed.isValid() ? speed.toInt() : kFastest;
}

void ShowDisc(cAudioBurner* burner, const QString& drive, QLabel* size, QLabel* capacity, QLabel* state)
{
    size->setText(QString::number(burner->GetDiscSize(drive)));
    const double minutes = double(burner->GetDiscCapacity(drive)) / 153535.0 / 60.0;
    capacity->setText(QString::number(qint64(std::nearbyint(minutes))) + QStringLiteral(" Min"));
    const QString text = burner->GetDiscState(drive);
    QFont font = state->font();
    if (text.isEmpty()) {
        state->setText(QStringLiteral("OK - Ready to be burn."));
        SetForeColor(state, kGreen);
        font.setBold(false);
    } else {
        state->setText(text);
        SetForeColor(state, kRed);
        font.setBold(true);
    }
    state->setFont(font);
}

} // namespace WriterSide
