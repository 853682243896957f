#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>

namespace {

const QByteArray kShowRequest = "show\n";

// How long a later start keeps trying to reach the running copy: long enough for a copy
// that has just taken the lock to start listening.
constexpr int kAskTimeoutMs = 3000;

} // namespace

SingleInstance::SingleInstance(const QString& programFolder, QObject* parent) : QObject(parent), m_folder(programFolder)
{
}

SingleInstance::~SingleInstance()
{
    if (m_server)
        m_server->close();
    if (m_lock)
        m_lock->unlock();
}

QString SingleInstance::LockFilePath(const QString& programFolder)
{
    return programFolder + QStringLiteral("/.running.lock");
}

QString SingleInstance::ServerName(const QString& programFolder)
{
    // The same folder reached through a link is the same program folder.
    QString real = QFileInfo(programFolder).canonicalFilePath();
    if (real.isEmpty())
        real = QFileInfo(programFolder).absoluteFilePath();
    const QByteArray hash =
        QCryptographicHash::hash(QFile::encodeName(real), QCryptographicHash::Sha256).toHex().left(16);
    const QString name = QStringLiteral("velmaro-") + QString::fromLatin1(hash);
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    // A socket path has room for about 100 bytes; past that the name alone is used, which
    // puts the socket in the temporary folder.
    const QString path = runtime + u'/' + name;
    if (runtime.isEmpty() || QFile::encodeName(path).size() > 100)
        return name;
    return path;
}

bool SingleInstance::Claim()
{
    if (m_lock && m_server)
        return true;
    m_lock = std::make_unique<QLockFile>(LockFilePath(m_folder));
    // A running copy holds the lock for as long as it runs, so age never makes it stale;
    // only a lock whose process is gone is.
    m_lock->setStaleLockTime(0);
    const bool locked = m_lock->tryLock(0);
    if (!locked && m_lock->error() == QLockFile::LockFailedError) {
        m_lock.reset();
        if (!askRunningCopy())
            qWarning().noquote() << QStringLiteral("Another copy of the program runs from %1 and did not answer.")
                                        .arg(QDir::toNativeSeparators(m_folder));
        return false;
    }
    if (!locked) {
        // The folder takes no lock file (read-only, say): the socket alone tells whether a
        // copy runs.
        m_lock.reset();
        if (askRunningCopy())
            return false;
    }

    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = ServerName(m_folder);
    // With the lock held, a socket of that name is a leftover of a copy that crashed.
    if (m_lock)
        QLocalServer::removeServer(name);
    if (!m_server->listen(name))
        qWarning().noquote() << QStringLiteral("Later starts cannot reach this copy: %1").arg(m_server->errorString());
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
            // A quick caller may have written and gone before the socket was taken.
            readRequest(socket);
        }
    });
    return true;
}

void SingleInstance::readRequest(QLocalSocket* socket)
{
    if (!socket->canReadLine())
        return;
    const QByteArray request = socket->readLine();
    socket->disconnectFromServer();
    if (request == kShowRequest)
        emit ShowRequested();
}

bool SingleInstance::askRunningCopy()
{
    const QString name = ServerName(m_folder);
    QDeadlineTimer deadline(kAskTimeoutMs);
    do {
        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(int(qMax<qint64>(1, deadline.remainingTime())))) {
            socket.write(kShowRequest);
            const bool sent = socket.waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime())));
            socket.disconnectFromServer();
            return sent;
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}
