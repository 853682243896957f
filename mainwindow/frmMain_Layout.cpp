// The main window's layout and view: where each panel goes for the window's size and the
// view options, the splitter bar between the tree and the grid, and the product's colour
// and pictures.
#include "mainwindow/frmMain_Layout.h"

#include "mainwindow/frmMain.h"

#include "common/mdlModes.h"
#include "components/cGrid/cGrid.h"
#include "components/cAudioGraph/cAudioGraph.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cSlider/cSlider.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cToolbar/cToolbar.h"
#include "components/cToolbarHost/cToolbarHost.h"
#include "components/cTreeView/cTreeView.h"
#include "platform/App.h"
#include "platform/Controls.h"
#include "settings/mdlOptions.h"

#include <QLabel>
#include <QMouseEvent>
#include <QRubberBand>
#include <QSaveFile>

#include <cmath>

namespace {

// A size that would come out below zero leaves the panel as it was.
void setSize(float& size, float value)
{
    if (value >= 0)
        size = value;
}

} // namespace

void LayOutMainWindow(MainLayout& l, const LayoutInputs& in)
{
    if (in.minimised)
        return;

    // The tree panel follows the product's flag: collapsed and hidden when the product
    // does not offer it, brought back at its first width when it does.
    if (l.treeVisible && in.treeOffered == 0) {
        l.cTreeView1.Width = 0;
        l.picResizer.Width = 0;
        l.treeVisible = false;
    } else if (!l.treeVisible && in.treeOffered == 1) {
        l.cTreeView1.Width = kTreeWidth;
        l.picResizer.Width = 100;
        l.treeVisible = true;
    }
    l.graphsVisible = in.displayAudioGraph;
    l.titleVisible = in.displayTitle;
    l.picTitle.Height = in.displayTitle ? 375 : 0;
    l.playerVisible = in.displayPlayer;
    l.cGridInfo.Width = in.displayPlayer ? 3495 : 0;
    l.picPlayer.Width = l.cGridInfo.Width;

    // Top to bottom: title strip, top bar, the two caption strips, then the tree beside
    // the grid, the list bar's strip and the tools frame under the grid.
    TwipsRect& grid = l.cGrid1;
    TwipsRect& tree = l.cTreeView1;
    TwipsRect& topBar = l.cToolbarHost1;
    l.cToolbarHost1.Top = l.picTitle.Top + l.picTitle.Height + 40;
    l.picTitleProject.Top = topBar.Top + topBar.Height;
    l.picTitleList.Top = l.picTitleProject.Top;
    grid.Top = topBar.Top + topBar.Height + l.picTitleList.Height + 20;
    tree.Top = grid.Top;
    setSize(grid.Height, in.H - l.froControl.Height - l.tlbrListHeight - topBar.Height - l.picTitle.Height
                             - l.statusBarHeight - l.picTitleList.Height - 600);
    setSize(tree.Height, grid.Height + l.froControl.Height - 60);
    l.picList.Top = grid.Top + grid.Height;
    l.froTreeControl.Top = tree.Top + tree.Height - 40;
    setSize(l.froTreeControl.Width, tree.Width);
    l.froControl.Top = l.picList.Top + l.picList.Height;

    // Left to right: the tree, the splitter bar, the grid.
    l.picTitle.Left = 100;
    setSize(l.picTitle.Width, in.W - 350);
    setSize(topBar.Width, l.picTitle.Width);
    tree.Left = l.picTitle.Left + 20;
    grid.Left = tree.Left + tree.Width + l.picResizer.Width - 40;
    l.picResizer.Left = tree.Left + tree.Width + 20;
    setSize(l.picTitleProject.Width, tree.Width);
    l.picTitleList.Left = grid.Left;
    l.picList.Left = grid.Left;
    l.froControl.Left = grid.Left;

    // The column right of the grid: the information grid over the player panel.
    l.cGridInfo.Top = grid.Top;
    setSize(l.cGridInfo.Height, grid.Height - l.picPlayer.Height);
    setSize(grid.Width, topBar.Width - tree.Width - l.cGridInfo.Width - 100);
    l.cGridInfo.Left = grid.Left + grid.Width;
    l.picPlayer.Top = l.cGridInfo.Top + l.cGridInfo.Height;
    l.picPlayer.Left = l.cGridInfo.Left;
    setSize(l.picList.Width, grid.Width + l.cGridInfo.Width);
    setSize(l.froControl.Width, grid.Width + l.cGridInfo.Width);
    setSize(l.picTitleList.Width, grid.Width + l.cGridInfo.Width);
    l.cSlider1.Left = 100;
    setSize(l.cSlider1.Width, l.picPlayer.Width - l.cSlider1.Left - 100);

    // The empty-list notice stays centred over the grid.
    l.picEmptyMsg.Left = grid.Left + grid.Width / 2 - l.picEmptyMsg.Width / 2;
}

