// Popup menus with keys, icons, check marks and captions, and one click event that
// carries the item number.
#pragma once

#include <QFont>
#include <QMenu>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

class QMenu;
class QWidget;
class cImageList;

class cIconMenu : public QObject
{
    Q_OBJECT
public:
    explicit cIconMenu(QObject* parent = nullptr);
    ~cIconMenu() override;

    void SetOwnerHwnd(QWidget* owner) { m_owner = owner; }
    void SetMenuFont(const QFont& font) { m_font = font; }
    void SetAdvancedStyle(bool on) { m_advanced = on; }
    bool AdvancedStyle() const { return m_advanced; }
    void SetImageList(cImageList* list) { m_images = list; }
    void SetMenuOption71(bool) {}

    // Adds an item and returns its number (from 1). ParentNumber 0 makes a top-level
    // item; IconNumber -1 means no icon; the caption "-" makes a separator.
    qint32 AddItem(const QString& Caption, const QString& HelpText, qint32 l3, qint32 ParentNumber, qint32 IconNumber,
                   qint32 l6, qint32 l7, const QString& Key);

    // The number of an item with that key; 0 when no item bears it.
    qint32 IndexForKey(const QString& Key) const;
    QString ItemKey(qint32 Number) const;
    bool ItemChecked(qint32 Number) const;
    void SetItemChecked(qint32 Number, bool checked);
    QString ItemCaption(qint32 Number) const;
    void SetItemCaption(qint32 Number, const QString& caption);
    bool ItemVisible(qint32 Number) const;
    void SetItemVisible(qint32 Number, bool visible);
    qint32 ItemParent(qint32 Number) const;
    qint32 ItemIcon(qint32 Number) const;
    qint32 Count() const { return qint32(m_items.size()); }

    // Pops up the container that holds item Number: at a point of the owner window
    // (twips) or at a screen point (pixels).
    qint32 ShowPopupMenu(qint32 X, qint32 Y, qint32 a, qint32 b, qint32 c, qint32 d, qint32 Flag, qint32 Number);
    qint32 ShowPopupMenuAt(qint32 X, qint32 Y, qint32 Number, qint32 Flag);

    // The menu that ShowPopupMenu would show (tests and the tray use it).
    QMenu* BuildPopup(qint32 Number);
    // The menu shown last (while it is open), for tests.
    QMenu* CurrentPopup() const { return m_popup; }

signals:
    void Click(qint32 ItemNumber);

private:
    struct Item {
        QString caption;
        QString key;
        qint32 parent = 0;
        qint32 icon = -1;
        bool checked = false;
        bool visible = true;
    };
    bool valid(qint32 n) const { return n >= 1 && n <= m_items.size(); }
    void fill(QMenu* menu, qint32 parent);
    qint32 popupAt(const QPoint& global, qint32 Number);

    QList<Item> m_items;
    QPointer<QWidget> m_owner;
    QFont m_font;
    bool m_advanced = false;
    cImageList* m_images = nullptr;
    QPointer<QMenu> m_popup;
};
