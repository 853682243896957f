// The main window's adding of files: the open dialog and files dropped on the grid.
#include "mainwindow/frmMain.h"

#include "common/mdlCommDialog.h"
#include "common/mdlSupportedFormats.h"
#include "common/mdlWindowHelpers.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/frmStat.h"
#include "lists/mdlListsTree.h"
#include "platform/Controls.h"
#include "platform/MessageService.h"

#include <algorithm>

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

// ---- adding files ----

void frmMain::SetAddingFiles(bool adding)
{
    m_bAddingFiles = adding;
}

void frmMain::ShowEmptyNotice(bool show)
{
    picEmptyMsg->setVisible(show);
    if (!show)
        return;
    // A notice text that changed may need a wider panel, centred over the grid again.
    if (FitEmptyNotice())
        Form_Resize();
    picEmptyMsg->raise();
}

bool frmMain::FitEmptyNotice()
{
    // The notice panel is as large as its texts need, never smaller than designed.
    const TwipsRect design = MainLayout().picEmptyMsg;
    const QSize need = picEmptyMsg->sizeHint();
    TwipsRect& r = m_layout.picEmptyMsg;
    const float width = std::max(design.Width, float(need.width() * kTwipsPerPixel));
    const float height = std::max(design.Height, float(need.height() * kTwipsPerPixel));
    if (width == r.Width && height == r.Height)
        return false;
    r.Width = width;
    r.Height = height;
    return true;
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

bool frmMain::AddPathsToList(const QStringList& paths)
{
    return AddPathsToList(paths, {});
}

bool frmMain::AddPathsToList(const QStringList& paths, const QList<AddRefusal>& refusedBefore)
{
    // Rows go only into the list whose file the grid holds, where they are saved: never
    // onto a group or CD drive, never into a list that could not be read; the user hears
    // why.
    if (m_bAddingFiles)
        return false;
    cTreeItem* selected = cTreeView1->SelectedItem();
    if (!IsListNode(selected)) {
        const QString files = paths.size() == 1 ? QStringLiteral("The file ") + paths.first() + QStringLiteral(" was")
                                                : QStringLiteral("The files ") + paths.join(QStringLiteral(", ")) +
                                                      QStringLiteral(" were");
        MsgBox(files + (selected && IsCDNode(selected->Key())
                            ? QStringLiteral(" not added: new items cannot be added to the Audio CD List.")
                            : QStringLiteral(" not added: no items list is selected.")),
               vbInformation + vbOKOnly);
        return false;
    }
    if (selected->Key() != m_sGridListKey) {
        if (!m_sGridListError.isEmpty())
            SayListUnreadable(selected);
        return false;
    }
    bool hide = false;
    g_frmStat()->AddFilesToList(paths, cGrid1, this, hide, refusedBefore);
    Forms::Unload<frmStat>();
    SaveGridToFile();
    DisplayGridInfoStatusBar();
    if (m_bUnloadAfterAdd) {
        m_bUnloadAfterAdd = false;
        Forms::Unload(this);
    }
    return true;
}

void frmMain::cGrid1_OLEDragDrop(const QStringList& Data, qint32, qint16, qint16, float, float)
{
    // A drop on a CD drive or a group node adds nothing and says nothing.
    cTreeItem* selected = cTreeView1->SelectedItem();
    if (!selected || IsCDNode(selected->Key()) || IsMainNode(selected->Key()) || m_bAddingFiles)
        return;
    // Hidden entries stay out of a drop; the add names them with the other files it leaves
    // out (empty ones among them).
    QStringList kept;
    QList<AddRefusal> hidden;
    for (const QString& path : Data) {
        const QFileInfo info(path);
        if (info.exists() && info.isHidden())
            hidden.append({path, QStringLiteral("it is a hidden file")});
        else
            kept << path;
    }
    AddPathsToList(kept, hidden);
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
