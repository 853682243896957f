#include "tests/support/SmallDisk.h"

#include <QFile>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

SmallDisk::~SmallDisk()
{
    if (!m_folder.isEmpty())
        ::umount2(m_folder.constData(), MNT_DETACH);
}

bool SmallDisk::mount(const QString& folder, QString& why)
{
    static const int nsError = [] {
        if (::unshare(CLONE_NEWNS) != 0)
            return errno;
        return ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 ? 0 : errno;
    }();
    if (nsError != 0) {
        why = "no mount namespace of its own: " + systemText(nsError);
        return false;
    }
    const QByteArray target = QFile::encodeName(folder);
    if (::mount("tmpfs", target.constData(), "tmpfs", 0, "size=256k") != 0) {
        why = "a tmpfs cannot be mounted: " + systemText(errno);
        return false;
    }
    m_folder = target;
    return true;
}

void SmallDisk::fill()
{
    const int fd = ::open((m_folder + "/filler").constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    QVERIFY(fd >= 0);
    const QByteArray block(4096, 'f');
    while (::write(fd, block.constData(), size_t(block.size())) > 0) {
    }
    QCOMPARE(errno, ENOSPC);
    // Bytes may still fit in the last page: fill those too.
    while (::write(fd, "f", 1) > 0) {
    }
    ::close(fd);
}

void SmallDisk::unfill()
{
    QVERIFY(::unlink((m_folder + "/filler").constData()) == 0);
}

bool SmallDisk::readOnly()
{
    return ::mount(nullptr, m_folder.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}
