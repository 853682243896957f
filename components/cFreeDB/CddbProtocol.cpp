// The CD database protocol: disc id, commands, and the readers of the server's replies.
#include "components/cFreeDB/CddbProtocol.h"

#include <QRegularExpression>
#include <QUrl>

namespace Cddb {

namespace {

qint32 digitSum(qint32 n)
{
    qint32 sum = 0;
    for (; n > 0; n /= 10)
        sum += n % 10;
    return sum;
}

// The xmcd escapes (\n, \t, \\) and raw control characters: a title stays one line of
// plain text, a backslash stays a backslash.
QString plainValue(const QString& raw)
{
    QString out;
    out.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        QChar c = raw[i];
        if (c == u'\\' && i + 1 < raw.size()) {
            const QChar next = raw[i + 1];
            if (next == u'n' || next == u't') {
                out += u' ';
                ++i;
                continue;
            }
            if (next == u'\\') {
                out += u'\\';
                ++i;
                continue;
            }
        }
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u' ';
        out += c;
    }
    return out;
}

} // namespace

quint32 DiscId(const Toc& toc)
{
    if (toc.offsets.isEmpty())
        return 0;
    quint32 n = 0;
    for (qint32 offset : toc.offsets)
        n += quint32(digitSum(offset / kFramesPerSecond));
    const quint32 t = quint32(toc.leadout / kFramesPerSecond - toc.offsets.first() / kFramesPerSecond);
    return (n % 0xff) << 24 | (t & 0xffff) << 8 | quint32(toc.offsets.size() & 0xff);
}

QString DiscIdText(quint32 id)
{
    return QStringLiteral("%1").arg(id, 8, 16, QLatin1Char('0'));
}

qint32 DiscSeconds(const Toc& toc)
{
    return toc.leadout / kFramesPerSecond;
}

QStringList QueryCommand(const Toc& toc)
{
    QStringList words{QStringLiteral("cddb"), QStringLiteral("query"), DiscIdText(DiscId(toc)),
                      QString::number(toc.offsets.size())};
    for (qint32 offset : toc.offsets)
        words << QString::number(offset);
    words << QString::number(DiscSeconds(toc));
    return words;
}

QStringList ReadCommand(const QString& category, const QString& discId)
{
    return {QStringLiteral("cddb"), QStringLiteral("read"), category, discId};
}

QByteArray RequestTarget(const QByteArray& path, const QStringList& command, const Greeting& greeting)
{
    auto join = [](const QStringList& words) {
        QByteArrayList encoded;
        for (const QString& w : words)
            encoded << QUrl::toPercentEncoding(w);
        return encoded.join('+');
    };
    return path + "?cmd=" + join(command) + "&hello="
        + join({greeting.user, greeting.host, greeting.client, greeting.version}) + "&proto=6";
}

bool HasData(qint32 status)
{
    return status >= 100 && status <= 999 && (status / 10) % 10 == 1;
}

Reply ParseReply(const QString& body)
{
    Reply reply;
    QStringList lines = body.split(u'\n');
    for (QString& line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    static const QRegularExpression statusLine(QStringLiteral("^([0-9]{3})(?: (.*))?$"));
    const QRegularExpressionMatch m = statusLine.match(lines.value(0));
    if (!m.hasMatch())
        return reply;
    reply.status = m.captured(1).toInt();
    reply.text = m.captured(2).trimmed();
    if (!HasData(reply.status))
        return reply;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i] == QLatin1String(".")) {
            reply.terminated = true;
            break;
        }
        reply.lines << lines[i];
    }
    return reply;
}

bool ParseMatch(const QString& line, Match& match)
{
    // A category is one word, a disc id eight hex digits: a line of anything else (a blank
    // line, a remark, a broken line) is no match.
    static const QRegularExpression category(QStringLiteral("^[A-Za-z0-9_-]{1,64}$"));
    static const QRegularExpression discId(QStringLiteral("^[0-9A-Fa-f]{8}$"));
    const QStringList parts = line.split(u' ');
    if (parts.size() < 2 || !category.match(parts[0]).hasMatch() || !discId.match(parts[1]).hasMatch())
        return false;
    match.category = parts[0];
    match.discId = parts[1];
    match.title = parts.mid(2).join(u' ');
    return true;
}

bool FirstMatch(const QStringList& lines, Match& match)
{
    for (const QString& line : lines)
        if (ParseMatch(line, match))
            return true;
    return false;
}

Entry ParseEntry(const QStringList& lines)
{
    Entry entry;
    QString dtitle;
    for (const QString& line : lines) {
        if (line.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0)
            continue;  // not a "KEY=value" line
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1);
        if (key == QLatin1String("DTITLE")) {
            dtitle += value;
        } else if (key.startsWith(QLatin1String("TTITLE"))) {
            bool ok = false;
            const QString digits = key.mid(6);
            const qint32 n = digits.toInt(&ok);
            // Digits only: "TTITLE+1" or "TTITLE 1" is no track.
            static const QRegularExpression allDigits(QStringLiteral("^[0-9]{1,3}$"));
            if (ok && allDigits.match(digits).hasMatch() && n < kMaxTracks)
                entry.titles[n] += value;
        }
    }
    SplitTitle(plainValue(dtitle), entry.artist, entry.album);
    for (QString& t : entry.titles)
        t = plainValue(t);
    return entry;
}

bool SplitTitle(const QString& text, QString& artist, QString& title)
{
    const qsizetype at = text.indexOf(QLatin1String(" / "));
    if (at < 0) {
        artist = title = text;
        return false;
    }
    artist = text.left(at);
    title = text.mid(at + 3);
    return true;
}

} // namespace Cddb
