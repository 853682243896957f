// The audio editor window over the real editor control and the one-file conversion window
// over the conversion component's fake: the labels, the bar, saving and adding the
// selection with its refusals, closing, and the conversion window's formats, tags, ends
// and what it tells its caller.
#include "common/mdlModes.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cAudioEditor/cAudioEditor.h"
#include "components/cReBar/cReBar.h"
#include "components/cToolbar/cToolbar.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlFormats.h"
#include "settings/mdlOptions.h"
#include "tests/mainwindow/MainWindowFixture.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/FakeAudioComponents.h"
#include "tests/support/FakeToolFixture.h"
#include "tests/support/MainHostStandIn.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"
#include "tools/splitter/frmAudioEditor.h"
#include "tools/splitter/frmAudioEditorProc.h"

#include <QDate>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace AudioFixtures;

namespace {

// The main window as the editor sees it, recording the files added to its list.
struct Host : MainHostStandIn {
    QList<QStringList> added;
    bool AddPathsToList(const QStringList& paths) override
    {
        added << paths;
        return true;
    }
};

struct Fixture {
    TestPlatform platform;
    FakeAudioFactories fakes;
    Host host;
    QString wav = platform.path(QStringLiteral("music/take.wav"));  // 2.5 s, 44.1 kHz, 16-bit stereo
    frmAudioEditor* w = nullptr;

    Fixture()
    {
        InitProductProfile();
        Forms::Get<frmOptions>();
        Forms::Get<frmAudioProp>();
        QDir().mkpath(platform.path(QStringLiteral("music")));
        writeWav(wav, 44100, 2, 16, noise(110250, 2, 5));
        w = g_frmAudioEditor();
    }
    // As the launch hands a file over.
    bool open(const QString& file)
    {
        w->txtWavFile->setText(file);
        w->cAudioEditor1->OpenFile(file);
        return QTest::qWaitFor([this] { return w->cAudioEditor1->IsLoaded(); }, 10000);
    }
    void clickBar(const char* key) { w->tlbrList_ButtonClick(w->tlbrList->ButtonIndex(QLatin1String(key))); }
    bool barEnabled(const char* key) const { return w->tlbrList->ButtonEnabled(QLatin1String(key)); }
    QStringList prompts() const
    {
        QStringList out;
        for (const auto& b : const_cast<TestPlatform&>(platform).messages().shown)
            out << b.prompt;
        return out;
    }
};

// Waits until the save that runs has ended (both save buttons are enabled or the window
// has gone).
bool waitSaved(Fixture& f)
{
    QPointer<frmAudioEditor> w(f.w);
    return QTest::qWaitFor([&] { return !w || w->IsUnloading() || w->cmdAddSelection->isEnabled(); }, 10000);
}

QByteArray samplesOf(const QString& path, qint64 first, qint64 count)
{
    const WavLayout w = ParseWavLayout(path);
    return TestFiles::ReadBytes(path).mid(int(w.dataOffset + first * w.blockAlign), int(count * w.blockAlign));
}

} // namespace

class tst_audioeditorwindow : public QObject
{
    Q_OBJECT
private slots:
    void loadBuildsTheBarAndTheDefaultName();
    void fileLoadedFillsTheLabels();
    void selectionLabels_data();
    void selectionLabels();
    void saveAsWritesTheSelectedSamples();
    void saveAsCancelledDoesNothing();
    void afterAnErrorOnlyAddSelectionComesBack();
    void addSelectionAddsTheSavedFile();
    void addSelectionRefusals_data();
    void addSelectionRefusals();
    void addSelectionOverTheEditedFileIsRefused();
    void openAnotherFile();
    void refusedFileLeavesNothingOfTheOneBefore();
    void afterAFailedSaveTheNextFileSaves();
    void playPauseStop();
    void closingStopsTheSave_data();
    void closingStopsTheSave();

    void convertsToPlainWav();
    void targetFormats_data();
    void targetFormats();
    void defaultTagsWithPlaceholders();
    void endsAndWhatTheCallerLearns_data();
    void endsAndWhatTheCallerLearns();
    void errorStaysOpenAndClearsTheTarget();
    void closingWhileConvertingAborts();
};

