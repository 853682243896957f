// The program's identity at run time: its folder, file name, title and command line.
#pragma once

#include <QString>

// The program folder: where "Notes", "PathHistory", "Main", "sound", "Registry" and the
// temporary files live. VELMARO_HOME overrides the folder of the executable. No trailing "/".
QString AppPath();

// The program's file name without folder and extension.
QString AppExeName();

// Full path of the program file as the start-with-the-desktop entry names it.
QString AppExePath();

// The default title of message boxes that pass none.
QString AppTitle();
void SetAppTitle(const QString& title);

// The whole command line after the program name, as one text.
QString Command();
void SetCommand(const QString& commandLine);

// True on the headless platform the tests run on (no real windows, no opacity).
bool HeadlessPlatform();

// Switches off the system's fault dialog for the rest of the process: a fault from here on
// ends it quietly, without a core dump that a desktop crash reporter would show.
void SetNoGPFaultErrorMode();
// The error mode the process was given (2 once SetNoGPFaultErrorMode ran).
unsigned ProcessErrorMode();
