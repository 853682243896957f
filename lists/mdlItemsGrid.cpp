// Items grid rows: columns, grid set-up, and the row operations the windows share.
#include "lists/mdlItemsGrid.h"

#include "common/mdlFunctions.h"
#include "components/cGrid/cGrid.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>

const QList<ItemsGridColumn>& ItemsGridColumns()
{
    static const QList<ItemsGridColumn> columns{
        {QStringLiteral("Inc"), QStringLiteral("Inc"), 26, true},
        {QStringLiteral("Type"), QStringLiteral("Type"), 40, true},
        {QStringLiteral("Item Name"), QStringLiteral("Item Name"), 200, true},
        {QStringLiteral("Size"), QStringLiteral("Size"), 80, false},
        {QStringLiteral("Time"), QStringLiteral("Time-Length"), 80, false},
        {QStringLiteral("Created"), QStringLiteral("Created"), 140, false},
        {QStringLiteral("Range"), QStringLiteral("Range"), 120, true},
        {QStringLiteral("COL_FILE"), QStringLiteral("COL_FILE"), -1, false},
        {QStringLiteral("COL_RANGE_ALL"), QStringLiteral("COL_RANGE_ALL"), -1, false},
        {QStringLiteral("COL_RANGE_START_TIME"), QStringLiteral("COL_RANGE_START_TIME"), -1, false},
        {QStringLiteral("COL_RANGE_LENGTH_TIME"), QStringLiteral("COL_RANGE_LENGTH_TIME"), -1, false},
        {QStringLiteral("COL_BYTES_SIZE"), QStringLiteral("COL_BYTES_SIZE"), -1, false},
        {QStringLiteral("COL_TAG_ALBUM"), QStringLiteral("COL_TAG_ALBUM"), -1, false},
        {QStringLiteral("COL_TAG_ARTIST"), QStringLiteral("COL_TAG_ARTIST"), -1, false},
        {QStringLiteral("COL_TAG_COMMENT"), QStringLiteral("COL_TAG_COMMENT"), -1, false},
        {QStringLiteral("COL_TAG_GEN"), QStringLiteral("COL_TAG_GEN"), -1, false},
        {QStringLiteral("COL_TAG_YEAR"), QStringLiteral("COL_TAG_YEAR"), -1, false},
        {QStringLiteral("COL_TAG_TITLE"), QStringLiteral("COL_TAG_TITLE"), -1, false},
        {QStringLiteral("COL_TAG_TRACK"), QStringLiteral("COL_TAG_TRACK"), -1, false},
    };
    return columns;
}

void SetupItemsGrid(cGrid* grid, cImageList* images)
{
    if (!grid)
        return;
    grid->SetGridOption5E(24);
    grid->SetImageList(images);
    for (const ItemsGridColumn& c : ItemsGridColumns())
        grid->AddColumn(c.key, c.caption, 0, -1, c.width, c.shown);
    // The item names take whatever width the other columns leave.
    grid->SetFillColumn(grid->ColumnIndex(QStringLiteral("Item Name")));
    grid->SetGridOption44(true);
    grid->SetGridLines(true);
    grid->SetGridOption18(true);
    grid->SetGridOption17(true);
    grid->SetGridOption68(false);
    grid->SetGridColour(static_cast<qint32>(0x80000008u));  // the system's window-text colour
    grid->SetHotTrack(true);
    grid->SetGridOption47(false);
}

void SetupInfoGrid(cGrid* grid)
{
    if (!grid)
        return;
    grid->SetGridOption5E(20);
    grid->AddColumn(QStringLiteral("Name"), QStringLiteral("Name"), 0, -1, 70);
    grid->AddColumn(QStringLiteral("Value"), QStringLiteral("Value"), 0, -1, 130);
    grid->SetGridOption44(true);
    grid->SetGridLines(true);
    grid->SetGridOption18(true);
    grid->SetGridOption68(false);
}

QString RowText(cGrid* grid, qint32 row, const QString& key)
{
    if (!grid)
        return QString();
    return grid->Cell(row, grid->ColumnIndex(key)).Text();
}

void SetRowText(cGrid* grid, qint32 row, const QString& key, const QString& text)
{
    if (!grid)
        return;
    const qint32 col = grid->ColumnIndex(key);
    if (col > 0)
        grid->SetCell(row, col, text);
}

qint32 RowIcon(cGrid* grid, qint32 row, const QString& key)
{
    if (!grid)
        return -1;
    return grid->Cell(row, grid->ColumnIndex(key)).IconIndex();
}

