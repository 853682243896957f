// The tree control: nodes in plain members, mirrored into a tree widget.
#include "components/cTreeView/cTreeView.h"

#include "components/cImageList/cImageList.h"

#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr int kNodeRole = Qt::UserRole + 1;

// Hands the typed text to the tree instead of writing it into the row: the tree's
// AfterLabelEdit handler decides whether the node takes it.
class LabelEditDelegate : public QStyledItemDelegate
{
public:
    LabelEditDelegate(cTreeView* tree) : QStyledItemDelegate(tree), m_tree(tree) {}

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override
    {
        auto* line = qobject_cast<QLineEdit*>(editor);
        auto* node = static_cast<cTreeItem*>(index.data(kNodeRole).value<QObject*>());
        if (line && node)
            m_tree->CommitLabelEdit(node, line->text());
    }

private:
    cTreeView* m_tree;
};

} // namespace

// ---- cTreeItems ----

cTreeItems::cTreeItems(cTreeView* tree, cTreeItem* parent, bool allNodes)
    : m_tree(tree), m_parent(parent), m_all(allNodes)
{
}

QList<cTreeItem*> cTreeItems::list() const
{
    if (!m_tree)
        return {};
    if (m_all)
        return m_tree->m_nodes;
    if (m_parent && m_parent->m_tree == m_tree)
        return m_parent->m_children;
    return {};
}

cTreeItem* cTreeItems::Add(cTreeItem* Relative, qint32 Relationship, const QString& Key, const QString& Text,
                           qint32 Image, qint32 SelectedImage)
{
    if (!m_tree)
        return nullptr;
    cTreeItem* parent = nullptr;
    if (Relative) {
        if (Relative->m_tree != m_tree)
            return nullptr;
        parent = Relationship == tvwChild ? Relative : Relative->m_parent;
    } else if (!m_all) {
        if (!m_parent || m_parent->m_tree != m_tree)
            return nullptr;
        parent = m_parent;
    }
    if (!Key.isEmpty() && m_tree->findKey(Key))
        return nullptr;
    return m_tree->addNode(parent, Key, Text, Image, SelectedImage);
}

void cTreeItems::Clear()
{
    if (!m_tree)
        return;
    const QList<cTreeItem*> nodes = m_all ? m_tree->m_top : list();
    for (cTreeItem* n : nodes)
        m_tree->removeNode(n);
}

qint32 cTreeItems::Count() const
{
    return qint32(list().size());
}

cTreeItem* cTreeItems::Item(qint32 Index) const
{
    const QList<cTreeItem*> l = list();
    return Index >= 1 && Index <= l.size() ? l[Index - 1] : nullptr;
}

cTreeItem* cTreeItems::Item(const QString& Key) const
{
    for (cTreeItem* n : list())
        if (n->m_key == Key)
            return n;
    return nullptr;
}

// ---- cTreeItem ----

cTreeItem::cTreeItem(cTreeView* tree, cTreeItem* parent) : QObject(tree), m_tree(tree), m_parent(parent) {}

bool cTreeItem::SetKey(const QString& key)
{
    if (m_tree && !key.isEmpty()) {
        cTreeItem* other = m_tree->findKey(key);
        if (other && other != this)
            return false;
    }
    m_key = key;
    return true;
}

void cTreeItem::SetText(const QString& text)
{
    m_text = text;
    if (m_tree)
        m_tree->paintNode(this);
}

cTreeItems cTreeItem::Children()
{
    return cTreeItems(m_tree, this, false);
}

void cTreeItem::SetExpanded(bool on)
{
    m_expanded = on;
    if (m_item)
        m_item->setExpanded(on);
}

void cTreeItem::StartEdit()
{
    if (m_tree)
        m_tree->startEdit(this);
}

void cTreeItem::Delete()
{
    if (m_tree)
        m_tree->removeNode(this);
}

bool cTreeItem::ItemFlag67() const
{
    return m_tree && m_tree->m_selected == this;
}

void cTreeItem::SetItemFlag67(bool on)
{
    if (!m_tree)
        return;
    if (on)
        m_tree->selectNode(this);
    else if (m_tree->m_selected == this)
        m_tree->selectNode(nullptr);
}

void cTreeItem::SetItemFlag25(bool on)
{
    m_flag25 = on;
    if (m_tree)
        m_tree->paintNode(this);
}

// ---- cTreeView ----

cTreeView::cTreeView(QWidget* parent) : QWidget(parent)
{
    m_widget = new QTreeWidget(this);
    m_widget->setHeaderHidden(true);
    m_widget->setColumnCount(1);
    m_widget->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* delegate = new LabelEditDelegate(this);
    m_widget->setItemDelegate(delegate);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_widget);

    connect(m_widget, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (m_syncing)
            return;
        m_selected = NodeOf(current);
        emit SelectionNotify(0, 0);
    });
    connect(m_widget, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (cTreeItem* node = NodeOf(item))
            emit NodeClick(node);
    });
    connect(m_widget, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (cTreeItem* node = NodeOf(item))
            node->m_expanded = true;
    });
    connect(m_widget, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (cTreeItem* node = NodeOf(item))
            node->m_expanded = false;
    });
    // An edit the user abandons (Escape, focus lost without a change) ends here too.
    connect(delegate, &QAbstractItemDelegate::closeEditor, this, [this] {
        if (!m_restartPending)
            m_editing = nullptr;
    });
}

cTreeView::~cTreeView()
{
    // The widget goes first, reporting nothing on the way out; the nodes must not point
    // at its rows meanwhile.
    for (cTreeItem* n : std::as_const(m_nodes))
        n->m_item = nullptr;
    m_widget->blockSignals(true);
    m_widget->itemDelegate()->blockSignals(true);
    delete m_widget;
    m_widget = nullptr;
}

