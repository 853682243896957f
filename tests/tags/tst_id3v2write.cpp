// Writing ID3v2 tags: the frame store and its operations, the frames the properties write,
// the version 2.3 layout, where the tag goes in the file (the file growing in place), what
// is kept of frames read from other programs and of the audio a wrong tag size reaches
// into, and that a failed update leaves the file as it was.
#include "Id3Fixtures.h"

#include "tags/id3/Id3Error.h"
#include "tags/id3/cMP3ID3v2.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

using namespace Id3Fixtures;

namespace {

QByteArray DataOf(const QList<WrittenFrame>& frames, const QByteArray& id, int nth = 0)
{
    for (const WrittenFrame& f : frames) {
        if (f.id == id && nth-- == 0)
            return f.data;
    }
    return "<none>";
}

QByteArray Ids(const QList<WrittenFrame>& frames)
{
    QByteArray ids;
    for (const WrittenFrame& f : frames)
        ids += (ids.isEmpty() ? "" : " ") + f.id;
    return ids;
}

QByteArray Utf16Data(const QString& text)
{
    return Utf16Text(text);
}

} // namespace

class tst_Id3v2Write : public QObject
{
    Q_OBJECT
private slots:
    void addAndRemoveValues();
    void removeFrame();
    void storeErrors_data();
    void storeErrors();
    void setters_data();
    void setters();
    void setterMovesFrameLast();
    void commentKeepsOtherProgramsComments();
    void layoutWithoutOldTag_data();
    void layoutWithoutOldTag();
    void placement_data();
    void placement();
    void sizeReachingIntoTheAudio_data();
    void sizeReachingIntoTheAudio();
    void secondUpdateInPlace();
    void otherFramesKeepTheirBytes();
    void version24Converted();
    void version24IdsAdded();
    void version22Converted();
    void updateErrors_data();
    void updateErrors();
    void updateReadOnlyFile();
    void fullDiskLeavesFileAsItWas();
    void growsInPlaceWhereACopyWouldNotFit();
    void hardLinksKeepTheGrownTag();
    void symbolicLinkAndPermissionsKept();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // Writes the file, reads it into a fresh object, lets `edit` change it, updates, and
    // returns the file's bytes after the update.
    QByteArray Updated(const QByteArray& before, const std::function<void(cMP3ID3v2&)>& edit = {});
    QTemporaryDir m_dir;
    int m_files = 0;
};

QByteArray tst_Id3v2Write::Updated(const QByteArray& before, const std::function<void(cMP3ID3v2&)>& edit)
{
    const QString file = path(QStringLiteral("u%1.mp3").arg(++m_files));
    if (!Make(file, before))
        qFatal("cannot write a fixture");
    cMP3ID3v2 tag;
    tag.SetMP3File(file);
    if (edit)
        edit(tag);
    tag.Update();
    const QByteArray after = TestFiles::ReadBytes(file);
    Seed(file);
    return after;
}

void tst_Id3v2Write::addAndRemoveValues()
{
    const QByteArray audio = Audio(800);
    const QByteArray before = Tag(3, Frame(3, "TIT2", Latin1Text("Title")), 100) + audio;
    const QByteArray after = Updated(before, [](cMP3ID3v2& tag) {
        tag.AddTag(QStringLiteral("COMM"), QStringLiteral("a"));
        tag.AddTag(QStringLiteral("comm"), QStringLiteral("b"));
        tag.AddTag(QStringLiteral("COMM"), QStringLiteral("c"));
        QCOMPARE(tag.FrameCount(), 2);
        QCOMPARE(tag.TagsInFrame(QStringLiteral("COMM")), 3);
        tag.RemoveTag(QStringLiteral("COMM"), 1);
        QCOMPARE(tag.TagsInFrame(QStringLiteral("COMM")), 2);
        QCOMPARE(tag.TagsInFrame(QStringLiteral("TIT2")), 1);
    });
    const QList<WrittenFrame> frames = WrittenFrames(after);
    QCOMPARE(Ids(frames), QByteArray("TIT2 COMM COMM"));
    QCOMPARE(DataOf(frames, "COMM", 0), B("\x00" "eng\x00" "b"));
    QCOMPARE(DataOf(frames, "COMM", 1), B("\x00" "eng\x00" "c"));
    QVERIFY(after.endsWith(audio));

    const QByteArray last = Updated(before, [](cMP3ID3v2& tag) {
        tag.AddTag(QStringLiteral("COMM"), QStringLiteral("a"));
        tag.RemoveTag(QStringLiteral("COMM"), 1);
        QCOMPARE(tag.FrameCount(), 1);
        QCOMPARE(tag.TagsInFrame(QStringLiteral("COMM")), 0);
    });
    QCOMPARE(Ids(WrittenFrames(last)), QByteArray("TIT2"));
}

