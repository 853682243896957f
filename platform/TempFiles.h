// Temporary files written beside a file and renamed over it when complete (a settings,
// list or history save, a copy, an audio job's output): their hidden names, which carry
// the process that writes them, the clearing of what a killed writer left behind, and
// the last step that puts the finished file in place.
#pragma once

#include "platform/FileIdentity.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

// The beginning of the hidden name of a temporary file written beside a file called
// `fileName` and renamed over it when complete: "." + the name, cut after its first whole
// characters within 40 bytes. Whatever follows (the writer, a unique part and an ending)
// stays well within the file system's limit on a name, so every name that limit allows
// can be written; the whole name of a long target would leave no room for them.
QString ShortTempPrefix(const QString& fileName);
// The same for a name given as the system's bytes (a name need not be valid UTF-8).
QByteArray ShortTempPrefixNative(const QByteArray& fileName);

// The start of the name of every temporary file written beside path: ShortTempPrefix of
// its name + ".tmp-". The writer, a dash, six random letters or digits and an optional
// ending (".part" for an audio job's output) follow.
QString AtomicTempPrefix(const QString& path);

// This process as the writer of temporary files: "<process id>-<start>-<boot>", the start
// being the process's start time (clock ticks after the machine started, base 36) and the
// boot the first eight characters of the machine's boot id. The start and the boot tell
// a process id that was used again, by another process or after a restart, from the writer.
QByteArray TempWriterTag();

// Creates, exclusively, the temporary file beside nativePath: AtomicTempPrefix + this
// process's writer + "-" + six random letters or digits + ending, with `mode` less the
// umask. The folder's leftovers of writers that are gone are removed first. Returns the
// open handle and its name in tempPath, or -1 with errno set.
int CreateTempBeside(const QByteArray& nativePath, const QByteArray& ending, mode_t mode, QByteArray& tempPath);

// Removes from the folder the temporary files named as above whose writer is gone: it
// ended or was killed, its process id now belongs to another process, or it ran before
// the machine last started. The files of a writer still running (this process's other
// jobs included) and every other name are left.
void RemoveLeftoverTempFiles(const QByteArray& nativeFolder);

// Puts a finished temporary file in place under target's name. With replace, a file of
// that name is replaced. Without, a file of that name is never replaced, not even one
// that appears at the last moment: false with errno EEXIST, the temporary file still there.
// False with errno set on any other failure.
bool RenameIntoPlace(const QByteArray& temp, const QByteArray& target, bool replace);

// Puts a finished temporary file in place of `agreed`, the file that had target's name when
// the user agreed to replace it (as it was then). Another file that took the name since is
// not replaced: false with errno EEXIST, the temporary file still there. When no file has
// the name, or `agreed` names none, the temporary file takes it as RenameIntoPlace does
// without replace.
bool ReplaceAgreedFile(const QByteArray& temp, const QByteArray& target, const FileIdentity& agreed);
