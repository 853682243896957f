// The ACM converter over the real conversion component, on sources made by sox, ffmpeg and
// lame: the codec chooser's lists for a CD-quality and a telephone-quality source, and
// conversions from the main window's menu into each codec, checked by ffprobe and by the
// WAV header's own byte rate and block align.
#include "common/mdlModes.h"
#include "components/audio/CodecCatalogue.h"
#include "components/cGrid/cGrid.h"
#include "components/cIconMenu/cIconMenu.h"
#include "components/cSysTray/cSysTray.h"
#include "lists/mdlItemsGrid.h"
#include "mainwindow/frmMain.h"
#include "platform/Controls.h"
#include "settings/frmAudioProp.h"
#include "settings/frmOptions.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/ExternalTools.h"
#include "tests/support/MainHostStandIn.h"
#include "tests/support/TestFiles.h"
#include "tests/support/TestPlatform.h"
#include "tests/support/ToolRows.h"
#include "tools/converters/frmACMConverter.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace AudioFixtures;

namespace {

constexpr double kSeconds = 2.0;
const QString kAll = QStringLiteral("All ACM Codecs");

QStringList items(const QComboBox* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->itemText(i);
    return out;
}

// The codecs of the list this machine's libraries can write, in the list's order.
QStringList present(const QStringList& names)
{
    QStringList out;
    for (const QString& name : names)
        if (CodecCatalogue::findAcmCodec(name))
            out << name;
    return out;
}

// What ffprobe says of the first audio stream and of the file ("codec_name", "sample_rate",
// "channels", "duration").
QHash<QString, QString> probe(const QString& file)
{
    QProcess p;
    p.start(QStringLiteral("ffprobe"), {"-v", "error", "-select_streams", "a:0", "-show_entries",
                                        "stream=codec_name,sample_rate,channels:format=duration", "-of",
                                        "default=noprint_wrappers=1", file});
    QHash<QString, QString> out;
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return out;
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            out.insert(QString::fromLatin1(line.left(eq)), QString::fromLatin1(line.mid(eq + 1)).trimmed());
    }
    return out;
}

// The "fmt " chunk of a WAV file.
struct WavFormat {
    int tag = -1;
    int channels = 0;
    qint64 rate = 0;
    qint64 byteRate = 0;
    int blockAlign = 0;
    int bits = 0;
    int samplesPerBlock = 0;  // from the extension of block codecs; 0 without one
};

WavFormat readFormat(const QString& file)
{
    WavFormat f;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return f;
    const QByteArray h = in.read(4096);
    auto u16 = [&](qsizetype at) { return int(quint8(h[at]) | quint8(h[at + 1]) << 8); };
    auto u32 = [&](qsizetype at) { return qint64(u16(at)) | qint64(u16(at + 2)) << 16; };
    if (h.size() < 12 || !h.startsWith("RIFF") || h.mid(8, 4) != "WAVE")
        return f;
    for (qsizetype pos = 12; pos + 8 <= h.size();) {
        const qint64 size = u32(pos + 4);
        if (h.mid(pos, 4) == "fmt " && pos + 8 + 16 <= h.size()) {
            const qsizetype at = pos + 8;
            f.tag = u16(at);
            f.channels = u16(at + 2);
            f.rate = u32(at + 4);
            f.byteRate = u32(at + 8);
            f.blockAlign = u16(at + 12);
            f.bits = u16(at + 14);
            if (size >= 20 && at + 20 <= h.size())
                f.samplesPerBlock = u16(at + 18);
            break;
        }
        pos += 8 + size + (size & 1);
    }
    return f;
}

