// Launching the CD ripper from the list of tracks of a CD drive: its own guards, every
// track handed over with its mark, and the drive of the node preselected and locked.
#include "mainwindow/frmMain.h"

#include "common/mdlFunctions.h"
#include "components/cGrid/cGrid.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/mdlCDTracks.h"
#include "lists/mdlItemsGrid.h"
#include "lists/mdlListsTree.h"
#include "platform/MessageService.h"
#include "tools/disc/frmCDRipper.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

bool frmMain::CmdAudioCDRipper(qint32)
{
    if (RedirectFromGroupNode(QStringLiteral("Select the Items List of the CD.") + QString(40, u' ')))
        return false;
    cTreeItem* selected = cTreeView1->SelectedItem();
    const QString key = selected ? selected->Key() : QString();
    // An items list: the CD group opens and its first drive becomes the current list.
    if (!IsCDNode(key)) {
        MsgBox(QStringLiteral("Select the the Audio CD device to rip from.") + QString(40, u' '),
               vbInformation + vbOKOnly);
        if (g_nodMainCDs) {
            g_nodMainCDs->SetExpanded(true);
            if (g_nodMainCDs->Children().Count() > 0)
                cTreeView1_NodeClick(g_nodMainCDs->Children().Item(1));
        }
        return false;
    }
    if (CountMarkedRows() == 0) {
        MsgBox(QStringLiteral("Mark the items to rip.") + QString(29, u' '), vbInformation + vbOKOnly);
        return false;
    }
    setCursor(Qt::WaitCursor);
    frmCDRipper* tool = g_frmCDRipper();
    tool->lblFilesToConvert->setText(QString::number(CountMarkedRows()) + QStringLiteral(" items to convert."));
    tool->g_ltmrItemSecsTotal = HandOverTotals(tool);
    HandOverSubFolder(tool);
    // Every track, marked or not, so that row n stays track n; the ripper passes over the
    // unmarked ones.
    CopyMarkedRows(cGrid1, tool->cGrid1, false);
    // The node's drive is the one ripped from, and the only one.
    const qint32 drive = CDDriveIndex(tool->cAudioCDRipper1, key);
    if (drive >= 0 && drive < tool->cboDevices->count()) {
        tool->cboDevices->setCurrentIndex(drive);
        tool->cboDevices_Click();
        tool->cboDevices->setEnabled(false);
        tool->cmdOpenCD->setEnabled(false);
    }
    ShowToolWindow(tool);
    return true;
}