void tst_audioeditorwindow::loadBuildsTheBarAndTheDefaultName()
{
    Fixture f;
    QCOMPARE(MainWindowTest::barButtons(f.w->tlbrList),
             (QStringList{"Play|Play|Play|55|0", "Pause|Pause|Pause|67|0", "Stop|Stop|Stop|40|0", "-",
                          "Zoom|Zoom|Zoom|68|0", "Restore|Restore|Restore|62|0", "-",
                          "Save Selection|Save As|Save Selection As...|5|0", "-", "Abort|Abort|Abort Operation|27|0"}));
    QCOMPARE(f.w->rbrList->BandNames(), QStringList{QStringLiteral("Toolbar1")});
    QCOMPARE(f.w->lblTitle->text(), QStringLiteral("Audio Analyzer"));
    // Beside the program, named after the time and the short date, without ":" or "/".
    const QString name = f.w->txtWavFile->text();
    QVERIFY2(name.startsWith(f.platform.home() + QStringLiteral("/Selection_")), qPrintable(name));
    QVERIFY(name.endsWith(QStringLiteral(".wav")));
    QVERIFY(QRegularExpression(QStringLiteral("/Selection_\\d\\d-\\d\\d-\\d\\d_[^/:]+\\.wav$")).match(name).hasMatch());
    QVERIFY(!name.mid(f.platform.home().size() + 1).contains(u'/'));
}

void tst_audioeditorwindow::fileLoadedFillsTheLabels()
{
    Fixture f;
    // What the control reports for a file of 12.5 s: its length in whole seconds.
    f.w->cAudioEditor1_FileLoaded(22050, 8, 1, 12, 275625);
    QCOMPARE(f.w->lblInfoSamples->text(), QStringLiteral("22050"));
    QCOMPARE(f.w->lblInfoBits->text(), QStringLiteral("8"));
    QCOMPARE(f.w->lblInfoChannels->text(), QStringLiteral("1"));
    QCOMPARE(f.w->lblLength->text(), QStringLiteral("0:00:12"));
    QCOMPARE(f.w->lblNumOfSamples->text(), QStringLiteral("275625"));
    QCOMPARE(f.w->lblSamplesStart->text(), QStringLiteral("0"));
    QCOMPARE(f.w->lblSamplesEnd->text(), QStringLiteral("275625"));
    QCOMPARE(f.w->lblTimeStart->text(), QStringLiteral("0 ms [0:00:00]"));
    QCOMPARE(f.w->lblTimeEnd->text(), QStringLiteral("12000 ms [0:00:12]"));
    QCOMPARE(f.w->lblSelectedTime->text(), QStringLiteral("12000 ms [0:00:12]"));
    // From the real control: a 2.5 s file.
    QVERIFY(f.open(f.wav));
    QCOMPARE(f.w->lblInfoSamples->text(), QStringLiteral("44100"));
    QCOMPARE(f.w->lblInfoBits->text(), QStringLiteral("16"));
    QCOMPARE(f.w->lblInfoChannels->text(), QStringLiteral("2"));
    QCOMPARE(f.w->lblNumOfSamples->text(), QStringLiteral("110250"));
    QCOMPARE(f.w->lblTimeEnd->text(), QStringLiteral("2000 ms [0:00:02]"));
}

void tst_audioeditorwindow::selectionLabels_data()
{
    QTest::addColumn<qint64>("startMs");
    QTest::addColumn<qint64>("endMs");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("selected");
    // Halves go to the even second.
    QTest::newRow("halves") << qint64(500) << qint64(2500) << "500 ms [0:00:00]" << "2500 ms [0:00:02]"
                            << "2000 ms [0:00:02]";
    QTest::newRow("one and a half") << qint64(0) << qint64(1500) << "0 ms [0:00:00]" << "1500 ms [0:00:02]"
                                    << "1500 ms [0:00:02]";
    QTest::newRow("hours") << qint64(3599499) << qint64(3600501) << "3599499 ms [0:59:59]" << "3600501 ms [1:00:01]"
                           << "1002 ms [0:00:01]";
}

