// Apply in the tags editor: what each version choice writes into the file, which genre a
// typed or loaded genre text becomes, values left alone written back as they were read,
// and failures shown with the error's description and number while the file keeps its
// bytes.
#include "TagsEditorFixture.h"
#include "Id3Tools.h"

#include <QDir>
#include <QRegularExpression>

using namespace TagsEditorTest;
using Id3Tools::AudioBytes;

namespace {

// The values the user types over every box of the three pages.
void typeNewValues(frmMP3TagsEditor* w)
{
    w->txtTitle->setText(QStringLiteral("New Title ☺"));
    w->txtArtist->setText("New Artist");
    w->txtAlbum->setText("New Album");
    w->txtYear->setText("2024");
    w->cboGenre->setEditText("Funk");
    w->txtTrackNum->setText("3/10");
    w->txtDescription->setPlainText("Line A\nLine B");
    w->txtOriginalArtist->setText("New Original");
    w->txtURL->setText("http://new.example/");
    w->txtEncodedBy->setText("New Encoder");
    w->txtCopyright->setText("2024 New");
    w->txtLyric->setPlainText(QStringLiteral("New lyrics ☺\nsecond line"));
}

// Version 1 as a fresh reader finds it: title, artist, album, year, comment, track, genre.
QStringList readV1(const QString& file)
{
    cMP3ID3v1 v1;
    v1.SetMP3File(file);
    return {v1.Title(), v1.Artist(), v1.Album(), v1.Year(), v1.Comment(), QString::number(v1.Track()),
            QString::number(v1.Genre())};
}

// Version 2 likewise: the twelve values of the boxes and the genre's code and text.
QStringList readV2(const QString& file)
{
    cMP3ID3v2 v2;
    v2.SetMP3File(file);
    return {v2.Title(),          v2.Artist(),          v2.Album(),  v2.Year(),      QString::number(v2.Genre()),
            v2.OtherGenreName(), v2.Track(),           v2.Comment(), v2.OriginalArtist(), v2.LinkTo(),
            v2.EncodedBy(),      v2.Copyright(),       v2.Lyrics()};
}

const QStringList kBothV1{"V1 Title", "V1 Artist", "V1 Album", "1999", "V1 comment", "4", "8"};
const QStringList kBothV2{"V2 Title ☺", "", "V2 Album", "2005", "17", "Rock", "7/9", "V2 comment", "Original",
                          "http://example.org/", "Encoder", "2005 Someone", "Line 1\nLine 2"};

// The description and number of the error a box shows as "description(number)".
struct ShownError {
    QString description;
    qint32 number = 0;
};

ShownError parseError(const QString& prompt)
{
    static const QRegularExpression form(QStringLiteral("^(.+)\\((-?\\d+)\\)$"),
                                         QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = form.match(prompt);
    return m.hasMatch() ? ShownError{m.captured(1), m.captured(2).toInt()} : ShownError{};
}

} // namespace

class tst_TagsEditorApply : public QObject
{
    Q_OBJECT
private slots:
    void writesTheChosenVersions_data();
    void writesTheChosenVersions();
    void genreOnApply_data();
    void genreOnApply();
    void valuesLeftAloneKeepTheirForm();
    void failuresShowTheError_data();
    void failuresShowTheError();
};

void tst_TagsEditorApply::writesTheChosenVersions_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("v1");
    QTest::addColumn<bool>("v2");
    QTest::newRow("ID3 v1") << int(V1) << true << false;
    QTest::newRow("ID3 v2") << int(V2) << false << true;
    QTest::newRow("ID3 v1+v2") << int(V1V2) << true << true;
}

void tst_TagsEditorApply::writesTheChosenVersions()
{
    QFETCH(int, version);
    QFETCH(bool, v1);
    QFETCH(bool, v2);
    Editor e;
    const QString file = BothTagsFile(e.platform.path("both.mp3"));
    e.version(version);
    e.choose(file);
    typeNewValues(e.w);
    QCOMPARE(e.apply(), QStringLiteral("Done."));
    QCOMPARE(e.w->cboGenre->currentText(), QStringLiteral("Funk"));

    // Version 1 holds Latin-1 only; its track byte is the one the file had.
    const QStringList newV1{"New Title ?", "New Artist", "New Album", "2024", "Line A\nLine B", "4", "5"};
    QCOMPARE(readV1(file), v1 ? newV1 : kBothV1);
    const QStringList newV2{QStringLiteral("New Title ☺"), "New Artist",     "New Album",   "2024",
                            "5",                            "Funk",           "3/10",        "Line A\nLine B",
                            "New Original",                 "http://new.example/", "New Encoder", "2024 New",
                            QStringLiteral("New lyrics ☺\nsecond line")};
    QCOMPARE(readV2(file), v2 ? newV2 : kBothV2);
    QCOMPARE(AudioBytes(TestFiles::ReadBytes(file)), Music());

    // Applying again writes the same again.
    QCOMPARE(e.apply(), QStringLiteral("Done."));
    QCOMPARE(readV1(file), v1 ? newV1 : kBothV1);
    QCOMPARE(readV2(file), v2 ? newV2 : kBothV2);
}

