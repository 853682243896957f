// Turning the computer off through the login manager: a stand-in login manager on a
// private message bus answers as the real one does, so the request is checked as it
// travels, and nothing is ever turned off.
#include "platform/ShutdownService.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QMutex>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

// The login manager's two calls as the program uses them. It lives on a thread of its
// own, because the request under test waits for the answer on the test's thread.
class FakeLoginManager : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    QString canAnswer;            // what CanPowerOff answers
    bool userAuthenticates = true;  // for "challenge": whether the user passes the prompt

    QMutex lock;
    QStringList calls;  // "PowerOff(interactive=true)" ...

public slots:
    QString CanPowerOff()
    {
        record(QStringLiteral("CanPowerOff"));
        return canAnswer;
    }
    void PowerOff(bool interactive)
    {
        record(QStringLiteral("PowerOff(interactive=%1)").arg(interactive ? "true" : "false"));
        // As the system's policy does: a request that needs authentication fails at once
        // unless it allows the prompt; with the prompt the user decides.
        if (canAnswer == QLatin1String("challenge") && !interactive) {
            sendErrorReply(QStringLiteral("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired"),
                           QStringLiteral("Interactive authentication required."));
        } else if (canAnswer == QLatin1String("challenge") && !userAuthenticates) {
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("Access denied"));
        }
    }

private:
    void record(const QString& call)
    {
        QMutexLocker locker(&lock);
        calls << call;
    }
};

} // namespace

class tst_Logind : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void powerOff_data();
    void powerOff();
    void noLoginManager();

private:
    QTemporaryDir m_dir;
    QProcess m_bus;
    QString m_address;
    QThread m_thread;
};

void tst_Logind::initTestCase()
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty())
        QSKIP("dbus-daemon is not installed: no private message bus for the stand-in login manager");
    m_bus.start(daemon, {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
                         QStringLiteral("--address=unix:path=") + m_dir.path() + QStringLiteral("/bus")});
    QVERIFY(m_bus.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(m_bus.canReadLine(), 10000);
    m_address = QString::fromLocal8Bit(m_bus.readLine()).trimmed();
    QVERIFY(!m_address.isEmpty());
    m_thread.start();
}

void tst_Logind::cleanupTestCase()
{
    m_thread.quit();
    m_thread.wait();
    if (m_bus.state() != QProcess::NotRunning) {
        m_bus.terminate();
        m_bus.waitForFinished();
    }
}

void tst_Logind::powerOff_data()
{
    QTest::addColumn<QString>("canAnswer");
    QTest::addColumn<bool>("userAuthenticates");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("why");
    const QStringList asked{"CanPowerOff", "PowerOff(interactive=true)"};
    QTest::newRow("allowed") << "yes" << true << true << asked << "";
    QTest::newRow("needs authentication, the user gives it") << "challenge" << true << true << asked << "";
    QTest::newRow("needs authentication, the user refuses")
        << "challenge" << false << false << asked << "The system refused to turn off: Access denied";
    QTest::newRow("not allowed") << "no" << true << false << QStringList{"CanPowerOff"}
                                 << "The system does not allow this user to turn it off.";
    QTest::newRow("not available")
        << "na" << true << false << QStringList{"CanPowerOff"}
        << "The system cannot be turned off from here (the login manager answered \"na\").";
}

void tst_Logind::powerOff()
{
    QFETCH(QString, canAnswer);
    QFETCH(bool, userAuthenticates);
    QFETCH(bool, accepted);
    QFETCH(QStringList, calls);
    QFETCH(QString, why);

    FakeLoginManager manager;
    manager.canAnswer = canAnswer;
    manager.userAuthenticates = userAuthenticates;
    manager.moveToThread(&m_thread);
    const QString name = QStringLiteral("stand-in-login-manager");
    {
        QDBusConnection service = QDBusConnection::connectToBus(m_address, name);
        QVERIFY(service.isConnected());
        QVERIFY(service.registerObject(QStringLiteral("/org/freedesktop/login1"), &manager,
                                       QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerService(QStringLiteral("org.freedesktop.login1")));
    }

    LogindShutdownService logind(m_address);
    QString reason;
    QCOMPARE(logind.powerOff(reason), accepted);
    QCOMPARE(reason, why);
    {
        QMutexLocker locker(&manager.lock);
        QCOMPARE(manager.calls, calls);
    }

    QDBusConnection::disconnectFromBus(name);
    // The manager goes back to this thread to be destroyed here.
    QMetaObject::invokeMethod(
        &manager, [&manager] { manager.moveToThread(QCoreApplication::instance()->thread()); },
        Qt::BlockingQueuedConnection);
}

void tst_Logind::noLoginManager()
{
    LogindShutdownService logind(m_address);
    QString reason;
    QVERIFY(!logind.powerOff(reason));
    QVERIFY2(reason.startsWith(QLatin1String("The login manager cannot be asked: ")), qPrintable(reason));
}

QTEST_GUILESS_MAIN(tst_Logind)
#include "tst_logind.moc"
