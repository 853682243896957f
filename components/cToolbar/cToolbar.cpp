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
    QToolButton* button = nullptr;
    if (Style == tbrDropDown) {
        auto* drop = new DropDownButton(this);
        drop->arrowPressed = [this, index] { emit ButtonDropDown(index); };
        button = drop;
    } else {
        button = new QToolButton(this);
    }
    button->setAutoRaise(true);
    button->setCheckable(Style == tbrCheck);
    button->setToolTip(ToolTipText);
    button->setText(Caption.trimmed().isEmpty() ? ToolTipText : Caption);
    button->setIcon(m_images ? m_images->ItemPicture(ImageNumber) : QIcon());
    if (Caption.isEmpty())
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    else
        button->setToolButtonStyle(m_imageSize >= 24 ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonTextBesideIcon);
    if (!Key.isEmpty())
        button->setObjectName(Key);
    connect(button, &QToolButton::clicked, this, [this, index] { emit ButtonClick(index); });
    addWidget(button);
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

bool cToolbar::ButtonChecked(qint32 Index) const
{
    return valid(Index) && m_buttons[Index].widget && m_buttons[Index].widget->isChecked();
}

void cToolbar::SetButtonChecked(qint32 Index, bool checked)
{
    if (!valid(Index) || !m_buttons[Index].widget)
        return;
    QToolButton* w = m_buttons[Index].widget;
    // A plain button shows the state as well: it keeps it pressed.
    w->setCheckable(w->isCheckable() || checked);
    w->setChecked(checked);
}

bool cToolbar::ButtonEnabled(const QString& Key) const
{
    const qint32 i = ButtonIndex(Key);
    return valid(i) && m_buttons[i].widget && m_buttons[i].widget->isEnabled();
}

void cToolbar::SetButtonEnabled(const QString& Key, bool enabled)
{
    const qint32 i = ButtonIndex(Key);
    if (valid(i) && m_buttons[i].widget)
        m_buttons[i].widget->setEnabled(enabled);
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
