// Items list files: the record format, values that must survive a write and a read
// unchanged, field cutting, line endings, malformed and unreadable files, and the rows the
// loader builds.
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cGrid/cGrid.h"
#include "lists/mdlItemsGrid.h"
#include "lists/mdlListFile.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/FakeAudioComponents.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// The text fields of a record that the grid keeps as they are.
const QStringList kTextFields{"Item Name", "COL_FILE", "COL_TAG_ALBUM", "COL_TAG_ARTIST", "COL_TAG_COMMENT",
                              "COL_TAG_GEN", "COL_TAG_YEAR", "COL_TAG_TITLE", "COL_TAG_TRACK"};

// A record as a list file holds it, fields given in file order (Inc, Type, Item Name,
// COL_FILE, COL_RANGE_ALL, start, length, then the seven tags).
QString record(const QStringList& values)
{
    QString r = "<ITEM>";
    const QStringList& fields = ListFileFields();
    for (int i = 0; i < fields.size(); ++i)
        r += "<" + fields[i] + ">" + values.value(i) + "</" + fields[i] + ">";
    return r + "</ITEM>";
}

class GridFixture
{
public:
    GridFixture() { SetupItemsGrid(&grid, nullptr); }
    cGrid grid;
};

} // namespace

class tst_ListFile : public QObject
{
    Q_OBJECT
private slots:
    void fileFormat();
    void emptyList();
    void roundTrip_data();
    void roundTrip();
    void getTagValue_data();
    void getTagValue();
    void unescape_data();
    void unescape();
    void lineEndings_data();
    void lineEndings();
    void malformedRecords();
    void unreadableFiles_data();
    void unreadableFiles();
    void loadedRow();
    void rangeRows_data();
    void rangeRows();
    void tagsFromSource();
    void missingFileKeepsItsRecord();
    void realAudioFile();
    void failedWriteKeepsTheFile();
    void otherCodePage_data();
    void otherCodePage();
    void writeThroughLinks_data();
    void writeThroughLinks();
};

void tst_ListFile::fileFormat()
{
    TestPlatform platform;
    GridFixture f;
    cGrid* g = &f.grid;
    g->SetCell(1, 1, QString(), cGrid::kIconCellFormat, 1);
    g->SetCell(1, 2, QString(), cGrid::kIconCellFormat, 3);
    SetRowText(g, 1, "Item Name", "song.wav");
    SetRowText(g, 1, "COL_FILE", "/Music/song.wav");
    SetRowText(g, 1, "COL_RANGE_ALL", "1");
    SetRowText(g, 1, "Time", "00:03:00");  // derived cells are not stored
    SetRowText(g, 1, "COL_BYTES_SIZE", "1234");
    const QString path = platform.path("Main/a.flst");
    QVERIFY(WriteListFile(g, path));
    QCOMPARE(TestFiles::ReadBytes(path),
             QByteArray("<ITEM><Inc>1</Inc><Type>Audio</Type><Item Name>song.wav</Item Name>"
                        "<COL_FILE>/Music/song.wav</COL_FILE><COL_RANGE_ALL>1</COL_RANGE_ALL>"
                        "<COL_RANGE_START_TIME></COL_RANGE_START_TIME><COL_RANGE_LENGTH_TIME></COL_RANGE_LENGTH_TIME>"
                        "<COL_TAG_ALBUM></COL_TAG_ALBUM><COL_TAG_ARTIST></COL_TAG_ARTIST>"
                        "<COL_TAG_COMMENT></COL_TAG_COMMENT><COL_TAG_GEN></COL_TAG_GEN><COL_TAG_YEAR></COL_TAG_YEAR>"
                        "<COL_TAG_TITLE></COL_TAG_TITLE><COL_TAG_TRACK></COL_TAG_TRACK></ITEM>\n"));
}

