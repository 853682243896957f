// The tree: nodes by number in the order added and by key, relationships, the selected
// node, deleting, and the in-place edit with its AfterLabelEdit handler.
#include "components/cImageList/cImageList.h"
#include "components/cTreeView/cTreeView.h"

#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>

namespace {

// A list tree as the main window builds it: the group, then one child per list file.
void buildListTree(cTreeView& t, const QStringList& lists)
{
    cTreeItem* group = t.Nodes().Add(nullptr, 0, QStringLiteral("##MAINITEMS/lists/"), QStringLiteral("Items Lists"),
                                     17, 17);
    for (const QString& l : lists)
        t.Nodes().Add(group, cTreeItems::tvwChild, QStringLiteral("/lists/") + l + QStringLiteral(".flst"), l, 42, 43);
}

QStringList texts(cTreeItems items)
{
    QStringList out;
    for (int i = 1; i <= items.Count(); ++i)
        out << items.Item(i)->Text();
    return out;
}

} // namespace

class tst_TreeView : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
    void addOrderAndKeys();
    void relationships_data();
    void relationships();
    void duplicateKeys();
    void selectedItem();
    void deleteNodes();
    void clearNodes();
    void labelEditHandler_data();
    void labelEditHandler();
    void userClicksAndTyping();
    void flagsAndImages();
};

void tst_TreeView::addOrderAndKeys()
{
    cTreeView t;
    buildListTree(t, {"Rock", "Jazz", "Talk"});
    cTreeItems nodes = t.Nodes();
    QCOMPARE(nodes.Count(), 4);
    // Item 2 of a rebuilt list tree is the first list under the group.
    QCOMPARE(nodes.Item(2)->Text(), QStringLiteral("Rock"));
    QCOMPARE(nodes.Item(1)->Key(), QStringLiteral("##MAINITEMS/lists/"));
    QCOMPARE(nodes.Item(QStringLiteral("/lists/Jazz.flst"))->Text(), QStringLiteral("Jazz"));
    QCOMPARE(nodes.Item("/lists/Talk.flst"), nodes.Item(4));
    QVERIFY(!nodes.Item(0));
    QVERIFY(!nodes.Item(5));
    QVERIFY(!nodes.Item(QStringLiteral("/lists/jazz.flst")));  // keys are exact
    cTreeItem* group = nodes.Item(1);
    QCOMPARE(group->Children().Count(), 3);
    QCOMPARE(texts(group->Children()), (QStringList{"Rock", "Jazz", "Talk"}));
    QCOMPARE(group->Children().Item(QStringLiteral("/lists/Talk.flst"))->Text(), QStringLiteral("Talk"));
    QCOMPARE(nodes.Item(3)->Parent(), group);
    QCOMPARE(nodes.Item(3)->Image(), 42);
    QCOMPARE(nodes.Item(3)->SelectedImage(), 43);
    // The widget shows the same tree.
    QCOMPARE(t.Widget()->topLevelItemCount(), 1);
    QCOMPARE(t.Widget()->topLevelItem(0)->childCount(), 3);
    QCOMPARE(t.Widget()->topLevelItem(0)->child(1)->text(0), QStringLiteral("Jazz"));
}

void tst_TreeView::relationships_data()
{
    QTest::addColumn<int>("relative");  // number of the relative node, 0 for none
    QTest::addColumn<int>("relationship");
    QTest::addColumn<QStringList>("topLevel");
    QTest::addColumn<QStringList>("childrenOfA");
    QTest::newRow("0 without relative: top level, after the others")
        << 0 << 0 << QStringList{"A", "B", "new"} << QStringList{"a1"};
    QTest::newRow("2 without relative: top level") << 0 << 2 << QStringList{"A", "B", "new"} << QStringList{"a1"};
    QTest::newRow("4 with relative: last child") << 1 << 4 << QStringList{"A", "B"} << QStringList{"a1", "new"};
    QTest::newRow("2 with a child as relative: its level")
        << 3 << 2 << QStringList{"A", "B"} << QStringList{"a1", "new"};
}

void tst_TreeView::relationships()
{
    QFETCH(int, relative);
    QFETCH(int, relationship);
    QFETCH(QStringList, topLevel);
    QFETCH(QStringList, childrenOfA);
    cTreeView t;
    cTreeItem* a = t.Nodes().Add(nullptr, 0, QStringLiteral("A"), QStringLiteral("A"));
    t.Nodes().Add(nullptr, 2, QStringLiteral("B"), QStringLiteral("B"));
    t.Nodes().Add(a, 4, QStringLiteral("a1"), QStringLiteral("a1"));
    cTreeItem* added = t.Nodes().Add(relative ? t.Nodes().Item(relative) : nullptr, relationship, QStringLiteral("new"),
                                     QStringLiteral("new"), -1, -1);
    QVERIFY(added);
    QCOMPARE(t.Nodes().Count(), 4);
    QCOMPARE(t.Nodes().Item(4), added);  // the number is the order of adding
    QStringList top;
    for (int i = 0; i < t.Widget()->topLevelItemCount(); ++i)
        top << t.Widget()->topLevelItem(i)->text(0);
    QCOMPARE(top, topLevel);
    QCOMPARE(texts(a->Children()), childrenOfA);
}

