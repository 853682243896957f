// The audio converter window over the conversion component's fake: loading and the
// template list, the items job (names, log, overwrite question, errors, Abort, ranges,
// the refusals that keep sources and folders safe, progress, a second job, the close
// guard), the tag placeholders of a row and the time-left estimate.
#include "common/frmTurnOff.h"
#include "common/mdlModes.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cGrid/cGrid.h"
#include "components/cStatusBar/cStatusBar.h"
#include "components/cTabControl/cTabControl.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/frmProgParameters.h"
#include "settings/mdlFormats.h"
#include "settings/mdlFileNameFormats.h"
#include "settings/mdlOptions.h"
#include "tests/support/FakeAudioComponents.h"
#include "tests/support/FakeToolFixture.h"
#include "tests/support/JobLog.h"
#include "tests/support/MainHostStandIn.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/ToolRows.h"
#include "tests/support/ToolTexts.h"
#include "tools/converters/frmConverter.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

using namespace ToolTexts;

namespace {

// A program folder, the fake converter, the main window's stand-in and a converter window
// loaded as the launch loads it, converting to MP3 into "out/".
struct Fixture : FakeToolFixture {
    frmConverter* w = nullptr;

    explicit Fixture(FakeAutoFinish finish = FakeAutoFinish::Done)
    {
        fakes.setupConverter = [finish](FakeAudioConverter* f) { f->autoFinish = finish; };
        makeFolders();
        open();
    }
    void open()
    {
        w = g_frmConverter();
        w->txtToPath->setEditText(dest);
        SelectListText(w->cboTargetFormat, kMp3);
    }
    FakeAudioConverter* conv() const { return qobject_cast<FakeAudioConverter*>(w->cAudioConverter1); }

    // A row for a file in "music/" (written there), whole unless a range is given.
    qint32 addRow(const QString& name, const QString& time = QStringLiteral("00:01:00"))
    {
        return ToolRows::AddStandIn(w->cGrid1, music(QString()), name, time);
    }
    void setRange(qint32 row, const QString& start, const QString& length)
    {
        ToolRows::SetRange(w->cGrid1, row, start, length);
    }
    void addRows(int n)
    {
        for (int i = 1; i <= n; ++i)
            addRow(QStringLiteral("s%1.wav").arg(i));
    }
    // Runs the job to its end (the fake ends each row as scripted).
    void convert()
    {
        w->cmdConvert_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!w->IsBusy(), 5000);
    }
    QStringList outputs() const { return StartedOutputs(conv()); }
    // The log without the time in front of each line.
    QStringList log() const { return JobLogLines(w->txtLog); }
};


} // namespace

class tst_converter : public QObject
{
    Q_OBJECT
private slots:
    void loadsTheWindow();
    void templateDefault_data();
    void templateDefault();
    void setTemplateAsDefault();
    void parametersLink();
    void secondLaunchShowsTheDefaults();

    void threeRowsConverted();
    void overwriteQuestion_data();
    void overwriteQuestion();
    void overwriteTickedAsksNothing();
    void errorOnARow();
    void abortQuestion();
    void abortWhileIdle();
    void abortAnsweredAfterTheJobEnded();
    void ranges();
    void rangeNotWholeSeconds_data();
    void rangeNotWholeSeconds();
    void outputThatIsTheSource_data();
    void outputThatIsTheSource();
    void noTemplate();
    void emptyNameForARow();
    void itemNamedAsAFolder();
    void destinationWithoutSlash();
    void subFolder_data();
    void subFolder();
    void progress_data();
    void progress();
    void waitPointer();
    void boxesChangedDuringAJob();
    void secondJob();
    void closeGuard();

    void tagPlaceholders_data();
    void tagPlaceholders();

    void timeLeft_data();
    void timeLeft();
    void timeLeftAfterTheJob();
};

void tst_converter::loadsTheWindow()
{
    Fixture f;
    frmConverter* w = f.w;
    QCOMPARE(w->windowTitle(), QStringLiteral("Audio Converter"));
    QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Ready."));
    QCOMPARE(w->lblTimeLeft->text(), QStringLiteral("Time Left: 00:00:00"));
    QVERIFY(!w->Timer1.isActive());
    QCOMPARE(w->Timer1.interval(), 1000);
    QCOMPARE(w->cTabControl1->TabCaption(1), QStringLiteral("Converter        "));
    QCOMPARE(w->cTabControl1->TabImage(1), 7);
    QCOMPARE(w->cTabControl1->TabKey(1), QStringLiteral("Settings"));
    QVERIFY(w->TabSettings->isVisibleTo(w));
    QCOMPARE(w->cStatusBar1->PanelCount(), 2);
    // The Events page from the top: sound, folder, turn-off, external program.
    QList<int> tops;
    for (QWidget* box : {static_cast<QWidget*>(w->chkPlaySound), static_cast<QWidget*>(w->chkOpenDestFolder),
                         static_cast<QWidget*>(w->chkTurnOffComputer), static_cast<QWidget*>(w->chkNoticeApp)})
        tops << box->y();
    QVERIFY(std::is_sorted(tops.begin(), tops.end()) && tops.first() < tops.last());
    QCOMPARE(w->chkNoticeApp->text(), QStringLiteral("Execute external program "));
    // The built-in templates; the second one is the default a first run stores, so it is
    // chosen with its link off.
    QStringList templates;
    for (int i = 0; i < w->cboFileName->count(); ++i)
        templates << w->cboFileName->itemText(i);
    QCOMPARE(templates, BuiltInFileNameFormats());
    QCOMPARE(w->cboFileName->currentIndex(), 1);
    QVERIFY(!w->lblSetAsDefaultFileName->isEnabled());
    QCOMPARE(w->g_ltmrItemSecsTotal, 0);
    QCOMPARE(w->g_ltmrSces, 0);
    QVERIFY(w->cmdConvert->isEnabled());
}

