// The CD ripper window over the ripper component's fake: loading, the drive list and the
// disc status line, the rip job (marked tracks only, track = row, names, ranges, tags, the
// overwrite question, errors, Abort, progress, the ending with the tray ejected before the
// turn-off, a second job), the destination it writes into, and the close guard.
#include "common/frmTurnOff.h"
#include "common/mdlModes.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cGrid/cGrid.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTabControl/cTabControl.h"
#include "lists/mdlCDTracks.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "settings/mdlFileNameFormats.h"
#include "settings/mdlOptions.h"
#include "tests/support/FakeAudioComponents.h"
#include "tests/support/FakeToolFixture.h"
#include "tests/support/JobLog.h"
#include "tests/support/TestFiles.h"
#include "tests/support/ToolRows.h"
#include "tests/support/ToolTexts.h"
#include "tools/disc/frmCDRipper.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace ToolTexts;

namespace {

QList<FakeCdTrack> audioTracks(const QList<int>& seconds)
{
    QList<FakeCdTrack> t;
    for (int s : seconds)
        t.append({s, true});
    return t;
}

// A fake whose disc says it is an audio CD but lists no track.
class TracklessRipper : public FakeAudioCDRipper
{
public:
    using FakeAudioCDRipper::FakeAudioCDRipper;
    bool IsAudioCD() override { return true; }
    qint32 GetTrackCount() override { return 0; }
};

// A program folder, the fake ripper with its drives, the main window's stand-in and a ripper
// window loaded as the launch loads it, its grid holding the tracks of the first drive (as
// the drive's list gives them) and ripping to MP3 into "out/".
struct Fixture : FakeToolFixture {
    QList<FakeCdDrive> drives{{QStringLiteral("D: Fake Drive"), true, audioTracks({60, 61, 62, 63, 64})}};
    frmCDRipper* w = nullptr;

    explicit Fixture(FakeAutoFinish finish = FakeAutoFinish::Done, bool load = true)
    {
        g_sTagAlbum = g_sTagArtist = g_sTagComment = g_sTagGenre = g_sTagYear = g_sTagSong = g_sTagTrack = QString();
        fakes.setupRipper = [this, finish](FakeAudioCDRipper* r) {
            r->drives = drives;
            r->autoFinish = finish;
        };
        QDir().mkpath(dest);
        if (load)
            open();
    }
    void open()
    {
        w = g_frmCDRipper();
        WriteCDTrackRows(w->cGrid1, rip(), QStringLiteral("D:"));
        w->txtToPath->setEditText(dest);
        SelectListText(w->cboTargetFormat, kMp3);
    }
    FakeAudioCDRipper* rip() const { return qobject_cast<FakeAudioCDRipper*>(w->cAudioCDRipper1); }
    void mark(qint32 row, bool on)
    {
        w->cGrid1->SetCell(row, w->cGrid1->ColumnIndex(QStringLiteral("Inc")), QString(), cGrid::kIconCellFormat,
                           on ? kIconMarked : kIconUnmarked);
    }
    // Only these rows stay marked.
    void markOnly(const QList<int>& rows)
    {
        for (qint32 r = 1; r <= w->cGrid1->Rows(); ++r)
            mark(r, rows.contains(r));
    }
    void setRange(qint32 row, const QString& start, const QString& length)
    {
        ToolRows::SetRange(w->cGrid1, row, start, length);
    }
    void ripAll()
    {
        w->cmdConvert_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!w->IsBusy(), 5000);
    }
    QList<int> tracks() const
    {
        QList<int> out;
        for (const FakeJobRecord& r : rip()->started)
            out << r.trackNumber;
        return out;
    }
    QStringList outputs() const
    {
        QStringList out;
        for (const FakeJobRecord& r : rip()->started)
            out << r.output;
        return out;
    }
    QStringList log() const { return JobLogLines(w->txtLog); }
};

} // namespace

class tst_cdripperwindow : public QObject
{
    Q_OBJECT
private slots:
    void loadsTheWindow();
    void discStatus_data();
    void discStatus();
    void noDrive();
    void openButtonAndDriveChoice();

