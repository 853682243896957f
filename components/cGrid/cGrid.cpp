// The grid control: cells in plain members, a table view over them.
#include "components/cGrid/cGrid.h"

#include "components/cImageList/cImageList.h"
#include "platform/Controls.h"
#include "platform/VbConstants.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QDateTime>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QLocale>
#include <QMimeData>
#include <QMouseEvent>
#include <QTableView>
#include <QTime>
#include <QUrl>
#include <QVBoxLayout>

// The view's window on the grid's cells; the cells themselves stay in cGrid.
class GridModel : public QAbstractTableModel
{
public:
    explicit GridModel(cGrid* grid) : QAbstractTableModel(grid), m_grid(grid) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_grid->m_rows.size());
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_grid->m_columns.size());
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || !m_grid->validCell(index.row() + 1, index.column() + 1))
            return {};
        const cGrid::CellData& c = m_grid->m_rows[index.row()].cells[index.column()];
        switch (role) {
        case Qt::DisplayRole:
            return shownText(c.text, index.column());
        case Qt::DecorationRole:
            if (c.icon >= 0 && m_grid->m_images)
                return m_grid->m_images->ItemPicture(c.icon);
            return {};
        case Qt::FontRole:
            return c.font ? QVariant(*c.font) : QVariant();
        default:
            return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
            && section < m_grid->m_columns.size())
            return m_grid->m_columns[section].caption;
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    // The grid changes its cells itself and tells the view through these.
    using QAbstractTableModel::beginInsertColumns;
    using QAbstractTableModel::beginInsertRows;
    using QAbstractTableModel::beginRemoveRows;
    using QAbstractTableModel::beginResetModel;
    using QAbstractTableModel::endInsertColumns;
    using QAbstractTableModel::endInsertRows;
    using QAbstractTableModel::endRemoveRows;
    using QAbstractTableModel::endResetModel;

private:
    // The part of a cell's text that the view measures and draws: no character is
    // narrower than a pixel, so a cell never shows more characters than it is wide. A
    // longer text (an item name of megabytes in a list another program wrote) is cut
    // there before the view lays it out; the cell itself keeps the whole text.
    QString shownText(const QString& text, int column) const
    {
        const qsizetype most = qMax<qsizetype>(cGrid::kShownTextMinimum, m_grid->m_view->columnWidth(column));
        if (text.size() <= most)
            return text;
        // A character of two halves is never cut between them.
        const qsizetype cut = text.at(most - 1).isHighSurrogate() ? most - 1 : most;
        return text.left(cut);
    }

    cGrid* m_grid;
};

// ---- cGridItem ----

QString cGridItem::Text() const
{
    return m_grid && m_grid->validCell(m_row, m_col) ? m_grid->m_rows[m_row - 1].cells[m_col - 1].text : QString();
}

void cGridItem::SetText(const QString& text)
{
    if (m_grid)
        m_grid->SetCell(m_row, m_col, text);
}

qint32 cGridItem::IconIndex() const
{
    return m_grid && m_grid->validCell(m_row, m_col) ? m_grid->m_rows[m_row - 1].cells[m_col - 1].icon : -1;
}

void cGridItem::SetIconIndex(qint32 icon)
{
    if (!m_grid || !m_grid->validCell(m_row, m_col))
        return;
    m_grid->m_rows[m_row - 1].cells[m_col - 1].icon = icon;
    m_grid->cellChanged(m_row, m_col);
}

bool cGridItem::Selected() const
{
    return m_grid && m_grid->validCell(m_row, m_col) && m_grid->RowSelected(m_row);
}

// ---- cGrid ----

cGrid::cGrid(QWidget* parent) : QWidget(parent)
{
    m_model = new GridModel(this);
    m_view = new QTableView(this);
    m_view->setModel(m_model);
    m_view->setFrameShape(QFrame::NoFrame);  // so X and Y within the grid start at the first column
    m_view->verticalHeader()->hide();
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setShowGrid(false);
    m_view->setWordWrap(false);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_view->viewport()->setAcceptDrops(true);
    m_view->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this, &cGrid::onViewCurrentChanged);
    // The user widening another column takes the width from the fill column.
    connect(m_view->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section) {
        if (section != m_fillColumn - 1)
            fitFillColumn();
    });
    connect(m_view, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit CellDoubleClick(index.row() + 1, index.column() + 1);
    });
}

cGrid::~cGrid()
{
    // The view goes first: closing a shown grid still asks the model for headers, and
    // the cells are gone once this destructor has run.
    m_view->selectionModel()->blockSignals(true);
    m_view->blockSignals(true);
    m_view->viewport()->removeEventFilter(this);
    delete m_view;
    m_view = nullptr;
}

bool cGrid::validCell(qint32 row, qint32 col) const
{
    return row >= 1 && row <= m_rows.size() && col >= 1 && col <= m_columns.size();
}

