// The tree of keyed nodes with texts and images (cTreeView), its nodes (cTreeItem) and
// node collections (cTreeItems). The nodes live in plain members, so a tree that is never
// shown still works.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

class QTreeWidget;
class QTreeWidgetItem;
class cImageList;
class cTreeItem;
class cTreeView;

// A collection of nodes: every node of a tree (cTreeView::Nodes), in the order they were
// added, or the children of one node (cTreeItem::Children).
class cTreeItems
{
public:
    // Relationships of Add.
    static constexpr qint32 tvwFirst = 0;
    static constexpr qint32 tvwLast = 1;
    static constexpr qint32 tvwNext = 2;
    static constexpr qint32 tvwPrevious = 3;
    static constexpr qint32 tvwChild = 4;

    cTreeItems(cTreeView* tree, cTreeItem* parent, bool allNodes);

    // Adds a node and returns it. Without Relative: a top-level node after those already
    // there (or a child of this collection's node). With Relative and tvwChild: a child
    // at the end of Relative's children; with any other relationship, a node at the end
    // of Relative's level. A key that another node already has is refused (nullptr);
    // any number of nodes may have an empty key.
    cTreeItem* Add(cTreeItem* Relative, qint32 Relationship, const QString& Key, const QString& Text,
                   qint32 Image = -1, qint32 SelectedImage = -1);
    void Clear();
    qint32 Count() const;
    // The node at a number counted from 1, or with a key; nullptr when there is none.
    cTreeItem* Item(qint32 Index) const;
    cTreeItem* Item(const QString& Key) const;
    cTreeItem* Item(const char* Key) const { return Item(QString::fromUtf8(Key)); }

private:
    QList<cTreeItem*> list() const;

    QPointer<cTreeView> m_tree;
    QPointer<cTreeItem> m_parent;
    bool m_all;
};

class cTreeItem : public QObject
{
    Q_OBJECT
public:
    QString Key() const { return m_key; }
    // False (and the key unchanged) when another node of the tree has that key.
    bool SetKey(const QString& key);
    QString Text() const { return m_text; }
    void SetText(const QString& text);
    qint32 Image() const { return m_image; }
    qint32 SelectedImage() const { return m_selectedImage; }

    cTreeItems Children();
    cTreeItem* Parent() const { return m_parent; }
    cTreeView* TreeView() const { return m_tree; }

    bool Expanded() const { return m_expanded; }
    void SetExpanded(bool on);
    // Begins an in-place edit of the text; the tree raises AfterLabelEdit when it ends.
    void StartEdit();
    // Removes the node and its children from the tree. The object itself is deleted
    // later, so a caller holding it may still read it in the same handler.
    void Delete();

    // True makes the node the tree's selected node at once; False takes the selection
    // away from it. No event is raised.
    bool ItemFlag67() const;
    void SetItemFlag67(bool on);
    // Marks the node whose list is playing (shown bold).
    bool ItemFlag25() const { return m_flag25; }
    void SetItemFlag25(bool on);
    bool ItemFlag73() const { return m_flag73; }
    void SetItemFlag73(bool on) { m_flag73 = on; }

private:
    friend class cTreeView;
    friend class cTreeItems;
    cTreeItem(cTreeView* tree, cTreeItem* parent);

    QString m_key;
    QString m_text;
    qint32 m_image = -1;
    qint32 m_selectedImage = -1;
    bool m_expanded = false;
    bool m_flag25 = false;
    bool m_flag73 = false;
    cTreeView* m_tree = nullptr;  // nullptr once deleted from the tree
    cTreeItem* m_parent = nullptr;
    QList<cTreeItem*> m_children;
    QTreeWidgetItem* m_item = nullptr;
};

class cTreeView : public QWidget
{
    Q_OBJECT
public:
    explicit cTreeView(QWidget* parent = nullptr);
    ~cTreeView() override;

    cTreeItems Nodes() { return cTreeItems(this, nullptr, true); }
    // The selected node; nullptr when none is selected.
    cTreeItem* SelectedItem() const { return m_selected; }

    void SetImageList(cImageList* list);
    cImageList* ImageList() const { return m_images; }
    // Whether the user may edit node texts in place.
    void SetLabelEdit(bool on);
    bool LabelEdit() const { return m_labelEdit; }
    void SetTreeOption4F(bool on) { m_option4F = on; }
    bool TreeOption4F() const { return m_option4F; }

    // The node whose text is being edited in place; nullptr when none.
    cTreeItem* EditingItem() const { return m_editing; }
    // Ends the in-place edit of a node with the typed text: raises AfterLabelEdit and,
    // unless the handler cancels, gives the node the text. The editor calls it; tests
    // call it in place of typing.
    void CommitLabelEdit(cTreeItem* Node, const QString& NewString);

    // The width in pixels the tree needs to show the whole text of every node now shown
    // (nodes under a collapsed node do not count).
    qint32 WidthNeeded() const;

    // The widget that shows the tree (tests click it).
    QTreeWidget* Widget() const { return m_widget; }
    // The node a row of the widget shows.
    cTreeItem* NodeOf(QTreeWidgetItem* item) const;

signals:
    // An in-place edit ended; setting Cancel keeps the old text. Connect directly.
    void AfterLabelEdit(cTreeItem* Node, const QString& NewString, int& Cancel);
    void Notify14(qint32 Param);
    void Notify34();
    // The user changed the selection; SelectedItem names the new node.
    void SelectionNotify(qint32 Param1, qint32 Param2);
    // The user clicked a node.
    void NodeClick(cTreeItem* Node);

private:
    friend class cTreeItem;
    friend class cTreeItems;

    cTreeItem* addNode(cTreeItem* parent, const QString& key, const QString& text, qint32 image, qint32 selectedImage);
    cTreeItem* findKey(const QString& key) const;
    void removeNode(cTreeItem* node);
    void detach(cTreeItem* node);
    void paintNode(cTreeItem* node);
    void selectNode(cTreeItem* node);
    void startEdit(cTreeItem* node);

    QList<cTreeItem*> m_nodes;   // every node, in the order added
    QList<cTreeItem*> m_top;     // top-level nodes, in order
    QPointer<cTreeItem> m_selected;
    QPointer<cTreeItem> m_editing;
    cImageList* m_images = nullptr;
    bool m_labelEdit = false;
    bool m_option4F = false;
    bool m_syncing = false;
    bool m_restartPending = false;
    QTreeWidget* m_widget = nullptr;
};
