// A CD database server on 127.0.0.1 for the tests: answers a bounded number of HTTP requests
// from a script, in order, records each request line, and stops listening by itself after
// the last answer. A connection that sends no request (the client's connection check) takes
// no answer.
#pragma once

#include "tests/support/CdImages.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>

class QTcpSocket;

class CddbTestServer : public QObject
{
    Q_OBJECT
public:
    // An answer that is never sent: the server reads the request and keeps the connection
    // open without a word.
    static const QByteArray kSilent;

    explicit CddbTestServer(const QList<QByteArray>& answers, QObject* parent = nullptr);
    ~CddbTestServer() override;

    // http://127.0.0.1:<port>/~cddb/cddb.cgi
    QString url() const;
    bool isListening() const { return m_server.isListening(); }

    // A whole HTTP reply: status 200 and the CDDB text, each line ended by CR LF.
    static QByteArray Http(const QStringList& cddbLines);
    static QByteArray HttpBytes(const QByteArray& body, const QByteArray& statusLine = "HTTP/1.0 200 OK");

    QStringList requests;  // "GET /~cddb/cddb.cgi?... HTTP/1.0"
    QList<QByteArray> headers;  // each whole request as sent
    // When set, each answer is sent one byte at a time, this many milliseconds apart.
    int trickleMs = 0;

private:
    void onConnection();
    void onRequest(QTcpSocket* socket);

    QTcpServer m_server;
    QList<QByteArray> m_answers;
    QList<QTcpSocket*> m_open;
    QHash<QTcpSocket*, QByteArray> m_pending;  // what each connection sent so far
    QSet<QTcpSocket*> m_answered;
};

// Sets VELMARO_CDDB_URL while it lives, and the client's limits (short waits for tests).
class CddbUrlScope
{
public:
    explicit CddbUrlScope(const QString& url, int connectMs = 5000, int replyMs = 10000, qint64 maxBytes = 1 << 20);
    ~CddbUrlScope();

private:
    QByteArray m_saved;
    bool m_had = false;
};

// The lookup tests' disc: three audio tracks of 2, 5 and 4 seconds (disc id 0f000b03), listed
// as the image drive while it lives, with the real ripper reading it.
class CddbTestDisc
{
public:
    CddbTestDisc();

    // The server's answers about it: the exact match of the query, and its entry (the
    // terminating "." left off on request).
    static QByteArray QueryExact();
    static QByteArray Entry(const QStringList& lines, bool terminated = true);

private:
    QTemporaryDir m_dir;
    CdImages::ListedAsDrives m_drives;  // after the folder its image is written in
};
