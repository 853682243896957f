// Paths of list files exactly as the system names them. A file name that is not valid UTF-8
// (written by another program in another code page) keeps each byte that cannot be read
// as one lone surrogate U+DC80..U+DCFF in the path text, so the same bytes go back to the
// system and the list keeps using its own file; valid UTF-8 never holds such a character.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The path text of a path as the system gives it, and back.
QString PathFromNative(const QByteArray& bytes);
QByteArray NativePath(const QString& path);

// A path fit to show: as it is when it is valid UTF-8, else its bytes read as Windows-1252.
QString ReadablePath(const QString& path);

// True when the path text names no file at all (empty, or holding a NUL character).
bool IsUnusablePath(const QString& path);

// Anything (a file, folder, or a link, even a dangling one) stands under this name.
bool PathEntryExists(const QString& path);
// Removes the entry (not what a link points to). 0, or the errno of the failure; a missing
// entry is no failure.
int RemovePathEntry(const QString& path);

// The names of a folder's entries, "." and ".." left out; an unreadable folder has none.
QStringList FolderEntryNames(const QString& folder);
// Where writes to path land: the file a symbolic link (or a chain of them) points to,
// else path itself. A dangling link gives the path it points to.
QByteArray WriteTarget(const QByteArray& nativePath);

// The description of an errno, as the system words it.
QString SystemErrorText(int error);