    void ripsTheMarkedTracks();
    void ranges();
    void overwriteQuestion_data();
    void overwriteQuestion();
    void errorOnATrack();
    void abortQuestion();
    void trackEndsWhileAbortIsAsked_data();
    void trackEndsWhileAbortIsAsked();
    void settingsChangedDuringARip();
    void namesNeverHidden_data();
    void namesNeverHidden();
    void progress();
    void secondJobEstimate();
    void closeGuard();

    void destinationAsTyped_data();
    void destinationAsTyped();
    void destinationThatCannotBeMade();
    void trackNumberTag();
};

void tst_cdripperwindow::loadsTheWindow()
{
    Fixture f;
    frmCDRipper* w = f.w;
    QCOMPARE(w->windowTitle(), QStringLiteral("Audio CD Ripper"));
    QCOMPARE(w->lblTitle->text(), QStringLiteral("Audio CD Ripper"));
    QCOMPARE(w->cmdConvert->text(), QStringLiteral("Rip"));
    QCOMPARE(w->cmdOpenCD->text(), QStringLiteral("Open"));
    QCOMPARE(w->cTabControl1->TabCaption(1), QStringLiteral("Ripper Options    "));
    QCOMPARE(w->cTabControl1->TabImage(1), 25);
    QCOMPARE(w->cTabControl1->TabCaption(2), QStringLiteral("Events        "));
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Ready."));
    QCOMPARE(w->lblTimeLeft->text(), QStringLiteral("Time Left: 00:00:00"));
    QCOMPARE(w->cStatusBar1->PanelCount(), 2);
    // The drive list holds the component's devices, the first chosen and its disc told.
    QCOMPARE(w->cboDevices->count(), 1);
    QCOMPARE(w->cboDevices->currentText(), QStringLiteral("D: Fake Drive"));
    QCOMPARE(w->lblCDStatus->text(), QStringLiteral("OK: 5 CDA tracks"));
    // "Eject the CD door" is ticked, between the external program and the turn-off.
    QCOMPARE(w->chkOpenCDdrive->text(), QStringLiteral("Eject the CD door"));
    QCOMPARE(w->chkOpenCDdrive->Value(), 1);
    QVERIFY(w->chkNoticeApp->y() < w->chkOpenCDdrive->y());
    QVERIFY(w->chkOpenCDdrive->y() < w->chkTurnOffComputer->y());
    QVERIFY(w->chkTurnOffComputer->y() < w->lblEventsSettings->y());
    // With no default template, the second built-in one.
    QCOMPARE(w->cboFileName->currentText(), QStringLiteral("[file_name].[source_extension].[dest_extension]"));
    QCOMPARE(w->txtToPath->currentText(), f.dest);
    QCOMPARE(w->g_ltmrItemSecsTotal, 0);
    QCOMPARE(w->g_ltmrItemSecs, 0);
    QVERIFY(f.platform.messages().shown.isEmpty());
}

void tst_cdripperwindow::discStatus_data()
{
    QTest::addColumn<bool>("selectable");
    QTest::addColumn<QList<FakeCdTrack>>("disc");
    QTest::addColumn<bool>("trackless");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("red");
    QTest::newRow("twelve tracks") << true << audioTracks({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}) << false
                                   << "OK: 12 CDA tracks" << false;
    QTest::newRow("cannot be selected") << false << audioTracks({5}) << false
                                        << "Cannot select 'E:\\' as an Audio CD." << true;
    QTest::newRow("data disc") << true << QList<FakeCdTrack>{{30, false}} << false << "'E:\\' is not an Audio CD."
                               << true;
    QTest::newRow("no disc") << true << QList<FakeCdTrack>{} << false << "'E:\\' is not an Audio CD." << true;
    QTest::newRow("audio CD without tracks") << true << audioTracks({5}) << true << "'E:\\' has no CDA tracks."
                                             << true;
}

