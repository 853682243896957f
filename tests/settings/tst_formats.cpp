// The output-format window and the format globals: loading from the store, the round trip
// through OK and a restart, the records handed to the components (and a real conversion
// with them), the codec lists of the audio engine, recommended codecs, pages and tabs.
#include "common/mdlModes.h"
#include "common/RegistryRoutines.h"
#include "common/mdlFunctions.h"
#include "common/mdlSupportedDestination.h"
#include "components/audio/CodecCatalogue.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cTabControl/cTabControl.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "settings/mdlFormats.h"
#include "settings/mdlOptions.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/FakeAudioComponents.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabBar>
#include <QFile>
#include <QTest>

#include <functional>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

// Every format global back to what a new process starts with.
void resetFormatGlobals()
{
    g_lSamplesWAV = g_lBitrateWAV = g_lChannelsWAV = 0;
    g_sACMTag.clear();
    g_sACMFormat.clear();
    g_lMP3Bitrate = g_lMP3Quality = g_lMP3Samplerate = g_lMP3Mode = 0;
    g_lMP3VBRQuality = g_lMP3MinBitrate = g_lMP3MaxBitrate = g_lMP3ABRBitrate = 0;
    for (bool* b : {&g_bMP3ErrorProtect, &g_bMP3Original, &g_bMP3Copyright, &g_bMP3StrictISO, &g_bMP3VBRTag,
                    &g_bMP3VBRForceMinBitrate, &g_bMP3ABR, &g_bOggBit})
        *b = false;
    g_lWMACodecs = g_lWMAFormat = 0;
    g_lOGGQuality = g_lOggBitNom = g_lAPELevel = 0;
}

// Start-up order: the options window (which sets the offered formats), then this one.
frmAudioProp* startUp()
{
    Forms::Get<frmOptions>();
    return Forms::Get<frmAudioProp>();
}

frmAudioProp* restart()
{
    Forms::DestroyAll();
    resetFormatGlobals();
    return startUp();
}

QStringList items(const QComboBox* c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

QList<QFrame*> pagesOf(frmAudioProp* f)
{
    return {f->froToWAV, f->froToACM, f->froToMP3, f->froToWMA, f->froToOGG, f->froToAPE};
}

// The one page not hidden; nullptr when none or several are.
QFrame* shownPage(frmAudioProp* f)
{
    QFrame* shown = nullptr;
    for (QFrame* p : pagesOf(f))
        if (!p->isHidden()) {
            if (shown)
                return nullptr;
            shown = p;
        }
    return shown;
}

void pick(QComboBox* c, const QString& text)
{
    const int i = c->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    QVERIFY2(i >= 0, qPrintable(text));
    c->setCurrentIndex(i);
}

QStringList sortedAcmNames(const std::function<bool(const AcmCodec&)>& take)
{
    QStringList names;
    for (const AcmCodec& c : CodecCatalogue::acmCodecs())
        if (take(c))
            names << c.name;
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return QString::compare(a, b, Qt::CaseInsensitive) < 0; });
    return names;
}

QStringList acmFormatTexts(const QString& codec)
{
    QStringList out;
    if (const AcmCodec* c = CodecCatalogue::findAcmCodec(codec))
        for (const AcmFormat& f : c->formats)
            out << f.text;
    return out;
}

// What the FFmpeg libraries find in a written file's first audio stream.
struct StreamFacts {
    QString codec;
    int rate = 0;
    int channels = 0;
    qint64 bitRate = 0;
};

