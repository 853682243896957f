// The audio CD burner window over a scripted burner: the writers, speeds and disc facts it
// shows, the stored tray choice, the Burn job with its log and bars, the component's events,
// the end-of-job actions in their order, Abort, and the guard that keeps the window and
// its component whole while a burn call runs.
#include "common/frmTurnOff.h"
#include "common/mdlFunctions.h"
#include "common/mdlModes.h"
#include "common/mdlUserSettings.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cGrid/cGrid.h"
#include "components/cTabControl/cTabControl.h"
#include "platform/Controls.h"
#include "settings/mdlOptions.h"
#include "tests/support/FakeAudioBurner.h"
#include "tests/support/MainHostStandIn.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/ToolRows.h"
#include "tools/disc/frmCDBurner.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QTest>

namespace {

constexpr double kPerMinute = 153535.0 * 60.0;

struct Fixture {
    TestPlatform platform;
    MainHostStandIn host;
    FakeAudioBurnerFactory fakes;
    QList<FakeWriter> writers{{QStringLiteral("D: Writer One"), {"7056", "1764"}, 359000, 736000000, QString()}};
    QStringList refused;

    explicit Fixture(const QString& storedTray = QString())
    {
        InitProductProfile();
        g_bPlaySound = g_bOpenDestFolder = g_bNoticeApp = g_bTurnOffComputer = false;
        if (!storedTray.isNull())
            SaveSetting(g_sAppName, QStringLiteral("General"), QStringLiteral("chkOpenCDdrive"), storedTray);
        fakes.setup = [this](FakeAudioBurner* b) {
            b->writers = writers;
            b->refused = refused;
        };
    }
    frmCDBurner* open(const QStringList& files = {})
    {
        frmCDBurner* w = g_frmCDBurner();
        for (const QString& file : files)
            ToolRows::Add(w->cGrid1, file);
        return w;
    }
    FakeAudioBurner* burner() { return fakes.burners.last(); }
    int burnCalls() { return int(burner()->calls.filter(QRegularExpression("^Burn ")).size()); }
};

QStringList items(QComboBox* c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

// The log's lines without their times.
QStringList logLines(QPlainTextEdit* log)
{
    QStringList out;
    for (const QString& line : log->toPlainText().split(u'\n')) {
        const qsizetype colon = line.indexOf(QRegularExpression(QStringLiteral("\\d:\\D")));
        out << (colon < 0 ? line : line.mid(colon + 2));
    }
    return out;
}

} // namespace

class tst_cdburner : public QObject
{
    Q_OBJECT
private slots:
    void speedsOfAWriter_data();
    void speedsOfAWriter();
    void choosingAWriterShowsItsDisc();
    void capacityInMinutes_data();
    void capacityInMinutes();
    void noWriter();
    void burnWithoutAWriter();
    void storedTrayChoice_data();
    void storedTrayChoice();
    void burnsTheRows();
    void refusedRowsEndTheJob_data();
    void refusedRowsEndTheJob();
    void listingKeepsTheWindowBusy();
    void abortWhileListingBurnsNothing();
    void emptyGridBurnsNothing();
    void errorEndsTheJobWithoutActions();
    void finishedRunsTheEndActionsInOrder();
    void abortQuestion();
    void closingAndBurningRefusedUntilTheBurnReturns();
    void traysAndDriveRoot();
};

void tst_cdburner::speedsOfAWriter_data()
{
    QTest::addColumn<QStringList>("speeds");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QList<int>>("numbers");
    QTest::newRow("two speeds") << QStringList{"7056", "1764"}
                                << QStringList{"7056 KB/s (40x)", "1764 KB/s (10x)", "Max."} << QList<int>{7056, 1764, 65535};
    QTest::newRow("factor truncated") << QStringList{"1759"} << QStringList{"1759 KB/s (9x)", "Max."} << QList<int>{1759, 65535};
    QTest::newRow("none") << QStringList{} << QStringList{"Max."} << QList<int>{65535};
}

void tst_cdburner::speedsOfAWriter()
{
    QFETCH(QStringList, speeds);
    QFETCH(QStringList, shown);
    QFETCH(QList<int>, numbers);
    Fixture f;
    f.writers[0].speeds = speeds;
    frmCDBurner* w = f.open();
    QCOMPARE(items(w->cboSpeed), shown);
    for (int i = 0; i < numbers.size(); ++i)
        QCOMPARE(w->cboSpeed->itemData(i).toInt(), numbers[i]);
    QCOMPARE(w->cboSpeed->currentText(), QStringLiteral("Max."));
    Forms::Unload(w);
}

// Each choice of a writer reads its speeds (with "Max." chosen again) and its disc; the
// state shows green and plain when the disc can be burned, red and bold otherwise.
void tst_cdburner::choosingAWriterShowsItsDisc()
{
    Fixture f;
    f.writers = {{QStringLiteral("D: Full One"), {"1764"}, 1234, 0, QStringLiteral("The disc is not blank.")},
                 {QStringLiteral("E: Blank One"), {"7056", "3528"}, 359000, int(80 * kPerMinute), QString()}};
    frmCDBurner* w = f.open();
    QCOMPARE(items(w->cboDrv), (QStringList{"D: Full One", "E: Blank One"}));
    QCOMPARE(w->cboDrv->currentIndex(), 0);
    QCOMPARE(w->lblDiskSize->text(), QStringLiteral("1234"));
    QCOMPARE(w->lblState->text(), QStringLiteral("The disc is not blank."));
    QCOMPARE(VbColorValue(w->lblState->palette().color(QPalette::WindowText)), 255);
    QVERIFY(w->lblState->font().bold());

    w->cboSpeed->setCurrentIndex(0);
    w->cboDrv->setCurrentIndex(1);
    w->cboDrv_Click();
    QCOMPARE(items(w->cboSpeed), (QStringList{"7056 KB/s (40x)", "3528 KB/s (20x)", "Max."}));
    QCOMPARE(w->cboSpeed->currentText(), QStringLiteral("Max."));
    QCOMPARE(w->lblDiskCapacity->text(), QStringLiteral("80 Min"));
    QCOMPARE(w->lblState->text(), QStringLiteral("OK - Ready to be burn."));
    QCOMPARE(VbColorValue(w->lblState->palette().color(QPalette::WindowText)), 32768);
    QVERIFY(!w->lblState->font().bold());
    QCOMPARE(f.burner()->calls, (QStringList{"GetSpeedCount D", "GetSpeedCount E"}));
    Forms::Unload(w);
}

void tst_cdburner::capacityInMinutes_data()
{
    QTest::addColumn<double>("minutes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("nothing") << 0.0 << "0 Min";
    QTest::newRow("79.5 to the even 80") << 79.5 << "80 Min";
    QTest::newRow("80.5 to the even 80") << 80.5 << "80 Min";
    QTest::newRow("an 80-minute CD-R by 2048-byte sectors") << 359847 * 2048 / kPerMinute << "80 Min";
}

void tst_cdburner::capacityInMinutes()
{
    QFETCH(double, minutes);
    QFETCH(QString, shown);
    Fixture f;
    f.writers[0].capacity = qint32(std::llround(minutes * kPerMinute));
    frmCDBurner* w = f.open();
    QCOMPARE(w->lblDiskCapacity->text(), shown);
    Forms::Unload(w);
}

void tst_cdburner::noWriter()
{
    Fixture f;
    f.writers.clear();
    frmCDBurner* w = f.open();
    QCOMPARE(w->cboDrv->count(), 0);
    QCOMPARE(w->cboSpeed->count(), 0);
    QCOMPARE(w->lblDiskSize->text(), QStringLiteral("Disk Size"));
    QCOMPARE(w->lblDiskCapacity->text(), QStringLiteral("Disk Capacity"));
    QCOMPARE(w->lblState->text(), QStringLiteral("State"));
    Forms::Unload(w);
}

// Burn without a writer says so before any file is decoded, and burns nothing.
void tst_cdburner::burnWithoutAWriter()
{
    Fixture f;
    f.writers.clear();
    frmCDBurner* w = f.open({"/music/a.wav", "/music/b.wav"});
    f.platform.messages().answers.enqueue(vbOK);
    w->cmdConvert->click();
    QCOMPARE(f.platform.messages().shown.size(), 1);
    const QString text = QStringLiteral("There is no CD writer: connect one, then open this window again.");
    QCOMPARE(f.platform.messages().shown[0].prompt, text);
    QCOMPARE(logLines(w->txtLog).first(), text);
    QCOMPARE(f.burner()->calls.filter(QRegularExpression("^(AddTrack|Burn)")), QStringList());
    QVERIFY(w->cmdConvert->isEnabled() && w->cmdExit->isEnabled());
    w->cmdExit_Click();
    QVERIFY(!Forms::IsLoaded<frmCDBurner>());
}

void tst_cdburner::storedTrayChoice_data()
{
    QTest::addColumn<QString>("stored");  // null: none stored
    QTest::addColumn<int>("ticked");
    QTest::newRow("missing") << QString() << 0;
    QTest::newRow("not a number") << "yes" << 0;
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("1") << "1" << 1;
}

// The tray box takes the stored choice and stores it again when the window closes.
void tst_cdburner::storedTrayChoice()
{
    QFETCH(QString, stored);
    QFETCH(int, ticked);
    Fixture f(stored);
    frmCDBurner* w = f.open();
    QCOMPARE(w->chkOpenCDdrive->Value(), ticked);
    w->chkOpenCDdrive->SetValue(1 - ticked);
    w->cmdExit_Click();
    QVERIFY(!Forms::IsLoaded<frmCDBurner>());
    QCOMPARE(GetSetting(g_sAppName, QStringLiteral("General"), QStringLiteral("chkOpenCDdrive")), QString::number(1 - ticked));
    QCOMPARE(f.burner()->calls.mid(f.burner()->calls.size() - 2), (QStringList{"ClearTracks", "CloseBurner"}));
}

// Three rows, one of which the burner refuses: one "Cannot add" line, two tracks burned at
// the chosen speed, the log and bars following the events, and an ending that says a row
// failed; a second burn counts its own tracks from its first report.
void tst_cdburner::burnsTheRows()
{
    Fixture f;
    f.refused = {QStringLiteral("/music/b.wav")};
    frmCDBurner* w = f.open({"/music/a.mp3", "/music/b.wav", "/music/c.flac"});
    w->cboSpeed->setCurrentIndex(1);
    AddLog(QStringLiteral("earlier"), w->txtLog);
    QString during;
    f.burner()->duringBurn = [&](FakeAudioBurner* b) {
        during = QStringLiteral("%1 %2 %3").arg(w->cmdConvert->isEnabled()).arg(w->prgTotal->Max()).arg(b->tracks.size());
        emit b->WritingTrack();
        emit b->Progress(40, 1);
        QCOMPARE(w->lblFilesToConvert->text(), QStringLiteral("Files: 1/3"));
        emit b->TrackProgress(60, 0);
        emit b->ClosingTrack(0);
        emit b->Progress(30, 2);
        emit b->ClosingSession();
        b->finish();
    };
    w->cmdConvert->click();
    QCOMPARE(during, QStringLiteral("0 2 2"));
    QCOMPARE(f.burner()->calls.filter(QRegularExpression("^(AddTrack|Burn|ClearTracks)")),
             (QStringList{"AddTrack /music/a.mp3", "AddTrack /music/b.wav", "AddTrack /music/c.flac", "Burn D 1764 flag=1",
                          "ClearTracks"}));
    QCOMPARE(logLines(w->txtLog),
             (QStringList{"earlier", "", "Preparing to burn: 3 tracks.", "List the files to burn...", "Caching track...",
                          "Caching track...", "Cannot add b.wav", "Caching track...", "Writing track...", "Closing track...",
                          "Closing session...", "Finished.", "Done. 1 of 3 failed: see the Log.", ""}));
    QCOMPARE(w->cTabControl1->TabKey(w->cTabControl1->SelectedTab()), QStringLiteral("Log"));
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Done. 1 of 3 failed: see the Log."));
    QCOMPARE(w->Caption(), QStringLiteral("Done. 1 of 3 failed: see the Log."));
    QCOMPARE(f.host.BalloonMessages(), QStringList{"Done. 1 of 3 failed: see the Log."});
    QCOMPARE(w->lblFilesToConvert->text(), QStringLiteral("Files: 2/3"));
    QCOMPARE(w->prgTotal->Value(), 2);
    QCOMPARE(w->prgCurrnet->Value(), 30);  // Finished leaves the track bar as it was
    QVERIFY(w->cmdConvert->isEnabled());
    QVERIFY(f.burner()->tracks.isEmpty());

    f.burner()->duringBurn = [&](FakeAudioBurner* b) {
        emit b->Progress(5, 1);
        during = w->lblFilesToConvert->text();
        b->fail(7, QStringLiteral("Gone"));
    };
    w->cmdConvert_Click();
    QCOMPARE(during, QStringLiteral("Files: 1/3"));
    QCOMPARE(w->LastTrack(), 1);
    w->cmdExit_Click();
    QVERIFY(!Forms::IsLoaded<frmCDBurner>());
}

void tst_cdburner::refusedRowsEndTheJob_data()
{
    QTest::addColumn<QStringList>("refused");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QStringList>("boxes");
    QTest::newRow("every row burned") << QStringList{} << "Finished." << QStringList{};
    QTest::newRow("one of three refused") << QStringList{"/music/b.wav"} << "Done. 1 of 3 failed: see the Log."
                                          << QStringList{};
    QTest::newRow("every row refused") << QStringList{"/music/a.mp3", "/music/b.wav", "/music/c.flac"}
                                       << "Failed: see the Log." << QStringList{"Nothing to burn."};
}

// With the end-of-job boxes ticked: a burn of every row runs them all; a burn that left
// rows off the disc says how many failed, and neither runs the program nor turns the
// computer off; with every row refused nothing is burned and no action runs.
void tst_cdburner::refusedRowsEndTheJob()
{
    QFETCH(QStringList, refused);
    QFETCH(QString, ending);
    QFETCH(QStringList, boxes);
    Fixture f;
    f.refused = refused;
    g_bPlaySound = g_bNoticeApp = g_bTurnOffComputer = true;
    f.host.noticeCommand = QStringLiteral("notify-me --done");
    frmCDBurner* w = f.open({"/music/a.mp3", "/music/b.wav", "/music/c.flac"});
    f.platform.messages().answerAll = vbOK;
    f.platform.modal().handlers.enqueue([](VForm* form) { static_cast<frmTurnOff*>(form)->cmdCancel->click(); });
    w->cmdConvert->click();
    QCOMPARE(w->lblCurrentTrack->text(), ending);
    QStringList prompts;
    for (const auto& box : f.platform.messages().shown)
        prompts << box.prompt;
    QCOMPARE(prompts, boxes);
    QCOMPARE(f.burnCalls(), refused.size() < 3 ? 1 : 0);
    const bool allBurned = refused.isEmpty();
    QCOMPARE(f.platform.modal().shown, allBurned ? QStringList{"frmTurnOff"} : QStringList{});
    QCOMPARE(f.platform.shell().started.size(), allBurned ? 1 : 0);
    QCOMPARE(f.platform.shutdown().calls, 0);
    if (!allBurned) {
        QCOMPARE(w->Caption(), ending);
        QCOMPARE(f.host.BalloonMessages(), QStringList{ending});
    }
    QVERIFY(w->cmdConvert->isEnabled() && w->cmdExit->isEnabled());
    w->cmdExit_Click();
    QVERIFY(!Forms::IsLoaded<frmCDBurner>());
}

// The burner decodes each file while the window keeps answering: from the Burn click the
// window is busy (Burn and Exit disabled, closing refused), the decoding shows in the
// track bar and the stage label, and an Abort answered No lets the listing go on.
void tst_cdburner::listingKeepsTheWindowBusy()
{
    Fixture f;
    frmCDBurner* w = f.open({"/music/a.mp3", "/music/b.wav"});
    QStringList seen;
    int depth = 0;  // a second job started inside the first must not recurse for ever
    f.burner()->duringAddTrack = [&](FakeAudioBurner* b, const QString& file) {
        if (depth > 0)
            return;
        QScopedValueRollback<int> inside(depth, 1);
        b->decodeProgress(35);
        seen << QStringLiteral("%1: %2 %3 Burn %4 Exit %5")
                    .arg(GetFileName(file), w->lblCurrentTrack->text())
                    .arg(w->prgCurrnet->Value())
                    .arg(w->cmdConvert->isEnabled())
                    .arg(w->cmdExit->isEnabled());
        w->cmdExit_Click();
        w->close();
        w->cmdConvert_Click();
        f.platform.messages().answers.enqueue(vbNo);
        w->cmdAbort_Click();
    };
    w->cmdConvert->click();
    QCOMPARE(seen, (QStringList{"a.mp3: Caching track... 35 Burn 0 Exit 0", "b.wav: Caching track... 35 Burn 0 Exit 0"}));
    QCOMPARE(f.platform.messages().shown.size(), 2);
    QCOMPARE(f.platform.messages().shown[0].prompt, QStringLiteral("Abort operation?") + QString(38, u' '));
    QCOMPARE(f.burner()->calls.filter(QRegularExpression("^(AddTrack|Burn|Abort)")),
             (QStringList{"AddTrack /music/a.mp3", "AddTrack /music/b.wav", "Burn D 65535 flag=1"}));
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Finished."));
    QVERIFY(w->cmdConvert->isEnabled() && w->cmdExit->isEnabled());
    w->cmdExit_Click();
    QVERIFY(!Forms::IsLoaded<frmCDBurner>());
}

// Abort answered Yes while the second of three files is decoded: no further file is
// decoded, nothing is burned, the track list is emptied and the job ends "Aborted."; the
// next Burn click starts a whole job again.
void tst_cdburner::abortWhileListingBurnsNothing()
{
    Fixture f;
    frmCDBurner* w = f.open({"/music/a.mp3", "/music/b.wav", "/music/c.flac"});
    f.burner()->duringAddTrack = [&](FakeAudioBurner* b, const QString& file) {
        b->decodeProgress(50);
        if (file.endsWith(QLatin1String("b.wav"))) {
            f.platform.messages().answers.enqueue(vbYes);
            w->cmdAbort_Click();
        }
    };
    w->cmdConvert->click();
    QCOMPARE(f.burner()->calls.filter(QRegularExpression("^(AddTrack|Burn|Abort|ClearTracks)")),
             (QStringList{"AddTrack /music/a.mp3", "AddTrack /music/b.wav", "Abort", "ClearTracks"}));
    QVERIFY(f.burner()->tracks.isEmpty());
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Aborted."));
    const QStringList lines = logLines(w->txtLog);
    QCOMPARE(lines.filter(QStringLiteral("Cannot add")), QStringList());
    QCOMPARE(lines.at(lines.size() - 2), QStringLiteral("Aborted."));
    QCOMPARE(f.host.BalloonMessages(), QStringList{"Aborted."});
    QVERIFY(f.platform.modal().shown.isEmpty());
    QVERIFY(w->cmdConvert->isEnabled() && w->cmdExit->isEnabled());

    f.burner()->duringAddTrack = {};
    f.burner()->calls.clear();
    w->cmdConvert->click();
    QCOMPARE(f.burner()->calls.filter(QRegularExpression("^(AddTrack|Burn)")).size(), 4);
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Finished."));
    w->cmdExit_Click();
    QVERIFY(!Forms::IsLoaded<frmCDBurner>());
}

void tst_cdburner::emptyGridBurnsNothing()
{
    Fixture f;
    f.refused = {QStringLiteral("/music/x.wav")};
    for (const QStringList& rows : {QStringList{}, QStringList{"/music/x.wav"}}) {
        frmCDBurner* w = f.open(rows);
        f.platform.messages().answers.enqueue(vbOK);
        w->cmdConvert_Click();
        QCOMPARE(f.platform.messages().shown.size(), 1);
        QCOMPARE(f.platform.messages().shown[0].prompt, QStringLiteral("Nothing to burn."));
        QCOMPARE(f.platform.messages().shown[0].buttons, vbOKOnly + vbInformation);
        f.platform.messages().shown.clear();
        QCOMPARE(f.burnCalls(), 0);
        QVERIFY(w->cmdConvert->isEnabled());
        const QStringList lines = logLines(w->txtLog);
        QCOMPARE(lines.first(), QStringLiteral("Preparing to burn: %1 tracks.").arg(rows.size()));
        QCOMPARE(lines[1], QStringLiteral("List the files to burn..."));
        w->cmdExit_Click();
        QVERIFY(!Forms::IsLoaded<frmCDBurner>());
    }
}

void tst_cdburner::errorEndsTheJobWithoutActions()
{
    Fixture f;
    g_bPlaySound = g_bNoticeApp = g_bTurnOffComputer = true;
    frmCDBurner* w = f.open({"/music/a.wav"});
    f.burner()->duringBurn = [](FakeAudioBurner* b) {
        emit b->WritingTrack();
        b->fail(5, QStringLiteral("Disc full"));
    };
    w->cmdConvert_Click();
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Error:Disc full(5)"));
    QVERIFY(w->txtLog->toPlainText().endsWith(QStringLiteral(":Error:Disc full(5)\n")));
    QVERIFY(w->cmdConvert->isEnabled());
    QVERIFY(f.platform.sound().played.isEmpty());
    QVERIFY(f.platform.shell().started.isEmpty());
    QVERIFY(f.platform.modal().shown.isEmpty());
    QVERIFY(!f.burner()->calls.contains(QStringLiteral("OpenTray D")));
    Forms::Unload(w);
}

// Sound, the disc's folder (none for a writer that is not mounted), the external program,
// the tray, then the turn-off countdown.
void tst_cdburner::finishedRunsTheEndActionsInOrder()
{
    Fixture f(QStringLiteral("1"));
    g_bPlaySound = g_bOpenDestFolder = g_bNoticeApp = g_bTurnOffComputer = true;
    f.host.noticeCommand = QStringLiteral("notify-me --done");
    frmCDBurner* w = f.open({"/music/a.wav"});
    QStringList order;
    f.burner()->onCall = [&](const QString& call) {
        if (call.startsWith(QLatin1String("OpenTray")))
            order << QStringLiteral("tray after %1 sound, %2 program").arg(f.platform.sound().played.size()).arg(
                         f.platform.shell().started.size());
    };
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        order << QStringLiteral("turn-off after %1").arg(f.burner()->calls.filter("OpenTray").size());
        static_cast<frmTurnOff*>(form)->cmdCancel->click();
    });
    w->cmdConvert_Click();
    QCOMPARE(order, (QStringList{"tray after 1 sound, 1 program", "turn-off after 1"}));
    QCOMPARE(f.platform.sound().played, QStringList{g_sPlayAtEnd});
    QCOMPARE(f.platform.shell().started[0].program, QStringLiteral("notify-me"));
    QVERIFY(f.platform.shell().opened.isEmpty());
    QCOMPARE(f.platform.modal().shown, QStringList{"frmTurnOff"});
    QCOMPARE(w->prgTotal->Value(), w->prgTotal->Max());
    Forms::Unload(w);
}

