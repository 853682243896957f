// A status bar of keyed panels with text, tool tip and image.
#pragma once

#include <QList>
#include <QStatusBar>

class QLabel;
class cImageList;

class cStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit cStatusBar(QWidget* parent = nullptr);

    // Appends a panel (width in pixels; -1 for no image).
    void AddPanel(qint32 style, const QString& Text, const QString& ToolTip, qint32 Image, qint32 Width, bool b1 = false,
                  bool b2 = false, qint32 l = 0, const QString& Key = QString());

    // Panels by key, or by number counted from 1.
    QString PanelText(const QString& key) const;
    QString PanelText(int number) const;
    void SetPanelText(const QString& key, const QString& text);
    void SetPanelText(int number, const QString& text);
    void SetPanelImage(const QString& key, qint32 image);
    qint32 PanelImageOf(const QString& key) const;
    QString PanelKey(int number) const;
    int PanelCount() const { return int(m_panels.size()); }

    void SetImageList(cImageList* list);
    void SetBackgroundColour(qint32 colour);

signals:
    void PanelClick(int Index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Panel {
        QString key;
        QWidget* box = nullptr;
        QLabel* icon = nullptr;
        QLabel* label = nullptr;
        qint32 image = -1;
        QString text;
    };
    int find(const QString& key) const;
    void paintPanel(Panel& p);

    QList<Panel> m_panels;
    cImageList* m_images = nullptr;
};