void tst_audioeditorwindow::selectionLabels()
{
    QFETCH(qint64, startMs);
    QFETCH(qint64, endMs);
    QFETCH(QString, start);
    QFETCH(QString, end);
    QFETCH(QString, selected);
    Fixture f;
    f.w->cAudioEditor1_SelectionChanged(123, 4567, startMs, endMs);
    QCOMPARE(f.w->lblSamplesStart->text(), QStringLiteral("123"));
    QCOMPARE(f.w->lblSamplesEnd->text(), QStringLiteral("4567"));
    QCOMPARE(f.w->lblTimeStart->text(), start);
    QCOMPARE(f.w->lblTimeEnd->text(), end);
    QCOMPARE(f.w->lblSelectedTime->text(), selected);
}

void tst_audioeditorwindow::saveAsWritesTheSelectedSamples()
{
    Fixture f;
    QVERIFY(f.open(f.wav));
    f.w->cAudioEditor1->SetSelection(4410, 70000);  // the labels follow the control
    QCOMPARE(f.w->lblTimeStart->text(), QStringLiteral("100 ms [0:00:00]"));
    const QString out = f.platform.path(QStringLiteral("part.wav"));
    f.platform.dialogs().saveAnswers.enqueue(out);
    f.clickBar("Save Selection");
    const FileRequest& r = f.platform.dialogs().saveRequests.last();
    QCOMPARE(r.title, QStringLiteral("Save Selection As"));
    QCOMPARE(r.filter, QStringLiteral("Wav Audio Files (*.wav)"));
    QCOMPARE(r.defaultSuffix, QStringLiteral("wav"));
    QVERIFY(!f.w->cmdAddSelection->isEnabled());
    QVERIFY(!f.barEnabled("Save Selection"));
    QVERIFY(waitSaved(f));
    QVERIFY(f.barEnabled("Save Selection"));
    QCOMPARE(f.w->prgCurrnet->Value(), 100);
    QCOMPARE(ParseWavLayout(out).frames(), qint64(70000 - 4410));
    QVERIFY(samplesOf(out, 0, 65590) == samplesOf(f.wav, 4410, 65590));
    QVERIFY(f.host.added.isEmpty());
    QVERIFY(Forms::IsLoaded<frmAudioEditor>());  // "Save As" keeps the window
}

void tst_audioeditorwindow::saveAsCancelledDoesNothing()
{
    Fixture f;
    QVERIFY(f.open(f.wav));
    QCOMPARE(f.w->SaveSelectionAs(), QString());
    QVERIFY(f.w->cmdAddSelection->isEnabled());
    QVERIFY(f.barEnabled("Save Selection"));
    QVERIFY(!f.w->cAudioEditor1->IsSaving());
}

void tst_audioeditorwindow::afterAnErrorOnlyAddSelectionComesBack()
{
    Fixture f;
    QVERIFY(f.open(f.wav));
    f.platform.dialogs().saveAnswers.enqueue(f.platform.path(QStringLiteral("no/folder/x.wav")));
    f.platform.messages().answers.enqueue(vbOK);
    f.clickBar("Save Selection");
    QVERIFY(waitSaved(f));
    QVERIFY(!f.barEnabled("Save Selection"));
    QCOMPARE(f.prompts().size(), 1);  // the failure is said
    QVERIFY2(f.prompts()[0].contains(QStringLiteral("does not exist")), qPrintable(f.prompts()[0]));
    // "Add Selection" still saves, and brings the bar's button back.
    const QString out = f.platform.path(QStringLiteral("second.wav"));
    f.platform.dialogs().saveAnswers.enqueue(out);
    f.w->cmdAddSelection_Click();
    QTRY_VERIFY_WITH_TIMEOUT(!Forms::IsLoaded<frmAudioEditor>(), 10000);
    QCOMPARE(f.host.added, QList<QStringList>{{out}});
    QCOMPARE(ParseWavLayout(out).frames(), qint64(110250));  // the whole file: nothing was selected
}

