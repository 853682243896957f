// The main window: layout, start-up, the list commands, the grid and tree handlers, tray and exit.
#include "mainwindow/frmMain.h"

#include "app/mdlMain.h"
#include "app/mdlModes.h"
#include "common/frmAbout.h"
#include "common/frmFileCopy.h"
#include "common/frmNotes.h"
#include "common/mdlCommDialog.h"
#include "common/mdlFileSystem.h"
#include "common/mdlFunctions.h"
#include "common/mdlSupportedFormats.h"
#include "common/mdlWindowHelpers.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cAudioCDRipper/cAudioCDRipper.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cGrid/cGrid.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cImageList/cImageList.h"
#include "components/cPlayer/cPlayer.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cSysTray/cSysTray.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/frmDirProperties.h"
#include "lists/frmItem.h"
#include "lists/frmStat.h"
#include "lists/mdlCDTracks.h"
#include "lists/mdlItemsGrid.h"
#include "lists/mdlListFile.h"
#include "lists/mdlListsTree.h"
#include "platform/App.h"
#include "platform/AtomicFile.h"
#include "platform/Controls.h"
#include "platform/IconResources.h"
#include "platform/MessageService.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QUrl>
#include <QVBoxLayout>

#include <cmath>

namespace {

// The lists folder as the tree keys use it: always ending in "/" (an empty setting is
// the default folder beside the program).
QString ListsFolder()
{
    return NormaliseListsFolder(g_sToPath);
}

QIcon checkBoxIcon(bool ticked)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QStyleOptionButton opt;
    opt.rect = QRect(1, 1, 14, 14);
    opt.state = QStyle::State_Enabled | (ticked ? QStyle::State_On : QStyle::State_Off);
    QApplication::style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &opt, &p);
    return QIcon(pm);
}

// The items grid's pictures: 0 not marked, 1 marked, 3 an audio item, 4 a data track.
void fillGridImages(cImageList* images)
{
    images->Clear();
    images->Add(checkBoxIcon(false));
    images->Add(checkBoxIcon(true));
    images->Add(QIcon());
    images->Add(LoadIconResource(QStringLiteral("document_music")));
    images->Add(LoadIconResource(QStringLiteral("cd_music")));
}

} // namespace

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
    cGridInfo = new cGrid(listPanel);
    cGridInfo->setFixedWidth(210);
    gridRow->addWidget(cGridInfo);
    listBox->addLayout(gridRow, 1);

    picPlayer = new QWidget(listPanel);
    auto* playerRow = new QHBoxLayout(picPlayer);
    playerRow->setContentsMargins(4, 0, 4, 0);
    lblCurrentPositionSec = new QLabel(QStringLiteral("0:00:00"), picPlayer);
    lbTotalLengthSec = new QLabel(QStringLiteral("0:00:00"), picPlayer);
    playerRow->addWidget(lblCurrentPositionSec);
    playerRow->addStretch(1);
    playerRow->addWidget(lbTotalLengthSec);
    picPlayer->hide();
    listBox->addWidget(picPlayer);
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
    imgGrid = new cImageList;
    fillGridImages(imgGrid);

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
    delete imgMenu;
    delete imgGrid;
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
    BuildTrayMenu();
    BuildListMenus();

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

void frmMain::BuildTrayMenu()
{
    const qint32 tray = m_cMenu->AddItem(QStringLiteral("Tray"), QString(), 0, 0, -1, 0, -1, QStringLiteral("mnuTray"));
    m_cMenu->AddItem(QStringLiteral("Hide"), QString(), 0, tray, -1, 0, -1, QStringLiteral("RC Open"));
    m_cMenu->AddItem(QStringLiteral("-"), QString(), 0, tray, -1, 0, -1, QString());
    m_cMenu->AddItem(QStringLiteral("Exit"), QString(), 0, tray, -1, 0, -1, QStringLiteral("RC Exit"));
    m_cMenu->SetItemVisible(tray, false);
}

