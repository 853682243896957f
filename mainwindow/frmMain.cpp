#include "mainwindow/frmMain.h"

#include "app/mdlMain.h"
#include "app/mdlModes.h"
#include "common/mdlFileSystem.h"
#include "common/mdlFunctions.h"
#include "common/mdlWindowHelpers.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cImageList/cImageList.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cSysTray/cSysTray.h"
#include "platform/App.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/mdlOptions.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QVBoxLayout>

frmMain::frmMain()
{
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetNoConstraint);  // the stored size wins over the content
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    picTitle = new QWidget(this);
    picTitle->setObjectName(QStringLiteral("picTitle"));
    picTitle->setAutoFillBackground(true);
    auto* titleRow = new QHBoxLayout(picTitle);
    titleRow->setContentsMargins(8, 2, 8, 2);
    lblTitle = new QLabel(picTitle);
    QFont f = lblTitle->font();
    f.setBold(true);
    lblTitle->setFont(f);
    titleRow->addWidget(lblTitle);
    layout->addWidget(picTitle);

    picMain = new QWidget(this);
    picMain->setObjectName(QStringLiteral("picMain"));
    layout->addWidget(picMain, 1);

    cStatusBar1 = new cStatusBar(this);
    layout->addWidget(cStatusBar1);

    m_cMenu = new cIconMenu(this);
    cSysTray1 = new cSysTray(this);
    imgMenu = new cImageList;
    imgGrid = new cImageList;

    tmrUnload.setInterval(100);
    tmrUnload.setSingleShot(false);
    tmrCDs.setInterval(5000);
    tmrCommandLine.setSingleShot(false);

    connect(m_cMenu, &cIconMenu::Click, this, &frmMain::m_cMenu_Click);
    connect(cSysTray1, &cSysTray::TrayClick, this, &frmMain::cSysTray1_TrayClick);
    connect(cStatusBar1, &cStatusBar::PanelClick, this, &frmMain::cStatusBar1_PanelClick);
    connect(&tmrUnload, &QTimer::timeout, this, &frmMain::tmrUnload_Timer);
    connect(&tmrCommandLine, &QTimer::timeout, this, &frmMain::tmrCommandLine_Timer);
}

frmMain::~frmMain()
{
    if (g_MainHost() == this)
        SetMainHost(nullptr);
    // The process is ending with the main window.
    SetNoGPFaultErrorMode();
    delete imgMenu;
    delete imgGrid;
}

void frmMain::Form_Load()
{
    SetMainHost(this);

    // 1. Registry access.
    m_cRegistry.setHkey(HKEY_LOCAL_MACHINE);
    m_cRegistry.setKeyRoot(ProductKeyRoot());

    // 2. Colours from the option globals.
    SetBackColor(picTitle, g_lAppColor);
    SetForeColor(lblTitle, g_lTextColor);

    // 3. Tray icon.
    cSysTray1->AddIcon();
    cSysTray1->SetToolTipText(DisplayName());
    cSysTray1->SetIconFile(AppPath() + QStringLiteral("/SysIcon/systrayicon.ico"));

    // 4. Window icon.
    SetFormIcon(this, QStringLiteral("AAA"), true);

    // 6. Status bar.
    cStatusBar1->SetImageList(imgMenu);
    cStatusBar1->AddPanel(0, QString(), QString(), 47, 120, false, false, 0, QStringLiteral("Main"));
    cStatusBar1->AddPanel(0, QString(), QString(), -1, 180, false, false, 0, QStringLiteral("Items List Properties"));
    cStatusBar1->AddPanel(0, GetNotesToStatus(), QStringLiteral("Notes"), 8, 250, false, false, 0,
                          QStringLiteral("Notes"));
    cStatusBar1->AddPanel(0, QStringLiteral("Master Volume"), QString(), 79, 64, false, false, 0,
                          QStringLiteral("Master Volume"));
    cStatusBar1->SetPanelText(QStringLiteral("Main"), QStringLiteral("Ready."));

    // 7. Menus.
    BuildTrayMenu();

    // 14. Caption.
    setWindowTitle(DisplayName());
    lblTitle->setText(DisplayName());

    // 17. Command-line timer.
    tmrCommandLine.setInterval(200);
    tmrCommandLine.start();

    // 18, 19. Window size.
    m_cRegistry.setSubkey(QStringLiteral("General"));
    RestoreWindowSize();
    Form_Resize();
}

void frmMain::BuildTrayMenu()
{
    const qint32 tray = m_cMenu->AddItem(QStringLiteral("Tray"), QString(), 0, 0, -1, 0, -1, QStringLiteral("mnuTray"));
    m_cMenu->AddItem(QStringLiteral("Hide"), QString(), 0, tray, -1, 0, -1, QStringLiteral("RC Open"));
    m_cMenu->AddItem(QStringLiteral("-"), QString(), 0, tray, -1, 0, -1, QString());
    m_cMenu->AddItem(QStringLiteral("Exit"), QString(), 0, tray, -1, 0, -1, QStringLiteral("RC Exit"));
    m_cMenu->SetItemVisible(tray, false);
}

void frmMain::RestoreWindowSize()
{
    const int w = m_cRegistry.GetRegistryValue(QStringLiteral("lWidth"), 13140).toInt();
    const int h = m_cRegistry.GetRegistryValue(QStringLiteral("lHeight"), 7440).toInt();
    SetWidth(w < 3000 ? 13740 : w);
    SetHeight(h < 1000 ? 7440 : h);
}

