// The duplicator's source side: the source drives, the test of the disc in the chosen one
// with its status texts, the list of its tracks, the source tray, and the copy loop that
// rips every track into a temporary WAV file before the burn and ends the duplication.
#include "tools/disc/frmAudioCDDuplicator.h"

#include "common/mdlFunctions.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/audio/AudioSettings.h"
#include "components/cAudioCDRipper/cAudioCDRipper.h"
#include "components/cGrid/cGrid.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "platform/FileIdentity.h"
#include "platform/MessageService.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

namespace {
constexpr qint32 kBlack = 0;
constexpr qint32 kRed = 255;
const QString kInsertAudioCD = QStringLiteral("Insert an Audio CD to the CD drive.");

QString TrackName(qint32 track)
{
    return QStringLiteral("Track%1.cda").arg(track, 2, 10, QLatin1Char('0'));
}
} // namespace

void frmAudioCDDuplicator::FillCDDevices()
{
    const qint32 n = cAudioCDRipper1->GetDeviceCount();
    for (qint32 i = 0; i < n; ++i)
        cboDevices->addItem(cAudioCDRipper1->GetDeviceName(i));
    if (cboDevices->count() > 0) {
        cboDevices->setCurrentIndex(0);
        cboDevices_Click(false);
    }
}

void frmAudioCDDuplicator::cboDevices_Click(bool chosen)
{
    const QString drive = cboDevices->currentText().left(2);
    cGrid1->Clear();
    QString problem;
    if (!cAudioCDRipper1->SelectDevice(cboDevices->currentIndex()))
        problem = QStringLiteral("Cannot select '") + drive + QStringLiteral("\\' as an Audio CD.");
    else if (!cAudioCDRipper1->IsAudioCD())
        problem = QStringLiteral("'") + drive + QStringLiteral("\\' is not an Audio CD.");
    else if (cAudioCDRipper1->GetTrackCount() < 1)
        problem = QStringLiteral("'") + drive + QStringLiteral("\\' has no CDA tracks.");
    if (!problem.isEmpty()) {
        cmdConvert->setEnabled(false);
        SetForeColor(lblCDStatus, kRed);
        lblCDStatus->setText(problem);
    } else {
        SetForeColor(lblCDStatus, kBlack);
        lblCDStatus->setText(QStringLiteral("OK: ") + QString::number(cAudioCDRipper1->GetTrackCount()) + QStringLiteral(" CDA tracks"));
        cmdConvert->setEnabled(true);
        ListSourceTracks(drive, chosen);
    }
    lblFilesToConvert->setText(lblCDStatus->text());
    SetOnTheFly();
}

void frmAudioCDDuplicator::ListSourceTracks(const QString& Drive, bool chosen)
{
    const qint32 index = cboDevices->currentIndex();
    cGrid1->Clear();
    cGrid1->SetRedraw(false);
    bool lost = false;
    if (cAudioCDRipper1->SelectDevice(index)) {
        if (cAudioCDRipper1->IsAudioCD()) {
            const qint32 n = cAudioCDRipper1->GetTrackCount();
            // The disc went between the check and the listing.
            lost = n < 1;
            for (qint32 i = 1; i <= n; ++i) {
                SetRowText(cGrid1, i, QStringLiteral("Item Name"), TrackName(i));
                SetRowText(cGrid1, i, QStringLiteral("COL_FILE"), Drive + QStringLiteral("\\") + TrackName(i));
            }
        } else {
            cGrid1->Clear();
            lblCDStatus->setText(kInsertAudioCD);
        }
    }
    cGrid1->SetRedraw(true);
    if (cGrid1->Rows() < 1)
        lblCDStatus->setText(kInsertAudioCD);
    else
        cGrid1->SetCurrentRow(1);
    // A box for a drive the user chose; the 3-second poll never shows one.
    if (lost && chosen)
        MsgBox(QStringLiteral("There is no CD in the drive."), vbOKOnly + vbInformation);
}

void frmAudioCDDuplicator::cmdOpenCD_Click()
{
    cAudioCDRipper1->OpenTray();
}

void frmAudioCDDuplicator::cmdCloseCD_Click()
{
    cAudioCDRipper1->CloseTray();
}

void frmAudioCDDuplicator::SetDestination()
{
    cAudioCDRipper1->SetOutputFormat(kOutputWAV);
    WAVSettings wav{44100, 2, 16};
    cAudioCDRipper1->SetWAVSettings(wav);
    AddLog(QStringLiteral("Destination format: PCM WAV 44100 16 Stereo."), txtLog);
}

void frmAudioCDDuplicator::ConvertTracks()
{
    const qint32 rows = cGrid1->Rows();
    prgTotal->SetMax(rows * 100);
    EnableControls(false);
    // An abort answered between two rips finds no rip to stop: the copy ends as an
    // aborted rip would end it.
    if (m_bAbortAsked) {
        cAudioCDRipper1_Aborted();
        return;
    }
    // A data track is passed over with a line in the log; its place in the list of ripped
    // files stays empty, so track n still is row n when the files are burned.
    while (m_lRow <= rows && m_dataTracks.contains(m_lRow)) {
        AddLog(TrackName(m_lRow) + QStringLiteral(" holds data, not sound: it is not copied."), txtLog);
        m_tempFiles << QString();
        ++m_lRow;
    }
    if (m_lRow <= rows) {
        setCursor(Qt::WaitCursor);
        ConvertTask(m_lRow);
        return;
    }
    // Every track was tried: the ripped files take the tracks' place and are burned.
    prgTotal->SetValue(prgTotal->Max());
    prgCurrnet->SetValue(100);
    unsetCursor();
    FillGridWithFiles(m_tempFiles);
    EndCopy(BurnDisk());
}

