// The tags editor on MP3 files other programs tagged (FFmpeg, LAME, eyeD3): their values
// in the boxes, edited and applied, then read back by FFmpeg and eyeD3, with the audio
// packets and the cover picture unchanged.
#include "TagsEditorFixture.h"
#include "Id3Tools.h"

#include <QTemporaryDir>

using namespace TagsEditorTest;
using namespace Id3Tools;

class tst_TagsEditorInterop : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void otherProgramsFiles_data();
    void otherProgramsFiles();
    void version1OnlyFile();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // Runs the commands in turn, with the fixture names turned into their paths; the
    // first makes `file` (ffmpeg and lame) or works on a copy of base.mp3 (eyeD3).
    bool make(const QString& file, QList<QStringList> commands);
    QTemporaryDir m_dir;
};

void tst_TagsEditorInterop::initTestCase()
{
    if (const QString tool = MissingTool(); !tool.isEmpty())
        QFAIL(qPrintable(tool + QStringLiteral(" is missing: install the test: line of scripts/packages.txt")));
    QVERIFY(MakeSources(m_dir.path()));
    TestFiles::WriteBytes(path("lyrics.txt"), QStringLiteral("Sung line\nSecond ☺\n").toUtf8());
}

bool tst_TagsEditorInterop::make(const QString& file, QList<QStringList> commands)
{
    QFile::remove(file);
    for (QStringList& command : commands) {
        const QString tool = command.takeFirst();
        for (QString& arg : command)
            for (const char* name : {"base.mp3", "base.wav", "cover.png", "lyrics.txt"})
                if (arg.startsWith(QLatin1String(name)))
                    arg = path(arg);
        if (tool == u"ffmpeg") {
            Run(tool, QStringList{"-v", "error", "-y"} + command + QStringList{file});
        } else if (tool == u"lame") {
            Run(tool, QStringList{"--quiet", "-b", "64"} + command + QStringList{path("base.wav"), file});
        } else {
            if (!QFile::exists(file))
                QFile::copy(path("base.mp3"), file);
            Run(tool, QStringList{"--no-config", "-Q"} + command + QStringList{file});
        }
    }
    return QFile::exists(file);
}

void tst_TagsEditorInterop::otherProgramsFiles_data()
{
    QTest::addColumn<QList<QStringList>>("commands");
    QTest::addColumn<QStringList>("shown");      // the twelve boxes with both versions read
    QTest::addColumn<QString>("typedGenre");     // null: the genre is left as loaded
    QTest::addColumn<QString>("probedGenre");    // the genre FFmpeg reads after Apply
    QTest::addColumn<QString>("probedComment");  // the comment FFmpeg reads after Apply
    QTest::addColumn<bool>("picture");

    const QStringList ffmpegTags{"-metadata", "title=Grüße ☺", "-metadata", "artist=Ärtist", "-metadata",
                                 "album=FF Album", "-metadata", "date=2021", "-metadata", "track=3/12", "-metadata",
                                 "comment=FF comment", "-metadata", "copyright=2021 FF"};
    const QStringList ffmpegShown{"Grüße ☺", "Ärtist",     "FF Album", "2021", "Synthwave", "3/12",
                                  "FF comment", "",          "",         "",     "2021 FF",   ""};
    const QStringList ffmpegInputs{"-i", "base.mp3", "-i", "cover.png", "-map", "0", "-map", "1", "-c", "copy",
                                   "-write_id3v1", "1"};
    // FFmpeg writes its comment as a user text frame named "comment" (shown here from the
    // version 1 block), which it reads ahead of the comment frame the editor writes.
    // A genre outside the table, left alone, stays as the file named it.
    QTest::newRow("ffmpeg version 2.3") << QList<QStringList>{QStringList{"ffmpeg"} + ffmpegInputs +
                                                              QStringList{"-id3v2_version", "3", "-metadata",
                                                                          "genre=Synthwave"} + ffmpegTags}
                                        << ffmpegShown << QString() << "Synthwave" << "FF comment" << true;
    QTest::newRow("ffmpeg version 2.4") << QList<QStringList>{QStringList{"ffmpeg"} + ffmpegInputs +
                                                              QStringList{"-id3v2_version", "4", "-metadata",
                                                                          "genre=Synthwave"} + ffmpegTags}
                                        << ffmpegShown << "Jaz" << "Jazz" << "FF comment" << true;
    // "Rock" left alone stays Rock, not the "Classic Rock" that holds it.
    QTest::newRow("lame") << QList<QStringList>{{"lame", "--tt", "Lame Title", "--ta", "Lame Artist", "--tl", "Album",
                                                 "--ty", "1999", "--tc", "Lame comment", "--tn", "5", "--tg", "Rock"}}
                          << QStringList{"Lame Title", "Lame Artist", "Album", "1999", "Rock", "5", "Lame comment",
                                         "",           "",            "",      "",     ""}
                          << QString() << "Rock" << "Edited comment" << false;
    QTest::newRow("eyeD3 version 2.4 and 1")
        << QList<QStringList>{{"eyeD3", "--to-v2.4", "--encoding", "utf8", "-t", "Eye ☺ Title", "-a", "Eye Artist",
                               "-A", "Eye Album", "--recording-date", "2005", "-G", "Hip-Hop", "-n", "7",
                               "--add-comment", "Eye comment", "--add-comment", "Other:Desc:deu", "--add-lyrics",
                               "lyrics.txt", "--add-image", "cover.png:FRONT_COVER:Front"},
                              {"eyeD3", "-1", "-t", "Eye V1 Title", "-a", "Eye Artist", "-G", "Jazz"}}
        << QStringList{"Eye ☺ Title", "Eye Artist", "Eye Album", "2005", "Hip Hop", "07", "Eye comment",
                       "",            "",           "",          "",     "Sung line\nSecond ☺\n"}
        << QString() << "Hip-Hop" << "Edited comment" << true;
}

