#include "tags/id3/Id3v2Format.h"

namespace Id3v2Format {

namespace {

quint32 BigEndian(QByteArrayView bytes)
{
    quint32 v = 0;
    for (const char c : bytes)
        v = (v << 8) | uchar(c);
    return v;
}

bool IsIdChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool IsFrameId(QByteArrayView id)
{
    for (const char c : id) {
        if (!IsIdChar(c))
            return false;
    }
    return !id.isEmpty();
}

bool IsPadding(QByteArrayView id)
{
    for (const char c : id) {
        if (c != 0)
            return false;
    }
    return true;
}

// A version 2.4 frame that ends at `end` is followed by what a tag can hold there: its
// end, padding or another frame header.
bool FollowedWell(QByteArrayView body, qsizetype end)
{
    if (end == body.size())
        return true;
    if (end > body.size() || body.size() - end < 4)
        return false;
    const QByteArrayView next = body.sliced(end, 4);
    return IsPadding(next) || IsFrameId(next);
}

} // namespace

quint32 Synchsafe(QByteArrayView fourBytes)
{
    quint32 v = 0;
    for (const char c : fourBytes)
        v = (v << 7) | (uchar(c) & 0x7F);
    return v;
}

void PutSynchsafe(QByteArray& bytes, qsizetype index, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[index + i] = char((value >> (7 * (3 - i))) & 0x7F);
}

void PutLongBigEndian(QByteArray& bytes, qsizetype index, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[index + i] = char((value >> (8 * (3 - i))) & 0xFF);
}

bool ReadHeader(QByteArrayView bytes, Id3v2Header* header)
{
    if (bytes.size() < kHeaderSize || !bytes.startsWith("ID3"))
        return false;
    const quint8 version = quint8(bytes[3]);
    const quint8 revision = quint8(bytes[4]);
    if (version < 2 || version > 4 || revision == 0xFF)
        return false;
    for (int i = 6; i < 10; ++i) {
        if (uchar(bytes[i]) & 0x80)
            return false;
    }
    header->version = version;
    header->revision = revision;
    header->flags = quint8(bytes[5]);
    header->size = Synchsafe(bytes.sliced(6, 4));
    return true;
}

namespace {

// The offset in the bytes as stored of the byte at `decoded` in the bytes after their
// unsynchronisation is undone (RemoveUnsynchronisation).
qsizetype StoredOffset(QByteArrayView stored, qsizetype decoded)
{
    qsizetype at = 0;
    for (qsizetype d = 0; d < decoded && at < stored.size(); ++d)
        at += (uchar(stored[at]) == 0xFF && at + 1 < stored.size() && stored[at + 1] == 0) ? 2 : 1;
    return at;
}

// Walks the frames of the tag body (the bytes after the header), adding each in its
// version 2.3 form to `frames` when that is given. Returns where the tag's frames end in
// the body as stored: at padding or at a header whose id is not a frame id; a frame that
// would reach past the tag takes the rest of it.
qsizetype WalkFrames(const Id3v2Header& header, const QByteArray& rawBody, QVector<Id3v2IdFrame>* frames)
{
    const int version = header.version;
    // A compressed version 2.2 tag has no defined compression: it is skipped whole.
    if (version == 2 && (header.flags & 0x40))
        return qMin(rawBody.size(), qsizetype(header.size));
    // Before version 2.4 unsynchronisation covers the whole tag; the sizes count the
    // bytes as they are after it is undone.
    const bool tagUnsynchronised = header.flags & 0x80;
    const bool undone = version < 4 && tagUnsynchronised;
    const QByteArray body = undone ? Id3v2FrameData::RemoveUnsynchronisation(rawBody) : rawBody;
    const qsizetype end = qMin(body.size(), qsizetype(header.size));
    const QByteArrayView tag = QByteArrayView(body).first(end);

    qsizetype pos = 0;
    if (version >= 3 && (header.flags & 0x40)) {
        if (tag.size() < 4)
            return 0;
        // The extended header's size counts itself in version 2.4, not in version 2.3.
        const quint32 ext = version == 3 ? BigEndian(tag.first(4)) + 4 : Synchsafe(tag.first(4));
        if (ext < 4 || ext > quint32(tag.size()))
            return 0;
        pos = qsizetype(ext);
    }

    const qsizetype idSize = version == 2 ? 3 : 4;
    const qsizetype headerSize = version == 2 ? 6 : 10;
    while (tag.size() - pos >= headerSize) {
        const QByteArrayView id = tag.sliced(pos, idSize);
        if (IsPadding(id) || !IsFrameId(id))
            break;
        qsizetype size;
        quint16 flags = 0;
        if (version == 2) {
            size = qsizetype(BigEndian(tag.sliced(pos + 3, 3)));
        } else {
            const QByteArrayView sizeBytes = tag.sliced(pos + 4, 4);
            size = qsizetype(BigEndian(sizeBytes));
            flags = quint16(BigEndian(tag.sliced(pos + 8, 2)));
            if (version == 4) {
                // Version 2.4 sizes are synchsafe, but some writers put plain numbers
                // there: the reading that lands on the next frame is taken.
                bool synchsafe = true;
                for (const char c : sizeBytes)
                    synchsafe = synchsafe && !(uchar(c) & 0x80);
                const qsizetype plain = size;
                const qsizetype safe = qsizetype(Synchsafe(sizeBytes));
                const qsizetype dataStart = pos + headerSize;
                if (synchsafe && (safe == plain || FollowedWell(tag, dataStart + safe)
                                  || !FollowedWell(tag, dataStart + plain)))
                    size = safe;
            }
        }
        if (size > tag.size() - pos - headerSize) {
            pos = tag.size();
            break;
        }
        if (frames) {
            const QByteArray data = tag.sliced(pos + headerSize, size).toByteArray();
            *frames += Id3v2FrameData::ToVersion23(version, QString::fromLatin1(id), data, flags, tagUnsynchronised);
        }
        pos += headerSize + size;
    }
    return undone ? StoredOffset(rawBody, pos) : pos;
}

} // namespace

qint64 TagLengthAtStart(QByteArrayView start)
{
    Id3v2Header h;
    if (!ReadHeader(start, &h))
        return 0;
    const QByteArray body =
        start.sliced(kHeaderSize).first(qMin(start.size() - kHeaderSize, qsizetype(h.size))).toByteArray();
    qsizetype end = WalkFrames(h, body, nullptr);
    while (end < body.size() && body[end] == 0)
        ++end;
    qint64 length = kHeaderSize + end;
    // A version 2.4 footer stands right after the size the header states.
    if (h.version == 4 && (h.flags & 0x10) && end == qsizetype(h.size)
        && start.sliced(length).first(qMin(start.size() - length, qsizetype(3))) == "3DI")
        length += kHeaderSize;
    return length;
}

QVector<Id3v2IdFrame> ReadFrames(const Id3v2Header& header, const QByteArray& body)
{
    QVector<Id3v2IdFrame> frames;
    WalkFrames(header, body, &frames);
    if (header.version == 4)
        Id3v2FrameData::Version24TagTo23(frames);
    return frames;
}

QByteArray BuildTag(const QVector<Id3v2IdFrame>& frames)
{
    QByteArray tag("ID3\x03\x00\x00\x00\x00\x00\x00", kHeaderSize);
    for (const Id3v2IdFrame& f : frames) {
        if (!f.frame.writable || f.id.size() != 4 || f.id.contains(QStringLiteral("ID3")))
            continue;
        QByteArray head(kHeaderSize, '\0');
        const QByteArray id = f.id.toLatin1();
        head.replace(0, 4, id);
        PutLongBigEndian(head, 4, quint32(f.frame.data.size()));
        head[8] = char(f.frame.flags >> 8);
        head[9] = char(f.frame.flags & 0xFF);
        tag += head;
        tag += f.frame.data;
    }
    tag += QByteArray(4, '\0');
    return tag;
}

void SetSize(QByteArray& tag, quint32 size)
{
    PutSynchsafe(tag, 6, size);
}

} // namespace Id3v2Format