void tst_audioeditorwindow::addSelectionAddsTheSavedFile()
{
    Fixture f;
    QVERIFY(f.open(f.wav));
    f.w->cAudioEditor1->SetSelection(100, 200);
    const QString out = f.platform.path(QStringLiteral("added.wav"));
    f.platform.dialogs().saveAnswers.enqueue(out);
    f.w->cmdAddSelection_Click();
    QVERIFY(Forms::IsLoaded<frmAudioEditor>());  // until the save has ended
    QVERIFY(f.host.added.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!Forms::IsLoaded<frmAudioEditor>(), 10000);
    QCOMPARE(f.host.added, QList<QStringList>{{out}});
    QVERIFY(samplesOf(out, 0, 100) == samplesOf(f.wav, 100, 100));
}

void tst_audioeditorwindow::addSelectionRefusals_data()
{
    QTest::addColumn<QString>("edited");  // "" none; otherwise a file of that many bytes
    QTest::addColumn<int>("bytes");
    QTest::addColumn<QString>("message");  // "@" stands for the edited file's path
    QTest::newRow("no file named") << QString() << 0 << "The file: was not found.";
    QTest::newRow("missing") << "gone.wav" << -1 << "The file:@ was not found.";
    QTest::newRow("64 bytes") << "tiny.wav" << 64 << "The file:@ is empty.";
}

void tst_audioeditorwindow::addSelectionRefusals()
{
    QFETCH(QString, edited);
    QFETCH(int, bytes);
    QFETCH(QString, message);
    Fixture f;
    QVERIFY(f.open(f.wav));
    const QString path = edited.isEmpty() ? QString() : f.platform.path(edited);
    if (bytes >= 0 && !path.isEmpty())
        QVERIFY(TestFiles::WriteBytes(path, QByteArray(bytes, 'x')));
    f.w->txtWavFile->setText(path);
    const QString out = f.platform.path(QStringLiteral("out.wav"));
    f.platform.dialogs().saveAnswers.enqueue(out);
    f.platform.messages().answers.enqueue(vbOK);
    f.w->cmdAddSelection_Click();
    QCOMPARE(f.prompts(), QStringList{QString(message).replace(u'@', path)});
    QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation + vbOKOnly);
    QTest::qWait(50);
    QVERIFY(!QFile::exists(out));
    QVERIFY(f.host.added.isEmpty());
    QVERIFY(Forms::IsLoaded<frmAudioEditor>());
    QVERIFY(f.w->cmdAddSelection->isEnabled());
    // A cancelled dialog: nothing at all, and the window stays.
    f.w->cmdAddSelection_Click();
    QCOMPARE(f.prompts().size(), 1);
    QVERIFY(Forms::IsLoaded<frmAudioEditor>());
    // 65 bytes go on to the save (which fails: no WAV file holds that little).
    if (bytes == 64) {
        QVERIFY(TestFiles::WriteBytes(path, QByteArray(65, 'x')));
        f.platform.dialogs().saveAnswers.enqueue(out);
        f.platform.messages().answers.enqueue(vbOK);
        f.w->cmdAddSelection_Click();
        QVERIFY(waitSaved(f));
        QCOMPARE(f.prompts().size(), 2);
        QVERIFY(!f.prompts()[1].contains(QStringLiteral("is empty")));
        QVERIFY(f.host.added.isEmpty());
        QVERIFY(Forms::IsLoaded<frmAudioEditor>());
    }
}

void tst_audioeditorwindow::addSelectionOverTheEditedFileIsRefused()
{
    Fixture f;
    QVERIFY(f.open(f.wav));
    const QByteArray before = TestFiles::ReadBytes(f.wav);
    f.platform.dialogs().saveAnswers.enqueue(f.wav);
    f.platform.messages().answers.enqueue(vbOK);
    f.w->cmdAddSelection_Click();
    QVERIFY(waitSaved(f));
    QCOMPARE(f.prompts().size(), 1);
    QVERIFY2(f.prompts()[0].contains(QStringLiteral("left untouched")), qPrintable(f.prompts()[0]));
    QCOMPARE(TestFiles::ReadBytes(f.wav), before);
    QVERIFY(f.host.added.isEmpty());
    QVERIFY(Forms::IsLoaded<frmAudioEditor>());
}

