// The main window's layout: where the panels go for the window's size and each view
// option (read back in pixels, 15 twips each), the splitter bar dropped on the controls
// around it, and the product's colour and pictures.
#include "tests/lists/ListsFixture.h"
#include "tests/mainwindow/MainWindowFixture.h"

#include "components/cAudioGraph/cAudioGraph.h"
#include "components/cGrid/cGrid.h"
#include "components/cSlider/cSlider.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cToolbar/cToolbar.h"
#include "components/cToolbarHost/cToolbarHost.h"
#include "components/cTreeView/cTreeView.h"
#include "mainwindow/frmMain_Layout.h"
#include "platform/Controls.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMouseEvent>
#include <QImage>
#include <QTableView>
#include <QTest>

using namespace ListsTest;

namespace {

// A window of 13140 x 7440 twips with every option on, as the rules see it.
LayoutInputs standardInputs()
{
    LayoutInputs in;
    in.W = 13140;
    in.H = 7440;
    in.treeOffered = 1;
    in.displayTitle = true;
    in.displayPlayer = true;
    in.displayAudioGraph = true;
    return in;
}

// Within one pixel of where the twips put it.
bool nearTwips(int pixels, float twips)
{
    return qAbs(pixels - twips / kTwipsPerPixel) <= 1.0f;
}

QString describe(QWidget* w)
{
    const QRect g = w->geometry();
    return QStringLiteral("%1 at %2,%3 %4x%5")
        .arg(w->objectName())
        .arg(g.x())
        .arg(g.y())
        .arg(g.width())
        .arg(g.height());
}

// True when the widget is shown and nothing of it is cut off: it lies whole inside every
// panel that holds it and inside the window, clear of the status bar along the bottom.
bool shownWhole(frmMain* m, QWidget* w)
{
    if (!w || !w->isVisibleTo(m))
        return false;
    const QRect r(w->mapTo(m, QPoint(0, 0)), w->size());
    for (QWidget* p = w->parentWidget(); p && p != m; p = p->parentWidget())
        if (!QRect(p->mapTo(m, QPoint(0, 0)), p->size()).contains(r))
            return false;
    return m->rect().contains(r) && !r.intersects(m->cStatusBar1->geometry());
}

// What running a command showed: the windows opened modally and the message boxes.
QStringList shownBy(Fixture& f, const std::function<void()>& run)
{
    const qsizetype windows = f.platform.modal().shown.size();
    const qsizetype boxes = f.platform.messages().shown.size();
    run();
    QStringList shown = f.platform.modal().shown.mid(windows);
    for (const FakeMessageService::Box& box : f.platform.messages().shown.mid(boxes))
        shown << QStringLiteral("box: ") + box.prompt;
    return shown;
}

// The width of the view's shown columns together.
int shownColumnsWidth(const QTableView* view)
{
    int sum = 0;
    for (int c = 0; c < view->model()->columnCount(); ++c)
        if (!view->isColumnHidden(c))
            sum += view->columnWidth(c);
    return sum;
}

} // namespace

class tst_MainLayout : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        g_bDisplayTitle = true;
        g_bDisplayPlayer = true;
        g_bDisplayAudioGraph = true;
    }
    void standardWindow();
    void viewOptions_data();
    void viewOptions();
    void tinyWindowKeepsSizes();
    void leastWindowHoldsEveryPanel();
    void minimisedWindowIsLeftAlone();
    void treeComesBackWhenOffered();
    void windowFollowsEachOption_data();
    void windowFollowsEachOption();
    void resizingKeepsTheLayout();
    void splitterDropRules_data();
    void splitterDropRules();
    void splitterDraggedWithTheMouse_data();
    void splitterDraggedWithTheMouse();
    void viewColour_data();
    void viewColour();
    void viewPictures();
    void everyToolWithinReach_data();
    void everyToolWithinReach();
};

