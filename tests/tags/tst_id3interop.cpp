// The tag classes against other programs: tags written by FFmpeg, LAME and eyeD3 are read
// correctly, tags written by the classes are read correctly by FFmpeg, pictures and other
// frames survive an update, and the audio frames stay bit-identical, also those a tag's
// wrong size reaches into.
#include "Id3Fixtures.h"
#include "Id3Tools.h"

#include "tags/id3/Id3Error.h"
#include "tags/id3/cMP3ID3v1.h"
#include "tags/id3/cMP3ID3v2.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Id3Fixtures;
using namespace Id3Tools;

class tst_Id3Interop : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void otherProgramsTags_data();
    void otherProgramsTags();
    void id3v1OfOtherPrograms();
    void ourTagsReadByFfmpeg();
    void sizeReachingIntoTheAudio_data();
    void sizeReachingIntoTheAudio();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void tst_Id3Interop::initTestCase()
{
    if (const QString tool = MissingTool(); !tool.isEmpty())
        QFAIL(qPrintable(tool + QStringLiteral(" is missing: install the test: line of scripts/packages.txt")));
    QVERIFY(MakeSources(m_dir.path()));
    TestFiles::WriteBytes(path("lyrics.txt"), QStringLiteral("Line one\nLine two ☺\n").toUtf8());
}

void tst_Id3Interop::otherProgramsTags_data()
{
    QTest::addColumn<QStringList>("command");  // "ffmpeg ..." making out.mp3 from base.mp3, or a tool run on out.mp3
    QTest::addColumn<QStringList>("expected");  // title, artist, album, year, genre code, genre text, comment, lyrics, track
    QTest::addColumn<bool>("picture");

    const QStringList ffmpegTags = {"-metadata", "title=Grüße ☺ 日本", "-metadata", "artist=Ärtist", "-metadata",
                                    "album=Album", "-metadata", "date=2021", "-metadata", "genre=Rock", "-metadata",
                                    "track=3/12", "-metadata:s:v", "title=Album cover", "-metadata:s:v",
                                    "comment=Cover (front)"};
    const QStringList ffmpegValues = {"Grüße ☺ 日本", "Ärtist", "Album", "2021", "17", "Rock", "", "", "3/12"};
    QTest::newRow("ffmpeg version 2.3") << (QStringList{"ffmpeg", "-i", "base.mp3", "-i", "cover.png", "-map", "0", "-map",
                                                        "1", "-c", "copy", "-id3v2_version", "3"} + ffmpegTags)
                                        << ffmpegValues << true;
    QTest::newRow("ffmpeg version 2.4") << (QStringList{"ffmpeg", "-i", "base.mp3", "-i", "cover.png", "-map", "0", "-map",
                                                        "1", "-c", "copy", "-id3v2_version", "4"} + ffmpegTags)
                                        << ffmpegValues << true;
    QTest::newRow("lame") << QStringList{"lame", "--tt", "Tïtle", "--ta", "Artist", "--tl", "Album", "--ty", "1999",
                                         "--tc", "Lame comment", "--tn", "5", "--tg", "Rock"}
                          << QStringList{"Tïtle", "Artist", "Album", "1999", "17", "Rock", "Lame comment", "", "5"} << false;
    const QStringList eyeD3 = {"-t", "Tïtle ☺", "-a", "Ärtist", "-A", "Album", "--recording-date", "2005", "-G", "Hip-Hop",
                               "-n", "7", "--add-comment", "Main comment ☺", "--add-comment", "Second:Desc:deu",
                               "--add-lyrics", "lyrics.txt", "--add-image", "cover.png:FRONT_COVER:Front", "--url-frame",
                               "WOAR:http://artist.example/", "--user-text-frame", "MyKey:MyValue ☺", "--play-count",
                               "42", "--add-popularity", "me@example.com:200:7"};
    const QStringList eyeD3Values = {"Tïtle ☺", "Ärtist", "Album", "2005", "7", "Hip-Hop", "Main comment ☺",
                                     "Line one\nLine two ☺\n", "07"};
    QTest::newRow("eyeD3 version 2.3, UTF-16") << (QStringList{"eyeD3", "--to-v2.3", "--encoding", "utf16"} + eyeD3)
                                               << eyeD3Values << true;
    QTest::newRow("eyeD3 version 2.4, UTF-8") << (QStringList{"eyeD3", "--to-v2.4", "--encoding", "utf8"} + eyeD3)
                                              << eyeD3Values << true;
}