StreamFacts probe(const QString& path)
{
    StreamFacts facts;
    AVFormatContext* in = nullptr;
    if (avformat_open_input(&in, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return facts;
    avformat_find_stream_info(in, nullptr);
    const int si = av_find_best_stream(in, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (si >= 0) {
        const AVCodecParameters* par = in->streams[si]->codecpar;
        facts.codec = QString::fromLatin1(avcodec_get_name(par->codec_id));
        facts.rate = par->sample_rate;
        facts.channels = par->ch_layout.nb_channels;
        facts.bitRate = par->bit_rate;
    }
    avformat_close_input(&in);
    return facts;
}

using Probe = std::function<QVariant()>;
using Setup = std::function<void(frmAudioProp*)>;

} // namespace

Q_DECLARE_METATYPE(Probe)
Q_DECLARE_METATYPE(Setup)

class tst_Formats : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { InitProductProfile(); }
    void init() { resetFormatGlobals(); }
    void cleanup()
    {
        SetSupportedDestinations();
        InitProductProfile();
    }
    void firstStart();
    void everySettingRoundTrips();
    void storedValues_data();
    void storedValues();
    void mp3VariableBitrate_data();
    void mp3VariableBitrate();
    void oggHandOver_data();
    void oggHandOver();
    void storedAcmCodec_data();
    void storedAcmCodec();
    void wmaLists();
    void noCodecs();
    void okSelectsTheDefaultFormat_data();
    void okSelectsTheDefaultFormat();
    void twoFormatBuild();
    void okWithoutMP3Key();
    void exitAndCloseBox();
    void pages_data();
    void pages();
    void openedFromOptionsEdit_data();
    void openedFromOptionsEdit();
    void recommendedCodecs();
    void recommendedCodecsAskTheSourceFormat();
    void recommendedCodecsCancelled_data();
    void recommendedCodecsCancelled();
    void advancedPanel();
    void oggSlider();
    void colours();
    void convertsWithHandedSettings_data();
    void convertsWithHandedSettings();
};

void tst_Formats::firstStart()
{
    // A store an older version laid down: the six sub-keys, all empty.
    TestPlatform platform;
    for (const char* key : {"WAV", "ACM", "MP3", "WMA", "OGG", "APE"})
        TestFiles::ClearStoredValues(QStringLiteral("Formats\\") + QLatin1String(key));
    frmAudioProp* f = startUp();
    QCOMPARE(f->windowTitle(), QStringLiteral("Audio Format"));
    QVERIFY(!f->isVisible());
    QCOMPARE(f->cTabControl1->TabCount(), 4);
    const QStringList keys{"WAV", "ACM", "MP3", "WMA"};
    for (int i = 0; i < keys.size(); ++i) {
        QCOMPARE(f->cTabControl1->TabKey(i + 1), keys[i]);
        QCOMPARE(f->cTabControl1->TabCaption(i + 1), keys[i]);
    }
    QCOMPARE(shownPage(f), f->froToWAV);
    QCOMPARE(f->lblTitle->text(), QStringLiteral("WAV -"));

    // The globals as the empty store leaves them.
    QCOMPARE(g_lSamplesWAV, 44100);
    QCOMPARE(g_lBitrateWAV, 16);
    QCOMPARE(g_lChannelsWAV, 0);
    QCOMPARE(g_sACMTag, QStringLiteral("PCM"));
    QCOMPARE(g_sACMFormat, acmFormatTexts("PCM").value(0));
    QCOMPARE(g_lMP3Bitrate, 128);
    QCOMPARE(g_lMP3Quality, 5);
    QCOMPARE(g_lMP3Samplerate, 44100);
    QCOMPARE(g_lMP3Mode, 0);
    for (bool b : {g_bMP3ErrorProtect, g_bMP3Original, g_bMP3Copyright, g_bMP3StrictISO, g_bMP3VBRTag,
                   g_bMP3VBRForceMinBitrate, g_bMP3ABR, g_bOggBit})
        QVERIFY(!b);
    QCOMPARE(g_lMP3VBRQuality, 5);
    QCOMPARE(g_lMP3MinBitrate, 9);
    QCOMPARE(g_lMP3MaxBitrate, 11);
    QCOMPARE(g_lMP3ABRBitrate, 96);
    QCOMPARE(g_lWMACodecs, 0);
    QCOMPARE(g_lWMAFormat, 0);
    QCOMPARE(g_lOGGQuality, 0);
    QCOMPARE(g_lOggBitNom, 32);
    QCOMPARE(g_lAPELevel, 0);

    // The window shows them: the loading's ticks are undone by the missing values, except
    // "VBR Mode", which is never stored.
    QCOMPARE(f->cboChannelsWAV->currentText(), QStringLiteral("Mono"));
    QCOMPARE(f->chkMP3Original->Value(), 0);
    QCOMPARE(f->chkMP3Copyright->Value(), 0);
    QCOMPARE(f->chkMP3VBRTag->Value(), 0);
    QCOMPARE(f->chkMP3VBR->Value(), 1);
    QCOMPARE(f->lblMP3Advanced->text(), QStringLiteral("Advanced..."));
    QVERIFY(f->picMP3Advanced->isHidden());
    QVERIFY(!f->ptnQualityOGG->isChecked());
    QVERIFY(!f->optOggBit->isChecked());
    QCOMPARE(f->lblSensitivityVal->text(), QStringLiteral("0"));
    QCOMPARE(f->cboAPELevel->currentText(), QStringLiteral("Fast"));
    QCOMPARE(f->chkBestAccordToSource->Value(), 0);

    // The ACM lists are the audio engine's catalogue: every codec, sorted; PCM's formats.
    QCOMPARE(items(f->cboTags), sortedAcmNames([](const AcmCodec&) { return true; }));
    QCOMPARE(items(f->cboFormats), acmFormatTexts("PCM"));

    // The records built from them.
    const WAVSettings wav = BuildWAVSettings();
    QCOMPARE(wav.SamplesPerSec, 44100);
    QCOMPARE(wav.Channels, qint16(1));
    QCOMPARE(wav.BitsPerSample, qint16(16));
    const MP3Settings mp3 = BuildMP3Settings();
    QCOMPARE(mp3.Bitrate, 128);
    QCOMPARE(mp3.ABRBitrate, 96);
    QCOMPARE(mp3.VBRMethod, 0);
    QCOMPARE(mp3.WriteVBRTag, qint16(0));
    QCOMPARE(mp3.Original, qint16(0));
    const OGGSettings ogg = BuildOGGSettings();
    QCOMPARE(ogg.Mode, 0);
    QCOMPARE(ogg.Bitrate, 0);
    QCOMPARE(ogg.Quality, 0);
    QCOMPARE(BuildWMASettings().CodecIndex, 0);
    QCOMPARE(BuildAPESettings(), 0);
    QCOMPARE(BuildACMSettings().TagName, QStringLiteral("PCM"));
    QCOMPARE(BuildACMSettings().FormatName, g_sACMFormat);
}

void tst_Formats::everySettingRoundTrips()
{
    TestPlatform platform;
    frmAudioProp* f = startUp();
    QVERIFY(CodecCatalogue::wmaCodecs().size() >= 2);

    // Every control away from what the first start shows.
    pick(f->cboSamplesWAV, "22050");
    pick(f->cboBitrateWAV, "8");
    f->cboChannelsWAV->setCurrentIndex(1);
    pick(f->cboTags, "IMA ADPCM");
    f->cboTags_Click();
    pick(f->cboFormats, "22050 Hz, 4 Bit, Mono");
    pick(f->cboMP3Bitrate, "192");
    pick(f->cboMP3Quality, "2 ");
    pick(f->cboMP3Samplerate, "32000");
    f->cboMP3Mode->setCurrentIndex(3);
    for (CheckBox* c : {f->chkMP3ErrorProtect, f->chkMP3Original, f->chkMP3Copyright, f->chkMP3StrictISO,
                        f->chkMP3VBRTag, f->chkMP3VBRForceMinBitrate, f->chkMP3ABR})
        c->SetValue(1);
    pick(f->cboMP3VBRQuality, "7 ");
    pick(f->cboMP3MinBitrate, "64");
    pick(f->cboMP3MaxBitrate, "320");
    pick(f->cboMP3ABRBitrate, "160");
    f->lblMP3Advanced_Click();
    f->cboWMACodecs->setCurrentIndex(1);
    f->cboWMACodecs_Click();
    f->cboWMAFormat->setCurrentIndex(2);
    f->optOggBit->setChecked(true);
    f->sldOGG->setValue(73);
    pick(f->cboOggBitNom, "196");
    f->cboAPELevel->setCurrentIndex(3);

    f->Show();
    f->cmdOk_Click();
    QVERIFY(!f->isVisible());
    QVERIFY(Forms::IsLoaded<frmAudioProp>());

    // The texts in the store, by kind.
    const QList<QStringList> expected{
        {"Formats\\WAV", "cboSamplesWAV", "22050"},
        {"Formats\\WAV", "cboBitrateWAV", "8"},
        {"Formats\\WAV", "cboChannelsWAV", "1"},
        {"Formats\\ACM", "cboTags", "IMA ADPCM"},
        {"Formats\\ACM", "cboFormats", "22050 Hz, 4 Bit, Mono"},
        {"Formats\\MP3", "cboMP3Bitrate", "192"},
        {"Formats\\MP3", "cboMP3Quality", "2 "},
        {"Formats\\MP3", "cboMP3Samplerate", "32000"},
        {"Formats\\MP3", "cboMP3Mode", "3"},
        {"Formats\\MP3", "chkMP3ErrorProtect", "1"},
        {"Formats\\MP3", "chkMP3Original", "1"},
        {"Formats\\MP3", "chkMP3Copyright", "1"},
        {"Formats\\MP3", "chkMP3StrictISO", "1"},
        {"Formats\\MP3", "cboMP3VBRQuality", "7 "},
        {"Formats\\MP3", "cboMP3MinBitrate", "64"},
        {"Formats\\MP3", "cboMP3MaxBitrate", "320"},
        {"Formats\\MP3", "chkMP3VBRTag", "1"},
        {"Formats\\MP3", "chkMP3VBRForceMinBitrate", "1"},
        {"Formats\\MP3", "chkMP3ABR", "1"},
        {"Formats\\MP3", "cboMP3ABRBitrate", "160"},
        {"Formats\\MP3", "lblMP3Advanced", "Simple..."},
        {"Formats\\WMA", "cboWMACodecs", "1"},
        {"Formats\\WMA", "cboWMAFormat", "2"},
        {"Formats\\OGG", "ptnQualityOGG", "False"},
        {"Formats\\OGG", "sldOGG", "73"},
        {"Formats\\OGG", "optOggBit", "True"},
        {"Formats\\OGG", "cboOggBitNom", "196"},
        {"Formats\\APE", "cboAPELevel", "3"},
    };
    for (const QStringList& e : expected)
        QCOMPARE(TestFiles::StoredText(e[0], e[1]), e[2]);

    // The globals took them at OK, and take them again after a restart.
    auto checkGlobalsAndRecords = [] {
        QCOMPARE(g_sACMTag, QStringLiteral("IMA ADPCM"));
        QCOMPARE(g_sACMFormat, QStringLiteral("22050 Hz, 4 Bit, Mono"));
        const WAVSettings wav = BuildWAVSettings();
        QCOMPARE(wav.SamplesPerSec, 22050);
        QCOMPARE(wav.Channels, qint16(2));
        QCOMPARE(wav.BitsPerSample, qint16(8));
        const ACMSettingsTexts acm = BuildACMSettings();
        QCOMPARE(acm.TagName, QStringLiteral("IMA ADPCM"));
        QCOMPARE(acm.FormatName, QStringLiteral("22050 Hz, 4 Bit, Mono"));
        const MP3Settings m = BuildMP3Settings();
        QCOMPARE(m.ABRBitrate, 160);
        QCOMPARE(m.Bitrate, 192);
        QCOMPARE(m.Copyright, qint16(-1));
        QCOMPARE(m.ErrorProtection, qint16(-1));
        QCOMPARE(m.Mode, 3);
        QCOMPARE(m.Original, qint16(-1));
        QCOMPARE(m.SampleRate, 32000);
        QCOMPARE(m.Quality, 2);
        QCOMPARE(m.StrictISO, qint16(-1));
        QCOMPARE(m.VBRMethod, 3);
        QCOMPARE(m.VBRForceMinBitrate, qint16(-1));
        QCOMPARE(m.VBRMinBitrate, 7);
        QCOMPARE(m.VBRMaxBitrate, 18);
        QCOMPARE(m.VBRQuality, 7);
        QCOMPARE(m.WriteVBRTag, qint16(-1));
        const WMASettings wma = BuildWMASettings();
        QCOMPARE(wma.CodecIndex, 1);
        QCOMPARE(wma.FormatIndex, 2);
        const OGGSettings ogg = BuildOGGSettings();
        QCOMPARE(ogg.Mode, 2);
        QCOMPARE(ogg.Bitrate, 196);
        QCOMPARE(ogg.Quality, 0);
        QCOMPARE(g_lOGGQuality, 73);
        QCOMPARE(BuildAPESettings(), 3);
    };
    checkGlobalsAndRecords();

    f = restart();
    checkGlobalsAndRecords();
    QCOMPARE(f->cboSamplesWAV->currentText(), QStringLiteral("22050"));
    QCOMPARE(f->cboChannelsWAV->currentText(), QStringLiteral("Stereo"));
    QCOMPARE(f->cboTags->currentText(), QStringLiteral("IMA ADPCM"));
    QCOMPARE(items(f->cboFormats), acmFormatTexts("IMA ADPCM"));
    QCOMPARE(f->cboMP3Mode->currentText(), QStringLiteral("MONO_MODE = 3"));
    QCOMPARE(f->lblMP3Advanced->text(), QStringLiteral("Simple..."));
    QVERIFY(!f->picMP3Advanced->isHidden());
    QCOMPARE(f->cboWMACodecs->currentIndex(), 1);
    QCOMPARE(f->cboWMAFormat->currentText(), CodecCatalogue::wmaCodecs()[1].formats[2].text);
    QVERIFY(f->optOggBit->isChecked());
    QVERIFY(!f->ptnQualityOGG->isChecked());
    QCOMPARE(f->sldOGG->value(), 73);
    QCOMPARE(f->lblSensitivityVal->text(), QStringLiteral("73"));
    QCOMPARE(f->cboAPELevel->currentText(), QStringLiteral("Extra high"));

    // The records reach the component as they are.
    std::unique_ptr<cAudioConverter> conv(CreateAudioConverter(nullptr));
    MP3Settings mp3 = BuildMP3Settings();
    conv->SetMP3Settings(mp3);
    ACMSettingsTexts acm = BuildACMSettings();
    conv->SetACMSettings(acm.TagName, acm.FormatName);
    QCOMPARE(conv->Settings().MP3.Bitrate, 192);
    QCOMPARE(conv->Settings().MP3.VBRMethod, 3);
    QCOMPARE(conv->Settings().ACMTag, QStringLiteral("IMA ADPCM"));
    QCOMPARE(conv->Settings().ACMFormat, QStringLiteral("22050 Hz, 4 Bit, Mono"));
}

void tst_Formats::storedValues_data()
{
    QTest::addColumn<QString>("subkey");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<Probe>("probe");
    QTest::addColumn<QVariant>("expected");

    const Probe bitrate = [] { return QVariant(g_lMP3Bitrate); };
    const Probe channels = [] { return QVariant(g_lChannelsWAV); };
    QTest::newRow("bitrate with its blank") << "Formats\\MP3" << "cboMP3Bitrate" << "8 " << bitrate << QVariant(8);
    QTest::newRow("bitrate without the blank is no item")
        << "Formats\\MP3" << "cboMP3Bitrate" << "8" << bitrate << QVariant(128);
    QTest::newRow("VBR quality is the list index")
        << "Formats\\MP3" << "cboMP3VBRQuality" << "7 " << Probe([] { return QVariant(g_lMP3VBRQuality); })
        << QVariant(7);
    QTest::newRow("maximum bitrate is the list index")
        << "Formats\\MP3" << "cboMP3MaxBitrate" << "320" << Probe([] { return QVariant(g_lMP3MaxBitrate); })
        << QVariant(18);
    QTest::newRow("unknown minimum keeps 96")
        << "Formats\\MP3" << "cboMP3MinBitrate" << "100" << Probe([] { return QVariant(g_lMP3MinBitrate); })
        << QVariant(9);
    QTest::newRow("quality") << "Formats\\MP3" << "cboMP3Quality" << "9 "
                             << Probe([] { return QVariant(g_lMP3Quality); }) << QVariant(9);
    QTest::newRow("mode index") << "Formats\\MP3" << "cboMP3Mode" << "5" << Probe([] { return QVariant(g_lMP3Mode); })
                                << QVariant(5);
    QTest::newRow("mode beyond the list") << "Formats\\MP3" << "cboMP3Mode" << "6"
                                          << Probe([] { return QVariant(g_lMP3Mode); }) << QVariant(0);
    // A value that cannot be taken keeps what the loading chose (stereo), unlike a missing one.
    QTest::newRow("channels beyond the list") << "Formats\\WAV" << "cboChannelsWAV" << "2" << channels << QVariant(1);
    QTest::newRow("channels not a number") << "Formats\\WAV" << "cboChannelsWAV" << "two" << channels << QVariant(1);
    QTest::newRow("channels mono") << "Formats\\WAV" << "cboChannelsWAV" << "0" << channels << QVariant(0);
    QTest::newRow("samples") << "Formats\\WAV" << "cboSamplesWAV" << "8000"
                             << Probe([] { return QVariant(g_lSamplesWAV); }) << QVariant(8000);
    QTest::newRow("unknown samples") << "Formats\\WAV" << "cboSamplesWAV" << "96000"
                                     << Probe([] { return QVariant(g_lSamplesWAV); }) << QVariant(44100);
    QTest::newRow("check ticked") << "Formats\\MP3" << "chkMP3StrictISO" << "1"
                                  << Probe([] { return QVariant(g_bMP3StrictISO); }) << QVariant(true);
    QTest::newRow("check not a number keeps the loading's tick")
        << "Formats\\MP3" << "chkMP3Original" << "yes" << Probe([] { return QVariant(g_bMP3Original); })
        << QVariant(true);
    QTest::newRow("slider") << "Formats\\OGG" << "sldOGG" << "80" << Probe([] { return QVariant(g_lOGGQuality); })
                            << QVariant(80);
    QTest::newRow("slider beyond its range keeps 50")
        << "Formats\\OGG" << "sldOGG" << "150" << Probe([] { return QVariant(g_lOGGQuality); }) << QVariant(50);
    QTest::newRow("nominal bitrate") << "Formats\\OGG" << "cboOggBitNom" << "350"
                                     << Probe([] { return QVariant(g_lOggBitNom); }) << QVariant(350);
    QTest::newRow("APE level") << "Formats\\APE" << "cboAPELevel" << "4" << Probe([] { return QVariant(g_lAPELevel); })
                               << QVariant(4);
    QTest::newRow("APE level beyond the list")
        << "Formats\\APE" << "cboAPELevel" << "5" << Probe([] { return QVariant(g_lAPELevel); }) << QVariant(0);
    QTest::newRow("WMA codec beyond the list")
        << "Formats\\WMA" << "cboWMACodecs" << "7" << Probe([] { return QVariant(g_lWMACodecs); }) << QVariant(0);
    QTest::newRow("WMA format") << "Formats\\WMA" << "cboWMAFormat" << "3"
                                << Probe([] { return QVariant(g_lWMAFormat); }) << QVariant(3);
}

void tst_Formats::storedValues()
{
    QFETCH(QString, subkey);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(Probe, probe);
    QFETCH(QVariant, expected);
    TestPlatform platform;
    QVERIFY(TestFiles::StoreText(subkey, name, value));
    startUp();
    QCOMPARE(probe(), expected);
}

void tst_Formats::mp3VariableBitrate_data()
{
    QTest::addColumn<QString>("vbrTag");
    QTest::addColumn<QString>("abr");
    QTest::addColumn<int>("method");
    QTest::addColumn<int>("writeTag");
    QTest::newRow("constant") << "0" << "0" << 0 << 0;
    QTest::newRow("variable") << "1" << "0" << 4 << -1;
    QTest::newRow("average wins, tag stays") << "1" << "1" << 3 << -1;
    QTest::newRow("average without tag") << "0" << "1" << 3 << 0;
}

void tst_Formats::mp3VariableBitrate()
{
    QFETCH(QString, vbrTag);
    QFETCH(QString, abr);
    QFETCH(int, method);
    QFETCH(int, writeTag);
    TestPlatform platform;
    QVERIFY(TestFiles::StoreText("Formats\\MP3", "chkMP3VBRTag", vbrTag));
    QVERIFY(TestFiles::StoreText("Formats\\MP3", "chkMP3ABR", abr));
    frmAudioProp* f = startUp();
    f->chkMP3VBR->SetValue(0);  // "VBR Mode" plays no part
    const MP3Settings m = BuildMP3Settings();
    QCOMPARE(m.VBRMethod, method);
    QCOMPARE(int(m.WriteVBRTag), writeTag);
}

void tst_Formats::oggHandOver_data()
{
    QTest::addColumn<QString>("quality");
    QTest::addColumn<QString>("bitrate");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("level");
    QTest::newRow("bitrate option, whatever the slider") << "False" << "True" << 2 << 128 << 0;
    QTest::newRow("quality option") << "True" << "False" << 0 << 0 << 90;
    QTest::newRow("neither option is quality mode") << "False" << "False" << 0 << 0 << 90;
    QTest::newRow("the later option wins") << "True" << "true" << 2 << 128 << 0;
    QTest::newRow("a number is a truth value") << "0" << "-1" << 2 << 128 << 0;
}

void tst_Formats::oggHandOver()
{
    QFETCH(QString, quality);
    QFETCH(QString, bitrate);
    QFETCH(int, mode);
    QFETCH(int, rate);
    QFETCH(int, level);
    TestPlatform platform;
    QVERIFY(TestFiles::StoreText("Formats\\OGG", "ptnQualityOGG", quality));
    QVERIFY(TestFiles::StoreText("Formats\\OGG", "sldOGG", "90"));
    QVERIFY(TestFiles::StoreText("Formats\\OGG", "optOggBit", bitrate));
    QVERIFY(TestFiles::StoreText("Formats\\OGG", "cboOggBitNom", "128"));
    frmAudioProp* f = startUp();
    const OGGSettings o = BuildOGGSettings();
    QCOMPARE(o.Mode, mode);
    QCOMPARE(o.Bitrate, rate);
    QCOMPARE(o.Quality, level);
    // The group never shows both options selected.
    QVERIFY(!(f->ptnQualityOGG->isChecked() && f->optOggBit->isChecked()));
}

void tst_Formats::storedAcmCodec_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("expectedTag");
    QTest::addColumn<QString>("expectedFormat");
    QTest::newRow("codec and format") << "IMA ADPCM" << "8000 Hz, 4 Bit, Mono" << "IMA ADPCM" << "8000 Hz, 4 Bit, Mono";
    QTest::newRow("format the codec does not offer")
        << "IMA ADPCM" << "44100 Hz, 16 Bit, Stereo" << "IMA ADPCM" << acmFormatTexts("IMA ADPCM").value(0);
    QTest::newRow("unknown codec keeps PCM")
        << "Lossy Wonder" << "44100 Hz, 8 Bit, Mono" << "PCM" << "44100 Hz, 8 Bit, Mono";
    QTest::newRow("only a format") << "" << "22050 Hz, 16 Bit, Mono" << "PCM" << "22050 Hz, 16 Bit, Mono";
}

