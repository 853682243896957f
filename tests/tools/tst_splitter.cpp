// The split job over the conversion component's fake: part lengths and names, the
// refusals, the overwrite question, Abort, a failed part, a second job, progress, the
// destination folder and the close guard.
#include "common/mdlModes.h"
#include "common/frmTurnOff.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cGrid/cGrid.h"
#include "components/cTabControl/cTabControl.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlOptions.h"
#include "tests/support/FakeAudioComponents.h"
#include "tests/support/FakeToolFixture.h"
#include "tests/support/TestFiles.h"
#include "tests/support/ToolRows.h"
#include "tests/support/ToolTexts.h"
#include "tools/splitter/frmSplitter.h"

#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cstdio>

using namespace ToolTexts;

namespace {

const QString kRefusal = QStringLiteral("Source file length is to small.       ");

// A program folder, the fake converter, the main window's stand-in and a splitter opened
// on "song.wav" as the launch opens it.
struct Fixture : FakeToolFixture {
    QString source = music(QStringLiteral("song.wav"));
    frmSplitter* w = nullptr;

    explicit Fixture(qint32 durationMs, FakeAutoFinish finish = FakeAutoFinish::Done)
    {
        fakes.setupConverter = [this, durationMs, finish](FakeAudioConverter* f) {
            FakeFileScript script;
            script.durationMs = durationMs;
            f->files[source] = script;
            f->autoFinish = finish;
        };
        w = g_frmSplitter();
        w->g_sFileToSplit = source;
        ToolRows::Add(w->cGrid1, source);
        w->txtToPath->setEditText(dest);
    }
    FakeAudioConverter* conv() const { return qobject_cast<FakeAudioConverter*>(w->cAudioConverter1); }
    // Runs the job to its end (the fake ends each part as scripted).
    void split()
    {
        w->cmdConvert_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!w->IsBusy(), 5000);
    }
    QStringList logLines() const { return w->txtLog->toPlainText().split(u'\n'); }
    // The log without the time in front of each line.
    QStringList logMessages() const
    {
        QStringList out;
        for (const QString& line : logLines())
            out << line.section(u':', line.count(u':') > 2 ? 3 : 1);
        return out;
    }
    bool logHas(const QString& message) const { return w->txtLog->toPlainText().contains(u':' + message + u'\n'); }
};

struct Range {
    qint32 start;
    qint32 length;
};

} // namespace

Q_DECLARE_METATYPE(QList<qint32>)

class tst_splitter : public QObject
{
    Q_OBJECT
private slots:
    void plans_data();
    void plans();
    void lastPartReachesTheEnd_data();
    void lastPartReachesTheEnd();
    void partNames_data();
    void partNames();

    void splitsIntoParts();
    void splitsBySeconds();
    void refusesBeforeAnythingStarts_data();
    void refusesBeforeAnythingStarts();
    void overwriteQuestion_data();
    void overwriteQuestion();
    void overwriteTickedAsksNothing();
    void errorInTheMiddlePart();
    void turnOffAfterAJobWithoutErrors();
    void abortQuestion();
    void abortDoesNothingWhileIdle();
    void secondJobAfterAnEmptyLine();
    void progress();
    void destinationWithoutSlash();
    void destinationThatCannotBeCreated();
    void formatWindowLeftKeepsOrTakesTheFormat_data();
    void formatWindowLeftKeepsOrTakesTheFormat();
    void closeGuard();
    void splitModeBoxes();
    void unreadableSourceSaysWhy();
    void sourceThatChangesDuringTheJob_data();
    void sourceThatChangesDuringTheJob();
};

