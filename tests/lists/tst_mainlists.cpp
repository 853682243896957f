// The items lists in the main window: the first list at start-up, marks, moves, removals
// and clearing written to the list file at once, a restart showing the same list, the
// tree's new/rename/remove, the information grid, and no writes on group or CD nodes.
#include "common/mdlModes.h"
#include "common/mdlFunctions.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cGrid/cGrid.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/mdlItemsGrid.h"
#include "lists/mdlListFile.h"
#include "lists/mdlListsTree.h"
#include "mainwindow/frmMain.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"
#include "tests/lists/ListsFixture.h"
#include "tests/support/FakeAudioComponents.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QTreeWidget>

#include <cerrno>
#include <cstring>

using namespace ListsTest;


class tst_MainLists : public QObject
{
    Q_OBJECT
private slots:
    void firstListAtStartUp();
    void emptyFolderGetsFirstList();
    void folderWithOtherFiles();
    void folderWithoutListsGetsNewList();
    void marksAreSavedAtOnce();
    void movesAreSavedAtOnce_data();
    void movesAreSavedAtOnce();
    void restartShowsTheSameList();
    void removeItems_data();
    void removeItems();
    void clearTheList();
    void nothingWrittenOnGroupOrCDNodes();
    void missingAudioFileStaysInTheList();
    void newList();
    void renameList_data();
    void renameList();
    void removeList();
    void keyboardSelectionLoadsTheList();
    void informationGrid();
    void popupAndDataTracks();
    void noPopupOnEmptyGrid();
    void clearOnExit();
    void optionsChangeTheFolder();
    void optionsOkWithoutEditsKeepsTheList();
};

void tst_MainLists::firstListAtStartUp()
{
    Fixture f;
    f.addAudio("one.wav", 1000, 30000);
    f.addAudio("two.wav", 536, 35000);
    const QString b = f.addList("b", {"x.wav"});
    const QString a = f.addList("a", {"one.wav*", "two.wav"});
    frmMain* m = f.start();
    QCOMPARE(m->cTreeView1->SelectedItem()->Key(), a);  // lists by name: "a" first
    QCOMPARE(m->lblListName->text(), QStringLiteral("a"));
    QCOMPARE(gridItems(m->cGrid1), QStringLiteral("one.wav* two.wav"));
    QCOMPARE(m->cGrid1->CurrentRow(), 1);
    QVERIFY(m->picEmptyMsg->isHidden());
    QVERIFY(m->prgStatus->isHidden());
    QCOMPARE(m->cStatusBar1->PanelText(QStringLiteral("Items List Properties")),
             QStringLiteral("2 Items, 1.50 KB, 00:01:05"));
    QCOMPARE(m->cStatusBar1->PanelText(QStringLiteral("Main")), QStringLiteral("Ready."));
    QCOMPARE(m->cGridInfo->Cell(1, 2).Text(), QStringLiteral("one.wav"));
    // The tree: the group and one node per list file.
    QCOMPARE(g_nodMainItems->Text(), QStringLiteral("Items Lists"));
    QCOMPARE(g_nodMainItems->Key(), "##MAINITEMS" + f.platform.path("Main/"));
    QCOMPARE(g_nodMainItems->Children().Count(), 2);
    QCOMPARE(g_nodMainItems->Children().Item(2)->Key(), b);
    QVERIFY(g_nodMainCDs.isNull());
    QVERIFY(f.platform.messages().shown.isEmpty());

    // With the select-the-last-item option the last row is current.
    Forms::DestroyAll();
    g_bSelectTheLastItem = true;
    QCOMPARE(f.start()->cGrid1->CurrentRow(), 2);
}

void tst_MainLists::emptyFolderGetsFirstList()
{
    Fixture f;
    QDir(f.platform.path("Main")).removeRecursively();
    frmMain* m = f.start();
    const QString first = f.platform.path("Main/New Items List 1.flst");
    QCOMPARE(TestFiles::ReadBytes(first), QByteArray());
    QCOMPARE(m->cTreeView1->SelectedItem()->Key(), first);
    QCOMPARE(m->cTreeView1->SelectedItem()->Text(), QStringLiteral("New Items List 1"));
    QVERIFY(!m->picEmptyMsg->isHidden());
    QCOMPARE(m->lblAddorDrag->text(), QStringLiteral("Add or Drag and Drop audio items to here."));
    QCOMPARE(m->cStatusBar1->PanelText(QStringLiteral("Items List Properties")),
             QStringLiteral("0 Items, 0 KB, 00:00:00"));
}

