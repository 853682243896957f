// The lock that serialises the writers of a file across processes: an advisory lock the
// system lets go when its holder ends in any way, so a killed writer never leaves a lock
// behind.
#pragma once

#include <QByteArray>
#include <QString>

class WriterLock
{
public:
    WriterLock() = default;
    ~WriterLock();
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

    // Takes the lock of a lock file beside what it guards (made when missing), waiting up
    // to waitMs for another writer. A lock path that is not a plain file (a folder, a pipe)
    // can never be taken: that fails at once rather than after the wait. False with *why.
    bool take(const QString& lockFile, int waitMs, QString& why);

    enum class Folder { Taken, Unopenable, Busy };
    // Takes the lock of a folder itself, for the writers of the files in it; nothing is
    // made in the folder. Unopenable when the folder cannot be opened (*error the errno):
    // there is then nothing to write into either. Busy when another writer still holds it
    // after waitMs (0: no wait).
    Folder takeFolder(const QByteArray& nativeFolder, int waitMs, int* error = nullptr);

private:
    // Waits for the lock of the open m_fd; false (errno kept) when it fails or waitMs passes.
    bool lockOpened(int waitMs);

    int m_fd = -1;
};