void tst_splitter::plans_data()
{
    QTest::addColumn<bool>("byParts");
    QTest::addColumn<qint32>("durationMs");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<qint32>("length");
    QTest::addColumn<qint32>("count");
    QTest::addColumn<qint32>("max");

    // Into N parts: the length divides by N; the N-th part takes the remainder.
    QTest::newRow("60 s into 6") << true << 60000 << "6" << true << 10 << 6 << 600;
    QTest::newRow("62 s into 6, shorter parts, longer last") << true << 62000 << "6" << true << 10 << 6 << 600;
    QTest::newRow("64 s into 6, longer parts, shorter last") << true << 64000 << "6" << true << 11 << 6 << 600;
    QTest::newRow("25 s into 2: half to even below") << true << 25000 << "2" << true << 12 << 2 << 200;
    QTest::newRow("27 s into 2: half to even above") << true << 27000 << "2" << true << 14 << 2 << 200;
    QTest::newRow("one part is the whole source") << true << 7300 << "1" << true << 7 << 1 << 100;
    QTest::newRow("count with blanks") << true << 60000 << " 3 " << true << 20 << 3 << 300;
    QTest::newRow("count 0") << true << 60000 << "0" << false << 0 << 0 << 0;
    QTest::newRow("negative count") << true << 60000 << "-2" << false << 0 << 0 << 0;
    QTest::newRow("count below 1") << true << 60000 << "0.6" << false << 0 << 0 << 0;
    QTest::newRow("count not a number") << true << 60000 << "six" << false << 0 << 0 << 0;
    QTest::newRow("empty count") << true << 60000 << "" << false << 0 << 0 << 0;
    QTest::newRow("parts under a second") << true << 3000 << "7" << false << 0 << 0 << 0;
    QTest::newRow("last part would be empty") << true << 3500 << "6" << false << 0 << 0 << 0;
    // Where rounding up leaves nothing for the last part, the length is rounded down.
    QTest::newRow("15 s into 10: 1.5 rounds to 2, then down") << true << 15000 << "10" << true << 1 << 10 << 1000;
    QTest::newRow("9 s into 6: 1.5 rounds to 2, then down") << true << 9000 << "6" << true << 1 << 6 << 600;
    QTest::newRow("14 s into 8: 1.75 rounds to 2, then down") << true << 14000 << "8" << true << 1 << 8 << 800;
    QTest::newRow("6 s into 6: parts of exactly 1 s") << true << 6000 << "6" << true << 1 << 6 << 600;
    QTest::newRow("5.999 s into 6: 1 s fits, the last shorter") << true << 5999 << "6" << true << 1 << 6 << 600;
    QTest::newRow("19 s into 10: 1.9 rounds to 2 and fits") << true << 19000 << "10" << true << 2 << 10 << 1000;
    QTest::newRow("5.5 s into 6: 0.92 rounds to 1 and fits") << true << 5500 << "6" << true << 1 << 6 << 600;
    QTest::newRow("4.9 s into 6: no room for 5 whole seconds") << true << 4900 << "6" << false << 0 << 0 << 0;
    QTest::newRow("unreadable source") << true << 0 << "6" << false << 0 << 0 << 0;

    // Parts of S seconds: the last part holds what remains.
    QTest::newRow("25 s in 10 s") << false << 25000 << "10" << true << 10 << 3 << 250;
    QTest::newRow("20 s in 10 s") << false << 20000 << "10" << true << 10 << 2 << 200;
    QTest::newRow("seconds half to even") << false << 25000 << "2.5" << true << 2 << 13 << 1250;
    QTest::newRow("10.031 s in 3 s") << false << 10031 << "3" << true << 3 << 4 << 334;
    QTest::newRow("as long as the source") << false << 25000 << "25" << false << 0 << 0 << 0;
    QTest::newRow("longer than the source") << false << 25000 << "30" << false << 0 << 0 << 0;
    QTest::newRow("0 seconds") << false << 25000 << "0" << false << 0 << 0 << 0;
    QTest::newRow("under a second") << false << 25000 << "0.6" << false << 0 << 0 << 0;
    QTest::newRow("seconds not a number") << false << 25000 << "ten" << false << 0 << 0 << 0;
}

void tst_splitter::plans()
{
    QFETCH(bool, byParts);
    QFETCH(qint32, durationMs);
    QFETCH(QString, text);
    const SplitPlan plan = byParts ? PlanSplitByParts(durationMs, text) : PlanSplitBySeconds(durationMs, text);
    QTEST(plan.ok, "ok");
    if (!plan.ok)
        return;
    QTEST(plan.partLength, "length");
    QTEST(plan.partCount, "count");
    QTEST(plan.progressMax, "max");
}

void tst_splitter::lastPartReachesTheEnd_data()
{
    QTest::addColumn<bool>("byParts");
    QTest::addColumn<qint32>("durationMs");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QList<qint32>>("starts");
    QTest::addColumn<QList<qint32>>("lengths");  // 0: to the end of the source
    QTest::newRow("62 s into 6") << true << 62000 << "6" << QList<qint32>{0, 10, 20, 30, 40, 50}
                                 << QList<qint32>{10, 10, 10, 10, 10, 0};
    QTest::newRow("64 s into 6") << true << 64000 << "6" << QList<qint32>{0, 11, 22, 33, 44, 55}
                                 << QList<qint32>{11, 11, 11, 11, 11, 0};
    QTest::newRow("7.3 s into 3") << true << 7300 << "3" << QList<qint32>{0, 2, 4} << QList<qint32>{2, 2, 0};
    QTest::newRow("one part") << true << 7300 << "1" << QList<qint32>{0} << QList<qint32>{0};
    QTest::newRow("20 s in 10 s") << false << 20000 << "10" << QList<qint32>{0, 10} << QList<qint32>{10, 0};
    QTest::newRow("25.999 s in 5 s") << false << 25999 << "5" << QList<qint32>{0, 5, 10, 15, 20, 25}
                                     << QList<qint32>{5, 5, 5, 5, 5, 0};
}