void tst_cdripperwindow::discStatus()
{
    QFETCH(bool, selectable);
    QFETCH(QList<FakeCdTrack>, disc);
    QFETCH(bool, trackless);
    QFETCH(QString, status);
    QFETCH(bool, red);
    Fixture f(FakeAutoFinish::Done, false);
    f.drives = {{QStringLiteral("E: Drive"), selectable, disc}};
    if (trackless)
        SetAudioCDRipperFactory([&f](QObject* parent) {
            auto* r = new TracklessRipper(parent);
            r->drives = f.drives;
            return r;
        });
    f.w = g_frmCDRipper();
    QCOMPARE(f.w->lblCDStatus->text(), status);
    QCOMPARE(f.w->lblCDStatus->palette().color(QPalette::WindowText), red ? QColor(Qt::red) : QColor(Qt::black));
    // The line only informs: the Rip button stays as it was.
    QVERIFY(f.w->cmdConvert->isEnabled());
}

void tst_cdripperwindow::noDrive()
{
    Fixture f(FakeAutoFinish::Done, false);
    f.drives.clear();
    f.w = g_frmCDRipper();
    QCOMPARE(f.w->cboDevices->count(), 0);
    QCOMPARE(f.w->cboDevices->currentIndex(), -1);
    QCOMPARE(f.w->lblCDStatus->text(), QStringLiteral("Ready."));
}

void tst_cdripperwindow::openButtonAndDriveChoice()
{
    Fixture f(FakeAutoFinish::Done, false);
    f.drives = {{QStringLiteral("D: First"), true, audioTracks({5})}, {QStringLiteral("E: Second"), true, {}}};
    f.w = g_frmCDRipper();
    FakeAudioCDRipper* r = f.rip();
    QCOMPARE(r->calls, QStringList{"SelectDevice 0"});
    f.w->cboDevices->setCurrentIndex(1);
    f.w->cboDevices_Click();
    QCOMPARE(r->calls.last(), QStringLiteral("SelectDevice 1"));
    QCOMPARE(f.w->lblCDStatus->text(), QStringLiteral("'E:\\' is not an Audio CD."));
    f.w->cmdOpenCD_Click();
    QCOMPARE(r->calls.last(), QStringLiteral("OpenTray"));
    // A job rips from the drive chosen in the list.
    SetRowText(f.w->cGrid1, 1, QStringLiteral("Time"), QStringLiteral("00:00:05"));
    SetRowText(f.w->cGrid1, 1, QStringLiteral("COL_FILE"), QStringLiteral("E:/Track01.cda"));
    SetRowText(f.w->cGrid1, 1, QStringLiteral("Item Name"), QStringLiteral("Track01.cda"));
    SetRowText(f.w->cGrid1, 1, QStringLiteral("COL_RANGE_ALL"), QStringLiteral("1"));
    f.mark(1, true);
    f.w->txtToPath->setEditText(f.dest);
    f.ripAll();
    QCOMPARE(r->started.size(), 1);
    QCOMPARE(r->started[0].deviceIndex, 1);
}

