// The main window's audio CD drives as lists of tracks.
#include "mainwindow/frmMain.h"

#include "common/mdlWindowHelpers.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cAudioCDRipper/cAudioCDRipper.h"
#include "components/cGrid/cGrid.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/frmDirProperties.h"
#include "lists/mdlCDTracks.h"
#include "lists/mdlListsTree.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/mdlOptions.h"
#include "tools/disc/frmFreeDB.h"

// ---- audio CD drive lists ----

qint32 frmMain::GetCDDriveIndex(const QString&)
{
    cTreeItem* selected = cTreeView1->SelectedItem();
    return selected ? CDDriveIndex(cAudioCDRipper1, selected->Key()) : -1;
}

void frmMain::ListCDTracks(const QString& sDrive)
{
    const QString insert = QStringLiteral("Insert an Audio CD to the CD drive.");
    // The drive of the selected node; without one, the grid shows no tracks and the user
    // hears that there is no CD.
    setCursor(Qt::WaitCursor);
    const bool noDrive = cTreeView1->SelectedItem() == nullptr;
    const qint32 i = GetCDDriveIndex(sDrive);
    cGrid1->Clear();
    cGrid1->SetRedraw(false);
    // A drive with an audio disc lists its tracks under the progress bar; a drive without
    // one shows the notice to insert a disc.
    const bool selectable = !noDrive && cAudioCDRipper1->SelectDevice(i);
    if (selectable && cAudioCDRipper1->IsAudioCD()) {
        prgStatus->show();
        prgStatus->SetMax(cAudioCDRipper1->GetTrackCount());
        WriteCDTrackRows(cGrid1, cAudioCDRipper1, sDrive, [this](qint32 t) { prgStatus->SetValue(t); });
        cGrid1->SetRedraw(true);
    } else if (selectable) {
        cGrid1->Clear();
        lblAddorDrag->setText(insert);
        ShowEmptyNotice(true);
    }
    // With tracks: the first or last is current, and the disc may be looked up at once.
    if (cGrid1->Rows() > 0) {
        ShowEmptyNotice(false);
        cGrid1->SetRedraw(true);
        cGrid1->SetCurrentRow(g_bSelectTheLastItem ? cGrid1->Rows() : 1);
        cStatusBar1->SetPanelText(QStringLiteral("Main"), QStringLiteral("Ready."));
        DisplayGridInfoStatusBar();
        if (g_bAutoFreeDB)
            m_cMenu_Click(m_cMenu->IndexForKey(QStringLiteral("FreeDB")));
    } else {
        // An image drive whose files cannot be read as a disc says why, in place of asking
        // for a disc that no drive would take.
        const QString why = noDrive || selectable ? QString() : cAudioCDRipper1->DeviceError();
        lblAddorDrag->setText(why.isEmpty() ? insert : why);
        ShowEmptyNotice(true);
    }
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

// ---- the CD database lookup ----

bool frmMain::CmdFreeDB(qint32)
{
    SetFormOnTop(this, false);
    if (cGrid1->Rows() == 0)
        return false;
    cTreeItem* selected = cTreeView1->SelectedItem();
    if (!selected || !IsCDNode(selected->Key())) {
        MsgBox(QStringLiteral("Select the CD drive to get the information about.") + QString(18, u' '),
               vbInformation + vbOKOnly);
        return false;
    }
    // The hourglass stays while the lookup window is open.
    setCursor(Qt::WaitCursor);
    frmFreeDB* lookup = g_frmFreeDB();
    if (lookup->GetFreeDB())
        lookup->Show(vbModal);
    unsetCursor();
    return true;
}

void frmMain::NodeLabelChanged(cTreeItem* node)
{
    int cancel = 0;
    cTreeView1_AfterLabelEdit(node, node->Text(), cancel);
    lblListName->setText(node->Text());
}

void frmMain::cAudioCDRipper1_Error(qint32 Code, const QString& Description)
{
    MsgBox(Description + QStringLiteral(" (") + QString::number(Code) + u')', vbOKOnly);
}