void tst_audioeditorwindow::openAnotherFile()
{
    Fixture f;
    QVERIFY(f.open(f.wav));
    const QString other = f.platform.path(QStringLiteral("music/other.wav"));
    writeWav(other, 8000, 1, 8, noise(8000 * 3, 1, 9));
    f.platform.dialogs().openAnswers.enqueue({other});
    f.w->cmdSelectPath_Click();
    const FileRequest& r = f.platform.dialogs().openRequests.last();
    QCOMPARE(r.title, QStringLiteral("Add audio files"));
    QCOMPARE(r.filter, QStringLiteral("Wav Audio Files (*.wav)"));
    QCOMPARE(f.w->txtWavFile->text(), other);
    QTRY_COMPARE_WITH_TIMEOUT(f.w->lblInfoSamples->text(), QStringLiteral("8000"), 10000);
    QCOMPARE(f.w->lblLength->text(), QStringLiteral("0:00:03"));
    // Cancelled: the file stays.
    f.w->cmdSelectPath_Click();
    QCOMPARE(f.w->txtWavFile->text(), other);
    QCOMPARE(f.w->cAudioEditor1->FileName(), other);
}

// A file the control cannot show, opened after one it showed: the failure is said, and
// the labels show nothing of the file before.
void tst_audioeditorwindow::refusedFileLeavesNothingOfTheOneBefore()
{
    Fixture f;
    QVERIFY(f.open(f.wav));
    QCOMPARE(f.w->lblInfoSamples->text(), QStringLiteral("44100"));
    const QString notes = f.platform.path(QStringLiteral("music/notes.wav"));
    QVERIFY(TestFiles::WriteBytes(notes, "Milk, bread, and a WAV name that holds no sound.\n"));
    f.platform.dialogs().openAnswers.enqueue({notes});
    f.platform.messages().answers.enqueue(vbOK);
    f.w->cmdSelectPath_Click();
    QTRY_COMPARE_WITH_TIMEOUT(f.prompts().size(), 1, 10000);
    QVERIFY2(f.prompts()[0].contains(notes), qPrintable(f.prompts()[0]));
    for (QLabel* label : {f.w->lblInfoSamples, f.w->lblInfoBits, f.w->lblInfoChannels, f.w->lblLength,
                          f.w->lblNumOfSamples, f.w->lblSamplesStart, f.w->lblSamplesEnd, f.w->lblTimeStart,
                          f.w->lblTimeEnd, f.w->lblSelectedTime})
        QCOMPARE(label->text(), QString());
    QVERIFY(!f.w->cAudioEditor1->IsLoaded());
}

// After a save that failed, the bar's "Save As" stays disabled for that file; once another
// file is loaded it saves again.
void tst_audioeditorwindow::afterAFailedSaveTheNextFileSaves()
{
    Fixture f;
    QVERIFY(f.open(f.wav));
    f.platform.dialogs().saveAnswers.enqueue(f.platform.path(QStringLiteral("no/folder/x.wav")));
    f.platform.messages().answers.enqueue(vbOK);
    f.clickBar("Save Selection");
    QVERIFY(waitSaved(f));
    QVERIFY(!f.barEnabled("Save Selection"));

    const QString other = f.platform.path(QStringLiteral("music/other.wav"));
    writeWav(other, 8000, 1, 8, noise(8000 * 3, 1, 9));
    f.platform.dialogs().openAnswers.enqueue({other});
    f.w->cmdSelectPath_Click();
    QTRY_COMPARE_WITH_TIMEOUT(f.w->lblInfoSamples->text(), QStringLiteral("8000"), 10000);
    QVERIFY(f.barEnabled("Save Selection"));
    const QString out = f.platform.path(QStringLiteral("other-part.wav"));
    f.platform.dialogs().saveAnswers.enqueue(out);
    f.clickBar("Save Selection");
    QVERIFY(waitSaved(f));
    QCOMPARE(f.prompts().size(), 1);
    QCOMPARE(ParseWavLayout(out).frames(), qint64(8000 * 3));
}

