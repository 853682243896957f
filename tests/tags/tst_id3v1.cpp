// The ID3v1 tag class: the genre table, reading the block at a file's end, writing it in
// place or appended, and the errors it raises.
#include "Id3Fixtures.h"

#include "tags/id3/Id3Error.h"
#include "tags/id3/cMP3ID3v1.h"
#include "tags/id3/cMP3ID3v2.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Id3Fixtures;

namespace {

QByteArray Padded(const QByteArray& text, int width, char fill = ' ')
{
    return text.left(width) + QByteArray(qMax(0, width - int(text.size())), fill);
}

// A 128-byte block with the given raw fields.
QByteArray Block(const QByteArray& title, const QByteArray& comment30, quint8 track, quint8 genre,
                 const QByteArray& marker = "TAG")
{
    QByteArray comment = Padded(comment30, 28, '\0');
    if (comment30.size() <= 28) {
        comment += char(0);
        comment += char(track);
    } else {
        comment = comment30.left(30);
    }
    return marker + Padded(title, 30, '\0') + Padded("Artist", 30, '\0') + Padded("Album", 30, '\0')
         + QByteArray("1999") + comment + char(genre);
}

} // namespace

class tst_Id3v1 : public QObject
{
    Q_OBJECT
private slots:
    void genreTable_data();
    void genreTable();
    void genreTableIsSharedAndComplete();
    void newObject();
    void read_data();
    void read();
    void readResetsForEachFile();
    void readErrors_data();
    void readErrors();
    void write_data();
    void write();
    void writeThenRead();
    void updateErrors_data();
    void updateErrors();
    void updateReadOnlyFile();
    void failedAppendLeavesFileAsItWas();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void tst_Id3v1::genreTable_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("first") << 0 << "Blues";
    QTest::newRow("rock") << 17 << "Rock";
    QTest::newRow("odd spelling") << 78 << "Rock 'n'Roll";
    QTest::newRow("before the gap") << 122 << "Drum Solo";
    QTest::newRow("the gap") << 123 << "";
    QTest::newRow("after the gap") << 124 << "Euro - House";
    QTest::newRow("last") << 147 << "Synth Pop";
    QTest::newRow("past the table") << 148 << "";
    QTest::newRow("no genre") << 255 << "";
}

void tst_Id3v1::genreTable()
{
    QFETCH(int, code);
    QFETCH(QString, name);
    QCOMPARE(cMP3ID3v1::GenreName(quint8(code)), name);
}

void tst_Id3v1::genreTableIsSharedAndComplete()
{
    int named = 0;
    for (int code = 0; code < 256; ++code) {
        QCOMPARE(cMP3ID3v2::GenreName(quint8(code)), cMP3ID3v1::GenreName(quint8(code)));
        named += cMP3ID3v1::GenreName(quint8(code)).isEmpty() ? 0 : 1;
    }
    QCOMPARE(named, 147);
}

void tst_Id3v1::newObject()
{
    cMP3ID3v1 tag;
    QCOMPARE(tag.Genre(), quint8(0));
    QCOMPARE(tag.Track(), quint8(0));
    QVERIFY(tag.Title().isEmpty() && tag.Artist().isEmpty() && tag.Comment().isEmpty());
    QVERIFY(!tag.HasID3v1Tag());
}

void tst_Id3v1::read_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("hasTag");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<int>("track");
    QTest::addColumn<int>("genre");

    const QByteArray audio = Audio(1000);
    QTest::newRow("block after audio") << audio + Block("Title", "Comment", 3, 17) << true << "Title"
                                       << "Comment" << 3 << 17;
    // An ID3v1.0 block's comment fills 30 bytes: its last two become the zero byte and track.
    QTest::newRow("comment of 30 bytes") << audio + Block("T", "abcdefghijklmnopqrstuvwxyz1234", 0, 8) << true
                                         << "T" << "abcdefghijklmnopqrstuvwxyz12" << int('4') << 8;
    QTest::newRow("NULs inside a field") << audio + Block(QByteArray("ab\0cd", 5), "", 0, 0) << true << "abcd"
                                         << "" << 0 << 0;
    QTest::newRow("blanks around") << audio + Block("  in between  ", "   ", 0, 0) << true << "in between" << ""
                                   << 0 << 0;
    QTest::newRow("ISO-8859-1 text") << audio + Block("Caf\xe9 \xb5", "", 0, 255) << true
                                     << QStringLiteral("Café µ") << "" << 0 << 255;
    QTest::newRow("marker is case-sensitive") << audio + Block("Title", "", 1, 1, "tag") << false << "" << ""
                                              << 0 << 255;
    QTest::newRow("no block") << audio << false << "" << "" << 0 << 255;
    QTest::newRow("block alone, no audio") << Block("Title", "", 1, 1) << false << "" << "" << 0 << 255;
    QTest::newRow("empty file") << QByteArray() << false << "" << "" << 0 << 255;
}

