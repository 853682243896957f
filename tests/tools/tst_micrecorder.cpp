// The recorder window over the wave component's fake: what it shows when it opens, the
// format, device and file it hands to the component, the log's exact lines for every
// answer of the component, the recording clock and its limit, playback, the format
// report, the save dialog, adding the file, and the order in which closing stops it all.
#include "common/mdlCommDialog.h"
#include "common/mdlFunctions.h"
#include "common/mdlModes.h"
#include "components/cProgressBar/cProgressBar.h"
#include "components/cSlider/cSlider.h"
#include "platform/Controls.h"
#include "settings/mdlOptions.h"
#include "tests/support/FakeAudioComponents.h"
#include "tests/support/MainHostStandIn.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"
#include "tools/recording/frmMicRecorder.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <functional>

namespace {

// The main window as the recorder sees it: it records the files added to its list and
// answers as a list would (or as a group node would, when refusing).
struct Host : MainHostStandIn {
    QList<QStringList> added;
    bool accept = true;
    bool AddPathsToList(const QStringList& paths) override
    {
        added << paths;
        return accept;
    }
};

struct Fixture {
    TestPlatform platform;
    FakeAudioFactories fakes;
    Host host;
    frmMicRecorder* w = nullptr;

    // `setup` scripts the window's component before the window loads.
    explicit Fixture(const std::function<void(FakeWave*)>& setup = {})
    {
        InitProductProfile();
        fakes.setupWave = setup;
        w = g_frmMicRecorder();
    }
    FakeWave* wave() const { return qobject_cast<FakeWave*>(w->cWave1); }
    // The log's lines, each without its time of day (which must lead it).
    QStringList log() const
    {
        QStringList lines = w->txtResults->toPlainText().split(u'\n');
        if (lines.last().isEmpty())
            lines.removeLast();
        static const QRegularExpression time(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d(?=:)"));
        for (QString& line : lines)
            line.remove(time);
        return lines;
    }
    QStringList prompts() const
    {
        QStringList out;
        for (const auto& b : const_cast<TestPlatform&>(platform).messages().shown)
            out << b.prompt;
        return out;
    }
    QString file(const QString& name, int bytes)
    {
        const QString path = platform.path(name);
        TestFiles::WriteBytes(path, QByteArray(bytes, 'r'));
        return path;
    }
};

WaveFormat format(int rate, int channels, int bits, int block)
{
    WaveFormat f;
    f.wFormatTag = 1;
    f.nChannels = quint16(channels);
    f.nSamplesPerSec = quint32(rate);
    f.nAvgBytesPerSec = quint32(rate * block);
    f.nBlockAlign = quint16(block);
    f.wBitsPerSample = quint16(bits);
    return f;
}

bool operator==(const WaveFormat& a, const WaveFormat& b)
{
    return a.wFormatTag == b.wFormatTag && a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec &&
           a.nAvgBytesPerSec == b.nAvgBytesPerSec && a.nBlockAlign == b.nBlockAlign &&
           a.wBitsPerSample == b.wBitsPerSample && a.cbSize == b.cbSize;
}

} // namespace

Q_DECLARE_METATYPE(WaveFormat)

class tst_micrecorder : public QObject
{
    Q_OBJECT
private slots:
    void opensWithOneLogLineAndTheDevices()
    {
        Fixture f;
        // The time of day as the system writes it, then the message.
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d: MeterIn=True\\.\\n$"))
                     .match(f.w->txtResults->toPlainText())
                     .hasMatch(),
                 qPrintable(f.w->txtResults->toPlainText()));
        QCOMPARE(f.wave()->calls, QStringList{"MeterIn 1"});
        QCOMPARE(f.w->windowTitle(), QStringLiteral("Audio Recorder"));
        QCOMPARE(f.w->cboDevices->count(), 1);
        QCOMPARE(f.w->cboDevices->currentText(), QStringLiteral("0 - Fake Microphone - 2"));
        QCOMPARE(f.w->cboBitPerSample->currentText(), QStringLiteral("16"));
        QCOMPARE(f.w->cboSamplesPerSec->currentText(), QStringLiteral("44100"));
        QCOMPARE(f.w->cboChannels->currentText(), QStringLiteral("Stereo"));
        QCOMPARE(f.w->cboSamplesPerSec->count(), 4);
        QCOMPARE(f.w->txtAudioFile->text(), QDir::homePath() + QStringLiteral("/wave_file.wav"));
        QCOMPARE(f.w->lblRecTime->text(), QStringLiteral("0:00:00"));
        QCOMPARE(f.w->Label6->text(), QStringLiteral("0:00:30"));
        QCOMPARE(f.w->prgMeter->Max(), 120);
        QVERIFY(f.w->cmdFileDetails->isHidden());
        QVERIFY(f.w->chkMeterIn->isHidden() && f.w->chkPreScreen->isHidden() && f.w->chkCutSilence->isHidden());
        QVERIFY(f.w->chkMeterIn->isChecked());
        QVERIFY(!f.w->tmrRec.isActive() && !f.w->tmSlider.isActive());
    }

