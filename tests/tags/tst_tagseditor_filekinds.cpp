// The tags editor on files of every kind a user may choose under an MP3 name: files that
// are not MP3 files (WAV, FLAC, Ogg, text, zeros) are refused by Apply with the tag
// classes' error and keep every byte; MP3 files as encoders write them are still tagged,
// with their audio unchanged; and a huge file of zeros is opened and refused after
// reading a small part of it.
#include "Id3Tools.h"
#include "TagsEditorFixture.h"

#include "tests/support/AudioFixtures.h"
#include "tests/support/ExternalTools.h"

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace TagsEditorTest;

namespace {

// What opening the huge file and applying to it may read: a few chunks of the tag search,
// the stray bytes before a first frame, and slack for what the process reads besides.
constexpr qint64 kReadBound = qint64(32) << 20;
constexpr qint64 kHuge = qint64(2) << 30;  // 2 GB

// The text the editor shows for a file the tag classes find no MP3 file.
QString NotValidMp3(const QString& file)
{
    return file + QStringLiteral(" is not a valid MP3 file.(-2147217407)");
}

// The disk blocks a file takes: a sparse file that was never written takes none.
qint64 DiskBlocks(const QString& file)
{
    struct stat st {};
    return ::stat(QFile::encodeName(file).constData(), &st) == 0 ? qint64(st.st_blocks) : -1;
}

} // namespace

class tst_TagsEditorFileKinds : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void notMp3Refused_data();
    void notMp3Refused();
    void mp3Tagged_data();
    void mp3Tagged();
    void hugeFileOfZeros();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void tst_TagsEditorFileKinds::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // Half a second of a tone, the source of every encoded fixture.
    QVERIFY(AudioFixtures::writeWav(path("tone.wav"), 44100, 2, 16, AudioFixtures::sine(22050, 2, 44100, 440)));
    QString error;
    QVERIFY2(ExternalTools::Run("ffmpeg", {"-v", "error", "-y", "-i", path("tone.wav"), path("tone.flac")},
                                path("tone.flac"), &error),
             qPrintable(error));
    QVERIFY2(ExternalTools::Run("ffmpeg",
                                {"-v", "error", "-y", "-i", path("tone.wav"), "-c:a", "libvorbis", path("tone.ogg")},
                                path("tone.ogg"), &error),
             qPrintable(error));
    QVERIFY2(ExternalTools::Run("lame", {"--quiet", "-b", "128", path("tone.wav"), path("tone.mp3")}, path("tone.mp3"),
                                &error),
             qPrintable(error));
}

void tst_TagsEditorFileKinds::notMp3Refused_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("version");

    const QByteArray wav = TestFiles::ReadBytes(path("tone.wav"));
    QByteArray text;
    for (int i = 1; i <= 200; ++i)
        text += "Line " + QByteArray::number(i) + " of a note that was saved under the wrong name.\n";
    const QByteArray tag = V2Tag({{"TIT2", Latin1Text("Old")}});
    const QList<QPair<const char*, QByteArray>> files{
        {"WAV", wav},
        {"WAV after an ID3v2 tag", tag + wav},
        {"FLAC", TestFiles::ReadBytes(path("tone.flac"))},
        {"Ogg Vorbis", TestFiles::ReadBytes(path("tone.ogg"))},
        {"text", text},
        {"zeros", QByteArray(100000, '\0')},
        {"ID3v2 tag, then zeros", tag + QByteArray(5000, '\0')},
        // A frame header alone, not followed by the next frame's, is no stream.
        {"one frame header, then text", QByteArray("\xFF\xFB\x90\x64") + text},
    };
    const std::pair<const char*, Version> versions[] = {{"ID3 v1", V1}, {"ID3 v2", V2}, {"ID3 v1+v2", V1V2}};
    for (const auto& [name, content] : files) {
        QVERIFY2(!content.isEmpty(), name);
        for (const auto& [versionName, version] : versions)
            QTest::addRow("%s, %s", name, versionName) << content << int(version);
    }
}

// Apply on a file that holds no MP3 frames shows the tag classes' error, not "Done.", and
// the file keeps every byte, whichever version is written first.
void tst_TagsEditorFileKinds::notMp3Refused()
{
    QFETCH(QByteArray, content);
    QFETCH(int, version);
    Editor e;
    const QString file = e.platform.path("song.mp3");
    QVERIFY(Make(file, content));
    e.version(version);
    e.choose(file);
    e.w->txtTitle->setText("New Title");
    e.w->txtArtist->setText("New Artist");
    QCOMPARE(e.apply(), NotValidMp3(file));
    QCOMPARE(e.platform.messages().shown.size(), 1);
    QCOMPARE(TestFiles::ReadBytes(file), content);
}

