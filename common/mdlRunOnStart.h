// Starting the program with the desktop session (the autostart entry named after the
// product, whose command line starts the program in the tray).
#pragma once

#include <QString>

// The command line the entry holds: the program's full path, quoted, followed by " -st".
QString RunOnStartCommandLine();
// The same for a program file at exePath.
QString RunOnStartCommandLine(const QString& exePath);
void SetRunOnStart(bool on);
// True only when the entry exists and holds exactly that command line.
bool IsRunOnStart();