void tst_Id3v1::read()
{
    QFETCH(QByteArray, file);
    QVERIFY(Make(path("read.mp3"), file));
    cMP3ID3v1 tag;
    tag.SetMP3File(path("read.mp3"));
    QTEST(tag.HasID3v1Tag(), "hasTag");
    QTEST(tag.Title(), "title");
    QTEST(tag.Comment(), "comment");
    QTEST(int(tag.Track()), "track");
    QTEST(int(tag.Genre()), "genre");
    if (tag.HasID3v1Tag()) {
        QCOMPARE(tag.Artist(), QStringLiteral("Artist"));
        QCOMPARE(tag.Album(), QStringLiteral("Album"));
        QCOMPARE(tag.Year(), QStringLiteral("1999"));
    }
}

void tst_Id3v1::readResetsForEachFile()
{
    QVERIFY(Make(path("with.mp3"), Audio(500) + Block("Title", "Note", 4, 9)));
    QVERIFY(Make(path("without.mp3"), Audio(500)));
    cMP3ID3v1 tag;
    tag.SetMP3File(path("with.mp3"));
    QCOMPARE(tag.Title(), QStringLiteral("Title"));
    tag.SetMP3File(path("without.mp3"));
    QVERIFY(!tag.HasID3v1Tag());
    QVERIFY(tag.Title().isEmpty() && tag.Artist().isEmpty() && tag.Comment().isEmpty() && tag.Year().isEmpty());
    QCOMPARE(tag.Track(), quint8(0));
    QCOMPARE(tag.Genre(), quint8(255));
}

void tst_Id3v1::readErrors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");
    QTest::newRow("missing file") << "missing.mp3" << Id3ErrorNumber::FileNotFound;
    QTest::newRow("missing folder") << "nowhere/missing.mp3" << Id3ErrorNumber::FileNotFound;
    QTest::newRow("a folder") << "folder.mp3" << Id3ErrorNumber::PathFileAccessError;
}

void tst_Id3v1::readErrors()
{
    QFETCH(QString, name);
    QDir(m_dir.path()).mkdir(QStringLiteral("folder.mp3"));
    QVERIFY(Make(path("tagged.mp3"), Audio(500) + Block("Title", "", 1, 1)));
    cMP3ID3v1 tag;
    tag.SetMP3File(path("tagged.mp3"));
    try {
        tag.SetMP3File(path(name));
        QFAIL("no error raised");
    } catch (const Id3Error& e) {
        QTEST(e.Number(), "number");
        QVERIFY2(e.Description().contains(path(name)), qPrintable(e.Description()));
        QCOMPARE(e.Source(), QStringLiteral("tst_id3v1.cMP3ID3v1"));
    }
    QCOMPARE(tag.MP3File(), path(name));
    QVERIFY(!tag.HasID3v1Tag());
    QVERIFY(tag.Title().isEmpty());
    QCOMPARE(tag.Genre(), quint8(255));
    QVERIFY(!QFile::exists(path("missing.mp3")));
}

void tst_Id3v1::write_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QByteArray>("titleField");
    QTest::addColumn<QByteArray>("commentField");

    const QByteArray audio = Audio(1000);
    QTest::newRow("appended to audio") << audio << "ab" << "note" << Padded("ab", 30) << Padded("note", 28);
    QTest::newRow("over an old block") << audio + Block("Old title", "old comment of thirty bytes..", 0, 3)
                                       << "ab" << "" << Padded("ab", 30) << Padded("", 28);
    QTest::newRow("cut at the width") << audio << QString(31, u'x') << QString(40, u'y') << QByteArray(30, 'x')
                                      << QByteArray(28, 'y');
    QTest::newRow("outside ISO-8859-1") << audio << QStringLiteral("Ünïcode \u20ac") << "" << Padded("\xdcn\xef" "code ?", 30)
                                        << Padded("", 28);
}

