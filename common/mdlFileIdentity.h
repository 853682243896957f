// A set of files looked up by any path that names one of them (a link, or another
// spelling of the same path).
#pragma once

#include "platform/FileIdentity.h"

#include <QHash>
#include <QPair>
#include <QString>

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
