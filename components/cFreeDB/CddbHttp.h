// One HTTP/1.0 GET over a plain TCP connection, bounded in time and size: a connect
// timeout, a deadline for the whole reply once connected, and a cap on the reply's bytes.
// Ends with exactly one of finished or failed, both raised from the event loop (never
// inside start), and with neither once aborted.
#pragma once

#include "components/cFreeDB/cFreeDB.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>
#include <QUrl>

class QTcpSocket;

class CddbHttpGet : public QObject
{
    Q_OBJECT
public:
    // target: the request's path and query.
    CddbHttpGet(const QUrl& server, const QByteArray& target, const FreeDBLimits& limits, QObject* parent = nullptr);
    ~CddbHttpGet() override;

    void start();
    void abort();

signals:
    // The body of a reply with HTTP status 200.
    void finished(const QByteArray& body);
    // Code: cFreeDB::kErrConnection or kErrReply, or the HTTP status of a refused request.
    void failed(qint32 code, const QString& description);

private:
    void onConnected();
    void onReadyRead();
    void onClosed();
    void fail(qint32 code, const QString& description);
    void end();
    bool headerEnd(qsizetype& at) const;

    QUrl m_server;
    QByteArray m_target;
    FreeDBLimits m_limits;
    QTcpSocket* m_socket = nullptr;
    QTimer m_timer;
    QByteArray m_data;
    qint64 m_contentLength = -1;  // from the header, when it gave one
    bool m_connected = false;
    bool m_ended = false;
};
