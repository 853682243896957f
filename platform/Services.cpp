#include "platform/Services.h"

#include "platform/AutostartService.h"
#include "platform/DialogService.h"
#include "platform/MessageService.h"
#include "platform/ModalRunner.h"
#include "platform/ShellService.h"
#include "platform/ShutdownService.h"
#include "platform/SoundService.h"

namespace {

template <class I, class Real>
struct Slot {
    std::unique_ptr<I> current;
    I& get()
    {
        if (!current)
            current = std::make_unique<Real>();
        return *current;
    }
    void set(std::unique_ptr<I> s) { current = std::move(s); }
};

Slot<MessageService, QtMessageService> g_message;
Slot<ModalRunner, EventLoopModalRunner> g_modal;
Slot<DialogService, QtDialogService> g_dialogs;
Slot<ShellService, DesktopShellService> g_shell;
Slot<SoundService, SdlSoundService> g_sound;
Slot<ShutdownService, LogindShutdownService> g_shutdown;
Slot<AutostartService, XdgAutostartService> g_autostart;

} // namespace

namespace Services {

MessageService& message() { return g_message.get(); }
ModalRunner& modal() { return g_modal.get(); }
DialogService& dialogs() { return g_dialogs.get(); }
ShellService& shell() { return g_shell.get(); }
SoundService& sound() { return g_sound.get(); }
ShutdownService& shutdown() { return g_shutdown.get(); }
AutostartService& autostart() { return g_autostart.get(); }

void setMessage(std::unique_ptr<MessageService> s) { g_message.set(std::move(s)); }
void setModal(std::unique_ptr<ModalRunner> s) { g_modal.set(std::move(s)); }
void setDialogs(std::unique_ptr<DialogService> s) { g_dialogs.set(std::move(s)); }
void setShell(std::unique_ptr<ShellService> s) { g_shell.set(std::move(s)); }
void setSound(std::unique_ptr<SoundService> s) { g_sound.set(std::move(s)); }
void setShutdown(std::unique_ptr<ShutdownService> s) { g_shutdown.set(std::move(s)); }
void setAutostart(std::unique_ptr<AutostartService> s) { g_autostart.set(std::move(s)); }

} // namespace Services