void tst_MainLayout::standardWindow()
{
    // The figures of a 13140 x 7440 window, bars 375 (status) and 390 (list bar) high.
    MainLayout l;
    l.cToolbarHost1.Height = 740;
    LayOutMainWindow(l, standardInputs());
    QCOMPARE(l.cToolbarHost1.Top, 535.0f);
    QCOMPARE(l.picTitleList.Top, 1275.0f);
    QCOMPARE(l.cGrid1.Top, 1550.0f);
    QCOMPARE(l.cGrid1.Height, 7440.0f - 1155 - 390 - 740 - 375 - 375 - 255 - 600);
    QCOMPARE(l.cGrid1.Left, 120 + kTreeWidth + 100 - 40);
    QCOMPARE(l.cGrid1.Width, 12790.0f - kTreeWidth - 3495 - 100);
    QCOMPARE(l.cTreeView1.Height, l.cGrid1.Height + 1155 - 60);
    QCOMPARE(l.picResizer.Left, 120 + kTreeWidth + 20);
    QCOMPARE(l.cGridInfo.Left, l.cGrid1.Left + l.cGrid1.Width);
    QCOMPARE(l.cGridInfo.Height, l.cGrid1.Height - 1215);
    QCOMPARE(l.picPlayer.Top, l.cGrid1.Top + l.cGrid1.Height - 1215);
    QCOMPARE(l.picList.Top, l.cGrid1.Top + l.cGrid1.Height);
    QCOMPARE(l.froControl.Top, l.picList.Top + 400);
    QCOMPARE(l.froTreeControl.Top, l.cTreeView1.Top + l.cTreeView1.Height - 40);
    QCOMPARE(l.picList.Width, l.cGrid1.Width + 3495);
    QCOMPARE(l.cSlider1.Left, 100.0f);
    QCOMPARE(l.cSlider1.Width, 3295.0f);
    QCOMPARE(l.picEmptyMsg.Left, l.cGrid1.Left + l.cGrid1.Width / 2 - 3615.0f / 2);
    QCOMPARE(l.picEmptyMsg.Top, 2400.0f);  // only centred across
}

void tst_MainLayout::viewOptions_data()
{
    QTest::addColumn<bool>("title");
    QTest::addColumn<bool>("player");
    QTest::addColumn<int>("tree");
    QTest::addColumn<float>("extraHeight");  // the grid against the standard window
    QTest::addColumn<float>("extraWidth");
    QTest::addColumn<float>("gridLeft");
    QTest::newRow("all on") << true << true << 1 << 0.0f << 0.0f << 120 + kTreeWidth + 100 - 40;
    QTest::newRow("no title") << false << true << 1 << 375.0f << 0.0f << 120 + kTreeWidth + 100 - 40;
    QTest::newRow("no player") << true << false << 1 << 0.0f << 3495.0f << 120 + kTreeWidth + 100 - 40;
    QTest::newRow("no tree") << true << true << 0 << 0.0f << kTreeWidth << 80.0f;
    QTest::newRow("grid alone") << false << false << 0 << 375.0f << kTreeWidth + 3495 << 80.0f;
}

