#include "tags/id3/Id3v2FrameData.h"

#include "tags/id3/Id3v2Text.h"

#include <QHash>
#include <QStringList>
#include <QUrl>

#include <algorithm>

namespace Id3v2FrameData {

namespace {

using namespace Id3v2Text;

// The parts a frame's data is made of, after its encoding byte.
enum class Part {
    Language,      // three bytes
    Latin1String,  // ISO-8859-1, ended by a zero byte
    String,        // in the frame's encoding, ended by its terminator
    Byte,          // one byte (a picture type)
    Format3,       // three bytes (the image format of a version 2.2 picture)
    Strings,       // strings in the frame's encoding up to the end
    Latin1Rest,    // ISO-8859-1 up to a zero byte or the end
    BinaryRest,    // bytes up to the end
};

using Layout = QVector<Part>;

struct Field
{
    QStringList texts;
    QByteArray bytes;
};

struct Parsed
{
    bool ok = false;
    quint8 encoding = 0;
    QVector<Field> fields;
};

// The layout of the frames whose data begins with an encoding byte; empty for the others.
Layout LayoutOf(const QString& id)
{
    if (id == u"COMM" || id == u"USLT")
        return {Part::Language, Part::String, Part::Strings};
    if (id == u"WXXX")
        return {Part::String, Part::Latin1Rest};
    if (id == u"USER")
        return {Part::Language, Part::Strings};
    if (id == u"APIC")
        return {Part::Latin1String, Part::Byte, Part::String, Part::BinaryRest};
    if (id == u"GEOB")
        return {Part::Latin1String, Part::String, Part::String, Part::BinaryRest};
    if (id.startsWith(u'T') || id == u"IPLS")
        return {Part::Strings};
    return {};
}

Parsed Parse(QByteArrayView data, const Layout& layout)
{
    Parsed out;
    if (data.isEmpty() || layout.isEmpty())
        return out;
    out.encoding = quint8(data[0]);
    qsizetype pos = 1;
    for (const Part part : layout) {
        Field f;
        switch (part) {
        case Part::Language:
        case Part::Format3:
            if (data.size() - pos < 3)
                return out;
            f.bytes = data.sliced(pos, 3).toByteArray();
            pos += 3;
            break;
        case Part::Byte:
            if (pos >= data.size())
                return out;
            f.bytes = data.sliced(pos, 1).toByteArray();
            ++pos;
            break;
        case Part::Latin1String:
        case Part::Latin1Rest:
            f.bytes = ReadLatin1(data, &pos);
            break;
        case Part::String:
            f.texts = QStringList{ReadString(out.encoding, data, &pos)};
            break;
        case Part::Strings:
            f.texts = ReadStrings(out.encoding, data, pos);
            pos = data.size();
            break;
        case Part::BinaryRest:
            f.bytes = data.sliced(qMin(pos, data.size())).toByteArray();
            pos = data.size();
            break;
        }
        out.fields.append(f);
    }
    out.ok = true;
    return out;
}

// The data again, with every string in the given encoding.
QByteArray Build(quint8 encoding, const Layout& layout, const QVector<Field>& fields)
{
    QByteArray out(1, char(encoding));
    for (qsizetype i = 0; i < layout.size() && i < fields.size(); ++i) {
        const Field& f = fields[i];
        switch (layout[i]) {
        case Part::Language:
        case Part::Format3:
        case Part::Byte:
        case Part::BinaryRest:
        case Part::Latin1Rest:
            out += f.bytes;
            break;
        case Part::Latin1String:
            out += f.bytes;
            out += '\0';
            break;
        case Part::String:
            out += Encode(encoding, f.texts.value(0));
            out += Terminator(encoding);
            break;
        case Part::Strings:
            for (qsizetype k = 0; k < f.texts.size(); ++k) {
                if (k > 0)
                    out += Terminator(encoding);
                out += Encode(encoding, f.texts[k]);
            }
            break;
        }
    }
    return out;
}

QStringList AllTexts(const QVector<Field>& fields)
{
    QStringList texts;
    for (const Field& f : fields)
        texts += f.texts;
    return texts;
}

// The frame's data without the bytes its flags put before it; false when the data cannot
// be read (compressed or encrypted).
bool Payload(const Id3v2Frame& frame, QByteArrayView* payload)
{
    if (frame.flags & (kCompressed | kEncrypted))
        return false;
    QByteArrayView data(frame.data);
    if (frame.flags & kGrouped) {
        if (data.isEmpty())
            return false;
        data = data.sliced(1);
    }
    *payload = data;
    return true;
}

QString JoinValues(const QStringList& texts)
{
    QStringList values;
    for (const QString& t : texts) {
        if (!t.isEmpty())
            values.append(t);
    }
    return values.join(u'/');
}

// The decimal digits of a big-endian unsigned number of any length.
QString DecimalOf(QByteArrayView bytes)
{
    QVector<quint8> number(bytes.begin(), bytes.end());
    QString digits;
    for (;;) {
        bool zero = true;
        int rest = 0;
        for (quint8& b : number) {
            const int cur = rest * 256 + b;
            b = quint8(cur / 10);
            rest = cur % 10;
            zero = zero && b == 0;
        }
        digits.prepend(QChar(u'0' + rest));
        if (zero)
            break;
    }
    return digits;
}

// The byte string an address is written as: ISO-8859-1, and any other character as the
// percent-escaped bytes of its UTF-8 form.
QByteArray AddressBytes(const QString& url)
{
    QByteArray out;
    for (const QChar c : url) {
        if (c.unicode() == 0)
            continue;
        if (c.unicode() < 0x100)
            out += char(c.unicode());
        else
            out += QUrl::toPercentEncoding(QString(c));
    }
    return out;
}

Id3v2Frame Unwritable(const QByteArray& data)
{
    Id3v2Frame f;
    f.data = data;
    f.writable = false;
    return f;
}

QString MimeOfImageFormat(const QByteArray& format)
{
    const QByteArray f = format.toUpper();
    if (f == "JPG")
        return QStringLiteral("image/jpeg");
    if (f == "PNG")
        return QStringLiteral("image/png");
    if (f == "-->")
        return QStringLiteral("-->");
    return QStringLiteral("image/") + QString::fromLatin1(format.toLower()).remove(QChar(0));
}

// A version 2.4 date ("2004-05-17T12:30") as the version 2.3 year, date and time frames.
QVector<Id3v2IdFrame> SplitTimestamp(const QString& stamp)
{
    QVector<Id3v2IdFrame> out;
    const QString year = stamp.left(4);
    bool digits = year.size() == 4;
    for (const QChar c : year)
        digits = digits && c.isDigit();
    if (!digits)
        return out;
    out.append({QStringLiteral("TYER"), TextFrame(year)});
    // "yyyy-MM-dd" gives the day and month "ddMM", "THH:mm" the time "HHmm".
    if (stamp.size() >= 10 && stamp.at(4) == u'-' && stamp.at(7) == u'-')
        out.append({QStringLiteral("TDAT"), TextFrame(stamp.mid(8, 2) + stamp.mid(5, 2))});
    if (stamp.size() >= 16 && stamp.at(10) == u'T' && stamp.at(13) == u':')
        out.append({QStringLiteral("TIME"), TextFrame(stamp.mid(11, 2) + stamp.mid(14, 2))});
    return out;
}

} // namespace

bool IsTextFrame(const QString& id)
{
    return id.startsWith(u'T') && id != u"TXXX";
}

bool IsUrlFrame(const QString& id)
{
    return id.startsWith(u'W') && id != u"WXXX";
}

QString TextValue(const QString& id, const Id3v2Frame& frame)
{
    QByteArrayView data;
    if (!Payload(frame, &data))
        return QString();
    if (IsTextFrame(id)) {
        const Parsed p = Parse(data, LayoutOf(id));
        return p.ok ? JoinValues(p.fields.value(0).texts) : QString();
    }
    if (IsUrlFrame(id)) {
        qsizetype pos = 0;
        return QString::fromLatin1(ReadLatin1(data, &pos));
    }
    if (id == u"PCNT")
        return DecimalOf(data);
    return QString();
}

Described ReadDescribed(const QString& id, const Id3v2Frame& frame)
{
    Described out;
    QByteArrayView data;
    if (!Payload(frame, &data))
        return out;
    const Parsed p = Parse(data, LayoutOf(id));
    if (!p.ok)
        return out;
    if (id == u"WXXX") {
        out.description = p.fields[0].texts.value(0);
        out.text = QString::fromLatin1(p.fields[1].bytes);
    } else if (id == u"COMM" || id == u"USLT") {
        out.language = p.fields[0].bytes;
        out.description = p.fields[1].texts.value(0);
        out.text = p.fields[2].texts.value(0);
    } else {
        return out;
    }
    out.ok = true;
    return out;
}

Id3v2Frame TextFrame(const QString& text)
{
    const quint8 enc = EncodingFor({text});
    Id3v2Frame f;
    f.data = QByteArray(1, char(enc)) + Encode(enc, text);
    return f;
}

Id3v2Frame UrlFrame(const QString& url)
{
    Id3v2Frame f;
    f.data = AddressBytes(url);
    return f;
}

Id3v2Frame UserUrlFrame(const QString& description, const QString& url)
{
    const quint8 enc = EncodingFor({description});
    Id3v2Frame f;
    f.data = QByteArray(1, char(enc)) + Encode(enc, description) + Terminator(enc) + AddressBytes(url);
    return f;
}

Id3v2Frame DescribedFrame(const QByteArray& language, const QString& description, const QString& text)
{
    const quint8 enc = EncodingFor({description, text});
    Id3v2Frame f;
    f.data = QByteArray(1, char(enc)) + WritableLanguage(language) + Encode(enc, description) + Terminator(enc)
           + Encode(enc, text);
    return f;
}

Id3v2Frame CounterFrame(const QString& decimal)
{
    bool ok = false;
    const quint64 value = decimal.trimmed().toULongLong(&ok);
    QByteArray bytes;
    for (quint64 v = ok ? value : 0; v != 0; v >>= 8)
        bytes.prepend(char(v & 0xFF));
    if (bytes.size() < 4)
        bytes.prepend(QByteArray(4 - bytes.size(), '\0'));
    Id3v2Frame f;
    f.data = bytes;
    return f;
}

Id3v2Frame FrameFromText(const QString& id, const QString& text)
{
    if (id == u"COMM" || id == u"USLT")
        return DescribedFrame(QByteArray(), QString(), text);
    if (id == u"WXXX")
        return UserUrlFrame(QString(), text);
    if (IsUrlFrame(id))
        return UrlFrame(text);
    if (id == u"PCNT")
        return CounterFrame(text);
    return TextFrame(text);
}

QByteArray WritableLanguage(const QByteArray& language)
{
    if (language.size() == 3) {
        bool letters = true;
        for (const char c : language)
            letters = letters && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'));
        if (letters)
            return language;
    }
    return QByteArrayLiteral("eng");
}

QString MapV22FrameId(const QString& id)
{
    static const QHash<QString, QString> map = {
        {"BUF", "RBUF"}, {"CNT", "PCNT"}, {"COM", "COMM"}, {"CRA", "AENC"}, {"ETC", "ETCO"},
        {"EQU", "EQUA"}, {"GEO", "GEOB"}, {"IPL", "IPLS"}, {"MCI", "MCDI"}, {"MLL", "MLLT"},
        {"PIC", "APIC"}, {"POP", "POPM"}, {"REV", "RVRB"}, {"RVA", "RVAD"}, {"SLT", "SYLT"},
        {"STC", "SYTC"}, {"TAL", "TALB"}, {"TBP", "TBPM"}, {"TCM", "TCOM"}, {"TCO", "TCON"},
        {"TCP", "TCMP"}, {"TCR", "TCOP"}, {"TDA", "TDAT"}, {"TDY", "TDLY"}, {"TEN", "TENC"},
        {"TFT", "TFLT"}, {"TIM", "TIME"}, {"TKE", "TKEY"}, {"TLA", "TLAN"}, {"TLE", "TLEN"},
        {"TMT", "TMED"}, {"TOA", "TOPE"}, {"TOF", "TOFN"}, {"TOL", "TOLY"}, {"TOR", "TORY"},
        {"TOT", "TOAL"}, {"TP1", "TPE1"}, {"TP2", "TPE2"}, {"TP3", "TPE3"}, {"TP4", "TPE4"},
        {"TPA", "TPOS"}, {"TPB", "TPUB"}, {"TRC", "TSRC"}, {"TRD", "TRDA"}, {"TRK", "TRCK"},
        {"TS2", "TSO2"}, {"TSA", "TSOA"}, {"TSC", "TSOC"}, {"TSI", "TSIZ"}, {"TSP", "TSOP"},
        {"TSS", "TSSE"}, {"TST", "TSOT"}, {"TT1", "TIT1"}, {"TT2", "TIT2"}, {"TT3", "TIT3"},
        {"TXT", "TEXT"}, {"TXX", "TXXX"}, {"TYE", "TYER"}, {"UFI", "UFID"}, {"ULT", "USLT"},
        {"WAF", "WOAF"}, {"WAR", "WOAR"}, {"WAS", "WOAS"}, {"WCM", "WCOM"}, {"WCP", "WCOP"},
        {"WPB", "WPUB"}, {"WXX", "WXXX"},
    };
    return map.value(id);
}

QByteArray RemoveUnsynchronisation(const QByteArray& bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out += bytes[i];
        if (uchar(bytes[i]) == 0xFF && i + 1 < bytes.size() && bytes[i + 1] == 0)
            ++i;
    }
    return out;
}

