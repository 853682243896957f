// The main window: its controls, start-up, layout, exit, the timers that drive them and
// what other windows ask of it.
#include "mainwindow/frmMain.h"

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
#include <QLabel>
#include <QMouseEvent>
#include <QRubberBand>
#include <QVBoxLayout>

frmMain::frmMain()
{
    // Every panel is a child of the window itself; Form_Resize places them
    // (frmMain_Layout.cpp). Inside a panel its own controls keep their places.
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

    // The top bar: adding files, the list menu, the featured tool and the other menus.
    cToolbarHost1 = new cToolbarHost(this);
    cToolbarHost1->setObjectName(QStringLiteral("cToolbarHost1"));
    tlbrTop = new cToolbar(cToolbarHost1);
    tlbrTop->setObjectName(QStringLiteral("tlbrTop"));
    picToolBarJPGPicHolder = new QLabel(cToolbarHost1);
    picToolBarJPGPicHolder->hide();

    // The caption strips over the tree and over the grid.
    const auto captionStrip = [this](const char* name, QLabel*& label, const QString& text) {
        auto* strip = new QWidget(this);
        strip->setObjectName(QLatin1String(name));
        auto* row = new QHBoxLayout(strip);
        row->setContentsMargins(4, 0, 4, 0);
        label = new QLabel(text, strip);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        row->addWidget(label);
        return strip;
    };
    picTitleProject = captionStrip("picTitleProject", lblProjects, QStringLiteral("Items Lists"));
    picTitleList = captionStrip("picTitleList", lblListName, QStringLiteral("New Items List"));
    lblListName->installEventFilter(this);

    // The tree, the splitter bar and the grid under its empty-list notice.
    cTreeView1 = new cTreeView(this);
    cTreeView1->setObjectName(QStringLiteral("cTreeView1"));
    picResizer = new QWidget(this);
    picResizer->setObjectName(QStringLiteral("picResizer"));
    picResizer->setAutoFillBackground(true);
    picResizer->setMouseTracking(true);
    picResizer->setCursor(Qt::SplitHCursor);
    picResizer->installEventFilter(this);
    m_resizerLine = new QRubberBand(QRubberBand::Line, this);
    cGrid1 = new cGrid(this);
    cGrid1->setObjectName(QStringLiteral("cGrid1"));
    picEmptyMsg = new QWidget(this);
    picEmptyMsg->setObjectName(QStringLiteral("picEmptyMsg"));
    picEmptyMsg->setAutoFillBackground(true);
    auto* noticeBox = new QVBoxLayout(picEmptyMsg);
    lblEmptylist = new QLabel(QStringLiteral("Empty list."), picEmptyMsg);
    lblAddorDrag = new QLabel(QStringLiteral("Add or Drag and Drop audio files to here."), picEmptyMsg);
    lblEmptylist->setAlignment(Qt::AlignCenter);
    lblAddorDrag->setAlignment(Qt::AlignCenter);
    lblAddorDrag->setWordWrap(true);  // why an image drive cannot be read may be long
    noticeBox->addWidget(lblEmptylist);
    noticeBox->addWidget(lblAddorDrag);
    picEmptyMsg->hide();

    // The column right of the grid: the information grid over the preview player.
    cGridInfo = new cGrid(this);
    cGridInfo->setObjectName(QStringLiteral("cGridInfo"));
    picPlayer = new QWidget(this);
    picPlayer->setObjectName(QStringLiteral("picPlayer"));
    BuildPlayerPanel();

    // Under the grid: the strip of the list bar, then the frame of the tools bar; under
    // the tree, the frame of the lists bar.
    picList = new QWidget(this);
    picList->setObjectName(QStringLiteral("picList"));
    auto* listStrip = new QHBoxLayout(picList);
    listStrip->setContentsMargins(0, 0, 0, 0);
    rbrList = new cReBar(picList);
    tlbrList = new cToolbar(rbrList);
    tlbrList->setObjectName(QStringLiteral("tlbrList"));
    froControl = new QWidget(this);
    froControl->setObjectName(QStringLiteral("froControl"));
    froControl->setAutoFillBackground(true);
    auto* controlRow = new QHBoxLayout(froControl);
    controlRow->setContentsMargins(0, 0, 0, 0);
    controlRow->setAlignment(Qt::AlignTop);
    cToolbarHostRecorder = new cToolbarHost(froControl);
    cToolbarHostRecorder->SetWidth(600);
    tlbrRecorder = new cToolbar(cToolbarHostRecorder);
    tlbrRecorder->setObjectName(QStringLiteral("tlbrRecorder"));
    controlRow->addWidget(cToolbarHostRecorder, 0, Qt::AlignTop);
    controlRow->addStretch(1);
    froTreeControl = new QWidget(this);
    froTreeControl->setObjectName(QStringLiteral("froTreeControl"));
    froTreeControl->setAutoFillBackground(true);
    auto* treeControl = new QHBoxLayout(froTreeControl);
    treeControl->setContentsMargins(0, 0, 0, 0);
    tlbrProjectsHost = new cToolbarHost(froTreeControl);
    tlbrProjects = new cToolbar(tlbrProjectsHost);
    tlbrProjects->setObjectName(QStringLiteral("tlbrProjects"));
    treeControl->addWidget(tlbrProjectsHost);

    cStatusBar1 = new cStatusBar(this);
    cStatusBar1->setObjectName(QStringLiteral("cStatusBar1"));
    prgStatus = new XP_ProgressBar(cStatusBar1);
    cStatusBar1->addWidget(prgStatus, 1);
    prgStatus->hide();
    ApplyLayout();

    m_cMenu = new cIconMenu(this);
    m_cMenu->SetOwnerHwnd(this);
    cSysTray1 = new cSysTray(this);
    imgMenu = new cImageList;
    imgGeneral = new cImageList;
    imgGrid = new cImageList;
    imgPlayer = new cImageList;
    FillImageLists();

    cAudioConverter1 = CreateAudioConverter(this);
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
    ConnectSessionEnd();
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
    const QList<QWidget*> panels = findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* panel : panels)
        panel->blockSignals(true);  // no handler of this window runs while it is taken apart
    qDeleteAll(panels);
    delete imgMenu;
    delete imgGeneral;
    delete imgGrid;
    delete imgPlayer;
}

