// The "Audio CD Ripper" command of the main window in a profile that offers CD drives, over
// the ripper component's fake: its guards (group node, a list that is no drive, nothing
// marked), and from its menu item and its tools-bar button the ripper opening with every
// track, its marks, the totals of the marked ones and the drive of the node locked.
#include "components/cGrid/cGrid.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cSysTray/cSysTray.h"
#include "components/cToolbar/cToolbar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "tests/support/CdDrivesFixture.h"
#include "tools/disc/frmCDRipper.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace ListsTest;

namespace {

// A profile that offers the ripper, with an items list and two drives.
struct TwoDrives : CDFixture {
    TwoDrives() : CDFixture(QStringLiteral("Songs"), {QStringLiteral("a.wav*")})
    {
        QList<FakeCdTrack> ten;
        for (int t = 1; t <= 10; ++t)
            ten.append({60 + t, t != 10});
        drives = {{"D: First", true, {{30, true}}}, {"E: Second", true, ten}};
    }
};

const QString kOfTheCD = QStringLiteral("Select the Items List of the CD.") + QString(40, u' ');
const QString kDevice = QStringLiteral("Select the the Audio CD device to rip from.") + QString(40, u' ');
const QString kMark = QStringLiteral("Mark the items to rip.") + QString(29, u' ');

} // namespace

class tst_cdripperlaunch : public QObject
{
    Q_OBJECT
private slots:
    void guards_data();
    void guards();
    void listThenDrive();
    void noDriveInTheCDGroup();
    void opensWithTheTracks_data();
    void opensWithTheTracks();
};

void tst_cdripperlaunch::guards_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("selectedAfter");  // key of the node selected afterwards
    QTest::newRow("CD group node") << "cd group" << kOfTheCD << "##CDD: First";
    QTest::newRow("lists group node") << "lists group" << kOfTheCD << "list";
    QTest::newRow("an items list") << "list" << kDevice << "##CDD: First";
    QTest::newRow("drive with nothing marked") << "unmarked drive" << kMark << "##CDE: Second";
    QTest::newRow("drive without tracks") << "empty drive" << kMark << "##CDD: First";
}

void tst_cdripperlaunch::guards()
{
    QFETCH(QString, where);
    QFETCH(QString, message);
    QFETCH(QString, selectedAfter);
    TwoDrives f;
    if (where == QLatin1String("empty drive"))
        f.drives[0].tracks.clear();
    frmMain* m = f.start();
    const QString list = f.platform.path("Main/Songs.flst");
    if (where == QLatin1String("cd group")) {
        g_nodMainCDs->SetItemFlag67(true);
        m->cTreeView1_NodeClick(g_nodMainCDs);
    } else if (where == QLatin1String("lists group")) {
        g_nodMainItems->SetItemFlag67(true);
        m->cTreeView1_NodeClick(g_nodMainItems);
    } else if (where == QLatin1String("list")) {
        m->cTreeView1_NodeClick(listNode(m, "Songs"));
        g_nodMainCDs->SetExpanded(false);
    } else if (where == QLatin1String("unmarked drive")) {
        m->cTreeView1_NodeClick(f.driveNode(2));
        command(m, "MarkUnmark All");  // some were marked: all unmarked
        QCOMPARE(CountMarkedRows(m->cGrid1), 0);
    } else {
        m->cTreeView1_NodeClick(f.driveNode(1));
    }
    f.platform.messages().answers.enqueue(vbOK);
    command(m, "Audio CD Ripper");
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, message);
    QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation + vbOKOnly);
    QVERIFY(f.platform.modal().shown.isEmpty());
    QVERIFY(!Forms::IsLoaded<frmCDRipper>());
    QCOMPARE(m->cTreeView1->SelectedItem()->Key(), selectedAfter == QLatin1String("list") ? list : selectedAfter);
    if (where == QLatin1String("list"))
        QVERIFY(g_nodMainCDs->Expanded());
    QCOMPARE(m->cursor().shape(), Qt::ArrowCursor);
}

// From an items list the command says so and selects the first drive; the same command
// again then opens the ripper on it.
void tst_cdripperlaunch::listThenDrive()
{
    TwoDrives f;
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(listNode(m, "Songs"));
    f.platform.messages().answers.enqueue(vbOK);
    command(m, "Audio CD Ripper");
    QCOMPARE(m->cGrid1->Rows(), 1);
    bool shown = false;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmCDRipper*>(form);
        QVERIFY(w);
        shown = true;
        QCOMPARE(w->cboDevices->currentText(), QStringLiteral("D: First"));
        w->cmdExit_Click();
    });
    command(m, "Audio CD Ripper");
    QVERIFY(shown);
}