// Tracks 1, 3 and 5 of five marked: the component gets those track numbers, the names
// come from the template, the log tells each step, and the job ends with "Done.", the
// tray opened after the last track and before the turn-off countdown.
void tst_cdripperwindow::ripsTheMarkedTracks()
{
    Fixture f(FakeAutoFinish::None);
    f.markOnly({1, 3, 5});
    f.w->chkTurnOffComputer->SetValue(1);
    f.w->chkPlaySound->SetValue(1);
    FakeAudioCDRipper* r = f.rip();
    f.w->cmdConvert_Click();
    QCOMPARE(f.tracks(), QList<int>{1});
    QCOMPARE(f.w->lblFilesToConvert->text(), QStringLiteral("Files: 1/5"));
    QVERIFY(!f.w->cmdExit->isEnabled());
    r->finishDone();
    QCOMPARE(f.tracks(), (QList<int>{1, 3}));
    QCOMPARE(f.w->lblFilesToConvert->text(), QStringLiteral("Files: 3/5"));
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Track03.cda"));
    r->emitProgress(40);
    QVERIFY(f.w->windowTitle().startsWith(QStringLiteral("Converting... [ 40% / ")));
    r->finishDone();
    QCOMPARE(f.tracks(), (QList<int>{1, 3, 5}));
    bool trayOpenedFirst = false;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        trayOpenedFirst = r->calls.contains(QStringLiteral("OpenTray"));
        static_cast<frmTurnOff*>(form)->cmdCancel->click();
    });
    r->finishDone();

    QCOMPARE(f.outputs(), (QStringList{f.dest + "Track01.cda.mp3", f.dest + "Track03.cda.mp3",
                                       f.dest + "Track05.cda.mp3"}));
    for (const FakeJobRecord& job : r->started) {
        QCOMPARE(job.format, 3);
        QCOMPARE(job.deviceIndex, 0);
        QVERIFY(!job.hasRange);
    }
    QCOMPARE(f.log(), (QStringList{"Preparing to rip: 5 tracks.", "Destination format: MP3",
                                   "Start to rip: Track01.cda...", "Done.", "Start to rip: Track03.cda...", "Done.",
                                   "Start to rip: Track05.cda...", "Done."}));
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Done."));
    QCOMPARE(f.w->windowTitle(), QStringLiteral("Done."));
    QCOMPARE(f.host.BalloonMessages(), QStringList{"Done."});
    QCOMPARE(f.w->prgTotal->Value(), 500);
    QCOMPARE(f.w->prgCurrnet->Value(), 100);
    QCOMPARE(f.platform.sound().played.size(), 1);
    QVERIFY(trayOpenedFirst);
    QCOMPARE(f.platform.modal().shown, QStringList{"frmTurnOff"});
    QVERIFY(f.w->cmdConvert->isEnabled());
    QCOMPARE(f.w->cursor().shape(), Qt::ArrowCursor);
}

// A range row rips its seconds; a later row without a range its whole track.
void tst_cdripperwindow::ranges()
{
    Fixture f;
    f.markOnly({2, 3});
    f.setRange(2, "10", "20");
    f.w->chkOpenCDdrive->SetValue(0);
    f.ripAll();
    const QList<FakeJobRecord>& s = f.rip()->started;
    QCOMPARE(s.size(), 2);
    QVERIFY(s[0].hasRange);
    QCOMPARE(s[0].rangeStart, 10);
    QCOMPARE(s[0].rangeLength, 20);
    QVERIFY(!s[1].hasRange);
    // The estimate counted the range's seconds for the ranged track.
    QCOMPARE(f.w->g_ltmrItemSecs, 20 + 62);
    // Without the eject box the tray stays shut.
    QVERIFY(!f.rip()->calls.contains(QStringLiteral("OpenTray")));
}

void tst_cdripperwindow::overwriteQuestion_data()
{
    QTest::addColumn<int>("existing");  // the track whose file is there
    QTest::addColumn<int>("answer");
    QTest::addColumn<QList<int>>("ripped");
    QTest::addColumn<QString>("ending");
    QTest::newRow("yes replaces it") << 2 << int(vbYes) << QList<int>{1, 2, 4} << "Done.";
    QTest::newRow("no skips that track") << 2 << int(vbNo) << QList<int>{1, 4} << "Done.";
    QTest::newRow("cancel stops the job") << 2 << int(vbCancel) << QList<int>{1} << "Aborted.";
    QTest::newRow("no on the last marked track") << 4 << int(vbNo) << QList<int>{1, 2} << "Aborted.";
}