void tst_ListFile::emptyList()
{
    TestPlatform platform;
    GridFixture f;
    const QString path = platform.path("Main/empty.flst");
    QVERIFY(WriteListFile(&f.grid, path));
    QCOMPARE(TestFiles::ReadBytes(path), QByteArray("\n"));
    FakeAudioConverter converter;
    GridFixture loaded;
    const ListLoadResult r = LoadListFile(&loaded.grid, path, &converter, false);
    QVERIFY(r.completed);
    QCOMPARE(r.rows, 0);
    QVERIFY(!ListFileHasRecords(path));
}

void tst_ListFile::roundTrip_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << "Track 01";
    QTest::newRow("angle brackets") << "<b>loud</b> > quiet < silent";
    QTest::newRow("ampersands") << "Simon & Garfunkel && more &";
    QTest::newRow("entity lookalikes") << "&amp; &lt; &gt; &#10; &#x41; &bogus;";
    QTest::newRow("record tags") << "a<ITEM>b</ITEM>c";
    QTest::newRow("own closing tag") << "x</Item Name>y</COL_FILE>z</COL_TAG_TRACK>";
    QTest::newRow("LF") << "line one\nline two";
    QTest::newRow("CR LF") << "line one\r\nline two\r\n";
    QTest::newRow("lone CR") << "a\rb";
    QTest::newRow("non-ASCII") << QString::fromUtf8("Ærøskøbing · Zürich · 東京 · Москва · 🎵");
    QTest::newRow("backslashes and quotes") << "C:\\Music\\\"best\" 'of'";
    QTest::newRow("blanks and tab") << "  padded\tvalue  ";
    QTest::newRow("empty") << "";
}

void tst_ListFile::roundTrip()
{
    QFETCH(QString, value);
    TestPlatform platform;
    GridFixture f;
    cGrid* g = &f.grid;
    // The value in every text field of the middle row, between two plain rows.
    for (qint32 row = 1; row <= 3; ++row) {
        g->SetCell(row, 1, QString(), cGrid::kIconCellFormat, row == 2 ? 1 : 0);
        g->SetCell(row, 2, QString(), cGrid::kIconCellFormat, 3);
        for (const QString& key : kTextFields)
            SetRowText(g, row, key, row == 2 ? value + key : key + QString::number(row));
        SetRowText(g, row, "COL_RANGE_ALL", row == 2 ? "0" : "1");
        if (row == 2) {
            SetRowText(g, row, "COL_RANGE_START_TIME", "10");
            SetRowText(g, row, "COL_RANGE_LENGTH_TIME", "65");
        }
    }
    const QString path = platform.path("Main/list.flst");
    QVERIFY(WriteListFile(g, path));
    // One line: line breaks inside values never split the file.
    QCOMPARE(TestFiles::ReadBytes(path).count('\n'), 1);
    QVERIFY(!TestFiles::ReadBytes(path).contains('\r'));

    // Read back as the loader reads it (the files do not exist, so the stored fields are
    // what the rows hold).
    FakeAudioConverter converter;
    GridFixture loaded;
    const ListLoadResult r = LoadListFile(&loaded.grid, path, &converter, true);
    QVERIFY(r.completed);
    QCOMPARE(loaded.grid.Rows(), 3);
    for (qint32 row = 1; row <= 3; ++row) {
        for (const QString& key : kTextFields)
            QCOMPARE(RowText(&loaded.grid, row, key), RowText(g, row, key));
        QCOMPARE(IsRowMarked(&loaded.grid, row), row == 2);
    }
    QCOMPARE(RowText(&loaded.grid, 2, "Range"), QStringLiteral("00:00:10 - 00:01:15"));
    // And written again, byte for byte the same file.
    const QByteArray first = TestFiles::ReadBytes(path);
    QVERIFY(WriteListFile(&loaded.grid, path));
    QCOMPARE(TestFiles::ReadBytes(path), first);
}

