// The main window: its controls, start-up, layout, exit, the timers that drive them and
// what other windows ask of it.
#include "mainwindow/frmMain.h"

#include "app/mdlMain.h"
#include "common/mdlModes.h"
#include "common/mdlFileSystem.h"
#include "common/mdlFunctions.h"
#include "common/mdlWindowHelpers.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cAudioCDRipper/cAudioCDRipper.h"
#include "components/cAudioGraph/cAudioGraph.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cGrid/cGrid.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cImageList/cImageList.h"
#include "components/cPlayer/cPlayer.h"
#include "components/cReBar/cReBar.h"
#include "components/cSlider/cSlider.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cSysTray/cSysTray.h"
#include "components/cToolbar/cToolbar.h"
#include "components/cToolbarHost/cToolbarHost.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/mdlItemsGrid.h"
#include "lists/mdlListsTree.h"
#include "platform/App.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/mdlOptions.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QSplitter>
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

    // The top bar: adding files, the list menu, the featured tool and the other menus.
    cToolbarHost1 = new cToolbarHost(this);
    cToolbarHost1->setObjectName(QStringLiteral("cToolbarHost1"));
    tlbrTop = new cToolbar(cToolbarHost1);
    tlbrTop->setObjectName(QStringLiteral("tlbrTop"));
    layout->addWidget(cToolbarHost1);

    // Tree panel | list name, items grid (under its empty-list notice), information grid.
    picMain = new QWidget(this);
    picMain->setObjectName(QStringLiteral("picMain"));
    auto* mainRow = new QHBoxLayout(picMain);
    mainRow->setContentsMargins(0, 0, 0, 0);
    auto* splitter = new QSplitter(Qt::Horizontal, picMain);
    mainRow->addWidget(splitter);

    picProjects = new QWidget(splitter);
    auto* treeBox = new QVBoxLayout(picProjects);
    treeBox->setContentsMargins(0, 0, 0, 0);
    cTreeView1 = new cTreeView(picProjects);
    treeBox->addWidget(cTreeView1);
    froTreeControl = new QWidget(picProjects);
    auto* treeControl = new QHBoxLayout(froTreeControl);
    treeControl->setContentsMargins(0, 0, 0, 0);
    tlbrProjectsHost = new cToolbarHost(froTreeControl);
    tlbrProjects = new cToolbar(tlbrProjectsHost);
    tlbrProjects->setObjectName(QStringLiteral("tlbrProjects"));
    treeControl->addWidget(tlbrProjectsHost);
    treeBox->addWidget(froTreeControl);

    auto* listPanel = new QWidget(splitter);
    auto* listBox = new QVBoxLayout(listPanel);
    listBox->setContentsMargins(0, 0, 0, 0);
    listBox->setSpacing(2);
    lblListName = new QLabel(QStringLiteral("New Items List"), listPanel);
    QFont nameFont = lblListName->font();
    nameFont.setBold(true);
    lblListName->setFont(nameFont);
    lblListName->installEventFilter(this);
    listBox->addWidget(lblListName);

    auto* gridRow = new QHBoxLayout;
    auto* gridArea = new QWidget(listPanel);
    auto* stack = new QGridLayout(gridArea);
    stack->setContentsMargins(0, 0, 0, 0);
    cGrid1 = new cGrid(gridArea);
    stack->addWidget(cGrid1, 0, 0);
    picEmptyMsg = new QWidget(gridArea);
    picEmptyMsg->setAutoFillBackground(true);
    auto* noticeBox = new QVBoxLayout(picEmptyMsg);
    lblEmptylist = new QLabel(QStringLiteral("Empty list."), picEmptyMsg);
    lblAddorDrag = new QLabel(QStringLiteral("Add or Drag and Drop audio files to here."), picEmptyMsg);
    lblEmptylist->setAlignment(Qt::AlignCenter);
    lblAddorDrag->setAlignment(Qt::AlignCenter);
    noticeBox->addWidget(lblEmptylist);
    noticeBox->addWidget(lblAddorDrag);
    stack->addWidget(picEmptyMsg, 0, 0, Qt::AlignCenter);
    picEmptyMsg->hide();
    gridRow->addWidget(gridArea, 1);

    // The column right of the grid: the information grid over the preview player.
    auto* infoColumn = new QVBoxLayout;
    infoColumn->setSpacing(2);
    cGridInfo = new cGrid(listPanel);
    cGridInfo->setFixedWidth(230);
    infoColumn->addWidget(cGridInfo, 1);
    picPlayer = new QWidget(listPanel);
    picPlayer->setFixedWidth(230);
    auto* playerBox = new QVBoxLayout(picPlayer);
    playerBox->setContentsMargins(0, 0, 0, 0);
    playerBox->setSpacing(2);
    cSlider1 = new cSlider(picPlayer);
    playerBox->addWidget(cSlider1);
    auto* graphs = new QHBoxLayout;
    cAudioGraphAmp = new cAudioGraph(cAudioGraph::Amplitude, picPlayer);
    cAudioGraphFreq = new cAudioGraph(cAudioGraph::Frequency, picPlayer);
    graphs->addWidget(cAudioGraphAmp);
    graphs->addWidget(cAudioGraphFreq);
    playerBox->addLayout(graphs);
    auto* playerRow = new QHBoxLayout;
    cToolbarHostPlayer = new cToolbarHost(picPlayer);
    tlbrPlayButtons = new cToolbar(cToolbarHostPlayer);
    tlbrPlayButtons->setObjectName(QStringLiteral("tlbrPlayButtons"));
    lblCurrentPositionSec = new QLabel(QStringLiteral("0:00:00"), picPlayer);
    lbTotalLengthSec = new QLabel(QStringLiteral("0:00:00"), picPlayer);
    playerRow->addWidget(cToolbarHostPlayer);
    playerRow->addWidget(lblCurrentPositionSec);
    playerRow->addStretch(1);
    playerRow->addWidget(lbTotalLengthSec);
    playerBox->addLayout(playerRow);
    picPlayer->hide();
    infoColumn->addWidget(picPlayer);
    gridRow->addLayout(infoColumn);
    listBox->addLayout(gridRow, 1);

    // Under the grid: the strip of the list bar, then the frame of the tools bar.
    picList = new QWidget(listPanel);
    picList->setObjectName(QStringLiteral("picList"));
    auto* listStrip = new QHBoxLayout(picList);
    listStrip->setContentsMargins(0, 0, 0, 0);
    rbrList = new cReBar(picList);
    tlbrList = new cToolbar(rbrList);
    tlbrList->setObjectName(QStringLiteral("tlbrList"));
    listBox->addWidget(picList);
    froControl = new QWidget(listPanel);
    froControl->setObjectName(QStringLiteral("froControl"));
    auto* controlRow = new QHBoxLayout(froControl);
    controlRow->setContentsMargins(0, 0, 0, 0);
    cToolbarHostRecorder = new cToolbarHost(froControl);
    cToolbarHostRecorder->SetWidth(600);
    tlbrRecorder = new cToolbar(cToolbarHostRecorder);
    tlbrRecorder->setObjectName(QStringLiteral("tlbrRecorder"));
    controlRow->addWidget(cToolbarHostRecorder);
    controlRow->addStretch(1);
    listBox->addWidget(froControl);

    splitter->setStretchFactor(1, 1);
    layout->addWidget(picMain, 1);

    cStatusBar1 = new cStatusBar(this);
    prgStatus = new XP_ProgressBar(cStatusBar1);
    cStatusBar1->addWidget(prgStatus, 1);
    prgStatus->hide();
    layout->addWidget(cStatusBar1);

    m_cMenu = new cIconMenu(this);
    m_cMenu->SetOwnerHwnd(this);
    cSysTray1 = new cSysTray(this);
    imgMenu = new cImageList;
    imgGeneral = new cImageList;
    imgGrid = new cImageList;
    imgPlayer = new cImageList;
    FillImageLists();

    cAudioConverter1 = CreateAudioConverter(this);
    cPlayer1 = CreatePlayer(this);
    cAudioCDRipper1 = CreateAudioCDRipper(this);

    tmrUnload.setInterval(100);
    tmrUnload.setSingleShot(false);
    tmrRemove.setInterval(50);
    tmrRemove.setSingleShot(true);
    tmrCDs.setInterval(5000);
    tmrCommandLine.setSingleShot(false);

    connect(m_cMenu, &cIconMenu::Click, this, &frmMain::m_cMenu_Click);
    connect(cSysTray1, &cSysTray::TrayClick, this, &frmMain::cSysTray1_TrayClick);
    connect(cStatusBar1, &cStatusBar::PanelClick, this, &frmMain::cStatusBar1_PanelClick);
    connect(cTreeView1, &cTreeView::NodeClick, this, &frmMain::cTreeView1_NodeClick);
    connect(cTreeView1, &cTreeView::AfterLabelEdit, this, &frmMain::cTreeView1_AfterLabelEdit, Qt::DirectConnection);
    connect(cTreeView1, &cTreeView::SelectionNotify, this, &frmMain::SelectionChangedByKeyboard);
    connect(cGrid1, &cGrid::RowChanged, this, &frmMain::cGrid1_RowChanged);
    connect(cGrid1, &cGrid::Notify28, this, &frmMain::cGrid1_Notify28);
    connect(cGrid1, &cGrid::GridMouseUp, this, &frmMain::cGrid1_GridMouseUp);
    connect(cGrid1, &cGrid::CellDoubleClick, this, &frmMain::cGrid1_CellDoubleClick);
    connect(cGridInfo, &cGrid::CellDoubleClick, this, &frmMain::cGridInfo_CellDoubleClick);
    connect(cGrid1, &cGrid::OLEDragDrop, this, &frmMain::cGrid1_OLEDragDrop);
    connect(&tmrCDs, &QTimer::timeout, this, &frmMain::tmrCDs_Timer);
    connect(cAudioCDRipper1, &cAudioCDRipper::Error, this, &frmMain::cAudioCDRipper1_Error);
    // Files dropped on the empty-list notice go where a drop on the grid goes.
    for (QWidget* w : {picEmptyMsg, static_cast<QWidget*>(lblAddorDrag), static_cast<QWidget*>(lblEmptylist)}) {
        w->setAcceptDrops(true);
        w->installEventFilter(this);
    }
    connect(&tmrUnload, &QTimer::timeout, this, &frmMain::tmrUnload_Timer);
    connect(&tmrCommandLine, &QTimer::timeout, this, &frmMain::tmrCommandLine_Timer);
    connect(&tmrRemove, &QTimer::timeout, this, &frmMain::tmrRemove_Timer);
    connect(tlbrTop, &cToolbar::ButtonClick, this, &frmMain::tlbrTop_ButtonClick);
    connect(tlbrTop, &cToolbar::ButtonDropDown, this, &frmMain::tlbrTop_ButtonDropDown);
    connect(tlbrProjects, &cToolbar::ButtonClick, this, &frmMain::tlbrProjects_ButtonClick);
    connect(tlbrList, &cToolbar::ButtonClick, this, &frmMain::tlbrList_ButtonClick);
    connect(tlbrRecorder, &cToolbar::ButtonClick, this, &frmMain::tlbrRecorder_ButtonClick);
    connect(tlbrPlayButtons, &cToolbar::ButtonClick, this, &frmMain::tlbrPlayButtons_ButtonClick);
}