void tst_Id3v2Write::removeFrame()
{
    const QByteArray before = Tag(3, Frame(3, "TIT2", Latin1Text("T")) + Frame(3, "COMM", B("\0eng\0a"))
                                         + Frame(3, "COMM", B("\x00" "eng\x00" "b"))
                                         + Frame(3, "TPE1", Latin1Text("A")))
                            + Audio(500);
    QCOMPARE(Ids(WrittenFrames(Updated(before, [](cMP3ID3v2& tag) {
                 QCOMPARE(tag.Frame(2), QStringLiteral("COMM"));
                 tag.RemoveFrame(2);
                 QCOMPARE(tag.FrameCount(), 2);
                 QCOMPARE(tag.TagsInFrame(QStringLiteral("COMM")), 0);
                 QCOMPARE(tag.TagsInFrame(QStringLiteral("TPE1")), 1);
             }))),
             QByteArray("TIT2 TPE1"));
    QCOMPARE(Ids(WrittenFrames(Updated(before, [](cMP3ID3v2& tag) { tag.RemoveFrame(QStringLiteral("tit2")); }))),
             QByteArray("COMM COMM TPE1"));
}

void tst_Id3v2Write::storeErrors_data()
{
    QTest::addColumn<int>("call");
    QTest::addColumn<int>("number");
    QTest::newRow("value above the count") << 0 << Id3ErrorNumber::InvalidArgument;
    QTest::newRow("value of an absent frame") << 1 << Id3ErrorNumber::InvalidArgument;
    QTest::newRow("absent frame by id") << 2 << Id3ErrorNumber::InvalidArgument;
    QTest::newRow("position 0") << 3 << Id3ErrorNumber::SubscriptOutOfRange;
    QTest::newRow("position past the end") << 4 << Id3ErrorNumber::SubscriptOutOfRange;
    QTest::newRow("id of three letters") << 5 << Id3ErrorNumber::InvalidArgument;
    QTest::newRow("id with a blank") << 6 << Id3ErrorNumber::InvalidArgument;
}

void tst_Id3v2Write::storeErrors()
{
    QFETCH(int, call);
    QVERIFY(Make(path("store.mp3"), Tag(3, Frame(3, "TIT2", Latin1Text("T"))) + Audio(300)));
    cMP3ID3v2 tag;
    tag.SetMP3File(path("store.mp3"));
    const std::function<void()> calls[] = {
        [&] { tag.RemoveTag(QStringLiteral("TIT2"), 2); },
        [&] { tag.RemoveTag(QStringLiteral("TPE1"), 1); },
        [&] { tag.RemoveFrame(QStringLiteral("TPE1")); },
        [&] { tag.Frame(0); },
        [&] { tag.RemoveFrame(2); },
        [&] { tag.AddTag(QStringLiteral("TT2"), QStringLiteral("x")); },
        [&] { tag.AddTag(QStringLiteral("TI 2"), QStringLiteral("x")); },
    };
    try {
        calls[call]();
        QFAIL("no error raised");
    } catch (const Id3Error& e) {
        QTEST(e.Number(), "number");
        QCOMPARE(e.Source(), QStringLiteral("tst_id3v2write.cMP3ID3v2"));
    }
    QCOMPARE(tag.FrameCount(), 1);
    QCOMPARE(tag.TagsInFrame(QStringLiteral("TIT2")), 1);
}

