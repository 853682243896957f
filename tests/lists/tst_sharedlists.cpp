// Two program folders sharing one lists folder: a list another copy of the program wrote
// since this one read it is never overwritten with the old rows. This copy's edit is made
// again on what the file holds, or this copy's version is kept in a list beside it. The
// other copy is a second process of this test running the main window over its own
// program folder and the same lists folder.
#include "components/cGrid/cGrid.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/frmItem.h"
#include "platform/Controls.h"
#include "lists/mdlSharedList.h"
#include "tests/lists/ListsFixture.h"

#include <QApplication>
#include <QProcess>
#include <QTest>

using namespace ListsTest;

namespace {

// The other copy: the main window over its own program folder and the lists folder given,
// with every file of the audio folder readable audio. It makes one edit (or adds files one
// by one) and prints each box it was shown.
int runOtherCopy(const QStringList& args)
{
    const QString lists = args.value(0);
    const QString audioFolder = args.value(1);
    const QString action = args.value(2);
    const QStringList rest = args.mid(3);
    Fixture f;
    g_sToPath = lists;
    for (const QString& name : QDir(audioFolder).entryList(QDir::Files)) {
        const QString path = audioFolder + u'/' + name;
        f.audio[path] = FakeFileScript{0, 1000, 44100, 2, 16, {}};
        f.played[path] = FakePlayerScript{0, 44100, 2, 1411200, 1.0};
    }
    f.platform.messages().answerAll = vbOK;
    frmMain* m = f.start();
    QTextStream out(stdout);
    out << "ready" << Qt::endl;
    if (action == QLatin1String("add")) {
        for (const QString& name : rest)
            m->cGrid1_OLEDragDrop({audioFolder + u'/' + name}, 1, 1, 0, 0, 0);
    } else if (action == QLatin1String("mark")) {
        clickMark(m, rest.value(0).toInt());
    } else if (action == QLatin1String("remove")) {
        m->cGrid1->SetCurrentRow(rest.value(0).toInt());
        m->RemoveItems();
    }
    for (const auto& box : f.platform.messages().shown)
        out << "box: " << box.prompt << Qt::endl;
    return 0;
}

// The other copy of the program, run to its end or started in the background.
class OtherCopy
{
public:
    OtherCopy(const Fixture& f, const QString& action, const QStringList& args)
    {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QCoreApplication::applicationFilePath(),
                        QStringList{"--other-copy", f.platform.path("Main/"), f.platform.path("audio"), action} + args);
    }
    ~OtherCopy()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }
    bool waitReady()
    {
        while (!m_output.contains("ready\n")) {
            if (!m_process.waitForReadyRead(60000))
                return false;
            m_output += m_process.readAllStandardOutput();
        }
        return true;
    }
    // Waits for its end; the boxes it was shown, in order.
    QStringList finish()
    {
        m_process.waitForFinished(120000);
        m_output += m_process.readAllStandardOutput();
        QStringList boxes;
        for (const QByteArray& line : m_output.split('\n'))
            if (line.startsWith("box: "))
                boxes << QString::fromUtf8(line.mid(5));
        return boxes;
    }
    bool ended() const { return m_process.state() == QProcess::NotRunning && m_process.exitCode() == 0; }

private:
    QProcess m_process;
    QByteArray m_output;
};

// A record of the list tests' form: "name" or "name*" (marked), its file "/a/<name>".
QString rec(const QString& item)
{
    const bool marked = item.endsWith(u'*');
    const QString name = marked ? item.chopped(1) : item;
    return record(marked ? "1" : "0", name, "/a/" + name);
}

QStringList recs(const QString& items)
{
    QStringList out;
    for (const QString& item : items.split(u' ', Qt::SkipEmptyParts))
        out << rec(item);
    return out;
}

QString names(const QStringList& records)
{
    QStringList out;
    for (const QString& r : records)
        out << GetTagValue("Item Name", r) + (GetTagValue("Inc", r) == u'1' ? "*" : "");
    return out.join(u' ');
}

