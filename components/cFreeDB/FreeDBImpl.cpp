// The CD database client over the bounded HTTP GET: query, read of the first match, and the
// events of the entry found.
#include "components/cFreeDB/FreeDBImpl.h"

#include "components/audio/CdDrives.h"
#include "components/cFreeDB/CddbHttp.h"
#include "platform/TextCodec.h"

#include <QNetworkProxy>
#include <QTcpSocket>
#include <QUrl>

namespace {

// The endpoint asked: the URL as given, or with the usual path when it names none.
QUrl serverUrl()
{
    QUrl url(FreeDBServerUrl());
    if (url.path().isEmpty() || url.path() == QLatin1String("/"))
        url.setPath(QStringLiteral("/~cddb/cddb.cgi"));
    return url;
}

} // namespace

bool ReadDriveToc(const QString& drive, Cddb::Toc& toc, QString& why)
{
    const QList<CdDrive> drives = ListCdDrives();
    const CdDrive* found = nullptr;
    for (const CdDrive& d : drives)
        if (d.id.compare(drive, Qt::CaseInsensitive) == 0)
            found = &d;
    if (!found) {
        why = QStringLiteral("There is no CD drive %1.").arg(drive);
        return false;
    }
    QString error;
    const std::shared_ptr<CdDisc> disc = CdDisc::open(*found, error);
    if (!disc || disc->tracks().isEmpty() || disc->tracks().size() > Cddb::kMaxTracks) {
        why = disc ? QStringLiteral("There is no CD in the drive %1.").arg(drive) : error;
        return false;
    }
    toc = {};
    for (const CdTrack& t : disc->tracks())
        toc.offsets << t.firstSector + Cddb::kLeadInFrames;
    const CdTrack& last = disc->tracks().last();
    toc.leadout = last.firstSector + last.sectors + Cddb::kLeadInFrames;
    return true;
}

FreeDBImpl::FreeDBImpl(QObject* parent) : cFreeDB(parent) {}

FreeDBImpl::~FreeDBImpl()
{
    Abort();
}

bool FreeDBImpl::IsConnected()
{
    const QUrl url = serverUrl();
    if (!url.isValid() || url.host().isEmpty() || url.scheme() != QLatin1String("http"))
        return false;
    QTcpSocket socket;
    socket.setProxy(QNetworkProxy::NoProxy);
    socket.connectToHost(url.host(), quint16(url.port(80)));
    // A short check: the window waits for it before it shows.
    const bool connected = socket.waitForConnected(std::min(GetFreeDBLimits().connectMs, 5000));
    socket.abort();
    return connected;
}

void FreeDBImpl::post(std::function<void()> f)
{
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, f = std::move(f)] {
            if (generation == m_generation)
                f();
        },
        Qt::QueuedConnection);
}

void FreeDBImpl::fail(qint32 code, const QString& description)
{
    post([this, code, description] { emit Error(code, description); });
}

void FreeDBImpl::Query()
{
    Abort();
    Cddb::Toc toc;
    QString why;
    if (!ReadDriveToc(m_drive, toc, why)) {
        fail(kErrDisc, why);
        return;
    }
    const QUrl url = serverUrl();
    if (!url.isValid() || url.host().isEmpty() || url.scheme() != QLatin1String("http")) {
        fail(kErrConnection, QStringLiteral("The CD database address %1 is not an http address.").arg(url.toString()));
        return;
    }
    m_trackCount = qint32(toc.offsets.size());
    post([this] { emit StateChanged(QStringLiteral(" Querying...")); });
    request(Cddb::QueryCommand(toc), &FreeDBImpl::queryReplied);
}

void FreeDBImpl::request(const QStringList& command, void (FreeDBImpl::*replied)(const QString&))
{
    const QUrl url = serverUrl();
    const Cddb::Greeting hello{m_greetingUser, m_greetingHost, m_greetingClient, m_greetingVersion};
    const QByteArray target = Cddb::RequestTarget(url.path(QUrl::FullyEncoded).toLatin1(), command, hello);
    auto* http = new CddbHttpGet(url, target, GetFreeDBLimits(), this);
    m_http = http;
    const quint64 generation = m_generation;
    connect(http, &CddbHttpGet::finished, this, [this, http, generation, replied](const QByteArray& body) {
        http->deleteLater();
        if (generation == m_generation)
            (this->*replied)(DecodeText(body));
    });
    connect(http, &CddbHttpGet::failed, this, [this, http, generation](qint32 code, const QString& description) {
        http->deleteLater();
        if (generation == m_generation)
            fail(code, description);
    });
    http->start();
}