frmMain::~frmMain()
{
    if (g_MainHost() == this)
        SetMainHost(nullptr);
    if (g_ListsHost() == this)
        SetListsHost(nullptr);
    // The process is ending with the main window.
    SetNoGPFaultErrorMode();
    // The controls that show these lists go before the lists do.
    delete picMain;
    picMain = nullptr;
    delete cStatusBar1;
    cStatusBar1 = nullptr;
    delete cToolbarHost1;
    cToolbarHost1 = nullptr;
    delete imgMenu;
    delete imgGeneral;
    delete imgGrid;
    delete imgPlayer;
}

void frmMain::Form_Load()
{
    SetMainHost(this);
    SetListsHost(this);

    // 1. Registry access.
    m_cRegistry.setHkey(HKEY_LOCAL_MACHINE);
    m_cRegistry.setKeyRoot(ProductKeyRoot());

    // 2. Colours from the option globals.
    SetBackColor(picTitle, g_lAppColor);
    SetForeColor(lblTitle, g_lTextColor);
    cAudioGraphAmp->SetBaseColor(g_lAppColor);
    cAudioGraphAmp->SetAmplitudeColor(g_lTextColor);
    cAudioGraphFreq->SetBaseColor(g_lAppColor);
    cAudioGraphFreq->SetFrequencyColor(g_lTextColor);
    prgStatus->SetBarColour(g_lAppColor);

    // 3. Tray icon.
    cSysTray1->AddIcon();
    cSysTray1->SetToolTipText(DisplayName());
    cSysTray1->SetIconFile(AppPath() + QStringLiteral("/SysIcon/systrayicon.ico"));

    // 4. Window icon.
    SetFormIcon(this, QStringLiteral("AAA"), true);

    // 5. Grids.
    SetupItemsGrid(cGrid1, imgGrid);
    SetupInfoGrid(cGridInfo);

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
    BuildMenus();

    // 9 to 13. The tools bar, the top bar, the lists bar, the list bar in its band
    // container and the player bar, each in its host.
    BuildToolsToolbar();
    cToolbarHostRecorder->AttachToolbar(tlbrRecorder);
    cToolbarHostRecorder->SetHeight(760);
    BuildTopToolbar();
    BuildProjectsToolbar();
    BuildListToolbar();
    BuildPlayerToolbar();

    // 14. Caption.
    setWindowTitle(DisplayName());
    lblTitle->setText(DisplayName());

    // 15. Tree of items lists.
    setTree();

    // 16. First list.
    if (lAppIncItemsLists == 1) {
        if (g_nodMainItems && g_nodMainItems->Children().Count() > 0)
            cTreeView1_NodeClick(g_nodMainItems->Children().Item(1));
        else if (g_nodMainItems)
            m_cMenu_Click(m_cMenu->IndexForKey(QStringLiteral("New Items List")));
    } else if (g_nodMainCDs && g_nodMainCDs->Children().Count() > 0) {
        cTreeView1_NodeClick(g_nodMainCDs->Children().Item(1));
    }

    // 17. Command-line timer.
    tmrCommandLine.setInterval(200);
    tmrCommandLine.start();

    // 18, 19. Window size.
    m_cRegistry.setSubkey(QStringLiteral("General"));
    RestoreWindowSize();
    Form_Resize();
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
    picProjects->setVisible(lAppIncProjects != 0);
    cAudioGraphAmp->setVisible(g_bDisplayAudioGraph);
    cAudioGraphFreq->setVisible(g_bDisplayAudioGraph);
    // A changed menu style takes effect at the next popup.
    m_cMenu->SetAdvancedStyle(g_bMenuXPStyle);
    picPlayer->setVisible(g_bDisplayPlayer);
}

