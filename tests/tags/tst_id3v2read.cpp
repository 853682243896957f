// Reading ID3v2 tags of versions 2.2, 2.3 and 2.4: finding the header, walking the frames,
// decoding texts by their encoding, and the properties taken from the frames.
#include "Id3Fixtures.h"

#include "tags/id3/Id3Error.h"
#include "tags/id3/cMP3ID3v2.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Id3Fixtures;

namespace {

QByteArray Text(int version, const QByteArray& id, const char* text)
{
    return Frame(version, id, Latin1Text(text));
}

QStringList Ids(const cMP3ID3v2& tag)
{
    QStringList ids;
    for (int i = 1; i <= tag.FrameCount(); ++i)
        ids << tag.Frame(i);
    return ids;
}

} // namespace

class tst_Id3v2Read : public QObject
{
    Q_OBJECT
private slots:
    void headerSearch_data();
    void headerSearch();
    void frameWalk_data();
    void frameWalk();
    void encodings_data();
    void encodings();
    void describedFrames_data();
    void describedFrames();
    void genre_data();
    void genre();
    void properties();
    void version24Dates_data();
    void version24Dates();
    void version22Picture();
    void readResetsForEachFile();
    void readError();

private:
    cMP3ID3v2& Read(const QByteArray& bytes);
    QTemporaryDir m_dir;
    cMP3ID3v2 m_tag;
    int m_files = 0;
};

cMP3ID3v2& tst_Id3v2Read::Read(const QByteArray& bytes)
{
    const QString path = m_dir.filePath(QStringLiteral("f%1.mp3").arg(++m_files));
    if (!Make(path, bytes))
        qFatal("cannot write a fixture");
    m_tag.SetMP3File(path);
    return m_tag;
}

void tst_Id3v2Read::headerSearch_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("version");

    const QByteArray tag3 = Tag(3, Text(3, "TIT2", "Title"), 100);
    QByteArray junk(3000, 'j');
    QByteArray audioFirst = Audio(5000);  // 0xFF 0xFB in its first chunk
    QTest::newRow("at the start") << tag3 + Audio(3000) << true << 3;
    QTest::newRow("after junk") << junk + tag3 + Audio(3000) << true << 3;
    QTest::newRow("in the first chunk after audio bytes") << Audio(200) + QByteArray(2800, 'j') + tag3 << true << 3;
    QTest::newRow("beyond the first chunk with audio") << audioFirst + tag3 << false << 0;
    // Junk of 4094 bytes puts the marker across the first two chunks.
    QTest::newRow("across two chunks") << QByteArray(4094, 'j') + tag3 << true << 3;
    QTest::newRow("far into a file without audio frames") << QByteArray(20000, 'j') + tag3 << true << 3;
    QTest::newRow("invalid marker, then a tag") << B("ID3\x09\x00\x00\x00\x00\x00\x01") + tag3 << true << 3;
    QTest::newRow("version 5") << B("ID3\x05\x00\x00\x00\x00\x00\x10") + Audio(3000) << false << 0;
    QTest::newRow("size byte with its top bit") << B("ID3\x03\x00\x00\x00\x00\x80\x10") + Audio(500)
                                                << false << 0;
    QTest::newRow("version 2") << Tag(2, Text(2, "TT2", "Title")) << true << 2;
    QTest::newRow("version 4") << Tag(4, Text(4, "TIT2", "Title")) << true << 4;
    QTest::newRow("no marker") << QByteArray(5000, 'j') << false << 0;
    QTest::newRow("empty file") << QByteArray() << false << 0;
}

void tst_Id3v2Read::headerSearch()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, found);
    const cMP3ID3v2& tag = Read(file);
    QCOMPARE(tag.HasID3v2Tag(), found);
    QTEST(int(tag.ID3v2TagVersion()), "version");
    QCOMPARE(tag.TagVersion(), tag.ID3v2TagVersion());
    QCOMPARE(tag.Title(), found ? QStringLiteral("Title") : QString());
}