void tst_TreeView::duplicateKeys()
{
    cTreeView t;
    buildListTree(t, {"Rock"});
    QVERIFY(!t.Nodes().Add(nullptr, 0, QStringLiteral("/lists/Rock.flst"), QStringLiteral("again")));
    QCOMPARE(t.Nodes().Count(), 2);
    // Empty keys may repeat.
    QVERIFY(t.Nodes().Add(nullptr, 0, QString(), QStringLiteral("x")));
    QVERIFY(t.Nodes().Add(nullptr, 0, QString(), QStringLiteral("y")));
    // A rename to a key in use is refused; to a free one it is taken.
    cTreeItem* rock = t.Nodes().Item(2);
    QVERIFY(!rock->SetKey(QStringLiteral("##MAINITEMS/lists/")));
    QCOMPARE(rock->Key(), QStringLiteral("/lists/Rock.flst"));
    QVERIFY(rock->SetKey(QStringLiteral("/lists/Pop.flst")));
    QCOMPARE(t.Nodes().Item(QStringLiteral("/lists/Pop.flst")), rock);
}

void tst_TreeView::selectedItem()
{
    cTreeView t;
    buildListTree(t, {"Rock", "Jazz"});
    QSignalSpy notify(&t, &cTreeView::SelectionNotify);
    QSignalSpy click(&t, &cTreeView::NodeClick);
    QVERIFY(!t.SelectedItem());
    cTreeItem* jazz = t.Nodes().Item(3);
    jazz->SetItemFlag67(true);
    QCOMPARE(t.SelectedItem(), jazz);  // at once
    QVERIFY(jazz->ItemFlag67());
    QCOMPARE(t.Widget()->currentItem()->text(0), QStringLiteral("Jazz"));
    // False on another node leaves the selection; on the selected one it goes.
    t.Nodes().Item(2)->SetItemFlag67(false);
    QCOMPARE(t.SelectedItem(), jazz);
    jazz->SetItemFlag67(false);
    QVERIFY(!t.SelectedItem());
    QVERIFY(t.Widget()->selectedItems().isEmpty());
    QCOMPARE(notify.count(), 0);  // code raises no events
    QCOMPARE(click.count(), 0);
}

void tst_TreeView::deleteNodes()
{
    cTreeView t;
    buildListTree(t, {"Rock", "Jazz", "Talk"});
    cTreeItem* group = t.Nodes().Item(1);
    cTreeItem* jazz = t.Nodes().Item(3);
    jazz->SetItemFlag67(true);
    QPointer<cTreeItem> gone(jazz);
    jazz->Delete();
    // The caller may still read the node it deleted, in the same handler.
    QVERIFY(gone);
    QCOMPARE(gone->Text(), QStringLiteral("Jazz"));
    QCOMPARE(t.Nodes().Count(), 3);
    QCOMPARE(texts(group->Children()), (QStringList{"Rock", "Talk"}));
    QVERIFY(!t.Nodes().Item(QStringLiteral("/lists/Jazz.flst")));
    // The selection moved to a neighbour, as a tree does.
    QVERIFY(t.SelectedItem());
    QVERIFY(t.SelectedItem() != jazz);
    jazz->Delete();  // twice is harmless
    jazz->SetItemFlag67(true);
    QVERIFY(t.SelectedItem() != jazz);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!gone);

    // A node goes with its children.
    cTreeItem* talk = t.Nodes().Item(QStringLiteral("/lists/Talk.flst"));
    talk->SetItemFlag67(true);
    group->Delete();
    QCOMPARE(t.Nodes().Count(), 0);
    QVERIFY(!t.SelectedItem());
    QCOMPARE(t.Widget()->topLevelItemCount(), 0);
}

void tst_TreeView::clearNodes()
{
    cTreeView t;
    buildListTree(t, {"Rock", "Jazz"});
    t.Nodes().Add(nullptr, 0, QStringLiteral("##MAINCDS"), QStringLiteral("Audio CDs"), 71, 71);
    t.Nodes().Item(2)->SetItemFlag67(true);
    // Clearing the children of one node keeps the rest.
    t.Nodes().Item(1)->Children().Clear();
    QCOMPARE(t.Nodes().Count(), 2);
    QCOMPARE(t.Nodes().Item(2)->Text(), QStringLiteral("Audio CDs"));
    t.Nodes().Clear();
    QCOMPARE(t.Nodes().Count(), 0);
    QVERIFY(!t.SelectedItem());
    // The tree is rebuilt afresh, numbered from 1 again.
    buildListTree(t, {"New Items List 1"});
    QCOMPARE(t.Nodes().Item(2)->Text(), QStringLiteral("New Items List 1"));
}

void tst_TreeView::labelEditHandler_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<bool>("restart");
    QTest::addColumn<QString>("textAfter");
    QTest::newRow("accepted") << "Blues" << false << false << "Blues";
    QTest::newRow("cancelled keeps the old text") << "Bad/Name" << true << false << "Rock";
    QTest::newRow("cancelled and edited again") << "" << true << true << "Rock";
}

