// The main window: title strip, button bars, the tree of items lists, the items grid
// with its information grid and preview player, status bar, popup menus, tray icon and
// the timers that drive start-up, removals and exit. Its code is split by concern:
// frmMain.cpp (controls, start-up), _Layout (panels, view, splitter bar), _Exit (exit and
// session end, status panels), _Menus (the menu tree), _Toolbars,
// _Commands (the dispatcher, list and item commands), _WindowCommands, _Tray (tray,
// window modes, texts for other windows), _Images, _Player, _Lists, _Grid, _AddFiles,
// _CDs, _Tools (the tool launches).
#pragma once

#include "common/MainHost.h"
#include "common/RegistryRoutines.h"
#include "lists/ListsHost.h"
#include "lists/mdlSharedList.h"
#include "mainwindow/frmMain_Layout.h"
#include "platform/Forms.h"

#include <QDateTime>
#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QLabel;
struct AddRefusal;
class ItemsToolWindow;
class ToolWindow;
class XP_ProgressBar;
class cAudioCDRipper;
class cAudioConverter;
class cAudioGraph;
class cGrid;
class cIconMenu;
class cImageList;
class cPlayer;
class cReBar;
class cSlider;
class cStatusBar;
class cSysTray;
class cToolbar;
class cToolbarHost;
class cTreeItem;
class cTreeView;

class frmMain : public VForm, public MainHost, public ListsHost
{
    Q_OBJECT
public:
    frmMain();
    ~frmMain() override;

    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void Form_Resize() override;

    // The view: the product's colour and pictures, applied once while the window loads.
    void SetAppView();
    // Where the layout last put each panel, in twips.
    const MainLayout& Layout() const { return m_layout; }

    // The splitter bar between the tree and the grid, dropped on a control: X and Y are
    // twips from that control's top left corner.
    void picResizer_MouseMove(qint16 Button, qint16 Shift, float X, float Y);
    void cTreeView1_DragDrop(QWidget* Source, float X, float Y);
    void cGrid1_DragDrop(QWidget* Source, float X, float Y);
    void picTitleProject_DragDrop(QWidget* Source, float X, float Y);
    void lblProjects_DragDrop(QWidget* Source, float X, float Y);
    void tlbrProjectsHost_DragDrop(QWidget* Source, float X, float Y);
    void picList_DragDrop(QWidget* Source, float X, float Y);
    void picTitleList_DragDrop(QWidget* Source, float X, float Y);
    void lblListName_DragDrop(QWidget* Source, float X, float Y);
    void froControl_DragDrop(QWidget* Source, float X, float Y);
    void cSlider1_DragDrop(QWidget* Source, float X, float Y);
    void cToolbarHostRecorder_DragDrop(QWidget* Source, float X, float Y);

    // The desktop session ends: the same close as the exit, asking the exit question only
    // when the session manager lets the program talk to the user. False when the close
    // was declined or a window refused to go (the session manager is then asked to stop).
    bool CommitSessionData(bool mayAsk);
    // The program is quitting without having closed its window (the session manager ended
    // it): the close runs without question and cannot be refused.
    void QuitWithoutClose();

    // The command dispatcher: runs the command keyed by the menu item's number (0: no
    // item; a playing preview still stops).
    void m_cMenu_Click(qint32 ItemNumber);
    // Runs a command by its key, as every button, panel and switch does.
    void RunCommand(const QString& key);
    // Builds the menu tree of m_cMenu from the tools the product offers.
    void BuildMenus();
    // Builds the tools bar from the tools the product offers.
    void BuildToolsToolbar();

    // Button bars.
    void tlbrTop_ButtonClick(qint32 Index);
    void tlbrTop_ButtonDropDown(qint32 Index);
    void tlbrProjects_ButtonClick(qint32 Index);
    void tlbrList_ButtonClick(qint32 Index);
    void tlbrRecorder_ButtonClick(qint32 Index);
    void tlbrPlayButtons_ButtonClick(qint32 Index);