// Each part starts where the one before ends; the last asks for everything to the end,
// so a source longer than its probed length loses nothing.
void tst_splitter::lastPartReachesTheEnd()
{
    QFETCH(bool, byParts);
    QFETCH(qint32, durationMs);
    QFETCH(QString, text);
    QFETCH(QList<qint32>, starts);
    QFETCH(QList<qint32>, lengths);
    const SplitPlan plan = byParts ? PlanSplitByParts(durationMs, text) : PlanSplitBySeconds(durationMs, text);
    QVERIFY(plan.ok);
    QCOMPARE(plan.partCount, starts.size());
    QList<qint32> gotStarts, gotLengths;
    for (qint32 part = 1; part <= plan.partCount; ++part) {
        gotStarts << plan.PartStart(part);
        gotLengths << plan.PartLength(part);
    }
    QCOMPARE(gotStarts, starts);
    QCOMPARE(gotLengths, lengths);
}

void tst_splitter::partNames_data()
{
    QTest::addColumn<qint32>("part");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("name");
    const QString mp3 = QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)");
    const QString wav = QStringLiteral("WAV - Waveform Audio Format (*.wav)");
    QTest::newRow("wav to mp3") << 1 << "/m/song.wav" << mp3 << "Part_1_song.MP3";
    QTest::newRow("wav to wav") << 12 << "/m/song.wav" << wav << "Part_12_song.WAV";
    QTest::newRow("acm") << 2 << "/m/song.wav" << "ACM - Waveform ACM Codecs (*.wav)" << "Part_2_song.ACM";
    QTest::newRow("four-letter extension") << 1 << "/m/song.flac" << mp3 << "Part_1_song.MP3";
    QTest::newRow("one-letter extension") << 1 << "/m/a.b" << mp3 << "Part_1_a.MP3";
    QTest::newRow("several dots") << 3 << "/m/live.2024.set.ogg" << wav << "Part_3_live.2024.set.WAV";
    QTest::newRow("no extension") << 1 << "/m/take" << mp3 << "Part_1_take.MP3";
    QTest::newRow("dot only in the folder") << 1 << "/m.d/take" << mp3 << "Part_1_take.MP3";
    QTest::newRow("name is only an extension") << 1 << "/m/.wav" << mp3 << "Part_1_.MP3";
    QTest::newRow("one character") << 1 << "x" << mp3 << "Part_1_x.MP3";
}

void tst_splitter::partNames()
{
    QFETCH(qint32, part);
    QFETCH(QString, source);
    QFETCH(QString, format);
    QTEST(PartFileName(part, source, format), "name");
}

void tst_splitter::splitsIntoParts()
{
    Fixture f(62000);
    SelectListText(f.w->cboTargetFormat, QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)"));
    f.w->chkPlaySound->SetValue(1);
    f.split();

    const QList<FakeJobRecord>& jobs = f.conv()->started;
    QCOMPARE(jobs.size(), 6);
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(jobs[i].source, f.source);
        QCOMPARE(jobs[i].output, f.dest + QStringLiteral("Part_%1_song.MP3").arg(i + 1));
        QCOMPARE(jobs[i].format, qint32(kOutputMP3));
        QVERIFY(jobs[i].hasRange);
        QCOMPARE(jobs[i].rangeStart, i * 10);
    }
    QCOMPARE(jobs[4].rangeLength, 10);
    QCOMPARE(jobs[5].rangeLength, 0);  // the sixth part runs to the end
    QCOMPARE(f.w->prgTotal->Max(), 600);
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Done."));
    QCOMPARE(f.host.BalloonMessages(), QStringList{QStringLiteral("Done.")});
    QCOMPARE(f.host.tray.Balloons().first().title, QStringLiteral("Velmaro 1.2"));
    QVERIFY(f.w->cmdConvert->isEnabled());
    QVERIFY(f.w->cmdExit->isEnabled());
    QCOMPARE(f.platform.sound().played, QStringList{g_sPlayAtEnd});

    const QStringList log = f.logMessages();
    QCOMPARE(log.first(), QStringLiteral("Preparing to split: song.wav.."));
    QCOMPARE(log[1], QStringLiteral("Destination format: MP3"));
    QCOMPARE(log.count(QStringLiteral("Start to split: song.wav...")), 6);
    QCOMPARE(log.count(QStringLiteral("Done.")), 6);
    QCOMPARE(f.w->cTabControl1->TabKey(f.w->cTabControl1->SelectedTab()), QStringLiteral("Log"));
    QVERIFY(f.w->TabLog->isVisibleTo(f.w));
}

