// Probing odd files on the window's thread: huge WAV files answer at once, files that are
// not what their header announces never keep the media libraries reading, a file that
// ends early has the length of what is there, and a stream whose container states no
// length has the length of its frames.
#include "components/audio/JobRunner.h"
#include "components/audio/MediaProbe.h"
#include "components/audio/Transcoder.h"
#include "components/cAudioConverter/AudioConverterImpl.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/ExternalTools.h"
#include "tests/support/TestFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace AudioFixtures;

namespace {

constexpr qint64 kHuge = qint64(2) << 30;  // 2 GB

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char(v >> (8 * i));
    return b;
}

// A RIFF/WAVE header of 16-bit stereo PCM at 44.1 kHz, with a data chunk of `dataSize`
// bytes or none.
QByteArray wavHeader(bool withData, quint32 dataSize)
{
    QByteArray h = "RIFF" + le32(0xFFFFFFF0u) + "WAVE";
    h += "fmt " + le32(16);
    h += QByteArray::fromHex("01000200") + le32(44100) + le32(176400) + QByteArray::fromHex("04001000");
    if (withData)
        h += "data" + le32(dataSize);
    return h;
}

using TestFiles::BytesReadSoFar;

// What each step on a huge file may read: a few headers and a few megabytes of analysis.
constexpr qint64 kReadBound = qint64(32) << 20;

}  // namespace

