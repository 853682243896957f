// Items grid rows: the column table, copying rows to a tool grid, marks, moves and the
// 64-bit totals.
#include "components/cGrid/cGrid.h"
#include "lists/mdlItemsGrid.h"

#include <QApplication>
#include <QTableView>
#include <QTest>

namespace {

struct Row {
    Row(QString n = {}, bool m = false, QString all = QStringLiteral("1"), QString t = QStringLiteral("00:00:00"),
        QString len = {}, QString b = QStringLiteral("0"), QString s = {})
        : name(n), marked(m), rangeAll(all), time(t), length(len), bytes(b), start(s)
    {
    }
    QString name;
    bool marked;
    QString rangeAll;
    QString time;
    QString length;  // range length in seconds
    QString bytes;
    QString start;   // range start in seconds
};

void addRow(cGrid* g, const Row& r)
{
    const qint32 n = g->Rows() + 1;
    g->SetCell(n, g->ColumnIndex("Inc"), QString(), cGrid::kIconCellFormat, r.marked ? 1 : 0);
    g->SetCell(n, g->ColumnIndex("Type"), QString(), cGrid::kIconCellFormat, kIconAudio);
    SetRowText(g, n, "Item Name", r.name);
    SetRowText(g, n, "COL_FILE", "/music/" + r.name);
    SetRowText(g, n, "COL_RANGE_ALL", r.rangeAll);
    SetRowText(g, n, "Time", r.time);
    SetRowText(g, n, "COL_RANGE_START_TIME", r.start);
    SetRowText(g, n, "COL_RANGE_LENGTH_TIME", r.length);
    SetRowText(g, n, "COL_BYTES_SIZE", r.bytes);
    SetRowText(g, n, "COL_TAG_TITLE", "title of " + r.name);
}

// A grid of rows named a, b, c, ... with the marks given as "x" (marked) or "." per row.
void fill(cGrid* g, const QString& marks)
{
    for (int i = 0; i < marks.size(); ++i)
        addRow(g, {QString(QChar(u'a' + i)), marks[i] == u'x', QStringLiteral("1"), QStringLiteral("00:00:00"),
                   QString(), QStringLiteral("0")});
}

QString names(cGrid* g)
{
    QString s;
    for (qint32 r = 1; r <= g->Rows(); ++r)
        s += RowText(g, r, "Item Name");
    return s;
}

QString marks(cGrid* g)
{
    QString s;
    for (qint32 r = 1; r <= g->Rows(); ++r)
        s += IsRowMarked(g, r) ? u'x' : u'.';
    return s;
}

} // namespace

Q_DECLARE_METATYPE(Row)

class tst_ItemsGrid : public QObject
{
    Q_OBJECT
private slots:
    void columns();
    void emptyGrid();
    void copyMarkedRows();
    void copyAllRowsKeepsMarks();
    void markAll();
    void replaceRow_data();
    void replaceRow();
    void totals_data();
    void totals();
    void typeImage_data();
    void typeImage();
    void summary_data();
    void summary();
    void formatBytes_data();
    void formatBytes();
    void itemNameFillsTheWidth();
};

void tst_ItemsGrid::columns()
{
    cGrid g;
    SetupItemsGrid(&g, nullptr);
    const QStringList keys{"Inc", "Type", "Item Name", "Size", "Time", "Created", "Range", "COL_FILE",
                           "COL_RANGE_ALL", "COL_RANGE_START_TIME", "COL_RANGE_LENGTH_TIME", "COL_BYTES_SIZE",
                           "COL_TAG_ALBUM", "COL_TAG_ARTIST", "COL_TAG_COMMENT", "COL_TAG_GEN", "COL_TAG_YEAR",
                           "COL_TAG_TITLE", "COL_TAG_TRACK"};
    QCOMPARE(g.Columns(), 19);
    QStringList shown;
    for (qint32 c = 1; c <= g.Columns(); ++c) {
        QCOMPARE(g.ColumnKey(c), keys[c - 1]);
        if (g.ColumnVisible(c))
            shown << g.ColumnKey(c);
    }
    QCOMPARE(shown, (QStringList{"Inc", "Type", "Item Name", "Range"}));
    QCOMPARE(g.ColumnWidth(3), 200);
    QCOMPARE(g.GridOption5E(), 24);
    QVERIFY(g.HotTrack());
    QVERIFY(g.GridLines());

    cGrid info;
    SetupInfoGrid(&info);
    QCOMPARE(info.Columns(), 2);
    QCOMPARE(info.ColumnKey(1), QStringLiteral("Name"));
    QCOMPARE(info.ColumnKey(2), QStringLiteral("Value"));
}