void tst_TagsEditorFileKinds::mp3Tagged_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");  // "in" and "out" stand for the files

    const QString lame = QStringLiteral("lame");
    QTest::newRow("lame, 128 kbit/s") << lame << QStringList{"--quiet", "-b", "128", "in", "out"};
    QTest::newRow("lame, VBR") << lame << QStringList{"--quiet", "-V", "4", "in", "out"};
    QTest::newRow("lame, MPEG-2 at 22.05 kHz") << lame << QStringList{"--quiet", "--resample", "22.05", "-b", "32", "in", "out"};
    QTest::newRow("lame, MPEG-2.5 at 8 kHz, 8 kbit/s")
        << lame << QStringList{"--quiet", "--resample", "8", "-b", "8", "in", "out"};
    QTest::newRow("lame, frames with CRC") << lame << QStringList{"--quiet", "-p", "-b", "128", "in", "out"};
    QTest::newRow("lame, no info frame") << lame << QStringList{"--quiet", "-t", "-b", "64", "in", "out"};
    QTest::newRow("lame, with tags of both versions")
        << lame << QStringList{"--quiet", "-b", "128", "--add-id3v2", "--tt", "Old", "--ta", "Someone", "in", "out"};
    QTest::newRow("ffmpeg, with its ID3v2.4 tag")
        << QStringLiteral("ffmpeg")
        << QStringList{"-v", "error", "-y", "-i", "in", "-c:a", "libmp3lame", "-b:a", "96k", "-metadata", "title=Old", "out"};
    // Taggers leave zero bytes after a tag that its size does not count.
    QTest::newRow("zero bytes between the tag and the frames") << QString() << QStringList();
}

// MP3 files as encoders write them: Apply says "Done.", both tags hold the new title, and
// the audio packets are those the file had.
void tst_TagsEditorFileKinds::mp3Tagged()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    Editor e;
    const QString file = e.platform.path("song.mp3");
    if (program.isEmpty()) {
        QVERIFY(Make(file, V2Tag({{"TIT2", Latin1Text("Old")}}) + QByteArray(3000, '\0') +
                               TestFiles::ReadBytes(path("tone.mp3"))));
    } else {
        arguments.replace(arguments.indexOf("in"), path("tone.wav"));
        arguments.replace(arguments.indexOf("out"), file);
        QString error;
        QVERIFY2(ExternalTools::Run(program, arguments, file, &error), qPrintable(error));
    }
    const QByteArray packets = Id3Tools::AudioPacketsMd5(file);
    QVERIFY(packets.size() > 10 && packets != "<failed>");

    e.choose(file);
    e.w->txtTitle->setText("New Title");
    QCOMPARE(e.apply(), QStringLiteral("Done."));
    cMP3ID3v1 v1;
    v1.SetMP3File(file);
    QCOMPARE(v1.Title(), QStringLiteral("New Title"));
    cMP3ID3v2 v2;
    v2.SetMP3File(file);
    QCOMPARE(v2.Title(), QStringLiteral("New Title"));
    QCOMPARE(Id3Tools::AudioPacketsMd5(file), packets);
}

// A 2 GB file of zeros under an MP3 name (a download whose space was taken but never
// filled) opens with empty boxes and is refused by Apply, each after reading a small part
// of it, and keeps every byte. Sparse, it takes no disk space; the bound is on the bytes
// read, which is what made opening it take seconds, whatever the machine's load.
void tst_TagsEditorFileKinds::hugeFileOfZeros()
{
    Editor e;
    const QString file = e.platform.path("zeros.mp3");
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        if (!f.resize(kHuge))
            QSKIP("This file system cannot hold a sparse 2 GB file.");
    }
    const qint64 blocks = DiskBlocks(file);
    QVERIFY(TestFiles::BytesReadSoFar() >= 0);

    // Opened as the window opens, with both versions read.
    qint64 before = TestFiles::BytesReadSoFar();
    e.choose(file);
    qint64 read = TestFiles::BytesReadSoFar() - before;
    QVERIFY2(read <= kReadBound, qPrintable(QStringLiteral("opening read %1 bytes").arg(read)));
    QCOMPARE(e.boxes(), QStringList(12));

    // Each version choice reads the file again; Apply refuses it.
    for (const int version : {V1, V2, V1V2}) {
        e.platform.messages().shown.clear();
        before = TestFiles::BytesReadSoFar();
        e.version(version);
        e.w->txtTitle->setText("New Title");
        QCOMPARE(e.apply(), NotValidMp3(file));
        read = TestFiles::BytesReadSoFar() - before;
        QVERIFY2(read <= kReadBound, qPrintable(QStringLiteral("reading and Apply read %1 bytes").arg(read)));
        QCOMPARE(e.platform.messages().shown.size(), 1);
        QCOMPARE(QFileInfo(file).size(), kHuge);
        QCOMPARE(DiskBlocks(file), blocks);  // not a byte written
    }
}

QTEST_MAIN(tst_TagsEditorFileKinds)
#include "tst_tagseditor_filekinds.moc"
