// The frame store operations and the properties of cMP3ID3v2.
#include "tags/id3/cMP3ID3v2.h"

#include "tags/id3/Id3Error.h"
#include "tags/id3/Id3Genres.h"

using namespace Id3v2FrameData;

namespace {

QString Source()
{
    return Id3ErrorSource("cMP3ID3v2");
}

bool IsWritableId(const QString& id)
{
    if (id.size() != 4)
        return false;
    for (const QChar c : id) {
        if (!((c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    }
    return true;
}

bool WithoutDescription(const QString& id, const Id3v2Frame& frame)
{
    const Described d = ReadDescribed(id, frame);
    return !d.ok || d.description.isEmpty();
}

} // namespace

QString cMP3ID3v2::GenreName(quint8 Genre)
{
    return Id3GenreName(Genre);
}

QString cMP3ID3v2::Frame(qint32 Index) const
{
    if (Index < 1 || Index > FrameCount())
        throw Id3Error(Id3ErrorNumber::SubscriptOutOfRange,
                       QStringLiteral("There is no frame at position %1.").arg(Index), Source());
    return m_store.Id(Index - 1);
}

void cMP3ID3v2::RemoveFrame(const QString& Index)
{
    if (!m_store.RemoveFrame(Index))
        throw Id3Error(Id3ErrorNumber::InvalidArgument,
                       QStringLiteral("The tag has no frame '%1'.").arg(Index), Source());
}

void cMP3ID3v2::RemoveFrame(qint32 Index)
{
    m_store.RemoveFrame(Frame(Index));
}

void cMP3ID3v2::AddTag(const QString& sFrame, const QString& sTag)
{
    const QString id = sFrame.toUpper();
    if (!IsWritableId(id))
        throw Id3Error(Id3ErrorNumber::InvalidArgument,
                       QStringLiteral("'%1' is not a frame id.").arg(sFrame), Source());
    for (const Id3v2IdFrame& f : Version24To23(id, FrameFromText(id, sTag)))
        m_store.Add(f.id, f.frame);
}

void cMP3ID3v2::RemoveTag(const QString& sFrame, qint32 tagIndex)
{
    if (!m_store.RemoveValue(sFrame, tagIndex))
        throw Id3Error(Id3ErrorNumber::InvalidArgument,
                       QStringLiteral("The frame '%1' has no value %2.").arg(sFrame).arg(tagIndex), Source());
}

void cMP3ID3v2::ReplaceFrame(const QString& id, const Id3v2Frame& frame)
{
    m_store.RemoveFrame(id);
    m_store.Add(id, frame);
}

void cMP3ID3v2::ReplaceText(QString& property, const QString& id, const QString& value)
{
    property = value;
    ReplaceFrame(id, IsUrlFrame(id) ? UrlFrame(value) : TextFrame(value));
}

void cMP3ID3v2::SetArtistURL(const QString& v) { ReplaceText(m_artistUrl, QStringLiteral("WOAR"), v); }
void cMP3ID3v2::SetBuyURL(const QString& v) { ReplaceText(m_buyUrl, QStringLiteral("WCOM"), v); }
void cMP3ID3v2::SetAudioURL(const QString& v) { ReplaceText(m_audioUrl, QStringLiteral("WOAF"), v); }
void cMP3ID3v2::SetCopyright(const QString& v) { ReplaceText(m_copyright, QStringLiteral("TCOP"), v); }
void cMP3ID3v2::SetComposer(const QString& v) { ReplaceText(m_composer, QStringLiteral("TCOM"), v); }
void cMP3ID3v2::SetOriginalArtist(const QString& v) { ReplaceText(m_originalArtist, QStringLiteral("TOPE"), v); }
void cMP3ID3v2::SetEncodedBy(const QString& v) { ReplaceText(m_encodedBy, QStringLiteral("TENC"), v); }
void cMP3ID3v2::SetTitle(const QString& v) { ReplaceText(m_title, QStringLiteral("TIT2"), v); }
void cMP3ID3v2::SetArtist(const QString& v) { ReplaceText(m_artist, QStringLiteral("TPE1"), v); }
void cMP3ID3v2::SetAlbum(const QString& v) { ReplaceText(m_album, QStringLiteral("TALB"), v); }
void cMP3ID3v2::SetYear(const QString& v) { ReplaceText(m_year, QStringLiteral("TYER"), v); }
void cMP3ID3v2::SetTrack(const QString& v) { ReplaceText(m_track, QStringLiteral("TRCK"), v); }

void cMP3ID3v2::SetPlayCounter(const QString& v)
{
    m_playCounter = v;
    ReplaceFrame(QStringLiteral("PCNT"), CounterFrame(v));
}

void cMP3ID3v2::SetLinkTo(const QString& v)
{
    m_linkTo = v;
    const QString id = QStringLiteral("WXXX");
    m_store.RemoveValuesIf(id, [&](const Id3v2Frame& f) { return WithoutDescription(id, f); });
    m_store.Add(id, UserUrlFrame(QString(), v));
}

void cMP3ID3v2::SetComment(const QString& v)
{
    m_comment = v;
    const QString id = QStringLiteral("COMM");
    // Comments with a description belong to other programs and stay; the new comment
    // keeps the language of the one it replaces.
    const QVector<Id3v2Frame> old =
        m_store.RemoveValuesIf(id, [&](const Id3v2Frame& f) { return WithoutDescription(id, f); });
    const QByteArray language = old.isEmpty() ? QByteArray() : ReadDescribed(id, old.first()).language;
    m_store.Add(id, DescribedFrame(language, QString(), v));
}

void cMP3ID3v2::SetLyrics(const QString& v)
{
    m_lyrics = v;
    const QString id = QStringLiteral("USLT");
    const QVector<Id3v2Frame> old = m_store.Values(id);
    const QByteArray language = old.isEmpty() ? QByteArray() : ReadDescribed(id, old.first()).language;
    ReplaceFrame(id, DescribedFrame(language, QString(), v));
}

void cMP3ID3v2::StoreGenreFrame()
{
    // Code 255 means no genre: the frame then holds the text alone, as other programs
    // would show "(255)" as the genre.
    const QString text = m_genre == 255 ? m_otherGenreName
                                        : u'(' + QString::number(m_genre) + u')' + m_otherGenreName;
    ReplaceFrame(QStringLiteral("TCON"), TextFrame(text));
}

void cMP3ID3v2::SetGenre(quint8 v)
{
    m_genre = v;
    StoreGenreFrame();
}

void cMP3ID3v2::SetOtherGenreName(const QString& v)
{
    m_otherGenreName = v;
    StoreGenreFrame();
}
