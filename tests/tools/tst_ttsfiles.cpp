// "Text To Speech" from the main window over the real speech component and converter: the
// command opens the window only in a profile that offers it (from its menu item, its key
// and its button), "Save As..." writes each target format with the default tags, and "Add
// to Items List" puts the time-stamped speech file into the current list and its file.
#include "components/audio/MediaProbe.h"
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
#include <QLocale>
#include <QPlainTextEdit>
#include <QTest>

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
    void convertWhenShown()
    {
        platform.modal().handlers.enqueue([](VForm* form) {
            QVERIFY(qobject_cast<frmAudioEditorProc*>(form));
            QTRY_VERIFY_WITH_TIMEOUT(!Forms::IsLoaded<frmAudioEditorProc>(), 30000);
        });
    }
};

void selectTarget(frmOrvelle* w, const QString& code)
{
    w->cboTargetFormat->setCurrentIndex(w->cboTargetFormat->findText(code, Qt::MatchStartsWith));
    QCOMPARE(w->cboTargetFormat->currentText().left(3), code);
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
        m->tmrCDs.stop();
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
        QVERIFY(!m->tmrCDs.isActive());  // left as it was
        QVERIFY(!Forms::IsLoaded<frmOrvelle>());
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
        QString reference = f.platform.path("reference.wav");
        w->cOrvelle1->SetRate(0);
        w->cOrvelle1->SetVolume(100);
        w->cOrvelle1->SetFormatId(22);
        QCOMPARE(w->cOrvelle1->SpeakToFile(kText, reference), 0);
        const double spoken = ProbeMedia(reference).lengthSeconds;
        QVERIFY(spoken > 1.5);

        const QString chosen = f.platform.path("speech." + target.toLower());
        f.platform.dialogs().saveAnswers.enqueue(chosen);
        f.convertWhenShown();
        w->cmdSaveAs_Click();
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
            QVERIFY(!Forms::IsLoaded<frmOrvelle>());
        });
        command(m, "Text To Speech");
        QLocale::setDefault(QLocale::c());
        const QString path = AppPath() + u'/' + name;
        QVERIFY(ProbeMedia(path).lengthSeconds > 1.5);
        QCOMPARE(fileItems(list), "a.wav " + name + "*");
        QCOMPARE(fileField(list, 2, "COL_FILE"), path);
        QCOMPARE(gridItems(m->cGrid1), "a.wav " + name + "*");
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
