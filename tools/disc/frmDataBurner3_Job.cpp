// The data disc burner's job: the drive checks of Burn, the preparation of every row in
// "datacdtmp" (a straight copy on a worker thread, or a conversion through the items job),
// "Burn CD?", Abort, and the end-of-job actions after a finished burn.
#include "tools/disc/frmDataBurner3.h"

#include "common/mdlFunctions.h"
#include "common/mdlModes.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/audio/CdDrives.h"
#include "components/audio/OutputTarget.h"
#include "components/audio/PcmCopy.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cAudioDataBurner/cAudioDataBurner.h"
#include "components/cGrid/cGrid.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "platform/FileIdentity.h"
#include "platform/MessageService.h"
#include "settings/mdlFileNameFormats.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QThread>

#include <utility>

namespace {

// Copies a source unchanged to its prepared name through a temporary file beside it, so a
// copy that fails leaves no file behind; `replaceable` is the file of that name it may
// replace (agreed to when asked about).
JobOutcome CopyPreparedFile(const QString& source, const QString& target, const FileIdentity& replaceable)
{
    const QFileInfo info(source);
    if (!info.isFile())
        return JobOutcome::error(kErrSourceMissing, QStringLiteral("The file \"%1\" does not exist.").arg(source));
    OutputTarget out;
    JobOutcome r = out.prepare(target, source, replaceable);
    if (r.kind != JobOutcome::Done)
        return r;
    JobControl control;
    r = CopyFileBytes(source, 0, info.size(), out.fd(), target, control, {});
    if (r.kind != JobOutcome::Done)
        return r;
    if (!out.closeFd())
        return JobOutcome::error(kErrWriteFailed, QStringLiteral("Cannot write the output file \"%1\".").arg(target));
    return out.commit();
}

} // namespace

QString frmDataBurner3::PreparingText(qint32 rows) const
{
    return QStringLiteral("Preparing to burn: %1 tracks.").arg(rows);
}

bool frmDataBurner3::JobMayStart()
{
    // The CD-only engine burns only a ready writer holding a blank disc; the CD/DVD
    // engine checks its disc itself.
    if (cmbEngine->currentIndex() != 0)
        return true;
    const QString drive = DriveText();
    auto refuse = [&](const QString& why) {
        AddLog(QStringLiteral("The CD drive '") + drive + why, txtLog);
        MsgBox(QStringLiteral("Please insert an empty media into drive: ") + drive, vbInformation + vbOKOnly);
        AddLog(QStringLiteral("Aborted."), txtLog);
        return false;
    };
    if (!cAudioDataBurner1->IsDriveReady(DriveLetter()))
        return refuse(QStringLiteral("' is not ready."));
    if (!cAudioDataBurner1->IsDiscEmpty(DriveLetter()))
        return refuse(QStringLiteral("' is not empty."));
    return true;
}

void frmDataBurner3::RunJob()
{
    m_bAbort = false;
    m_bCopyHeld = false;
    prgCurrnet->SetValue(0);
    prgTotal->SetValue(0);
    cmdAbort->setEnabled(true);
    lblTimeLeft->setText(QStringLiteral("Time Left: 00:00:00"));
    // Each row's prepared path is noted once, as its preparation starts: the burn takes
    // exactly these files, whatever the template would give later.
    m_preparedPaths = QStringList();
    for (qint32 row = 1; row <= cGrid1->Rows(); ++row)
        m_preparedPaths << QString();
    // A new job starts from an empty folder.
    EraseTempFiles();
    if (!JobCopiesAsIs()) {
        ConvertTracks();
        return;
    }
    SetBusy(true);
    Timer1.start();
    lblCurrentTrack->setText(QStringLiteral("Ready."));
    prgTotal->SetMax(cGrid1->Rows());
    m_lCopyRow = 0;
    CopyNextRow();
}

void frmDataBurner3::RowOutputNamed(qint32 Row, const QString& path)
{
    if (Row >= 1 && Row <= m_preparedPaths.size())
        m_preparedPaths[Row - 1] = path;
}

void frmDataBurner3::RowFailed(qint32 Row)
{
    // A row that failed wrote nothing (a file of its name is another row's, burned for
    // that row), and its failure is already in the log and the ending.
    if (Row >= 1 && Row <= m_preparedPaths.size())
        m_preparedPaths[Row - 1].clear();
}

bool frmDataBurner3::CopiesAsIs() const
{
    return chkDoNotConvertSource->Value() == 1;
}

void frmDataBurner3::CopyNextRow()
{
    const qint32 rows = cGrid1->Rows();
    ++m_lCopyRow;
    if (m_lCopyRow > rows) {
        EndCopyLoop(false);
        return;
    }
    if (m_bAbort) {
        EraseTempFiles();
        AddLog(QStringLiteral("Aborted."), txtLog);
        EndCopyLoop(true);
        return;
    }
    const qint32 row = m_lCopyRow;
    const QString name = CreateFileNameFromFormat(row);
    const QString target = GetTempFolder() + name;
    RowOutputNamed(row, target);
    const FileIdentity there = ReadFileIdentity(target);
    FileIdentity replaceable;
    if (there.exists) {
        // Two rows gave the same name.
        const int answer = AskSameNameOnDisc(name);
        if (answer == vbCancel) {
            // Not an abort: the copies made so far are burned.
            EndCopyLoop(false);
            return;
        }
        if (answer != vbYes) {
            m_sCopyError.clear();
            CopyFinished();
            return;
        }
        replaceable = there;
    }
    const QString source = RowText(cGrid1, row, QStringLiteral("COL_FILE"));
    lblCurrentTrack->setText(GetFileName(source));
    // The copy runs beside the window, which keeps answering (Abort among the rest).
    m_sCopyError.clear();
    m_copyThread = QThread::create([this, source, target, replaceable] {
        const JobOutcome r = CopyPreparedFile(source, target, replaceable);
        if (r.kind != JobOutcome::Done) {
            m_lCopyErrorCode = r.code;
            m_sCopyError = r.description.isEmpty() ? QStringLiteral("The copy did not end.") : r.description;
        }
    });
    connect(m_copyThread, &QThread::finished, this, &frmDataBurner3::CopyFinished);
    m_copyThread->start();
}