void tst_MainLayout::viewOptions()
{
    QFETCH(bool, title);
    QFETCH(bool, player);
    QFETCH(int, tree);
    QFETCH(float, extraHeight);
    QFETCH(float, extraWidth);
    QFETCH(float, gridLeft);
    MainLayout standard;
    LayOutMainWindow(standard, standardInputs());

    MainLayout l;
    LayoutInputs in = standardInputs();
    in.displayTitle = title;
    in.displayPlayer = player;
    in.treeOffered = tree;
    LayOutMainWindow(l, in);
    QCOMPARE(l.cGrid1.Height - standard.cGrid1.Height, extraHeight);
    QCOMPARE(l.cGrid1.Width - standard.cGrid1.Width, extraWidth);
    QCOMPARE(l.cGrid1.Left, gridLeft);
    QCOMPARE(l.titleVisible, title);
    QCOMPARE(l.picTitle.Height, title ? 375.0f : 0.0f);
    // Without the title the top bar starts 40 twips under the title strip's top.
    QCOMPARE(l.cToolbarHost1.Top, title ? 535.0f : 160.0f);
    QCOMPARE(l.playerVisible, player);
    QCOMPARE(l.cGridInfo.Width, player ? 3495.0f : 0.0f);
    QCOMPARE(l.picPlayer.Width, player ? 3495.0f : 0.0f);
    QCOMPARE(l.treeVisible, tree == 1);
    QCOMPARE(l.cTreeView1.Width, tree ? kTreeWidth : 0.0f);
    QCOMPARE(l.picResizer.Width, tree ? 100.0f : 0.0f);
    // The caption strip over the tree and the frame under it take the tree's width.
    QCOMPARE(l.picTitleProject.Width, l.cTreeView1.Width);
    QCOMPARE(l.froTreeControl.Width, l.cTreeView1.Width);
    // Whatever is shown, the panels right of the tree span the grid and the column beside it.
    QCOMPARE(l.picTitleList.Width, l.cGrid1.Width + l.cGridInfo.Width);
    QCOMPARE(l.froControl.Left, l.cGrid1.Left);
}

void tst_MainLayout::tinyWindowKeepsSizes()
{
    // Too small for the bars: sizes that would come out below zero stay as they were,
    // and the rules after them build on the kept sizes.
    MainLayout l;
    LayOutMainWindow(l, standardInputs());
    const MainLayout before = l;
    LayoutInputs in = standardInputs();
    in.W = 300;
    in.H = 2000;
    LayOutMainWindow(l, in);
    QCOMPARE(l.cGrid1.Height, before.cGrid1.Height);
    QCOMPARE(l.picTitle.Width, before.picTitle.Width);
    QCOMPARE(l.cGrid1.Width, before.cGrid1.Width);
    QCOMPARE(l.picList.Top, l.cGrid1.Top + before.cGrid1.Height);
    QCOMPARE(l.cSlider1.Width, before.cSlider1.Width);

    // With the player off its panel is 0 wide, too narrow for the slider's margins.
    in = standardInputs();
    in.displayPlayer = false;
    LayOutMainWindow(l, in);
    QCOMPARE(l.cSlider1.Width, before.cSlider1.Width);
}

void tst_MainLayout::leastWindowHoldsEveryPanel()
{
    // The least window the main window allows: every panel the rules place lies within
    // it, the grid and the information grid at least 0 big.
    MainLayout l;
    l.cToolbarHost1.Height = 740;
    const QSizeF least = LeastWindowTwips(l);
    LayoutInputs in = standardInputs();
    in.W = float(least.width());
    in.H = float(least.height());
    LayOutMainWindow(l, in);
    QCOMPARE(l.cGrid1.Width, 0.0f);
    QCOMPARE(l.cGridInfo.Height, 0.0f);
    const float clientBottom = in.H - l.statusBarHeight;
    for (const auto& [name, r] : {std::pair{"cToolbarHost1", l.cToolbarHost1}, {"cGrid1", l.cGrid1},
                                  {"cGridInfo", l.cGridInfo}, {"picPlayer", l.picPlayer}, {"picList", l.picList},
                                  {"froControl", l.froControl}, {"froTreeControl", l.froTreeControl}}) {
        QVERIFY2(r.Left >= 0 && r.Left + r.Width <= in.W, name);
        QVERIFY2(r.Top >= 0 && r.Top + r.Height <= clientBottom, name);
    }
}

void tst_MainLayout::minimisedWindowIsLeftAlone()
{
    MainLayout l;
    LayOutMainWindow(l, standardInputs());
    const MainLayout before = l;
    LayoutInputs in = standardInputs();
    in.minimised = true;
    in.displayTitle = false;
    in.H = 100;
    LayOutMainWindow(l, in);
    QCOMPARE(l.cGrid1.Height, before.cGrid1.Height);
    QCOMPARE(l.picTitle.Height, 375.0f);
    QVERIFY(l.titleVisible);
}

