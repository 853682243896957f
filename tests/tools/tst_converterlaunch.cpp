// Launching the audio converter from the main window: the guards, the hand-over of the
// marked rows with their totals, and a conversion from the menu and from the tools bar.
#include "common/mdlFunctions.h"
#include "components/cGrid/cGrid.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cSysTray/cSysTray.h"
#include "components/cToolbar/cToolbar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "tests/lists/ListsFixture.h"
#include "tools/converters/frmConverter.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>

using namespace ListsTest;

namespace {

const QString kMarkToConvert = QStringLiteral("Mark the items to convert.") + QString(29, u' ');

cTreeItem* listNode(frmMain* m, const QString& name)
{
    cTreeItems children = m->cTreeView1->Nodes().Item(1)->Children();
    for (qint32 i = 1; i <= children.Count(); ++i)
        if (children.Item(i)->Text() == name)
            return children.Item(i);
    return nullptr;
}

} // namespace

class tst_converterlaunch : public QObject
{
    Q_OBJECT
private slots:
    void guards_data();
    void guards();
    void handsOverTheMarkedRows();
    void convertsFromTheMenuAndTheButton_data();
    void convertsFromTheMenuAndTheButton();
};

void tst_converterlaunch::guards_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("message");
    QTest::newRow("group node") << "group" << QStringLiteral("Select the Items List.") + QString(40, u' ');
    QTest::newRow("nothing marked") << "unmarked" << kMarkToConvert;
    QTest::newRow("empty list asks for files") << "empty" << QString();
}

void tst_converterlaunch::guards()
{
    QFETCH(QString, situation);
    QFETCH(QString, message);
    Fixture f;
    f.addList("Songs", {"a.wav", "b.wav"});
    f.addListText("Empty", QString());
    frmMain* m = f.start();
    if (situation == QLatin1String("group")) {
        cTreeItem* group = m->cTreeView1->Nodes().Item(1);
        group->SetItemFlag67(true);
        m->cTreeView1_NodeClick(group);
    } else if (situation == QLatin1String("empty")) {
        m->cTreeView1_NodeClick(listNode(m, "Empty"));
    } else {
        m->cTreeView1_NodeClick(listNode(m, "Songs"));
    }
    if (!message.isEmpty())
        f.platform.messages().answers.enqueue(vbOK);
    command(m, "Audio Converter");
    if (message.isEmpty()) {
        QVERIFY(f.platform.messages().shown.isEmpty());
        QCOMPARE(f.platform.dialogs().openRequests.size(), 1);  // "Add Files", cancelled
    } else {
        QCOMPARE(f.platform.messages().shown.size(), 1);
        QCOMPARE(f.platform.messages().shown[0].prompt, message);
        QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation + vbOKOnly);
    }
    QVERIFY(f.platform.modal().shown.isEmpty());
    QVERIFY(!Forms::IsLoaded<frmConverter>());
}

void tst_converterlaunch::handsOverTheMarkedRows()
{
    Fixture f;
    const QString a = f.addAudio("a.wav", 2048, 62000);
    const QString b = f.addAudio("b.wav", 100, 30000);
    const QString c = f.addAudio("c.mp3", 1024, 125000);
    const QString range = QStringLiteral(
        "<COL_RANGE_ALL>0</COL_RANGE_ALL><COL_RANGE_START_TIME>10</COL_RANGE_START_TIME>"
        "<COL_RANGE_LENGTH_TIME>40</COL_RANGE_LENGTH_TIME><COL_TAG_ARTIST>Someone</COL_TAG_ARTIST>");
    f.addListText("My List!", record("1", "a.wav", a) + record("0", "b.wav", b) + record("1", "c.mp3", c, range));
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(listNode(m, "My List!"));
    bool shown = false;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmConverter*>(form);
        QVERIFY(w);
        shown = true;
        QVERIFY(!m->tmrCDs.isActive());
        QCOMPARE(w->lblFilesToConvert->text(), QStringLiteral("2 items to convert."));
        QCOMPARE(w->g_ltmrItemSecsTotal, 62 + 40);
        QCOMPARE(w->cStatusBar1->PanelText(QStringLiteral("Total Size")), QStringLiteral("Total Time: 0:01:42"));
        QCOMPARE(w->cStatusBar1->PanelText(QStringLiteral("Total Time")),
                 QStringLiteral("Total Size: ") + GetTotalSize(m->cGrid1, true));
        QCOMPARE(w->txtUndeForlder->text(), QStringLiteral("My-List-"));
        QCOMPARE(w->cGrid1->Rows(), 2);
        QCOMPARE(RowText(w->cGrid1, 1, QStringLiteral("COL_FILE")), a);
        QCOMPARE(RowText(w->cGrid1, 2, QStringLiteral("COL_FILE")), c);
        QCOMPARE(RowText(w->cGrid1, 2, QStringLiteral("COL_RANGE_START_TIME")), QStringLiteral("10"));
        QCOMPARE(RowText(w->cGrid1, 2, QStringLiteral("COL_TAG_ARTIST")), QStringLiteral("Someone"));
        QCOMPARE(w->cursor().shape(), Qt::ArrowCursor);
        w->cmdExit_Click();
    });
    command(m, "Audio Converter");
    QVERIFY(shown);
    QCOMPARE(f.platform.modal().shown, QStringList{"frmConverter"});
    QCOMPARE(m->cursor().shape(), Qt::ArrowCursor);
    QVERIFY(!Forms::IsLoaded<frmConverter>());
}

void tst_converterlaunch::convertsFromTheMenuAndTheButton_data()
{
    QTest::addColumn<bool>("button");
    QTest::newRow("menu") << false;
    QTest::newRow("tools bar") << true;
}

void tst_converterlaunch::convertsFromTheMenuAndTheButton()
{
    QFETCH(bool, button);
    Fixture f;
    f.fakes.setupConverter = [&f](FakeAudioConverter* c) {
        c->files = f.audio;
        c->autoFinish = FakeAutoFinish::Done;
    };
    f.addAudio("one.wav", 1000, 60000);
    f.addAudio("two.mp3", 1000, 60000);
    f.addAudio("three.flac", 1000, 60000);
    f.addList("Songs", {"one.wav*", "two.mp3", "three.flac*"});
    frmMain* m = f.start();
    const QString dest = f.platform.path("converted/");
    QStringList outputs;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmConverter*>(form);
        QVERIFY(w);
        w->txtToPath->setEditText(dest);
        w->txtUndeForlder->clear();
        w->chkCreateSubFolder->SetValue(1);
        SelectListText(w->cboTargetFormat, QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)"));
        w->cboFileName->setCurrentIndex(2);  // "[file_name]_[123].[dest_extension]"
        w->cmdConvert_Click();
        QTRY_VERIFY(!w->IsBusy());
        QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Done."));
        for (const FakeJobRecord& r : qobject_cast<FakeAudioConverter*>(w->cAudioConverter1)->started)
            outputs << r.output;
        w->cmdExit_Click();
    });
    if (button)
        m->tlbrRecorder->ButtonClick(m->tlbrRecorder->ButtonIndex(QStringLiteral("Audio Converter")));
    else
        command(m, "Audio Converter");
    QCOMPARE(f.platform.modal().shown, QStringList{"frmConverter"});
    QCOMPARE(outputs, (QStringList{dest + "one_1.mp3", dest + "three_2.mp3"}));
    QCOMPARE(m->cSysTray1->Balloons().size(), 1);
    QCOMPARE(m->cSysTray1->Balloons()[0].message, QStringLiteral("Done."));
}

QTEST_MAIN(tst_converterlaunch)
#include "tst_converterlaunch.moc"
