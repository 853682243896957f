// Starting the program with the desktop session (the autostart entry named after the
// product, whose command line starts the program in the tray).
#pragma once

#include <QString>

// The command line the entry holds: the quoted program path followed by " -st".
QString RunOnStartCommandLine();
void SetRunOnStart(bool on);
// True only when the entry exists and holds exactly that command line.
bool IsRunOnStart();
