#include "platform/FileIdentity.h"

#include <QFile>

#include <sys/stat.h>

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
    return path.isEmpty() ? FileIdentity() : ReadFileIdentityNative(QFile::encodeName(path));
}

FileIdentity ReadFileIdentityNative(const QByteArray& path)
{
    FileIdentity id;
    struct stat st {};
    if (path.isEmpty() || ::stat(path.constData(), &st) != 0)
        return id;
    id.exists = true;
    id.device = quint64(st.st_dev);
    id.inode = quint64(st.st_ino);
    id.size = qint64(st.st_size);
    id.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return id;
}
