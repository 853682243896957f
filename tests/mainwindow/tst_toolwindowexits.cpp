// Leaving a tool window that the main window opened modally, by the program's own modal
// runner: whichever way it goes (Exit, the close box, after being minimised and restored,
// while minimised), the main window takes clicks again and opens the tool anew.
#include "components/cToolbar/cToolbar.h"
#include "platform/ModalRunner.h"
#include "platform/Services.h"
#include "tests/lists/ListsFixture.h"
#include "tools/converters/frmConverter.h"
#include "tools/splitter/frmSplitter.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include <functional>

using namespace ListsTest;

namespace {

// Runs the steps one by one, each in its own turn of the event loop, as a user's actions
// arrive: between two steps whatever the window system and the program do in reply runs.
void RunStepByStep(QList<std::function<void()>> steps)
{
    if (steps.isEmpty())
        return;
    QTimer::singleShot(0, qApp, [steps]() mutable {
        auto step = steps.takeFirst();
        step();
        RunStepByStep(steps);
    });
}

ToolWindow* ShownTool()
{
    return qobject_cast<ToolWindow*>(QApplication::activeModalWidget());
}

// The tools-bar button of a tool, where the user clicks it.
QToolButton* ToolButton(frmMain* m, const QString& key)
{
    return m->tlbrRecorder->ButtonWidget(m->tlbrRecorder->ButtonIndex(key));
}

// A click as the window system delivers it: to the window, which passes it on only when no
// modal window blocks it.
void ClickThroughWindow(QWidget* w)
{
    QTest::mouseClick(w->window()->windowHandle(), Qt::LeftButton, {}, w->mapTo(w->window(), w->rect().center()));
}

} // namespace

class tst_toolwindowexits : public QObject
{
    Q_OBJECT
private slots:
    void mainWindowTakesInputAgain_data();
    void mainWindowTakesInputAgain();
};

void tst_toolwindowexits::mainWindowTakesInputAgain_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("actions");
    const QString converter = QStringLiteral("Audio Converter");
    const QString splitter = QStringLiteral("Audio Splitter");
    QTest::newRow("converter, Exit") << converter << QStringList{"exit"};
    QTest::newRow("converter, close box") << converter << QStringList{"close"};
    QTest::newRow("converter, minimised, restored, Exit") << converter << QStringList{"minimise", "restore", "exit"};
    QTest::newRow("converter, minimised, restored, close box")
        << converter << QStringList{"minimise", "restore", "close"};
    QTest::newRow("converter, closed while minimised") << converter << QStringList{"minimise", "close"};
    QTest::newRow("converter, minimised twice, Exit")
        << converter << QStringList{"minimise", "restore", "minimise", "restore", "exit"};
    QTest::newRow("splitter, minimised, restored, Exit") << splitter << QStringList{"minimise", "restore", "exit"};
    QTest::newRow("splitter, minimised, restored, close box")
        << splitter << QStringList{"minimise", "restore", "close"};
}

void tst_toolwindowexits::mainWindowTakesInputAgain()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, actions);
    Fixture f;
    Services::setModal(std::make_unique<EventLoopModalRunner>());
    f.addList("Songs", {"my song.wav*"});
    frmMain* m = f.start();
    // Tool windows open at the screen's top left here: the main window lies below them, so
    // that no click on it is taken for one meant for a tool window that has just closed.
    m->move(0, 520);
    m->show();
    QVERIFY(QTest::qWaitForWindowExposed(m));
    QToolButton* button = ToolButton(m, tool);
    QVERIFY(button);

    // GIVEN the tool opened from its button, WHEN the user works its window as the row says
    QPointer<ToolWindow> shown;
    bool openWhileMinimised = true;
    bool launchEnded = false;
    QList<std::function<void()>> steps;
    steps << [&] {
        shown = ShownTool();
        QVERIFY(shown);
        QVERIFY(!shown->frameGeometry().contains(button->mapToGlobal(button->rect().center())));
    };
    for (const QString& action : actions) {
        if (action == QLatin1String("minimise")) {
            steps << [&] { shown->showMinimized(); };
            // A minimised tool window is still open: the launch waits for it to close.
            steps << [&] {
                openWhileMinimised = openWhileMinimised && !launchEnded && shown && shown->isMinimized()
                    && QGuiApplication::modalWindow() == shown->windowHandle();
            };
        } else if (action == QLatin1String("restore")) {
            steps << [&] { shown->showNormal(); };
        } else if (action == QLatin1String("exit")) {
            steps << [&] { shown->cmdExit->click(); };
        } else {
            steps << [&] { shown->close(); };
        }
    }
    RunStepByStep(steps);
    ClickThroughWindow(button);
    launchEnded = true;
    QTRY_VERIFY(!shown);
    QVERIFY(openWhileMinimised);

    // THEN nothing is left modal or blocked, and the main window's button opens the tool again
    QVERIFY(!QGuiApplication::modalWindow());
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(m->isEnabled());
    QVERIFY(button->isEnabled());
    bool reopened = false;
    RunStepByStep({[&] {
        ToolWindow* again = ShownTool();
        reopened = again != nullptr;
        if (again)
            again->cmdExit->click();
    }});
    ClickThroughWindow(button);
    QTRY_VERIFY(reopened);
    QTRY_VERIFY(!Forms::IsLoaded<frmConverter>() && !Forms::IsLoaded<frmSplitter>());
}

QTEST_MAIN(tst_toolwindowexits)
#include "tst_toolwindowexits.moc"
