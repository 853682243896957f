// What the splitter, the audio converter, the ACM converter and the joiner share, over
// the components' fakes: how a job starts (the destination refused, created or used as
// typed; a source that is gone; the format the names carry) and how it ends when items
// fail; and the time-left estimate of the item jobs over rows shorter than its tick.
#include "common/frmTurnOff.h"
#include "common/mdlModes.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "tests/support/FakeAudioComponents.h"
#include "tests/support/FakeToolFixture.h"
#include "tests/support/JobLog.h"
#include "tests/support/TestFiles.h"
#include "tests/support/ToolRows.h"
#include "tests/support/ToolTexts.h"
#include "tools/converters/frmACMConverter.h"
#include "tools/converters/frmConverter.h"
#include "tools/converters/frmJoiner.h"
#include "tools/splitter/frmSplitter.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace ToolTexts;

namespace {

// One of the four windows, loaded as the launch loads it, writing MP3 into "out/": the
// splitter on a 20-second "a.wav" in 2 parts, the converters and the joiner on the rows
// "a.wav" and "b.wav". The components' jobs end when the test ends them.
struct Tool : FakeToolFixture {
    QString kind;
    ToolWindow* w = nullptr;

    explicit Tool(const QString& which) : kind(which)
    {
        fakes.setupConverter = [this](FakeAudioConverter* f) {
            FakeFileScript script;
            script.durationMs = 20000;
            f->files[music(QStringLiteral("a.wav"))] = script;
        };
        makeFolders();
        w = ToolRows::OpenItemsTool(kind, music(QStringLiteral("a.wav")), 2);
        addRow(QStringLiteral("a.wav"));
        if (kind != QLatin1String("splitter"))
            addRow(QStringLiteral("b.wav"));
        w->txtToPath->setEditText(dest);
        if (w->cboTargetFormat)
            SelectListText(w->cboTargetFormat, kMp3);
    }
    // A row of the file `name` in the music folder ("live/a.wav" in a folder of its own).
    qint32 addRow(const QString& name, const QString& time = QStringLiteral("00:00:10"))
    {
        return ToolRows::AddStandIn(w->cGrid1, music(QString()), name, time);
    }
    void setRange(qint32 row, const QString& start, const QString& length)
    {
        ToolRows::SetRange(w->cGrid1, row, start, length);
    }
    bool joins() const { return kind == QLatin1String("joiner"); }
    FakeAudioConverter* conv() const
    {
        if (auto* s = qobject_cast<frmSplitter*>(w))
            return qobject_cast<FakeAudioConverter*>(s->cAudioConverter1);
        if (auto* c = qobject_cast<ConverterToolWindow*>(w))
            return qobject_cast<FakeAudioConverter*>(c->cAudioConverter1);
        return nullptr;
    }
    FakeAudioJoin* join() const
    {
        auto* j = qobject_cast<frmJoiner*>(w);
        return j ? qobject_cast<FakeAudioJoin*>(j->cAudioJoin1) : nullptr;
    }
    // The outputs the component was started on.
    QStringList outputs() const
    {
        if (!joins())
            return StartedOutputs(conv());
        QStringList out;
        for (const FakeJoinRecord& r : join()->started)
            out << r.job.output;
        return out;
    }
    // The first output's path in `folder` when the tool writes MP3 (the ACM converter
    // always writes WAV); for the converters the output of `row`.
    QString output(const QString& folder, qint32 row = 1) const
    {
        if (kind == QLatin1String("splitter"))
            return folder + QStringLiteral("Part_1_a.MP3");
        if (joins())
            return folder + QStringLiteral("all.mp3");
        return folder + (row == 1 ? QStringLiteral("a.") : QStringLiteral("b."))
            + (kind == QLatin1String("ACM converter") ? QStringLiteral("wav") : QStringLiteral("mp3"));
    }
    // Ends the running item as it went.
    void finish(bool ok)
    {
        if (joins())
            ok ? join()->finishDone() : join()->finishError(6, QStringLiteral("Cannot write the output file."));
        else
            ok ? conv()->finishDone() : conv()->finishError(6, QStringLiteral("Cannot write the output file."));
    }
    bool running() const { return joins() ? join()->isRunning() : conv()->isRunning(); }
    QStringList log() const { return JobLogLines(w->txtLog); }
};

void twoConverters()
{
    QTest::addColumn<QString>("tool");
    QTest::newRow("converter") << "converter";
    QTest::newRow("ACM converter") << "ACM converter";
}

void fourTools()
{
    QTest::addColumn<QString>("tool");
    for (const char* tool : {"splitter", "converter", "ACM converter", "joiner"})
        QTest::newRow(tool) << QString::fromLatin1(tool);
}

} // namespace

