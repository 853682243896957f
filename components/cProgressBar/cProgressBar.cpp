// The second progress bar, drawn by hand so that any value is taken.
#include "components/cProgressBar/cProgressBar.h"

#include <QPainter>

namespace {

QColor vbColour(qint64 c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

} // namespace

cProgressBar::cProgressBar(QWidget* parent) : QWidget(parent)
{
    setMinimumHeight(8);
}

void cProgressBar::SetValue(qint32 v)
{
    if (v == m_value)
        return;
    m_value = v;
    update();
}

void cProgressBar::SetMax(qint32 v)
{
    m_max = v;
    update();
}

void cProgressBar::SetMin(qint32 v)
{
    m_min = v;
    update();
}

void cProgressBar::SetBarOption6(qint32 colour)
{
    m_colour = colour;
    update();
}

void cProgressBar::SetBackgroundColour(const QString& colour)
{
    m_back = colour;
    update();
}

void cProgressBar::SetBarPicture(const QPixmap& picture)
{
    m_picture = picture;
    update();
}

double cProgressBar::Fraction() const
{
    if (m_max <= m_min)
        return 0.0;
    const double f = (double(m_value) - m_min) / (double(m_max) - m_min);
    return qBound(0.0, f, 1.0);
}

void cProgressBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    bool ok = false;
    const qint64 back = m_back.trimmed().toLongLong(&ok);
    p.fillRect(r, ok ? vbColour(back) : palette().color(QPalette::Base));
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(r);
    const int w = int((r.width() - 1) * Fraction());
    if (w <= 0)
        return;
    const QRect bar(r.left() + 1, r.top() + 1, w, r.height() - 1);
    if (!m_picture.isNull())
        p.drawTiledPixmap(bar, m_picture);
    else
        p.fillRect(bar, vbColour(m_colour));
}
