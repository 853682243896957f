// The tool-window frame: its controls, loading, pages, close guard, Abort question and
// the end-of-job actions.
#include "tools/frame/ToolWindow.h"

#include "common/mdlModes.h"
#include "common/MainHost.h"
#include "common/mdlFunctions.h"
#include "common/mdlShutDown.h"
#include "common/mdlSupportedDestination.h"
#include "common/mdlWindowHelpers.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/audio/AudioJobComponent.h"
#include "components/cGrid/cGrid.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cSysTray/cSysTray.h"
#include "components/cTabControl/cTabControl.h"
#include "lists/mdlItemsGrid.h"
#include "platform/App.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "platform/Services.h"
#include "platform/ShellService.h"
#include "platform/SoundService.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

namespace {

// Window size in twips.
constexpr int kWidth = 8700;
constexpr int kHeight = 7200;

cImageList* hostImages(bool grid)
{
    MainHost* host = g_MainHost();
    if (!host)
        return nullptr;
    return grid ? host->GridImageList() : host->MenuImageList();
}

} // namespace

ToolWindow::ToolWindow(const Design& design) : m_design(design)
{
    setWindowTitle(design.caption);
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setFixedSize(TwipsToPixels(kWidth), TwipsToPixels(kHeight));
    setFont(QFont(QStringLiteral("Tahoma")));

    lblTitle = MakeTitleStrip(this, kWidth, design.caption, picTitle);

    lblFilesToConvert = MakeLabel(this, QStringLiteral("Files: 0/15"), 120, 600, kWidth - 240);
    prgTotal = new XP_ProgressBar(this);
    PlaceTwips(prgTotal, 120, 900, kWidth - 240, 255);
    lblCurrentTrack = MakeLabel(this, QStringLiteral("Ready."), 120, 1260, kWidth - 240);
    prgCurrnet = new XP_ProgressBar(this);
    PlaceTwips(prgCurrnet, 120, 1560, kWidth - 240, 255);

    cTabControl1 = new cTabControl(this);
    PlaceTwips(cTabControl1, 120, 1950, kWidth - 240, 4080);
    // Created after the tab strip, so the pages lie over it.
    TabSettings = new QFrame(this);
    TabEvents = new QFrame(this);
    TabLog = new QFrame(this);
    for (QFrame* page : {TabSettings, TabEvents, TabLog})
        page->setAutoFillBackground(true);

    MakeLabel(TabEvents, QStringLiteral("Events When Done:"), 240, 240, 3000);
    chkPlaySound = MakeCheck(TabEvents, QStringLiteral("Play a sound"), 480, 600, 4000);
    chkOpenDestFolder = MakeCheck(TabEvents, QStringLiteral("Open the destination folder"), 480, 960, 4000);
    chkNoticeApp = MakeCheck(TabEvents, QStringLiteral("Execute external program"), 480, 1320, 4000);
    chkTurnOffComputer = MakeCheck(TabEvents, QStringLiteral("Turn off computer"), 480, 1680, 4000);
    lblEventsSettings = MakeLink(TabEvents, QStringLiteral("Events Options..."), 480, 2160, 2000);

    txtLog = new QPlainTextEdit(TabLog);
    txtLog->setReadOnly(true);

    cGrid1 = new cGrid(this);
    cGrid1->hide();  // it only holds the rows handed over

    cmdConvert = MakeButton(this, design.startCaption, kWidth - 4320, 6120, 1335, 375);
    QFont startFont = cmdConvert->font();
    startFont.setBold(true);
    cmdConvert->setFont(startFont);
    cmdAbort = MakeButton(this, QStringLiteral("Abort"), kWidth - 2880, 6120, 1335, 375);
    cmdExit = MakeButton(this, QStringLiteral("Exit"), kWidth - 1440, 6120, 1335, 375);

    cStatusBar1 = new cStatusBar(this);
    PlaceTwips(cStatusBar1, 0, kHeight - 330, kWidth, 330);

    if (design.overwriteCheck)
        chkOverWrite = MakeCheck(TabSettings, QStringLiteral("Overwrite existing files"), 1440, 0, 3500);

    connect(cTabControl1, &cTabControl::TabClick, this, &ToolWindow::cTabControl1_TabClick);
    connect(lblEventsSettings, &LinkLabel::Click, this, &ToolWindow::lblEventsSettings_Click);
    connect(cmdAbort, &QPushButton::clicked, this, &ToolWindow::cmdAbort_Click);
    connect(cmdExit, &QPushButton::clicked, this, &ToolWindow::cmdExit_Click);
}

