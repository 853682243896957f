// The data disc burner window: its Settings page (engine, drive, disc name, file systems,
// copy or conversion, format and name template), its Events page, the temporary folder,
// and opening and closing.
#include "tools/disc/frmDataBurner3.h"

#include "common/mdlFunctions.h"
#include "common/mdlModes.h"
#include "common/mdlUserSettings.h"
#include "components/cAudioDataBurner/DataDiscBurn.h"
#include "components/cAudioDataBurner/cAudioDataBurner.h"
#include "components/cBurner/cBurner.h"
#include "platform/App.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/mdlFileNameFormats.h"
#include "tools/disc/WriterSide.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace {

ToolWindow::Design dataBurnerDesign()
{
    ToolWindow::Design d;
    d.caption = QStringLiteral("Audio Data Burner");
    d.icon = QStringLiteral("cd_music");
    d.settingsTab = QStringLiteral("Options        ");
    d.settingsTabImage = 72;
    d.startCaption = QStringLiteral("Burn");
    d.outputBlock = false;
    d.overwriteCheck = false;
    return d;
}

const QString kEngineSection = QStringLiteral("BurnerEngine");
const QString kEngineKey = QStringLiteral("cmbEngine");

} // namespace

frmDataBurner3::frmDataBurner3() : ConverterToolWindow(dataBurnerDesign())
{
    // A row's finish says nothing of its own, and the row being prepared stands in the
    // status line.
    m_bRowDoneShown = false;
    m_bStartLineInStatus = true;

    QWidget* page = TabSettings;
    MakeLabel(page, QStringLiteral("Burning Engine:"), 240, 180, 1600);
    cmbEngine = MakeList(page, {QStringLiteral("IMAPI V1 - CDs only."), QStringLiteral("IMAPI V2 - CDs / DVDs")}, 1920, 120,
                         4000);

    MakeLabel(page, QStringLiteral("Destination CD:"), 240, 600, 1600);
    cboDrv = MakeList(page, {}, 1920, 540, 4000);
    lblOpenCDDoor = MakeLink(page, QStringLiteral("Open"), 6060, 600, 600);
    lblOpenCDDoor->setToolTip(QStringLiteral("Open CD"));
    lblCloseCDDoor = MakeLink(page, QStringLiteral("Close"), 6720, 600, 600);
    lblCloseCDDoor->setToolTip(QStringLiteral("Close CD"));
    lblRefreshCDInfo = MakeLink(page, QStringLiteral("Refresh"), 7380, 600, 900);
    lblRefreshCDInfo->setToolTip(QStringLiteral("Refresh CD Information"));
    lblCDStatus = MakeLabel(page, QStringLiteral("Ready."), 1920, 930, 6000);
    // The write speed is always the writer's fastest: the list is kept, never shown.
    lblSpeed = MakeLabel(page, QStringLiteral("Speeds:"), 240, 930, 1600);
    cboSpeed = MakeList(page, {}, 1920, 900, 2500);
    lblSpeed->hide();
    cboSpeed->hide();

    MakeLabel(page, QStringLiteral("CD Name:"), 240, 1320, 1600);
    txtCDName = MakeTextBox(page, 1920, 1260, 4000);

    lblFileSys = MakeLabel(page, QStringLiteral("File Sytem:"), 240, 1720, 1600);
    chkJOLIET = MakeCheck(page, QStringLiteral("JOLIET"), 1920, 1720, 1100);
    chkJOLIET->SetValue(1);
    chkISO = MakeCheck(page, QStringLiteral("ISO"), 3120, 1720, 900);
    chkISO->SetValue(1);
    chkUDF = MakeCheck(page, QStringLiteral("UDF"), 4120, 1720, 900);
    // Discs are written as ISO 9660 (with Rock Ridge, and Joliet when ticked): ISO 9660
    // is always there, and UDF cannot be written.
    chkISO->setEnabled(false);
    chkISO->setToolTip(QStringLiteral("Every disc is written with ISO 9660."));
    chkUDF->setEnabled(false);
    chkUDF->setToolTip(QStringLiteral("UDF is not available here: discs are written with ISO 9660 and Joliet."));

    chkDoNotConvertSource = MakeCheck(
        page, QStringLiteral("Do not convert the source files - Burn the files with the same format as they are."), 240,
        2100, 8000);

    lblCDFormat = MakeLabel(page, QStringLiteral("CD / DVD Format:"), 240, 2560, 1600);
    cboTargetFormat = new QComboBox(page);
    PlaceTwips(cboTargetFormat, 1920, 2500, 4000, 315);
    cmdEditTargetFormat = MakeButton(page, QStringLiteral("Edit"), 5980, 2500, 735, 315);
    cmdEditTargetFormat->setToolTip(QStringLiteral("Edit Target Audio Formats"));
    BuildFileNameBlock(3180);
    // Templates are chosen here, not made the default.
    lblSetAsDefaultFileName->hide();

    // The Events page: the tray and the temporary files besides the frame's boxes.
    chkOpenCDdrive = MakeCheck(TabEvents, QStringLiteral("Eject the CD door"), 480, 600, 4000);
    chkOpenCDdrive->SetValue(1);
    PlaceTwips(chkOpenDestFolder, 480, 960, 4000, 255);
    chkOpenDestFolder->setText(QStringLiteral("Open destination folder"));
    PlaceTwips(chkNoticeApp, 480, 1320, 4000, 255);
    chkNoticeApp->setText(QStringLiteral("Execute external program "));
    PlaceTwips(chkTurnOffComputer, 480, 1680, 4000, 255);
    PlaceTwips(chkPlaySound, 480, 2040, 4000, 255);
    chkEraseTempfiles = MakeCheck(TabEvents, QStringLiteral("Erase Temp files"), 480, 2400, 4000);
    chkEraseTempfiles->SetValue(1);
    lblErasetempfilesnow = MakeLink(TabEvents, QStringLiteral("Erase temp files now."), 4800, 2400, 2400);
    lblErasetempfilesnow->setToolTip(lblErasetempfilesnow->text());
    PlaceTwips(lblEventsSettings, 480, 2880, 2000, 255);

    cAudioDataBurner1 = CreateAudioDataBurner(this);
    connect(cAudioDataBurner1, &cAudioDataBurner::ClosingSession, this, &frmDataBurner3::cAudioDataBurner1_ClosingSession);
    connect(cAudioDataBurner1, &cAudioDataBurner::Finished, this, &frmDataBurner3::cAudioDataBurner1_Finished);
    connect(cAudioDataBurner1, &cAudioDataBurner::Started, this, &frmDataBurner3::cAudioDataBurner1_Started);
    connect(cAudioDataBurner1, &cAudioDataBurner::Progress, this, &frmDataBurner3::cAudioDataBurner1_Progress);
    connect(cAudioDataBurner1, &cAudioDataBurner::Error, this, &frmDataBurner3::cAudioDataBurner1_Error);
    cBurner1 = CreateBurner(this);
    connect(cBurner1, &cBurner::Message, this, &frmDataBurner3::cBurner1_Message);
    connect(cBurner1, &cBurner::DoneBurn, this, &frmDataBurner3::cBurner1_DoneBurn);
    connect(cBurner1, &cBurner::Canceled, this, &frmDataBurner3::cBurner1_Canceled);
    connect(cBurner1, &cBurner::BurnEnd, this, &frmDataBurner3::cBurner1_BurnEnd);
    connect(cBurner1, &cBurner::Progress, this, &frmDataBurner3::cBurner1_Progress);
    connect(cBurner1, &cBurner::Finalization, this, &frmDataBurner3::cBurner1_Finalization);
    connect(cBurner1, &cBurner::Initializing, this, &frmDataBurner3::cBurner1_Initializing);
    connect(cBurner1, &cBurner::Completed, this, &frmDataBurner3::cBurner1_Completed);
    connect(cBurner1, &cBurner::StartBurning, this, &frmDataBurner3::cBurner1_StartBurning);
    connect(cBurner1, &cBurner::FileCounts, this, &frmDataBurner3::cBurner1_FileCounts);
    connect(cBurner1, &cBurner::AddingFile, this, &frmDataBurner3::cBurner1_AddingFile);

    connect(cboTargetFormat, &QComboBox::activated, this, &ToolWindow::cboTargetFormat_Click);
    connect(cmdEditTargetFormat, &QPushButton::clicked, this, &ToolWindow::cmdEditTargetFormat_Click);
    connect(cmbEngine, &QComboBox::activated, this, &frmDataBurner3::cmbEngine_Click);
    connect(cboDrv, &QComboBox::activated, this, &frmDataBurner3::cboDrv_Click);
    connect(chkDoNotConvertSource, &CheckBox::Click, this, &frmDataBurner3::chkDoNotConvertSource_Click);
    connect(lblOpenCDDoor, &LinkLabel::Click, this, &frmDataBurner3::lblOpenCDDoor_Click);
    connect(lblCloseCDDoor, &LinkLabel::Click, this, &frmDataBurner3::lblCloseCDDoor_Click);
    connect(lblRefreshCDInfo, &LinkLabel::Click, this, &frmDataBurner3::lblRefreshCDInfo_Click);
    connect(lblErasetempfilesnow, &LinkLabel::Click, this, &frmDataBurner3::lblErasetempfilesnow_Click);
}

