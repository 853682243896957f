// The file access of the tag classes: an existing regular file opened by a path, read and
// written at offsets, every failure raised as an Id3Error with the class's source; and the
// replacement of a file's start by a longer one, in place.
#pragma once

#include "tags/id3/Id3Error.h"

#include <QByteArray>
#include <QString>

class Id3File
{
public:
    enum Mode { ReadOnly, ReadWrite };

    // Opens an existing regular file; a missing file is never created. Raises the open's
    // error (a folder or a device counts as a file that cannot be opened).
    Id3File(const QString& path, Mode mode, const QString& source);
    ~Id3File();
    Id3File(const Id3File&) = delete;
    Id3File& operator=(const Id3File&) = delete;

    const QString& Path() const { return m_path; }
    const QString& Source() const { return m_source; }
    int Handle() const { return m_fd; }

    qint64 Size() const;
    // Up to count bytes from offset; fewer only where the file ends.
    QByteArray ReadAt(qint64 offset, qint64 count) const;
    void WriteAt(qint64 offset, const QByteArray& bytes);
    void Sync();
    // Cuts the file back to length; false when that fails (nothing is raised).
    bool Truncate(qint64 length);
    // Makes the file count bytes longer, taking the room on the disk; a disk without it
    // raises, with the file as it was.
    void Extend(qint64 count);

    [[noreturn]] void Raise(int code, const QString& what) const;

private:
    QString m_path;
    QString m_source;
    int m_fd = -1;
};

// Replaces the file's first `oldLength` bytes by `head` (at least as long) and keeps the
// bytes after them, in the file itself, so that hard links and the file's owner and
// permissions stay. The room a longer head needs is taken on the disk first: a disk
// without it fails with the file unchanged. A write that fails after that puts back what
// was moved, as far as the disk still takes writes. Failures are raised.
void ReplaceFileStart(Id3File& file, const QByteArray& head, qint64 oldLength);
