// The audio joiner window over the join component's fake: loading, the list handed to the
// component (order, ranges, tags of the first row), the joined file's name and folder,
// the overwrite question, the refusals that stop a join before it starts, progress with
// its "Add" lines, Done with the end-of-job actions, Error, Abort and the close guard.
#include "common/frmTurnOff.h"
#include "common/mdlModes.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cGrid/cGrid.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTabControl/cTabControl.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "settings/mdlOptions.h"
#include "tests/support/FakeAudioComponents.h"
#include "tests/support/FakeToolFixture.h"
#include "tests/support/JobLog.h"
#include "tests/support/TestFiles.h"
#include "tests/support/ToolRows.h"
#include "tests/support/ToolTexts.h"
#include "tools/converters/frmJoiner.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

using namespace ToolTexts;

namespace {

// A program folder, the fake join component, the main window's stand-in and a joiner
// loaded as the launch loads it, with three rows, joining to MP3 into "out/".
struct Fixture : FakeToolFixture {
    frmJoiner* w = nullptr;

    explicit Fixture(FakeAutoFinish finish = FakeAutoFinish::None)
    {
        fakes.setupJoin = [finish](FakeAudioJoin* j) { j->autoFinish = finish; };
        makeFolders();
        w = g_frmJoiner();
        w->txtToPath->setEditText(dest);
        SelectListText(w->cboTargetFormat, kMp3);
        for (const char* name : {"one.wav", "two.flac", "three.mp3"})
            addRow(QString::fromLatin1(name));
    }
    FakeAudioJoin* join() const { return qobject_cast<FakeAudioJoin*>(w->cAudioJoin1); }

    qint32 addRow(const QString& name)
    {
        const qint32 row = ToolRows::AddStandIn(w->cGrid1, music(QString()), name);
        SetRowText(w->cGrid1, row, QStringLiteral("COL_TAG_TITLE"), QStringLiteral("Title of ") + name);
        return row;
    }
    void setRange(qint32 row, const QString& start, const QString& length)
    {
        ToolRows::SetRange(w->cGrid1, row, start, length);
    }
    // The log without the time in front of each line.
    QStringList log() const { return JobLogLines(w->txtLog); }
    QStringList startedCalls() const { return join()->calls.filter(QStringLiteral("StartJoin")); }
};

} // namespace

class tst_joiner : public QObject
{
    Q_OBJECT
private slots:
    void loadsTheWindow();
    void handsTheRowsInGridOrder();
    void joinedFileName_data();
    void joinedFileName();
    void subFolder_data();
    void subFolder();
    void overwriteQuestion_data();
    void overwriteQuestion();
    void refusedBeforeItStarts_data();
    void refusedBeforeItStarts();
    void progressAnnouncesEachEntryOnce();
    void doneRunsTheEndActions();
    void errorLeavesTheWindowIdle();
    void abortQuestion();
    void secondJoinAfterAnAbort();
    void closeGuard();
};

void tst_joiner::loadsTheWindow()
{
    Fixture f;
    frmJoiner* w = f.w;
    QCOMPARE(w->windowTitle(), QStringLiteral("Audio Joiner"));
    QCOMPARE(w->lblTitle->text(), QStringLiteral("Audio Joiner"));
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Ready."));
    QCOMPARE(w->cmdConvert->text(), QStringLiteral("Join"));
    QCOMPARE(w->cTabControl1->TabCaption(1), QStringLiteral("Joiner Options        "));
    QCOMPARE(w->cTabControl1->TabImage(1), 64);
    QCOMPARE(w->cTabControl1->TabKey(1), QStringLiteral("Settings"));
    QVERIFY(w->TabSettings->isVisibleTo(w));
    QCOMPARE(w->txtJoinedFileName->text(), QStringLiteral("Joined_File-[date]-[time].[dest_extension]"));
    QVERIFY(!w->txtUndeForlder->isEnabled());
    QVERIFY(!w->chkOverWrite);  // an existing output is always asked about
    QCOMPARE(w->cStatusBar1->PanelCount(), 2);
    // The Events page from the top: sound, folder, turn-off, external program.
    QList<int> tops;
    for (QWidget* box : {static_cast<QWidget*>(w->chkPlaySound), static_cast<QWidget*>(w->chkOpenDestFolder),
                         static_cast<QWidget*>(w->chkTurnOffComputer), static_cast<QWidget*>(w->chkNoticeApp)})
        tops << box->y();
    QVERIFY(std::is_sorted(tops.begin(), tops.end()) && tops.first() < tops.last());
    QCOMPARE(w->chkPlaySound->text(), QStringLiteral("Play sound"));
    QCOMPARE(w->chkNoticeApp->text(), QStringLiteral("Notice application "));
    QCOMPARE(w->LastEntry(), 0);

    // A later opening starts from the design again, whatever was typed before.
    w->txtJoinedFileName->setText(QStringLiteral("mine.[dest_extension]"));
    QVERIFY(Forms::Unload(w));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(g_frmJoiner()->txtJoinedFileName->text(), QStringLiteral("Joined_File-[date]-[time].[dest_extension]"));
}