void tst_converter::templateDefault_data()
{
    QTest::addColumn<QByteArray>("file");  // "FileNameFormats.txt"; "-" for none
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("linkOn");
    QTest::newRow("stored default chosen, link off") << QByteArray("-") << "[123].[dest_extension]"
                                                     << "[123].[dest_extension]" << false;
    QTest::newRow("stored default the file lacks: none chosen")
        << QByteArray("[item_name]\r\n[123]_[item_name]\r\n") << "[123].[dest_extension]" << "" << true;
    QTest::newRow("file without a stored default: its second line")
        << QByteArray("[item_name]\r\n[123]_[item_name]\r\n") << "" << "[123]_[item_name]" << true;
    QTest::newRow("empty file: nothing to choose") << QByteArray() << "" << "" << false;
}

void tst_converter::templateDefault()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, stored);
    TestPlatform platform;
    MainHostStandIn host;
    FakeAudioFactories fakes;
    InitProductProfile();
    if (file != "-")
        TestFiles::WriteBytes(platform.path(QStringLiteral("FileNameFormats.txt")), file);
    TestFiles::StoreText(QStringLiteral("General"), QStringLiteral("cboFileName"), stored);
    Forms::Get<frmOptions>();
    g_sFileNameFormat = stored;  // as the options window holds it, whether its list has it or not
    frmConverter* w = g_frmConverter();
    QTEST(w->cboFileName->currentText(), "chosen");
    QTEST(w->lblSetAsDefaultFileName->isEnabled(), "linkOn");
    Forms::DestroyAll();
    g_sFileNameFormat.clear();
}

void tst_converter::setTemplateAsDefault()
{
    Fixture f;
    frmConverter* w = f.w;
    const QString chosen = BuiltInFileNameFormats()[3];
    w->cboFileName->setCurrentIndex(3);
    w->cboFileName_Click();
    QVERIFY(w->lblSetAsDefaultFileName->isEnabled());
    w->lblSetAsDefaultFileName_Click();
    QVERIFY(!w->lblSetAsDefaultFileName->isEnabled());
    QCOMPARE(g_sFileNameFormat, chosen);
    QCOMPARE(TestFiles::StoredText(QStringLiteral("General"), QStringLiteral("cboFileName")), chosen);
    QCOMPARE(Forms::Get<frmOptions>()->cboFileName->currentText(), chosen);
    // Another template turns the link on again; the default turns it off.
    w->cboFileName->setCurrentIndex(0);
    w->cboFileName_Click();
    QVERIFY(w->lblSetAsDefaultFileName->isEnabled());
    w->cboFileName->setCurrentIndex(3);
    w->cboFileName_Click();
    QVERIFY(!w->lblSetAsDefaultFileName->isEnabled());
    g_sFileNameFormat.clear();
}

void tst_converter::parametersLink()
{
    Fixture f;
    int section = -1;
    f.platform.modal().handlers.enqueue([&section](VForm* form) {
        auto* p = qobject_cast<frmProgParameters*>(form);
        QVERIFY(p);
        section = p->cboSections->currentIndex();
        p->cmdOk_Click();
    });
    f.w->lblParameters_Click();
    QCOMPARE(section, 2);
}

void tst_converter::secondLaunchShowsTheDefaults()
{
    Fixture f;
    f.w->cboFileName->setCurrentIndex(4);
    f.w->chkOverWrite->SetValue(1);
    f.w->cmdExit_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!Forms::IsLoaded<frmConverter>());
    frmConverter* again = g_frmConverter();
    QCOMPARE(again->cboFileName->currentIndex(), 1);
    QCOMPARE(again->chkOverWrite->Value(), 0);
}