void tst_Formats::storedAcmCodec()
{
    QFETCH(QString, tag);
    QFETCH(QString, format);
    QFETCH(QString, expectedTag);
    QFETCH(QString, expectedFormat);
    TestPlatform platform;
    QVERIFY(TestFiles::StoreText("Formats\\ACM", "cboTags", tag));
    QVERIFY(TestFiles::StoreText("Formats\\ACM", "cboFormats", format));
    frmAudioProp* f = startUp();
    QCOMPARE(g_sACMTag, expectedTag);
    QCOMPARE(g_sACMFormat, expectedFormat);
    QCOMPARE(items(f->cboFormats), acmFormatTexts(expectedTag));
}

void tst_Formats::wmaLists()
{
    TestPlatform platform;
    frmAudioProp* f = startUp();
    const auto& codecs = CodecCatalogue::wmaCodecs();
    QVERIFY(!codecs.isEmpty());
    QStringList names;
    for (const WmaCodec& c : codecs)
        names << c.name;
    QCOMPARE(items(f->cboWMACodecs), names);
    auto formatsOf = [&](int codec) {
        QStringList out;
        for (const WmaFormat& w : codecs[codec].formats)
            out << w.text;
        return out;
    };
    QCOMPARE(items(f->cboWMAFormat), formatsOf(0));
    // Choosing another codec lists its formats and picks the first.
    f->cboWMAFormat->setCurrentIndex(4);
    const int last = int(codecs.size()) - 1;
    f->cboWMACodecs->setCurrentIndex(last);
    f->cboWMACodecs_Click();
    QCOMPARE(items(f->cboWMAFormat), formatsOf(last));
    QCOMPARE(f->cboWMAFormat->currentIndex(), 0);
}