void tst_MainLists::folderWithOtherFiles()
{
    Fixture f;
    TestFiles::WriteBytes(f.platform.path("Main/readme.txt"), "not a list");
    TestFiles::WriteBytes(f.platform.path("Main/New Items List 1.flst.bak"), "");  // ".flst" anywhere counts
    TestFiles::WriteBytes(f.platform.path("Main/UPPER.FLST"), "");                 // case counts
    frmMain* m = f.start();
    QCOMPARE(g_nodMainItems->Children().Count(), 1);
    QCOMPARE(g_nodMainItems->Children().Item(1)->Text(), QStringLiteral("New Items List 1flst"));
    QCOMPARE(m->cTreeView1->SelectedItem()->Key(), f.platform.path("Main/New Items List 1.flst.bak"));
    QVERIFY(!QFileInfo::exists(f.platform.path("Main/New Items List 1.flst")));
}

void tst_MainLists::folderWithoutListsGetsNewList()
{
    Fixture f;
    TestFiles::WriteBytes(f.platform.path("Main/readme.txt"), "not a list");
    frmMain* m = f.start();
    // No list at all: the "New Items List" command made one and shows it, ready to be named.
    QCOMPARE(m->cTreeView1->SelectedItem()->Key(), f.platform.path("Main/New Items List 1.flst"));
    QCOMPARE(g_nodMainItems->Children().Count(), 1);
    QVERIFY(m->cTreeView1->LabelEdit());
    QCOMPARE(m->cTreeView1->EditingItem(), m->cTreeView1->SelectedItem());
}

void tst_MainLists::marksAreSavedAtOnce()
{
    Fixture f;
    const QString a = f.addList("a", {"1.wav", "2.wav*", "3.wav"});
    frmMain* m = f.start();
    clickMark(m, 1);
    QCOMPARE(fileItems(a), QStringLiteral("1.wav* 2.wav* 3.wav"));
    clickMark(m, 2);
    QCOMPARE(fileItems(a), QStringLiteral("1.wav* 2.wav 3.wav"));
    // Only the mark column, and only within the first 300 twips, toggles.
    m->cGrid1->SetCurrentRow(3);
    m->cGrid1->SetCurrentColumn(3);
    m->cGrid1_GridMouseUp(1, 0, 100, 100);
    m->cGrid1->SetCurrentColumn(1);
    m->cGrid1_GridMouseUp(1, 0, 301, 100);
    QCOMPARE(fileItems(a), QStringLiteral("1.wav* 2.wav 3.wav"));

    command(m, "MarkUnmark All");  // one is marked: all unmarked
    QCOMPARE(fileItems(a), QStringLiteral("1.wav 2.wav 3.wav"));
    command(m, "MarkUnmark All");
    QCOMPARE(fileItems(a), QStringLiteral("1.wav* 2.wav* 3.wav*"));
    QCOMPARE(m->CountMarkedRows(), 3);
}

void tst_MainLists::movesAreSavedAtOnce_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("current");
    QTest::addColumn<QString>("order");
    QTest::addColumn<int>("currentAfter");
    // Another copy of the program adds "g" to the list before each move.
    QTest::newRow("up") << "Move Up" << 4 << "a b d* c e f g" << 3;
    QTest::newRow("up on the first row") << "Move Up" << 1 << "a b c d* e f g" << 1;
    QTest::newRow("down") << "Move Down" << 4 << "a b c e d* f g" << 5;
    QTest::newRow("down on the last row") << "Move Down" << 6 << "a b c d* e f g" << 6;
    QTest::newRow("to first") << "Move To First" << 4 << "d* a b c e f g" << 1;
    QTest::newRow("to last") << "Move To Last" << 2 << "a c d* e f g b" << 7;
    QTest::newRow("to last on the last row") << "Move To Last" << 6 << "a b c d* e f g" << 6;
}

