// Items lists on unlucky disks and with odd files: saves that fail on a full disk, a
// read-only or a vanished lists folder; files under a list's name that cannot be read;
// lists written in another code page, or named in one; lists that are symbolic links;
// temporary files of saves cut off half-way; and a lists-folder setting holding NUL.
#include "components/cGrid/cGrid.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/frmItem.h"
#include "lists/mdlItemsGrid.h"
#include "platform/AtomicFile.h"
#include "platform/Controls.h"
#include "tests/lists/ListsFixture.h"
#include "tests/support/SmallDisk.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ListsTest;

namespace {

QString systemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray readNative(const QByteArray& path)
{
    QByteArray bytes;
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return bytes;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        bytes.append(buffer, n);
    ::close(fd);
    return bytes;
}

bool writeNative(const QByteArray& path, const QByteArray& bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    ::close(fd);
    return ok;
}

cTreeItem* listNode(frmMain* m, const QString& path, const QString& text)
{
    cTreeItems lists = g_nodMainItems->Children();
    for (qint32 i = 1; i <= lists.Count(); ++i)
        if (lists.Item(i)->Key() == path)
            return lists.Item(i);
    return m->cTreeView1->Nodes().Add(g_nodMainItems, cTreeItems::tvwChild, path, text, 42, 43);
}

} // namespace

class tst_ListSafety : public QObject
{
    Q_OBJECT
private slots:
    void failedSaves_data();
    void failedSaves();
    void unreadableLists_data();
    void unreadableLists();
    void listInAnotherCodePage();
    void listNamedInAnotherCodePage();
    void linkedListKeepsItsLink();
    void leftoverTemporaryFiles();
    void listsFolderHoldingNul();
};

void tst_ListSafety::failedSaves_data()
{
    QTest::addColumn<QString>("disk");    // full, read-only, or the lists folder gone
    QTest::addColumn<QString>("action");  // what changes the list
    for (const char* action : {"add file", "mark", "item properties", "remove item", "clear"})
        QTest::addRow("full disk, %s", action) << "full" << action;
    for (const char* action : {"add file", "mark", "new list", "clear"})
        QTest::addRow("read-only folder, %s", action) << "read-only" << action;
    for (const char* action : {"add file", "mark", "new list"})
        QTest::addRow("folder gone, %s", action) << "gone" << action;
}

