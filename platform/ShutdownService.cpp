#include "platform/ShutdownService.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kPath = QStringLiteral("/org/freedesktop/login1");
const QString kManager = QStringLiteral("org.freedesktop.login1.Manager");
const QString kConnectionName = QStringLiteral("velmaro-logind");

QDBusMessage callManager(QDBusConnection& bus, const QString& method, const QVariantList& args, int timeoutMs)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kManager, method);
    call.setArguments(args);
    call.setInteractiveAuthorizationAllowed(true);
    return bus.call(call, QDBus::Block, timeoutMs);
}

} // namespace

LogindShutdownService::LogindShutdownService(QString busAddress) : m_busAddress(std::move(busAddress))
{
}

bool LogindShutdownService::powerOff(QString& why)
{
    QDBusConnection bus = m_busAddress.isEmpty() ? QDBusConnection::systemBus()
                                                 : QDBusConnection::connectToBus(m_busAddress, kConnectionName);
    struct Disconnect {
        bool own;
        ~Disconnect()
        {
            if (own)
                QDBusConnection::disconnectFromBus(kConnectionName);
        }
    } disconnect{!m_busAddress.isEmpty()};

    if (!bus.isConnected()) {
        why = QStringLiteral("The system bus cannot be reached: %1").arg(bus.lastError().message());
        return false;
    }
    const QDBusMessage can = callManager(bus, QStringLiteral("CanPowerOff"), {}, -1);
    if (can.type() != QDBusMessage::ReplyMessage) {
        why = QStringLiteral("The login manager cannot be asked: %1").arg(can.errorMessage());
        return false;
    }
    // "yes": allowed; "challenge": allowed once the user has authenticated, which the
    // desktop asks for when the request allows it; "no" and "na": not from this session.
    const QString answer = can.arguments().value(0).toString();
    if (answer == QLatin1String("no")) {
        why = QStringLiteral("The system does not allow this user to turn it off.");
        return false;
    }
    if (answer != QLatin1String("yes") && answer != QLatin1String("challenge")) {
        why = QStringLiteral("The system cannot be turned off from here (the login manager answered \"%1\").")
                  .arg(answer);
        return false;
    }
    const QDBusMessage reply = callManager(bus, QStringLiteral("PowerOff"), {true}, kAuthenticationTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        why = QStringLiteral("The system refused to turn off: %1").arg(reply.errorMessage());
        return false;
    }
    return true;
}