void tst_ItemsGrid::emptyGrid()
{
    cGrid g, tool;
    SetupItemsGrid(&g, nullptr);
    SetupItemsGrid(&tool, nullptr);
    QCOMPARE(CountMarkedRows(&g), 0);
    QVERIFY(!AnyMarkedRows(&g));
    QCOMPARE(GetTotalTime(&g, false), QStringLiteral("0"));
    QCOMPARE(GetTotalSize(&g, false), QStringLiteral("0"));
    QCOMPARE(CopyMarkedRows(&g, &tool, true), 0);
    QCOMPARE(tool.Rows(), 0);
    QCOMPARE(tool.CurrentRow(), 0);
}

void tst_ItemsGrid::copyMarkedRows()
{
    cGrid g, tool;
    SetupItemsGrid(&g, nullptr);
    SetupItemsGrid(&tool, nullptr);
    fill(&g, ".x..x");
    QCOMPARE(CountMarkedRows(&g), 2);
    QVERIFY(AnyMarkedRows(&g));
    QCOMPARE(CopyMarkedRows(&g, &tool, true), 2);
    QCOMPARE(names(&tool), QStringLiteral("be"));
    QCOMPARE(RowText(&tool, 2, "COL_TAG_TITLE"), QStringLiteral("title of e"));
    QCOMPARE(tool.CurrentRow(), 1);
    // The mark and type icons are not part of this copy.
    QCOMPARE(RowIcon(&tool, 1, "Inc"), -1);
    QCOMPARE(RowIcon(&tool, 1, "Type"), -1);
    QVERIFY(tool.Redraw());

    cGrid none;
    SetupItemsGrid(&none, nullptr);
    MarkAllRows(&g, false);
    QCOMPARE(CopyMarkedRows(&g, &none, true), 0);
    QCOMPARE(none.Rows(), 0);
}

void tst_ItemsGrid::copyAllRowsKeepsMarks()
{
    cGrid g, ripper;
    SetupItemsGrid(&g, nullptr);
    SetupItemsGrid(&ripper, nullptr);
    fill(&g, "x.x");
    QCOMPARE(CopyMarkedRows(&g, &ripper, false), 3);
    QCOMPARE(names(&ripper), QStringLiteral("abc"));
    QCOMPARE(marks(&ripper), QStringLiteral("x.x"));
}

void tst_ItemsGrid::markAll()
{
    cGrid g;
    SetupItemsGrid(&g, nullptr);
    fill(&g, ".x.");
    MarkAllRows(&g, true);
    QCOMPARE(marks(&g), QStringLiteral("xxx"));
    MarkAllRows(&g, false);
    QCOMPARE(marks(&g), QStringLiteral("..."));
    QVERIFY(!AnyMarkedRows(&g));
}

void tst_ItemsGrid::replaceRow_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("move");
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("marksAfter");  // rows marked before: d only
    QTest::addColumn<int>("currentAfter");
    QTest::newRow("up") << 4 << -1 << "abdcef" << "..x..." << 3;
    QTest::newRow("down") << 4 << 1 << "abcedf" << "....x." << 5;
    // To first and to last move the row; the rows it passes keep their order.
    QTest::newRow("to first from 4") << 4 << -3 << "dabcef" << "x....." << 1;
    QTest::newRow("to last from 4") << 4 << 2 << "abcefd" << ".....x" << 6;
    QTest::newRow("to last from 1") << 1 << 5 << "bcdefa" << "..x..." << 6;
    QTest::newRow("first onto itself") << 1 << 0 << "abcdef" << "...x.." << 1;
    QTest::newRow("past the end: nothing") << 6 << 1 << "abcdef" << "...x.." << 6;
}

