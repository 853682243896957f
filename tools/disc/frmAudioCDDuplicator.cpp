// The audio CD duplicator window: its Settings page (source drive, writer, speeds, disc),
// the writer side, the enabling of the controls, the close guard, the burn of the ripped
// files and the burner component's events.
#include "tools/disc/frmAudioCDDuplicator.h"

#include "common/mdlFunctions.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cAudioBurner/cAudioBurner.h"
#include "components/cAudioCDRipper/cAudioCDRipper.h"
#include "components/cGrid/cGrid.h"
#include "platform/App.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "tools/disc/WriterSide.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

ToolWindow::Design duplicatorDesign()
{
    ToolWindow::Design d;
    d.caption = QStringLiteral("Audio CD Duplicator");
    d.settingsTab = QStringLiteral("Duplicator Options    ");
    d.settingsTabImage = 83;
    d.startCaption = QStringLiteral("Duplicate");
    d.gridImages = true;
    d.outputBlock = false;
    d.overwriteCheck = false;
    return d;
}

} // namespace

frmAudioCDDuplicator::frmAudioCDDuplicator() : ToolWindow(duplicatorDesign())
{
    MakeLabel(TabSettings, QStringLiteral("Source Audio CD:"), 240, 270, 2300);
    cboDevices = MakeList(TabSettings, {}, 2580, 240, 3000);
    cmdOpenCD = MakeButton(TabSettings, QStringLiteral("Open"), 5760, 225, 1100, 345);
    cmdCloseCD = MakeButton(TabSettings, QStringLiteral("Close"), 6960, 225, 1100, 345);
    lblCDStatus = MakeLabel(TabSettings, QStringLiteral("Ready."), 2580, 660, 5500);

    MakeLabel(TabSettings, QStringLiteral("Destination Audio CD:"), 240, 1110, 2300);
    cboDrv = MakeList(TabSettings, {}, 2580, 1080, 3000);
    cmdOpenDestCD = MakeButton(TabSettings, QStringLiteral("Open CD"), 5760, 1065, 1100, 345);
    cmdClose = MakeButton(TabSettings, QStringLiteral("Close CD"), 6960, 1065, 1100, 345);
    MakeLabel(TabSettings, QStringLiteral("Speeds:"), 240, 1560, 2300);
    cboSpeed = MakeList(TabSettings, {}, 2580, 1530, 3000);

    MakeLabel(TabSettings, QStringLiteral("Disk Size"), 240, 2040, 2300);
    lblDiskSize = MakeLabel(TabSettings, QStringLiteral("Disk Size"), 2580, 2040, 5500);
    MakeLabel(TabSettings, QStringLiteral("Disk Capacity"), 240, 2340, 2300);
    lblDiskCapacity = MakeLabel(TabSettings, QStringLiteral("Disk Capacity"), 2580, 2340, 5500);
    // Filled with the writer's disc but not shown; no control shows or ticks on-the-fly.
    QLabel* stateCaption = MakeLabel(TabSettings, QStringLiteral("Disk State"), 240, 2640, 2300);
    lblState = MakeLabel(TabSettings, QStringLiteral("State"), 2580, 2640, 5500);
    chkOnTheFly = MakeCheck(TabSettings, QStringLiteral("On The Fly - Duplicate without using a temp folder"), 240, 2940, 7000);
    stateCaption->hide();
    lblState->hide();
    chkOnTheFly->hide();

    chkOpenCDdrive = MakeCheck(TabEvents, QStringLiteral("Eject the CD door"), 480, 2040, 4000);
    chkOpenCDdrive->SetValue(1);
    PlaceTwips(lblEventsSettings, 480, 2520, 2000, 255);
    lblTimeLeft = MakeLabel(this, QStringLiteral("Time Left: 00:00:00"), 0, 0, 2000);
    lblTimeLeft->hide();

    tmrState.setInterval(3000);
    connect(&tmrState, &QTimer::timeout, this, &frmAudioCDDuplicator::tmrState_Timer);

    cAudioCDRipper1 = CreateAudioCDRipper(this);
    connect(cAudioCDRipper1, &cAudioCDRipper::Progress, this, &frmAudioCDDuplicator::cAudioCDRipper1_Progress);
    connect(cAudioCDRipper1, &cAudioCDRipper::Done, this, &frmAudioCDDuplicator::cAudioCDRipper1_Done);
    connect(cAudioCDRipper1, &cAudioCDRipper::Aborted, this, &frmAudioCDDuplicator::cAudioCDRipper1_Aborted);
    connect(cAudioCDRipper1, &cAudioCDRipper::Error, this, &frmAudioCDDuplicator::cAudioCDRipper1_Error);

    cAudioBurner1 = CreateAudioBurner(this);
    WriterSide::ConnectBurnerEvents(cAudioBurner1, this);

    connect(cboDevices, &QComboBox::activated, this, [this] { cboDevices_Click(true); });
    connect(cmdOpenCD, &QPushButton::clicked, this, &frmAudioCDDuplicator::cmdOpenCD_Click);
    connect(cmdCloseCD, &QPushButton::clicked, this, &frmAudioCDDuplicator::cmdCloseCD_Click);
    connect(cboDrv, &QComboBox::activated, this, &frmAudioCDDuplicator::cboDrv_Click);
    connect(cmdOpenDestCD, &QPushButton::clicked, this, &frmAudioCDDuplicator::cmdOpenDestCD_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmAudioCDDuplicator::cmdClose_Click);
    connect(cmdConvert, &QPushButton::clicked, this, &frmAudioCDDuplicator::cmdConvert_Click);
}

