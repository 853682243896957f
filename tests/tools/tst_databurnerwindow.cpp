// The data disc burner window over scripted burners and a scripted converter: the engines
// and their drives, the stored engine choice and the library check, the copy-mode switch,
// the drive checks of Burn, the preparation in "datacdtmp" (copies and conversions, their
// name clashes, errors and Abort), "Burn CD?", both engines' burns with their events and
// texts, the end-of-job actions in their order, and the close guard.
#include "common/frmTurnOff.h"
#include "common/mdlModes.h"
#include "common/mdlUserSettings.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cGrid/cGrid.h"
#include "components/cTabControl/cTabControl.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "settings/mdlOptions.h"
#include "tests/support/FakeDataBurners.h"
#include "tests/support/FakeToolFixture.h"
#include "tests/support/JobLog.h"
#include "tests/support/TestFiles.h"
#include "tests/support/ToolRows.h"
#include "tests/support/ToolTexts.h"
#include "tools/disc/frmDataBurner3.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QString kBurnQuestion = QStringLiteral("Burn CD?") + QString(46, u' ');

// A program folder, the scripted components and the window loaded as the launch loads it:
// MP3 chosen, the disc named "Songs". Nothing is ticked on the Events page but the eject
// and erase boxes the window ticks itself.
struct Fixture : FakeToolFixture {
    FakeDataBurners burners;
    frmDataBurner3* w = nullptr;

    explicit Fixture(const QString& storedEngine = QString(), bool libraryStarts = true)
    {
        g_bPlaySound = g_bOpenDestFolder = g_bNoticeApp = g_bTurnOffComputer = false;
        burners.libraryStarts = libraryStarts;
        fakes.setupConverter = [](FakeAudioConverter* c) {
            c->autoFinish = FakeAutoFinish::Done;
            c->writeOutputs = true;
        };
        if (!storedEngine.isNull())
            SaveSetting(g_sAppName, QStringLiteral("BurnerEngine"), QStringLiteral("cmbEngine"), storedEngine);
    }
    frmDataBurner3* open()
    {
        w = g_frmDataBurner3();
        SelectListText(w->cboTargetFormat, ToolTexts::kMp3);
        w->txtCDName->setText(QStringLiteral("Songs"));
        return w;
    }
    FakeAudioConverter* conv() const { return qobject_cast<FakeAudioConverter*>(w->cAudioConverter1); }
    FakeAudioDataBurner* cd() const { return burners.cd.last(); }
    FakeBurner* disc() const { return burners.disc.last(); }
    QString temp(const QString& name = QString()) const { return platform.path(QStringLiteral("datacdtmp/")) + name; }
    QStringList tempFiles() const { return QDir(temp()).entryList(QDir::Files, QDir::Name); }

    // A row for a file written under `folder` of the program folder, its bytes naming it.
    qint32 addRow(const QString& name, const QString& folder = QStringLiteral("music"))
    {
        const QString file = platform.path(folder + u'/' + name);
        QDir().mkpath(platform.path(folder));
        TestFiles::WriteBytes(file, "bytes of " + folder.toUtf8() + '/' + name.toUtf8());
        return ToolRows::Add(w->cGrid1, file, QStringLiteral("00:01:00"));
    }
    void copyMode() { w->chkDoNotConvertSource->SetValue(1); }
    void chooseEngine(int engine)
    {
        w->cmbEngine->setCurrentIndex(engine);
        w->cmbEngine_Click();
    }
    // The CD/DVD engine lists two drives.
    void twoDiscDrives()
    {
        burners.setupDisc = [](FakeBurner* b) {
            b->drives = {{QStringLiteral("E:\\"), QStringLiteral("Writer One")}, {QStringLiteral("F:\\"), QStringLiteral("Image")}};
        };
    }
    void useTemplate(const QString& t)
    {
        w->cboFileName->addItem(t);
        w->cboFileName->setCurrentIndex(w->cboFileName->count() - 1);
    }
    // Burn, answered with `answers` in order, run until the window is idle again.
    void burn(const QList<int>& answers = {vbOK})
    {
        for (int a : answers)
            platform.messages().answers.enqueue(a);
        w->cmdConvert_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!w->IsBusy(), 5000);
    }
    QStringList log() const { return JobLogLines(w->txtLog); }
    QStringList prompts()
    {
        QStringList out;
        for (const auto& box : platform.messages().shown)
            out << box.prompt;
        return out;
    }
};

QStringList entries(const QComboBox* c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

} // namespace

class tst_databurnerwindow : public QObject
{
    Q_OBJECT
private slots:
    void opensWithTheCdOnlyEngine();
    void choosingTheEngineSwapsDrivesAndBoxes();
    void storedEngineWithoutTheLibrary_data();
    void storedEngineWithoutTheLibrary();
    void formatRowAndCopyMode();
    void driveChecksOfTheCdOnlyEngine_data();
    void driveChecksOfTheCdOnlyEngine();
    void conversionJobBurnsThePreparedFiles();
    void endActionsInOrderAfterAFinishedBurn();
    void refusedFileIsSaidAndTheRestBurned();
    void engineErrorRunsNoEndActions();
    void cdDvdEngineBurn();
    void cdDvdEngineMessageGivesTheButtonsBack();
    void abortDoesNothingWhileAnEngineBurns();
    void sameNameInCopyMode_data();
    void sameNameInCopyMode();
    void sameNameInConversionMode_data();
    void sameNameInConversionMode();
    void lastRowAnsweredNoStopsTheJob();
    void rowEndsWhileAbortIsAsked_data();
    void rowEndsWhileAbortIsAsked();
    void errorOnTheLastRowStillAsks();
    void emptyGridGoesStraightToTheQuestion();
    void cancelKeepsThePreparedFiles();
    void copyKeepsTheSourceBytesAndExtension();
    void failedCopyIsAnErrorOfTheJob();
    void abortBetweenCopies();
    void timeTemplateLosesNothing();
    void boxesChangedDuringThePreparation();
    void closeGuardAndEraseLink();
};

