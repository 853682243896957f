// The audio CD burner window: its Settings page (writers, speeds, the disc, the trays),
// the Burn job and the burner component's events.
#include "tools/disc/frmCDBurner.h"

#include "common/mdlFunctions.h"
#include "common/mdlModes.h"
#include "common/mdlUserSettings.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/audio/CdDrives.h"
#include "components/cAudioBurner/cAudioBurner.h"
#include "components/cGrid/cGrid.h"
#include "components/cProgressBar/cProgressBar.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "tools/disc/WriterSide.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>


namespace {

ToolWindow::Design burnerDesign()
{
    ToolWindow::Design d;
    d.caption = QStringLiteral("Audio CD Burner");
    d.icon = QStringLiteral("cd_music");
    d.settingsTab = QStringLiteral("Burner Options   ");
    d.settingsTabImage = 73;
    d.startCaption = QStringLiteral("Burn");
    d.outputBlock = false;
    d.overwriteCheck = false;
    return d;
}

} // namespace

frmCDBurner::frmCDBurner() : ToolWindow(burnerDesign())
{
    MakeLabel(TabSettings, QStringLiteral("CDs:"), 240, 270, 900);
    cboDrv = MakeList(TabSettings, {}, 1140, 240, 4300);
    cmdOpenCD = MakeButton(TabSettings, QStringLiteral("Open CD"), 5640, 225, 1215, 345);
    cmdClose = MakeButton(TabSettings, QStringLiteral("Close CD"), 6960, 225, 1215, 345);
    MakeLabel(TabSettings, QStringLiteral("Speeds:"), 240, 720, 900);
    cboSpeed = MakeList(TabSettings, {}, 1140, 690, 2500);

    MakeLabel(TabSettings, QStringLiteral("Disk Size"), 240, 1200, 1500);
    lblDiskSize = MakeLabel(TabSettings, QStringLiteral("Disk Size"), 1800, 1200, 6300);
    MakeLabel(TabSettings, QStringLiteral("Disk Capacity"), 240, 1500, 1500);
    lblDiskCapacity = MakeLabel(TabSettings, QStringLiteral("Disk Capacity"), 1800, 1500, 6300);
    MakeLabel(TabSettings, QStringLiteral("Disk State"), 240, 1800, 1500);
    lblState = MakeLabel(TabSettings, QStringLiteral("State"), 1800, 1800, 6300);

    MakeLabel(TabSettings, QStringLiteral("0 MIN"), 240, 2280, 700);
    prgSize = new cProgressBar(TabSettings);
    PlaceTwips(prgSize, 960, 2280, 6300, 255);
    MakeLabel(TabSettings, QStringLiteral("80 MIN"), 7380, 2280, 800);
    lblDataSize = MakeLabel(TabSettings, QStringLiteral("Data Size:"), 240, 2640, 7900);
    lblOpenDestinationDestinationFolder = MakeLink(TabSettings, QStringLiteral("Browse with explorer"), 240, 3060, 2500);

    // The Events page: the frame's boxes, then the tray.
    chkNoticeApp->setText(QStringLiteral("Execute external program "));
    chkOpenCDdrive = MakeCheck(TabEvents, QStringLiteral("Open the CD drive"), 480, 2040, 4000);
    PlaceTwips(lblEventsSettings, 480, 2520, 2000, 255);

    cAudioBurner1 = CreateAudioBurner(this);
    WriterSide::ConnectBurnerEvents(cAudioBurner1, this);

    connect(cboDrv, &QComboBox::activated, this, &frmCDBurner::cboDrv_Click);
    connect(cmdOpenCD, &QPushButton::clicked, this, &frmCDBurner::cmdOpenCD_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmCDBurner::cmdClose_Click);
    connect(lblOpenDestinationDestinationFolder, &LinkLabel::Click, this,
            &frmCDBurner::lblOpenDestinationDestinationFolder_Click);
    connect(cmdConvert, &QPushButton::clicked, this, &frmCDBurner::cmdConvert_Click);
}

frmCDBurner::~frmCDBurner() = default;

QList<QWidget*> frmCDBurner::PaintedControls() const
{
    return {chkOpenCDdrive};
}

void frmCDBurner::Form_Load()
{
    ToolWindow::Form_Load();
    m_lLastTrack = 0;
    LoadWriters();
    bool ok = false;
    const qint32 stored = GetSetting(g_sAppName, QStringLiteral("General"), QStringLiteral("chkOpenCDdrive")).trimmed().toInt(&ok);
    chkOpenCDdrive->SetValue(ok && stored == 1 ? 1 : 0);
}

void frmCDBurner::Form_Unload(int& Cancel)
{
    // Until the burn call has returned the component is in use, whatever the buttons show.
    if (m_bBurning) {
        Cancel = 1;
        return;
    }
    ToolWindow::Form_Unload(Cancel);
    if (Cancel)
        return;
    cAudioBurner1->ClearTracks();
    cAudioBurner1->CloseBurner();
    SaveSetting(g_sAppName, QStringLiteral("General"), QStringLiteral("chkOpenCDdrive"),
                QString::number(chkOpenCDdrive->Value()));
}

void frmCDBurner::LoadWriters()
{
    if (WriterSide::LoadWriters(cAudioBurner1, cboDrv))
        cboDrv_Click();
}

QString frmCDBurner::DriveLetter() const
{
    return WriterSide::DriveLetter(cboDrv);
}

void frmCDBurner::LoadSpeeds()
{
    WriterSide::LoadSpeeds(cAudioBurner1, cboSpeed, DriveLetter());
}

