// What tells one file from another, and a file from itself after it changed: its device
// and inode, its size and its modification time.
#pragma once

#include <QString>

struct FileIdentity {
    bool exists = false;  // a path that names nothing has no identity
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;  // nanoseconds since the epoch

    // The same file, whatever it holds now: the same device and inode.
    bool SameFileAs(const FileIdentity& other) const;
    // The same file, unchanged: besides, the same size and modification time. Two paths
    // that both name nothing are equal.
    bool operator==(const FileIdentity& other) const;
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
};

// The identity of the file a path names, links followed.
FileIdentity ReadFileIdentity(const QString& path);
// The same for a path given as the system's bytes.
FileIdentity ReadFileIdentityNative(const QByteArray& path);