void tst_MainLists::movesAreSavedAtOnce()
{
    QFETCH(QString, key);
    QFETCH(int, current);
    QFETCH(QString, order);
    QFETCH(int, currentAfter);
    Fixture f;
    const QString list = f.addList("l", {"a", "b", "c", "d*", "e", "f"});
    frmMain* m = f.start();
    // Every move command writes the list, even one that moves nothing, and keeps what another
    // copy of the program wrote meanwhile.
    TestFiles::WriteBytes(list, TestFiles::ReadBytes(list).trimmed() + record("0", "g", f.addAudio("g")).toUtf8() + "\n");
    m->cGrid1->SetCurrentRow(current);
    command(m, key.toUtf8().constData());
    QCOMPARE(gridItems(m->cGrid1), order);
    QCOMPARE(fileItems(list), order);
    QCOMPARE(m->cGrid1->CurrentRow(), currentAfter);
    QCOMPARE(m->cGridInfo->Cell(9, 2).Text(), QString::number(currentAfter));
}

void tst_MainLists::restartShowsTheSameList()
{
    Fixture f;
    const QString a = f.addList("a", {"a", "b*", "c"});
    frmMain* m = f.start();
    m->cGrid1->SetCurrentRow(3);
    command(m, "Move To First");
    clickMark(m, 3);
    const QString shown = gridItems(m->cGrid1);
    QCOMPARE(shown, QStringLiteral("c a b"));
    m = f.restart();
    QCOMPARE(gridItems(m->cGrid1), shown);
    QCOMPARE(fileItems(a), shown);
}

void tst_MainLists::removeItems_data()
{
    QTest::addColumn<bool>("ask");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("left");
    QTest::newRow("no question") << false << 0 << "a d";
    QTest::newRow("asked, yes") << true << vbYes << "a d";
    QTest::newRow("asked, no") << true << vbNo << "a b c d";
}

void tst_MainLists::removeItems()
{
    QFETCH(bool, ask);
    QFETCH(int, answer);
    QFETCH(QString, left);
    Fixture f;
    const QString list = f.addList("My List", {"a", "b", "c", "d"});
    g_bDisplayMSGWhenErase = ask;
    frmMain* m = f.start();
    m->cGrid1->SetCurrentRow(2);
    m->cGrid1->SetRowSelected(3, true);  // b and c are selected; the question names the current one
    if (ask)
        f.platform.messages().answers.enqueue(answer);
    command(m, "Remove Item");
    QVERIFY(m->tmrRemove.isActive());
    QCOMPARE(m->tmrRemove.interval(), 50);
    m->tmrRemove_Timer();
    QVERIFY(!m->tmrRemove.isActive());
    if (ask) {
        QCOMPARE(f.platform.messages().shown.size(), 1);
        QCOMPARE(f.platform.messages().shown[0].prompt,
                 QStringLiteral("This operation will erase the b under the 'My List'.\r\n\r\nContinue?"));
        QCOMPARE(f.platform.messages().shown[0].buttons, vbYesNo + vbInformation);
    }
    QCOMPARE(gridItems(m->cGrid1), left);
    QCOMPARE(fileItems(list), left);
    if (left == "a d")
        QCOMPARE(m->cStatusBar1->PanelText(QStringLiteral("Items List Properties")).left(8), QStringLiteral("2 Items,"));

    // Removing the last rows shows the empty-list notice.
    if (!ask) {
        m->cGrid1->SetCurrentRow(1);
        m->cGrid1->SetRowSelected(2, true);
        m->RemoveItems();
        QCOMPARE(m->cGrid1->Rows(), 0);
        QVERIFY(!m->picEmptyMsg->isHidden());
        QCOMPARE(TestFiles::ReadBytes(list), QByteArray("\n"));
        // Nothing left to remove: no timer.
        command(m, "Remove Item");
        command(m, "Clear the List");
        QVERIFY(!m->tmrRemove.isActive());
    }
}

void tst_MainLists::clearTheList()
{
    Fixture f;
    const QString list = f.addList("Rock", {"a*", "b"});
    frmMain* m = f.start();
    const QString question = QStringLiteral("This operation will erase all the items under the 'Rock' list.\r\n\r\nAre you sure?");
    f.platform.messages().answers.enqueue(vbNo);
    command(m, "Clear the List");
    m->tmrRemove_Timer();
    QCOMPARE(f.platform.messages().shown.last().prompt, question);
    QCOMPARE(f.platform.messages().shown.last().buttons, vbYesNo + vbExclamation);
    QCOMPARE(fileItems(list), QStringLiteral("a* b"));

    f.platform.messages().answers.enqueue(vbYes);
    command(m, "Clear the List");
    m->tmrRemove_Timer();
    QCOMPARE(m->cGrid1->Rows(), 0);
    QCOMPARE(TestFiles::ReadBytes(list), QByteArray("\n"));
    QVERIFY(!m->picEmptyMsg->isHidden());
    QCOMPARE(m->cGridInfo->Rows(), 0);
    QCOMPARE(m->cStatusBar1->PanelText(QStringLiteral("Items List Properties")),
             QStringLiteral("0 Items, 0 KB, 00:00:00"));
    // No temporary file is left beside the list.
    QCOMPARE(QDir(f.platform.path("Main")).entryList(QDir::Files | QDir::Hidden), QStringList{"Rock.flst"});
    // An empty list asks nothing.
    m->ConfirmClearList();
    QCOMPARE(f.platform.messages().shown.size(), 2);
}