void tst_splitter::splitsBySeconds()
{
    Fixture f(25000);
    f.w->ptnSplitBySecs->click();
    f.w->txtSplitSecs->setText(QStringLiteral("10"));
    f.split();
    const QList<FakeJobRecord>& jobs = f.conv()->started;
    QCOMPARE(jobs.size(), 3);
    QCOMPARE(jobs[0].rangeStart, 0);
    QCOMPARE(jobs[0].rangeLength, 10);
    QCOMPARE(jobs[1].rangeStart, 10);
    QCOMPARE(jobs[2].rangeStart, 20);
    QCOMPARE(jobs[2].rangeLength, 0);  // to the end
    QCOMPARE(jobs[2].output, f.dest + QStringLiteral("Part_3_song.WAV"));
    QCOMPARE(f.w->prgTotal->Max(), 250);
}

void tst_splitter::refusesBeforeAnythingStarts_data()
{
    QTest::addColumn<bool>("byParts");
    QTest::addColumn<qint32>("durationMs");
    QTest::addColumn<QString>("text");
    QTest::newRow("count 0") << true << 60000 << "0";
    QTest::newRow("count not a number") << true << 60000 << "6a";
    QTest::newRow("source too short for the count") << true << 4000 << "6";
    QTest::newRow("unreadable source") << true << 0 << "6";
    QTest::newRow("seconds not below the length") << false << 25000 << "25";
    QTest::newRow("seconds under one") << false << 25000 << "0";
}

void tst_splitter::refusesBeforeAnythingStarts()
{
    QFETCH(bool, byParts);
    QFETCH(qint32, durationMs);
    QFETCH(QString, text);
    Fixture f(durationMs);
    (byParts ? f.w->ptnSplitByParts : f.w->ptnSplitBySecs)->click();
    (byParts ? f.w->txtSplitParts : f.w->txtSplitSecs)->setText(text);
    f.platform.messages().answers.enqueue(vbOK);
    f.w->cmdConvert_Click();

    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, kRefusal);
    QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation + vbOKOnly);
    QVERIFY(f.conv()->started.isEmpty());
    QVERIFY(f.w->cmdConvert->isEnabled());
    QVERIFY(f.w->cmdExit->isEnabled());
    QVERIFY(f.host.BalloonMessages().isEmpty());
}

void tst_splitter::overwriteQuestion_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("parts");         // parts started
    QTest::addColumn<bool>("abortedLine");  // "Aborted." in the log
    QTest::newRow("Yes overwrites") << vbYes << 3 << false;
    QTest::newRow("No ends the job") << vbNo << 0 << false;
    QTest::newRow("Cancel ends the job") << vbCancel << 0 << true;
}

void tst_splitter::overwriteQuestion()
{
    QFETCH(int, answer);
    QFETCH(int, parts);
    QFETCH(bool, abortedLine);
    Fixture f(30000);
    f.w->txtSplitParts->setText(QStringLiteral("3"));
    QDir().mkpath(f.dest);
    const QString existing = f.dest + QStringLiteral("Part_1_song.WAV");
    QVERIFY(TestFiles::WriteBytes(existing, "old"));
    f.w->chkPlaySound->SetValue(1);
    f.platform.messages().answers.enqueue(answer);
    f.split();

    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt,
             kOverwrite.arg(existing));
    QCOMPARE(f.platform.messages().shown[0].buttons, vbYesNoCancel + vbInformation);
    QCOMPARE(f.conv()->started.size(), parts);
    QVERIFY(f.logHas(QStringLiteral("File already exists.")));
    QCOMPARE(f.logHas(QStringLiteral("Overwrite it...")), answer == vbYes);
    QCOMPARE(f.logHas(QStringLiteral("Aborted.")), abortedLine);
    const QString end = answer == vbYes ? QStringLiteral("Done.") : QStringLiteral("Aborted.");
    QCOMPARE(f.w->lblCurrentTrack->text(), end);
    QCOMPARE(f.host.BalloonMessages(), QStringList{end});
    // Only a job that ran to its end plays the sound.
    QCOMPARE(f.platform.sound().played.size(), answer == vbYes ? 1 : 0);
    QVERIFY(f.w->cmdConvert->isEnabled());
    QVERIFY(f.w->cmdExit->isEnabled());
}

