// Starting the disc-burning library once per process, with its messages kept in its queue
// (never printed) for the caller to read.
#pragma once

#include <QList>
#include <QString>

// True when the library could be started; otherwise `why` says what went wrong.
bool StartLibburn(QString& why);

// One message of the library: its code, the system's error number it came with (0 for
// none), and its text.
struct LibburnMessage {
    int code = 0;
    int osErrno = 0;
    QString text;
};
// The code of the library's refusal to start a job while a job of the same drive has not
// yet left its list (it refuses without marking the job as failed).
constexpr int kLibburnDriveBusy = 0x00020102;

// The library's queued messages of at least the given severity ("FAILURE", "SORRY", ...),
// oldest first; the queue is emptied either way.
QList<LibburnMessage> TakeLibburnMessageList(const char* minimumSeverity = "SORRY");
// The same as text, one message a line.
QString TakeLibburnMessages(const char* minimumSeverity = "SORRY");
// The texts of messages, one a line.
QString LibburnMessageText(const QList<LibburnMessage>& messages);
