// The main window's command dispatcher, and the commands that act on the items lists of
// the tree and on the rows of the current list.
#include "mainwindow/frmMain.h"

#include "common/frmFileCopy.h"
#include "common/mdlCommDialog.h"
#include "common/mdlFunctions.h"
#include "common/mdlWindowHelpers.h"
#include "components/cGrid/cGrid.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cPlayer/cPlayer.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/mdlItemsGrid.h"
#include "lists/mdlListsTree.h"
#include "platform/App.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"

#include <QFileInfo>
#include <QHash>

#include <filesystem>

namespace {

bool isGroup(cTreeItem* node)
{
    return node && IsMainNode(node->Key());
}

bool isCD(cTreeItem* node)
{
    return node && IsCDNode(node->Key());
}

// Whether two paths name one file on disk: the same path written differently, a link to
// it, or a second name of the same file.
bool sameFile(const QString& a, const QString& b)
{
    std::error_code error;
    const bool same = std::filesystem::equivalent(std::filesystem::path(a.toStdString()),
                                                  std::filesystem::path(b.toStdString()), error);
    return !error && same;
}

} // namespace

const QHash<QString, frmMain::CommandProc>& frmMain::Commands()
{
    // Every command key the dispatcher knows, with the procedure that runs it. A tool
    // launch adds its key here when its window exists.
    static const QHash<QString, CommandProc> table{
        {QStringLiteral("Add Files"), &frmMain::CmdAddFiles},
        {QStringLiteral("Add Directories"), &frmMain::CmdNothing},
        {QStringLiteral("New Items List"), &frmMain::CmdNewItemsList},
        {QStringLiteral("Rename Items List"), &frmMain::CmdRenameItemsList},
        {QStringLiteral("Remove Items List"), &frmMain::CmdRemoveItemsList},
        {QStringLiteral("Items List Properties"), &frmMain::CmdItemsListProperties},
        {QStringLiteral("Open Destination Folder"), &frmMain::CmdOpenDestinationFolder},
        {QStringLiteral("Save As"), &frmMain::CmdSaveAs},
        {QStringLiteral("Rename Item"), &frmMain::CmdRenameItem},
        {QStringLiteral("MarkUnmark All"), &frmMain::CmdMarkUnmarkAll},
        {QStringLiteral("Remove Item"), &frmMain::CmdRemoveItem},
        {QStringLiteral("Clear the List"), &frmMain::CmdClearTheList},
        {QStringLiteral("Move Up"), &frmMain::CmdMoveRow},
        {QStringLiteral("Move Down"), &frmMain::CmdMoveRow},
        {QStringLiteral("Move To First"), &frmMain::CmdMoveRow},
        {QStringLiteral("Move To Last"), &frmMain::CmdMoveRow},
        {QStringLiteral("Transparent"), &frmMain::CmdTransparent},
        {QStringLiteral("On Top"), &frmMain::CmdOnTop},
        {QStringLiteral("Minimize"), &frmMain::CmdMinimize},
        {QStringLiteral("GoSysTray"), &frmMain::CmdGoSysTray},
        {QStringLiteral("Exit"), &frmMain::CmdExit},
        {QStringLiteral("RC Exit"), &frmMain::CmdExit},
        {QStringLiteral("RC Open"), &frmMain::CmdTrayOpen},
        {QStringLiteral("Master Volume"), &frmMain::CmdMasterVolume},
        {QStringLiteral("Burn From List"), &frmMain::CmdNothing},
        {QStringLiteral("Burn From Files"), &frmMain::CmdNothing},
        {QStringLiteral("Live Update"), &frmMain::CmdNothing},
        {QStringLiteral("General"), &frmMain::CmdOptionsPage},
        {QStringLiteral("Events"), &frmMain::CmdOptionsPage},
        {QStringLiteral("View"), &frmMain::CmdOptionsPage},
        {QStringLiteral("ID3 Tags"), &frmMain::CmdOptionsPage},
        {QStringLiteral("Advanced"), &frmMain::CmdOptionsPage},
        {QStringLiteral("About"), &frmMain::CmdAbout},
        {QStringLiteral("Notes"), &frmMain::CmdNotes},
        {QStringLiteral("MP3 Tags Editor"), &frmMain::CmdMP3TagsEditor},
        {QStringLiteral("HelpTopic"), &frmMain::CmdHelpTopic},
        {QStringLiteral("Support"), &frmMain::CmdSupport},
        {QStringLiteral("Open Default Player"), &frmMain::CmdOpenDefaultPlayer},
        {QStringLiteral("Audio Converter"), &frmMain::CmdAudioConverter},
        {QStringLiteral("ACM Converter"), &frmMain::CmdACMConverter},
        {QStringLiteral("Audio Joiner"), &frmMain::CmdAudioJoiner},
        {QStringLiteral("Audio Splitter"), &frmMain::CmdAudioSplitter},
        {QStringLiteral("Audio Analyser"), &frmMain::CmdAudioAnalyser},
        {QStringLiteral("Audio Recorder"), &frmMain::CmdAudioRecorder},
        {QStringLiteral("Audio CD Maker"), &frmMain::CmdAudioCDMaker},
        {QStringLiteral("MP3 CD Maker"), &frmMain::CmdDataCDMaker},
        {QStringLiteral("WMA CD Maker"), &frmMain::CmdDataCDMaker},
        {QStringLiteral("FreeDB"), &frmMain::CmdFreeDB},
        {QStringLiteral("Audio CD Ripper"), &frmMain::CmdAudioCDRipper},
        {QStringLiteral("Text To Speech"), &frmMain::CmdTextToSpeech},
        {QStringLiteral("Audio CD Duplicator"), &frmMain::CmdAudioCDDuplicator},
    };
    return table;
}

