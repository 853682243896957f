// Message boxes. Every box the program shows goes through MsgBox, so tests can answer
// them from a script and read their exact texts.
#pragma once

#include "platform/VbConstants.h"

#include <QString>

#include <functional>

class MessageService
{
public:
    virtual ~MessageService() = default;
    // buttons: vbOKOnly..vbRetryCancel plus an icon (vbInformation, ...). Returns vbOK, vbYes, ...
    virtual int show(const QString& prompt, int buttons, const QString& title) = 0;
};

// The real boxes (Qt message boxes, modal to the active window).
class QtMessageService : public MessageService
{
public:
    int show(const QString& prompt, int buttons, const QString& title) override;
};

// Shows a message box; an empty title shows the application title.
int MsgBox(const QString& prompt, int buttons = vbOKOnly, const QString& title = QString());

// While set, runs before each box is shown. Start-up closes its splash with it: the splash
// stays on top of every window, and a box under it would leave the start seeming stuck.
void SetBeforeMsgBox(std::function<void()> action);