void tst_splitter::overwriteTickedAsksNothing()
{
    Fixture f(30000);
    f.w->txtSplitParts->setText(QStringLiteral("3"));
    QDir().mkpath(f.dest);
    QVERIFY(TestFiles::WriteBytes(f.dest + QStringLiteral("Part_2_song.WAV"), "old"));
    f.w->chkOverWrite->SetValue(1);
    f.split();
    QVERIFY(f.platform.messages().shown.isEmpty());
    QCOMPARE(f.conv()->started.size(), 3);
}

void tst_splitter::errorInTheMiddlePart()
{
    Fixture f(30000, FakeAutoFinish::None);
    f.w->txtSplitParts->setText(QStringLiteral("3"));
    for (CheckBox* c : {f.w->chkPlaySound, f.w->chkOpenDestFolder, f.w->chkNoticeApp, f.w->chkTurnOffComputer})
        c->SetValue(1);
    f.host.noticeCommand = QStringLiteral("/usr/bin/notify-me --done");
    f.w->cmdConvert_Click();
    f.conv()->finishDone();
    f.conv()->finishError(7, QStringLiteral("Encoder failed"));
    QVERIFY(f.w->IsBusy());
    f.conv()->finishDone();

    QCOMPARE(f.conv()->started.size(), 3);
    QVERIFY(f.logHas(QStringLiteral("Error: Encoder failed(7)")));
    QVERIFY(f.w->JobError());
    const QString ending = QStringLiteral("Done. 1 of 3 failed: see the Log.");
    QCOMPARE(f.w->lblCurrentTrack->text(), ending);
    QCOMPARE(f.w->windowTitle(), ending);
    QCOMPARE(f.host.BalloonMessages(), QStringList{ending});
    // Sound, folder and program run; the countdown does not.
    QCOMPARE(f.platform.sound().played.size(), 1);
    QCOMPARE(f.platform.shell().opened, QStringList{f.dest});
    QCOMPARE(f.platform.shell().started.size(), 1);
    QCOMPARE(f.platform.shell().started[0].program, QStringLiteral("/usr/bin/notify-me"));
    QCOMPARE(f.platform.shell().started[0].arguments, QStringList{QStringLiteral("--done")});
    QVERIFY(f.platform.modal().shown.isEmpty());
    QCOMPARE(f.platform.shutdown().calls, 0);
}

void tst_splitter::turnOffAfterAJobWithoutErrors()
{
    Fixture f(30000);
    f.w->chkTurnOffComputer->SetValue(1);
    bool countdown = false;
    f.platform.modal().handlers.enqueue([&countdown, &f](VForm* form) {
        auto* t = qobject_cast<frmTurnOff*>(form);
        QVERIFY(t);
        countdown = true;
        // The job has ended before its end-of-job actions: the window can be closed.
        QVERIFY(f.w->cmdExit->isEnabled());
        QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Done."));
        t->cmdCancel_Click();
    });
    f.split();
    QVERIFY(countdown);
    QCOMPARE(f.platform.shutdown().calls, 0);
}

void tst_splitter::abortQuestion()
{
    Fixture f(30000, FakeAutoFinish::None);
    f.w->chkPlaySound->SetValue(1);
    f.w->cmdConvert_Click();
    f.conv()->finishDone();

    // No: the part goes on.
    f.platform.messages().answers.enqueue(vbNo);
    f.w->cmdAbort_Click();
    QCOMPARE(f.platform.messages().shown.last().prompt, QStringLiteral("Abort operation?") + QString(38, u' '));
    QCOMPARE(f.platform.messages().shown.last().buttons, vbYesNo + vbInformation);
    QCOMPARE(f.conv()->abortCalls, 0);
    QVERIFY(f.w->IsBusy());

    // Yes: the component stops the part and the job ends without its end-of-job actions.
    f.platform.messages().answers.enqueue(vbYes);
    f.w->cmdAbort_Click();
    QCOMPARE(f.conv()->abortCalls, 1);
    QCOMPARE(f.host.BalloonMessages(), QStringList{QStringLiteral("Aborted.")});
    f.conv()->finishAborted();
    QVERIFY(!f.w->IsBusy());
    QVERIFY(f.w->cmdExit->isEnabled());
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Aborted."));
    QCOMPARE(f.logMessages().last(), QString());
    QCOMPARE(f.logMessages()[f.logMessages().size() - 2], QStringLiteral("Aborted."));
    QCOMPARE(f.conv()->started.size(), 2);
    QVERIFY(f.platform.sound().played.isEmpty());
}

