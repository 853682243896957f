#include "platform/WriterLock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

WriterLock::~WriterLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool WriterLock::lockOpened(int waitMs)
{
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK || deadline.hasExpired())
            return false;
        QThread::msleep(10);
    }
}

bool WriterLock::take(const QString& path, int waitMs, QString& why)
{
    const QByteArray native = QFile::encodeName(path);
    m_fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0644);
    if (m_fd < 0) {
        why = QStringLiteral("its lock %1 cannot be opened: %2").arg(path, systemText(errno));
        return false;
    }
    struct stat st {};
    if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = QStringLiteral("its lock %1 is not a file").arg(path);
        return false;
    }
    if (lockOpened(waitMs))
        return true;
    if (errno != EWOULDBLOCK)
        why = QStringLiteral("its lock %1 cannot be taken: %2").arg(path, systemText(errno));
    else
        why = QStringLiteral("another writer holds its lock %1").arg(path);
    return false;
}

WriterLock::Folder WriterLock::takeFolder(const QByteArray& nativeFolder, int waitMs, int* error)
{
    m_fd = ::open(nativeFolder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0) {
        if (error)
            *error = errno;
        return Folder::Unopenable;
    }
    if (lockOpened(waitMs))
        return Folder::Taken;
    if (error)
        *error = errno;
    return errno == EWOULDBLOCK ? Folder::Busy : Folder::Unopenable;
}
