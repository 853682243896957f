// Audio CD drives as lists of tracks, in a profile that offers the CD ripper: the rows of a
// disc, drives without a disc, which device a node stands for, the poll that follows the
// disc, "-addaudiocd", the ripper's errors, and a generated BIN/CUE image drive.
#include "common/mdlFileSystem.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cGrid/cGrid.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTreeView/cTreeView.h"
#include "lists/mdlCDTracks.h"
#include "lists/mdlItemsGrid.h"
#include "platform/App.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/CdDrivesFixture.h"
#include "tests/support/CdImages.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

using namespace ListsTest;

namespace {

QList<FakeCdTrack> tracks(const QList<int>& seconds)
{
    QList<FakeCdTrack> t;
    for (int s : seconds)
        t.append({s, true});
    return t;
}


} // namespace

class tst_CDLists : public QObject
{
    Q_OBJECT
private slots:
    void tracksOfADisc();
    void drivesWithoutADisc_data();
    void drivesWithoutADisc();
    void nodeToDevice();
    void pollFollowsTheDisc();
    void addAudioCDSwitch();
    void ripperErrors();
    void imageDrive();
};

void tst_CDLists::tracksOfADisc()
{
    CDFixture f;
    QList<FakeCdTrack> disc;
    for (int t = 1; t <= 12; ++t)
        disc.append({t == 1 ? 240 : 60 + t, t != 3});
    f.drives = {{"D: Fake Drive", true, disc}};
    g_bCopyID3FromSource = true;  // tracks take the default tags whatever this says
    g_sTagAlbum = "[ALBUM]";
    g_sTagArtist = "Artist";
    g_sTagComment = "c";
    g_sTagGenre = "g";
    g_sTagYear = "2000";
    g_sTagSong = "[TRACK_NUM]";
    g_sTagTrack = "t";
    frmMain* m = f.start();
    const QStringList filesBefore = QDir(f.platform.path("Main")).entryList(QDir::Files);
    QCOMPARE(g_nodMainCDs->Text(), QStringLiteral("Audio CDs"));
    cTreeItem* drive = f.driveNode(1);
    QCOMPARE(drive->Key(), QStringLiteral("##CDD: Fake Drive"));
    QCOMPARE(drive->Text(), QStringLiteral("D:"));

    drive->SetItemFlag67(true);
    m->cTreeView1_NodeClick(drive);
    cGrid* g = m->cGrid1;
    QCOMPARE(g->Rows(), 12);
    for (int t = 1; t <= 12; ++t) {
        QCOMPARE(RowText(g, t, "Item Name"), QStringLiteral("Track%1.cda").arg(t, 2, 10, QChar(u'0')));
        QCOMPARE(IsRowMarked(g, t), t != 3);
        QCOMPARE(RowIcon(g, t, "Type"), t != 3 ? kIconAudio : kIconData);
    }
    QCOMPARE(RowText(g, 1, "Time"), QStringLiteral("00:04:00"));
    QCOMPARE(RowText(g, 1, "COL_BYTES_SIZE"), QStringLiteral("42336000"));  // 240 s of 176,400 bytes
    QCOMPARE(RowText(g, 1, "Size"), FormatFileSize(42336000.0));
    QCOMPARE(RowText(g, 12, "COL_FILE"), QStringLiteral("D:/Track12.cda"));
    QCOMPARE(RowText(g, 12, "Time"), QStringLiteral("00:01:12"));
    QCOMPARE(RowText(g, 2, "Range"), QStringLiteral("All"));
    QCOMPARE(RowText(g, 2, "COL_RANGE_ALL"), QStringLiteral("1"));
    QCOMPARE(RowText(g, 2, "Created"), QString());
    QCOMPARE(RowText(g, 2, "COL_TAG_ALBUM"), QStringLiteral("[ALBUM]"));
    QCOMPARE(RowText(g, 2, "COL_TAG_TITLE"), QStringLiteral("[TRACK_NUM]"));
    QCOMPARE(RowText(g, 2, "COL_TAG_TRACK"), QStringLiteral("t"));
    QCOMPARE(g->CurrentRow(), 1);
    QVERIFY(m->picEmptyMsg->isHidden());
    QVERIFY(m->prgStatus->isHidden());
    QVERIFY(m->tmrCDs.isActive());
    QCOMPARE(m->lblListName->text(), QStringLiteral("D:"));
    QCOMPARE(m->cStatusBar1->PanelText(QStringLiteral("Main")), QStringLiteral("Ready."));
    QCOMPARE(m->cStatusBar1->PanelText(QStringLiteral("Items List Properties")), ListSummary(g));
    QCOMPARE(m->cGridInfo->Cell(1, 2).Text(), QStringLiteral("Track01.cda"));
    QVERIFY(f.platform.messages().shown.isEmpty());

    // Marks and moves on a disc are not stored anywhere.
    command(m, "MarkUnmark All");
    command(m, "Move To Last");
    QCOMPARE(QDir(f.platform.path("Main")).entryList(QDir::Files), filesBefore);
    QVERIFY(QDir::current().entryList({"##*", "D:*"}, QDir::AllEntries).isEmpty());

    // With the select-the-last-item option the last track is current.
    g_bSelectTheLastItem = true;
    m->cTreeView1_NodeClick(drive);
    QCOMPARE(g->CurrentRow(), 12);
}