ToolWindow::~ToolWindow() = default;

QLabel* MakeTitleStrip(QWidget* window, int widthTwips, const QString& caption, QWidget*& strip)
{
    strip = new QWidget(window);
    strip->setAutoFillBackground(true);
    PlaceTwips(strip, 0, 0, widthTwips, 495);
    auto* label = new QLabel(caption, strip);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    PlaceTwips(label, 240, 120, 5000, 255);
    return label;
}

void PaintTitleStrip(QWidget* strip, QLabel* caption)
{
    SetBackColor(strip, g_lAppColor);
    SetForeColor(caption, g_lTextColor);
    LoadViewPicture(strip, g_sViewTitlePicture);
}

void ToolWindow::Form_Load()
{
    SetFormIcon(this, m_design.icon, true);

    // Colours: the title strip takes the application's, the rest the view colour when the
    // product has one (otherwise the design colours stay).
    PaintTitleStrip(picTitle, lblTitle);
    bool ok = false;
    const qint32 back = g_sViewBackColor.toInt(&ok);
    if (ok) {
        QList<QWidget*> painted{this,         TabSettings,       TabEvents,          TabLog,
                                chkPlaySound, chkOpenDestFolder, chkTurnOffComputer, chkNoticeApp};
        painted << PaintedControls();
        if (chkCreateSubFolder)
            painted << chkCreateSubFolder;
        if (chkOverWrite)
            painted << chkOverWrite;
        for (QWidget* w : painted)
            SetBackColor(w, back);
    }
    prgCurrnet->SetBarColour(g_lAppColor);
    prgTotal->SetBarColour(g_lAppColor);
    if (!g_sViewBackPicture.isEmpty()) {
        LoadViewPicture(this, g_sViewBackPicture);
        for (QFrame* page : {TabSettings, TabEvents, TabLog})
            LoadViewPicture(page, g_sViewBackPicture);
    }

    // The three pages over the tab strip's client area, reaching a little further left.
    cTabControl1->SetImageList(hostImages(false));
    cTabControl1->AddTab(m_design.settingsTab, m_design.settingsTabImage, -1, QStringLiteral("Settings"));
    cTabControl1->AddTab(QStringLiteral("Events        "), 10, -1, QStringLiteral("Events"));
    cTabControl1->AddTab(QStringLiteral("Log             "), 36, -1, QStringLiteral("Log"));
    for (QFrame* page : {TabSettings, TabEvents, TabLog})
        PlaceTwips(page, cTabControl1->ClientLeft() - 50, cTabControl1->ClientTop(), cTabControl1->ClientWidth() + 50,
                   cTabControl1->ClientHeight());
    HideTabPages();
    TabSettings->show();
    PlaceTwips(txtLog, 100, 100, TabLog->width() * kTwipsPerPixel - 200, TabLog->height() * kTwipsPerPixel - 200);

    // The grid is never shown: the main grid's columns, in their order, are what matters.
    SetupItemsGrid(cGrid1, hostImages(m_design.gridImages));

    if (txtToPath) {
        LoadPathHistory(txtToPath);
        if (txtToPath->currentText().isEmpty())
            txtToPath->setEditText(AppPath() + QStringLiteral("/Main/"));
    }
    if (cboTargetFormat) {
        FillDestinationFormats(cboTargetFormat);
        // The options window's default format; with none stored, the first format.
        if (!SelectListText(cboTargetFormat, Forms::Get<frmOptions>()->cboTargetFormat->currentText()))
            cboTargetFormat->setCurrentIndex(0);
        cboTargetFormat_Click();
    }
    ReadEventBoxes();

    cStatusBar1->AddPanel(0, QString(), QString(), -1, 200, false, false, 0, QStringLiteral("Total Size"));
    cStatusBar1->AddPanel(0, QString(), QString(), -1, 64, false, false, 0, QStringLiteral("Total Time"));

    CheckUnderFolderEna();
}

