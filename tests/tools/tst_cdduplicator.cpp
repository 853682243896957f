// The audio CD duplicator window over a scripted ripper and burner: the source check and
// its poll, the rip of every track into "duptmp", the burn of the ripped files with its
// texts and its order, the blank-disc question, failed rips, refused files and burns with
// their endings, data tracks, a missing writer, Abort and the close guard.
#include "common/frmTurnOff.h"
#include "common/mdlFunctions.h"
#include "common/mdlModes.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cGrid/cGrid.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "settings/mdlOptions.h"
#include "tests/support/FakeAudioBurner.h"
#include "tests/support/FakeAudioComponents.h"
#include "tests/support/MainHostStandIn.h"
#include "tests/support/TestPlatform.h"
#include "tools/disc/frmAudioCDDuplicator.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString kQuestion = QStringLiteral("Insert an empty media to drive E then click on 'OK'.\r\n\r\n"
                                         "Click on cancel in order to cancel the burn proccess.");

QList<FakeCdTrack> audioTracks(int n)
{
    return QList<FakeCdTrack>(n, FakeCdTrack{200, true});
}

// A drive that calls its disc an audio CD yet lists no track on it.
class AudioCDWithoutTracks : public FakeAudioCDRipper
{
public:
    using FakeAudioCDRipper::FakeAudioCDRipper;
    bool IsAudioCD() override { return true; }
};

struct Fixture {
    TestPlatform platform;
    MainHostStandIn host;
    FakeAudioFactories fakes;
    FakeAudioBurnerFactory burners;
    QList<FakeCdDrive> drives{{QStringLiteral("D: Source"), true, audioTracks(3)}};
    QList<FakeWriter> writers{{QStringLiteral("E: Writer"), {"7056"}, 0, 0, QString()}};

    Fixture()
    {
        InitProductProfile();
        g_bPlaySound = g_bOpenDestFolder = g_bNoticeApp = g_bTurnOffComputer = false;
        platform.messages().answerAll = vbOK;
        fakes.setupRipper = [this](FakeAudioCDRipper* r) { r->drives = drives; };
        burners.setup = [this](FakeAudioBurner* b) { b->writers = writers; };
    }
    frmAudioCDDuplicator* open() { return g_frmAudioCDDuplicator(); }
    FakeAudioCDRipper* ripper() { return fakes.rippers.last(); }
    FakeAudioBurner* burner() { return burners.burners.last(); }
    // Ends the running rip: a file with content and Done, or no file and an error.
    void endRip(bool ok)
    {
        if (ok) {
            QFile out(ripper()->started.last().output);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(QByteArray(4 * 2352, '\1'));
            out.close();
            ripper()->finishDone();
        } else {
            ripper()->finishError(5, QStringLiteral("Read failed"));
        }
    }
    QString temp() const { return platform.path(QStringLiteral("duptmp")); }
    QStringList prompts()
    {
        QStringList out;
        for (const auto& b : platform.messages().shown)
            out << b.prompt;
        return out;
    }
};

QStringList column(cGrid* g, const char* key)
{
    QStringList out;
    for (qint32 r = 1; r <= g->Rows(); ++r)
        out << RowText(g, r, QLatin1String(key));
    return out;
}

bool logHas(frmAudioCDDuplicator* w, const QString& text)
{
    return w->txtLog->toPlainText().contains(text);
}

} // namespace

class tst_cdduplicator : public QObject
{
    Q_OBJECT
private slots:
    void sourceCheck_data();
    void sourceCheck();
    void pollFollowsTheSourceWithoutBoxes();
    void duplicatesAndCloses();
    void usedDiscAsksUntilBlankOrCancel();
    void failedRipIsLeftOut();
    void burnFailuresKeepTheWindowAndFiles_data();
    void burnFailuresKeepTheWindowAndFiles();
    void refusedFileAndProgressTexts();
    void dataTracksArePassedOver_data();
    void dataTracksArePassedOver();
    void noWriterSaysSoBeforeRipping();
    void abortReachesTheListingAndTheNextRip();
    void closeAndAbortFollowTheJob();
};