void tst_CDLists::drivesWithoutADisc_data()
{
    QTest::addColumn<bool>("selectable");
    QTest::addColumn<bool>("dataOnly");
    QTest::addColumn<int>("tracks");
    QTest::newRow("no disc") << true << false << 0;
    QTest::newRow("drive that cannot be selected") << false << false << 3;
    QTest::newRow("data disc") << true << true << 1;
}

void tst_CDLists::drivesWithoutADisc()
{
    QFETCH(bool, selectable);
    QFETCH(bool, dataOnly);
    QFETCH(int, tracks);
    CDFixture f;
    QList<FakeCdTrack> disc;
    for (int t = 0; t < tracks; ++t)
        disc.append({100, !dataOnly});
    f.drives = {{"D: Drive", selectable, disc}};
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(f.driveNode(1));
    QCOMPARE(m->cGrid1->Rows(), 0);
    QVERIFY(!m->picEmptyMsg->isHidden());
    QCOMPARE(m->lblAddorDrag->text(), QStringLiteral("Insert an Audio CD to the CD drive."));
    QVERIFY(m->prgStatus->isHidden());
    QCOMPARE(m->cStatusBar1->PanelText(QStringLiteral("Items List Properties")), QStringLiteral("0 Items, 0 KB, 00:00:00"));
    QVERIFY(f.platform.messages().shown.isEmpty());
    // A list shows its own notice again.
    m->cTreeView1_NodeClick(g_nodMainItems->Children().Item(1));
    QCOMPARE(m->cGrid1->Rows(), 1);
}

// A drive node stands for the device whose name begins with its drive; a node whose drive
// no device has stands for none, and lists nothing (not another drive's disc).
void tst_CDLists::nodeToDevice()
{
    CDFixture f;
    f.drives = {{"D: First", true, tracks({10})}, {"E: Second", true, tracks({20, 30})}};
    frmMain* m = f.start();
    m->cTreeView1_NodeClick(f.driveNode(2));
    QCOMPARE(m->GetCDDriveIndex(QString()), 1);
    QCOMPARE(m->cGrid1->Rows(), 2);
    QCOMPARE(RowText(m->cGrid1, 1, "COL_FILE"), QStringLiteral("E:/Track01.cda"));

    cTreeItem* gone = m->cTreeView1->Nodes().Add(g_nodMainCDs, cTreeItems::tvwChild, "##CDX: Gone", "X:", 25, 25);
    m->cTreeView1_NodeClick(gone);
    QCOMPARE(m->GetCDDriveIndex(QString()), -1);
    QCOMPARE(m->cGrid1->Rows(), 0);
    QVERIFY(!m->picEmptyMsg->isHidden());

    // Two devices of one drive: the last of them.
    FakeAudioCDRipper* r = f.mainRipper();
    r->drives.append({"F: one", true, {}});
    r->drives.append({"F: two", true, {}});
    QCOMPARE(CDDriveIndex(r, "##CDF: two"), 3);
    QCOMPARE(CDDriveIndex(r, "##CDD: First"), 0);
    QCOMPARE(CDDriveIndex(r, "##CDG:"), -1);
    QCOMPARE(CDDriveIndex(nullptr, "##CDD:"), -1);

    // No node selected at all: the notice, and the message.
    m->cTreeView1->SelectedItem()->SetItemFlag67(false);
    QVERIFY(!m->cTreeView1->SelectedItem());
    f.platform.messages().answers.enqueue(vbOK);
    m->ListCDTracks(QStringLiteral("D:"));
    QCOMPARE(f.platform.messages().shown.last().prompt, QStringLiteral("There is no CD in the drive."));
    QCOMPARE(m->cGrid1->Rows(), 0);
    QVERIFY(m->prgStatus->isHidden());
}

