// Showing a window modally. The real runner spins an event loop until the window is
// hidden or unloaded; tests install a scripted runner that drives the window instead.
#pragma once

#include <QString>

class VForm;

class ModalRunner
{
public:
    virtual ~ModalRunner() = default;
    // Returns when the window has been hidden or unloaded.
    virtual void run(VForm* form) = 0;

protected:
    static void enter(VForm* form);
    static void leave(VForm* form);
};

class EventLoopModalRunner : public ModalRunner
{
public:
    void run(VForm* form) override;
};