void tst_ListFile::getTagValue_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value");
    QTest::newRow("value") << "Item Name" << "<Inc>1</Inc><Item Name>a.wav</Item Name>" << "a.wav";
    QTest::newRow("empty value") << "Item Name" << "<Item Name></Item Name>" << "";
    QTest::newRow("missing field") << "Item Name" << "<Inc>1</Inc>" << "";
    QTest::newRow("closing before opening") << "Inc" << "</Inc>x<Inc>" << "";
    QTest::newRow("closing before opening, another after") << "Inc" << "</Inc>x<Inc>1</Inc>" << "";
    QTest::newRow("no closing tag") << "Inc" << "<Inc>1" << "";
    QTest::newRow("case counts") << "inc" << "<Inc>1</Inc>" << "";
    QTest::newRow("escaped value") << "COL_FILE" << "<COL_FILE>/a &amp; b/&lt;x&gt;.wav</COL_FILE>" << "/a & b/<x>.wav";
}

void tst_ListFile::getTagValue()
{
    QFETCH(QString, tag);
    QFETCH(QString, text);
    QFETCH(QString, value);
    QCOMPARE(GetTagValue(tag, text), value);
}

void tst_ListFile::unescape_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("value");
    // Files from before values were escaped read as they were written.
    QTest::newRow("plain ampersand") << "Rock & Roll" << "Rock & Roll";
    QTest::newRow("unknown entity") << "a &nbsp; b" << "a &nbsp; b";
    QTest::newRow("no semicolon") << "AT&T" << "AT&T";
    QTest::newRow("numeric") << "&#65;&#x42;" << "AB";
    QTest::newRow("surrogate number") << "&#xD800;" << "&#xD800;";
}

void tst_ListFile::unescape()
{
    QFETCH(QString, text);
    QFETCH(QString, value);
    QCOMPARE(UnescapeListValue(text), value);
}

void tst_ListFile::lineEndings_data()
{
    QTest::addColumn<QByteArray>("ending");
    QTest::newRow("LF") << QByteArray("\n");
    QTest::newRow("CR LF") << QByteArray("\r\n");
    QTest::newRow("none") << QByteArray();
}

void tst_ListFile::lineEndings()
{
    QFETCH(QByteArray, ending);
    TestPlatform platform;
    const QString path = platform.path("Main/l.flst");
    const QString a = record({"1", "Audio", "a.wav", "/x/a.wav", "1"});
    const QString b = record({"0", "Audio", "b.wav", "/x/b.wav", "1"});
    // Records on one line, or one record per line as an edited file may have them.
    TestFiles::WriteBytes(path, (a + b).toUtf8() + ending);
    FakeAudioConverter converter;
    GridFixture one;
    QCOMPARE(LoadListFile(&one.grid, path, &converter, false).rows, 2);
    TestFiles::WriteBytes(path, a.toUtf8() + ending + b.toUtf8() + ending);
    GridFixture two;
    QCOMPARE(LoadListFile(&two.grid, path, &converter, false).rows, 2);
    QCOMPARE(RowText(&two.grid, 2, "Item Name"), QStringLiteral("b.wav"));
    QCOMPARE(RowText(&two.grid, 1, "COL_FILE"), QStringLiteral("/x/a.wav"));
}

void tst_ListFile::malformedRecords()
{
    TestPlatform platform;
    const QString path = platform.path("Main/m.flst");
    const QString text = "garbage before the first record"
        + record({"x", "Audio", "bad mark", "/x/1.wav", "1"})                   // mark is no number: 0
        + "<ITEM><Inc>1</Inc><Item Name>no file field</Item Name></ITEM>"      // cannot be a row
        + "<ITEM><Inc>1</Inc><COL_FILE>/x/cut.wav<COL_RANGE_ALL>1</ITEM>"      // its file cannot be cut out
        + record({"1", "Audio", "bad range", "/x/2.wav", "0", "ten", "5"})    // start is no number: 0
        + record({"1.6", "Audio", "rounded mark", "/x/3.wav", "1"})
        + record({"1", "Audio", "empty range", "/x/4.wav", "0", "", ""});
    TestFiles::WriteBytes(path, text.toUtf8() + "\n");
    FakeAudioConverter converter;
    GridFixture f;
    const ListLoadResult r = LoadListFile(&f.grid, path, &converter, false);
    QVERIFY(r.completed);  // a malformed record never stops the load
    QCOMPARE(f.grid.Rows(), 4);
    QCOMPARE(RowText(&f.grid, 1, "Item Name"), QStringLiteral("bad mark"));
    QCOMPARE(RowIcon(&f.grid, 1, "Inc"), 0);
    QCOMPARE(RowText(&f.grid, 2, "COL_RANGE_START_TIME"), QStringLiteral("0"));
    QCOMPARE(RowText(&f.grid, 2, "COL_RANGE_LENGTH_TIME"), QStringLiteral("5"));
    QCOMPARE(RowText(&f.grid, 2, "Range"), QStringLiteral("00:00:00 - 00:00:05"));
    QCOMPARE(RowIcon(&f.grid, 3, "Inc"), 2);
    QCOMPARE(RowText(&f.grid, 4, "Range"), QStringLiteral("00:00:00 - 00:00:00"));
}

