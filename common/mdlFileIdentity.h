// What tells one file from another, and a file from itself after it changed: its device
// and inode, its size and its modification time; and a set of files looked up by any path
// that names one of them (a link, or another spelling of the same path).
#pragma once

#include <QHash>
#include <QPair>
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

// A set of files, each with a number of the caller's (a row). A path finds the file it
// names when both are the same file, or, where a file is not there, when the paths are
// the same once made absolute and clean.
class FileSet
{
public:
    void clear();
    // Adds the file `path` names under `key` (above 0); a file added before keeps its key.
    void add(const QString& path, qint32 key);
    // The key of the file `path` names; 0 when it names none of the set.
    qint32 find(const QString& path) const;

private:
    QHash<QPair<quint64, quint64>, qint32> m_files;  // device and inode
    QHash<QString, qint32> m_paths;
};
