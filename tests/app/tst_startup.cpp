// Start-up: the settings-key check, the splash and its status lines, the "-st" start in
// the tray, the main window's size, tray clicks, notes summary and exit.
#include "app/frmSplash.h"
#include "app/mdlMain.h"
#include "common/mdlModes.h"
#include "common/RegistryRoutines.h"
#include "common/mdlFunctions.h"
#include "common/mdlWindowHelpers.h"
#include "components/cGrid/cGrid.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cSysTray/cSysTray.h"
#include "components/cTreeView/cTreeView.h"
#include "mainwindow/frmMain.h"
#include "platform/App.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"
#include "tests/mainwindow/MainWindowFixture.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QMouseEvent>
#include <QWindow>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/stat.h>

namespace {

// In the window size table: the whole available width or height of the screen, and the
// least the window can be made.
constexpr int kScreen = -1;
constexpr int kLeast = -2;

const QString kRefusal = QStringLiteral(
    "This program cannot run, please reinstall the software or connect to the sofrware aurhor.\n\n"
    "The main reistry key doesn't existed.");

QString trayItemCaption(frmMain* m)
{
    return m->m_cMenu->ItemCaption(m->m_cMenu->IndexForKey(QStringLiteral("RC Open")));
}

RegistryRoutines general()
{
    return MainWindowTest::generalSettings();
}

// The wall time and this thread's processor time since it was made.
class ThreadClock
{
public:
    ThreadClock() : m_cpuStart(cpuNs()) { m_wall.start(); }
    qint64 wallMs() const { return m_wall.elapsed(); }
    qint64 cpuMs() const { return (cpuNs() - m_cpuStart) / 1000000; }

private:
    static qint64 cpuNs()
    {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }
    QElapsedTimer m_wall;
    qint64 m_cpuStart;
};

QString LoadedWindowNames()
{
    QStringList names;
    for (VForm* f : Forms::LoadedForms())
        names << QString::fromLatin1(f->metaObject()->className());
    return names.join(QStringLiteral(", "));
}

// Watches the splash's status line as it is drawn: the text it shows, and the windows
// loaded at that moment.
class SplashWatcher : public QObject
{
public:
    SplashWatcher() { qApp->installEventFilter(this); }
    ~SplashWatcher() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const frmSplash* splash = Forms::Loaded<frmSplash>();
        if (event->type() == QEvent::Paint && splash && watched == splash->lblStat) {
            const QString entry = splash->lblStat->text() + QStringLiteral(" | ") + LoadedWindowNames();
            if (seen.isEmpty() || seen.last() != entry)
                seen << entry;
        }
        return false;
    }
    QStringList seen;
};

} // namespace

class tst_Startup : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        g_bDisplayMSGWhenExit = false;
        g_bDisplayTitle = false;
        g_sToPath.clear();  // a window loaded without the options window uses the default folder
        cSysTray::OverrideAvailable(std::nullopt);
    }
    void normalStart();
    void refusedWithoutSettingsKey_data();
    void refusedWithoutSettingsKey();
    void splash();
    void splashDoubleClick();
    void splashDoubleClickDuringFade();
    void startUpBoxNotUnderTheSplash_data();
    void startUpBoxNotUnderTheSplash();
    void trayStart_data();
    void trayStart();
    void trayStartWithoutTray();
    void trayClicks();
    void windowSize_data();
    void windowSize();
    void windowSizeStoredWithinScreen();
    void windowSizeNotSaved_data();
    void windowSizeNotSaved();
    void programFolderNotWritable();
    void notesSummary_data();
    void notesSummary();
    void exitQuestion();
    void unloadTimerSkipsQuestion();
};

