// The ACM converter window over the conversion component's fake: the codec chooser at
// loading, on a source choice and on a codec choice; what a job hands the component; and
// the job's own ways (caption and pointer left alone, errors in the log only, Abort,
// the overwrite question).
#include "common/mdlModes.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cGrid/cGrid.h"
#include "components/cTabControl/cTabControl.h"
#include "lists/mdlItemsGrid.h"
#include "platform/Controls.h"
#include "settings/mdlFormats.h"
#include "tests/support/FakeAudioComponents.h"
#include "tests/support/FakeToolFixture.h"
#include "tests/support/JobLog.h"
#include "tests/support/TestFiles.h"
#include "tests/support/ToolRows.h"
#include "tools/converters/frmACMConverter.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

namespace {

const QString kPcm = QStringLiteral("PCM");
const QString kIma = QStringLiteral("IMA ADPCM");
const QString kGsm = QStringLiteral("GSM 6.10");
const QStringList kPcmFormats{QStringLiteral("44100 Hz, 16 Bit, Stereo"), QStringLiteral("8000 Hz, 8 Bit, Mono")};
const QStringList kImaFormats{QStringLiteral("22050 Hz, 4 Bit, Mono"), QStringLiteral("44100 Hz, 4 Bit, Stereo")};

QStringList items(const QComboBox* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->itemText(i);
    return out;
}

// A program folder, the fake converter with a small catalogue, the main window's stand-in
// and an ACM converter window loaded as the launch loads it, writing into "out/".
struct Fixture : FakeToolFixture {
    frmACMConverter* w = nullptr;

    explicit Fixture(FakeAutoFinish finish = FakeAutoFinish::Done, const QStringList& tags = {kGsm, kPcm, kIma},
                     const QStringList& pcmFormats = kPcmFormats)
    {
        fakes.setupConverter = [=](FakeAudioConverter* f) {
            f->autoFinish = finish;
            f->acmTags = tags;
            f->acmFormats = {{kPcm, pcmFormats}, {kIma, kImaFormats}, {kGsm, {QStringLiteral("8000 Hz, 13 kbit/s, Mono")}}};
        };
        makeFolders();
        w = g_frmACMConverter();
        w->txtToPath->setEditText(dest);
    }
    FakeAudioConverter* conv() const { return qobject_cast<FakeAudioConverter*>(w->cAudioConverter1); }

    qint32 addRow(const QString& name)
    {
        const qint32 row = ToolRows::AddStandIn(w->cGrid1, music(QString()), name, QStringLiteral("00:01:00"));
        // Tag cells the ACM converter never reads.
        SetRowText(w->cGrid1, row, QStringLiteral("COL_TAG_TITLE"), QStringLiteral("[ITEM_NAME]"));
        SetRowText(w->cGrid1, row, QStringLiteral("COL_TAG_ARTIST"), QStringLiteral("Someone"));
        return row;
    }
    void addRows(int n)
    {
        for (int i = 1; i <= n; ++i)
            addRow(QStringLiteral("s%1.mp3").arg(i));
    }
    // Chooses a source entry as the launch does: the list's own click follows.
    void chooseSource(const QString& text)
    {
        QVERIFY(SelectListText(w->cboBestAccordItem, text));
        w->cboBestAccordItem_Click();
    }
    void chooseCodec(const QString& tag)
    {
        QVERIFY(SelectListText(w->cboTags, tag));
        w->cboTags_Click();
    }
    void convert()
    {
        w->cmdConvert_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!w->IsBusy(), 5000);
    }
    QStringList outputs() const { return StartedOutputs(conv()); }
    // The log without the time in front of each line.
    QStringList log() const { return JobLogLines(w->txtLog); }
};

using Calls = QList<QList<qint32>>;

} // namespace

class tst_acmconverter : public QObject
{
    Q_OBJECT
private slots:
    void loadsTheWindow();
    void codecListAtLoading_data();
    void codecListAtLoading();
    void sourceChoice_data();
    void sourceChoice();
    void codecChoice();

