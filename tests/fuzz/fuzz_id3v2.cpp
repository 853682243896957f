// Fuzz target of the ID3v2 class: any file is read without fault; an update without
// changes keeps the audio (all that followed a valid tag at the start, or the whole file)
// and reads back with the same frames and properties, or refuses a file without MP3 frames
// and leaves it as it was; values set through the properties read back as set.
#include "FuzzFile.h"

#include "tags/id3/Id3Error.h"
#include "tags/id3/Id3v2Format.h"
#include "tags/id3/cMP3ID3v2.h"

namespace {

QStringList Texts(const cMP3ID3v2& t)
{
    return {t.ArtistURL(), t.BuyURL(), t.AudioURL(), t.Copyright(), t.Composer(), t.OriginalArtist(), t.LinkTo(),
            t.PlayCounter(), t.EncodedBy(), t.Title(), t.Artist(), t.Album(), t.Year(), t.Comment(), t.Lyrics(),
            t.OtherGenreName(), t.Track()};
}

bool SameFrames(const QVector<Id3v2IdFrame>& a, const QVector<Id3v2IdFrame>& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].id != b[i].id || a[i].frame.data != b[i].frame.data || a[i].frame.flags != b[i].frame.flags)
            return false;
    }
    return true;
}

QVector<Id3v2IdFrame> WrittenFramesOf(const QByteArray& file)
{
    Id3v2Header header;
    if (!Id3v2Format::ReadHeader(file, &header))
        return {};
    return Id3v2Format::ReadFrames(header, file.mid(Id3v2Format::kHeaderSize, header.size));
}

// The frames an update writes of the frames read: those with a version 2.3 form, the
// values of one id together where the id first stood.
QVector<Id3v2IdFrame> Writable(const QVector<Id3v2IdFrame>& frames)
{
    QStringList ids;
    for (const Id3v2IdFrame& f : frames) {
        if (!ids.contains(f.id))
            ids.append(f.id);
    }
    QVector<Id3v2IdFrame> out;
    for (const QString& id : ids) {
        for (const Id3v2IdFrame& f : frames) {
            if (f.id == id && f.frame.writable && id.size() == 4 && !id.contains(QStringLiteral("ID3")))
                out.append(f);
        }
    }
    return out;
}

QString WithoutNul(QString s)
{
    s.remove(QChar(0));
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = Fuzz::WriteInput(data, size);

    cMP3ID3v2 tag;
    tag.SetMP3File(path);
    for (qint32 i = 1; i <= tag.FrameCount(); ++i)
        FUZZ_CHECK(tag.TagsInFrame(tag.Frame(i)) > 0);
    const QStringList before = Texts(tag);
    const int genreBefore = tag.Genre();

    // An update without changes.
    const qint64 oldLength = Id3v2Format::TagLengthAtStart(input);
    try {
        tag.Update();
    } catch (const Id3Error& e) {
        // A file without MP3 frames after its tag is refused and left as it was.
        FUZZ_CHECK(e.Number() == Id3ErrorNumber::NotValidMp3);
        FUZZ_CHECK(Fuzz::ReadAll(path) == input);
        return 0;
    }
    const QByteArray after = Fuzz::ReadAll(path);
    Id3v2Header header;
    FUZZ_CHECK(Id3v2Format::ReadHeader(after, &header) && header.version == 3);
    const qsizetype newLength = Id3v2Format::kHeaderSize + qsizetype(header.size);
    FUZZ_CHECK(after.mid(newLength) == input.mid(oldLength));

    cMP3ID3v2 back;
    back.SetMP3File(path);
    FUZZ_CHECK(back.HasID3v2Tag() && back.TagVersion() == 3);
    FUZZ_CHECK(Texts(back) == before);
    FUZZ_CHECK(back.Genre() == genreBefore);
    // A tag at the start of the input comes back frame for frame, less the frames that
    // have no version 2.3 form.
    if (oldLength > 0)
        FUZZ_CHECK(SameFrames(WrittenFramesOf(after), Writable(WrittenFramesOf(input))));

    // Values set through the properties read back as set.
    const QString title = Fuzz::TextFrom(data, size, 0, 24);
    const QString comment = Fuzz::TextFrom(data, size, 24, 24);
    const QString lyrics = Fuzz::TextFrom(data, size, 48, 40);
    const QString other = Fuzz::TextFrom(data, size, 88, 12);
    const quint8 genre = size > 100 ? data[100] % 200 : 17;
    back.SetTitle(title);
    back.SetComment(comment);
    back.SetLyrics(lyrics);
    back.SetGenre(genre);
    back.SetOtherGenreName(other);
    back.AddTag(QStringLiteral("TXXX"), title);
    back.Update();
    const QByteArray again = Fuzz::ReadAll(path);
    Id3v2Format::ReadHeader(again, &header);
    FUZZ_CHECK(again.mid(Id3v2Format::kHeaderSize + qsizetype(header.size)) == input.mid(oldLength));

    cMP3ID3v2 last;
    last.SetMP3File(path);
    FUZZ_CHECK(last.Title() == WithoutNul(title));
    FUZZ_CHECK(last.Comment() == WithoutNul(comment));
    FUZZ_CHECK(last.Lyrics() == WithoutNul(lyrics));
    FUZZ_CHECK(last.Genre() == genre);
    if (WithoutNul(other).size() >= 2)
        FUZZ_CHECK(last.OtherGenreName() == WithoutNul(other));
    FUZZ_CHECK(last.Artist() == before[10] && last.Album() == before[11]);
    return 0;
}