void cGrid::AddColumn(const QString& Key, const QString& Caption, qint32, qint32, qint32 Width, bool Visible)
{
    const int at = int(m_columns.size());
    m_model->beginInsertColumns(QModelIndex(), at, at);
    m_columns.append(ColumnData{Key, Caption, Width, Visible});
    for (RowData& r : m_rows)
        r.cells.append(CellData{});
    m_model->endInsertColumns();
    if (Width > 0)
        m_view->setColumnWidth(at, Width);
    m_view->setColumnHidden(at, !Visible);
    fitFillColumn();
}

void cGrid::SetFillColumn(qint32 Col)
{
    m_fillColumn = Col >= 1 && Col <= m_columns.size() ? Col : 0;
    fitFillColumn();
}

void cGrid::fitFillColumn()
{
    if (m_fillColumn < 1 || m_fitting)
        return;
    m_fitting = true;
    int others = 0;
    for (int i = 0; i < m_columns.size(); ++i)
        if (i != m_fillColumn - 1 && !m_view->isColumnHidden(i))
            others += m_view->columnWidth(i);
    const int least = qMax(m_columns[m_fillColumn - 1].width, 0);
    m_view->setColumnWidth(m_fillColumn - 1, qMax(least, m_view->viewport()->width() - others));
    m_fitting = false;
}

qint32 cGrid::ColumnIndex(const QString& Key) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].key == Key)
            return i + 1;
    return 0;
}

QString cGrid::ColumnKey(qint32 Col) const
{
    return Col >= 1 && Col <= m_columns.size() ? m_columns[Col - 1].key : QString();
}

qint32 cGrid::ColumnWidth(qint32 Col) const
{
    return Col >= 1 && Col <= m_columns.size() ? m_columns[Col - 1].width : -1;
}

bool cGrid::ColumnVisible(qint32 Col) const
{
    return Col >= 1 && Col <= m_columns.size() && m_columns[Col - 1].visible;
}

void cGrid::growTo(qint32 rows)
{
    if (rows <= m_rows.size())
        return;
    m_model->beginInsertRows(QModelIndex(), int(m_rows.size()), rows - 1);
    while (m_rows.size() < rows) {
        RowData r;
        r.cells.resize(m_columns.size());
        m_rows.append(r);
    }
    m_model->endInsertRows();
}

void cGrid::cellChanged(qint32 row, qint32 col)
{
    const QModelIndex i = m_model->index(row - 1, col - 1);
    emit m_model->dataChanged(i, i);
}

void cGrid::SetCell(qint32 Row, qint32 Col, const QVariant& Value, std::optional<qint32> Format,
                    std::optional<qint32> Icon)
{
    if (Row < 1 || Col < 1 || Col > m_columns.size())
        return;
    QString text;
    switch (Value.metaType().id()) {
    case QMetaType::QDateTime:
        text = QLocale().toString(Value.toDateTime(), QLocale::ShortFormat);
        break;
    case QMetaType::QDate:
        text = QLocale().toString(Value.toDate(), QLocale::ShortFormat);
        break;
    case QMetaType::QTime:
        text = QLocale().toString(Value.toTime(), QLocale::ShortFormat);
        break;
    default:
        text = Value.toString();
        break;
    }
    growTo(Row);
    CellData& c = m_rows[Row - 1].cells[Col - 1];
    c.text = text;
    if (Format)
        c.format = *Format;
    if (Icon)
        c.icon = *Icon;
    cellChanged(Row, Col);
}

