#include "components/cSlider/cSlider.h"

#include "platform/Controls.h"

cSlider::cSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    setMinimum(0);
    setMaximum(10);
    connect(this, &QSlider::sliderPressed, this, [this] { emit ThumbPressed(0); });
    connect(this, &QSlider::sliderReleased, this, [this] { emit ThumbReleased(0); });
    connect(this, &QSlider::valueChanged, this, [this] { emit Change(); });
}

void cSlider::SetBackgroundColour(qint32 colour)
{
    SetBackColor(this, colour);
}