void tst_converter::threeRowsConverted()
{
    Fixture f;
    f.addRow(QStringLiteral("one.wav"));
    f.addRow(QStringLiteral("two.flac"));
    f.addRow(QStringLiteral("three.mp3"));
    f.w->cboFileName->setCurrentIndex(2);  // "[file_name]_[123].[dest_extension]"
    f.w->chkPlaySound->SetValue(1);
    f.convert();

    QCOMPARE(f.outputs(), (QStringList{f.dest + "one_1.mp3", f.dest + "two_2.mp3", f.dest + "three_3.mp3"}));
    for (const FakeJobRecord& r : f.conv()->started) {
        QCOMPARE(r.format, 3);  // MP3
        QVERIFY(!r.hasRange);
    }
    QCOMPARE(f.conv()->started[1].source, f.platform.path(QStringLiteral("music/two.flac")));
    QCOMPARE(f.log(), (QStringList{"Preparing to convert: 3 tracks.", "Destination format: MP3",
                                   "Start to convert: one.wav...", "Done.", "Start to convert: two.flac...", "Done.",
                                   "Start to convert: three.mp3...", "Done."}));
    QCOMPARE(f.host.BalloonMessages(), QStringList{"Done."});
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Done."));
    QCOMPARE(f.w->windowTitle(), QStringLiteral("Done."));
    QCOMPARE(f.w->lblFilesToConvert->text(), QStringLiteral("Files: 3/3"));
    QCOMPARE(f.w->prgTotal->Max(), 300);
    QCOMPARE(f.w->prgTotal->Value(), 300);
    QCOMPARE(f.w->prgCurrnet->Value(), 100);
    QVERIFY(!f.w->Timer1.isActive());
    QCOMPARE(f.platform.sound().played.size(), 1);
    QVERIFY(f.w->TabLog->isVisibleTo(f.w));
    QCOMPARE(f.w->g_ltmrItemSecs, 180);
    // The destination became the newest entry of the path history.
    QCOMPARE(f.w->txtToPath->itemText(0), f.dest);
}

void tst_converter::overwriteQuestion_data()
{
    QTest::addColumn<int>("existing");  // the row whose output exists
    QTest::addColumn<int>("answer");
    QTest::addColumn<QList<int>>("started");
    QTest::addColumn<bool>("completed");
    QTest::addColumn<QStringList>("tail");  // the log after the row's "File already exists."

    QTest::newRow("Yes overwrites") << 2 << int(vbYes) << QList<int>{1, 2, 3} << true
                                    << QStringList{"Overwrite it...", "Done.", "Start to convert: s3.wav...", "Done."};
    QTest::newRow("No skips the row without a line") << 2 << int(vbNo) << QList<int>{1, 3} << true
                                                     << QStringList{"Start to convert: s3.wav...", "Done."};
    QTest::newRow("No on the last row stops the job") << 3 << int(vbNo) << QList<int>{1, 2} << false << QStringList{};
    QTest::newRow("Cancel stops the job") << 2 << int(vbCancel) << QList<int>{1} << false << QStringList{"Aborted."};
}

void tst_converter::overwriteQuestion()
{
    QFETCH(int, existing);
    QFETCH(int, answer);
    QFETCH(QList<int>, started);
    QFETCH(bool, completed);
    QFETCH(QStringList, tail);
    Fixture f;
    f.addRows(3);
    f.w->cboFileName->setCurrentIndex(0);
    f.w->chkPlaySound->SetValue(1);
    const QString taken = f.dest + QStringLiteral("s%1.mp3").arg(existing);
    TestFiles::WriteBytes(taken, "older");
    f.platform.messages().answers.enqueue(answer);
    f.convert();

    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt, kOverwrite.arg(taken));
    QCOMPARE(f.platform.messages().shown[0].buttons, vbYesNoCancel + vbInformation);
    QStringList outputs;
    for (int row : started)
        outputs << f.dest + QStringLiteral("s%1.mp3").arg(row);
    QCOMPARE(f.outputs(), outputs);
    const QStringList log = f.log();
    const int at = log.indexOf(QStringLiteral("File already exists."));
    QCOMPARE(log[at - 1], QStringLiteral("Start to convert: s%1.wav...").arg(existing));
    QCOMPARE(log.mid(at + 1), tail);
    const QString ending = completed ? QStringLiteral("Done.") : QStringLiteral("Aborted.");
    QCOMPARE(f.host.BalloonMessages(), QStringList{ending});
    QCOMPARE(f.w->lblCurrentTrack->text(), ending);
    QCOMPARE(f.w->windowTitle(), ending);
    QCOMPARE(f.platform.sound().played.size(), completed ? 1 : 0);
    QVERIFY(f.w->cmdConvert->isEnabled() && f.w->cmdExit->isEnabled());
    QCOMPARE(f.w->cursor().shape(), Qt::ArrowCursor);
    // A stopped job leaves the estimate's timer running; a completed one stops it.
    QCOMPARE(f.w->Timer1.isActive(), !completed);
}

void tst_converter::overwriteTickedAsksNothing()
{
    Fixture f;
    f.addRows(1);
    f.w->cboFileName->setCurrentIndex(0);
    TestFiles::WriteBytes(f.dest + QStringLiteral("s1.mp3"), "older");
    f.w->chkOverWrite->SetValue(1);
    f.convert();
    QVERIFY(f.platform.messages().shown.isEmpty());
    QCOMPARE(f.outputs(), QStringList{f.dest + "s1.mp3"});
    QVERIFY(!f.log().contains(QStringLiteral("File already exists.")));
}