void tst_ItemsGrid::replaceRow()
{
    QFETCH(int, current);
    QFETCH(int, move);
    QFETCH(QString, order);
    QFETCH(QString, marksAfter);
    QFETCH(int, currentAfter);
    cGrid g;
    SetupItemsGrid(&g, nullptr);
    fill(&g, "...x..");
    g.SetCurrentRow(current);
    ReplaceRow(&g, move);
    QCOMPARE(names(&g), order);
    QCOMPARE(marks(&g), marksAfter);
    QCOMPARE(g.CurrentRow(), currentAfter);
    // Every cell travels with its row.
    for (qint32 r = 1; r <= g.Rows(); ++r) {
        QCOMPARE(RowText(&g, r, "COL_TAG_TITLE"), "title of " + RowText(&g, r, "Item Name"));
        QCOMPARE(RowIcon(&g, r, "Type"), kIconAudio);
    }
}

void tst_ItemsGrid::totals_data()
{
    QTest::addColumn<QList<Row>>("rows");
    QTest::addColumn<QString>("allTime");
    QTest::addColumn<QString>("markedTime");
    QTest::addColumn<qint64>("allBytes");
    QTest::addColumn<QString>("allSize");

    QTest::newRow("whole file and range")
        << QList<Row>{{"a", true, "1", "00:03:05", "", "1000"}, {"b", false, "0", "00:10:00", "30", "536"}}
        << "215" << "185" << qint64(1536) << "1.50 KB";
    QTest::newRow("range without a length adds nothing")
        << QList<Row>{{"a", true, "0", "00:10:00", "", "10"}, {"b", true, "0", "00:10:00", "x", "10"}} << "0" << "0"
        << qint64(20) << "20.0";
    QTest::newRow("sizes that are no numbers add nothing")
        << QList<Row>{{"a", true, "1", "00:00:10", "", "abc"}, {"b", true, "1", "00:00:05", "", ""},
                      {"c", true, "1", "00:00:01", "", "2048"}}
        << "16" << "16" << qint64(2048) << "2.00 KB";
    // Files over 2 GiB and lists over 4 GiB: 64-bit sizes and totals.
    QTest::newRow("large files")
        << QList<Row>{{"a", true, "1", "10:00:00", "", "3221225472"}, {"b", false, "1", "20:00:00", "", "3221225472"}}
        << "108000" << "36000" << qint64(6442450944) << "6.00 GB";
    QTest::newRow("total over 24 hours")
        << QList<Row>{{"a", false, "0", "30:00:00", "90000", "0"}} << "90000" << "0" << qint64(0) << "0";
    // A range counts only the part of it within the item: a stored range may outlast a
    // file that is shorter now, or hold any number.
    QTest::newRow("range past the end")
        << QList<Row>{{"a", true, "0", "00:01:00", "50", "0", "30"}} << "30" << "30" << qint64(0) << "0";
    QTest::newRow("range starting past the end")
        << QList<Row>{{"a", true, "0", "00:01:00", "50", "0", "90"}} << "0" << "0" << qint64(0) << "0";
    QTest::newRow("huge range")
        << QList<Row>{{"a", true, "0", "00:03:00", "9199999999999999999", "0", "0"},
                      {"b", true, "0", "00:03:00", "9199999999999999999", "0", "9199999999999999999"}}
        << "180" << "180" << qint64(0) << "0";
    QTest::newRow("negative start and length")
        << QList<Row>{{"a", true, "0", "00:01:00", "20", "0", "-10"}, {"b", true, "0", "00:01:00", "-20", "0", "5"}}
        << "20" << "20" << qint64(0) << "0";
    QTest::newRow("no start is the file start")
        << QList<Row>{{"a", true, "0", "00:01:00", "20", "0", ""}} << "20" << "20" << qint64(0) << "0";
    QTest::newRow("length of a missing file unknown")
        << QList<Row>{{"a", true, "0", "", "20", "0", "5"}, {"b", true, "1", "", "", "0"}} << "0" << "0" << qint64(0)
        << "0";
}

void tst_ItemsGrid::totals()
{
    QFETCH(QList<Row>, rows);
    QFETCH(QString, allTime);
    QFETCH(QString, markedTime);
    QFETCH(qint64, allBytes);
    QFETCH(QString, allSize);
    cGrid g;
    SetupItemsGrid(&g, nullptr);
    for (const Row& r : rows)
        addRow(&g, r);
    QCOMPARE(GetTotalTime(&g, false), allTime);
    QCOMPARE(GetTotalTime(&g, true), markedTime);
    QCOMPARE(TotalBytes(&g, false), allBytes);
    QCOMPARE(GetTotalSize(&g, false), allSize);
}