void tst_Id3v2Write::setters_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("title") << "Title" << "abc" << QByteArray("TIT2") << B("\x00" "abc");
    QTest::newRow("empty title") << "Title" << "" << QByteArray("TIT2") << QByteArray(1, '\0');
    QTest::newRow("title outside ISO-8859-1") << "Title" << "日本 ü" << QByteArray("TIT2") << Utf16Data("日本 ü");
    QTest::newRow("NUL left out") << "Artist" << QString(QStringLiteral("a") + QChar(0) + u'b') << QByteArray("TPE1")
                                  << B("\x00" "ab");
    QTest::newRow("comment") << "Comment" << "hello" << QByteArray("COMM") << B("\x00" "eng\x00" "hello");
    QTest::newRow("UTF-16 comment") << "Comment" << "☺" << QByteArray("COMM")
                                    << B("\x01" "eng\xff\xfe\x00\x00\xff\xfe\x3a\x26");
    QTest::newRow("lyrics") << "Lyrics" << "la\r\nla" << QByteArray("USLT")
                            << B("\x00" "eng\x00" "la\r\nla");
    QTest::newRow("empty link") << "LinkTo" << "" << QByteArray("WXXX") << QByteArray(2, '\0');
    QTest::newRow("link") << "LinkTo" << "http://x.example/" << QByteArray("WXXX")
                          << B("\x00\x00" "http://x.example/");
    QTest::newRow("artist address") << "ArtistURL" << "http://a.example/é" << QByteArray("WOAR")
                                    << QByteArray("http://a.example/\xe9");
    QTest::newRow("address outside ISO-8859-1") << "BuyURL" << "http://b.example/€" << QByteArray("WCOM")
                                                << QByteArray("http://b.example/%E2%82%AC");
    QTest::newRow("audio address") << "AudioURL" << "http://c/" << QByteArray("WOAF") << QByteArray("http://c/");
    QTest::newRow("play counter") << "PlayCounter" << "300" << QByteArray("PCNT") << B("\x00\x00\x01\x2c");
    QTest::newRow("large play counter") << "PlayCounter" << "5000000000" << QByteArray("PCNT")
                                        << B("\x01\x2a\x05\xf2\x00");
    QTest::newRow("no number") << "PlayCounter" << "many" << QByteArray("PCNT") << QByteArray(4, '\0');
    QTest::newRow("track") << "Track" << "3/12" << QByteArray("TRCK") << B("\x00" "3/12");
    QTest::newRow("year") << "Year" << "1999" << QByteArray("TYER") << B("\x00" "1999");
    QTest::newRow("album") << "Album" << "A" << QByteArray("TALB") << B("\x00" "A");
    QTest::newRow("copyright") << "Copyright" << "c" << QByteArray("TCOP") << B("\x00" "c");
    QTest::newRow("composer") << "Composer" << "c" << QByteArray("TCOM") << B("\x00" "c");
    QTest::newRow("original artist") << "OriginalArtist" << "o" << QByteArray("TOPE") << B("\x00" "o");
    QTest::newRow("encoded by") << "EncodedBy" << "e" << QByteArray("TENC") << B("\x00" "e");
    QTest::newRow("genre code alone") << "Genre" << "17" << QByteArray("TCON") << B("\x00(17)");
    QTest::newRow("genre code and text") << "Genre+Other" << "17|Rock" << QByteArray("TCON")
                                         << B("\x00(17)Rock");
    QTest::newRow("text and then code") << "Other+Genre" << "Rock|17" << QByteArray("TCON")
                                        << B("\x00(17)Rock");
    QTest::newRow("no code, a text") << "Genre+Other" << "255|Krautrock" << QByteArray("TCON")
                                     << B("\x00Krautrock");
    QTest::newRow("no genre") << "Genre" << "255" << QByteArray("TCON") << QByteArray(1, '\0');
}

void tst_Id3v2Write::setters()
{
    QFETCH(QString, property);
    QFETCH(QString, value);
    QFETCH(QByteArray, id);
    const QByteArray after = Updated(Audio(700), [&](cMP3ID3v2& tag) {
        const QString first = value.section(u'|', 0, 0);
        const QString second = value.section(u'|', 1, 1);
        const QHash<QString, std::function<void()>> set = {
            {"Title", [&] { tag.SetTitle(value); }},
            {"Artist", [&] { tag.SetArtist(value); }},
            {"Album", [&] { tag.SetAlbum(value); }},
            {"Year", [&] { tag.SetYear(value); }},
            {"Track", [&] { tag.SetTrack(value); }},
            {"Comment", [&] { tag.SetComment(value); }},
            {"Lyrics", [&] { tag.SetLyrics(value); }},
            {"LinkTo", [&] { tag.SetLinkTo(value); }},
            {"ArtistURL", [&] { tag.SetArtistURL(value); }},
            {"BuyURL", [&] { tag.SetBuyURL(value); }},
            {"AudioURL", [&] { tag.SetAudioURL(value); }},
            {"PlayCounter", [&] { tag.SetPlayCounter(value); }},
            {"Copyright", [&] { tag.SetCopyright(value); }},
            {"Composer", [&] { tag.SetComposer(value); }},
            {"OriginalArtist", [&] { tag.SetOriginalArtist(value); }},
            {"EncodedBy", [&] { tag.SetEncodedBy(value); }},
            {"Genre", [&] { tag.SetGenre(quint8(value.toInt())); }},
            {"Genre+Other", [&] { tag.SetGenre(quint8(first.toInt())); tag.SetOtherGenreName(second); }},
            {"Other+Genre", [&] { tag.SetOtherGenreName(first); tag.SetGenre(quint8(second.toInt())); }},
        };
        QVERIFY(set.contains(property));
        set[property]();
        QCOMPARE(tag.FrameCount(), 1);
        if (property == u"Comment")
            QCOMPARE(tag.Comment(), value);
        if (property == u"LinkTo")
            QCOMPARE(tag.LinkTo(), value);
    });
    const QList<WrittenFrame> frames = WrittenFrames(after);
    QCOMPARE(frames.size(), 1);
    QCOMPARE(frames[0].id, id);
    QTEST(frames[0].data, "data");
    QCOMPARE(frames[0].flags, quint16(0));

    // What a property writes reads back as the same value.
    if (property.contains(u'+') || property == u"Genre")
        return;
    TestFiles::WriteBytes(path("back.mp3"), after);
    cMP3ID3v2 back;
    back.SetMP3File(path("back.mp3"));
    const QHash<QString, QString> read = {
        {"Title", back.Title()}, {"Artist", back.Artist()}, {"Album", back.Album()}, {"Year", back.Year()},
        {"Track", back.Track()}, {"Comment", back.Comment()}, {"Lyrics", back.Lyrics()}, {"LinkTo", back.LinkTo()},
        {"ArtistURL", back.ArtistURL()}, {"BuyURL", back.BuyURL()}, {"AudioURL", back.AudioURL()},
        {"PlayCounter", back.PlayCounter()}, {"Copyright", back.Copyright()}, {"Composer", back.Composer()},
        {"OriginalArtist", back.OriginalArtist()}, {"EncodedBy", back.EncodedBy()},
    };
    QString expected = value;
    expected.remove(QChar(0));
    if (property == u"PlayCounter" && value == u"many")
        expected = QStringLiteral("0");
    if (property == u"BuyURL")
        expected = QString::fromLatin1(frames[0].data);
    QCOMPARE(read.value(property), expected);
}

