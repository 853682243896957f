#include "components/cToolbarHost/cToolbarHost.h"

#include "components/cToolbar/cToolbar.h"
#include "platform/Controls.h"

#include <QHBoxLayout>
#include <QPainter>

cToolbarHost::cToolbarHost(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(0);
}

void cToolbarHost::AttachToolbar(cToolbar* bar)
{
    if (!bar || m_bar == bar)
        return;
    m_bar = bar;
    bar->setParent(this);
    auto* box = static_cast<QHBoxLayout*>(layout());
    box->addWidget(bar, 0, Qt::AlignVCenter);
    box->addStretch(1);
    bar->show();
    if (m_height > 0)
        SetHeight(m_height);
}

void cToolbarHost::SetBackgroundPictureFile(const QString& path)
{
    m_pictureFile = path;
    m_picture = QPixmap(path);
    update();
}

void cToolbarHost::SetBackgroundColour(qint32 colour)
{
    m_colour = colour;
    update();
}

void cToolbarHost::SetWidth(qint32 twips)
{
    m_width = twips;
    updateGeometry();
}

QSize cToolbarHost::sizeHint() const
{
    return QWidget::sizeHint().expandedTo(QSize(TwipsToPixels(m_width), 0));
}

void cToolbarHost::SetHeight(qint32 twips)
{
    m_height = twips;
    // Never lower than the bar's buttons: their captions show whole.
    const int needed = m_bar ? m_bar->sizeHint().height() : 0;
    setFixedHeight(qMax(TwipsToPixels(twips), needed));
}

void cToolbarHost::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!m_picture.isNull())
        p.drawTiledPixmap(rect(), m_picture);
    else if (m_colour >= 0)
        p.fillRect(rect(), VbColor(m_colour));
}
