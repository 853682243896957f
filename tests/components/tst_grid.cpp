// The grid: keyed columns, cells written past the end, icon cells, the current cell and
// the row selection, and the events the windows handle.
#include "components/cGrid/cGrid.h"
#include "components/cImageList/cImageList.h"

#include <QDateTime>
#include <QHeaderView>
#include <QMimeData>
#include <QProxyStyle>
#include <QStyleOptionViewItem>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QUrl>

namespace {

// The items grid's columns as the windows add them: shown ones with a width, data
// columns hidden.
void addItemColumns(cGrid& g)
{
    g.AddColumn(QStringLiteral("Inc"), QString(), 0, -1, 20);
    g.AddColumn(QStringLiteral("Type"), QStringLiteral("Type"), 0, -1, 40);
    g.AddColumn(QStringLiteral("Item Name"), QStringLiteral("Item Name"), 0, -1, 160);
    g.AddColumn(QStringLiteral("COL_FILE"), QStringLiteral("COL_FILE"), 0, -1, -1, false);
}

void fill(cGrid& g, int rows)
{
    for (int r = 1; r <= rows; ++r)
        g.SetCell(g.Rows() + 1, 3, QStringLiteral("item %1").arg(r));
}

// A style that notes the longest cell text the view hands it to measure or to draw.
class TextLengthStyle : public QProxyStyle
{
public:
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        note(element == CE_ItemViewItem ? option : nullptr);
        QProxyStyle::drawControl(element, option, painter, widget);
    }
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override
    {
        note(type == CT_ItemViewItem ? option : nullptr);
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }
    mutable qsizetype longest = 0;
    mutable int cells = 0;

private:
    void note(const QStyleOption* option) const
    {
        if (const auto* item = qstyleoption_cast<const QStyleOptionViewItem*>(option)) {
            longest = qMax(longest, item->text.size());
            ++cells;
        }
    }
};

QStringList names(cGrid& g)
{
    QStringList out;
    for (int r = 1; r <= g.Rows(); ++r)
        out << g.Cell(r, 3).Text();
    return out;
}

} // namespace

class tst_Grid : public QObject
{
    Q_OBJECT
private slots:
    void keyedColumns();
    void setCellGrowsTheGrid_data();
    void setCellGrowsTheGrid();
    void cellIsRowFirst();
    void cellValues_data();
    void cellValues();
    void iconCells();
    void currentCell();
    void removeRowKeepsCurrent_data();
    void removeRowKeepsCurrent();
    void removeSelectedRows();
    void clear();
    void userEvents();
    void dropFiles();
    void setupValues();
    void hugeTextDrawnOnlyAsFarAsTheCellShows();
};