void tst_cdripperwindow::overwriteQuestion()
{
    QFETCH(int, existing);
    QFETCH(int, answer);
    QFETCH(QList<int>, ripped);
    QFETCH(QString, ending);
    Fixture f;
    f.markOnly({1, 2, 4});
    f.w->chkPlaySound->SetValue(1);
    const QString taken = f.dest + QStringLiteral("Track%1.cda.mp3").arg(existing, 2, 10, QChar(u'0'));
    TestFiles::WriteBytes(taken, "older");
    f.platform.messages().answers.enqueue(answer);
    f.ripAll();
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, kOverwrite.arg(taken));
    QCOMPARE(f.platform.messages().shown[0].buttons, vbYesNoCancel + vbInformation);
    QCOMPARE(f.tracks(), ripped);
    QVERIFY(f.log().contains(QStringLiteral("File already exists.")));
    QCOMPARE(f.log().contains(QStringLiteral("Overwrite it...")), answer == vbYes);
    QCOMPARE(f.w->lblCurrentTrack->text(), ending);
    QCOMPARE(f.w->windowTitle(), ending);
    QCOMPARE(f.host.BalloonMessages(), QStringList{ending});
    // A stopped job runs no end-of-job action: no sound, the tray stays shut.
    const bool done = ending == QLatin1String("Done.");
    QCOMPARE(f.platform.sound().played.size(), done ? 1 : 0);
    QCOMPARE(f.rip()->calls.contains(QStringLiteral("OpenTray")), done);
    QVERIFY(f.w->cmdConvert->isEnabled());
}

// A track that fails is logged; the next marked track is still ripped, the job ends with
// how many of the marked tracks failed, and the computer is not turned off.
void tst_cdripperwindow::errorOnATrack()
{
    Fixture f(FakeAutoFinish::None);
    f.markOnly({1, 2});
    f.w->chkTurnOffComputer->SetValue(1);
    FakeAudioCDRipper* r = f.rip();
    f.w->cmdConvert_Click();
    r->finishError(13, QStringLiteral("Track 1 is not an audio track."));
    const QString text = QStringLiteral("Error: Track 1 is not an audio track.(13)");
    QVERIFY(f.log().contains(text));
    QCOMPARE(f.w->windowTitle(), text);
    QCOMPARE(f.tracks(), (QList<int>{1, 2}));
    QVERIFY(f.w->IsBusy());
    r->finishDone();
    const QString ending = QStringLiteral("Done. 1 of 2 failed: see the Log.");
    QCOMPARE(f.w->lblCurrentTrack->text(), ending);
    QCOMPARE(f.w->windowTitle(), ending);
    QCOMPARE(f.host.BalloonMessages(), QStringList{ending});
    QVERIFY(f.platform.modal().shown.isEmpty());
    QVERIFY(r->calls.contains(QStringLiteral("OpenTray")));
    // Every marked track failing says so.
    f.w->cmdConvert_Click();
    r->finishError(13, QStringLiteral("No disc."));
    r->finishError(13, QStringLiteral("No disc."));
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Failed: see the Log."));
}

void tst_cdripperwindow::abortQuestion()
{
    Fixture f(FakeAutoFinish::None);
    f.markOnly({1, 2});
    f.w->chkPlaySound->SetValue(1);
    FakeAudioCDRipper* r = f.rip();
    const QString question = QStringLiteral("Abort operation?") + QString(38, u' ');
    // Nothing to abort while no job runs.
    f.w->cmdAbort_Click();
    QVERIFY(f.platform.messages().shown.isEmpty());

    f.w->cmdConvert_Click();
    f.platform.messages().answers.enqueue(vbNo);
    f.w->cmdAbort_Click();
    QCOMPARE(f.platform.messages().shown.last().prompt, question);
    QCOMPARE(f.platform.messages().shown.last().buttons, vbYesNo + vbInformation);
    QVERIFY(!r->calls.contains(QStringLiteral("Abort")));
    QVERIFY(f.w->Timer1.isActive());
    QVERIFY(r->isRunning());

    f.platform.messages().answers.enqueue(vbYes);
    f.w->cmdAbort_Click();
    QCOMPARE(r->calls.last(), QStringLiteral("Abort"));
    QCOMPARE(f.host.BalloonMessages(), QStringList{"Aborted."});
    QVERIFY(!f.w->Timer1.isActive());
    r->finishAborted();
    QCOMPARE(f.log().last(), QStringLiteral("Aborted."));
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Aborted."));
    QCOMPARE(f.w->windowTitle(), QStringLiteral("Aborted."));
    QVERIFY(f.w->cmdConvert->isEnabled());
    QVERIFY(f.w->cmdExit->isEnabled());
    QCOMPARE(f.tracks(), QList<int>{1});
    QCOMPARE(f.platform.sound().played.size(), 0);
    QVERIFY(!r->calls.contains(QStringLiteral("OpenTray")));
}

