// Exact cuts from every kind of source the converter reads, made by other common tools
// (sox, ffmpeg, lame): a split at whole seconds gives parts that, put end to end, are one
// continuous decode of the source, each part starting at the asked sample.
#include "components/cAudioConverter/AudioConverterImpl.h"
#include "tests/support/AudioFixtures.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace AudioFixtures;

namespace {

constexpr int kBaseRate = 44100;
constexpr double kBaseSeconds = 4.6;

// The made source's sample bytes are themselves the expected parts when the parts are
// written in the source's own PCM format.
enum class Expect { Decoded16, SourceBytes };

QByteArray headOf(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.read(4096) : QByteArray();
}

quint32 le32At(const QByteArray& b, int at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16 |
           quint32(quint8(b[at + 3])) << 24;
}

}  // namespace

Q_DECLARE_METATYPE(Expect)

class tst_ExactCuts : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_base;                 // the signal every source is made from
    QHash<QString, QString> m_made;  // source kind -> file made for it

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // The source of a kind, made once by its tool.
    QString source(const QString& kind, const QStringList& command, const QString& extension)
    {
        if (m_made.contains(kind))
            return m_made[kind];
        const QString out = path(QStringLiteral("src%1.%2").arg(m_made.size()).arg(extension));
        QStringList args = command.mid(1);
        args.replaceInStrings(QStringLiteral("{in}"), m_base);
        args.replaceInStrings(QStringLiteral("{out}"), out);
        QString error;
        if (!runTool(command.first(), args, &error)) {
            qWarning("%s", qPrintable(error));
            return QString();
        }
        m_made.insert(kind, out);
        return out;
    }

    // Splits `src` into parts of one second at whole seconds, as the split job drives the
    // component (each next part started from the Done handler). With `reopen` the source is
    // released before each part, so that every part reaches its start by a fresh seek.
    QStringList split(const QString& src, int bits, int parts, bool reopen, QString& events)
    {
        AudioConverterImpl c;
        QStringList outputs;
        bool ended = false;
        auto start = [&] {
            const int part = int(outputs.size());
            if (part == parts) {
                ended = true;
                return;
            }
            if (reopen)
                c.CloseFile();
            c.SetSourceFile(src);
            c.SetRangeStart(part);
            c.SetRangeLength(1);
            outputs << path(QStringLiteral("part%1.wav").arg(part));
            QFile::remove(outputs.last());
            c.SetOutputFile(outputs.last());
            c.StartConvert();
        };
        connect(&c, &cAudioConverter::Done, &c, start);
        connect(&c, &cAudioConverter::Error, &c, [&](qint32 code, const QString& d) {
            events += QStringLiteral("Error %1 %2 ").arg(code).arg(d);
            ended = true;
        });
        c.ReadFileInfo(src);
        c.SetOutputFormat(kOutputWAV);
        WAVSettings w{c.SampleRate(), c.Channels(), qint16(bits)};
        c.SetWAVSettings(w);
        start();
        if (!QTest::qWaitFor([&] { return ended; }, 120000))
            events += QStringLiteral("timeout");
        return outputs;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        for (const char* tool : {"sox", "ffmpeg", "lame"})
            QVERIFY2(!QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty(),
                     qPrintable(QStringLiteral("%1 is needed to make the test sources (scripts/packages.txt)").arg(QLatin1String(tool))));
        m_base = path(QStringLiteral("base.wav"));
        QVector<qint16> signal = noise(qint64(kBaseRate * kBaseSeconds), 2, 7, 0.1);
        const QVector<qint16> tone = sine(qint64(kBaseRate * kBaseSeconds), 2, kBaseRate, 523.25, 0.35);
        for (qsizetype i = 0; i < signal.size(); ++i)
            signal[i] = qint16(signal[i] + tone[i]);
        QVERIFY(writeWav(m_base, kBaseRate, 2, 16, signal));
    }

    void splitEqualsContinuousDecode_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("command");  // program and arguments; {in} and {out} are the files
        QTest::addColumn<QString>("extension");
        QTest::addColumn<int>("bits");  // of the parts
        QTest::addColumn<Expect>("expect");
        QTest::addColumn<bool>("reopen");
        const QString sox = QStringLiteral("sox");
        const QStringList ffmpeg{QStringLiteral("ffmpeg"), QStringLiteral("-v"), QStringLiteral("error"),
                                 QStringLiteral("-y"), QStringLiteral("-i"), QStringLiteral("{in}")};
        const QString lame = QStringLiteral("lame");
        struct Kind {
            const char* name;
            QStringList command;
            const char* extension;
            int bits;
            Expect expect;
        };
        const QList<Kind> kinds{
            {"pcm 8-bit", {sox, "{in}", "-b", "8", "{out}"}, "wav", 8, Expect::SourceBytes},
            {"pcm 16-bit mono 22050 Hz", {sox, "{in}", "-r", "22050", "-c", "1", "{out}"}, "wav", 16, Expect::SourceBytes},
            {"pcm 24-bit", {sox, "{in}", "-b", "24", "{out}"}, "wav", 24, Expect::SourceBytes},
            {"pcm 32-bit", {sox, "{in}", "-b", "32", "-e", "signed-integer", "{out}"}, "wav", 32, Expect::SourceBytes},
            {"pcm float", {sox, "{in}", "-b", "32", "-e", "floating-point", "{out}"}, "wav", 16, Expect::Decoded16},
            {"a-law", {sox, "{in}", "-e", "a-law", "{out}"}, "wav", 16, Expect::Decoded16},
            {"mu-law 8 kHz mono", ffmpeg + QStringList{"-ar", "8000", "-ac", "1", "-c:a", "pcm_mulaw", "{out}"}, "wav", 16,
             Expect::Decoded16},
            {"ima adpcm, wrong byte rate", ffmpeg + QStringList{"-c:a", "adpcm_ima_wav", "{out}"}, "wav", 16,
             Expect::Decoded16},
            {"ima adpcm 22 kHz mono, wrong byte rate",
             ffmpeg + QStringList{"-ar", "22050", "-ac", "1", "-c:a", "adpcm_ima_wav", "{out}"}, "wav", 16, Expect::Decoded16},
            {"ima adpcm, right byte rate", {sox, "{in}", "-e", "ima-adpcm", "{out}"}, "wav", 16, Expect::Decoded16},
            {"ms adpcm, wrong byte rate", ffmpeg + QStringList{"-c:a", "adpcm_ms", "{out}"}, "wav", 16, Expect::Decoded16},
            {"ms adpcm, right byte rate", {sox, "{in}", "-e", "ms-adpcm", "{out}"}, "wav", 16, Expect::Decoded16},
            {"gsm 6.10", {sox, "{in}", "-r", "8000", "-c", "1", "-e", "gsm-full-rate", "{out}"}, "wav", 16, Expect::Decoded16},
            {"mp3 cbr", {lame, "--quiet", "-b", "128", "{in}", "{out}"}, "mp3", 16, Expect::Decoded16},
            {"mp3 vbr", {lame, "--quiet", "-V", "4", "{in}", "{out}"}, "mp3", 16, Expect::Decoded16},
            {"mp3 22 kHz mono", {lame, "--quiet", "--resample", "22.05", "-m", "m", "-b", "48", "{in}", "{out}"}, "mp3", 16,
             Expect::Decoded16},
            {"ogg vorbis", {sox, "{in}", "-C", "5", "{out}"}, "ogg", 16, Expect::Decoded16},
            {"flac", {sox, "{in}", "{out}"}, "flac", 16, Expect::Decoded16},
            {"wma 2", ffmpeg + QStringList{"-c:a", "wmav2", "-b:a", "128k", "{out}"}, "wma", 16, Expect::Decoded16},
            {"wma 1 22 kHz mono", ffmpeg + QStringList{"-ar", "22050", "-ac", "1", "-c:a", "wmav1", "-b:a", "32k", "{out}"},
             "wma", 16, Expect::Decoded16},
            {"mp3 inside wav", ffmpeg + QStringList{"-c:a", "libmp3lame", "-b:a", "128k", "-f", "wav", "{out}"}, "wav", 16,
             Expect::Decoded16},
        };
        for (const Kind& k : kinds)
            for (bool reopen : {false, true})
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(QLatin1String(k.name),
                                                                       reopen ? QStringLiteral("reopened for each part")
                                                                              : QStringLiteral("kept open"))))
                    << QString::fromLatin1(k.name) << k.command << QString::fromLatin1(k.extension) << k.bits << k.expect
                    << reopen;
    }
    void splitEqualsContinuousDecode()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, command);
        QFETCH(QString, extension);
        QFETCH(int, bits);
        QFETCH(Expect, expect);
        QFETCH(bool, reopen);
        const QString src = source(kind, command, extension);
        QVERIFY2(!src.isEmpty(), "the source could not be made");

        QByteArray whole;
        int rate = 0, channels = 0;
        if (expect == Expect::SourceBytes) {
            whole = wavData(src);
            AudioConverterImpl probe;
            QCOMPARE(probe.ReadFileInfo(src), 0);
            rate = probe.SampleRate();
            channels = probe.Channels();
        } else {
            const Pcm16 d = decodePcm16(src);
            whole = d.bytes;
            rate = d.rate;
            channels = d.channels;
        }
        const int frameBytes = channels * bits / 8;
        QVERIFY(rate > 0 && frameBytes > 0 && !whole.isEmpty());
        const qint64 frames = whole.size() / frameBytes;
        const int parts = int((frames + rate - 1) / rate);

        QString events;
        const QStringList outputs = split(src, bits, parts, reopen, events);
        QVERIFY2(events.isEmpty(), qPrintable(events));
        QCOMPARE(outputs.size(), parts);
        for (int part = 0; part < parts; ++part) {
            const qint64 first = qint64(part) * rate;
            const qint64 length = std::min<qint64>(rate, frames - first);
            const QByteArray got = wavData(outputs[part]);
            const QByteArray want = whole.mid(first * frameBytes, length * frameBytes);
            if (got == want)
                continue;
            // Where and how far the part goes wrong, in frames of the source.
            qint64 at = 0;
            while (at < std::min(got.size(), want.size()) && got[at] == want[at])
                ++at;
            QFAIL(qPrintable(QStringLiteral("part %1 (from %2 s): %3 frames for %4, first difference at frame %5")
                                 .arg(part + 1)
                                 .arg(part)
                                 .arg(got.size() / frameBytes)
                                 .arg(length)
                                 .arg(at / frameBytes)));
        }
    }

    // Compressed WAV output states its exact sample count, and its last ADPCM block holds
    // only what its samples need, so that readers that go by the data (sox, ffmpeg) stop
    // within the codec's coding unit of the true end instead of playing a padded block.
    void compressedWavOutputHasExactLength_data()
    {
        QTest::addColumn<QString>("codec");
        QTest::addColumn<QString>("format");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("slack");  // samples a reader may decode past the end
        QTest::newRow("ima adpcm 44.1 kHz stereo") << "IMA ADPCM" << "44100 Hz, 4 Bit, Stereo" << 44100 << 2 << 7;
        QTest::newRow("ima adpcm 8 kHz stereo") << "IMA ADPCM" << "8000 Hz, 4 Bit, Stereo" << 8000 << 2 << 7;
        QTest::newRow("ima adpcm 22 kHz mono") << "IMA ADPCM" << "22050 Hz, 4 Bit, Mono" << 22050 << 1 << 7;
        QTest::newRow("ms adpcm 44.1 kHz stereo") << "MS ADPCM" << "44100 Hz, 4 Bit, Stereo" << 44100 << 2 << 0;
        QTest::newRow("ms adpcm 11 kHz mono") << "MS ADPCM" << "11025 Hz, 4 Bit, Mono" << 11025 << 1 << 1;
        QTest::newRow("gsm 6.10") << "GSM 6.10" << "8000 Hz, 13 kbit/s, Mono" << 8000 << 1 << 319;
        QTest::newRow("a-law") << "CCITT A-Law" << "22050 Hz, 8 Bit, Stereo" << 22050 << 2 << 0;
    }
    void compressedWavOutputHasExactLength()
    {
        QFETCH(QString, codec);
        QFETCH(QString, format);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(int, slack);
        const QString out = path(QStringLiteral("exact.wav"));
        QFile::remove(out);
        AudioConverterImpl c;
        QString events;
        bool ended = false;
        connect(&c, &cAudioConverter::Done, &c, [&] { ended = true; });
        connect(&c, &cAudioConverter::Error, &c, [&](qint32, const QString& d) {
            events = d;
            ended = true;
        });
        c.SetSourceFile(m_base);
        c.SetRangeStart(1);
        c.SetRangeLength(3);
        c.SetOutputFile(out);
        c.SetOutputFormat(kOutputACM);
        c.SetACMSettings(codec, format);
        c.StartConvert();
        QVERIFY(QTest::qWaitFor([&] { return ended; }, 60000));
        QVERIFY2(events.isEmpty(), qPrintable(events));
        const qint64 samples = 3LL * rate;

        const QByteArray head = headOf(out);
        const int fact = head.indexOf("fact");
        QVERIFY(fact > 0);
        QCOMPARE(qint64(le32At(head, fact + 8)), samples);
        const int fmt = head.indexOf("fmt ") + 8;
        const int blockAlign = quint8(head[fmt + 12]) | quint8(head[fmt + 13]) << 8;
        if (le32At(head, fmt - 4) >= 20) {  // the byte rate of block codecs follows from the block size
            const int perBlock = quint8(head[fmt + 18]) | quint8(head[fmt + 19]) << 8;
            QCOMPARE(qint64(le32At(head, fmt + 8)), qint64(rate) * blockAlign / perBlock);
        }

        const qint64 decoded = decode(out).frames();
        QVERIFY2(decoded >= samples && decoded <= samples + slack, qPrintable(QString::number(decoded)));
        const QString raw = path(QStringLiteral("exact.raw"));
        for (const QStringList& reader :
             {QStringList{QStringLiteral("sox"), out, QStringLiteral("-t"), QStringLiteral("raw"), QStringLiteral("-e"),
                          QStringLiteral("signed"), QStringLiteral("-b"), QStringLiteral("16"), raw},
              QStringList{QStringLiteral("ffmpeg"), QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"),
                          QStringLiteral("-i"), out, QStringLiteral("-f"), QStringLiteral("s16le"), raw}}) {
            QFile::remove(raw);
            QString error;
            QVERIFY2(runTool(reader.first(), reader.mid(1), &error), qPrintable(error));
            const qint64 read = QFileInfo(raw).size() / (2 * channels);
            QVERIFY2(read >= samples && read <= samples + slack,
                     qPrintable(QStringLiteral("%1 reads %2 samples of %3").arg(reader.first()).arg(read).arg(samples)));
        }
    }
};

QTEST_MAIN(tst_ExactCuts)
#include "tst_exactcuts.moc"