void tst_Grid::keyedColumns()
{
    cGrid g;
    addItemColumns(g);
    QCOMPARE(g.Columns(), 4);
    QCOMPARE(g.ColumnIndex(QStringLiteral("Inc")), 1);
    QCOMPARE(g.ColumnIndex(QStringLiteral("Item Name")), 3);
    QCOMPARE(g.ColumnIndex(QStringLiteral("COL_FILE")), 4);
    QCOMPARE(g.ColumnIndex(QStringLiteral("item name")), 0);  // keys are exact
    QCOMPARE(g.ColumnIndex(QStringLiteral("Missing")), 0);
    QCOMPARE(g.ColumnKey(2), QStringLiteral("Type"));
    QVERIFY(g.ColumnVisible(3));
    QVERIFY(!g.ColumnVisible(4));
    QVERIFY(g.View()->isColumnHidden(3));
    QCOMPARE(g.View()->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Item Name"));
    QCOMPARE(g.View()->columnWidth(2), 160);

    // A column added to a grid with rows gives every row an empty cell.
    fill(g, 2);
    g.AddColumn(QStringLiteral("Late"), QStringLiteral("Late"));
    QCOMPARE(g.Cell(2, 5).Text(), QString());
    g.SetCell(2, 5, QStringLiteral("x"));
    QCOMPARE(g.Cell(2, 5).Text(), QStringLiteral("x"));
}

void tst_Grid::setCellGrowsTheGrid_data()
{
    QTest::addColumn<int>("rowsBefore");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("rowsAfter");
    QTest::newRow("empty grid, row 1") << 0 << 1 << 1 << 1;
    QTest::newRow("filled grid, next row") << 3 << 4 << 2 << 4;
    QTest::newRow("existing row") << 3 << 2 << 2 << 3;
    QTest::newRow("far past the end grows to it") << 2 << 5 << 1 << 5;
    QTest::newRow("row 0 is nothing") << 2 << 0 << 1 << 2;
    QTest::newRow("column past the last is nothing") << 2 << 3 << 5 << 2;
    QTest::newRow("column 0 is nothing") << 2 << 3 << 0 << 2;
}

void tst_Grid::setCellGrowsTheGrid()
{
    QFETCH(int, rowsBefore);
    QFETCH(int, row);
    QFETCH(int, col);
    QFETCH(int, rowsAfter);
    cGrid g;
    addItemColumns(g);
    fill(g, rowsBefore);
    g.SetCell(row, col, QStringLiteral("v"));
    QCOMPARE(g.Rows(), rowsAfter);
    QCOMPARE(g.View()->model()->rowCount(), rowsAfter);
    if (rowsAfter > rowsBefore || (row >= 1 && row <= rowsBefore && col >= 1 && col <= 4))
        QCOMPARE(g.Cell(row, col).Text(), QStringLiteral("v"));
    // The rows before keep their cells.
    for (int r = 1; r <= rowsBefore; ++r)
        if (r != row || col != 3)
            QCOMPARE(g.Cell(r, 3).Text(), QStringLiteral("item %1").arg(r));
}

void tst_Grid::cellIsRowFirst()
{
    cGrid g;
    addItemColumns(g);
    g.SetCell(2, 3, QStringLiteral("row 2, col 3"));
    QCOMPARE(g.Cell(2, 3).Text(), QStringLiteral("row 2, col 3"));
    QCOMPARE(g.Cell(3, 2).Text(), QString());
    QCOMPARE(g.Rows(), 2);
    // A handle writes back into the grid, and one outside it reads neutral values.
    g.Cell(1, 1).SetText(QStringLiteral("a"));
    QCOMPARE(g.Cell(1, 1).Text(), QStringLiteral("a"));
    QCOMPARE(g.Cell(9, 1).Text(), QString());
    QCOMPARE(g.Cell(9, 1).IconIndex(), -1);
    QVERIFY(!g.Cell(9, 1).Selected());
    g.Cell(1, 9).SetIconIndex(3);  // nothing to write to: no harm
    QCOMPARE(g.Columns(), 4);
}

void tst_Grid::cellValues_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("text with blanks") << QVariant(QStringLiteral(" a b  ")) << QStringLiteral(" a b  ");
    QTest::newRow("number") << QVariant(qint32(-42)) << QStringLiteral("-42");
    QTest::newRow("empty") << QVariant(QString()) << QString();
    const QDateTime dt(QDate(2024, 3, 5), QTime(14, 7, 9));
    QTest::newRow("date") << QVariant(dt) << QLocale().toString(dt, QLocale::ShortFormat);
}

void tst_Grid::cellValues()
{
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    cGrid g;
    addItemColumns(g);
    g.SetCell(1, 3, value);
    QCOMPARE(g.Cell(1, 3).Text(), text);
    QCOMPARE(g.View()->model()->index(0, 2).data().toString(), text);
}