    void handsTheChoiceToTheComponent_data();
    void handsTheChoiceToTheComponent();
    void jobKeepsCaptionAndPointer();
    void errorGoesToTheLogOnly();
    void abortLeavesTheCaption();
    void overwriteQuestion_data();
    void overwriteQuestion();
};

void tst_acmconverter::loadsTheWindow()
{
    Fixture f;
    frmACMConverter* w = f.w;
    QCOMPARE(w->windowTitle(), QStringLiteral("ACM Converter"));
    QCOMPARE(w->cTabControl1->TabCaption(1), QStringLiteral("ACM Converter        "));
    QCOMPARE(w->cTabControl1->TabImage(1), 61);
    QCOMPARE(w->cTabControl1->TabKey(1), QStringLiteral("Settings"));
    QVERIFY(w->TabSettings->isVisibleTo(w));
    // The Events page from the top: sound, folder, turn-off, external program.
    QList<int> tops;
    for (QWidget* box : {static_cast<QWidget*>(w->chkPlaySound), static_cast<QWidget*>(w->chkOpenDestFolder),
                         static_cast<QWidget*>(w->chkTurnOffComputer), static_cast<QWidget*>(w->chkNoticeApp)})
        tops << box->y();
    QVERIFY(std::is_sorted(tops.begin(), tops.end()) && tops.first() < tops.last());
    QCOMPARE(w->chkNoticeApp->text(), QStringLiteral("Execute external program"));
    // No target-format row: the output is always an ACM-coded WAV.
    QVERIFY(!w->cboTargetFormat && !w->cmdEditTargetFormat && !w->lblSetAsDefaultFormat);
    QVERIFY(w->cboBestAccordItem->count() == 0);
    QCOMPARE(w->chkOverWrite->Value(), 0);
    QCOMPARE(w->chkCreateSubFolder->Value(), 0);
    QVERIFY(!w->txtUndeForlder->isEnabled());
    QCOMPARE(w->cboFileName->currentIndex(), 1);
    QCOMPARE(w->lblTimeLeft->text(), QStringLiteral("Time Left: 00:00:00"));
    QCOMPARE(w->g_ltmrItemSecsTotal, 0);
    // The codecs of plain PCM at 44100 Hz, 2 channels, 16 bits, every one of them.
    QCOMPARE(f.conv()->enumTagCalls, (Calls{{1, 44100, 2, 16, 0}}));
    QVERIFY(f.conv()->readInfoCalls.isEmpty());
}

void tst_acmconverter::codecListAtLoading_data()
{
    QTest::addColumn<QStringList>("tags");        // what the component offers, in its order
    QTest::addColumn<QStringList>("pcmFormats");  // what it offers for "PCM"
    QTest::addColumn<QString>("chosenTag");
    QTest::addColumn<QStringList>("formatCalls");
    QTest::addColumn<QStringList>("formats");
    QTest::newRow("PCM chosen where it stands") << QStringList{kGsm, kPcm, kIma} << kPcmFormats << kPcm
                                                << QStringList{kPcm} << kPcmFormats;
    QTest::newRow("no PCM: no codec, formats of an empty name")
        << QStringList{kGsm, kIma} << kPcmFormats << QString() << QStringList{QString()} << QStringList{};
    QTest::newRow("no codec: nothing listed, nothing asked") << QStringList{} << kPcmFormats << QString()
                                                             << QStringList{} << QStringList{};
    QTest::newRow("a codec without formats") << QStringList{kPcm} << QStringList{} << kPcm << QStringList{kPcm}
                                             << QStringList{};
}

