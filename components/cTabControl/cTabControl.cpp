// The tab strip: keyed tabs over a tab bar, and the page area below it.
#include "components/cTabControl/cTabControl.h"

#include "components/cImageList/cImageList.h"
#include "platform/VbConstants.h"

#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

namespace {
constexpr int kMargin = 2;  // pixels between the frame and the page area
}

cTabControl::cTabControl(QWidget* parent) : QWidget(parent)
{
    m_bar = new QTabBar(this);
    m_bar->setDrawBase(false);
    m_bar->setExpanding(false);
    m_bar->move(0, 0);
    connect(m_bar, &QTabBar::currentChanged, this, [this](int index) {
        if (m_syncing)
            return;
        m_selected = index + 1;
        emit TabClick(m_selected);
    });
}

cTabControl::~cTabControl()
{
    m_bar->blockSignals(true);
    delete m_bar;
    m_bar = nullptr;
}

void cTabControl::AddTab(const QString& Caption, qint32 ImageIndex, qint16, const QString& Key)
{
    m_tabs.append(Tab{Caption, ImageIndex, Key});
    m_syncing = true;
    m_bar->addTab(Caption);
    m_syncing = false;
    paintTab(int(m_tabs.size()) - 1);
    if (m_selected == 0)
        m_selected = 1;
    m_bar->resize(m_bar->sizeHint().width(), barHeight());
}

void cTabControl::ClearTabs()
{
    m_syncing = true;
    while (m_bar->count() > 0)
        m_bar->removeTab(0);
    m_syncing = false;
    m_tabs.clear();
    m_selected = 0;
}

void cTabControl::paintTab(int i)
{
    const QIcon icon = m_images ? m_images->ItemPicture(m_tabs[i].image) : QIcon();
    m_bar->setTabIcon(i, icon);
}

void cTabControl::SetImageList(cImageList* list)
{
    m_images = list;
    for (int i = 0; i < m_tabs.size(); ++i)
        paintTab(i);
}

void cTabControl::SelectTab(const QString& Key)
{
    const qint32 i = TabIndex(Key);
    if (i < 1)
        return;
    m_selected = i;
    m_syncing = true;
    m_bar->setCurrentIndex(i - 1);
    m_syncing = false;
}

QString cTabControl::TabKey(qint32 Index) const
{
    return Index >= 1 && Index <= m_tabs.size() ? m_tabs[Index - 1].key : QString();
}

qint32 cTabControl::TabIndex(const QString& Key) const
{
    for (int i = 0; i < m_tabs.size(); ++i)
        if (m_tabs[i].key == Key)
            return i + 1;
    return 0;
}

QString cTabControl::TabCaption(qint32 Index) const
{
    return Index >= 1 && Index <= m_tabs.size() ? m_tabs[Index - 1].caption : QString();
}

qint32 cTabControl::TabImage(qint32 Index) const
{
    return Index >= 1 && Index <= m_tabs.size() ? m_tabs[Index - 1].image : -1;
}

int cTabControl::barHeight() const
{
    // The strip's height is known before it is shown, tabs or not.
    return qMax(m_bar->sizeHint().height(), fontMetrics().height() + 10);
}

qint32 cTabControl::ClientLeft() const
{
    return (x() + kMargin) * kTwipsPerPixel;
}

qint32 cTabControl::ClientTop() const
{
    return (y() + barHeight() + kMargin) * kTwipsPerPixel;
}

qint32 cTabControl::ClientWidth() const
{
    return qMax(0, width() - 2 * kMargin) * kTwipsPerPixel;
}

qint32 cTabControl::ClientHeight() const
{
    return qMax(0, height() - barHeight() - 2 * kMargin) * kTwipsPerPixel;
}

void cTabControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_bar->resize(qMin(width(), m_bar->sizeHint().width()), barHeight());
}

void cTabControl::paintEvent(QPaintEvent*)
{
    QStylePainter p(this);
    QStyleOptionTabWidgetFrame opt;
    opt.initFrom(this);
    opt.rect = QRect(0, barHeight() - 1, width(), height() - barHeight() + 1);
    p.drawPrimitive(QStyle::PE_FrameTabWidget, opt);
}