void tst_Id3v2Write::setterMovesFrameLast()
{
    const QByteArray before = Tag(3, Frame(3, "TIT2", Latin1Text("Old")) + Frame(3, "TIT2", Latin1Text("Older"))
                                         + Frame(3, "TPE1", Latin1Text("A")))
                            + Audio(500);
    const QList<WrittenFrame> frames =
        WrittenFrames(Updated(before, [](cMP3ID3v2& tag) { tag.SetTitle(QStringLiteral("New")); }));
    QCOMPARE(Ids(frames), QByteArray("TPE1 TIT2"));
    QCOMPARE(DataOf(frames, "TIT2"), B("\x00" "New"));
}

void tst_Id3v2Write::commentKeepsOtherProgramsComments()
{
    const QByteArray machine = B("\x00" "eng" "iTunSMPB\x00 00000000 00000210");
    const QByteArray before = Tag(3, Frame(3, "COMM", machine) + Frame(3, "COMM", B("\x00" "fra\x00" "old"))
                                         + Frame(3, "TIT2", Latin1Text("T")))
                            + Audio(500);
    const QList<WrittenFrame> frames = WrittenFrames(Updated(before, [](cMP3ID3v2& tag) {
        QCOMPARE(tag.Comment(), QStringLiteral("old"));
        tag.SetComment(QStringLiteral("new"));
    }));
    QCOMPARE(Ids(frames), QByteArray("COMM COMM TIT2"));
    QCOMPARE(DataOf(frames, "COMM", 0), machine);
    QCOMPARE(DataOf(frames, "COMM", 1), B("\x00" "fra\x00" "new"));
}

void tst_Id3v2Write::layoutWithoutOldTag_data()
{
    QTest::addColumn<int>("valueLength");
    QTest::addColumn<int>("padded");
    QTest::newRow("empty store") << -1 << 2048;
    QTest::newRow("three letters") << 3 << 2048;
    QTest::newRow("2047 bytes") << 2022 << 2048;
    QTest::newRow("2048 bytes") << 2023 << 4096;
    QTest::newRow("65536 characters") << 65536 << 67584;
}

void tst_Id3v2Write::layoutWithoutOldTag()
{
    QFETCH(int, valueLength);
    QFETCH(int, padded);
    const QByteArray audio = Audio(900);
    const QString value(qMax(0, valueLength), u'v');
    const QByteArray after = Updated(audio, [&](cMP3ID3v2& tag) {
        if (valueLength >= 0)
            tag.AddTag(QStringLiteral("TIT2"), value);
    });
    QCOMPARE(after.size(), audio.size() + padded);
    QCOMPARE(after.mid(padded), audio);
    QCOMPARE(after.left(6), B("ID3\x03\x00\x00"));
    QCOMPARE(after.mid(6, 4), Synchsafe(quint32(padded - 10)));
    qsizetype end = 10;
    if (valueLength >= 0) {
        const QByteArray frame = "TIT2" + BigEndian(quint32(valueLength + 1), 4) + QByteArray(2, '\0')
                               + QByteArray(1, '\0') + value.toLatin1();
        QCOMPARE(after.mid(10, frame.size()), frame);
        end += frame.size();
    }
    QCOMPARE(after.mid(end, padded - end), QByteArray(padded - end, '\0'));
}

