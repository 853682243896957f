// Deleting and finding files, and the size text of the lists.
#pragma once

#include <QString>

// Set by the add-files window's Cancel; the add-files loop stops when it is true.
inline bool g_bCancelAddFiles = false;

// Deletes the file, or every file matching "*" and "?" in the last part of the path.
bool KillFile(const QString& path);
// True when a file (not a folder) matches the path; wildcards allowed.
bool FileExists(const QString& path);
// "0 bytes" .. "999 bytes", then " KB" up to " YB" with at most three integer digits.
QString FormatFileSize(double size);
QString FormatSizeNumber(double value);