void tst_converter::errorOnARow()
{
    Fixture f(FakeAutoFinish::None);
    f.addRows(2);
    f.w->chkTurnOffComputer->SetValue(1);
    f.w->chkPlaySound->SetValue(1);
    f.w->cmdConvert_Click();
    f.conv()->finishError(7, QStringLiteral("No such codec."));
    const QString text = QStringLiteral("Error: No such codec.(7)");
    QVERIFY(f.log().contains(text));
    QCOMPARE(f.w->windowTitle(), text);
    QVERIFY(f.w->JobError());
    // The next row runs.
    QCOMPARE(f.conv()->started.size(), 2);
    QVERIFY(f.w->IsBusy());
    f.conv()->finishDone();
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Done. 1 of 2 failed: see the Log."));
    QCOMPARE(f.host.BalloonMessages(), QStringList{"Done. 1 of 2 failed: see the Log."});
    // The end-of-job actions run, but the computer is not turned off.
    QCOMPARE(f.platform.sound().played.size(), 1);
    QVERIFY(f.platform.modal().shown.isEmpty());
    // A failed row's seconds are not counted as done.
    QCOMPARE(f.w->g_ltmrItemSecs, 60);
}

void tst_converter::abortQuestion()
{
    Fixture f(FakeAutoFinish::None);
    f.addRows(3);
    f.w->chkPlaySound->SetValue(1);
    f.w->cmdConvert_Click();
    f.conv()->finishDone();
    const QString question = QStringLiteral("Abort operation?") + QString(38, u' ');

    f.platform.messages().answers.enqueue(vbNo);
    f.w->cmdAbort_Click();
    QCOMPARE(f.platform.messages().shown.last().prompt, question);
    QCOMPARE(f.conv()->abortCalls, 0);
    QVERIFY(f.w->Timer1.isActive());

    f.platform.messages().answers.enqueue(vbYes);
    f.w->cmdAbort_Click();
    QCOMPARE(f.conv()->abortCalls, 1);
    QCOMPARE(f.host.BalloonMessages(), QStringList{"Aborted."});
    QVERIFY(!f.w->Timer1.isActive());
    QVERIFY(f.w->IsBusy());  // until the component confirms

    f.conv()->finishAborted();
    QCOMPARE(f.log().last(), QStringLiteral("Aborted."));
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Aborted."));
    QCOMPARE(f.w->windowTitle(), QStringLiteral("Aborted."));
    QVERIFY(f.w->cmdConvert->isEnabled() && f.w->cmdExit->isEnabled());
    QCOMPARE(f.w->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(f.conv()->started.size(), 2);
    QCOMPARE(f.platform.sound().played.size(), 0);
}

void tst_converter::abortWhileIdle()
{
    Fixture f;
    f.w->cmdAbort_Click();
    QVERIFY(f.platform.messages().shown.isEmpty());
    QCOMPARE(f.conv()->abortCalls, 0);
}

void tst_converter::abortAnsweredAfterTheJobEnded()
{
    Fixture f(FakeAutoFinish::None);
    f.addRows(1);
    f.w->cmdConvert_Click();
    // The last row ends while the question is open.
    f.platform.messages().whileShown = [&f] { f.conv()->finishDone(); };
    f.platform.messages().answers.enqueue(vbYes);
    f.w->cmdAbort_Click();
    QCOMPARE(f.conv()->abortCalls, 0);
    QCOMPARE(f.host.BalloonMessages(), QStringList{"Done."});
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Done."));
    QVERIFY(!f.log().contains(QStringLiteral("Aborted.")));
}

void tst_converter::ranges()
{
    Fixture f;
    f.addRow(QStringLiteral("a.wav"), QStringLiteral("00:05:00"));
    f.setRange(1, QStringLiteral("30"), QStringLiteral(" 60 "));
    f.addRow(QStringLiteral("b.wav"), QStringLiteral("00:02:00"));
    f.convert();
    const QList<FakeJobRecord>& started = f.conv()->started;
    QCOMPARE(started.size(), 2);
    QVERIFY(started[0].hasRange);
    QCOMPARE(started[0].rangeStart, 30);
    QCOMPARE(started[0].rangeLength, 60);
    // A whole row after a range row is converted whole.
    QVERIFY(!started[1].hasRange);
    QCOMPARE(f.w->g_ltmrItemSecs, 60 + 120);
}

void tst_converter::rangeNotWholeSeconds_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("length");
    QTest::newRow("start not a number") << "abc" << "60";
    QTest::newRow("empty length") << "30" << "";
    QTest::newRow("fraction") << "12.5" << "60";
}