frmDataBurner3::~frmDataBurner3() = default;

QList<QWidget*> frmDataBurner3::PaintedControls() const
{
    return {chkOpenCDdrive, chkEraseTempfiles, chkDoNotConvertSource, chkISO, chkUDF, chkJOLIET};
}

void frmDataBurner3::Form_Load()
{
    ConverterToolWindow::Form_Load();
    // The list starts on its first template, whatever the default is.
    if (cboFileName->count() > 0) {
        cboFileName->setCurrentIndex(0);
        cboFileName_Click();
    }
    // The stored engine, with its controls and drives in place before the window shows:
    // a stored CD/DVD engine checks the burning library now.
    const QString stored = GetSetting(g_sAppName, kEngineSection, kEngineKey, QStringLiteral("0")).trimmed();
    bool ok = false;
    const int engine = stored.toInt(&ok);
    cmbEngine->setCurrentIndex(ok && engine >= 0 && engine < cmbEngine->count() ? engine : 0);
    cmbEngine_Click();
    CheckDoNotConvertEna();
}

void frmDataBurner3::Form_Unload(int& Cancel)
{
    if (IsBusy()) {
        Cancel = 1;
        return;
    }
    EraseTempFiles();
    SaveSetting(g_sAppName, kEngineSection, kEngineKey, QString::number(cmbEngine->currentIndex()));
    ConverterToolWindow::Form_Unload(Cancel);
}

