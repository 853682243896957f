// The CD database protocol spoken over HTTP: the disc id of a table of contents, the query
// and read commands with the greeting, and the server's replies read defensively (a status
// line, a match list, an xmcd entry). Pure functions, no network.
#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace Cddb {

constexpr qint32 kFramesPerSecond = 75;
constexpr qint32 kLeadInFrames = 150;  // the two seconds before the first track
constexpr qint32 kMaxTracks = 99;

// A disc's table of contents in frames from the disc's start, lead-in included: each
// track's first frame, and the lead-out's.
struct Toc {
    QList<qint32> offsets;
    qint32 leadout = 0;
};

// The standard disc id: the digit sums of the tracks' start seconds (mod 255), the playing
// time in whole seconds, the track count. Eight lower-case hex digits as text.
quint32 DiscId(const Toc& toc);
QString DiscIdText(quint32 id);
// The disc's length in whole seconds as the query gives it.
qint32 DiscSeconds(const Toc& toc);

struct Greeting {
    QString user, host, client, version;
};

// "cddb query <id> <n> <offsets...> <seconds>" and "cddb read <category> <id>".
QStringList QueryCommand(const Toc& toc);
QStringList ReadCommand(const QString& category, const QString& discId);
// The request's path and query: path?cmd=...&hello=user+host+client+version&proto=6, every
// word percent-encoded and the words joined by "+".
QByteArray RequestTarget(const QByteArray& path, const QStringList& command, const Greeting& greeting);

// A reply: its status number (-1 when the first line holds none), the text after it, and
// for the codes whose data follows (x1x) the data lines and whether the "." that ends
// them came.
struct Reply {
    qint32 status = -1;
    QString text;
    QStringList lines;
    bool terminated = false;
};
Reply ParseReply(const QString& body);
bool HasData(qint32 status);

// One match of a query: "<category> <discid> <title>".
struct Match {
    QString category, discId, title;
};
bool ParseMatch(const QString& line, Match& match);
// The first line of a list of matches that reads as one; false when none does.
bool FirstMatch(const QStringList& lines, Match& match);

// An xmcd entry: the disc's artist and album from DTITLE, each track's title by its
// number from 0 (TTITLEn); values continued over repeated keys are joined.
struct Entry {
    QString artist, album;
    QMap<qint32, QString> titles;
};
Entry ParseEntry(const QStringList& lines);

// "Artist / Title" split at the first " / "; without one both parts are the whole text and
// the result is false.
bool SplitTitle(const QString& text, QString& artist, QString& title);

} // namespace Cddb