void tst_converter::rangeNotWholeSeconds()
{
    QFETCH(QString, start);
    QFETCH(QString, length);
    Fixture f;
    f.addRow(QStringLiteral("a.wav"));
    f.setRange(1, QStringLiteral("10"), QStringLiteral("20"));
    f.addRow(QStringLiteral("b.wav"));
    f.setRange(2, start, length);
    f.addRow(QStringLiteral("c.wav"));
    f.w->chkTurnOffComputer->SetValue(1);
    f.convert();
    // The row is reported and left out; no other row's range is used for it.
    QCOMPARE(f.conv()->started.size(), 2);
    QCOMPARE(f.conv()->started[1].source, f.platform.path(QStringLiteral("music/c.wav")));
    QVERIFY(!f.conv()->started[1].hasRange);
    const QStringList log = f.log();
    const int at = log.indexOf(QStringLiteral("Start to convert: b.wav..."));
    QCOMPARE(log[at + 1], QStringLiteral("Error: The range of this item (start \"%1\", length \"%2\") is not a whole "
                                         "number of seconds.(9)")
                              .arg(start, length));
    QVERIFY(f.w->JobError());
    QCOMPARE(f.host.BalloonMessages(), QStringList{"Done. 1 of 3 failed: see the Log."});
    QVERIFY(f.platform.modal().shown.isEmpty());
}

void tst_converter::outputThatIsTheSource_data()
{
    QTest::addColumn<QString>("folder");  // relative to the program folder
    QTest::addColumn<bool>("overwrite");
    QTest::newRow("same folder, asking") << "music/" << false;
    QTest::newRow("same folder, overwrite ticked") << "music/" << true;
    QTest::newRow("the same folder written differently") << "out/../music" << false;
}

void tst_converter::outputThatIsTheSource()
{
    QFETCH(QString, folder);
    QFETCH(bool, overwrite);
    Fixture f;
    // A template that names each output as its source, into the source's own folder.
    TestFiles::WriteBytes(f.platform.path(QStringLiteral("FileNameFormats.txt")), "[item_name]\r\n");
    Forms::DestroyAll();
    f.open();
    f.w->cboFileName->setCurrentIndex(0);
    f.w->txtToPath->setEditText(f.platform.path(folder));
    f.w->chkOverWrite->SetValue(overwrite ? 1 : 0);
    f.addRow(QStringLiteral("a.wav"));
    f.addRow(QStringLiteral("b.wav"));
    f.convert();
    // Never asked about, never handed to the component; the job goes on and completes.
    QVERIFY(f.platform.messages().shown.isEmpty());
    QVERIFY(f.conv()->started.isEmpty());
    QCOMPARE(TestFiles::ReadBytes(f.platform.path(QStringLiteral("music/a.wav"))), QByteArray("source of a.wav"));
    const QStringList errors = f.log().filter(QStringLiteral("Error: "));
    QCOMPARE(errors.size(), 2);
    QVERIFY(errors[0].endsWith(QStringLiteral("is the source file itself; it is left untouched.(4)")));
    QVERIFY(f.w->JobError());
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Failed: see the Log."));
}

void tst_converter::noTemplate()
{
    Fixture f;
    // "FileNameFormats.txt" without a template: the list is empty.
    TestFiles::WriteBytes(f.platform.path(QStringLiteral("FileNameFormats.txt")), QByteArray());
    Forms::DestroyAll();
    f.open();
    QCOMPARE(f.w->cboFileName->count(), 0);
    f.addRows(2);
    f.platform.messages().answers.enqueue(vbOK);
    f.w->cmdConvert_Click();
    QCOMPARE(f.platform.messages().shown.size(), 1);
    QCOMPARE(f.platform.messages().shown[0].prompt,
             QStringLiteral("Choose a file name format first: the output files are named by it."));
    QVERIFY(f.conv()->started.isEmpty());
    QVERIFY(f.w->txtLog->toPlainText().isEmpty());
    QVERIFY(!f.w->IsBusy());
}

void tst_converter::emptyNameForARow()
{
    Fixture f;
    TestFiles::WriteBytes(f.platform.path(QStringLiteral("FileNameFormats.txt")), "[item_name]\r\n");
    Forms::DestroyAll();
    f.open();
    f.w->cboFileName->setCurrentIndex(0);
    f.addRow(QStringLiteral("a.wav"));
    SetRowText(f.w->cGrid1, 1, QStringLiteral("Item Name"), QString());
    f.addRow(QStringLiteral("b.wav"));
    f.convert();
    // The folder itself is never an output.
    QCOMPARE(f.outputs(), QStringList{f.dest + "b.wav"});
    QVERIFY(f.log().contains(QStringLiteral("Error: The file name format gives this item an empty name.(5)")));
}

