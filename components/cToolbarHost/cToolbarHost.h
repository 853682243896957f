// A panel that holds one button bar and paints a colour or a picture under it. Its size
// is given in twips, as the window's layout counts.
#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

class cToolbar;

class cToolbarHost : public QWidget
{
    Q_OBJECT
public:
    explicit cToolbarHost(QWidget* parent = nullptr);

    // Places the bar in the host; called once, after the bar's buttons are added.
    void AttachToolbar(cToolbar* bar);
    cToolbar* Toolbar() const { return m_bar; }

    void SetBackgroundPictureFile(const QString& path);
    QString BackgroundPictureFile() const { return m_pictureFile; }
    void SetBackgroundColour(qint32 colour);
    qint32 BackgroundColour() const { return m_colour; }

    // Width and height in twips. The width is what the host takes where its container
    // has room: in less, it narrows down to its bar's least width, and the bar offers the
    // buttons that do not fit in its overflow menu. The height is what it keeps, or its
    // bar's height where the bar needs more.
    qint32 Width() const { return m_width; }
    void SetWidth(qint32 twips);
    qint32 Height() const { return m_height; }
    void SetHeight(qint32 twips);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointer<cToolbar> m_bar;
    QString m_pictureFile;
    QPixmap m_picture;
    qint32 m_colour = -1;  // -1: the window's own background
    qint32 m_width = 0;
    qint32 m_height = 0;
};