void tst_Startup::normalStart()
{
    TestPlatform platform;
    SplashWatcher watcher;
    QVERIFY(Main());
    frmMain* main = Forms::Loaded<frmMain>();
    QVERIFY(main);
    QVERIFY(main->isVisible());
    QCOMPARE(main->WindowState(), vbNormal);
    QCOMPARE(main->windowTitle(), QStringLiteral("Velmaro 1.2"));
    QCOMPARE(AppTitle(), QStringLiteral("Velmaro 1.2"));
    // The splash names each step while the windows load in their order behind it.
    QCOMPARE(watcher.seen, (QStringList{"Loading... | frmSplash", "Loading options... | frmSplash",
                                        "Loading audio properties... | frmSplash, frmOptions",
                                        "Loading GUI... | frmSplash, frmOptions, frmAudioProp"}));
    QVERIFY(!Forms::IsLoaded<frmSplash>());
    QCOMPARE(LoadedWindowNames(), QStringLiteral("frmOptions, frmAudioProp, frmMain"));
    // The settings windows stay loaded and hidden.
    QVERIFY(!Forms::Loaded<frmOptions>()->isVisible());
    QVERIFY(!Forms::Loaded<frmAudioProp>()->isVisible());
    // The status bar's panels, in order, with their start texts.
    QCOMPARE(main->cStatusBar1->PanelCount(), 4);
    const QStringList keys{"Main", "Items List Properties", "Notes", "Master Volume"};
    for (int i = 0; i < keys.size(); ++i)
        QCOMPARE(main->cStatusBar1->PanelKey(i + 1), keys[i]);
    QCOMPARE(main->cStatusBar1->PanelText(QStringLiteral("Main")), QStringLiteral("Ready."));
    QCOMPARE(main->cStatusBar1->PanelText(QStringLiteral("Notes")), QStringLiteral("Notes [ Empty ]"));
    QCOMPARE(main->cStatusBar1->PanelText(4), QStringLiteral("Master Volume"));
    // The empty lists folder got its first list, which the grid shows.
    const QString firstList = platform.path(QStringLiteral("Main/New Items List 1.flst"));
    QVERIFY(QFile::exists(firstList));
    QCOMPARE(main->cTreeView1->SelectedItem()->Key(), firstList);
    QCOMPARE(main->lblListName->text(), QStringLiteral("New Items List 1"));
    QCOMPARE(main->cGrid1->Rows(), 0);
    QVERIFY(!main->picEmptyMsg->isHidden());
    QCOMPARE(main->cStatusBar1->PanelText(QStringLiteral("Items List Properties")),
             QStringLiteral("0 Items, 0 KB, 00:00:00"));
    QCOMPARE(trayItemCaption(main), QStringLiteral("Hide"));
    QVERIFY(main->cSysTray1->IconShown());
    QCOMPARE(main->cSysTray1->ToolTipText(), QStringLiteral("Velmaro 1.2"));
    QVERIFY(main->tmrCommandLine.isActive());
    QCOMPARE(main->tmrCommandLine.interval(), 200);
    QVERIFY(platform.messages().shown.isEmpty());
}

void tst_Startup::refusedWithoutSettingsKey_data()
{
    QTest::addColumn<QString>("kind");     // "none": no store; "file", "pipe" or "folder" under its name
    QTest::addColumn<QByteArray>("store");  // the file's bytes
    QTest::addColumn<QString>("reason");    // said after the refusal, %1 standing for the store's path
    QTest::newRow("no store file") << "none" << QByteArray() << QString();
    QTest::newRow("product key without General")
        << "file"
        << QByteArray("Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Ostrany\\Velmaro]\n\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Ostrany\\Velmaro\\Events]\n")
        << QString();
    QTest::newRow("malformed store")
        << "file" << QByteArray("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Ostrany\\Velmaro\\General]\n\"lWidth\"=13140\n")
        << "%1 is not a valid settings store (line 2: unknown value form)";
    QTest::newRow("not a text file") << "file" << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11)
                                     << "%1 is not a valid settings store (line 1: value before any key)";
    QTest::newRow("pipe") << "pipe" << QByteArray() << "%1 cannot be read: it is not a regular file";
    QTest::newRow("folder") << "folder" << QByteArray() << "%1 cannot be read: it is a folder";
}

