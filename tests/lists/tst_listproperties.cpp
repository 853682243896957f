// The list properties dialog: renaming the list it was opened for (file, node, label, and
// the grid writing on under the new name), the refusals, a rename the file system refuses,
// and the folder link.
#include "components/cBalloonTip/cBalloonTip.h"
#include "components/cGrid/cGrid.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTabControl/cTabControl.h"
#include "components/cTreeView/cTreeView.h"
#include "common/mdlFunctions.h"
#include "lists/frmDirProperties.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "tests/lists/ListsFixture.h"

#include <QFileInfo>
#include <QLabel>
#include <QTest>

#include <cerrno>

using namespace ListsTest;

namespace {

QStringList listFiles(const Fixture& f)
{
    return QDir(f.platform.path("Main")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

frmDirProperties* openProperties(frmMain* m)
{
    command(m, "Items List Properties");
    return Forms::Loaded<frmDirProperties>();
}

} // namespace

class tst_ListProperties : public QObject
{
    Q_OBJECT
private slots:
    void renamesTheList();
    void refusals_data();
    void refusals();
    void actsOnTheListItWasOpenedFor();
    void failedRenameIsReported();
    void folderLink();
    void groupNodeAndReadOnlyDialog();
};

void tst_ListProperties::renamesTheList()
{
    Fixture f;
    const QString a = f.addList("a", {"x*", "y"});
    f.addList("b", {"z"});
    frmMain* m = f.start();
    const QByteArray content = TestFiles::ReadBytes(a);
    frmDirProperties* d = openProperties(m);
    QVERIFY(d);
    QVERIFY(d->isVisible());
    QVERIFY(f.platform.modal().shown.isEmpty());  // modeless
    QCOMPARE(d->windowTitle(), QStringLiteral("Items List Properties"));
    QCOMPARE(d->cTabControl1->TabCount(), 1);
    QCOMPARE(d->cTabControl1->TabCaption(1), QStringLiteral("Information"));
    QCOMPARE(d->txtFolderName->text(), QStringLiteral("a"));
    QVERIFY(d->txtFolderName->isEnabled());
    QCOMPARE(d->txtPath->text(), a);
    QCOMPARE(d->lblContain->text(), m->cStatusBar1->PanelText(QStringLiteral("Items List Properties")));
    QCOMPARE(d->lblContain->text(), ListSummary(m->cGrid1));
    QVERIFY(d->bEditFolderName);

    d->txtFolderName->setText(QStringLiteral("  Songs  "));
    d->cmdOk_Click();
    const QString songs = f.platform.path("Main/Songs.flst");
    QCOMPARE(listFiles(f), (QStringList{"b.flst", "Songs.flst"}));
    QCOMPARE(TestFiles::ReadBytes(songs), content);
    cTreeItem* node = m->cTreeView1->SelectedItem();
    QCOMPARE(node->Key(), songs);
    QCOMPARE(node->Text(), QStringLiteral("Songs"));
    QCOMPARE(m->lblListName->text(), QStringLiteral("Songs"));
    QVERIFY(!Forms::IsLoaded<frmDirProperties>());
    QVERIFY(f.platform.messages().shown.isEmpty());
    // The grid writes on into the renamed file.
    command(m, "MarkUnmark All");
    QCOMPARE(fileField(songs, 1, "Inc"), QStringLiteral("0"));
    QCOMPARE(fileField(songs, 2, "Inc"), QStringLiteral("0"));
}

void tst_ListProperties::refusals_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("boxAfter");
    QTest::newRow("blanks only") << "   " << QString("Empty Item Name." + QString(42, u' ')) << "";
    QTest::newRow("colon") << "a:b" << QString("Illegal Item Name." + QString(42, u' ')) << "a:b";
    QTest::newRow("quote") << " say \"x\"" << QString("Illegal Item Name." + QString(42, u' ')) << "say \"x\"";
    QTest::newRow("hidden file name") << ".hidden" << QString("Illegal Item Name." + QString(42, u' ')) << ".hidden";
    QTest::newRow("another list's name") << "b" << "Folder name already exists, please select a different name." << "b";
    QTest::newRow("a folder of that name") << "dir" << "Folder name already exists, please select a different name." << "dir";
    QTest::newRow("same letters, other case") << "A" << "" << "A";  // case counts: a new name
    QTest::newRow("unchanged") << "a" << "" << "a";
}

void tst_ListProperties::refusals()
{
    QFETCH(QString, typed);
    QFETCH(QString, message);
    QFETCH(QString, boxAfter);
    Fixture f;
    const QString a = f.addList("a", {"x"});
    f.addList("b", {});
    QDir().mkpath(f.platform.path("Main/dir.flst"));
    frmMain* m = f.start();
    const QStringList before = listFiles(f);
    cBalloonTip::ResetLastShown();
    f.platform.messages().answerAll = vbOK;
    frmDirProperties* d = openProperties(m);
    d->txtFolderName->setText(typed);
    d->cmdOk_Click();
    QCOMPARE(d->txtFolderName->text(), boxAfter);
    cTreeItem* node = m->cTreeView1->SelectedItem();
    if (message.isEmpty()) {
        QVERIFY(f.platform.messages().shown.isEmpty());
        QVERIFY(!Forms::IsLoaded<frmDirProperties>());
        QCOMPARE(node->Text(), typed);
        QCOMPARE(QFileInfo::exists(f.platform.path("Main/" + typed + ".flst")), true);
        return;
    }
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, message);
    QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation);
    QVERIFY(Forms::IsLoaded<frmDirProperties>());
    QCOMPARE(listFiles(f), before);
    QCOMPARE(node->Key(), a);
    QCOMPARE(node->Text(), QStringLiteral("a"));
    QCOMPARE(m->lblListName->text(), QStringLiteral("a"));
    QCOMPARE(cBalloonTip::LastShown().count, message.startsWith(QStringLiteral("Illegal")) ? 1 : 0);
    // The name box swallows the illegal characters as they are typed.
    d->txtFolderName->clear();
    QTest::keyClicks(d->txtFolderName, QStringLiteral("n:e|w"));
    QCOMPARE(d->txtFolderName->text(), QStringLiteral("new"));
    d->cmdCancel_Click();
    QVERIFY(!Forms::IsLoaded<frmDirProperties>());
    QCOMPARE(listFiles(f), before);
}

