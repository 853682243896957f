// The main window on a real (virtual) X server: its bars are shown with their pictures,
// and its tray icon is made although no tray runs there. CTest runs it under xvfb-run
// when that is installed; anywhere else it is skipped.
#include "tests/lists/ListsFixture.h"
#include "tests/mainwindow/MainWindowFixture.h"

#include "components/cSysTray/cSysTray.h"
#include "components/cToolbarHost/cToolbarHost.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>

using namespace ListsTest;
using namespace MainWindowTest;

class tst_MainWindowXvfb : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server: CTest runs this test under xvfb-run, which is not installed here");
    }
    void barsAreShownWithPictures();
    void trayIconWaitsForATray();
};

void tst_MainWindowXvfb::barsAreShownWithPictures()
{
    Fixture f;
    f.addList("Songs", {"a.wav*", "b.wav"});
    g_bDisplayTitle = true;
    g_bDisplayPlayer = true;
    g_bDisplayAudioGraph = true;
    frmMain* m = f.start();
    m->Show();
    m->Form_Resize();
    QVERIFY(QTest::qWaitForWindowExposed(m));
    QTest::qWait(200);  // let the window manager-less server draw the first frame

    const QImage shot = m->screen()->grabWindow(m->winId()).toImage();
    QVERIFY(!shot.isNull());
    if (!qEnvironmentVariableIsEmpty("VELMARO_SCREENSHOT"))
        shot.save(qEnvironmentVariable("VELMARO_SCREENSHOT"));

    // Each bar is on screen with its buttons, and each button shows a picture.
    for (cToolbar* bar : {m->tlbrTop, m->tlbrList, m->tlbrRecorder, m->tlbrPlayButtons}) {
        QVERIFY2(bar->isVisible(), qPrintable(bar->objectName()));
        const QRect area(bar->mapTo(m, QPoint(0, 0)), bar->size());
        QVERIFY2(area.width() > 40 && area.height() > 10, qPrintable(bar->objectName()));
        for (qint32 i = 0; i < bar->ButtonCount(); ++i) {
            QToolButton* button = bar->ButtonWidget(i);
            if (!button)
                continue;
            const QRect rect(button->mapTo(m, QPoint(0, 0)), button->size());
            QVERIFY2(button->isVisible() && rect.width() > 8, qPrintable(bar->ButtonKey(i)));
            QVERIFY2(colours(shot, rect) > 8, qPrintable(bar->ButtonKey(i)));
        }
    }
    // The top bar spans the window under the title.
    QVERIFY(m->cToolbarHost1->width() > m->width() / 2);
}

void tst_MainWindowXvfb::trayIconWaitsForATray()
{
    Fixture f;
    frmMain* m = f.start();
    // No tray runs on the virtual server, yet the icon is made with its tooltip and
    // picture, so a tray that starts later shows it.
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
    QSystemTrayIcon* icon = m->cSysTray1->SystemIcon();
    QVERIFY(icon);
    QCOMPARE(icon->toolTip(), QStringLiteral("Velmaro 1.2"));
    QVERIFY(!icon->icon().isNull());
    QVERIFY(icon->isVisible());
}

QTEST_MAIN(tst_MainWindowXvfb)
#include "tst_mainwindow_xvfb.moc"