// Without the settings key the program ends with the refusal; when the store is there but
// damaged, the box also names its file and what is wrong with it. A pipe under the
// store's name never holds up the start.
void tst_Startup::refusedWithoutSettingsKey()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, store);
    QFETCH(QString, reason);
    TestPlatform platform(kind == "file");
    const QString path = platform.path(QStringLiteral("Registry/HKEY_LOCAL_MACHINE.reg"));
    if (kind != "none")
        QVERIFY(QDir().mkpath(platform.path(QStringLiteral("Registry"))));
    if (kind == "file")
        QVERIFY(TestFiles::WriteBytes(path, store));
    else if (kind == "pipe")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    else if (kind == "folder")
        QVERIFY(QDir().mkdir(path));
    platform.messages().answers.enqueue(vbOK);

    QVERIFY(!Main());
    QCOMPARE(platform.messages().shown.size(), 1);
    const QString expected = reason.isEmpty() ? kRefusal : kRefusal + QStringLiteral("\n\n") + reason.arg(path) + u'.';
    QCOMPARE(platform.messages().shown[0].prompt, expected);
    QCOMPARE(platform.messages().shown[0].title, QStringLiteral("Velmaro"));
    QCOMPARE(platform.messages().shown[0].buttons, vbInformation + vbOKOnly);
    QVERIFY(Forms::LoadedForms().isEmpty());  // no splash, no window
    // The store is left exactly as it was (or absent).
    if (kind == "none")
        QVERIFY(!QFile::exists(path));
    else if (kind == "file")
        QCOMPARE(TestFiles::ReadBytes(path), store);
}

void tst_Startup::splash()
{
    TestPlatform platform;
    InitProductProfile();
    frmSplash* s = g_frmSplash();
    QCOMPARE(s->lblAppTitle->text(), QStringLiteral("Velmaro 1.2"));
    QCOMPARE(s->lblVersion->text(), QStringLiteral("Version 1.2.0"));
    QCOMPARE(s->lblStat->text(), QStringLiteral("Loading..."));
    QVERIFY(s->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    s->Show();
    // What the window itself is given: invisible until faded in, then 10, 20, ... 250 and
    // fully opaque.
    QWindow* window = s->windowHandle();
    QCOMPARE(window->opacity(), 0.0);
    QList<int> steps;
    connect(window, &QWindow::opacityChanged, this, [&steps](qreal o) { steps << qRound(o * 255); });
    // Each of the 26 steps waits more than 5 ms, and the wait sleeps: the thread spends
    // far less processor time than the fade takes (a busy wait spends all of it).
    const ThreadClock clock;
    s->FadeIn();
    const qint64 wallMs = clock.wallMs();
    QVERIFY2(wallMs >= 26 * 5, qPrintable(QString::number(wallMs)));
    QVERIFY2(clock.cpuMs() < wallMs / 2,
             qPrintable(QStringLiteral("cpu %1 ms of %2 ms").arg(clock.cpuMs()).arg(wallMs)));
    QList<int> expected;
    for (int a = 10; a <= 250; a += 10)
        expected << a;
    expected << 255;
    QCOMPARE(steps, expected);
    QCOMPARE(window->opacity(), 1.0);

    g_bShowSplash = true;
    SetSplashStatus(QStringLiteral("Loading GUI..."));
    QCOMPARE(s->lblStat->text(), QStringLiteral("Loading GUI..."));
    g_bShowSplash = false;
    SetSplashStatus(QStringLiteral("ignored"));
    QCOMPARE(s->lblStat->text(), QStringLiteral("Loading GUI..."));
}

void tst_Startup::splashDoubleClick()
{
    TestPlatform platform;
    InitProductProfile();
    frmSplash* s = g_frmSplash();
    s->Show();
    // A double click on a label is the label's own; on the free surface it closes.
    QTest::mouseDClick(s->lblVersion, Qt::LeftButton);
    QVERIFY(Forms::IsLoaded<frmSplash>());
    QTest::mouseDClick(s, Qt::LeftButton, {}, QPoint(3, s->height() - 3));
    QVERIFY(!Forms::IsLoaded<frmSplash>());
    g_bShowSplash = true;
    SetSplashStatus(QStringLiteral("Loading GUI..."));  // nothing left to write to: no harm
    g_bShowSplash = false;
}

void tst_Startup::splashDoubleClickDuringFade()
{
    TestPlatform platform;
    InitProductProfile();
    frmSplash* s = g_frmSplash();
    s->Show();
    // The double click waits in the queue, so it arrives while the fade lets events through.
    const QPoint free(3, s->height() - 3);
    QCoreApplication::postEvent(s, new QMouseEvent(QEvent::MouseButtonDblClick, QPointF(free),
                                                   QPointF(s->mapToGlobal(free)), Qt::LeftButton, Qt::LeftButton,
                                                   Qt::NoModifier));
    QList<qreal> steps;
    connect(s->windowHandle(), &QWindow::opacityChanged, this, [&steps](qreal o) { steps << o; });
    s->FadeIn();
    QVERIFY(!Forms::IsLoaded<frmSplash>());
    // The fade stopped with the window: it never reached full opacity.
    QVERIFY(!steps.contains(1.0));
}

void tst_Startup::startUpBoxNotUnderTheSplash_data()
{
    QTest::addColumn<QString>("lists");   // the stored lists folder, within the program folder
    QTest::addColumn<QString>("prompt");  // the box start-up shows
    QTest::newRow("unreadable list") << "Lists/"
                                     << "The items list 'a' cannot be read: it holds no items list.\r\n\r\n"
                                        "Its file is left as it is; nothing can be added to it.";
    QTest::newRow("lists folder that cannot be used")
        << QStringLiteral("Li") + QChar(0) + QStringLiteral("sts/")
        << "The lists folder cannot be used: its name holds a NUL character.\r\n\r\n"
           "Choose another folder for the items lists in the options.";
}

// A box while the windows load opens with the splash gone: the splash stays on top of
// every window, and a box under it would leave the start seeming stuck at "Loading GUI...".
void tst_Startup::startUpBoxNotUnderTheSplash()
{
    QFETCH(QString, lists);
    QFETCH(QString, prompt);
    TestPlatform platform;
    InitProductProfile();
    QVERIFY(QDir().mkpath(platform.path(QStringLiteral("Lists"))));
    QVERIFY(TestFiles::WriteBytes(platform.path(QStringLiteral("Lists/a.flst")), "Things to buy:\nmilk\n"));
    QVERIFY(TestFiles::StoreText(QStringLiteral("General"), QStringLiteral("txtToPath"), platform.path(lists)));
    QString splashAtBox = QStringLiteral("no box");
    platform.messages().whileShown = [&] {
        const frmSplash* s = Forms::Loaded<frmSplash>();
        splashAtBox = !s ? QStringLiteral("closed") : s->isVisible() ? QStringLiteral("shown") : QStringLiteral("hidden");
    };
    platform.messages().answers.enqueue(vbOK);
    QVERIFY(Main());
    QCOMPARE(platform.messages().shown.size(), 1);
    QCOMPARE(platform.messages().shown[0].prompt, prompt);
    QCOMPARE(splashAtBox, QStringLiteral("closed"));
    frmMain* main = Forms::Loaded<frmMain>();
    QVERIFY(main && main->isVisible());
    QVERIFY(!Forms::IsLoaded<frmSplash>());
    // Boxes after start-up leave whatever window is up alone.
    frmSplash* later = g_frmSplash();
    later->Show();
    platform.messages().answers.enqueue(vbOK);
    MsgBox(QStringLiteral("later"));
    QVERIFY(Forms::IsLoaded<frmSplash>());
    Forms::Unload(later);
    Forms::Unload(main);
}

void tst_Startup::trayStart_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<bool>("inTray");
    QTest::newRow("-st") << "-st" << true;
    QTest::newRow("capitals") << "-ST" << false;
    QTest::newRow("leading blank") << " -st" << false;
    QTest::newRow("further word") << "-st x" << false;
    QTest::newRow("other switch") << "-addfiles" << false;
}