void tst_MainLists::nothingWrittenOnGroupOrCDNodes()
{
    Fixture f;
    const QString list = f.addList("a", {"1", "2*"});
    frmMain* m = f.start();
    const QByteArray before = TestFiles::ReadBytes(list);
    const QStringList filesBefore = QDir(f.platform.path("Main")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    // The group node: an empty grid; marks, moves and clearing write nothing anywhere.
    g_nodMainItems->SetItemFlag67(true);  // as the user's click selects it
    m->cTreeView1_NodeClick(g_nodMainItems);
    QCOMPARE(m->cGrid1->Rows(), 0);
    command(m, "MarkUnmark All");
    command(m, "Remove Items List");
    m->SaveGridToFile();
    m->DoClearTheList();
    QCOMPARE(TestFiles::ReadBytes(list), before);
    QCOMPARE(QDir(f.platform.path("Main")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), filesBefore);
    QVERIFY(QDir::current().entryList({"##*"}, QDir::AllEntries).isEmpty());

    // A CD drive node likewise; removing items from it is refused with a message.
    cTreeItem* drive = m->cTreeView1->Nodes().Add(nullptr, cTreeItems::tvwLast, "##CDD: Test Drive", "D:", 25, 25);
    m->cTreeView1_NodeClick(drive);
    QVERIFY(m->tmrCDs.isActive());
    SetRowText(m->cGrid1, 1, "Item Name", "Track 1");
    m->cGrid1->SetCell(1, 1, QString(), cGrid::kIconCellFormat, 0);
    m->cGrid1->SetCurrentRow(1);
    command(m, "MarkUnmark All");
    command(m, "Move To First");
    f.platform.messages().answers.enqueue(vbOK);
    command(m, "Remove Item");
    QCOMPARE(f.platform.messages().shown.last().prompt, "Cannot remove items from Audio CD." + QString(20, u' '));
    QVERIFY(!m->tmrRemove.isActive());
    QCOMPARE(TestFiles::ReadBytes(list), before);
    QCOMPARE(QDir(f.platform.path("Main")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), filesBefore);
    QVERIFY(QDir::current().entryList({"##*"}, QDir::AllEntries).isEmpty());

    // Back on the list, the next change is written again.
    m->cTreeView1_NodeClick(g_nodMainItems->Children().Item(1));
    QVERIFY(!m->tmrCDs.isActive());
    command(m, "MarkUnmark All");
    QCOMPARE(fileItems(list), QStringLiteral("1 2"));
}

void tst_MainLists::missingAudioFileStaysInTheList()
{
    Fixture f;
    const QString list = f.addList("a", {"here.wav", "gone.wav*", "also.wav"});
    QFile::remove(f.platform.path("audio/gone.wav"));
    frmMain* m = f.start();
    QCOMPARE(gridItems(m->cGrid1), QStringLiteral("here.wav gone.wav* also.wav"));
    QVERIFY(m->cGrid1->CellFont(2, 3).italic());
    clickMark(m, 1);
    m->cGrid1->SetCurrentRow(2);
    command(m, "Move To Last");
    QCOMPARE(fileItems(list), QStringLiteral("here.wav* also.wav gone.wav*"));
    // Playing-row fonts are reset without losing the italics.
    m->SetRowUnBold();
    QVERIFY(m->cGrid1->CellFont(3, 3).italic());
    QVERIFY(!m->cGrid1->CellFont(1, 3).italic());
}

void tst_MainLists::newList()
{
    Fixture f;
    f.addList("New Items List 1", {"a"});
    f.addList("New Items List 2", {});
    frmMain* m = f.start();
    command(m, "New Items List");
    const QString created = f.platform.path("Main/New Items List 3.flst");
    QVERIFY(QFileInfo(created).isFile());
    cTreeItem* node = m->cTreeView1->SelectedItem();
    QCOMPARE(node->Key(), created);
    QCOMPARE(node->Text(), QStringLiteral("New Items List 3"));
    QCOMPARE(node->Parent(), g_nodMainItems.data());
    QCOMPARE(m->cGrid1->Rows(), 0);
    QVERIFY(!m->picEmptyMsg->isHidden());
    QVERIFY(m->cTreeView1->LabelEdit());
    QCOMPARE(m->cTreeView1->EditingItem(), node);
    // Names in between are taken first.
    QFile::remove(f.platform.path("Main/New Items List 2.flst"));
    QCOMPARE(NewItemsListName(f.platform.path("Main/")), QStringLiteral("New Items List 2.flst"));
}

void tst_MainLists::renameList_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("renamed");
    QTest::addColumn<QString>("message");
    QTest::newRow("new name") << "Rock & Roll" << true << "";
    QTest::newRow("letter case only") << "OLD" << true << "";
    QTest::newRow("taken") << "other" << false << "The Items List 'other' already exists. Please select a different name.";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("illegal") << "a/b" << false << "";
    QTest::newRow("hidden") << ".rock" << false << "";
    QTest::newRow("unchanged") << "old" << false << "";
}