void tst_ItemsGrid::typeImage_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<int>("icon");
    QTest::newRow("Audio") << "Audio" << 3;
    QTest::newRow("Data") << "Data" << 4;
    QTest::newRow("lower case") << "audio" << 0;
    QTest::newRow("empty") << "" << 0;
}

void tst_ItemsGrid::typeImage()
{
    QFETCH(QString, type);
    QFETCH(int, icon);
    QCOMPARE(GetTypeImage(type), icon);
}

void tst_ItemsGrid::summary_data()
{
    QTest::addColumn<QList<Row>>("rows");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QList<Row>{} << "0 Items, 0 KB, 00:00:00";
    QTest::newRow("two rows")
        << QList<Row>{{"a", false, "1", "00:00:30", "", "1000"}, {"b", false, "1", "00:00:35", "", "536"}}
        << "2 Items, 1.50 KB, 00:01:05";
    QTest::newRow("a day and more") << QList<Row>{{"a", false, "0", "26:00:00", "90061", "5"}} << "1 Items, 5.00, 25:01:01";
    QTest::newRow("range outlasting its file")
        << QList<Row>{{"a", false, "0", "00:02:00", "9199999999999999999", "5", "60"}} << "1 Items, 5.00, 00:01:00";
}

void tst_ItemsGrid::summary()
{
    QFETCH(QList<Row>, rows);
    QFETCH(QString, text);
    cGrid g;
    SetupItemsGrid(&g, nullptr);
    for (const Row& r : rows)
        addRow(&g, r);
    QCOMPARE(ListSummary(&g), text);
}


void tst_ItemsGrid::formatBytes_data()
{
    QTest::addColumn<double>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0.0 << "0";
    QTest::newRow("-1") << -1.0 << "";
    QTest::newRow("5") << 5.0 << "5.00";
    QTest::newRow("50") << 50.0 << "50.0";
    QTest::newRow("999") << 999.0 << "999";
    QTest::newRow("1000") << 1000.0 << "0.98 KB";
    QTest::newRow("1536") << 1536.0 << "1.50 KB";
    QTest::newRow("10 KB") << 10240.0 << "10.0 KB";
    QTest::newRow("100 KB") << 102400.0 << "100 KB";
    QTest::newRow("1 MB") << 1048576.0 << "1.00 MB";
    QTest::newRow("largest") << 922337203685477.5807 << "839 TB";
}

void tst_ItemsGrid::formatBytes()
{
    QFETCH(double, bytes);
    QFETCH(QString, text);
    QCOMPARE(FormatBytes(bytes), text);
}

// The shown columns cover the grid's width at any size: the item names take what the
// others leave, never less than their own width, and give way when another column widens.
void tst_ItemsGrid::itemNameFillsTheWidth()
{
    cGrid g;
    SetupItemsGrid(&g, nullptr);
    const qint32 name = g.ColumnIndex(QStringLiteral("Item Name"));
    QTableView* view = g.View();
    const auto shownWidth = [&] {
        int sum = 0;
        for (int c = 0; c < g.Columns(); ++c)
            if (!view->isColumnHidden(c))
                sum += view->columnWidth(c);
        return sum;
    };
    g.resize(900, 300);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    QCOMPARE(shownWidth(), view->viewport()->width());
    const int before = view->columnWidth(name - 1);
    QVERIFY(before > 200);

    g.resize(1400, 300);
    QTRY_COMPARE(shownWidth(), view->viewport()->width());
    QCOMPARE(view->columnWidth(name - 1), before + 500);

    // A wider "Range" column narrows the names by as much.
    const qint32 range = g.ColumnIndex(QStringLiteral("Range"));
    view->setColumnWidth(range - 1, view->columnWidth(range - 1) + 60);
    QCOMPARE(shownWidth(), view->viewport()->width());
    QCOMPARE(view->columnWidth(name - 1), before + 440);

    // Too narrow for every column: the names keep their own width and the grid scrolls.
    g.resize(300, 300);
    QTRY_COMPARE(view->columnWidth(name - 1), 200);
    QVERIFY(shownWidth() > view->viewport()->width());
}

QTEST_MAIN(tst_ItemsGrid)
#include "tst_itemsgrid.moc"