void frmAudioCDDuplicator::EndCopy(BurnEnd end)
{
    if (end == BurnEnd::Aborted || end == BurnEnd::Cancelled) {
        EndAborted();
        return;
    }
    // A burn that failed, or found nothing to burn, put no track onto the copy.
    const qint32 failed = end == BurnEnd::Burnt ? qint32(m_failedTracks.size()) : m_lAudioTracks;
    const QString text = EndText(failed, m_lAudioTracks);
    lblCurrentTrack->setText(text);
    SetCaption(text);
    ShowBalloon(text);
    if (end == BurnEnd::Burnt && failed == 0) {
        MsgBox(text + QString(19, u' '), vbOKOnly + vbInformation);
        EnableControls(true);
        m_bRunning = false;
        Forms::Unload(this);
        return;
    }
    AddLog(text, txtLog);
    if (end == BurnEnd::Burnt) {
        // The copy was made without some tracks: they are named, and their ripped files
        // stay in the temporary folder until the window closes.
        std::sort(m_failedTracks.begin(), m_failedTracks.end());
        QStringList names;
        for (qint32 track : m_failedTracks)
            names << TrackName(track);
        const QString missing = QStringLiteral("Not on the copy: ") + names.join(QStringLiteral(", ")) + u'.';
        AddLog(missing, txtLog);
        MsgBox(text + QStringLiteral("\r\n\r\n") + missing, vbOKOnly + vbInformation);
    }
    EnableControls(true);
    m_bRunning = false;
    tmrState.start();
}

void frmAudioCDDuplicator::EndAborted()
{
    const QString text = QStringLiteral("Aborted.");
    AddLog(text, txtLog);
    lblCurrentTrack->setText(text);
    SetCaption(text);
    // An Abort answered Yes showed its balloon already.
    if (!m_bAbortAsked)
        ShowBalloon(text);
    EnableControls(true);
    m_bRunning = false;
    // The window is idle again: the source drive is watched as before the job.
    tmrState.start();
}

qint32 frmAudioCDDuplicator::ConvertTask(qint32 Row)
{
    const QString name = QString::number(Row) + QStringLiteral(".wav");
    cGrid1->SetCurrentRow(Row);
    cAudioCDRipper1->SetTrackNumber(Row);
    SetID3Tags(Row);
    lblCurrentTrack->setText(GetFileName(RowText(cGrid1, Row, QStringLiteral("COL_FILE")).replace(u'\\', u'/')));
    lblFilesToConvert->setText(QStringLiteral("Files: %1/%2").arg(Row).arg(cGrid1->Rows()));
    AddLog(QStringLiteral("Start to rip: ") + lblCurrentTrack->text() + QStringLiteral("..."), txtLog);
    const QString path = m_sTempFolder + name;
    // A file left by an earlier copy must never stand in for a rip that fails.
    QFile::remove(path);
    cAudioCDRipper1->SetOutputFile(path);
    // Should it not go, it is replaced without a question.
    cAudioCDRipper1->SetOverwriteAgreed(ReadFileIdentity(path));
    m_tempFiles << path;
    cAudioCDRipper1->StartRip();
    return 0;
}

void frmAudioCDDuplicator::FillGridWithFiles(const QStringList& Files)
{
    cGrid1->Clear();
    cGrid1->SetRedraw(false);
    for (qint32 i = 1; i <= Files.size(); ++i) {
        const QFileInfo file(Files[i - 1]);
        // A track whose rip failed left no file (or an empty one): its row stays empty.
        if (!file.isFile() || file.size() <= 0)
            continue;
        SetRowText(cGrid1, i, QStringLiteral("Item Name"), file.fileName());
        SetRowText(cGrid1, i, QStringLiteral("COL_FILE"), file.filePath());
    }
    cGrid1->SetRedraw(true);
}

void frmAudioCDDuplicator::cAudioCDRipper1_Progress(qint32 Percent)
{
    if (DoOnFly())
        return;
    QCoreApplication::processEvents();
    if (Percent < 1)
        return;
    unsetCursor();
    prgCurrnet->SetValue(Percent);
    prgTotal->SetValue((m_lRow - 1) * 100 + Percent);
    const double whole = prgTotal->Max() > 0 ? double(prgTotal->Value()) / prgTotal->Max() * 100.0 : 0.0;
    SetCaption(QStringLiteral("Converting... [ ") + QString::number(prgCurrnet->Value()) + QStringLiteral("% / ")
               + QString::number(whole, 'g', 15) + QStringLiteral("% ]"));
}

void frmAudioCDDuplicator::cAudioCDRipper1_Done()
{
    AddLog(QStringLiteral("Done."), txtLog);
    lblCurrentTrack->setText(QStringLiteral("Done."));
    ++m_lRow;
    ConvertTracks();
}

void frmAudioCDDuplicator::cAudioCDRipper1_Aborted()
{
    EnableControls(true);
    AddLog(QStringLiteral("Aborted."), txtLog);
    lblCurrentTrack->setText(QStringLiteral("Aborted."));
    unsetCursor();
    SetCaption(QStringLiteral("Aborted."));
    m_bRunning = false;
}

void frmAudioCDDuplicator::cAudioCDRipper1_Error(qint32 Code, const QString& Description)
{
    MarkFailed(m_lRow);
    const QString text = QStringLiteral("Error: ") + Description + QStringLiteral("(") + QString::number(Code) + QStringLiteral(")");
    AddLog(text, txtLog);
    lblCurrentTrack->setText(text);
    SetCaption(text);
    EnableControls(true);
    ++m_lRow;
    ConvertTracks();
    unsetCursor();
}