// The dialog is modeless: the user may show another list before pressing OK. OK renames
// the list the dialog was opened for, and the list shown stays as it is.
void tst_ListProperties::actsOnTheListItWasOpenedFor()
{
    Fixture f;
    const QString a = f.addList("a", {"x"});
    const QString b = f.addList("b", {"y*"});
    frmMain* m = f.start();
    frmDirProperties* d = openProperties(m);
    cTreeItem* listA = m->cTreeView1->SelectedItem();
    cTreeItem* listB = g_nodMainItems->Children().Item(2);
    m->cTreeView1_NodeClick(listB);
    d->txtFolderName->setText(QStringLiteral("Renamed"));
    d->cmdOk_Click();
    const QString renamed = f.platform.path("Main/Renamed.flst");
    QCOMPARE(listFiles(f), (QStringList{"b.flst", "Renamed.flst"}));
    QCOMPARE(listA->Key(), renamed);
    QCOMPARE(listA->Text(), QStringLiteral("Renamed"));
    QCOMPARE(listB->Key(), b);
    QCOMPARE(listB->Text(), QStringLiteral("b"));
    QCOMPARE(m->lblListName->text(), QStringLiteral("b"));
    QCOMPARE(m->GridListFile(), b);
    command(m, "MarkUnmark All");
    QCOMPARE(fileField(b, 1, "Inc"), QStringLiteral("0"));
    QCOMPARE(fileField(renamed, 1, "Item Name"), QStringLiteral("x"));
    m->cTreeView1_NodeClick(listA);
    QCOMPARE(RowText(m->cGrid1, 1, "Item Name"), QStringLiteral("x"));
    QCOMPARE(m->lblListName->text(), QStringLiteral("Renamed"));
}

// A list file that cannot take the new name (here it was deleted meanwhile): the failure
// is reported, and the node, its key and the label keep the old name.
void tst_ListProperties::failedRenameIsReported()
{
    Fixture f;
    const QString a = f.addList("a", {"x"});
    frmMain* m = f.start();
    frmDirProperties* d = openProperties(m);
    QVERIFY(QFile::remove(a));
    f.platform.messages().answers.enqueue(vbOK);
    d->txtFolderName->setText(QStringLiteral("New"));
    d->cmdOk_Click();
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, RenameFailureText(ENOENT));
    QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation);
    QVERIFY(Forms::IsLoaded<frmDirProperties>());
    cTreeItem* node = m->cTreeView1->SelectedItem();
    QCOMPARE(node->Key(), a);
    QCOMPARE(node->Text(), QStringLiteral("a"));
    QCOMPARE(m->lblListName->text(), QStringLiteral("a"));
    QVERIFY(!QFileInfo::exists(f.platform.path("Main/New.flst")));
}