void tst_splitter::abortDoesNothingWhileIdle()
{
    Fixture f(30000);
    f.w->cmdAbort_Click();
    QVERIFY(f.platform.messages().shown.isEmpty());
    QCOMPARE(f.conv()->abortCalls, 0);
}

void tst_splitter::secondJobAfterAnEmptyLine()
{
    Fixture f(20000);
    f.w->txtSplitParts->setText(QStringLiteral("2"));
    f.split();
    f.w->chkOverWrite->SetValue(1);
    f.split();
    const QStringList log = f.logMessages();
    const int second = log.lastIndexOf(QStringLiteral("Preparing to split: song.wav.."));
    QVERIFY(second > 0);
    QCOMPARE(f.logLines()[second - 1], QString());
    QCOMPARE(log.count(QString()), 2);  // the empty line and the end of the last line
    QCOMPARE(f.conv()->started.size(), 4);
    QCOMPARE(f.conv()->started[2].rangeStart, 0);
    QCOMPARE(f.host.BalloonMessages(), (QStringList{QStringLiteral("Done."), QStringLiteral("Done.")}));
}

void tst_splitter::progress()
{
    Fixture f(30000, FakeAutoFinish::None);
    f.w->txtSplitParts->setText(QStringLiteral("3"));
    f.w->cmdConvert_Click();
    f.conv()->finishDone();
    f.conv()->finishDone();
    f.w->setWindowTitle(QStringLiteral("Audio Splitter"));
    f.conv()->emitProgress(0);
    QCOMPARE(f.w->prgTotal->Value(), 0);
    QCOMPARE(f.w->windowTitle(), QStringLiteral("Audio Splitter"));
    f.conv()->emitProgress(40);
    QCOMPARE(f.w->prgCurrnet->Value(), 40);
    QCOMPARE(f.w->prgTotal->Value(), 240);
    QCOMPARE(f.w->prgTotal->Max(), 300);
    QCOMPARE(f.w->windowTitle(), QStringLiteral("Velmaro 1.2"));
}

void tst_splitter::destinationWithoutSlash()
{
    Fixture f(20000);
    f.w->txtSplitParts->setText(QStringLiteral("2"));
    f.w->txtToPath->setEditText(f.platform.path(QStringLiteral("new/parts")));
    f.w->chkCreateSubFolder->SetValue(1);
    f.w->txtUndeForlder->setText(QStringLiteral("My-List"));
    f.split();
    const QString folder = f.platform.path(QStringLiteral("new/parts/My-List/"));
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(f.conv()->started[0].output, folder + QStringLiteral("Part_1_song.WAV"));
}

void tst_splitter::destinationThatCannotBeCreated()
{
    Fixture f(20000);
    QVERIFY(TestFiles::WriteBytes(f.platform.path(QStringLiteral("afile")), "x"));
    const QString folder = f.platform.path(QStringLiteral("afile/parts/"));
    f.w->txtToPath->setEditText(folder);
    f.platform.messages().answers.enqueue(vbOK);
    f.w->cmdConvert_Click();
    const QString text = QStringLiteral("The path: ") + folder + QStringLiteral(" cannot be created.");
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, text);
    QVERIFY(f.logHas(text));
    QVERIFY(f.conv()->started.isEmpty());
    QVERIFY(f.conv()->readInfoCalls.isEmpty());
    QVERIFY(!f.w->IsBusy());
    QVERIFY(f.host.BalloonMessages().isEmpty());
}

void tst_splitter::formatWindowLeftKeepsOrTakesTheFormat_data()
{
    QTest::addColumn<QString>("stored");  // the default format before, "" for none
    QTest::addColumn<QString>("how");     // how the format window is left
    QTest::addColumn<QString>("format");  // the box's format afterwards
    QTest::addColumn<QString>("part");    // the first part's name
    const QString mp3 = QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)");
    const QString wma = QStringLiteral("WMA - Windows Media Audio files (*.wma)");
    const QString wav = QStringLiteral("WAV - Waveform Audio Format (*.wav)");
    QTest::newRow("Exit, no default stored") << "" << "Exit" << mp3 << "Part_1_song.MP3";
    QTest::newRow("Exit, another default stored") << wma << "Exit" << mp3 << "Part_1_song.MP3";
    QTest::newRow("close box") << wma << "close" << mp3 << "Part_1_song.MP3";
    QTest::newRow("OK on the WAV page") << "" << "OK WAV" << wav << "Part_1_song.WAV";
}