QVector<Id3v2IdFrame> ToVersion23(int version, const QString& id, const QByteArray& data, quint16 flags,
                                  bool tagUnsynchronised)
{
    QString newId = id;
    Id3v2Frame frame;
    frame.data = data;

    if (version == 2) {
        newId = MapV22FrameId(id);
        if (newId.isEmpty())
            return {{id, Unwritable(data)}};
        if (id == u"PIC") {
            // The image format of three letters becomes a MIME type.
            const Layout pic = {Part::Format3, Part::Byte, Part::String, Part::BinaryRest};
            Parsed p = Parse(data, pic);
            if (!p.ok)
                return {{newId, Unwritable(data)}};
            p.fields[0].bytes = MimeOfImageFormat(p.fields[0].bytes).toLatin1();
            frame.data = Build(p.encoding, LayoutOf(newId), p.fields);
        }
    } else if (version == 3) {
        frame.flags = flags;
    } else {
        const quint8 status = quint8(flags >> 8);
        const quint8 format = quint8(flags & 0xFF);
        // Compressed or encrypted data cannot be carried over without being unpacked.
        if (format & 0x0C)
            return {{id, Unwritable(data)}};
        QByteArray d = data;
        int group = -1;
        if (format & 0x40) {
            if (d.isEmpty())
                return {{id, Unwritable(data)}};
            group = uchar(d[0]);
            d.remove(0, 1);
        }
        if (format & 0x01) {
            if (d.size() < 4)
                return {{id, Unwritable(data)}};
            d.remove(0, 4);
        }
        if ((format & 0x02) || tagUnsynchronised)
            d = RemoveUnsynchronisation(d);
        frame.flags = quint16((status & 0x70) << 9);
        if (group >= 0) {
            d.prepend(char(group));
            frame.flags |= kGrouped;
        }
        frame.data = d;
    }

    // Version 2.3 knows only ISO-8859-1 and UTF-16: texts in another encoding are written
    // again in one of those; a frame whose layout is unknown to us cannot be.
    QByteArrayView payload;
    if (Payload(frame, &payload) && !payload.isEmpty() && quint8(payload[0]) > Id3v2Text::Utf16) {
        const Layout layout = LayoutOf(newId);
        const Parsed p = Parse(payload, layout);
        if (layout.isEmpty())
            frame.writable = !(newId == u"SYLT" || newId == u"OWNE" || newId == u"COMR");
        else if (!p.ok)
            frame.writable = false;
        else if (p.encoding <= Id3v2Text::Utf8) {
            const QByteArray rebuilt = Build(EncodingFor(AllTexts(p.fields)), layout, p.fields);
            frame.data = (frame.flags & kGrouped) ? frame.data.left(1) + rebuilt : rebuilt;
        }
    }

    if (version == 4)
        return Version24To23(newId, frame);
    return {{newId, frame}};
}

