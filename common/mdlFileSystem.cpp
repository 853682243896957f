#include "common/mdlFileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <cmath>

namespace {

// The files (not folders) the path names; as a pattern, every file of its folder that
// matches its last part.
QStringList matchingFiles(const QString& path, NameMatch match)
{
    if (path.isEmpty())
        return {};
    const QFileInfo fi(path);
    if (match == NameMatch::Exact)
        return fi.isFile() ? QStringList{path} : QStringList{};
    QDir dir(fi.path());
    QStringList out;
    const auto entries = dir.entryInfoList({fi.fileName()}, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& e : entries)
        out.append(e.filePath());
    return out;
}

} // namespace

bool KillFile(const QString& path, NameMatch match)
{
    const QStringList files = matchingFiles(path, match);
    if (files.isEmpty())
        return false;
    bool ok = true;
    for (const QString& f : files)
        ok = QFile::remove(f) && ok;
    return ok;
}

bool FileExists(const QString& path, NameMatch match)
{
    return !matchingFiles(path, match).isEmpty();
}

QString FormatSizeNumber(double value)
{
    const QLocale loc;
    if (value >= 100)
        return loc.toString(std::nearbyint(value), 'f', 0).remove(loc.groupSeparator());
    if (value >= 10)
        return loc.toString(value, 'f', 1);
    return loc.toString(value, 'f', 2);
}

QString FormatFileSize(double size)
{
    if (size <= 999)
        return QLocale().toString(std::round(size), 'f', 0).remove(QLocale().groupSeparator()) + QStringLiteral(" bytes");
    static const char* const units[] = {" KB", " MB", " GB", " TB", " PB", " EB", " ZB"};
    for (int k = 1; k <= 7; ++k) {
        const double scale = std::pow(1024.0, k);
        if (size <= 999 * scale)
            return FormatSizeNumber(size / scale) + QLatin1String(units[k - 1]);
    }
    return FormatSizeNumber(size / std::pow(1024.0, 8)) + QStringLiteral(" YB");
}