// The list tests' rows of one list: their names and how the file holds them.
QString listItems(frmMain* m)
{
    return gridItems(m->cGrid1);
}

} // namespace

class tst_SharedLists : public QObject
{
    Q_OBJECT
private slots:
    void reapplyEdit_data();
    void reapplyEdit();
    void twoCopies_data();
    void twoCopies();
    void twoCopiesAddingAtOnce();
    void editThatCannotBeMadeIsKeptBeside();
};

void tst_SharedLists::reapplyEdit_data()
{
    QTest::addColumn<QString>("base");    // what this copy read
    QTest::addColumn<QString>("theirs");  // what the file holds now
    QTest::addColumn<QString>("mine");    // this copy's rows: name@origin (0: new)
    QTest::addColumn<QString>("merged");  // "conflict" when the edit cannot be made
    QTest::newRow("added here, added there") << "a b" << "a b g" << "a@1 b@2 x@0" << "a b g x";
    QTest::newRow("added in the middle") << "a b c" << "a b c g" << "a@1 x@0 b@2 c@3" << "a x b c g";
    QTest::newRow("added to an empty list") << "" << "g" << "x@0" << "g x";
    QTest::newRow("marked here, added there") << "a b" << "a b g" << "a*@1 b@2" << "a* b g";
    QTest::newRow("removed here, added there") << "a b" << "a b g" << "b@2" << "b g";
    QTest::newRow("cleared here, added there") << "a b" << "a b g" << "" << "g";
    QTest::newRow("moved up here, added there") << "a b c" << "a b c g" << "b@2 a@1 c@3" << "b a c g";
    QTest::newRow("to first here, added first there") << "a b c" << "g a b c" << "c@3 a@1 b@2" << "c g a b";
    QTest::newRow("to last here, added there") << "a b c" << "a b c g" << "b@2 c@3 a@1" << "b c g a";
    QTest::newRow("changed here, another row changed there") << "a b" << "a b*" << "a*@1 b@2" << "a* b*";
    QTest::newRow("the same change in both") << "a b" << "a* b" << "a*@1 b@2" << "a* b";
    QTest::newRow("removed in both") << "a b c" << "a c" << "a@1 c@3" << "a c";
    QTest::newRow("untouched here, removed there") << "a b" << "b" << "a@1 b@2 x@0" << "b x";
    QTest::newRow("twins: the second one marked") << "a a" << "a a g" << "a@1 a*@2" << "a a* g";
    QTest::newRow("marked here, removed there") << "a b c" << "a c" << "a@1 b*@2 c@3" << "conflict";
    QTest::newRow("removed here, changed there") << "a b c" << "a b* c" << "a@1 c@3" << "conflict";
    QTest::newRow("moved here, removed there") << "a b c" << "a b" << "c@3 a@1 b@2" << "conflict";
}

void tst_SharedLists::reapplyEdit()
{
    QFETCH(QString, base);
    QFETCH(QString, theirs);
    QFETCH(QString, mine);
    QFETCH(QString, merged);
    QList<ListRow> rows;
    for (const QString& item : mine.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(u'@');
        rows.append({parts[1].toInt(), rec(parts[0])});
    }
    QStringList out;
    const bool made = ReapplyListEdit(recs(base), rows, recs(theirs), out);
    QCOMPARE(made ? names(out) : QStringLiteral("conflict"), merged);
}

void tst_SharedLists::twoCopies_data()
{
    QTest::addColumn<QString>("other");  // what the other copy does first
    QTest::addColumn<QString>("here");   // then this copy, which read the list before
    QTest::addColumn<QString>("items");  // what the file and this copy's grid hold then
    // The list holds x y z; a new file is added marked.
    QTest::newRow("other adds, this one marks") << "add w.wav" << "mark 1" << "x.wav* y.wav z.wav w.wav*";
    QTest::newRow("both add") << "add w.wav" << "add v.wav" << "x.wav y.wav z.wav w.wav* v.wav*";
    QTest::newRow("other marks, this one removes another") << "mark 2" << "remove 1" << "y.wav* z.wav";
    QTest::newRow("other removes, this one moves another first") << "remove 1" << "first 3" << "z.wav y.wav";
    QTest::newRow("other adds, this one clears") << "add w.wav" << "clear" << "w.wav*";
    // Renamed twice in one opening of the item properties: Apply, then OK.
    QTest::newRow("other removes, this one renames another") << "remove 1" << "rename 3" << "y.wav twice";
}