void tst_Id3Interop::otherProgramsTags()
{
    QFETCH(QStringList, command);
    QFETCH(QStringList, expected);
    QFETCH(bool, picture);
    const QString file = path(QStringLiteral("%1.mp3").arg(QTest::currentDataTag()).replace(u' ', u'_'));
    QFile::remove(file);
    const QString tool = command.takeFirst();
    for (QString& arg : command) {
        if (arg == u"base.mp3" || arg == u"cover.png" || arg == u"lyrics.txt")
            arg = path(arg);
        else if (arg.startsWith(u"cover.png:") || arg.startsWith(u"lyrics.txt"))
            arg = path(arg);
    }
    if (tool == u"ffmpeg")
        Run(tool, QStringList{"-v", "error", "-y"} + command + QStringList{file});
    else if (tool == u"lame")
        Run(tool, QStringList{"--quiet", "-b", "64"} + command + QStringList{path("base.wav"), file});
    else {
        QFile::copy(path("base.mp3"), file);
        Run(tool, QStringList{"--no-config", "-Q"} + command + QStringList{file});
    }
    QVERIFY(QFile::exists(file));
    Seed(file);

    cMP3ID3v2 tag;
    tag.SetMP3File(file);
    QVERIFY(tag.HasID3v2Tag());
    const QStringList read = {tag.Title(), tag.Artist(), tag.Album(), tag.Year(), QString::number(tag.Genre()),
                              tag.OtherGenreName(), tag.Comment(), tag.Lyrics(), tag.Track()};
    QCOMPARE(read, expected);

    // An update changes the title, the comment and the lyrics and keeps everything else.
    const QByteArray before = TestFiles::ReadBytes(file);
    const QByteArray audioMd5 = AudioPacketsMd5(file);
    const QString pictureBefore = picture ? Picture(file) : QString();
    tag.SetTitle(QStringLiteral("Neuer Titel ☺ 新"));
    tag.SetComment(QStringLiteral("Our comment ☺"));
    tag.SetLyrics(QStringLiteral("Our lyrics\nline 2"));
    tag.Update();
    const QByteArray after = TestFiles::ReadBytes(file);

    QCOMPARE(AudioBytes(after), AudioBytes(before));
    QCOMPARE(AudioPacketsMd5(file), audioMd5);
    const QJsonObject tags = ProbeTags(file);
    QCOMPARE(tags.value("title").toString(), QStringLiteral("Neuer Titel ☺ 新"));
    QCOMPARE(tags.value("artist").toString(), expected[1]);
    QCOMPARE(tags.value("album").toString(), expected[2]);
    QCOMPARE(tags.value("date").toString(), expected[3]);
    QCOMPARE(tags.value("genre").toString(), expected[5]);
    QCOMPARE(tags.value("track").toString(), expected[8]);
    QCOMPARE(tags.value("comment").toString(), QStringLiteral("Our comment ☺"));
    QCOMPARE(tags.value("lyrics-eng").toString(), QStringLiteral("Our lyrics\nline 2"));
    if (picture)
        QCOMPARE(TestFiles::ReadBytes(Picture(file)), TestFiles::ReadBytes(pictureBefore));

    // A version 2.3 tag keeps every frame no setter replaced byte for byte.
    if (before.startsWith(B("ID3\x03"))) {
        const QList<WrittenFrame> old = WrittenFrames(before);
        const QList<WrittenFrame> now = WrittenFrames(after);
        for (const WrittenFrame& f : old) {
            if (f.id != "TIT2" && f.id != "COMM" && f.id != "USLT")
                QVERIFY2(now.contains(f), f.id.constData());
        }
    }

    cMP3ID3v2 again;
    again.SetMP3File(file);
    QCOMPARE(again.Title(), QStringLiteral("Neuer Titel ☺ 新"));
    QCOMPARE(again.Comment(), QStringLiteral("Our comment ☺"));
    QCOMPARE(again.Artist(), expected[1]);
    QCOMPARE(again.Year(), expected[3]);
    Seed(file);
}

void tst_Id3Interop::id3v1OfOtherPrograms()
{
    const QString file = path("lame-v1.mp3");
    Run("lame", {"--quiet", "-b", "64", "--id3v1-only", "--tt", "V1 title", "--ta", "V1 artist", "--tc", "Note", "--tn",
                 "4", "--tg", "Jazz", path("base.wav"), file});
    Seed(file);
    cMP3ID3v1 v1;
    v1.SetMP3File(file);
    QVERIFY(v1.HasID3v1Tag());
    QCOMPARE(v1.Title(), QStringLiteral("V1 title"));
    QCOMPARE(v1.Artist(), QStringLiteral("V1 artist"));
    QCOMPARE(v1.Comment(), QStringLiteral("Note"));
    QCOMPARE(v1.Track(), quint8(4));
    QCOMPARE(v1.Genre(), quint8(8));
    cMP3ID3v2 v2;
    v2.SetMP3File(file);
    QVERIFY(!v2.HasID3v2Tag());

    const QByteArray audio = AudioBytes(TestFiles::ReadBytes(file));
    v1.SetTitle(QStringLiteral("New title"));
    v1.SetAlbum(QStringLiteral("Grüße"));
    v1.SetGenre(17);
    v1.Update();
    QCOMPARE(AudioBytes(TestFiles::ReadBytes(file)), audio);
    const QJsonObject tags = ProbeTags(file);
    QCOMPARE(tags.value("title").toString(), QStringLiteral("New title"));
    QCOMPARE(tags.value("artist").toString(), QStringLiteral("V1 artist"));
    QCOMPARE(tags.value("genre").toString(), QStringLiteral("Rock"));
    QCOMPARE(tags.value("track").toString(), QStringLiteral("4"));
    // FFmpeg takes ID3v1 bytes for UTF-8; the block holds ISO-8859-1, as eyeD3 reads it.
    const QString eyeD3 = QString::fromUtf8(Run("eyeD3", {"--no-config", "-1", file}));
    QVERIFY2(eyeD3.contains(QStringLiteral("album: Grüße")), qPrintable(eyeD3));
}

