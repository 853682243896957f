#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    return WriteNativeFileAtomically(QFile::encodeName(path), bytes, error);
}

bool WriteNativeFileAtomically(const QByteArray& nativePath, const QByteArray& bytes, QString* error)
{
    const qsizetype slash = nativePath.lastIndexOf('/');
    const QByteArray dir = slash > 0 ? nativePath.left(slash) : slash == 0 ? QByteArray("/") : QByteArray(".");
    QByteArray tmpl;
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const int fd = CreateTempBeside(nativePath, QByteArray(), 0600, tmpl);
    if (fd < 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    // Keep the permissions of the file we replace (the temporary file is made 0600).
    struct stat st {};
    mode_t mode = 0644;
    if (::stat(nativePath.constData(), &st) == 0)
        mode = st.st_mode & 07777;
    ::fchmod(fd, mode);

    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    const QByteArray stallMarker = qgetenv("VELMARO_TEST_STALL_WRITE");
    while (left > 0) {
        const size_t chunk = stallMarker.isEmpty() ? size_t(left) : size_t(qMax<qsizetype>(1, bytes.size() / 2));
        const ssize_t n = ::write(fd, p, qMin(size_t(left), chunk));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int e = errno;
            ::close(fd);
            ::unlink(tmpl.constData());
            return fail(QString::fromLocal8Bit(std::strerror(e)));
        }
        p += n;
        left -= n;
        if (!stallMarker.isEmpty() && left > 0) {
            // Test seam: a writer that stops half-way, waiting to be killed.
            QFile marker(QFile::decodeName(stallMarker));
            marker.open(QIODevice::WriteOnly);
            marker.close();
            for (;;)
                ::pause();
        }
    }
    if (::fsync(fd) != 0) {
        const int e = errno;
        ::close(fd);
        ::unlink(tmpl.constData());
        return fail(QString::fromLocal8Bit(std::strerror(e)));
    }
    if (::close(fd) != 0) {
        const int e = errno;
        ::unlink(tmpl.constData());
        return fail(QString::fromLocal8Bit(std::strerror(e)));
    }
    if (::rename(tmpl.constData(), nativePath.constData()) != 0) {
        const int e = errno;
        ::unlink(tmpl.constData());
        return fail(QString::fromLocal8Bit(std::strerror(e)));
    }
    const int dfd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

void RemoveStaleTempFiles(const QString& path)
{
    const QFileInfo fi(path);
    QDir dir(fi.absolutePath());
    const QStringList stale =
        dir.entryList({AtomicTempPrefix(path) + u'*'}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : stale)
        dir.remove(name);
}

FileReadResult ReadRegularFile(const QByteArray& nativePath, QByteArray& bytes, QString* why)
{
    bytes.clear();
    auto unreadable = [why](const QString& reason) {
        if (why)
            *why = reason;
        return FileReadResult::Unreadable;
    };
    auto kindProblem = [](const struct stat& st) {
        if (S_ISREG(st.st_mode))
            return QString();
        return S_ISDIR(st.st_mode) ? QStringLiteral("it is a folder") : QStringLiteral("it is not a regular file");
    };
    // What the name is, before anything is opened: opening a pipe waits for a writer, and
    // opening a device may do something of its own.
    struct stat st {};
    if (::stat(nativePath.constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? FileReadResult::Missing : unreadable(systemText(errno));
    if (const QString problem = kindProblem(st); !problem.isEmpty())
        return unreadable(problem);
    // Opened without waiting, and looked at again: the name may have changed meanwhile.
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT ? FileReadResult::Missing : unreadable(systemText(errno));
    QString problem;
    if (::fstat(fd, &st) != 0)
        problem = systemText(errno);
    else
        problem = kindProblem(st);
    if (problem.isEmpty())
        bytes.reserve(qsizetype(st.st_size));
    char buffer[65536];
    while (problem.isEmpty()) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            problem = systemText(errno);
            break;
        }
        bytes.append(buffer, n);
    }
    ::close(fd);
    if (!problem.isEmpty()) {
        bytes.clear();
        return unreadable(problem);
    }
    return FileReadResult::Ok;
}