void tst_databurnerwindow::opensWithTheCdOnlyEngine()
{
    Fixture f;
    frmDataBurner3* w = f.open();
    QCOMPARE(w->cmbEngine->currentText(), QStringLiteral("IMAPI V1 - CDs only."));
    for (QWidget* box : QList<QWidget*>{w->chkJOLIET, w->chkISO, w->chkUDF, w->lblFileSys})
        QVERIFY(box->isHidden());
    QCOMPARE(entries(w->cboDrv), QStringList{"E: Writer One"});
    // The never-shown speed list: each writer's speeds with their factor, "Max." chosen.
    QCOMPARE(entries(w->cboSpeed), (QStringList{"1764 KB/s (10x)", "7056 KB/s (40x)", "Max."}));
    QCOMPARE(w->cboSpeed->currentData().toInt(), 65535);
    QVERIFY(w->cboSpeed->isHidden());
    QCOMPARE(w->lblCDStatus->text(), QStringLiteral("Ready."));
    QCOMPARE(w->cboFileName->currentIndex(), 0);
    // ISO 9660 is always written and UDF never: the boxes say so and cannot be changed.
    QCOMPARE(w->chkISO->Value(), 1);
    QVERIFY(!w->chkISO->isEnabled());
    QCOMPARE(w->chkUDF->Value(), 0);
    QVERIFY(!w->chkUDF->isEnabled());
    QVERIFY(w->chkUDF->toolTip().contains(QStringLiteral("not available")));
    QCOMPARE(w->chkJOLIET->Value(), 1);
    QCOMPARE(w->chkOpenCDdrive->Value(), 1);
    QCOMPARE(w->chkEraseTempfiles->Value(), 1);
    w->lblRefreshCDInfo_Click();
    QCOMPARE(w->lblCDStatus->text(), QStringLiteral("Ready."));
    Forms::Unload(w);
}

void tst_databurnerwindow::choosingTheEngineSwapsDrivesAndBoxes()
{
    Fixture f;
    f.twoDiscDrives();
    frmDataBurner3* w = f.open();
    f.chooseEngine(1);
    QCOMPARE(entries(w->cboDrv), (QStringList{"E:\\ - Writer One", "F:\\ - Image"}));
    for (QWidget* box : QList<QWidget*>{w->chkJOLIET, w->chkISO, w->chkUDF, w->lblFileSys})
        QVERIFY(!box->isHidden());
    // The CD/DVD engine keeps the speeds of the last CD-only writer; the trays go through
    // the CD-only component with the entry's first character.
    w->cboDrv->setCurrentIndex(1);
    w->cboDrv_Click();
    QCOMPARE(entries(w->cboSpeed).last(), QStringLiteral("Max."));
    QCOMPARE(f.cd()->calls.filter(QStringLiteral("GetSpeedCount")).size(), 1);
    w->lblOpenCDDoor_Click();
    w->lblCloseCDDoor_Click();
    QCOMPARE(f.cd()->calls.mid(f.cd()->calls.size() - 2), (QStringList{"OpenTray F", "CloseTray F"}));

    f.chooseEngine(0);
    QCOMPARE(entries(w->cboDrv), QStringList{"E: Writer One"});
    QVERIFY(w->chkJOLIET->isHidden());

    // The choice is stored when the window closes and comes back with it.
    f.chooseEngine(1);
    Forms::Unload(w);
    QCOMPARE(GetSetting(g_sAppName, QStringLiteral("BurnerEngine"), QStringLiteral("cmbEngine")), QStringLiteral("1"));
    w = f.open();
    QCOMPARE(w->cmbEngine->currentIndex(), 1);
    QCOMPARE(entries(w->cboDrv).first(), QStringLiteral("E:\\ - Writer One"));
    QVERIFY(f.platform.messages().shown.isEmpty());
    Forms::Unload(w);
}

void tst_databurnerwindow::storedEngineWithoutTheLibrary_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("Yes opens the help") << int(vbYes) << QStringList{"~/Help.chm"};
    QTest::newRow("No") << int(vbNo) << QStringList{};
}

// A stored CD/DVD engine whose library cannot be started: the box during loading, then
// the CD-only engine, which is what closing stores.
void tst_databurnerwindow::storedEngineWithoutTheLibrary()
{
    QFETCH(int, answer);
    QFETCH(QStringList, opened);
    Fixture f(QStringLiteral("1"), false);
    f.platform.messages().answers.enqueue(answer);
    frmDataBurner3* w = f.open();
    QCOMPARE(f.prompts(), QStringList{"The disc-burning library could not be started: libburn was not found.\r\n\r\nContinue?"});
    QCOMPARE(f.platform.messages().shown[0].buttons, vbYesNo + vbInformation);
    QStringList shellOpened = f.platform.shell().opened;
    shellOpened.replaceInStrings(f.platform.home(), QStringLiteral("~"));
    QCOMPARE(shellOpened, opened);
    QCOMPARE(w->cmbEngine->currentIndex(), 0);
    QVERIFY(w->chkJOLIET->isHidden());
    QCOMPARE(entries(w->cboDrv), QStringList{"E: Writer One"});
    Forms::Unload(w);
    QCOMPARE(GetSetting(g_sAppName, QStringLiteral("BurnerEngine"), QStringLiteral("cmbEngine")), QStringLiteral("0"));
}