void tst_TagsEditorApply::genreOnApply_data()
{
    QTest::addColumn<QByteArray>("tcon");   // the file's ID3v2 genre frame; none when empty
    QTest::addColumn<int>("v1Genre");       // the file's ID3v1 genre byte
    QTest::addColumn<QString>("typed");     // typed into the genre box; null: left as loaded
    QTest::addColumn<QString>("shown");     // the box after Apply
    QTest::addColumn<int>("code");          // the code written into both versions
    QTest::addColumn<QString>("v2Text");    // the ID3v2 genre text written

    const QString alone;
    // Typed: a name chooses its item, a part of a name the first item holding it, as the
    // list runs; case counts, and a name the table lacks gives no genre.
    QTest::newRow("typed Funk") << QByteArray() << 255 << "Funk" << "Funk" << 5 << "Funk";
    QTest::newRow("typed funk") << QByteArray() << 255 << "funk" << "" << 255 << "";
    QTest::newRow("typed Jaz") << QByteArray() << 255 << "Jaz" << "Jazz" << 8 << "Jazz";
    QTest::newRow("typed Roc") << QByteArray() << 255 << "Roc" << "Classic Rock" << 1 << "Classic Rock";
    QTest::newRow("typed Rock") << QByteArray() << 255 << "Rock" << "Rock" << 17 << "Rock";
    QTest::newRow("typed Folk") << QByteArray() << 255 << "Folk" << "Folk" << 80 << "Folk";
    QTest::newRow("typed Synthwave") << QByteArray() << 255 << "Synthwave" << "" << 255 << "";
    QTest::newRow("emptied") << QByteArray("(8)") << 8 << "" << "" << 255 << "";
    // Loaded and left alone: written back as it was, even where an earlier name holds it.
    QTest::newRow("(17) left alone") << QByteArray("(17)") << 255 << alone << "Rock" << 17 << "Rock";
    QTest::newRow("Rock left alone") << QByteArray("Rock") << 255 << alone << "Rock" << 17 << "Rock";
    QTest::newRow("(80)Folk left alone") << QByteArray("(80)Folk") << 255 << alone << "Folk" << 80 << "Folk";
    QTest::newRow("version 1 Rock left alone") << QByteArray() << 17 << alone << "Rock" << 17 << "Rock";
    QTest::newRow("Metal left alone") << QByteArray("(9)") << 9 << alone << "Metal" << 9 << "Metal";
    // A genre the file names outside the table stays when left alone, ahead of any name
    // that holds it; a different text replaces it.
    QTest::newRow("own genre left alone") << QByteArray("Synthwave") << 255 << alone << "Synthwave" << 255
                                          << "Synthwave";
    QTest::newRow("own genre inside a name") << QByteArray("Death") << 22 << alone << "Death" << 255 << "Death";
    QTest::newRow("own genre retyped") << QByteArray("Synthwave") << 255 << "Vaporwave" << "" << 255 << "";
    QTest::newRow("own genre to Jazz") << QByteArray("Synthwave") << 255 << "Jazz" << "Jazz" << 8 << "Jazz";
}

void tst_TagsEditorApply::genreOnApply()
{
    QFETCH(QByteArray, tcon);
    QFETCH(int, v1Genre);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(int, code);
    QFETCH(QString, v2Text);
    Editor e;
    const QString file = e.platform.path("genre.mp3");
    const QByteArray v2 = tcon.isEmpty() ? QByteArray() : V2Tag({{"TCON", Latin1Text(tcon.constData())}});
    Make(file, v2 + Music() + V1Block("T", "", "", "", "", 1, quint8(v1Genre)));
    e.choose(file);
    if (!typed.isNull())
        e.w->cboGenre->setEditText(typed);
    QCOMPARE(e.apply(), QStringLiteral("Done."));
    QCOMPARE(e.w->cboGenre->currentText(), shown);
    QCOMPARE(readV1(file).last(), QString::number(code));
    cMP3ID3v2 read;
    read.SetMP3File(file);
    QCOMPARE(int(read.Genre()), code);
    QCOMPARE(read.OtherGenreName(), v2Text);

    // Loading the file again shows what Apply left in the box.
    e.version(V1V2);
    QCOMPARE(e.w->cboGenre->currentText(), shown);
}