void frmDataBurner3::CloseComponents()
{
    ConverterToolWindow::CloseComponents();
    cAudioDataBurner1->CloseBurner();
}

bool frmDataBurner3::IsBusy() const
{
    // An engine's burn call holds the window until it returns, whatever its events did
    // to the buttons.
    return m_bBurning || ConverterToolWindow::IsBusy();
}

void frmDataBurner3::SetBusy(bool busy)
{
    ConverterToolWindow::SetBusy(busy);
    // A job burns with the engine and to the drive it was started for: both stay as they
    // are while its items are prepared, as while an engine burns.
    cmbEngine->setEnabled(!busy && !m_bBurning);
    cboDrv->setEnabled(!busy && !m_bBurning);
}

void frmDataBurner3::cmbEngine_Click()
{
    const bool cdOnly = cmbEngine->currentIndex() == 0;
    for (QWidget* w : QList<QWidget*>{chkJOLIET, chkISO, chkUDF, lblFileSys})
        w->setVisible(!cdOnly);
    if (cdOnly) {
        LoadCDDrives();
        return;
    }
    if (IsIMAPI2Installed()) {
        LoadDiscDrives();
        return;
    }
    // Without the library the CD/DVD engine cannot burn: back to the CD-only one.
    cmbEngine->setCurrentIndex(0);
    cmbEngine_Click();
}