void tst_MainLayout::treeComesBackWhenOffered()
{
    MainLayout l;
    LayoutInputs in = standardInputs();
    in.treeOffered = 0;
    LayOutMainWindow(l, in);
    QVERIFY(!l.treeVisible);
    in.treeOffered = 1;
    LayOutMainWindow(l, in);
    QVERIFY(l.treeVisible);
    QCOMPARE(l.cTreeView1.Width, kTreeWidth);
    QCOMPARE(l.picResizer.Width, 100.0f);
    // A width the user dragged survives later layouts.
    l.cTreeView1.Width = 4000;
    LayOutMainWindow(l, in);
    QCOMPARE(l.cTreeView1.Width, 4000.0f);
}

void tst_MainLayout::windowFollowsEachOption_data()
{
    QTest::addColumn<bool>("title");
    QTest::addColumn<bool>("player");
    QTest::addColumn<bool>("graphs");
    QTest::addColumn<int>("tree");
    QTest::newRow("all on") << true << true << true << 1;
    QTest::newRow("no title") << false << true << true << 1;
    QTest::newRow("no player") << true << false << false << 1;
    QTest::newRow("no graphs") << true << true << false << 1;
    QTest::newRow("no tree") << true << true << true << 0;
}

void tst_MainLayout::windowFollowsEachOption()
{
    QFETCH(bool, title);
    QFETCH(bool, player);
    QFETCH(bool, graphs);
    QFETCH(int, tree);
    Fixture f;
    f.addList("Songs", {"a.wav*", "b.wav"});
    g_bDisplayTitle = title;
    g_bDisplayPlayer = player;
    g_bDisplayAudioGraph = graphs;
    lAppIncProjects = tree;
    frmMain* m = f.start();

    // The window has its stored (here: default) size, and every panel sits where the
    // rules put it, worked out here from the bars' own heights.
    const float W = 13140, H = 7440;
    QCOMPARE(m->width(), 876);
    QCOMPARE(m->height(), 496);
    const float statusBar = float(m->cStatusBar1->height() * kTwipsPerPixel);
    const float listBar = float(m->tlbrList->sizeHint().height() * kTwipsPerPixel);
    const float titleH = title ? 375 : 0;
    const float treeW = tree ? kTreeWidth : 0;
    const float infoW = player ? 3495 : 0;
    const float gridTop = 120 + titleH + 40 + 740 + 255 + 20;
    const float gridH = H - 1155 - listBar - 740 - titleH - statusBar - 255 - 600;
    const float gridLeft = 120 + treeW + (tree ? 100 : 0) - 40;
    const float gridW = (W - 350) - treeW - infoW - 100;

    const QRect grid = m->cGrid1->geometry();
    QVERIFY2(nearTwips(grid.top(), gridTop) && nearTwips(grid.height(), gridH), qPrintable(describe(m->cGrid1)));
    QVERIFY2(nearTwips(grid.left(), gridLeft) && nearTwips(grid.width(), gridW), qPrintable(describe(m->cGrid1)));
    QVERIFY2(m->cGrid1->isVisibleTo(m), "the grid");
    QCOMPARE(m->cTreeView1->isVisibleTo(m), tree == 1);
    QCOMPARE(m->picResizer->isVisibleTo(m), tree == 1);
    if (tree) {
        const QRect t = m->cTreeView1->geometry();
        QVERIFY2(nearTwips(t.left(), 120) && nearTwips(t.width(), kTreeWidth) && t.top() == grid.top(),
                 qPrintable(describe(m->cTreeView1)));
        QVERIFY2(nearTwips(t.height(), gridH + 1155 - 60), qPrintable(describe(m->cTreeView1)));
        // The splitter bar shows between the tree and the grid.
        QVERIFY(t.right() < m->picResizer->x() && m->picResizer->x() < grid.left());
    }
    QCOMPARE(m->picTitle->isVisibleTo(m), title);
    QVERIFY2(nearTwips(m->cToolbarHost1->y(), 120 + titleH + 40), qPrintable(describe(m->cToolbarHost1)));
    QVERIFY2(nearTwips(m->cToolbarHost1->width(), W - 350), qPrintable(describe(m->cToolbarHost1)));

    // The column right of the grid touches it and ends where the grid does.
    QCOMPARE(m->cGridInfo->isVisibleTo(m), player);
    QCOMPARE(m->picPlayer->isVisibleTo(m), player);
    if (player) {
        QCOMPARE(m->cGridInfo->geometry().left(), grid.right() + 1);
        QCOMPARE(m->cGridInfo->geometry().top(), grid.top());
        QCOMPARE(m->picPlayer->geometry().top(), m->cGridInfo->geometry().bottom() + 1);
        QCOMPARE(m->picPlayer->geometry().bottom(), grid.bottom());
        QVERIFY(nearTwips(m->cSlider1->x(), 100) && nearTwips(m->cSlider1->width(), 3495 - 200));
    }
    QCOMPARE(m->cAudioGraphAmp->isVisibleTo(m->picPlayer), graphs);
    QCOMPARE(m->cAudioGraphFreq->isVisibleTo(m->picPlayer), graphs);

    // Under the grid the list bar's strip, then the tools frame, both as wide as the grid
    // and the column beside it.
    QCOMPARE(m->picList->geometry().top(), grid.bottom() + 1);
    QCOMPARE(m->picList->x(), grid.x());
    QCOMPARE(m->froControl->x(), grid.x());
    QVERIFY(nearTwips(m->froControl->y(), gridTop + gridH + 400));
    QVERIFY(nearTwips(m->froControl->width(), gridW + infoW));
    QVERIFY(nearTwips(m->picTitleList->width(), gridW + infoW));
    // The status bar runs along the bottom edge over the whole width.
    QCOMPARE(m->cStatusBar1->geometry(), QRect(0, m->height() - m->cStatusBar1->height(), m->width(),
                                                 m->cStatusBar1->height()));
    QVERIFY(m->cStatusBar1->height() > 0);
}