// The link opens the folder that holds the list file, offering to create it when it is
// gone; a CD drive's key names no folder.
void tst_ListProperties::folderLink()
{
    Fixture f;
    f.addList("a", {"x"});
    frmMain* m = f.start();
    frmDirProperties* d = openProperties(m);
    d->lblOpenDestinationDestinationFolder_Click();
    QCOMPARE(f.platform.shell().opened, QStringList{f.platform.path("Main/")});
    QCOMPARE(d->txtPath->text(), f.platform.path("Main/a.flst"));
    QVERIFY(f.platform.messages().shown.isEmpty());

    // A list file in a folder that is gone: asked; No stops, Yes creates and opens it.
    const QString gone = f.platform.path("Gone/Deeper/");
    d->txtPath->setText(gone + "x.flst");
    f.platform.messages().answers.enqueue(vbNo);
    d->lblOpenDestinationDestinationFolder_Click();
    QCOMPARE(f.platform.messages().shown.last().prompt,
             "The folder " + gone + " does not exist." + QString(44, u' ') + "\r\n\r\nWould you like to create it?");
    QCOMPARE(f.platform.messages().shown.last().buttons, vbYesNo + vbInformation);
    QCOMPARE(f.platform.shell().opened.size(), 1);
    QVERIFY(!QFileInfo::exists(gone));
    f.platform.messages().answers.enqueue(vbYes);
    d->lblOpenDestinationDestinationFolder_Click();
    QVERIFY(QFileInfo(gone).isDir());
    QCOMPARE(f.platform.shell().opened.last(), gone);

    // A folder that cannot be made is reported, and the shell is still asked.
    TestFiles::WriteBytes(f.platform.path("file"), "x");
    const QString blocked = f.platform.path("file/sub/");
    d->txtPath->setText(blocked + "x.flst");
    f.platform.messages().answers.enqueue(vbYes);
    f.platform.messages().answers.enqueue(vbOK);
    d->lblOpenDestinationDestinationFolder_Click();
    QCOMPARE(f.platform.messages().shown.last().prompt, "The path: " + blocked + " cannot be created.");
    QCOMPARE(f.platform.messages().shown.last().buttons, vbOKOnly);
    QCOMPARE(f.platform.shell().opened.last(), blocked);
    d->cmdCancel_Click();

    // A CD drive node: the dialog shows it, the link opens nothing and creates nothing.
    cTreeItem* drive = m->cTreeView1->Nodes().Add(nullptr, cTreeItems::tvwLast, "##CDD: Drive", "D:", 25, 25);
    m->cTreeView1_NodeClick(drive);
    const int shown = int(f.platform.messages().shown.size());
    d = openProperties(m);
    QCOMPARE(d->txtPath->text(), QStringLiteral("##CDD: Drive"));
    d->lblOpenDestinationDestinationFolder_Click();
    QCOMPARE(f.platform.shell().opened.size(), 3);
    QCOMPARE(f.platform.messages().shown.size(), shown);
    QVERIFY(QDir::current().entryList({"##*"}, QDir::AllEntries).isEmpty());
    // Its name changes without any file.
    const QStringList files = listFiles(f);
    d->txtFolderName->setText(QStringLiteral("Artist - Album"));
    d->cmdOk_Click();
    QCOMPARE(drive->Text(), QStringLiteral("Artist - Album"));
    QCOMPARE(drive->Key(), QStringLiteral("##CDD: Drive"));
    QCOMPARE(m->lblListName->text(), QStringLiteral("Artist - Album"));
    QCOMPARE(listFiles(f), files);
}

void tst_ListProperties::groupNodeAndReadOnlyDialog()
{
    Fixture f;
    const QString a = f.addList("a", {"x"});
    frmMain* m = f.start();
    // With the group node selected the dialog does not show.
    g_nodMainItems->SetItemFlag67(true);
    m->cTreeView1_NodeClick(g_nodMainItems);
    QVERIFY(!openProperties(m));
    m->ShowListProperties(g_nodMainItems->Children().Item(1));
    QVERIFY(!Forms::IsLoaded<frmDirProperties>());

    // A dialog not opened for editing only closes.
    m->cTreeView1_NodeClick(g_nodMainItems->Children().Item(1));
    frmDirProperties* d = openProperties(m);
    d->bEditFolderName = false;
    d->txtFolderName->setText(QStringLiteral("Other"));
    d->cmdOk_Click();
    QVERIFY(!Forms::IsLoaded<frmDirProperties>());
    QVERIFY(QFileInfo::exists(a));
    QCOMPARE(g_nodMainItems->Children().Item(1)->Text(), QStringLiteral("a"));
}

QTEST_MAIN(tst_ListProperties)
#include "tst_listproperties.moc"
