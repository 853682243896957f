// "Text To Speech" from the main window over the real speech component and converter: the
// command opens the window only in a profile that offers it (from its menu item, its key
// and its button) and the drive list goes on following its disc meanwhile, "Save As..."
// writes each target format with the default tags, replaces the file its dialog asked
// about, and leaves the window running (Stop ends a long speech), and "Add to Items List"
// puts the time-stamped speech file into the current list and its file, twice in one
// second under two names.
#include "components/audio/MediaProbe.h"
#include "components/XP_ProgressBar/XP_ProgressBar.h"
#include "components/cOrvelle/cOrvelle.h"
#include "components/cSlider/cSlider.h"
#include "components/cToolbar/cToolbar.h"
#include "platform/App.h"
#include "settings/frmAudioProp.h"
#include "settings/mdlFormats.h"
#include "tests/lists/ListsFixture.h"
#include "tests/support/AudioFixtures.h"
#include "tools/recording/frmOrvelle.h"
#include "tools/splitter/frmAudioEditorProc.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

using namespace ListsTest;

namespace {

const QString kText = QStringLiteral("Speech files are spoken at the normal rate.");

// The real converter and speech component; the default tags set.
struct SpeechFixture : Fixture {
    explicit SpeechFixture(bool offered = true)
    {
        SetAudioConverterFactory({});
        lAppIncTTS = offered ? 1 : 0;
    }
    // The default tags, as the options window's "ID3 Tags" page leaves them (after the
    // options window has loaded the stored ones).
    static void setDefaultTags()
    {
        g_sTagArtist = QStringLiteral("Speaker");
        g_sTagSong = QStringLiteral("Spoken [PROG_NAME]");
        g_sTagAlbum = QStringLiteral("Speeches");
    }
    ~SpeechFixture() { Forms::DestroyAll(); }
    // Lets the window open, runs `use` on it, then closes it unless `use` did.
    void whenOpen(const std::function<void(frmOrvelle*)>& use)
    {
        platform.modal().handlers.enqueue([use](VForm* form) {
            auto* w = qobject_cast<frmOrvelle*>(form);
            QVERIFY(w);
            use(w);
        });
    }
    // Lets the conversion window run until it closes itself; one that stays with an
    // error is closed as the user would, its text kept in `conversionErrors`.
    QStringList conversionErrors;
    void convertWhenShown()
    {
        platform.modal().handlers.enqueue([this](VForm* form) {
            auto* proc = qobject_cast<frmAudioEditorProc*>(form);
            QVERIFY(proc);
            QPointer<frmAudioEditorProc> open(proc);
            // Done and Aborted close the window at once; an error stays on show.
            QTRY_VERIFY_WITH_TIMEOUT(!Forms::IsLoaded<frmAudioEditorProc>() ||
                                         open->lblCurrentTrack->text() != QStringLiteral("Preparing..."),
                                     30000);
            if (Forms::IsLoaded<frmAudioEditorProc>()) {
                conversionErrors << open->lblCurrentTrack->text();
                Forms::Unload(open.data());
            }
        });
    }
};

void selectTarget(frmOrvelle* w, const QString& code)
{
    w->cboTargetFormat->setCurrentIndex(w->cboTargetFormat->findText(code, Qt::MatchStartsWith));
    QCOMPARE(w->cboTargetFormat->currentText().left(3), code);
}

// The temporary files of unfinished writes in a folder.
QStringList tempFilesIn(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.tmp-*")}, QDir::Files | QDir::Hidden);
}

// The length of the speech of `text` as the component writes it at the normal rate and
// loudness in the engine's own format, into `file`.
double spokenSeconds(cOrvelle* speech, const QString& text, QString file)
{
    speech->SetRate(0);
    speech->SetVolume(100);
    speech->SetFormatId(22);
    QSignalSpy done(speech, &cOrvelle::FileDone);
    speech->SpeakToFile(text, file);
    if (!done.wait(30000))
        return 0;
    return ProbeMedia(file).lengthSeconds;
}

QString codecOf(const QString& path)
{
    AVFormatContext* ctx = nullptr;
    if (OpenMediaFile(path, &ctx) < 0 || !ctx)
        return QString();
    QString name;
    for (unsigned i = 0; i < ctx->nb_streams; ++i)
        if (ctx->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO)
            name = QString::fromLatin1(avcodec_get_name(ctx->streams[i]->codecpar->codec_id));
    avformat_close_input(&ctx);
    return name;
}

} // namespace