void tst_cdduplicator::sourceCheck_data()
{
    QTest::addColumn<bool>("selectable");
    QTest::addColumn<int>("tracks");
    QTest::addColumn<bool>("audio");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("colour");
    QTest::addColumn<bool>("withoutTracks");  // the drive calls an empty disc an audio CD
    QTest::newRow("cannot select") << false << 3 << true << "Cannot select 'D:\\' as an Audio CD." << 255 << false;
    QTest::newRow("data disc") << true << 2 << false << "'D:\\' is not an Audio CD." << 255 << false;
    QTest::newRow("no disc") << true << 0 << true << "'D:\\' is not an Audio CD." << 255 << false;
    QTest::newRow("audio CD without tracks") << true << 0 << true << "'D:\\' has no CDA tracks." << 255 << true;
    QTest::newRow("ten tracks") << true << 10 << true << "OK: 10 CDA tracks" << 0 << false;
}

void tst_cdduplicator::sourceCheck()
{
    QFETCH(bool, selectable);
    QFETCH(int, tracks);
    QFETCH(bool, audio);
    QFETCH(QString, status);
    QFETCH(int, colour);
    QFETCH(bool, withoutTracks);
    Fixture f;
    f.drives[0].selectable = selectable;
    f.drives[0].tracks = QList<FakeCdTrack>(tracks, FakeCdTrack{100, audio});
    if (withoutTracks) {
        // (the fixture puts its own factory back when it ends)
        SetAudioCDRipperFactory([&f](QObject* parent) {
            auto* r = new AudioCDWithoutTracks(parent);
            r->drives = f.drives;
            return r;
        });
    }
    frmAudioCDDuplicator* w = f.open();
    QCOMPARE(w->lblCDStatus->text(), status);
    QCOMPARE(w->lblFilesToConvert->text(), status);
    QCOMPARE(VbColorValue(w->lblCDStatus->palette().color(QPalette::WindowText)), colour);
    QCOMPARE(w->cmdConvert->isEnabled(), colour == 0);
    QCOMPARE(w->cboDrv->currentText(), QStringLiteral("E: Writer"));
    QCOMPARE(w->cboSpeed->currentText(), QStringLiteral("Max."));
    QVERIFY(!w->lblState->isVisibleTo(w) && !w->chkOnTheFly->isVisibleTo(w) && w->chkOnTheFly->Value() == 0);
    if (colour == 0) {
        const QStringList names = column(w->cGrid1, "Item Name");
        QCOMPARE(names.size(), 10);
        QCOMPARE(names.first(), QStringLiteral("Track01.cda"));
        QCOMPARE(names.last(), QStringLiteral("Track10.cda"));
        QCOMPARE(column(w->cGrid1, "COL_FILE").last(), QStringLiteral("D:\\Track10.cda"));
    } else {
        QCOMPARE(w->cGrid1->Rows(), 0);
    }
    // Without a usable source disc Duplicate rips nothing, and the window still closes.
    if (colour != 0) {
        w->cmdConvert_Click();
        QVERIFY(static_cast<FakeAudioCDRipper*>(w->cAudioCDRipper1)->started.isEmpty());
    }
    QVERIFY(Forms::Unload(w));
}

void tst_cdduplicator::pollFollowsTheSourceWithoutBoxes()
{
    Fixture f;
    frmAudioCDDuplicator* w = f.open();
    QVERIFY(w->tmrState.isActive());
    QCOMPARE(w->tmrState.interval(), 3000);
    QVERIFY(w->cmdConvert->isEnabled());
    f.ripper()->drives[0].tracks.clear();
    w->tmrState_Timer();
    QVERIFY(!w->cmdConvert->isEnabled());
    QCOMPARE(w->cGrid1->Rows(), 0);
    f.ripper()->drives[0].tracks = audioTracks(2);
    w->tmrState_Timer();
    QVERIFY(w->cmdConvert->isEnabled());
    QCOMPARE(column(w->cGrid1, "Item Name"), (QStringList{"Track01.cda", "Track02.cda"}));
    QCOMPARE(w->lblCDStatus->text(), QStringLiteral("OK: 2 CDA tracks"));
    QVERIFY(f.platform.messages().shown.isEmpty());
    QVERIFY(Forms::Unload(w));
}