void tst_Id3v2Write::placement_data()
{
    QTest::addColumn<QByteArray>("head");      // what stands before the audio
    QTest::addColumn<bool>("oldTag");          // the head is a valid tag
    QTest::addColumn<int>("valueLength");      // of the one title written
    QTest::addColumn<int>("sizeField");        // of the new tag

    // An old tag of 4096 bytes (size field 4086) takes a new one of 1000 bytes in place.
    const QByteArray old4096 = Tag(3, Frame(3, "TPE1", Latin1Text("Old artist")) + Frame(3, "PRIV", "x"), 4054);
    QTest::newRow("fits in place") << old4096 << true << 1000 - 24 - 1 << 4086;
    // A new tag as long as the old one grows the file: the in-place case needs it shorter.
    QTest::newRow("just as long") << old4096 << true << 4096 - 24 - 1 << 6134;
    // An old tag of 1024 bytes and a new one of 1500: the audio begins at byte 2048.
    QTest::newRow("grows") << Tag(3, Frame(3, "TPE1", Latin1Text("Old")), 1000) << true << 1500 - 24 - 1 << 2038;
    // A version 2.4 footer (10 bytes after the size) belongs to the old tag.
    const QByteArray footer4 = Tag(4, Frame(4, "TPE1", Latin1Text("Old")), 500, 0x10) + B("3DI\x04\x00\x10")
                             + Synchsafe(514);
    QTest::newRow("version 2.4 with footer") << footer4 << true << 100 << 524;
    // A frame whose size reaches past the tag is the rest of the old tag, not audio.
    const QByteArray broken =
        Frame(3, "TIT2", Latin1Text("T")) + Frame(3, "TPE1", Latin1Text("A")).replace(4, 4, BigEndian(5000, 4));
    QTest::newRow("frame reaching past the tag") << Tag(3, broken, 100) << true << 10 << 124;
    // What is not a valid tag at the start is kept whole after the new tag.
    QTest::newRow("version 5 at the start") << B("ID3\x05\x00\x00\x00\x00\x00\x05" "abcde") << false
                                            << 10 << 2038;
    // A header that states more bytes than the file holds is replaced; the audio stays.
    QTest::newRow("size past the end of the file") << B("ID3\x03\x00\x00\x00\x01\x00\x00") << true
                                                   << 10 << 2038;
    QTest::newRow("tag after junk") << QByteArray(300, 'j') + Tag(3, Frame(3, "TPE1", Latin1Text("A")), 2000) << false
                                    << 10 << 2038;
}

void tst_Id3v2Write::placement()
{
    QFETCH(QByteArray, head);
    QFETCH(bool, oldTag);
    QFETCH(int, valueLength);
    QFETCH(int, sizeField);
    const QByteArray audio = Audio(3000, 11);
    const QByteArray before = head + audio;
    const QByteArray after = Updated(before, [&](cMP3ID3v2& tag) {
        while (tag.FrameCount() > 0)
            tag.RemoveFrame(1);
        tag.AddTag(QStringLiteral("TIT2"), QString(valueLength, u't'));
    });
    const qsizetype tagLength = 10 + sizeField;
    QCOMPARE(after.mid(6, 4), Synchsafe(quint32(sizeField)));
    QCOMPARE(Ids(WrittenFrames(after)), QByteArray("TIT2"));
    // The audio, and whatever stood before it that was not a valid tag at the start, is
    // unchanged after the new tag.
    QCOMPARE(after.mid(tagLength), oldTag ? audio : before);
    // After the frames nothing but zero bytes is left of the old tag.
    const qsizetype framesEnd = 10 + 10 + valueLength + 1;
    QCOMPARE(after.mid(framesEnd, tagLength - framesEnd), QByteArray(tagLength - framesEnd, '\0'));
}

void tst_Id3v2Write::sizeReachingIntoTheAudio_data()
{
    QTest::addColumn<QByteArray>("oldTag");  // header, frames and zero padding, as written
    QTest::addColumn<int>("stated");         // the size its header states instead
    QTest::addColumn<int>("titleLength");    // of the new title
    QTest::addColumn<int>("sizeField");      // of the new tag

    // Frames of 20 and 21 bytes and 300 zero bytes: a new tag shorter than those 351
    // bytes is written there, whatever the header said.
    const QByteArray frames = Frame(3, "TIT2", Latin1Text("Old title")) + Frame(3, "TPE1", Latin1Text("Old artist"));
    const QByteArray padded = Tag(3, frames, 300);
    QTest::newRow("fits in place") << padded << 341 + 1200 << 3 << 341;
    QTest::newRow("grows") << padded << 341 + 1200 << 1500 << 2038;
    QTest::newRow("stated past the end of the file") << padded << 100000 << 3 << 341;
    // In an unsynchronised tag the frame sizes count the bytes after 0xFF 0x00 has become
    // 0xFF: the frame stored here takes one byte more than its size.
    const QByteArray unsynchronised = Frame(3, "TIT2", B("\x00\xff\x00" "Cafe")).replace(7, 1, "\x06");
    QTest::newRow("unsynchronised") << Tag(3, unsynchronised, 200, 0x80) << 217 + 800 << 3 << 217;
    // Without padding the audio begins right after the last frame.
    QTest::newRow("no padding") << Tag(3, frames) << 41 + 500 << 3 << 41;
}

// A header that states more bytes than its frames and zero padding hold reaches into the
// audio: the new tag replaces the frames and the padding, and every byte of audio stays,
// in its order, right after the new tag.
void tst_Id3v2Write::sizeReachingIntoTheAudio()
{
    QFETCH(QByteArray, oldTag);
    QFETCH(int, stated);
    QFETCH(int, titleLength);
    QFETCH(int, sizeField);
    const QByteArray audio = Audio(3000, 5);
    const QByteArray before = oldTag.left(6) + Synchsafe(quint32(stated)) + oldTag.mid(10) + audio;
    const QString title(titleLength, u'n');
    const QByteArray after = Updated(before, [&](cMP3ID3v2& tag) { tag.SetTitle(title); });
    QCOMPARE(after.mid(6, 4), Synchsafe(quint32(sizeField)));
    QCOMPARE(after.mid(10 + sizeField), audio);

    TestFiles::WriteBytes(path("back.mp3"), after);
    cMP3ID3v2 back;
    back.SetMP3File(path("back.mp3"));
    QCOMPARE(back.Title(), title);
}