bool IsRowMarked(cGrid* grid, qint32 row)
{
    return RowIcon(grid, row, QStringLiteral("Inc")) == kIconMarked;
}

qint32 CopyMarkedRows(cGrid* source, cGrid* destination, bool onlyMarked)
{
    if (!source || !destination || source->Rows() == 0)
        return 0;
    destination->SetRedraw(false);
    const qint32 columns = source->Columns();
    const qint32 incCol = destination->ColumnIndex(QStringLiteral("Inc"));
    qint32 n = 0;
    for (qint32 i = 1; i <= source->Rows(); ++i) {
        if (onlyMarked && !IsRowMarked(source, i))
            continue;
        ++n;
        if (!onlyMarked && incCol > 0)
            destination->SetCell(n, incCol, QString(), cGrid::kIconCellFormat, RowIcon(source, i, QStringLiteral("Inc")));
        for (qint32 c = 2; c <= columns; ++c)
            destination->SetCell(n, c, source->Cell(i, c).Text());
    }
    destination->SetCurrentRow(1);
    destination->SetRedraw(true);
    return n;
}

qint32 CountMarkedRows(cGrid* grid)
{
    if (!grid)
        return 0;
    qint32 n = 0;
    for (qint32 i = 1; i <= grid->Rows(); ++i)
        if (IsRowMarked(grid, i))
            ++n;
    return n;
}

bool AnyMarkedRows(cGrid* grid)
{
    if (!grid)
        return false;
    for (qint32 i = 1; i <= grid->Rows(); ++i)
        if (IsRowMarked(grid, i))
            return true;
    return false;
}

void MarkAllRows(cGrid* grid, bool mark)
{
    if (!grid)
        return;
    const qint32 incCol = grid->ColumnIndex(QStringLiteral("Inc"));
    if (incCol < 1)
        return;
    grid->SetRedraw(false);
    for (qint32 i = 1; i <= grid->Rows(); ++i)
        grid->Cell(i, incCol).SetIconIndex(mark ? kIconMarked : kIconUnmarked);
    grid->SetRedraw(true);
}

namespace {

struct CellCopy {
    QString text;
    qint32 icon = -1;
    QFont font;
};

QList<CellCopy> readRow(cGrid* grid, qint32 row)
{
    QList<CellCopy> cells;
    for (qint32 c = 1; c <= grid->Columns(); ++c)
        cells.append({grid->Cell(row, c).Text(), grid->Cell(row, c).IconIndex(), grid->CellFont(row, c)});
    return cells;
}

void writeRow(cGrid* grid, qint32 row, const QList<CellCopy>& cells)
{
    for (qint32 c = 1; c <= cells.size(); ++c) {
        grid->SetCell(row, c, cells[c - 1].text, std::nullopt, cells[c - 1].icon);
        grid->SetCellFont(row, c, cells[c - 1].font);
    }
}

} // namespace

void ReplaceRow(cGrid* grid, qint32 lMove)
{
    if (!grid)
        return;
    const qint32 from = grid->CurrentRow();
    const qint64 to64 = qint64(from) + lMove;
    if (from < 1 || from > grid->Rows() || to64 < 1 || to64 > grid->Rows())
        return;
    const qint32 to = qint32(to64);
    grid->SetRedraw(false);
    // The row's whole content (texts, mark and type icons, fonts, item data) travels; the
    // rows between shift one place towards where it was.
    const QList<CellCopy> moving = readRow(grid, from);
    const qint32 movingData = grid->RowItemData(from);
    const qint32 step = to > from ? 1 : -1;
    for (qint32 r = from; r != to; r += step) {
        writeRow(grid, r, readRow(grid, r + step));
        grid->SetRowItemData(r, grid->RowItemData(r + step));
    }
    writeRow(grid, to, moving);
    grid->SetRowItemData(to, movingData);
    grid->SetCurrentRow(to);
    grid->SetRedraw(true);
}

bool ReadNumber(const QString& text, double& value)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    const qlonglong whole = t.toLongLong(&ok);
    if (ok) {
        value = double(whole);
        return true;
    }
    value = QLocale::c().toDouble(t, &ok);
    return ok && std::isfinite(value);
}