void tst_MainLists::renameList()
{
    QFETCH(QString, name);
    QFETCH(bool, renamed);
    QFETCH(QString, message);
    Fixture f;
    const QString old = f.addList("old", {"a*"});
    f.addList("other", {});
    frmMain* m = f.start();
    cTreeItem* node = m->cTreeView1->SelectedItem();
    QCOMPARE(node->Key(), old);
    if (!message.isEmpty())
        f.platform.messages().answers.enqueue(vbOK);
    m->cTreeView1->CommitLabelEdit(node, name);
    const QString renamedPath = f.platform.path("Main/" + name + ".flst");
    if (renamed) {
        QVERIFY(!QFileInfo::exists(old));
        QCOMPARE(fileItems(renamedPath), QStringLiteral("a*"));
        QCOMPARE(node->Key(), renamedPath);
        QCOMPARE(node->Text(), name);
        QCOMPARE(m->lblListName->text(), name);
        QCOMPARE(m->cTreeView1->SelectedItem(), node);
        clickMark(m, 1);  // the renamed list goes on being saved
        QCOMPARE(fileItems(renamedPath), QStringLiteral("a"));
    } else {
        QCOMPARE(fileItems(old), QStringLiteral("a*"));
        QCOMPARE(node->Key(), old);
        QCOMPARE(node->Text(), QStringLiteral("old"));
        QCOMPARE(m->lblListName->text(), QStringLiteral("old"));
        if (name != "old")
            QCOMPARE(m->cTreeView1->EditingItem(), node);  // the user types again
    }
    QCOMPARE(f.platform.messages().shown.size(), message.isEmpty() ? 0 : 1);
    if (!message.isEmpty())
        QCOMPARE(f.platform.messages().shown[0].prompt, message);

    // A CD drive node's text changes without any file operation; a group's does not.
    cTreeItem* drive = m->cTreeView1->Nodes().Add(nullptr, cTreeItems::tvwLast, "##CDE: Drive", "E:");
    m->cTreeView1->CommitLabelEdit(drive, "Artist - Album");
    QCOMPARE(drive->Text(), QStringLiteral("Artist - Album"));
    m->cTreeView1->CommitLabelEdit(g_nodMainItems, "Mine");
    QCOMPARE(g_nodMainItems->Text(), QStringLiteral("Items Lists"));
}