// Each copy's edit reaches the file, whichever wrote last.
void tst_SharedLists::twoCopies()
{
    QFETCH(QString, other);
    QFETCH(QString, here);
    QFETCH(QString, items);
    Fixture f;
    const QString list = f.addList("a", {"x.wav", "y.wav", "z.wav"});
    f.addAudio("w.wav");
    const QString v = f.addAudio("v.wav");
    frmMain* m = f.start();
    QCOMPARE(listItems(m), QStringLiteral("x.wav y.wav z.wav"));

    OtherCopy copy(f, other.section(u' ', 0, 0), {other.section(u' ', 1)});
    QCOMPARE(copy.finish(), QStringList());
    QVERIFY(copy.ended());

    const QString action = here.section(u' ', 0, 0);
    const int row = here.section(u' ', 1).toInt();
    if (action == "mark") {
        clickMark(m, row);
    } else if (action == "add") {
        m->cGrid1_OLEDragDrop({v}, 1, 1, 0, 0, 0);
    } else if (action == "remove") {
        m->cGrid1->SetCurrentRow(row);
        m->RemoveItems();
    } else if (action == "first") {
        m->cGrid1->SetCurrentRow(row);
        command(m, "Move To First");
    } else if (action == "clear") {
        f.platform.messages().answers.enqueue(vbYes);
        m->ConfirmClearList();
    } else if (action == "rename") {
        f.platform.modal().handlers.enqueue([&](VForm* form) {
            auto* d = qobject_cast<frmItem*>(form);
            QVERIFY(d);
            d->txtItemName->setText(QStringLiteral("once"));
            d->cmdApply_Click();
            d->txtItemName->setText(QStringLiteral("twice"));
            d->cmdOk_Click();
            QVERIFY(!Forms::IsLoaded<frmItem>());
        });
        m->cGrid1->SetCurrentRow(row);
        command(m, "Rename Item");
    }
    QCOMPARE(fileItems(list), items);
    QCOMPARE(listItems(m), items);
    QCOMPARE(m->cStatusBar1->PanelText("Items List Properties"), ListSummary(m->cGrid1));
    QCOMPARE(f.platform.messages().shown.size(), action == "clear" ? 1 : 0);
    QCOMPARE(g_nodMainItems->Children().Count(), 1);
    // The next edit goes on from what the screen shows.
    m->cGrid1->SetCurrentRow(1);
    m->RemoveItems();
    QCOMPARE(fileItems(list), items.section(u' ', 1));
}

// Both copies add files one by one at the same time: every file is in the list once.
void tst_SharedLists::twoCopiesAddingAtOnce()
{
    Fixture f;
    const QString list = f.addList("a", {"x.wav"});
    QStringList theirs;
    QStringList mine;
    for (int i = 1; i <= 20; ++i) {
        f.addAudio(QStringLiteral("o%1.wav").arg(i, 2, 10, QChar(u'0')));
        theirs << QStringLiteral("o%1.wav").arg(i, 2, 10, QChar(u'0'));
        mine << f.addAudio(QStringLiteral("m%1.wav").arg(i, 2, 10, QChar(u'0')));
    }
    frmMain* m = f.start();
    OtherCopy copy(f, "add", theirs);
    QVERIFY(copy.waitReady());
    for (const QString& path : mine)
        m->cGrid1_OLEDragDrop({path}, 1, 1, 0, 0, 0);
    QCOMPARE(copy.finish(), QStringList());
    QVERIFY(copy.ended());
    QCOMPARE(f.platform.messages().shown.size(), 0);

    QStringList expected{"x.wav"};
    for (int i = 1; i <= 20; ++i)
        expected << QStringLiteral("m%1.wav*").arg(i, 2, 10, QChar(u'0')) << QStringLiteral("o%1.wav*").arg(i, 2, 10, QChar(u'0'));
    QStringList held = fileItems(list).split(u' ');
    QCOMPARE(held.size(), expected.size());
    std::sort(held.begin(), held.end());
    std::sort(expected.begin(), expected.end());
    QCOMPARE(held, expected);
    // Each copy's own files stay in the order it added them.
    QCOMPARE(fileItems(list).split(u' ').filter(QStringLiteral("m")), expected.filter(QStringLiteral("m")));
    QCOMPARE(fileItems(list).split(u' ').filter(QStringLiteral("o")), expected.filter(QStringLiteral("o")));
}

