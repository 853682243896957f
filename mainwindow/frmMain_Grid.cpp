// The main window's items grid: its events, the information grid and removing items.
#include "mainwindow/frmMain.h"

#include "common/mdlFunctions.h"
#include "components/cGrid/cGrid.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cPlayer/cPlayer.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/frmItem.h"
#include "lists/mdlItemsGrid.h"
#include "lists/mdlListFile.h"
#include "lists/mdlListsTree.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"
#include "settings/mdlOptions.h"

#include <QFileInfo>
#include <cmath>

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
    // When the file cannot take it, the reload shows the list as the file still holds it.
    cTreeItem* selected = cTreeView1->SelectedItem();
    const bool holdsList = IsListNode(selected) && selected->Key() == m_sGridListKey;
    cGrid1->Clear();
    cGrid1->SetRedraw(true);
    // A CD drive's tracks are no list file: clearing them empties the grid only.
    if (selected && IsCDNode(selected->Key())) {
        DisplayGridInfoStatusBar();
        GetFileInfoToGridInfo();
        return;
    }
    // A list that could not be read was not touched, and stays shown as it is.
    if (IsListNode(selected) && !holdsList)
        return;
    // The items this copy showed go; what another copy added meanwhile stays.
    if (holdsList && !SaveListEditOf(selected, true))
        return;
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