void frmMain::BuildListMenus()
{
    auto add = [this](const char* caption, qint32 parent, qint32 icon, const char* key) {
        return m_cMenu->AddItem(QString::fromUtf8(caption), QString(), 0, parent, icon, 0, -1, QString::fromUtf8(key));
    };
    const qint32 projects = add("Items Lists", 0, -1, "mnuProjects");
    add("New Items List", projects, 48, "New Items List");
    add("Remove Items List", projects, 50, "Remove Items List");
    add("-", projects, -1, "st4");
    add("Items List Properties", projects, 51, "Items List Properties");
    m_cMenu->SetItemVisible(projects, false);

    const qint32 list = add("Items List", 0, -1, "mnuFilesList");
    add("Mark/Unmark All", list, 74, "MarkUnmark All");
    add("-", list, -1, "st1");
    add("Move Up", list, 0, "Move Up");
    add("Move Down", list, 1, "Move Down");
    add("-", list, -1, "st1");
    add("Move To First", list, 80, "Move To First");
    add("Move To Last", list, 81, "Move To Last");
    add("-", list, -1, "st1");
    add("Edit", list, 32, "Rename Item");
    add("Save As...", list, 5, "Save As");
    add("-", list, -1, "st1");
    add("Remove Item", list, 3, "Remove Item");
    add("-", list, -1, "ClearLine");
    add("Remove All", list, 27, "Clear the List");
    m_cMenu->SetItemVisible(list, false);

    const qint32 adds = add("Add", 0, -1, "mnuAdd");
    add("Add Files", adds, 39, "Add Files");
    m_cMenu->SetItemVisible(adds, false);

    const qint32 options = add("Options", 0, -1, "mnuOptions");
    add("General", options, 9, "General");
    add("Events", options, 10, "Events");
    add("View", options, 11, "View");
    add("Default ID3 Tags", options, 6, "ID3 Tags");
    add("Advanced", options, 59, "Advanced");
    m_cMenu->SetItemVisible(options, false);

    const qint32 tools = add("Tools", 0, -1, "mnuTools");
    add("Notes", tools, 8, "Notes");
    m_cMenu->SetItemVisible(tools, false);

    const qint32 help = add("Help", 0, -1, "mnuHelp");
    add("About", help, 18, "About");
    m_cMenu->SetItemVisible(help, false);
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
    if (cPlayer1->IsPlaying())
        cPlayer1->StopPlay();
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

void frmMain::m_cMenu_Click(qint32 ItemNumber)
{
    const QString key = m_cMenu->ItemKey(ItemNumber);
    if (key.isEmpty())
        return;
    // While files are being added no command reaches the lists. Showing or hiding the
    // window from the tray still works, and an exit waits for the files.
    if (m_bAddingFiles && key != QLatin1String("RC Open") && key != QLatin1String("RC Exit"))
        return;
    if (cPlayer1->IsPlaying())
        cPlayer1->StopPlay();
    cTreeItem* selected = cTreeView1->SelectedItem();
    const qint32 rows = cGrid1->Rows();
    const qint32 current = cGrid1->CurrentRow();
    if (key == QLatin1String("RC Open")) {
        cSysTray1_TrayClick(1);
    } else if (key == QLatin1String("RC Exit")) {
        Forms::Unload(this);
    } else if (key == QLatin1String("GoSysTray")) {
        GoSysTray();
    } else if (key == QLatin1String("New Items List")) {
        NewItemsList();
    } else if (key == QLatin1String("Remove Items List")) {
        if (IsListNode(selected))
            RemoveItemsList();
    } else if (key == QLatin1String("Items List Properties")) {
        if (selected && !IsMainNode(selected->Key()))
            ShowListProperties(selected);
    } else if (key == QLatin1String("Add Files")) {
        if (selected && IsCDNode(selected->Key())) {
            MsgBox(QStringLiteral("Adding new items to the Audio CD List is not possible.") + QString(20, u' '),
                   vbInformation + vbOKOnly);
            return;
        }
        // Only into a list whose file the grid holds: rows nowhere saved are never added.
        if (!IsListNode(selected) || selected->Key() != m_sGridListKey)
            return;
        AddFiles();
        if (!HeadlessPlatform())
            activateWindow();
    } else if (key == QLatin1String("Rename Item")) {
        if (rows == 0)
            return;
        SetFormOnTop(this, false);
        cGrid1_CellDoubleClick(cGrid1->CurrentRow(), cGrid1->CurrentColumn());
    } else if (key == QLatin1String("MarkUnmark All")) {
        MarkAllRows(!AnyMarkedRows());
    } else if (key == QLatin1String("Move Up") || key == QLatin1String("Move Down")
               || key == QLatin1String("Move To First") || key == QLatin1String("Move To Last")) {
        if (rows == 0)
            return;
        if (key == QLatin1String("Move Up") && current > 1)
            ReplaceRow(-1);
        else if (key == QLatin1String("Move Down") && current < rows)
            ReplaceRow(1);
        else if (key == QLatin1String("Move To First") && rows > 1)
            ReplaceRow(1 - current);
        else if (key == QLatin1String("Move To Last") && rows > 1 && current < rows)
            ReplaceRow(rows - current);
        SaveGridToFile();
        GetFileInfoToGridInfo();
    } else if (key == QLatin1String("Remove Item")) {
        if (selected && IsCDNode(selected->Key())) {
            MsgBox(QStringLiteral("Cannot remove items from Audio CD.") + QString(20, u' '), vbInformation + vbOKOnly);
            return;
        }
        if (rows == 0)
            return;
        m_sRemoveMode = QStringLiteral("Item");
        tmrRemove.start();
    } else if (key == QLatin1String("Clear the List")) {
        if (rows == 0)
            return;
        m_sRemoveMode = QStringLiteral("All");
        tmrRemove.start();
    } else if (key == QLatin1String("Save As")) {
        if (selected && IsCDNode(selected->Key())) {
            MsgBox(QStringLiteral("Nothing to save.") + QString(20, u' '), vbInformation + vbOKOnly);
            return;
        }
        if (rows == 0)
            return;
        SaveCurrentItemAs();
    } else if (key == QLatin1String("General") || key == QLatin1String("Events") || key == QLatin1String("View")
               || key == QLatin1String("ID3 Tags") || key == QLatin1String("Advanced")) {
        SetFormOnTop(this, false);
        ShowOptionsPage(key, this);
    } else if (key == QLatin1String("Notes")) {
        SetFormOnTop(this, false);
        g_frmNotes()->Show(vbModeless);
    } else if (key == QLatin1String("About")) {
        SetFormOnTop(this, false);
        Forms::Get<frmAbout>()->Show(vbModal, this);
    }
}

void frmMain::SaveCurrentItemAs()
{
    const qint32 row = cGrid1->CurrentRow();
    const QString source = RowText(cGrid1, row, QStringLiteral("COL_FILE"));
    const QString name = RowText(cGrid1, row, QStringLiteral("Item Name"));
    const QString ext = GetFileExt12(name);
    g_OFN.lpstrFilter =
        QStringLiteral("Audio Files (*.") + ext + QStringLiteral(")") + QChar(u'\0') + QStringLiteral("*.") + ext;
    g_OFN.lpstrTitle = QStringLiteral("Save As");
    g_OFN.lpstrDefExt = ext;
    const FileDialogResult result = ShowSave(this, name, true);
    if (result.Cancelled || result.FileCount < 1)
        return;
    frmFileCopy* copy = g_frmFileCopy();
    copy->g_sSourceFile = source;
    copy->g_sDestFile = result.FileNames.value(1);
    copy->lblFrom->setText(copy->g_sSourceFile);
    copy->lblTo->setText(copy->g_sDestFile);
    copy->tmrStart.start();
    copy->Show(vbModal, this);
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

// ---- rows of the items grid ----

qint32 frmMain::CountMarkedRows()
{
    return ::CountMarkedRows(cGrid1);
}

bool frmMain::AnyMarkedRows()
{
    return ::AnyMarkedRows(cGrid1);
}

void frmMain::MarkAllRows(bool bMark)
{
    ::MarkAllRows(cGrid1, bMark);
    SaveGridToFile();
}

void frmMain::ReplaceRow(qint32 lMove)
{
    ::ReplaceRow(cGrid1, lMove);
}

QString frmMain::GetTotalTime(bool bMarkedOnly)
{
    return ::GetTotalTime(cGrid1, bMarkedOnly);
}

QString frmMain::GetTotalSize(bool bMarkedOnly)
{
    return ::GetTotalSize(cGrid1, bMarkedOnly);
}

// ---- the current list ----

void frmMain::SaveGridToFile()
{
    // Only a list node's file is written, and only while the grid holds that very list:
    // never a group or CD drive key, never a list whose file could not be read.
    cTreeItem* node = cTreeView1->SelectedItem();
    if (!IsListNode(node) || node->Key() != m_sGridListKey)
        return;
    WriteListFile(cGrid1, node->Key());
}

void frmMain::cTreeView1_NodeClick(cTreeItem* Node)
{
    // 1. A list or drive is being read, or files are being added: the click waits for
    // nothing.
    if (!prgStatus->isHidden() || m_bAddingFiles)
        return;
    // 2. A group node: an empty grid, nothing else.
    if (Node && IsMainNode(Node->Key())) {
        m_shownNode = Node;
        m_sGridListKey.clear();
        cGrid1->Clear();
        return;
    }
    // 3. The preview stops.
    if (cPlayer1->IsPlaying())
        StopPreviewPlayer();
    // 4.
    if (!Node)
        return;
    // 5.
    m_shownNode = Node;
    m_sGridListKey.clear();
    Node->SetItemFlag67(true);
    lblListName->setText(Node->Text());
    tmrCDs.stop();
    // 6. A CD drive: its tracks are listed by the drive lists.
    if (IsCDNode(Node->Key())) {
        tmrCDs.start();
        ListCDTracks(GetCDNameNode(Node->Key()));
        GetFileInfoToGridInfo();
        return;
    }
    // 7. An items list.
    setCursor(Qt::WaitCursor);
    cGrid1->Clear();
    cGrid1->SetRedraw(false);
    cGrid1->SetRedraw(true);
    cGrid1->SetImageList(imgGrid);
    prgStatus->SetValue(0);
    prgStatus->show();
    cGrid1->SetRedraw(false);
    // 8, 9.
    const QString path = Node->Key();
    const ListLoadResult r = LoadListFile(
        cGrid1, path, cAudioConverter1, g_bCopyID3FromSource, [this](qint32 max) { prgStatus->SetMax(max); },
        [this](qint32 n) { prgStatus->SetValue(n); });
    if (!r.completed) {
        // The file cannot be read: it is left alone, and nothing is written over it
        // until it has been loaded again.
        cGrid1->SetRedraw(true);
        prgStatus->hide();
        unsetCursor();
        return;
    }
    m_sGridListKey = path;
    // 10, 11.
    lblAddorDrag->setText(QStringLiteral("Add or Drag and Drop audio items to here."));
    cGrid1->SetRedraw(true);
    if (cGrid1->Rows() > 0) {
        ShowEmptyNotice(false);
        cGrid1->SetCurrentRow(g_bSelectTheLastItem ? cGrid1->Rows() : 1);
        cStatusBar1->SetPanelText(QStringLiteral("Main"), QStringLiteral("Ready."));
    } else {
        ShowEmptyNotice(true);
    }
    // 12.
    GetFileInfoToGridInfo();
    DisplayGridInfoStatusBar();
    prgStatus->hide();
    unsetCursor();
}

void frmMain::DisplayGridInfoStatusBar()
{
    cStatusBar1->SetPanelText(QStringLiteral("Items List Properties"), ListSummary(cGrid1));
}

void frmMain::SelectionChangedByKeyboard()
{
    // A node reached with the keyboard loads as a click would; a mouse press is followed
    // by its own click.
    if (QGuiApplication::mouseButtons() != Qt::NoButton)
        return;
    cTreeItem* node = cTreeView1->SelectedItem();
    if (node && node != m_shownNode)
        cTreeView1_NodeClick(node);
}

// ---- the tree of lists ----

void frmMain::setTree()
{
    BuildListsTree(cTreeView1, ListsFolder(), imgMenu, cAudioCDRipper1);
}

void frmMain::NewItemsList()
{
    cTreeItem* selected = cTreeView1->SelectedItem();
    if (selected && (IsMainNode(selected->Key()) || IsCDNode(selected->Key())))
        return;
    const QString folder = ListsFolder();
    const QString name = NewItemsListName(folder);
    if (!CreateEmptyListFile(folder + name))
        return;
    cTreeItem* node =
        cTreeView1->Nodes().Add(cTreeView1->Nodes().Item(1), cTreeItems::tvwChild, folder + name, GetNameNoExt(name), 42, 43);
    if (!node)
        return;
    node->SetItemFlag67(true);
    cTreeView1_NodeClick(cTreeView1->SelectedItem());
    cTreeView1->SetLabelEdit(true);
    if (cTreeItem* s = cTreeView1->SelectedItem())
        s->StartEdit();
}

void frmMain::cTreeView1_AfterLabelEdit(cTreeItem* Node, const QString& NewString, int& Cancel)
{
    if (!Node)
        return;
    const QString oldKey = Node->Key();
    if (IsCDNode(oldKey))
        return;
    if (IsMainNode(oldKey)) {
        Cancel = 1;  // a group's text names no file
        return;
    }
    if (NewString.isEmpty()) {
        Node->StartEdit();
        Cancel = 1;
        return;
    }
    if (NewString == Node->Text())
        return;
    // A name beginning with "." would make a hidden file that the tree no longer shows.
    if (!IsLegalFileName(NewString) || NewString.startsWith(u'.')) {
        Node->StartEdit();
        Cancel = 1;
        return;
    }
    const QString newPath = GetFolder(oldKey.left(oldKey.size() - 1)) + NewString + QStringLiteral(".flst");
    const QFileInfo target(newPath);
    if (target.exists() || target.isSymLink()) {
        MsgBox(QStringLiteral("The Items List '") + NewString + QStringLiteral("' already exists. Please select a different name."),
               vbInformation + vbOKOnly);
        Node->StartEdit();
        Cancel = 1;
        return;
    }
    const QString oldCaption = lblListName->text();
    lblListName->setText(NewString);
    if (const int error = RenameListFile(oldKey, newPath)) {
        lblListName->setText(oldCaption);
        MsgBox(RenameFailureText(error), vbInformation + vbOKOnly);
        Cancel = 1;
        return;
    }
    Node->SetKey(newPath);
    Node->SetText(NewString);
    cTreeView1_NodeClick(Node);
}

void frmMain::RemoveItemsList()
{
    if (!g_nodMainItems || g_nodMainItems->Children().Count() <= 1)
        return;
    cTreeItem* node = cTreeView1->SelectedItem();
    if (!IsListNode(node))
        return;
    const QString key = node->Key();
    if (ListFileHasRecords(key)) {
        const QString q = QStringLiteral("This operation will erase all the items under the '") + GetFileName(key)
            + QStringLiteral("', are you sure?");
        if (MsgBox(q, vbYesNo + vbInformation) != vbYes)
            return;
    }
    // A list file that cannot be deleted keeps its node.
    const QFileInfo file(key);
    if ((file.exists() || file.isSymLink()) && !QFile::remove(key))
        return;
    if (m_sGridListKey == key)
        m_sGridListKey.clear();
    node->Delete();
    cTreeItems lists = g_nodMainItems->Children();
    cTreeItem* last = lists.Item(lists.Count());
    cTreeView1_NodeClick(last ? last : cTreeView1->SelectedItem());
}

void frmMain::lblListName_Click()
{
    cTreeItem* selected = cTreeView1->SelectedItem();
    if (!selected || IsMainNode(selected->Key()))
        return;
    m_cMenu_Click(m_cMenu->IndexForKey(QStringLiteral("Items List Properties")));
}

// ---- grid events, information grid, removing items ----

void frmMain::GetFileInfoToGridInfo()
{
    cGridInfo->Clear();
    if (cGrid1->Rows() == 0)
        return;
    cGridInfo->SetRedraw(false);
    const qint32 row = cGrid1->CurrentRow();
    const QString file = RowText(cGrid1, row, QStringLiteral("COL_FILE"));
    cPlayer1->OpenFile(file);
    const QStringList names{QStringLiteral("File Name"), QStringLiteral("Total Time"), QStringLiteral("File Size"),
                            QStringLiteral("Created"),   QStringLiteral("Format"),     QStringLiteral("Samples"),
                            QStringLiteral("Bitrate"),   QStringLiteral("Channels"),   QStringLiteral("Item")};
    const QStringList values{RowText(cGrid1, row, QStringLiteral("Item Name")),
                             RowText(cGrid1, row, QStringLiteral("Time")),
                             RowText(cGrid1, row, QStringLiteral("Size")),
                             RowText(cGrid1, row, QStringLiteral("Created")),
                             GetFileExt12(file).toUpper(),
                             QString::number(cPlayer1->SampleRate()),
                             QString::number(cPlayer1->Bitrate()),
                             cPlayer1->Channels() == 1 ? QStringLiteral("MONO") : QStringLiteral("STEREO"),
                             QString::number(row)};
    for (int n = 0; n < names.size(); ++n) {
        cGridInfo->SetCell(n + 1, 1, names[n]);
        cGridInfo->SetCell(n + 1, 2, values[n]);
    }
    cGridInfo->SetRedraw(true);
}

void frmMain::LoadRowIntoPlayer()
{
    if (cGrid1->Rows() < 1)
        return;
    const QString file = RowText(cGrid1, cGrid1->CurrentRow(), QStringLiteral("COL_FILE"));
    if (file.isEmpty() || cPlayer1->IsPlaying() || !QFileInfo(file).isFile())
        return;
    if (cPlayer1->OpenFile(file) == 0) {
        lbTotalLengthSec->setText(cPlayer::FormatTime(qint32(std::nearbyint(cPlayer1->Length()))));
        lblCurrentPositionSec->setText(QStringLiteral("0:00:00"));
    }
}

void frmMain::cGrid1_RowChanged(qint32, qint32)
{
    GetFileInfoToGridInfo();
}

void frmMain::cGrid1_Notify28(qint32)
{
    cGrid1->SetRedraw(true);
}

void frmMain::cGrid1_GridMouseUp(qint16 Button, qint16, float X, float Y)
{
    if (Button == 2 && cGrid1->Rows() > 0) {
        const QPoint at = cGrid1->mapTo(this, QPoint(0, 0)) * kTwipsPerPixel;
        m_cMenu->ShowPopupMenu(at.x() + qint32(X), at.y() + qint32(Y), qint32(X), qint32(Y), 0, 0, -1,
                               m_cMenu->IndexForKey(QStringLiteral("MarkUnmark All")));
        return;
    }
    if (X > 300)
        return;
    LoadRowIntoPlayer();
    const qint32 row = cGrid1->CurrentRow();
    if (row < 1 || RowIcon(cGrid1, row, QStringLiteral("Type")) == GetTypeImage(QStringLiteral("Data")))
        return;
    if (cGrid1->CurrentColumn() != 1)
        return;
    cGridItem mark = cGrid1->Cell(row, 1);
    mark.SetIconIndex(mark.IconIndex() == kIconMarked ? kIconUnmarked : kIconMarked);
    SaveGridToFile();
}

void frmMain::cGrid1_CellDoubleClick(qint32 Row, qint32)
{
    if (RowIcon(cGrid1, Row, QStringLiteral("Type")) == kIconData) {
        MsgBox(QStringLiteral("Cannot edit a data track.") + QString(36, u' '), vbInformation + vbOKOnly);
        return;
    }
    if (cGrid1->Rows() == 0 || cGrid1->CurrentRow() < 1)
        return;
    setCursor(Qt::WaitCursor);
    Forms::Unload<frmItem>();  // each opening loads the dialog on the current row
    frmItem* item = g_frmItem();
    unsetCursor();
    item->Show(vbModal, this);
}

void frmMain::cGridInfo_CellDoubleClick(qint32, qint32)
{
    cGrid1_CellDoubleClick(cGrid1->CurrentRow(), cGrid1->CurrentColumn());
}

void frmMain::StopPreviewPlayer()
{
    if (cPlayer1->IsPaused())
        cPlayer1->Resume();
    if (cPlayer1->IsPlaying())
        cPlayer1->StopPlay();
}

void frmMain::SetRowUnBold()
{
    cGrid1->SetRedraw(false);
    for (qint32 r = 1; r <= cGrid1->Rows(); ++r) {
        for (qint32 c = 1; c <= cGrid1->Columns(); ++c) {
            QFont f(QStringLiteral("Tahoma"), 8);
            f.setItalic(cGrid1->CellFont(r, c).italic());  // a missing file's italics stay
            cGrid1->SetCellFont(r, c, f);
        }
    }
    cGrid1->SetRedraw(true);
}

void frmMain::ConfirmClearList()
{
    if (cGrid1->Rows() == 0)
        return;
    if (cPlayer1->IsPlaying()) {
        StopPreviewPlayer();
        SetRowUnBold();
    }
    if (cPlayer1->IsPlaying())
        return;
    cTreeItem* selected = cTreeView1->SelectedItem();
    const QString q = QStringLiteral("This operation will erase all the items under the '")
        + (selected ? selected->Text() : QString()) + QStringLiteral("' list.\r\n\r\nAre you sure?");
    if (MsgBox(q, vbYesNo + vbExclamation) != vbYes)
        return;
    DoClearTheList();
}

void frmMain::DoClearTheList()
{
    // The empty list replaces the file in one step: there is no moment without a file.
    cTreeItem* selected = cTreeView1->SelectedItem();
    if (IsListNode(selected) && selected->Key() == m_sGridListKey)
        WriteFileAtomically(selected->Key(), QByteArray("\n"));
    cGrid1->Clear();
    cGrid1->SetRedraw(true);
    cTreeView1_NodeClick(selected);
}

void frmMain::RemoveItems()
{
    if (cPlayer1->IsPlaying()) {
        StopPreviewPlayer();
        SetRowUnBold();
    }
    if (g_bDisplayMSGWhenErase) {
        cTreeItem* selected = cTreeView1->SelectedItem();
        const QString q = QStringLiteral("This operation will erase the ")
            + RowText(cGrid1, cGrid1->CurrentRow(), QStringLiteral("Item Name")) + QStringLiteral(" under the '")
            + (selected ? selected->Text() : QString()) + QStringLiteral("'.\r\n\r\nContinue?");
        if (MsgBox(q, vbYesNo + vbInformation) != vbYes)
            return;
    }
    cGrid1->SetRedraw(false);
    const qint32 count = cGrid1->Rows();
    qint32 removed = 0;
    for (qint32 i = 1; i <= count; ++i) {
        if (cGrid1->Cell(i - removed, 1).Selected()) {
            cGrid1->RemoveRow(i - removed);
            ++removed;
        }
    }
    if (cGrid1->CurrentRow() < 1)
        cGrid1->Clear();
    else
        cGrid1->SetCurrentRow(cGrid1->CurrentRow());
    SaveGridToFile();
    DisplayGridInfoStatusBar();
    cGrid1->SetRedraw(true);
    ShowEmptyNotice(cGrid1->Rows() == 0);
    GetFileInfoToGridInfo();
}

void frmMain::tmrRemove_Timer()
{
    tmrRemove.stop();
    if (m_bAddingFiles) {
        tmrRemove.start();  // once the files are in
        return;
    }
    if (m_sRemoveMode == QLatin1String("All"))
        ConfirmClearList();
    else if (m_sRemoveMode == QLatin1String("Item"))
        RemoveItems();
}

// ---- adding files ----

void frmMain::SetAddingFiles(bool adding)
{
    m_bAddingFiles = adding;
}

void frmMain::ShowEmptyNotice(bool show)
{
    picEmptyMsg->setVisible(show);
    if (show)
        picEmptyMsg->raise();
}

QString frmMain::ListsPanelText(const QString& key) const
{
    return cStatusBar1->PanelText(key);
}

void frmMain::SetListsPanelText(const QString& key, const QString& text)
{
    cStatusBar1->SetPanelText(key, text);
}

void frmMain::AddFiles()
{
    SetFormOnTop(this, false);
    g_OFN.lpstrFilter = GetSupportedFormatsFilter();
    g_OFN.lpstrTitle = QStringLiteral("Add audio files");
    const FileDialogResult r = ShowOpen(this, true);
    if (r.Cancelled)
        return;
    const QString folder = r.FolderName.endsWith(u'/') ? r.FolderName : r.FolderName + u'/';
    QStringList paths;
    for (qint32 i = 1; i <= r.FileCount; ++i)
        paths << folder + r.FileNames.value(i);
    AddPathsToList(paths);
}

void frmMain::AddPathsToList(const QStringList& paths)
{
    bool hide = false;
    g_frmStat()->AddFilesToList(paths, cGrid1, this, hide);
    Forms::Unload<frmStat>();
    SaveGridToFile();
    DisplayGridInfoStatusBar();
    if (m_bUnloadAfterAdd) {
        m_bUnloadAfterAdd = false;
        Forms::Unload(this);
    }
}

void frmMain::cGrid1_OLEDragDrop(const QStringList& Data, qint32, qint16, qint16, float, float)
{
    // 1. Files go only into the list whose file the grid holds.
    cTreeItem* selected = cTreeView1->SelectedItem();
    if (!selected || IsCDNode(selected->Key()) || IsMainNode(selected->Key()))
        return;
    if (selected->Key() != m_sGridListKey || m_bAddingFiles)
        return;
    // 2. Empty files and hidden entries stay out; a path whose length cannot be read goes
    // on to the probe, which reports it.
    QStringList kept;
    for (const QString& path : Data) {
        const QFileInfo info(path);
        if (!info.exists() || (info.size() > 0 && !info.isHidden()))
            kept << path;
    }
    // 3.
    AddPathsToList(kept);
}

void frmMain::lblAddorDrag_OLEDragDrop(const QStringList& Data, qint32 Effect, qint16 Button, qint16 Shift, float X,
                                       float Y)
{
    cGrid1_OLEDragDrop(Data, Effect, Button, Shift, X, Y);
}

void frmMain::lblEmptylist_OLEDragDrop(const QStringList& Data, qint32 Effect, qint16 Button, qint16 Shift, float X,
                                       float Y)
{
    cGrid1_OLEDragDrop(Data, Effect, Button, Shift, X, Y);
}

void frmMain::picEmptyMsg_OLEDragDrop(const QStringList& Data, qint32 Effect, qint16 Button, qint16 Shift, float X,
                                      float Y)
{
    cGrid1_OLEDragDrop(Data, Effect, Button, Shift, X, Y);
}

bool frmMain::NoticeDropEvent(QObject* watched, QEvent* event)
{
    if (watched != picEmptyMsg && watched != lblAddorDrag && watched != lblEmptylist)
        return false;
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
        auto* de = static_cast<QDropEvent*>(event);
        if (de->mimeData() && de->mimeData()->hasUrls()) {
            de->acceptProposedAction();
            return true;
        }
        return false;
    }
    if (event->type() != QEvent::Drop)
        return false;
    auto* de = static_cast<QDropEvent*>(event);
    const QStringList files = DroppedLocalFiles(de->mimeData());
    if (files.isEmpty())
        return false;
    de->acceptProposedAction();
    const QPoint p = de->position().toPoint() * kTwipsPerPixel;
    const qint16 shift = qint16((de->modifiers() & Qt::ShiftModifier ? 1 : 0) | (de->modifiers() & Qt::ControlModifier ? 2 : 0)
                                | (de->modifiers() & Qt::AltModifier ? 4 : 0));
    if (watched == lblAddorDrag)
        lblAddorDrag_OLEDragDrop(files, 1, 1, shift, float(p.x()), float(p.y()));
    else if (watched == lblEmptylist)
        lblEmptylist_OLEDragDrop(files, 1, 1, shift, float(p.x()), float(p.y()));
    else
        picEmptyMsg_OLEDragDrop(files, 1, 1, shift, float(p.x()), float(p.y()));
    return true;
}

// ---- list properties ----

void frmMain::ShowListProperties(cTreeItem* Node)
{
    frmDirProperties* dialog = g_frmDirProperties();
    if (!Node) {
        Forms::Unload(dialog);
        return;
    }
    dialog->txtFolderName->setText(Node->Text());
    dialog->lblContain->setText(cStatusBar1->PanelText(QStringLiteral("Items List Properties")));
    dialog->txtPath->setText(Node->Key());
    dialog->SetListNode(Node);
    cTreeItem* selected = cTreeView1->SelectedItem();
    if (selected && selected->Text() == QLatin1String("Items Lists")) {
        Forms::Unload(dialog);
        return;
    }
    dialog->bEditFolderName = true;
    dialog->txtFolderName->setEnabled(true);
    dialog->Show(vbModeless);
}

void frmMain::ListRenamed(cTreeItem* node, const QString& oldKey)
{
    if (!node)
        return;
    // The grid keeps writing to the list under its new name.
    if (!m_sGridListKey.isEmpty() && m_sGridListKey == oldKey)
        m_sGridListKey = node->Key();
    if (node == m_shownNode)
        lblListName->setText(node->Text());
}

// ---- audio CD drive lists ----

qint32 frmMain::GetCDDriveIndex(const QString&)
{
    cTreeItem* selected = cTreeView1->SelectedItem();
    return selected ? CDDriveIndex(cAudioCDRipper1, selected->Key()) : -1;
}

void frmMain::ListCDTracks(const QString& sDrive)
{
    const QString insert = QStringLiteral("Insert an Audio CD to the CD drive.");
    // 1., 2.
    setCursor(Qt::WaitCursor);
    const bool noDrive = cTreeView1->SelectedItem() == nullptr;
    const qint32 i = GetCDDriveIndex(sDrive);
    // 3.
    cGrid1->Clear();
    cGrid1->SetRedraw(false);
    // 4., 5.
    const bool selectable = !noDrive && cAudioCDRipper1->SelectDevice(i);
    if (selectable && cAudioCDRipper1->IsAudioCD()) {
        prgStatus->show();
        prgStatus->SetMax(cAudioCDRipper1->GetTrackCount());
        WriteCDTrackRows(cGrid1, cAudioCDRipper1, sDrive, [this](qint32 t) { prgStatus->SetValue(t); });
        cGrid1->SetRedraw(true);
    } else if (selectable) {
        cGrid1->Clear();
        ShowEmptyNotice(true);
        lblAddorDrag->setText(insert);
    }
    // 6.
    if (cGrid1->Rows() > 0) {
        ShowEmptyNotice(false);
        cGrid1->SetRedraw(true);
        cGrid1->SetCurrentRow(g_bSelectTheLastItem ? cGrid1->Rows() : 1);
        cStatusBar1->SetPanelText(QStringLiteral("Main"), QStringLiteral("Ready."));
        DisplayGridInfoStatusBar();
        if (g_bAutoFreeDB)
            m_cMenu_Click(m_cMenu->IndexForKey(QStringLiteral("FreeDB")));
    } else {
        ShowEmptyNotice(true);
        lblAddorDrag->setText(insert);
    }
    // 7.
    DisplayGridInfoStatusBar();
    prgStatus->hide();
    cGrid1->SetRedraw(true);
    unsetCursor();
    if (noDrive)
        MsgBox(QStringLiteral("There is no CD in the drive."), vbInformation + vbOKOnly);
}

void frmMain::tmrCDs_Timer()
{
    if (!g_nodMainCDs || m_bAddingFiles)
        return;
    cTreeItems drives = g_nodMainCDs->Children();
    for (qint32 n = 1; n <= drives.Count(); ++n) {
        cTreeItem* node = drives.Item(n);
        if (!node || !cAudioCDRipper1->SelectDevice(n - 1))
            continue;
        const QString name = cAudioCDRipper1->GetDeviceName(n - 1);
        cTreeItem* selected = cTreeView1->SelectedItem();
        const bool shown = selected && selected->Key() == QStringLiteral("##CD") + name;
        if (cAudioCDRipper1->GetTrackCount() >= 1) {
            // A disc was put into the drive shown.
            if (shown && cGrid1->Rows() == 0)
                cTreeView1_NodeClick(node);
        } else {
            // The disc of the drive shown was taken out; a name looked up for the disc goes
            // with it.
            if (shown && cGrid1->Rows() > 0)
                cTreeView1_NodeClick(node);
            node->SetText(name.left(2));
        }
    }
}

void frmMain::SelectFirstAudioCD()
{
    if (!g_nodMainCDs)
        return;
    cTreeItems drives = g_nodMainCDs->Children();
    for (qint32 n = 1; n <= drives.Count(); ++n) {
        cTreeItem* node = drives.Item(n);
        if (node && cAudioCDRipper1->SelectDevice(n - 1) && cAudioCDRipper1->GetTrackCount() >= 1) {
            cTreeView1_NodeClick(node);
            return;
        }
    }
}

void frmMain::cAudioCDRipper1_Error(qint32 Code, const QString& Description)
{
    MsgBox(Description + QStringLiteral(" (") + QString::number(Code) + u')', vbOKOnly);
}
