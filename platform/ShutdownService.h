// Turning the computer off.
#pragma once

#include <QString>

class ShutdownService
{
public:
    virtual ~ShutdownService() = default;
    // Asks the system to power off. False when it refused or could not be asked; why
    // then says what went wrong, as a sentence for the user.
    virtual bool powerOff(QString& why) = 0;
};

// Asks logind (org.freedesktop.login1.Manager.PowerOff) over the system bus, allowing
// the desktop to ask the user to authenticate where the system wants that.
class LogindShutdownService : public ShutdownService
{
public:
    // busAddress: the bus logind is reached on; empty for the system bus.
    explicit LogindShutdownService(QString busAddress = QString());
    bool powerOff(QString& why) override;

    // How long the request may wait for the user to authenticate.
    static constexpr int kAuthenticationTimeoutMs = 5 * 60 * 1000;

private:
    QString m_busAddress;
};