cTreeItem* cTreeView::NodeOf(QTreeWidgetItem* item) const
{
    if (!item)
        return nullptr;
    return static_cast<cTreeItem*>(item->data(0, kNodeRole).value<QObject*>());
}

cTreeItem* cTreeView::findKey(const QString& key) const
{
    for (cTreeItem* n : m_nodes)
        if (n->m_key == key)
            return n;
    return nullptr;
}

cTreeItem* cTreeView::addNode(cTreeItem* parent, const QString& key, const QString& text, qint32 image,
                              qint32 selectedImage)
{
    auto* node = new cTreeItem(this, parent);
    node->m_key = key;
    node->m_text = text;
    node->m_image = image;
    node->m_selectedImage = selectedImage;
    m_syncing = true;
    if (parent) {
        node->m_item = new QTreeWidgetItem(parent->m_item);
        parent->m_children.append(node);
    } else {
        node->m_item = new QTreeWidgetItem(m_widget);
        m_top.append(node);
    }
    m_syncing = false;
    node->m_item->setFlags(node->m_item->flags() | Qt::ItemIsEditable);
    node->m_item->setData(0, kNodeRole, QVariant::fromValue<QObject*>(node));
    m_nodes.append(node);
    paintNode(node);
    return node;
}

void cTreeView::paintNode(cTreeItem* node)
{
    QTreeWidgetItem* item = node->m_item;
    if (!item)
        return;
    item->setText(0, node->m_text);
    QIcon icon;
    if (m_images) {
        icon = m_images->ItemPicture(node->m_image);
        const QIcon selected = m_images->ItemPicture(node->m_selectedImage);
        if (!selected.isNull()) {
            const QPixmap pm = selected.pixmap(16, 16);
            if (icon.isNull())
                icon.addPixmap(pm, QIcon::Normal);
            icon.addPixmap(pm, QIcon::Selected);
        }
    }
    item->setIcon(0, icon);
    QFont f = item->font(0);
    f.setBold(node->m_flag25);
    item->setFont(0, f);
}

void cTreeView::detach(cTreeItem* node)
{
    for (cTreeItem* c : std::as_const(node->m_children))
        detach(c);
    m_nodes.removeOne(node);
    node->m_children.clear();
    node->m_item = nullptr;
    node->m_tree = nullptr;
    node->m_parent = nullptr;
    node->deleteLater();
}

void cTreeView::removeNode(cTreeItem* node)
{
    if (!node || node->m_tree != this)
        return;
    auto within = [node](cTreeItem* n) {
        for (; n; n = n->m_parent)
            if (n == node)
                return true;
        return false;
    };
    const bool wasSelected = within(m_selected);
    if (within(m_editing))
        m_editing = nullptr;
    if (node->m_parent)
        node->m_parent->m_children.removeOne(node);
    else
        m_top.removeOne(node);
    QTreeWidgetItem* item = node->m_item;
    detach(node);
    m_syncing = true;
    delete item;  // takes the child rows with it
    m_syncing = false;
    // As a tree does when its selected node goes, the selection moves to a neighbour.
    if (wasSelected)
        selectNode(NodeOf(m_widget->currentItem()));
}

void cTreeView::selectNode(cTreeItem* node)
{
    m_selected = node;
    m_syncing = true;
    if (node && node->m_item) {
        m_widget->setCurrentItem(node->m_item);
    } else {
        m_widget->setCurrentItem(nullptr);
        m_widget->clearSelection();
    }
    m_syncing = false;
}

void cTreeView::SetImageList(cImageList* list)
{
    m_images = list;
    for (cTreeItem* n : std::as_const(m_nodes))
        paintNode(n);
}

void cTreeView::SetLabelEdit(bool on)
{
    m_labelEdit = on;
    m_widget->setEditTriggers(on ? QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed
                                 : QAbstractItemView::NoEditTriggers);
}

void cTreeView::startEdit(cTreeItem* node)
{
    m_editing = node;
    // The editor opens from the event loop: a handler may restart an edit while the
    // widget is still closing the last one.
    m_restartPending = true;
    QPointer<cTreeItem> guard(node);
    QTimer::singleShot(0, m_widget, [this, guard] {
        m_restartPending = false;
        if (guard && guard->m_item && m_editing == guard)
            m_widget->editItem(guard->m_item, 0);
    });
}

void cTreeView::CommitLabelEdit(cTreeItem* Node, const QString& NewString)
{
    if (!Node || Node->m_tree != this)
        return;
    if (m_editing == Node)
        m_editing = nullptr;
    QPointer<cTreeItem> guard(Node);
    int Cancel = 0;
    emit AfterLabelEdit(Node, NewString, Cancel);
    if (!Cancel && guard && guard->m_tree == this)
        guard->SetText(NewString);
}

qint32 cTreeView::WidthNeeded() const
{
    // The widest node's indentation, picture and text, plus the frame around the rows.
    QStyleOptionViewItem opt;
    opt.initFrom(m_widget);
    const int icon = m_widget->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, m_widget);
    opt.decorationSize = m_widget->iconSize().isValid() ? m_widget->iconSize() : QSize(icon, icon);
    int widest = 0;
    for (const cTreeItem* node : m_nodes) {
        if (!node->m_item || (node->m_item->parent() && !node->m_item->parent()->isExpanded()))
            continue;
        const QModelIndex idx = m_widget->indexFromItem(node->m_item);
        widest = qMax(widest, m_widget->visualRect(idx).x() + m_widget->horizontalScrollBar()->value()
                                  + m_widget->itemDelegateForIndex(idx)->sizeHint(opt, idx).width());
    }
    // The rows' frame, worked out from the style: the tree may not be laid out yet.
    return widest + 2 * m_widget->frameWidth();
}
