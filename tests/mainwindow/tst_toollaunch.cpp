// Launching the splitter from the main window: the guards (group node, empty list, no
// marked row), the hand-over of the current row, the drive poll around the modal window,
// and a split from the menu and from the tools bar to the files on disk.
#include "common/mdlFunctions.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cGrid/cGrid.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cSysTray/cSysTray.h"
#include "components/cToolbar/cToolbar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "tests/lists/ListsFixture.h"
#include "tools/splitter/frmSplitter.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>

using namespace ListsTest;

namespace {

const QString kMarkToSplit = QStringLiteral("Mark the items to split.") + QString(29, u' ');

cTreeItem* groupNode(frmMain* m)
{
    return m->cTreeView1->Nodes().Item(1);
}

} // namespace

class tst_toollaunch : public QObject
{
    Q_OBJECT
private slots:
    void groupNodeSelectsTheFirstList();
    void emptyListAsksForFiles();
    void nothingMarked();
    void handsOverTheCurrentRow();
    void drivePollGoesOnAfterACDList();
    void splitsFromTheMenuAndTheButton_data();
    void splitsFromTheMenuAndTheButton();
};

void tst_toollaunch::groupNodeSelectsTheFirstList()
{
    Fixture f;
    f.addList("A List", {"a.wav*"});
    frmMain* m = f.start();
    groupNode(m)->SetItemFlag67(true);  // as the user's click selects it
    m->cTreeView1_NodeClick(groupNode(m));
    f.platform.messages().answers.enqueue(vbOK);
    command(m, "Audio Splitter");
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, QStringLiteral("Select the Items List.") + QString(40, u' '));
    QCOMPARE(m->cTreeView1->SelectedItem(), listNode(m, "A List"));
    QVERIFY(f.platform.modal().shown.isEmpty());
    QVERIFY(!Forms::IsLoaded<frmSplitter>());
}

void tst_toollaunch::emptyListAsksForFiles()
{
    Fixture f;
    f.addListText("Empty", QString());
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(listNode(m, "Empty"));
    command(m, "Audio Splitter");  // the open dialog is cancelled
    QCOMPARE(f.platform.dialogs().openRequests.size(), 1);
    QVERIFY(f.platform.messages().shown.isEmpty());
    QVERIFY(!Forms::IsLoaded<frmSplitter>());
}

void tst_toollaunch::nothingMarked()
{
    Fixture f;
    f.addList("Songs", {"a.wav", "b.wav"});
    frmMain* m = f.start();
    f.platform.messages().answers.enqueue(vbOK);
    command(m, "Audio Splitter");
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, kMarkToSplit);
    QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation + vbOKOnly);
    QVERIFY(!Forms::IsLoaded<frmSplitter>());
}

void tst_toollaunch::handsOverTheCurrentRow()
{
    Fixture f;
    const QString b = f.addAudio("b.wav", 4321, 62000);
    f.addListText("My List!", record("1", "a.wav", f.addAudio("a.wav")) + record("0", "b.wav", b));
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(listNode(m, "My List!"));
    m->cGrid1->SetCurrentRow(2);  // unmarked; the first row is marked
    SetRowText(m->cGrid1, 2, QStringLiteral("COL_TAG_ARTIST"), QStringLiteral("Someone"));
    m->tmrCDs.start();

    bool shown = false;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* s = qobject_cast<frmSplitter*>(form);
        QVERIFY(s);
        shown = true;
        QVERIFY(!m->tmrCDs.isActive());
        QCOMPARE(s->g_sFileToSplit, b);
        QCOMPARE(s->lblFilesToConvert->text(), QStringLiteral("Split: b.wav"));
        QCOMPARE(s->cStatusBar1->PanelText(QStringLiteral("Total Size")),
                 QStringLiteral("Total Time: ") + RowText(m->cGrid1, 2, QStringLiteral("Time")));
        QCOMPARE(s->cStatusBar1->PanelText(QStringLiteral("Total Time")), QStringLiteral("Total Size: 4.22 KB"));
        QCOMPARE(s->txtUndeForlder->text(), QStringLiteral("My-List-"));
        QCOMPARE(s->cGrid1->Rows(), 1);
        for (qint32 col = 2; col <= m->cGrid1->Columns(); ++col)
            QCOMPARE(s->cGrid1->Cell(1, col).Text(), m->cGrid1->Cell(2, col).Text());
        QCOMPARE(RowText(s->cGrid1, 1, QStringLiteral("COL_TAG_ARTIST")), QStringLiteral("Someone"));
        QCOMPARE(s->cGrid1->Cell(1, 1).IconIndex(), -1);  // the mark stays behind
        s->cmdExit_Click();
    });
    command(m, "Audio Splitter");
    QVERIFY(shown);
    QCOMPARE(f.platform.modal().shown, QStringList{"frmSplitter"});
    QVERIFY(!m->tmrCDs.isActive());  // restarted only for a CD drive's list
    QVERIFY(!Forms::IsLoaded<frmSplitter>());
}

