#include "common/mdlFileIdentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

QString cleanPath(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

bool FileIdentity::SameFileAs(const FileIdentity& other) const
{
    return exists && other.exists && device == other.device && inode == other.inode;
}

bool FileIdentity::operator==(const FileIdentity& other) const
{
    if (!exists || !other.exists)
        return exists == other.exists;
    return SameFileAs(other) && size == other.size && modifiedNs == other.modifiedNs;
}

FileIdentity ReadFileIdentity(const QString& path)
{
    FileIdentity id;
    struct stat st {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return id;
    id.exists = true;
    id.device = quint64(st.st_dev);
    id.inode = quint64(st.st_ino);
    id.size = qint64(st.st_size);
    id.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return id;
}

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