void tst_Formats::noCodecs()
{
    // An engine without ACM or WMA codecs: empty lists, empty ACM globals, WMA at -1.
    TestPlatform platform;
    FakeAudioFactories fakes;
    fakes.setupConverter = [](FakeAudioConverter* c) {
        c->acmTags.clear();
        c->wmaCodecs.clear();
    };
    frmAudioProp* f = startUp();
    QCOMPARE(fakes.converters.size(), 1);
    QCOMPARE(fakes.converters[0]->enumTagCalls, (QList<QList<qint32>>{{1, 44100, 2, 16, 0}}));
    QCOMPARE(f->cboTags->count(), 0);
    QCOMPARE(f->cboFormats->count(), 0);
    QCOMPARE(g_sACMTag, QString());
    QCOMPARE(g_sACMFormat, QString());
    QCOMPARE(g_lWMACodecs, -1);
    QCOMPARE(g_lWMAFormat, -1);
    QCOMPARE(BuildWMASettings().CodecIndex, -1);
    f->cmdOk_Click();
    QCOMPARE(TestFiles::StoredText("Formats\\ACM", "cboTags"), QString());
    QCOMPARE(TestFiles::StoredText("Formats\\WMA", "cboWMACodecs"), QStringLiteral("-1"));

    // Codecs without "PCM": none is chosen.
    Forms::DestroyAll();
    fakes.setupConverter = [](FakeAudioConverter* c) { c->acmTags = QStringList{"IMA ADPCM", "GSM 6.10"}; };
    QVERIFY(TestFiles::StoreText("Formats\\ACM", "cboTags", QString()));
    f = startUp();
    QCOMPARE(items(f->cboTags), (QStringList{"GSM 6.10", "IMA ADPCM"}));
    QCOMPARE(f->cboTags->currentIndex(), -1);
    QCOMPARE(g_sACMTag, QString());
}