namespace {

// A value read as a whole number of 64 bits; false when it is none or too large.
bool readWhole(const QString& text, qint64& value)
{
    bool ok = false;
    const qlonglong whole = text.trimmed().toLongLong(&ok);
    if (ok) {
        value = whole;
        return true;
    }
    double d = 0;
    if (!ReadNumber(text, d))
        return false;
    d = std::nearbyint(d);
    if (!(d >= -9.2e18 && d <= 9.2e18))
        return false;
    value = qint64(d);
    return true;
}

bool countRow(cGrid* grid, qint32 row, bool markedOnly)
{
    return !markedOnly || IsRowMarked(grid, row);
}

void addChecked(qint64& total, qint64 value)
{
    qint64 sum = 0;
    if (!__builtin_add_overflow(total, value, &sum))
        total = sum;
}

// The seconds one row stands for: the item's length for a whole-file row; for a range
// row, the part of its range that lies within the item. A stored range may reach past
// the end of a file that is shorter now, or hold any number at all; an item whose length
// is unknown (its file is missing) counts nothing.
qint64 rowSeconds(cGrid* grid, qint32 row)
{
    const qint64 length = std::max<qint64>(0, TimeToSeconds(RowText(grid, row, QStringLiteral("Time"))));
    if (RowText(grid, row, QStringLiteral("COL_RANGE_ALL")) == QLatin1String("1"))
        return length;
    qint64 span = 0;
    if (!readWhole(RowText(grid, row, QStringLiteral("COL_RANGE_LENGTH_TIME")), span))
        return 0;
    qint64 start = 0;
    if (!readWhole(RowText(grid, row, QStringLiteral("COL_RANGE_START_TIME")), start))
        start = 0;
    start = std::clamp<qint64>(start, 0, length);
    return std::clamp<qint64>(span, 0, length - start);
}

} // namespace

qint64 TotalSeconds(cGrid* grid, bool bMarkedOnly)
{
    if (!grid)
        return 0;
    qint64 total = 0;
    for (qint32 i = 1; i <= grid->Rows(); ++i)
        if (countRow(grid, i, bMarkedOnly))
            addChecked(total, rowSeconds(grid, i));
    return total;
}

qint64 TotalBytes(cGrid* grid, bool bMarkedOnly)
{
    if (!grid)
        return 0;
    qint64 total = 0;
    for (qint32 i = 1; i <= grid->Rows(); ++i) {
        if (!countRow(grid, i, bMarkedOnly))
            continue;
        qint64 v = 0;
        if (readWhole(RowText(grid, i, QStringLiteral("COL_BYTES_SIZE")), v))
            addChecked(total, v);
    }
    return total;
}

QString FormatBytes(double bytes)
{
    if (bytes < 0)
        return QString();
    if (bytes == 0)
        return QStringLiteral("0");
    static const char* const units[] = {"", " KB", " MB", " GB", " TB"};
    int k = 0;
    double v = bytes;
    while (v >= 1000.0 && k < 4) {
        ++k;
        v = bytes / std::pow(1024.0, k);
    }
    const QLocale loc;
    QString number;
    if (v < 10)
        number = loc.toString(v, 'f', 2);
    else if (v < 100)
        number = loc.toString(v, 'f', 1);
    else
        number = loc.toString(v, 'f', 0);
    return number + QLatin1String(units[k]);
}

QString GetTotalTime(cGrid* grid, bool bMarkedOnly)
{
    return QString::number(TotalSeconds(grid, bMarkedOnly));
}

QString GetTotalSize(cGrid* grid, bool bMarkedOnly)
{
    return FormatBytes(double(TotalBytes(grid, bMarkedOnly)));
}

qint32 GetTypeImage(const QString& type)
{
    if (type == QLatin1String("Data"))
        return kIconData;
    if (type == QLatin1String("Audio"))
        return kIconAudio;
    return 0;
}

QString FormatHHMMSS(qint64 seconds)
{
    const bool negative = seconds < 0;
    const quint64 s = negative ? quint64(0) - quint64(seconds) : quint64(seconds);
    return QStringLiteral("%1%2:%3:%4")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(s / 3600, 2, 10, QChar(u'0'))
        .arg((s / 60) % 60, 2, 10, QChar(u'0'))
        .arg(s % 60, 2, 10, QChar(u'0'));
}

QString RangeText(double start, double length)
{
    auto whole = [](double v) -> qint64 {
        v = std::nearbyint(v);
        return v >= -9.2e18 && v <= 9.2e18 ? qint64(v) : 0;
    };
    return FormatHHMMSS(whole(start)) + QStringLiteral(" - ") + FormatHHMMSS(whole(start + length));
}

QString ListSummary(cGrid* grid)
{
    if (!grid || grid->Rows() == 0)
        return QStringLiteral("0 Items, 0 KB, 00:00:00");
    return QString::number(grid->Rows()) + QStringLiteral(" Items, ") + GetTotalSize(grid, false)
        + QStringLiteral(", ") + FormatHHMMSS(TotalSeconds(grid, false));
}
