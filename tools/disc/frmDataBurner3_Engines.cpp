// The data disc burner's two engines: handing them the prepared files and the disc's
// description, their burn calls, and the window's answers to their events.
#include "tools/disc/frmDataBurner3.h"

#include "common/mdlFunctions.h"
#include "common/mdlModes.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cAudioDataBurner/cAudioDataBurner.h"
#include "components/cBurner/cBurner.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "tools/disc/WriterSide.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

void ResetBar(XP_ProgressBar* bar)
{
    bar->SetMin(0);
    bar->SetMax(100);
    bar->SetValue(0);
}

} // namespace

void frmDataBurner3::RunBurnCall(const std::function<void()>& burn)
{
    // Until the call returns the engine works on the prepared files: the window stays, the
    // files stay, and Abort (which stops only a preparation) is not offered.
    // The engine and the drive stay as they were: the end-of-job actions use the drive.
    m_bBurning = true;
    cmdAbort->setEnabled(false);
    cmbEngine->setEnabled(false);
    cboDrv->setEnabled(false);
    burn();
    m_bBurning = false;
    cmbEngine->setEnabled(true);
    cboDrv->setEnabled(true);
    // Every burn ends with its terminal event, which gives Burn and Exit back; should one
    // not, the window is never left without them.
    if (!cmdConvert->isEnabled() || !cmdExit->isEnabled())
        EnableBurnControls(true);
}

void frmDataBurner3::ShowStage(const QString& logLine, const QString& label)
{
    AddLog(logLine, txtLog);
    lblCurrentTrack->setText(label);
}

// ---- the CD-only engine ----------------------------------------------------------------

void frmDataBurner3::BurnDataCD()
{
    SetBusy(true);
    AddLog(QStringLiteral("Add files to burn."), txtLog);
    for (QString path : PathsToBurn()) {
        if (cAudioDataBurner1->AddFile(path))
            continue;
        MsgBox(QStringLiteral("Couldn't add the file ") + path, vbExclamation + vbOKOnly, QStringLiteral("Error"));
        AddLog(QStringLiteral("Couldn't add the file ") + GetFileName(path), txtLog);
        // The items this file stands for are not on the disc: the ending counts them.
        CountFailed(qint32(m_preparedPaths.count(path)));
    }
    ResetBar(prgCurrnet);
    ResetBar(prgTotal);
    cAudioDataBurner1->SetVolumeName(txtCDName->text());
    cAudioDataBurner1->SetFileSystemName(QStringLiteral("CDFS"));
    QString identity = g_sAppName;
    cAudioDataBurner1->SetIdentityText1(identity);
    cAudioDataBurner1->SetIdentityText2(identity);
    cAudioDataBurner1->SetBurnOption(false);
    const QString drive = DriveLetter();
    const qint32 speed = WriterSide::ChosenSpeed(cboSpeed);
    RunBurnCall([&] { cAudioDataBurner1->Burn(drive, speed); });
}

void frmDataBurner3::cAudioDataBurner1_ClosingSession()
{
    ShowStage(QStringLiteral("Closing session..."), QStringLiteral("Closing session..."));
}

void frmDataBurner3::cAudioDataBurner1_Finished()
{
    ShowStage(QStringLiteral("Finished"), QStringLiteral("Finished"));
    DoEndEvents();
}

void frmDataBurner3::cAudioDataBurner1_Started()
{
    const QString text = QStringLiteral("Start the burning process...");
    ShowStage(text, text);
}

void frmDataBurner3::cAudioDataBurner1_Progress(qint16 Percent)
{
    prgTotal->SetValue(Percent);
    prgCurrnet->SetValue(Percent);
    lblCurrentTrack->setText(QString::number(Percent) + u'%');
    // The window answers (and repaints) while the burn call runs.
    QCoreApplication::processEvents();
}

void frmDataBurner3::cAudioDataBurner1_Error(qint32, const QString& Description)
{
    SetBusy(false);
    ShowStage(Description, Description);
}

// ---- the CD/DVD engine -----------------------------------------------------------------

void frmDataBurner3::BurnDataDisc()
{
    if (!IsIMAPI2Installed())
        return;
    cBurner1->NewCompilation();
    cBurner1->SetFileSystemISO(false);
    cBurner1->SetFileSystemJoliet(false);
    cBurner1->SetFileSystemUDF(false);
    if (chkISO->Value() == 1)
        cBurner1->SetFileSystemISO(true);
    if (chkJOLIET->Value() == 1)
        cBurner1->SetFileSystemJoliet(true);
    if (chkUDF->Value() == 1)
        cBurner1->SetFileSystemUDF(true);
    cBurner1->SetVolumeName(txtCDName->text());
    for (QString path : PathsToBurn())
        cBurner1->AddFile(path);
    ResetBar(prgCurrnet);
    ResetBar(prgTotal);
    EnableBurnControls(false);
    const qint32 drive = cboDrv->currentIndex();
    RunBurnCall([&] { cBurner1->Burn(drive); });
}

void frmDataBurner3::cBurner1_Message(const QString& Detail, const QString& Text)
{
    const QString text = Text + QStringLiteral(" (") + Detail + u')';
    ShowStage(text, text);
    EnableBurnControls(true);
}

void frmDataBurner3::cBurner1_DoneBurn()
{
    ShowStage(QStringLiteral("BurnerDoneBurn."), QStringLiteral("BurnerDoneBurn."));
}

void frmDataBurner3::cBurner1_Canceled()
{
    ShowStage(QStringLiteral("BurnerCanceled..."), QStringLiteral("BurnerCanceled..."));
}

void frmDataBurner3::cBurner1_BurnEnd()
{
    ShowStage(QStringLiteral("BurnerEnd."), QStringLiteral("BurnerEnd."));
    EnableBurnControls(true);
    DoEndEvents();
}

void frmDataBurner3::cBurner1_Progress(qint32 Percent)
{
    prgTotal->SetValue(Percent);
    prgCurrnet->SetValue(Percent);
    lblCurrentTrack->setText(QString::number(Percent) + u'%');
    QCoreApplication::processEvents();
}

void frmDataBurner3::cBurner1_Finalization()
{
    ShowStage(QStringLiteral("BurnerFinalization - Please wait..."), QStringLiteral("BurnerFinalization"));
}

void frmDataBurner3::cBurner1_Initializing()
{
    ShowStage(QStringLiteral("BurnerInitializing..."), QStringLiteral("BurnerInitializing..."));
}

void frmDataBurner3::cBurner1_Completed()
{
    ShowStage(QStringLiteral("BurnerCompleted."), QStringLiteral("BurnerCompleted."));
}

void frmDataBurner3::cBurner1_StartBurning()
{
    EnableBurnControls(false);
    cmdAbort->setEnabled(false);
    ShowStage(QStringLiteral("StartBurning..."), QStringLiteral("StartBurning..."));
}

void frmDataBurner3::cBurner1_FileCounts(qint32 FileCount, qint32 DirCount)
{
    AddLog(QString::number(FileCount) + QStringLiteral(" files to burn.\n") + QString::number(DirCount) +
               QStringLiteral(" dirs to burn."),
           txtLog);
}

void frmDataBurner3::cBurner1_AddingFile(const QString& FileName)
{
    const QString text = QStringLiteral("Adding:") + GetFileName(FileName);
    ShowStage(text, text);
}
