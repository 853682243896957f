// The scripted loopback CD database server.
#include "tests/support/CddbTestServer.h"

#include "components/cAudioCDRipper/cAudioCDRipper.h"
#include "components/cFreeDB/cFreeDB.h"
#include "tests/support/CdImages.h"

#include <QFile>

#include <QTcpSocket>
#include <QTimer>

#include <memory>

const QByteArray CddbTestServer::kSilent = QByteArrayLiteral("\x01silent");

CddbTestServer::CddbTestServer(const QList<QByteArray>& answers, QObject* parent)
    : QObject(parent), m_answers(answers)
{
    connect(&m_server, &QTcpServer::newConnection, this, &CddbTestServer::onConnection);
    m_server.listen(QHostAddress::LocalHost, 0);
}

CddbTestServer::~CddbTestServer()
{
    m_server.close();
    for (QTcpSocket* s : m_open)
        s->abort();
}

QString CddbTestServer::url() const
{
    return QStringLiteral("http://127.0.0.1:%1/~cddb/cddb.cgi").arg(m_server.serverPort());
}

QByteArray CddbTestServer::HttpBytes(const QByteArray& body, const QByteArray& statusLine)
{
    return statusLine + "\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n" + body;
}

QByteArray CddbTestServer::Http(const QStringList& cddbLines)
{
    QByteArray body;
    for (const QString& line : cddbLines)
        body += line.toUtf8() + "\r\n";
    return HttpBytes(body);
}

void CddbTestServer::onConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        m_open << socket;
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_open.removeAll(socket);
            m_pending.remove(socket);
            m_answered.remove(socket);
            socket->deleteLater();
        });
    }
}

void CddbTestServer::onRequest(QTcpSocket* socket)
{
    QByteArray& seen = m_pending[socket];
    seen += socket->readAll();
    if (!seen.contains("\r\n\r\n") || m_answered.contains(socket))
        return;
    m_answered.insert(socket);
    headers << seen;
    requests << QString::fromLatin1(seen.left(seen.indexOf("\r\n")));
    if (m_answers.isEmpty()) {
        socket->abort();
        return;
    }
    const QByteArray answer = m_answers.takeFirst();
    // After the last answer nobody else is let in.
    if (m_answers.isEmpty())
        m_server.close();
    if (answer == kSilent)
        return;
    if (trickleMs <= 0) {
        socket->write(answer);
        socket->disconnectFromHost();
        return;
    }
    // The timer goes with the socket when the client drops the connection.
    auto* timer = new QTimer(socket);
    auto sent = std::make_shared<qsizetype>(0);
    connect(timer, &QTimer::timeout, socket, [socket, timer, answer, sent] {
        socket->write(answer.mid((*sent)++, 1));
        if (*sent >= answer.size()) {
            timer->stop();
            socket->disconnectFromHost();
        }
    });
    timer->start(trickleMs);
}

CddbUrlScope::CddbUrlScope(const QString& url, int connectMs, int replyMs, qint64 maxBytes)
    : m_saved(qgetenv("VELMARO_CDDB_URL")), m_had(qEnvironmentVariableIsSet("VELMARO_CDDB_URL"))
{
    qputenv("VELMARO_CDDB_URL", url.toUtf8());
    SetFreeDBLimits({connectMs, replyMs, maxBytes});
}

CddbUrlScope::~CddbUrlScope()
{
    if (m_had)
        qputenv("VELMARO_CDDB_URL", m_saved);
    else
        qunsetenv("VELMARO_CDDB_URL");
    SetFreeDBLimits({});
}

CddbTestDisc::CddbTestDisc()
    : m_drives({CdImages::WriteAudio(m_dir.path(), QStringLiteral("disc"), {150, 375, 300}).cue})
{
    SetAudioCDRipperFactory({});
}

QByteArray CddbTestDisc::QueryExact()
{
    return CddbTestServer::Http({QStringLiteral("200 rock 0f000b03 Probe Artist / Probe Album")});
}

QByteArray CddbTestDisc::Entry(const QStringList& lines, bool terminated)
{
    QStringList all{QStringLiteral("210 rock 0f000b03 CD database entry follows (until terminating `.')"),
                    QStringLiteral("# xmcd"), QStringLiteral("DISCID=0f000b03")};
    all << lines;
    if (terminated)
        all << QStringLiteral(".");
    return CddbTestServer::Http(all);
}