frmAudioCDDuplicator::~frmAudioCDDuplicator() = default;

AudioJobComponent* frmAudioCDDuplicator::JobComponent()
{
    return cAudioCDRipper1;
}

QList<QWidget*> frmAudioCDDuplicator::PaintedControls() const
{
    return {chkOpenCDdrive, chkOnTheFly};
}

void frmAudioCDDuplicator::Form_Load()
{
    ToolWindow::Form_Load();
    cmdConvert->setEnabled(false);
    m_sTempFolder = AppPath() + QStringLiteral("/duptmp/");
    if (WriterSide::LoadWriters(cAudioBurner1, cboDrv))
        cboDrv_Click();
    FillCDDevices();
    tmrState.start();
}

void frmAudioCDDuplicator::Form_Unload(int& Cancel)
{
    if (m_bRunning) {
        Cancel = 1;
        return;
    }
    tmrState.stop();
    cAudioCDRipper1->CloseDevice();
    cAudioBurner1->ClearTracks();
    cAudioBurner1->CloseBurner();
    DeleteFilesInFolder(m_sTempFolder);
}

QString frmAudioCDDuplicator::DriveLetter() const
{
    return WriterSide::DriveLetter(cboDrv);
}

void frmAudioCDDuplicator::cboDrv_Click()
{
    SetOnTheFly();
    WriterSide::LoadSpeeds(cAudioBurner1, cboSpeed, DriveLetter());
    WriterSide::ShowDisc(cAudioBurner1, DriveLetter(), lblDiskSize, lblDiskCapacity, lblState);
}

void frmAudioCDDuplicator::cmdOpenDestCD_Click()
{
    cAudioBurner1->OpenTray(DriveLetter());
}

void frmAudioCDDuplicator::cmdClose_Click()
{
    cAudioBurner1->CloseTray(DriveLetter());
}

void frmAudioCDDuplicator::EnableControls(bool Enable)
{
    for (QWidget* c : QList<QWidget*>{cmdExit, cmdConvert, cboDevices, cmdOpenCD, cmdCloseCD, cboDrv, cboSpeed,
                                      cmdOpenDestCD, cmdClose})
        c->setEnabled(Enable);
}

bool frmAudioCDDuplicator::DoOnFly() const
{
    return chkOnTheFly->isEnabled() && chkOnTheFly->Value() == 1;
}

void frmAudioCDDuplicator::tmrState_Timer()
{
    cboDevices_Click(false);
}

void frmAudioCDDuplicator::cmdConvert_Click()
{
    if (m_bRunning)
        return;
    // Without a writer the copy could never be burned: said before anything is ripped.
    if (WriterSide::SayNoWriter(cboDrv, txtLog))
        return;
    // The disc as it is now: the grid lists its tracks and the drive is selected, so the
    // kind of each track can be read.
    cboDevices_Click(false);
    if (!cmdConvert->isEnabled())
        return;
    if (!txtLog->toPlainText().isEmpty())
        txtLog->appendPlainText(QString());
    AddLog(QStringLiteral("Preparing to copy: ") + QString::number(cGrid1->Rows()) + QStringLiteral(" tracks."), txtLog);
    SetDestination();
    MakePath(m_sTempFolder.chopped(1));
    m_lRow = 1;
    // The data tracks of a mixed-mode or enhanced disc hold no sound: they are passed over.
    m_dataTracks.clear();
    for (qint32 track = 1; track <= cGrid1->Rows(); ++track) {
        qint32 t = track;
        if (cAudioCDRipper1->GetTrackType(t) == 0)
            m_dataTracks << track;
    }
    m_lAudioTracks = cGrid1->Rows() - qint32(m_dataTracks.size());
    m_failedTracks.clear();
    m_bJobError = false;
    m_bAbortAsked = false;
    SetCaption(ToolCaption());
    ShowTab(QStringLiteral("Log"));
    m_tempFiles.clear();
    cAudioCDRipper1->SetDeviceIndex(cboDevices->currentIndex());
    tmrState.stop();
    m_bRunning = true;
    if (DoOnFly()) {
        BurnDisk();
        m_bRunning = false;
        return;
    }
    ConvertTracks();
}

void frmAudioCDDuplicator::MarkFailed(qint32 Track)
{
    m_bJobError = true;
    if (!m_failedTracks.contains(Track))
        m_failedTracks << Track;
}