void tst_Startup::trayStart()
{
    QFETCH(QString, commandLine);
    QFETCH(bool, inTray);
    TestPlatform platform;
    cSysTray::OverrideAvailable(true);
    SetCommand(commandLine);
    QVERIFY(Main());
    frmMain* main = Forms::Loaded<frmMain>();
    QVERIFY(main);
    QCOMPARE(main->isVisible(), !inTray);
    QCOMPARE(main->InTray(), inTray);
    QCOMPARE(trayItemCaption(main), inTray ? QStringLiteral("Show") : QStringLiteral("Hide"));
    if (inTray) {
        QCOMPARE(main->WindowState(), vbMinimized);
        // One click on the icon brings the window back.
        main->cSysTray1_TrayClick(1);
        QVERIFY(main->isVisible());
        QCOMPARE(main->WindowState(), vbNormal);
        QCOMPARE(trayItemCaption(main), QStringLiteral("Hide"));
        QVERIFY(!main->InTray());
    }
}

void tst_Startup::trayStartWithoutTray()
{
    TestPlatform platform;
    cSysTray::OverrideAvailable(false);
    SetCommand(QStringLiteral("-st"));
    QVERIFY(Main());
    frmMain* main = Forms::Loaded<frmMain>();
    // Where no tray could bring it back, the window starts minimised but reachable.
    QVERIFY(main->isVisible());
    QCOMPARE(main->WindowState(), vbMinimized);
}