void tst_MainLayout::resizingKeepsTheLayout()
{
    Fixture f;
    f.addList("Songs", {"a.wav*"});
    frmMain* m = f.start();
    m->Show();
    const QRect grid = m->cGrid1->geometry();
    const QRect info = m->cGridInfo->geometry();
    // The grid's shown columns cover its width, the item names taking what is left.
    QTableView* view = m->cGrid1->View();
    const int name = m->cGrid1->ColumnIndex(QStringLiteral("Item Name")) - 1;
    QTRY_COMPARE(shownColumnsWidth(view), view->viewport()->width());
    const int nameWidth = view->columnWidth(name);
    // 1500 twips more each way: the grid takes all of it, the column beside it moves.
    m->SetWidth(13140 + 1500);
    m->SetHeight(7440 + 1500);
    QCOMPARE(m->cGrid1->geometry().topLeft(), grid.topLeft());
    QCOMPARE(m->cGrid1->width(), grid.width() + 100);
    QTRY_COMPARE(shownColumnsWidth(view), view->viewport()->width());
    QCOMPARE(view->columnWidth(name), nameWidth + 100);
    QCOMPARE(m->cGrid1->height(), grid.height() + 100);
    QCOMPARE(m->cGridInfo->x(), info.x() + 100);
    QCOMPARE(m->cGridInfo->width(), info.width());
    QCOMPARE(m->cStatusBar1->geometry().bottom(), m->height() - 1);
    QCOMPARE(m->cStatusBar1->width(), m->width());

    // Minimised, nothing moves; restored, the layout runs again.
    m->SetWindowState(vbMinimized);
    const QRect kept = m->cGrid1->geometry();
    m->Form_Resize();
    QCOMPARE(m->cGrid1->geometry(), kept);
    m->SetWindowState(vbNormal);
    m->SetHeight(7440);
    QCOMPARE(m->cGrid1->height(), grid.height());
}