void tst_databurnerwindow::formatRowAndCopyMode()
{
    Fixture f;
    frmDataBurner3* w = f.open();
    f.copyMode();
    QVERIFY(!w->cboTargetFormat->isEnabled());
    QVERIFY(!w->cmdEditTargetFormat->isEnabled());
    QVERIFY(!w->lblCDFormat->isEnabled());
    w->chkDoNotConvertSource->SetValue(0);
    QVERIFY(w->cboTargetFormat->isEnabled() && w->cmdEditTargetFormat->isEnabled() && w->lblCDFormat->isEnabled());

    // "Edit" opens the format window on the chosen format; its OK keeps that format here
    // and makes nothing the default (the window has no link for that).
    const QString defaultFormat = g_sTargetFormat;
    QString page;
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        auto* prop = qobject_cast<frmAudioProp*>(form);
        QVERIFY(prop);
        page = prop->cTabControl1->TabKey(prop->cTabControl1->SelectedTab());
        prop->cmdOk_Click();
    });
    w->cmdEditTargetFormat->click();
    QCOMPARE(page, QStringLiteral("MP3"));
    QCOMPARE(w->cboTargetFormat->currentText(), ToolTexts::kMp3);
    QCOMPARE(g_sTargetFormat, defaultFormat);
    Forms::Unload(w);
}

void tst_databurnerwindow::driveChecksOfTheCdOnlyEngine_data()
{
    QTest::addColumn<bool>("ready");
    QTest::addColumn<bool>("empty");
    QTest::addColumn<int>("engine");
    QTest::addColumn<QString>("refusal");  // empty: the job starts
    QTest::newRow("not ready") << false << true << 0 << "The CD drive 'E:' is not ready.";
    QTest::newRow("used disc") << true << false << 0 << "The CD drive 'E:' is not empty.";
    QTest::newRow("the CD/DVD engine checks nothing") << false << false << 1 << "";
}

void tst_databurnerwindow::driveChecksOfTheCdOnlyEngine()
{
    QFETCH(bool, ready);
    QFETCH(bool, empty);
    QFETCH(int, engine);
    QFETCH(QString, refusal);
    Fixture f;
    f.burners.setupCd = [&](FakeAudioDataBurner* b) {
        b->ready = ready;
        b->empty = empty;
    };
    frmDataBurner3* w = f.open();
    f.chooseEngine(engine);
    f.addRow(QStringLiteral("a.wav"));
    // What an earlier job left in the folder.
    QDir().mkpath(f.temp());
    TestFiles::WriteBytes(f.temp(QStringLiteral("left.mp3")), "left");
    if (!refusal.isEmpty()) {
        f.platform.messages().answers.enqueue(vbOK);
        w->cmdConvert_Click();
        QCOMPARE(f.log(), (QStringList{"Preparing to burn: 1 tracks.", refusal, "Aborted."}));
        QCOMPARE(f.prompts(), QStringList{"Please insert an empty media into drive: E:"});
        QVERIFY(f.conv()->started.isEmpty());
        QCOMPARE(f.tempFiles(), QStringList{"left.mp3"});
        QVERIFY(w->cmdConvert->isEnabled());
    } else {
        f.burn({vbCancel});
        QCOMPARE(f.prompts(), QStringList{kBurnQuestion});
        QCOMPARE(f.tempFiles(), QStringList{"a.mp3"});
    }
    Forms::Unload(w);
}

// MP3 conversions into "datacdtmp", "Burn CD?", then the CD-only engine with the disc's
// description and the prepared files, its stages, and "Done.".
void tst_databurnerwindow::conversionJobBurnsThePreparedFiles()
{
    Fixture f;
    frmDataBurner3* w = f.open();
    f.addRow(QStringLiteral("a.wav"));
    f.addRow(QStringLiteral("b.flac"));
    f.addRow(QStringLiteral("c.wma"));
    w->txtCDName->setText(QStringLiteral("My Disc"));
    f.burn();
    QCOMPARE(StartedOutputs(f.conv()), (QStringList{f.temp("a.mp3"), f.temp("b.mp3"), f.temp("c.mp3")}));
    QCOMPARE(f.prompts(), QStringList{kBurnQuestion});
    QCOMPARE(f.platform.messages().shown[0].buttons, vbOKCancel);
    QCOMPARE(f.cd()->files, (QStringList{f.temp("a.mp3"), f.temp("b.mp3"), f.temp("c.mp3")}));
    QCOMPARE(f.cd()->calls.filter(QStringLiteral("Burn ")),
             QStringList{"Burn E 65535 volume=My Disc fs=CDFS id=" + g_sAppName + "/" + g_sAppName + " option=0"});
    QCOMPARE(f.log(), (QStringList{"Preparing to burn: 3 tracks.", "Destination format: MP3",
                                   "Start to convert: a.wav...", "Start to convert: b.flac...",
                                   "Start to convert: c.wma...", "Add files to burn.", "Start the burning process...",
                                   "Closing session...", "Finished", "Erase temp files...", "Done."}));
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Done."));
    QCOMPARE(f.host.BalloonMessages(), QStringList{"Done."});
    // Erased after the burn, and the tray opened with the drive letter.
    QVERIFY(f.tempFiles().isEmpty());
    QVERIFY(f.cd()->calls.contains(QStringLiteral("OpenTray E")));
    QVERIFY(w->cmdConvert->isEnabled() && w->cmdExit->isEnabled());
    QCOMPARE(w->prgCurrnet->Value(), 100);
    Forms::Unload(w);
}