// Another copy removed the row this one changes: the list keeps the other copy's rows and
// this copy's version is kept as a list of its own beside it, which the tree shows; the
// user is told. A file no list can be read from is not overwritten either.
void tst_SharedLists::editThatCannotBeMadeIsKeptBeside()
{
    Fixture f;
    const QString list = f.addList("a", {"x.wav", "y.wav", "z.wav"});
    const QString mineKept = f.platform.path("Main/a (this copy).flst");
    QVERIFY(QDir().mkpath(mineKept));  // a name already taken is left alone
    frmMain* m = f.start();

    OtherCopy copy(f, "remove", {"2"});
    QCOMPARE(copy.finish(), QStringList());
    QCOMPARE(fileItems(list), QStringLiteral("x.wav z.wav"));

    f.platform.messages().answers.enqueue(vbOK);
    clickMark(m, 2);
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt,
             QStringLiteral("The items list 'a' was changed elsewhere meanwhile, and this change cannot be made on what it "
                            "holds now: an item this change acts on is no longer there as it was.\r\n\r\nThe list shows "
                            "what its file holds; this copy's version is kept as the items list 'a (this copy 2)'."));
    QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation + vbOKOnly);
    const QString kept = f.platform.path("Main/a (this copy 2).flst");
    QCOMPARE(fileItems(list), QStringLiteral("x.wav z.wav"));
    QCOMPARE(fileItems(kept), QStringLiteral("x.wav y.wav* z.wav"));
    QVERIFY(QFileInfo(mineKept).isDir());
    QCOMPARE(listItems(m), QStringLiteral("x.wav z.wav"));
    QCOMPARE(m->cTreeView1->SelectedItem()->Key(), list);
    cTreeItem* keptNode = listNode(m, "a (this copy 2)");
    QVERIFY(keptNode);
    QCOMPARE(keptNode->Key(), kept);
    m->cTreeView1_NodeClick(keptNode);
    QCOMPARE(listItems(m), QStringLiteral("x.wav y.wav* z.wav"));

    // Another program put something else under the list's name.
    m->cTreeView1_NodeClick(listNode(m, "a"));
    TestFiles::WriteBytes(list, "Things to buy:\nmilk\n");
    f.platform.messages().answerAll = vbOK;
    clickMark(m, 1);
    QCOMPARE(f.platform.messages().shown[1].prompt,
             QStringLiteral("The items list 'a' was changed elsewhere meanwhile, and this change cannot be made on what it "
                            "holds now: its file cannot be read: it holds no items list.\r\n\r\nThe list shows "
                            "what its file holds; this copy's version is kept as the items list 'a (this copy 3)'."));
    QCOMPARE(TestFiles::ReadBytes(list), QByteArray("Things to buy:\nmilk\n"));
    QCOMPARE(fileItems(f.platform.path("Main/a (this copy 3).flst")), QStringLiteral("x.wav* z.wav"));
    QCOMPARE(m->cGrid1->Rows(), 0);
}

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--other-copy") == 0)
        return runOtherCopy(app.arguments().mid(2));
    tst_SharedLists t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_sharedlists.moc"