class tst_ttsfiles : public QObject
{
    Q_OBJECT
private slots:
    void notOfferedInThisProduct()
    {
        SpeechFixture f(false);
        f.addList("Songs", {"a.wav"});
        frmMain* m = f.start();
        QCOMPARE(m->m_cMenu->IndexForKey(QStringLiteral("Text To Speech")), 0);
        QCOMPARE(m->tlbrRecorder->ButtonIndex(QStringLiteral("Text To Speech")), -1);
        command(m, "Text To Speech");
        QVERIFY(f.platform.modal().shown.isEmpty());
        QVERIFY(!Forms::IsLoaded<frmOrvelle>());
    }

    void opensFromItsItemAndButton_data()
    {
        QTest::addColumn<bool>("button");
        QTest::newRow("menu item by its key") << false;
        QTest::newRow("tools bar button") << true;
    }

    void opensFromItsItemAndButton()
    {
        QFETCH(bool, button);
        SpeechFixture f;
        f.addList("Songs", {"a.wav"});  // nothing marked: the window needs no rows
        frmMain* m = f.start();
        bool shown = false;
        f.whenOpen([&](frmOrvelle* w) {
            shown = true;
            // The window as it opens, with the engine's voices; the main window waits
            // with the hourglass.
            QCOMPARE(w->windowTitle(), QStringLiteral("Text To Speech"));
            QVERIFY(w->cboVoices->count() > 10);
            QCOMPARE(w->cboFormats->currentText(), QStringLiteral("SAFT22kHz16BitMono"));
            QCOMPARE(m->cursor().shape(), Qt::WaitCursor);
            Forms::Unload(w);
        });
        if (button)
            m->tlbrRecorder->ButtonClick(m->tlbrRecorder->ButtonIndex(QStringLiteral("Text To Speech")));
        else
            command(m, "Text To Speech");
        QVERIFY(shown);
        QCOMPARE(f.platform.modal().shown, QStringList{"frmOrvelle"});
        QCOMPARE(m->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(!Forms::IsLoaded<frmOrvelle>());
    }

    void theDriveListFollowsItsDiscWhileOpen()
    {
        // GIVEN the list of a CD drive's tracks in the main window
        SpeechFixture f;
        lAppIncCDRipper = 1;  // the drives show as lists of tracks
        f.addList("Songs", {"a.wav"});
        f.drives = {{"D: Fake Drive", true, {{200, true}, {180, true}}}};
        frmMain* m = f.start();
        m->cTreeView1_NodeClick(g_nodMainCDs->Children().Item(1));
        lAppIncCDRipper = 0;
        QCOMPARE(m->cGrid1->Rows(), 2);
        // WHEN its disc is taken out while the text-to-speech window is open
        int rowsWhileOpen = -1;
        f.whenOpen([&](frmOrvelle* w) {
            f.mainRipper()->drives[0].tracks.clear();
            m->tmrCDs.setInterval(10);  // the drive poll's next look, soon
            (void)QTest::qWaitFor([&] { return m->cGrid1->Rows() == 0; }, 5000);
            rowsWhileOpen = m->cGrid1->Rows();
            Forms::Unload(w);
        });
        command(m, "Text To Speech");
        // THEN the main window has followed it, as it does with no window open
        QCOMPARE(f.platform.modal().shown, QStringList{"frmOrvelle"});
        QCOMPARE(rowsWhileOpen, 0);
        QVERIFY(!m->picEmptyMsg->isHidden());
    }

    void saveAsWritesEachTarget_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("codec");
        QTest::addColumn<bool>("tagged");  // the format carries the default tags
        QTest::newRow("WAV") << "WAV" << "pcm_s16le" << false;
        QTest::newRow("ACM") << "ACM" << "adpcm_ima_wav" << false;
        QTest::newRow("MP3") << "MP3" << "mp3" << true;
        QTest::newRow("WMA") << "WMA" << "wmav2" << true;
    }