QSizeF LeastWindowTwips(const MainLayout& l)
{
    // The rules' grid width solved for 0, and their grid height for the player panel's
    // height, so the information grid above the panel keeps a height of 0 or more too.
    const float width = 350 + kTreeWidth + 3495 + 100;
    const float height = l.picPlayer.Height + l.froControl.Height + l.tlbrListHeight + l.cToolbarHost1.Height + 375
        + l.statusBarHeight + l.picTitleList.Height + 600;
    return QSizeF(width, height);
}

float TreeWidthAfterDropOnTree(const MainLayout& l, float X)
{
    return X < 1000 ? 1000 : l.cTreeView1.Left + X - 120;
}

float TreeWidthAfterDropOnGrid(const MainLayout& l, float X)
{
    return l.cTreeView1.Left + l.cTreeView1.Width + X - 60;
}

QRect TwipsToPixelRect(const TwipsRect& r)
{
    // Edges are rounded, not sizes, so panels that touch in twips touch in pixels.
    const auto px = [](float twips) { return static_cast<int>(std::nearbyint(twips / kTwipsPerPixel)); };
    const int left = px(r.Left);
    const int top = px(r.Top);
    return QRect(left, top, px(r.Left + r.Width) - left, px(r.Top + r.Height) - top);
}

// ---- the window ----

void frmMain::Form_Resize()
{
    if (WindowState() == vbMinimized)
        return;

    // The status bar runs along the bottom edge at its own height.
    const int barHeight = cStatusBar1->sizeHint().height();
    cStatusBar1->setGeometry(0, height() - barHeight, width(), barHeight);
    cStatusBar1->raise();

    m_cMenu->SetAdvancedStyle(g_bMenuXPStyle);

    // Heights the bars settle themselves.
    if (cToolbarHost1->Height() > 0)
        m_layout.cToolbarHost1.Height = float(cToolbarHost1->Height());
    m_layout.tlbrListHeight = float(tlbrList->sizeHint().height() * kTwipsPerPixel);
    m_layout.statusBarHeight = float(barHeight * kTwipsPerPixel);

    // The rules count the window's outer size, the desktop's frame and caption included
    // (none while the window is not on screen, or where the desktop draws none).
    const QRect outer = frameGeometry();
    m_layoutFrame = outer.size() - size();
    LayoutInputs in;
    in.W = float(outer.width() * kTwipsPerPixel);
    in.H = float(outer.height() * kTwipsPerPixel);
    in.treeOffered = lAppIncProjects;
    in.displayTitle = g_bDisplayTitle;
    in.displayPlayer = g_bDisplayPlayer;
    in.displayAudioGraph = g_bDisplayAudioGraph;
    FitEmptyNotice();
    LayOutMainWindow(m_layout, in);
    ApplyLayout();
}

void frmMain::SetLeastSize()
{
    // Never so small that a panel or a bar lies past the window's edges: the tools bar
    // and its overflow button stay in the window, and the top bar shows all its buttons.
    MainLayout l;
    l.cToolbarHost1.Height = float(cToolbarHost1->Height());
    l.tlbrListHeight = float(tlbrList->sizeHint().height() * kTwipsPerPixel);
    l.statusBarHeight = float(cStatusBar1->sizeHint().height() * kTwipsPerPixel);
    const QSizeF least = LeastWindowTwips(l);
    // The top bar's host spans the window but 350 twips.
    const int topBar = cToolbarHost1->sizeHint().width() + TwipsToPixels(350);
    const auto pixels = [](double twips) { return int(std::ceil(twips / kTwipsPerPixel)); };
    setMinimumSize(qMax(pixels(least.width()), topBar), pixels(least.height()));
}

void frmMain::FrameMayHaveChanged()
{
    // The desktop adds its frame after the window first appears, without resizing it:
    // the panels are placed again for the outer size it now has.
    if (frameGeometry().size() - size() != m_layoutFrame)
        Form_Resize();
}