void tst_databurnerwindow::endActionsInOrderAfterAFinishedBurn()
{
    Fixture f;
    g_bPlaySound = g_bNoticeApp = g_bTurnOffComputer = true;
    f.host.noticeCommand = QStringLiteral("notify-me --done");
    frmDataBurner3* w = f.open();
    f.addRow(QStringLiteral("a.wav"));
    QStringList order;
    f.burners.cd.last()->duringBurn = [&](FakeAudioDataBurner* b) {
        b->started();
        b->finish();
        order << QStringLiteral("after the burn: %1 sound, %2 files, %3 program, %4 tray")
                     .arg(f.platform.sound().played.size())
                     .arg(f.tempFiles().size())
                     .arg(f.platform.shell().started.size())
                     .arg(b->calls.filter(QStringLiteral("OpenTray")).size());
    };
    f.platform.modal().handlers.enqueue([&](VForm* form) {
        order << QStringLiteral("turn-off after %1 program, label %2")
                     .arg(f.platform.shell().started.size())
                     .arg(f.w->lblCurrentTrack->text());
        static_cast<frmTurnOff*>(form)->cmdCancel->click();
    });
    f.burn();
    QCOMPARE(order, (QStringList{"turn-off after 1 program, label Finished",
                                 "after the burn: 1 sound, 0 files, 1 program, 1 tray"}));
    QCOMPARE(f.platform.shell().started[0].program, QStringLiteral("notify-me"));
    QCOMPARE(f.log().mid(f.log().size() - 3), (QStringList{"Finished", "Erase temp files...", "Done."}));
    Forms::Unload(w);
}

// A file the engine refuses: one box with its path titled "Error", one log line with its
// name, the next file still added and the burn still started.
void tst_databurnerwindow::refusedFileIsSaidAndTheRestBurned()
{
    Fixture f;
    g_bTurnOffComputer = true;
    frmDataBurner3* w = f.open();
    f.addRow(QStringLiteral("a.wav"));
    f.addRow(QStringLiteral("b.wav"));
    f.addRow(QStringLiteral("c.wav"));
    f.cd()->refused = {f.temp("b.mp3")};
    f.burn({vbOK, vbOK});
    QCOMPARE(f.prompts(), (QStringList{kBurnQuestion, "Couldn't add the file " + f.temp("b.mp3")}));
    QCOMPARE(f.platform.messages().shown[1].title, QStringLiteral("Error"));
    QCOMPARE(f.platform.messages().shown[1].buttons, vbExclamation + vbOKOnly);
    QVERIFY(f.log().contains(QStringLiteral("Couldn't add the file b.mp3")));
    QCOMPARE(f.cd()->files, (QStringList{f.temp("a.mp3"), f.temp("c.mp3")}));
    QCOMPARE(f.cd()->calls.filter(QStringLiteral("AddFile")).size(), 3);
    // The item is not on the disc: the ending says so, and the computer is not turned off.
    const QString ending = QStringLiteral("Done. 1 of 3 failed: see the Log.");
    QCOMPARE(w->lblCurrentTrack->text(), ending);
    QCOMPARE(w->windowTitle(), ending);
    QCOMPARE(f.log().last(), ending);
    QCOMPARE(f.host.BalloonMessages(), QStringList{ending});
    QVERIFY(f.platform.modal().shown.isEmpty());
    Forms::Unload(w);
}

void tst_databurnerwindow::engineErrorRunsNoEndActions()
{
    Fixture f;
    g_bPlaySound = true;
    frmDataBurner3* w = f.open();
    f.addRow(QStringLiteral("a.wav"));
    f.cd()->duringBurn = [](FakeAudioDataBurner* b) {
        b->started();
        b->progress(37);
        b->fail(3, QStringLiteral("The writer did not write the disc well."));
    };
    f.burn();
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("The writer did not write the disc well."));
    QCOMPARE(f.log().last(), QStringLiteral("The writer did not write the disc well."));
    QCOMPARE(w->prgTotal->Value(), 37);
    QVERIFY(!f.log().contains(QStringLiteral("Done.")));
    QVERIFY(f.host.BalloonMessages().isEmpty());
    QVERIFY(f.platform.sound().played.isEmpty());
    QVERIFY(!f.cd()->calls.contains(QStringLiteral("OpenTray E")));
    // The prepared files stay for another try.
    QCOMPARE(f.tempFiles(), QStringList{"a.mp3"});
    QVERIFY(w->cmdConvert->isEnabled() && w->cmdExit->isEnabled());
    Forms::Unload(w);
}