void FreeDBImpl::queryReplied(const QString& body)
{
    const Cddb::Reply reply = Cddb::ParseReply(body);
    Cddb::Match match;
    switch (reply.status) {
    case 200:
        if (!Cddb::ParseMatch(reply.text, match)) {
            fail(kErrReply, QStringLiteral("The CD database server's match could not be read."));
            return;
        }
        break;
    case 210:  // exact matches, a list follows
    case 211:  // inexact matches: the first is taken
        if (!reply.terminated) {
            fail(kErrReply, QStringLiteral("The CD database server's list of matches was cut short."));
            return;
        }
        if (!Cddb::FirstMatch(reply.lines, match)) {
            fail(kErrNoMatch, QStringLiteral("No match found in the CD database."));
            return;
        }
        break;
    case 202:
        fail(kErrNoMatch, reply.text.isEmpty() ? QStringLiteral("No match found in the CD database.") : reply.text);
        return;
    default:
        failOnReply(reply);
        return;
    }
    m_matchTitle = match.title;
    post([this] { emit StateChanged(QStringLiteral(" Reading...")); });
    request(Cddb::ReadCommand(match.category, match.discId), &FreeDBImpl::readReplied);
}

void FreeDBImpl::readReplied(const QString& body)
{
    const Cddb::Reply reply = Cddb::ParseReply(body);
    if (reply.status != 210) {
        failOnReply(reply);
        return;
    }
    if (!reply.terminated) {
        fail(kErrReply, QStringLiteral("The CD database entry was cut short."));
        return;
    }
    Cddb::Entry entry = Cddb::ParseEntry(reply.lines);
    // An entry without a disc title still has the one its match was listed with.
    if (entry.artist.trimmed().isEmpty() && entry.album.trimmed().isEmpty())
        Cddb::SplitTitle(m_matchTitle, entry.artist, entry.album);
    // Each result is an event of its own: a window that closes on one sees none after it.
    post([this, artist = entry.artist] { emit ArtistFound(artist); });
    post([this, album = entry.album] { emit AlbumFound(album); });
    // The disc's tracks only, each once: a title for a track the disc does not have is not
    // one of its tracks, and a track without a title (or with a blank one) keeps its name.
    qint32 named = 0;
    for (qint32 number = 1; number <= m_trackCount; ++number) {
        QString artist, title;
        if (!Cddb::SplitTitle(entry.titles.value(number - 1), artist, title))
            artist = entry.artist;
        if (title.trimmed().isEmpty())
            continue;
        ++named;
        post([this, artist, number, title] { emit TrackFound(artist, number, title); });
    }
    // The lookup ends either way; an entry that leaves tracks without titles says so.
    if (named < m_trackCount) {
        fail(kErrPartialEntry, QStringLiteral("The CD database entry has titles for %1 of the %2 tracks.")
                                   .arg(named)
                                   .arg(m_trackCount));
        return;
    }
    post([this] { emit Done(); });
}

void FreeDBImpl::failOnReply(const Cddb::Reply& reply)
{
    // A refusal of the server carries its own number and words; anything else is a reply
    // this client cannot read.
    if (reply.status >= 400) {
        fail(reply.status, reply.text.isEmpty()
                               ? QStringLiteral("The CD database server refused the request: %1").arg(reply.status)
                               : reply.text);
        return;
    }
    fail(kErrReply, QStringLiteral("The reply of the CD database server could not be read."));
}

void FreeDBImpl::Abort()
{
    // Events already queued are dropped with the generation they belong to.
    ++m_generation;
    if (m_http) {
        m_http->abort();
        m_http->deleteLater();
        m_http = nullptr;
    }
}

void FreeDBImpl::CloseFreeDB()
{
    Abort();
}
