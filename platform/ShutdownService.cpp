#include "platform/ShutdownService.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

bool LogindShutdownService::powerOff()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return false;
    QDBusInterface manager(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                           QStringLiteral("org.freedesktop.login1.Manager"), bus);
    if (!manager.isValid())
        return false;
    const QDBusReply<QString> can = manager.call(QStringLiteral("CanPowerOff"));
    if (can.isValid() && can.value() != QLatin1String("yes") && can.value() != QLatin1String("challenge"))
        return false;
    const QDBusMessage reply = manager.call(QStringLiteral("PowerOff"), false);
    return reply.type() == QDBusMessage::ReplyMessage;
}