    // The preview player (frmMain_Player.cpp): play the current row, stop it; the tools
    // bar's "Stop" step that the exit, the list code and the end of a play ask for (resume
    // a paused play, then stop it); and the stop before every command, which also drops a
    // pending restart.
    void StartPlay();
    void StopPlay();
    void StopPreviewPlayer();
    void StopPreviewForCommand();
    void SetRowBold(qint32 lRow, bool bBold);
    void cPlayer1_PlayDone();
    void cSlider1_ThumbPressed();
    void cSlider1_ThumbReleased();
    void tmrPlayer_Timer();
    void tmSlider_Timer();
    void tmrAudioData_Timer();
    // The tree node that was selected when the preview started; none once it is stopped.
    cTreeItem* PlayingNode() const;

    // Window modes: always on top and transparent, with their check marks.
    void SetOnTop(bool bVal);
    void SetTransparent(bool bVal);
    bool InTrayFlag() const { return m_bInTray; }

    // Opens a folder in the desktop's file manager, offering to create it first.
    void OpenDestFolder(QString sDir);

    // The external program's command line with its placeholders put in, as one text, and
    // as the program followed by its arguments (each argument expanded on its own).
    QString GetNoticAppParameters() override;
    QStringList GetNoticAppCommand() override;
    // A time-stamped file name for a new audio file of the text-to-speech window, and the
    // extension of the format chosen there.
    QString CreateFileName(const QString& sUnused = {}) override;
    // The clock the new file names read; tests pin it. Empty: the system's clock.
    std::function<QDateTime()> m_Clock;
    QString GetExt();
    // 1: icon clicked (show or hide the window); 2: the tray menu at the cursor.
    void cSysTray1_TrayClick(qint32 ClickType);
    void cStatusBar1_PanelClick(int Index);

    // Minimises and hides the window, leaving the tray icon ("GoSysTray").
    void GoSysTray();
    bool InTray() const { return m_bInTray; }

    // The one-line notes summary for the "Notes" panel.
    QString GetNotesToStatus() const override;
    VForm* MainForm() override { return this; }
    void SetStatusPanelText(const QString& key, const QString& text) override;
    cImageList* MenuImageList() override { return imgMenu; }
    cImageList* GeneralImageList() override { return imgGeneral; }
    cImageList* GridImageList() override { return imgGrid; }
    cImageList* PlayerImageList() override { return imgPlayer; }
    cSysTray* SysTray() override { return cSysTray1; }
    void ReloadListsTree() override;
    void ApplyGridOptions(bool hotTrack, bool gridLines) override;
    void ApplyAppColour(qint32 colour) override;
    void ApplyTextColour(qint32 colour) override;

    // What the lists' windows use of the main window.
    VForm* ListsWindow() override { return this; }
    cGrid* ItemsGrid() override { return cGrid1; }
    cTreeView* ListsTree() override { return cTreeView1; }
    QString ListsPanelText(const QString& key) const override;
    void SetListsPanelText(const QString& key, const QString& text) override;
    void ListRenamed(cTreeItem* node, const QString& oldKey) override;
    void NodeLabelChanged(cTreeItem* node) override;
    void SetAddingFiles(bool adding) override;
    bool AddingFiles() const { return m_bAddingFiles; }
    void ShowEmptyNotice(bool show) override;

    // Rows of the items grid cGrid1.
    qint32 CountMarkedRows();
    bool AnyMarkedRows();
    void MarkAllRows(bool bMark);
    void ReplaceRow(qint32 lMove);
    QString GetTotalTime(bool bMarkedOnly);
    QString GetTotalSize(bool bMarkedOnly);

    // The current list: its file, its loading and its summary.
    bool SaveGridToFile() override;
    void cTreeView1_NodeClick(cTreeItem* Node);
    void DisplayGridInfoStatusBar() override;