// Empty when the header's block align and byte rate are those the codec's blocks have.
QString checkBlocks(const WavFormat& f)
{
    const int ch = f.channels;
    int block = 0;
    int perBlock = 1;
    switch (f.tag) {
    case 0x0001:  // PCM
    case 0x0006:  // A-law
    case 0x0007:  // u-law
        block = ch * f.bits / 8;
        break;
    case 0x0011:  // IMA ADPCM: per channel a 4-byte header with the first sample, then nibbles
        perBlock = f.samplesPerBlock;
        if ((perBlock - 1) % 8 != 0)
            return QStringLiteral("IMA ADPCM with %1 samples per block").arg(perBlock);
        block = ch * (4 + (perBlock - 1) / 2);
        break;
    case 0x0002:  // MS ADPCM: per channel a 7-byte header with the first two samples
        perBlock = f.samplesPerBlock;
        block = 7 * ch + (perBlock - 2) * ch / 2;
        break;
    case 0x0031:  // GSM 6.10 as WAV: two 160-sample frames in 65 bytes
        perBlock = f.samplesPerBlock;
        if (perBlock != 320 || ch != 1)
            return QStringLiteral("GSM with %1 samples per block, %2 channels").arg(perBlock).arg(ch);
        block = 65;
        break;
    default:
        return QStringLiteral("format tag %1").arg(f.tag);
    }
    if (perBlock <= 0)
        return QStringLiteral("no samples per block");
    if (f.blockAlign != block)
        return QStringLiteral("block align %1, expected %2").arg(f.blockAlign).arg(block);
    const qint64 rate = f.rate * block / perBlock;
    if (f.byteRate != rate)
        return QStringLiteral("byte rate %1, expected %2").arg(f.byteRate).arg(rate);
    return QString();
}

} // namespace

class tst_acmconvertreal : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void chooserListsMatchTheCatalogue_data();
    void chooserListsMatchTheCatalogue();
    void convertsIntoEachCodec_data();
    void convertsIntoEachCodec();

private:
    QString source(const QString& name) const { return m_dir.path() + u'/' + name; }
    QTemporaryDir m_dir;
};

void tst_acmconvertreal::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QString error;
    // CD quality by sox, an MP3 of it by lame, and telephone quality (8 kHz mono) by ffmpeg.
    const QString cd = source(QStringLiteral("cd.wav"));
    QVERIFY2(ExternalTools::SoxSynth(cd, 44100, 2, 16, QString::number(kSeconds), QStringLiteral("sine 440 sine 660"), &error),
             qPrintable(error));
    QVERIFY2(ExternalTools::Lame128(cd, source(QStringLiteral("cd.mp3")), &error), qPrintable(error));
    const QString phone = source(QStringLiteral("phone.flac"));
    QVERIFY2(ExternalTools::Run(QStringLiteral("ffmpeg"),
                                {"-v", "error", "-y", "-f", "lavfi", "-i",
                                 QStringLiteral("sine=frequency=300:duration=%1:sample_rate=8000").arg(kSeconds), "-ac",
                                 "1", phone},
                                phone, &error),
             qPrintable(error));
}

void tst_acmconvertreal::chooserListsMatchTheCatalogue_data()
{
    QTest::addColumn<QString>("file");  // empty: "All ACM Codecs" before any file was read
    QTest::addColumn<QStringList>("codecs");
    const QStringList cd{"PCM", "CCITT A-Law", "CCITT u-Law", "IMA ADPCM", "MS ADPCM"};
    const QStringList phone{"PCM", "CCITT A-Law", "CCITT u-Law", "IMA ADPCM", "MS ADPCM", "G.726 ADPCM", "GSM 6.10"};
    const QStringList all{"PCM",      "CCITT A-Law", "CCITT u-Law", "IMA ADPCM",
                          "MS ADPCM", "G.726 ADPCM", "G.722 ADPCM", "GSM 6.10"};
    QTest::newRow("44.1 kHz stereo WAV by sox") << "cd.wav" << present(cd);
    QTest::newRow("44.1 kHz stereo MP3 by lame") << "cd.mp3" << present(cd);
    QTest::newRow("8 kHz mono FLAC by ffmpeg") << "phone.flac" << present(phone);
    QTest::newRow("all codecs") << "" << present(all);
}