void tst_Startup::trayClicks()
{
    TestPlatform platform;
    InitProductProfile();
    frmMain* main = Forms::Get<frmMain>();
    main->Show();

    // Normal: to the tray; the "Show" item then brings it back (the tray menu's command).
    main->cSysTray1_TrayClick(1);
    QVERIFY(!main->isVisible());
    QVERIFY(main->InTray());
    QCOMPARE(trayItemCaption(main), QStringLiteral("Show"));
    main->m_cMenu_Click(main->m_cMenu->IndexForKey(QStringLiteral("RC Open")));
    QVERIFY(main->isVisible());
    QCOMPARE(main->WindowState(), vbNormal);
    QCOMPARE(trayItemCaption(main), QStringLiteral("Hide"));

    // Minimised to the taskbar: the click hides it to the tray; the next restores it.
    main->SetWindowState(vbMinimized);
    main->cSysTray1_TrayClick(1);
    QVERIFY(!main->isVisible());
    QVERIFY(main->InTray());
    main->cSysTray1_TrayClick(1);
    QVERIFY(main->isVisible());
    QCOMPARE(main->WindowState(), vbNormal);

    // Maximised: nothing happens.
    main->SetWindowState(vbMaximized);
    main->cSysTray1_TrayClick(1);
    QVERIFY(main->isVisible());
    QCOMPARE(main->WindowState(), vbMaximized);
    QCOMPARE(trayItemCaption(main), QStringLiteral("Hide"));

    // "GoSysTray" leaves the same state as a click.
    cSysTray::OverrideAvailable(true);
    main->SetWindowState(vbNormal);
    main->GoSysTray();
    QVERIFY(!main->isVisible());
    QVERIFY(main->InTray());
    QCOMPARE(trayItemCaption(main), QStringLiteral("Show"));
}

void tst_Startup::windowSize_data()
{
    // Sizes in twips; kScreen stands for the whole available width or height of the
    // screen (800 x 800 pixels on the headless platform), kLeast for the window's least.
    QTest::addColumn<QVariant>("width");   // invalid: not stored
    QTest::addColumn<QVariant>("height");
    QTest::addColumn<int>("expectedWidth");
    QTest::addColumn<int>("expectedHeight");
    QTest::newRow("missing") << QVariant() << QVariant() << 13140 << 7440;
    QTest::newRow("too small") << QVariant("2999") << QVariant("999") << 13740 << 7440;
    // The smallest size kept is still less than the window's least: it gets its least.
    QTest::newRow("smallest kept") << QVariant("3000") << QVariant("1000") << kLeast << kLeast;
    QTest::newRow("not numbers") << QVariant("wide") << QVariant("") << 13740 << 7440;
    QTest::newRow("stored") << QVariant("10500") << QVariant("6000") << 10500 << 6000;
    QTest::newRow("larger than the screen") << QVariant("15000") << QVariant("15000") << kScreen << kScreen;
    QTest::newRow("huge") << QVariant("999999999") << QVariant("999999999") << kScreen << kScreen;
    QTest::newRow("past a whole number") << QVariant("99999999999") << QVariant("4294967296") << kScreen << kScreen;
    QTest::newRow("huge negative") << QVariant("-999999999") << QVariant("-999999999") << 13740 << 7440;
}

void tst_Startup::windowSize()
{
    QFETCH(QVariant, width);
    QFETCH(QVariant, height);
    QFETCH(int, expectedWidth);
    QFETCH(int, expectedHeight);
    TestPlatform platform;
    InitProductProfile();
    if (width.isValid())
        QVERIFY(general().SetRegistryValue(QStringLiteral("lWidth"), width, 1));
    if (height.isValid())
        QVERIFY(general().SetRegistryValue(QStringLiteral("lHeight"), height, 1));
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size() * kTwipsPerPixel;
    if (expectedWidth == kScreen)
        expectedWidth = screen.width();
    if (expectedHeight == kScreen)
        expectedHeight = screen.height();
    frmMain* main = Forms::Get<frmMain>();
    if (expectedWidth == kLeast)
        expectedWidth = main->minimumWidth() * kTwipsPerPixel;
    if (expectedHeight == kLeast)
        expectedHeight = main->minimumHeight() * kTwipsPerPixel;
    // Twips become whole pixels at the boundary: within one pixel.
    QVERIFY2(qAbs(main->Width() - expectedWidth) < kTwipsPerPixel, qPrintable(QString::number(main->Width())));
    QVERIFY2(qAbs(main->Height() - expectedHeight) < kTwipsPerPixel, qPrintable(QString::number(main->Height())));

    // Closing stores the size the window has.
    main->SetWidth(12000);
    main->SetHeight(6000);
    QVERIFY(Forms::Unload(main));
    QCOMPARE(general().GetRegistryValue(QStringLiteral("lWidth")).toString(), QStringLiteral("12000"));
    QCOMPARE(general().GetRegistryValue(QStringLiteral("lHeight")).toString(), QStringLiteral("6000"));
}

