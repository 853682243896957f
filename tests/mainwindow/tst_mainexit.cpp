// The main window's start and end: the first list and the command-line switch after
// start-up, the exit with its question, what the close leaves behind, a window busy in a
// job that keeps the program running, the end of the desktop session, the size that is
// stored, and the desktop's volume control.
#include "tests/lists/ListsFixture.h"
#include "tests/mainwindow/MainWindowFixture.h"

#include "common/frmNotes.h"
#include "common/mdlFunctions.h"
#include "common/mdlWindowHelpers.h"
#include "components/cGrid/cGrid.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cSysTray/cSysTray.h"
#include "components/cTreeView/cTreeView.h"
#include "platform/App.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "tools/splitter/frmSplitter.h"

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace ListsTest;

namespace {

QString stored(const char* name)
{
    return MainWindowTest::generalSettings().GetRegistryValue(QLatin1String(name), QStringLiteral("<none>")).toString();
}

// A program folder with a list of two items, the settings windows and the main window
// loaded as at start-up, the temporary files of the editor and the speech window, and
// notes typed into the open notes window.
struct Running {
    Running()
    {
        list = f.addList("Songs", {"a.wav*", "b.wav"});
        Forms::Get<frmOptions>();
        Forms::Get<frmAudioProp>();
        g_bClearOnExit = true;
        m = f.start();
        m->SetWidth(12000);
        m->SetHeight(6000);
        for (const char* name : {"tmpeditor.wav", "tmptts.wav"})
            TestFiles::WriteBytes(f.platform.path(QLatin1String(name)), "RIFF");
        g_frmNotes()->Show(vbModeless);
        g_frmNotes()->Text1->setPlainText(QStringLiteral("call the studio"));
        QString file = f.platform.path("audio/a.wav");
        qint32 device = 0;
        m->cPlayer1->Play(file, device);
    }
    ~Running()
    {
        g_bClearOnExit = false;
        g_bDisplayMSGWhenExit = false;
    }
    // Everything as it was before the close began (a command stops the preview before
    // it runs, the close itself does not).
    void expectStillRunning(bool playing = true)
    {
        QVERIFY(Forms::IsLoaded<frmMain>());
        QVERIFY(!g_bExitApp);
        QVERIFY(Forms::IsLoaded<frmOptions>());
        QVERIFY(Forms::IsLoaded<frmAudioProp>());
        QCOMPARE(m->cPlayer1->IsPlaying(), playing);
        QCOMPARE(fileRecords(list).size(), 2);
        QVERIFY(QFile::exists(f.platform.path("tmpeditor.wav")));
        QVERIFY(QFile::exists(f.platform.path("tmptts.wav")));
        QCOMPARE(stored("lWidth"), QStringLiteral("<none>"));
        QVERIFY(m->cSysTray1->IconShown());
    }
    // Everything the close leaves behind.
    void expectClosed()
    {
        QVERIFY(!Forms::IsLoaded<frmMain>());
        QVERIFY(Forms::LoadedForms().isEmpty());
        QVERIFY(!QFile::exists(f.platform.path("tmpeditor.wav")));
        QVERIFY(!QFile::exists(f.platform.path("tmptts.wav")));
        QCOMPARE(stored("lWidth"), QStringLiteral("12000"));
        QCOMPARE(stored("lHeight"), QStringLiteral("6000"));
        QCOMPARE(ReadTextFile(f.platform.path("Notes")), QStringLiteral("call the studio"));
        QVERIFY(!m->cSysTray1->IconShown());
    }
    // A splitter window in the middle of its job.
    frmSplitter* busyTool()
    {
        frmSplitter* tool = g_frmSplitter();
        tool->cmdConvert->setEnabled(false);
        return tool;
    }

    Fixture f;
    QString list;
    frmMain* m = nullptr;
};

} // namespace

class tst_MainExit : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        g_bDisplayMSGWhenExit = false;
        g_bExitApp = false;
        SetCommand(QString());
    }
    void startShowsTreeAndFirstList();
    void commandLineSwitch_data();
    void commandLineSwitch();
    void exitAnsweredNo();
    void exitClosesEverything_data();
    void exitClosesEverything();
    void clearOnExitSparesCDs();
    void busyWindowKeepsTheProgram_data();
    void busyWindowKeepsTheProgram();
    void sessionEnd_data();
    void sessionEnd();
    void quitUnderABusyWindow();
    void normalSizeIsStored_data();
    void normalSizeIsStored();
    void volumeControl_data();
    void volumeControl();
};