// The whole job on success: three rips into duptmp, the grid refilled with the files, the
// burn, then ClearTracks, CloseBurner, the writer's tray and the deletion, in this order;
// "Done." and the window closes. A sub-folder in duptmp stays.
void tst_cdduplicator::duplicatesAndCloses()
{
    Fixture f;
    frmAudioCDDuplicator* w = f.open();
    QDir().mkpath(f.temp() + QStringLiteral("/keep"));
    QPointer<frmAudioCDDuplicator> alive(w);
    QStringList order;
    QStringList gridAtBurn;
    f.burner()->onCall = [&](const QString& call) {
        const bool files = !QDir(f.temp()).entryList(QDir::Files).isEmpty();
        order << call + (files ? " [files]" : "");
        if (call.startsWith(QLatin1String("Burn ")))
            gridAtBurn = column(w->cGrid1, "Item Name");
    };
    f.burner()->duringBurn = [&](FakeAudioBurner* b) {
        b->writeTracks(3);
        emit b->ClosingSession();
        b->finish();
        order << QStringLiteral("after Finished: source tray %1, Exit %2")
                     .arg(f.ripper()->calls.contains(QStringLiteral("OpenTray")))
                     .arg(w->cmdExit->isEnabled());
    };
    w->cmdConvert->click();
    QVERIFY(logHas(w, QStringLiteral("Preparing to copy: 3 tracks.")));
    QVERIFY(logHas(w, QStringLiteral("Destination format: PCM WAV 44100 16 Stereo.")));
    QVERIFY(!w->cmdExit->isEnabled() && !w->cboDevices->isEnabled() && !w->tmrState.isActive());
    for (int i = 1; i <= 3; ++i) {
        QCOMPARE(f.ripper()->started.size(), i);
        const FakeJobRecord& r = f.ripper()->started.last();
        QCOMPARE(f.ripper()->started.last().trackNumber, i);
        QCOMPARE(QDir::cleanPath(r.output), QDir::cleanPath(f.temp() + QStringLiteral("/%1.wav").arg(i)));
        QCOMPARE(r.settings.WAV.SamplesPerSec, 44100);
        QCOMPARE(r.settings.WAV.Channels, qint16(2));
        QCOMPARE(r.settings.WAV.BitsPerSample, qint16(16));
        QVERIFY(logHas(w, QStringLiteral("Start to rip: Track0%1.cda...").arg(i)));
        // Closing is refused while the copy runs.
        QVERIFY(!Forms::Unload(w));
        f.endRip(true);
    }
    QCOMPARE(gridAtBurn, (QStringList{"1.wav", "2.wav", "3.wav"}));
    QCOMPARE(order.mid(0, 3), (QStringList{"AddTrack " + QDir::cleanPath(f.temp()) + "/1.wav [files]",
                                           "AddTrack " + QDir::cleanPath(f.temp()) + "/2.wav [files]",
                                           "AddTrack " + QDir::cleanPath(f.temp()) + "/3.wav [files]"}));
    // (then the window's closing releases the burner again)
    QCOMPARE(order.mid(3, 5), (QStringList{"Burn E 65535 flag=0 [files]", "after Finished: source tray 1, Exit 1",
                                        "ClearTracks [files]", "CloseBurner [files]", "OpenTray E [files]"}));
    QVERIFY(QDir(f.temp()).entryList(QDir::Files).isEmpty());
    QVERIFY(QDir(f.temp() + QStringLiteral("/keep")).exists());
    QCOMPARE(f.prompts(), QStringList{QStringLiteral("Done.") + QString(19, u' ')});
    QCOMPARE(f.host.BalloonMessages(), QStringList{"Done."});
    QVERIFY(logHas(w, QStringLiteral("Closing session, please wait...")));
    QVERIFY(!Forms::IsLoaded<frmAudioCDDuplicator>());
}