void tst_Startup::windowSizeStoredWithinScreen()
{
    // A window made larger than the screen (by hand or by the desktop) stores at most
    // the screen, so the next start is not handed its size.
    TestPlatform platform;
    InitProductProfile();
    frmMain* main = Forms::Get<frmMain>();
    main->resize(20000, 30000);
    QVERIFY(Forms::Unload(main));
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size() * kTwipsPerPixel;
    QCOMPARE(general().GetRegistryValue(QStringLiteral("lWidth")).toString(), QString::number(screen.width()));
    QCOMPARE(general().GetRegistryValue(QStringLiteral("lHeight")).toString(), QString::number(screen.height()));
}

void tst_Startup::windowSizeNotSaved_data()
{
    QTest::addColumn<QString>("disk");
    QTest::addColumn<int>("error");
    QTest::newRow("lock is a folder") << "lock folder" << EISDIR;
    QTest::newRow("full disk") << "full" << ENOSPC;
    QTest::newRow("read-only disk") << "read-only" << EROFS;
}

// The window size the store does not take at exit is said, with the file and why; the
// close goes on.
void tst_Startup::windowSizeNotSaved()
{
    QFETCH(QString, disk);
    QFETCH(int, error);
    TestPlatform platform;
    InitProductProfile();
    const QString folder = platform.path(QStringLiteral("Registry"));
    const QString path = folder + QStringLiteral("/HKEY_LOCAL_MACHINE.reg");
    const QByteArray before = TestFiles::ReadBytes(path);
    SmallDisk small;
    if (disk == "lock folder") {
        QVERIFY(QDir().mkdir(path + QStringLiteral(".lock")));
    } else {
        QString why;
        if (!small.mount(folder, why))
            QSKIP(qPrintable("This machine gives the test no disk of its own (" + why + ")"));
        QVERIFY(TestFiles::WriteBytes(path, before));
    }
    frmMain* main = Forms::Get<frmMain>();
    if (disk == "full")
        small.fill();
    else if (disk == "read-only")
        QVERIFY(small.readOnly());
    main->SetWidth(12000);
    main->SetHeight(6000);
    platform.messages().answers.enqueue(vbOK);
    QVERIFY(Forms::Unload(main));

    QCOMPARE(platform.messages().shown.size(), 1);
    const QString prompt = platform.messages().shown[0].prompt;
    QVERIFY2(prompt.startsWith(QStringLiteral("The window size could not be saved: ") + path
                               + QStringLiteral(" cannot be written: ")),
             qPrintable(prompt));
    QVERIFY2(prompt.endsWith(QString::fromLocal8Bit(std::strerror(error))
                             + QStringLiteral(".\r\n\r\nNot saved: lHeight, lWidth.")),
             qPrintable(prompt));
    QCOMPARE(TestFiles::ReadBytes(path), before);
}

// A program folder that cannot be written is said as the program starts, with why; the
// program still starts.
void tst_Startup::programFolderNotWritable()
{
    TestPlatform platform(false);
    SmallDisk small;
    QString why;
    if (!small.mount(platform.home(), why))
        QSKIP(qPrintable("This machine gives the test no disk of its own (" + why + ")"));
    QVERIFY(TestPlatform::InstallDefaultStore(platform.home()));
    QVERIFY(small.readOnly());
    platform.messages().answerAll = vbOK;

    QVERIFY(Main());
    QVERIFY(Forms::IsLoaded<frmMain>());
    QVERIFY(!platform.messages().shown.isEmpty());
    QCOMPARE(platform.messages().shown[0].prompt,
             QStringLiteral("The program folder ") + platform.home() + QStringLiteral(" cannot be written: ")
                 + QString::fromLocal8Bit(std::strerror(EROFS))
                 + QStringLiteral(".\r\n\r\nItems lists, notes and settings changed now cannot be saved."));
    QCOMPARE(platform.messages().shown[0].buttons, vbInformation + vbOKOnly);
    Forms::Unload(Forms::Loaded<frmMain>());
}