void tst_acmconvertreal::chooserListsMatchTheCatalogue()
{
    QFETCH(QString, file);
    QFETCH(QStringList, codecs);
    TestPlatform platform;
    MainHostStandIn host;
    InitProductProfile();
    frmACMConverter* w = g_frmACMConverter();
    w->cboBestAccordItem->addItem(kAll);
    if (!file.isEmpty())
        w->cboBestAccordItem->addItem(source(file));
    QVERIFY(SelectListText(w->cboBestAccordItem, file.isEmpty() ? kAll : source(file)));
    w->cboBestAccordItem_Click();

    QCOMPARE(items(w->cboTags), codecs);
    QCOMPARE(w->cboTags->currentText(), QStringLiteral("PCM"));
    QCOMPARE(w->cboFormats->currentIndex(), 0);
    // Each codec's formats are the catalogue's, in its order.
    for (const QString& codec : codecs) {
        QVERIFY(SelectListText(w->cboTags, codec));
        w->cboTags_Click();
        QStringList formats;
        for (const AcmFormat& f : CodecCatalogue::findAcmCodec(codec)->formats)
            formats << f.text;
        QCOMPARE(items(w->cboFormats), formats);
        QCOMPARE(w->cboFormats->currentIndex(), 0);
    }
    Forms::DestroyAll();
}

void tst_acmconvertreal::convertsIntoEachCodec_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("allCodecs");  // the codec is found under "All ACM Codecs"
    QTest::addColumn<QString>("codec");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("probed");  // ffprobe's codec name
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::newRow("IMA ADPCM, CD WAV") << "cd.wav" << false << "IMA ADPCM" << "44100 Hz, 4 Bit, Stereo"
                                       << "adpcm_ima_wav" << 44100 << 2;
    QTest::newRow("A-law, MP3") << "cd.mp3" << false << "CCITT A-Law" << "44100 Hz, 8 Bit, Stereo" << "pcm_alaw"
                                << 44100 << 2;
    QTest::newRow("u-law, telephone FLAC") << "phone.flac" << false << "CCITT u-Law" << "8000 Hz, 8 Bit, Mono"
                                           << "pcm_mulaw" << 8000 << 1;
    QTest::newRow("GSM 6.10, telephone FLAC") << "phone.flac" << false << "GSM 6.10" << "8000 Hz, 13 kbit/s, Mono"
                                              << "gsm_ms" << 8000 << 1;
    QTest::newRow("GSM 6.10 of a CD WAV, under all codecs")
        << "cd.wav" << true << "GSM 6.10" << "8000 Hz, 13 kbit/s, Mono" << "gsm_ms" << 8000 << 1;
    QTest::newRow("MS ADPCM, CD WAV") << "cd.wav" << false << "MS ADPCM" << "44100 Hz, 4 Bit, Stereo" << "adpcm_ms"
                                      << 44100 << 2;
    QTest::newRow("MS ADPCM down to 22050 Hz mono") << "cd.wav" << false << "MS ADPCM" << "22050 Hz, 4 Bit, Mono"
                                                    << "adpcm_ms" << 22050 << 1;
    QTest::newRow("IMA ADPCM, telephone FLAC") << "phone.flac" << false << "IMA ADPCM" << "8000 Hz, 4 Bit, Mono"
                                               << "adpcm_ima_wav" << 8000 << 1;
    QTest::newRow("PCM 8 bits") << "cd.mp3" << false << "PCM" << "11025 Hz, 8 Bit, Mono" << "pcm_u8" << 11025 << 1;
}