void tst_TagsEditorInterop::otherProgramsFiles()
{
    QFETCH(QList<QStringList>, commands);
    QFETCH(QStringList, shown);
    QFETCH(QString, typedGenre);
    QFETCH(QString, probedGenre);
    QFETCH(QString, probedComment);
    QFETCH(bool, picture);
    const QString file = path(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_') + ".mp3");
    QVERIFY(make(file, commands));
    const QByteArray audioBefore = AudioBytes(TestFiles::ReadBytes(file));
    const QByteArray md5Before = AudioPacketsMd5(file);
    const QByteArray pictureBefore = picture ? TestFiles::ReadBytes(Picture(file)) : QByteArray();
    QVERIFY(!picture || !pictureBefore.isEmpty());

    Editor e;
    e.choose(file);
    QCOMPARE(e.boxes(), shown);

    frmMP3TagsEditor* w = e.w;
    w->txtTitle->setText(QStringLiteral("Edited ☺ 日本"));
    w->txtArtist->setText(QStringLiteral("Edited Ärtist"));
    w->txtYear->setText("2024");
    w->txtTrackNum->setText("9/10");
    w->txtDescription->setPlainText("Edited comment");
    w->txtLyric->setPlainText("Edited lyrics\nline 2");
    w->txtCopyright->setText("2024 Me");
    w->txtEncodedBy->setText("Velmaro");
    if (!typedGenre.isNull())
        w->cboGenre->setEditText(typedGenre);
    QCOMPARE(e.apply(), QStringLiteral("Done."));

    const QJsonObject tags = ProbeTags(file);
    QCOMPARE(tags.value("title").toString(), QStringLiteral("Edited ☺ 日本"));
    QCOMPARE(tags.value("artist").toString(), QStringLiteral("Edited Ärtist"));
    QCOMPARE(tags.value("album").toString(), shown[2]);
    QCOMPARE(tags.value("date").toString(), QStringLiteral("2024"));
    QCOMPARE(tags.value("genre").toString(), probedGenre);
    QCOMPARE(tags.value("track").toString(), QStringLiteral("9/10"));
    QCOMPARE(tags.value("comment").toString(), probedComment);
    QCOMPARE(tags.value("lyrics-eng").toString(), QStringLiteral("Edited lyrics\nline 2"));
    QCOMPARE(tags.value("copyright").toString(), QStringLiteral("2024 Me"));
    QCOMPARE(tags.value("encoded_by").toString(), QStringLiteral("Velmaro"));
    const QString v2 = QString::fromUtf8(Run("eyeD3", {"--no-config", "-2", file}));
    QVERIFY2(v2.contains(QStringLiteral("Comment: [Description: ] [Lang: eng]\nEdited comment\n")), qPrintable(v2));
    // Version 1 as eyeD3 reads it: the Latin-1 form of the same values.
    const QString v1 = QString::fromUtf8(Run("eyeD3", {"--no-config", "-1", file}));
    QVERIFY2(v1.contains(QStringLiteral("title: Edited ? ??")), qPrintable(v1));
    QVERIFY2(v1.contains(QStringLiteral("artist: Edited Ärtist")), qPrintable(v1));

    QCOMPARE(AudioBytes(TestFiles::ReadBytes(file)), audioBefore);
    QCOMPARE(AudioPacketsMd5(file), md5Before);
    if (picture)
        QCOMPARE(TestFiles::ReadBytes(Picture(file)), pictureBefore);
}

void tst_TagsEditorInterop::version1OnlyFile()
{
    const QString file = path("v1only.mp3");
    QVERIFY(make(file, {{"lame", "--id3v1-only", "--tt", "Only V1", "--ta", "V1 Artist", "--tc", "Note", "--tn", "4",
                         "--tg", "Jazz"}}));
    const QByteArray md5Before = AudioPacketsMd5(file);
    const QByteArray audioBefore = AudioBytes(TestFiles::ReadBytes(file));

    Editor e;
    e.version(V1);
    e.choose(file);
    QCOMPARE(e.boxes(), (QStringList{"Only V1", "V1 Artist", "", "", "Jazz", "", "Note", "", "", "", "", ""}));
    e.w->txtAlbum->setText(QStringLiteral("Grüße"));
    e.w->txtYear->setText("1987");
    e.w->cboGenre->setEditText("Metal");
    QCOMPARE(e.apply(), QStringLiteral("Done."));

    // No version 2 tag was made; FFmpeg reads version 1 then.
    QVERIFY(!TestFiles::ReadBytes(file).startsWith("ID3"));
    const QJsonObject tags = ProbeTags(file);
    QCOMPARE(tags.value("title").toString(), QStringLiteral("Only V1"));
    QCOMPARE(tags.value("artist").toString(), QStringLiteral("V1 Artist"));
    QCOMPARE(tags.value("date").toString(), QStringLiteral("1987"));
    QCOMPARE(tags.value("genre").toString(), QStringLiteral("Metal"));
    QCOMPARE(tags.value("track").toString(), QStringLiteral("4"));
    QCOMPARE(tags.value("comment").toString(), QStringLiteral("Note"));
    const QString eyeD3 = QString::fromUtf8(Run("eyeD3", {"--no-config", "-1", file}));
    QVERIFY2(eyeD3.contains(QStringLiteral("album: Grüße")), qPrintable(eyeD3));
    QCOMPARE(AudioBytes(TestFiles::ReadBytes(file)), audioBefore);
    QCOMPARE(AudioPacketsMd5(file), md5Before);
}

QTEST_MAIN(tst_TagsEditorInterop)
#include "tst_tagseditor_interop.moc"
