// The turn-off countdown: it counts 30 seconds down and then asks for the shutdown and
// closes the program, or says why the system refused and stays; Cancel (or the close
// box) stops it; "Shutdown Now" asks at once.
// The main window is closed only once every handler that led to the countdown has
// returned, even when the countdown was opened from inside nested modal windows.
#include "common/mdlModes.h"
#include "common/MainHost.h"
#include "common/frmTurnOff.h"
#include "common/mdlShutDown.h"
#include "platform/ModalRunner.h"
#include "platform/Services.h"
#include "tests/support/TestPlatform.h"

#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

QStringList g_log;

// A main window with what the countdown needs of it, recording its close.
class MainStandIn : public VForm, public MainHost
{
    Q_OBJECT
public:
    MainStandIn() { SetMainHost(this); }
    ~MainStandIn() override
    {
        if (g_MainHost() == this)
            SetMainHost(nullptr);
    }
    VForm* MainForm() override { return this; }
    QString GetNotesToStatus() const override { return QString(); }
    void SetStatusPanelText(const QString&, const QString&) override {}
    cImageList* MenuImageList() override { return nullptr; }
    void Form_Unload(int&) override
    {
        // As the real main window does: every other window goes with it.
        for (VForm* f : Forms::LoadedForms())
            if (f != this)
                Forms::Unload(f, vbFormOwner);
        g_log << QStringLiteral("main unloaded");
    }
    // A command that runs a tool window modally and then goes on with its own members.
    void RunTool();
    int m_afterTool = 0;
};

// A tool window whose end-of-job handler starts the countdown and goes on afterwards.
class ToolStandIn : public VForm
{
    Q_OBJECT
public:
    void DoEndEvents()
    {
        g_log << QStringLiteral("countdown starts");
        // The user presses "Shutdown Now" once the countdown shows.
        QTimer::singleShot(0, [] {
            if (auto* t = Forms::Loaded<frmTurnOff>())
                t->cmdTurnOffNow->click();
        });
        StartTurnOffCountdown(30);
        m_afterCountdown = 1;  // this window must still exist here
        g_log << QStringLiteral("tool handler resumed");
    }
    int m_afterCountdown = 0;
};

void MainStandIn::RunTool()
{
    auto* tool = Forms::Get<ToolStandIn>();
    QTimer::singleShot(0, tool, &ToolStandIn::DoEndEvents);
    tool->Show(vbModal);
    m_afterTool = 1;  // and this one too
    g_log << QStringLiteral("main handler resumed");
}

} // namespace

class tst_TurnOff : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        InitProductProfile();
        g_log.clear();
    }
    void countsThirtySeconds();
    void cancel_data();
    void cancel();
    void shutdownNow_data();
    void shutdownNow();
    void shutdownFlags_data();
    void shutdownFlags();
    void startThroughModalWindow();
    void closesMainAfterNestedModals();
};

void tst_TurnOff::countsThirtySeconds()
{
    TestPlatform platform;
    Forms::Get<MainStandIn>()->show();
    frmTurnOff* t = g_frmTurnOff();
    QCOMPARE(t->windowTitle(), QStringLiteral("Turn Off Computer"));
    QCOMPARE(t->lblApplInfo->text(), QStringLiteral("Velmaro 1.2"));
    QCOMPARE(t->lblStatus->text(), QStringLiteral("Computer will shutdown in"));
    QCOMPARE(t->lblSeconds->text(), QStringLiteral("Seconds"));
    QCOMPARE(t->cmdTurnOffNow->text(), QStringLiteral("Shutdown Now"));
    QVERIFY(t->windowFlags() & Qt::WindowStaysOnTopHint);

    t->StartShutDown(30);
    QVERIFY(t->Timer1.isActive());
    QCOMPARE(t->Timer1.interval(), 1000);
    QStringList shown{t->lblSecToShutDown->text()};
    // One tick a second: the label runs 30 down to 0; the tick that shows 0 comes
    // 30 seconds after the start and asks for the shutdown.
    for (int tick = 1; tick <= 30; ++tick) {
        QCOMPARE(platform.shutdown().calls, 0);
        t->Timer1_Timer();
        shown << t->lblSecToShutDown->text();
    }
    QStringList expected;
    for (int s = 30; s >= 0; --s)
        expected << QString::number(s);
    QCOMPARE(shown, expected);
    QCOMPARE(platform.shutdown().calls, 1);
    QVERIFY(!Forms::IsLoaded<frmTurnOff>());
    QVERIFY(Forms::IsLoaded<MainStandIn>());  // closed from the event loop, not from the tick
    QTRY_VERIFY(!Forms::IsLoaded<MainStandIn>());
}

void tst_TurnOff::cancel_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("Cancel") << false;
    QTest::newRow("the close box") << true;
}

void tst_TurnOff::cancel()
{
    QFETCH(bool, closeBox);
    TestPlatform platform;
    Forms::Get<MainStandIn>();
    frmTurnOff* t = g_frmTurnOff();
    t->StartShutDown(30);
    t->Timer1_Timer();
    if (closeBox)
        QVERIFY(Forms::Unload(t, vbFormControlMenu));
    else
        t->cmdCancel_Click();
    QVERIFY(!Forms::IsLoaded<frmTurnOff>());
    QVERIFY(!t->Timer1.isActive());
    QTest::qWait(20);
    QCOMPARE(platform.shutdown().calls, 0);
    QVERIFY(Forms::IsLoaded<MainStandIn>());
}