    void saveAsWritesEachTarget()
    {
        QFETCH(QString, target);
        QFETCH(QString, codec);
        QFETCH(bool, tagged);
        SpeechFixture f;
        Forms::Get<frmAudioProp>();  // the format settings as stored
        g_sACMTag = QStringLiteral("IMA ADPCM");
        g_sACMFormat = QStringLiteral("22050 Hz, 4 Bit, Mono");
        frmOrvelle* w = g_frmOrvelle();
        SpeechFixture::setDefaultTags();
        w->txtSpeak->setPlainText(kText);
        w->sldRate->setValue(10);  // not used for files
        w->sldVolume->setValue(0);
        selectTarget(w, target);
        // The spoken length, as the component writes it at the normal rate.
        const double spoken = spokenSeconds(w->cOrvelle1, kText, f.platform.path("reference.wav"));
        QVERIFY(spoken > 1.5);

        const QString chosen = f.platform.path("speech." + target.toLower());
        f.platform.dialogs().saveAnswers.enqueue(chosen);
        f.convertWhenShown();
        w->cmdSaveAs_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!f.platform.modal().shown.isEmpty() && !Forms::IsLoaded<frmAudioEditorProc>(), 30000);
        QCOMPARE(f.conversionErrors, QStringList());
        QCOMPARE(codecOf(chosen), codec);
        const MediaFacts facts = ProbeMedia(chosen);
        QVERIFY2(std::abs(facts.lengthSeconds - spoken) < 0.15,
                 qPrintable(QStringLiteral("%1 s against %2 s").arg(facts.lengthSeconds).arg(spoken)));
        // Not silent: the volume slider was not used.
        const AudioFixtures::Decoded d = AudioFixtures::decode(chosen);
        float peak = 0;
        for (float s : d.samples)
            peak = std::max(peak, std::abs(s));
        QVERIFY(peak > 0.1f);
        if (tagged) {
            const AudioTags tags = ReadMediaTags(chosen);
            QCOMPARE(tags.Artist, QStringLiteral("Speaker"));
            QCOMPARE(tags.Title, QStringLiteral("Spoken Velmaro"));
            QCOMPARE(tags.Album, QStringLiteral("Speeches"));
        }
        QVERIFY(Forms::IsLoaded<frmOrvelle>());  // open for further saves
    }

    void addPutsTheFileIntoTheList_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("name");
        QTest::newRow("MP3") << "MP3" << "TTS_14-05-09_11-8-2026.mp3";
        QTest::newRow("ACM, read by its content") << "ACM" << "TTS_14-05-09_11-8-2026.acm";
    }

    void addPutsTheFileIntoTheList()
    {
        QFETCH(QString, target);
        QFETCH(QString, name);
        SpeechFixture f;
        Forms::Get<frmAudioProp>();
        g_sACMTag = QStringLiteral("IMA ADPCM");
        g_sACMFormat = QStringLiteral("22050 Hz, 4 Bit, Mono");
        // A clock and a locale pinned: 14:05:09 on 11 August 2026, written d/M/yyyy.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::HongKong));
        const QString list = f.addList("Songs", {"a.wav"});
        frmMain* m = f.start();
        m->m_Clock = [] { return QDateTime(QDate(2026, 8, 11), QTime(14, 5, 9)); };
        f.whenOpen([&](frmOrvelle* w) {
            w->txtSpeak->setPlainText(kText);
            selectTarget(w, target);
            f.convertWhenShown();
            w->cmdAdd_Click();
            QTRY_VERIFY_WITH_TIMEOUT(!Forms::IsLoaded<frmOrvelle>(), 30000);
        });
        command(m, "Text To Speech");
        QLocale::setDefault(QLocale::c());
        const QString path = AppPath() + u'/' + name;
        QVERIFY(ProbeMedia(path).lengthSeconds > 1.5);
        QCOMPARE(fileItems(list), "a.wav " + name + "*");
        QCOMPARE(fileField(list, 2, "COL_FILE"), path);
        QCOMPARE(gridItems(m->cGrid1), "a.wav " + name + "*");
    }

    void saveAsReplacesTheFileTheUserAgreedTo()
    {
        // GIVEN an older speech file under the name the user picks (the save dialog asked
        // "Do you want to replace it?" and the user said Yes)
        SpeechFixture f;
        Forms::Get<frmAudioProp>();
        frmOrvelle* w = g_frmOrvelle();
        w->txtSpeak->setPlainText(kText);
        selectTarget(w, QStringLiteral("WAV"));
        const QString chosen = f.platform.path("speech.wav");
        AudioFixtures::writeWav(chosen, 22050, 1, 16, AudioFixtures::sine(22050 / 4, 1, 22050, 440.0));
        f.platform.dialogs().saveAnswers.enqueue(chosen);
        // WHEN the speech is saved there
        f.convertWhenShown();
        w->cmdSaveAs_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!f.platform.modal().shown.isEmpty() && !Forms::IsLoaded<frmAudioEditorProc>(), 30000);
        // THEN the file holds the new speech, and no error was shown
        QCOMPARE(f.conversionErrors, QStringList());
        QVERIFY2(ProbeMedia(chosen).lengthSeconds > 1.5, qPrintable(QString::number(ProbeMedia(chosen).lengthSeconds)));
        QCOMPARE(tempFilesIn(f.platform.path(QString())), QStringList());
    }

    void twoAddsInOneSecondKeepBothSpeeches()
    {
        SpeechFixture f;
        Forms::Get<frmAudioProp>();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::HongKong));
        const QString list = f.addList("Songs", {"a.wav"});
        frmMain* m = f.start();
        m->m_Clock = [] { return QDateTime(QDate(2026, 8, 11), QTime(14, 5, 9)); };
        const QString first = AppPath() + QStringLiteral("/TTS_14-05-09_11-8-2026.wav");
        const QString second = AppPath() + QStringLiteral("/TTS_14-05-09_11-8-2026_2.wav");
        QByteArray firstBytes;
        for (const QString& text : {QStringLiteral("The first speech."),
                                    QStringLiteral("The second speech, said in the same second as the first one, and "
                                                   "longer.")}) {
            f.whenOpen([&](frmOrvelle* w) {
                w->txtSpeak->setPlainText(text);
                selectTarget(w, QStringLiteral("WAV"));
                f.convertWhenShown();
                w->cmdAdd_Click();
                QTRY_VERIFY_WITH_TIMEOUT(!Forms::IsLoaded<frmOrvelle>(), 30000);
            });
            command(m, "Text To Speech");
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            if (firstBytes.isEmpty())
                firstBytes = TestFiles::ReadBytes(first);
        }
        QLocale::setDefault(QLocale::c());
        QCOMPARE(f.conversionErrors, QStringList());
        // Each speech has a file of its own, listed once; the first is as it was written.
        QCOMPARE(fileItems(list), QStringLiteral("a.wav TTS_14-05-09_11-8-2026.wav* TTS_14-05-09_11-8-2026_2.wav*"));
        QCOMPARE(fileField(list, 2, "COL_FILE"), first);
        QCOMPARE(fileField(list, 3, "COL_FILE"), second);
        QVERIFY(!firstBytes.isEmpty());
        QCOMPARE(TestFiles::ReadBytes(first), firstBytes);
        QVERIFY2(ProbeMedia(second).lengthSeconds > ProbeMedia(first).lengthSeconds + 1.0,
                 qPrintable(QStringLiteral("%1 s after %2 s").arg(ProbeMedia(second).lengthSeconds)
                                .arg(ProbeMedia(first).lengthSeconds)));
    }

    void saveAsLeavesTheWindowRunning()
    {
        SpeechFixture f;
        Forms::Get<frmAudioProp>();
        frmOrvelle* w = g_frmOrvelle();
        const QString text = kText.repeated(20);
        const double spoken = spokenSeconds(w->cOrvelle1, text, f.platform.path("reference.wav"));
        QVERIFY(spoken > 20 * 1.5);
        w->txtSpeak->setPlainText(text);
        selectTarget(w, QStringLiteral("WAV"));
        const QString chosen = f.platform.path("long.wav");
        f.platform.dialogs().saveAnswers.enqueue(chosen);
        // Something the window's event loop runs as soon as it gets the chance: with the
        // speech made on the window's thread it would run only once all of it was done.
        bool ranWhileSpeaking = false;
        QTimer::singleShot(0, w, [&] {
            ranWhileSpeaking = f.platform.modal().shown.isEmpty() && !w->prgSpeech->isHidden();
        });
        f.convertWhenShown();
        w->cmdSaveAs_Click();
        QTRY_VERIFY_WITH_TIMEOUT(!f.platform.modal().shown.isEmpty() && !Forms::IsLoaded<frmAudioEditorProc>(), 30000);
        QVERIFY(ranWhileSpeaking);
        QCOMPARE(f.conversionErrors, QStringList());
        // All of the speech is in the file, and the window is ready for the next.
        QVERIFY2(std::abs(ProbeMedia(chosen).lengthSeconds - spoken) < 0.3,
                 qPrintable(QStringLiteral("%1 s against %2 s").arg(ProbeMedia(chosen).lengthSeconds).arg(spoken)));
        QVERIFY(w->prgSpeech->isHidden());
        QVERIFY(w->cmdSaveAs->isEnabled());
    }

    void stopEndsALongSpeechFile()
    {
        // GIVEN a text of about an hour of speech, to be saved over an older file the user
        // agreed to replace
        SpeechFixture f;
        Forms::Get<frmAudioProp>();
        frmOrvelle* w = g_frmOrvelle();
        w->txtSpeak->setPlainText(kText.repeated(1400));
        selectTarget(w, QStringLiteral("WAV"));
        const QString chosen = f.platform.path("long.wav");
        TestFiles::WriteBytes(chosen, "the old speech");
        f.platform.dialogs().saveAnswers.enqueue(chosen);
        int ticks = 0;
        QTimer tick;
        tick.setInterval(10);
        connect(&tick, &QTimer::timeout, this, [&] { ++ticks; });
        tick.start();
        // WHEN it is saved
        w->cmdSaveAs_Click();
        // THEN the window goes on (a timer of its thread ticks) and shows the speech coming
        QTRY_VERIFY_WITH_TIMEOUT(w->prgSpeech->Value() >= 2, 30000);
        QVERIFY(!w->prgSpeech->isHidden());
        QVERIFY(ticks > 0);
        // WHEN Stop is clicked, THEN the job ends within a second
        QElapsedTimer clock;
        clock.start();
        w->cmdStop->click();
        QTRY_VERIFY_WITH_TIMEOUT(w->cmdSaveAs->isEnabled(), 1000);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(w->prgSpeech->isHidden());
        // ... with nothing converted, no speech file under its name, the old file as it was
        QVERIFY(f.platform.modal().shown.isEmpty());
        QVERIFY(f.platform.messages().shown.isEmpty());
        QCOMPARE(TestFiles::ReadBytes(chosen), QByteArray("the old speech"));
        QVERIFY(!QFileInfo::exists(SpeechTempFile()));
        QCOMPARE(tempFilesIn(AppPath()), QStringList());
    }

    void addOnAGroupNodeWritesNoList()
    {
        SpeechFixture f;
        Forms::Get<frmAudioProp>();
        const QString list = f.addList("Songs", {"a.wav"});
        const QByteArray listBytes = TestFiles::ReadBytes(list);
        frmMain* m = f.start();
        m->m_Clock = [] { return QDateTime(QDate(2026, 8, 11), QTime(14, 5, 9)); };
        cTreeItem* group = m->cTreeView1->Nodes().Item(1);
        group->SetItemFlag67(true);
        m->cTreeView1_NodeClick(group);
        QString added;
        f.whenOpen([&](frmOrvelle* w) {
            selectTarget(w, QStringLiteral("WAV"));
            f.convertWhenShown();
            f.platform.messages().answers.enqueue(vbOK);
            w->cmdAdd_Click();
            QTRY_VERIFY_WITH_TIMEOUT(!Forms::IsLoaded<frmOrvelle>(), 30000);
        });
        command(m, "Text To Speech");
        QCOMPARE(f.platform.messages().shown.size(), 1);
        const QString prompt = f.platform.messages().shown[0].prompt;
        QVERIFY2(prompt.startsWith("The file " + AppPath() + "/TTS_14-05-09_") &&
                     prompt.endsWith(" was not added: no items list is selected."),
                 qPrintable(prompt));
        // No list file but the one there was, unchanged.
        QCOMPARE(TestFiles::ReadBytes(list), listBytes);
        QCOMPARE(QDir(f.platform.path("Main")).entryList(QDir::Files), QStringList{"Songs.flst"});
    }

    void aFailedConversionStillSavesTheList()
    {
        SpeechFixture f;
        Forms::Get<frmAudioProp>();
        const QString list = f.addList("Songs", {"a.wav"});
        frmMain* m = f.start();
        f.whenOpen([&](frmOrvelle* w) {
            selectTarget(w, QStringLiteral("MP3"));
            // The conversion is aborted by closing its window at once.
            f.platform.modal().handlers.enqueue([](VForm* form) { Forms::Unload(form); });
            f.platform.messages().answers.enqueue(vbOK);
            w->cmdAdd_Click();
            QTRY_VERIFY_WITH_TIMEOUT(!Forms::IsLoaded<frmOrvelle>(), 30000);
        });
        command(m, "Text To Speech");
        QCOMPARE(f.platform.messages().shown.size(), 1);
        QVERIFY2(f.platform.messages().shown[0].prompt.startsWith(QStringLiteral("Cannot add ")),
                 qPrintable(f.platform.messages().shown[0].prompt));
        QCOMPARE(fileItems(list), QStringLiteral("a.wav"));
        QVERIFY(!Forms::IsLoaded<frmOrvelle>());
    }
};

QTEST_MAIN(tst_ttsfiles)
#include "tst_ttsfiles.moc"
