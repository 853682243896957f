// What both fuzz targets share: the input written as a file in a folder of this process
// (under TMPDIR; the run script points it at memory), and a check that stops the run.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>
#include <cstring>
#include <cstdlib>

namespace Fuzz {

inline QString Folder()
{
    static const QString folder = [] {
        QByteArray tmpl = QFile::encodeName(QDir::tempPath() + QStringLiteral("/velmaro-fuzz-XXXXXX"));
        if (!::mkdtemp(tmpl.data()))
            std::abort();
        return QFile::decodeName(tmpl);
    }();
    return folder;
}

// The input as the file "input.mp3" of the folder.
inline QString WriteInput(const uint8_t* data, size_t size)
{
    const QString path = Folder() + QStringLiteral("/input.mp3");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || f.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        std::abort();
    return path;
}

inline QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        std::abort();
    return f.readAll();
}

// A broken promise of the tag classes: reported and turned into a crash the fuzzer keeps.
#define FUZZ_CHECK(condition)                                                                            \
    do {                                                                                                 \
        if (!(condition)) {                                                                              \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);          \
            std::abort();                                                                                \
        }                                                                                                \
    } while (0)

// A text made from input bytes (as UTF-8), for the setters.
inline QString TextFrom(const uint8_t* data, size_t size, size_t at, size_t length)
{
    if (at >= size)
        return QString();
    return QString::fromUtf8(reinterpret_cast<const char*>(data) + at, qsizetype(qMin(length, size - at)));
}

} // namespace Fuzz
