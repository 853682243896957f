// The common dialogs over the dialog service.
#include "common/mdlCommDialog.h"

#include "common/mdlFunctions.h"
#include "common/mdlUserSettings.h"
#include "platform/DialogService.h"
#include "platform/Services.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kPathSection = QStringLiteral("path");
const QString kLastPathKey = QStringLiteral("last_path");

// The folder part of a chosen path, without the final "/" (the root stays "/").
QString folderOf(const QString& path)
{
    const int slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return QString();
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}

// The deepest folder holding every one of the files (full paths), without a final "/"
// (the root stays "/").
QString commonFolderOf(const QStringList& files)
{
    QStringList common = folderOf(files.first()).split(u'/', Qt::SkipEmptyParts);
    for (const QString& f : files) {
        const QStringList parts = folderOf(f).split(u'/', Qt::SkipEmptyParts);
        qsizetype n = 0;
        while (n < common.size() && n < parts.size() && common[n] == parts[n])
            ++n;
        common.resize(n);
    }
    return u'/' + common.join(u'/');
}

} // namespace

QString QtFilterFromOfn(const QString& filter)
{
    if (!filter.contains(QChar(0)))
        return filter;
    QStringList pieces = filter.split(QChar(0));
    QStringList out;
    for (int i = 0; i + 1 < pieces.size(); i += 2) {
        QString desc = pieces[i].trimmed();
        QStringList patterns;
        for (QString p : pieces[i + 1].split(u';')) {
            p = p.trimmed();
            if (p.isEmpty())
                continue;
            patterns << (p == QLatin1String("*.*") ? QStringLiteral("*") : p);
        }
        if (desc.isEmpty() && patterns.isEmpty())
            continue;
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        // The description's own "(*.wav)" gives way to the patterns in Qt's form.
        if (desc.endsWith(u')')) {
            const int open = desc.lastIndexOf(u'(');
            if (open >= 0)
                desc = desc.left(open).trimmed();
        }
        const QString group = u'(' + patterns.join(u' ') + u')';
        out << (desc.isEmpty() ? group : desc + u' ' + group);
    }
    return out.join(QStringLiteral(";;"));
}

QString BrowseForFolder(const QString& Prompt, const QString& InitialFolder, QWidget* Owner, bool, const QString&,
                        bool, bool)
{
    return Services::dialogs().getExistingDirectory(Owner, Prompt, InitialFolder);
}

FileDialogResult ShowOpen(QWidget* Owner, bool CenterOnOwner)
{
    g_OFN.lpstrInitialDir = GetSetting(kCommDialogAppName, kPathSection, kLastPathKey, QDir::homePath());

    FileRequest r;
    r.owner = Owner;
    r.title = g_OFN.lpstrTitle;
    r.filter = QtFilterFromOfn(g_OFN.lpstrFilter);
    r.initialPath = g_OFN.lpstrInitialDir;
    r.multiSelect = true;
    r.centreOnOwner = CenterOnOwner;
    const QStringList files = Services::dialogs().getOpenFileNames(r);

    FileDialogResult res;
    if (files.isEmpty())
        return res;
    g_OFN.lpstrFile = files.first();
    if (files.size() == 1) {
        const QString& path = files.first();
        const int slash = path.lastIndexOf(u'/');
        res.FolderName = slash < 0 ? QString() : path.left(slash);
        res.FileNames = QStringList{path, path.mid(slash + 1)};
        // A file chosen alone is where the next open dialog starts.
        SaveSetting(kCommDialogAppName, kPathSection, kLastPathKey, path);
    } else {
        // Every chosen name is kept, however many there are. Files of one folder give
        // that folder and their names; files the desktop's dialog gathered from several
        // folders give the folder holding them all and their paths below it, so that the
        // folder, "/" and a name always make the file's full path.
        res.FolderName = commonFolderOf(files);
        const qsizetype skip = res.FolderName.size() + (res.FolderName.endsWith(u'/') ? 0 : 1);
        res.FileNames << res.FolderName;
        for (const QString& f : files)
            res.FileNames << f.mid(skip);
    }
    res.FileCount = qint32(files.size());
    res.Cancelled = false;
    return res;
}

FileDialogResult ShowSave(QWidget* Owner, const QString& InitialName, bool CenterOnOwner)
{
    QString folder = g_OFN.lpstrInitialDir;
    if (!folder.isEmpty() && !IsFolder(folder))
        folder = folderOf(folder);
    if (folder.isEmpty())
        folder = QDir::homePath();
    QString start = folder;
    if (!InitialName.isEmpty())
        start = QDir::isAbsolutePath(InitialName) ? InitialName : QDir(folder).filePath(InitialName);

    FileRequest r;
    r.owner = Owner;
    r.title = g_OFN.lpstrTitle;
    r.filter = QtFilterFromOfn(g_OFN.lpstrFilter);
    r.initialPath = start;
    r.defaultSuffix = g_OFN.lpstrDefExt;
    r.confirmOverwrite = true;
    r.centreOnOwner = CenterOnOwner;
    const QString path = Services::dialogs().getSaveFileName(r);

    FileDialogResult res;
    if (path.isEmpty())
        return res;
    g_OFN.lpstrFile = path;
    res.FolderName = GetFolder(path);
    res.FileNames = QStringList{path, path};
    res.FileCount = 1;
    res.Cancelled = false;
    return res;
}

QList<QColor> InitialCustomColours()
{
    QList<QColor> c{QColor(139, 155, 184), QColor(188, 213, 254), QColor(115, 172, 183), QColor(200, 249, 198),
                    QColor(189, 194, 253), QColor(200, 249, 255), QColor(108, 213, 210), QColor(236, 164, 236)};
    while (c.size() < 16)
        c << QColor(160, 160, 160);
    return c;
}

QList<QColor>& CustomColours()
{
    static QList<QColor> colours = InitialCustomColours();
    return colours;
}

ColorDialogResult ShowColor(QWidget* Owner, bool CenterOnOwner)
{
    ColorDialogResult res;
    const std::optional<QColor> c =
        Services::dialogs().getColor(Owner, QColor(255, 255, 255), CustomColours(), CenterOnOwner);
    if (!c)
        return res;
    res.Color = qint32(c->red() | (c->green() << 8) | (c->blue() << 16));
    res.Cancelled = false;
    return res;
}