void tst_Id3v1::write()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, title);
    QFETCH(QString, comment);
    QVERIFY(Make(path("write.mp3"), before));
    cMP3ID3v1 tag;
    tag.SetMP3File(path("write.mp3"));
    tag.SetTitle(title);
    tag.SetArtist(QStringLiteral("Artist"));
    tag.SetAlbum(QStringLiteral("Album"));
    tag.SetYear(QStringLiteral("20240"));
    tag.SetComment(comment);
    tag.SetTrack(7);
    tag.SetGenre(17);
    tag.Update();

    const QByteArray after = TestFiles::ReadBytes(path("write.mp3"));
    const bool hadBlock = before.right(128).startsWith("TAG");
    QCOMPARE(after.size(), hadBlock ? before.size() : before.size() + 128);
    const qsizetype at = after.size() - 128;
    QCOMPARE(after.left(at), before.left(at));  // the audio
    QFETCH(QByteArray, titleField);
    QFETCH(QByteArray, commentField);
    const QByteArray expected = "TAG" + titleField + Padded("Artist", 30) + Padded("Album", 30) + "2024"
                              + commentField + char(0) + char(7) + char(17);
    QCOMPARE(after.mid(at), expected);
}

void tst_Id3v1::writeThenRead()
{
    QVERIFY(Make(path("round.mp3"), Audio(1000)));
    cMP3ID3v1 tag;
    tag.SetMP3File(path("round.mp3"));
    tag.SetTitle(QStringLiteral("  Title"));
    tag.SetComment(QStringLiteral("Comment"));
    tag.SetTrack(12);
    tag.SetGenre(255);
    tag.Update();
    QCOMPARE(tag.Title(), QStringLiteral("  Title"));  // Update does not read the file again
    tag.Update();
    QCOMPARE(QFileInfo(path("round.mp3")).size(), 1128);

    cMP3ID3v1 again;
    again.SetMP3File(path("round.mp3"));
    QVERIFY(again.HasID3v1Tag());
    QCOMPARE(again.Title(), QStringLiteral("Title"));
    QCOMPARE(again.Comment(), QStringLiteral("Comment"));
    QCOMPARE(again.Track(), quint8(12));
    QCOMPARE(again.Genre(), quint8(255));
}

void tst_Id3v1::updateErrors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("exists");
    QTest::newRow("empty file") << "empty.mp3" << QByteArray() << Id3ErrorNumber::NotValidMp3 << true;
    QTest::newRow("one byte") << "one.mp3" << QByteArray("x") << Id3ErrorNumber::NotValidMp3 << true;
    QTest::newRow("128 bytes") << "block.mp3" << Block("T", "", 1, 1) << Id3ErrorNumber::NotValidMp3 << true;
    QTest::newRow("no file") << "missing.mp3" << QByteArray() << Id3ErrorNumber::FileNotFound << false;
}

void tst_Id3v1::updateErrors()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, exists);
    if (exists)
        QVERIFY(Make(path(name), content));
    cMP3ID3v1 tag;
    try {
        tag.SetMP3File(path(name));
    } catch (const Id3Error&) {
        QVERIFY(!exists);
    }
    tag.SetTitle(QStringLiteral("Title"));
    try {
        tag.Update();
        QFAIL("no error raised");
    } catch (const Id3Error& e) {
        QTEST(e.Number(), "number");
        QCOMPARE(e.Source(), QStringLiteral("tst_id3v1.cMP3ID3v1"));
        if (e.Number() == Id3ErrorNumber::NotValidMp3)
            QCOMPARE(e.Description(), path(name) + QStringLiteral(" is not a valid MP3 file."));
    }
    QCOMPARE(QFile::exists(path(name)), exists);
    if (exists)
        QCOMPARE(TestFiles::ReadBytes(path(name)), content);
}

void tst_Id3v1::updateReadOnlyFile()
{
    CheckReadOnlyUpdate<cMP3ID3v1>(path("readonly"));
}

void tst_Id3v1::failedAppendLeavesFileAsItWas()
{
    SmallDisk disk;
    if (const QString why = MountSmallDisk(disk, path("full")); !why.isEmpty())
        QSKIP(qPrintable(why));
    // The block reaches into a page of the disk that is not the file's yet.
    const QByteArray content = Audio(4050);
    const QString file = path("full/full.mp3");
    QVERIFY(Make(file, content));
    disk.fill();
    cMP3ID3v1 tag;
    tag.SetMP3File(file);
    tag.SetTitle(QStringLiteral("Title"));
    try {
        tag.Update();
        QFAIL("no error raised");
    } catch (const Id3Error& e) {
        QCOMPARE(e.Number(), Id3ErrorNumber::DiskFull);
        QVERIFY2(e.Description().contains(file), qPrintable(e.Description()));
    }
    QCOMPARE(TestFiles::ReadBytes(file), content);
}

QTEST_GUILESS_MAIN(tst_Id3v1)
#include "tst_id3v1.moc"