void tst_ListFile::unreadableFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("why");
    QTest::newRow("plain text") << "text" << "it holds no items list";
    QTest::newRow("a folder") << "folder" << "it is a folder";
    QTest::newRow("a named pipe") << "fifo" << "it is not a regular file";
    QTest::newRow("a name holding NUL") << "nul" << "its name holds a NUL character";
}

void tst_ListFile::unreadableFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, why);
    TestPlatform platform;
    QString path = platform.path("Main/u.flst");
    if (kind == "text")
        TestFiles::WriteBytes(path, "Shopping list\nmilk, bread\n");
    else if (kind == "folder")
        QDir().mkpath(path);
    else if (kind == "fifo")
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);  // a read of it would wait for ever
    else
        path = platform.path("Main/u") + QChar(0) + ".flst";
    FakeAudioConverter converter;
    GridFixture f;
    const ListLoadResult r = LoadListFile(&f.grid, path, &converter, false);
    QVERIFY(!r.completed);
    QCOMPARE(r.error, why);
    QCOMPARE(f.grid.Rows(), 0);
    QVERIFY(ListFileHasRecords(path));  // so removing it asks first
    QString text, reason;
    QCOMPARE(ReadListFile(path, text, &reason), ListFileRead::Unreadable);
    QCOMPARE(reason, why);
    // Nothing is created at the name cut short at its NUL.
    QVERIFY(!QFileInfo::exists(platform.path("Main/u")));

    // A missing file is a list without rows, not a failure.
    GridFixture g;
    QVERIFY(LoadListFile(&g.grid, platform.path("Main/none.flst"), &converter, false).completed);
}

void tst_ListFile::loadedRow()
{
    TestPlatform platform;
    const QString audio = platform.path("song.wav");
    TestFiles::WriteBytes(audio, QByteArray(1536, 'x'));
    FakeAudioConverter converter;
    converter.files[audio] = FakeFileScript{0, 65499, 44100, 2, 16, {}};
    const QString path = platform.path("Main/r.flst");
    TestFiles::WriteBytes(path, record({"1", "Data", "renamed.wav", audio, "1", "7", "8", "Alb", "Art", "Com", "Gen", "1999",
                             "Tit", "[TRACK_NUM]"})
                         .toUtf8());
    GridFixture f;
    qint32 max = -5;
    QList<qint32> steps;
    const ListLoadResult r = LoadListFile(
        &f.grid, path, &converter, false, [&](qint32 m) { max = m; }, [&](qint32 n) { steps << n; });
    QVERIFY(r.completed);
    QCOMPARE(max, 1);
    QCOMPARE(steps, QList<qint32>{1});
    cGrid* g = &f.grid;
    QCOMPARE(RowIcon(g, 1, "Inc"), 1);
    QCOMPARE(RowIcon(g, 1, "Type"), 4);
    QCOMPARE(RowText(g, 1, "Item Name"), QStringLiteral("renamed.wav"));
    QCOMPARE(RowText(g, 1, "Time"), QStringLiteral("00:01:05"));
    QCOMPARE(RowText(g, 1, "Size"), QStringLiteral("1.50 KB"));
    QCOMPARE(RowText(g, 1, "COL_BYTES_SIZE"), QStringLiteral("1536"));
    QVERIFY(!RowText(g, 1, "Created").isEmpty());
    // A whole-file row keeps no range values, whatever the file held.
    QCOMPARE(RowText(g, 1, "COL_RANGE_ALL"), QStringLiteral("1"));
    QCOMPARE(RowText(g, 1, "Range"), QStringLiteral("All"));
    QCOMPARE(RowText(g, 1, "COL_RANGE_START_TIME"), QString());
    QCOMPARE(RowText(g, 1, "COL_RANGE_LENGTH_TIME"), QString());
    QCOMPARE(RowText(g, 1, "COL_TAG_TRACK"), QStringLiteral("[TRACK_NUM]"));
    QCOMPARE(RowText(g, 1, "COL_TAG_YEAR"), QStringLiteral("1999"));
    QCOMPARE(converter.closeCalls, 1);
    QVERIFY(!g->CellFont(1, 3).italic());
}

