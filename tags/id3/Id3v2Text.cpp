#include "tags/id3/Id3v2Text.h"

namespace Id3v2Text {

namespace {

bool IsWide(quint8 encoding)
{
    return encoding == Utf16 || encoding == Utf16BigEndian;
}

QString DecodeUtf16(QByteArrayView bytes, bool bigEndian)
{
    QString out;
    out.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const uchar a = uchar(bytes[i]);
        const uchar b = uchar(bytes[i + 1]);
        out.append(QChar(char16_t(bigEndian ? (a << 8 | b) : (b << 8 | a))));
    }
    return out;
}

QString Decode(quint8 encoding, QByteArrayView bytes)
{
    switch (encoding) {
    case Utf16: {
        bool bigEndian = false;
        if (bytes.size() >= 2 && uchar(bytes[0]) == 0xFE && uchar(bytes[1]) == 0xFF) {
            bigEndian = true;
            bytes = bytes.sliced(2);
        } else if (bytes.size() >= 2 && uchar(bytes[0]) == 0xFF && uchar(bytes[1]) == 0xFE) {
            bytes = bytes.sliced(2);
        }
        return DecodeUtf16(bytes, bigEndian);
    }
    case Utf16BigEndian:
        return DecodeUtf16(bytes, true);
    case Utf8:
        if (bytes.startsWith("\xEF\xBB\xBF"))
            bytes = bytes.sliced(3);
        return QString::fromUtf8(bytes);
    default:
        return QString::fromLatin1(bytes);
    }
}

} // namespace

QString ReadString(quint8 encoding, QByteArrayView data, qsizetype* pos)
{
    const qsizetype start = qMin(*pos, data.size());
    qsizetype end = data.size();
    qsizetype next = data.size();
    if (IsWide(encoding)) {
        for (qsizetype i = start; i + 1 < data.size(); i += 2) {
            if (data[i] == 0 && data[i + 1] == 0) {
                end = i;
                next = i + 2;
                break;
            }
        }
    } else {
        const qsizetype zero = data.indexOf('\0', start);
        if (zero >= 0) {
            end = zero;
            next = zero + 1;
        }
    }
    *pos = next;
    return Decode(encoding, data.sliced(start, end - start));
}

QStringList ReadStrings(quint8 encoding, QByteArrayView data, qsizetype pos)
{
    QStringList out;
    while (pos < data.size())
        out.append(ReadString(encoding, data, &pos));
    return out;
}

quint8 EncodingFor(const QStringList& texts)
{
    for (const QString& text : texts) {
        for (const QChar c : text) {
            if (c.unicode() > 0xFF)
                return Utf16;
        }
    }
    return Latin1;
}

QByteArray Encode(quint8 encoding, const QString& text)
{
    QString clean = text;
    clean.remove(QChar(0));
    switch (encoding) {
    case Utf16:
    case Utf16BigEndian: {
        const bool bigEndian = encoding == Utf16BigEndian;
        QByteArray out;
        out.reserve(2 + clean.size() * 2);
        if (!bigEndian)
            out.append("\xFF\xFE", 2);
        for (const QChar c : clean) {
            const char hi = char(c.unicode() >> 8);
            const char lo = char(c.unicode() & 0xFF);
            if (bigEndian)
                out.append(hi).append(lo);
            else
                out.append(lo).append(hi);
        }
        return out;
    }
    case Utf8:
        return clean.toUtf8();
    default:
        return clean.toLatin1();
    }
}

QByteArray Terminator(quint8 encoding)
{
    return IsWide(encoding) ? QByteArray(2, '\0') : QByteArray(1, '\0');
}

QByteArray ReadLatin1(QByteArrayView data, qsizetype* pos)
{
    const qsizetype start = qMin(*pos, data.size());
    qsizetype zero = data.indexOf('\0', start);
    if (zero < 0) {
        *pos = data.size();
        return data.sliced(start).toByteArray();
    }
    *pos = zero + 1;
    return data.sliced(start, zero - start).toByteArray();
}

} // namespace Id3v2Text
