// The items grid row: its nineteen keyed columns, the set-up of the main and information
// grids, and the row operations (copy, marks, moves, totals) over any grid that has them.
#pragma once

#include <QList>
#include <QString>

class cGrid;
class cImageList;

// One column of the items grid row.
struct ItemsGridColumn {
    QString key;
    QString caption;
    qint32 width;
    bool shown;  // shown in the main grid
};

// The columns in their fixed order: rows are copied between grids by position.
const QList<ItemsGridColumn>& ItemsGridColumns();

// Cell icons of the "Inc" and "Type" columns.
inline constexpr qint32 kIconUnmarked = 0;
inline constexpr qint32 kIconMarked = 1;
inline constexpr qint32 kIconAudio = 3;
inline constexpr qint32 kIconData = 4;

// Column set-up of the main items grid and of the two-column information grid.
void SetupItemsGrid(cGrid* grid, cImageList* images);
void SetupInfoGrid(cGrid* grid);

// The text of a row's cell under a column key ("" for a missing row or key).
QString RowText(cGrid* grid, qint32 row, const QString& key);
void SetRowText(cGrid* grid, qint32 row, const QString& key, const QString& text);
qint32 RowIcon(cGrid* grid, qint32 row, const QString& key);
bool IsRowMarked(cGrid* grid, qint32 row);

// Copies rows into another grid with the same columns (texts of columns 2 on; with
// onlyMarked false also every row's mark). Returns the number of rows written.
qint32 CopyMarkedRows(cGrid* source, cGrid* destination, bool onlyMarked);
qint32 CountMarkedRows(cGrid* grid);
bool AnyMarkedRows(cGrid* grid);
// Marks (true) or unmarks every row; saving is the caller's.
void MarkAllRows(cGrid* grid, bool mark);
// Moves the current row lMove places (negative: upwards); the rows it passes keep their
// order and shift by one. The moved row becomes current. The target must exist.
void ReplaceRow(cGrid* grid, qint32 lMove);

// Totals of the rows (only the marked ones when bMarkedOnly): seconds and bytes, 64-bit.
// A number that cannot be read adds nothing; a range row counts only the part of its
// range within the item's length.
qint64 TotalSeconds(cGrid* grid, bool bMarkedOnly);
qint64 TotalBytes(cGrid* grid, bool bMarkedOnly);
// Size text of a byte total: "0", "5.00", "1.50 KB" ... up to " TB"; "" when negative.
QString FormatBytes(double bytes);
// The same as the texts the windows show: decimal seconds, and a size text.
QString GetTotalTime(cGrid* grid, bool bMarkedOnly);
QString GetTotalSize(cGrid* grid, bool bMarkedOnly);

// The icon of an item type word: "Data" 4, "Audio" 3, anything else 0 (case counts).
qint32 GetTypeImage(const QString& type);

// "HH:MM:SS" of a number of seconds; hours are not wrapped at 24.
QString FormatHHMMSS(qint64 seconds);
// The "Range" text of a range row: start and end (start plus length) as "HH:MM:SS".
QString RangeText(double start, double length);
// Reads a decimal number as the list texts hold it; false when it is not one.
bool ReadNumber(const QString& text, double& value);

// The list summary of the status bar: "2 Items, 1.50 KB, 00:01:05".
QString ListSummary(cGrid* grid);