void tst_audioeditorwindow::playPauseStop()
{
    Fixture f;
    QVERIFY(f.open(f.wav));
    f.clickBar("Play");
    QVERIFY(f.w->cAudioEditor1->IsPlaying());
    QVERIFY(!f.barEnabled("Play"));
    f.clickBar("Pause");
    QVERIFY(f.w->cAudioEditor1->IsPaused());
    f.clickBar("Pause");
    QVERIFY(!f.w->cAudioEditor1->IsPaused());
    f.clickBar("Pause");
    f.clickBar("Stop");  // while paused
    QVERIFY(!f.w->cAudioEditor1->IsPlaying());
    QVERIFY(f.barEnabled("Play"));
    f.clickBar("Abort");  // the bar's Abort does nothing
    QVERIFY(f.platform.messages().shown.isEmpty());
    // A short selection plays to its end: Play comes back by itself.
    f.w->cAudioEditor1->SetSelection(0, 4410);
    f.clickBar("Play");
    QVERIFY(!f.barEnabled("Play"));
    QTRY_VERIFY_WITH_TIMEOUT(f.barEnabled("Play"), 5000);
    QVERIFY(!f.w->cAudioEditor1->IsPlaying());
    // And the window's Abort stops a playback.
    f.clickBar("Play");
    f.w->cmdAbort_Click();
    QVERIFY(!f.w->cAudioEditor1->IsPlaying());
    QTRY_VERIFY(f.barEnabled("Play"));
}

void tst_audioeditorwindow::closingStopsTheSave_data()
{
    QTest::addColumn<bool>("closeBox");
    QTest::newRow("close box") << true;
    QTest::newRow("Exit") << false;
}

void tst_audioeditorwindow::closingStopsTheSave()
{
    QFETCH(bool, closeBox);
    Fixture f;
    QVERIFY(f.open(f.wav));
    QDir().mkpath(f.platform.path(QStringLiteral("saves")));
    f.platform.dialogs().saveAnswers.enqueue(f.platform.path(QStringLiteral("saves/out.wav")));
    f.w->cmdAddSelection_Click();
    f.clickBar("Play");
    QVERIFY(f.w->cAudioEditor1->IsSaving());
    cAudioEditor* control = f.w->cAudioEditor1;
    if (closeBox)
        f.w->close();
    else
        f.w->cmdExit_Click();
    QVERIFY(!Forms::IsLoaded<frmAudioEditor>());
    QVERIFY(!control->IsPlaying());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTest::qWait(50);
    QCOMPARE(QDir(f.platform.path(QStringLiteral("saves"))).entryList(QDir::Files | QDir::Hidden), QStringList());
    QVERIFY(f.host.added.isEmpty());
}

// ---- the one-file conversion window ------------------------------------------------------

namespace {

struct ProcFixture : FakeToolFixture {
    frmAudioEditorProc* w = nullptr;

    explicit ProcFixture(FakeAutoFinish finish = FakeAutoFinish::None)
    {
        fakes.setupConverter = [finish](FakeAudioConverter* c) { c->autoFinish = finish; };
        frmAudioEditorProc::g_bConvertTo = false;
        frmAudioEditorProc::g_sConvertToTarget.clear();
        host.g_bAbortedAudioEditor = false;
        w = g_frmAudioEditorProc();
    }
    FakeAudioConverter* conv() const { return qobject_cast<FakeAudioConverter*>(w->cAudioConverter1); }
    // ConvertFile, then the start as the timer makes it once the window runs.
    FakeJobRecord start()
    {
        w->ConvertFile(QStringLiteral("/music/in.mp3"), QStringLiteral("/tmp/out.wav"));
        [&] { QTRY_COMPARE(conv()->started.size(), 1); }();
        return conv()->started.value(0);
    }
};

} // namespace