void tst_Formats::okSelectsTheDefaultFormat_data()
{
    QTest::addColumn<QString>("tab");
    QTest::addColumn<int>("entry");
    QTest::newRow("WAV") << "WAV" << 0;
    QTest::newRow("ACM") << "ACM" << 1;
    QTest::newRow("MP3") << "MP3" << 2;
    QTest::newRow("WMA") << "WMA" << 3;
}

void tst_Formats::okSelectsTheDefaultFormat()
{
    QFETCH(QString, tab);
    QFETCH(int, entry);
    TestPlatform platform;
    frmAudioProp* f = startUp();
    frmOptions* options = Forms::Loaded<frmOptions>();
    f->cTabControl1->SelectTab(tab);
    f->cTabControl1_TabClick(f->cTabControl1->TabIndex(tab));
    f->cmdOk_Click();
    QCOMPARE(options->cboTargetFormat->currentIndex(), entry);
    QCOMPARE(options->cboTargetFormat->currentText().left(3), tab);
    // Only the options window's own OK stores it: the store keeps the first-run default.
    QCOMPARE(TestFiles::StoredText("General", "cboTargetFormat"), DestinationFormatTexts()[0]);
}

void tst_Formats::twoFormatBuild()
{
    TestPlatform platform;
    frmOptions* options = Forms::Get<frmOptions>();
    // A build that offers WAV and MP3 only.
    g_lDestACM = 0;
    g_lDestWMA = 0;
    options->cboTargetFormat->clear();
    options->cboTargetFormat->addItems({DestinationFormatTexts()[0], DestinationFormatTexts()[2]});
    frmAudioProp* f = Forms::Get<frmAudioProp>();
    QCOMPARE(f->cTabControl1->TabCount(), 2);
    QCOMPARE(f->cTabControl1->TabKey(2), QStringLiteral("MP3"));
    f->cTabControl1->Bar()->setCurrentIndex(1);  // the user clicks the MP3 tab
    QCOMPARE(shownPage(f), f->froToMP3);
    f->cmdOk_Click();
    QCOMPARE(options->cboTargetFormat->currentIndex(), 1);
}