// Without a drive under "Audio CDs" the redirect from a list says its message and selects
// nothing.
void tst_cdripperlaunch::noDriveInTheCDGroup()
{
    TwoDrives f;
    f.drives.clear();
    frmMain* m = f.start();
    QCOMPARE(g_nodMainCDs->Children().Count(), 0);
    cTreeItem* list = m->cTreeView1->SelectedItem();
    f.platform.messages().answers.enqueue(vbOK);
    command(m, "Audio CD Ripper");
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, kDevice);
    QCOMPARE(m->cTreeView1->SelectedItem(), list);
    QVERIFY(f.platform.modal().shown.isEmpty());
}

void tst_cdripperlaunch::opensWithTheTracks_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("menu item") << "menu item";
    QTest::newRow("tools-bar button") << "tools-bar button";
}

void tst_cdripperlaunch::opensWithTheTracks()
{
    QFETCH(QString, how);
    TwoDrives f;
    f.fakes.setupRipper = [&f](FakeAudioCDRipper* r) {
        r->drives = f.drives;
        r->autoFinish = FakeAutoFinish::Done;
    };
    frmMain* m = f.start();
    cTreeItem* e = f.driveNode(2);
    m->cTreeView1_NodeClick(e);
    QVERIFY(m->tmrCDs.isActive());
    // Three of the ten tracks marked: 1, 4 and 7, of 61, 64 and 67 seconds.
    command(m, "MarkUnmark All");
    for (qint32 row : {1, 4, 7})
        clickMark(m, row);
    QCOMPARE(CountMarkedRows(m->cGrid1), 3);
    const QString dest = f.platform.path("ripped/");
    QStringList outputs;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmCDRipper*>(form);
        QVERIFY(w);
        QVERIFY(!m->tmrCDs.isActive());
        QCOMPARE(m->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(w->lblFilesToConvert->text(), QStringLiteral("3 items to convert."));
        QCOMPARE(w->g_ltmrItemSecsTotal, 61 + 64 + 67);
        QCOMPARE(w->cStatusBar1->PanelText(QStringLiteral("Total Size")), QStringLiteral("Total Time: 0:03:12"));
        QCOMPARE(w->cStatusBar1->PanelText(QStringLiteral("Total Time")),
                 QStringLiteral("Total Size: ") + GetTotalSize(m->cGrid1, true));
        QCOMPARE(w->txtUndeForlder->text(), QStringLiteral("E-"));
        // Every track, in track order, with its mark.
        QCOMPARE(w->cGrid1->Rows(), 10);
        for (qint32 row = 1; row <= 10; ++row) {
            QCOMPARE(RowText(w->cGrid1, row, QStringLiteral("Item Name")),
                     QStringLiteral("Track%1.cda").arg(row, 2, 10, QChar(u'0')));
            QCOMPARE(IsRowMarked(w->cGrid1, row), row == 1 || row == 4 || row == 7);
        }
        // The node's drive, chosen and locked.
        QCOMPARE(w->cboDevices->currentText(), QStringLiteral("E: Second"));
        QVERIFY(!w->cboDevices->isEnabled());
        QVERIFY(!w->cmdOpenCD->isEnabled());
        QCOMPARE(w->lblCDStatus->text(), QStringLiteral("OK: 10 CDA tracks"));
        // A rip from here takes the marked tracks of that drive into the sub-folder.
        w->txtToPath->setEditText(dest);
        QVERIFY(SelectListText(w->cboTargetFormat, QStringLiteral("WAV - Waveform Audio Format (*.wav)")));
        w->chkCreateSubFolder->SetValue(1);
        w->chkOpenCDdrive->SetValue(0);
        w->cmdConvert_Click();
        QTRY_VERIFY(!w->IsBusy());
        auto* r = qobject_cast<FakeAudioCDRipper*>(w->cAudioCDRipper1);
        for (const FakeJobRecord& job : r->started) {
            QCOMPARE(job.deviceIndex, 1);
            outputs << job.output;
        }
        w->cmdExit_Click();
        QCOMPARE(r->calls.last(), QStringLiteral("CloseDevice"));
    });
    QVERIFY(launch(m, QStringLiteral("Audio CD Ripper"), how));
    QCOMPARE(f.platform.modal().shown, QStringList{"frmCDRipper"});
    QCOMPARE(outputs, (QStringList{dest + "E-/Track01.cda.wav", dest + "E-/Track04.cda.wav",
                                   dest + "E-/Track07.cda.wav"}));
    QCOMPARE(m->cSysTray1->Balloons().last().message, QStringLiteral("Done."));
    QVERIFY(!Forms::IsLoaded<frmCDRipper>());
    // Back on the drive, the poll runs again.
    QCOMPARE(m->cTreeView1->SelectedItem(), e);
    QVERIFY(m->tmrCDs.isActive());
    QCOMPARE(m->cursor().shape(), Qt::ArrowCursor);
}

QTEST_MAIN(tst_cdripperlaunch)
#include "tst_cdripperlaunch.moc"
