// List file paths kept byte-exact, and the few file operations the lists do on them.
#include "lists/mdlListPaths.h"

#include "platform/TextCodec.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char16_t kEscapeBase = 0xDC00;  // byte b is kept as U+DC00 + b (b >= 0x80)

bool isEscape(QChar c)
{
    return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF;
}

// The length of the valid UTF-8 sequence at bytes[i] (1 to 4), or 0 when none starts there.
int utf8SequenceAt(const QByteArray& bytes, qsizetype i)
{
    const auto b = [&](qsizetype k) { return static_cast<unsigned char>(bytes[k]); };
    const unsigned char lead = b(i);
    if (lead < 0x80)
        return 1;
    int length = 0;
    char32_t min = 0;
    char32_t cp = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        min = 0x80;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        min = 0x800;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        min = 0x10000;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > bytes.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        if ((b(i + k) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and code points past Unicode are not UTF-8.
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

QString PathFromNative(const QByteArray& bytes)
{
    if (IsValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    QString path;
    path.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        const int n = utf8SequenceAt(bytes, i);
        if (n > 0) {
            path += QString::fromUtf8(bytes.constData() + i, n);
            i += n;
        } else {
            path += QChar(char16_t(kEscapeBase + static_cast<unsigned char>(bytes[i])));
            ++i;
        }
    }
    return path;
}

QByteArray NativePath(const QString& path)
{
    QByteArray bytes;
    bytes.reserve(path.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const QChar c = path[i];
        if (c.isHighSurrogate() && i + 1 < path.size() && path[i + 1].isLowSurrogate()) {
            ++i;  // a pair is one character of the run
            continue;
        }
        if (!isEscape(c))
            continue;
        bytes += path.mid(runStart, i - runStart).toUtf8();
        bytes += char(c.unicode() - kEscapeBase);
        runStart = i + 1;
    }
    bytes += path.mid(runStart).toUtf8();
    return bytes;
}

QString ReadablePath(const QString& path)
{
    for (QChar c : path)
        if (isEscape(c))
            return DecodeText(NativePath(path));
    return path;
}

bool IsUnusablePath(const QString& path)
{
    return path.isEmpty() || path.contains(QChar(0));
}

bool PathEntryExists(const QString& path)
{
    if (IsUnusablePath(path))
        return false;
    struct stat st {};
    return ::lstat(NativePath(path).constData(), &st) == 0;
}

int RemovePathEntry(const QString& path)
{
    if (IsUnusablePath(path))
        return EINVAL;
    if (::unlink(NativePath(path).constData()) == 0 || errno == ENOENT)
        return 0;
    return errno;
}

QStringList FolderEntryNames(const QString& folder)
{
    QStringList names;
    if (IsUnusablePath(folder))
        return names;
    DIR* dir = ::opendir(NativePath(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names << PathFromNative(name);
    }
    ::closedir(dir);
    return names;
}

QByteArray WriteTarget(const QByteArray& nativePath)
{
    QByteArray path = nativePath;
    // As many links as the system itself follows before it gives up.
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        QByteArray target(qsizetype(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
        const ssize_t n = ::readlink(path.constData(), target.data(), size_t(target.size()));
        if (n <= 0 || n >= target.size())
            return path;
        target.truncate(n);
        if (!target.startsWith('/')) {
            const qsizetype slash = path.lastIndexOf('/');
            target = (slash >= 0 ? path.left(slash + 1) : QByteArray()) + target;
        }
        path = target;
    }
    return path;
}

QString SystemErrorText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
