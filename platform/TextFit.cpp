#include "platform/TextFit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

#include <algorithm>

namespace {

// Pixels kept between a grown text and the control it would otherwise touch.
constexpr int kGap = 4;

bool placedByLayout(QWidget* w)
{
    QWidget* parent = w->parentWidget();
    return parent && parent->layout() && parent->layout()->indexOf(w) >= 0;
}

// Whether two controls share some of their height, so one may run into the other.
bool onSameRow(const QRect& a, const QRect& b)
{
    return a.y() < b.y() + b.height() && b.y() < a.y() + a.height();
}

bool isCentredLabel(const QWidget* w)
{
    auto* lbl = qobject_cast<const QLabel*>(w);
    return lbl && (lbl->alignment() & Qt::AlignHCenter);
}

// Widens one control of a frame to its text. The controls its text would reach on the
// same row move right together, as far as the frame's right edge allows; what is still
// missing is taken from free space on the control's left.
void widen(QWidget* control, int need, const QList<QWidget*>& siblings, int frameWidth)
{
    QRect r = control->geometry();
    if (isCentredLabel(control)) {
        const int left = std::clamp(r.center().x() - need / 2, 0, std::max(0, frameWidth - need));
        control->setGeometry(left, r.y(), std::min(need, frameWidth - left), r.height());
        return;
    }

    QList<QWidget*> right, left;
    for (QWidget* s : siblings) {
        if (s == control || !onSameRow(s->geometry(), r))
            continue;
        if (s->x() > r.x())
            right << s;
        else if (s->x() + s->width() <= r.x())
            left << s;
    }

    // Move the reached controls, and every control of the row beyond them, by as much.
    const int textEnd = r.x() + need + kGap;
    int firstReached = INT_MAX;
    for (QWidget* s : right)
        if (s->x() < textEnd)
            firstReached = std::min(firstReached, s->x());
    if (firstReached != INT_MAX) {
        int rowEnd = 0;
        for (QWidget* s : right)
            if (s->x() >= firstReached)
                rowEnd = std::max(rowEnd, s->x() + s->width());
        const int shift = std::min(textEnd - firstReached, std::max(0, frameWidth - rowEnd));
        for (QWidget* s : right)
            if (s->x() >= firstReached)
                s->move(s->x() + shift, s->y());
    }

    // The room up to the next control on the right (or the frame's edge), then free space
    // on the left for what does not fit there.
    int limit = frameWidth;
    for (QWidget* s : right)
        limit = std::min(limit, s->x() - kGap);
    limit = std::max(limit, r.x() + r.width());
    int leftLimit = 0;
    for (QWidget* s : left)
        leftLimit = std::max(leftLimit, s->x() + s->width() + kGap);
    int x = r.x();
    if (x + need > limit)
        x = std::max(std::min(x, leftLimit), limit - need);
    control->setGeometry(x, r.y(), std::max(r.width(), std::min(need, limit - x)), r.height());
}

void fitFrame(QWidget* frame)
{
    QList<QWidget*> kids;
    for (QObject* o : frame->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && !w->isWindow() && !placedByLayout(w))
            kids << w;
    }
    std::sort(kids.begin(), kids.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
    for (QWidget* w : kids) {
        const int need = TextWidthNeeded(w);
        if (need > w->width())
            widen(w, need, kids, frame->width());
        // A text taller than its control grows it about its middle (a list keeps the
        // height it was given: its entries are one line of the control's own font).
        const int tall = need > 0 ? w->sizeHint().height() : 0;
        if (!qobject_cast<QPushButton*>(w) && !qobject_cast<QComboBox*>(w) && tall > w->height()) {
            const int grow = tall - w->height();
            w->setGeometry(w->x(), w->y() - grow / 2, w->width(), tall);
        }
    }
}

} // namespace

int TextWidthNeeded(const QWidget* control)
{
    if (auto* lbl = qobject_cast<const QLabel*>(control))
        return lbl->text().isEmpty() || lbl->wordWrap() ? 0 : lbl->sizeHint().width();
    if (auto* push = qobject_cast<const QPushButton*>(control)) {
        if (push->text().isEmpty())
            return 0;
        // The text within the button's inner area; the style's roomy minimum does not count.
        QStyleOptionButton opt;
        opt.initFrom(push);
        const QRect inner = push->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, push);
        int text = push->fontMetrics().size(Qt::TextShowMnemonic, push->text()).width();
        if (!push->icon().isNull())
            text += push->iconSize().width() + 4;
        return text + push->width() - inner.width();
    }
    if (auto* list = qobject_cast<const QComboBox*>(control)) {
        // A list the user picks from shows whichever entry is chosen whole; a text typed
        // into an editable one scrolls.
        if (list->isEditable() || list->count() == 0)
            return 0;
        int widest = 0;
        for (int i = 0; i < list->count(); ++i)
            widest = std::max(widest, list->fontMetrics().horizontalAdvance(list->itemText(i)));
        QStyleOptionComboBox opt;
        opt.initFrom(list);
        const QSize text(widest, list->fontMetrics().height());
        return list->style()->sizeFromContents(QStyle::CT_ComboBox, &opt, text, list).width();
    }
    if (qobject_cast<const QCheckBox*>(control) || qobject_cast<const QRadioButton*>(control)) {
        auto* button = static_cast<const QAbstractButton*>(control);
        return button->text().isEmpty() ? 0 : button->sizeHint().width();
    }
    return 0;
}

void FitTextsToControls(QWidget* window)
{
    if (!window)
        return;
    // The window and the plain frames and panels it places its controls on; the inside of
    // a composite control (status bar, grid, tab strip) is that control's own business.
    fitFrame(window);
    for (QWidget* w : window->findChildren<QWidget*>())
        if (w->metaObject() == &QWidget::staticMetaObject || w->metaObject() == &QFrame::staticMetaObject)
            fitFrame(w);
}

void SetElidedText(QLabel* label, const QString& text)
{
    const QFontMetrics metrics = label->fontMetrics();
    const int room = std::max(0, label->contentsRect().width() - 2 * label->margin());
    // No character is narrower than a pixel (but for marks without width): a label never
    // shows more characters than it is wide, and what lies beyond is not measured at all.
    const qsizetype most = qsizetype(room) + 1;
    if (text.size() <= most) {
        label->setText(metrics.elidedText(text, Qt::ElideRight, room));
        return;
    }
    // A character of two halves is never cut between them.
    const QString head = text.left(text.at(most - 1).isHighSurrogate() ? most - 1 : most);
    const QString ellipsis(QChar(0x2026));
    QString shown = metrics.elidedText(head, Qt::ElideRight, room - metrics.horizontalAdvance(ellipsis));
    // A head that fits whole still had more after it.
    if (shown == head)
        shown += ellipsis;
    label->setText(shown);
}