void cGrid::syncCurrentToView()
{
    m_syncing = true;
    QItemSelectionModel* sel = m_view->selectionModel();
    if (m_currentRow >= 1 && m_currentRow <= m_rows.size()) {
        const int col = m_currentCol >= 1 && m_currentCol <= m_columns.size() ? m_currentCol - 1 : 0;
        sel->setCurrentIndex(m_model->index(m_currentRow - 1, col),
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else {
        sel->clearCurrentIndex();
    }
    m_syncing = false;
}

void cGrid::onViewCurrentChanged()
{
    if (m_syncing)
        return;
    const QModelIndex cur = m_view->selectionModel()->currentIndex();
    const qint32 row = cur.isValid() ? cur.row() + 1 : 0;
    const qint32 col = cur.isValid() ? cur.column() + 1 : m_currentCol;
    const bool rowChanged = row != m_currentRow;
    m_currentRow = row;
    m_currentCol = col;
    if (rowChanged)
        emit RowChanged(row, col);
}

void cGrid::SetCurrentRow(qint32 Row)
{
    if (Row < 1 || Row > m_rows.size())
        return;
    m_currentRow = Row;
    if (m_currentCol < 1 && !m_columns.isEmpty())
        m_currentCol = 1;
    syncCurrentToView();
}

void cGrid::SetCurrentColumn(qint32 Col)
{
    if (Col < 1 || Col > m_columns.size())
        return;
    m_currentCol = Col;
    if (m_currentRow >= 1) {
        m_syncing = true;
        m_view->selectionModel()->setCurrentIndex(m_model->index(m_currentRow - 1, Col - 1),
                                                  QItemSelectionModel::NoUpdate);
        m_syncing = false;
    }
}

void cGrid::Clear()
{
    m_syncing = true;
    m_model->beginResetModel();
    m_rows.clear();
    m_model->endResetModel();
    m_syncing = false;
    m_currentRow = 0;
}

void cGrid::RemoveRow(qint32 Row)
{
    if (Row < 1 || Row > m_rows.size())
        return;
    m_syncing = true;
    m_model->beginRemoveRows(QModelIndex(), Row - 1, Row - 1);
    m_rows.removeAt(Row - 1);
    m_model->endRemoveRows();
    m_syncing = false;
    if (Row < m_currentRow)
        --m_currentRow;
    if (m_currentRow > m_rows.size())
        m_currentRow = qint32(m_rows.size());
    // Keep the view's current cell where ours is, without touching the rest of the
    // row selection.
    m_syncing = true;
    if (m_currentRow >= 1)
        m_view->selectionModel()->setCurrentIndex(
            m_model->index(m_currentRow - 1, m_currentCol >= 1 ? m_currentCol - 1 : 0), QItemSelectionModel::NoUpdate);
    else
        m_view->selectionModel()->clearCurrentIndex();
    m_syncing = false;
}

void cGrid::SetRedraw(bool on)
{
    m_redraw = on;
    m_view->setUpdatesEnabled(on);
    if (on)
        m_view->viewport()->update();
}

void cGrid::SetCellFont(qint32 Row, qint32 Col, const QFont& font)
{
    if (!validCell(Row, Col))
        return;
    m_rows[Row - 1].cells[Col - 1].font = font;
    cellChanged(Row, Col);
}

QFont cGrid::CellFont(qint32 Row, qint32 Col) const
{
    if (validCell(Row, Col) && m_rows[Row - 1].cells[Col - 1].font)
        return *m_rows[Row - 1].cells[Col - 1].font;
    return m_view->font();
}

void cGrid::SetImageList(cImageList* list)
{
    m_images = list;
    m_view->viewport()->update();
}

void cGrid::SetBackgroundPicture(const QPixmap& picture)
{
    QPalette pal = m_view->viewport()->palette();
    pal.setBrush(QPalette::Base, picture.isNull() ? QBrush(palette().color(QPalette::Base)) : QBrush(picture));
    m_view->viewport()->setPalette(pal);
}

void cGrid::SetHotTrack(bool on)
{
    m_hotTrack = on;
    m_view->setMouseTracking(on);
}

void cGrid::SetGridLines(bool on)
{
    m_gridLines = on;
    m_view->setShowGrid(on);
}

void cGrid::SetGridOption5E(qint32 v)
{
    m_option5E = v;
    if (v > 0) {
        m_view->verticalHeader()->setMinimumSectionSize(qMin(v, m_view->verticalHeader()->minimumSectionSize()));
        m_view->verticalHeader()->setDefaultSectionSize(v);
    }
}

qint32 cGrid::RowItemData(qint32 Row) const
{
    return Row >= 1 && Row <= m_rows.size() ? m_rows[Row - 1].itemData : 0;
}

void cGrid::SetRowItemData(qint32 Row, qint32 value)
{
    if (Row >= 1 && Row <= m_rows.size())
        m_rows[Row - 1].itemData = value;
}

void cGrid::SetRowSelected(qint32 Row, bool selected)
{
    if (Row < 1 || Row > m_rows.size() || m_columns.isEmpty())
        return;
    m_view->selectionModel()->select(m_model->index(Row - 1, 0), (selected ? QItemSelectionModel::Select
                                                                            : QItemSelectionModel::Deselect)
                                                                       | QItemSelectionModel::Rows);
}

bool cGrid::RowSelected(qint32 Row) const
{
    if (Row < 1 || Row > m_rows.size())
        return false;
    return m_view->selectionModel()->isRowSelected(Row - 1, QModelIndex());
}

namespace {

qint16 vbButton(Qt::MouseButton b)
{
    switch (b) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

qint16 vbShift(Qt::KeyboardModifiers m)
{
    return qint16((m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0));
}

} // namespace

bool cGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_view->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Resize:
        fitFillColumn();
        break;
    case QEvent::MouseButtonRelease: {
        auto* me = static_cast<QMouseEvent*>(event);
        const QPoint p = m_view->viewport()->mapTo(this, me->position().toPoint());
        emit GridMouseUp(vbButton(me->button()), vbShift(me->modifiers()), float(p.x() * kTwipsPerPixel),
                         float(p.y() * kTwipsPerPixel));
        break;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* de = static_cast<QDropEvent*>(event);
        if (de->mimeData() && de->mimeData()->hasUrls()) {
            de->acceptProposedAction();
            return true;
        }
        break;
    }
    case QEvent::Drop: {
        auto* de = static_cast<QDropEvent*>(event);
        const QStringList files = DroppedLocalFiles(de->mimeData());
        if (files.isEmpty())
            break;
        de->acceptProposedAction();
        const QPoint p = m_view->viewport()->mapTo(this, de->position().toPoint());
        emit OLEDragDrop(files, 1, vbButton(Qt::LeftButton), vbShift(de->modifiers()), float(p.x() * kTwipsPerPixel),
                         float(p.y() * kTwipsPerPixel));
        return true;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
