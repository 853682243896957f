// The text-to-speech window over the speech component's fake: what it shows when it opens
// (first run, stored choices, no voices or outputs), the settings it puts before each
// speech and their order, the selection that follows the words, the sliders and the Clear
// Text link, the stored choices, the save dialog, speech files spoken at the normal rate
// and loudness while the window stays usable (progress, Stop, closing), the file the save
// dialog agreed to replace, a speech file that cannot be written, adding, and "Edit".
#include "common/mdlModes.h"
#include "common/mdlUserSettings.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/audio/MediaProbe.h"
#include "components/cSlider/cSlider.h"
#include "components/cTabControl/cTabControl.h"
#include "platform/App.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "tests/support/FakeAudioComponents.h"
#include "tests/support/FakeOrvelle.h"
#include "tests/support/MainHostStandIn.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"
#include "tools/recording/frmOrvelle.h"
#include "tools/splitter/frmAudioEditorProc.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <functional>

namespace {

const QString kSample = QStringLiteral("This sample shows you how to use the 'Text To Speech'.");

// The main window as the window sees it: it names new files and records what is added.
struct Host : MainHostStandIn {
    QList<QStringList> added;
    QString CreateFileName(const QString&) override { return QStringLiteral("14-05-09_11-8-2026.wav"); }
    bool AddPathsToList(const QStringList& paths) override
    {
        added << paths;
        return true;
    }
};

struct Fixture {
    TestPlatform platform;
    FakeAudioFactories audio;
    FakeOrvelleFactory speech;
    Host host;
    frmOrvelle* w = nullptr;

    explicit Fixture(const std::function<void(FakeOrvelle*)>& setup = {})
    {
        InitProductProfile();
        speech.setup = setup;
        w = g_frmOrvelle();
    }
    ~Fixture() { Forms::DestroyAll(); }
    FakeOrvelle* fake() const { return qobject_cast<FakeOrvelle*>(w->cOrvelle1); }
    QStringList calls() const { return fake()->calls; }
    QString selected() const { return w->txtSpeak->textCursor().selectedText(); }
    void selectTarget(const char* code) { w->cboTargetFormat->setCurrentIndex(w->cboTargetFormat->findText(QLatin1String(code), Qt::MatchStartsWith)); }
    // Lets the conversion window start its conversion when it is shown, keeps what the
    // conversion was asked to do, and ends it well.
    QList<FakeJobRecord> conversions;
    void convertWhenShown()
    {
        platform.modal().handlers.enqueue([this](VForm* form) {
            auto* converter = qobject_cast<FakeAudioConverter*>(qobject_cast<frmAudioEditorProc*>(form)->cAudioConverter1);
            QTRY_VERIFY(!converter->started.isEmpty());
            conversions << converter->started.last();
            converter->finishDone();
            QVERIFY(!Forms::IsLoaded<frmAudioEditorProc>());
        });
    }
};

QStringList listItems(QComboBox* c)
{
    QStringList items;
    for (int i = 0; i < c->count(); ++i)
        items << c->itemText(i);
    return items;
}

const QStringList kFileSettings{"OutputIndex 0", "VoiceIndex 1", "Rate 0", "Volume 100", "SpeakFlags 11",
                                "FormatId 35"};

} // namespace

class tst_orvellewindow : public QObject
{
    Q_OBJECT
private slots:
    void firstRun()
    {
        Fixture f([](FakeOrvelle*) { Forms::Get<frmOptions>()->cboTargetFormat->setCurrentIndex(1); });
        QCOMPARE(f.w->windowTitle(), QStringLiteral("Text To Speech"));
        QCOMPARE(listItems(f.w->cboVoices), (QStringList{"Voice One", "Voice Two"}));
        QCOMPARE(f.w->cboVoices->currentIndex(), 0);
        QCOMPARE(listItems(f.w->cboAudioOutputs), QStringList{"Speakers"});
        QCOMPARE(f.w->cboAudioOutputs->currentIndex(), 0);
        QCOMPARE(listItems(f.w->cboFormats),
                 (QStringList{"SAFT8kHz16BitMono", "SAFT22kHz16BitMono", "SAFT44kHz16BitStereo"}));
        QCOMPARE(f.w->cboFormats->currentText(), QStringLiteral("SAFT22kHz16BitMono"));
        QCOMPARE(f.w->cboFormats->currentData().toInt(), 22);
        QCOMPARE(f.w->sldVolume->Value(), 50);
        QCOMPARE(f.w->sldRate->Value(), 0);
        QCOMPARE(f.w->lblValumeVal->text(), QStringLiteral("50"));
        QCOMPARE(f.w->lblRateVal->text(), QStringLiteral("0"));
        QCOMPARE(f.w->sldRate->minimum(), -10);
        QCOMPARE(f.w->sldRate->maximum(), 10);
        QCOMPARE(f.w->sldVolume->minimum(), 0);
        QCOMPARE(f.w->sldVolume->maximum(), 100);
        QCOMPARE(f.w->txtSpeak->toPlainText(), kSample);
        QCOMPARE(f.w->cboTargetFormat->currentText(), QStringLiteral("ACM - Waveform ACM Codecs (*.wav)"));
        QCOMPARE(f.w->cboTargetFormat->count(), 4);
        QCOMPARE(f.calls(), QStringList{"EnumFormats"});
    }

