// Launching the audio joiner from the main window by its key: the guards (at least two
// marked rows), and the hand-over of the marked rows with their totals.
#include "common/mdlFunctions.h"
#include "common/mdlModes.h"
#include "components/cGrid/cGrid.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "tests/lists/ListsFixture.h"
#include "tools/converters/frmJoiner.h"

#include <QLabel>
#include <QTest>

using namespace ListsTest;

class tst_joinerlaunch : public QObject
{
    Q_OBJECT
private slots:
    void guards_data();
    void guards();
    void handsOverTheMarkedRows();
};

void tst_joinerlaunch::guards_data()
{
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("message");
    QTest::newRow("nothing marked") << QStringList{"a.wav", "b.wav"}
                                    << QStringLiteral("Mark the items to join.") + QString(29, u' ');
    QTest::newRow("one marked") << QStringList{"a.wav*", "b.wav"}
                                << QStringLiteral("Nothing to join.") + QString(55, u' ') + QStringLiteral("\r\n\r\n");
}

void tst_joinerlaunch::guards()
{
    QFETCH(QStringList, items);
    QFETCH(QString, message);
    Fixture f;
    lAppIncJoin = 1;
    f.addList("Songs", items);
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(listNode(m, "Songs"));
    f.platform.messages().answers.enqueue(vbOK);
    command(m, "Audio Joiner");
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, message);
    QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation + vbOKOnly);
    QVERIFY(f.platform.modal().shown.isEmpty());
    QVERIFY(!Forms::IsLoaded<frmJoiner>());
    QCOMPARE(m->cursor().shape(), Qt::ArrowCursor);
}

void tst_joinerlaunch::handsOverTheMarkedRows()
{
    Fixture f;
    lAppIncJoin = 1;
    const QString a = f.addAudio("a.wav", 2048, 62000);
    const QString b = f.addAudio("b.wav", 100, 30000);
    const QString c = f.addAudio("c.mp3", 1024, 125000);
    const QString range = QStringLiteral(
        "<COL_RANGE_ALL>0</COL_RANGE_ALL><COL_RANGE_START_TIME>10</COL_RANGE_START_TIME>"
        "<COL_RANGE_LENGTH_TIME>40</COL_RANGE_LENGTH_TIME>");
    f.addListText("Best Of", record("1", "a.wav", a) + record("0", "b.wav", b) + record("1", "c.mp3", c, range));
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(listNode(m, "Best Of"));
    bool shown = false;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmJoiner*>(form);
        QVERIFY(w);
        shown = true;
        QCOMPARE(w->lblFilesToConvert->text(), QStringLiteral("2 items to join."));
        QCOMPARE(w->cStatusBar1->PanelText(QStringLiteral("Total Size")), QStringLiteral("Total Time: 0:01:42"));
        // a.wav and c.mp3: 2048 + 1024 bytes; the unmarked b.wav is not counted.
        QCOMPARE(w->cStatusBar1->PanelText(QStringLiteral("Total Time")), QStringLiteral("Total Size: 3.00 KB"));
        QCOMPARE(w->txtUndeForlder->text(), QStringLiteral("Best-Of"));
        QCOMPARE(w->cGrid1->Rows(), 2);
        QCOMPARE(RowText(w->cGrid1, 1, QStringLiteral("COL_FILE")), a);
        QCOMPARE(RowText(w->cGrid1, 2, QStringLiteral("COL_FILE")), c);
        QCOMPARE(RowText(w->cGrid1, 2, QStringLiteral("COL_RANGE_LENGTH_TIME")), QStringLiteral("40"));
        QCOMPARE(w->cursor().shape(), Qt::ArrowCursor);
        w->cmdExit_Click();
    });
    command(m, "Audio Joiner");
    QVERIFY(shown);
    QCOMPARE(f.platform.modal().shown, QStringList{"frmJoiner"});
    QVERIFY(!Forms::IsLoaded<frmJoiner>());
}

QTEST_MAIN(tst_joinerlaunch)
#include "tst_joinerlaunch.moc"