class tst_AudioProbe : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // 2 GB files (sparse: no disk space is used) answer at once, reading a bounded part of
    // the file: the chunk walk steps over the data in one seek, and a file without a data
    // chunk is refused before the media libraries would walk all of it eight bytes at a
    // time. Zeros under another audio name (a download whose space was taken but never
    // filled) are refused after a few megabytes, where the libraries would search all of it
    // for a first frame (minutes). How long any of it takes depends on the machine's load,
    // so the rows bound the bytes read: reading the file whole is what takes the time.
    void hugeFileAnswersAtOnce_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<int>("code");
        QTest::addColumn<qint64>("durationMs");
        const qint64 audioMs = (kHuge - 44) / 4 * 1000 / 44100;
        QTest::newRow("2 GB of silence") << "huge.wav" << wavHeader(true, quint32(kHuge - 44)) << 0 << audioMs;
        QTest::newRow("data size 0, as written while recording") << "huge.wav" << wavHeader(true, 0) << 0 << audioMs;
        QTest::newRow("zeros after the format, no data chunk")
            << "huge.wav" << wavHeader(false, 0) << int(kErrSourceUnreadable) << 0LL;
        QTest::newRow("zeros after the RIFF header")
            << "huge.wav" << QByteArray("RIFF") + le32(0xFFFFFFF0u) + "WAVE" << int(kErrSourceUnreadable) << 0LL;
        for (const char* name : {"zeros.mp3", "zeros.flac", "zeros.mp2", "zeros.wav"})
            QTest::newRow(name) << name << QByteArray() << int(kErrSourceUnreadable) << 0LL;
    }
    void hugeFileAnswersAtOnce()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, header);
        QFETCH(int, code);
        QFETCH(qint64, durationMs);
        const QString file = path(name);
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(f.write(header), header.size());
            if (!f.resize(kHuge))
                QSKIP("This file system cannot hold a sparse 2 GB file.");
        }
        auto checkBounds = [&](const QElapsedTimer& timer, qint64 readBefore, const char* step) {
            const qint64 read = BytesReadSoFar() - readBefore;
            if (read > kReadBound)
                return QStringLiteral("%1: %2 ms, %3 bytes read").arg(QLatin1String(step)).arg(timer.elapsed()).arg(read);
            return QString();
        };
        QVERIFY(BytesReadSoFar() >= 0);
        QElapsedTimer timer;
        timer.start();
        qint64 readBefore = BytesReadSoFar();
        AudioConverterImpl c;
        QCOMPARE(c.ReadFileInfo(file), code);
        QCOMPARE(qint64(c.Duration()), durationMs);
        c.ReadTags(file);
        QString beyond = checkBounds(timer, readBefore, "probe");
        QVERIFY2(beyond.isEmpty(), qPrintable(beyond));

        // A conversion of the file without audio ends in an error as quickly.
        if (code != 0) {
            TranscodeRequest req;
            req.source = file;
            req.output = path(QStringLiteral("out.mp3"));
            req.settings = mp3Settings();
            JobControl control;
            timer.restart();
            readBefore = BytesReadSoFar();
            const JobOutcome r = RunTranscode(req, control);
            QCOMPARE(r.kind, JobOutcome::Failed);
            QCOMPARE(r.code, code);
            beyond = checkBounds(timer, readBefore, "conversion");
            QVERIFY2(beyond.isEmpty(), qPrintable(beyond));
            QVERIFY(!QFile::exists(req.output));
        }
        QFile::remove(file);
    }

    // A cut-off MP3 or FLAC file (a broken download) whose header announces the whole
    // stream has the length of the frames that are there, as a decode gives them, within a
    // frame.
    void fileThatEndsEarly_data()
    {
        QTest::addColumn<QString>("encoder");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("keepBytes");
        QTest::newRow("lame cbr, first 10 KB") << "lame" << QStringList{"--quiet", "-b", "128"} << 10240;
        QTest::newRow("lame vbr, first 10 KB") << "lame" << QStringList{"--quiet", "-V", "4"} << 10240;
        QTest::newRow("lame cbr, cut inside a frame") << "lame" << QStringList{"--quiet", "-b", "128"} << 20001;
        QTest::newRow("lame mpeg-2 mono, first 10 KB")
            << "lame" << QStringList{"--quiet", "--resample", "22.05", "-m", "m", "-b", "64"} << 10240;
        QTest::newRow("our encoder, first 10 KB") << "" << QStringList() << 10240;
        QTest::newRow("lame cbr, whole file") << "lame" << QStringList{"--quiet", "-b", "128"} << -1;
        QTest::newRow("flac, first 100 KB") << "flac" << QStringList() << 100000;
        QTest::newRow("flac, whole file") << "flac" << QStringList() << -1;
    }
    void fileThatEndsEarly()
    {
        QFETCH(QString, encoder);
        QFETCH(QStringList, args);
        QFETCH(int, keepBytes);
        const QString wav = path(QStringLiteral("three.wav"));
        QVERIFY(writeWav(wav, 44100, 2, 16, noise(44100 * 3, 2)));
        const QString mp3 = path(encoder == QLatin1String("flac") ? QStringLiteral("three.flac") : QStringLiteral("three.mp3"));
        QFile::remove(mp3);
        if (encoder.isEmpty()) {
            QVERIFY(encode(wav, mp3, mp3Settings(128)));
        } else if (encoder == QLatin1String("flac")) {
            QString error;
            QVERIFY2(runTool(QStringLiteral("sox"), {wav, mp3}, &error), qPrintable(error));
        } else {
            if (QStandardPaths::findExecutable(encoder).isEmpty())
                QFAIL(qPrintable(encoder + QStringLiteral(" is needed for this test (scripts/packages.txt)")));
            QString error;
            QVERIFY2(runTool(encoder, args + QStringList{wav, mp3}, &error), qPrintable(error));
        }
        if (keepBytes > 0) {
            QFile f(mp3);
            QVERIFY(f.resize(keepBytes));
        }
        const Decoded d = decode(mp3);
        QVERIFY(d.frames() > 0);
        const double decodedMs = d.frames() * 1000.0 / d.rate;
        AudioConverterImpl c;
        QCOMPARE(c.ReadFileInfo(mp3), 0);
        const double frameMs = (encoder == QLatin1String("flac") ? 4608 : d.rate >= 32000 ? 1152 : 576) * 1000.0 / d.rate;
        QVERIFY2(std::abs(c.Duration() - decodedMs) <= frameMs,
                 qPrintable(QStringLiteral("%1 ms for %2 ms decoded").arg(c.Duration()).arg(decodedMs)));
    }

    // A stream whose container states no length (the media libraries guess it from the bit
    // rate of its first frames, which a VBR stream changes along the file) has the length
    // of its frames, as a decode of the whole file gives them.
    void streamWithoutAStatedLength_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<qint64>("seconds");  // the signal's length
        // How far the length may be from the decode's: the demuxer takes a few frames out of
        // random bytes, which the decoder then refuses, with the frames after them whose
        // data reaches back into the garbage.
        QTest::addColumn<double>("toleranceMs");
        for (const QString& kind : ExternalTools::NoLengthKinds()) {
            const bool garbage = kind.contains(QLatin1String("garbage"));
            QTest::newRow(qPrintable(kind)) << kind << (garbage ? 20LL : 10LL) << (garbage ? 5 * 26.2 : 1.0);
        }
    }
    void streamWithoutAStatedLength()
    {
        QFETCH(QString, kind);
        QFETCH(qint64, seconds);
        QFETCH(double, toleranceMs);
        QString error;
        const QString file = ExternalTools::NoLengthSource(m_dir.path(), kind, &error);
        QVERIFY2(!file.isEmpty(), qPrintable(error));
        const Decoded d = decode(file);
        QVERIFY(d.rate > 0);
        const double decodedMs = d.frames() * 1000.0 / d.rate;
        // Encoders add their delay and padding (up to a few frames): never less than the signal.
        QVERIFY2(decodedMs >= seconds * 1000 && decodedMs < seconds * 1000 + 200, qPrintable(QString::number(decodedMs)));
        AudioConverterImpl c;
        QCOMPARE(c.ReadFileInfo(file), 0);
        QVERIFY2(std::abs(c.Duration() - decodedMs) <= toleranceMs,
                 qPrintable(QStringLiteral("%1 ms for %2 ms decoded").arg(c.Duration()).arg(decodedMs)));
    }

    // An MP3 stream without a stated length whose frames stop after a second, in a file
    // that runs on with 2 GB of zeros (space taken but never filled): the count stops
    // a bounded distance after the last frame and gives the frames' length.
    void framesThenZeros()
    {
        const QString wav = path(QStringLiteral("one.wav"));
        QVERIFY(writeWav(wav, 44100, 2, 16, noise(44100, 2)));
        const QString file = path(QStringLiteral("frames-then-zeros.mp3"));
        QString error;
        QVERIFY2(ExternalTools::Run(QStringLiteral("lame"), {"--quiet", "-t", "-b", "128", wav, file}, file, &error),
                 qPrintable(error));
        const double framesMs = decode(file).frames() * 1000.0 / 44100;
        {
            QFile f(file);
            if (!f.resize(kHuge))
                QSKIP("This file system cannot hold a sparse 2 GB file.");
        }
        const qint64 readBefore = BytesReadSoFar();
        AudioConverterImpl c;
        QCOMPARE(c.ReadFileInfo(file), 0);
        const qint64 read = BytesReadSoFar() - readBefore;
        QVERIFY2(std::abs(c.Duration() - framesMs) <= 1.0, qPrintable(QStringLiteral("%1 ms for %2").arg(c.Duration()).arg(framesMs)));
        // The stream analysis searches the zeros for frames up to its own bound (64 MB), the
        // count then up to 16 MB past the last packet.
        QVERIFY2(read <= qint64(96) << 20, qPrintable(QString::number(read)));
        QFile::remove(file);
    }

    // Free-format MP3 frames (no bit rate in their headers) are not counted, but the probe
    // answers at once and does not keep reading.
    void freeFormatAnswersAtOnce()
    {
        const QString wav = path(QStringLiteral("free.wav"));
        QVERIFY(writeWav(wav, 44100, 2, 16, noise(44100 * 5, 2)));
        const QString mp3 = path(QStringLiteral("free.mp3"));
        QString error;
        QVERIFY2(ExternalTools::Run(QStringLiteral("lame"), {"--quiet", "-t", "--freeformat", "-b", "400", wav, mp3}, mp3, &error),
                 qPrintable(error));
        QElapsedTimer timer;
        timer.start();
        AudioConverterImpl c;
        c.ReadFileInfo(mp3);
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_MAIN(tst_AudioProbe)
#include "tst_audioprobe.moc"