void tst_Id3v2Read::frameWalk_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("ids");
    QTest::addColumn<QString>("artist");

    const QByteArray title = Text(3, "TIT2", "Title");
    const QByteArray artist = Text(3, "TPE1", "Artist");
    QTest::newRow("last frame ends at the size") << Tag(3, title + artist) << QStringList{"TIT2", "TPE1"}
                                                 << "Artist";
    QTest::newRow("padding ends the walk") << Tag(3, title, 500) + Text(3, "TPE1", "after") << QStringList{"TIT2"}
                                           << "";
    // The size field 0x00 0x00 0x08 0x00 says 1024 bytes.
    const QByteArray body1024 = title + Frame(3, "TPE1", Latin1Text("Artist") + QByteArray(1024 - 41, 'x'));
    QTest::newRow("size 1024") << B("ID3\x03\x00\x00\x00\x00\x08\x00") + body1024.left(1024)
                               << QStringList{"TIT2", "TPE1"} << "Artist" + QString(1024 - 41, u'x');
    QTest::newRow("frame reaching past the tag") << Tag(3, title + artist.left(artist.size() - 2))
                                                 << QStringList{"TIT2"} << "";
    QTest::newRow("not a frame id") << Tag(3, title + B("ab\x01z\x00\x00\x00\x01\x00\x00x") + artist)
                                    << QStringList{"TIT2"} << "";
    const QByteArray long200 = Latin1Text("A") + QByteArray(199 - 1, 'b');
    QTest::newRow("version 4 synchsafe size") << Tag(4, Frame(4, "TPE1", long200) + Text(4, "TIT2", "Title"))
                                              << QStringList{"TPE1", "TIT2"} << "A" + QString(198, u'b');
    // Some programs write plain sizes into version 2.4 tags: 256 read as synchsafe is 128.
    const QByteArray data256 = Latin1Text("A") + QByteArray(254, 'b');
    QTest::newRow("version 4 plain size")
        << Tag(4, B("TPE1\x00\x00\x01\x00\x00\x00") + data256 + Text(4, "TIT2", "Title"))
        << QStringList{"TPE1", "TIT2"} << "A" + QString(254, u'b');
    QTest::newRow("version 2 ids")
        << Tag(2, Text(2, "TT2", "Title") + Text(2, "TP1", "Artist") + Text(2, "TAL", "Album") + Text(2, "TYE", "1999")
                      + Text(2, "TRK", "1") + Text(2, "TEN", "Enc") + Text(2, "TCO", "(8)")
                      + Frame(2, "COM", B("\x00" "eng\x00" "c")) + Text(2, "XYZ", "unknown"))
        << QStringList{"TIT2", "TPE1", "TALB", "TYER", "TRCK", "TENC", "TCON", "COMM", "XYZ"} << "Artist";
    QTest::newRow("compressed version 2 tag") << Tag(2, Text(2, "TP1", "Artist"), 0, 0x40) << QStringList{} << "";
    // Unsynchronisation: 0xFF 0x00 in the tag stands for 0xFF; the sizes count 0xFF once.
    QTest::newRow("unsynchronised tag")
        << Tag(3, B("TPE1\x00\x00\x00\x04\x00\x00" "\x00\xff\x00\xffX") + title, 0, 0x80)
        << QStringList{"TPE1", "TIT2"} << QStringLiteral("\u00ff\u00ffX");
    QTest::newRow("version 3 extended header")
        << Tag(3, B("\x00\x00\x00\x06\x00\x00\x00\x00\x00\x00") + artist, 0, 0x40)
        << QStringList{"TPE1"} << "Artist";
    QTest::newRow("version 4 extended header")
        << Tag(4, B("\x00\x00\x00\x06\x01\x00") + Text(4, "TPE1", "Artist"), 0, 0x40)
        << QStringList{"TPE1"} << "Artist";
    // Frame flags of version 2.4: a data length indicator (four bytes before the data) and
    // unsynchronised data.
    QTest::newRow("version 4 frame flags")
        << Tag(4, Frame(4, "TPE1", B("\x00\x00\x00\x06") + B("\x00" "Art\xff\x00"), 0x0003))
        << QStringList{"TPE1"} << QStringLiteral("Art\u00ff");
}