// The CD/DVD engine: the file systems put in order, the name, the files, the second drive,
// and its events' texts.
void tst_databurnerwindow::cdDvdEngineBurn()
{
    Fixture f;
    f.twoDiscDrives();
    frmDataBurner3* w = f.open();
    f.chooseEngine(1);
    w->cboDrv->setCurrentIndex(1);
    w->cboDrv_Click();
    f.addRow(QStringLiteral("a.wav"));
    f.addRow(QStringLiteral("b.wav"));
    bool abortOffWhileBurning = false;
    f.disc()->duringBurn = [&](FakeBurner* b) {
        emit b->Initializing();
        b->fileCounts(12, 0);
        b->addingFile(f.temp("a.mp3"));
        QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Adding:a.mp3"));
        b->startBurning();
        abortOffWhileBurning = !w->cmdAbort->isEnabled() && !w->cmdConvert->isEnabled() && !w->cmdExit->isEnabled();
        b->progress(37);
        QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("37%"));
        QCOMPARE(w->prgCurrnet->Value(), 37);
        b->finalization();
        QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("BurnerFinalization"));
        emit b->Completed();
        emit b->DoneBurn();
        b->burnEnd();
    };
    f.burn();
    QCOMPARE(f.disc()->calls, (QStringList{"NewCompilation", "ISO 0", "Joliet 0", "UDF 0", "ISO 1", "Joliet 1",
                                           "VolumeName Songs", "AddFile " + f.temp("a.mp3"),
                                           "AddFile " + f.temp("b.mp3"), "Burn 1"}));
    QVERIFY(abortOffWhileBurning);
    const QStringList log = f.log();
    const qsizetype from = log.indexOf(QStringLiteral("BurnerInitializing..."));
    QCOMPARE(log.mid(from), (QStringList{"BurnerInitializing...", "12 files to burn.", "0 dirs to burn.",
                                         "Adding:a.mp3", "StartBurning...", "BurnerFinalization - Please wait...",
                                         "BurnerCompleted.", "BurnerDoneBurn.", "BurnerEnd.", "Erase temp files...",
                                         "Done."}));
    // The two counts are one entry: one time in front of both lines.
    QVERIFY(w->txtLog->toPlainText().contains(QStringLiteral(":12 files to burn.\n0 dirs to burn.\n")));
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Done."));
    QVERIFY(f.cd()->calls.contains(QStringLiteral("OpenTray F")));
    QVERIFY(w->cmdConvert->isEnabled() && w->cmdExit->isEnabled());
    QVERIFY(!w->cmdAbort->isEnabled());

    // With every box unticked only the three False puts are made.
    w->chkISO->SetValue(0);
    w->chkJOLIET->SetValue(0);
    f.disc()->calls.clear();
    f.burn();
    QCOMPARE(f.disc()->calls.mid(0, 4), (QStringList{"NewCompilation", "ISO 0", "Joliet 0", "UDF 0"}));
    QCOMPARE(f.disc()->calls.at(4), QStringLiteral("VolumeName Songs"));
    Forms::Unload(w);
}

void tst_databurnerwindow::cdDvdEngineMessageGivesTheButtonsBack()
{
    Fixture f;
    g_bPlaySound = true;
    frmDataBurner3* w = f.open();
    f.chooseEngine(1);
    f.addRow(QStringLiteral("a.wav"));
    f.disc()->duringBurn = [&](FakeBurner* b) {
        b->startBurning();
        // Closing is refused while the burn call runs.
        Forms::Unload(w);
        QVERIFY(Forms::IsLoaded<frmDataBurner3>());
        b->message(QStringLiteral("E:"), QStringLiteral("The disc is not blank."));
    };
    f.burn();
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("The disc is not blank. (E:)"));
    QCOMPARE(f.log().last(), QStringLiteral("The disc is not blank. (E:)"));
    QVERIFY(w->cmdConvert->isEnabled() && w->cmdExit->isEnabled());
    QVERIFY(f.platform.sound().played.isEmpty());
    QCOMPARE(f.tempFiles(), QStringList{"a.mp3"});

    // The library gone by the time of the burn: its box, no burn, the files kept.
    f.burners.libraryStarts = false;
    f.burn({vbOK, vbNo});
    QCOMPARE(f.prompts().last(),
             QStringLiteral("The disc-burning library could not be started: libburn was not found.\r\n\r\nContinue?"));
    QCOMPARE(f.disc()->calls.filter(QStringLiteral("Burn ")).size(), 1);
    QVERIFY(w->cmdConvert->isEnabled());
    Forms::Unload(w);
}

// Abort stops only a preparation: during an engine's burn it asks nothing and the burn
// ends with "Done.".
void tst_databurnerwindow::abortDoesNothingWhileAnEngineBurns()
{
    Fixture f;
    frmDataBurner3* w = f.open();
    f.addRow(QStringLiteral("a.wav"));
    f.cd()->duringBurn = [&](FakeAudioDataBurner* b) {
        b->started();
        w->cmdAbort_Click();
        b->progress(100);
        b->closing();
        b->finish();
    };
    f.burn();
    QCOMPARE(f.prompts(), QStringList{kBurnQuestion});
    QCOMPARE(f.conv()->abortCalls, 0);
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Done."));
    QCOMPARE(f.host.BalloonMessages(), QStringList{"Done."});
    Forms::Unload(w);
}

void tst_databurnerwindow::sameNameInCopyMode_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QByteArray>("kept");  // what a.wav holds on the disc
    QTest::newRow("Yes copies over it") << int(vbYes) << QByteArray("bytes of two/a.wav");
    QTest::newRow("No keeps the first") << int(vbNo) << QByteArray("bytes of one/a.wav");
    // Cancel leaves the copy loop, not the job: the copies made so far are burned.
    QTest::newRow("Cancel still burns") << int(vbCancel) << QByteArray("bytes of one/a.wav");
}