// A used disc: the tray opens and the question comes back after every OK (a loop, so a
// long run of refusals costs no stack); OK once the disc is blank burns; Cancel burns nothing.
void tst_cdduplicator::usedDiscAsksUntilBlankOrCancel()
{
    for (const bool cancel : {false, true}) {
        Fixture f;
        f.writers[0].state = QStringLiteral("The disc is not blank.");
        frmAudioCDDuplicator* w = f.open();
        const int askings = cancel ? 1 : 20000;
        int trays = 0;
        f.burner()->onCall = [&](const QString& call) {
            if (call == QLatin1String("OpenTray E") && ++trays == askings && !cancel)
                f.burner()->writers[0].state.clear();
        };
        if (cancel)
            f.platform.messages().answers.enqueue(vbCancel);
        else
            f.platform.messages().answerAll = vbOK;
        w->cmdConvert->click();
        for (int i = 0; i < 3; ++i)
            f.endRip(true);
        const QStringList prompts = f.prompts();
        QCOMPARE(prompts.count(kQuestion), askings);
        QCOMPARE(trays, askings + (cancel ? 0 : 1));  // and the tray after the burn
        const bool burned = !f.burner()->calls.filter(QStringLiteral("Burn ")).isEmpty();
        QCOMPARE(burned, !cancel);
        if (cancel) {
            QVERIFY(f.burner()->calls.filter(QStringLiteral("AddTrack")).isEmpty());
            QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Aborted."));
            QCOMPARE(f.host.BalloonMessages(), QStringList{"Aborted."});
            QVERIFY(Forms::IsLoaded<frmAudioCDDuplicator>() && w->cmdConvert->isEnabled() && w->cmdExit->isEnabled());
            QCOMPARE(QDir(f.temp()).entryList(QDir::Files).size(), 3);
            // The ripped files stay until the window closes.
            QVERIFY(Forms::Unload(w));
            QVERIFY(QDir(f.temp()).entryList(QDir::Files).isEmpty());
        } else {
            QVERIFY(!Forms::IsLoaded<frmAudioCDDuplicator>());
        }
    }
}

// A failed rip: the next track is still ripped and the burn is reached without that track
// (a file an earlier copy left under its name stands in for nothing); the ending names the
// failure, no turn-off and no program follow, and the window stays open with the ripped
// files until it closes.
void tst_cdduplicator::failedRipIsLeftOut()
{
    Fixture f;
    g_bNoticeApp = true;
    f.host.noticeCommand = QStringLiteral("notify-me");
    frmAudioCDDuplicator* w = f.open();
    w->chkTurnOffComputer->SetValue(1);
    w->chkOpenCDdrive->SetValue(0);
    QVERIFY(QDir().mkpath(f.temp()));
    QFile stale(f.temp() + QStringLiteral("/2.wav"));
    QVERIFY(stale.open(QIODevice::WriteOnly) && stale.write(QByteArray(2352, '\7')) == 2352);
    stale.close();
    QStringList grid;
    f.burner()->onCall = [&](const QString& call) {
        if (call.startsWith(QLatin1String("Burn ")))
            grid = column(w->cGrid1, "Item Name");
    };
    w->cmdConvert->click();
    f.endRip(true);
    f.endRip(false);
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Track03.cda"));
    QVERIFY(logHas(w, QStringLiteral("Error: Read failed(5)")));
    f.endRip(true);
    QCOMPARE(f.ripper()->started.size(), 3);
    QCOMPARE(grid, (QStringList{"1.wav", "", "3.wav"}));
    QCOMPARE(f.burner()->calls.filter(QStringLiteral("AddTrack")),
             (QStringList{"AddTrack " + QDir::cleanPath(f.temp()) + "/1.wav", "AddTrack " + QDir::cleanPath(f.temp()) + "/3.wav"}));
    QVERIFY(!logHas(w, QStringLiteral("Cannot add")));
    QCOMPARE(f.burner()->calls.filter(QStringLiteral("Burn ")).size(), 1);
    const QString ending = QStringLiteral("Done. 1 of 3 failed: see the Log.");
    QCOMPARE(w->lblCurrentTrack->text(), ending);
    QCOMPARE(w->Caption(), ending);
    QCOMPARE(f.host.BalloonMessages(), QStringList{ending});
    QCOMPARE(f.prompts(), QStringList{ending + QStringLiteral("\r\n\r\nNot on the copy: Track02.cda.")});
    QVERIFY(logHas(w, QStringLiteral("Not on the copy: Track02.cda.")));
    QCOMPARE(f.platform.modal().shown, QStringList{});  // no turn-off countdown
    QVERIFY(f.platform.shell().started.isEmpty());
    QVERIFY(Forms::IsLoaded<frmAudioCDDuplicator>());
    QVERIFY(w->cmdExit->isEnabled() && w->cmdConvert->isEnabled());
    QCOMPARE(QDir(f.temp()).entryList(QDir::Files), (QStringList{"1.wav", "3.wav"}));
    QVERIFY(Forms::Unload(w));
    QVERIFY(QDir(f.temp()).entryList(QDir::Files).isEmpty());
}

