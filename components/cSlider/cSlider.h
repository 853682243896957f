// A horizontal slider: its value, upper end and background, and the events of its thumb.
#pragma once

#include <QSlider>

class cSlider : public QSlider
{
    Q_OBJECT
public:
    explicit cSlider(QWidget* parent = nullptr);

    qint32 Value() const { return value(); }
    void SetValue(qint32 v) { setValue(v); }
    qint32 Max() const { return maximum(); }
    void SetMax(qint32 v) { setMaximum(v); }
    void SetBackgroundColour(qint32 colour);

signals:
    void ThumbPressed(qint32 unused);
    void ThumbReleased(qint32 unused);
    void Change();
};