void tst_Formats::okWithoutMP3Key()
{
    TestPlatform platform;
    RegistryRoutines root = TestFiles::ProductKey(QString());
    root.DeleteKey(QStringLiteral("Formats\\MP3"));
    QVERIFY(!TestFiles::ProductKey("Formats\\MP3").KeyExists());
    frmAudioProp* f = startUp();
    pick(f->cboSamplesWAV, "11025");
    pick(f->cboMP3Bitrate, "256");
    f->cboMP3Mode->setCurrentIndex(2);
    f->chkMP3ErrorProtect->SetValue(1);
    f->chkMP3ABR->SetValue(1);
    f->lblMP3Advanced_Click();
    f->cmdOk_Click();

    // The other formats are saved; the MP3 values read back as missing.
    QCOMPARE(TestFiles::StoredText("Formats\\WAV", "cboSamplesWAV"), QStringLiteral("11025"));
    QVERIFY(!TestFiles::ProductKey("Formats\\MP3").KeyExists());
    QCOMPARE(g_lSamplesWAV, 11025);
    QCOMPARE(f->chkMP3ErrorProtect->Value(), 0);
    QCOMPARE(f->chkMP3ABR->Value(), 0);
    QVERIFY(!g_bMP3ErrorProtect);
    QVERIFY(!g_bMP3ABR);
    QCOMPARE(g_lMP3Mode, 0);
    QCOMPARE(f->cboMP3Mode->currentIndex(), 0);
    // The lists keep their selections, and the globals follow them.
    QCOMPARE(f->cboMP3Bitrate->currentText(), QStringLiteral("256"));
    QCOMPARE(g_lMP3Bitrate, 256);
    QCOMPARE(f->lblMP3Advanced->text(), QStringLiteral("Advanced..."));
    QVERIFY(f->picMP3Advanced->isHidden());
}

void tst_Formats::exitAndCloseBox()
{
    TestPlatform platform;
    frmAudioProp* f = startUp();
    pick(f->cboMP3Bitrate, "320");
    f->Show();
    f->cmdExit_Click();
    QVERIFY(!f->isVisible());
    QCOMPARE(Forms::Loaded<frmAudioProp>(), f);
    // Nothing saved, nothing restored.
    QCOMPARE(TestFiles::StoredText("Formats\\MP3", "cboMP3Bitrate"), QStringLiteral("128"));
    QCOMPARE(g_lMP3Bitrate, 128);
    QCOMPARE(f->cboMP3Bitrate->currentText(), QStringLiteral("320"));

    // The close box hides too.
    f->Show();
    QVERIFY(f->isVisible());
    f->close();
    QVERIFY(!f->isVisible());
    QCOMPARE(Forms::Loaded<frmAudioProp>(), f);
    QCOMPARE(g_lMP3Bitrate, 128);

    // While the main window closes, the window really goes.
    g_bExitApp = true;
    QVERIFY(Forms::Unload(f));
    QVERIFY(!Forms::IsLoaded<frmAudioProp>());
}

void tst_Formats::pages_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("description");
    QTest::newRow("WAV") << "WAV" << 0 << "WAV -" << "Waveform audio format";
    QTest::newRow("ACM") << "ACM" << 1 << "WAV(ACM) -" << "Waveform audio format with ACM codec";
    QTest::newRow("MP3") << "MP3" << 2 << "MP3 -" << "MPEG-1 Audio Layer 3";
    QTest::newRow("WMA") << "WMA" << 3 << "WMA -" << "Windows Media Audio";
    QTest::newRow("OGG") << "OGG" << 4 << "OGG -" << "Ogg Media format";
    QTest::newRow("APE") << "APE" << 5 << "APE -" << QString::fromUtf8("Monkey\u2019s Audio file format");
}

void tst_Formats::pages()
{
    QFETCH(QString, key);
    QFETCH(int, page);
    QFETCH(QString, title);
    QFETCH(QString, description);
    TestPlatform platform;
    Forms::Get<frmOptions>();
    // A build that offers all six formats.
    g_lDestOGG = 1;
    g_lDestAPE = 1;
    frmAudioProp* f = Forms::Get<frmAudioProp>();
    QCOMPARE(f->cTabControl1->TabCount(), 6);
    f->cTabControl1->SelectTab(key);
    f->cTabControl1_TabClick(0);
    QCOMPARE(shownPage(f), pagesOf(f)[page]);
    QCOMPARE(f->lblTitle->text(), title);
    QCOMPARE(f->lblFormatDesc->text(), description);
    // The description follows the end of the title closely.
    const int titleEnd = f->lblTitle->x() + f->lblTitle->width();
    QVERIFY(f->lblFormatDesc->x() > titleEnd);
    QVERIFY(f->lblFormatDesc->x() <= titleEnd + TwipsToPixels(80) + 1);
    // Every page lies over the tab strip's client area.
    const QRect strip = f->cTabControl1->geometry();
    for (QFrame* p : pagesOf(f)) {
        QVERIFY(p->y() > strip.y());
        QVERIFY(p->geometry().bottom() <= strip.bottom());
    }

    // A tab of no known format shows no page and keeps the titles.
    f->cTabControl1->AddTab(QStringLiteral("FLAC"), -1, -1, QStringLiteral("FLAC"));
    f->cTabControl1->SelectTab(QStringLiteral("FLAC"));
    f->cTabControl1_TabClick(0);
    QCOMPARE(shownPage(f), nullptr);
    QCOMPARE(f->lblTitle->text(), title);
}

void tst_Formats::openedFromOptionsEdit_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("title");
    QTest::newRow("WAV") << 0 << 0 << "WAV -";
    QTest::newRow("ACM") << 1 << 1 << "WAV(ACM) -";
    QTest::newRow("MP3") << 2 << 2 << "MP3 -";
    QTest::newRow("WMA") << 3 << 3 << "WMA -";
}