class tst_itemtools : public QObject
{
    Q_OBJECT
private slots:
    void emptyDestinationIsRefused_data() { fourTools(); }
    void emptyDestinationIsRefused();
    void missingDestinationIsCreated_data() { fourTools(); }
    void missingDestinationIsCreated();
    void destinationThatCannotBeCreated_data() { fourTools(); }
    void destinationThatCannotBeCreated();
    void typedDestinationIsNotCompleted_data() { fourTools(); }
    void typedDestinationIsNotCompleted();
    void goneSourceIsSaidBeforeTheOverwriteQuestion_data();
    void goneSourceIsSaidBeforeTheOverwriteQuestion();
    void namesCarryTheFormatWrittenWithNoneChosen_data();
    void namesCarryTheFormatWrittenWithNoneChosen();
    void endings_data();
    void endings();
    void timeLeftOverRowsShorterThanATick_data();
    void timeLeftOverRowsShorterThanATick();
    void noRowReplacesWhatAnEarlierRowWrote_data();
    void noRowReplacesWhatAnEarlierRowWrote();
    void noRowWritesOverAnotherRowsSource_data();
    void noRowWritesOverAnotherRowsSource();
    void boxesChangedDuringAJobChangeTheNextJob_data() { fourTools(); }
    void boxesChangedDuringAJobChangeTheNextJob();
};

void tst_itemtools::emptyDestinationIsRefused()
{
    QFETCH(QString, tool);
    Tool t(tool);
    const QStringList history = [&] {
        QStringList out;
        for (int i = 0; i < t.w->txtToPath->count(); ++i)
            out << t.w->txtToPath->itemText(i);
        return out;
    }();
    t.w->txtToPath->setEditText(QStringLiteral("  "));
    t.platform.messages().answers.enqueue(vbOK);
    t.w->cmdConvert->click();

    const QString text = QStringLiteral("Choose a destination folder first: the output files are written into it.");
    QCOMPARE(t.platform.messages().shown.size(), 1);
    QCOMPARE(t.platform.messages().shown[0].prompt, text);
    QCOMPARE(t.platform.messages().shown[0].buttons, vbOKOnly + vbInformation);
    QCOMPARE(t.log(), QStringList{text});
    // Nothing started, nothing written, nothing kept in the history.
    QVERIFY(t.outputs().isEmpty());
    QCOMPARE(t.w->txtToPath->count(), history.size());
    QVERIFY(!t.w->IsBusy());
    QCOMPARE(t.w->lblCurrentTrack->text(), QStringLiteral("Ready."));
    QVERIFY(t.host.BalloonMessages().isEmpty());
}

void tst_itemtools::missingDestinationIsCreated()
{
    QFETCH(QString, tool);
    Tool t(tool);
    // Typed without its final slash, the sub-folder not asked for.
    const QString folder = t.platform.path(QStringLiteral("new/dest"));
    t.w->txtToPath->setEditText(folder);
    t.w->cmdConvert->click();
    QVERIFY(QFileInfo(folder).isDir());
    QCOMPARE(t.outputs().value(0), t.output(folder + u'/'));
    QVERIFY(t.platform.messages().shown.isEmpty());
}

void tst_itemtools::destinationThatCannotBeCreated()
{
    QFETCH(QString, tool);
    Tool t(tool);
    QVERIFY(TestFiles::WriteBytes(t.platform.path(QStringLiteral("afile")), "x"));
    const QString folder = t.platform.path(QStringLiteral("afile/parts/"));
    t.w->txtToPath->setEditText(folder);
    t.platform.messages().answers.enqueue(vbOK);
    t.w->cmdConvert->click();

    const QString text = QStringLiteral("The path: ") + folder + QStringLiteral(" cannot be created.");
    QCOMPARE(t.platform.messages().shown.size(), 1);
    QCOMPARE(t.platform.messages().shown[0].prompt, text);
    QCOMPARE(t.log().last(), text);
    QVERIFY(t.outputs().isEmpty());
    QVERIFY(!t.w->IsBusy());
    QVERIFY(t.host.BalloonMessages().isEmpty());
}