void tst_toollaunch::drivePollGoesOnAfterACDList()
{
    Fixture f;
    lAppIncCDRipper = 1;  // the drives show as lists of tracks
    f.addList("a", {"song.wav"});
    f.drives = {{"D: Fake Drive", true, {{200, true}, {180, true}}}};
    frmMain* m = f.start();
    cTreeItem* drive = g_nodMainCDs->Children().Item(1);
    m->cTreeView1_NodeClick(drive);
    lAppIncCDRipper = 0;
    MarkAllRows(m->cGrid1, true);
    QVERIFY(m->tmrCDs.isActive());
    bool polled = true;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        polled = m->tmrCDs.isActive();
        static_cast<frmSplitter*>(form)->cmdExit_Click();
    });
    command(m, "Audio Splitter");
    QCOMPARE(f.platform.modal().shown, QStringList{"frmSplitter"});
    QVERIFY(!polled);
    QVERIFY(m->tmrCDs.isActive());
}

void tst_toollaunch::splitsFromTheMenuAndTheButton_data()
{
    QTest::addColumn<bool>("button");
    QTest::newRow("menu") << false;
    QTest::newRow("tools bar") << true;
}

void tst_toollaunch::splitsFromTheMenuAndTheButton()
{
    QFETCH(bool, button);
    Fixture f;
    f.fakes.setupConverter = [&f](FakeAudioConverter* c) {
        c->files = f.audio;
        c->autoFinish = FakeAutoFinish::Done;
    };
    f.addAudio("song.wav", 1000, 60000);
    f.addList("Songs", {"song.wav*"});
    frmMain* m = f.start();
    const QString dest = f.platform.path("parts/");
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* s = qobject_cast<frmSplitter*>(form);
        QVERIFY(s);
        s->txtToPath->setEditText(dest);
        SelectListText(s->cboTargetFormat, QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)"));
        s->cmdConvert_Click();
        QTRY_VERIFY(!s->IsBusy());
        QCOMPARE(s->lblCurrentTrack->text(), QStringLiteral("Done."));
        QCOMPARE(s->prgTotal->Value(), 0);  // the fake reports no progress
        auto* conv = qobject_cast<FakeAudioConverter*>(s->cAudioConverter1);
        QCOMPARE(conv->started.size(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(conv->started[i].output, dest + QStringLiteral("Part_%1_song.MP3").arg(i + 1));
        s->cmdExit_Click();
    });
    if (button)
        m->tlbrRecorder->ButtonClick(m->tlbrRecorder->ButtonIndex(QStringLiteral("Audio Splitter")));
    else
        command(m, "Audio Splitter");
    QCOMPARE(f.platform.modal().shown, QStringList{"frmSplitter"});
    QCOMPARE(m->cSysTray1->Balloons().size(), 1);
    QCOMPARE(m->cSysTray1->Balloons()[0].message, QStringLiteral("Done."));
}

QTEST_MAIN(tst_toollaunch)
#include "tst_toollaunch.moc"