void tst_cdduplicator::burnFailuresKeepTheWindowAndFiles_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("ending");
    QTest::newRow("burn error") << "error" << "Failed: see the Log.";
    QTest::newRow("every rip failed") << "nothing" << "Failed: see the Log.";
    QTest::newRow("burn aborted") << "abort" << "Aborted.";
}

// A burn that ends in Error and a copy with nothing to burn both failed, a burn the user
// aborted was aborted: each says so, gives the controls back and keeps the window open
// with the ripped files.
void tst_cdduplicator::burnFailuresKeepTheWindowAndFiles()
{
    QFETCH(QString, how);
    QFETCH(QString, ending);
    Fixture f;
    frmAudioCDDuplicator* w = f.open();
    f.burner()->duringBurn = [&](FakeAudioBurner* b) {
        if (how == QLatin1String("abort")) {
            f.platform.messages().answers.enqueue(vbYes);
            w->cmdAbort_Click();
            b->fail(5, QStringLiteral("The burn was aborted."));
        } else {
            b->fail(7, QStringLiteral("Write failed"));
        }
    };
    w->cmdConvert->click();
    for (int i = 0; i < 3; ++i)
        f.endRip(how != QLatin1String("nothing"));
    if (how == QLatin1String("nothing")) {
        QCOMPARE(f.prompts(), QStringList{"Nothing to burn."});
        QVERIFY(f.burner()->calls.filter(QStringLiteral("Burn ")).isEmpty());
    } else {
        QCOMPARE(QDir(f.temp()).entryList(QDir::Files).size(), 3);
        QVERIFY(!f.burner()->calls.contains(QStringLiteral("OpenTray E")));
    }
    if (how == QLatin1String("error")) {
        QVERIFY(logHas(w, QStringLiteral("Error:Write failed(7)")));
        QVERIFY(f.prompts().isEmpty());
    }
    QCOMPARE(w->lblCurrentTrack->text(), ending);
    QCOMPARE(f.host.BalloonMessages(), QStringList{ending});
    QVERIFY(Forms::IsLoaded<frmAudioCDDuplicator>());
    QVERIFY(w->cmdConvert->isEnabled() && w->cmdExit->isEnabled() && w->cboDrv->isEnabled());
    QVERIFY(Forms::Unload(w));
}