    void everyInputDeviceIsListed()
    {
        Fixture f([](FakeWave* w) {
            w->inputs = {{"Built-in Audio Analog Stereo", "pulse", 44100, 2}, {"USB Mic", "pulse", 48000, 1}};
        });
        QCOMPARE(f.w->cboDevices->count(), 2);
        QCOMPARE(f.w->cboDevices->itemText(0), QStringLiteral("0 - Built-in Audio Analog Stereo - 2"));
        QCOMPARE(f.w->cboDevices->itemText(1), QStringLiteral("1 - USB Mic - 1"));
        QCOMPARE(f.w->cboDevices->currentIndex(), 0);
        f.w->cboDevices->setCurrentIndex(1);
        f.w->cmdRecord_Click();
        QCOMPARE(f.wave()->recordStarts[0].device, 1);
    }

    // What the lists show when Record is pressed is the format handed over.
    void recordHandsOverTheListsFormat_data()
    {
        QTest::addColumn<QString>("bits");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("channels");
        QTest::addColumn<WaveFormat>("expected");
        QTest::newRow("as it opens") << "16" << "44100" << "Stereo" << format(44100, 2, 16, 4);
        QTest::newRow("22050, mono, 8") << "8" << "22050" << "Mono" << format(22050, 1, 8, 1);
        QTest::newRow("8000, stereo, 8") << "8" << "8000" << "Stereo" << format(8000, 2, 8, 2);
        QTest::newRow("11025, mono, 16") << "16" << "11025" << "Mono" << format(11025, 1, 16, 2);
    }

    void recordHandsOverTheListsFormat()
    {
        QFETCH(QString, bits);
        QFETCH(QString, rate);
        QFETCH(QString, channels);
        QFETCH(WaveFormat, expected);
        Fixture f;
        QVERIFY(SelectListText(f.w->cboBitPerSample, bits));
        QVERIFY(SelectListText(f.w->cboSamplesPerSec, rate));
        QVERIFY(SelectListText(f.w->cboChannels, channels));
        f.w->txtAudioFile->setText(f.platform.path("take.wav"));
        f.w->cmdRecord_Click();
        QCOMPARE(f.wave()->recordStarts.size(), 1);
        const FakeWaveStart& s = f.wave()->recordStarts[0];
        QVERIFY(s.format == expected);
        QCOMPARE(s.file, f.platform.path("take.wav"));
        QCOMPARE(s.device, 0);
        QCOMPARE(s.value, 1600);
        QCOMPARE(f.wave()->calls, (QStringList{"MeterIn 1", "MeterIn 1", "PreScreenClose", "RecordStart"}));
        QCOMPARE(f.log(), (QStringList{": MeterIn=True.", ": MeterIn=True.", ": PreScreenClose.", ": RecordStart Success."}));
        QVERIFY(!f.w->cmdRecord->isEnabled());
        QVERIFY(!f.w->chkCutSilence->isEnabled());
        QVERIFY(f.w->tmrRec.isActive());
        QCOMPARE(f.w->m_lRecSeconds, 0);
    }

