// A modal window shown by the program's own runner on a real (virtual) X server, over a
// window whose button lies beneath it: a click meant for the modal window as it closes
// reaches nothing beneath it, and other clicks act as ever. CTest runs it under
// xvfb-run when that is installed; anywhere else it is skipped.
#include "platform/Forms.h"
#include "platform/ModalRunner.h"
#include "platform/Services.h"
#include "tests/support/TestPlatform.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QPushButton>
#include <QStyleHints>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {

// The main window's stand-in: one button over all of it, counting its clicks.
class Beneath : public VForm
{
public:
    Beneath()
    {
        setGeometry(100, 100, 600, 400);
        button = new QPushButton(QStringLiteral("CD Ripper"), this);
        button->setGeometry(0, 0, 600, 400);
        connect(button, &QPushButton::clicked, this, [this] { ++buttonClicks; });
    }
    QPushButton* button;
    int buttonClicks = 0;
};

// A tool window over it, whose Exit closes it when clicked.
class Tool : public VForm
{
public:
    Tool()
    {
        setGeometry(150, 150, 500, 300);
        cmdExit = new QPushButton(QStringLiteral("Exit"), this);
        cmdExit->setGeometry(360, 240, 120, 40);
        connect(cmdExit, &QPushButton::clicked, this, [this] { Forms::Unload(this); });
    }
    QPushButton* cmdExit;
};

// Where a point of the screen lies within a widget's window.
QPoint inWindow(QWidget* w, const QPoint& global)
{
    return w->window()->mapFromGlobal(global);
}

} // namespace

class tst_ModalRunnerXvfb : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server: CTest runs this test under xvfb-run, which is not installed here");
    }
    void clicksMeantForAClosingWindowReachNothingBeneath();
};

void tst_ModalRunnerXvfb::clicksMeantForAClosingWindowReachNothingBeneath()
{
    TestPlatform platform;
    Services::setModal(std::make_unique<EventLoopModalRunner>());
    Beneath main;
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();

    // Exit double-clicked: the first click closes the tool window, the second lands where
    // Exit was, over the button beneath.
    QPointer<Tool> tool = new Tool;
    QPoint exitAt;
    QTimer::singleShot(0, tool, [&] {
        QVERIFY(QTest::qWaitForWindowExposed(tool));
        exitAt = tool->cmdExit->mapToGlobal(tool->cmdExit->rect().center());
        QTest::mouseClick(tool->windowHandle(), Qt::LeftButton, {}, inWindow(tool, exitAt));
    });
    tool->Show(vbModal);
    QVERIFY(!tool || !tool->isVisible());
    QCOMPARE(QApplication::widgetAt(exitAt), main.button);
    QTest::mouseClick(main.windowHandle(), Qt::LeftButton, {}, inWindow(&main, exitAt));
    QCOMPARE(main.buttonClicks, 0);
    // A click elsewhere on the main window is the user's own, at once.
    const QPoint aside = main.button->mapToGlobal(QPoint(10, 10));
    QTest::mouseClick(main.windowHandle(), Qt::LeftButton, {}, inWindow(&main, aside));
    QCOMPARE(main.buttonClicks, 1);
    // After the double-click interval the button beneath works as ever.
    QTest::qWait(interval + 50);
    QTest::mouseClick(main.windowHandle(), Qt::LeftButton, {}, inWindow(&main, exitAt));
    QCOMPARE(main.buttonClicks, 2);
}

QTEST_MAIN(tst_ModalRunnerXvfb)
#include "tst_modalrunner_xvfb.moc"