void tst_Startup::notesSummary_data()
{
    QTest::addColumn<QVariant>("notes");  // invalid: no file
    QTest::addColumn<QString>("summary");
    QTest::newRow("missing") << QVariant() << "Notes [ Empty ]";
    QTest::newRow("empty") << QVariant(QByteArray()) << "Notes [ Empty ]";
    QTest::newRow("one line break") << QVariant(QByteArray("\r\n")) << "Notes [ Empty ]";
    QTest::newRow("two lines") << QVariant(QByteArray("call Ann\r\nbuy tape\r\n")) << "Notes [ call Ann buy tape ]";
    QTest::newRow("lf lines") << QVariant(QByteArray("a\nb\n")) << "Notes [ a b ]";
    QTest::newRow("36 long, kept") << QVariant(QByteArray(36, 'x')) << QStringLiteral("Notes [ ") + QString(36, u'x') + " ]";
    QTest::newRow("37 long, cut") << QVariant(QByteArray(37, 'x'))
                                  << QStringLiteral("Notes [ ") + QString(35, u'x') + QStringLiteral("... ]");
    QTest::newRow("two lines, cut") << QVariant(QByteArray("first line of the notes\r\nsecond line here\r\n"))
                                    << QStringLiteral("Notes [ first line of the notes second line... ]");
}

void tst_Startup::notesSummary()
{
    QFETCH(QVariant, notes);
    QFETCH(QString, summary);
    TestPlatform platform;
    InitProductProfile();
    if (notes.isValid())
        TestFiles::WriteBytes(platform.path(QStringLiteral("Notes")), notes.toByteArray());
    frmMain* main = Forms::Get<frmMain>();
    QCOMPARE(main->GetNotesToStatus(), summary);
    QCOMPARE(main->cStatusBar1->PanelText(QStringLiteral("Notes")), main->GetNotesToStatus());
}

void tst_Startup::exitQuestion()
{
    TestPlatform platform;
    QVERIFY(Main());
    frmMain* main = Forms::Loaded<frmMain>();
    TestFiles::WriteBytes(platform.path(QStringLiteral("tmpeditor.wav")), "x");
    TestFiles::WriteBytes(platform.path(QStringLiteral("tmptts.wav")), "x");
    g_bDisplayMSGWhenExit = true;

    platform.messages().answers.enqueue(vbNo);
    QVERIFY(!Forms::Unload(main, vbFormControlMenu));
    QCOMPARE(platform.messages().shown.last().prompt, QStringLiteral("Are you sure you want to exit 'Velmaro 1.2' ?"));
    QCOMPARE(platform.messages().shown.last().buttons, vbYesNo + vbInformation);
    QVERIFY(Forms::IsLoaded<frmMain>());
    QVERIFY(!g_bExitApp);
    QVERIFY(QFile::exists(platform.path(QStringLiteral("tmpeditor.wav"))));

    platform.messages().answers.enqueue(vbYes);
    QVERIFY(Forms::Unload(main, vbFormControlMenu));
    QVERIFY(g_bExitApp);
    QVERIFY(Forms::LoadedForms().isEmpty());  // the settings windows really unload now
    QVERIFY(!QFile::exists(platform.path(QStringLiteral("tmpeditor.wav"))));
    QVERIFY(!QFile::exists(platform.path(QStringLiteral("tmptts.wav"))));
    QVERIFY(!main->cSysTray1->IconShown());
}

void tst_Startup::unloadTimerSkipsQuestion()
{
    TestPlatform platform;
    QVERIFY(Main());
    g_bDisplayMSGWhenExit = true;
    Forms::Loaded<frmMain>()->tmrUnload_Timer();
    QVERIFY(!Forms::IsLoaded<frmMain>());
    QVERIFY(!g_bDisplayMSGWhenExit);
    QVERIFY(platform.messages().shown.isEmpty());
}

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