void tst_databurnerwindow::sameNameInCopyMode()
{
    QFETCH(int, answer);
    QFETCH(QByteArray, kept);
    Fixture f;
    frmDataBurner3* w = f.open();
    f.copyMode();
    f.addRow(QStringLiteral("a.wav"), QStringLiteral("one"));
    f.addRow(QStringLiteral("a.wav"), QStringLiteral("two"));
    f.addRow(QStringLiteral("c.wav"));
    QByteArray onDisc;
    f.cd()->duringBurn = [&](FakeAudioDataBurner* b) {
        onDisc = TestFiles::ReadBytes(f.temp("a.wav"));
        b->finish();
    };
    f.burn({answer, vbOK});
    QCOMPARE(f.prompts().size(), 2);
    QCOMPARE(f.prompts()[0], QStringLiteral("The file name a.wav is already existed in the list to be burn. \r\n\r\n"
                                            "Overwtie it?"));
    QCOMPARE(f.platform.messages().shown[0].buttons, vbYesNoCancel + vbInformation);
    QCOMPARE(f.prompts()[1], kBurnQuestion);
    QCOMPARE(onDisc, kept);
    const QStringList burned = answer == vbCancel ? QStringList{f.temp("a.wav")}
                                                  : QStringList{f.temp("a.wav"), f.temp("c.wav")};
    QCOMPARE(f.cd()->files, burned);
    Forms::Unload(w);
}

void tst_databurnerwindow::sameNameInConversionMode_data()
{
    sameNameInCopyMode_data();
}

// Two rows that would get one name on the disc meet the question of the list to burn, as
// copies do, before the second is converted; each prepared file is one item's.
void tst_databurnerwindow::sameNameInConversionMode()
{
    QFETCH(int, answer);
    QFETCH(QByteArray, kept);
    Fixture f;
    frmDataBurner3* w = f.open();
    f.addRow(QStringLiteral("a.wav"), QStringLiteral("one"));
    f.addRow(QStringLiteral("a.wav"), QStringLiteral("two"));
    f.addRow(QStringLiteral("c.wav"));
    QByteArray onDisc;
    f.cd()->duringBurn = [&](FakeAudioDataBurner* b) {
        onDisc = TestFiles::ReadBytes(f.temp("a.mp3"));
        b->finish();
    };
    f.burn({answer, vbOK});
    QCOMPARE(f.prompts(), (QStringList{"The file name a.mp3 is already existed in the list to be burn. \r\n\r\n"
                                       "Overwtie it?",
                                       kBurnQuestion}));
    QCOMPARE(f.platform.messages().shown[0].buttons, vbYesNoCancel + vbInformation);
    // "bytes of one/a.wav" converted, or the second one.
    QCOMPARE(onDisc, "converted " + f.platform.path(QString::fromUtf8(kept.mid(9))).toUtf8());
    QStringList converted{f.temp("a.mp3")};
    if (answer == vbYes)
        converted << f.temp("a.mp3");
    if (answer != vbCancel)
        converted << f.temp("c.mp3");
    QCOMPARE(StartedOutputs(f.conv()), converted);
    const QStringList burned = answer == vbCancel ? QStringList{f.temp("a.mp3")}
                                                  : QStringList{f.temp("a.mp3"), f.temp("c.mp3")};
    QCOMPARE(f.cd()->files, burned);
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Done."));
    Forms::Unload(w);
}

// A file that was not prepared by the job turns up under a row's name: the question of
// any existing file. No on an earlier row skips it; No on the last one stops the job
// without "Burn CD?".
void tst_databurnerwindow::lastRowAnsweredNoStopsTheJob()
{
    Fixture f;
    frmDataBurner3* w = f.open();
    f.fakes.converters.last()->autoFinish = FakeAutoFinish::None;
    f.addRow(QStringLiteral("a.wav"));
    f.addRow(QStringLiteral("b.wav"));
    f.addRow(QStringLiteral("c.wav"));
    f.platform.messages().answers.enqueue(vbNo);
    f.platform.messages().answers.enqueue(vbNo);
    w->cmdConvert_Click();
    TestFiles::WriteBytes(f.temp("b.mp3"), "another program's");
    TestFiles::WriteBytes(f.temp("c.mp3"), "another program's");
    f.conv()->finishDone();
    QCOMPARE(f.prompts(),
             (QStringList{ToolTexts::kOverwrite.arg(f.temp("b.mp3")), ToolTexts::kOverwrite.arg(f.temp("c.mp3"))}));
    QVERIFY(!w->IsBusy());
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Aborted."));
    QCOMPARE(w->windowTitle(), QStringLiteral("Aborted."));
    QCOMPARE(f.host.BalloonMessages(), QStringList{"Aborted."});
    QCOMPARE(StartedOutputs(f.conv()), QStringList{f.temp("a.mp3")});
    QVERIFY(f.cd()->calls.filter(QStringLiteral("Burn ")).isEmpty());
    Forms::Unload(w);
}

void tst_databurnerwindow::rowEndsWhileAbortIsAsked_data()
{
    QTest::addColumn<bool>("copy");
    QTest::addColumn<int>("answer");
    QTest::newRow("conversions, Yes") << false << int(vbYes);
    QTest::newRow("conversions, No") << false << int(vbNo);
    QTest::newRow("copies, Yes") << true << int(vbYes);
    QTest::newRow("copies, No") << true << int(vbNo);
}

