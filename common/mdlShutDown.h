// Turning the computer off after a job: the countdown launcher, the request to the
// system, and closing the main window afterwards.
#pragma once

#include <QString>

// Shows the countdown window modally for that many seconds; returns when it closes.
void StartTurnOffCountdown(qint32 seconds);

// Asks the system to turn off (flags as the system's exit flags, 0 to 31; the program
// passes 1). False when the flags are out of range, when the system refused, or when it
// could not be asked; *why then says what went wrong.
bool ShutdownSystem(qint32 flags, QString* why = nullptr);

// Closes the main window as soon as no window is showing modally any more and the event
// loop is back at its outermost level, so no window is deleted while one of its handlers
// is still running. Windows still showing modally are hidden so that their handlers
// return. Asking again while a close is pending changes nothing.
void QueueMainUnload();