// The list is emptied first, then gets every row in grid order, each whole or with its
// range; the tags come from row 1 whatever row is current.
void tst_joiner::handsTheRowsInGridOrder()
{
    Fixture f;
    f.setRange(2, QStringLiteral("30"), QStringLiteral("45"));
    qint32 s = -1, l = -1;
    f.join()->AddFile(QStringLiteral("/left/over.wav"), s, l);
    f.join()->AddFile(QStringLiteral("/left/over2.wav"), s, l);
    f.join()->calls.clear();
    f.w->cGrid1->SetCurrentRow(3);
    f.w->txtJoinedFileName->setText(QStringLiteral("all.[dest_extension]"));
    f.w->cmdConvert_Click();

    QCOMPARE(f.join()->calls, (QStringList{"RemoveFile 1", "RemoveFile 1", "AddFile " + f.music("one.wav") + " -1 -1",
                                           "AddFile " + f.music("two.flac") + " 30 45",
                                           "AddFile " + f.music("three.mp3") + " -1 -1", "StartJoin"}));
    const FakeJoinRecord& r = f.join()->started[0];
    QCOMPARE(r.entries.size(), 3);
    QCOMPARE(r.job.output, f.dest + "all.mp3");
    QCOMPARE(r.job.format, 3);
    QCOMPARE(r.job.tags.Title, QStringLiteral("Title of one.wav"));
    QCOMPARE(f.log(), (QStringList{"Preparing to join: 3 tracks.", "Destination format: MP3"}));
    QVERIFY(f.w->IsBusy());
    QVERIFY(!f.w->cmdExit->isEnabled());
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Processing..."));
    QCOMPARE(f.w->prgTotal->Max(), 300);
    QVERIFY(f.w->TabLog->isVisibleTo(f.w));
    QCOMPARE(f.w->txtToPath->itemText(0), f.dest);
}

void tst_joiner::joinedFileName_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");  // of the output's file name
    QTest::newRow("design text, MP3") << kMp3 << "Joined_File-[date]-[time].[dest_extension]"
                                      << "^Joined_File-[^/]+-\\d\\d-\\d\\d-\\d\\d\\.mp3$";
    QTest::newRow("design text, WAV") << kWav << "Joined_File-[date]-[time].[dest_extension]"
                                      << "^Joined_File-.*\\.wav$";
    QTest::newRow("item placeholders stay") << kMp3 << "[123]-[item_name].[dest_extension]"
                                            << "^\\[123\\]-\\[item_name\\]\\.mp3$";
}

void tst_joiner::joinedFileName()
{
    QFETCH(QString, format);
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    Fixture f;
    SelectListText(f.w->cboTargetFormat, format);
    f.w->txtJoinedFileName->setText(text);
    f.w->cmdConvert_Click();
    const QString output = f.join()->started[0].job.output;
    QVERIFY(output.startsWith(f.dest));
    QVERIFY2(QRegularExpression(pattern).match(output.mid(f.dest.size())).hasMatch(), qPrintable(output));
}

void tst_joiner::subFolder_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("folder");  // below the destination
    QTest::newRow("named") << "Live" << "Live/";
    QTest::newRow("empty name") << "" << "";
}

// With the sub-folder ticked the folder is made before the join, the output goes into it,
// and the end action opens it.
void tst_joiner::subFolder()
{
    QFETCH(QString, name);
    QFETCH(QString, folder);
    Fixture f;
    f.w->chkCreateSubFolder->SetValue(1);
    f.w->txtUndeForlder->setText(name);
    f.w->chkOpenDestFolder->SetValue(1);
    f.w->txtJoinedFileName->setText(QStringLiteral("all.mp3"));
    f.w->cmdConvert_Click();
    QVERIFY(QFileInfo(f.dest + folder).isDir());
    QCOMPARE(f.join()->started[0].job.output, f.dest + folder + "all.mp3");
    f.join()->finishDone();
    QCOMPARE(f.platform.shell().opened, QStringList{f.dest + folder});
}

void tst_joiner::overwriteQuestion_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("started");
    QTest::newRow("Yes overwrites") << "all.mp3" << int(vbYes) << true;
    QTest::newRow("No starts nothing") << "all.mp3" << int(vbNo) << false;
    QTest::newRow("Cancel starts nothing") << "all.mp3" << int(vbCancel) << false;
    QTest::newRow("a dot-file counts as existing") << ".all.mp3" << int(vbNo) << false;
}