void frmCDBurner::cboDrv_Click()
{
    LoadSpeeds();
    WriterSide::ShowDisc(cAudioBurner1, DriveLetter(), lblDiskSize, lblDiskCapacity, lblState);
}

void frmCDBurner::cmdOpenCD_Click()
{
    cAudioBurner1->OpenTray(DriveLetter());
}

void frmCDBurner::cmdClose_Click()
{
    cAudioBurner1->CloseTray(DriveLetter());
}

void frmCDBurner::lblOpenDestinationDestinationFolder_Click()
{
    const QString d = DriveLetter();
    const QString root = d.isEmpty() ? QString() : CdWriterRoot(d.at(0));
    if (!root.isEmpty())
        OpenWithShell(this, root);
}

void frmCDBurner::cmdConvert_Click()
{
    // A job whose Abort enabled the button has not ended yet: no second one inside it.
    if (m_bBurning)
        return;
    // Without a writer there is nothing to burn to: said before any file is decoded.
    if (WriterSide::SayNoWriter(cboDrv, txtLog))
        return;
    // The caption may still tell how the previous job ended.
    SetCaption(ToolCaption());
    BeginJob(QStringLiteral("Preparing to burn: ") + QString::number(cGrid1->Rows()) + QStringLiteral(" tracks."));
    AddLog(QStringLiteral("List the files to burn..."), txtLog);
    // Decoding the files takes a while and the window answers meanwhile: it is busy from
    // here, so it neither closes nor starts a second job, and Abort reaches the listing.
    m_bAbortAsked = false;
    m_bBurning = true;
    SetBusy(true);
    const bool listed =
        WriterSide::AddTracks(cAudioBurner1, cGrid1, txtLog, m_bAbortAsked, [this](qint32) { CountFailed(); });
    m_bBurning = false;
    if (!listed) {
        ShowStage(QStringLiteral("Aborted."));
        SetBusy(false);
        return;
    }
    BurnDisk();
}

void frmCDBurner::BurnDisk()
{
    const qint32 tracks = cAudioBurner1->GetTrackCount();
    if (tracks < 1) {
        SetBusy(false);
        // Rows there were, and the burner took none of them: the job failed as a whole.
        if (FailedItems() > 0)
            EndJob(cGrid1->Rows(), false, false);
        MsgBox(QStringLiteral("Nothing to burn."), vbOKOnly + vbInformation);
        return;
    }
    prgTotal->SetMax(tracks);
    const QString d = DriveLetter();
    cAudioBurner1->SetBurnFlag(true);
    SetBusy(true);
    // The counter follows this burn's own track numbers from its first report.
    m_lLastTrack = 0;
    m_bBurning = true;
    cAudioBurner1->Burn(d, WriterSide::ChosenSpeed(cboSpeed));
    m_bBurning = false;
    cAudioBurner1->ClearTracks();
    // The burn has ended, whichever event said so (Abort enabled Burn before).
    SetBusy(false);
}

void frmCDBurner::ShowStage(const QString& text)
{
    AddLog(text, txtLog);
    lblCurrentTrack->setText(text);
}

void frmCDBurner::cAudioBurner1_Progress(qint32 Percent, qint32 Track)
{
    prgCurrnet->SetValue(Percent);
    prgTotal->SetValue(Track);
    if (Track != m_lLastTrack) {
        lblFilesToConvert->setText(QStringLiteral("Files: %1/%2").arg(Track).arg(cGrid1->Rows()));
        m_lLastTrack = Track;
    }
}

void frmCDBurner::cAudioBurner1_TrackProgress(qint32 Percent, qint32)
{
    prgCurrnet->SetValue(Percent);
    // The window answers clicks (Abort among them) while the burn call runs.
    QCoreApplication::processEvents();
}

void frmCDBurner::cAudioBurner1_ClosingSession()
{
    ShowStage(QStringLiteral("Closing session..."));
}

void frmCDBurner::cAudioBurner1_ClosingTrack(qint32)
{
    ShowStage(QStringLiteral("Closing track..."));
}

void frmCDBurner::cAudioBurner1_CachingTrack()
{
    ShowStage(QStringLiteral("Caching track..."));
}

void frmCDBurner::cAudioBurner1_WritingTrack()
{
    ShowStage(QStringLiteral("Writing track..."));
}

void frmCDBurner::cAudioBurner1_Finished()
{
    prgTotal->SetValue(prgTotal->Max());
    ShowStage(QStringLiteral("Finished."));
    cmdConvert->setEnabled(true);
    if (FailedItems() == 0) {
        DoEndEvents();
        return;
    }
    // Rows were left off the disc: the ending says how many, in the log too, and the
    // end-of-job actions leave out the program and the turn-off.
    const qint32 rows = cGrid1->Rows();
    AddLog(EndText(FailedItems(), rows), txtLog);
    EndJob(rows);
}

void frmCDBurner::cAudioBurner1_Error(qint32 Code, const QString& Description)
{
    ShowStage(QStringLiteral("Error:") + Description + QStringLiteral("(") + QString::number(Code) + QStringLiteral(")"));
    cmdConvert->setEnabled(true);
}

void frmCDBurner::DoEndEvents()
{
    PlayEndSound();
    if (chkOpenDestFolder->Value() == 1)
        lblOpenDestinationDestinationFolder_Click();
    if (!JobError())
        StartNoticeApp();
    if (chkOpenCDdrive->Value() == 1)
        cmdOpenCD_Click();
    StartTurnOffAfterJob();
}

void frmCDBurner::AbortJob()
{
    m_bAbortAsked = true;
    cAudioBurner1->Abort();
    cmdConvert->setEnabled(true);
}
