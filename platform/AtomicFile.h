// Replacing a file so that readers and crashes only ever see the old or the new whole
// file, and reading one without ever waiting on something that only looks like a file.
#pragma once

#include "platform/TempFiles.h"

#include <QByteArray>
#include <QString>

// Writes bytes to a temporary file beside path (see CreateTempBeside), flushes it to disk
// and renames it over path (then syncs the folder). On failure the old file is untouched,
// the temporary file is removed and *error says why.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// The same for a path given as the system's bytes (a file name need not be valid UTF-8).
bool WriteNativeFileAtomically(const QByteArray& nativePath, const QByteArray& bytes, QString* error = nullptr);

// Removes every temporary file beside path that begins with AtomicTempPrefix(path), its
// writer known to be gone or not. Call only while holding the lock that serialises
// writers of path.
void RemoveStaleTempFiles(const QString& path);

enum class FileReadResult { Ok, Missing, Unreadable };
// The bytes of a regular file. A folder, a named pipe or a device under the name is refused
// (Unreadable) without being read, so the caller never waits on a pipe or reads a device
// without end; *why says what is wrong.
FileReadResult ReadRegularFile(const QByteArray& nativePath, QByteArray& bytes, QString* why = nullptr);
