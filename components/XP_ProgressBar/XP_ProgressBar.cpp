// The job progress bar, drawn by hand so that any value is taken.
#include "components/XP_ProgressBar/XP_ProgressBar.h"

#include "platform/Controls.h"

#include <QPainter>

XP_ProgressBar::XP_ProgressBar(QWidget* parent) : QWidget(parent)
{
    setMinimumHeight(8);
}

void XP_ProgressBar::SetValue(qint32 v)
{
    if (v == m_value)
        return;
    m_value = v;
    update();
}

void XP_ProgressBar::SetMax(qint32 v)
{
    m_max = v;
    update();
}

void XP_ProgressBar::SetMin(qint32 v)
{
    m_min = v;
    update();
}

void XP_ProgressBar::SetBarColour(qint32 colour)
{
    m_colour = colour;
    update();
}

double XP_ProgressBar::Fraction() const
{
    if (m_max <= m_min)
        return 0.0;
    const double f = (double(m_value) - m_min) / (double(m_max) - m_min);
    return qBound(0.0, f, 1.0);
}

void XP_ProgressBar::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect r = rect().adjusted(0, 0, -1, -1);
    p.fillRect(r, trackColour());
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(r);
    const int w = int((r.width() - 1) * Fraction());
    if (w > 0)
        drawBar(p, QRect(r.left() + 1, r.top() + 1, w, r.height() - 1));
}

QColor XP_ProgressBar::trackColour() const
{
    return palette().color(QPalette::Base);
}

void XP_ProgressBar::drawBar(QPainter& painter, const QRect& bar) const
{
    painter.fillRect(bar, VbColor(m_colour));
}
