#include "components/cIconMenu/cIconMenu.h"

#include "components/cImageList/cImageList.h"
#include "platform/VbConstants.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

cIconMenu::cIconMenu(QObject* parent) : QObject(parent) {}

cIconMenu::~cIconMenu()
{
    delete m_popup.data();
}

qint32 cIconMenu::AddItem(const QString& Caption, const QString&, qint32, qint32 ParentNumber, qint32 IconNumber, qint32,
                          qint32, const QString& Key)
{
    Item item;
    item.caption = Caption;
    item.key = Key;
    item.parent = valid(ParentNumber) ? ParentNumber : 0;
    item.icon = IconNumber;
    m_items.append(item);
    return qint32(m_items.size());
}

qint32 cIconMenu::IndexForKey(const QString& Key) const
{
    for (qint32 i = 0; i < m_items.size(); ++i)
        if (m_items[i].key == Key)
            return i + 1;
    return 0;
}

QString cIconMenu::ItemKey(qint32 Number) const { return valid(Number) ? m_items[Number - 1].key : QString(); }
bool cIconMenu::ItemChecked(qint32 Number) const { return valid(Number) && m_items[Number - 1].checked; }
void cIconMenu::SetItemChecked(qint32 Number, bool checked)
{
    if (valid(Number))
        m_items[Number - 1].checked = checked;
}
QString cIconMenu::ItemCaption(qint32 Number) const { return valid(Number) ? m_items[Number - 1].caption : QString(); }
void cIconMenu::SetItemCaption(qint32 Number, const QString& caption)
{
    if (valid(Number))
        m_items[Number - 1].caption = caption;
}
bool cIconMenu::ItemVisible(qint32 Number) const { return valid(Number) && m_items[Number - 1].visible; }
void cIconMenu::SetItemVisible(qint32 Number, bool visible)
{
    if (valid(Number))
        m_items[Number - 1].visible = visible;
}
qint32 cIconMenu::ItemParent(qint32 Number) const { return valid(Number) ? m_items[Number - 1].parent : 0; }
qint32 cIconMenu::ItemIcon(qint32 Number) const { return valid(Number) ? m_items[Number - 1].icon : -1; }

void cIconMenu::fill(QMenu* menu, qint32 parent)
{
    for (qint32 i = 0; i < m_items.size(); ++i) {
        const Item& item = m_items[i];
        if (item.parent != parent || !item.visible)
            continue;
        if (item.caption == QLatin1String("-")) {
            menu->addSeparator();
            continue;
        }
        const QIcon icon = m_images ? m_images->ItemPicture(item.icon) : QIcon();
        bool hasChildren = false;
        for (const Item& other : m_items)
            hasChildren = hasChildren || other.parent == i + 1;
        if (hasChildren) {
            QMenu* sub = menu->addMenu(icon, item.caption);
            fill(sub, i + 1);
            continue;
        }
        QAction* a = menu->addAction(icon, item.caption);
        a->setCheckable(item.checked);
        a->setChecked(item.checked);
        const qint32 number = i + 1;
        connect(a, &QAction::triggered, this, [this, number] { emit Click(number); });
    }
}

QMenu* cIconMenu::BuildPopup(qint32 Number)
{
    delete m_popup.data();
    auto* menu = new QMenu(m_owner);
    menu->setFont(m_font);
    menu->setAttribute(Qt::WA_DeleteOnClose, false);
    fill(menu, ItemParent(Number));
    m_popup = menu;
    return menu;
}

qint32 cIconMenu::popupAt(const QPoint& global, qint32 Number)
{
    if (!valid(Number))
        return 0;
    QMenu* menu = BuildPopup(Number);
    menu->popup(global);
    return 0;
}

qint32 cIconMenu::ShowPopupMenu(qint32 X, qint32 Y, qint32, qint32, qint32, qint32, qint32, qint32 Number)
{
    QPoint p(X / kTwipsPerPixel, Y / kTwipsPerPixel);
    if (m_owner)
        p = m_owner->mapToGlobal(p);
    return popupAt(p, Number);
}

qint32 cIconMenu::ShowPopupMenuAt(qint32 X, qint32 Y, qint32 Number, qint32)
{
    return popupAt(QPoint(X, Y), Number);
}