void tst_MainExit::startShowsTreeAndFirstList()
{
    Fixture f;
    f.addList("B List", {"x.wav"});
    f.addList("A List", {"a.wav*", "b.wav", "c.wav"});
    MainWindowTest::generalSettings().SetRegistryValue(QStringLiteral("lWidth"), QStringLiteral("12000"), 1);
    MainWindowTest::generalSettings().SetRegistryValue(QStringLiteral("lHeight"), QStringLiteral("9000"), 1);
    frmMain* m = f.start();
    // The product shows its tree of lists, with the first list loaded into the grid.
    QVERIFY(m->cTreeView1->isVisibleTo(m));
    QVERIFY(m->cTreeView1->width() > 100);
    QCOMPARE(m->cTreeView1->SelectedItem()->Text(), QStringLiteral("A List"));
    QCOMPARE(m->cGrid1->Rows(), 3);
    QCOMPARE(m->lblListName->text(), QStringLiteral("A List"));
    QCOMPARE(m->size(), QSize(800, 600));
    QVERIFY(m->cGrid1->geometry().bottom() < m->cStatusBar1->y());
    QVERIFY(m->cGrid1->geometry().right() < m->width());
}

void tst_MainExit::commandLineSwitch_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("dialogs");
    QTest::newRow("add files") << "-addfiles" << 1;
    QTest::newRow("in capitals") << "-ADDFILES" << 1;
    QTest::newRow("with a file after it") << "-addfiles song.wav" << 0;
    QTest::newRow("audio CD without CD lists") << "-addaudiocd" << 0;
    QTest::newRow("tray start") << "-st" << 0;
    QTest::newRow("none") << "" << 0;
}

void tst_MainExit::commandLineSwitch()
{
    QFETCH(QString, line);
    QFETCH(int, dialogs);
    Fixture f;
    f.addList("Songs", {"a.wav"});
    SetCommand(line);
    frmMain* m = f.start();
    // Nothing happens while the window loads: the switch waits for the timer's tick,
    // about 200 ms later, which comes once.
    QCOMPARE(f.platform.dialogs().openRequests.size(), 0);
    QVERIFY(m->tmrCommandLine.isActive());
    QCOMPARE(m->tmrCommandLine.interval(), 200);
    m->tmrCommandLine_Timer();
    QVERIFY(!m->tmrCommandLine.isActive());
    QCOMPARE(f.platform.dialogs().openRequests.size(), dialogs);
    QVERIFY(f.platform.messages().shown.isEmpty());
}