void frmMain::showEvent(QShowEvent* event)
{
    VForm::showEvent(event);
    FrameMayHaveChanged();
}

void frmMain::moveEvent(QMoveEvent* event)
{
    VForm::moveEvent(event);
    FrameMayHaveChanged();
}

void frmMain::ApplyLayout()
{
    const std::pair<QWidget*, const TwipsRect*> placed[] = {
        {picTitle, &m_layout.picTitle},
        {cToolbarHost1, &m_layout.cToolbarHost1},
        {picTitleProject, &m_layout.picTitleProject},
        {picTitleList, &m_layout.picTitleList},
        {cTreeView1, &m_layout.cTreeView1},
        {picResizer, &m_layout.picResizer},
        {cGrid1, &m_layout.cGrid1},
        {picEmptyMsg, &m_layout.picEmptyMsg},
        {cGridInfo, &m_layout.cGridInfo},
        {picPlayer, &m_layout.picPlayer},
        {picList, &m_layout.picList},
        {froControl, &m_layout.froControl},
        {froTreeControl, &m_layout.froTreeControl},
        {cSlider1, &m_layout.cSlider1},
    };
    for (const auto& [widget, rect] : placed)
        widget->setGeometry(TwipsToPixelRect(*rect));
    picTitle->setVisible(m_layout.titleVisible);
    cTreeView1->setVisible(m_layout.treeVisible);
    picResizer->setVisible(m_layout.treeVisible);
    cGridInfo->setVisible(m_layout.playerVisible);
    picPlayer->setVisible(m_layout.playerVisible);
    cAudioGraphAmp->setVisible(m_layout.graphsVisible);
    cAudioGraphFreq->setVisible(m_layout.graphsVisible);
}

void frmMain::SetAppView()
{
    // The product's colour behind the window and its frames, bars, slider and status bar.
    bool ok = false;
    const qint32 colour = g_sViewBackColor.toInt(&ok);
    if (!g_sViewBackColor.isEmpty() && ok) {
        for (QWidget* w : {static_cast<QWidget*>(this), froControl, froTreeControl, picResizer,
                           static_cast<QWidget*>(cGridInfo)})
            SetBackColor(w, colour);
        for (cToolbarHost* host : {cToolbarHostRecorder, cToolbarHost1, tlbrProjectsHost})
            host->SetBackgroundColour(colour);
        cSlider1->SetBackgroundColour(colour);
        cStatusBar1->SetBackgroundColour(colour);
    }
    // The product's pictures, from the folder "View" beside the program.
    const auto loadHolder = [this](const QString& name) {
        const QPixmap picture(AppPath() + QStringLiteral("/View/") + name);
        if (!name.isEmpty() && !picture.isNull())
            picToolBarJPGPicHolder->setPixmap(picture);
    };
    if (!g_sViewBackPicture.isEmpty()) {
        LoadViewPicture(this, g_sViewBackPicture);
        LoadViewPicture(picResizer, g_sViewBackPicture);
        loadHolder(g_sViewToolbarPicture);
        cGridInfo->SetBackgroundPicture(picToolBarJPGPicHolder->pixmap());
    }
    LoadViewPicture(picTitle, g_sViewTitlePicture);
    loadHolder(g_sViewToolbarPicture);
}

void frmMain::SetToolbarBackground(cToolbarHost* host)
{
    // The toolbar picture goes out as a bitmap beside the program, which the bar's host
    // paints under its buttons.
    const QPixmap picture = picToolBarJPGPicHolder->pixmap();
    if (picture.height() <= 0)
        return;
    const QString path = AppPath() + QStringLiteral("/tbbg.bmp");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "BMP") || !file.commit())
        return;
    host->SetBackgroundPictureFile(path);
}

// ---- the splitter bar between the tree and the grid ----

void frmMain::picResizer_MouseMove(qint16, qint16, float, float)
{
    picResizer->setCursor(Qt::SplitHCursor);
}

void frmMain::cTreeView1_DragDrop(QWidget*, float X, float)
{
    setSize(m_layout.cTreeView1.Width, TreeWidthAfterDropOnTree(m_layout, X));
    Form_Resize();
}

void frmMain::cGrid1_DragDrop(QWidget*, float X, float)
{
    setSize(m_layout.cTreeView1.Width, TreeWidthAfterDropOnGrid(m_layout, X));
    Form_Resize();
}