    // The hidden boxes, ticked, take their part in a start; the pre-screen gets the
    // format the lists show at that moment.
    void theHiddenBoxesWhenTicked()
    {
        Fixture f;
        f.w->chkCutSilence->setChecked(true);
        QVERIFY(SelectListText(f.w->cboChannels, "Mono"));
        f.w->chkPreScreen->SetValue(1);
        QVERIFY(SelectListText(f.w->cboSamplesPerSec, "8000"));
        f.w->cmdRecord_Click();
        QCOMPARE(f.wave()->calls, (QStringList{"MeterIn 1", "PreScreenOpen", "CutSilence 1", "CutSilenceVal 20", "MeterIn 1",
                                               "PreScreenOpen", "RecordStart"}));
        QVERIFY(f.wave()->preScreenFormats[0] == format(44100, 1, 16, 2));
        QVERIFY(f.wave()->preScreenFormats[1] == format(8000, 1, 16, 2));
        QCOMPARE(f.log(), (QStringList{": MeterIn=True.", ": PreScreenOpen.", ": CutSilence=True, Val=20.",
                                       ": MeterIn=True.", ": PreScreenOpen.", ": RecordStart Success."}));
        f.w->chkMeterIn->SetValue(0);
        f.w->chkPreScreen->SetValue(0);
        QCOMPARE(f.log().mid(6), (QStringList{": MeterIn=False.", ": PreScreenClose."}));
        QCOMPARE(f.wave()->calls.mid(7), (QStringList{"MeterIn 0", "PreScreenClose"}));
    }

    // A refused start logs the component's reason right after ": Error RecordStart .";
    // Record stays enabled and the clock off. With no device the list is empty.
    void aRefusedStart_data()
    {
        QTest::addColumn<bool>("devices");
        QTest::newRow("a device") << true;
        QTest::newRow("no device") << false;
    }

    void aRefusedStart()
    {
        QFETCH(bool, devices);
        Fixture f([devices](FakeWave* w) {
            if (!devices)
                w->inputs.clear();
        });
        QCOMPARE(f.w->cboDevices->count(), devices ? 1 : 0);
        QCOMPARE(f.w->cboDevices->currentIndex(), devices ? 0 : -1);
        f.wave()->recordResult = 4;
        f.wave()->errorTexts[4] = QStringLiteral("The file \"/x/y.wav\" cannot be written: No such file or directory.");
        f.w->cmdRecord_Click();
        QCOMPARE(f.wave()->recordStarts[0].device, devices ? 0 : -1);
        QCOMPARE(f.log().last(),
                 QStringLiteral(": Error RecordStart .The file \"/x/y.wav\" cannot be written: No such file or directory."));
        QVERIFY(f.w->cmdRecord->isEnabled());
        QVERIFY(!f.w->tmrRec.isActive());
        QVERIFY(f.w->chkCutSilence->isEnabled());
    }

    // Stop and its end event; a failure of the recording is logged before its end.
    void stopAndTheEndOfARecording()
    {
        Fixture f;
        f.w->cmdRecord_Click();
        f.w->cmdStopRec_Click();
        QCOMPARE(f.log().last(), QStringLiteral(": RecordStop Success."));
        QVERIFY(f.w->tmrRec.isActive());  // until the component says it has ended
        QTRY_COMPARE(f.log().last(), QStringLiteral(": DoneRecord Event."));
        QVERIFY(f.w->cmdRecord->isEnabled());
        QVERIFY(f.w->chkCutSilence->isEnabled());
        QVERIFY(!f.w->tmrRec.isActive());

        f.w->cmdRecord_Click();
        f.wave()->errorTexts[4] = QStringLiteral("Writing the file \"/x.wav\" failed: No space left on device.");
        emit f.wave()->RecordFailed(4);
        emit f.wave()->DoneRecord();
        QCOMPARE(f.log().mid(f.log().size() - 2),
                 (QStringList{": Error Record .Writing the file \"/x.wav\" failed: No space left on device.",
                              ": DoneRecord Event."}));
        QVERIFY(f.w->cmdRecord->isEnabled());
    }