void frmMain::m_cMenu_Click(qint32 ItemNumber)
{
    // Before any command, even one that ends at once, a playing preview stops through
    // the window's own stop, so the end of that play starts no other row.
    StopPreviewForCommand();
    if (ItemNumber == 0)
        return;
    const QString key = m_cMenu->ItemKey(ItemNumber);
    emit CommandDispatched(key);
    // While files are being added no command reaches the lists. Showing or hiding the
    // window from the tray still works, and an exit waits for the files.
    if (m_bAddingFiles && key != QLatin1String("RC Open") && key != QLatin1String("RC Exit"))
        return;
    const auto found = Commands().constFind(key);
    const bool ranToEnd = found == Commands().constEnd() || (this->*found.value())(ItemNumber);
    // A command that ran to its end (or a key no command knows) leaves the information
    // grid showing the current row; one that stopped at a guard leaves it alone.
    if (ranToEnd)
        GetFileInfoToGridInfo();
}

void frmMain::RunCommand(const QString& key)
{
    m_cMenu_Click(m_cMenu->IndexForKey(key));
}

bool frmMain::CmdNothing(qint32)
{
    return true;
}

// ---- items lists of the tree ----

bool frmMain::CmdAddFiles(qint32)
{
    cTreeItem* selected = cTreeView1->SelectedItem();
    if (isCD(selected)) {
        MsgBox(QStringLiteral("Adding new items to the Audio CD List is not possible.") + QString(20, u' '),
               vbInformation + vbOKOnly);
        return false;
    }
    // Only into a list whose file the grid holds: rows nowhere saved are never added.
    if (!IsListNode(selected) || selected->Key() != m_sGridListKey) {
        if (IsListNode(selected) && !m_sGridListError.isEmpty())
            SayListUnreadable(selected);
        return false;
    }
    AddFiles();
    if (!HeadlessPlatform())
        activateWindow();
    return true;
}

bool frmMain::CmdNewItemsList(qint32)
{
    NewItemsList();
    return true;
}

bool frmMain::CmdRenameItemsList(qint32)
{
    cTreeItem* selected = cTreeView1->SelectedItem();
    if (!selected || isGroup(selected) || selected->Text() == QLatin1String("Items Lists"))
        return false;
    RunCommand(QStringLiteral("Items List Properties"));
    return true;
}

bool frmMain::CmdRemoveItemsList(qint32)
{
    cTreeItem* selected = cTreeView1->SelectedItem();
    if (!selected || isGroup(selected) || isCD(selected))
        return false;
    RemoveItemsList();
    return true;
}

bool frmMain::CmdItemsListProperties(qint32)
{
    cTreeItem* selected = cTreeView1->SelectedItem();
    if (!selected || isGroup(selected))
        return false;
    ShowListProperties(selected);
    return true;
}

