// The second progress bar: the job progress bar's drawing with its own back colour and picture.
#include "components/cProgressBar/cProgressBar.h"

#include "platform/Controls.h"

#include <QPainter>

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

QColor cProgressBar::trackColour() const
{
    bool ok = false;
    const qint64 back = m_back.trimmed().toLongLong(&ok);
    return ok ? VbColor(qint32(back)) : XP_ProgressBar::trackColour();
}

void cProgressBar::drawBar(QPainter& painter, const QRect& bar) const
{
    if (!m_picture.isNull())
        painter.drawTiledPixmap(bar, m_picture);
    else
        XP_ProgressBar::drawBar(painter, bar);
}
