// The main window's command dispatcher and the commands it runs itself.
#include "mainwindow/frmMain.h"

#include "common/frmAbout.h"
#include "common/frmFileCopy.h"
#include "common/frmNotes.h"
#include "common/mdlCommDialog.h"
#include "common/mdlFunctions.h"
#include "common/mdlWindowHelpers.h"
#include "components/cGrid/cGrid.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cPlayer/cPlayer.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/frmDirProperties.h"
#include "lists/mdlItemsGrid.h"
#include "lists/mdlListsTree.h"
#include "platform/App.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/frmOptions.h"

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

void frmMain::cStatusBar1_PanelClick(int Index)
{
    m_cMenu_Click(m_cMenu->IndexForKey(cStatusBar1->PanelKey(Index)));
}