// Rows that end while the Abort question is open wait for its answer: Yes stops the job
// there (nothing more prepared, no "Burn CD?", nothing burned), No goes on to the burn.
void tst_databurnerwindow::rowEndsWhileAbortIsAsked()
{
    QFETCH(bool, copy);
    QFETCH(int, answer);
    Fixture f;
    frmDataBurner3* w = f.open();
    f.fakes.converters.last()->autoFinish = FakeAutoFinish::None;
    if (copy)
        f.copyMode();
    f.addRow(QStringLiteral("a.wav"));
    f.addRow(QStringLiteral("b.wav"));
    f.addRow(QStringLiteral("c.wav"));
    w->cmdConvert_Click();
    if (!copy)
        f.conv()->finishDone();
    // The preparation of the second item (the first copy) ends while the question is open;
    // whatever would follow it has time to.
    f.platform.messages().whileShown = [&] {
        if (!copy) {
            while (f.conv()->isRunning())
                f.conv()->finishDone();
        }
        QTest::qWait(300);
    };
    f.platform.messages().answers.enqueue(answer);
    f.platform.messages().answers.enqueue(vbOK);
    w->cmdAbort_Click();
    const QString question = QStringLiteral("Abort operation?") + QString(38, u' ');
    if (answer == vbYes) {
        QTRY_VERIFY_WITH_TIMEOUT(!w->IsBusy(), 5000);  // a copy still running ends first
        QCOMPARE(f.prompts(), QStringList{question});
        QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Aborted."));
        QCOMPARE(f.log().last(), QStringLiteral("Aborted."));
        QCOMPARE(f.host.BalloonMessages().last(), QStringLiteral("Aborted."));
        QVERIFY(!f.host.BalloonMessages().contains(QStringLiteral("Done.")));
        QVERIFY(f.cd()->calls.filter(QStringLiteral("Burn ")).isEmpty());
        QCOMPARE(StartedOutputs(f.conv()).size(), copy ? 0 : 2);
    } else {
        while (f.conv()->isRunning())
            f.conv()->finishDone();
        QTRY_VERIFY_WITH_TIMEOUT(!w->IsBusy(), 5000);
        QCOMPARE(f.prompts(), (QStringList{question, kBurnQuestion}));
        QCOMPARE(f.cd()->files.size(), 3);
        QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Done."));
    }
    Forms::Unload(w);
}

void tst_databurnerwindow::errorOnTheLastRowStillAsks()
{
    Fixture f;
    g_bTurnOffComputer = true;
    frmDataBurner3* w = f.open();
    f.fakes.converters.last()->autoFinish = FakeAutoFinish::None;
    f.addRow(QStringLiteral("a.wav"));
    f.addRow(QStringLiteral("b.wav"));
    f.platform.messages().answers.enqueue(vbOK);
    w->cmdConvert_Click();
    f.conv()->finishDone();
    f.conv()->finishError(12, QStringLiteral("The encoder failed."));
    QVERIFY(!w->IsBusy());
    QCOMPARE(f.prompts(), QStringList{kBurnQuestion});
    QVERIFY(f.log().contains(QStringLiteral("Error: The encoder failed.(12)")));
    // Only what was prepared is burned; the ending says one item failed and the computer
    // is not turned off.
    QCOMPARE(f.cd()->files, QStringList{f.temp("a.mp3")});
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Done. 1 of 2 failed: see the Log."));
    QCOMPARE(w->windowTitle(), QStringLiteral("Done. 1 of 2 failed: see the Log."));
    QVERIFY(f.platform.modal().shown.isEmpty());
    Forms::Unload(w);
}

void tst_databurnerwindow::emptyGridGoesStraightToTheQuestion()
{
    Fixture f;
    frmDataBurner3* w = f.open();
    f.burn({vbCancel});
    QCOMPARE(f.log().first(), QStringLiteral("Preparing to burn: 0 tracks."));
    QCOMPARE(f.prompts(), QStringList{kBurnQuestion});
    Forms::Unload(w);
}

// Cancel on "Burn CD?" keeps the prepared files; the next Burn starts from an empty folder.
void tst_databurnerwindow::cancelKeepsThePreparedFiles()
{
    Fixture f;
    frmDataBurner3* w = f.open();
    f.copyMode();
    f.addRow(QStringLiteral("a.wav"));
    f.burn({vbCancel});
    QCOMPARE(f.tempFiles(), QStringList{"a.wav"});
    QVERIFY(w->cmdConvert->isEnabled());
    QFile::rename(f.temp("a.wav"), f.temp("stale.wav"));
    f.burn({vbCancel});
    QCOMPARE(f.tempFiles(), QStringList{"a.wav"});
    Forms::Unload(w);
}

// A copy keeps its bytes and, through [dest_extension], its own extension.
void tst_databurnerwindow::copyKeepsTheSourceBytesAndExtension()
{
    Fixture f;
    frmDataBurner3* w = f.open();
    f.copyMode();
    f.addRow(QStringLiteral("song.wma"));
    f.addRow(QStringLiteral("Tune.FLAC"));
    f.addRow(QStringLiteral("noext"));
    QHash<QString, QByteArray> burned;
    f.cd()->duringBurn = [&](FakeAudioDataBurner* b) {
        for (const QString& file : b->files)
            burned.insert(QFileInfo(file).fileName(), TestFiles::ReadBytes(file));
        b->finish();
    };
    f.burn();
    QCOMPARE(burned.size(), 3);
    QCOMPARE(burned.value("song.wma"), QByteArray("bytes of music/song.wma"));
    QCOMPARE(burned.value("Tune.flac"), QByteArray("bytes of music/Tune.FLAC"));
    QCOMPARE(burned.value("noext"), QByteArray("bytes of music/noext"));
    QVERIFY(f.conv()->started.isEmpty());
    QCOMPARE(w->lblFilesToConvert->text(), QStringLiteral("Files: 3/3"));
    Forms::Unload(w);
}

void tst_databurnerwindow::failedCopyIsAnErrorOfTheJob()
{
    Fixture f;
    g_bTurnOffComputer = true;
    frmDataBurner3* w = f.open();
    f.copyMode();
    f.addRow(QStringLiteral("a.wav"));
    const qint32 gone = f.addRow(QStringLiteral("gone.wav"));
    f.addRow(QStringLiteral("c.wav"));
    QFile::remove(RowText(w->cGrid1, gone, QStringLiteral("COL_FILE")));
    f.burn({vbOK, vbOK});
    QVERIFY(f.log().contains("Error: The file \"" + f.platform.path("music/gone.wav") + "\" does not exist.(1)"));
    QCOMPARE(f.cd()->files, (QStringList{f.temp("a.wav"), f.temp("c.wav")}));
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Done. 1 of 3 failed: see the Log."));
    QVERIFY(f.platform.modal().shown.isEmpty());  // no turn-off after an error
    Forms::Unload(w);
}