void tst_acmconverter::codecListAtLoading()
{
    QFETCH(QStringList, tags);
    QFETCH(QStringList, pcmFormats);
    QFETCH(QString, chosenTag);
    QFETCH(QStringList, formatCalls);
    QFETCH(QStringList, formats);
    Fixture f(FakeAutoFinish::Done, tags, pcmFormats);
    QCOMPARE(items(f.w->cboTags), tags);
    QCOMPARE(f.w->cboTags->currentText(), chosenTag);
    QCOMPARE(f.conv()->enumFormatCalls, formatCalls);
    QCOMPARE(items(f.w->cboFormats), formats);
    QCOMPARE(f.w->cboFormats->currentIndex(), formats.isEmpty() ? -1 : 0);
}

void tst_acmconverter::sourceChoice_data()
{
    QTest::addColumn<QStringList>("choices");  // source entries chosen in turn
    QTest::addColumn<QStringList>("read");     // files the component was asked to read
    QTest::addColumn<Calls>("enumerations");   // after the one of the loading
    // The scripted files: a.wav is 22050 Hz mono 8 bits, b.mp3 8000 Hz mono 16 bits.
    QTest::newRow("a file: its format, convertible codecs only")
        << QStringList{"a.wav"} << QStringList{"a.wav"} << Calls{{1, 22050, 1, 8, 0x100000}};
    QTest::newRow("an unreadable file: what the component then reports")
        << QStringList{"gone.wav"} << QStringList{"gone.wav"} << Calls{{1, 0, 0, 0, 0x100000}};
    QTest::newRow("all codecs after a file: that file's format, read no more")
        << QStringList{"b.mp3", "All ACM Codecs"} << QStringList{"b.mp3"}
        << Calls{{1, 8000, 1, 16, 0x100000}, {1, 8000, 1, 16, 0}};
    QTest::newRow("all codecs first: the component's first values")
        << QStringList{"All ACM Codecs"} << QStringList{} << Calls{{1, 0, 0, 0, 0}};
}

void tst_acmconverter::sourceChoice()
{
    QFETCH(QStringList, choices);
    QFETCH(QStringList, read);
    QFETCH(Calls, enumerations);
    Fixture f;
    const auto path = [&f](const QString& name) {
        return name == QLatin1String("All ACM Codecs") ? name : f.platform.path(QStringLiteral("music/") + name);
    };
    f.conv()->files[path("a.wav")] = FakeFileScript{0, 1000, 22050, 1, 8, {}};
    f.conv()->files[path("b.mp3")] = FakeFileScript{0, 1000, 8000, 1, 16, {}};
    f.w->cboBestAccordItem->addItem(QStringLiteral("All ACM Codecs"));
    for (const char* name : {"a.wav", "b.mp3", "gone.wav"})
        f.w->cboBestAccordItem->addItem(path(QLatin1String(name)));
    // The user picked another codec and format before choosing the source.
    f.chooseCodec(kIma);
    f.w->cboFormats->setCurrentIndex(1);
    for (const QString& choice : choices)
        f.chooseSource(path(choice));
    QStringList readPaths;
    for (const QString& name : read)
        readPaths << path(name);
    QCOMPARE(f.conv()->readInfoCalls, readPaths);
    QCOMPARE(f.conv()->enumTagCalls.mid(1), enumerations);
    // The lists are built afresh, "PCM" and its first format chosen again.
    QCOMPARE(items(f.w->cboTags), (QStringList{kGsm, kPcm, kIma}));
    QCOMPARE(f.w->cboTags->currentText(), kPcm);
    QCOMPARE(items(f.w->cboFormats), kPcmFormats);
    QCOMPARE(f.w->cboFormats->currentIndex(), 0);
}

void tst_acmconverter::codecChoice()
{
    Fixture f;
    f.chooseCodec(kIma);
    QCOMPARE(f.conv()->enumFormatCalls.last(), kIma);
    QCOMPARE(items(f.w->cboFormats), kImaFormats);
    QCOMPARE(f.w->cboFormats->currentText(), kImaFormats.first());
    // A codec without formats leaves the format list empty, nothing chosen.
    f.conv()->acmFormats.remove(kGsm);
    f.chooseCodec(kGsm);
    QCOMPARE(f.w->cboFormats->count(), 0);
    QCOMPARE(f.w->cboFormats->currentIndex(), -1);
}