void tst_ListFile::rangeRows_data()
{
    QTest::addColumn<QString>("rangeAll");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("startCell");
    QTest::newRow("range") << "0" << "10" << "65" << "00:00:10 - 00:01:15" << "10";
    QTest::newRow("long range") << "0" << "3600" << "86400" << "01:00:00 - 25:00:00" << "3600";
    QTest::newRow("whole file") << "1" << "10" << "65" << "All" << "";
    QTest::newRow("missing flag is whole") << "" << "10" << "65" << "All" << "";
    QTest::newRow("other flag is whole") << "2" << "10" << "65" << "All" << "";
}

void tst_ListFile::rangeRows()
{
    QFETCH(QString, rangeAll);
    QFETCH(QString, start);
    QFETCH(QString, length);
    QFETCH(QString, range);
    QFETCH(QString, startCell);
    TestPlatform platform;
    const QString path = platform.path("Main/r.flst");
    TestFiles::WriteBytes(path, record({"0", "Audio", "a", "/x/a.wav", rangeAll, start, length}).toUtf8());
    FakeAudioConverter converter;
    GridFixture f;
    LoadListFile(&f.grid, path, &converter, false);
    QCOMPARE(RowText(&f.grid, 1, "Range"), range);
    QCOMPARE(RowText(&f.grid, 1, "COL_RANGE_START_TIME"), startCell);
}

void tst_ListFile::tagsFromSource()
{
    TestPlatform platform;
    const QString audio = platform.path("tagged.mp3");
    TestFiles::WriteBytes(audio, "x");
    FakeAudioConverter converter;
    FakeFileScript script;
    script.tags.Album = "From File";
    script.tags.Track = "7";
    converter.files[audio] = script;
    const QString path = platform.path("Main/t.flst");
    TestFiles::WriteBytes(path, record({"1", "Audio", "t", audio, "1", "", "", "Edited Album", "", "", "", "", "", "3"}).toUtf8());
    GridFixture on;
    LoadListFile(&on.grid, path, &converter, true);
    QCOMPARE(RowText(&on.grid, 1, "COL_TAG_ALBUM"), QStringLiteral("From File"));
    QCOMPARE(RowText(&on.grid, 1, "COL_TAG_TRACK"), QStringLiteral("7"));
    GridFixture off;
    LoadListFile(&off.grid, path, &converter, false);
    QCOMPARE(RowText(&off.grid, 1, "COL_TAG_ALBUM"), QStringLiteral("Edited Album"));
    QCOMPARE(RowText(&off.grid, 1, "COL_TAG_TRACK"), QStringLiteral("3"));
}

