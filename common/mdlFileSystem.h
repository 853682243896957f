// Deleting and finding files, and the size text of the lists.
#pragma once

#include <QString>

// Set by the add-files window's Cancel; the add-files loop stops when it is true.
inline bool g_bCancelAddFiles = false;

// How the last part of a path names files: "*" and "?" are ordinary name characters on
// this system, so a name is taken as it stands unless the caller asks for a pattern.
enum class NameMatch { Exact, Pattern };

// Deletes the file, or with NameMatch::Pattern every file matching the last part of the
// path. True when every file named was deleted (and there was at least one).
bool KillFile(const QString& path, NameMatch match = NameMatch::Exact);
// True when a file (not a folder) has that name, or matches it as a pattern.
bool FileExists(const QString& path, NameMatch match = NameMatch::Exact);
// "0 bytes" .. "999 bytes", then " KB" up to " YB" with at most three integer digits.
QString FormatFileSize(double size);
QString FormatSizeNumber(double value);