// Ten tracks of which the burner refuses one: one "Cannot add " line and nine to burn;
// "Files: 3/12"-style counts rewritten at every Progress; the ending names the refused
// track, starts no turn-off, and the window stays open with the ripped files.
void tst_cdduplicator::refusedFileAndProgressTexts()
{
    Fixture f;
    f.drives[0].tracks = audioTracks(10);
    frmAudioCDDuplicator* w = f.open();
    w->chkTurnOffComputer->SetValue(1);
    f.burner()->refused = {QDir::cleanPath(f.temp()) + QStringLiteral("/4.wav")};
    QStringList texts;
    qint32 max = 0;
    f.burner()->duringBurn = [&](FakeAudioBurner* b) {
        max = w->prgTotal->Max();
        emit b->Progress(10, 3);
        texts << w->lblFilesToConvert->text();
        w->lblFilesToConvert->setText(QStringLiteral("x"));
        emit b->Progress(20, 3);
        texts << w->lblFilesToConvert->text();
        b->finish();
    };
    w->cmdConvert->click();
    for (int i = 0; i < 10; ++i)
        f.endRip(true);
    QCOMPARE(max, 9);
    QCOMPARE(texts, (QStringList{"Files: 3/10", "Files: 3/10"}));
    QCOMPARE(w->txtLog->toPlainText().count(QStringLiteral("Cannot add ")), 1);
    QVERIFY(logHas(w, QStringLiteral("Cannot add 4.wav")));
    const QString ending = QStringLiteral("Done. 1 of 10 failed: see the Log.");
    QCOMPARE(w->lblCurrentTrack->text(), ending);
    QCOMPARE(f.host.BalloonMessages(), QStringList{ending});
    QCOMPARE(f.prompts(), QStringList{ending + QStringLiteral("\r\n\r\nNot on the copy: Track04.cda.")});
    QCOMPARE(f.platform.modal().shown, QStringList{});
    QVERIFY(Forms::IsLoaded<frmAudioCDDuplicator>());
    QCOMPARE(QDir(f.temp()).entryList(QDir::Files).size(), 10);
    QVERIFY(Forms::Unload(w));
    QVERIFY(QDir(f.temp()).entryList(QDir::Files).isEmpty());
}

// The data tracks of a mixed-mode disc (data first) and of an enhanced one (data last)
// are passed over with a line in the log: only the audio tracks are ripped and burned, in
// their order, and the copy of every audio track ends "Done.".
void tst_cdduplicator::dataTracksArePassedOver_data()
{
    QTest::addColumn<QList<bool>>("audio");
    QTest::addColumn<QList<int>>("ripped");
    QTest::newRow("mixed mode") << QList<bool>{false, true, true} << QList<int>{2, 3};
    QTest::newRow("enhanced") << QList<bool>{true, true, false} << QList<int>{1, 2};
}

void tst_cdduplicator::dataTracksArePassedOver()
{
    QFETCH(QList<bool>, audio);
    QFETCH(QList<int>, ripped);
    Fixture f;
    f.drives[0].tracks.clear();
    for (bool a : audio)
        f.drives[0].tracks << FakeCdTrack{100, a};
    frmAudioCDDuplicator* w = f.open();
    w->chkTurnOffComputer->SetValue(1);
    f.platform.modal().handlers.enqueue([](VForm* form) { static_cast<frmTurnOff*>(form)->cmdCancel->click(); });
    QStringList added;
    f.burner()->onCall = [&](const QString& call) {
        if (call.startsWith(QLatin1String("AddTrack ")))
            added << GetFileName(call.mid(9));
    };
    w->cmdConvert->click();
    for (int i = 0; i < ripped.size(); ++i)
        f.endRip(true);
    QList<int> tracks;
    for (const FakeJobRecord& r : f.ripper()->started)
        tracks << r.trackNumber;
    QCOMPARE(tracks, ripped);
    QCOMPARE(added.size(), ripped.size());
    const int data = int(audio.indexOf(false)) + 1;
    QVERIFY(logHas(w, QStringLiteral("Track%1.cda holds data, not sound: it is not copied.").arg(data, 2, 10, QLatin1Char('0'))));
    QCOMPARE(f.prompts(), QStringList{QStringLiteral("Done.") + QString(19, u' ')});
    QCOMPARE(f.platform.modal().shown, QStringList{"frmTurnOff"});  // nothing failed
    QVERIFY(!Forms::IsLoaded<frmAudioCDDuplicator>());
}