void tst_Id3v2Write::secondUpdateInPlace()
{
    const QByteArray audio = Audio(2000);
    QVERIFY(Make(path("twice.mp3"), audio));
    cMP3ID3v2 tag;
    tag.SetMP3File(path("twice.mp3"));
    tag.SetTitle(QStringLiteral("Title"));
    tag.Update();
    QCOMPARE(QFileInfo(path("twice.mp3")).size(), 2048 + 2000);
    tag.SetArtist(QStringLiteral("Artist"));
    tag.Update();
    QCOMPARE(QFileInfo(path("twice.mp3")).size(), 2048 + 2000);
    cMP3ID3v2 back;
    back.SetMP3File(path("twice.mp3"));
    QCOMPARE(back.Title(), QStringLiteral("Title"));
    QCOMPARE(back.Artist(), QStringLiteral("Artist"));
    QCOMPARE(TestFiles::ReadBytes(path("twice.mp3")).mid(2048), audio);
}

void tst_Id3v2Write::otherFramesKeepTheirBytes()
{
    // Frames no property replaces are written back byte for byte, flags included.
    const QList<WrittenFrame> kept = {
        {"APIC", B("\x00image/png\x00\x03\x00") + B("\x89PNG\r\n\x1a\n\x00\x00\xff\xfb")},
        {"PRIV", B("WM/MediaClassPrimaryID\x00\xbc\x7d\x60\xd1")},
        {"GEOB", B("\x00text/plain\x00notes.txt\x00notes\x00\x01\x02\x00")},
        {"UFID", B("http://musicbrainz.org\x00" "abc-123")},
        {"POPM", B("someone@example\x00\xc4\x00\x00\x00\x07")},
        {"PCNT", B("\x00\x00\x00\x00\x2a")},
        {"TXXX", Utf16Text("Desc") + QByteArray(2, '\0') + Utf16Text("Wert").mid(1)},
        {"COMM", B("\x00" "eng" "iTunNORM\x00 000001")},
        {"TIT1", B("\x00grouped"), 0x0020},
        {"XTRA", B("\x01\x02\x03"), 0xE000},
    };
    QByteArray frames = Frame(3, "TIT2", Latin1Text("Old"));
    for (const WrittenFrame& f : kept)
        frames += Frame(3, f.id, f.data, f.flags);
    const QByteArray audio = Audio(1500);
    const QByteArray after = Updated(Tag(3, frames, 200) + audio, [](cMP3ID3v2& tag) {
        tag.SetTitle(QStringLiteral("New"));
        tag.SetComment(QStringLiteral("A comment"));
    });
    const QList<WrittenFrame> written = WrittenFrames(after);
    // The new comment joins the comment frame's values; the title moves last.
    QCOMPARE(Ids(written), QByteArray("APIC PRIV GEOB UFID POPM PCNT TXXX COMM COMM TIT1 XTRA TIT2"));
    for (const WrittenFrame& f : kept)
        QVERIFY2(written.contains(f), f.id.constData());
    QVERIFY(after.endsWith(audio));
}

