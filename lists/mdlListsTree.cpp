// The tree of items lists: keys, new-list names, the tree's rebuild and list file renames.
#include "lists/mdlListsTree.h"

#include "common/mdlModes.h"
#include "common/mdlFunctions.h"
#include "components/cAudioCDRipper/cAudioCDRipper.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/mdlListPaths.h"
#include "platform/TempFiles.h"
#include "platform/WriterLock.h"

#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool IsMainNode(const QString& sStr)
{
    return sStr.startsWith(QLatin1String("##MAIN"));
}

bool IsCDNode(const QString& sStr)
{
    return sStr.startsWith(QLatin1String("##CD"));
}

QString GetCDNameNode(const QString& sStr)
{
    return sStr.mid(4, 2);
}

bool IsListNode(const cTreeItem* node)
{
    return node && !node->Key().isEmpty() && !IsMainNode(node->Key()) && !IsCDNode(node->Key());
}

QString NewItemsListName(const QString& folder)
{
    for (qint64 n = 1;; ++n) {
        const QString name = QStringLiteral("New Items List ") + QString::number(n) + QStringLiteral(".flst");
        // Anything of that name (a folder too) is taken: the new file must not replace it.
        if (!PathEntryExists(folder + name))
            return name;
    }
}

bool CreateEmptyListFile(const QString& path, QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (IsUnusablePath(path))
        return fail(path.isEmpty() ? QStringLiteral("the list has no file") : QStringLiteral("its name holds a NUL character"));
    const int fd = ::open(NativePath(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return fail(SystemErrorText(errno));
    ::close(fd);
    return true;
}

namespace {

// A normal file: a regular file (or a link to one) whose name does not begin with ".".
bool isNormalFile(const QString& folder, const QString& name)
{
    if (name.startsWith(u'.'))
        return false;
    struct stat st {};
    return ::stat(NativePath(folder + name).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

// The temporary file of a list save by an earlier version, which named no writer: "." +
// the list's file name + ".tmp-" + six characters.
bool isListSaveTemp(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^\\..*\\.flst.*\\.tmp-[A-Za-z0-9]{6}$"),
                                            QRegularExpression::DotMatchesEverythingOption);
    return pattern.match(name).hasMatch();
}

} // namespace

QStringList ListFileNames(const QString& folder)
{
    QStringList lists;
    for (const QString& name : FolderEntryNames(folder))
        if (name.contains(QLatin1String(".flst")) && isNormalFile(folder, name))
            lists << name;
    std::sort(lists.begin(), lists.end());
    return lists;
}

QString ListNodeText(const QString& fileName)
{
    return GetNameNoExt(ReadablePath(fileName));
}

void RemoveStaleListSaves(const QString& folder)
{
    // Saves name their writer: those whose writer is gone are removed, and no other.
    RemoveLeftoverTempFiles(NativePath(folder));
    // Another copy sharing the folder may be saving a list right now: its temporary file
    // is in use while it holds the folder's lock, and is then left for a later start.
    WriterLock lock;
    if (lock.takeFolder(NativePath(folder), 0) == WriterLock::Folder::Busy)
        return;
    const QStringList names = FolderEntryNames(folder);
    for (const QString& name : names) {
        if (isListSaveTemp(name)) {
            RemovePathEntry(folder + name);
            continue;
        }
        // A list that is a link is saved beside the file it points to: its leftovers are there.
        if (!name.contains(QLatin1String(".flst")))
            continue;
        struct stat st {};
        if (::lstat(NativePath(folder + name).constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            continue;
        const QByteArray target = WriteTarget(NativePath(folder + name));
        const qsizetype slash = target.lastIndexOf('/');
        const QString targetFolder = PathFromNative(slash >= 0 ? target.left(slash + 1) : QByteArray("./"));
        RemoveLeftoverTempFiles(NativePath(targetFolder));
        const QString prefix = u'.' + PathFromNative(target.mid(slash + 1)) + QStringLiteral(".tmp-");
        for (const QString& other : FolderEntryNames(targetFolder))
            if (other.startsWith(prefix) && other.size() == prefix.size() + 6)
                RemovePathEntry(targetFolder + other);
    }
}

QString ListsFolderProblem(const QString& folder)
{
    if (folder.contains(QChar(0)))
        return QStringLiteral("its name holds a NUL character");
    return QString();
}

void BuildListsTree(cTreeView* tree, const QString& folder, cImageList* images, cAudioCDRipper* ripper)
{
    if (!tree)
        return;
    tree->Nodes().Clear();
    g_nodMainItems = nullptr;
    g_nodMainCDs = nullptr;

    // A folder that names no folder is never searched or created (the system would take
    // the text up to its NUL, some other folder).
    const bool usable = !folder.isEmpty() && ListsFolderProblem(folder).isEmpty();
    if (usable) {
        // Saves cut off half-way (the program killed meanwhile) left their temporary files.
        RemoveStaleListSaves(folder);
        bool anyFile = false;
        for (const QString& name : FolderEntryNames(folder))
            anyFile = anyFile || isNormalFile(folder, name);
        if (!anyFile) {
            MakePath(folder);
            CreateEmptyListFile(folder + NewItemsListName(folder));
        }
    }
    tree->SetImageList(images);

    if (lAppIncItemsLists == 1) {
        g_nodMainItems = tree->Nodes().Add(nullptr, cTreeItems::tvwLast, QStringLiteral("##MAINITEMS") + folder,
                                           QStringLiteral("Items Lists"), 17, 17);
        if (g_nodMainItems) {
            for (const QString& name : usable ? ListFileNames(folder) : QStringList())
                tree->Nodes().Add(g_nodMainItems, cTreeItems::tvwChild, folder + name, ListNodeText(name), 42, 43);
            if (g_nodMainItems->Children().Count() > 0)
                g_nodMainItems->SetItemFlag73(true);
            else
                tree->SetLabelEdit(true);
        }
    }

    if (lAppIncCDRipper == 1) {
        g_nodMainCDs = tree->Nodes().Add(nullptr, cTreeItems::tvwLast, QStringLiteral("##MAINCDS") + QStringLiteral("Audio CDs"),
                                         QStringLiteral("Audio CDs"), 71, 71);
        if (g_nodMainCDs && ripper) {
            const qint32 count = ripper->GetDeviceCount();
            for (qint32 i = 0; i < count; ++i) {
                const QString name = ripper->GetDeviceName(i);
                tree->Nodes().Add(g_nodMainCDs, cTreeItems::tvwChild, QStringLiteral("##CD") + name, name.left(2), 25, 25);
            }
        }
        if (g_nodMainCDs)
            g_nodMainCDs->SetExpanded(true);
    }
}

int RenameListFile(const QString& from, const QString& to)
{
    if (IsUnusablePath(from) || IsUnusablePath(to))
        return EINVAL;
    const QByteArray a = NativePath(from);
    const QByteArray b = NativePath(to);
    if (::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without no-replace renames: link the new name (which fails when it
    // exists), then drop the old one.
    if (::link(a.constData(), b.constData()) != 0)
        return errno;
    if (::unlink(a.constData()) != 0) {
        const int e = errno;
        ::unlink(b.constData());
        return e;
    }
    return 0;
}

QString RenameFailureText(int error)
{
    return SystemErrorText(error) + QStringLiteral(" (") + QString::number(error)
        + QStringLiteral(").") + QString(28, u' ');
}