void tst_MainLists::removeList()
{
    Fixture f;
    const QString a = f.addList("a", {"x"});
    const QString b = f.addList("b", {});
    const QString c = f.addList("c", {"y"});
    frmMain* m = f.start();
    QCOMPARE(m->cTreeView1->SelectedItem()->Key(), a);

    // A list with items asks; No keeps it.
    f.platform.messages().answers.enqueue(vbNo);
    command(m, "Remove Items List");
    QCOMPARE(f.platform.messages().shown.last().prompt,
             QStringLiteral("This operation will erase all the items under the 'a.flst', are you sure?"));
    QCOMPARE(f.platform.messages().shown.last().buttons, vbYesNo + vbInformation);
    QVERIFY(QFileInfo::exists(a));
    f.platform.messages().answers.enqueue(vbYes);
    command(m, "Remove Items List");
    QVERIFY(!QFileInfo::exists(a));
    QCOMPARE(g_nodMainItems->Children().Count(), 2);
    QCOMPARE(m->cTreeView1->SelectedItem()->Key(), c);  // the group's last list is shown
    QCOMPARE(gridItems(m->cGrid1), QStringLiteral("y"));

    // An empty list goes without a question.
    m->cTreeView1_NodeClick(g_nodMainItems->Children().Item(1));
    QCOMPARE(m->cTreeView1->SelectedItem()->Key(), b);
    command(m, "Remove Items List");
    QCOMPARE(f.platform.messages().shown.size(), 2);
    QVERIFY(!QFileInfo::exists(b));

    // The last list stays.
    command(m, "Remove Items List");
    QVERIFY(QFileInfo::exists(c));
    QCOMPARE(g_nodMainItems->Children().Count(), 1);
    QCOMPARE(f.platform.messages().shown.size(), 2);

    // A list that cannot be deleted (here a folder in its place) keeps its node.
    const QString stuck = f.platform.path("Main/stuck.flst");
    QDir().mkpath(stuck + "/inside");
    cTreeItem* node = m->cTreeView1->Nodes().Add(g_nodMainItems, cTreeItems::tvwChild, stuck, "stuck", 42, 43);
    f.platform.messages().answers.enqueue(vbOK);  // it cannot be read: the user is told why
    m->cTreeView1_NodeClick(node);
    QCOMPARE(f.platform.messages().shown.size(), 3);
    f.platform.messages().answers.enqueue(vbYes);  // it may hold items: asked
    f.platform.messages().answers.enqueue(vbOK);
    command(m, "Remove Items List");
    QCOMPARE(f.platform.messages().shown.size(), 5);
    QCOMPARE(f.platform.messages().shown.last().prompt,
             "The items list 'stuck' could not be removed: " + QString::fromLocal8Bit(strerror(EISDIR)) + ".");
    QVERIFY(QFileInfo(stuck).isDir());
    QCOMPARE(g_nodMainItems->Children().Count(), 2);
    QCOMPARE(m->cTreeView1->SelectedItem(), node);
}

void tst_MainLists::keyboardSelectionLoadsTheList()
{
    Fixture f;
    f.addList("a", {"1"});
    const QString b = f.addList("b", {"2", "3"});
    frmMain* m = f.start();
    cTreeItem* second = g_nodMainItems->Children().Item(2);
    // The tree's own current row moves, as the arrow keys move it: the list loads.
    QTreeWidget* w = m->cTreeView1->Widget();
    for (QTreeWidgetItem* item : w->findItems("b", Qt::MatchExactly | Qt::MatchRecursive))
        w->setCurrentItem(item);
    QCOMPARE(m->cTreeView1->SelectedItem(), second);
    QCOMPARE(m->GridListFile(), b);
    QCOMPARE(gridItems(m->cGrid1), QStringLiteral("2 3"));
    command(m, "MarkUnmark All");
    QCOMPARE(fileItems(b), QStringLiteral("2* 3*"));
}

void tst_MainLists::informationGrid()
{
    Fixture f;
    const QString mono = f.addAudio("mono.wav", 2048, 3000, 1);
    f.played[mono] = FakePlayerScript{0, 22050, 1, 128000, 3.0};  // what the player reports
    f.addList("a", {"stereo.wav", "mono.wav"});
    frmMain* m = f.start();
    cGrid* info = m->cGridInfo;
    const QStringList names{"File Name", "Total Time", "File Size", "Created", "Format",
                            "Samples",   "Bitrate",    "Channels",  "Item"};
    QCOMPARE(info->Rows(), 9);
    for (int n = 0; n < names.size(); ++n)
        QCOMPARE(info->Cell(n + 1, 1).Text(), names[n]);
    QCOMPARE(info->Cell(8, 2).Text(), QStringLiteral("STEREO"));
    m->cGrid1->SetCurrentRow(2);
    m->cGrid1_RowChanged(2, 1);
    QCOMPARE(info->Cell(1, 2).Text(), QStringLiteral("mono.wav"));
    QCOMPARE(info->Cell(2, 2).Text(), QStringLiteral("00:00:03"));
    QCOMPARE(info->Cell(3, 2).Text(), QStringLiteral("2.00 KB"));
    QVERIFY(!info->Cell(4, 2).Text().isEmpty());
    QCOMPARE(info->Cell(5, 2).Text(), QStringLiteral("WAV"));
    QCOMPARE(info->Cell(6, 2).Text(), QStringLiteral("22050"));
    QCOMPARE(info->Cell(7, 2).Text(), QStringLiteral("128000"));
    QCOMPARE(info->Cell(8, 2).Text(), QStringLiteral("MONO"));
    QCOMPARE(info->Cell(9, 2).Text(), QStringLiteral("2"));

    // A click loads the row's length into the player labels.
    m->cGrid1->SetCurrentColumn(3);
    m->cGrid1_GridMouseUp(1, 0, 100, 100);
    QCOMPARE(m->lbTotalLengthSec->text(), QStringLiteral("0:00:03"));
    QCOMPARE(m->lblCurrentPositionSec->text(), QStringLiteral("0:00:00"));
}

