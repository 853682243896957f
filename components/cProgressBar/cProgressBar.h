// The second progress bar (add-files window, disc size bar, recorder level meter): a
// value between a minimum and a maximum, with a bar colour, back colour and picture.
#pragma once

#include <QPixmap>
#include <QWidget>

class cProgressBar : public QWidget
{
    Q_OBJECT
public:
    explicit cProgressBar(QWidget* parent = nullptr);

    qint32 Value() const { return m_value; }
    void SetValue(qint32 v);
    qint32 Max() const { return m_max; }
    void SetMax(qint32 v);
    qint32 Min() const { return m_min; }
    void SetMin(qint32 v);
    // The bar's colour as a 0x00BBGGRR number.
    void SetBarOption6(qint32 colour);
    qint32 BarOption6() const { return m_colour; }
    // The back colour as a decimal colour number in text ("16777215").
    void SetBackgroundColour(const QString& colour);
    QString BackgroundColour() const { return m_back; }
    // A picture drawn as the bar instead of the colour.
    void SetBarPicture(const QPixmap& picture);
    bool HasBarPicture() const { return !m_picture.isNull(); }

    // The filled part of the bar, 0 to 1 (nothing when the maximum is not above the minimum).
    double Fraction() const;

    QSize sizeHint() const override { return QSize(200, 18); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qint32 m_value = 0;
    qint32 m_min = 0;
    qint32 m_max = 100;
    qint32 m_colour = 0xD77800;
    QString m_back;
    QPixmap m_picture;
};