void ToolWindow::ReadEventBoxes()
{
    chkNoticeApp->SetValue(BoolToCheckValue(g_bNoticeApp));
    chkOpenDestFolder->SetValue(BoolToCheckValue(g_bOpenDestFolder));
    chkPlaySound->SetValue(BoolToCheckValue(g_bPlaySound));
    chkTurnOffComputer->SetValue(BoolToCheckValue(g_bTurnOffComputer));
}

void ToolWindow::Form_Unload(int& Cancel)
{
    if (IsBusy()) {
        Cancel = 1;
        return;
    }
    CloseComponents();
}

void ToolWindow::HideTabPages()
{
    TabSettings->hide();
    TabEvents->hide();
    TabLog->hide();
}

void ToolWindow::cTabControl1_TabClick(qint32)
{
    HideTabPages();
    const QString key = cTabControl1->TabKey(cTabControl1->SelectedTab());
    if (key == QLatin1String("Settings"))
        TabSettings->show();
    else if (key == QLatin1String("Events"))
        TabEvents->show();
    else if (key == QLatin1String("Log"))
        TabLog->show();
}

void ToolWindow::ShowTab(const QString& key)
{
    cTabControl1->SelectTab(key);
    cTabControl1_TabClick(cTabControl1->TabIndex(key));
}

void ToolWindow::cmdExit_Click()
{
    Forms::Unload(this);
}

void ToolWindow::keyPressEvent(QKeyEvent* event)
{
    // Escape closes the window through the same guard as the Exit button.
    if (event->key() == Qt::Key_Escape) {
        cmdExit_Click();
        return;
    }
    VForm::keyPressEvent(event);
}

void ToolWindow::lblEventsSettings_Click()
{
    ShowOptionsPage(QStringLiteral("Events"), this);
    // The boxes show the stored defaults again, whatever was ticked here before.
    ReadEventBoxes();
}

qint32 ToolWindow::FindRowByItemData(const QString& Text)
{
    bool ok = false;
    const qint32 n = Text.trimmed().toInt(&ok);
    if (!ok)
        return 0;
    for (qint32 row = 1; row <= cGrid1->Rows(); ++row)
        if (cGrid1->RowItemData(row) == n)
            return row;
    return 0;
}

bool ToolWindow::BeginJob(const QString& preparing)
{
    if (!txtLog->toPlainText().isEmpty()) {
        QTextCursor end = txtLog->textCursor();
        end.movePosition(QTextCursor::End);
        end.insertText(QStringLiteral("\n"));
    }
    if (txtToPath) {
        // Without a destination the outputs would land wherever the program was started.
        if (txtToPath->currentText().trimmed().isEmpty()) {
            const QString text = QStringLiteral("Choose a destination folder first: the output files are written into it.");
            AddLog(text, txtLog);
            MsgBox(text, vbOKOnly + vbInformation);
            return false;
        }
        SavePathHistory(txtToPath);
        LoadPathHistory(txtToPath);
    }
    // From here on the job works with what the boxes say now, whatever they say later.
    m_sJobFolder = OutputFolder();
    m_sJobFormat = TargetFormatText();
    AddLog(preparing, txtLog);
    if (!JobMayStart())
        return false;
    SetDestination();
    if (!m_sJobFolder.isEmpty() && !PrepareOutputFolder())
        return false;
    m_bJobError = false;
    m_lFailedItems = 0;
    ShowTab(QStringLiteral("Log"));
    return true;
}

void ToolWindow::CountFailed(qint32 items)
{
    m_bJobError = true;
    m_lFailedItems += items;
}

QString ToolWindow::EndText(qint32 failed, qint32 items)
{
    if (failed >= items && items > 0)
        return QStringLiteral("Failed: see the Log.");
    if (failed > 0)
        return QStringLiteral("Done. %1 of %2 failed: see the Log.").arg(failed).arg(items);
    return QStringLiteral("Done.");
}