void tst_MainLayout::splitterDropRules_data()
{
    QTest::addColumn<QString>("on");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("treeWidth");
    QTest::newRow("tree, near its left edge") << "cTreeView1" << 600.0f << 1000.0f;
    QTest::newRow("tree, at 1000") << "cTreeView1" << 1000.0f << 1000.0f;
    QTest::newRow("tree, at 2000") << "cTreeView1" << 2000.0f << 2000.0f;
    QTest::newRow("tree caption") << "picTitleProject" << 3000.0f << 3000.0f;
    QTest::newRow("tree caption label") << "lblProjects" << 500.0f << 1000.0f;
    QTest::newRow("lists bar") << "tlbrProjectsHost" << 1500.0f << 1500.0f;
    QTest::newRow("grid") << "cGrid1" << 500.0f << 120 + kTreeWidth + 500 - 60;
    QTest::newRow("grid, left of the tree's edge") << "cGrid1" << -1000.0f << 120 + kTreeWidth - 1000 - 60;
    QTest::newRow("list caption") << "picTitleList" << 500.0f << 120 + kTreeWidth + 500 - 60;
    QTest::newRow("list name") << "lblListName" << 500.0f << 120 + kTreeWidth + 500 - 60;
    QTest::newRow("list bar strip") << "picList" << 500.0f << 120 + kTreeWidth + 500 - 60;
    QTest::newRow("tools frame") << "froControl" << 500.0f << 120 + kTreeWidth + 500 - 60;
}

void tst_MainLayout::splitterDropRules()
{
    QFETCH(QString, on);
    QFETCH(float, x);
    QFETCH(float, treeWidth);
    Fixture f;
    f.addList("Songs", {"a.wav*"});
    frmMain* m = f.start();
    const MainLayout before = m->Layout();
    QCOMPARE(before.cTreeView1.Width, kTreeWidth);
    using Handler = void (frmMain::*)(QWidget*, float, float);
    const QHash<QString, Handler> handlers{
        {"cTreeView1", &frmMain::cTreeView1_DragDrop},       {"picTitleProject", &frmMain::picTitleProject_DragDrop},
        {"lblProjects", &frmMain::lblProjects_DragDrop},     {"tlbrProjectsHost", &frmMain::tlbrProjectsHost_DragDrop},
        {"cGrid1", &frmMain::cGrid1_DragDrop},               {"picTitleList", &frmMain::picTitleList_DragDrop},
        {"lblListName", &frmMain::lblListName_DragDrop},     {"picList", &frmMain::picList_DragDrop},
        {"froControl", &frmMain::froControl_DragDrop},
    };
    (m->*handlers.value(on))(m->picResizer, x, 10);
    const MainLayout& after = m->Layout();
    QCOMPARE(after.cTreeView1.Width, treeWidth);
    // The layout ran: the grid moved over by what the tree gained, and kept its right edge.
    const float gained = treeWidth - before.cTreeView1.Width;
    QCOMPARE(after.cGrid1.Left, before.cGrid1.Left + gained);
    QCOMPARE(after.cGrid1.Width, before.cGrid1.Width - gained);
    QVERIFY(nearTwips(m->cTreeView1->width(), treeWidth));
    QCOMPARE(m->cGrid1->geometry().right(), TwipsToPixelRect(before.cGrid1).right());
}

void tst_MainLayout::splitterDraggedWithTheMouse_data()
{
    QTest::addColumn<QString>("on");
    QTest::addColumn<bool>("moves");
    QTest::newRow("tree") << "cTreeView1" << true;
    QTest::newRow("grid") << "cGrid1" << true;
    QTest::newRow("list bar") << "tlbrList" << true;
    QTest::newRow("tools bar") << "tlbrRecorder" << true;
    QTest::newRow("player slider") << "cSlider1" << true;
    QTest::newRow("information grid") << "cGridInfo" << false;
    QTest::newRow("the bar itself") << "picResizer" << false;
}

