// One running copy per program folder: a second start brings the running window to the
// front and ends before it loads anything; a copy that crashed does not stop the next.
#include "app/mdlMain.h"
#include "common/mdlModes.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cSysTray/cSysTray.h"
#include "mainwindow/frmMain.h"
#include "platform/App.h"
#include "platform/Forms.h"
#include "platform/SingleInstance.h"
#include "settings/mdlOptions.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList LoadedWindowNames()
{
    QStringList names;
    for (VForm* f : Forms::LoadedForms())
        names << QString::fromLatin1(f->metaObject()->className());
    return names;
}

// The real program, started on the headless platform over the given program folder.
class ProgramCopy
{
public:
    explicit ProgramCopy(const QString& folder)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VELMARO_HOME"), folder);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.start(QStringLiteral(VELMARO_EXECUTABLE), {});
    }
    ~ProgramCopy()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }
    QProcess& process() { return m_process; }

private:
    QProcess m_process;
};

// The process id a lock file names (its first line).
qint64 LockOwner(const QString& lockFile)
{
    return TestFiles::ReadBytes(lockFile).split('\n').value(0).toLongLong();
}

} // namespace

class tst_OneCopy : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        g_bDisplayMSGWhenExit = false;
        cSysTray::OverrideAvailable(true);
    }
    void cleanup() { cSysTray::OverrideAvailable(std::nullopt); }
    void secondStartBringsWindowForward_data();
    void secondStartBringsWindowForward();
    void otherFolderRunsItsOwnCopy();
    void twoProcessesOfTheProgram();
};

void tst_OneCopy::secondStartBringsWindowForward_data()
{
    QTest::addColumn<QString>("where");
    QTest::newRow("in the tray") << "tray";
    QTest::newRow("minimised") << "minimised";
    QTest::newRow("hidden") << "hidden";
    QTest::newRow("already up") << "normal";
}

void tst_OneCopy::secondStartBringsWindowForward()
{
    QFETCH(QString, where);
    TestPlatform platform;
    QVERIFY(Main());
    frmMain* main = Forms::Loaded<frmMain>();
    QVERIFY(main);
    if (where == QLatin1String("tray"))
        main->GoSysTray();
    else if (where == QLatin1String("minimised"))
        main->SetWindowState(vbMinimized);
    else if (where == QLatin1String("hidden"))
        main->hide();
    const QStringList loaded = LoadedWindowNames();
    const QStringList lists = QDir(platform.path(QStringLiteral("Main"))).entryList(QDir::Files | QDir::Hidden);

    // The second start ends at once: no splash, no window and no list of its own.
    QVERIFY(!Main());
    QCOMPARE(LoadedWindowNames(), loaded);
    QCOMPARE(QDir(platform.path(QStringLiteral("Main"))).entryList(QDir::Files | QDir::Hidden), lists);
    QVERIFY(platform.messages().shown.isEmpty());

    // The running window comes up.
    QTRY_VERIFY(main->isVisible());
    QTRY_COMPARE(main->WindowState(), vbNormal);
    QVERIFY(!main->InTray());
    QCOMPARE(main->m_cMenu->ItemCaption(main->m_cMenu->IndexForKey(QStringLiteral("RC Open"))),
             QStringLiteral("Hide"));
    QVERIFY(Forms::Unload(main));
}

void tst_OneCopy::otherFolderRunsItsOwnCopy()
{
    // The lock and the socket belong to one program folder only.
    TestPlatform first;
    SingleInstance a(first.home());
    QVERIFY(a.Claim());
    QTemporaryDir other;
    SingleInstance b(other.path());
    QVERIFY(b.Claim());
    QVERIFY(SingleInstance::ServerName(first.home()) != SingleInstance::ServerName(other.path()));
    SingleInstance again(first.home());
    QVERIFY(!again.Claim());
}

void tst_OneCopy::twoProcessesOfTheProgram()
{
    TestPlatform platform;
    const QString folder = platform.home();
    const QString lockFile = SingleInstance::LockFilePath(folder);
    const QString firstList = platform.path(QStringLiteral("Main/New Items List 1.flst"));

    ProgramCopy first(folder);
    QVERIFY(first.process().waitForStarted());
    // Its first list is made once the main window loads.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(firstList), 60000);
    QCOMPARE(LockOwner(lockFile), first.process().processId());

    // A second start over the same folder ends on its own, and makes no list of its own.
    {
        ProgramCopy second(folder);
        QVERIFY(second.process().waitForStarted());
        QVERIFY2(second.process().waitForFinished(60000), "the second copy kept running");
        QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process().exitCode(), 0);
    }
    QCOMPARE(first.process().state(), QProcess::Running);
    QVERIFY(!QFile::exists(platform.path(QStringLiteral("Main/New Items List 2.flst"))));

    // The first copy dies without cleaning up: its lock file and its socket stay behind.
    first.process().kill();
    QVERIFY(first.process().waitForFinished(10000));
    QVERIFY(QFile::exists(lockFile));

    // The next start takes the folder over and keeps running.
    ProgramCopy third(folder);
    QVERIFY(third.process().waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(LockOwner(lockFile), third.process().processId(), 60000);
    QVERIFY(!third.process().waitForFinished(3000));
    QCOMPARE(third.process().state(), QProcess::Running);

    // And a start after it finds it.
    ProgramCopy fourth(folder);
    QVERIFY(fourth.process().waitForStarted());
    QVERIFY2(fourth.process().waitForFinished(60000), "a start after a crash kept running");
    QCOMPARE(third.process().state(), QProcess::Running);
}

QTEST_MAIN(tst_OneCopy)
#include "tst_onecopy.moc"