    void storedChoicesComeBack_data()
    {
        QTest::addColumn<QString>("format");  // chosen in the window, then closed
        QTest::addColumn<QString>("voice");
        QTest::newRow("both chosen") << "SAFT44kHz16BitStereo" << "Voice Two";
        QTest::newRow("the first of each") << "SAFT8kHz16BitMono" << "Voice One";
    }

    void storedChoicesComeBack()
    {
        QFETCH(QString, format);
        QFETCH(QString, voice);
        Fixture f;
        f.w->cboFormats->setCurrentIndex(f.w->cboFormats->findText(format));
        f.w->cboVoices->setCurrentIndex(f.w->cboVoices->findText(voice));
        Forms::Unload(f.w);
        QCOMPARE(f.speech.made.last()->calls.last(), QStringLiteral("CloseSpeech"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        // The next opening shows them again, and speaks with them.
        f.w = g_frmOrvelle();
        QCOMPARE(f.w->cboFormats->currentText(), format);
        QCOMPARE(f.w->cboVoices->currentText(), voice);
        f.fake()->calls.clear();
        f.w->cmdSay_Click();
        QCOMPARE(f.calls().filter(QRegularExpression(QStringLiteral("^(VoiceIndex|FormatId) "))),
                 (QStringList{QStringLiteral("VoiceIndex %1").arg(f.w->cboVoices->findText(voice)),
                              QStringLiteral("FormatId %1").arg(f.w->cboFormats->currentData().toInt())}));
    }

    void choicesNoLongerOffered_data()
    {
        QTest::addColumn<QString>("format");  // stored by an earlier run
        QTest::addColumn<QString>("voice");
        QTest::addColumn<QString>("formatShown");
        QTest::addColumn<QString>("voiceShown");
        QTest::newRow("unknown voice keeps the first") << "SAFT8kHz16BitMono" << "Gone Voice" << "SAFT8kHz16BitMono"
                                                       << "Voice One";
        QTest::newRow("unknown format selects none") << "SAFT99kHz" << "" << "" << "Voice One";
    }

    void choicesNoLongerOffered()
    {
        QFETCH(QString, format);
        QFETCH(QString, voice);
        QFETCH(QString, formatShown);
        QFETCH(QString, voiceShown);
        // Stored before the window opens, as an earlier run with other voices left them.
        Fixture f([&](FakeOrvelle*) {
            SaveSetting(g_sAppName, QStringLiteral("TTS"), QStringLiteral("Format"), format);
            SaveSetting(g_sAppName, QStringLiteral("TTS"), QStringLiteral("Voice"), voice);
        });
        QCOMPARE(f.w->cboFormats->currentText(), formatShown);
        QCOMPARE(f.w->cboVoices->currentText(), voiceShown);
        // Without a format, "Say It" puts none; the voice shown is the one spoken with.
        f.w->cmdSay_Click();
        QCOMPARE(f.calls().filter(QStringLiteral("FormatId")).size(), formatShown.isEmpty() ? 0 : 1);
        QVERIFY(f.calls().contains(QStringLiteral("VoiceIndex 0")));
        // Closing stores what the window shows.
        Forms::Unload(f.w);
        QCOMPARE(GetSetting(g_sAppName, QStringLiteral("TTS"), QStringLiteral("Format")), formatShown);
        QCOMPARE(GetSetting(g_sAppName, QStringLiteral("TTS"), QStringLiteral("Voice")), voiceShown);
    }

    void sayPutsTheSixSettingsInOrder()
    {
        Fixture f;
        f.w->cboVoices->setCurrentIndex(1);
        f.w->cboFormats->setCurrentIndex(2);
        f.w->sldRate->SetValue(-3);
        f.w->sldVolume->SetValue(70);
        f.w->txtSpeak->setPlainText(QStringLiteral("Hello there."));
        f.fake()->calls.clear();
        f.w->cmdSay->click();
        QCOMPARE(f.calls(), (QStringList{"OutputIndex 0", "VoiceIndex 1", "Rate -3", "Volume 70", "SpeakFlags 11",
                                         "FormatId 35", "Speak Hello there."}));
        // While speech is under way, the next one keeps the settings: only Speak.
        f.fake()->busy = true;
        f.fake()->calls.clear();
        f.w->sldRate->SetValue(5);
        f.w->cmdSay->click();
        QCOMPARE(f.calls(), QStringList{"Speak Hello there."});
        f.w->cmdStop->click();
        QCOMPARE(f.calls().last(), QStringLiteral("StopSpeech"));
        f.w->PauseSpeech();
        f.w->ResumeSpeech();
        QCOMPARE(f.calls().mid(2), (QStringList{"Pause 1", "Pause 0"}));
    }

    void noVoicesNoOutputs()
    {
        Fixture f([](FakeOrvelle* o) {
            o->voices.clear();
            o->outputs.clear();
        });
        QCOMPARE(f.w->cboVoices->count(), 0);
        QCOMPARE(f.w->cboAudioOutputs->count(), 0);
        f.fake()->calls.clear();
        f.w->cmdSay_Click();
        QCOMPARE(f.calls().mid(0, 2), (QStringList{"OutputIndex -1", "VoiceIndex -1"}));
    }

    void selectionFollowsTheWords()
    {
        Fixture f;
        const QString text = QStringLiteral("Zoë 😀 end");
        f.w->txtSpeak->setPlainText(text);
        f.w->cmdSay_Click();
        f.fake()->word(0, 3);
        QCOMPARE(f.selected(), QStringLiteral("Zoë"));
        f.fake()->word(4, 2);
        QCOMPARE(f.selected(), QStringLiteral("😀"));
        QCOMPARE(f.w->SelStart(), 4);
        f.fake()->word(7, 3);
        QCOMPARE(f.selected(), QStringLiteral("end"));
        f.fake()->done();
        QCOMPARE(f.selected(), text);
        QCOMPARE(f.w->SelStart(), 0);
        QCOMPARE(f.w->SelLength(), text.size());
    }

    void slidersChangeOnlyTheirLabels()
    {
        Fixture f;
        f.fake()->calls.clear();
        f.w->sldRate->setValue(-10);
        f.w->sldVolume->setValue(0);
        QCOMPARE(f.w->lblRateVal->text(), QStringLiteral("-10"));
        QCOMPARE(f.w->lblValumeVal->text(), QStringLiteral("0"));
        QVERIFY(f.calls().isEmpty());
    }

    void clearText()
    {
        Fixture f;
        QVERIFY(f.w->lblClearText->isEnabled());
        f.platform.messages().answers.enqueue(vbNo);
        f.w->lblClearText_Click();
        QCOMPARE(f.w->txtSpeak->toPlainText(), kSample);
        QCOMPARE(f.platform.messages().shown.last().prompt,
                 QStringLiteral("This action will clear the Text-Box, continue?"));
        f.platform.messages().answers.enqueue(vbYes);
        f.w->lblClearText_Click();
        QCOMPARE(f.w->txtSpeak->toPlainText(), QString());
        QVERIFY(!f.w->lblClearText->isEnabled());
        f.w->txtSpeak->setPlainText(QStringLiteral("x"));
        QVERIFY(f.w->lblClearText->isEnabled());
    }

    void saveDialogAndCancel_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("ext");
        QTest::newRow("WAV") << "WAV" << "wav";
        QTest::newRow("ACM") << "ACM" << "acm";
        QTest::newRow("MP3") << "MP3" << "mp3";
        QTest::newRow("WMA") << "WMA" << "wma";
    }

    void saveDialogAndCancel()
    {
        QFETCH(QString, target);
        QFETCH(QString, ext);
        Fixture f;
        f.selectTarget(target.toLatin1().constData());
        f.fake()->calls.clear();
        f.w->cmdSaveAs_Click();  // no answer scripted: the user cancels
        const FileRequest r = f.platform.dialogs().saveRequests.last();
        QCOMPARE(r.title, QStringLiteral("Save As"));
        QVERIFY2(r.filter.contains(QStringLiteral("*.") + ext), qPrintable(r.filter));
        QCOMPARE(r.defaultSuffix, ext);
        // Nothing is spoken, converted or written.
        QVERIFY(f.calls().isEmpty());
        QVERIFY(f.platform.modal().shown.isEmpty());
        QVERIFY(!QFile::exists(SpeechTempFile()));
    }

    void filesAreSpokenAtTheNormalRateAndLoudness()
    {
        Fixture f;
        f.w->cboVoices->setCurrentIndex(1);
        f.w->cboFormats->setCurrentIndex(2);
        f.w->sldRate->SetValue(7);
        f.w->sldVolume->SetValue(20);
        f.selectTarget("MP3");
        const QString chosen = f.platform.path("speech.mp3");
        f.platform.dialogs().saveAnswers.enqueue(chosen);
        // An earlier speech file is gone before the new speech is written.
        TestFiles::WriteBytes(SpeechTempFile(), "old speech");
        f.fake()->calls.clear();
        f.convertWhenShown();
        f.w->cmdSaveAs_Click();
        QTRY_COMPARE(f.conversions.size(), 1);
        QCOMPARE(f.calls(), kFileSettings + QStringList{"SpeakToFile " + kSample + u'|' + SpeechTempFile()});
        QCOMPARE(f.fake()->fileExistedBefore, QList<bool>{false});
        // The conversion took the speech file into the chosen file and the target format;
        // the window stays open.
        QCOMPARE(f.platform.modal().shown, QStringList{"frmAudioEditorProc"});
        const FakeJobRecord job = f.conversions.value(0);
        QCOMPARE(job.source, SpeechTempFile());
        QCOMPARE(job.output, chosen);
        QCOMPARE(job.format, 3);
        QVERIFY(Forms::IsLoaded<frmOrvelle>());
    }

    void saveAsReplacesOnlyTheFileAskedAbout_data()
    {
        QTest::addColumn<bool>("putThereSince");
        QTest::newRow("the file the save dialog asked about") << false;
        QTest::newRow("a file put under its name since") << true;
    }

    void saveAsReplacesOnlyTheFileAskedAbout()
    {
        // GIVEN a file under the name picked in the save dialog, which asked "Do you want to
        // replace it?" and was answered Yes; the real converter
        QFETCH(bool, putThereSince);
        Fixture f;
        SetAudioConverterFactory({});
        Forms::Get<frmAudioProp>();
        f.selectTarget("WAV");
        const QString chosen = f.platform.path("speech.wav");
        TestFiles::WriteBytes(chosen, "the file asked about");
        f.platform.dialogs().saveAnswers.enqueue(chosen);
        QString shown;
        f.platform.modal().handlers.enqueue([&](VForm* form) {
            auto* proc = qobject_cast<frmAudioEditorProc*>(form);
            QVERIFY(proc);
            QPointer<frmAudioEditorProc> open(proc);
            QTRY_VERIFY_WITH_TIMEOUT(!Forms::IsLoaded<frmAudioEditorProc>() ||
                                         open->lblCurrentTrack->text() != QStringLiteral("Preparing..."),
                                     20000);
            if (Forms::IsLoaded<frmAudioEditorProc>()) {
                shown = open->lblCurrentTrack->text();
                Forms::Unload(open.data());
            }
        });
        // WHEN the speech is saved there
        f.fake()->holdFile = true;
        f.w->cmdSaveAs_Click();
        if (putThereSince) {
            // ... and another file takes the name while the speech is made
            QVERIFY(QFile::remove(chosen));
            TestFiles::WriteBytes(chosen, "a file put there since");
        }
        f.fake()->finishFile();
        QTRY_VERIFY_WITH_TIMEOUT(!f.platform.modal().shown.isEmpty() && !Forms::IsLoaded<frmAudioEditorProc>(), 20000);
        if (putThereSince) {
            // THEN a file the user was not asked about stays, and the window says why
            QCOMPARE(TestFiles::ReadBytes(chosen), QByteArray("a file put there since"));
            QVERIFY2(shown.contains(chosen) && shown.contains(QStringLiteral("appeared")), qPrintable(shown));
        } else {
            // THEN the file asked about holds the new speech
            QCOMPARE(shown, QString());
            QVERIFY(ParseWavLayout(chosen).pcm);
            QVERIFY(std::abs(ProbeMedia(chosen).lengthSeconds - f.fake()->fileSeconds) < 0.05);
        }
    }

    void theWindowStaysUsableWhileTheFileIsSpoken_data()
    {
        QTest::addColumn<bool>("add");
        QTest::newRow("Save As...") << false;
        QTest::newRow("Add to Items List") << true;
    }

    void theWindowStaysUsableWhileTheFileIsSpoken()
    {
        // GIVEN a speech file still being spoken, over a file the user agreed to replace
        QFETCH(bool, add);
        Fixture f;
        f.fake()->holdFile = true;
        f.selectTarget("MP3");
        const QString chosen = f.platform.path("speech.mp3");
        TestFiles::WriteBytes(chosen, "the old speech");
        if (add)
            f.w->cmdAdd_Click();
        else {
            f.platform.dialogs().saveAnswers.enqueue(chosen);
            f.w->cmdSaveAs_Click();
        }
        // THEN the click has returned with the window showing how far it has come; what
        // would start another job or change this one is off, Stop is not
        QVERIFY(f.fake()->fileHeld());
        QVERIFY(!f.w->prgSpeech->isHidden());
        QCOMPARE(f.w->prgSpeech->Value(), 0);
        f.fake()->fileProgress(40);
        QCOMPARE(f.w->prgSpeech->Value(), 40);
        for (QWidget* off : std::initializer_list<QWidget*>{f.w->cmdSay, f.w->cmdSaveAs, f.w->cmdAdd,
                                                            f.w->cboTargetFormat, f.w->cmdEditTargetFormat,
                                                            f.w->lblID3Tags, f.w->lblClearText})
            QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
        QVERIFY(f.w->cmdStop->isEnabled());
        // ... a change of the target now is not this job's
        f.w->cboTargetFormat->setCurrentIndex(0);
        // WHEN Stop is clicked
        f.w->cmdStop->click();
        // THEN nothing is converted or added, the old file stays, and the window is ready
        QTRY_VERIFY(f.w->cmdSaveAs->isEnabled());
        QVERIFY(f.w->prgSpeech->isHidden());
        QVERIFY(f.w->cmdSay->isEnabled() && f.w->cmdAdd->isEnabled() && f.w->lblClearText->isEnabled());
        QVERIFY(f.platform.modal().shown.isEmpty());
        QVERIFY(f.platform.messages().shown.isEmpty());
        QVERIFY(f.host.added.isEmpty());
        QCOMPARE(TestFiles::ReadBytes(chosen), QByteArray("the old speech"));
        QVERIFY(Forms::IsLoaded<frmOrvelle>());

        // The next job starts afresh, with the target as it is then.
        f.selectTarget("WMA");
        f.platform.dialogs().saveAnswers.enqueue(f.platform.path("again.wma"));
        f.convertWhenShown();
        f.w->cmdSaveAs_Click();
        QCOMPARE(f.w->prgSpeech->Value(), 0);
        f.fake()->finishFile();
        QTRY_COMPARE(f.conversions.size(), 1);
        QCOMPARE(f.conversions[0].format, 4);
    }

    void theJobKeepsTheTargetItBeganWith()
    {
        Fixture f;
        f.fake()->holdFile = true;
        f.selectTarget("MP3");
        f.convertWhenShown();
        f.w->cmdAdd_Click();
        f.w->cboTargetFormat->setCurrentIndex(0);  // WAV, changed while the job runs
        f.fake()->finishFile();
        QTRY_VERIFY(!Forms::IsLoaded<frmOrvelle>());
        QCOMPARE(f.conversions.value(0).output, AppPath() + QStringLiteral("/TTS_14-05-09_11-8-2026.mp3"));
        QCOMPARE(f.conversions.value(0).format, 3);
    }

    void closingWhileTheFileIsSpokenEndsIt()
    {
        Fixture f;
        f.fake()->holdFile = true;
        f.w->cmdAdd_Click();
        QPointer<FakeOrvelle> speech(f.fake());
        Forms::Unload(f.w);
        QCOMPARE(speech->calls.last(), QStringLiteral("CloseSpeech"));
        QVERIFY(!speech->fileHeld());
        QCoreApplication::processEvents();
        QVERIFY(f.platform.modal().shown.isEmpty());
        QVERIFY(f.host.added.isEmpty());
    }

    void aNameTakenWhileConvertingIsNotListed()
    {
        // A file that took the new item's name while the conversion ran is another's: the
        // conversion leaves it, and Add does not list it.
        Fixture f;
        f.selectTarget("WAV");
        const QString path = AppPath() + QStringLiteral("/TTS_14-05-09_11-8-2026.wav");
        f.platform.modal().handlers.enqueue([&](VForm* form) {
            auto* proc = qobject_cast<frmAudioEditorProc*>(form);
            auto* converter = qobject_cast<FakeAudioConverter*>(proc->cAudioConverter1);
            QTRY_VERIFY(!converter->started.isEmpty());
            TestFiles::WriteBytes(path, "another's file");
            converter->finishError(5, QStringLiteral("A file of that name appeared while the job ran."));
            Forms::Unload(proc);  // the user closes the error
        });
        f.w->cmdAdd_Click();
        QTRY_VERIFY(!Forms::IsLoaded<frmOrvelle>());
        QVERIFY(f.host.added.isEmpty());
        QCOMPARE(TestFiles::ReadBytes(path), QByteArray("another's file"));
    }

    void aSpeechFileThatFailsIsNeitherConvertedNorAdded()
    {
        Fixture f([](FakeOrvelle* o) {
            o->fileResult = 4;
            o->fileError = QStringLiteral("The file \"/x/tmptts.wav\" cannot be written: No space left on device");
        });
        TestFiles::WriteBytes(SpeechTempFile(), "old speech");
        f.platform.messages().answers.enqueue(vbOK);
        f.w->cmdAdd_Click();
        QTRY_COMPARE(f.platform.messages().shown.size(), 1);
        QCOMPARE(f.platform.messages().shown.last().prompt,
                 QStringLiteral("The text could not be spoken into a file: The file \"/x/tmptts.wav\" cannot be "
                                "written: No space left on device"));
        // The previous speech was not converted under the new name, nothing was added and
        // the window is still open.
        QVERIFY(f.platform.modal().shown.isEmpty());
        QVERIFY(f.host.added.isEmpty());
        QVERIFY(!QFile::exists(SpeechTempFile()));
        QVERIFY(Forms::IsLoaded<frmOrvelle>());
        QVERIFY(f.w->cmdAdd->isEnabled());
    }

    void addTakesTheTimeStampedName_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("name");
        QTest::newRow("MP3") << "MP3" << "TTS_14-05-09_11-8-2026.mp3";
        QTest::newRow("ACM") << "ACM" << "TTS_14-05-09_11-8-2026.acm";
        QTest::newRow("WAV") << "WAV" << "TTS_14-05-09_11-8-2026.wav";
    }

