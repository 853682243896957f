#include "platform/Controls.h"

#include "platform/App.h"
#include "platform/VbConstants.h"

#include <QComboBox>
#include <QRadioButton>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QPushButton>
#include <QPixmap>

#include <cmath>

QColor VbColor(qint32 colour)
{
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

qint32 VbColorValue(const QColor& colour)
{
    return qint32(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
}

void SetBackColor(QWidget* w, qint32 colour)
{
    if (!w)
        return;
    if (auto* box = qobject_cast<PictureBox*>(w)) {
        box->SetBackColor(colour);
        return;
    }
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, VbColor(colour));
    pal.setColor(QPalette::Base, VbColor(colour));
    w->setPalette(pal);
    // A check box or radio button fills behind itself with the button colour, not the
    // window colour: filled, its row would stand out from the page as a grey bar. It
    // draws nothing behind its text, so the page's own background (colour or picture)
    // shows through instead.
    const bool row = qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w);
    w->setAutoFillBackground(!row);
    w->setProperty("velmaroBackColor", colour);
}

void SetForeColor(QWidget* w, qint32 colour)
{
    if (!w)
        return;
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, VbColor(colour));
    pal.setColor(QPalette::Text, VbColor(colour));
    w->setPalette(pal);
    w->setProperty("velmaroForeColor", colour);
}

qint32 BackColorOf(const QWidget* w)
{
    if (auto* box = qobject_cast<const PictureBox*>(w))
        return box->BackColor();
    const QVariant v = w ? w->property("velmaroBackColor") : QVariant();
    return v.isValid() ? v.toInt() : VbColorValue(w ? w->palette().color(QPalette::Window) : QColor());
}

bool LoadViewPicture(QWidget* target, const QString& name)
{
    if (!target || name.isEmpty())
        return false;
    const QPixmap picture(AppPath() + QStringLiteral("/View/") + name);
    if (picture.isNull())
        return false;
    QPalette pal = target->palette();
    pal.setBrush(QPalette::Window, QBrush(picture));
    target->setPalette(pal);
    target->setAutoFillBackground(true);
    return true;
}

QStringList DroppedLocalFiles(const QMimeData* data)
{
    QStringList files;
    if (!data)
        return files;
    for (const QUrl& u : data->urls())
        if (u.isLocalFile())
            files << u.toLocalFile();
    return files;
}

int TwipsToPixels(int twips)
{
    return static_cast<int>(std::nearbyint(twips / double(kTwipsPerPixel)));
}

void PlaceTwips(QWidget* w, int left, int top, int width, int height)
{
    w->setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

QLabel* MakeLabel(QWidget* parent, const QString& text, int left, int top, int width, int height)
{
    auto* lbl = new QLabel(text, parent);
    PlaceTwips(lbl, left, top, width, height);
    return lbl;
}

QComboBox* MakeList(QWidget* parent, const QStringList& items, int left, int top, int width)
{
    auto* cbo = new QComboBox(parent);
    cbo->addItems(items);
    cbo->setCurrentIndex(-1);
    PlaceTwips(cbo, left, top, width, 315);
    return cbo;
}

CheckBox* MakeCheck(QWidget* parent, const QString& caption, int left, int top, int width)
{
    auto* c = new CheckBox(caption, parent);
    PlaceTwips(c, left, top, width, 285);
    return c;
}

QPushButton* MakeButton(QWidget* parent, const QString& caption, int left, int top, int width, int height)
{
    auto* b = new QPushButton(caption, parent);
    PlaceTwips(b, left, top, width, height);
    return b;
}

LinkLabel* MakeLink(QWidget* parent, const QString& caption, int left, int top, int width)
{
    auto* lnk = new LinkLabel(caption, parent);
    PlaceTwips(lnk, left, top, width, 240);
    return lnk;
}

TextBox* MakeTextBox(QWidget* parent, int left, int top, int width)
{
    auto* box = new TextBox(parent);
    PlaceTwips(box, left, top, width, 285);
    return box;
}

bool SelectListText(QComboBox* cbo, const QString& text)
{
    if (!cbo || text.isEmpty())
        return false;
    const int i = cbo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i < 0)
        return false;
    cbo->setCurrentIndex(i);
    return true;
}

CheckBox::CheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent)
{
    connect(this, &QAbstractButton::clicked, this, &CheckBox::Click);
}

void CheckBox::SetValue(int value)
{
    setChecked(value == 1);
    emit Click();
}

LinkLabel::LinkLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::blue);
    setPalette(pal);
    setCursor(Qt::PointingHandCursor);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Click();
}

PictureBox::PictureBox(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    SetBackColor(m_colour);
}

void PictureBox::SetBackColor(qint32 colour)
{
    m_colour = colour;
    QPalette pal = palette();
    pal.setColor(QPalette::Window, VbColor(colour));
    setPalette(pal);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    QFrame::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton)
        emit Click();
}
