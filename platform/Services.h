// The process-wide platform services: real by default, replaced by fakes in tests.
#pragma once

#include <memory>

class MessageService;
class ModalRunner;
class DialogService;
class ShellService;
class SoundService;
class ShutdownService;
class AutostartService;

namespace Services {

MessageService& message();
ModalRunner& modal();
DialogService& dialogs();
ShellService& shell();
SoundService& sound();
ShutdownService& shutdown();
AutostartService& autostart();

// Install a replacement (tests); nullptr goes back to the real service.
void setMessage(std::unique_ptr<MessageService> s);
void setModal(std::unique_ptr<ModalRunner> s);
void setDialogs(std::unique_ptr<DialogService> s);
void setShell(std::unique_ptr<ShellService> s);
void setSound(std::unique_ptr<SoundService> s);
void setShutdown(std::unique_ptr<ShutdownService> s);
void setAutostart(std::unique_ptr<AutostartService> s);

} // namespace Services