void tst_cdripperwindow::progress()
{
    Fixture f(FakeAutoFinish::None);
    f.markOnly({3});
    FakeAudioCDRipper* r = f.rip();
    f.w->cmdConvert_Click();
    const QString before = f.w->windowTitle();
    r->emitProgress(0);
    QCOMPARE(f.w->windowTitle(), before);
    QCOMPARE(f.w->prgCurrnet->Value(), 0);
    r->emitProgress(50);
    QCOMPARE(f.w->prgCurrnet->Value(), 50);
    QCOMPARE(f.w->prgTotal->Max(), 500);
    QCOMPARE(f.w->prgTotal->Value(), 250);
    QCOMPARE(f.w->windowTitle(), QStringLiteral("Converting... [ 50% / 50% ]"));
    QCOMPARE(f.w->g_ltmrCurItemSecs, 31);  // half of 62 s
    r->finishDone();
    // Unmarked rows after the last marked one: the job is done at once.
    QVERIFY(!f.w->IsBusy());
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Done."));
    QCOMPARE(f.w->cursor().shape(), Qt::ArrowCursor);
}

// A second job in the same window rips the marked tracks again, and its time-left estimate
// counts only its own tracks as done.
void tst_cdripperwindow::secondJobEstimate()
{
    Fixture f;
    f.markOnly({1, 2});
    f.w->chkOverWrite->SetValue(1);
    f.w->g_ltmrItemSecsTotal = 60 + 61;
    f.ripAll();
    QCOMPARE(f.w->g_ltmrItemSecs, 121);
    f.rip()->autoFinish = FakeAutoFinish::None;
    f.w->cmdConvert_Click();
    QCOMPARE(f.tracks(), (QList<int>{1, 2, 1}));
    QCOMPARE(f.w->g_ltmrItemSecs, 0);
    // 10 s in, 30 of the 121 audio seconds done: 91 left at that pace take about 30 s.
    f.rip()->emitProgress(50);
    f.w->g_ltmrSces = 9;
    f.w->Timer1_Timer();
    QCOMPARE(f.w->lblTimeLeft->text(), QStringLiteral("Time Left: 00:00:30"));
    f.rip()->finishDone();
    f.rip()->finishDone();
    QCOMPARE(f.tracks(), (QList<int>{1, 2, 1, 2}));
    QCOMPARE(f.host.BalloonMessages(), (QStringList{"Done.", "Done."}));
}

void tst_cdripperwindow::closeGuard()
{
    Fixture f(FakeAutoFinish::None);
    f.markOnly({1});
    FakeAudioCDRipper* r = f.rip();
    f.w->cmdConvert_Click();
    f.w->close();
    QVERIFY(Forms::IsLoaded<frmCDRipper>());
    QVERIFY(!r->calls.contains(QStringLiteral("CloseDevice")));
    QVERIFY(f.platform.messages().shown.isEmpty());
    r->finishDone();
    f.w->cmdExit_Click();
    QVERIFY(!Forms::IsLoaded<frmCDRipper>());
    QCOMPARE(r->calls.last(), QStringLiteral("CloseDevice"));
}

// The destination as typed, with or without its "/", holds the files, and the sub-folder
// is made inside it; a destination that is missing is made.
void tst_cdripperwindow::destinationAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("subFolder");
    QTest::addColumn<QString>("folder");
    QTest::newRow("with slash") << "Music/" << false << "Music/";
    QTest::newRow("without slash") << "Music" << false << "Music/";
    QTest::newRow("without slash, sub-folder") << "Music" << true << "Music/D-/";
    QTest::newRow("missing, deeper") << "new/Music" << true << "new/Music/D-/";
}