void tst_Id3v2Read::frameWalk()
{
    QFETCH(QByteArray, file);
    const cMP3ID3v2& tag = Read(file + Audio(600));
    QTEST(Ids(tag), "ids");
    QTEST(tag.Artist(), "artist");
}

void tst_Id3v2Read::encodings_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("title");
    const QString wide = QStringLiteral("Ünïcödé ✓ 日本");
    QByteArray be("\x01\xFE\xFF", 3);
    QByteArray plainBe("\x02", 1);
    QByteArray noBom("\x01", 1);
    for (const QChar c : wide) {
        be += char(c.unicode() >> 8);
        be += char(c.unicode() & 0xFF);
        plainBe += char(c.unicode() >> 8);
        plainBe += char(c.unicode() & 0xFF);
        noBom += char(c.unicode() & 0xFF);
        noBom += char(c.unicode() >> 8);
    }
    QTest::newRow("ISO-8859-1") << B("\x00" "Caf\xe9") << QStringLiteral("Café");
    QTest::newRow("UTF-16 little-endian") << Utf16Text(wide) << wide;
    QTest::newRow("UTF-16 big-endian mark") << be << wide;
    QTest::newRow("UTF-16 without mark") << noBom << wide;
    QTest::newRow("UTF-16BE") << plainBe << wide;
    QTest::newRow("UTF-8") << QByteArray("\x03") + wide.toUtf8() << wide;
    QTest::newRow("terminated") << B("\x00Title\x00") << QStringLiteral("Title");
    QTest::newRow("UTF-16 terminated") << Utf16Text(wide) + QByteArray(2, '\0') << wide;
    QTest::newRow("several values") << B("\x03" "A\x00" "B") << QStringLiteral("A/B");
    QTest::newRow("several UTF-16 values") << Utf16Text("A") + QByteArray(2, '\0') + Utf16Text("B").mid(1)
                                           << QStringLiteral("A/B");
    QTest::newRow("empty") << B("\x01") << QString();
}

void tst_Id3v2Read::encodings()
{
    QFETCH(QByteArray, data);
    for (const int version : {3, 4}) {
        const cMP3ID3v2& tag = Read(Tag(version, Frame(version, "TIT2", data)) + Audio(500));
        QTEST(tag.Title(), "title");
    }
}

void tst_Id3v2Read::describedFrames_data()
{
    QTest::addColumn<QByteArray>("frames");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("lyrics");
    QTest::addColumn<QString>("link");

    const QByteArray comm = Frame(3, "COMM", B("\x00" "eng\x00" "A comment"));
    QTest::newRow("comment") << comm << "A comment" << "" << "";
    QTest::newRow("UTF-16 comment with language and empty description")
        << Frame(3, "COMM", B("\x01" "deu") + Utf16Text("").mid(1) + QByteArray(2, '\0')
                                + Utf16Text("Grüße ☺").mid(1))
        << QStringLiteral("Grüße ☺") << "" << "";
    QTest::newRow("other programs' comments are not the comment")
        << Frame(3, "COMM", B("\x00" "eng" "iTunNORM\x00 0000 1111")) + comm << "A comment" << "" << "";
    QTest::newRow("two comments") << comm + Frame(3, "COMM", B("\x00" "fra\x00" "B")) << "A comment\r\nB"
                                  << "" << "";
    // The layout this program's earlier versions wrote: language bytes 0, "n", "t".
    QTest::newRow("earlier layout") << Frame(3, "COMM", B("\x00\x00nt\x00" "Old")) << "Old" << "" << "";
    QTest::newRow("lyrics") << Frame(3, "USLT", B("\x00" "eng" "Verse\x00" "la la\nla")) << ""
                            << "la la\nla" << "";
    QTest::newRow("UTF-8 lyrics") << Frame(4, "USLT", B("\x03" "eng\x00") + QByteArray("Ça va")) << ""
                                  << QStringLiteral("Ça va") << "";
    QTest::newRow("link") << Frame(3, "WXXX", B("\x00\x00http://a.example/")) << "" << ""
                          << "http://a.example/";
    QTest::newRow("described link is not the link")
        << Frame(3, "WXXX", B("\x00Home\x00http://b.example/")) << "" << "" << "";
}

