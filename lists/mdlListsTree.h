// The tree of items lists: node keys and their tests, the name of a new list, building the
// tree from the lists folder, and the file side of renaming and removing a list.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>

class cAudioCDRipper;
class cImageList;
class cTreeItem;
class cTreeView;

// The two group nodes, set by each rebuild of the tree (the CD group stays empty when the
// CD ripper is not offered).
inline QPointer<cTreeItem> g_nodMainItems;
inline QPointer<cTreeItem> g_nodMainCDs;

// Key tests (case counts): a group node's key begins with "##MAIN", a CD drive node's
// with "##CD"; any other key is the full path of a list file.
bool IsMainNode(const QString& sStr);
bool IsCDNode(const QString& sStr);
// The drive of a CD drive node's key: the two characters after "##CD".
QString GetCDNameNode(const QString& sStr);
// A node that stands for a list file (not a group, not a CD drive, not nothing).
bool IsListNode(const cTreeItem* node);

// The file name (without folder) of the first free "New Items List <n>.flst" of a folder.
QString NewItemsListName(const QString& folder);
// Creates an empty list file; never touches a file that is already there. False, with
// *error saying why, when it cannot be made.
bool CreateEmptyListFile(const QString& path, QString* error = nullptr);

// The list files of a folder as the tree shows them: normal (not hidden) files whose name
// contains ".flst", by name. A name that is not valid UTF-8 is kept byte-exact (see
// mdlListPaths.h), so the node's key reaches that very file.
QStringList ListFileNames(const QString& folder);
// The text of a list's node: its file name without the extension, readable also when
// the name is in another code page.
QString ListNodeText(const QString& fileName);
// Why a lists folder cannot be used at all ("" when it can).
QString ListsFolderProblem(const QString& folder);
// Removes the temporary files that list saves killed half-way left in the folder (and
// beside the files that linked lists point to). Nothing is removed while another copy
// sharing the folder holds its writers' lock: one of them may be in use.
void RemoveStaleListSaves(const QString& folder);

// Rebuilds the tree: the "Items Lists" group with one node per list file (creating the
// folder and a first list when the folder holds no file at all) when items lists are
// offered, and the "Audio CDs" group with one node per drive when the ripper is. Selects
// no node.
void BuildListsTree(cTreeView* tree, const QString& folder, cImageList* images, cAudioCDRipper* ripper);

// Renames a list file without ever replacing another file. 0 on success, else the
// error number (errno).
int RenameListFile(const QString& from, const QString& to);
// The message of a failed rename: the description, " (", the number, ")." and 28 blanks.
QString RenameFailureText(int error);