void tst_acmconverter::handsTheChoiceToTheComponent_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<int>("format");  // index in the format list; -1 for none
    QTest::addColumn<QString>("formatText");
    QTest::newRow("IMA ADPCM, its second format") << kIma << 1 << kImaFormats[1];
    QTest::newRow("PCM, its first format") << kPcm << 0 << kPcmFormats[0];
    QTest::newRow("codec without formats: an empty format") << kGsm << -1 << QString();
}

void tst_acmconverter::handsTheChoiceToTheComponent()
{
    QFETCH(QString, tag);
    QFETCH(int, format);
    QFETCH(QString, formatText);
    Fixture f;
    f.conv()->acmFormats.remove(kGsm);
    f.addRows(2);
    f.chooseCodec(tag);
    f.w->cboFormats->setCurrentIndex(format);
    f.w->cboFileName->setCurrentIndex(2);  // "[file_name]_[123].[dest_extension]"
    f.convert();
    QCOMPARE(f.outputs(), (QStringList{f.dest + "s1_1.wav", f.dest + "s2_2.wav"}));
    for (const FakeJobRecord& r : f.conv()->started) {
        QCOMPARE(r.format, 2);  // ACM WAV
        QCOMPARE(r.settings.ACMTag, tag);
        QCOMPARE(r.settings.ACMFormat, formatText);
        QVERIFY(!r.hasRange);
        // No tags: the rows' tag cells are not read.
        QVERIFY(r.tags.Title.isEmpty() && r.tags.Artist.isEmpty());
    }
    QCOMPARE(f.log(), (QStringList{"Preparing to convert: 2 tracks.", "Destination format: ACM WAV",
                                   "Start to convert: s1.mp3...", "Done.", "Start to convert: s2.mp3...", "Done."}));
}

void tst_acmconverter::jobKeepsCaptionAndPointer()
{
    Fixture f(FakeAutoFinish::None);
    f.addRows(2);
    f.w->chkPlaySound->SetValue(1);
    f.w->g_ltmrItemSecsTotal = 120;
    f.w->cmdConvert_Click();
    QVERIFY(f.w->IsBusy());
    QVERIFY(f.w->TabLog->isVisibleTo(f.w));
    QCOMPARE(f.w->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(f.w->windowTitle(), QStringLiteral("ACM Converter"));
    // A progress event above 0 % puts the program's name in the caption; 0 % changes nothing.
    f.conv()->emitProgress(0);
    QCOMPARE(f.w->windowTitle(), QStringLiteral("ACM Converter"));
    f.conv()->emitProgress(50);
    QCOMPARE(f.w->windowTitle(), DisplayName());
    QCOMPARE(f.w->prgCurrnet->Value(), 50);
    QCOMPARE(f.w->prgTotal->Value(), 50);
    QCOMPARE(f.w->g_ltmrCurItemSecs, 30);
    f.w->setWindowTitle(QStringLiteral("something else"));
    f.conv()->emitProgress(80);
    QCOMPARE(f.w->windowTitle(), DisplayName());
    f.w->Timer1_Timer();
    QVERIFY(f.w->lblTimeLeft->text() != QLatin1String("Time Left: 00:00:00"));
    f.conv()->finishDone();
    QCOMPARE(f.w->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("s2.mp3"));
    f.conv()->emitProgress(100);
    QCOMPARE(f.w->prgTotal->Value(), 200);
    f.w->setWindowTitle(QStringLiteral("something else"));
    f.conv()->finishDone();
    // Completed: "Done." on the status line, the program's name in the caption, no time left.
    QVERIFY(!f.w->IsBusy());
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Done."));
    QCOMPARE(f.w->windowTitle(), DisplayName());
    QCOMPARE(f.w->lblTimeLeft->text(), QStringLiteral("Time Left: 00:00:00"));
    QVERIFY(!f.w->Timer1.isActive());
    QCOMPARE(f.host.BalloonMessages(), QStringList{"Done."});
    QCOMPARE(f.platform.sound().played.size(), 1);
}

void tst_acmconverter::errorGoesToTheLogOnly()
{
    Fixture f(FakeAutoFinish::None);
    f.addRows(2);
    f.w->chkTurnOffComputer->SetValue(1);
    f.w->cmdConvert_Click();
    f.conv()->emitProgress(10);
    f.conv()->finishError(8, QStringLiteral("No such codec."));
    QVERIFY(f.log().contains(QStringLiteral("Error: No such codec.(8)")));
    QVERIFY(f.w->JobError());
    // The next row runs; neither the status line nor the caption shows the error.
    QCOMPARE(f.conv()->started.size(), 2);
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("s2.mp3"));
    QCOMPARE(f.w->windowTitle(), DisplayName());
    f.conv()->finishDone();
    // The ending says that a row failed, in the caption as well.
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Done. 1 of 2 failed: see the Log."));
    QCOMPARE(f.w->windowTitle(), QStringLiteral("Done. 1 of 2 failed: see the Log."));
    // The failed row keeps the computer on.
    QVERIFY(f.platform.modal().shown.isEmpty());
}