void tst_Id3v2Read::describedFrames()
{
    QFETCH(QByteArray, frames);
    const cMP3ID3v2& tag = Read(Tag(3, frames) + Audio(500));
    QTEST(tag.Comment(), "comment");
    QTEST(tag.Lyrics(), "lyrics");
    QTEST(tag.LinkTo(), "link");
}

void tst_Id3v2Read::genre_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("genre");
    QTest::addColumn<QString>("other");
    QTest::newRow("(17)Rock") << QByteArray("(17)Rock") << 17 << "Rock";
    QTest::newRow("(17)") << QByteArray("(17)") << 17 << "Rock";
    QTest::newRow("(17)R") << QByteArray("(17)R") << 17 << "Rock";
    QTest::newRow("(17)Heavy") << QByteArray("(17)Heavy") << 17 << "Heavy";
    QTest::newRow("(5)") << QByteArray("(5)") << 5 << "Funk";
    QTest::newRow("(300)X") << QByteArray("(300)X") << 255 << "(300)X";
    QTest::newRow("(ab)") << QByteArray("(ab)") << 255 << "(ab)";
    QTest::newRow("()") << QByteArray("()") << 255 << "()";
    QTest::newRow(")(") << QByteArray(")17(") << 255 << ")17(";
    QTest::newRow("(RX)") << QByteArray("(RX)") << 255 << "(RX)";
    // Without a code in brackets a name of the table, or a bare code, still gives the code.
    QTest::newRow("Rock") << QByteArray("Rock") << 17 << "Rock";
    QTest::newRow("Hip-Hop") << QByteArray("Hip-Hop") << 7 << "Hip-Hop";
    QTest::newRow("17") << QByteArray("17") << 17 << "Rock";
    QTest::newRow("unknown name") << QByteArray("Krautrock") << 255 << "Krautrock";
    QTest::newRow("empty") << QByteArray() << 255 << "";
}

void tst_Id3v2Read::genre()
{
    QFETCH(QByteArray, text);
    const cMP3ID3v2& tag = Read(Tag(3, Frame(3, "TCON", QByteArray(1, '\0') + text)) + Audio(500));
    QTEST(int(tag.Genre()), "genre");
    QTEST(tag.OtherGenreName(), "other");
}

void tst_Id3v2Read::properties()
{
    const QByteArray frames = Text(3, "TIT2", "Title") + Text(3, "TPE1", "Artist") + Text(3, "TALB", "Album")
                            + Text(3, "TYER", "1999") + Text(3, "TRCK", "3/12") + Text(3, "TENC", "Encoder")
                            + Text(3, "TCOP", "(c) Someone") + Text(3, "TOPE", "Original")
                            + Text(3, "TCOM", "Composer") + Frame(3, "WOAF", "http://audio.example/")
                            + Frame(3, "WOAR", "http://artist.example/") + Frame(3, "WCOM", "http://buy.example/")
                            + Frame(3, "PCNT", B("\x00\x00\x01\x2c")) + Text(3, "TIT2", "Second");
    const cMP3ID3v2& tag = Read(Tag(3, frames, 64) + Audio(500));
    QCOMPARE(tag.Title(), QStringLiteral("Second"));  // of two frames the last one read
    QCOMPARE(tag.TagsInFrame(QStringLiteral("TIT2")), 2);
    QCOMPARE(tag.TagsInFrame(QStringLiteral("tit2")), 2);
    QCOMPARE(tag.TagsInFrame(QStringLiteral("TXXX")), 0);
    QCOMPARE(tag.Artist(), QStringLiteral("Artist"));
    QCOMPARE(tag.Album(), QStringLiteral("Album"));
    QCOMPARE(tag.Year(), QStringLiteral("1999"));
    QCOMPARE(tag.Track(), QStringLiteral("3/12"));
    QCOMPARE(tag.EncodedBy(), QStringLiteral("Encoder"));
    QCOMPARE(tag.Copyright(), QStringLiteral("(c) Someone"));
    QCOMPARE(tag.OriginalArtist(), QStringLiteral("Original"));
    QCOMPARE(tag.Composer(), QStringLiteral("Composer"));
    QCOMPARE(tag.AudioURL(), QStringLiteral("http://audio.example/"));
    QCOMPARE(tag.ArtistURL(), QStringLiteral("http://artist.example/"));
    QCOMPARE(tag.BuyURL(), QStringLiteral("http://buy.example/"));
    QCOMPARE(tag.PlayCounter(), QStringLiteral("300"));
    QCOMPARE(tag.FrameCount(), 13);
}

