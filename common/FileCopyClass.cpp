// The chunked file copy, written beside the destination and renamed into place.
#include "common/FileCopyClass.h"

#include "platform/FileIdentity.h"
#include "platform/TempFiles.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

QString systemText(int e)
{
    return QString::fromLocal8Bit(std::strerror(e));
}

// Reads up to n bytes, less only at the end of the file; -1 on error.
qint64 readFull(int fd, char* p, qint64 n)
{
    qint64 got = 0;
    while (got < n) {
        const ssize_t r = ::read(fd, p + got, size_t(n - got));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (r == 0)
            break;
        got += r;
    }
    return got;
}

bool writeFull(int fd, const char* p, qint64 n)
{
    while (n > 0) {
        const ssize_t w = ::write(fd, p, size_t(n));
        if (w < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += w;
        n -= w;
    }
    return true;
}

} // namespace

bool FileCopyClass::fail(const QString& why)
{
    m_successful = false;
    m_error = why;
    return false;
}

void FileCopyClass::Copy(const QString& SourceFile, const QString& Destination)
{
    m_successful = false;
    m_sameFile = false;
    m_error.clear();
    qint64 c = m_cacheSize > 0 ? m_cacheSize : 32000;

    const QByteArray src = QFile::encodeName(SourceFile);
    const QByteArray dst = QFile::encodeName(Destination);
    struct stat ss {};
    if (SourceFile.isEmpty() || ::stat(src.constData(), &ss) != 0 || !S_ISREG(ss.st_mode)) {
        fail(QStringLiteral("The file '%1' cannot be found.").arg(SourceFile));
        return;
    }
    struct stat ds {};
    const bool destExists = !Destination.isEmpty() && ::stat(dst.constData(), &ds) == 0;
    const FileIdentity chosen = destExists ? ReadFileIdentityNative(dst) : FileIdentity();
    if (destExists && ds.st_dev == ss.st_dev && ds.st_ino == ss.st_ino) {
        m_sameFile = true;
        fail(QStringLiteral("The file '%1' cannot be copied onto itself.").arg(SourceFile));
        return;
    }
    if (Destination.isEmpty() || (destExists && S_ISDIR(ds.st_mode))) {
        fail(QStringLiteral("'%1' is a folder, not a file name.").arg(Destination));
        return;
    }
    const QString failedText = QStringLiteral("The file '%1' could not be copied to '%2': ").arg(SourceFile, Destination);

    QElapsedTimer clock;
    clock.start();
    const int in = ::open(src.constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        fail(failedText + systemText(errno));
        return;
    }
    // The copy is written beside the destination and takes its name only when complete.
    QByteArray tmp;
    const int out =
        CreateTempBeside(QFile::encodeName(QFileInfo(Destination).absoluteFilePath()), QByteArray(), 0600, tmp);
    if (out < 0) {
        const int e = errno;
        ::close(in);
        fail(failedText + systemText(e));
        return;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(out, destExists ? (ds.st_mode & 07777) : (ss.st_mode & 0777 & ~mask));

    auto abandon = [&](const QString& why) {
        ::close(in);
        ::close(out);
        ::unlink(tmp.constData());
        fail(why);
    };

    struct stat now {};
    if (::fstat(in, &now) != 0) {
        abandon(failedText + systemText(errno));
        return;
    }
    const qint64 length = now.st_size;
    const QString changed = QStringLiteral("The file '%1' changed while it was being copied.").arg(SourceFile);
    if (length < c) {
        // A short source goes in one read and one write.
        QByteArray all(length, Qt::Uninitialized);
        const qint64 got = readFull(in, all.data(), length);
        if (got < 0) {
            abandon(failedText + systemText(errno));
            return;
        }
        if (got != length) {
            abandon(changed);
            return;
        }
        if (!writeFull(out, all.constData(), length)) {
            abandon(failedText + systemText(errno));
            return;
        }
    } else {
        QByteArray pending;
        pending.reserve(2 * c);
        QByteArray chunk(c, Qt::Uninitialized);
        qint64 readSoFar = 0;
        qint64 written = 0;
        while (readSoFar < length) {
            const qint64 got = readFull(in, chunk.data(), c);
            if (got < 0) {
                abandon(failedText + systemText(errno));
                return;
            }
            if (got != c) {
                abandon(changed);
                return;
            }
            readSoFar += got;
            pending.append(chunk.constData(), got);
            if (pending.size() >= 2 * c) {
                if (!writeFull(out, pending.constData(), pending.size())) {
                    abandon(failedText + systemText(errno));
                    return;
                }
                written += pending.size();
                pending.clear();
            }
            m_percent = static_cast<qint16>(std::nearbyint(100.0 * double(written) / double(length)));
            QCoreApplication::processEvents();
            if (length - readSoFar < c)
                c = length - readSoFar;
        }
        if (!pending.isEmpty() && !writeFull(out, pending.constData(), pending.size())) {
            abandon(failedText + systemText(errno));
            return;
        }
    }
    // Nothing more may be in the source than was copied.
    char extra = 0;
    const qint64 more = readFull(in, &extra, 1);
    if (more != 0) {
        abandon(more < 0 ? failedText + systemText(errno) : changed);
        return;
    }
    // The data must be on the disk before the copy takes the destination's name. That
    // can take seconds for a large file, so the event loop keeps turning meanwhile.
    std::atomic<bool> synced{false};
    int syncErrno = 0;
    std::thread syncer([&] {
        if (::fsync(out) != 0)
            syncErrno = errno;
        synced.store(true);
    });
    while (!synced.load()) {
        QCoreApplication::processEvents();
        if (!synced.load())
            ::usleep(2000);
    }
    syncer.join();
    if (syncErrno != 0) {
        abandon(failedText + systemText(syncErrno));
        return;
    }
    ::close(in);
    if (::close(out) != 0) {
        const int e = errno;
        ::unlink(tmp.constData());
        fail(failedText + systemText(e));
        return;
    }
    // The file that was there when the copy began was chosen to be replaced; one that
    // took the name meanwhile is left as it is.
    if (!ReplaceAgreedFile(tmp, dst, chosen)) {
        const int e = errno;
        ::unlink(tmp.constData());
        fail(failedText + (e == EEXIST ? QStringLiteral("a file of that name appeared while it was being "
                                                                       "copied, and it is left as it is")
                                                      : systemText(e)));
        return;
    }
    m_successful = true;
    m_secondsTaken = static_cast<qint32>(std::nearbyint(clock.elapsed() / 1000.0));
}
