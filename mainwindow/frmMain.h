// The main window: title strip, the tree of items lists, the items grid with its
// information grid, status bar, popup menus, tray icon and the timers that drive
// start-up, removals and exit.
#pragma once

#include "common/MainHost.h"
#include "common/RegistryRoutines.h"
#include "lists/ListsHost.h"
#include "platform/Forms.h"

#include <QPointer>
#include <QStringList>
#include <QTimer>

class QLabel;
class XP_ProgressBar;
class cAudioCDRipper;
class cAudioConverter;
class cGrid;
class cIconMenu;
class cImageList;
class cPlayer;
class cStatusBar;
class cSysTray;
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

    // The command dispatcher: runs the command keyed by the menu item's number.
    void m_cMenu_Click(qint32 ItemNumber);
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
    void SaveGridToFile() override;
    void cTreeView1_NodeClick(cTreeItem* Node);
    void DisplayGridInfoStatusBar();

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
    QWidget* picMain = nullptr;
    QWidget* picProjects = nullptr;  // the tree panel
    cTreeView* cTreeView1 = nullptr;
    QLabel* lblListName = nullptr;
    cGrid* cGrid1 = nullptr;
    cGrid* cGridInfo = nullptr;
    QWidget* picEmptyMsg = nullptr;
    QLabel* lblAddorDrag = nullptr;
    QLabel* lblEmptylist = nullptr;
    QWidget* picPlayer = nullptr;
    QLabel* lbTotalLengthSec = nullptr;
    QLabel* lblCurrentPositionSec = nullptr;
    XP_ProgressBar* prgStatus = nullptr;
    cStatusBar* cStatusBar1 = nullptr;
    cIconMenu* m_cMenu = nullptr;
    cSysTray* cSysTray1 = nullptr;
    cImageList* imgMenu = nullptr;
    cImageList* imgGrid = nullptr;
    cAudioConverter* cAudioConverter1 = nullptr;
    cPlayer* cPlayer1 = nullptr;
    cAudioCDRipper* cAudioCDRipper1 = nullptr;
    QTimer tmrUnload;
    QTimer tmrRemove;
    QTimer tmrCDs;
    QTimer tmrCommandLine;

    // The list file the grid holds ("" while it holds none, e.g. after a load that could
    // not read its file): the only file SaveGridToFile writes.
    QString GridListFile() const { return m_sGridListKey; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildTrayMenu();
    // "Save As": a copy of the current row's file, under the copy window.
    void SaveCurrentItemAs();
    void BuildListMenus();
    void RestoreWindowSize();
    void RunCommandLineSwitches();
    void SaveWindowSize();
    void NewItemsList();
    void StopPreviewPlayer();
    void SelectionChangedByKeyboard();
    // Runs the add-files window over the paths, then saves the list and its summary.
    void AddPathsToList(const QStringList& paths);
    bool NoticeDropEvent(QObject* watched, QEvent* event);

    RegistryRoutines m_cRegistry;
    bool m_bInTray = false;
    QString m_sRemoveMode;
    QString m_sGridListKey;
    QPointer<cTreeItem> m_shownNode;
    bool m_bAddingFiles = false;
    bool m_bUnloadAfterAdd = false;  // the window was closed while files were being added
};