void tst_TreeView::labelEditHandler()
{
    QFETCH(QString, typed);
    QFETCH(bool, cancel);
    QFETCH(bool, restart);
    QFETCH(QString, textAfter);
    cTreeView t;
    buildListTree(t, {"Rock"});
    cTreeItem* rock = t.Nodes().Item(2);
    QList<QString> seen;
    connect(&t, &cTreeView::AfterLabelEdit, this, [&](cTreeItem* node, const QString& text, int& Cancel) {
        QCOMPARE(node, rock);
        QCOMPARE(node->Text(), QStringLiteral("Rock"));  // still the old text inside the handler
        seen << text;
        if (restart)
            node->StartEdit();
        if (cancel)
            Cancel = 1;
    });
    rock->StartEdit();
    QCOMPARE(t.EditingItem(), rock);
    t.CommitLabelEdit(rock, typed);
    QCOMPARE(seen, QList<QString>{typed});
    QCOMPARE(rock->Text(), textAfter);
    QCOMPARE(t.Widget()->topLevelItem(0)->child(0)->text(0), textAfter);
    QCOMPARE(t.EditingItem(), restart ? rock : nullptr);
}

void tst_TreeView::userClicksAndTyping()
{
    cTreeView t;
    buildListTree(t, {"Rock", "Jazz"});
    t.Nodes().Item(1)->SetExpanded(true);
    t.resize(300, 200);
    t.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t));
    QList<QString> order;
    connect(&t, &cTreeView::SelectionNotify, this, [&] { order << QStringLiteral("select ") + t.SelectedItem()->Text(); });
    connect(&t, &cTreeView::NodeClick, this, [&](cTreeItem* n) { order << QStringLiteral("click ") + n->Text(); });
    QTreeWidget* w = t.Widget();
    QTreeWidgetItem* jazzRow = w->topLevelItem(0)->child(1);
    QTest::mouseClick(w->viewport(), Qt::LeftButton, Qt::NoModifier, w->visualItemRect(jazzRow).center());
    QCOMPARE(order, (QList<QString>{"select Jazz", "click Jazz"}));
    QCOMPARE(t.SelectedItem()->Text(), QStringLiteral("Jazz"));

    // An edit typed into the tree's editor reaches the handler.
    QString typed;
    connect(&t, &cTreeView::AfterLabelEdit, this, [&](cTreeItem*, const QString& text, int&) { typed = text; });
    t.SelectedItem()->StartEdit();
    QLineEdit* editor = nullptr;
    QTRY_VERIFY((editor = w->findChild<QLineEdit*>()) && editor->isVisible());
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("Swing"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(typed, QStringLiteral("Swing"));
    QCOMPARE(t.Nodes().Item(3)->Text(), QStringLiteral("Swing"));
    QTRY_VERIFY(!t.EditingItem());

    // Escape abandons an edit without the handler.
    typed.clear();
    t.SelectedItem()->StartEdit();
    QTRY_VERIFY((editor = w->findChild<QLineEdit*>()) && editor->isVisible());
    QTest::keyClick(editor, Qt::Key_Escape);
    QTRY_VERIFY(!t.EditingItem());
    QVERIFY(typed.isEmpty());
    QCOMPARE(t.Nodes().Item(3)->Text(), QStringLiteral("Swing"));
}

void tst_TreeView::flagsAndImages()
{
    cImageList images;
    QPixmap pm(16, 16);
    pm.fill(Qt::blue);
    for (int i = 0; i < 50; ++i)
        images.Add(QIcon(pm));
    cTreeView t;
    buildListTree(t, {"Rock"});
    QVERIFY(t.Widget()->topLevelItem(0)->icon(0).isNull());
    t.SetImageList(&images);
    QVERIFY(!t.Widget()->topLevelItem(0)->icon(0).isNull());
    cTreeItem* rock = t.Nodes().Item(2);
    rock->SetItemFlag25(true);
    QVERIFY(rock->ItemFlag25());
    QVERIFY(t.Widget()->topLevelItem(0)->child(0)->font(0).bold());
    rock->SetItemFlag25(false);
    QVERIFY(!t.Widget()->topLevelItem(0)->child(0)->font(0).bold());
    t.Nodes().Item(1)->SetItemFlag73(true);
    QVERIFY(t.Nodes().Item(1)->ItemFlag73());
    t.Nodes().Item(1)->SetExpanded(true);
    QVERIFY(t.Nodes().Item(1)->Expanded());
    QVERIFY(t.Widget()->topLevelItem(0)->isExpanded());
    t.SetLabelEdit(true);
    QVERIFY(t.LabelEdit());
    QVERIFY(t.Widget()->editTriggers() & QAbstractItemView::SelectedClicked);
    t.SetTreeOption4F(true);
    QVERIFY(t.TreeOption4F());
}

QTEST_MAIN(tst_TreeView)
#include "tst_treeview.moc"
