// The main window's items lists: rows of the grid, the current list, the tree of lists and
// the list properties.
#include "mainwindow/frmMain.h"

#include "common/mdlFunctions.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cGrid/cGrid.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cPlayer/cPlayer.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/frmDirProperties.h"
#include "lists/mdlItemsGrid.h"
#include "lists/mdlListFile.h"
#include "lists/mdlListPaths.h"
#include "lists/mdlListsTree.h"
#include "lists/mdlSharedList.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"

#include <QGuiApplication>

namespace {

// The lists folder as the tree keys use it: always ending in "/" (an empty setting is
// the default folder beside the program).
QString ListsFolder()
{
    return NormaliseListsFolder(g_sToPath);
}

} // namespace

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

bool frmMain::SaveGridToFile()
{
    // Only a list node's file is written, and only while the grid holds that very list:
    // never a group or CD drive key, never a list whose file could not be read.
    cTreeItem* node = cTreeView1->SelectedItem();
    if (!IsListNode(node) || node->Key() != m_sGridListKey)
        return true;
    return SaveListEditOf(node, false);
}

bool frmMain::SaveListEditOf(cTreeItem* node, bool clearing)
{
    // Another copy of the program sharing the lists folder may have written the list since
    // this one read it: its rows are kept, and this copy's edit made on them.
    const ListSaveResult saved = SaveListEdit(cGrid1, node->Key(), m_listBase, cAudioConverter1, g_bCopyID3FromSource);
    switch (saved.result) {
    case ListSave::Written:
        return true;
    case ListSave::Merged:
        ShowGridListAgain();
        return true;
    case ListSave::KeptBeside: {
        const QString keptName = ListNodeText(GetFileName(saved.keptPath));
        if (g_nodMainItems)
            cTreeView1->Nodes().Add(g_nodMainItems, cTreeItems::tvwChild, saved.keptPath, keptName, 42, 43);
        MsgBox(QStringLiteral("The items list '") + node->Text()
                   + QStringLiteral("' was changed elsewhere meanwhile, and this change cannot be made on what it holds now: ")
                   + saved.error + QStringLiteral(".\r\n\r\nThe list shows what its file holds; this copy's version is kept as the items list '")
                   + keptName + QStringLiteral("'."),
               vbInformation + vbOKOnly);
        if (saved.unreadable)
            cTreeView1_NodeClick(node);
        else
            ShowGridListAgain();
        return true;
    }
    case ListSave::Failed:
        break;
    }
    // The change did not reach the file: say so, and show again what the file holds, so
    // the screen never shows rows that a restart would not bring back.
    MsgBox(QStringLiteral("The items list '") + node->Text()
               + (clearing ? QStringLiteral("' could not be cleared: ") + saved.error + u'.'
                           : QStringLiteral("' could not be saved: ") + saved.error
                                 + QStringLiteral(".\r\n\r\nThe list shows again what its file holds.")),
           vbInformation + vbOKOnly);
    cTreeView1_NodeClick(node);
    cStatusBar1->SetPanelText(QStringLiteral("Main"), QStringLiteral("Not saved."));
    return false;
}

void frmMain::ShowGridListAgain()
{
    cGrid1->SetRedraw(true);
    ShowEmptyNotice(cGrid1->Rows() == 0);
    GetFileInfoToGridInfo();
    DisplayGridInfoStatusBar();
}

void frmMain::ShowNoList(const QString& notice)
{
    m_sGridListKey.clear();
    cGrid1->Clear();
    cGrid1->SetRedraw(true);
    lblAddorDrag->setText(notice);
    ShowEmptyNotice(true);
    GetFileInfoToGridInfo();
    DisplayGridInfoStatusBar();
}

void frmMain::SayListUnreadable(cTreeItem* node)
{
    MsgBox(QStringLiteral("The items list '") + (node ? node->Text() : QString()) + QStringLiteral("' cannot be read: ")
               + m_sGridListError + QStringLiteral(".\r\n\r\nIts file is left as it is; nothing can be added to it."),
           vbInformation + vbOKOnly);
}