void tst_acmconverter::abortLeavesTheCaption()
{
    Fixture f(FakeAutoFinish::None);
    f.addRows(2);
    f.w->cmdConvert_Click();
    f.platform.messages().answers.enqueue(vbYes);
    f.w->cmdAbort_Click();
    QCOMPARE(f.conv()->abortCalls, 1);
    f.conv()->finishAborted();
    QCOMPARE(f.log().last(), QStringLiteral("Aborted."));
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Aborted."));
    QCOMPARE(f.w->windowTitle(), QStringLiteral("ACM Converter"));
    QVERIFY(f.w->cmdConvert->isEnabled() && f.w->cmdExit->isEnabled());
    QCOMPARE(f.conv()->started.size(), 1);
    QCOMPARE(f.host.BalloonMessages(), QStringList{"Aborted."});
}

void tst_acmconverter::overwriteQuestion_data()
{
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<int>("answer");  // 0: no question expected
    QTest::addColumn<int>("started");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("status");
    QTest::newRow("ticked: overwritten unasked") << true << 0 << 2 << "" << "Done.";
    QTest::newRow("Yes overwrites") << false << int(vbYes) << 2 << "" << "Done.";
    QTest::newRow("No skips the row") << false << int(vbNo) << 1 << "" << "Done.";
    QTest::newRow("Cancel stops the job") << false << int(vbCancel) << 0 << "Aborted." << "Aborted.";
}

void tst_acmconverter::overwriteQuestion()
{
    QFETCH(bool, ticked);
    QFETCH(int, answer);
    QFETCH(int, started);
    QFETCH(QString, caption);
    QFETCH(QString, status);
    Fixture f;
    f.addRows(2);
    f.w->cboFileName->setCurrentIndex(0);  // "[file_name].[dest_extension]"
    const QString taken = f.dest + QStringLiteral("s1.wav");
    TestFiles::WriteBytes(taken, "older");
    f.w->chkOverWrite->SetValue(ticked ? 1 : 0);
    if (answer)
        f.platform.messages().answers.enqueue(answer);
    f.convert();
    QCOMPARE(f.platform.messages().shown.size(), answer ? 1 : 0);
    QCOMPARE(f.log().contains(QStringLiteral("File already exists.")), answer != 0);
    QCOMPARE(f.conv()->started.size(), started);
    QCOMPARE(f.w->lblCurrentTrack->text(), status);
    QCOMPARE(f.w->windowTitle(), caption.isEmpty() ? DisplayName() : caption);
    QCOMPARE(f.w->lblTimeLeft->text(), QStringLiteral("Time Left: 00:00:00"));
    QCOMPARE(f.host.BalloonMessages(), QStringList{status});
}

QTEST_MAIN(tst_acmconverter)
#include "tst_acmconverter.moc"