// An item whose name is a folder of the destination is refused before any question about
// replacing it (".." never gets that far: a name has no leading dots); the next row is
// converted.
void tst_converter::itemNamedAsAFolder()
{
    Fixture f;
    TestFiles::WriteBytes(f.platform.path(QStringLiteral("FileNameFormats.txt")), "[item_name]\r\n");
    Forms::DestroyAll();
    f.open();
    f.w->cboFileName->setCurrentIndex(0);
    QDir().mkpath(f.dest + "sub");
    f.addRow(QStringLiteral("a.wav"));
    SetRowText(f.w->cGrid1, 1, QStringLiteral("Item Name"), QStringLiteral("sub"));
    f.addRow(QStringLiteral("up.wav"));
    SetRowText(f.w->cGrid1, 2, QStringLiteral("Item Name"), QStringLiteral(".."));
    f.addRow(QStringLiteral("b.wav"));
    f.convert();
    QVERIFY(f.platform.messages().shown.isEmpty());
    QCOMPARE(f.outputs(), QStringList{f.dest + "b.wav"});
    QVERIFY(f.log().contains(QStringLiteral("Error: The output \"%1sub\" is a folder, not a file.(5)").arg(f.dest)));
    QVERIFY(f.log().contains(QStringLiteral("Error: The file name format gives this item an empty name.(5)")));
}

void tst_converter::destinationWithoutSlash()
{
    Fixture f;
    f.addRows(1);
    f.w->cboFileName->setCurrentIndex(0);
    f.w->txtToPath->setEditText(f.platform.path(QStringLiteral("out")));
    f.convert();
    QCOMPARE(f.outputs(), QStringList{f.dest + "s1.mp3"});
}

void tst_converter::subFolder_data()
{
    QTest::addColumn<QString>("destination");  // relative to the program folder
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("output");     // relative
    QTest::addColumn<QStringList>("made");   // the folders the job made
    QTest::newRow("ticked with a name") << "out/" << true << "My-List" << "out/My-List/s1.mp3"
                                        << QStringList{"out/My-List"};
    QTest::newRow("ticked, destination new and without slash")
        << "new/dest" << true << "Sub" << "new/dest/Sub/s1.mp3" << QStringList{"new", "new/dest", "new/dest/Sub"};
    QTest::newRow("ticked without a name: no stray folder") << "out" << true << "" << "out/s1.mp3" << QStringList{};
    QTest::newRow("unticked: nothing made") << "out/" << false << "My-List" << "out/s1.mp3" << QStringList{};
}

void tst_converter::subFolder()
{
    QFETCH(QString, destination);
    QFETCH(bool, ticked);
    QFETCH(QString, name);
    QFETCH(QString, output);
    Fixture f;
    auto folders = [&f] {
        QStringList out;
        QDirIterator it(f.platform.home(), QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext())
            out << QDir(f.platform.home()).relativeFilePath(it.next());
        out.sort();
        return out;
    };
    f.addRows(1);
    f.w->cboFileName->setCurrentIndex(0);
    f.w->txtToPath->setEditText(f.platform.path(destination));
    f.w->txtUndeForlder->setText(name);
    f.w->chkCreateSubFolder->SetValue(ticked ? 1 : 0);
    const QStringList before = folders();
    f.convert();
    QCOMPARE(f.outputs(), QStringList{f.platform.path(output)});
    QStringList made;
    for (const QString& folder : folders())
        if (!before.contains(folder))
            made << folder;
    QTEST(made, "made");
}

void tst_converter::progress_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("time");
    QTest::addColumn<int>("percent");
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("seconds");
    QTest::newRow("first of three at 50 %") << 3 << 1 << "00:01:00" << 50 << 50
                                            << "Converting... [ 50% / 16.6666666666667% ]" << 30;
    QTest::newRow("second of four at 25 %") << 4 << 2 << "00:01:40" << 25 << 125 << "Converting... [ 25% / 31.25% ]"
                                            << 25;
    QTest::newRow("half a second rounds to even, down") << 1 << 1 << "00:01:01" << 50 << 50
                                                        << "Converting... [ 50% / 50% ]" << 30;
    QTest::newRow("half a second rounds to even, up") << 1 << 1 << "00:01:03" << 50 << 50
                                                      << "Converting... [ 50% / 50% ]" << 32;
    QTest::newRow("last row full") << 2 << 2 << "00:00:10" << 100 << 200 << "Converting... [ 100% / 100% ]" << 10;
}

void tst_converter::progress()
{
    QFETCH(int, rows);
    QFETCH(int, row);
    QFETCH(QString, time);
    QFETCH(int, percent);
    Fixture f(FakeAutoFinish::None);
    for (int i = 1; i <= rows; ++i)
        f.addRow(QStringLiteral("s%1.wav").arg(i), time);
    f.w->cmdConvert_Click();
    for (int i = 1; i < row; ++i)
        f.conv()->finishDone();
    f.conv()->emitProgress(percent);
    QCOMPARE(f.w->prgCurrnet->Value(), percent);
    QTEST(f.w->prgTotal->Value(), "total");
    QTEST(f.w->windowTitle(), "caption");
    QTEST(f.w->g_ltmrCurItemSecs, "seconds");
}

