// What the add-files window and the item and list properties dialogs need of the main
// window that shows the lists. The main window registers itself while it is loaded.
#pragma once

#include <QString>

class VForm;
class cGrid;
class cTreeItem;
class cTreeView;

class ListsHost
{
public:
    virtual ~ListsHost() = default;
    virtual VForm* ListsWindow() = 0;
    // The items grid and the tree of lists.
    virtual cGrid* ItemsGrid() = 0;
    virtual cTreeView* ListsTree() = 0;
    // Writes the grid back to the list file it holds (nothing on a group or CD node).
    // False when the file did not take it: the user was told why, and the grid shows
    // again what the file holds.
    virtual bool SaveGridToFile() = 0;
    // The information grid of the current row, and the list summary in the status bar.
    virtual void GetFileInfoToGridInfo() = 0;
    virtual void DisplayGridInfoStatusBar() = 0;
    virtual void ShowEmptyNotice(bool show) = 0;
    virtual QString ListsPanelText(const QString& key) const = 0;
    virtual void SetListsPanelText(const QString& key, const QString& text) = 0;
    // A list's node got a new name: its key was oldKey (the list file's old path) and the
    // node holds the new key and text now.
    virtual void ListRenamed(cTreeItem* node, const QString& oldKey) = 0;
    // A node's text was changed by another window than the tree's own label edit (the CD
    // database lookup names a drive node after its disc): the label-edit handler runs with
    // the node's new text, and the list-name label shows it.
    virtual void NodeLabelChanged(cTreeItem* node) { (void)node; }
    // Files are being added to the grid: while true the window takes no list command.
    virtual void SetAddingFiles(bool adding) = 0;
};

ListsHost* g_ListsHost();
void SetListsHost(ListsHost* host);