void tst_cdripperwindow::destinationAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(bool, subFolder);
    QFETCH(QString, folder);
    Fixture f;
    QDir().mkpath(f.platform.path("Music"));
    f.markOnly({1});
    f.w->txtToPath->setEditText(f.platform.path(typed));
    f.w->txtUndeForlder->setText(QStringLiteral("D-"));
    f.w->chkCreateSubFolder->SetValue(subFolder ? 1 : 0);
    f.ripAll();
    QCOMPARE(f.outputs(), QStringList{f.platform.path(folder) + "Track01.cda.mp3"});
    QVERIFY(QFileInfo(f.platform.path(folder)).isDir());
    QVERIFY(!QFileInfo::exists(f.platform.path("MusicD-")));
}

// A destination that cannot be made stops the job before the first track.
void tst_cdripperwindow::destinationThatCannotBeMade()
{
    Fixture f;
    f.markOnly({1, 2});
    TestFiles::WriteBytes(f.platform.path("afile"), "x");
    const QString folder = f.platform.path("afile/Music/");
    f.w->txtToPath->setEditText(folder);
    f.platform.messages().answers.enqueue(vbOK);
    f.w->cmdConvert_Click();
    const QString text = QStringLiteral("The path: ") + folder + QStringLiteral(" cannot be created.");
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, text);
    QVERIFY(f.rip()->started.isEmpty());
    QVERIFY(!f.w->IsBusy());
    QVERIFY(f.log().contains(text));
    QVERIFY(f.host.BalloonMessages().isEmpty());
    QVERIFY(f.w->lblCurrentTrack->text() != QStringLiteral("Done."));
}

// "[TRACK_NUM]" in a track's tags is its track number, counted from 1.
void tst_cdripperwindow::trackNumberTag()
{
    Fixture f;
    f.markOnly({1, 4});
    for (qint32 row = 1; row <= 5; ++row) {
        SetRowText(f.w->cGrid1, row, QStringLiteral("COL_TAG_TRACK"), QStringLiteral("[TRACK_NUM]"));
        SetRowText(f.w->cGrid1, row, QStringLiteral("COL_TAG_TITLE"), QStringLiteral("Song [TRACK_NUM]"));
    }
    f.ripAll();
    const QList<FakeJobRecord>& s = f.rip()->started;
    QCOMPARE(s.size(), 2);
    QCOMPARE(s[0].tags.Track, QStringLiteral("1"));
    QCOMPARE(s[0].tags.Title, QStringLiteral("Song 1"));
    QCOMPARE(s[1].tags.Track, QStringLiteral("4"));
    QCOMPARE(s[1].tags.Title, QStringLiteral("Song 4"));
}

// A track that ends while the Abort question is open: Yes stops the rip after it (the next
// marked track is never started), No goes on with the next track.
void tst_cdripperwindow::trackEndsWhileAbortIsAsked_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QList<int>>("ripped");
    QTest::addColumn<QString>("ending");
    QTest::newRow("Yes") << int(vbYes) << QList<int>{1} << "Aborted.";
    QTest::newRow("No") << int(vbNo) << QList<int>{1, 2} << "Done.";
}

void tst_cdripperwindow::trackEndsWhileAbortIsAsked()
{
    QFETCH(int, answer);
    QFETCH(QList<int>, ripped);
    QFETCH(QString, ending);
    Fixture f(FakeAutoFinish::None);
    f.markOnly({1, 2});
    FakeAudioCDRipper* r = f.rip();
    f.w->cmdConvert_Click();
    f.platform.messages().whileShown = [r] { r->finishDone(); };
    f.platform.messages().answers.enqueue(answer);
    f.w->cmdAbort_Click();
    if (r->isRunning())
        r->finishDone();
    QCOMPARE(f.tracks(), ripped);
    QVERIFY(!r->calls.contains(QStringLiteral("Abort")));
    QCOMPARE(f.w->lblCurrentTrack->text(), ending);
    QCOMPARE(f.log().last(), ending);
    QVERIFY(f.w->cmdConvert->isEnabled());
}