void frmMain::SaveWindowSize()
{
    m_cRegistry.setSubkey(QStringLiteral("General"));
    m_cRegistry.SetRegistryValue(QStringLiteral("lHeight"), QString::number(Height()), 1);
    m_cRegistry.SetRegistryValue(QStringLiteral("lWidth"), QString::number(Width()), 1);
}

void frmMain::Form_Resize()
{
    if (g_bDisplayTitle) {
        picTitle->setFixedHeight(375 / kTwipsPerPixel);
        picTitle->show();
    } else {
        picTitle->setFixedHeight(0);
        picTitle->hide();
    }
}

void frmMain::Form_Unload(int& Cancel)
{
    g_bExitApp = true;
    if (g_bDisplayMSGWhenExit) {
        const QString q = QStringLiteral("Are you sure you want to exit '") + g_sAppName + u' ' + g_sAppVersion
            + QStringLiteral("' ?");
        if (MsgBox(q, vbYesNo + vbInformation) == vbNo) {
            Cancel = 1;
            g_bExitApp = false;
            return;
        }
    }
    SetFormOnTop(this, false);
    // Every other window goes now; the settings windows really unload while closing.
    const QList<VForm*> others = Forms::LoadedForms();
    for (VForm* f : others)
        if (f != this)
            Forms::Unload(f, vbFormOwner);
    KillFile(AppPath() + QStringLiteral("/tmpeditor.wav"));
    KillFile(AppPath() + QStringLiteral("/tmptts.wav"));
    SaveWindowSize();
    cSysTray1->RemoveIcon();
    tmrCommandLine.stop();
    tmrUnload.stop();
    tmrCDs.stop();
    tmrRemove.stop();
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
}

void frmMain::tmrUnload_Timer()
{
    tmrUnload.stop();
    g_bDisplayMSGWhenExit = false;
    Forms::Unload(this);
}

void frmMain::tmrCommandLine_Timer()
{
    // Off before the work: the command may run a modal window, during which timer
    // events keep being dispatched.
    tmrCommandLine.stop();
    RunCommandLineSwitches();
}

void frmMain::RunCommandLineSwitches()
{
    const QString c = Command().toLower();
    if (c == QLatin1String("-addfiles"))
        m_cMenu_Click(m_cMenu->IndexForKey(QStringLiteral("Add Files")));
}

void frmMain::m_cMenu_Click(qint32 ItemNumber)
{
    const QString key = m_cMenu->ItemKey(ItemNumber);
    if (key.isEmpty())
        return;
    if (key == QLatin1String("RC Open")) {
        cSysTray1_TrayClick(1);
    } else if (key == QLatin1String("RC Exit")) {
        Forms::Unload(this);
    } else if (key == QLatin1String("GoSysTray")) {
        GoSysTray();
    }
}

void frmMain::GoSysTray()
{
    SetWindowState(vbMinimized);
    Hide();
    m_cMenu->SetItemCaption(m_cMenu->IndexForKey(QStringLiteral("RC Open")), QStringLiteral("Show"));
    m_bInTray = true;
}

void frmMain::cSysTray1_TrayClick(qint32 ClickType)
{
    const qint32 rcOpen = m_cMenu->IndexForKey(QStringLiteral("RC Open"));
    if (ClickType == 1) {
        const int state = WindowState();
        if (state == vbMinimized && m_bInTray) {
            show();
            SetWindowState(vbNormal);
            if (!HeadlessPlatform()) {
                raise();
                activateWindow();
            }
            m_cMenu->SetItemCaption(rcOpen, QStringLiteral("Hide"));
            m_bInTray = false;
        } else if (state == vbNormal) {
            SetWindowState(vbMinimized);
            Hide();
            m_cMenu->SetItemCaption(rcOpen, QStringLiteral("Show"));
            m_bInTray = true;
        } else if (state == vbMinimized) {
            Hide();
            SetWindowState(vbMinimized);
            m_cMenu->SetItemCaption(rcOpen, QStringLiteral("Show"));
            m_bInTray = true;
        }
    } else if (ClickType == 2) {
        if (!HeadlessPlatform())
            activateWindow();
        qint32 x = 0, y = 0;
        GetMousePosition(x, y);
        m_cMenu->ShowPopupMenuAt(x, y, rcOpen, -1);
    }
}

void frmMain::SetStatusPanelText(const QString& key, const QString& text)
{
    cStatusBar1->SetPanelText(key, text);
}

void frmMain::ReloadListsTree()
{
    // The tree of items lists is not part of this window yet.
}

void frmMain::ApplyGridOptions(bool hotTrack, bool gridLines)
{
    Q_UNUSED(hotTrack)
    Q_UNUSED(gridLines)
}

void frmMain::ApplyAppColour(qint32 colour)
{
    SetBackColor(picTitle, colour);
}

void frmMain::ApplyTextColour(qint32 colour)
{
    SetForeColor(lblTitle, colour);
}

void frmMain::cStatusBar1_PanelClick(int Index)
{
    m_cMenu_Click(m_cMenu->IndexForKey(cStatusBar1->PanelKey(Index)));
}

QString frmMain::GetNotesToStatus() const
{
    const QString path = AppPath() + QStringLiteral("/Notes");
    const QString empty = QStringLiteral("Notes [ Empty ]");
    if (!QFileInfo(path).isFile())
        return empty;
    QString notes = ReadTextFile(path);
    if (notes.isEmpty() || notes == QLatin1String("\r\n"))
        return empty;
    notes.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    notes.replace(u'\r', u' ');
    notes.replace(u'\n', u' ');
    QString summary = QStringLiteral("Notes [ ") + notes + QStringLiteral(" ]");
    if (summary.size() >= 37)
        summary = summary.left(35) + QStringLiteral("...");
    return summary;
}