void tst_Id3v2Write::version24Converted()
{
    const QByteArray frames =
        Frame(4, "TIT2", QByteArray("\x03") + QStringLiteral("Grüße ☺").toUtf8())
        + Frame(4, "TPE1", B("\x02\x00" "A\x00\x00\x00" "B"))
        + Frame(4, "APIC", B("\x03image/jpeg\x00\x03") + QStringLiteral("Hülle").toUtf8()
                               + B("\x00\xff\xd8\xff\xe0"))
        + Frame(4, "TDRC", B("\x00" "2001-02-03")) + Frame(4, "SEEK", B("\x00\x00\x10\x00"))
        + Frame(4, "TALB", B("\x00" "packed"), 0x0009) + Frame(4, "RVA2", B("track\x00\x01\x00\x10"))
        + Frame(4, "TSOP", B("\x03" "Sort")) + Frame(4, "TIPL", B("\x00" "producer\x00" "Ann"))
        + Frame(4, "TDOR", B("\x00" "1970-05")) + Frame(4, "TMCL", B("\x03" "guitar\x00" "B\xc3\xb8" "b"))
        + Frame(4, "TDRL", B("\x00" "2002")) + Frame(4, "TMOO", B("\x00" "calm")) + Frame(4, "TSOA", B("\x00" "A"))
        + Frame(4, "TDEN", B("\x00" "2003")) + Frame(4, "TDTG", B("\x00" "2004")) + Frame(4, "TPRO", B("\x00" "p"))
        + Frame(4, "TSOT", B("\x00" "T")) + Frame(4, "TSST", B("\x00" "S")) + Frame(4, "EQU2", B("\x00" "eq\x00"));
    const QByteArray audio = Audio(1000);
    const QByteArray after = Updated(Tag(4, frames) + audio);
    const QList<WrittenFrame> written = WrittenFrames(after);
    // Frames version 2.3 has a counterpart of are written as it; the others are left out.
    QCOMPARE(Ids(written), QByteArray("TIT2 TPE1 APIC TYER TDAT IPLS TORY"));
    QCOMPARE(DataOf(written, "TIT2"), Utf16Text(QStringLiteral("Grüße ☺")));
    QCOMPARE(DataOf(written, "TPE1"), B("\x00" "A\x00" "B"));
    QCOMPARE(DataOf(written, "APIC"), B("\x00image/jpeg\x00\x03H\xfclle\x00\xff\xd8\xff\xe0"));
    QCOMPARE(DataOf(written, "TYER"), B("\x00" "2001"));
    QCOMPARE(DataOf(written, "TDAT"), B("\x00" "0302"));
    // The people and the musicians join in one list of involved people.
    QCOMPARE(DataOf(written, "IPLS"), B("\x00" "producer\x00" "Ann\x00" "guitar\x00" "B\xf8" "b"));
    QCOMPARE(DataOf(written, "TORY"), B("\x00" "1970"));
    QVERIFY(after.endsWith(audio));

    TestFiles::WriteBytes(path("v24.mp3"), after);
    cMP3ID3v2 back;
    back.SetMP3File(path("v24.mp3"));
    QCOMPARE(back.Title(), QStringLiteral("Grüße ☺"));
    QCOMPARE(back.Artist(), QStringLiteral("A/B"));
    QCOMPARE(back.Year(), QStringLiteral("2001"));

    // Without a recording date the release date is written as the year.
    const QList<WrittenFrame> release =
        WrittenFrames(Updated(Tag(4, Frame(4, "TDRL", B("\x03" "2005-03-04"))) + audio));
    QCOMPARE(Ids(release), QByteArray("TYER"));
    QCOMPARE(DataOf(release, "TYER"), B("\x00" "2005"));
}

// Frames added by an id of version 2.4 go into the version 2.3 tag as a frame of that
// version read from a file does.
void tst_Id3v2Write::version24IdsAdded()
{
    const QList<WrittenFrame> written = WrittenFrames(Updated(Audio(600), [](cMP3ID3v2& tag) {
        tag.AddTag(QStringLiteral("TDRC"), QStringLiteral("2010-06-01T08:15"));
        tag.AddTag(QStringLiteral("tsop"), QStringLiteral("Sort name"));
        QCOMPARE(tag.TagsInFrame(QStringLiteral("TDRC")), 0);
        QCOMPARE(tag.TagsInFrame(QStringLiteral("TYER")), 1);
        QCOMPARE(tag.TagsInFrame(QStringLiteral("TSOP")), 1);
    }));
    QCOMPARE(Ids(written), QByteArray("TYER TDAT TIME"));
    QCOMPARE(DataOf(written, "TDAT"), B("\x00" "0106"));
    QCOMPARE(DataOf(written, "TIME"), B("\x00" "0815"));
}

void tst_Id3v2Write::version22Converted()
{
    const QByteArray picture = B("\x89PNG\r\n\x1a\n") + Audio(64);
    const QByteArray frames = Frame(2, "TT2", Latin1Text("Title"))
                            + Frame(2, "PIC", B("\x00PNG\x03" "Cover\x00") + picture)
                            + Frame(2, "CRM", B("owner\x00" "x")) + Frame(2, "ULT", B("\x00" "eng\x00" "la"));
    const QList<WrittenFrame> written = WrittenFrames(Updated(Tag(2, frames) + Audio(700)));
    QCOMPARE(Ids(written), QByteArray("TIT2 APIC USLT"));
    QCOMPARE(DataOf(written, "APIC"), B("\x00image/png\x00\x03" "Cover\x00") + picture);
    QCOMPARE(DataOf(written, "USLT"), B("\x00" "eng\x00" "la"));
}

void tst_Id3v2Write::updateErrors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");
    QTest::newRow("no file") << "missing.mp3" << Id3ErrorNumber::FileNotFound;
    QTest::newRow("a folder") << "folder.mp3" << Id3ErrorNumber::PathFileAccessError;
}

void tst_Id3v2Write::updateErrors()
{
    QFETCH(QString, name);
    QDir(m_dir.path()).mkdir(QStringLiteral("folder.mp3"));
    QVERIFY(Make(path("source.mp3"), Tag(3, Frame(3, "TIT2", Latin1Text("T"))) + Audio(300)));
    cMP3ID3v2 tag;
    tag.SetMP3File(path("source.mp3"));
    try {
        tag.SetMP3File(path(name));
    } catch (const Id3Error&) {
    }
    tag.SetTitle(QStringLiteral("Title"));
    try {
        tag.Update();
        QFAIL("no error raised");
    } catch (const Id3Error& e) {
        QTEST(e.Number(), "number");
        QCOMPARE(e.Source(), QStringLiteral("tst_id3v2write.cMP3ID3v2"));
        QVERIFY2(e.Description().contains(path(name)), qPrintable(e.Description()));
    }
    QVERIFY(!QFileInfo(path("missing.mp3")).exists());
    QVERIFY(QFileInfo(path("folder.mp3")).isDir());
}

