// The file access of the tag classes: an existing regular file opened by a path, read and
// written at offsets, every failure raised as an Id3Error with the class's source; and the
// replacement of a file's start through a temporary copy renamed over it.
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

    [[noreturn]] void Raise(int code, const QString& what) const;

private:
    QString m_path;
    QString m_source;
    int m_fd = -1;
};

// Replaces the content of the file by `head` followed by the file's own bytes from offset
// `from` to its end. The new content goes to a temporary file in the file's folder, is
// flushed to disk and renamed over the file (over the file a symbolic link points at, so
// the link stays), with the file's permissions. On any failure the file keeps its
// content, the temporary file is removed and the failure is raised.
void ReplaceFileStart(Id3File& file, const QByteArray& head, qint64 from);