void tst_MainLists::popupAndDataTracks()
{
    Fixture f;
    f.addList("a", {"a", "b"});
    frmMain* m = f.start();
    m->cGrid1_GridMouseUp(2, 0, 450, 150);
    QMenu* menu = m->m_cMenu->CurrentPopup();
    QVERIFY(menu);
    QCOMPARE(menu->actions().first()->text(), QStringLiteral("Mark/Unmark All"));
    menu->close();

    // A data track: no mark toggle, and no editing.
    m->cGrid1->Cell(2, 2).SetIconIndex(kIconData);
    clickMark(m, 2);
    QVERIFY(!IsRowMarked(m->cGrid1, 2));
    f.platform.messages().answers.enqueue(vbOK);
    m->cGridInfo_CellDoubleClick(5, 1);  // the main grid's current row, whatever was clicked
    QCOMPARE(f.platform.messages().shown.last().prompt, "Cannot edit a data track." + QString(36, u' '));
}

void tst_MainLists::noPopupOnEmptyGrid()
{
    Fixture f;
    f.addList("empty", {});
    frmMain* m = f.start();
    m->cGrid1_GridMouseUp(2, 0, 450, 150);
    QVERIFY(!m->m_cMenu->CurrentPopup());
}

void tst_MainLists::clearOnExit()
{
    Fixture f;
    const QString list = f.addList("a", {"x", "y"});
    g_bClearOnExit = true;
    frmMain* m = f.start();
    QVERIFY(Forms::Unload(m));
    QCOMPARE(TestFiles::ReadBytes(list), QByteArray("\n"));
}

void tst_MainLists::optionsChangeTheFolder()
{
    Fixture f;
    f.addList("a", {"x"});
    frmMain* m = f.start();
    g_sToPath = f.platform.path("Other/");
    m->ReloadListsTree();
    const QString first = f.platform.path("Other/New Items List 1.flst");
    QVERIFY(QFileInfo::exists(first));
    QCOMPARE(m->cTreeView1->SelectedItem()->Key(), first);
    QCOMPARE(m->cGrid1->Rows(), 0);
    QCOMPARE(g_nodMainItems->Key(), "##MAINITEMS" + f.platform.path("Other/"));

    m->ApplyGridOptions(false, false);
    QVERIFY(!m->cGrid1->HotTrack());
    QVERIFY(!m->cGrid1->GridLines());
}

// A lists folder stored without its closing "/" is the same folder: an OK without edits
// keeps the list shown, the tree is not built again.
void tst_MainLists::optionsOkWithoutEditsKeepsTheList()
{
    Fixture f;
    f.addList("a", {"x"});
    const QString b = f.addList("b", {"y"});
    QVERIFY(TestFiles::StoreText("General", "txtToPath", f.platform.path("Main")));
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(g_nodMainItems->Children().Item(2));
    QCOMPARE(m->GridListFile(), b);
    cTreeItem* group = g_nodMainItems;
    frmOptions* options = Forms::Get<frmOptions>();
    QCOMPARE(g_sToPath, f.platform.path("Main/"));
    options->cmdOk_Click();
    QCOMPARE(g_nodMainItems.data(), group);
    QCOMPARE(m->GridListFile(), b);
    QCOMPARE(m->cTreeView1->SelectedItem()->Key(), b);
    QCOMPARE(TestFiles::StoredText("General", "txtToPath"), f.platform.path("Main/"));
}

QTEST_MAIN(tst_MainLists)
#include "tst_mainlists.moc"