bool frmDataBurner3::IsIMAPI2Installed()
{
    QString why;
    if (DiscBurningLibraryStarted(why))
        return true;
    const QString text = QStringLiteral("The disc-burning library could not be started: ") + why +
                         QStringLiteral("\r\n\r\nContinue?");
    if (MsgBox(text, vbYesNo + vbInformation) == vbYes)
        OpenWithShell(this, HelpFilePath());
    return false;
}

void frmDataBurner3::LoadCDDrives()
{
    cboDrv->clear();
    const qint32 n = cAudioDataBurner1->GetDriveCount();
    for (qint32 i = 1; i <= n; ++i)
        cboDrv->addItem(cAudioDataBurner1->GetDriveName(i));
    if (cboDrv->count() < 1)
        return;
    cboDrv->setCurrentIndex(0);
    cboDrv_Click();
}

void frmDataBurner3::LoadDiscDrives()
{
    cboDrv->clear();
    const qint32 n = cBurner1->DriveCount();
    for (qint32 i = 0; i < n; ++i)
        cboDrv->addItem(cBurner1->GetDrivePath(i) + QStringLiteral(" - ") + cBurner1->GetDriveName(i));
    if (cboDrv->count() < 1)
        return;
    cboDrv->setCurrentIndex(0);
    cboDrv_Click();
}

void frmDataBurner3::cboDrv_Click()
{
    // The CD/DVD engine keeps the speeds of the last CD-only writer.
    if (cmbEngine->currentIndex() == 0)
        LoadDriveSpeeds();
    if (RefreshCDInfo())
        lblCDStatus->setText(QStringLiteral("Ready."));
}

void frmDataBurner3::LoadDriveSpeeds()
{
    QString drive = DriveLetter();
    const qint32 n = cAudioDataBurner1->GetSpeedCount(drive);
    QStringList speeds;
    for (qint32 i = 1; i <= n; ++i)
        speeds << QString::number(cAudioDataBurner1->GetSpeed(i));
    WriterSide::FillSpeeds(cboSpeed, speeds);
}

bool frmDataBurner3::RefreshCDInfo()
{
    // The disc's state is read when a burn starts; the line keeps saying "Ready.".
    return false;
}

void frmDataBurner3::lblRefreshCDInfo_Click()
{
    RefreshCDInfo();
}

QString frmDataBurner3::DriveLetter() const
{
    return WriterSide::DriveLetter(cboDrv);
}

QString frmDataBurner3::DriveText() const
{
    return cboDrv->currentText().left(2);
}

void frmDataBurner3::chkDoNotConvertSource_Click()
{
    CheckDoNotConvertEna();
}

void frmDataBurner3::CheckDoNotConvertEna()
{
    // A straight copy has no target format.
    const bool convert = chkDoNotConvertSource->Value() != 1;
    cboTargetFormat->setEnabled(convert);
    cmdEditTargetFormat->setEnabled(convert);
    lblCDFormat->setEnabled(convert);
}

void frmDataBurner3::lblOpenCDDoor_Click()
{
    cAudioDataBurner1->OpenTray(DriveLetter());
}

void frmDataBurner3::lblCloseCDDoor_Click()
{
    cAudioDataBurner1->CloseTray(DriveLetter());
}

QString frmDataBurner3::GetTempFolder()
{
    return AppPath() + QStringLiteral("/datacdtmp/");
}

QString frmDataBurner3::OutputFolder() const
{
    return GetTempFolder();
}

void frmDataBurner3::EraseTempFiles()
{
    // Only the files: a folder in there is not ours to remove. One that cannot be deleted
    // is passed over.
    const QDir folder(GetTempFolder());
    for (const QFileInfo& f : folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System))
        QFile::remove(f.absoluteFilePath());
}

void frmDataBurner3::lblErasetempfilesnow_Click()
{
    // The files of a running job or burn are in use: they stay until it has ended.
    if (IsBusy())
        return;
    EraseTempFiles();
    MsgBox(QStringLiteral("Done.") + QString(28, u' '), vbInformation + vbOKOnly);
}

void frmDataBurner3::EnableBurnControls(bool Enable)
{
    cmdConvert->setEnabled(Enable);
    cmdExit->setEnabled(Enable);
    lblOpenCDDoor->setEnabled(Enable);
    lblCloseCDDoor->setEnabled(Enable);
}