void frmMain::picTitleProject_DragDrop(QWidget* Source, float X, float Y) { cTreeView1_DragDrop(Source, X, Y); }
void frmMain::lblProjects_DragDrop(QWidget* Source, float X, float Y) { cTreeView1_DragDrop(Source, X, Y); }
void frmMain::tlbrProjectsHost_DragDrop(QWidget* Source, float X, float Y) { cTreeView1_DragDrop(Source, X, Y); }
void frmMain::picList_DragDrop(QWidget* Source, float X, float Y) { cGrid1_DragDrop(Source, X, Y); }
void frmMain::picTitleList_DragDrop(QWidget* Source, float X, float Y) { cGrid1_DragDrop(Source, X, Y); }
void frmMain::lblListName_DragDrop(QWidget* Source, float X, float Y) { cGrid1_DragDrop(Source, X, Y); }
void frmMain::froControl_DragDrop(QWidget* Source, float X, float Y) { cGrid1_DragDrop(Source, X, Y); }

void frmMain::cSlider1_DragDrop(QWidget* Source, float X, float Y)
{
    // The slider sits right of the grid, inside the player panel: its X is counted from
    // the grid's left edge so the bar lands where it was dropped.
    cGrid1_DragDrop(Source, X + OffsetFromGridTwips(cSlider1), Y);
}

void frmMain::cToolbarHostRecorder_DragDrop(QWidget* Source, float X, float Y)
{
    cGrid1_DragDrop(Source, X + OffsetFromGridTwips(cToolbarHostRecorder), Y);
}

float frmMain::OffsetFromGridTwips(QWidget* control) const
{
    return float((control->mapTo(this, QPoint(0, 0)).x() - cGrid1->x()) * kTwipsPerPixel);
}

bool frmMain::ResizerEvent(QEvent* event)
{
    // The bar is dragged with the mouse and dropped on another control, which places
    // the tree's edge by the drop's position within itself.
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto* e = static_cast<QMouseEvent*>(event);
        picResizer_MouseMove(qint16(e->buttons()), 0, float(e->position().x()), float(e->position().y()));
        // While dragged, a line shows where the bar would go.
        if (m_bDraggingResizer) {
            const int x = mapFromGlobal(e->globalPosition().toPoint()).x();
            const QRect bar = picResizer->geometry().intersected(rect());
            m_resizerLine->setGeometry(x - 1, bar.top(), 3, bar.height());
            m_resizerLine->show();
            m_resizerLine->raise();
        }
        return true;
    }
    case QEvent::MouseButtonPress:
        m_bDraggingResizer = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        return true;
    case QEvent::MouseButtonRelease: {
        m_resizerLine->hide();
        if (!m_bDraggingResizer)
            return true;
        m_bDraggingResizer = false;
        DropResizerAt(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
        return true;
    }
    default:
        return false;
    }
}

void frmMain::DropResizerAt(const QPoint& globalPos)
{
    using Handler = void (frmMain::*)(QWidget*, float, float);
    const std::pair<QWidget*, Handler> targets[] = {
        {cTreeView1, &frmMain::cTreeView1_DragDrop},
        {lblProjects, &frmMain::lblProjects_DragDrop},
        {picTitleProject, &frmMain::picTitleProject_DragDrop},
        {tlbrProjectsHost, &frmMain::tlbrProjectsHost_DragDrop},
        {cGrid1, &frmMain::cGrid1_DragDrop},
        {lblListName, &frmMain::lblListName_DragDrop},
        {picTitleList, &frmMain::picTitleList_DragDrop},
        {picList, &frmMain::picList_DragDrop},
        {cToolbarHostRecorder, &frmMain::cToolbarHostRecorder_DragDrop},
        {froControl, &frmMain::froControl_DragDrop},
        {cSlider1, &frmMain::cSlider1_DragDrop},
    };
    // The innermost control under the mouse that takes drops; anything else (the
    // information grid, the player panel, the bare window) takes none.
    for (QWidget* w = childAt(mapFromGlobal(globalPos)); w && w != this; w = w->parentWidget()) {
        for (const auto& [target, handler] : targets) {
            if (w != target)
                continue;
            const QPoint at = target->mapFromGlobal(globalPos);
            (this->*handler)(picResizer, float(at.x() * kTwipsPerPixel), float(at.y() * kTwipsPerPixel));
            return;
        }
    }
}
