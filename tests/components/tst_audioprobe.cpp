// Probing odd files on the window's thread: huge WAV files answer at once, files that are
// not what their header announces never keep the media libraries reading, and a file that
// ends early has the length of what is there.
#include "components/audio/JobRunner.h"
#include "components/audio/MediaProbe.h"
#include "components/audio/Transcoder.h"
#include "components/cAudioConverter/AudioConverterImpl.h"
#include "tests/support/AudioFixtures.h"

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

}  // namespace

class tst_AudioProbe : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // 2 GB files (sparse: no disk space is used) answer within a second: the chunk walk
    // steps over the data in one seek, and a file without a data chunk is refused before
    // the media libraries would walk all of it eight bytes at a time.
    void hugeWavAnswersAtOnce_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<int>("code");
        QTest::addColumn<qint64>("durationMs");
        const qint64 audioMs = (kHuge - 44) / 4 * 1000 / 44100;
        QTest::newRow("2 GB of silence") << wavHeader(true, quint32(kHuge - 44)) << 0 << audioMs;
        QTest::newRow("data size 0, as written while recording") << wavHeader(true, 0) << 0 << audioMs;
        QTest::newRow("zeros after the format, no data chunk") << wavHeader(false, 0) << int(kErrSourceUnreadable) << 0LL;
        QTest::newRow("zeros after the RIFF header") << QByteArray("RIFF") + le32(0xFFFFFFF0u) + "WAVE"
                                                      << int(kErrSourceUnreadable) << 0LL;
    }
    void hugeWavAnswersAtOnce()
    {
        QFETCH(QByteArray, header);
        QFETCH(int, code);
        QFETCH(qint64, durationMs);
        const QString file = path(QStringLiteral("huge.wav"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(f.write(header), header.size());
            if (!f.resize(kHuge))
                QSKIP("This file system cannot hold a sparse 2 GB file.");
        }
        QElapsedTimer timer;
        timer.start();
        AudioConverterImpl c;
        QCOMPARE(c.ReadFileInfo(file), code);
        QCOMPARE(qint64(c.Duration()), durationMs);
        c.ReadTags(file);
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QStringLiteral("%1 ms").arg(timer.elapsed())));

        // A conversion of the file without audio ends in an error as quickly.
        if (code != 0) {
            TranscodeRequest req;
            req.source = file;
            req.output = path(QStringLiteral("out.mp3"));
            req.settings = mp3Settings();
            JobControl control;
            timer.restart();
            const JobOutcome r = RunTranscode(req, control);
            QCOMPARE(r.kind, JobOutcome::Failed);
            QCOMPARE(r.code, code);
            QVERIFY(timer.elapsed() < 1000);
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
};

QTEST_MAIN(tst_AudioProbe)
#include "tst_audioprobe.moc"
