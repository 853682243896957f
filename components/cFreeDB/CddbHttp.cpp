// The bounded HTTP GET of the CD database client.
#include "components/cFreeDB/CddbHttp.h"

#include <QNetworkProxy>
#include <QRegularExpression>
#include <QTcpSocket>

CddbHttpGet::CddbHttpGet(const QUrl& server, const QByteArray& target, const FreeDBLimits& limits, QObject* parent)
    : QObject(parent), m_server(server), m_target(target), m_limits(limits)
{
    m_timer.setSingleShot(true);
    // One deadline for the connect, then one for the whole reply: a server that sends a
    // byte now and then is held to it as much as one that sends nothing.
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_connected && !m_data.isEmpty())
            fail(cFreeDB::kErrConnection,
                 QStringLiteral("The CD database server %1 did not send its whole reply in time.").arg(m_server.host()));
        else if (m_connected)
            fail(cFreeDB::kErrConnection,
                 QStringLiteral("The CD database server %1 stopped answering.").arg(m_server.host()));
        else
            fail(cFreeDB::kErrConnection,
                 QStringLiteral("The CD database server %1 could not be reached in time.").arg(m_server.host()));
    });
}

CddbHttpGet::~CddbHttpGet()
{
    abort();
}

void CddbHttpGet::start()
{
    m_socket = new QTcpSocket(this);
    // The server is asked directly: a proxy named in the environment is not used.
    m_socket->setProxy(QNetworkProxy::NoProxy);
    connect(m_socket, &QTcpSocket::connected, this, &CddbHttpGet::onConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &CddbHttpGet::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &CddbHttpGet::onClosed);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError) {
            onClosed();
            return;
        }
        if (m_connected)
            fail(cFreeDB::kErrConnection, QStringLiteral("The connection to the CD database server %1 failed: %2")
                                              .arg(m_server.host(), m_socket->errorString()));
        else
            fail(cFreeDB::kErrConnection, QStringLiteral("The CD database server %1 could not be reached: %2")
                                              .arg(m_server.host(), m_socket->errorString()));
    });
    m_timer.start(m_limits.connectMs);
    m_socket->connectToHost(m_server.host(), quint16(m_server.port(80)));
}

void CddbHttpGet::abort()
{
    m_ended = true;
    m_timer.stop();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
}

void CddbHttpGet::onConnected()
{
    if (m_ended)
        return;
    m_connected = true;
    m_timer.start(m_limits.replyMs);
    const int port = m_server.port(80);
    const QByteArray host = m_server.host(QUrl::FullyEncoded).toLatin1()
        + (port != 80 ? ":" + QByteArray::number(port) : QByteArray());
    m_socket->write("GET " + m_target + " HTTP/1.0\r\nHost: " + host
                    + "\r\nAccept: text/plain\r\nConnection: close\r\n\r\n");
}

bool CddbHttpGet::headerEnd(qsizetype& at) const
{
    at = m_data.indexOf("\r\n\r\n");
    if (at >= 0) {
        at += 4;
        return true;
    }
    at = m_data.indexOf("\n\n");
    if (at >= 0) {
        at += 2;
        return true;
    }
    return false;
}

void CddbHttpGet::onReadyRead()
{
    if (m_ended || !m_socket)
        return;
    // Never more than the cap, plus one byte to know it was passed.
    const qint64 room = m_limits.maxReplyBytes + 1 - m_data.size();
    m_data += m_socket->read(std::max<qint64>(room, 0));
    if (m_data.size() > m_limits.maxReplyBytes) {
        fail(cFreeDB::kErrReply, QStringLiteral("The reply of the CD database server is larger than %1 bytes.")
                                     .arg(m_limits.maxReplyBytes));
        return;
    }
    qsizetype body = 0;
    if (m_contentLength < 0 && headerEnd(body)) {
        static const QRegularExpression length(QStringLiteral("^content-length:\\s*([0-9]{1,15})\\s*$"),
                                               QRegularExpression::CaseInsensitiveOption
                                                   | QRegularExpression::MultilineOption);
        const QRegularExpressionMatch m = length.match(QString::fromLatin1(m_data.left(body)));
        if (m.hasMatch())
            m_contentLength = m.captured(1).toLongLong();
    }
    // A reply whose length the header gave is complete once that much has come.
    if (m_contentLength >= 0 && headerEnd(body) && m_data.size() - body >= m_contentLength)
        end();
}

void CddbHttpGet::onClosed()
{
    if (m_ended)
        return;
    if (m_socket && m_socket->bytesAvailable() > 0) {
        onReadyRead();
        if (m_ended)
            return;
    }
    end();
}

void CddbHttpGet::end()
{
    if (m_ended)
        return;
    qsizetype body = 0;
    if (!headerEnd(body)) {
        fail(cFreeDB::kErrReply, QStringLiteral("The reply of the CD database server %1 was cut short.").arg(m_server.host()));
        return;
    }
    static const QRegularExpression statusLine(QStringLiteral("^HTTP/[0-9.]+ ([0-9]{3})(?: ([^\r\n]*))?"));
    const QRegularExpressionMatch m = statusLine.match(QString::fromLatin1(m_data.left(body)));
    if (!m.hasMatch()) {
        fail(cFreeDB::kErrReply, QStringLiteral("The reply of the CD database server %1 could not be read.").arg(m_server.host()));
        return;
    }
    const qint32 status = m.captured(1).toInt();
    if (status != 200) {
        const QString reason = m.captured(2).trimmed();
        fail(status, QStringLiteral("The CD database server %1 refused the request: %2 %3")
                         .arg(m_server.host(), QString::number(status), reason)
                         .trimmed());
        return;
    }
    QByteArray content = m_data.mid(body);
    if (m_contentLength >= 0) {
        if (content.size() < m_contentLength) {
            fail(cFreeDB::kErrReply, QStringLiteral("The reply of the CD database server %1 was cut short.").arg(m_server.host()));
            return;
        }
        content.truncate(m_contentLength);
    }
    abort();
    emit finished(content);
}

void CddbHttpGet::fail(qint32 code, const QString& description)
{
    if (m_ended)
        return;
    abort();
    emit failed(code, description);
}