// A change the list file does not take is said, with what could not be saved and why; the
// grid then shows what the file holds, and the status does not say "Ready.".
void tst_ListSafety::failedSaves()
{
    QFETCH(QString, disk);
    QFETCH(QString, action);
    Fixture f;
    const QString folder = f.platform.path("Main");
    QDir().mkpath(folder);
    SmallDisk small;
    if (disk != "gone") {
        QString why;
        if (!small.mount(folder, why))
            QSKIP(qPrintable("This machine gives the test no disk of its own (" + why + ")"));
    }
    const QString list = f.addList("a", {"x*", "y"});
    const QString extra = f.addAudio("new.wav");
    frmMain* m = f.start();
    QCOMPARE(gridItems(m->cGrid1), QStringLiteral("x* y"));
    const QByteArray before = TestFiles::ReadBytes(list);
    int error = 0;
    if (disk == "full") {
        small.fill();
        error = ENOSPC;
    } else if (disk == "read-only") {
        QVERIFY(small.readOnly());
        error = EROFS;
    } else {
        QVERIFY(QDir(folder).removeRecursively());
        error = ENOENT;
    }
    const QString why = systemText(error);
    QString expected = "The items list 'a' could not be saved: " + why + ".\r\n\r\nThe list shows again what its file holds.";

    auto& messages = f.platform.messages();
    if (action == "clear")
        messages.answers.enqueue(vbYes);
    messages.answers.enqueue(vbOK);
    if (action == "add file") {
        m->cGrid1_OLEDragDrop({extra}, 1, 1, 0, 0, 0);
    } else if (action == "mark") {
        clickMark(m, 2);
    } else if (action == "item properties") {
        bool stayedOpen = false;
        f.platform.modal().handlers.enqueue([&](VForm* form) {
            auto* d = qobject_cast<frmItem*>(form);
            QVERIFY(d);
            d->txtItemName->setText(QStringLiteral("renamed"));
            d->cmdOk_Click();
            stayedOpen = Forms::IsLoaded<frmItem>();  // what was typed is not lost
            d->cmdExit_Click();
        });
        m->cGrid1->SetCurrentRow(1);
        command(m, "Rename Item");
        QVERIFY(stayedOpen);
    } else if (action == "remove item") {
        m->cGrid1->SetCurrentRow(1);
        m->RemoveItems();
    } else if (action == "clear") {
        m->ConfirmClearList();
        expected = "The items list 'a' could not be cleared: " + why + ".";
    } else if (action == "new list") {
        command(m, "New Items List");
        expected = "The new items list 'New Items List 1' could not be created: " + why + ".";
    }
    QVERIFY(!messages.shown.isEmpty());
    QCOMPARE(messages.shown.last().prompt, expected);
    QVERIFY(messages.answers.isEmpty());

    if (action == "new list") {
        QCOMPARE(g_nodMainItems->Children().Count(), 1);
        QCOMPARE(m->cTreeView1->SelectedItem()->Key(), list);
        return;
    }
    // The screen holds what the file holds.
    QCOMPARE(TestFiles::ReadBytes(list), disk == "gone" ? QByteArray() : before);
    QCOMPARE(gridItems(m->cGrid1), fileItems(list));
    QCOMPARE(m->cStatusBar1->PanelText("Items List Properties"), ListSummary(m->cGrid1));
    QCOMPARE(m->cStatusBar1->PanelText("Main"), QStringLiteral("Not saved."));
    QCOMPARE(m->picEmptyMsg->isHidden(), m->cGrid1->Rows() > 0);
    // No temporary file is left behind.
    if (disk != "gone")
        QCOMPARE(QDir(folder).entryList({".*"}, QDir::Files | QDir::Hidden), QStringList());
}

void tst_ListSafety::unreadableLists_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("why");
    QTest::newRow("plain text") << "text" << "it holds no items list";
    QTest::newRow("a folder") << "folder" << "it is a folder";
    QTest::newRow("a named pipe") << "fifo" << "it is not a regular file";
}

// A file under a list's name that holds no list is shown as no list: the empty-list notice,
// an empty information grid and summary, and a word on why; nothing adds to it or writes it.
void tst_ListSafety::unreadableLists()
{
    QFETCH(QString, kind);
    QFETCH(QString, why);
    Fixture f;
    f.addList("a", {"x", "y"});
    const QString audio = f.addAudio("new.wav");
    const QString path = f.platform.path("Main/broken.flst");
    if (kind == "text")
        TestFiles::WriteBytes(path, "Things to buy:\nmilk\n");
    else if (kind == "folder")
        QDir().mkpath(path + "/inside");
    else
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    const QByteArray before = kind == "text" ? TestFiles::ReadBytes(path) : QByteArray();
    g_bClearOnExit = true;
    frmMain* m = f.start();
    QCOMPARE(m->cStatusBar1->PanelText("Items List Properties").left(8), QStringLiteral("2 Items,"));
    QCOMPARE(m->cGridInfo->Rows(), 9);

    auto& messages = f.platform.messages();
    const QString said = "The items list 'broken' cannot be read: " + why
        + ".\r\n\r\nIts file is left as it is; nothing can be added to it.";
    messages.answers.enqueue(vbOK);
    m->cTreeView1_NodeClick(listNode(m, path, "broken"));
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(messages.shown.last().prompt, said);
    QCOMPARE(m->cGrid1->Rows(), 0);
    QVERIFY(!m->picEmptyMsg->isHidden());
    QCOMPARE(m->lblAddorDrag->text(), QStringLiteral("This items list cannot be read."));
    QCOMPARE(m->cGridInfo->Rows(), 0);
    QCOMPARE(m->cStatusBar1->PanelText("Items List Properties"), QStringLiteral("0 Items, 0 KB, 00:00:00"));

    // Adding files says why rather than doing nothing.
    messages.answers.enqueue(vbOK);
    command(m, "Add Files");
    messages.answers.enqueue(vbOK);
    m->cGrid1_OLEDragDrop({audio}, 1, 1, 0, 0, 0);
    messages.answers.enqueue(vbOK);
    static_cast<MainHost*>(m)->AddPathsToList({audio});  // as the audio editor adds its file
    QCOMPARE(messages.shown.size(), 4);
    QCOMPARE(messages.shown.last().prompt, said);
    QVERIFY(f.platform.dialogs().openRequests.isEmpty());
    QCOMPARE(m->cGrid1->Rows(), 0);

    // Nothing writes it: marks, saves, clearing, the clear at exit.
    command(m, "MarkUnmark All");
    m->SaveGridToFile();
    m->DoClearTheList();
    QVERIFY(Forms::Unload(m));
    QCOMPARE(messages.shown.size(), 4);
    if (kind == "text")
        QCOMPARE(TestFiles::ReadBytes(path), before);
    else if (kind == "folder")
        QVERIFY(QFileInfo(path + "/inside").isDir());
    else
        QVERIFY(!QFileInfo(path).isFile() && QFileInfo::exists(path));
}