QVector<Id3v2IdFrame> Version24To23(const QString& id, const Id3v2Frame& frame)
{
    // Frames that only version 2.4 has and version 2.3 has nothing to hold them in.
    static const QStringList withoutCounterpart = {
        "ASPI", "EQU2", "RVA2", "SEEK", "SIGN", "TDEN", "TDRL", "TDTG", "TMOO", "TPRO", "TSOA", "TSOP", "TSOT", "TSST",
    };
    if (withoutCounterpart.contains(id))
        return {{id, Unwritable(frame.data)}};
    // The people involved and the musicians (who played which instrument) are both
    // lists of pairs, as version 2.3 keeps its involved people.
    if (id == u"TIPL" || id == u"TMCL")
        return {{QStringLiteral("IPLS"), frame}};
    if (id == u"TDRC" || id == u"TDOR") {
        // The dates that version 2.3 keeps as a year (with day, month and time for the
        // recording); one without a year is left out.
        const QVector<Id3v2IdFrame> split =
            frame.writable ? SplitTimestamp(TextValue(id, frame)) : QVector<Id3v2IdFrame>();
        if (split.isEmpty())
            return {{id, Unwritable(frame.data)}};
        if (id == u"TDRC")
            return split;
        return {{QStringLiteral("TORY"), split.first().frame}};
    }
    return {{id, frame}};
}

