// Start-up and the few helpers that live beside it.
#pragma once

#include <QString>

// The program's entry: fills the profile, checks the settings key, shows the splash
// while the settings windows and the main window load, then shows the main window (or
// leaves it in the tray for "-st"). Returns false when the program must end at once.
bool Main();

// Shows a status line on the splash while it is up.
void SetSplashStatus(const QString& text);

// Switches off the system's fault dialog for the rest of the process.
void SetNoGPFaultErrorMode();
// The error mode the process was given (2 once SetNoGPFaultErrorMode ran).
unsigned ProcessErrorMode();

// Size text of a byte total: "0", "5.00", "1.50 KB" ... up to " TB"; "" when negative.
QString FormatBytes(double bytes);

inline bool g_bShowSplash = false;