// Abort during the copies: the window answers while a file is copied, the loop stops
// before the next file, the folder is emptied and nothing is burned.
void tst_databurnerwindow::abortBetweenCopies()
{
    Fixture f;
    frmDataBurner3* w = f.open();
    f.copyMode();
    f.addRow(QStringLiteral("a.wav"));
    f.addRow(QStringLiteral("b.wav"));
    f.platform.messages().answers.enqueue(vbYes);
    w->cmdConvert_Click();
    QVERIFY(w->IsBusy());
    w->cmdAbort_Click();
    QTRY_VERIFY_WITH_TIMEOUT(!w->IsBusy(), 5000);
    QCOMPARE(f.prompts(), QStringList{QStringLiteral("Abort operation?") + QString(38, u' ')});
    QCOMPARE(f.log().last(), QStringLiteral("Aborted."));
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Aborted."));
    QVERIFY(f.tempFiles().isEmpty());
    QVERIFY(f.cd()->calls.filter(QStringLiteral("Burn ")).isEmpty());
    Forms::Unload(w);
}

// A "[time]" template gives another name a second later: the burn takes the names the
// files were prepared under.
void tst_databurnerwindow::timeTemplateLosesNothing()
{
    Fixture f;
    frmDataBurner3* w = f.open();
    f.useTemplate(QStringLiteral("[file_name]_[time].[dest_extension]"));
    f.addRow(QStringLiteral("a.wav"));
    f.addRow(QStringLiteral("b.wav"));
    f.platform.messages().whileShown = [] { QTest::qWait(1100); };
    f.burn();
    QCOMPARE(f.cd()->files.size(), 2);
    QCOMPARE(f.cd()->files, StartedOutputs(f.conv()));
    QVERIFY(!f.log().join(u'\n').contains(QStringLiteral("Couldn't add")));
    Forms::Unload(w);
}

// The format, the copy-mode box and the template changed while the items are prepared
// are the next job's: every item of this one is converted and burned as it began; the
// engine and the drive cannot be changed meanwhile.
void tst_databurnerwindow::boxesChangedDuringThePreparation()
{
    Fixture f;
    frmDataBurner3* w = f.open();
    f.fakes.converters.last()->autoFinish = FakeAutoFinish::None;
    f.addRow(QStringLiteral("a.wav"));
    f.addRow(QStringLiteral("b.wav"));
    f.platform.messages().answers.enqueue(vbOK);
    w->cmdConvert_Click();
    SelectListText(w->cboTargetFormat, ToolTexts::kWma);
    f.copyMode();
    w->cboFileName->setCurrentIndex(w->cboFileName->count() - 1);
    // The engine and the drive the job checked are the ones it burns with: not to be
    // changed until it has ended.
    QVERIFY(!w->cmbEngine->isEnabled() && !w->cboDrv->isEnabled());
    f.conv()->finishDone();
    f.conv()->finishDone();
    QVERIFY(!w->IsBusy());
    QVERIFY(w->cmbEngine->isEnabled() && w->cboDrv->isEnabled());
    const QStringList prepared{f.temp("a.mp3"), f.temp("b.mp3")};
    QCOMPARE(StartedOutputs(f.conv()), prepared);
    QCOMPARE(f.conv()->started.last().format, 3);
    QCOMPARE(f.cd()->files, prepared);
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Done."));
    Forms::Unload(w);
}

void tst_databurnerwindow::closeGuardAndEraseLink()
{
    Fixture f;
    frmDataBurner3* w = f.open();
    f.fakes.converters.last()->autoFinish = FakeAutoFinish::None;
    f.addRow(QStringLiteral("a.wav"));
    w->cmdConvert_Click();
    Forms::Unload(w);
    QVERIFY(Forms::IsLoaded<frmDataBurner3>());
    w->lblErasetempfilesnow_Click();  // the job's files are in use
    QVERIFY(f.platform.messages().shown.isEmpty());
    f.platform.messages().answers.enqueue(vbCancel);
    f.conv()->finishDone();
    QCOMPARE(f.tempFiles(), QStringList{"a.mp3"});

    // The link empties the folder (files only) and says "Done." also when there was
    // nothing to delete.
    QDir().mkpath(f.temp("keep"));
    f.platform.messages().answers.enqueue(vbOK);
    f.platform.messages().answers.enqueue(vbOK);
    w->lblErasetempfilesnow_Click();
    w->lblErasetempfilesnow_Click();
    QCOMPARE(f.prompts().mid(1), (QStringList{QStringLiteral("Done.") + QString(28, u' '),
                                              QStringLiteral("Done.") + QString(28, u' ')}));
    QVERIFY(f.tempFiles().isEmpty());
    QVERIFY(QFileInfo(f.temp("keep")).isDir());

    // Closing when idle empties the folder.
    TestFiles::WriteBytes(f.temp("x.mp3"), "x");
    Forms::Unload(w);
    QVERIFY(!Forms::IsLoaded<frmDataBurner3>());
    QVERIFY(f.tempFiles().isEmpty());
}

QTEST_MAIN(tst_databurnerwindow)
#include "tst_databurnerwindow.moc"