void tst_MainLayout::splitterDraggedWithTheMouse()
{
    QFETCH(QString, on);
    QFETCH(bool, moves);
    Fixture f;
    f.addList("Songs", {"a.wav*"});
    frmMain* m = f.start();
    m->Show();
    QWidget* target = m->findChild<QWidget*>(on);
    QVERIFY(target);
    const float before = m->Layout().cTreeView1.Width;

    // Dragged from the bar and let go over the target: the tree's middle, or 10 pixels
    // into a control right of the tree.
    const int x = on == QLatin1String("cTreeView1") ? target->width() / 2 : qMin(10, target->width() / 2);
    const QPoint drop = target->mapTo(m, QPoint(x, target->height() / 2));
    QTest::mousePress(m->picResizer, Qt::LeftButton, {}, QPoint(2, 40));
    QMouseEvent move(QEvent::MouseMove, m->picResizer->mapFrom(m, drop), m->mapToGlobal(drop), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(m->picResizer, &move);
    // A line follows the mouse while the bar is dragged, and goes when it is let go.
    QVERIFY(m->m_resizerLine->isVisible());
    QCOMPARE(m->m_resizerLine->geometry().center().x(), drop.x());
    QTest::mouseRelease(m->picResizer, Qt::LeftButton, {}, m->picResizer->mapFrom(m, drop));
    QVERIFY(!m->m_resizerLine->isVisible());
    if (!moves) {
        QCOMPARE(m->Layout().cTreeView1.Width, before);
        return;
    }
    // Wherever it is let go, the tree's right edge is about where the mouse was (the
    // drop rules count 120 twips of margin on the tree side, 60 on the grid side).
    const float edge = m->Layout().cTreeView1.Left + m->Layout().cTreeView1.Width;
    const float dropTwips = float(drop.x() * kTwipsPerPixel);
    QVERIFY2(qAbs(edge - dropTwips) <= 120, qPrintable(QString::number(edge) + " / " + QString::number(dropTwips)));
    QVERIFY(nearTwips(m->cTreeView1->width(), m->Layout().cTreeView1.Width));
}

void tst_MainLayout::viewColour_data()
{
    QTest::addColumn<QString>("colour");
    QTest::addColumn<qint32>("expected");  // -1: nothing set
    QTest::newRow("white") << "16777215" << qint32(16777215);
    QTest::newRow("blue") << "16711680" << qint32(16711680);
    QTest::newRow("none") << "" << qint32(-1);
}

void tst_MainLayout::viewColour()
{
    QFETCH(QString, colour);
    QFETCH(qint32, expected);
    Fixture f;
    g_sViewBackColor = colour;
    frmMain* m = f.start();
    for (cToolbarHost* host : {m->cToolbarHost1, m->tlbrProjectsHost, m->cToolbarHostRecorder})
        QCOMPARE(host->BackgroundColour(), expected);
    if (expected >= 0) {
        for (QWidget* w : {static_cast<QWidget*>(m), m->froControl, m->froTreeControl, m->picResizer})
            QCOMPARE(BackColorOf(w), expected);
    }
}

void tst_MainLayout::viewPictures()
{
    Fixture f;
    QImage toolbar(40, 20, QImage::Format_RGB32);
    toolbar.fill(Qt::red);
    QVERIFY(QDir().mkpath(f.platform.path("View")));
    QVERIFY(toolbar.save(f.platform.path("View/bar.png")));
    QVERIFY(toolbar.save(f.platform.path("View/back.png")));

    // A toolbar picture alone: written out as the bars' background, the information
    // grid keeps its own.
    g_sViewToolbarPicture = "bar.png";
    frmMain* m = f.start();
    const QString bmp = f.platform.path("tbbg.bmp");
    QCOMPARE(m->cToolbarHost1->BackgroundPictureFile(), bmp);
    QCOMPARE(m->tlbrProjectsHost->BackgroundPictureFile(), bmp);
    QImage written(bmp);
    QCOMPARE(written.size(), QSize(40, 20));
    QCOMPARE(written.pixelColor(5, 5), QColor(Qt::red));
    const auto infoTexture = [](frmMain* w) {
        auto* view = w->cGridInfo->findChild<QAbstractScrollArea*>();
        return view ? view->viewport()->palette().brush(QPalette::Base).texture() : QPixmap();
    };
    QVERIFY(infoTexture(m).isNull());

    // With a background picture the information grid shows the toolbar picture too.
    Forms::Unload(m);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QFile::remove(bmp);
    g_sViewBackPicture = "back.png";
    m = f.start();
    QCOMPARE(infoTexture(m).size(), QSize(40, 20));

    // No picture named: no file is written and the bars have none.
    Forms::Unload(m);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QFile::remove(bmp);
    g_sViewToolbarPicture.clear();
    g_sViewBackPicture.clear();
    m = f.start();
    QVERIFY(!QFile::exists(bmp));
    QVERIFY(m->cToolbarHost1->BackgroundPictureFile().isEmpty());
}

void tst_MainLayout::everyToolWithinReach_data()
{
    QTest::addColumn<bool>("least");
    QTest::newRow("default size") << false;
    QTest::newRow("least size") << true;
}

void tst_MainLayout::everyToolWithinReach()
{
    // With every tool offered, each button of the tools bar is shown whole, or the bar's
    // overflow button is, and its menu runs the tool as the button's own click does.
    QFETCH(bool, least);
    Fixture f;
    MainWindowTest::applyProfile(MainWindowTest::Profile::AllTools);
    f.addList("Songs", {"a.wav*", "b.wav*", "c.wav"});
    f.platform.modal().allowAny = true;
    f.platform.messages().answerAll = vbNo;
    frmMain* m = f.start();
    m->Show();
    const QSize standard = m->size();
    if (least) {
        m->resize(1, 1);  // as small as the window lets itself be made
        QVERIFY(m->width() > 1 && m->height() > 1);
        QVERIFY(m->width() < standard.width() && m->height() < standard.height());
    }

    // The top bar is whole: its "Tools" holds every tool's menu item.
    for (qint32 i = 0; i < m->tlbrTop->ButtonCount(); ++i)
        if (QToolButton* b = m->tlbrTop->ButtonWidget(i))
            QVERIFY2(shownWhole(m, b), qPrintable(m->tlbrTop->ButtonKey(i)));

    cToolbar* bar = m->tlbrRecorder;
    auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    QStringList onBar, inOverflow;
    for (qint32 i = 0; i < bar->ButtonCount(); ++i) {
        const QString key = bar->ButtonKey(i);
        if (bar->ButtonStyle(i) == cToolbar::tbrSeparator)
            continue;
        if (QToolButton* b = bar->ButtonWidget(i); shownWhole(m, b)) {
            QVERIFY2(b->height() >= b->sizeHint().height(), qPrintable(key));  // its caption whole
            onBar << key;
            continue;
        }
        QVERIFY2(shownWhole(m, more) && more->isEnabled() && more->menu(), qPrintable(key));
        QAction* entry = nullptr;
        for (QAction* a : more->menu()->actions())
            if (a->toolTip() == key)
                entry = a;
        QVERIFY2(entry, qPrintable(key));
        QCOMPARE(entry->text(), bar->ButtonCaption(i));
        QVERIFY(!entry->icon().isNull());
        inOverflow << key;
        // Picked from the overflow, the tool opens what its Tools menu item opens.
        const QStringList picked = shownBy(f, [entry] { entry->trigger(); });
        QVERIFY2(!picked.isEmpty(), qPrintable(key));
        QCOMPARE(picked, shownBy(f, [m, key] { QVERIFY(launch(m, key, QStringLiteral("menu item"))); }));
    }
    QCOMPARE(onBar.size() + inOverflow.size(), 12);
    // Wide enough for the first tools at least; the last ones go to the overflow.
    QVERIFY(onBar.size() >= 2);
    QVERIFY(inOverflow.contains(QStringLiteral("Text To Speech")));
}

QTEST_MAIN(tst_MainLayout)
#include "tst_mainlayout.moc"