void tst_Grid::iconCells()
{
    cImageList images;
    QPixmap pm(16, 16);
    pm.fill(Qt::red);
    images.Add(QIcon(pm));
    images.Add(QIcon(pm));
    cGrid g;
    g.SetImageList(&images);
    addItemColumns(g);
    g.SetCell(1, 3, QStringLiteral("name"));
    QCOMPARE(g.Cell(1, 1).IconIndex(), -1);  // no icon until one is given

    // The icon form: "" with the icon format and an image number; the mark is data.
    g.SetCell(1, 1, QString(), cGrid::kIconCellFormat, 1);
    g.SetCell(2, 1, QString(), cGrid::kIconCellFormat, 0);
    QCOMPARE(g.Rows(), 2);
    QCOMPARE(g.Cell(1, 1).IconIndex(), 1);
    QCOMPARE(g.Cell(2, 1).IconIndex(), 0);
    QCOMPARE(g.Cell(1, 1).Text(), QString());
    QVERIFY(!g.View()->model()->index(0, 0).data(Qt::DecorationRole).value<QIcon>().isNull());

    // A text write keeps the icon; the handle toggles it as a click on the mark does.
    g.SetCell(1, 1, QStringLiteral("t"));
    QCOMPARE(g.Cell(1, 1).IconIndex(), 1);
    g.Cell(1, 1).SetIconIndex(g.Cell(1, 1).IconIndex() == 1 ? 0 : 1);
    QCOMPARE(g.Cell(1, 1).IconIndex(), 0);
    // -1 shows no picture.
    g.Cell(2, 1).SetIconIndex(-1);
    QVERIFY(g.View()->model()->index(1, 0).data(Qt::DecorationRole).isNull());
}

void tst_Grid::currentCell()
{
    cGrid g;
    addItemColumns(g);
    QCOMPARE(g.CurrentRow(), 0);
    fill(g, 3);
    QCOMPARE(g.CurrentRow(), 0);  // filling a grid chooses no row
    QSignalSpy changed(&g, &cGrid::RowChanged);
    g.SetCurrentRow(2);
    QCOMPARE(g.CurrentRow(), 2);
    QCOMPARE(g.CurrentColumn(), 1);
    QVERIFY(g.Cell(2, 3).Selected());
    QVERIFY(!g.Cell(1, 3).Selected());
    g.SetCurrentColumn(3);
    QCOMPARE(g.CurrentColumn(), 3);
    QCOMPARE(g.CurrentRow(), 2);
    // Rows outside the grid are refused.
    g.SetCurrentRow(4);
    g.SetCurrentRow(0);
    g.SetCurrentColumn(5);
    QCOMPARE(g.CurrentRow(), 2);
    QCOMPARE(g.CurrentColumn(), 3);
    QCOMPARE(changed.count(), 0);  // code moves the current row without an event
    QCOMPARE(g.View()->currentIndex().row(), 1);
}

void tst_Grid::removeRowKeepsCurrent_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("removed");
    QTest::addColumn<int>("currentAfter");
    QTest::addColumn<QString>("currentName");
    QTest::newRow("row above the current") << 3 << 1 << 2 << "item 3";
    QTest::newRow("row below the current") << 2 << 4 << 2 << "item 2";
    QTest::newRow("the current row: the next one moves in") << 2 << 2 << 2 << "item 3";
    QTest::newRow("the current last row: the one above") << 4 << 4 << 3 << "item 3";
    QTest::newRow("row outside the grid") << 2 << 7 << 2 << "item 2";
}

void tst_Grid::removeRowKeepsCurrent()
{
    QFETCH(int, current);
    QFETCH(int, removed);
    QFETCH(int, currentAfter);
    QFETCH(QString, currentName);
    cGrid g;
    addItemColumns(g);
    fill(g, 4);
    g.SetCurrentRow(current);
    g.RemoveRow(removed);
    QCOMPARE(g.Rows(), removed <= 4 ? 3 : 4);
    QCOMPARE(g.CurrentRow(), currentAfter);
    QCOMPARE(g.Cell(g.CurrentRow(), 3).Text(), currentName);
    QCOMPARE(g.View()->currentIndex().row(), currentAfter - 1);
}

