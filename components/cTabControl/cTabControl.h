// A strip of keyed tabs with images. The windows place their own pages over the strip's
// client area, which it reports in twips in its parent's coordinates.
#pragma once

#include <QList>
#include <QString>
#include <QWidget>

class QTabBar;
class cImageList;

class cTabControl : public QWidget
{
    Q_OBJECT
public:
    explicit cTabControl(QWidget* parent = nullptr);
    ~cTabControl() override;

    // Appends a tab; the first tab added becomes the current one.
    void AddTab(const QString& Caption, qint32 ImageIndex = -1, qint16 i = -1, const QString& Key = QString());
    void ClearTabs();
    void SetImageList(cImageList* list);

    // Makes the tab with that key current; no event is raised.
    void SelectTab(const QString& Key);
    // The number of the current tab, the first being 1; 0 without tabs.
    qint32 SelectedTab() const { return m_selected; }
    // The key of a tab (from 1); "" when there is none.
    QString TabKey(qint32 Index) const;
    // The number of the tab with that key; 0 when there is none.
    qint32 TabIndex(const QString& Key) const;
    qint32 TabCount() const { return qint32(m_tabs.size()); }
    QString TabCaption(qint32 Index) const;
    qint32 TabImage(qint32 Index) const;

    // The page area below the tabs, in twips, in the parent's coordinates.
    qint32 ClientLeft() const;
    qint32 ClientTop() const;
    qint32 ClientWidth() const;
    qint32 ClientHeight() const;

    // The strip that shows the tabs (tests click it).
    QTabBar* Bar() const { return m_bar; }

signals:
    // The user chose a tab.
    void TabClick(qint32 Index);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Tab {
        QString caption;
        qint32 image = -1;
        QString key;
    };
    int barHeight() const;
    void paintTab(int i);

    QList<Tab> m_tabs;
    qint32 m_selected = 0;
    bool m_syncing = false;
    cImageList* m_images = nullptr;
    QTabBar* m_bar = nullptr;
};