void tst_Formats::openedFromOptionsEdit()
{
    QFETCH(int, entry);
    QFETCH(int, page);
    QFETCH(QString, title);
    TestPlatform platform;
    frmAudioProp* f = startUp();
    frmOptions* options = Forms::Loaded<frmOptions>();
    options->cboTargetFormat->setCurrentIndex(entry);
    QFrame* seen = nullptr;
    QString seenTitle;
    platform.modal().handlers.enqueue([&](VForm* w) {
        QCOMPARE(w, f);
        seen = shownPage(f);
        seenTitle = f->lblTitle->text();
        f->cmdExit_Click();
    });
    options->cmdEditTargetFormat_Click();
    QCOMPARE(platform.modal().shown, QStringList{"frmAudioProp"});
    QCOMPARE(seen, pagesOf(f)[page]);
    QCOMPARE(seenTitle, title);
    QCOMPARE(f->cTabControl1->SelectedTab(), entry + 1);
    QVERIFY(!f->isVisible());
}

void tst_Formats::recommendedCodecs()
{
    // The real engine: a source of 8 kHz mono lists only codecs with a format for it.
    TestPlatform platform;
    const QString wav = platform.path("voice.wav");
    const QString mp3 = platform.path("voice.mp3");
    QVERIFY(AudioFixtures::writeWav(wav, 8000, 1, 16, AudioFixtures::sine(8000, 1, 8000, 440)));
    EncoderSettings s = AudioFixtures::mp3Settings(32);
    s.MP3.SampleRate = 8000;
    s.MP3.Mode = 3;
    QVERIFY(AudioFixtures::encode(wav, mp3, s));

    frmAudioProp* f = startUp();
    platform.dialogs().openAnswers.enqueue({mp3});
    f->chkBestAccordToSource->click();
    QCOMPARE(f->chkBestAccordToSource->Value(), 1);
    QCOMPARE(platform.dialogs().openRequests.size(), 1);
    QCOMPARE(platform.dialogs().openRequests[0].title, QStringLiteral("Open MP3 audio file"));
    QVERIFY(platform.dialogs().openRequests[0].filter.contains(QStringLiteral("*.mp3")));

    auto takes8kMono = [](const AcmCodec& c) {
        for (const AcmFormat& fmt : c.formats)
            if (fmt.sampleRate == 8000 && fmt.channels == 1)
                return true;
        return false;
    };
    const QStringList expected = sortedAcmNames(takes8kMono);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(items(f->cboTags), expected);
    if (CodecCatalogue::findAcmCodec("G.722 ADPCM"))
        QVERIFY(!items(f->cboTags).contains("G.722 ADPCM"));  // 16 kHz only
    QCOMPARE(f->cboTags->currentIndex(), 0);
    QCOMPARE(items(f->cboFormats), acmFormatTexts(expected[0]));
    QCOMPARE(f->cboFormats->currentIndex(), 0);

    // Unticked: every codec again, the alphabetically first chosen (not "PCM").
    f->chkBestAccordToSource->click();
    const QStringList all = sortedAcmNames([](const AcmCodec&) { return true; });
    QCOMPARE(items(f->cboTags), all);
    QCOMPARE(f->cboTags->currentText(), all[0]);
    QVERIFY(all[0] != QLatin1String("PCM"));
    QCOMPARE(items(f->cboFormats), acmFormatTexts(all[0]));
    QCOMPARE(platform.dialogs().openRequests.size(), 1);
}

void tst_Formats::recommendedCodecsAskTheSourceFormat()
{
    TestPlatform platform;
    FakeAudioFactories fakes;
    const QString source = platform.path("talk.mp3");
    fakes.setupConverter = [&](FakeAudioConverter* c) { c->files[source] = FakeFileScript{0, 5000, 22050, 1, 8, {}}; };
    frmAudioProp* f = startUp();
    platform.dialogs().openAnswers.enqueue({source});
    f->chkBestAccordToSource->click();
    FakeAudioConverter* c = fakes.converters[0];
    QCOMPARE(c->readInfoCalls, QStringList{source});
    QCOMPARE(c->enumTagCalls.last(), (QList<qint32>{1, 22050, 1, 8, 0x100000}));
    QCOMPARE(f->cboTags->currentText(), QStringLiteral("IMA ADPCM"));  // first in sorted order
    QCOMPARE(c->enumFormatCalls.last(), QStringLiteral("IMA ADPCM"));
}

void tst_Formats::recommendedCodecsCancelled_data()
{
    QTest::addColumn<bool>("unreadableFile");
    QTest::newRow("no file chosen") << false;
    QTest::newRow("a file that is not audio") << true;
}

void tst_Formats::recommendedCodecsCancelled()
{
    // Cancelling the file pick (or picking a file that cannot be read) must not leave the
    // codec lists empty for OK to store.
    QFETCH(bool, unreadableFile);
    TestPlatform platform;
    frmAudioProp* f = startUp();
    pick(f->cboTags, "MS ADPCM");
    f->cboTags_Click();
    f->cmdOk_Click();
    QCOMPARE(TestFiles::StoredText("Formats\\ACM", "cboTags"), QStringLiteral("MS ADPCM"));

    if (unreadableFile) {
        const QString notAudio = platform.path(QStringLiteral("notes.mp3"));
        QFile text(notAudio);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("just some words, no audio\n");
        text.close();
        platform.dialogs().openAnswers.enqueue({notAudio});
    }
    f->chkBestAccordToSource->click();
    QCOMPARE(platform.dialogs().openRequests.size(), 1);
    QCOMPARE(f->chkBestAccordToSource->Value(), 0);
    const QStringList all = sortedAcmNames([](const AcmCodec&) { return true; });
    QCOMPARE(items(f->cboTags), all);
    QCOMPARE(f->cboTags->currentText(), all[0]);
    QCOMPARE(items(f->cboFormats), acmFormatTexts(all[0]));
    QCOMPARE(f->cboFormats->currentIndex(), 0);

    f->cmdOk_Click();
    QCOMPARE(TestFiles::StoredText("Formats\\ACM", "cboTags"), all[0]);
    QCOMPARE(TestFiles::StoredText("Formats\\ACM", "cboFormats"), acmFormatTexts(all[0]).value(0));
    QCOMPARE(g_sACMTag, all[0]);
    QVERIFY(!g_sACMFormat.isEmpty());
}

