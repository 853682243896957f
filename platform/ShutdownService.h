// Turning the computer off.
#pragma once

class ShutdownService
{
public:
    virtual ~ShutdownService() = default;
    // Asks the system to power off. False when it refused or could not be asked.
    virtual bool powerOff() = 0;
};

// Asks logind (org.freedesktop.login1.Manager.PowerOff) over the system bus.
class LogindShutdownService : public ShutdownService
{
public:
    bool powerOff() override;
};