void tst_cdburner::abortQuestion()
{
    Fixture f;
    frmCDBurner* w = f.open({"/music/a.wav"});
    w->cmdAbort_Click();  // no burn: no question
    QVERIFY(f.platform.messages().shown.isEmpty());
    f.burner()->duringBurn = [&](FakeAudioBurner* b) {
        f.platform.messages().answers.enqueue(vbNo);
        w->cmdAbort_Click();
        QVERIFY(!w->cmdConvert->isEnabled());
        QVERIFY(!b->calls.contains(QStringLiteral("Abort")));
        f.platform.messages().answers.enqueue(vbYes);
        w->cmdAbort_Click();
        QVERIFY(b->calls.contains(QStringLiteral("Abort")));
        QVERIFY(w->cmdConvert->isEnabled());  // at once, before the burn has ended
        QCOMPARE(f.host.BalloonMessages(), QStringList{"Aborted."});
        b->fail(5, QStringLiteral("The burn was aborted."));
    };
    w->cmdConvert_Click();
    QCOMPARE(f.platform.messages().shown.size(), 2);
    QCOMPARE(f.platform.messages().shown[0].prompt, QStringLiteral("Abort operation?") + QString(38, u' '));
    QCOMPARE(f.platform.messages().shown[0].buttons, vbYesNo + vbInformation);
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Error:The burn was aborted.(5)"));
    Forms::Unload(w);
}