    // The clock shows the seconds and stops the recording at the 30th tick.
    void theThirtiethTickStopsTheRecording()
    {
        Fixture f;
        f.w->cmdRecord_Click();
        for (int i = 0; i < 29; ++i)
            f.w->tmrRec_Timer();
        QCOMPARE(f.w->lblRecTime->text(), QStringLiteral("0:00:29"));
        QVERIFY(f.wave()->isRecording());
        QVERIFY(!f.w->cmdRecord->isEnabled());
        f.w->tmrRec_Timer();
        QCOMPARE(f.w->lblRecTime->text(), QStringLiteral("0:00:30"));
        QCOMPARE(f.wave()->calls.last(), QStringLiteral("RecordStop"));
        QCOMPARE(f.log().last(), QStringLiteral(": RecordStop Success."));
        QVERIFY(!f.w->tmrRec.isActive());
        QVERIFY(f.w->cmdRecord->isEnabled());
        QCOMPARE(f.w->m_lRecSeconds, 0);
        QTRY_COMPARE(f.log().last(), QStringLiteral(": DoneRecord Event."));
        // The label keeps the time until the next recording's first tick.
        QCOMPARE(f.w->lblRecTime->text(), QStringLiteral("0:00:30"));
        f.w->cmdRecord_Click();
        f.w->tmrRec_Timer();
        QCOMPARE(f.w->lblRecTime->text(), QStringLiteral("0:00:01"));
    }

    void pauseAndUnpause()
    {
        Fixture f;
        // Not paused: "Unpause Record" does nothing at all.
        f.w->cmdUnPauseIn_Click();
        QCOMPARE(f.log().size(), 1);
        QCOMPARE(f.wave()->calls.size(), 1);
        f.w->cmdRecord_Click();
        f.w->cmdPauseIn_Click();
        f.w->cmdUnPauseIn_Click();
        f.w->cmdUnPauseIn_Click();
        QCOMPARE(f.log().mid(4), (QStringList{": RecordPause.", ": RecordUnPause."}));
        QCOMPARE(f.wave()->calls.mid(4), (QStringList{"RecordPause", "RecordUnPause"}));
        // Pause and Stop pass on even when nothing records.
        f.w->cmdStopRec_Click();
        QTRY_COMPARE(f.log().last(), QStringLiteral(": DoneRecord Event."));
        f.w->cmdPauseIn_Click();
        f.w->cmdStopRec_Click();
        QCOMPARE(f.log().mid(f.log().size() - 2), (QStringList{": RecordPause.", ": RecordStop Success."}));
    }

    void theMeterShowsTheLevel()
    {
        Fixture f;
        f.wave()->emitMeter(60);
        QCOMPARE(f.w->prgMeter->Value(), 60);
        f.wave()->emitMeter(0);
        QCOMPARE(f.w->prgMeter->Value(), 0);
    }

    void playStartsAndItsRefusals()
    {
        Fixture f;
        // A missing file: the box, nothing logged, nothing played.
        f.w->txtAudioFile->setText(f.platform.path("none.wav"));
        f.platform.messages().answers.enqueue(vbOK);
        f.w->cmdPlay_Click();
        QCOMPARE(f.prompts(), QStringList{"The audio file " + f.platform.path("none.wav") + " doesn't exists"});
        QCOMPARE(f.log().size(), 1);
        QVERIFY(f.wave()->playStarts.isEmpty());

        const QString file = f.file("take.wav", 1000);
        f.w->txtAudioFile->setText(file);
        WaveFileInfo info;
        info.SecondsLength = 75;
        f.wave()->fileInfos[file] = info;
        f.wave()->playResult = 6;
        f.wave()->errorTexts[6] = QStringLiteral("The file is not a WAV file.");
        f.w->cmdPlay_Click();
        QCOMPARE(f.log().last(), QStringLiteral(": Error Play Start:The file is not a WAV file."));
        QVERIFY(!f.w->tmSlider.isActive());
        QCOMPARE(f.w->lbTotalLengthSec->text(), QStringLiteral("0:00:00"));

        f.wave()->playResult = 0;
        f.w->cmdPlay_Click();
        QCOMPARE(f.wave()->playStarts.size(), 2);
        QCOMPARE(f.wave()->playStarts[1].output, FakeWave::kDefaultOutput);
        QCOMPARE(f.wave()->playStarts[1].value, 8000);
        // An empty line stands before the line.
        QCOMPARE(f.log().mid(f.log().size() - 2), (QStringList{"", ": PlayeStart Success."}));
        QCOMPARE(f.w->lbTotalLengthSec->text(), QStringLiteral("0:01:15"));
        QVERIFY(f.w->tmSlider.isActive());
        QVERIFY(!f.w->cmdFileDetails->isEnabled());
        // A second Play while it plays does nothing.
        const QString before = f.w->txtResults->toPlainText();
        f.w->cmdPlay_Click();
        QCOMPARE(f.wave()->playStarts.size(), 2);
        QCOMPARE(f.w->txtResults->toPlainText(), before);
    }

