// The per-user settings store: values by application name, section and key, kept in an
// INI file per application in the user's configuration folder ($XDG_CONFIG_HOME, else
// ~/.config), so they follow the user rather than the program folder.
#pragma once

#include <QString>

// The stored text, or Default when nothing is stored.
QString GetSetting(const QString& AppName, const QString& Section, const QString& Key,
                   const QString& Default = QString());
void SaveSetting(const QString& AppName, const QString& Section, const QString& Key, const QString& Setting);

// The file that holds an application's values.
QString UserSettingsFile(const QString& AppName);