void Version24TagTo23(QVector<Id3v2IdFrame>& frames)
{
    const auto has = [&](const char* id) {
        return std::any_of(frames.cbegin(), frames.cend(),
                           [&](const Id3v2IdFrame& f) { return f.id == QLatin1String(id); });
    };
    // Without a recording date the release date gives the year.
    if (!has("TYER") && !has("TDRC")) {
        for (Id3v2IdFrame& f : frames) {
            if (f.id != u"TDRL")
                continue;
            const QVector<Id3v2IdFrame> split = SplitTimestamp(TextValue(f.id, f.frame));
            if (!split.isEmpty())
                f = split.first();
            break;
        }
    }

    // Version 2.3 has one list of involved people: the pairs of the people and of the
    // musicians join in the first list's place.
    const Layout layout = LayoutOf(QStringLiteral("IPLS"));
    QVector<qsizetype> lists;
    QStringList pairs;
    for (qsizetype i = 0; i < frames.size(); ++i) {
        const Id3v2IdFrame& f = frames[i];
        if (f.id != u"IPLS" || !f.frame.writable)
            continue;
        const bool packed = f.frame.flags & (kCompressed | kEncrypted | kGrouped);
        const Parsed p = packed ? Parsed() : Parse(f.frame.data, layout);
        if (!p.ok)
            return;  // a list that cannot be read is not merged, nor are the others
        QStringList texts = p.fields.value(0).texts;
        if (texts.size() % 2 != 0)
            texts.append(QString());  // a name without its part keeps the next pair in step
        pairs += texts;
        lists.append(i);
    }
    if (lists.size() < 2)
        return;
    frames[lists.first()].frame.data = Build(EncodingFor(pairs), layout, {Field{pairs, {}}});
    for (qsizetype k = lists.size() - 1; k > 0; --k)
        frames.remove(lists[k]);
}

} // namespace Id3v2FrameData
