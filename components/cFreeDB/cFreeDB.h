// The CD database client the lookup window drives: the drive to look up, the server and the
// greeting, the lookup started by Query, and its results as events. Every event is queued:
// none arrives inside a call, and none after Abort or CloseFreeDB.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class cFreeDB : public QObject
{
    Q_OBJECT
public:
    // Error codes the client reports besides the server's own status numbers (4xx, 5xx).
    enum ErrorCode : qint32 {
        kErrConnection = 1,    // the server could not be reached, or did not answer in time
        kErrNoMatch = 2,       // the database holds no entry for the disc
        kErrReply = 3,         // the server's reply was cut short, too large or unreadable
        kErrDisc = 4,          // the drive holds no disc whose contents can be read
        kErrPartialEntry = 5,  // the entry found has no title for some of the disc's tracks
    };

    explicit cFreeDB(QObject* parent = nullptr);
    ~cFreeDB() override;

    // False when the server cannot be reached (a short connect to it).
    virtual bool IsConnected() = 0;
    // The drive to look up, as drive letter and colon ("D:").
    void SetDrive(const QString& Drive) { m_drive = Drive; }
    void SetLookupOption(qint32 v) { m_lookupOption = v; }
    void SetServerHost(const QString& v) { m_serverHost = v; }
    void SetServerPort(qint32 v) { m_serverPort = v; }
    void SetGreetingUser(const QString& v) { m_greetingUser = v; }
    void SetGreetingHost(const QString& v) { m_greetingHost = v; }
    void SetGreetingClient(const QString& v) { m_greetingClient = v; }
    void SetGreetingVersion(const QString& v) { m_greetingVersion = v; }
    // Starts the lookup of the set drive and returns at once.
    virtual void Query() = 0;
    virtual void Abort() = 0;
    virtual void CloseFreeDB() = 0;

    QString Drive() const { return m_drive; }
    qint32 LookupOption() const { return m_lookupOption; }
    QString ServerHost() const { return m_serverHost; }
    qint32 ServerPort() const { return m_serverPort; }
    QString GreetingUser() const { return m_greetingUser; }
    QString GreetingHost() const { return m_greetingHost; }
    QString GreetingClient() const { return m_greetingClient; }
    QString GreetingVersion() const { return m_greetingVersion; }

signals:
    void Done();
    void Error(qint32 Code, const QString& Description);
    void StateChanged(const QString& State);
    void Message(const QString& Text);
    void ArtistFound(const QString& Artist);
    void AlbumFound(const QString& Album);
    // One per track; TrackNumber counts from 1.
    void TrackFound(const QString& Artist, qint32 TrackNumber, const QString& Title);

protected:
    QString m_drive;
    qint32 m_lookupOption = 0;
    QString m_serverHost;
    qint32 m_serverPort = 0;
    QString m_greetingUser;
    QString m_greetingHost;
    QString m_greetingClient;
    QString m_greetingVersion;
};

// The CDDB-over-HTTP endpoint asked: VELMARO_CDDB_URL when set, else the URL the build
// laid down.
QString FreeDBServerUrl();
// The host of that URL, as the lookup window names it.
QString FreeDBServerHost();

// How long the client waits and how much it reads: the connect (the short check included),
// the whole reply of one request after the connect, and the largest reply taken.
struct FreeDBLimits {
    qint32 connectMs = 8000;
    qint32 replyMs = 20000;
    qint64 maxReplyBytes = 1 << 20;
};
FreeDBLimits GetFreeDBLimits();
void SetFreeDBLimits(const FreeDBLimits& limits);  // tests shorten the waits

using FreeDBFactory = std::function<cFreeDB*(QObject* parent)>;
cFreeDB* CreateFreeDB(QObject* parent);
void SetFreeDBFactory(FreeDBFactory factory);  // an empty factory restores the real one