void tst_joiner::overwriteQuestion()
{
    QFETCH(QString, name);
    QFETCH(int, answer);
    QFETCH(bool, started);
    Fixture f;
    f.w->txtJoinedFileName->setText(name);
    TestFiles::WriteBytes(f.dest + name, "older");
    f.platform.messages().answers.enqueue(answer);
    f.w->cmdConvert_Click();

    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, kOverwrite.arg(f.dest + name));
    QCOMPARE(f.platform.messages().shown[0].buttons, vbYesNoCancel + vbInformation);
    QStringList log{"Preparing to join: 3 tracks.", "Destination format: MP3", "File already exists."};
    if (started)
        log << "Overwrite it...";
    QCOMPARE(f.log(), log);
    QCOMPARE(f.startedCalls().size(), started ? 1 : 0);
    QCOMPARE(f.w->IsBusy(), started);
    QCOMPARE(f.w->lblCurrentTrack->text(), started ? QStringLiteral("Processing...") : QStringLiteral("Ready."));
    QVERIFY(f.host.BalloonMessages().isEmpty());
}

void tst_joiner::refusedBeforeItStarts_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("length");
    QTest::addColumn<QString>("name");  // of the output
    QTest::addColumn<QString>("error");
    const QString notWhole = QStringLiteral("Error: The range of \"two.flac\" (start \"%1\", length \"%2\") is not a whole "
                                            "number of seconds.(9)");
    QTest::newRow("start is text") << "abc" << "10" << "all.mp3" << notWhole.arg("abc", "10");
    QTest::newRow("length has a fraction") << "1" << "2.5" << "all.mp3" << notWhole.arg("1", "2.5");
    QTest::newRow("empty cells") << "" << "" << "all.mp3" << notWhole.arg("", "");
    QTest::newRow("empty name: never the folder itself")
        << "1" << "2" << "" << "Error: The file name format gives the joined file an empty name.(5)";
    QTest::newRow("a name of blanks only") << "1" << "2" << "   "
                                           << "Error: The file name format gives the joined file an empty name.(5)";
    QTest::newRow("name of a folder") << "1" << "2" << ".."
                                      << "Error: The output \"%1\" is a folder, not a file.(5)";
    QTest::newRow("output is an input") << "1" << "2" << "../music/three.mp3"
                                        << "Error: The output file \"%1\" is one of the files to join; it is left "
                                           "untouched.(4)";
}

// A row that cannot be joined, or an output that is one of the inputs, stops the join
// before it starts: an error line, no question, nothing started, the window idle.
void tst_joiner::refusedBeforeItStarts()
{
    QFETCH(QString, start);
    QFETCH(QString, length);
    QFETCH(QString, name);
    QFETCH(QString, error);
    Fixture f;
    f.setRange(2, start, length);
    f.w->txtJoinedFileName->setText(name);
    const QByteArray before = TestFiles::ReadBytes(f.music(QStringLiteral("three.mp3")));
    f.w->cmdConvert_Click();
    if (error.contains(QLatin1String("%1")))
        error = error.arg(f.dest + name);
    QCOMPARE(f.log().last(), error);
    QVERIFY(f.platform.messages().shown.isEmpty());
    QVERIFY(f.startedCalls().isEmpty());
    QVERIFY(!f.w->IsBusy());
    QVERIFY(f.w->JobError());
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Failed: see the Log."));
    QCOMPARE(f.host.BalloonMessages(), QStringList{"Failed: see the Log."});
    QCOMPARE(TestFiles::ReadBytes(f.music(QStringLiteral("three.mp3"))), before);
}

void tst_joiner::progressAnnouncesEachEntryOnce()
{
    Fixture f;
    f.w->cmdConvert_Click();
    FakeAudioJoin* j = f.join();
    j->emitProgress(1, 0);
    QCOMPARE(f.w->windowTitle(), QStringLiteral("Audio Joiner"));
    QCOMPARE(f.w->prgTotal->Value(), 0);
    QCOMPARE(f.w->LastEntry(), 0);
    j->emitProgress(1, 5);
    j->emitProgress(1, 60);
    j->emitProgress(2, 0);
    QCOMPARE(f.w->lblFilesToConvert->text(), QStringLiteral("Files: 1/3"));
    j->emitProgress(2, 1);
    QCOMPARE(f.w->prgCurrnet->Value(), 1);
    QCOMPARE(f.w->prgTotal->Value(), 101);
    QCOMPARE(f.w->lblFilesToConvert->text(), QStringLiteral("Files: 2/3"));
    QCOMPARE(f.w->windowTitle(), DisplayName());
    j->emitProgress(3, 40);
    QCOMPARE(f.log().mid(2), (QStringList{"Add one.wav...", "Add two.flac...", "Add three.mp3..."}));
    QCOMPARE(f.w->LastEntry(), 3);
}