void tst_CDLists::pollFollowsTheDisc()
{
    CDFixture f;
    f.drives = {{"D: First", true, tracks({10, 20})}, {"E: Second", true, tracks({30})}};
    frmMain* m = f.start();
    cTreeItem* d = f.driveNode(1);
    cTreeItem* e = f.driveNode(2);
    m->cTreeView1_NodeClick(d);
    QCOMPARE(m->cGrid1->Rows(), 2);
    FakeAudioCDRipper* r = f.mainRipper();
    d->SetText(QStringLiteral("Artist - Album"));
    e->SetText(QStringLiteral("Other - Disc"));

    // Nothing changed: nothing happens.
    m->tmrCDs_Timer();
    QCOMPARE(m->cGrid1->Rows(), 2);
    QCOMPARE(d->Text(), QStringLiteral("Artist - Album"));

    // The disc of the shown drive is taken out: the list empties, the drive text returns.
    r->drives[0].tracks.clear();
    m->tmrCDs_Timer();
    QCOMPARE(m->cGrid1->Rows(), 0);
    QVERIFY(!m->picEmptyMsg->isHidden());
    QCOMPARE(d->Text(), QStringLiteral("D:"));
    QCOMPARE(m->cTreeView1->SelectedItem(), d);
    // The other drive's disc is taken out: its name goes, the grid is not touched.
    r->drives[1].tracks.clear();
    r->drives[0].tracks = tracks({5, 6, 7});
    m->tmrCDs_Timer();
    QCOMPARE(e->Text(), QStringLiteral("E:"));
    // ... and a disc put into the shown drive is listed.
    QCOMPARE(m->cGrid1->Rows(), 3);
    QVERIFY(m->tmrCDs.isActive());
    QVERIFY(f.platform.messages().shown.isEmpty());

    // On a list the poll leaves the grid alone.
    m->cTreeView1_NodeClick(g_nodMainItems->Children().Item(1));
    QVERIFY(!m->tmrCDs.isActive());
    r->drives[0].tracks.clear();
    m->tmrCDs_Timer();
    QCOMPARE(m->cGrid1->Rows(), 1);
}

void tst_CDLists::addAudioCDSwitch()
{
    {
        CDFixture f;
        f.drives = {{"D: Empty", true, {}}, {"E: Locked", false, tracks({9})}, {"F: Disc", true, tracks({10, 20})}};
        frmMain* m = f.start();
        SetCommand(QStringLiteral("-AddAudioCD"));
        m->tmrCommandLine_Timer();
        QCOMPARE(m->cTreeView1->SelectedItem(), f.driveNode(3));
        QCOMPARE(m->cGrid1->Rows(), 2);
        QVERIFY(!m->tmrCommandLine.isActive());
    }
    {
        // No drive with a disc: the first list stays.
        CDFixture f;
        f.drives = {{"D: Empty", true, {}}};
        frmMain* m = f.start();
        cTreeItem* list = m->cTreeView1->SelectedItem();
        m->SelectFirstAudioCD();
        QCOMPARE(m->cTreeView1->SelectedItem(), list);
    }
    {
        // A profile without the ripper has no drives to select.
        Fixture f;
        f.addList("a", {"x"});
        f.drives = {{"D: Disc", true, tracks({10})}};
        frmMain* m = f.start();
        QVERIFY(g_nodMainCDs.isNull());
        SetCommand(QStringLiteral("-addaudiocd"));
        m->tmrCommandLine_Timer();
        QCOMPARE(m->cTreeView1->SelectedItem()->Key(), f.platform.path("Main/a.flst"));
    }
}

void tst_CDLists::ripperErrors()
{
    CDFixture f;
    f.drives = {{"D: Drive", true, tracks({10})}};
    frmMain* m = f.start();
    f.platform.messages().answers.enqueue(vbOK);
    f.mainRipper()->finishError(13, QStringLiteral("The drive is not ready."));
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, QStringLiteral("The drive is not ready. (13)"));
    QCOMPARE(f.platform.messages().shown[0].buttons, vbOKOnly);
    QCOMPARE(m->cGrid1->Rows(), 1);
}

// A generated three-track BIN/CUE image listed as a drive, through the real ripper.
void tst_CDLists::imageDrive()
{
    QTemporaryDir dir;
    const QString cue = CdImages::WriteAudio(dir.path(), QStringLiteral("disc"), {150, 375, 300}).cue;  // 2, 5 and 4 s
    const CdImages::ListedAsDrives images({cue});
    CDFixture f;
    SetAudioCDRipperFactory({});
    frmMain* m = f.start();
    cTreeItem* image = f.imageNode(QStringLiteral("disc.cue"));
    QVERIFY(image);
    m->cTreeView1_NodeClick(image);
    cGrid* g = m->cGrid1;
    QCOMPARE(g->Rows(), 3);
    const QStringList times{"00:00:02", "00:00:05", "00:00:04"};
    for (int t = 1; t <= 3; ++t) {
        QCOMPARE(RowText(g, t, "Item Name"), QStringLiteral("Track%1.cda").arg(t, 2, 10, QChar(u'0')));
        QCOMPARE(RowText(g, t, "Time"), times[t - 1]);
        QVERIFY(IsRowMarked(g, t));
    }
    QCOMPARE(RowText(g, 2, "COL_BYTES_SIZE"), QString::number(5 * kCDBytesPerSecond));
    QCOMPARE(RowText(g, 3, "COL_FILE"), image->Text() + QStringLiteral("/Track03.cda"));
    QVERIFY(f.platform.messages().shown.isEmpty());
}

QTEST_MAIN(tst_CDLists)
#include "tst_cdlists.moc"
