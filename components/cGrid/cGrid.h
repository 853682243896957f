// The grid of text cells under keyed columns, with icons, one current cell and a row
// selection. Its cells live in plain members, so a grid that is never shown still works.
#pragma once

#include <QFont>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>

#include <optional>

class QTableView;
class cGrid;
class cImageList;
class GridModel;

// One cell, as cGrid::Cell hands it out: a handle that reads and writes the grid.
// A handle on a cell outside the grid reads "" and -1 and writes nothing.
class cGridItem
{
public:
    cGridItem(cGrid* grid, qint32 row, qint32 col) : m_grid(grid), m_row(row), m_col(col) {}

    QString Text() const;
    void SetText(const QString& text);
    qint32 IconIndex() const;
    void SetIconIndex(qint32 icon);
    // True when the cell's row belongs to the grid's row selection.
    bool Selected() const;

private:
    cGrid* m_grid;
    qint32 m_row;
    qint32 m_col;
};

class cGrid : public QWidget
{
    Q_OBJECT
public:
    // The cell format of an icon cell.
    static constexpr qint32 kIconCellFormat = 0x40020;
    // The view is given at most this many characters of a cell, or as many as the column
    // is wide in pixels when that is more; the cell keeps its whole text.
    static constexpr qsizetype kShownTextMinimum = 256;

    explicit cGrid(QWidget* parent = nullptr);
    ~cGrid() override;

    // Appends a column; Width in pixels (-1: the default width). Data columns are added
    // with Visible false and are never shown.
    void AddColumn(const QString& Key, const QString& Caption, qint32 l1 = 0, qint32 l2 = -1, qint32 Width = -1,
                   bool Visible = true);
    // The number of the column with that key (from 1); 0 when there is none.
    qint32 ColumnIndex(const QString& Key) const;
    QString ColumnKey(qint32 Col) const;
    qint32 ColumnWidth(qint32 Col) const;
    bool ColumnVisible(qint32 Col) const;
    // The column that takes the width the other shown columns leave, so the columns
    // cover the grid at any size; never narrower than its own width. 0: none.
    void SetFillColumn(qint32 Col);
    qint32 FillColumn() const { return m_fillColumn; }

    // Writes a cell. Value may be a text, a number or a date; the grid keeps it as text.
    // Writing a row past the last one grows the grid to that row. Without Icon the cell
    // keeps its icon; the icon form passes "" as Value, kIconCellFormat and the icon.
    void SetCell(qint32 Row, qint32 Col, const QVariant& Value, std::optional<qint32> Format = std::nullopt,
                 std::optional<qint32> Icon = std::nullopt);
    cGridItem Cell(qint32 Row, qint32 Col) { return cGridItem(this, Row, Col); }

    qint32 Rows() const { return qint32(m_rows.size()); }
    qint32 Columns() const { return qint32(m_columns.size()); }

    // The current cell; 0 when there is none. Setting a row outside 1..Rows is ignored;
    // a current row is also the row selection.
    qint32 CurrentRow() const { return m_currentRow; }
    void SetCurrentRow(qint32 Row);
    qint32 CurrentColumn() const { return m_currentCol; }
    void SetCurrentColumn(qint32 Col);

    void Clear();
    // Removes one row; the rows below move up. The current row stays on the same item,
    // or on the row that took the removed one's place.
    void RemoveRow(qint32 Row);

    // False while many cells change; True shows the changes.
    void SetRedraw(bool on);
    bool Redraw() const { return m_redraw; }

    void SetCellFont(qint32 Row, qint32 Col, const QFont& font);
    QFont CellFont(qint32 Row, qint32 Col) const;

    void SetImageList(cImageList* list);
    cImageList* ImageList() const { return m_images; }
    void SetBackgroundPicture(const QPixmap& picture);

    void SetHotTrack(bool on);
    bool HotTrack() const { return m_hotTrack; }
    void SetGridLines(bool on);
    bool GridLines() const { return m_gridLines; }

    // Set-up values. GridOption5E is the row height in pixels; the others are kept only.
    void SetGridOption5E(qint32 v);
    qint32 GridOption5E() const { return m_option5E; }
    void SetGridOption44(bool v) { m_option44 = v; }
    void SetGridOption18(bool v) { m_option18 = v; }
    void SetGridOption17(bool v) { m_option17 = v; }
    void SetGridOption68(bool v) { m_option68 = v; }
    void SetGridOption47(bool v) { m_option47 = v; }
    void SetGridColour(qint32 v) { m_gridColour = v; }
    qint32 GridColour() const { return m_gridColour; }

    // A number kept with each row (0 until set).
    qint32 RowItemData(qint32 Row) const;
    void SetRowItemData(qint32 Row, qint32 value);

    // The row selection as the user's clicks make it.
    void SetRowSelected(qint32 Row, bool selected);
    bool RowSelected(qint32 Row) const;

    // The view that shows the grid (tests click it).
    QTableView* View() const { return m_view; }

signals:
    // The user moved the current row (setting CurrentRow from code raises nothing).
    void RowChanged(qint32 Row, qint32 Col);
    // Button 1 left, 2 right, 4 middle; Shift 1 shift, 2 control, 4 alt; X and Y in twips
    // within the grid.
    void GridMouseUp(qint16 Button, qint16 Shift, float X, float Y);
    void CellDoubleClick(qint32 Row, qint32 Col);
    void Notify28(qint32 Param);
    // Files dropped from the desktop.
    void OLEDragDrop(const QStringList& Data, qint32 Effect, qint16 Button, qint16 Shift, float X, float Y);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class cGridItem;
    friend class GridModel;

    struct CellData {
        QString text;
        qint32 icon = -1;
        qint32 format = 0;
        std::optional<QFont> font;
    };
    struct RowData {
        QList<CellData> cells;
        qint32 itemData = 0;
    };
    struct ColumnData {
        QString key;
        QString caption;
        qint32 width = -1;
        bool visible = true;
    };

    bool validCell(qint32 row, qint32 col) const;
    void growTo(qint32 rows);
    void cellChanged(qint32 row, qint32 col);
    void syncCurrentToView();
    void onViewCurrentChanged();
    void fitFillColumn();

    QList<ColumnData> m_columns;
    QList<RowData> m_rows;
    qint32 m_currentRow = 0;
    qint32 m_currentCol = 0;
    qint32 m_fillColumn = 0;
    bool m_fitting = false;
    bool m_redraw = true;
    bool m_syncing = false;
    bool m_hotTrack = false;
    bool m_gridLines = false;
    qint32 m_option5E = 0;
    bool m_option44 = false;
    bool m_option18 = false;
    bool m_option17 = false;
    bool m_option68 = false;
    bool m_option47 = false;
    qint32 m_gridColour = 0;
    cImageList* m_images = nullptr;
    GridModel* m_model = nullptr;
    QTableView* m_view = nullptr;
};
