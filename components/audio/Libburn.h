// Starting the disc-burning library once per process, with its messages kept in its queue
// (never printed) for the caller to read.
#pragma once

#include <QString>

// True when the library could be started; otherwise `why` says what went wrong.
bool StartLibburn(QString& why);
// The library's queued messages of at least the given severity ("FAILURE", "SORRY", ...),
// one a line, oldest first; the queue is emptied either way.
QString TakeLibburnMessages(const char* minimumSeverity = "SORRY");