void ToolWindow::EndJob(qint32 items, bool doneInCaption, bool actionsAfterFailure)
{
    const QString text = EndText(m_lFailedItems, items);
    ShowBalloon(text);
    lblCurrentTrack->setText(text);
    if (doneInCaption || m_lFailedItems > 0)
        setWindowTitle(text);
    if (m_lFailedItems == 0 || actionsAfterFailure)
        DoEndEvents();
}

bool ToolWindow::IsBusy() const
{
    return !cmdConvert->isEnabled();
}

void ToolWindow::SetBusy(bool busy)
{
    cmdConvert->setEnabled(!busy);
    cmdExit->setEnabled(!busy);
}

void ToolWindow::AbortJob()
{
    if (AudioJobComponent* c = JobComponent())
        c->Abort();
}

void ToolWindow::cmdAbort_Click()
{
    // A window disables Abort while nothing it runs can be stopped.
    if (!IsBusy() || !cmdAbort->isEnabled())
        return;
    m_bAbortAsked = true;
    const int answer = MsgBox(QStringLiteral("Abort operation?") + QString(38, u' '), vbYesNo + vbInformation);
    m_bAbortAsked = false;
    // The job may have ended while the question was open (or done its last work): then
    // there is nothing to stop, and it ends as it would have.
    if (answer != vbYes || !IsBusy() || EndedWhileAbortAsked()) {
        AbortDeclined();
        return;
    }
    AbortJob();
    ShowBalloon(QStringLiteral("Aborted."));
}

int ToolWindow::AskOverwrite(const QString& path)
{
    AddLog(QStringLiteral("File already exists."), txtLog);
    const int answer = MsgBox(QStringLiteral("The file: '") + path + QStringLiteral("' already exists.\r\n\r\nOverwrite it?"),
                              vbYesNoCancel + vbInformation);
    if (answer == vbYes)
        AddLog(QStringLiteral("Overwrite it..."), txtLog);
    return answer;
}

QString OutputFolderInTheWay(const QString& path)
{
    if (!QFileInfo(path).isDir())
        return QString();
    return QStringLiteral("The output \"%1\" is a folder, not a file.").arg(path);
}

QString VisibleFileName(const QString& name)
{
    qsizetype dots = 0;
    while (dots < name.size() && name.at(dots) == u'.')
        ++dots;
    return name.mid(dots);
}

bool ReadWholeSeconds(const QString& text, qint32& seconds)
{
    bool ok = false;
    const qint32 value = text.trimmed().toInt(&ok, 10);
    if (ok)
        seconds = value;
    return ok;
}

void ToolWindow::ShowBalloon(const QString& message)
{
    MainHost* host = g_MainHost();
    if (cSysTray* tray = host ? host->SysTray() : nullptr)
        tray->ShowBalloon(message, DisplayName(), 1, 30);
}

void ToolWindow::DoEndEvents()
{
    PlayEndSound();
    OpenEndFolder();
    StartNoticeApp();
    StartTurnOffAfterJob();
}

void ToolWindow::PlayEndSound()
{
    if (chkPlaySound->Value() == 1)
        Services::sound().play(g_sPlayAtEnd);
}

void ToolWindow::OpenEndFolder()
{
    if (chkOpenDestFolder->Value() == 1 && txtToPath)
        OpenWithShell(this, JobFolder());
}

void ToolWindow::StartNoticeApp()
{
    if (chkNoticeApp->Value() != 1)
        return;
    MainHost* host = g_MainHost();
    if (!host)
        return;
    // The program and its arguments, each filled in after the command line was split: a
    // name with blanks or quotes stays one argument. No shell runs it.
    QStringList args = host->GetNoticAppCommand();
    if (args.isEmpty())
        return;
    const QString program = args.takeFirst();
    Services::shell().start(program, args, AppPath());
}

void ToolWindow::StartTurnOffAfterJob()
{
    if (!m_bJobError && chkTurnOffComputer->Value() == 1)
        StartTurnOffCountdown(30);
}