void tst_ListFile::missingFileKeepsItsRecord()
{
    TestPlatform platform;
    const QString present = platform.path("here.wav");
    TestFiles::WriteBytes(present, "x");
    const QString unreadable = platform.path("broken.wav");
    TestFiles::WriteBytes(unreadable, "x");
    FakeAudioConverter converter;
    converter.files[present] = FakeFileScript{0, 1000, 44100, 2, 16, {}};  // broken.wav reads as result 2
    const QString path = platform.path("Main/k.flst");
    const QString gone = record({"1", "Audio", "gone & lost", platform.path("gone.wav"), "0", "5", "10", "A", "B",
                                 "C", "D", "E", "F", "G"});
    TestFiles::WriteBytes(path, (gone + record({"0", "Audio", "here", present, "1"}) + record({"1", "Audio", "broken", unreadable, "1"}))
                         .toUtf8()
                     + "\n");
    GridFixture f;
    const ListLoadResult r = LoadListFile(&f.grid, path, &converter, true);
    QCOMPARE(r.rows, 3);
    QCOMPARE(r.missing, 2);
    QCOMPARE(RowText(&f.grid, 1, "Item Name"), QStringLiteral("gone & lost"));
    QVERIFY(f.grid.CellFont(1, 3).italic());
    QVERIFY(!f.grid.CellFont(2, 3).italic());
    QVERIFY(f.grid.CellFont(3, 3).italic());
    QCOMPARE(RowText(&f.grid, 1, "Time"), QString());
    QCOMPARE(RowText(&f.grid, 1, "COL_TAG_TRACK"), QStringLiteral("G"));  // stored tags, the file has none to give
    // Saved again (a mark changed), the missing items are still there, unchanged.
    f.grid.Cell(2, 1).SetIconIndex(1);
    QVERIFY(WriteListFile(&f.grid, path));
    const QStringList pieces = SplitListRecords(QString::fromUtf8(TestFiles::ReadBytes(path)).trimmed());
    QCOMPARE(pieces.size(), 4);
    QCOMPARE("<ITEM>" + pieces[1], record({"1", "Audio", "gone &amp; lost", platform.path("gone.wav"), "0", "5", "10",
                                          "A", "B", "C", "D", "E", "F", "G"}));
    QCOMPARE(GetTagValue("Inc", pieces[2]), QStringLiteral("1"));
    QCOMPARE(GetTagValue("COL_FILE", pieces[3]), unreadable);
}

void tst_ListFile::realAudioFile()
{
    TestPlatform platform;
    const QString audio = platform.path("tone.wav");
    QVERIFY(AudioFixtures::writeWav(audio, 8000, 1, 16, AudioFixtures::sine(8000 * 3 + 4000, 1, 8000, 440)));
    const QString path = platform.path("Main/real.flst");
    TestFiles::WriteBytes(path, record({"1", "Audio", "tone.wav", audio, "1"}).toUtf8());
    cAudioConverter* converter = CreateAudioConverter(nullptr);
    GridFixture f;
    QVERIFY(LoadListFile(&f.grid, path, converter, false).completed);
    delete converter;
    QCOMPARE(RowText(&f.grid, 1, "Time"), QStringLiteral("00:00:04"));  // 3.5 s to the even neighbour
    QCOMPARE(RowText(&f.grid, 1, "COL_BYTES_SIZE"), QString::number(QFileInfo(audio).size()));
}

void tst_ListFile::failedWriteKeepsTheFile()
{
    TestPlatform platform;
    GridFixture f;
    SetRowText(&f.grid, 1, "Item Name", "a");
    QVERIFY(!WriteListFile(&f.grid, platform.path("no such folder/a.flst")));
    QVERIFY(!QFileInfo::exists(platform.path("no such folder")));
    QVERIFY(!WriteListFile(&f.grid, QString()));
}

void tst_ListFile::otherCodePage_data()
{
    QTest::addColumn<QByteArray>("ending");
    QTest::newRow("LF") << QByteArray("\n");
    QTest::newRow("CR LF") << QByteArray("\r\n");
}