// A list an older copy wrote in Windows-1252 is a list: its rows show with their accents,
// files are added to it, and it is written back as UTF-8.
void tst_ListSafety::listInAnotherCodePage()
{
    Fixture f;
    const QString cafe = f.addAudio(QString::fromUtf8("café.wav"));
    const QString added = f.addAudio("added.wav");
    const QString list = f.platform.path("Main/old.flst");
    TestFiles::WriteBytes(list, (record("1", QString::fromUtf8("Café crème"), cafe) + "\r\n").toLatin1());
    frmMain* m = f.start();
    QCOMPARE(gridItems(m->cGrid1), QString::fromUtf8("Café crème*"));
    QCOMPARE(m->cGridInfo->Cell(1, 2).Text(), QString::fromUtf8("Café crème"));
    QCOMPARE(m->cStatusBar1->PanelText("Items List Properties"), QStringLiteral("1 Items, 100, 00:00:01"));
    m->cGrid1_OLEDragDrop({added}, 1, 1, 0, 0, 0);
    QVERIFY(f.platform.messages().shown.isEmpty());
    QCOMPARE(fileItems(list), QString::fromUtf8("Café crème* added.wav*"));
    QVERIFY(TestFiles::ReadBytes(list).contains("Caf\xc3\xa9 cr\xc3\xa8me"));
    QCOMPARE(fileField(list, 1, "COL_FILE"), cafe);
}