int frmDataBurner3::AskSameNameOnDisc(const QString& name)
{
    return MsgBox(QStringLiteral("The file name ") + name +
                      QStringLiteral(" is already existed in the list to be burn. \r\n\r\nOverwtie it?"),
                  vbYesNoCancel + vbInformation);
}

qint32 frmDataBurner3::OutputOfEarlierRow(qint32 Row, qint32 Writer, const QString& path)
{
    Q_UNUSED(Row)
    Q_UNUSED(Writer)
    // Each prepared file is one file on the disc, under its own name: as with copies, the
    // user decides which of the two items the name holds.
    switch (AskSameNameOnDisc(GetFileName(path))) {
    case vbYes:
        return kTaskStarted;  // this row's conversion replaces the earlier one's
    case vbNo:
        return kTaskPassed;   // the earlier row's file stays, standing for both
    default:
        return kTaskEndHere;  // not an abort: what was prepared so far is burned
    }
}

void frmDataBurner3::CopyFinished()
{
    // While the Abort question is open the loop waits for the answer.
    if (AbortAsked()) {
        m_bCopyHeld = true;
        return;
    }
    if (m_copyThread) {
        m_copyThread->wait();
        m_copyThread->deleteLater();
        m_copyThread = nullptr;
    }
    const qint32 row = m_lCopyRow;
    if (!m_sCopyError.isEmpty()) {
        // A copy that failed counts as a conversion error would.
        CountFailed();
        RowFailed(row);
        const QString text = QStringLiteral("Error: ") + m_sCopyError + u'(' + QString::number(m_lCopyErrorCode) + u')';
        AddLog(text, txtLog);
        lblCurrentTrack->setText(text);
        setWindowTitle(text);
    }
    prgTotal->SetValue(row);
    lblFilesToConvert->setText(QStringLiteral("Files: %1/%2").arg(row).arg(cGrid1->Rows()));
    CopyNextRow();
}

void frmDataBurner3::EndCopyLoop(bool aborted)
{
    SetBusy(false);
    if (aborted) {
        Timer1.stop();
        EndStopped();
        return;
    }
    JobCompleted();
}

void frmDataBurner3::JobCompleted()
{
    lblCurrentTrack->setText(QStringLiteral("Ready."));
    setWindowTitle(lblCurrentTrack->text());
    prgTotal->SetValue(prgTotal->Max());
    prgCurrnet->SetValue(100);
    Timer1.stop();
    prgTotal->SetValue(0);
    unsetCursor();
    if (MsgBox(QStringLiteral("Burn CD?") + QString(46, u' '), vbOKCancel) != vbOK)
        return;  // the prepared files stay for the next Burn or the erase link
    if (cmbEngine->currentIndex() == 0)
        BurnDataCD();
    else
        BurnDataDisc();
}

void frmDataBurner3::AbortJob()
{
    // An engine's burn is never stopped halfway: only the preparation can be.
    if (m_bBurning)
        return;
    ConverterToolWindow::AbortJob();
    m_bAbort = true;
    // A copy that ended while the question was open: the loop stops before the next one.
    if (std::exchange(m_bCopyHeld, false))
        CopyFinished();
}

void frmDataBurner3::AbortDeclined()
{
    ConverterToolWindow::AbortDeclined();
    if (std::exchange(m_bCopyHeld, false))
        CopyFinished();
}

QStringList frmDataBurner3::PathsToBurn() const
{
    // Rows whose preparation failed left no path of their own; a path two rows share is
    // burned once.
    QStringList paths;
    for (const QString& p : m_preparedPaths)
        if (!p.isEmpty() && !paths.contains(p))
            paths << p;
    return paths;
}

void frmDataBurner3::DoEndEvents()
{
    PlayEndSound();
    if (chkEraseTempfiles->Value() == 1) {
        AddLog(QStringLiteral("Erase temp files..."), txtLog);
        EraseTempFiles();
    }
    const QString letter = DriveLetter();
    if (chkOpenCDdrive->Value() == 1)
        cAudioDataBurner1->OpenTray(letter);
    if (chkOpenDestFolder->Value() == 1) {
        // The disc's own folder where the writer's disc is mounted; nothing when it is not.
        const QString root = letter.isEmpty() ? QString() : CdWriterRoot(letter.at(0));
        if (!root.isEmpty())
            OpenWithShell(this, root);
    }
    StartNoticeApp();
    StartTurnOffAfterJob();
    SetBusy(false);
    // Items that could not be prepared are not on the disc: the ending says so.
    const QString text = EndText(FailedItems(), cGrid1->Rows());
    ShowBalloon(text);
    AddLog(text, txtLog);
    lblCurrentTrack->setText(text);
    // A failure is said in the caption as well, where "Ready." stood since the preparation.
    if (FailedItems() > 0)
        setWindowTitle(text);
}
