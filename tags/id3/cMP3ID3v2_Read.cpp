// Reading the ID3v2 tag of a file into cMP3ID3v2: the header search, the frame walk and
// the properties taken from the frames.
#include "tags/id3/cMP3ID3v2.h"

#include "tags/id3/Id3File.h"
#include "tags/id3/Id3Genres.h"
#include "tags/id3/Id3v2Format.h"

using namespace Id3v2FrameData;

namespace {

constexpr qint64 kChunk = 4096;
// How far the search for the tag's header reads. A tag stands at the start of the file,
// after at most a few stray bytes; without this bound a file of zeros (a download whose
// space was taken but never filled) or a stream whose frames the search does not stop at
// would be read to its end, gigabytes, before the window could show its values.
constexpr qint64 kSearchBound = qint64(4) << 20;

// The decimal number 0..255 that the text is, digits only; -1 otherwise.
int GenreNumber(const QString& text)
{
    if (text.isEmpty() || text.size() > 3)
        return -1;
    int n = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return -1;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n <= 255 ? n : -1;
}

} // namespace

void cMP3ID3v2::SetMP3File(const QString& path)
{
    m_path = path;
    ReadId3v2Tag();
}

void cMP3ID3v2::Reset()
{
    m_store.Clear();
    m_tagPosition = 0;
    m_tagVersion = 0;
    for (QString* p : {&m_artistUrl, &m_buyUrl, &m_audioUrl, &m_copyright, &m_composer, &m_originalArtist,
                       &m_linkTo, &m_playCounter, &m_encodedBy, &m_title, &m_artist, &m_album, &m_year,
                       &m_comment, &m_lyrics, &m_otherGenreName, &m_track})
        p->clear();
    m_genre = 255;
}

void cMP3ID3v2::ReadId3v2Tag()
{
    Reset();
    Id3File file(m_path, Id3File::ReadOnly, Id3ErrorSource("cMP3ID3v2"));
    const qint64 position = FindId3v2Header(file);
    if (position == 0)
        return;
    const qint64 start = position - 4;
    Id3v2Header header;
    Id3v2Format::ReadHeader(file.ReadAt(start, Id3v2Format::kHeaderSize), &header);
    m_tagPosition = position;
    m_tagVersion = header.version;
    const QByteArray body = file.ReadAt(start + Id3v2Format::kHeaderSize, header.size);
    for (const Id3v2IdFrame& f : Id3v2Format::ReadFrames(header, body))
        StoreId3v2Frame(f.id, f.frame);
}

// The 1-based position of the byte after the first "ID3" that begins a valid header, or 0.
// The file is searched in chunks of 4096 bytes that overlap by three, so a marker across
// two chunks is found; the search ends with the first chunk that holds the start of an
// MPEG audio frame (0xFF 0xFB), as a tag stands before the audio, and after the first
// few megabytes.
qint64 cMP3ID3v2::FindId3v2Header(const Id3File& file)
{
    const qint64 size = qMin(file.Size(), kSearchBound);
    for (qint64 c = 0; c < size; c += kChunk - 3) {
        const bool last = c + kChunk + 1 >= size;
        const QByteArray chunk = file.ReadAt(c, last ? size - c : kChunk);
        for (qsizetype at = chunk.indexOf("ID3"); at >= 0; at = chunk.indexOf("ID3", at + 1)) {
            const QByteArray head = at + Id3v2Format::kHeaderSize <= chunk.size()
                                        ? chunk.mid(at, Id3v2Format::kHeaderSize)
                                        : file.ReadAt(c + at, Id3v2Format::kHeaderSize);
            Id3v2Header header;
            if (Id3v2Format::ReadHeader(head, &header))
                return c + at + 4;
        }
        if (last || chunk.contains("\xFF\xFB"))
            break;
    }
    return 0;
}

void cMP3ID3v2::StoreId3v2Frame(const QString& id, const Id3v2Frame& frame)
{
    m_store.Add(id, frame);
    // A frame without a version 2.3 form holds data as its own version packed it.
    if (!frame.writable)
        return;

    static const QHash<QString, QString cMP3ID3v2::*> plain = {
        {QStringLiteral("TRCK"), &cMP3ID3v2::m_track},
        {QStringLiteral("TENC"), &cMP3ID3v2::m_encodedBy},
        {QStringLiteral("TCOP"), &cMP3ID3v2::m_copyright},
        {QStringLiteral("TOPE"), &cMP3ID3v2::m_originalArtist},
        {QStringLiteral("TCOM"), &cMP3ID3v2::m_composer},
        {QStringLiteral("TYER"), &cMP3ID3v2::m_year},
        {QStringLiteral("TIT2"), &cMP3ID3v2::m_title},
        {QStringLiteral("TPE1"), &cMP3ID3v2::m_artist},
        {QStringLiteral("TALB"), &cMP3ID3v2::m_album},
        {QStringLiteral("WOAF"), &cMP3ID3v2::m_audioUrl},
        {QStringLiteral("WOAR"), &cMP3ID3v2::m_artistUrl},
        {QStringLiteral("WCOM"), &cMP3ID3v2::m_buyUrl},
        {QStringLiteral("PCNT"), &cMP3ID3v2::m_playCounter},
    };
    if (const auto it = plain.constFind(id); it != plain.constEnd()) {
        this->*(it.value()) = TextValue(id, frame);
        return;
    }
    if (id == u"TCON") {
        StoreGenre(TextValue(id, frame));
        return;
    }
    if (id == u"COMM" || id == u"WXXX" || id == u"USLT") {
        const Described d = ReadDescribed(id, frame);
        if (!d.ok)
            return;
        if (id == u"USLT")
            m_lyrics = d.text;
        else if (!d.description.isEmpty())
            return;  // another program's data, not the user's comment or link
        else if (id == u"WXXX")
            m_linkTo = d.text;
        else if (m_comment.isEmpty())
            m_comment = d.text;
        else
            m_comment += QStringLiteral("\r\n") + d.text;
    }
}

// "(17)Rock" gives code 17 and "Rock"; "(17)" (or one character after it) gives 17 and the
// table's name. Without a code in brackets, a bare code ("17") or a name of the table
// ("Rock", "hip-hop") gives its code too; any other text is the genre's text alone.
void cMP3ID3v2::StoreGenre(const QString& text)
{
    const qsizetype open = text.indexOf(u'(');
    const qsizetype close = text.indexOf(u')');
    if (open >= 0 && close > open) {
        const int code = GenreNumber(text.mid(open + 1, close - open - 1));
        if (code < 0) {
            m_otherGenreName = text;
            return;
        }
        m_genre = quint8(code);
        const QString after = text.mid(close + 1);
        m_otherGenreName = after.size() >= 2 ? after : GenreName(m_genre);
        return;
    }
    m_otherGenreName = text;
    if (const int code = GenreNumber(text); code >= 0) {
        m_genre = quint8(code);
        m_otherGenreName = GenreName(m_genre);
    } else if (const int named = Id3GenreCode(text); named >= 0) {
        m_genre = quint8(named);
    }
}