// The history holds a folder whose name begins with what the user types: the job writes
// into the folder typed, not into that one.
void tst_itemtools::typedDestinationIsNotCompleted()
{
    QFETCH(QString, tool);
    Tool t(tool);
    const QString longer = t.platform.path(QStringLiteral("fifty2/"));
    t.w->txtToPath->setEditText(longer);
    t.w->lblSetAsDefaultDestination_Click();  // the folder becomes the newest of the history
    QCOMPARE(t.w->txtToPath->itemText(0), longer);

    const QString typed = t.platform.path(QStringLiteral("fifty"));
    t.w->show();
    t.w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(t.w));
    t.w->txtToPath->setFocus();
    t.w->txtToPath->lineEdit()->clear();
    QTest::keyClicks(t.w->txtToPath->lineEdit(), typed);
    QCOMPARE(t.w->txtToPath->currentText(), typed);
    t.w->cmdConvert->click();
    QCOMPARE(t.outputs().value(0), t.output(typed + u'/'));
    QVERIFY(!QFileInfo::exists(longer));
}

void tst_itemtools::goneSourceIsSaidBeforeTheOverwriteQuestion_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("ending");
    QTest::newRow("converter") << "converter" << "Done. 1 of 2 failed: see the Log.";
    QTest::newRow("ACM converter") << "ACM converter" << "Done. 1 of 2 failed: see the Log.";
    QTest::newRow("joiner") << "joiner" << "Failed: see the Log.";
}

// The first row's file was removed after it was listed, and its output exists: nothing
// asks whether to overwrite that output; the row fails with what happened to its file.
void tst_itemtools::goneSourceIsSaidBeforeTheOverwriteQuestion()
{
    QFETCH(QString, tool);
    QFETCH(QString, ending);
    Tool t(tool);
    const QString gone = t.music(QStringLiteral("a.wav"));
    QVERIFY(QFile::remove(gone));
    const QString output = t.output(t.dest);
    QVERIFY(TestFiles::WriteBytes(output, "older"));
    t.w->cmdConvert->click();
    if (t.running())
        t.finish(true);

    QVERIFY(t.platform.messages().shown.isEmpty());
    QVERIFY(t.log().contains(QStringLiteral("Error: The file \"%1\" does not exist.(1)").arg(gone)));
    QVERIFY(!t.outputs().contains(output));
    QCOMPARE(TestFiles::ReadBytes(output), QByteArray("older"));
    QCOMPARE(t.w->lblCurrentTrack->text(), ending);
}

void tst_itemtools::namesCarryTheFormatWrittenWithNoneChosen_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("name");
    QTest::newRow("splitter") << "splitter" << "Part_1_a.WAV";
    QTest::newRow("converter") << "converter" << "a.wav";
    QTest::newRow("joiner") << "joiner" << "all.wav";
}

// With no target format chosen the component is handed WAV, and the names say so.
void tst_itemtools::namesCarryTheFormatWrittenWithNoneChosen()
{
    QFETCH(QString, tool);
    QFETCH(QString, name);
    Tool t(tool);
    t.w->cboTargetFormat->setCurrentIndex(-1);
    t.w->cmdConvert->click();
    QCOMPARE(t.outputs().value(0), t.dest + name);
    QVERIFY(t.log().contains(QStringLiteral("Destination format: WAV")));
}