// A list an older copy wrote in Windows-1252 reads with its accents, and stays byte for byte
// as it is until the program changes it; a change writes it as UTF-8.
void tst_ListFile::otherCodePage()
{
    QFETCH(QByteArray, ending);
    TestPlatform platform;
    const QString path = platform.path("Main/cp.flst");
    // A whole record as the program writes it, in Windows-1252 bytes.
    QByteArray bytes = record({"1", "Audio", QString::fromUtf8("Café µs à"), QString::fromUtf8("/x/café.wav"), "1", "", "",
                               "", QString::fromUtf8("Beyoncé"), "EURO"})
                           .toLatin1()
                           .replace("EURO", "\x80");
    bytes += ending;
    TestFiles::WriteBytes(path, bytes);
    FakeAudioConverter converter;
    GridFixture f;
    const ListLoadResult r = LoadListFile(&f.grid, path, &converter, false);
    QVERIFY(r.completed);
    QCOMPARE(f.grid.Rows(), 1);
    QCOMPARE(RowText(&f.grid, 1, "Item Name"), QString::fromUtf8("Café µs à"));
    QCOMPARE(RowText(&f.grid, 1, "COL_FILE"), QString::fromUtf8("/x/café.wav"));
    QCOMPARE(RowText(&f.grid, 1, "COL_TAG_ARTIST"), QString::fromUtf8("Beyoncé"));
    QCOMPARE(RowText(&f.grid, 1, "COL_TAG_COMMENT"), QString::fromUtf8("€"));

    // Saved with nothing changed: the file stays byte for byte as it was.
    QVERIFY(WriteListFile(&f.grid, path));
    QCOMPARE(TestFiles::ReadBytes(path), bytes);

    // Changed: written anew, as UTF-8.
    SetRowText(&f.grid, 1, "Item Name", QString::fromUtf8("Café"));
    QVERIFY(WriteListFile(&f.grid, path));
    const QByteArray after = TestFiles::ReadBytes(path);
    QVERIFY(after.contains("<Item Name>Caf\xc3\xa9</Item Name>"));
    QVERIFY(after.contains("<COL_TAG_ARTIST>Beyonc\xc3\xa9</COL_TAG_ARTIST>"));
    QVERIFY(after.contains("<COL_TAG_COMMENT>\xe2\x82\xac</COL_TAG_COMMENT>"));
}

void tst_ListFile::writeThroughLinks_data()
{
    QTest::addColumn<QString>("link");    // how the list's name leads to its file
    QTest::addColumn<QString>("target");  // the file that takes the writes
    QTest::newRow("plain file") << "" << "Main/l.flst";
    QTest::newRow("link to a file") << "../Real/real.flst" << "Real/real.flst";
    QTest::newRow("link to a link") << "hop.flst" << "Real/real.flst";
    QTest::newRow("dangling link") << "../Real/later.flst" << "Real/later.flst";
}

// A list file that is a symbolic link stays the link: each save replaces the file it points
// to, at once and whole, and leaves no temporary file in either folder.
void tst_ListFile::writeThroughLinks()
{
    QFETCH(QString, link);
    QFETCH(QString, target);
    TestPlatform platform;
    QDir().mkpath(platform.path("Real"));
    TestFiles::WriteBytes(platform.path("Real/real.flst"), "\n");
    const QString list = platform.path("Main/l.flst");
    if (link == "hop.flst") {
        QVERIFY(QFile::link("../Real/real.flst", platform.path("Main/hop.flst")));
        QVERIFY(QFile::link("hop.flst", list));
    } else if (!link.isEmpty()) {
        QVERIFY(QFile::link(link, list));
    }
    GridFixture f;
    SetRowText(&f.grid, 1, "Item Name", "a");
    SetRowText(&f.grid, 1, "COL_FILE", "/x/a.wav");
    QString error;
    QVERIFY2(WriteListFile(&f.grid, list, &error), qPrintable(error));
    QCOMPARE(QFileInfo(list).isSymLink(), !link.isEmpty());
    QCOMPARE(TestFiles::ReadBytes(platform.path(target)), (ListFileText(&f.grid) + "\n").toUtf8());
    SetRowText(&f.grid, 2, "Item Name", "b");
    QVERIFY(WriteListFile(&f.grid, list));
    QCOMPARE(QFileInfo(list).isSymLink(), !link.isEmpty());
    QCOMPARE(TestFiles::ReadBytes(platform.path(target)), (ListFileText(&f.grid) + "\n").toUtf8());
    for (const char* folder : {"Main", "Real"})
        QCOMPARE(QDir(platform.path(folder)).entryList({".*tmp*"}, QDir::Files | QDir::Hidden), QStringList());
}

QTEST_MAIN(tst_ListFile)
#include "tst_listfile.moc"