    void theSliderFollowsUntilStop()
    {
        Fixture f;
        const QString file = f.file("take.wav", 1000);
        f.w->txtAudioFile->setText(file);
        f.w->cmdPlay_Click();
        f.wave()->position = 40;
        f.wave()->seconds = 62;
        f.w->tmSlider_Timer();
        QCOMPARE(f.w->cSlider1->Value(), 40);
        QCOMPARE(f.w->lblCurrentPositionSec->text(), QStringLiteral("0:01:02"));
        f.w->cmdPauseOut_Click();
        f.w->cmdUnPauseOut_Click();
        f.w->cmdUnPauseOut_Click();  // no test of a pause first
        QCOMPARE(f.log().mid(f.log().size() - 3), (QStringList{": PlayPause.", ": PlayUnPause.", ": PlayUnPause."}));
        // The end of the file: the timer stays on.
        f.wave()->finishPlay();
        QCOMPARE(f.log().last(), QStringLiteral(": DonePlay Event."));
        QVERIFY(f.w->cmdFileDetails->isEnabled());
        QVERIFY(f.w->tmSlider.isActive());
        f.w->cmdStop_Click();
        QCOMPARE(f.log().last(), QStringLiteral(": PlayStop Success."));
        QCOMPARE(f.w->cSlider1->Value(), 0);
        QVERIFY(!f.w->tmSlider.isActive());
        QCOMPARE(f.w->lblCurrentPositionSec->text(), QStringLiteral("0:01:02"));
    }

    void aFailingPlayStop()
    {
        Fixture f;
        f.w->txtAudioFile->setText(f.file("take.wav", 1000));
        f.w->cmdPlay_Click();
        f.w->cSlider1->SetValue(55);
        f.wave()->playStopResult = 8;
        f.wave()->errorTexts[8] = QStringLiteral("The device does not answer.");
        const int lines = f.log().size();
        f.w->cmdStop_Click();
        QCOMPARE(f.log().mid(lines), QStringList{": Error PlayStop .The device does not answer."});
        QCOMPARE(f.w->cSlider1->Value(), 0);
        QVERIFY(!f.w->tmSlider.isActive());
    }

    void fileDetailsWritesTwelveLines()
    {
        Fixture f;
        const QString file = f.file("take.wav", 8044);
        f.w->txtAudioFile->setText(file);
        WaveFileInfo info;
        info.wFormatTag = 1;
        info.nChannels = 1;
        info.nSamplesPerSec = 8000;
        info.nAvgBytesPerSec = 8000;
        info.nBlockAlign = 1;
        info.wBitsPerSample = 8;
        info.FileName = "take.wav";
        info.FilePath = f.platform.home();
        info.SecondsLength = 1;
        f.wave()->fileInfos[file] = info;
        f.w->cmdFileDetails_Click();
        QCOMPARE(f.log().mid(1), (QStringList{":", "FileName: take.wav", "FilePath: " + f.platform.home(),
                                              "FileLen: 8044", "SecondsLength: 1", "cbSize: 0", "wFormatTag: 1",
                                              "nAvgBytesPerSec: 8000", "nBlockAlign: 1", "nChannels: 1",
                                              "nSamplesPerSec: 8000", "wBitsPerSample: 8"}));
        // A file the component cannot read: the lines with empty texts and zeros.
        const QString other = f.file("other.wav", 10);
        f.w->txtAudioFile->setText(other);
        f.w->cmdFileDetails_Click();
        QCOMPARE(f.log().mid(13), (QStringList{":", "FileName: ", "FilePath: ", "FileLen: 10", "SecondsLength: 0",
                                               "cbSize: 0", "wFormatTag: 0", "nAvgBytesPerSec: 0", "nBlockAlign: 0",
                                               "nChannels: 0", "nSamplesPerSec: 0", "wBitsPerSample: 0"}));
        // A missing one: the box.
        f.w->txtAudioFile->setText(f.platform.path("gone.wav"));
        f.platform.messages().answers.enqueue(vbOK);
        f.w->cmdFileDetails_Click();
        QCOMPARE(f.prompts(), QStringList{"The audio file " + f.platform.path("gone.wav") + " doesn't exists"});
        QCOMPARE(f.log().size(), 25);
    }