void tst_itemtools::endings_data()
{
    // How each item goes: ok, err (the component reports an error), refused (a range
    // that is not whole seconds: refused before it starts), no (its output exists and the
    // user answers No).
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("ending");
    const QString done = QStringLiteral("Done.");
    const QString half = QStringLiteral("Done. 1 of 2 failed: see the Log.");
    const QString all = QStringLiteral("Failed: see the Log.");
    for (const char* tool : {"splitter", "converter", "ACM converter"}) {
        const QString t = QString::fromLatin1(tool);
        QTest::addRow("%s, all written", tool) << t << QStringList{"ok", "ok"} << done;
        QTest::addRow("%s, the first failed", tool) << t << QStringList{"err", "ok"} << half;
        QTest::addRow("%s, the last failed", tool) << t << QStringList{"ok", "err"} << half;
        QTest::addRow("%s, all failed", tool) << t << QStringList{"err", "err"} << all;
    }
    for (const char* tool : {"converter", "ACM converter"}) {
        const QString t = QString::fromLatin1(tool);
        QTest::addRow("%s, one refused", tool) << t << QStringList{"refused", "ok"} << half;
        QTest::addRow("%s, refused and failed", tool) << t << QStringList{"err", "refused"} << all;
        QTest::addRow("%s, one not overwritten", tool) << t << QStringList{"no", "ok"} << done;
        QTest::addRow("%s, one not overwritten, one failed", tool) << t << QStringList{"no", "err"} << half;
    }
    QTest::newRow("joiner, written") << "joiner" << QStringList{"ok"} << done;
    QTest::newRow("joiner, failed") << "joiner" << QStringList{"err"} << all;
    QTest::newRow("joiner, refused") << "joiner" << QStringList{"refused"} << all;
}

// A job ends "Done." with the end-of-job actions when every item was written; when some
// or all failed, the status line, the caption and the balloon say so, and the computer
// is not turned off. A failed join wrote nothing, so none of its actions run.
void tst_itemtools::endings()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, items);
    QFETCH(QString, ending);
    Tool t(tool);
    t.w->chkPlaySound->SetValue(1);
    t.w->chkTurnOffComputer->SetValue(1);
    const bool written = !items.contains(QStringLiteral("err")) && !items.contains(QStringLiteral("refused"));
    if (written)
        t.platform.modal().handlers.enqueue([](VForm* form) { static_cast<frmTurnOff*>(form)->cmdCancel->click(); });
    for (int i = 0; i < items.size(); ++i) {
        if (items[i] == QLatin1String("refused"))
            t.setRange(i + 1, QStringLiteral("1.5"), QStringLiteral("2"));
        if (items[i] == QLatin1String("no")) {
            QVERIFY(TestFiles::WriteBytes(t.output(t.dest, i + 1), "older"));
            t.platform.messages().answers.enqueue(vbNo);
        }
    }
    t.w->cmdConvert->click();
    for (const QString& item : items) {
        if (item == QLatin1String("ok") || item == QLatin1String("err")) {
            QVERIFY(t.running());
            t.finish(item == QLatin1String("ok"));
        }
    }

    QVERIFY(!t.w->IsBusy());
    QCOMPARE(t.w->lblCurrentTrack->text(), ending);
    QCOMPARE(t.host.BalloonMessages(), QStringList{ending});
    // The caption tells a failure in every tool; "Done." only in the audio converter's.
    QCOMPARE(t.w->windowTitle() == ending, !written || tool == QLatin1String("converter"));
    const bool joinFailed = tool == QLatin1String("joiner") && !written;
    QCOMPARE(t.platform.sound().played.size(), joinFailed ? 0 : 1);
    QCOMPARE(t.platform.modal().shown, written ? QStringList{"frmTurnOff"} : QStringList{});
    QCOMPARE(t.w->JobError(), !written);
}

void tst_itemtools::timeLeftOverRowsShorterThanATick_data()
{
    twoConverters();
}

// Three rows of a minute, each converted in 0.4 s: the estimate counts from the job's
// start, so its first tick comes within the job and shows how long is left.
void tst_itemtools::timeLeftOverRowsShorterThanATick()
{
    QFETCH(QString, tool);
    Tool t(tool);
    for (qint32 row : {1, 2})
        SetRowText(t.w->cGrid1, row, QStringLiteral("Time"), QStringLiteral("00:01:00"));
    t.addRow(QStringLiteral("c.wav"), QStringLiteral("00:01:00"));
    auto* w = qobject_cast<ItemsToolWindow*>(t.w);
    w->g_ltmrItemSecsTotal = 180;
    QCOMPARE(w->lblTimeLeft->text(), QStringLiteral("Time Left: 00:00:00"));
    t.w->cmdConvert->click();
    QString seen;
    for (int row = 1; row <= 3; ++row) {
        t.conv()->emitProgress(1);
        QTest::qWait(400);
        if (w->lblTimeLeft->text() != QLatin1String("Time Left: 00:00:00"))
            seen = w->lblTimeLeft->text();
        t.conv()->finishDone();
    }
    QVERIFY2(QRegularExpression(QStringLiteral("^Time Left: 00:0\\d:\\d\\d$")).match(seen).hasMatch(),
             qPrintable(seen));
}