void tst_joiner::doneRunsTheEndActions()
{
    Fixture f;
    f.w->chkPlaySound->SetValue(1);
    f.w->chkTurnOffComputer->SetValue(1);
    f.platform.modal().handlers.enqueue([](VForm* form) { static_cast<frmTurnOff*>(form)->cmdCancel->click(); });
    f.w->cmdConvert_Click();
    f.join()->emitProgress(3, 50);
    f.join()->finishDone();
    QCOMPARE(f.host.BalloonMessages(), QStringList{"Done."});
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Done."));
    QCOMPARE(f.log().last(), QStringLiteral("Done."));
    QCOMPARE(f.w->prgCurrnet->Value(), 100);
    QCOMPARE(f.w->prgTotal->Value(), 300);
    QVERIFY(!f.w->IsBusy());
    QVERIFY(f.w->cmdExit->isEnabled());
    QCOMPARE(f.platform.sound().played.size(), 1);
    QCOMPARE(f.platform.modal().shown, QStringList{"frmTurnOff"});
}

// A failed join: the error line, the window idle, the status line, caption and balloon
// saying it failed; no end action runs, as there is no joined file (nor does a Done that
// still came turn the computer off).
void tst_joiner::errorLeavesTheWindowIdle()
{
    Fixture f;
    f.w->chkPlaySound->SetValue(1);
    f.w->chkTurnOffComputer->SetValue(1);
    f.w->cmdConvert_Click();
    f.join()->finishError(12, QStringLiteral("The encoder failed."));
    QCOMPARE(f.log().last(), QStringLiteral("Error: The encoder failed.(12)"));
    QVERIFY(!f.w->IsBusy());
    const QString failed = QStringLiteral("Failed: see the Log.");
    QCOMPARE(f.w->lblCurrentTrack->text(), failed);
    QCOMPARE(f.w->windowTitle(), failed);
    QCOMPARE(f.host.BalloonMessages(), QStringList{failed});
    QCOMPARE(f.platform.sound().played.size(), 0);
    QVERIFY(f.w->JobError());
    f.w->cAudioJoin1_Done();
    QVERIFY(f.platform.modal().shown.isEmpty());
}

void tst_joiner::abortQuestion()
{
    Fixture f;
    const QString question = QStringLiteral("Abort operation?") + QString(38, u' ');
    f.w->cmdAbort_Click();  // idle: nothing
    QVERIFY(f.platform.messages().shown.isEmpty());

    f.w->cmdConvert_Click();
    f.platform.messages().answers.enqueue(vbNo);
    f.w->cmdAbort_Click();
    QCOMPARE(f.platform.messages().shown.last().prompt, question);
    QVERIFY(!f.join()->calls.contains(QStringLiteral("Abort")));

    f.platform.messages().answers.enqueue(vbYes);
    f.w->cmdAbort_Click();
    QCOMPARE(f.join()->calls.mid(f.join()->calls.indexOf(QStringLiteral("StartJoin")) + 1),
             (QStringList{"Abort", "Reset"}));
    QCOMPARE(f.host.BalloonMessages(), QStringList{"Aborted."});
    QVERIFY(f.w->IsBusy());  // until the component confirms
    f.join()->finishAborted();
    QCOMPARE(f.log().last(), QStringLiteral("Aborted."));
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Aborted."));
    QVERIFY(!f.w->IsBusy());
}

// A second join in the same window starts after an empty line and announces its first
// entry again, also when the first join was aborted during its first entry.
void tst_joiner::secondJoinAfterAnAbort()
{
    Fixture f;
    f.w->cmdConvert_Click();
    f.join()->emitProgress(1, 10);
    f.join()->finishAborted();
    f.w->cmdConvert_Click();
    f.join()->emitProgress(1, 10);
    const QStringList log = f.log();
    QCOMPARE(log.count(QStringLiteral("Add one.wav...")), 2);
    QCOMPARE(log[log.indexOf(QStringLiteral("Aborted.")) + 1], QString());
    QCOMPARE(f.startedCalls().size(), 2);
    QCOMPARE(f.join()->started[1].entries.size(), 3);
}

void tst_joiner::closeGuard()
{
    Fixture f;
    f.w->cmdConvert_Click();
    int cancel = 0;
    f.w->Form_Unload(cancel);
    QCOMPARE(cancel, 1);
    QVERIFY(!Forms::Unload(f.w));
    QVERIFY(!f.join()->calls.contains(QStringLiteral("Close")));
    f.join()->finishDone();
    FakeAudioJoin* j = f.join();
    QVERIFY(Forms::Unload(f.w));
    QCOMPARE(j->calls.count(QStringLiteral("Close")), 1);
}

QTEST_MAIN(tst_joiner)
#include "tst_joiner.moc"
