#include "components/cStatusBar/cStatusBar.h"

#include "components/cImageList/cImageList.h"
#include "platform/Controls.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>

cStatusBar::cStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
}

void cStatusBar::AddPanel(qint32, const QString& Text, const QString& ToolTip, qint32 Image, qint32 Width, bool, bool,
                          qint32, const QString& Key)
{
    Panel p;
    p.key = Key;
    p.image = Image;
    p.text = Text;
    p.box = new QWidget(this);
    auto* row = new QHBoxLayout(p.box);
    row->setContentsMargins(2, 0, 2, 0);
    row->setSpacing(4);
    p.icon = new QLabel(p.box);
    p.label = new QLabel(p.box);
    p.label->setTextFormat(Qt::PlainText);
    row->addWidget(p.icon);
    row->addWidget(p.label, 1);
    p.box->setToolTip(ToolTip);
    if (Width > 0)
        p.box->setMinimumWidth(Width);
    p.box->installEventFilter(this);
    addPermanentWidget(p.box, Width > 0 ? 0 : 1);
    m_panels.append(p);
    paintPanel(m_panels.back());
}

int cStatusBar::find(const QString& key) const
{
    for (int i = 0; i < m_panels.size(); ++i)
        if (m_panels[i].key == key)
            return i;
    return -1;
}

void cStatusBar::paintPanel(Panel& p)
{
    p.label->setText(p.text);
    const QIcon icon = m_images ? m_images->ItemPicture(p.image) : QIcon();
    p.icon->setVisible(!icon.isNull());
    if (!icon.isNull())
        p.icon->setPixmap(icon.pixmap(16, 16));
}

QString cStatusBar::PanelText(const QString& key) const
{
    const int i = find(key);
    return i < 0 ? QString() : m_panels[i].text;
}

QString cStatusBar::PanelText(int number) const
{
    return number >= 1 && number <= m_panels.size() ? m_panels[number - 1].text : QString();
}

void cStatusBar::SetPanelText(const QString& key, const QString& text)
{
    const int i = find(key);
    if (i >= 0) {
        m_panels[i].text = text;
        paintPanel(m_panels[i]);
    }
}

void cStatusBar::SetPanelText(int number, const QString& text)
{
    if (number >= 1 && number <= m_panels.size()) {
        m_panels[number - 1].text = text;
        paintPanel(m_panels[number - 1]);
    }
}

void cStatusBar::SetPanelImage(const QString& key, qint32 image)
{
    const int i = find(key);
    if (i >= 0) {
        m_panels[i].image = image;
        paintPanel(m_panels[i]);
    }
}

qint32 cStatusBar::PanelImageOf(const QString& key) const
{
    const int i = find(key);
    return i < 0 ? -1 : m_panels[i].image;
}

QString cStatusBar::PanelKey(int number) const
{
    return number >= 1 && number <= m_panels.size() ? m_panels[number - 1].key : QString();
}

void cStatusBar::SetBackgroundColour(qint32 colour)
{
    // Colours are 0x00BBGGRR numbers.
    const QColor c = VbColor(colour);
    setStyleSheet(QStringLiteral("QStatusBar { background: %1; }").arg(c.name()));
}

bool cStatusBar::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int i = 0; i < m_panels.size(); ++i) {
            if (m_panels[i].box == watched) {
                emit PanelClick(i + 1);
                break;
            }
        }
    }
    return QStatusBar::eventFilter(watched, event);
}

void cStatusBar::SetImageList(cImageList* list)
{
    m_images = list;
    for (Panel& p : m_panels)
        paintPanel(p);
}