void tst_itemtools::noRowReplacesWhatAnEarlierRowWrote_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<bool>("overwrite");  // "Overwrite existing files" ticked
    QTest::addColumn<bool>("firstWritten");
    for (const char* tool : {"converter", "ACM converter"}) {
        const QString t = QString::fromLatin1(tool);
        QTest::addRow("%s, overwrite ticked", tool) << t << true << true;
        QTest::addRow("%s, overwrite not ticked", tool) << t << false << true;
        QTest::addRow("%s, the first row failed", tool) << t << true << false;
    }
}

// Rows "a.wav", "b.wav" and "live/a.wav" under "[file_name].[dest_extension]": the third
// row's output is the first one's. What the first row wrote is never replaced, asked
// about or not: the third row fails naming it. A first row that failed wrote nothing, and
// the third one writes that name.
void tst_itemtools::noRowReplacesWhatAnEarlierRowWrote()
{
    QFETCH(QString, tool);
    QFETCH(bool, overwrite);
    QFETCH(bool, firstWritten);
    Tool t(tool);
    t.addRow(QStringLiteral("live/a.wav"));
    t.w->chkOverWrite->SetValue(overwrite ? 1 : 0);
    const QString first = t.output(t.dest, 1);
    t.w->cmdConvert->click();
    // The component puts the first row's output in place when it ends well.
    if (firstWritten)
        QVERIFY(TestFiles::WriteBytes(first, "row 1"));
    t.finish(firstWritten);
    t.finish(true);
    if (!firstWritten)
        t.finish(true);

    QVERIFY(!t.w->IsBusy());
    QVERIFY(t.platform.messages().shown.isEmpty());
    const QString second = t.output(t.dest, 2);
    if (firstWritten) {
        QCOMPARE(t.outputs(), (QStringList{first, second}));
        QCOMPARE(t.log().mid(t.log().size() - 2),
                 (QStringList{"Start to convert: a.wav...",
                              "Error: The output file \"" + first + "\" was written by row 1 (a.wav) of this job; it is "
                                                                   "not replaced.(5)"}));
        QCOMPARE(TestFiles::ReadBytes(first), QByteArray("row 1"));
    } else {
        QCOMPARE(t.outputs(), (QStringList{first, second, first}));
    }
    QCOMPARE(t.w->lblCurrentTrack->text(), QStringLiteral("Done. 1 of 3 failed: see the Log."));
}

void tst_itemtools::noRowWritesOverAnotherRowsSource_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("folder");    // the destination, in the program's folder
    QTest::addColumn<QStringList>("errors");  // "@" stands for the destination
    QTest::addColumn<QStringList>("written");  // outputs started
    QTest::addColumn<QString>("ending");
    const QString own = QStringLiteral("Error: The output file \"@%1\" is the source file itself; it is left untouched.(4)");
    const QString other = QStringLiteral("Error: The output file \"@a.wav\" is the source file of row %1 (a.wav); it is "
                                         "left untouched.(4)");
    for (const char* tool : {"converter", "ACM converter"}) {
        const QString t = QString::fromLatin1(tool);
        // Rows "music/a.wav", "music/b.wav", "music/live/a.wav".
        QTest::addRow("%s, an earlier row's source", tool)
            << t << "music/" << QStringList{own.arg("a.wav"), own.arg("b.wav"), other.arg(1)} << QStringList{}
            << "Failed: see the Log.";
        QTest::addRow("%s, a later row's source", tool)
            << t << "music/live/" << QStringList{other.arg(3), own.arg("a.wav")} << QStringList{"@b.wav"}
            << "Done. 2 of 3 failed: see the Log.";
        QTest::addRow("%s, the folder spelled another way", tool)
            << t << "music/live/../" << QStringList{own.arg("a.wav"), own.arg("b.wav"), other.arg(1)} << QStringList{}
            << "Failed: see the Log.";
        QTest::addRow("%s, through a link to the folder", tool)
            << t << "link/" << QStringList{own.arg("a.wav"), own.arg("b.wav"), other.arg(1)} << QStringList{}
            << "Failed: see the Log.";
    }
}

