#include "tags/id3/Id3File.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kCopyBlock = 1 << 20;

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

void Id3File::Extend(qint64 count)
{
    const qint64 size = Size();
    int rc;
    do {
        rc = ::fallocate(m_fd, 0, off_t(size), off_t(count));
    } while (rc != 0 && errno == EINTR);
    if (rc == 0)
        return;
    const int error = errno;
    if (error == EOPNOTSUPP || error == ENOSYS) {
        // A file system without fallocate: zero bytes written take the room as well.
        try {
            const QByteArray zeros(qMin(count, kCopyBlock), '\0');
            for (qint64 done = 0; done < count; done += zeros.size())
                WriteAt(size + done, zeros.first(qMin(qint64(zeros.size()), count - done)));
            return;
        } catch (const Id3Error&) {
            Truncate(size);
            throw;
        }
    }
    Truncate(size);
    Raise(error, QStringLiteral("Cannot write"));
}

void ReplaceFileStart(Id3File& file, const QByteArray& head, qint64 oldLength)
{
    const qint64 size = file.Size();
    const qint64 grow = head.size() - oldLength;
    const QByteArray oldStart = file.ReadAt(0, oldLength);
    if (grow > 0)
        file.Extend(grow);

    // The bytes after the old start move up from the last block backwards, so none is
    // written over before it has been moved. `moved`: the bytes from there to the old end
    // already stand `grow` bytes further on.
    qint64 moved = size;
    QByteArray block;
    qint64 blockAt = -1;
    try {
        while (grow > 0 && moved > oldLength) {
            const qint64 from = qMax(oldLength, moved - kCopyBlock);
            block = file.ReadAt(from, moved - from);
            blockAt = from;
            file.WriteAt(from + grow, block);
            moved = from;
            blockAt = -1;
        }
        file.WriteAt(0, head);
        file.Sync();
    } catch (const Id3Error&) {
        // Everything goes back where it was, as far as the disk still takes writes; the
        // file is cut back to its old length only once all of it is back.
        try {
            if (blockAt >= 0)
                file.WriteAt(blockAt, block);
            for (qint64 at = moved; at < size; at += kCopyBlock)
                file.WriteAt(at, file.ReadAt(at + grow, qMin(kCopyBlock, size - at)));
            file.WriteAt(0, oldStart);
            if (grow > 0)
                file.Truncate(size);
        } catch (const Id3Error&) {
        }
        throw;
    }
}