// Without a writer, Duplicate says so before anything is ripped.
void tst_cdduplicator::noWriterSaysSoBeforeRipping()
{
    Fixture f;
    f.writers.clear();
    frmAudioCDDuplicator* w = f.open();
    QVERIFY(w->cmdConvert->isEnabled());
    w->cmdConvert->click();
    QCOMPARE(f.prompts(), QStringList{"There is no CD writer: connect one, then open this window again."});
    QVERIFY(f.ripper()->started.isEmpty());
    QVERIFY(w->cmdExit->isEnabled() && w->tmrState.isActive());
    QVERIFY(Forms::Unload(w));
}

// Abort answered Yes while the burner decodes the ripped files: nothing more is added,
// nothing is burned, and the copy ends "Aborted." with the files kept until the window
// closes. Abort answered Yes while the rip of a track was ending: no further track is
// ripped.
void tst_cdduplicator::abortReachesTheListingAndTheNextRip()
{
    {
        Fixture f;
        frmAudioCDDuplicator* w = f.open();
        f.burner()->duringAddTrack = [&](FakeAudioBurner* b, const QString& file) {
            b->decodeProgress(50);
            QVERIFY(!Forms::Unload(w));
            if (file.endsWith(QLatin1String("/2.wav"))) {
                f.platform.messages().answers.enqueue(vbYes);
                w->cmdAbort_Click();
            }
        };
        w->cmdConvert->click();
        for (int i = 0; i < 3; ++i)
            f.endRip(true);
        QCOMPARE(f.burner()->calls.filter(QRegularExpression(QStringLiteral("^(AddTrack|Burn )"))).size(), 2);
        QVERIFY(f.burner()->tracks.isEmpty());
        QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Aborted."));
        QCOMPARE(f.host.BalloonMessages(), QStringList{"Aborted."});
        QCOMPARE(QDir(f.temp()).entryList(QDir::Files).size(), 3);
        QVERIFY(w->cmdConvert->isEnabled() && w->cmdExit->isEnabled());
        QVERIFY(Forms::Unload(w));
    }
    Fixture f;
    frmAudioCDDuplicator* w = f.open();
    w->cmdConvert->click();
    f.platform.messages().answers.enqueue(vbYes);
    w->cmdAbort->click();
    f.endRip(true);  // the rip had ended before the abort reached it
    QCOMPARE(f.ripper()->started.size(), 1);
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Aborted."));
    QVERIFY(f.burner()->calls.filter(QStringLiteral("AddTrack")).isEmpty());
    QVERIFY(w->cmdExit->isEnabled());
    QVERIFY(Forms::Unload(w));
}

// Closing and Abort follow the duplication, not the Duplicate button: with no drive the
// window closes and Abort asks nothing; while a copy runs Exit is refused and Abort asks,
// then stops both components.
void tst_cdduplicator::closeAndAbortFollowTheJob()
{
    {
        Fixture f;
        f.drives.clear();
        frmAudioCDDuplicator* w = f.open();
        QVERIFY(!w->cmdConvert->isEnabled());
        w->cmdAbort->click();
        QVERIFY(f.prompts().isEmpty());
        w->cmdExit->setEnabled(true);
        w->cmdExit_Click();
        QVERIFY(!Forms::IsLoaded<frmAudioCDDuplicator>());
    }
    Fixture f;
    frmAudioCDDuplicator* w = f.open();
    w->cmdConvert->click();
    w->cmdExit_Click();
    QVERIFY(Forms::IsLoaded<frmAudioCDDuplicator>());
    f.platform.messages().answers.enqueue(vbYes);
    w->cmdAbort->click();
    QCOMPARE(f.prompts(), QStringList{QStringLiteral("Abort operation?") + QString(38, u' ')});
    QVERIFY(f.ripper()->calls.contains(QStringLiteral("Abort")));
    QVERIFY(f.burner()->calls.contains(QStringLiteral("Abort")));
    f.ripper()->finishAborted();
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Aborted."));
    QVERIFY(f.burner()->calls.filter(QStringLiteral("Burn ")).isEmpty());
    QVERIFY(Forms::Unload(w));
}

QTEST_MAIN(tst_cdduplicator)
#include "tst_cdduplicator.moc"