// WAV outputs named "[file_name].[dest_extension]" written where the sources are: a row
// whose output would be the file of any row of the job, before or after it, fails saying
// whose file it is, and nothing is started on it.
void tst_itemtools::noRowWritesOverAnotherRowsSource()
{
    QFETCH(QString, tool);
    QFETCH(QString, folder);
    QFETCH(QStringList, errors);
    QFETCH(QStringList, written);
    QFETCH(QString, ending);
    Tool t(tool);
    t.addRow(QStringLiteral("live/a.wav"));
    QVERIFY(QFile::link(t.platform.path(QStringLiteral("music")), t.platform.path(QStringLiteral("link"))));
    SelectListText(t.w->cboTargetFormat, QStringLiteral("WAV - Waveform Audio Format (*.wav)"));
    t.w->chkOverWrite->SetValue(1);
    const QString dest = t.platform.path(folder);
    t.w->txtToPath->setEditText(dest);
    t.w->cmdConvert->click();
    for (int i = 0; i < written.size(); ++i)
        t.finish(true);

    QVERIFY(!t.w->IsBusy());
    QStringList seen;
    for (const QString& line : t.log())
        if (line.startsWith(QLatin1String("Error: ")))
            seen << line;
    QCOMPARE(seen, errors.replaceInStrings(QStringLiteral("@"), dest));
    QCOMPARE(t.outputs(), written.replaceInStrings(QStringLiteral("@"), dest));
    QCOMPARE(t.w->lblCurrentTrack->text(), ending);
}

// A job takes its format, destination and sub-folder once, when it starts: changed while
// its first item runs, the boxes leave the job's other items where and as the job began
// (and its end opens the folder they went to), and the next job takes what they say.
void tst_itemtools::boxesChangedDuringAJobChangeTheNextJob()
{
    QFETCH(QString, tool);
    Tool t(tool);
    const bool acm = tool == QLatin1String("ACM converter");
    auto names = [&](const QString& folder, bool wav) {
        if (tool == QLatin1String("splitter")) {
            const QString ext = wav ? QStringLiteral("WAV") : QStringLiteral("MP3");
            return QStringList{folder + "Part_1_a." + ext, folder + "Part_2_a." + ext};
        }
        const QString ext = wav || acm ? QStringLiteral("wav") : QStringLiteral("mp3");
        if (t.joins())
            return QStringList{folder + "all." + ext};
        return QStringList{folder + "a." + ext, folder + "b." + ext};
    };
    auto runToTheEnd = [&] {
        while (t.running())
            t.finish(true);
    };
    auto formats = [&] {
        QList<qint32> out;
        if (t.joins()) {
            for (const FakeJoinRecord& r : t.join()->started)
                out << r.job.format;
        } else {
            for (const FakeJobRecord& r : t.conv()->started)
                out << r.format;
        }
        return out;
    };
    t.w->chkOpenDestFolder->SetValue(1);
    t.w->cmdConvert->click();
    QVERIFY(t.running());
    if (t.w->cboTargetFormat) {
        SelectListText(t.w->cboTargetFormat, kWav);
        t.w->cboTargetFormat_Click();
    }
    const QString other = t.platform.path(QStringLiteral("other/"));
    t.w->txtToPath->setEditText(other);
    t.w->chkCreateSubFolder->SetValue(1);
    t.w->txtUndeForlder->setText(QStringLiteral("Sub"));
    runToTheEnd();
    const QStringList first = names(t.dest, false);
    QCOMPARE(t.outputs(), first);
    const qint32 code = acm ? 2 : 3;
    QCOMPARE(formats(), QList<qint32>(first.size(), code));
    QCOMPARE(t.platform.shell().opened, QStringList{t.dest});

    t.w->cmdConvert->click();
    runToTheEnd();
    QCOMPARE(t.outputs().mid(first.size()), names(other + "Sub/", true));
    QCOMPARE(formats().last(), acm ? 2 : 1);
}

QTEST_MAIN(tst_itemtools)
#include "tst_itemtools.moc"