void frmMain::Form_Unload(int& Cancel)
{
    // Files are being added: the run stops at its next file, and the window closes once
    // it has ended (and the rows it added are saved).
    if (m_bAddingFiles) {
        g_bCancelAddFiles = true;
        m_bUnloadAfterAdd = true;
        Cancel = 1;
        return;
    }
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
    StopPreviewPlayer();
    cTreeItem* selected = cTreeView1->SelectedItem();
    if (g_bClearOnExit && !(selected && IsCDNode(selected->Key())))
        DoClearTheList();
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
    else if (c == QLatin1String("-addaudiocd"))
        SelectFirstAudioCD();
}

void frmMain::SetStatusPanelText(const QString& key, const QString& text)
{
    cStatusBar1->SetPanelText(key, text);
}

void frmMain::ReloadListsTree()
{
    // The lists folder changed: the tree shows the new folder and its first list.
    setTree();
    if (cTreeItem* first = cTreeView1->Nodes().Item(2)) {
        first->SetItemFlag67(true);
        cTreeView1_NodeClick(first);
    }
}

void frmMain::ApplyGridOptions(bool hotTrack, bool gridLines)
{
    cGrid1->SetHotTrack(hotTrack);
    cGrid1->SetGridLines(gridLines);
}

void frmMain::ApplyAppColour(qint32 colour)
{
    SetBackColor(picTitle, colour);
}

void frmMain::ApplyTextColour(qint32 colour)
{
    SetForeColor(lblTitle, colour);
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

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (NoticeDropEvent(watched, event))
        return true;
    if (watched == lblListName && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        lblListName_Click();
        return true;
    }
    return VForm::eventFilter(watched, event);
}