void tst_Grid::removeSelectedRows()
{
    // The items grid removes its selected rows walking down with a count of the rows
    // already gone; every selected row goes and the others keep their order.
    cGrid g;
    addItemColumns(g);
    fill(g, 6);
    g.SetCurrentRow(2);
    g.SetRowSelected(3, true);
    g.SetRowSelected(6, true);
    QVERIFY(g.Cell(2, 1).Selected() && g.Cell(3, 1).Selected() && g.Cell(6, 1).Selected());
    const int rows = g.Rows();
    int removed = 0;
    for (int i = 1; i <= rows; ++i) {
        if (g.Cell(i - removed, 1).Selected()) {
            g.RemoveRow(i - removed);
            ++removed;
        }
    }
    QCOMPARE(names(g), (QStringList{"item 1", "item 4", "item 5"}));
    QCOMPARE(g.CurrentRow(), 2);
    g.SetRowSelected(1, true);
    g.SetRowSelected(1, false);
    QVERIFY(!g.Cell(1, 1).Selected());
}

void tst_Grid::clear()
{
    cGrid g;
    addItemColumns(g);
    fill(g, 3);
    g.SetCurrentRow(3);
    g.SetRedraw(false);
    QVERIFY(!g.Redraw());
    g.Clear();
    QCOMPARE(g.Rows(), 0);
    QCOMPARE(g.CurrentRow(), 0);
    QCOMPARE(g.Columns(), 4);
    // A cleared grid is filled row by row again.
    fill(g, 2);
    g.SetRedraw(true);
    QVERIFY(g.Redraw());
    QCOMPARE(names(g), (QStringList{"item 1", "item 2"}));
    QVERIFY(!g.Cell(1, 1).Selected());
    g.SetCurrentRow(1);
    QCOMPARE(g.CurrentRow(), 1);
}