void frmMain::cTreeView1_NodeClick(cTreeItem* Node)
{
    // While a list or drive is being read, or files are being added, a click waits for
    // nothing.
    if (!prgStatus->isHidden() || m_bAddingFiles)
        return;
    // A group node shows an empty grid, and nothing else changes.
    if (Node && IsMainNode(Node->Key())) {
        m_shownNode = Node;
        m_sGridListKey.clear();
        cGrid1->Clear();
        return;
    }
    if (cPlayer1->IsPlaying())
        StopPreviewPlayer();
    if (!Node)
        return;
    // The node becomes the one shown; the drive poll runs only for a drive.
    m_shownNode = Node;
    m_sGridListKey.clear();
    Node->SetItemFlag67(true);
    lblListName->setText(Node->Text());
    tmrCDs.stop();
    if (IsCDNode(Node->Key())) {
        tmrCDs.start();
        ListCDTracks(GetCDNameNode(Node->Key()));
        GetFileInfoToGridInfo();
        return;
    }
    // An items list: an empty grid repaints at once, then the file loads row by row under
    // the status progress bar.
    setCursor(Qt::WaitCursor);
    cGrid1->Clear();
    cGrid1->SetRedraw(false);
    cGrid1->SetRedraw(true);
    cGrid1->SetImageList(imgGrid);
    prgStatus->SetValue(0);
    prgStatus->show();
    cGrid1->SetRedraw(false);
    const QString path = Node->Key();
    const ListLoadResult r = LoadListFile(
        cGrid1, path, cAudioConverter1, g_bCopyID3FromSource, [this](qint32 max) { prgStatus->SetMax(max); },
        [this](qint32 n) { prgStatus->SetValue(n); });
    prgStatus->hide();
    unsetCursor();
    if (!r.completed) {
        // The file cannot be read: it is left alone, and nothing is written over it until
        // it has been loaded again. The screen shows no list of it, and says why.
        m_sGridListError = r.error;
        ShowNoList(QStringLiteral("This items list cannot be read."));
        SayListUnreadable(Node);
        return;
    }
    m_sGridListKey = path;
    m_sGridListError.clear();
    m_listBase = TakeListBase(cGrid1, r.text);
    // The notice of an items list always reads so; the current row is the first or, as
    // the options say, the last.
    lblAddorDrag->setText(QStringLiteral("Add or Drag and Drop audio items to here."));
    cGrid1->SetRedraw(true);
    if (cGrid1->Rows() > 0) {
        ShowEmptyNotice(false);
        cGrid1->SetCurrentRow(g_bSelectTheLastItem ? cGrid1->Rows() : 1);
        cStatusBar1->SetPanelText(QStringLiteral("Main"), QStringLiteral("Ready."));
    } else {
        ShowEmptyNotice(true);
    }
    GetFileInfoToGridInfo();
    DisplayGridInfoStatusBar();
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
    const QString folder = ListsFolder();
    BuildListsTree(cTreeView1, folder, imgMenu, cAudioCDRipper1);
    m_sListsFolderProblem = ListsFolderProblem(folder);
    if (m_sListsFolderProblem.isEmpty())
        return;
    // A setting that names no folder: no list is shown, and the user learns why once.
    m_shownNode = nullptr;
    ShowNoList(QStringLiteral("The lists folder cannot be used."));
    MsgBox(QStringLiteral("The lists folder cannot be used: ") + m_sListsFolderProblem
               + QStringLiteral(".\r\n\r\nChoose another folder for the items lists in the options."),
           vbInformation + vbOKOnly);
}

void frmMain::NewItemsList()
{
    // The new list goes under the items-lists group whatever node is selected.
    if (!g_nodMainItems)
        return;
    // The lists folder cannot be used: setTree has said why.
    if (!m_sListsFolderProblem.isEmpty())
        return;
    const QString folder = ListsFolder();
    const QString name = NewItemsListName(folder);
    QString why;
    if (!CreateEmptyListFile(folder + name, &why)) {
        MsgBox(QStringLiteral("The new items list '") + GetNameNoExt(name) + QStringLiteral("' could not be created: ") + why
                   + u'.',
               vbInformation + vbOKOnly);
        return;
    }
    cTreeItem* node =
        cTreeView1->Nodes().Add(g_nodMainItems, cTreeItems::tvwChild, folder + name, GetNameNoExt(name), 42, 43);
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
    if (PathEntryExists(newPath)) {
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
    if (const int error = RemovePathEntry(key)) {
        MsgBox(QStringLiteral("The items list '") + node->Text() + QStringLiteral("' could not be removed: ")
                   + SystemErrorText(error) + u'.',
               vbInformation + vbOKOnly);
        return;
    }
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
    dialog->txtPath->setText(ReadablePath(Node->Key()));
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