    void addTakesTheTimeStampedName()
    {
        QFETCH(QString, target);
        QFETCH(QString, name);
        Fixture f;
        f.selectTarget(target.toLatin1().constData());
        f.fake()->calls.clear();
        f.convertWhenShown();
        f.w->cmdAdd_Click();
        QCOMPARE(f.calls().mid(0, 4), (QStringList{"OutputIndex 0", "VoiceIndex 0", "Rate 0", "Volume 100"}));
        QTRY_VERIFY(!Forms::IsLoaded<frmOrvelle>());
        const QString path = AppPath() + u'/' + name;
        QCOMPARE(f.conversions.value(0).output, path);
        QCOMPARE(f.host.added, QList<QStringList>{{path}});
    }

    void editSelectsTheDefaultFormatAgain()
    {
        Fixture f;
        Forms::Get<frmOptions>()->cboTargetFormat->setCurrentIndex(2);  // the default: MP3
        const int defaultIndex = 2;
        f.selectTarget("WMA");
        QVERIFY(f.w->cboTargetFormat->currentIndex() != defaultIndex);
        const QByteArray storeBefore = TestFiles::ReadBytes(AppPath() + QStringLiteral("/Registry/HKEY_LOCAL_MACHINE.reg"));
        QString page;
        f.platform.modal().handlers.enqueue([&](VForm* form) {
            auto* prop = qobject_cast<frmAudioProp*>(form);
            QVERIFY(prop);
            page = prop->cTabControl1->TabKey(prop->cTabControl1->SelectedTab());
        });
        f.w->cmdEditTargetFormat_Click();
        QCOMPARE(page, QStringLiteral("WMA"));
        QCOMPARE(f.w->cboTargetFormat->currentIndex(), defaultIndex);
        QCOMPARE(TestFiles::ReadBytes(AppPath() + QStringLiteral("/Registry/HKEY_LOCAL_MACHINE.reg")), storeBefore);
    }
};

QTEST_MAIN(tst_orvellewindow)
#include "tst_orvellewindow.moc"