// "Edit" opens the format window on the chosen format. Left without OK it changed
// nothing, so the box keeps its format and the default stays; its OK makes the format of
// its open page the default, which the box takes.
void tst_splitter::formatWindowLeftKeepsOrTakesTheFormat()
{
    QFETCH(QString, stored);
    QFETCH(QString, how);
    QFETCH(QString, format);
    Fixture f(20000);
    f.w->txtSplitParts->setText(QStringLiteral("2"));
    QComboBox* defaultFormat = Forms::Get<frmOptions>()->cboTargetFormat;
    if (stored.isEmpty())
        defaultFormat->setCurrentIndex(-1);
    else
        SelectListText(defaultFormat, stored);
    g_sTargetFormat = defaultFormat->currentText();
    const QString storedBefore = TestFiles::StoredText(QStringLiteral("General"), QStringLiteral("cboTargetFormat"));
    SelectListText(f.w->cboTargetFormat, QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)"));
    f.platform.modal().handlers.enqueue([how](VForm* form) {
        auto* prop = qobject_cast<frmAudioProp*>(form);
        QVERIFY(prop);
        if (how == QLatin1String("Exit")) {
            prop->cmdExit_Click();
        } else if (how == QLatin1String("close")) {
            prop->close();
        } else {
            prop->cTabControl1->SelectTab(QStringLiteral("WAV"));
            prop->cmdOk_Click();
        }
    });
    f.w->cmdEditTargetFormat_Click();
    QTEST(f.w->cboTargetFormat->currentText(), "format");
    if (how.startsWith(QLatin1String("OK"))) {
        QCOMPARE(g_sTargetFormat, format);
        QCOMPARE(TestFiles::StoredText(QStringLiteral("General"), QStringLiteral("cboTargetFormat")), format);
    } else {
        QCOMPARE(g_sTargetFormat, stored);
        QCOMPARE(TestFiles::StoredText(QStringLiteral("General"), QStringLiteral("cboTargetFormat")), storedBefore);
    }
    f.split();
    QTEST(f.conv()->started.value(0).output.mid(f.dest.size()), "part");
}

void tst_splitter::closeGuard()
{
    Fixture f(30000, FakeAutoFinish::None);
    f.w->cmdConvert_Click();
    QVERIFY(f.w->IsBusy());
    f.w->cmdExit_Click();
    QVERIFY(Forms::IsLoaded<frmSplitter>());
    f.w->close();
    QVERIFY(Forms::IsLoaded<frmSplitter>());
    QTest::keyClick(f.w, Qt::Key_Escape);
    QVERIFY(Forms::IsLoaded<frmSplitter>());
    QCOMPARE(f.conv()->closeConverterCalls, 0);

    f.platform.messages().answers.enqueue(vbYes);
    f.w->cmdAbort_Click();
    f.conv()->finishAborted();
    FakeAudioConverter* conv = f.conv();
    QTest::keyClick(f.w, Qt::Key_Escape);
    QVERIFY(!Forms::IsLoaded<frmSplitter>());
    QCOMPARE(conv->closeConverterCalls, 1);
}

void tst_splitter::splitModeBoxes()
{
    Fixture f(30000);
    QVERIFY(f.w->ptnSplitByParts->isChecked());
    QCOMPARE(f.w->txtSplitParts->text(), QStringLiteral("6"));
    QCOMPARE(f.w->txtSplitSecs->text(), QStringLiteral("10"));
    QVERIFY(f.w->txtSplitParts->isEnabled());
    QVERIFY(!f.w->txtSplitSecs->isEnabled());
    f.w->ptnSplitBySecs->click();
    QVERIFY(!f.w->txtSplitParts->isEnabled());
    QVERIFY(f.w->txtSplitSecs->isEnabled());
    // The count box drops the characters a name cannot hold and takes any other key.
    f.w->txtSplitSecs->clear();
    QTest::keyClicks(f.w->txtSplitSecs, QStringLiteral("1/2*x"));
    QCOMPARE(f.w->txtSplitSecs->text(), QStringLiteral("12x"));
}

// A source the component cannot read is refused with the component's own reason, not as
// a source too short for the parts.
void tst_splitter::unreadableSourceSaysWhy()
{
    Fixture f(30000);
    f.w->g_sFileToSplit = f.platform.path(QStringLiteral("music/other.wav"));
    f.platform.messages().answers.enqueue(vbOK);
    f.w->cmdConvert_Click();
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt,
             QStringLiteral("The file \"%1\" cannot be read.").arg(f.w->g_sFileToSplit));
    QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation + vbOKOnly);
    QVERIFY(f.conv()->started.isEmpty());
    QVERIFY(!f.w->IsBusy());
}

