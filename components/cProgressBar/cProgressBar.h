// The second progress bar (add-files window, disc size bar, recorder level meter): the job
// progress bar with a back colour given as text and a picture that may stand for the bar.
#pragma once

#include "components/XP_ProgressBar/XP_ProgressBar.h"

#include <QPixmap>

class cProgressBar : public XP_ProgressBar
{
    Q_OBJECT
public:
    explicit cProgressBar(QWidget* parent = nullptr) : XP_ProgressBar(parent) {}

    // The bar's colour as a 0x00BBGGRR number.
    void SetBarOption6(qint32 colour) { SetBarColour(colour); }
    qint32 BarOption6() const { return BarColour(); }
    // The back colour as a decimal colour number in text ("16777215").
    void SetBackgroundColour(const QString& colour);
    QString BackgroundColour() const { return m_back; }
    // A picture drawn as the bar instead of the colour.
    void SetBarPicture(const QPixmap& picture);
    bool HasBarPicture() const { return !m_picture.isNull(); }

protected:
    QColor trackColour() const override;
    void drawBar(QPainter& painter, const QRect& bar) const override;

private:
    QString m_back;
    QPixmap m_picture;
};
