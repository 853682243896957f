// Byte-level fixtures of the tag tests: stand-in audio, ID3v2 frames and tags of each
// version, the copy of every fixture into the fuzz targets' seed folder, and small disks
// of the tests' own for full and read-only disks.
#pragma once

#include "../support/SmallDisk.h"
#include "../support/TestFiles.h"
#include "tags/id3/Id3Error.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTest>

namespace Id3Fixtures {

// The bytes of a string literal, zero bytes included, without its final terminator.
template <qsizetype N>
QByteArray B(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}

// Bytes that stand in for MPEG audio: frames of 417 bytes, each beginning with the header
// of an MPEG-1 layer III frame of 128 kbit/s at 44.1 kHz (0xFF 0xFB 0x90), then bytes that
// vary with the position and the seed, so any shift or overwrite shows.
inline QByteArray Audio(int size, quint32 seed = 7)
{
    QByteArray out(size, '\0');
    quint32 x = seed * 2654435761u + 1;
    for (int i = 0; i < size; ++i) {
        if (i % 417 < 3) {
            out[i] = "\xFF\xFB\x90"[i % 417];
            continue;
        }
        x = x * 1103515245u + 12345u;
        out[i] = char(x >> 24);
    }
    return out;
}

inline QByteArray BigEndian(quint32 v, int bytes)
{
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i)
        out += char((v >> (8 * i)) & 0xFF);
    return out;
}

inline QByteArray Synchsafe(quint32 v)
{
    QByteArray out;
    for (int i = 3; i >= 0; --i)
        out += char((v >> (7 * i)) & 0x7F);
    return out;
}

// One frame of a tag of the given major version (2: three-letter id and size; 4: a
// synchsafe size).
inline QByteArray Frame(int version, const QByteArray& id, const QByteArray& data, quint16 flags = 0)
{
    if (version == 2)
        return id + BigEndian(quint32(data.size()), 3) + data;
    const QByteArray size = version == 4 ? Synchsafe(quint32(data.size())) : BigEndian(quint32(data.size()), 4);
    return id + size + BigEndian(flags, 2) + data;
}

// A whole tag: header, body and zero padding.
inline QByteArray Tag(int version, const QByteArray& body, int padding = 0, quint8 flags = 0)
{
    QByteArray tag("ID3");
    tag += char(version);
    tag += char(0);
    tag += char(flags);
    tag += Synchsafe(quint32(body.size() + padding));
    return tag + body + QByteArray(padding, '\0');
}

// Frame data: ISO-8859-1 text after the encoding byte 0.
inline QByteArray Latin1Text(const char* text)
{
    return QByteArray(1, '\0') + QByteArray(text);
}

// Frame data: the encoding byte 1 and UTF-16 with a little-endian byte-order mark.
inline QByteArray Utf16Text(const QString& text)
{
    QByteArray out("\x01\xFF\xFE", 3);
    for (const QChar c : text) {
        out += char(c.unicode() & 0xFF);
        out += char(c.unicode() >> 8);
    }
    return out;
}

struct WrittenFrame
{
    QByteArray id;
    QByteArray data;
    quint16 flags = 0;
    bool operator==(const WrittenFrame& o) const { return id == o.id && data == o.data && flags == o.flags; }
};

// The frames of the version 2.3 tag at the start of the bytes, read independently of the
// classes under test: plain four-byte sizes, the walk ending at a zero id.
inline QList<WrittenFrame> WrittenFrames(const QByteArray& file)
{
    QList<WrittenFrame> frames;
    if (!file.startsWith(B("ID3\x03\x00\x00")))
        return frames;
    const int size = (file[6] << 21) | (file[7] << 14) | (file[8] << 7) | file[9];
    const QByteArray tag = file.mid(10, size);
    int pos = 0;
    while (pos + 10 <= tag.size() && tag[pos] != 0) {
        WrittenFrame f;
        f.id = tag.mid(pos, 4);
        const int n = int(quint32(uchar(tag[pos + 4])) << 24 | uchar(tag[pos + 5]) << 16 | uchar(tag[pos + 6]) << 8
                          | uchar(tag[pos + 7]));
        f.flags = quint16(uchar(tag[pos + 8]) << 8 | uchar(tag[pos + 9]));
        f.data = tag.mid(pos + 10, n);
        frames << f;
        pos += 10 + n;
    }
    return frames;
}

// Keeps a copy of a fixture as a seed of the fuzz targets when VELMARO_ID3_SEEDS names a
// folder (the fuzz script sets it; the tests themselves never do).
inline void Seed(const QString& path)
{
    const QString folder = qEnvironmentVariable("VELMARO_ID3_SEEDS");
    if (folder.isEmpty())
        return;
    const QByteArray bytes = TestFiles::ReadBytes(path);
    if (bytes.isEmpty() || bytes.size() > 64 * 1024)
        return;
    QDir().mkpath(folder);
    const QByteArray name = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
    TestFiles::WriteBytes(folder + u'/' + QString::fromLatin1(name), bytes);
}

// Writes the bytes to the path and keeps them as a seed.
inline bool Make(const QString& path, const QByteArray& bytes)
{
    if (!TestFiles::WriteBytes(path, bytes))
        return false;
    Seed(path);
    return true;
}

// Mounts a small disk of the test's own on the folder, which is made when missing; ""
// when it is mounted, otherwise why the test is skipped.
inline QString MountSmallDisk(SmallDisk& disk, const QString& folder)
{
    QDir().mkpath(folder);
    QString why;
    if (disk.mount(folder, why))
        return QString();
    return QStringLiteral("This machine gives the test no disk of its own (") + why + u')';
}

// An update of a file on a read-only disk raises PermissionDenied and leaves the file as
// it was.
template <class TagClass>
void CheckReadOnlyUpdate(const QString& folder)
{
    SmallDisk disk;
    if (const QString why = MountSmallDisk(disk, folder); !why.isEmpty())
        QSKIP(qPrintable(why));
    const QString path = folder + QStringLiteral("/readonly.mp3");
    const QByteArray content = Audio(1000);
    QVERIFY(Make(path, content));
    QVERIFY(disk.readOnly());
    TagClass tag;
    tag.SetMP3File(path);
    tag.SetTitle(QStringLiteral("Title"));
    try {
        tag.Update();
        QFAIL("no error raised");
    } catch (const Id3Error& e) {
        QCOMPARE(e.Number(), Id3ErrorNumber::PermissionDenied);
        QVERIFY2(e.Description().contains(path), qPrintable(e.Description()));
    }
    QCOMPARE(TestFiles::ReadBytes(path), content);
}

} // namespace Id3Fixtures