void tst_Id3v2Read::version24Dates_data()
{
    QTest::addColumn<QByteArray>("frames");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("recording date") << Frame(4, "TDRC", QByteArray("\x03" "2004-05-17T12:30")) + Text(4, "TDOR", "1970")
                                           + Frame(4, "TDRL", QByteArray("\x03" "2005"))
                                    << "2004" << QStringList{"TYER", "TDAT", "TIME", "TORY", "TDRL"};
    QTest::newRow("release date alone") << Text(4, "TIT2", "T") + Frame(4, "TDRL", QByteArray("\x03" "2005-03-04"))
                                        << "2005" << QStringList{"TIT2", "TYER"};
    QTest::newRow("release date and a year") << Text(4, "TDRL", "2005") + Text(4, "TYER", "1999") << "1999"
                                             << QStringList{"TDRL", "TYER"};
    QTest::newRow("release date without a year") << Text(4, "TDRL", "soon") << "" << QStringList{"TDRL"};
}

void tst_Id3v2Read::version24Dates()
{
    QFETCH(QByteArray, frames);
    const cMP3ID3v2& tag = Read(Tag(4, frames) + Audio(500));
    QTEST(tag.Year(), "year");
    QTEST(Ids(tag), "ids");
}

void tst_Id3v2Read::version22Picture()
{
    const QByteArray pic = B("\x00" "PNG\x03" "Cover\x00") + QByteArray("\x89PNG\r\n\x1a\nDATA");
    const cMP3ID3v2& tag = Read(Tag(2, Frame(2, "PIC", pic)) + Audio(500));
    QCOMPARE(Ids(tag), QStringList{"APIC"});
}

void tst_Id3v2Read::readResetsForEachFile()
{
    Read(Tag(3, Frame(3, "USLT", B("\x00" "eng\x00" "words")) + Text(3, "TCON", "(17)")) + Audio(500));
    QCOMPARE(m_tag.Lyrics(), QStringLiteral("words"));
    QCOMPARE(m_tag.Genre(), quint8(17));
    Read(Tag(3, Text(3, "TIT2", "Other")) + Audio(500));
    QVERIFY(m_tag.Lyrics().isEmpty());
    QCOMPARE(m_tag.Genre(), quint8(255));
    QCOMPARE(m_tag.FrameCount(), 1);
}

void tst_Id3v2Read::readError()
{
    Read(Tag(3, Text(3, "TIT2", "Title")) + Audio(500));
    const QString missing = m_dir.filePath(QStringLiteral("missing.mp3"));
    try {
        m_tag.SetMP3File(missing);
        QFAIL("no error raised");
    } catch (const Id3Error& e) {
        QCOMPARE(e.Number(), Id3ErrorNumber::FileNotFound);
        QCOMPARE(e.Source(), QStringLiteral("tst_id3v2read.cMP3ID3v2"));
        QVERIFY(e.Description().contains(missing));
    }
    QCOMPARE(m_tag.MP3File(), missing);
    QVERIFY(!m_tag.HasID3v2Tag());
    QCOMPARE(m_tag.FrameCount(), 0);
    QVERIFY(m_tag.Title().isEmpty());
    QVERIFY(!QFile::exists(missing));
}

QTEST_GUILESS_MAIN(tst_Id3v2Read)
#include "tst_id3v2read.moc"