frmAudioCDDuplicator::BurnEnd frmAudioCDDuplicator::BurnDisk()
{
    const QString d = DriveLetter();
    // A used disc in the writer: its tray opens and the question comes back after every
    // OK until the disc can be burned or the user cancels.
    for (;;) {
        cAudioCDRipper1->CloseDevice();
        if (cAudioBurner1->GetDiscState(d).isEmpty())
            break;
        cmdOpenDestCD_Click();
        const int answer = MsgBox(QStringLiteral("Insert an empty media to drive ") + d
                                      + QStringLiteral(" then click on 'OK'.\r\n\r\nClick on cancel in order to cancel the burn proccess."),
                                  vbOKCancel + vbInformation);
        if (answer != vbOK)
            return BurnEnd::Cancelled;
    }
    // Rows without a file are tracks that were not ripped (data tracks, failed rips, each
    // logged already): nothing is added for them.
    if (!WriterSide::AddTracks(cAudioBurner1, cGrid1, txtLog, m_bAbortAsked, [this](qint32 row) { MarkFailed(row); }))
        return BurnEnd::Aborted;
    if (cAudioBurner1->GetTrackCount() < 1) {
        EnableControls(true);
        MsgBox(QStringLiteral("Nothing to burn."), vbOKOnly + vbInformation);
        return BurnEnd::NothingToBurn;
    }
    prgTotal->SetMax(cAudioBurner1->GetTrackCount());
    cAudioBurner1->SetBurnFlag(false);
    m_bFinished = false;
    const qint32 result = cAudioBurner1->Burn(d, WriterSide::ChosenSpeed(cboSpeed));
    if (!DoOnFly()) {
        cAudioBurner1->ClearTracks();
        cAudioBurner1->CloseBurner();
    }
    if (result != 0 || !m_bFinished)
        return m_bAbortAsked ? BurnEnd::Aborted : BurnEnd::Failed;
    cmdOpenDestCD_Click();
    // The ripped files go with a copy that holds every track; otherwise they stay until
    // the window closes.
    if (m_failedTracks.isEmpty())
        DeleteFilesInFolder(m_sTempFolder);
    return BurnEnd::Burnt;
}

void frmAudioCDDuplicator::DeleteFilesInFolder(const QString& Folder)
{
    const QDir dir(Folder);
    for (const QString& name : dir.entryList(QDir::Files))
        QFile::remove(dir.filePath(name));
}

void frmAudioCDDuplicator::ShowStage(const QString& text)
{
    AddLog(text, txtLog);
    lblCurrentTrack->setText(text);
}

void frmAudioCDDuplicator::cAudioBurner1_Progress(qint32 Percent, qint32 Track)
{
    QCoreApplication::processEvents();
    prgCurrnet->SetValue(Percent);
    prgTotal->SetValue(Track);
    tmrState.stop();
    lblFilesToConvert->setText(QStringLiteral("Files: %1/%2").arg(Track).arg(cGrid1->Rows()));
}

void frmAudioCDDuplicator::cAudioBurner1_TrackProgress(qint32 Percent, qint32)
{
    prgCurrnet->SetValue(Percent);
    QCoreApplication::processEvents();
}

void frmAudioCDDuplicator::cAudioBurner1_ClosingSession()
{
    QCoreApplication::processEvents();
    ShowStage(QStringLiteral("Closing session, please wait..."));
    prgCurrnet->SetValue(prgCurrnet->Max());
    prgTotal->SetValue(prgTotal->Max());
}

void frmAudioCDDuplicator::cAudioBurner1_ClosingTrack(qint32)
{
    QCoreApplication::processEvents();
    ShowStage(QStringLiteral("Closing track..."));
}

void frmAudioCDDuplicator::cAudioBurner1_CachingTrack()
{
    QCoreApplication::processEvents();
    ShowStage(QStringLiteral("Caching track..."));
}

void frmAudioCDDuplicator::cAudioBurner1_WritingTrack()
{
    QCoreApplication::processEvents();
    ShowStage(QStringLiteral("Writing track..."));
}

void frmAudioCDDuplicator::cAudioBurner1_Finished()
{
    QCoreApplication::processEvents();
    m_bFinished = true;
    prgTotal->SetValue(prgTotal->Max());
    ShowStage(QStringLiteral("Finished."));
    EnableControls(true);
    DoEndEvents();
    tmrState.start();
}

void frmAudioCDDuplicator::cAudioBurner1_Error(qint32 Code, const QString& Description)
{
    QCoreApplication::processEvents();
    ShowStage(QStringLiteral("Error:") + Description + QStringLiteral("(") + QString::number(Code) + QStringLiteral(")"));
    EnableControls(true);
    tmrState.start();
}

void frmAudioCDDuplicator::DoEndEvents()
{
    PlayEndSound();
    // A copy that lacks tracks is not handed to the program.
    if (!JobError())
        StartNoticeApp();
    // "Eject the CD door" opens the source drive's tray, not the writer's.
    if (chkOpenCDdrive->Value() == 1)
        cAudioCDRipper1->OpenTray();
    StartTurnOffAfterJob();
}

void frmAudioCDDuplicator::AbortJob()
{
    m_bAbortAsked = true;
    cAudioCDRipper1->Abort();
    cAudioBurner1->Abort();
}