// Until the burn call has returned, even after a confirmed Abort enabled the Burn button,
// the window neither closes nor clears its component, and no second burn starts inside
// the first; afterwards it closes and stores the tray choice.
void tst_cdburner::closingAndBurningRefusedUntilTheBurnReturns()
{
    Fixture f;
    frmCDBurner* w = f.open({"/music/a.wav", "/music/b.wav"});
    bool stillOpen = false;
    f.burner()->duringBurn = [&](FakeAudioBurner* b) {
        w->cmdExit_Click();
        f.platform.messages().answers.enqueue(vbYes);
        w->cmdAbort_Click();
        QVERIFY(w->cmdConvert->isEnabled());
        w->cmdExit_Click();
        w->close();
        w->cmdConvert_Click();
        stillOpen = Forms::IsLoaded<frmCDBurner>() && !w->IsUnloading();
        QVERIFY(!b->calls.contains(QStringLiteral("ClearTracks")));
        QVERIFY(!b->calls.contains(QStringLiteral("CloseBurner")));
        b->fail(5, QStringLiteral("The burn was aborted."));
    };
    w->cmdConvert_Click();
    QVERIFY(stillOpen);
    QCOMPARE(f.burnCalls(), 1);
    QCOMPARE(f.burner()->calls.filter("AddTrack").size(), 2);
    w->chkOpenCDdrive->SetValue(1);
    w->cmdExit_Click();
    QVERIFY(!Forms::IsLoaded<frmCDBurner>());
    QCOMPARE(GetSetting(g_sAppName, QStringLiteral("General"), QStringLiteral("chkOpenCDdrive")), QStringLiteral("1"));
}

void tst_cdburner::traysAndDriveRoot()
{
    Fixture f;
    f.writers << FakeWriter{QStringLiteral("F: Writer Two"), {}, 0, 0, QString()};
    frmCDBurner* w = f.open();
    w->cboDrv->setCurrentIndex(1);
    w->cboDrv_Click();
    w->cmdOpenCD->click();
    w->cmdClose->click();
    QCOMPARE(f.burner()->calls.mid(2), (QStringList{"OpenTray F", "CloseTray F"}));
    // Not a mounted writer: the link opens nothing.
    w->lblOpenDestinationDestinationFolder_Click();
    QVERIFY(f.platform.shell().opened.isEmpty());
    Forms::Unload(w);
}

QTEST_MAIN(tst_cdburner)
#include "tst_cdburner.moc"