void tst_audioeditorwindow::convertsToPlainWav()
{
    ProcFixture f;
    QCOMPARE(f.w->windowTitle(), QStringLiteral("Preparing Audio Analyzer"));
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Preparing..."));
    g_lSamplesWAV = 22050;
    g_lChannelsWAV = 0;
    g_lBitrateWAV = 8;
    g_sTagArtist = QStringLiteral("Someone");
    const FakeJobRecord r = f.start();
    QVERIFY(!f.w->Timer1.isActive());
    QCOMPARE(r.source, QStringLiteral("/music/in.mp3"));
    QCOMPARE(r.output, QStringLiteral("/tmp/out.wav"));
    QCOMPARE(r.format, qint32(kOutputWAV));
    QCOMPARE(r.settings.WAV.SamplesPerSec, 22050);
    QCOMPARE(r.settings.WAV.Channels, qint16(1));
    QCOMPARE(r.settings.WAV.BitsPerSample, qint16(8));
    QVERIFY(r.tags.isEmpty());
    QTest::qWait(30);
    QCOMPARE(f.conv()->started.size(), 1);  // started once
}

void tst_audioeditorwindow::targetFormats_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("format");  // 0: nothing set, the component keeps its format
    QTest::newRow("MP3") << "MP3 - MPEG-1 Audio Layer 3 (*.mp3)" << int(kOutputMP3);
    QTest::newRow("ACM") << "ACM - Audio Compression Manager (*.wav)" << int(kOutputACM);
    QTest::newRow("WMA") << "WMA - Windows Media Audio (*.wma)" << int(kOutputWMA);
    QTest::newRow("OGG, not offered") << "OGG - Ogg Media Format (*.ogg)" << int(kOutputOGG);
    QTest::newRow("APE") << "APE - Monkey's Audio (*.ape)" << int(kOutputAPE);
    QTest::newRow("lower case") << "mp3 - something" << int(kOutputMP3);
    QTest::newRow("unknown") << "FLA - Free Lossless" << 0;
    QTest::newRow("empty") << "" << 0;
}

void tst_audioeditorwindow::targetFormats()
{
    QFETCH(QString, target);
    QFETCH(int, format);
    ProcFixture f;
    f.conv()->SetOutputFormat(kOutputWMA + 100);  // what an earlier use left
    frmAudioEditorProc::g_sConvertToTarget = target;
    frmAudioEditorProc::g_bConvertTo = true;
    const FakeJobRecord r = f.start();
    QCOMPARE(r.format, format == 0 ? qint32(kOutputWMA + 100) : qint32(format));
    f.conv()->finishDone();
    QVERIFY(!frmAudioEditorProc::g_bConvertTo);
    QCOMPARE(frmAudioEditorProc::g_sConvertToTarget, target);  // kept for the next caller
}

void tst_audioeditorwindow::defaultTagsWithPlaceholders()
{
    ProcFixture f;
    g_sTagAlbum = QStringLiteral("Album [YEAR]");
    g_sTagArtist = QStringLiteral("[PROG_NAME]");
    g_sTagComment = QStringLiteral("[prog_name] [Year]");
    g_sTagGenre = QStringLiteral("Speech");
    g_sTagSong = QStringLiteral("Song [TRACK_NUM]");
    g_sTagTrack = QStringLiteral("[TRACK_NUM]");
    g_sTagYear = QStringLiteral("[YEAR]");
    frmAudioEditorProc::g_sConvertToTarget = QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)");
    frmAudioEditorProc::g_bConvertTo = true;
    const FakeJobRecord r = f.start();
    const QString year = QString::number(QDate::currentDate().year());
    QCOMPARE(r.tags.Album, QStringLiteral("Album ") + year);
    QCOMPARE(r.tags.Artist, g_sAppName);
    QCOMPARE(r.tags.Comment, QStringLiteral("[prog_name] [Year]"));  // other letter case stays
    QCOMPARE(r.tags.Genre, QStringLiteral("Speech"));
    QCOMPARE(r.tags.Title, QStringLiteral("Song 1"));
    QCOMPARE(r.tags.Track, QStringLiteral("1"));
    QCOMPARE(r.tags.Year, year);
    g_sTagAlbum = g_sTagArtist = g_sTagComment = g_sTagGenre = g_sTagSong = g_sTagTrack = g_sTagYear = QString();
}

