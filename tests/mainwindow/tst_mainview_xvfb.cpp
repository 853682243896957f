// The main window as it comes up on a real (virtual) X server: the tree, the items grid,
// the information grid and the status bar are on screen with a size, side by side and
// drawn. CTest runs it under xvfb-run when that is installed; anywhere else it is skipped.
#include "tests/lists/ListsFixture.h"
#include "tests/mainwindow/MainWindowFixture.h"

#include "components/cGrid/cGrid.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTreeView/cTreeView.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

using namespace ListsTest;
using MainWindowTest::colours;

namespace {

QRect onWindow(QWidget* w, QWidget* window)
{
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

} // namespace

class tst_MainViewXvfb : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server: CTest runs this test under xvfb-run, which is not installed here");
    }
    void panelsOnScreen_data();
    void panelsOnScreen();
};

void tst_MainViewXvfb::panelsOnScreen_data()
{
    QTest::addColumn<bool>("title");
    QTest::addColumn<bool>("player");
    QTest::newRow("everything shown") << true << true;
    QTest::newRow("no title, no player") << false << false;
}

void tst_MainViewXvfb::panelsOnScreen()
{
    QFETCH(bool, title);
    QFETCH(bool, player);
    Fixture f;
    f.addList("Songs", {"a.wav*", "b.wav", "c.wav"});
    g_bDisplayTitle = title;
    g_bDisplayPlayer = player;
    g_bDisplayAudioGraph = player;
    frmMain* m = f.start();
    m->Show();
    QVERIFY(QTest::qWaitForWindowExposed(m));
    QTest::qWait(200);  // the first frame, drawn without a window manager

    const QImage shot = m->screen()->grabWindow(m->winId()).toImage();
    QVERIFY(!shot.isNull());
    QCOMPARE(shot.size(), m->size());
    const QString saveTo = qEnvironmentVariable("VELMARO_SCREENSHOT");
    if (!saveTo.isEmpty())
        shot.save(QString(saveTo).replace(QStringLiteral(".png"), QStringLiteral("-%1.png").arg(QTest::currentDataTag()).replace(u' ', u'-')));

    // Each panel is shown with a size, inside the window, and drawn (a tree with its
    // lists, a grid with its rows or lines, the status bar with its panels).
    QList<QWidget*> panels{m->cTreeView1, m->cGrid1, m->cStatusBar1};
    if (player)
        panels << m->cGridInfo;
    for (QWidget* w : panels) {
        const QRect r = onWindow(w, m);
        QVERIFY2(w->isVisible() && r.width() > 20 && r.height() > 10, qPrintable(w->objectName()));
        QVERIFY2(m->rect().contains(r), qPrintable(w->objectName()));
        QVERIFY2(colours(shot, r) > 2, qPrintable(w->objectName()));
    }
    QCOMPARE(m->cGridInfo->isVisible(), player);

    // Side by side, top to bottom: the tree, then the grid, then the information grid,
    // none over another, all above the status bar at the bottom edge.
    const QRect tree = onWindow(m->cTreeView1, m);
    const QRect grid = onWindow(m->cGrid1, m);
    const QRect bar = onWindow(m->cStatusBar1, m);
    QVERIFY(tree.right() < grid.left());
    QVERIFY(grid.bottom() < bar.top() && tree.bottom() < bar.top());
    QCOMPARE(bar.bottom(), m->height() - 1);
    QCOMPARE(bar.width(), m->width());
    if (player) {
        const QRect info = onWindow(m->cGridInfo, m);
        QCOMPARE(info.left(), grid.right() + 1);
        QVERIFY(info.right() < m->width());
    }
    QVERIFY(m->picTitle->isVisible() == title);
}

QTEST_MAIN(tst_MainViewXvfb)
#include "tst_mainview_xvfb.moc"