void tst_TagsEditorApply::valuesLeftAloneKeepTheirForm()
{
    Editor e;
    const QString file = e.platform.path("forms.mp3");
    const QByteArray longTitle(40000, 'x');
    Make(file, V2Tag({{"TIT2", Latin1Text(longTitle.constData())},
                      {"COMM", Described("first\r\nsecond")},
                      {"USLT", Described("one\rtwo\r\nthree\n")}}) +
                   Music());
    e.version(V2);
    e.choose(file);
    QCOMPARE(e.w->txtDescription->toPlainText(), QStringLiteral("first\nsecond"));
    QCOMPARE(e.apply(), QStringLiteral("Done."));
    cMP3ID3v2 read;
    read.SetMP3File(file);
    QCOMPARE(read.Title(), QString::fromLatin1(longTitle));
    QCOMPARE(read.Comment(), QStringLiteral("first\r\nsecond"));
    QCOMPARE(read.Lyrics(), QStringLiteral("one\rtwo\r\nthree\n"));

    // Edited, a box's lines are written as the box holds them.
    e.w->txtDescription->setPlainText("first\nsecond\nthird");
    QCOMPARE(e.apply(), QStringLiteral("Done."));
    read.SetMP3File(file);
    QCOMPARE(read.Comment(), QStringLiteral("first\nsecond\nthird"));
    QCOMPARE(read.Lyrics(), QStringLiteral("one\rtwo\r\nthree\n"));
}

void tst_TagsEditorApply::failuresShowTheError_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("version");
    QTest::newRow("empty file, both versions") << "empty" << int(V1V2);
    QTest::newRow("file of 100 bytes, version 1") << "tiny" << int(V1);
    QTest::newRow("folder gone, both versions") << "gone" << int(V1V2);
    QTest::newRow("no room to grow the tag, version 2") << "full" << int(V2);
}

void tst_TagsEditorApply::failuresShowTheError()
{
    QFETCH(QString, kind);
    QFETCH(int, version);
    Editor e;
    const QString folder = e.platform.path("songs");
    QDir().mkpath(folder);
    SmallDisk disk;
    if (kind == u"full") {
        if (const QString why = MountSmallDisk(disk, folder); !why.isEmpty())
            QSKIP(qPrintable(why));
    }
    const QString file = folder + QStringLiteral("/song.mp3");
    QByteArray content;
    if (kind == u"tiny")
        content = Audio(100);
    else if (kind == u"gone" || kind == u"full")
        content = Music() + V1Block("Old", "", "", "", "", 0, 255);
    Make(file, content);
    e.version(version);
    e.choose(file);
    e.w->txtTitle->setText("New");

    QString prompt;
    if (kind == u"gone") {
        QDir(folder).removeRecursively();
        prompt = e.apply();
        QVERIFY(!QFileInfo::exists(folder));  // nothing is made in its place
    } else if (kind == u"full") {
        disk.fill();
        prompt = e.apply();
    } else {
        prompt = e.apply();
    }
    const ShownError shown = parseError(prompt);
    QVERIFY2(!shown.description.isEmpty(), qPrintable(prompt));
    QCOMPARE(e.platform.messages().shown.size(), 1);  // and no "Done."
    if (kind == u"empty" || kind == u"tiny") {
        QCOMPARE(prompt, file + QStringLiteral(" is not a valid MP3 file.(-2147217407)"));
    } else if (kind == u"gone") {
        QCOMPARE(shown.number, Id3ErrorNumber::FileNotFound);
        QVERIFY2(shown.description.contains(file), qPrintable(prompt));
    } else {
        QCOMPARE(shown.number, Id3ErrorNumber::DiskFull);
        QVERIFY2(shown.description.contains(file), qPrintable(prompt));
    }
    if (kind == u"gone")
        return;
    // The file keeps every byte: after a version 1 failure version 2 is not written, and
    // a tag that could not grow leaves nothing behind.
    QCOMPARE(TestFiles::ReadBytes(file), content);
    const QStringList files = kind == u"full" ? QStringList{"filler", "song.mp3"} : QStringList{"song.mp3"};
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), files);

    // The editor goes on: once the disk has room, Apply writes.
    if (kind == u"full") {
        disk.unfill();
        QCOMPARE(e.apply(), QStringLiteral("Done."));
        cMP3ID3v2 read;
        read.SetMP3File(file);
        QCOMPARE(read.Title(), QStringLiteral("New"));
        QCOMPARE(AudioBytes(TestFiles::ReadBytes(file)), Music());
    }
}

QTEST_MAIN(tst_TagsEditorApply)
#include "tst_tagseditor_apply.moc"
