// Fuzz target of the ID3v1 class: any file is read without fault; an update of a file
// long enough leaves every byte before the block as it was and reads back as written, or
// refuses a file without MP3 frames and leaves it as it was.
#include "FuzzFile.h"

#include "tags/id3/Id3Error.h"
#include "tags/id3/cMP3ID3v1.h"

namespace {

// What a text reads back as after being written into a field of `width` bytes.
QString AsWritten(const QString& text, int width)
{
    QString s = QString::fromLatin1(text.left(width).toLatin1());
    s.remove(QChar(0));
    while (s.startsWith(u' '))
        s.remove(0, 1);
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = Fuzz::WriteInput(data, size);
    cMP3ID3v1 tag;
    tag.SetMP3File(path);
    FUZZ_CHECK(tag.HasID3v1Tag() == (size > 128 && std::memcmp(data + size - 128, "TAG", 3) == 0));

    const QString title = Fuzz::TextFrom(data, size, 0, 40);
    const QString comment = Fuzz::TextFrom(data, size, 40, 30);
    tag.SetTitle(title);
    tag.SetComment(comment);
    tag.SetTrack(size > 0 ? data[0] : 0);
    tag.SetGenre(size > 1 ? data[1] : 255);
    try {
        tag.Update();
    } catch (const Id3Error& e) {
        FUZZ_CHECK(e.Number() == Id3ErrorNumber::NotValidMp3);
        FUZZ_CHECK(Fuzz::ReadAll(path) == QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
        return 0;
    }
    FUZZ_CHECK(size > 128);
    const QByteArray after = Fuzz::ReadAll(path);
    const qsizetype kept = tag.HasID3v1Tag() ? qsizetype(size) - 125 : qsizetype(size);
    FUZZ_CHECK(after.size() == (tag.HasID3v1Tag() ? qsizetype(size) : qsizetype(size) + 128));
    FUZZ_CHECK(std::memcmp(after.constData(), data, size_t(kept)) == 0);

    cMP3ID3v1 back;
    back.SetMP3File(path);
    FUZZ_CHECK(back.HasID3v1Tag());
    FUZZ_CHECK(back.Title() == AsWritten(title, 30));
    FUZZ_CHECK(back.Comment() == AsWritten(comment, 28));
    FUZZ_CHECK(back.Track() == tag.Track() && back.Genre() == tag.Genre());
    return 0;
}