    // Adding files: the open dialog, and files dropped on the grid or its empty-list notice.
    void AddFiles();
    void cGrid1_OLEDragDrop(const QStringList& Data, qint32 Effect, qint16 Button, qint16 Shift, float X, float Y);
    void lblAddorDrag_OLEDragDrop(const QStringList& Data, qint32 Effect, qint16 Button, qint16 Shift, float X,
                                  float Y);
    void lblEmptylist_OLEDragDrop(const QStringList& Data, qint32 Effect, qint16 Button, qint16 Shift, float X,
                                  float Y);
    void picEmptyMsg_OLEDragDrop(const QStringList& Data, qint32 Effect, qint16 Button, qint16 Shift, float X,
                                 float Y);

    // The list properties dialog of a tree node.
    void ShowListProperties(cTreeItem* Node);

    // Audio CD drives as lists of tracks.
    void ListCDTracks(const QString& sDrive);
    qint32 GetCDDriveIndex(const QString& sDrive);
    void SelectFirstAudioCD();
    void tmrCDs_Timer();
    void cAudioCDRipper1_Error(qint32 Code, const QString& Description);

    // The tree of lists.
    void setTree();
    void cTreeView1_AfterLabelEdit(cTreeItem* Node, const QString& NewString, int& Cancel);
    void RemoveItemsList();
    void lblListName_Click();

    // Grid events, the information grid and removing items.
    void GetFileInfoToGridInfo() override;
    void LoadRowIntoPlayer();
    void cGrid1_RowChanged(qint32 Row, qint32 Col);
    void cGrid1_Notify28(qint32 Param);
    void cGrid1_GridMouseUp(qint16 Button, qint16 Shift, float X, float Y);
    void cGrid1_CellDoubleClick(qint32 Row, qint32 Col);
    void cGridInfo_CellDoubleClick(qint32 Row, qint32 Col);
    void ConfirmClearList();
    void DoClearTheList();
    void RemoveItems();
    // Plain font in every cell, undoing the bold row of the item that was playing.
    void SetRowUnBold();

    void tmrUnload_Timer();
    void tmrCommandLine_Timer();
    void tmrRemove_Timer();

    // Controls.
    QWidget* picTitle = nullptr;
    QLabel* lblTitle = nullptr;
    QWidget* picTitleProject = nullptr;  // caption strip over the tree
    QLabel* lblProjects = nullptr;
    QWidget* picTitleList = nullptr;  // caption strip over the grid
    QLabel* lblListName = nullptr;
    cTreeView* cTreeView1 = nullptr;
    QWidget* picResizer = nullptr;  // the splitter bar between the tree and the grid
    QWidget* m_resizerLine = nullptr;  // where the bar would go while it is dragged
    cGrid* cGrid1 = nullptr;
    cGrid* cGridInfo = nullptr;
    QWidget* picEmptyMsg = nullptr;
    QLabel* lblAddorDrag = nullptr;
    QLabel* lblEmptylist = nullptr;
    QWidget* picPlayer = nullptr;
    QLabel* lbTotalLengthSec = nullptr;
    QLabel* lblCurrentPositionSec = nullptr;
    cSlider* cSlider1 = nullptr;
    cAudioGraph* cAudioGraphAmp = nullptr;
    cAudioGraph* cAudioGraphFreq = nullptr;
    cToolbarHost* cToolbarHost1 = nullptr;
    cToolbar* tlbrTop = nullptr;
    QLabel* picToolBarJPGPicHolder = nullptr;  // the product's toolbar picture, never shown
    QWidget* froTreeControl = nullptr;
    cToolbarHost* tlbrProjectsHost = nullptr;
    cToolbar* tlbrProjects = nullptr;
    QWidget* picList = nullptr;
    cReBar* rbrList = nullptr;
    cToolbar* tlbrList = nullptr;
    QWidget* froControl = nullptr;
    cToolbarHost* cToolbarHostRecorder = nullptr;
    cToolbar* tlbrRecorder = nullptr;
    cToolbarHost* cToolbarHostPlayer = nullptr;
    cToolbar* tlbrPlayButtons = nullptr;
    XP_ProgressBar* prgStatus = nullptr;
    cStatusBar* cStatusBar1 = nullptr;
    cIconMenu* m_cMenu = nullptr;
    cSysTray* cSysTray1 = nullptr;
    cImageList* imgMenu = nullptr;
    cImageList* imgGeneral = nullptr;
    cImageList* imgGrid = nullptr;
    cImageList* imgPlayer = nullptr;
    cAudioConverter* cAudioConverter1 = nullptr;
    cPlayer* cPlayer1 = nullptr;
    cAudioCDRipper* cAudioCDRipper1 = nullptr;
    QTimer tmrUnload;
    QTimer tmrRemove;
    QTimer tmrCDs;
    QTimer tmrCommandLine;
    QTimer tmrPlayer;     // the restart of "Play" while a file plays
    QTimer tmSlider;      // the position slider and label
    QTimer tmrAudioData;  // the audio graphs