// A list whose file name is not UTF-8 shows under a readable name and keeps using its own
// file: no new list is made in its place.
void tst_ListSafety::listNamedInAnotherCodePage()
{
    Fixture f;
    const QString x = f.addAudio("x.wav");
    const QByteArray raw = QFile::encodeName(f.platform.path("Main/")) + "Caf\xe9 \x80.flst";
    QVERIFY(writeNative(raw, (record("1", "x.wav", x) + "\n").toUtf8()));
    frmMain* m = f.start();
    QCOMPARE(g_nodMainItems->Children().Count(), 1);
    cTreeItem* node = g_nodMainItems->Children().Item(1);
    QCOMPARE(node->Text(), QString::fromUtf8("Café €"));
    QCOMPARE(m->lblListName->text(), QString::fromUtf8("Café €"));
    QCOMPARE(m->cTreeView1->SelectedItem(), node);
    QCOMPARE(gridItems(m->cGrid1), QStringLiteral("x.wav*"));
    QVERIFY(!QFileInfo::exists(f.platform.path("Main/New Items List 1.flst")));

    // Changes go into that very file.
    clickMark(m, 1);
    QVERIFY(readNative(raw).contains("<Inc>0</Inc>"));
    QCOMPARE(QDir(f.platform.path("Main")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 0);

    // Renamed, it takes a UTF-8 name; the old name is gone.
    m->cTreeView1->CommitLabelEdit(node, QString::fromUtf8("Café"));
    const QString renamed = f.platform.path(QString::fromUtf8("Main/Café.flst"));
    QCOMPARE(fileItems(renamed), QStringLiteral("x.wav"));
    QCOMPARE(readNative(raw), QByteArray());
    QCOMPARE(node->Key(), renamed);
}

// A list file that is a symbolic link stays one: the file it points to takes the changes.
void tst_ListSafety::linkedListKeepsItsLink()
{
    Fixture f;
    const QString x = f.addAudio("x.wav");
    QDir().mkpath(f.platform.path("Elsewhere"));
    const QString real = f.platform.path("Elsewhere/real.flst");
    TestFiles::WriteBytes(real, (record("0", "x.wav", x) + "\n").toUtf8());
    const QString link = f.platform.path("Main/linked.flst");
    QVERIFY(QFile::link("../Elsewhere/real.flst", link));
    frmMain* m = f.start();
    QCOMPARE(m->cTreeView1->SelectedItem()->Key(), link);
    clickMark(m, 1);
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(fileItems(real), QStringLiteral("x.wav*"));
    f.platform.messages().answers.enqueue(vbYes);  // clearing asks first
    command(m, "Clear the List");
    m->tmrRemove_Timer();
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(TestFiles::ReadBytes(real), QByteArray("\n"));
}

// Saves cut off half-way leave their temporary files; the next start clears them, beside
// the lists and beside the files that linked lists point to, and nothing else.
void tst_ListSafety::leftoverTemporaryFiles()
{
    Fixture f;
    const QString a = f.addList("a", {"x"});
    QDir().mkpath(f.platform.path("Real"));
    const QString real = f.platform.path("Real/r.flst");
    TestFiles::WriteBytes(real, "\n");
    QVERIFY(QFile::link("../Real/r.flst", f.platform.path("Main/l.flst")));
    const QStringList leftovers{f.platform.path("Main/") + AtomicTempPrefix(a) + "AbC123",
                                f.platform.path("Main/") + AtomicTempPrefix(f.platform.path("Main/gone.flst")) + "x1Y2z3",
                                f.platform.path("Real/") + AtomicTempPrefix(real) + "Q1w2E3"};
    const QStringList kept{f.platform.path("Main/.hidden"), f.platform.path("Main/") + AtomicTempPrefix(a) + "toolong1",
                           f.platform.path("Main/notes.flst.tmp-AbC123"),
                           f.platform.path("Real/") + AtomicTempPrefix(f.platform.path("Real/other.flst")) + "Q1w2E3"};
    for (const QString& p : leftovers + kept)
        QVERIFY(TestFiles::WriteBytes(p, "<ITEM>half"));
    frmMain* m = f.start();
    Q_UNUSED(m)
    for (const QString& p : leftovers)
        QVERIFY2(!QFileInfo::exists(p), qPrintable(p));
    for (const QString& p : kept)
        QVERIFY2(QFileInfo::exists(p), qPrintable(p));
    QCOMPARE(fileItems(a), QStringLiteral("x"));
}

// A lists-folder setting holding NUL names no folder: nothing is made at the name cut short
// at its NUL, the window shows no list, and says why.
void tst_ListSafety::listsFolderHoldingNul()
{
    Fixture f;
    g_sToPath = f.platform.path("Ma") + QChar(0) + "in/";
    f.platform.messages().answers.enqueue(vbOK);
    frmMain* m = f.start();
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt,
             QStringLiteral("The lists folder cannot be used: its name holds a NUL character.\r\n\r\n"
                            "Choose another folder for the items lists in the options."));
    QCOMPARE(g_nodMainItems->Children().Count(), 0);
    QCOMPARE(m->cGrid1->Rows(), 0);
    QVERIFY(!m->picEmptyMsg->isHidden());
    QCOMPARE(m->lblAddorDrag->text(), QStringLiteral("The lists folder cannot be used."));
    QCOMPARE(m->cGridInfo->Rows(), 0);
    QCOMPARE(m->cStatusBar1->PanelText("Items List Properties"), QStringLiteral("0 Items, 0 KB, 00:00:00"));
    QVERIFY(!QFileInfo::exists(f.platform.path("Ma")));
    command(m, "New Items List");
    command(m, "Add Files");
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QVERIFY(!QFileInfo::exists(f.platform.path("Ma")));
}

QTEST_MAIN(tst_ListSafety)
#include "tst_listsafety.moc"
