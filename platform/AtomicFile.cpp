#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString AtomicTempPrefix(const QString& path)
{
    const QFileInfo fi(path);
    return QStringLiteral(".") + fi.fileName() + QStringLiteral(".tmp-");
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    return WriteNativeFileAtomically(QFile::encodeName(path), bytes, error);
}

bool WriteNativeFileAtomically(const QByteArray& nativePath, const QByteArray& bytes, QString* error)
{
    const qsizetype slash = nativePath.lastIndexOf('/');
    const QByteArray dir = slash > 0 ? nativePath.left(slash) : slash == 0 ? QByteArray("/") : QByteArray(".");
    const QByteArray name = nativePath.mid(slash + 1);
    QByteArray tmpl = dir + (dir.endsWith('/') ? "" : "/") + "." + name + ".tmp-XXXXXX";
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    // Keep the permissions of the file we replace (mkstemp makes it 0600).
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
