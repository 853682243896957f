#include "tags/id3/Id3File.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kCopyBlock = 1 << 20;

// Writes all bytes at the descriptor's position; returns 0 or the errno of the failure.
int WriteAll(int fd, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += n;
        size -= n;
    }
    return 0;
}

} // namespace

Id3File::Id3File(const QString& path, Mode mode, const QString& source)
    : m_path(path), m_source(source)
{
    const QByteArray name = QFile::encodeName(path);
    // Non-blocking so that a named pipe cannot hang the open; only regular files are used.
    const int flags = (mode == ReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK;
    do {
        m_fd = path.isEmpty() ? (errno = ENOENT, -1) : ::open(name.constData(), flags);
    } while (m_fd < 0 && errno == EINTR);
    if (m_fd < 0)
        Raise(errno, QStringLiteral("Cannot open"));
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        Raise(errno, QStringLiteral("Cannot open"));
    if (!S_ISREG(st.st_mode))
        Raise(S_ISDIR(st.st_mode) ? EISDIR : EINVAL, QStringLiteral("Cannot open"));
    ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) & ~O_NONBLOCK);
}

Id3File::~Id3File()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void Id3File::Raise(int code, const QString& what) const
{
    const Id3Error error = Id3FileError(code, what, m_path, m_source);
    throw error;
}

qint64 Id3File::Size() const
{
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        Raise(errno, QStringLiteral("Cannot read"));
    return qint64(st.st_size);
}

QByteArray Id3File::ReadAt(qint64 offset, qint64 count) const
{
    QByteArray out;
    if (count <= 0 || offset < 0)
        return out;
    const qint64 size = Size();
    if (offset >= size)
        return out;
    count = qMin(count, size - offset);
    out.resize(count);
    qint64 done = 0;
    while (done < count) {
        const ssize_t n = ::pread(m_fd, out.data() + done, size_t(count - done), off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Raise(errno, QStringLiteral("Cannot read"));
        }
        if (n == 0)
            break;
        done += n;
    }
    out.truncate(done);
    return out;
}

void Id3File::WriteAt(qint64 offset, const QByteArray& bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(m_fd, bytes.constData() + done, size_t(bytes.size() - done), off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Raise(errno, QStringLiteral("Cannot write"));
        }
        done += n;
    }
}

void Id3File::Sync()
{
    if (::fsync(m_fd) != 0)
        Raise(errno, QStringLiteral("Cannot write"));
}

bool Id3File::Truncate(qint64 length)
{
    int rc;
    do {
        rc = ::ftruncate(m_fd, off_t(length));
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

void ReplaceFileStart(Id3File& file, const QByteArray& head, qint64 from)
{
    // Through a symbolic link the file it points at is replaced, so the link stays a link.
    QString target = QFileInfo(file.Path()).canonicalFilePath();
    if (target.isEmpty())
        target = QFileInfo(file.Path()).absoluteFilePath();
    const QFileInfo targetInfo(target);
    QByteArray tmpl = QFile::encodeName(targetInfo.absolutePath() + QStringLiteral("/.")
                                        + targetInfo.fileName() + QStringLiteral(".id3-XXXXXX"));

    const int tmp = ::mkstemp(tmpl.data());
    if (tmp < 0)
        file.Raise(errno, QStringLiteral("Cannot write a temporary file beside"));
    auto fail = [&](int code, const QString& what) {
        ::close(tmp);
        ::unlink(tmpl.constData());
        file.Raise(code, what);
    };

    struct stat st {};
    if (::fstat(file.Handle(), &st) == 0) {
        // The copy keeps the owner where allowed and the permission bits always.
        if (::fchown(tmp, st.st_uid, st.st_gid) != 0) {
            // Not the owner: the file becomes ours, as any rewrite by this user would.
        }
        ::fchmod(tmp, st.st_mode & 07777);
    }

    if (const int e = WriteAll(tmp, head.constData(), head.size()))
        fail(e, QStringLiteral("Cannot write a temporary file beside"));
    struct stat sizes {};
    const qint64 rest = ::fstat(file.Handle(), &sizes) == 0 ? qint64(sizes.st_size) - from : kCopyBlock;
    QByteArray block(qBound(qint64(4096), rest, kCopyBlock), Qt::Uninitialized);
    for (qint64 pos = from;;) {
        const ssize_t n = ::pread(file.Handle(), block.data(), size_t(block.size()), off_t(pos));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno, QStringLiteral("Cannot read"));
        }
        if (n == 0)
            break;
        if (const int e = WriteAll(tmp, block.constData(), n))
            fail(e, QStringLiteral("Cannot write a temporary file beside"));
        pos += n;
    }
    if (::fsync(tmp) != 0)
        fail(errno, QStringLiteral("Cannot write a temporary file beside"));
    if (::close(tmp) != 0) {
        const int e = errno;
        ::unlink(tmpl.constData());
        file.Raise(e, QStringLiteral("Cannot write a temporary file beside"));
    }
    if (::rename(tmpl.constData(), QFile::encodeName(target).constData()) != 0) {
        const int e = errno;
        ::unlink(tmpl.constData());
        file.Raise(e, QStringLiteral("Cannot replace"));
    }
    const int dir = ::open(QFile::encodeName(targetInfo.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}
