#include "platform/TempFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The first line of a small file under /proc; empty when it cannot be read.
QByteArray readProcLine(const QByteArray& path, int* error = nullptr)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = errno;
        return QByteArray();
    }
    char buffer[1024];
    const ssize_t n = ::read(fd, buffer, sizeof buffer - 1);
    ::close(fd);
    if (n <= 0) {
        if (error)
            *error = n < 0 ? errno : EIO;
        return QByteArray();
    }
    QByteArray line(buffer, n);
    const qsizetype end = line.indexOf('\n');
    return end >= 0 ? line.left(end) : line;
}

// The first eight characters of the boot id, or "00000000" where the system keeps none.
QByteArray bootTag()
{
    static const QByteArray tag = [] {
        const QByteArray id = readProcLine("/proc/sys/kernel/random/boot_id").left(8).toLower();
        static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{8}$"));
        return hex.match(QString::fromLatin1(id)).hasMatch() ? id : QByteArray("00000000");
    }();
    return tag;
}

struct ProcessState {
    enum Kind { Running, Gone, Unknown } kind = Unknown;
    quint64 start = 0;
};

// Whether process pid runs, and since when. A zombie has stopped writing for good.
ProcessState processState(qint64 pid)
{
    ProcessState s;
    int error = 0;
    const QByteArray stat = readProcLine("/proc/" + QByteArray::number(pid) + "/stat", &error);
    if (stat.isEmpty()) {
        if (error == ENOENT || (::kill(pid_t(pid), 0) != 0 && errno == ESRCH))
            s.kind = ProcessState::Gone;
        return s;
    }
    // After the command name in parentheses (which may hold anything): the state, then the
    // start time as the 20th field.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 1).simplified().split(' ');
    if (fields.size() < 20)
        return s;
    bool ok = false;
    s.start = fields[19].toULongLong(&ok);
    if (!ok)
        return s;
    s.kind = fields[0] == "Z" || fields[0] == "X" ? ProcessState::Gone : ProcessState::Running;
    return s;
}

// Whether the writer a temporary file is named for is certainly gone.
bool writerGone(qint64 pid, quint64 start, const QByteArray& boot)
{
    if (boot != bootTag() && bootTag() != "00000000")
        return true;  // written before the machine last started
    const ProcessState now = processState(pid);
    return now.kind == ProcessState::Gone || (now.kind == ProcessState::Running && now.start != start);
}

QByteArray folderOf(const QByteArray& nativePath)
{
    const qsizetype slash = nativePath.lastIndexOf('/');
    return slash > 0 ? nativePath.left(slash) : slash == 0 ? QByteArray("/") : QByteArray(".");
}

} // namespace

QByteArray ShortTempPrefixNative(const QByteArray& fileName)
{
    constexpr qsizetype kMaxBytes = 40;
    qsizetype cut = std::min(fileName.size(), kMaxBytes - 1);
    // Never inside a character: a UTF-8 sequence's continuation bytes are 10xxxxxx.
    if (cut < fileName.size())
        while (cut > 0 && (uchar(fileName.at(cut)) & 0xC0) == 0x80)
            --cut;
    return '.' + fileName.left(cut);
}

QString ShortTempPrefix(const QString& fileName)
{
    return QFile::decodeName(ShortTempPrefixNative(QFile::encodeName(fileName)));
}

QString AtomicTempPrefix(const QString& path)
{
    return ShortTempPrefix(QFileInfo(path).fileName()) + QStringLiteral(".tmp-");
}

QByteArray TempWriterTag()
{
    const pid_t pid = ::getpid();
    const ProcessState self = processState(pid);
    return QByteArray::number(qint64(pid)) + '-' + QByteArray::number(self.start, 36) + '-' + bootTag();
}

int CreateTempBeside(const QByteArray& nativePath, const QByteArray& ending, mode_t mode, QByteArray& tempPath)
{
    const QByteArray folder = folderOf(nativePath);
    RemoveLeftoverTempFiles(folder);
    const QByteArray name = nativePath.mid(nativePath.lastIndexOf('/') + 1);
    const QByteArray start = folder + (folder.endsWith('/') ? "" : "/") + ShortTempPrefixNative(name) + ".tmp-" +
                             TempWriterTag() + '-';
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray candidate = start;
        for (int i = 0; i < 6; ++i)
            candidate += kChars[QRandomGenerator::global()->bounded(62)];
        candidate += ending;
        const int fd = ::open(candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            tempPath = candidate;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    errno = EEXIST;
    return -1;
}

void RemoveLeftoverTempFiles(const QByteArray& nativeFolder)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\..*\\.tmp-([0-9]{1,10})-([0-9a-z]{1,13})-([0-9a-f]{8})-[A-Za-z0-9]{6}(?:\\.[a-z]{1,8})?$"),
        QRegularExpression::DotMatchesEverythingOption);
    DIR* dir = ::opendir(nativeFolder.constData());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (!name.startsWith('.') || !name.contains(".tmp-"))
            continue;
        // Latin-1 keeps every byte of the name as one character.
        const QRegularExpressionMatch m = pattern.match(QString::fromLatin1(name));
        if (!m.hasMatch())
            continue;
        bool ok = false;
        const qint64 pid = m.captured(1).toLongLong(&ok);
        const quint64 start = m.captured(2).toULongLong(nullptr, 36);
        if (!ok || pid <= 0 || pid > 0x7fffffff)
            continue;
        struct stat st {};
        if (::fstatat(dirFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (writerGone(pid, start, m.captured(3).toLatin1()))
            ::unlinkat(dirFd, name.constData(), 0);
    }
    ::closedir(dir);
}

bool RenameIntoPlace(const QByteArray& temp, const QByteArray& target, bool replace)
{
    if (replace)
        return ::rename(temp.constData(), target.constData()) == 0;
    if (::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    // A file system that does not take the flag: a second name for the file is made only
    // where there is none, then the temporary name goes.
    if (::link(temp.constData(), target.constData()) == 0) {
        ::unlink(temp.constData());
        return true;
    }
    if (errno != EPERM && errno != EOPNOTSUPP && errno != ENOSYS)
        return false;
    // Nor links (some foreign file systems): the name is looked at just before the rename,
    // which is as near as such a file system lets the check come.
    struct stat st {};
    if (::lstat(target.constData(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(temp.constData(), target.constData()) == 0;
}

bool ReplaceAgreedFile(const QByteArray& temp, const QByteArray& target, const FileIdentity& agreed)
{
    if (!agreed.exists)
        return RenameIntoPlace(temp, target, false);
    // The two names swap their files in one step, so no file that took the name since is
    // ever lost: the one now under the temporary name is removed when it is the agreed
    // file, and swapped back otherwise.
    if (::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, target.constData(), RENAME_EXCHANGE) == 0) {
        if (ReadFileIdentityNative(temp) == agreed) {
            ::unlink(temp.constData());
            return true;
        }
        ::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, target.constData(), RENAME_EXCHANGE);
        errno = EEXIST;
        return false;
    }
    if (errno == ENOENT)
        return RenameIntoPlace(temp, target, false);  // the agreed file is gone: the name is free
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    // A file system that cannot swap two names: the name is looked at just before the
    // rename, which is as near as it lets the check come.
    const FileIdentity there = ReadFileIdentityNative(target);
    if (!there.exists)
        return RenameIntoPlace(temp, target, false);
    if (there != agreed) {
        errno = EEXIST;
        return false;
    }
    return ::rename(temp.constData(), target.constData()) == 0;
}