void tst_converter::waitPointer()
{
    Fixture f(FakeAutoFinish::None);
    f.addRows(2);
    f.w->cmdConvert_Click();
    QCOMPARE(f.w->cursor().shape(), Qt::WaitCursor);
    // Nothing reported yet: the pointer, bars and caption stay.
    f.conv()->emitProgress(0);
    QCOMPARE(f.w->cursor().shape(), Qt::WaitCursor);
    QCOMPARE(f.w->prgCurrnet->Value(), 0);
    QCOMPARE(f.w->windowTitle(), QStringLiteral("Audio Converter"));
    f.conv()->emitProgress(1);
    QCOMPARE(f.w->cursor().shape(), Qt::ArrowCursor);
    f.conv()->finishDone();
    QCOMPARE(f.w->cursor().shape(), Qt::WaitCursor);
    // The last row reports no progress at all: the job's end still restores the pointer.
    f.conv()->finishDone();
    QVERIFY(!f.w->IsBusy());
    QCOMPARE(f.w->cursor().shape(), Qt::ArrowCursor);
}

// A job takes its format, format settings, destination and name template once, when it
// starts: the boxes stay usable while it runs, and what they are changed to (the format
// window's OK among them) is the next job's.
void tst_converter::boxesChangedDuringAJob()
{
    Fixture f(FakeAutoFinish::None);
    f.addRows(3);
    f.w->cboFileName->setCurrentIndex(0);  // [file_name].[dest_extension]
    const qint32 bitrate = g_lMP3Bitrate;
    f.w->cmdConvert_Click();

    // While the first row converts: another format, template, destination and sub-folder,
    // then "Edit" whose OK leaves another MP3 bit rate and the WAV page's format chosen.
    for (QWidget* box : QList<QWidget*>{f.w->cboTargetFormat, f.w->cmdEditTargetFormat, f.w->cboFileName,
                                        f.w->txtToPath, f.w->chkCreateSubFolder})
        QVERIFY(box->isEnabled());
    SelectListText(f.w->cboTargetFormat, kWma);
    f.w->cboTargetFormat_Click();
    f.w->cboFileName->setCurrentIndex(4);  // [123].[dest_extension]
    const QString other = f.platform.path(QStringLiteral("other/"));
    f.w->txtToPath->setEditText(other);
    f.w->chkCreateSubFolder->SetValue(1);
    f.w->txtUndeForlder->setText(QStringLiteral("Sub"));
    f.platform.modal().handlers.enqueue([](VForm* form) {
        auto* prop = qobject_cast<frmAudioProp*>(form);
        QVERIFY(prop);
        prop->cboMP3Bitrate->setCurrentIndex(prop->cboMP3Bitrate->count() - 1);
        prop->cTabControl1->SelectTab(QStringLiteral("WAV"));
        prop->cTabControl1_TabClick(prop->cTabControl1->TabIndex(QStringLiteral("WAV")));
        prop->cmdOk_Click();
    });
    f.w->cmdEditTargetFormat_Click();
    QCOMPARE(f.w->cboTargetFormat->currentText(), kWav);
    QVERIFY(g_lMP3Bitrate != bitrate);
    for (int row = 1; row <= 3; ++row)
        f.conv()->finishDone();

    QCOMPARE(f.outputs(), (QStringList{f.dest + "s1.mp3", f.dest + "s2.mp3", f.dest + "s3.mp3"}));
    for (const FakeJobRecord& r : f.conv()->started) {
        QCOMPARE(r.format, 3);
        QCOMPARE(r.settings.MP3.Bitrate, bitrate);
    }
    QVERIFY(!QFileInfo::exists(other));

    // The next job writes what the boxes say now.
    f.conv()->autoFinish = FakeAutoFinish::Done;
    f.convert();
    QCOMPARE(f.outputs().mid(3), (QStringList{other + "Sub/1.wav", other + "Sub/2.wav", other + "Sub/3.wav"}));
    QCOMPARE(f.conv()->started.last().format, 1);
}

void tst_converter::secondJob()
{
    Fixture f;
    f.addRows(2);
    f.convert();
    const int firstLines = f.log().size();
    f.w->chkOverWrite->SetValue(1);
    f.convert();
    const QStringList log = f.log();
    QCOMPARE(log[firstLines], QString());
    QCOMPARE(log[firstLines + 1], QStringLiteral("Preparing to convert: 2 tracks."));
    QCOMPARE(f.conv()->started.size(), 4);
    QCOMPARE(f.conv()->started[2].source, f.conv()->started[0].source);
    QCOMPARE(f.w->g_ltmrItemSecs, 120);
    QCOMPARE(f.w->g_ltmrSces, 1);
}

void tst_converter::closeGuard()
{
    Fixture f(FakeAutoFinish::None);
    f.addRows(1);
    f.w->cmdConvert_Click();
    QVERIFY(!f.w->cmdExit->isEnabled());
    int cancel = 0;
    f.w->Form_Unload(cancel);
    QCOMPARE(cancel, 1);
    QVERIFY(!Forms::Unload(f.w));
    f.conv()->finishDone();
    QVERIFY(Forms::Unload(f.w));
    QCOMPARE(f.conv()->closeConverterCalls, 1);
}