void frmMain::Form_Load()
{
    SetMainHost(this);
    SetListsHost(this);

    // The product's settings key.
    m_cRegistry.setHkey(HKEY_LOCAL_MACHINE);
    m_cRegistry.setKeyRoot(ProductKeyRoot());

    // Colours from the options.
    SetBackColor(picTitle, g_lAppColor);
    SetForeColor(lblTitle, g_lTextColor);
    cAudioGraphAmp->SetBaseColor(g_lAppColor);
    cAudioGraphAmp->SetAmplitudeColor(g_lTextColor);
    cAudioGraphFreq->SetBaseColor(g_lAppColor);
    cAudioGraphFreq->SetFrequencyColor(g_lTextColor);
    prgStatus->SetBarColour(g_lAppColor);

    // The tray icon, from here until the window unloads.
    cSysTray1->AddIcon();
    cSysTray1->SetToolTipText(DisplayName());
    cSysTray1->SetIconFile(AppPath() + QStringLiteral("/SysIcon/systrayicon.ico"));

    SetFormIcon(this, QStringLiteral("AAA"), true);

    SetupItemsGrid(cGrid1, imgGrid);
    SetupInfoGrid(cGridInfo);

    // The status bar's four panels; a click on one runs the command of its key.
    cStatusBar1->SetImageList(imgMenu);
    cStatusBar1->AddPanel(0, QString(), QString(), 47, 120, false, false, 0, QStringLiteral("Main"));
    cStatusBar1->AddPanel(0, QString(), QString(), -1, 180, false, false, 0, QStringLiteral("Items List Properties"));
    cStatusBar1->AddPanel(0, GetNotesToStatus(), QStringLiteral("Notes"), 8, 250, false, false, 0,
                          QStringLiteral("Notes"));
    cStatusBar1->AddPanel(0, QStringLiteral("Master Volume"), QString(), 79, 64, false, false, 0,
                          QStringLiteral("Master Volume"));
    cStatusBar1->SetPanelText(QStringLiteral("Main"), QStringLiteral("Ready."));

    BuildMenus();
    // The product's colour and pictures; the toolbar picture, if any, is kept for the
    // bars' backgrounds below.
    SetAppView();

    // The tools bar, the top bar, the lists bar, the list bar in its band container and
    // the player bar, each in its host.
    BuildToolsToolbar();
    cToolbarHostRecorder->AttachToolbar(tlbrRecorder);
    cToolbarHostRecorder->SetHeight(760);
    BuildTopToolbar();
    SetToolbarBackground(cToolbarHost1);
    BuildProjectsToolbar();
    SetToolbarBackground(tlbrProjectsHost);
    BuildListToolbar();
    BuildPlayerToolbar();

    setWindowTitle(DisplayName());
    lblTitle->setText(DisplayName());

    // The tree of items lists, and the first list in the grid: the first list of the
    // lists folder, a new one when the folder holds none, or without items lists the
    // first CD drive.
    setTree();
    if (lAppIncItemsLists == 1) {
        if (g_nodMainItems && g_nodMainItems->Children().Count() > 0)
            cTreeView1_NodeClick(g_nodMainItems->Children().Item(1));
        else if (g_nodMainItems)
            m_cMenu_Click(m_cMenu->IndexForKey(QStringLiteral("New Items List")));
    } else if (g_nodMainCDs && g_nodMainCDs->Children().Count() > 0) {
        cTreeView1_NodeClick(g_nodMainCDs->Children().Item(1));
    }

    // The command-line switches are read once the window is up and the message loop runs.
    tmrCommandLine.setInterval(200);
    tmrCommandLine.start();

    m_cRegistry.setSubkey(QStringLiteral("General"));
    SetLeastSize();
    RestoreWindowSize();
    Form_Resize();
}

void frmMain::RestoreWindowSize()
{
    // A missing size gives the default, one too small to use a default of its own; one
    // larger than the screen gives the screen's, so a damaged or foreign value can never
    // ask for a window of many screens.
    const QSize most = AvailableScreenTwips(this);
    auto startSize = [](const QVariant& stored, int missing, int least, int tooSmall, int screen) {
        if (!stored.isValid())
            return missing;
        const qint64 twips = stored.toLongLong();
        return twips < least ? tooSmall : int(qMin<qint64>(twips, qMax(least, screen)));
    };
    SetWidth(startSize(m_cRegistry.GetRegistryValue(QStringLiteral("lWidth")), 13140, 3000, 13740, most.width()));
    SetHeight(startSize(m_cRegistry.GetRegistryValue(QStringLiteral("lHeight")), 7440, 1000, 7440, most.height()));
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

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (NoticeDropEvent(watched, event))
        return true;
    if (watched == picResizer && ResizerEvent(event))
        return true;
    if (watched == lblListName && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        lblListName_Click();
        return true;
    }
    return VForm::eventFilter(watched, event);
}