void tst_MainExit::exitAnsweredNo()
{
    Running r;
    g_bDisplayMSGWhenExit = true;
    SetFormOnTop(r.m, true);
    r.f.platform.messages().answers.enqueue(vbNo);
    QVERIFY(!Forms::Unload(r.m, vbFormControlMenu));
    QCOMPARE(r.f.platform.messages().shown.size(), 1);
    QCOMPARE(r.f.platform.messages().shown[0].prompt, QStringLiteral("Are you sure you want to exit 'Velmaro 1.2' ?"));
    QCOMPARE(r.f.platform.messages().shown[0].buttons, vbYesNo + vbInformation);
    r.expectStillRunning();
    QVERIFY(Forms::IsLoaded<frmNotes>());
    QVERIFY(r.m->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

void tst_MainExit::exitClosesEverything_data()
{
    QTest::addColumn<bool>("ask");
    QTest::addColumn<int>("mode");
    QTest::newRow("close box, asked") << true << vbFormControlMenu;
    QTest::newRow("close box, not asked") << false << vbFormControlMenu;
    QTest::newRow("from code") << false << vbFormCode;
}

void tst_MainExit::exitClosesEverything()
{
    QFETCH(bool, ask);
    QFETCH(int, mode);
    Running r;
    g_bDisplayMSGWhenExit = ask;
    SetFormOnTop(r.m, true);
    if (ask)
        r.f.platform.messages().answers.enqueue(vbYes);
    FakeAudioCDRipper* ripper = r.f.mainRipper();
    FakePlayer* player = qobject_cast<FakePlayer*>(r.m->cPlayer1);
    QVERIFY(Forms::Unload(r.m, mode));
    QCOMPARE(r.f.platform.messages().shown.size(), ask ? 1 : 0);
    QVERIFY(g_bExitApp);
    r.expectClosed();
    QVERIFY(!r.m->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(player->calls.contains(QStringLiteral("StopPlay")));
    QVERIFY(!player->IsPlaying());
    QVERIFY(ripper->calls.contains(QStringLiteral("CloseDevice")));
    // The list was emptied, in the grid and in its file.
    QCOMPARE(r.m->cGrid1->Rows(), 0);
    QVERIFY(fileRecords(r.list).isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_MainExit::clearOnExitSparesCDs()
{
    Fixture f;
    lAppIncCDRipper = 1;
    f.drives = {FakeCdDrive{"D: Test Drive", true, {{60, true}, {90, true}}}};
    const QString list = f.addList("Songs", {"a.wav"});
    frmMain* m = f.start();
    cTreeItem* drive = g_nodMainCDs->Children().Item(1);
    drive->SetItemFlag67(true);
    m->cTreeView1_NodeClick(drive);
    QCOMPARE(m->cGrid1->Rows(), 2);
    g_bClearOnExit = true;
    QVERIFY(Forms::Unload(m));
    g_bClearOnExit = false;
    lAppIncCDRipper = 0;
    QCOMPARE(m->cGrid1->Rows(), 2);
    QCOMPARE(fileRecords(list).size(), 1);
}

void tst_MainExit::busyWindowKeepsTheProgram_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("close box") << "close box";
    QTest::newRow("exit command") << "Exit";
    QTest::newRow("tray exit command") << "RC Exit";
    QTest::newRow("session end") << "session";
}

void tst_MainExit::busyWindowKeepsTheProgram()
{
    QFETCH(QString, how);
    Running r;
    g_bDisplayMSGWhenExit = true;
    frmSplitter* tool = r.busyTool();
    const auto close = [&] {
        if (how == QLatin1String("close box"))
            return Forms::Unload(r.m, vbFormControlMenu);
        if (how == QLatin1String("session"))
            return r.m->CommitSessionData(false);
        command(r.m, how.toLatin1().constData());
        return !Forms::IsLoaded<frmMain>();
    };
    const bool asks = how != QLatin1String("session");
    if (asks)
        r.f.platform.messages().answers << vbYes << vbOK;
    QVERIFY(!close());
    // Nothing of the close has happened, and the user is told which tool keeps the program
    // open (unless the session ends without leave to ask).
    const auto& shown = r.f.platform.messages().shown;
    QCOMPARE(shown.size(), asks ? 2 : 0);
    if (asks) {
        QCOMPARE(shown[1].prompt, QStringLiteral("The Audio Splitter is still at work, so the program stays open.\r\n\r\n"
                                                 "Abort its job or let it end, then exit again."));
        QCOMPARE(shown[1].buttons, vbOKOnly + vbInformation);
    }
    r.expectStillRunning(!how.contains(QLatin1String("Exit")));
    QVERIFY(Forms::IsLoaded<frmSplitter>());
    QVERIFY(Forms::IsLoaded<frmNotes>());

    // Once the job has ended the same close goes through.
    tool->cmdConvert->setEnabled(true);
    if (asks)
        r.f.platform.messages().answers.enqueue(vbYes);
    QVERIFY(close());
    r.expectClosed();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_MainExit::sessionEnd_data()
{
    QTest::addColumn<bool>("question");  // the exit question is set
    QTest::addColumn<bool>("mayAsk");    // the session manager lets the program ask
    QTest::addColumn<int>("answer");     // 0: no question expected
    QTest::addColumn<bool>("closed");
    QTest::newRow("no question set") << false << true << 0 << true;
    QTest::newRow("may not ask") << true << false << 0 << true;
    QTest::newRow("asked, yes") << true << true << int(vbYes) << true;
    QTest::newRow("asked, no") << true << true << int(vbNo) << false;
}

void tst_MainExit::sessionEnd()
{
    QFETCH(bool, question);
    QFETCH(bool, mayAsk);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    Running r;
    g_bDisplayMSGWhenExit = question;
    if (answer)
        r.f.platform.messages().answers.enqueue(answer);
    QCOMPARE(r.m->CommitSessionData(mayAsk), closed);
    QCOMPARE(r.f.platform.messages().shown.size(), answer ? 1 : 0);
    if (closed)
        r.expectClosed();
    else
        r.expectStillRunning();
    // The question stays for the next exit when the session could not ask.
    QCOMPARE(g_bDisplayMSGWhenExit, question);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_MainExit::quitUnderABusyWindow()
{
    // The program quits without its window having closed (the session manager ended it):
    // the close runs without a question and cannot be stopped, so the notes and the size
    // are kept even under a running job.
    Running r;
    g_bDisplayMSGWhenExit = true;
    frmSplitter* tool = r.busyTool();
    r.m->QuitWithoutClose();
    QVERIFY(!Forms::IsLoaded<frmMain>());
    QVERIFY(r.f.platform.messages().shown.isEmpty());
    QCOMPARE(stored("lWidth"), QStringLiteral("12000"));
    QCOMPARE(ReadTextFile(r.f.platform.path("Notes")), QStringLiteral("call the studio"));
    QVERIFY(!Forms::IsLoaded<frmNotes>());
    tool->cmdConvert->setEnabled(true);
    QVERIFY(Forms::Unload(tool));
    // A window already closed has nothing more to do.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_MainExit::normalSizeIsStored_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("normal") << "normal";
    QTest::newRow("maximised") << "maximised";
    QTest::newRow("minimised") << "minimised";
    QTest::newRow("in the tray") << "tray";
}

void tst_MainExit::normalSizeIsStored()
{
    QFETCH(QString, state);
    Fixture f;
    frmMain* m = f.start();
    m->Show();
    m->SetWidth(12000);
    m->SetHeight(6000);
    if (state == QLatin1String("maximised")) {
        m->SetWindowState(vbMaximized);
        QTRY_VERIFY(m->size() != QSize(800, 400));  // the screen gives it its size
    } else if (state == QLatin1String("minimised")) {
        m->SetWindowState(vbMinimized);
    } else if (state == QLatin1String("tray")) {
        m->GoSysTray();
    }
    QVERIFY(Forms::Unload(m));
    QCOMPARE(stored("lWidth"), QStringLiteral("12000"));
    QCOMPARE(stored("lHeight"), QStringLiteral("6000"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void tst_MainExit::volumeControl_data()
{
    QTest::addColumn<QStringList>("installed");  // programs on the search path
    QTest::addColumn<QString>("setting");        // the settings' volume control
    QTest::addColumn<QStringList>("started");    // program (in the fake bin folder), arguments
    QTest::newRow("none installed") << QStringList{} << "" << QStringList{};
    QTest::newRow("the first mixer") << QStringList{"pavucontrol", "pavucontrol-qt"} << "" << QStringList{"pavucontrol"};
    QTest::newRow("the second mixer") << QStringList{"pavucontrol-qt"} << "" << QStringList{"pavucontrol-qt"};
    QTest::newRow("set in the settings") << QStringList{"pavucontrol", "mixer"} << "mixer --tab \"output devices\""
                                         << QStringList{"mixer", "--tab", "output devices"};
    QTest::newRow("set but not installed") << QStringList{"pavucontrol-qt"} << "gone-mixer" << QStringList{"pavucontrol-qt"};
    QTest::newRow("set, nothing installed") << QStringList{} << "gone-mixer" << QStringList{};
}

void tst_MainExit::volumeControl()
{
    QFETCH(QStringList, installed);
    QFETCH(QString, setting);
    QFETCH(QStringList, started);
    Fixture f;
    const QString bin = f.platform.path("bin");
    QVERIFY(QDir().mkpath(bin));
    for (const QString& name : installed) {
        const QString path = bin + u'/' + name;
        TestFiles::WriteBytes(path, "#!/bin/sh\n");
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    if (!setting.isEmpty())
        MainWindowTest::generalSettings().SetRegistryValue(QStringLiteral("VolumeControl"), setting, 1);
    frmMain* m = f.start();
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.toLocal8Bit());
    // The menu item and the status panel run the same command.
    command(m, "Master Volume");
    m->cStatusBar1_PanelClick(4);
    qputenv("PATH", oldPath);
    QVERIFY(f.platform.messages().shown.isEmpty());
    if (started.isEmpty()) {
        QVERIFY(f.platform.shell().started.isEmpty());
        return;
    }
    QCOMPARE(f.platform.shell().started.size(), 2);
    for (const FakeShellService::Start& s : f.platform.shell().started) {
        QCOMPARE(s.program, bin + u'/' + started.first());
        QCOMPARE(s.arguments, started.mid(1));
    }
}

QTEST_MAIN(tst_MainExit)
#include "tst_mainexit.moc"
