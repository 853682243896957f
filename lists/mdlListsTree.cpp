// The tree of items lists: keys, new-list names, the tree's rebuild and list file renames.
#include "lists/mdlListsTree.h"

#include "common/mdlModes.h"
#include "common/mdlFunctions.h"
#include "components/cAudioCDRipper/cAudioCDRipper.h"
#include "components/cTreeView/cTreeView.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
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
        if (!QFileInfo::exists(folder + name) && !QFileInfo(folder + name).isSymLink())
            return name;
    }
}

bool CreateEmptyListFile(const QString& path)
{
    if (path.isEmpty())
        return false;
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

QStringList ListFileNames(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    const QStringList names = QDir(folder).entryList(QDir::Files, QDir::Name);
    QStringList lists;
    for (const QString& name : names)
        if (name.contains(QLatin1String(".flst")))
            lists << name;
    return lists;
}

void BuildListsTree(cTreeView* tree, const QString& folder, cImageList* images, cAudioCDRipper* ripper)
{
    if (!tree)
        return;
    tree->Nodes().Clear();
    g_nodMainItems = nullptr;
    g_nodMainCDs = nullptr;

    if (!folder.isEmpty() && QDir(folder).entryList(QDir::Files).isEmpty()) {
        MakePath(folder);
        CreateEmptyListFile(folder + NewItemsListName(folder));
    }
    tree->SetImageList(images);

    if (lAppIncItemsLists == 1) {
        g_nodMainItems = tree->Nodes().Add(nullptr, cTreeItems::tvwLast, QStringLiteral("##MAINITEMS") + folder,
                                           QStringLiteral("Items Lists"), 17, 17);
        if (g_nodMainItems) {
            for (const QString& name : ListFileNames(folder))
                tree->Nodes().Add(g_nodMainItems, cTreeItems::tvwChild, folder + name, GetNameNoExt(name), 42, 43);
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
    const QByteArray a = QFile::encodeName(from);
    const QByteArray b = QFile::encodeName(to);
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
    return QString::fromLocal8Bit(std::strerror(error)) + QStringLiteral(" (") + QString::number(error)
        + QStringLiteral(").") + QString(28, u' ');
}