void tst_Id3v2Write::updateReadOnlyFile()
{
    CheckReadOnlyUpdate<cMP3ID3v2>(path("readonly"));
}

// A tag that needs the file to grow on a disk without room: the error says so and the
// file keeps every byte.
void tst_Id3v2Write::fullDiskLeavesFileAsItWas()
{
    SmallDisk disk;
    if (const QString why = MountSmallDisk(disk, path("full")); !why.isEmpty())
        QSKIP(qPrintable(why));
    const QString file = path("full/big.mp3");
    const QByteArray content = Tag(3, Frame(3, "TIT2", Latin1Text("Old")), 50) + Audio(60000);
    QVERIFY(Make(file, content));
    disk.fill();
    cMP3ID3v2 tag;
    tag.SetMP3File(file);
    tag.SetTitle(QString(5000, u'n'));  // the file grows by more than a page of the disk
    try {
        tag.Update();
        QFAIL("no error raised");
    } catch (const Id3Error& e) {
        QCOMPARE(e.Number(), Id3ErrorNumber::DiskFull);
        QCOMPARE(e.Source(), QStringLiteral("tst_id3v2write.cMP3ID3v2"));
        QVERIFY2(e.Description().contains(file), qPrintable(e.Description()));
    }
    QCOMPARE(TestFiles::ReadBytes(file), content);
    QCOMPARE(QDir(path("full")).entryList(QDir::Files | QDir::Hidden), (QStringList{"big.mp3", "filler"}));
}

// A tag grows on a disk with room for the growth but not for a second copy of the file.
void tst_Id3v2Write::growsInPlaceWhereACopyWouldNotFit()
{
    SmallDisk disk;
    if (const QString why = MountSmallDisk(disk, path("room")); !why.isEmpty())
        QSKIP(qPrintable(why));
    const QString file = path("room/large.mp3");
    const QByteArray audio = Audio(150000, 3);
    QVERIFY(Make(file, Tag(3, Frame(3, "TIT2", Latin1Text("Old")), 50) + audio));
    cMP3ID3v2 tag;
    tag.SetMP3File(file);
    tag.SetTitle(QString(1000, u'n'));
    try {
        tag.Update();
    } catch (const Id3Error& e) {
        QFAIL(qPrintable(e.Description()));
    }
    QCOMPARE(TestFiles::ReadBytes(file).mid(2048), audio);
    cMP3ID3v2 back;
    back.SetMP3File(file);
    QCOMPARE(back.Title(), QString(1000, u'n'));
}

// A tag that grows is written into the file itself: every name of it shows the new tag.
void tst_Id3v2Write::hardLinksKeepTheGrownTag()
{
    const QByteArray audio = Audio(5000);
    QVERIFY(Make(path("first.mp3"), Tag(3, Frame(3, "TIT2", Latin1Text("Old")), 20) + audio));
    const QByteArray firstName = QFile::encodeName(path("first.mp3"));
    QCOMPARE(::link(firstName.constData(), QFile::encodeName(path("second.mp3")).constData()), 0);
    cMP3ID3v2 tag;
    tag.SetMP3File(path("second.mp3"));
    tag.SetTitle(QStringLiteral("Grown through the second name"));
    tag.Update();
    const QByteArray first = TestFiles::ReadBytes(path("first.mp3"));
    QCOMPARE(TestFiles::ReadBytes(path("second.mp3")), first);
    QCOMPARE(first.mid(2048), audio);
    cMP3ID3v2 back;
    back.SetMP3File(path("first.mp3"));
    QCOMPARE(back.Title(), QStringLiteral("Grown through the second name"));
    struct stat st {};
    QCOMPARE(::stat(firstName.constData(), &st), 0);
    QCOMPARE(st.st_nlink, nlink_t(2));
}

void tst_Id3v2Write::symbolicLinkAndPermissionsKept()
{
    const QByteArray audio = Audio(1000);
    QVERIFY(Make(path("target.mp3"), audio));
    QFile::setPermissions(path("target.mp3"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QVERIFY(QFile::link(path("target.mp3"), path("link.mp3")));
    cMP3ID3v2 tag;
    tag.SetMP3File(path("link.mp3"));
    tag.SetTitle(QStringLiteral("Through a link"));
    tag.Update();
    QVERIFY(QFileInfo(path("link.mp3")).isSymLink());
    QCOMPARE(QFileInfo(path("target.mp3")).permissions() & 0x7777,
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadUser | QFile::WriteUser);
    const QByteArray after = TestFiles::ReadBytes(path("target.mp3"));
    QCOMPARE(after.mid(2048), audio);
    cMP3ID3v2 back;
    back.SetMP3File(path("target.mp3"));
    QCOMPARE(back.Title(), QStringLiteral("Through a link"));
}

QTEST_GUILESS_MAIN(tst_Id3v2Write)
#include "tst_id3v2write.moc"