void tst_Grid::userEvents()
{
    cGrid g;
    addItemColumns(g);
    fill(g, 3);
    g.resize(400, 200);
    g.show();
    QVERIFY(QTest::qWaitForWindowExposed(&g));
    QSignalSpy changed(&g, &cGrid::RowChanged);
    QSignalSpy up(&g, &cGrid::GridMouseUp);
    QSignalSpy dbl(&g, &cGrid::CellDoubleClick);
    QTableView* v = g.View();

    // A click on the third column of row 2: the current cell follows, one RowChanged,
    // and the mouse-up in twips within the grid.
    const QRect cell = v->visualRect(v->model()->index(1, 2));
    QTest::mouseClick(v->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    QCOMPARE(g.CurrentRow(), 2);
    QCOMPARE(g.CurrentColumn(), 3);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(up.count(), 1);
    const QPoint inGrid = v->viewport()->mapTo(&g, cell.center());
    QCOMPARE(up[0][0].value<qint16>(), qint16(1));
    QCOMPARE(up[0][1].value<qint16>(), qint16(0));
    QCOMPARE(up[0][2].toFloat(), float(inGrid.x() * 15));
    QCOMPARE(up[0][3].toFloat(), float(inGrid.y() * 15));
    // The mark column spans the first 300 twips.
    const QRect mark = v->visualRect(v->model()->index(0, 0));
    QTest::mouseClick(v->viewport(), Qt::RightButton, Qt::ShiftModifier, mark.center());
    QCOMPARE(up.count(), 2);
    QCOMPARE(up[1][0].value<qint16>(), qint16(2));
    QCOMPARE(up[1][1].value<qint16>(), qint16(1));
    QVERIFY(up[1][2].toFloat() < 300.0f);
    QCOMPARE(g.CurrentRow(), 1);
    QCOMPARE(changed.count(), 2);

    emit v->doubleClicked(v->model()->index(1, 2));
    QCOMPARE(dbl.count(), 1);
    QCOMPARE(dbl[0][0].toInt(), 2);
    QCOMPARE(dbl[0][1].toInt(), 3);

    // Bold and plain again, as the main window marks the playing row.
    QFont bold = g.CellFont(2, 3);
    bold.setBold(true);
    g.SetCellFont(2, 3, bold);
    QVERIFY(g.CellFont(2, 3).bold());
    QVERIFY(v->model()->index(1, 2).data(Qt::FontRole).value<QFont>().bold());
    bold.setBold(false);
    g.SetCellFont(2, 3, bold);
    QVERIFY(!g.CellFont(2, 3).bold());
}

void tst_Grid::dropFiles()
{
    cGrid g;
    addItemColumns(g);
    g.resize(300, 200);
    QSignalSpy dropped(&g, &cGrid::OLEDragDrop);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QStringLiteral("/music/a b.wav")), QUrl::fromLocalFile(QStringLiteral("/x.mp3"))});
    QDropEvent drop(QPointF(30, 40), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QDragEnterEvent enter(QPoint(30, 40), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(g.View()->viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QCoreApplication::sendEvent(g.View()->viewport(), &drop);
    QCOMPARE(dropped.count(), 1);
    QCOMPARE(dropped[0][0].toStringList(), (QStringList{"/music/a b.wav", "/x.mp3"}));
    // Text without files is not a file drop.
    QMimeData text;
    text.setText(QStringLiteral("hello"));
    QDragEnterEvent enter2(QPoint(30, 40), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(g.View()->viewport(), &enter2);
    QVERIFY(!enter2.isAccepted());
    QDropEvent drop2(QPointF(30, 40), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(g.View()->viewport(), &drop2);
    QCOMPARE(dropped.count(), 1);
}

void tst_Grid::setupValues()
{
    cGrid g;
    g.SetGridOption5E(24);
    addItemColumns(g);
    g.SetGridOption44(true);
    g.SetGridLines(true);
    g.SetHotTrack(true);
    g.SetGridColour(qint32(0x80000008u));
    fill(g, 1);
    QCOMPARE(g.GridOption5E(), 24);
    QCOMPARE(g.View()->rowHeight(0), 24);
    QVERIFY(g.GridLines() && g.View()->showGrid());
    QVERIFY(g.HotTrack());
    QCOMPARE(g.GridColour(), qint32(0x80000008u));
    g.SetGridLines(false);
    QVERIFY(!g.View()->showGrid());
    QCOMPARE(g.RowItemData(1), 0);
    g.SetRowItemData(1, 77);
    QCOMPARE(g.RowItemData(1), 77);
    QCOMPARE(g.RowItemData(2), 0);
}

// A name of 10 MB (a list written by another program): the view measures and draws no
// more of it than a cell can show, when the grid first paints and after each resize,
// while the cell keeps the whole name.
void tst_Grid::hugeTextDrawnOnlyAsFarAsTheCellShows()
{
    TextLengthStyle style;
    cGrid g;
    addItemColumns(g);
    g.View()->setStyle(&style);
    const QString huge(10 * 1024 * 1024, u'W');
    const QString shortName = QStringLiteral("short.wav");
    g.SetCell(1, 3, huge);
    g.SetCell(2, 3, shortName);
    // A character of two halves where the text is cut goes whole.
    const QString pair = QString::fromUtf8("\xF0\x9F\x8E\xB5");
    g.SetCell(3, 3, QString(255, u'a') + pair + QString(1000, u'b'));
    g.resize(400, 200);
    g.grab();
    QVERIFY(style.cells > 0);
    QVERIFY2(style.longest <= 4096, qPrintable(QString::number(style.longest)));
    QCOMPARE(g.Cell(1, 3).Text(), huge);
    const QAbstractItemModel* model = g.View()->model();
    QCOMPARE(model->data(model->index(1, 2)).toString(), shortName);
    QCOMPARE(model->data(model->index(2, 2)).toString(), QString(255, u'a'));
    for (int width : {900, 1600, 300}) {
        style.longest = 0;
        g.View()->setColumnWidth(2, width);
        g.resize(width + 100, 200);
        g.grab();
        QVERIFY2(style.longest <= qMax<qsizetype>(4096, width), qPrintable(QString::number(style.longest)));
    }
    // A wider column shows more.
    QCOMPARE(model->data(model->index(2, 2)).toString(), QString(255, u'a') + pair + QString(43, u'b'));
    g.View()->setStyle(nullptr);
}

QTEST_MAIN(tst_Grid)
#include "tst_grid.moc"
