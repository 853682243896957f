#include "tags/id3/cMP3ID3v1.h"

#include "tags/id3/Id3Error.h"
#include "tags/id3/Id3File.h"
#include "tags/id3/Id3Genres.h"
#include "tags/id3/Mp3AudioCheck.h"

#include <QByteArray>

namespace {

constexpr qint64 kBlockSize = 128;

QString Source()
{
    return Id3ErrorSource("cMP3ID3v1");
}

// A field's text: every NUL removed wherever it stands, then the blanks at both ends.
QString StripNulChars(const QByteArray& field)
{
    QString text = QString::fromLatin1(field);
    text.remove(QChar(0));
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == u' ')
        ++begin;
    while (end > begin && text.at(end - 1) == u' ')
        --end;
    return text.mid(begin, end - begin);
}

// The text left-aligned in a field of `width` bytes, blank-padded or cut.
QByteArray Field(const QString& text, int width)
{
    QByteArray bytes = text.left(width).toLatin1();
    bytes.append(QByteArray(width - bytes.size(), ' '));
    return bytes;
}

} // namespace

QString cMP3ID3v1::GenreName(quint8 genre)
{
    return Id3GenreName(genre);
}

void cMP3ID3v1::SetMP3File(const QString& path)
{
    m_path = path;
    ReadId3v1Block();
}

void cMP3ID3v1::Update()
{
    WriteId3v1Block();
}

void cMP3ID3v1::ReadId3v1Block()
{
    m_hasTag = false;
    m_comment.clear();
    m_artist.clear();
    m_album.clear();
    m_year.clear();
    m_genre = 255;
    m_title.clear();
    m_track = 0;

    Id3File file(m_path, Id3File::ReadOnly, Source());
    const qint64 size = file.Size();
    // A file of one block or less holds no audio, so its last 128 bytes are not a tag.
    if (size <= kBlockSize)
        return;
    const QByteArray block = file.ReadAt(size - kBlockSize, kBlockSize);
    if (block.size() != kBlockSize || !block.startsWith("TAG"))
        return;
    m_hasTag = true;
    m_title = StripNulChars(block.mid(3, 30));
    m_artist = StripNulChars(block.mid(33, 30));
    m_album = StripNulChars(block.mid(63, 30));
    m_year = StripNulChars(block.mid(93, 4));
    m_comment = StripNulChars(block.mid(97, 28));
    m_track = quint8(block.at(126));
    m_genre = quint8(block.at(127));
}

void cMP3ID3v1::WriteId3v1Block()
{
    Id3File file(m_path, Id3File::ReadWrite, Source());
    const qint64 size = file.Size();
    // Without at least one byte of audio before it, a block would make the file a bare tag;
    // and after any other audio than MP3 frames it makes a file other programs refuse.
    if (size <= kBlockSize)
        throw NotValidMp3Error(m_path, Source());
    RequireMp3Audio(file);

    QByteArray fields;
    fields.reserve(kBlockSize - 3);
    fields += Field(m_title, 30);
    fields += Field(m_artist, 30);
    fields += Field(m_album, 30);
    fields += Field(m_year, 4);
    fields += Field(m_comment, 28);
    fields += char(0);
    fields += char(m_track);
    fields += char(m_genre);

    if (file.ReadAt(size - kBlockSize, 3) == "TAG") {
        file.WriteAt(size - kBlockSize + 3, fields);
        file.Sync();
        return;
    }
    try {
        file.WriteAt(size, QByteArrayLiteral("TAG") + fields);
        file.Sync();
    } catch (const Id3Error&) {
        // A block written in part would leave the file with junk after its audio.
        file.Truncate(size);
        throw;
    }
}