void tst_Id3Interop::ourTagsReadByFfmpeg()
{
    // Both tags written into a file that had none, as the tags editor writes them.
    const QString file = path("ours.mp3");
    QFile::remove(file);
    QVERIFY(QFile::copy(path("base.mp3"), file));
    const QByteArray audio = TestFiles::ReadBytes(file);
    const QByteArray audioMd5 = AudioPacketsMd5(file);

    cMP3ID3v1 v1;
    v1.SetMP3File(file);
    v1.SetTitle(QStringLiteral("Title"));
    v1.SetArtist(QStringLiteral("Artist"));
    v1.SetGenre(17);
    v1.Update();
    cMP3ID3v2 v2;
    v2.SetMP3File(file);
    v2.SetArtist(QStringLiteral("Ärtist ☺"));
    v2.SetTitle(QStringLiteral("Tïtle 日本"));
    v2.SetAlbum(QStringLiteral("Album"));
    v2.SetYear(QStringLiteral("2024"));
    v2.SetComment(QStringLiteral("Comment"));
    v2.SetGenre(17);
    v2.SetOtherGenreName(QStringLiteral("Rock"));
    v2.SetTrack(QStringLiteral("2/9"));
    v2.SetOriginalArtist(QStringLiteral("Original"));
    v2.SetCopyright(QStringLiteral("2024 Someone"));
    v2.SetEncodedBy(QStringLiteral("Velmaro"));
    v2.SetLinkTo(QStringLiteral("http://example.org/"));
    v2.SetLyrics(QStringLiteral("Words"));
    v2.Update();
    Seed(file);

    const QByteArray after = TestFiles::ReadBytes(file);
    QCOMPARE(AudioBytes(after), audio);
    QCOMPARE(AudioPacketsMd5(file), audioMd5);
    const QJsonObject tags = ProbeTags(file);
    QCOMPARE(tags.value("title").toString(), QStringLiteral("Tïtle 日本"));
    QCOMPARE(tags.value("artist").toString(), QStringLiteral("Ärtist ☺"));
    QCOMPARE(tags.value("album").toString(), QStringLiteral("Album"));
    QCOMPARE(tags.value("date").toString(), QStringLiteral("2024"));
    QCOMPARE(tags.value("comment").toString(), QStringLiteral("Comment"));
    QCOMPARE(tags.value("genre").toString(), QStringLiteral("Rock"));
    QCOMPARE(tags.value("track").toString(), QStringLiteral("2/9"));
    QCOMPARE(tags.value("copyright").toString(), QStringLiteral("2024 Someone"));
    QCOMPARE(tags.value("encoded_by").toString(), QStringLiteral("Velmaro"));
    QCOMPARE(tags.value("lyrics-eng").toString(), QStringLiteral("Words"));

    const QByteArray eyeD3 = Run("eyeD3", {"--no-config", "-1", file});
    QVERIFY2(eyeD3.contains("title: Title"), eyeD3.constData());
    QVERIFY2(eyeD3.contains("artist: Artist"), eyeD3.constData());
}

void tst_Id3Interop::sizeReachingIntoTheAudio_data()
{
    QTest::addColumn<int>("titleLength");
    QTest::newRow("new tag in place") << 5;
    QTest::newRow("new tag grows") << 3000;
}

// A tag whose header states 1000 bytes more than its frames and padding, so that it
// reaches into the first MPEG frames: an update keeps every audio frame.
void tst_Id3Interop::sizeReachingIntoTheAudio()
{
    QFETCH(int, titleLength);
    const QByteArray mp3 = TestFiles::ReadBytes(path("base.mp3"));
    QVERIFY(mp3.size() > 2000);
    const QByteArray tag = Tag(3, Frame(3, "TIT2", Latin1Text("Old")) + Frame(3, "TPE1", Latin1Text("Artist")), 100);
    const QString file = path(QStringLiteral("stating-%1.mp3").arg(titleLength));
    QVERIFY(Make(file, tag.left(6) + Synchsafe(quint32(tag.size() - 10 + 1000)) + tag.mid(10) + mp3));

    cMP3ID3v2 v2;
    v2.SetMP3File(file);
    QCOMPARE(v2.Artist(), QStringLiteral("Artist"));
    v2.SetTitle(QString(titleLength, u'n'));
    v2.Update();
    QCOMPARE(AudioBytes(TestFiles::ReadBytes(file)), mp3);
    QCOMPARE(AudioPacketsMd5(file), AudioPacketsMd5(path("base.mp3")));
    const QJsonObject tags = ProbeTags(file);
    QCOMPARE(tags.value("title").toString(), QString(titleLength, u'n'));
    QCOMPARE(tags.value("artist").toString(), QStringLiteral("Artist"));
}

QTEST_GUILESS_MAIN(tst_Id3Interop)
#include "tst_id3interop.moc"