void tst_TurnOff::shutdownNow_data()
{
    QTest::addColumn<bool>("systemAgrees");
    QTest::newRow("the system agrees: the program closes") << true;
    QTest::newRow("the system refuses: the program stays and says why") << false;
}

void tst_TurnOff::shutdownNow()
{
    QFETCH(bool, systemAgrees);
    TestPlatform platform;
    platform.shutdown().result = systemAgrees;
    platform.shutdown().refusal = QStringLiteral("The system refused to turn off: Interactive authentication required.");
    if (!systemAgrees)
        platform.messages().answers.enqueue(vbOK);
    Forms::Get<MainStandIn>();
    frmTurnOff* t = g_frmTurnOff();
    t->StartShutDown(30);
    QCOMPARE(t->lblSecToShutDown->text(), QStringLiteral("30"));
    t->cmdTurnOffNow->click();
    QCOMPARE(t->lblSecToShutDown->text(), QStringLiteral("0"));
    QCOMPARE(t->lNumOfSecToShutDown, 0);
    QCOMPARE(platform.shutdown().calls, 1);
    QVERIFY(!t->Timer1.isActive());
    QVERIFY(!Forms::IsLoaded<frmTurnOff>());
    if (systemAgrees) {
        QTRY_VERIFY(!Forms::IsLoaded<MainStandIn>());
        QVERIFY(platform.messages().shown.isEmpty());
    } else {
        QCOMPARE(platform.messages().shown.size(), 1);
        QCOMPARE(platform.messages().shown[0].prompt,
                 QStringLiteral("The computer could not be turned off.\n\n"
                                "The system refused to turn off: Interactive authentication required."));
        QCOMPARE(platform.messages().shown[0].buttons, vbExclamation + vbOKOnly);
        QTest::qWait(50);  // a queued close would have run by now
        QVERIFY(Forms::IsLoaded<MainStandIn>());
    }
    QCOMPARE(platform.shutdown().calls, 1);
}

void tst_TurnOff::shutdownFlags_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<bool>("asked");
    QTest::newRow("-1") << -1 << false;
    QTest::newRow("32") << 32 << false;
    QTest::newRow("0") << 0 << true;
    QTest::newRow("1") << 1 << true;
    QTest::newRow("31") << 31 << true;
}

void tst_TurnOff::shutdownFlags()
{
    QFETCH(int, flags);
    QFETCH(bool, asked);
    TestPlatform platform;
    QString why;
    QCOMPARE(ShutdownSystem(flags, &why), asked);
    QCOMPARE(platform.shutdown().calls, asked ? 1 : 0);
    QCOMPARE(why, asked ? QString() : QStringLiteral("Invalid parameter to ShutdownSystem: %1").arg(flags));
    platform.shutdown().result = false;
    QVERIFY(!ShutdownSystem(flags, &why));
    QVERIFY(!why.isEmpty());
}

void tst_TurnOff::startThroughModalWindow()
{
    TestPlatform platform;
    Forms::Get<MainStandIn>();
    QString labelWhenShown;
    platform.modal().handlers.enqueue([&](VForm* f) {
        auto* t = static_cast<frmTurnOff*>(f);
        labelWhenShown = t->lblSecToShutDown->text();
        t->cmdCancel->click();
    });
    StartTurnOffCountdown(30);
    QCOMPARE(platform.modal().shown, QStringList{"frmTurnOff"});
    QCOMPARE(labelWhenShown, QStringLiteral("30"));
    QVERIFY(!Forms::IsLoaded<frmTurnOff>());
    QCOMPARE(platform.shutdown().calls, 0);
}

void tst_TurnOff::closesMainAfterNestedModals()
{
    // The program's way: its own event loop runs the main window's command, which shows
    // a tool window modally, whose end-of-job handler shows the countdown modally, where
    // "Shutdown Now" is pressed. Both handlers go on after their modal windows close.
    TestPlatform platform;
    Services::setModal(std::make_unique<EventLoopModalRunner>());
    auto* main = Forms::Get<MainStandIn>();
    main->show();
    QEventLoop programLoop;
    connect(main, &VForm::unloaded, &programLoop, &QEventLoop::quit);
    QTimer::singleShot(0, main, &MainStandIn::RunTool);
    QTimer::singleShot(10000, &programLoop, &QEventLoop::quit);  // a guard, never reached
    programLoop.exec();

    QCOMPARE(platform.shutdown().calls, 1);
    QCOMPARE(g_log, (QStringList{"countdown starts", "tool handler resumed", "main handler resumed", "main unloaded"}));
    QVERIFY(!Forms::IsLoaded<MainStandIn>());
    QVERIFY(!Forms::IsLoaded<ToolStandIn>());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QTEST_MAIN(tst_TurnOff)
#include "tst_turnoff.moc"
