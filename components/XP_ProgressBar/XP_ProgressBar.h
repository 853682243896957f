// The job progress bar: a value between a minimum and a maximum, drawn as a filled bar.
// Any value is taken; the bar shows it clipped to its range, and nothing when the
// maximum is not above the minimum.
#pragma once

#include <QWidget>

class QPainter;

class XP_ProgressBar : public QWidget
{
    Q_OBJECT
public:
    explicit XP_ProgressBar(QWidget* parent = nullptr);

    qint32 Value() const { return m_value; }
    void SetValue(qint32 v);
    qint32 Max() const { return m_max; }
    void SetMax(qint32 v);
    qint32 Min() const { return m_min; }
    void SetMin(qint32 v);
    // The bar's colour as a 0x00BBGGRR number.
    qint32 BarColour() const { return m_colour; }
    void SetBarColour(qint32 colour);

    // The filled part of the bar, 0 to 1.
    double Fraction() const;

    QSize sizeHint() const override { return QSize(200, 18); }

protected:
    void paintEvent(QPaintEvent* event) override;
    // What is drawn under the bar, and the filled part itself.
    virtual QColor trackColour() const;
    virtual void drawBar(QPainter& painter, const QRect& bar) const;

private:
    qint32 m_value = 0;
    qint32 m_min = 0;
    qint32 m_max = 100;
    qint32 m_colour = 0xD77800;  // a blue
};