    // The list file the grid holds ("" while it holds none, e.g. after a load that could
    // not read its file): the only file SaveGridToFile writes.
    QString GridListFile() const { return m_sGridListKey; }

signals:
    // The key of each command the dispatcher runs, as it reads it.
    void CommandDispatched(const QString& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    // A command of the dispatcher, given the clicked item's number; false when it ended
    // at one of its guards (the information grid is then left alone).
    using CommandProc = bool (frmMain::*)(qint32 ItemNumber);
    static const QHash<QString, CommandProc>& Commands();
    bool CmdNothing(qint32);
    bool CmdAddFiles(qint32);
    bool CmdNewItemsList(qint32);
    bool CmdRenameItemsList(qint32);
    bool CmdRemoveItemsList(qint32);
    bool CmdItemsListProperties(qint32);
    bool CmdOpenDestinationFolder(qint32);
    bool CmdSaveAs(qint32);
    bool CmdRenameItem(qint32);
    bool CmdMarkUnmarkAll(qint32);
    bool CmdRemoveItem(qint32);
    bool CmdClearTheList(qint32);
    bool CmdMoveRow(qint32 ItemNumber);
    bool CmdTransparent(qint32 ItemNumber);
    bool CmdOnTop(qint32 ItemNumber);
    bool CmdMinimize(qint32);
    bool CmdGoSysTray(qint32);
    bool CmdExit(qint32);
    bool CmdTrayOpen(qint32);
    bool CmdMasterVolume(qint32);
    bool CmdOptionsPage(qint32 ItemNumber);
    bool CmdAbout(qint32);
    bool CmdNotes(qint32);
    bool CmdMP3TagsEditor(qint32);
    bool CmdHelpTopic(qint32);
    bool CmdSupport(qint32);
    bool CmdOpenDefaultPlayer(qint32);
    bool CmdAudioConverter(qint32);
    bool CmdACMConverter(qint32);
    bool CmdAudioJoiner(qint32);
    bool CmdAudioSplitter(qint32);
    bool CmdAudioAnalyser(qint32);
    bool CmdAudioRecorder(qint32);
    bool CmdAudioCDMaker(qint32);
    bool CmdDataCDMaker(qint32 ItemNumber);
    bool CmdFreeDB(qint32);
    bool CmdAudioCDRipper(qint32);  // frmMain_Ripper.cpp
    bool CmdTextToSpeech(qint32);
    bool CmdAudioCDDuplicator(qint32);

    // Tool launches (frmMain_Tools.cpp). On a group node: the message, and the group's
    // first list becomes the current list; true then, and the launch ends. `message` is
    // said in place of the usual one.
    bool RedirectFromGroupNode(const QString& message = QString());
    // The guards of an item launch (group node, empty list, no marked row, with that
    // message); true when the launch goes on, with the hourglass shown.
    bool PassToolLaunchGuards(const QString& markMessage);
    // The sub-folder box: the list's name made fit for a file name.
    void HandOverSubFolder(ToolWindow* tool);
    // The status panels: the marked rows' total time and size; returns the seconds.
    qint32 HandOverTotals(ToolWindow* tool);
    // The hand-over of the converters: count label, total seconds, status panels,
    // sub-folder name and the marked rows.
    void HandOverMarkedRows(ItemsToolWindow* tool);
    // The selected list's name made safe for a file name.
    QString SelectedListSafeName();
    // Shows a loaded and handed-over tool window modally, without polling the drives.
    void ShowToolWindow(VForm* tool);

    void FillImageLists();
    void BuildTopToolbar();
    void BuildProjectsToolbar();
    void BuildListToolbar();
    void BuildPlayerToolbar();
    // Pops up the submenu that a top-bar button names, under that button.
    void ShowSubmenuUnder(qint32 Index);
    QString ExpandNoticePlaceholders(QString text) const;
    // "Save As": a copy of the current row's file, under the copy window.
    void SaveCurrentItemAs();
    void RestoreWindowSize();
    void RunCommandLineSwitches();
    void SaveWindowSize();
    // The player panel's own controls inside it, the player and their events
    // (frmMain_Player.cpp).
    void BuildPlayerPanel();
    // Places the panels where m_layout says and shows or hides them.
    void ApplyLayout();
    // The least size the window can be given (after the bars are built).
    void SetLeastSize();
    // Lays the panels out again when the desktop's frame around the window changed.
    void FrameMayHaveChanged();
    bool FitEmptyNotice();
    // Writes the toolbar picture out and gives it to the host as its background.
    void SetToolbarBackground(cToolbarHost* host);
    // The splitter bar's mouse: a drag that ends in a drop on the control under it.
    bool ResizerEvent(QEvent* event);
    void DropResizerAt(const QPoint& globalPos);
    float OffsetFromGridTwips(QWidget* control) const;
    // Unloads every other window, the newest first; returns the first that refused
    // (at once when stopAtRefusal, else after trying them all), nullptr when all went.
    VForm* UnloadOtherWindows(bool stopAtRefusal);
    // Runs the close when the desktop session ends or the program is made to quit.
    void ConnectSessionEnd();
    // The desktop's volume control program with its arguments; empty when none is installed.
    QStringList VolumeControlCommand() const;
    void NewItemsList();
    void SelectionChangedByKeyboard();
    // Runs the add-files window over the paths, then saves the list and its summary.
    bool AddPathsToList(const QStringList& paths) override;
    // The same, naming also the files the caller left out already in the box that names
    // the files the add left out.
    bool AddPathsToList(const QStringList& paths, const QList<AddRefusal>& refusedBefore);
    // No list in the grid: the empty-list notice with this text, an empty information grid
    // and a summary of no items.
    void ShowNoList(const QString& notice);
    // Why the selected list could not be read (m_sGridListError), in a message.
    void SayListUnreadable(cTreeItem* node);
    // Writes the grid's edit (clearing: the list emptied) to the list file node names;
    // false (said, and the grid showing what the file holds) when the file did not take it.
    bool SaveListEditOf(cTreeItem* node, bool clearing);
    // The grid holds its list again as the file holds it: notice, information and summary.
    void ShowGridListAgain();
    bool NoticeDropEvent(QObject* watched, QEvent* event);

    RegistryRoutines m_cRegistry;
    MainLayout m_layout;
    QSize m_layoutFrame;  // the frame around the window when the layout last ran
    bool m_bDraggingResizer = false;
    bool m_bNoExitQuestion = false;  // the session is ending without a chance to ask
    bool m_bQuitting = false;        // the program quits whatever the windows say
    bool m_bInTray = false;
    QString m_sRemoveMode;
    QString m_sGridListKey;
    QString m_sGridListError;        // why the list last shown could not be read
    ListFileBase m_listBase;         // what the grid's list file held when last read or written
    QString m_sListsFolderProblem;   // why the lists folder cannot be used ("" when it can)
    QPointer<cTreeItem> m_shownNode;
    QPointer<cTreeItem> m_playingNode;
    bool m_bAddingFiles = false;
    bool m_bUnloadAfterAdd = false;  // the window was closed while files were being added
};