    // The input chosen for recording has nothing to do with where the file plays: the
    // default output, or the output the options chose.
    void playsOnTheOutputNotOnTheInputsNumber_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("optionsOutput");  // the options' output device, -1 none
        QTest::addColumn<QString>("playedOn");
        QTest::newRow("monitor") << 0 << -1 << FakeWave::kDefaultOutput;
        QTest::newRow("built-in mic") << 1 << -1 << FakeWave::kDefaultOutput;
        QTest::newRow("USB mic") << 2 << -1 << FakeWave::kDefaultOutput;
        QTest::newRow("built-in mic, speakers in the options") << 1 << 0 << "Speakers";
    }

    void playsOnTheOutputNotOnTheInputsNumber()
    {
        QFETCH(int, input);
        QFETCH(int, optionsOutput);
        QFETCH(QString, playedOn);
        Fixture f([](FakeWave* w) {
            w->inputs = {{"Monitor of Speakers", "pulse", 44100, 2},
                         {"Built-in Microphone", "pulse", 44100, 2},
                         {"USB Mic", "pulse", 48000, 1}};
            w->outputs = {{"Speakers", "pulse", 44100, 2}, {"HDMI", "pulse", 48000, 2}};
        });
        const qint32 optionsBefore = g_lDeviceIndex;
        g_lDeviceIndex = optionsOutput;
        f.w->cboDevices->setCurrentIndex(input);
        f.w->txtAudioFile->setText(f.file("take.wav", 1000));
        f.w->cmdPlay_Click();
        g_lDeviceIndex = optionsBefore;
        QCOMPARE(f.wave()->playStarts.size(), 1);
        QCOMPARE(f.wave()->playStarts[0].output, playedOn);
        QCOMPARE(f.log().last(), QStringLiteral(": PlayeStart Success."));
    }

    // The save dialog: its request, a cancel, a new file, and an existing one, which the
    // dialog itself asks about: the recorder does not ask a second time.
    void choosingTheFile()
    {
        Fixture f;
        auto& dialogs = f.platform.dialogs();
        const QString start = f.w->txtAudioFile->text();
        f.w->cmdPath_Click();  // cancelled
        QCOMPARE(f.w->txtAudioFile->text(), start);
        QCOMPARE(dialogs.saveRequests.size(), 1);
        QCOMPARE(dialogs.saveRequests[0].title, QStringLiteral("Save as WAV file"));
        QCOMPARE(dialogs.saveRequests[0].filter, QStringLiteral("Audio Wav File (*.wav)"));
        QCOMPARE(dialogs.saveRequests[0].defaultSuffix, QStringLiteral("wav"));
        QVERIFY(dialogs.saveRequests[0].centreOnOwner);

        const QString fresh = f.platform.path("fresh.wav");
        dialogs.saveAnswers.enqueue(fresh);
        f.w->cmdPath_Click();
        QCOMPARE(f.w->txtAudioFile->text(), fresh);
        QVERIFY(!QFileInfo::exists(fresh));
        QVERIFY(f.prompts().isEmpty());

        const QString old = f.file("old.wav", 100);
        dialogs.saveAnswers.enqueue(old);
        f.w->cmdPath_Click();
        QVERIFY(dialogs.saveRequests.last().confirmOverwrite);
        QVERIFY(f.prompts().isEmpty());
        QCOMPARE(f.w->txtAudioFile->text(), old);
        QCOMPARE(QFileInfo(old).size(), 100);
        QCOMPARE(f.log().size(), 1);
    }

    // Record into a file that is there: the overwrite question, unless the save dialog's
    // Yes was given for that very file and not used yet. No records nothing.
    void recordingIntoAnExistingFile_data()
    {
        QTest::addColumn<QString>("how");     // how the path came into the box
        QTest::addColumn<int>("answer");      // the answer to the question; 0: not asked
        QTest::addColumn<bool>("recorded");
        QTest::newRow("typed, No") << "typed" << int(vbNo) << false;
        QTest::newRow("typed, Yes") << "typed" << int(vbYes) << true;
        QTest::newRow("chosen in the save dialog") << "chosen" << 0 << true;
        QTest::newRow("chosen, then another file took its name, No") << "chosen, replaced" << int(vbNo) << false;
        QTest::newRow("chosen, then recorded once, No") << "chosen, recorded" << int(vbNo) << false;
        QTest::newRow("chosen, then recorded once, Yes") << "chosen, recorded" << int(vbYes) << true;
        QTest::newRow("a new file, then another program made one there, No") << "new, appeared" << int(vbNo)
                                                                             << false;
    }

    void recordingIntoAnExistingFile()
    {
        QFETCH(QString, how);
        QFETCH(int, answer);
        QFETCH(bool, recorded);
        Fixture f;
        const QString path = f.platform.path("take.wav");
        if (how != QLatin1String("new, appeared"))
            f.file("take.wav", 1000);
        if (how == QLatin1String("typed")) {
            f.w->txtAudioFile->setText(path);
        } else {
            f.platform.dialogs().saveAnswers.enqueue(path);
            f.w->cmdPath_Click();
            QCOMPARE(f.w->txtAudioFile->text(), path);
        }
        if (how == QLatin1String("chosen, replaced")) {
            QVERIFY(QFile::remove(path));
            f.file("take.wav", 1000);
        } else if (how == QLatin1String("new, appeared")) {
            f.file("take.wav", 1000);
        } else if (how == QLatin1String("chosen, recorded")) {
            f.w->cmdRecord_Click();
            f.w->cmdStopRec_Click();
            QTRY_COMPARE(f.log().last(), QStringLiteral(": DoneRecord Event."));
            QCOMPARE(f.wave()->recordStarts.size(), 1);
            f.wave()->recordStarts.clear();
        }
        const QStringList logBefore = f.log();
        const QStringList callsBefore = f.wave()->calls;
        if (answer != 0)
            f.platform.messages().answers.enqueue(answer);
        f.w->cmdRecord_Click();
        QCOMPARE(f.prompts(), answer == 0 ? QStringList()
                                          : QStringList{"The file " + path + " is already exists, overwrite it?"});
        if (answer != 0)
            QCOMPARE(f.platform.messages().shown[0].buttons, vbInformation + vbYesNo);
        if (recorded) {
            QCOMPARE(f.wave()->recordStarts.size(), 1);
            QCOMPARE(f.wave()->recordStarts[0].file, path);
            QCOMPARE(f.log().last(), QStringLiteral(": RecordStart Success."));
        } else {
            // Nothing at all: no log line, no call, the window idle.
            QCOMPARE(f.log(), logBefore);
            QCOMPARE(f.wave()->calls, callsBefore);
            QVERIFY(f.w->cmdRecord->isEnabled());
            QVERIFY(!f.w->tmrRec.isActive());
        }
    }

    // A Yes holds for the file that was there when it was asked: another that took the
    // name while the question stood is asked about again.
    void aYesHoldsForTheFileItWasGivenFor()
    {
        Fixture f;
        const QString path = f.file("take.wav", 1000);
        f.w->txtAudioFile->setText(path);
        f.platform.messages().whileShown = [&] {
            QFile::remove(path);
            f.file("take.wav", 2000);
        };
        f.platform.messages().answers.enqueue(vbYes);
        f.platform.messages().answers.enqueue(vbNo);
        f.w->cmdRecord_Click();
        const QString question = "The file " + path + " is already exists, overwrite it?";
        QCOMPARE(f.prompts(), (QStringList{question, question}));
        QVERIFY(f.wave()->recordStarts.isEmpty());
        QCOMPARE(QFileInfo(path).size(), 2000);
    }

    // A path typed relative is recorded as the absolute path it names now, and the box
    // shows it so.
    void aRelativePathIsRecordedAsAbsolute()
    {
        Fixture f;
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(f.platform.home()));
        f.w->txtAudioFile->setText(QStringLiteral("rel.wav"));
        f.w->cmdRecord_Click();
        QVERIFY(QDir::setCurrent(before));
        QCOMPARE(f.wave()->recordStarts.size(), 1);
        QCOMPARE(f.wave()->recordStarts[0].file, f.platform.path("rel.wav"));
        QCOMPARE(f.w->txtAudioFile->text(), f.platform.path("rel.wav"));
    }

    // Add: its refusals keep the window open; a file of 65 bytes or more goes to the
    // current list and the window closes, unless the main window cannot take it.
    void adding_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("listTakesIt");
        QTest::addColumn<QString>("prompt");  // %1: the path
        QTest::addColumn<bool>("added");
        QTest::addColumn<bool>("closes");
        QTest::newRow("empty path") << "empty" << true << "The file: was not found." << false << false;
        QTest::newRow("missing") << "missing" << true << "The file:%1 was not found." << false << false;
        QTest::newRow("a folder") << "folder" << true << "The file:%1 was not found." << false << false;
        QTest::newRow("64 bytes") << "64" << true << "The file:%1 is empty." << false << false;
        QTest::newRow("65 bytes") << "65" << true << "" << true << true;
        QTest::newRow("no list to take it") << "65" << false << "" << true << false;
    }

    void adding()
    {
        QFETCH(QString, kind);
        QFETCH(bool, listTakesIt);
        QFETCH(QString, prompt);
        QFETCH(bool, added);
        QFETCH(bool, closes);
        Fixture f;
        QString path;
        if (kind == "missing")
            path = f.platform.path("none.wav");
        else if (kind == "folder")
            path = f.platform.path("Main");
        else if (kind != "empty")
            path = f.file("rec.wav", kind.toInt());
        f.w->txtAudioFile->setText(path);
        f.host.accept = listTakesIt;
        if (!prompt.isEmpty())
            f.platform.messages().answers.enqueue(vbOK);
        FakeWave* wave = f.wave();
        f.w->cmdAdd_Click();
        QCOMPARE(f.prompts(), prompt.isEmpty() ? QStringList() : QStringList{QString(prompt).replace("%1", path)});
        QCOMPARE(f.host.added, added ? QList<QStringList>{{path}} : QList<QStringList>{});
        QCOMPARE(Forms::IsLoaded<frmMicRecorder>(), !closes);
        if (closes)
            QCOMPARE(wave->calls.mid(1), (QStringList{"PlayStop", "RecordStop", "Shutdown"}));
    }

    // However the window closes, it stops the playback, then the recording, then shuts
    // the component down.
    void closingStopsAllInOrder_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Exit") << "exit";
        QTest::newRow("close box") << "close";
    }

    void closingStopsAllInOrder()
    {
        QFETCH(QString, how);
        Fixture f;
        f.w->txtAudioFile->setText(f.file("take.wav", 1000));
        f.w->cmdPlay_Click();
        f.w->txtAudioFile->setText(f.platform.path("next.wav"));
        f.w->cmdRecord_Click();
        FakeWave* wave = f.wave();
        const int before = int(wave->calls.size());
        if (how == "exit")
            f.w->cmdExit_Click();
        else
            f.w->close();  // the close box: the window decides
        QVERIFY(!Forms::IsLoaded<frmMicRecorder>());
        QCOMPARE(wave->calls.mid(before), (QStringList{"PlayStop", "RecordStop", "Shutdown"}));
        QVERIFY(!wave->isRecording());
    }
};

QTEST_MAIN(tst_micrecorder)
#include "tst_micrecorder.moc"
