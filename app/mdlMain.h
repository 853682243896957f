// Start-up: Main, the splash status line.
#pragma once

#include <QString>

// The program's entry: fills the profile, checks the settings key, shows the splash
// while the settings windows and the main window load, then shows the main window (or
// leaves it in the tray for "-st"). Returns false when the program must end at once.
bool Main();

// Shows a status line on the splash while it is up.
void SetSplashStatus(const QString& text);

inline bool g_bShowSplash = false;
