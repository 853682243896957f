#include "components/cToolbar/cToolbar.h"

#include "components/cImageList/cImageList.h"
#include "platform/VbConstants.h"

#include <QMenu>
#include <QMouseEvent>
#include <QStyleOptionToolButton>

#include <functional>

namespace {

// A button with an arrow beside its body: the arrow says so instead of opening a menu
// of its own, so the owner decides what pops up.
class DropDownButton : public QToolButton
{
public:
    explicit DropDownButton(QWidget* parent) : QToolButton(parent)
    {
        setPopupMode(QToolButton::MenuButtonPopup);
        // An empty menu makes every style draw the arrow; it is never shown.
        setMenu(new QMenu(this));
    }

    QRect arrowRect() const
    {
        QStyleOptionToolButton opt;
        initStyleOption(&opt);
        return style()->subControlRect(QStyle::CC_ToolButton, &opt, QStyle::SC_ToolButtonMenu, this);
    }

    std::function<void()> arrowPressed;

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && arrowRect().contains(event->position().toPoint())) {
            if (arrowPressed)
                arrowPressed();
            event->accept();
            return;
        }
        QToolButton::mousePressEvent(event);
    }
};

} // namespace

cToolbar::cToolbar(QWidget* parent) : QToolBar(parent)
{
    setMovable(false);
    setFloatable(false);
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void cToolbar::SetButtonOption5(qint32, bool) {}

void cToolbar::CreateToolbar(qint32 ImageSize, bool, bool, bool)
{
    m_imageSize = ImageSize > 0 ? ImageSize : 16;
    setIconSize(QSize(m_imageSize, m_imageSize));
}

qint32 cToolbar::AddButton(const QString& ToolTipText, qint32 ImageNumber, const QVariant&, qint32, const QString& Caption,
                           qint32 Style, const QString& Key)
{
    Button b;
    b.key = Key;
    b.tooltip = ToolTipText;
    b.caption = Caption;
    b.image = ImageNumber;
    b.style = Style;
    const qint32 index = qint32(m_buttons.size());
    if (Style == tbrSeparator) {
        addSeparator();
        m_buttons.append(b);
        return index;
    }
    const QString text = Caption.trimmed().isEmpty() ? ToolTipText : Caption;
    const QIcon icon = m_images ? m_images->ItemPicture(ImageNumber) : QIcon();
    QToolButton* button = nullptr;
    if (Style == tbrDropDown) {
        // Its arrow is its own: it stays a button of its own, which never moves into the
        // overflow menu.
        auto* drop = new DropDownButton(this);
        drop->arrowPressed = [this, index] { emit ButtonDropDown(index); };
        drop->setAutoRaise(true);
        drop->setToolTip(ToolTipText);
        drop->setText(text);
        drop->setIcon(icon);
        connect(drop, &QToolButton::clicked, this, [this, index] { emit ButtonClick(index); });
        b.action = addWidget(drop);
        button = drop;
    } else {
        // An action, for which the bar makes the button: when the bar is too narrow for
        // all of its buttons, the ones that do not fit are offered in the menu of the
        // bar's overflow button instead, with the same picture, caption and click.
        auto* action = new QAction(icon, text, this);
        action->setIconText(text);  // the caption as given, blanks and all
        action->setToolTip(ToolTipText);
        action->setCheckable(Style == tbrCheck);
        connect(action, &QAction::triggered, this, [this, index] { emit ButtonClick(index); });
        addAction(action);
        b.action = action;
        button = qobject_cast<QToolButton*>(widgetForAction(action));
    }
    if (button) {
        if (Caption.isEmpty())
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        else
            button->setToolButtonStyle(m_imageSize >= 24 ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonTextBesideIcon);
        if (!Key.isEmpty())
            button->setObjectName(Key);
    }
    b.widget = button;
    m_buttons.append(b);
    return index;
}

QString cToolbar::ButtonKey(qint32 Index) const
{
    return valid(Index) ? m_buttons[Index].key : QString();
}

qint32 cToolbar::ButtonIndex(const QString& Key) const
{
    if (Key.isEmpty())
        return -1;
    for (qint32 i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i].style != tbrSeparator && m_buttons[i].key == Key)
            return i;
    return -1;
}

// The states live in the button's action, so a button offered in the overflow menu
// shows them there as well; a drop-down button's action passes them to its button.
bool cToolbar::ButtonChecked(qint32 Index) const
{
    return valid(Index) && m_buttons[Index].action && m_buttons[Index].action->isChecked();
}

void cToolbar::SetButtonChecked(qint32 Index, bool checked)
{
    if (!valid(Index) || !m_buttons[Index].action)
        return;
    QAction* a = m_buttons[Index].action;
    // A plain button shows the state as well: it keeps it pressed.
    a->setCheckable(a->isCheckable() || checked);
    a->setChecked(checked);
}

bool cToolbar::ButtonEnabled(const QString& Key) const
{
    const qint32 i = ButtonIndex(Key);
    return valid(i) && m_buttons[i].action && m_buttons[i].action->isEnabled();
}

void cToolbar::SetButtonEnabled(const QString& Key, bool enabled)
{
    const qint32 i = ButtonIndex(Key);
    if (valid(i) && m_buttons[i].action)
        m_buttons[i].action->setEnabled(enabled);
}

void cToolbar::GetButtonPosition(qint32 Index, qint32& X, qint32& Y) const
{
    if (!valid(Index) || !m_buttons[Index].widget)
        return;
    QToolButton* w = m_buttons[Index].widget;
    const QPoint below = w->mapTo(w->window(), QPoint(0, w->height()));
    X = below.x() * kTwipsPerPixel;
    Y = below.y() * kTwipsPerPixel;
}

QString cToolbar::ButtonCaption(qint32 Index) const
{
    return valid(Index) ? m_buttons[Index].caption : QString();
}

QString cToolbar::ButtonToolTip(qint32 Index) const
{
    return valid(Index) ? m_buttons[Index].tooltip : QString();
}

qint32 cToolbar::ButtonImage(qint32 Index) const
{
    return valid(Index) ? m_buttons[Index].image : -1;
}

qint32 cToolbar::ButtonStyle(qint32 Index) const
{
    return valid(Index) ? m_buttons[Index].style : -1;
}

QToolButton* cToolbar::ButtonWidget(qint32 Index) const
{
    return valid(Index) ? m_buttons[Index].widget.data() : nullptr;
}

QRect cToolbar::ButtonArrowRect(qint32 Index) const
{
    if (auto* drop = dynamic_cast<DropDownButton*>(ButtonWidget(Index)))
        return drop->arrowRect();
    return {};
}

void cToolbar::SetUpSmallBar(cImageList* images)
{
    SetToolbarOptionB(2);
    SetToolbarOption2F(0);
    SetToolbarOptionC(true);
    SetImageList(images);
    CreateToolbar(16, false, true, true);
}
