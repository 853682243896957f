#include "common/mdlFileIdentity.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString cleanPath(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

void FileSet::clear()
{
    m_files.clear();
    m_paths.clear();
}

void FileSet::add(const QString& path, qint32 key)
{
    if (path.isEmpty() || key <= 0)
        return;
    const FileIdentity id = ReadFileIdentity(path);
    if (id.exists && !m_files.contains({id.device, id.inode}))
        m_files.insert({id.device, id.inode}, key);
    const QString clean = cleanPath(path);
    if (!m_paths.contains(clean))
        m_paths.insert(clean, key);
}

qint32 FileSet::find(const QString& path) const
{
    if (path.isEmpty())
        return 0;
    const FileIdentity id = ReadFileIdentity(path);
    if (id.exists) {
        if (const qint32 key = m_files.value({id.device, id.inode}))
            return key;
    }
    return m_paths.value(cleanPath(path));
}