void tst_converter::tagPlaceholders_data()
{
    QTest::addColumn<QString>("itemName");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("result");
    const QString year = QString::number(QDate::currentDate().year());
    QTest::newRow("source name keeps every dot") << "Intro" << "[SOURCE_NAME]" << "a.b.wav";
    QTest::newRow("item name and range") << "Intro" << "[ITEM_NAME] - [RANGE]" << "Intro - All";
    QTest::newRow("lower case stays") << "Intro" << "[source_name]" << "[source_name]";
    QTest::newRow("twice") << "Intro" << "[ITEM_NAME][ITEM_NAME]" << "IntroIntro";
    QTest::newRow("year inside an item name") << "Best of [YEAR]" << "[ITEM_NAME]" << "Best of " + year;
    QTest::newRow("date inside an item name stays") << "Live [DATE]" << "[ITEM_NAME]" << "Live [DATE]";
    QTest::newRow("track of the second row") << "Intro" << "[TRACK_NUM]/[PROG_NAME]" << "2/" + g_sAppName;
    QTest::newRow("no placeholders") << "Intro" << "Plain text" << "Plain text";
    QTest::newRow("empty") << "Intro" << "" << "";
}

void tst_converter::tagPlaceholders()
{
    QFETCH(QString, itemName);
    QFETCH(QString, tag);
    Fixture f;
    f.addRows(1);
    f.addRow(QStringLiteral("a.b.wav"));
    SetRowText(f.w->cGrid1, 2, QStringLiteral("Item Name"), itemName);
    SetRowText(f.w->cGrid1, 2, QStringLiteral("COL_TAG_TITLE"), tag);
    f.w->chkOverWrite->SetValue(1);
    f.convert();
    // The tags of the row being converted go to the component.
    QTEST(f.conv()->started[1].tags.Title, "result");
}

void tst_converter::timeLeft_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("finished");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("ticks");  // before the tick
    QTest::addColumn<QString>("label");
    QTest::newRow("pace times what is left") << 600 << 120 << 60 << 30 << "Time Left: 00:01:12";
    QTest::newRow("first tick: nothing converted yet") << 600 << 0 << 0 << 1 << "Time Left: 00:00:09";
    QTest::newRow("everything converted: the label stays") << 600 << 540 << 60 << 30 << "Time Left: 00:00:09";
    QTest::newRow("more than a day") << 100000 << 0 << 1 << 1 << "Time Left: 55:33:18";
}

void tst_converter::timeLeft()
{
    QFETCH(int, total);
    QFETCH(int, finished);
    QFETCH(int, current);
    QFETCH(int, ticks);
    Fixture f(FakeAutoFinish::None);
    f.addRows(1);
    f.w->cmdConvert_Click();
    f.w->lblTimeLeft->setText(QStringLiteral("Time Left: 00:00:09"));
    f.w->g_ltmrItemSecsTotal = total;
    f.w->g_ltmrItemSecs = finished;
    f.w->g_ltmrCurItemSecs = current;
    f.w->g_ltmrSces = ticks;
    f.w->Timer1_Timer();
    QCOMPARE(f.w->g_ltmrSces, ticks + 1);
    QTEST(f.w->lblTimeLeft->text(), "label");
    QVERIFY(f.w->Timer1.isActive());
}

void tst_converter::timeLeftAfterTheJob()
{
    Fixture f(FakeAutoFinish::None);
    f.addRows(1);
    f.w->g_ltmrItemSecsTotal = 60;
    f.w->cmdConvert_Click();
    QCOMPARE(f.w->g_ltmrSces, 1);
    QVERIFY(f.w->Timer1.isActive());
    f.conv()->emitProgress(50);
    f.w->Timer1_Timer();
    QCOMPARE(f.w->lblTimeLeft->text(), QStringLiteral("Time Left: 00:00:02"));
    // The component ends the job by itself: the next tick clears the label and stops.
    f.conv()->finishAborted();
    f.w->Timer1_Timer();
    QCOMPARE(f.w->lblTimeLeft->text(), QStringLiteral("Time Left: 00:00:00"));
    QVERIFY(!f.w->Timer1.isActive());

    // A completed job keeps its last estimate.
    f.w->chkOverWrite->SetValue(1);
    f.w->cmdConvert_Click();
    f.conv()->emitProgress(50);
    f.w->Timer1_Timer();
    QCOMPARE(f.w->lblTimeLeft->text(), QStringLiteral("Time Left: 00:00:02"));
    f.conv()->finishDone();
    QVERIFY(!f.w->Timer1.isActive());
    QCOMPARE(f.w->lblTimeLeft->text(), QStringLiteral("Time Left: 00:00:02"));
}

QTEST_MAIN(tst_converter)
#include "tst_converter.moc"
