#include "components/cSysTray/cSysTray.h"

#include "platform/IconResources.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QSystemTrayIcon>

namespace {
std::optional<bool> g_override;

bool headless()
{
    return QGuiApplication::platformName() == QLatin1String("offscreen");
}

bool desktopHasTray()
{
    return !headless() && QSystemTrayIcon::isSystemTrayAvailable();
}
} // namespace

cSysTray::cSysTray(QObject* parent) : QObject(parent) {}

cSysTray::~cSysTray()
{
    RemoveIcon();
}

bool cSysTray::Available()
{
    return g_override.value_or(desktopHasTray());
}

void cSysTray::OverrideAvailable(std::optional<bool> available)
{
    g_override = available;
}

void cSysTray::AddIcon()
{
    m_shown = true;
    // The icon is made even while the desktop shows no tray: it goes into a tray that
    // appears later.
    if (headless() || m_icon)
        return apply();
    m_icon = new QSystemTrayIcon(this);
    connect(m_icon, &QSystemTrayIcon::activated, this, &cSysTray::IconActivated);
    apply();
    m_icon->show();
}

void cSysTray::IconActivated(int reason)
{
    // A double-click has brought its first click already: it toggles nothing more.
    if (reason == QSystemTrayIcon::Trigger)
        emit TrayClick(1);
    else if (reason == QSystemTrayIcon::Context)
        emit TrayClick(2);
}

void cSysTray::RemoveIcon()
{
    m_shown = false;
    if (m_icon) {
        m_icon->hide();
        delete m_icon;
        m_icon = nullptr;
    }
}

void cSysTray::SetToolTipText(const QString& text)
{
    m_tooltip = text;
    apply();
}

void cSysTray::SetIconFile(const QString& path)
{
    m_iconFile = path;
    apply();
}

void cSysTray::apply()
{
    if (!m_icon)
        return;
    m_icon->setToolTip(m_tooltip);
    QIcon icon;
    if (QFileInfo::exists(m_iconFile))
        icon = QIcon(m_iconFile);
    // Without its picture file the tray shows the program's own icon.
    if (icon.isNull())
        icon = LoadIconResource(QStringLiteral("AAA"));
    m_icon->setIcon(icon);
}

void cSysTray::ShowBalloon(const QString& Message, const QString& Title, qint32, qint16)
{
    m_balloons.append({Message, Title});
    if (m_icon && m_shown)
        m_icon->showMessage(Title, Message, QSystemTrayIcon::Information, 5000);
}