// As a user does it: the source marked and current in a list, "ACM Converter" from the
// menu, the codec and a format picked, Convert.
void tst_acmconvertreal::convertsIntoEachCodec()
{
    QFETCH(QString, file);
    QFETCH(bool, allCodecs);
    QFETCH(QString, codec);
    QFETCH(QString, format);
    QFETCH(QString, probed);
    QFETCH(int, rate);
    QFETCH(int, channels);
    if (!CodecCatalogue::findAcmCodec(codec))
        QSKIP("This machine's libraries have no encoder for the codec.");
    TestPlatform platform;
    InitProductProfile();
    QString records;
    const QStringList files{QStringLiteral("cd.wav"), QStringLiteral("cd.mp3"), QStringLiteral("phone.flac")};
    for (const QString& name : files)
        records += ToolRows::ListRecord(source(name), name == file);
    QVERIFY(TestFiles::WriteBytes(platform.path(QStringLiteral("Main/Songs.flst")), records.toUtf8()));
    Forms::Get<frmOptions>();
    Forms::Get<frmAudioProp>();
    frmMain* m = Forms::Get<frmMain>();
    m->cGrid1->SetCurrentRow(qint32(files.indexOf(file)) + 1);
    const QString dest = platform.path(QStringLiteral("coded/"));
    QVERIFY(QDir().mkpath(dest));
    QString log;
    platform.modal().handlers.enqueue([&](VForm* form) {
        auto* w = qobject_cast<frmACMConverter*>(form);
        QVERIFY(w);
        QCOMPARE(w->cboBestAccordItem->currentText(), source(file));
        QCOMPARE(w->cboTags->itemText(0), QStringLiteral("PCM"));
        QCOMPARE(w->cboTags->currentText(), QStringLiteral("PCM"));
        if (allCodecs) {
            QVERIFY(!SelectListText(w->cboTags, codec));
            QVERIFY(SelectListText(w->cboBestAccordItem, kAll));
            w->cboBestAccordItem_Click();
        }
        QVERIFY(SelectListText(w->cboTags, codec));
        w->cboTags_Click();
        QVERIFY(SelectListText(w->cboFormats, format));
        w->txtToPath->setEditText(dest);
        w->cboFileName->setCurrentIndex(0);  // "[file_name].[dest_extension]"
        w->cmdConvert_Click();
        QVERIFY(QTest::qWaitFor([w] { return !w->IsBusy(); }, 120000));
        QCOMPARE(w->lblCurrentTrack->text(), QStringLiteral("Done."));
        log = w->txtLog->toPlainText();
        w->cmdExit_Click();
    });
    m->m_cMenu_Click(m->m_cMenu->IndexForKey(QStringLiteral("ACM Converter")));
    QCOMPARE(platform.modal().shown, QStringList{QStringLiteral("frmACMConverter")});
    QVERIFY2(!log.contains(QStringLiteral("Error")), qPrintable(log));
    const QString out = dest + file.left(file.lastIndexOf(u'.')) + QStringLiteral(".wav");
    QCOMPARE(QDir(dest).entryList(QDir::Files), QStringList{QFileInfo(out).fileName()});

    const QHash<QString, QString> p = probe(out);
    QCOMPARE(p.value(QStringLiteral("codec_name")), probed);
    QCOMPARE(p.value(QStringLiteral("sample_rate")).toInt(), rate);
    QCOMPARE(p.value(QStringLiteral("channels")).toInt(), channels);
    const double seconds = p.value(QStringLiteral("duration")).toDouble();
    QVERIFY2(std::abs(seconds - kSeconds) < 0.06, qPrintable(QStringLiteral("%1 s").arg(seconds)));

    const WavFormat f = readFormat(out);
    QCOMPARE(f.rate, qint64(rate));
    QCOMPARE(f.channels, channels);
    const QString blocks = checkBlocks(f);
    QVERIFY2(blocks.isEmpty(), qPrintable(blocks));

    // What our own decoder reads back is the sound, not silence, at its full length.
    const Decoded d = decode(out);
    QCOMPARE(d.rate, rate);
    QCOMPARE(d.channels, channels);
    QVERIFY2(std::abs(d.frames() - qint64(kSeconds * rate)) <= 400, qPrintable(QString::number(d.frames())));
    float peak = 0;
    for (float s : d.samples)
        peak = std::max(peak, std::abs(s));
    QVERIFY2(peak > 0.05f, qPrintable(QString::number(peak)));
    QCOMPARE(m->cSysTray1->Balloons().size(), 1);
    QCOMPARE(m->cSysTray1->Balloons()[0].message, QStringLiteral("Done."));
}

QTEST_MAIN(tst_acmconvertreal)
#include "tst_acmconvertreal.moc"