void tst_audioeditorwindow::endsAndWhatTheCallerLearns_data()
{
    QTest::addColumn<QString>("end");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("notDone");
    QTest::newRow("done") << "done" << "Done." << false;
    QTest::newRow("aborted by its button") << "abort" << "Aborted." << true;
}

void tst_audioeditorwindow::endsAndWhatTheCallerLearns()
{
    QFETCH(QString, end);
    QFETCH(QString, label);
    QFETCH(bool, notDone);
    ProcFixture f;
    frmAudioEditorProc::g_bConvertTo = true;
    frmAudioEditorProc::g_sConvertToTarget = QStringLiteral("MP3");
    f.start();
    f.conv()->emitProgress(0);
    QCOMPARE(f.w->prgCurrnet->Value(), 0);
    f.conv()->emitProgress(0);
    f.conv()->emitProgress(37);
    QCOMPARE(f.w->prgCurrnet->Value(), 37);
    QPointer<frmAudioEditorProc> w(f.w);
    QLabel* lbl = f.w->lblCurrentTrack;
    QString shown;
    QObject::connect(f.w, &VForm::unloaded, [&] { shown = lbl->text(); });
    if (end == QLatin1String("done")) {
        f.conv()->finishDone();
    } else {
        f.w->cmdAbort_Click();
        QCOMPARE(f.conv()->abortCalls, 1);
        f.conv()->finishAborted();
    }
    QCOMPARE(shown, label);
    QVERIFY(!Forms::IsLoaded<frmAudioEditorProc>());
    QCOMPARE(f.host.g_bAbortedAudioEditor, notDone);
    QVERIFY(!frmAudioEditorProc::g_bConvertTo);
}

void tst_audioeditorwindow::errorStaysOpenAndClearsTheTarget()
{
    ProcFixture f;
    frmAudioEditorProc::g_bConvertTo = true;
    frmAudioEditorProc::g_sConvertToTarget = QStringLiteral("MP3 - MPEG-1 Audio Layer 3 (*.mp3)");
    f.start();
    f.conv()->finishError(5, QStringLiteral("Cannot write"));
    QCOMPARE(f.w->lblCurrentTrack->text(), QStringLiteral("Cannot write(5)"));
    QVERIFY(Forms::IsLoaded<frmAudioEditorProc>());
    QVERIFY(!frmAudioEditorProc::g_bConvertTo);
    QVERIFY(!f.host.g_bAbortedAudioEditor);
    // The user closes it: the caller opens nothing.
    f.w->close();
    QVERIFY(!Forms::IsLoaded<frmAudioEditorProc>());
    QVERIFY(f.host.g_bAbortedAudioEditor);
    // The next use converts to plain WAV again.
    f.host.g_bAbortedAudioEditor = false;
    f.w = g_frmAudioEditorProc();
    QCOMPARE(f.start().format, qint32(kOutputWAV));
}

void tst_audioeditorwindow::closingWhileConvertingAborts()
{
    ProcFixture f;
    f.start();
    FakeAudioConverter* conv = f.conv();
    QVERIFY(conv->isRunning());
    f.w->close();
    QVERIFY(!Forms::IsLoaded<frmAudioEditorProc>());
    QCOMPARE(conv->closeConverterCalls, 1);
    QVERIFY(f.host.g_bAbortedAudioEditor);
    // Closed before its start: nothing is converted, and the caller learns it too.
    f.host.g_bAbortedAudioEditor = false;
    f.w = g_frmAudioEditorProc();
    f.w->ConvertFile(QStringLiteral("/a.mp3"), QStringLiteral("/b.wav"));
    QPointer<FakeAudioConverter> second = f.conv();
    f.w->close();
    QTest::qWait(30);
    QVERIFY(!second || second->started.isEmpty());
    QVERIFY(f.host.g_bAbortedAudioEditor);
}

QTEST_MAIN(tst_audioeditorwindow)
#include "tst_audioeditorwindow.moc"