// The output block stays usable while the rip runs; what it is changed to is the next
// job's: every track of this one is written in the format, folder and names it started with.
void tst_cdripperwindow::settingsChangedDuringARip()
{
    Fixture f(FakeAutoFinish::None);
    f.markOnly({1, 2, 3});
    f.w->chkOpenDestFolder->SetValue(1);
    FakeAudioCDRipper* r = f.rip();
    f.w->cmdConvert_Click();
    for (QWidget* box : QList<QWidget*>{f.w->cboTargetFormat, f.w->cmdEditTargetFormat, f.w->cboFileName,
                                        f.w->txtToPath, f.w->chkCreateSubFolder})
        QVERIFY(box->isEnabled());
    SelectListText(f.w->cboTargetFormat, kWav);
    f.w->cboTargetFormat_Click();
    f.w->cboFileName->setCurrentIndex(4);  // [123].[dest_extension]
    const QString other = f.platform.path(QStringLiteral("other/"));
    f.w->txtToPath->setEditText(other);
    f.w->chkCreateSubFolder->SetValue(1);
    f.w->txtUndeForlder->setText(QStringLiteral("Album"));
    for (int track = 1; track <= 3; ++track)
        r->finishDone();
    QCOMPARE(f.outputs(), (QStringList{f.dest + "Track01.cda.mp3", f.dest + "Track02.cda.mp3",
                                       f.dest + "Track03.cda.mp3"}));
    for (const FakeJobRecord& job : r->started)
        QCOMPARE(job.format, 3);
    // The folder the tracks went to is the one opened.
    QCOMPARE(f.platform.shell().opened, QStringList{f.dest});

    r->autoFinish = FakeAutoFinish::Done;
    f.ripAll();
    QCOMPARE(f.outputs().mid(3), (QStringList{other + "Album/1.wav", other + "Album/2.wav", other + "Album/3.wav"}));
    QCOMPARE(r->started.last().format, 1);
}

// Titles looked up for a disc become the tracks' item names; an output name never begins
// with "." (the file would be hidden), and a name of dots only is refused as empty.
void tst_cdripperwindow::namesNeverHidden_data()
{
    QTest::addColumn<QString>("itemName");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("written");  // empty: the track is refused
    const QString item = QStringLiteral("[item_name].[dest_extension]");
    QTest::newRow("title in dots") << "...And Then.cda" << item << "And Then.cda.mp3";
    QTest::newRow("title reaching up") << "../../etc.cda" << item << "-..-etc.cda.mp3";
    QTest::newRow("dot name") << ".hidden.cda" << item << "hidden.cda.mp3";
    QTest::newRow("dots inside stay") << "A.B. Side.cda" << item << "A.B. Side.cda.mp3";
    QTest::newRow("dots only") << ".." << QStringLiteral("[item_name]") << "";
    QTest::newRow("template in dots") << "Song.cda" << QStringLiteral(".[item_name].[dest_extension]")
                                      << "Song.cda.mp3";
}

void tst_cdripperwindow::namesNeverHidden()
{
    QFETCH(QString, itemName);
    QFETCH(QString, format);
    QFETCH(QString, written);
    Fixture f;
    f.markOnly({1, 2});
    SetRowText(f.w->cGrid1, 1, QStringLiteral("Item Name"), itemName);
    f.w->cboFileName->addItem(format);
    f.w->cboFileName->setCurrentIndex(f.w->cboFileName->count() - 1);
    f.ripAll();
    if (written.isEmpty()) {
        QCOMPARE(f.tracks(), QList<int>{2});
        QVERIFY(f.log().contains(QStringLiteral("Error: The file name format gives this item an empty name.(5)")));
    } else {
        QCOMPARE(f.outputs().first(), f.dest + written);
    }
}

QTEST_MAIN(tst_cdripperwindow)
#include "tst_cdripperwindow.moc"