void tst_splitter::sourceThatChangesDuringTheJob_data()
{
    // What happens to the source, and when: "truncated" while part 2 is written (the
    // component fails the part saying so), "replaced" by another file, "removed", or
    // "rewritten" with the same size, each after part 1 was started; "asked" truncated
    // while the question about part 2's existing file stands open; "short only": part 2
    // comes out short of an unchanged source (its length was probed wrong), which is no
    // change.
    QTest::addColumn<QString>("change");
    QTest::addColumn<int>("started");  // parts started
    QTest::addColumn<int>("done");     // parts logged "Done."
    QTest::addColumn<QString>("ending");
    const QString changed = QStringLiteral("Done. 2 of 3 failed: see the Log.");
    QTest::newRow("truncated while part 2 is written") << "truncated" << 2 << 1 << changed;
    QTest::newRow("replaced") << "replaced" << 1 << 1 << changed;
    QTest::newRow("removed") << "removed" << 1 << 1 << changed;
    QTest::newRow("rewritten, same size") << "rewritten" << 1 << 1 << changed;
    QTest::newRow("changed while asked about part 2") << "asked" << 1 << 1 << changed;
    QTest::newRow("short only") << "short only" << 3 << 3 << "Done.";
}

// Every part of a split comes from the file the job began on: when it is no longer that
// file, unchanged, the part fails with "The source file changed during the job.", no
// further part is written, and the job ends telling how many parts failed.
void tst_splitter::sourceThatChangesDuringTheJob()
{
    QFETCH(QString, change);
    QFETCH(int, started);
    QFETCH(int, done);
    QFETCH(QString, ending);
    Fixture f(30000, FakeAutoFinish::None);
    f.w->txtSplitParts->setText(QStringLiteral("3"));
    QVERIFY(QDir().mkpath(f.platform.path(QStringLiteral("music"))));
    const QByteArray bytes(30000, 'x');
    QVERIFY(TestFiles::WriteBytes(f.source, bytes));
    // Part 2 writes 5 of its 10 seconds.
    if (change == QLatin1String("short only"))
        f.conv()->writtenMs = {10000, 5000, 10000};
    if (change == QLatin1String("asked")) {
        QVERIFY(QDir().mkpath(f.dest));
        QVERIFY(TestFiles::WriteBytes(f.dest + QStringLiteral("Part_2_song.WAV"), "older"));
        f.platform.messages().answers.enqueue(vbYes);
        f.platform.messages().whileShown = [&f] { QFile(f.source).resize(15000); };
    }
    f.w->cmdConvert_Click();
    if (change == QLatin1String("replaced")) {
        const QString other = f.platform.path(QStringLiteral("music/other.wav"));
        QVERIFY(TestFiles::WriteBytes(other, bytes));
        QVERIFY(std::rename(QFile::encodeName(other).constData(), QFile::encodeName(f.source).constData()) == 0);
    } else if (change == QLatin1String("removed")) {
        QVERIFY(QFile::remove(f.source));
    } else if (change == QLatin1String("rewritten")) {
        QVERIFY(TestFiles::WriteBytes(f.source, QByteArray(30000, 'y')));
        QFile file(f.source);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)), QFileDevice::FileModificationTime));
    }
    f.conv()->finishDone();
    if (change == QLatin1String("truncated")) {
        QVERIFY(QFile(f.source).resize(15000));
        f.conv()->finishError(kErrSourceChanged, QStringLiteral("The source file changed during the job."));
    }
    while (f.conv()->isRunning())
        f.conv()->finishDone();

    QVERIFY(!f.w->IsBusy());
    QCOMPARE(f.conv()->started.size(), started);
    const QStringList log = f.logMessages();
    QCOMPARE(log.count(QStringLiteral("Done.")), done);
    QCOMPARE(log.count(QStringLiteral("Error: The source file changed during the job.(14)")),
             ending == QLatin1String("Done.") ? 0 : 1);
    if (ending != QLatin1String("Done."))
        QCOMPARE(log.mid(log.size() - 2, 1), QStringList{"Error: The source file changed during the job.(14)"});
    QCOMPARE(f.w->lblCurrentTrack->text(), ending);
    QCOMPARE(f.host.BalloonMessages(), QStringList{ending});
    QCOMPARE(f.w->JobError(), ending != QLatin1String("Done."));
}

QTEST_MAIN(tst_splitter)
#include "tst_splitter.moc"