bool frmMain::CmdOpenDestinationFolder(qint32)
{
    // The folder that holds the selected list's file; for a group or drive node, which
    // has no file of its own, the lists folder.
    cTreeItem* selected = cTreeView1->SelectedItem();
    const QString folder = IsListNode(selected) ? QFileInfo(selected->Key()).absolutePath()
                                                : NormaliseListsFolder(g_sToPath);
    OpenDestFolder(folder);
    return true;
}

void frmMain::OpenDestFolder(QString sDir)
{
    if (!sDir.endsWith(u'/'))
        sDir += u'/';
    if (!QFileInfo::exists(sDir)) {
        const QString q = QStringLiteral("The folder ") + sDir + QStringLiteral(" does not exist.") + QString(44, u' ')
            + QStringLiteral("\r\n\r\nWould you like to create it?");
        if (MsgBox(q, vbYesNo + vbInformation) != vbYes)
            return;
        if (MakePath(sDir) != 0)
            MsgBox(QStringLiteral("The path: ") + sDir + QStringLiteral(" cannot be created."), vbOKOnly);
    }
    OpenWithShell(this, sDir);
}

// ---- rows of the current list ----

bool frmMain::CmdSaveAs(qint32)
{
    if (isCD(cTreeView1->SelectedItem())) {
        MsgBox(QStringLiteral("Nothing to save.") + QString(20, u' '), vbInformation + vbOKOnly);
        return false;
    }
    if (cGrid1->Rows() == 0)
        return false;
    SaveCurrentItemAs();
    return true;
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
    const QString target = result.FileNames.value(1);
    // Copying a file onto itself would first empty it: the item's own file is never the
    // target, under whatever name it is reached.
    if (sameFile(source, target)) {
        MsgBox(QStringLiteral("The item cannot be saved over its own file: ") + target, vbInformation + vbOKOnly);
        return;
    }
    frmFileCopy* copy = g_frmFileCopy();
    copy->g_sSourceFile = source;
    copy->g_sDestFile = target;
    copy->lblFrom->setText(copy->g_sSourceFile);
    copy->lblTo->setText(copy->g_sDestFile);
    copy->tmrStart.start();
    copy->Show(vbModal, this);
}

bool frmMain::CmdRenameItem(qint32)
{
    if (cGrid1->Rows() == 0)
        return false;
    SetFormOnTop(this, false);
    cGrid1_CellDoubleClick(cGrid1->CurrentRow(), cGrid1->CurrentColumn());
    return true;
}

bool frmMain::CmdMarkUnmarkAll(qint32)
{
    MarkAllRows(!AnyMarkedRows());
    return true;
}

bool frmMain::CmdRemoveItem(qint32)
{
    if (isCD(cTreeView1->SelectedItem())) {
        MsgBox(QStringLiteral("Cannot remove items from Audio CD.") + QString(20, u' '), vbInformation + vbOKOnly);
        return false;
    }
    if (cGrid1->Rows() == 0)
        return false;
    // The removal runs from the timer, once this handler has returned.
    m_sRemoveMode = QStringLiteral("Item");
    tmrRemove.start();
    return true;
}

bool frmMain::CmdClearTheList(qint32)
{
    if (cGrid1->Rows() == 0)
        return false;
    m_sRemoveMode = QStringLiteral("All");
    tmrRemove.start();
    return true;
}

bool frmMain::CmdMoveRow(qint32 ItemNumber)
{
    const qint32 rows = cGrid1->Rows();
    if (rows == 0)
        return false;
    const QString key = m_cMenu->ItemKey(ItemNumber);
    const qint32 current = cGrid1->CurrentRow();
    if (key == QLatin1String("Move Up") && current > 1)
        ReplaceRow(-1);
    else if (key == QLatin1String("Move Down") && current < rows)
        ReplaceRow(1);
    else if (key == QLatin1String("Move To First") && rows > 1)
        ReplaceRow(1 - current);
    else if (key == QLatin1String("Move To Last") && rows > 1 && current < rows)
        ReplaceRow(rows - current);
    SaveGridToFile();
    return true;
}

void frmMain::cStatusBar1_PanelClick(int Index)
{
    const QString key = cStatusBar1->PanelKey(Index);
    if (!key.isEmpty())
        RunCommand(key);
}