void tst_Formats::advancedPanel()
{
    TestPlatform platform;
    frmAudioProp* f = startUp();
    QCOMPARE(f->lblMP3Advanced->toolTip(), QStringLiteral("MP3 properties mode."));
    f->lblMP3Advanced_Click();
    QCOMPARE(f->lblMP3Advanced->text(), QStringLiteral("Simple..."));
    QVERIFY(!f->picMP3Advanced->isHidden());
    f->lblMP3Advanced_Click();
    QCOMPARE(f->lblMP3Advanced->text(), QStringLiteral("Advanced..."));
    QVERIFY(f->picMP3Advanced->isHidden());

    // A clicked link (not only the handler) opens it.
    f->Show();
    QTest::mouseClick(f->lblMP3Advanced, Qt::LeftButton);
    QCOMPARE(f->lblMP3Advanced->text(), QStringLiteral("Simple..."));
    f->cmdExit_Click();

    // Any other stored caption shows the panel.
    QVERIFY(TestFiles::StoreText("Formats\\MP3", "lblMP3Advanced", "More"));
    f = restart();
    QCOMPARE(f->lblMP3Advanced->text(), QStringLiteral("More"));
    QVERIFY(!f->picMP3Advanced->isHidden());
}

void tst_Formats::oggSlider()
{
    TestPlatform platform;
    QVERIFY(TestFiles::StoreText("Formats\\OGG", "sldOGG", "40"));
    frmAudioProp* f = startUp();
    QCOMPARE(f->lblSensitivityVal->text(), QStringLiteral("40"));
    // Dragging the thumb shows the value as it goes.
    f->sldOGG->setSliderDown(true);
    f->sldOGG->setSliderPosition(70);
    f->sldOGG->setSliderDown(false);
    QCOMPARE(f->lblSensitivityVal->text(), QStringLiteral("70"));
    // Moving it otherwise (keys, track clicks) does not.
    f->sldOGG->triggerAction(QAbstractSlider::SliderPageStepAdd);
    QVERIFY(f->sldOGG->value() > 70);
    QCOMPARE(f->lblSensitivityVal->text(), QStringLiteral("70"));
}

void tst_Formats::colours()
{
    TestPlatform platform;
    g_sViewBackColor = QStringLiteral("12632256");
    frmAudioProp* f = startUp();
    QCOMPARE(BackColorOf(f->picTitle), g_lAppColor);
    QCOMPARE(f->lblTitle->property("velmaroForeColor").toInt(), g_lTextColor);
    QCOMPARE(f->lblFormatDesc->property("velmaroForeColor").toInt(), g_lTextColor);
    for (QWidget* w : std::initializer_list<QWidget*>{f, f->froToWAV, f->froToAPE, f->picMP3Advanced, f->chkMP3ABR,
                                                     f->optOggBit, f->chkBestAccordToSource})
        QCOMPARE(BackColorOf(w), 12632256);

    // An empty text keeps the designed colours.
    g_sViewBackColor.clear();
    f = restart();
    QVERIFY(!f->froToWAV->property("velmaroBackColor").isValid());
}

void tst_Formats::convertsWithHandedSettings_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<qint64>("bitRate");  // 0: not checked

    QTest::newRow("MP3 constant 64 kbps mono")
        << DestinationFormatTexts()[2] << Setup([](frmAudioProp* f) {
               pick(f->cboMP3Bitrate, "64");
               pick(f->cboMP3Samplerate, "44100");
               f->cboMP3Mode->setCurrentIndex(3);
               f->chkMP3VBRTag->SetValue(0);
               f->chkMP3ABR->SetValue(0);
           })
        << "mp3" << 44100 << 1 << qint64(64000);
    QTest::newRow("MP3 constant 160 kbps at 32 kHz")
        << DestinationFormatTexts()[2] << Setup([](frmAudioProp* f) {
               pick(f->cboMP3Bitrate, "160");
               pick(f->cboMP3Samplerate, "32000");
               f->cboMP3Mode->setCurrentIndex(1);
               f->chkMP3VBRTag->SetValue(0);
           })
        << "mp3" << 32000 << 2 << qint64(160000);
    QTest::newRow("ACM A-law 8 kHz mono")
        << DestinationFormatTexts()[1] << Setup([](frmAudioProp* f) {
               pick(f->cboTags, "CCITT A-Law");
               f->cboTags_Click();
               pick(f->cboFormats, "8000 Hz, 8 Bit, Mono");
           })
        << "pcm_alaw" << 8000 << 1 << qint64(64000);
    QTest::newRow("ACM IMA ADPCM 22 kHz mono")
        << DestinationFormatTexts()[1] << Setup([](frmAudioProp* f) {
               pick(f->cboTags, "IMA ADPCM");
               f->cboTags_Click();
               pick(f->cboFormats, "22050 Hz, 4 Bit, Mono");
           })
        << "adpcm_ima_wav" << 22050 << 1 << qint64(0);
}

void tst_Formats::convertsWithHandedSettings()
{
    QFETCH(QString, target);
    QFETCH(Setup, setup);
    QFETCH(QString, codec);
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(qint64, bitRate);
    TestPlatform platform;
    const QString source = platform.path("tone.wav");
    QVERIFY(AudioFixtures::writeWav(source, 44100, 2, 16, AudioFixtures::noise(44100, 2)));

    frmAudioProp* f = startUp();
    setup(f);
    f->cmdOk_Click();

    // What a tool window's hand-over does for the chosen target format.
    std::unique_ptr<cAudioConverter> conv(CreateAudioConverter(nullptr));
    const qint32 code = GetDestFormatIndex(target);
    conv->SetOutputFormat(code + 1);
    if (code == 2) {
        MP3Settings mp3 = BuildMP3Settings();
        conv->SetMP3Settings(mp3);
    } else {
        ACMSettingsTexts acm = BuildACMSettings();
        conv->SetACMSettings(acm.TagName, acm.FormatName);
    }
    const QString output = platform.path(code == 2 ? "out.mp3" : "out.wav");
    conv->SetSourceFile(source);
    conv->SetOutputFile(output);
    QSignalSpy done(conv.get(), &cAudioConverter::Done);
    QSignalSpy error(conv.get(), &cAudioConverter::Error);
    conv->StartConvert();
    QTRY_VERIFY_WITH_TIMEOUT(done.size() + error.size() == 1, 30000);
    QVERIFY2(error.isEmpty(), error.isEmpty() ? "" : qPrintable(error[0][1].toString()));

    const StreamFacts facts = probe(output);
    QCOMPARE(facts.codec, codec);
    QCOMPARE(facts.rate, rate);
    QCOMPARE(facts.channels, channels);
    if (bitRate)
        QCOMPARE(facts.bitRate, bitRate);
}

QTEST_MAIN(tst_Formats)
#include "tst_formats.moc"
