// The conversion component on generated audio: probing, sample-exact ranges and splits,
// seeking, every output format, tags, the event protocol, and bad input and output.
#include "components/audio/CodecCatalogue.h"
#include "components/audio/MediaProbe.h"
#include "components/audio/Transcoder.h"
#include "components/cAudioConverter/AudioConverterImpl.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestFiles.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

using namespace AudioFixtures;

Q_DECLARE_METATYPE(EncoderSettings)

namespace {

constexpr int kRate = 44100;

// Records every event of a converter in arrival order.
struct EventLog : QObject {
    QStringList events;
    QList<int> progress;
    explicit EventLog(cAudioConverter* c)
    {
        connect(c, &cAudioConverter::Progress, this, [this](qint32 p) { progress << p; });
        connect(c, &cAudioConverter::Done, this, [this] { events << QStringLiteral("Done"); });
        connect(c, &cAudioConverter::Aborted, this, [this] { events << QStringLiteral("Aborted"); });
        connect(c, &cAudioConverter::Error, this,
                [this](qint32 code, const QString& d) { events << QStringLiteral("Error %1 %2").arg(code).arg(d); });
    }
    bool waitEnd(int count = 1, int ms = 60000)
    {
        return QTest::qWaitFor([&] { return events.size() >= count; }, ms);
    }
};

// A converter job of another running copy of the program: this test program started with
// "--child-convert SOURCE OUTPUT", converting the whole source to MP3 and printing its
// terminal event.
int runChildConversion(const QString& source, const QString& output)
{
    AudioConverterImpl c;
    EventLog log(&c);
    c.SetSourceFile(source);
    c.SetOutputFile(output);
    c.SetOutputFormat(kOutputMP3);
    MP3Settings m = mp3Settings().MP3;
    c.SetMP3Settings(m);
    c.StartConvert();
    if (!log.waitEnd(1, 300000))
        return 2;
    printf("%s\n", qPrintable(log.events.join(QLatin1Char('|'))));
    return 0;
}

// Starts a child conversion and stops the child, by SIGSTOP or SIGKILL, once its hidden
// output file is there: the job is under way and not yet finished.
bool stopChildMidJob(QProcess& child, const QString& source, const QString& output, int signal)
{
    const QString folder = QFileInfo(output).absolutePath();
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child-convert"), source, output});
    if (!child.waitForStarted())
        return false;
    QElapsedTimer clock;
    clock.start();
    while (TestFiles::PartFiles(folder).isEmpty()) {
        if (clock.elapsed() > 60000 || child.state() == QProcess::NotRunning)
            return false;
        QThread::usleep(200);
    }
    ::kill(pid_t(child.processId()), signal);
    return !QFileInfo::exists(output);  // stopped before it could finish
}

}  // namespace

class tst_AudioConverter : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_wav;       // 10.5 s stereo noise, 16-bit 44.1 kHz
    QVector<qint16> m_samples;
    QString m_mp3;       // the same, as MP3
    QString m_ogg;       // the same, as OGG

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // Converts with the real component and waits for its one terminal event.
    QString convert(const QString& source, const QString& output, const EncoderSettings& s, bool range = false,
                    int start = 0, int length = 0, bool allowCopy = true, const AudioTags& tags = {})
    {
        AudioConverterImpl c;
        c.setAllowCopy(allowCopy);
        EventLog log(&c);
        c.SetSourceFile(source);
        if (range) {
            c.SetRangeStart(start);
            c.SetRangeLength(length);
        }
        c.SetOutputFile(output);
        c.SetOutputFormat(s.OutputFormat);
        WAVSettings w = s.WAV;
        c.SetWAVSettings(w);
        QString tag = s.ACMTag, fmt = s.ACMFormat;
        c.SetACMSettings(tag, fmt);
        MP3Settings m = s.MP3;
        c.SetMP3Settings(m);
        WMASettings wm = s.WMA;
        c.SetWMASettings(wm);
        OGGSettings o = s.OGG;
        c.SetOGGSettings(o);
        c.SetTagTitle(tags.Title);
        c.SetTagArtist(tags.Artist);
        c.SetTagAlbum(tags.Album);
        c.SetTagYear(tags.Year);
        c.SetTagComment(tags.Comment);
        c.SetTagGenre(tags.Genre);
        c.SetTagTrack(tags.Track);
        // As the windows do: a file there at the start was agreed to be replaced.
        c.SetOverwriteAgreed(ReadFileIdentity(output));
        c.StartConvert();
        if (!log.waitEnd())
            return QStringLiteral("timeout");
        QTest::qWait(20);  // nothing may follow the terminal event
        return log.events.join(QLatin1Char('|'));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_wav = path(QStringLiteral("source.wav"));
        m_samples = noise(qint64(kRate * 10.5), 2);
        QVERIFY(writeWav(m_wav, kRate, 2, 16, m_samples));
        m_mp3 = path(QStringLiteral("source.mp3"));
        m_ogg = path(QStringLiteral("source.ogg"));
        QVERIFY(encode(m_wav, m_mp3, mp3Settings(192)));
        QVERIFY(encode(m_wav, m_ogg, oggSettings(60)));
        QVERIFY(encode(m_wav, path(QStringLiteral("source.wma")), wmaSettings()));
        QVERIFY(encode(m_wav, path(QStringLiteral("source-gsm.wav")),
                       acmSettings(QStringLiteral("GSM 6.10"), QStringLiteral("8000 Hz, 13 kbit/s, Mono"))));
        EncoderSettings vbr = mp3Settings();
        vbr.MP3.VBRMethod = 4;
        vbr.MP3.Mode = 3;
        vbr.MP3.SampleRate = 22050;
        QVERIFY(encode(m_wav, path(QStringLiteral("vbr.mp3")), vbr));
    }

    void readFileInfo_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("durationMs");  // -1: about 10500
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("bits");
        QTest::newRow("pcm wav") << "source.wav" << 0 << 10500 << kRate << 2 << 16;
        QTest::newRow("8-bit mono") << "mono8.wav" << 0 << 2000 << 22050 << 1 << 8;
        // The audible length: an MP3's encoder delay and padding are not counted.
        QTest::newRow("mp3") << "source.mp3" << 0 << 10500 << kRate << 2 << 16;
        QTest::newRow("ogg") << "source.ogg" << 0 << 10500 << kRate << 2 << 16;
        QTest::newRow("mp3 mono 22050 vbr") << "vbr.mp3" << 0 << 10500 << 22050 << 1 << 16;
        QTest::newRow("missing") << "nothing.wav" << int(kErrSourceMissing) << 0 << 0 << 0 << 0;
        QTest::newRow("empty") << "empty.wav" << int(kErrSourceUnreadable) << 0 << 0 << 0 << 0;
        QTest::newRow("text renamed") << "text.wav" << int(kErrSourceUnreadable) << 0 << 0 << 0 << 0;
        QTest::newRow("truncated") << "truncated.wav" << int(kErrSourceDamaged) << 0 << 0 << 0 << 0;
    }
    void readFileInfo()
    {
        QFETCH(QString, file);
        QFETCH(int, result);
        QFETCH(int, durationMs);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(int, bits);
        writeWav(path(QStringLiteral("mono8.wav")), 22050, 1, 8, noise(44100, 1));
        QFile(path(QStringLiteral("empty.wav"))).open(QIODevice::WriteOnly);
        {
            QFile t(path(QStringLiteral("text.wav")));
            t.open(QIODevice::WriteOnly);
            t.write("This is a shopping list, not a sound.\nMilk\nBread\n");
        }
        {
            QByteArray b = wavBytes(kRate, 2, 16, noise(kRate, 2));
            QFile t(path(QStringLiteral("truncated.wav")));
            t.open(QIODevice::WriteOnly);
            t.write(b.left(b.size() / 2));
        }
        AudioConverterImpl c;
        QCOMPARE(c.ReadFileInfo(path(file)), result);
        if (durationMs < 0)
            QVERIFY2(std::abs(c.Duration() - 10500) <= 60, qPrintable(QString::number(c.Duration())));
        else
            QCOMPARE(c.Duration(), durationMs);
        QCOMPARE(c.SampleRate(), rate);
        QCOMPARE(int(c.Channels()), channels);
        QCOMPARE(c.BitsPerSample(), bits);
        // A file that cannot be read says why; one that can says nothing.
        QCOMPARE(c.FileInfoError().isEmpty(), result == 0);
    }

    // After a conversion that ended well: how much of the source reached the output.
    void writtenMsIsWhatReachedTheOutput_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<EncoderSettings>("settings");
        QTest::addColumn<bool>("allowCopy");
        QTest::addColumn<int>("start");   // -1: the whole file
        QTest::addColumn<int>("length");  // 0: to the end
        QTest::addColumn<qint64>("written");
        const EncoderSettings wav = wavSettings(kRate, 2, 16);
        QTest::newRow("copied range") << "source.wav" << wav << true << 3 << 2 << qint64(2000);
        QTest::newRow("decoded range") << "source.wav" << wav << false << 3 << 2 << qint64(2000);
        QTest::newRow("encoded range") << "source.wav" << mp3Settings() << true << 3 << 2 << qint64(2000);
        QTest::newRow("range running past the end") << "source.wav" << wav << true << 9 << 5 << qint64(1500);
        QTest::newRow("range to the end") << "source.wav" << wav << false << 4 << 0 << qint64(6500);
        QTest::newRow("whole file") << "source.wav" << wav << true << -1 << 0 << qint64(10500);
        QTest::newRow("range of an MP3") << "source.mp3" << wav << true << 2 << 3 << qint64(3000);
    }
    void writtenMsIsWhatReachedTheOutput()
    {
        QFETCH(QString, file);
        QFETCH(EncoderSettings, settings);
        QFETCH(bool, allowCopy);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(qint64, written);
        AudioConverterImpl c;
        c.setAllowCopy(allowCopy);
        EventLog log(&c);
        c.SetSourceFile(path(file));
        if (start >= 0) {
            c.SetRangeStart(start);
            c.SetRangeLength(length);
        }
        c.SetOutputFile(path(QStringLiteral("written.out")));
        c.SetOutputFormat(settings.OutputFormat);
        WAVSettings w = settings.WAV;
        c.SetWAVSettings(w);
        MP3Settings m = settings.MP3;
        c.SetMP3Settings(m);
        QCOMPARE(c.WrittenMs(), qint64(-1));
        // Each row writes the same file: replacing it is agreed, as a window would.
        c.SetOverwriteAgreed(ReadFileIdentity(c.OutputFile()));
        c.StartConvert();
        QVERIFY(log.waitEnd());
        QCOMPARE(log.events, QStringList{QStringLiteral("Done")});
        QCOMPARE(c.WrittenMs(), written);
        // A conversion that fails reports nothing written.
        c.SetSourceFile(path(QStringLiteral("nothing.wav")));
        c.StartConvert();
        QVERIFY(log.waitEnd(2));
        QCOMPARE(c.WrittenMs(), qint64(-1));
    }

    void secondsToTimeText()
    {
        QCOMPARE(cAudioConverter::SecondsToTimeText(0), QStringLiteral("00:00:00"));
        QCOMPARE(cAudioConverter::SecondsToTimeText(3725), QStringLiteral("01:02:05"));
        QCOMPARE(cAudioConverter::SecondsToTimeText(240), QStringLiteral("00:04:00"));
    }

    // A range of a PCM source is exactly the source's samples, copied or decoded.
    void pcmRangeIsExact_data()
    {
        QTest::addColumn<bool>("allowCopy");
        QTest::newRow("copied") << true;
        QTest::newRow("decoded") << false;
    }
    void pcmRangeIsExact()
    {
        QFETCH(bool, allowCopy);
        const QString out = path(QStringLiteral("range.wav"));
        QCOMPARE(convert(m_wav, out, wavSettings(kRate, 2, 16), true, 3, 2, allowCopy), QStringLiteral("Done"));
        const QByteArray src = wavData(m_wav);
        QCOMPARE(wavData(out), src.mid(3 * kRate * 4, 2 * kRate * 4));
        QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());
    }

    // Every name the file system allows can be the output's, up to 255 bytes: the
    // temporary file beside it is named short.
    void longestNamesAreWritten_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<EncoderSettings>("settings");
        const QString twoByteName = QString(125, QChar(0x00E9)) + QStringLiteral("a.wav");  // 125 x "é": 255 bytes
        QTest::newRow("241 bytes, copied WAV") << QString(237, u'a') + QStringLiteral(".wav") << wavSettings(kRate, 2, 16);
        QTest::newRow("255 bytes, copied WAV") << QString(251, u'b') + QStringLiteral(".wav") << wavSettings(kRate, 2, 16);
        QTest::newRow("255 bytes, MP3") << QString(251, u'c') + QStringLiteral(".mp3") << mp3Settings();
        QTest::newRow("255 bytes of two-byte characters") << twoByteName << wavSettings(kRate, 2, 16);
    }
    void longestNamesAreWritten()
    {
        QFETCH(QString, name);
        QFETCH(EncoderSettings, settings);
        const QString out = path(name);
        QVERIFY(QFile::encodeName(name).size() <= 255);
        QCOMPARE(convert(m_wav, out, settings, true, 1, 2), QStringLiteral("Done"));
        QVERIFY(QFile::exists(out));
        if (settings.OutputFormat == kOutputWAV)
            QCOMPARE(wavData(out), wavData(m_wav).mid(kRate * 4, 2 * kRate * 4));
        else
            QVERIFY(qAbs(decode(out).frames() - 2 * kRate) <= 2 * 1152);
        QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());
        QFile::remove(out);
    }

    // The parts of a 10-part split, end to end, are the source, the last part running to
    // the end although it asks for a full part length.
    void splitPartsJoinToTheSource_data()
    {
        QTest::addColumn<bool>("allowCopy");
        QTest::newRow("copied") << true;
        QTest::newRow("decoded") << false;
    }
    void splitPartsJoinToTheSource()
    {
        QFETCH(bool, allowCopy);
        AudioConverterImpl c;
        c.setAllowCopy(allowCopy);
        EventLog log(&c);
        int part = 0;
        // Each next part starts from inside the Done handler, as the split job does.
        auto startPart = [&] {
            c.SetSourceFile(m_wav);
            c.SetRangeStart(part);
            c.SetRangeLength(1);
            c.SetOutputFile(path(QStringLiteral("Part_%1_source.WAV").arg(part + 1)));
            c.SetOverwriteAgreed(ReadFileIdentity(c.OutputFile()));  // the earlier row's parts
            c.StartConvert();
        };
        connect(&c, &cAudioConverter::Done, &c, [&] {
            if (++part < 11)
                startPart();
        });
        c.SetOutputFormat(kOutputWAV);
        WAVSettings w{kRate, 2, 16};
        c.SetWAVSettings(w);
        startPart();
        QVERIFY(log.waitEnd(11));
        QTest::qWait(20);
        QCOMPARE(log.events, QStringList(11, QStringLiteral("Done")));
        QByteArray joined;
        for (int i = 1; i <= 11; ++i)
            joined += wavData(path(QStringLiteral("Part_%1_source.WAV").arg(i)));
        QCOMPARE(joined.size(), wavData(m_wav).size());
        QVERIFY(joined == wavData(m_wav));
    }

    // Cuts from lossy sources start at the right sample (the stream's start time is
    // subtracted): the cut lines up with the original at lag 0.
    void lossyCutsAreAligned_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("start");
        QTest::newRow("mp3 at 2 s") << "source.mp3" << 2;
        QTest::newRow("mp3 at 7 s") << "source.mp3" << 7;
        QTest::newRow("ogg at 2 s") << "source.ogg" << 2;
        QTest::newRow("ogg at 7 s") << "source.ogg" << 7;
    }
    void lossyCutsAreAligned()
    {
        QFETCH(QString, source);
        QFETCH(int, start);
        const QString out = path(QStringLiteral("cut.wav"));
        QCOMPARE(convert(path(source), out, wavSettings(kRate, 2, 16), true, start, 2), QStringLiteral("Done"));
        const Decoded d = decode(out);
        QCOMPARE(d.frames(), qint64(2 * kRate));
        const QVector<float> ref = monoFrom16(m_samples, 2).mid(start * kRate, 2 * kRate);
        double corr = 0;
        QCOMPARE(bestLag(ref, mono(d.samples, 2), 3000, 8192, &corr), 0);
        QVERIFY2(corr > 0.9, qPrintable(QString::number(corr)));
    }

    // Split parts of a lossy source, decoded to WAV, join to exactly what decoding the whole
    // file gives: no sample lost or doubled at a boundary, also when the source is kept open
    // from part to part and ranges come out of order.
    void lossySplitPartsAreContiguous_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::newRow("mp3") << "source.mp3" << kRate << 2;
        QTest::newRow("ogg") << "source.ogg" << kRate << 2;
        // Sources whose positions are counted from the start: going back starts over.
        QTest::newRow("wma") << "source.wma" << kRate << 2;
        QTest::newRow("gsm") << "source-gsm.wav" << 8000 << 1;
    }
    void lossySplitPartsAreContiguous()
    {
        QFETCH(QString, source);
        QFETCH(int, rate);
        QFETCH(int, channels);
        const QString whole = path(QStringLiteral("whole.wav"));
        QCOMPARE(convert(path(source), whole, wavSettings(rate, channels, 16)), QStringLiteral("Done"));
        AudioConverterImpl c;
        EventLog log(&c);
        c.SetOutputFormat(kOutputWAV);
        WAVSettings w{rate, qint16(channels), 16};
        c.SetWAVSettings(w);
        const QList<int> order{3, 4, 5, 0, 1, 2, 6, 7, 8, 9, 10};
        int next = 0;
        auto start = [&] {
            const int part = order[next++];
            c.SetSourceFile(path(source));
            c.SetRangeStart(part);
            c.SetRangeLength(1);
            c.SetOutputFile(path(QStringLiteral("lossy_%1.wav").arg(part)));
            c.SetOverwriteAgreed(ReadFileIdentity(c.OutputFile()));  // the earlier row's parts
            c.StartConvert();
        };
        connect(&c, &cAudioConverter::Done, &c, [&] {
            if (next < order.size())
                start();
        });
        start();
        QVERIFY(log.waitEnd(int(order.size())));
        QCOMPARE(log.events, QStringList(order.size(), QStringLiteral("Done")));
        QByteArray joined;
        for (int i = 0; i <= 10; ++i)
            joined += wavData(path(QStringLiteral("lossy_%1.wav").arg(i)));
        const QByteArray all = wavData(whole);
        QCOMPARE(joined.size(), all.size());
        QVERIFY(joined == all);
    }

    // WMA output keeps its alignment despite the encoder's padding (within two frames).
    void wmaOutputIsAligned()
    {
        const QString out = path(QStringLiteral("cut.wma"));
        QCOMPARE(convert(m_wav, out, wmaSettings(0, 0), true, 2, 3), QStringLiteral("Done"));
        const Decoded d = decode(out);
        QCOMPARE(d.rate, kRate);
        QVERIFY2(std::abs(d.frames() - 3 * kRate) <= 2 * 2048, qPrintable(QString::number(d.frames())));
        const QVector<float> ref = monoFrom16(m_samples, 2).mid(2 * kRate, 3 * kRate);
        double corr = 0;
        const int lag = bestLag(ref, mono(d.samples, 2), 4096, 16384, &corr);
        QVERIFY2(std::abs(lag) <= 2 * 2048, qPrintable(QString::number(lag)));
        QVERIFY(corr > 0.8);
    }

    // A range start is reached by seeking: a late range reads a small share of the packets.
    void rangeStartIsReachedBySeeking_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("mp3") << "source.mp3";
        QTest::newRow("ogg") << "source.ogg";
        QTest::newRow("wav decoded") << "source.wav";
    }
    void rangeStartIsReachedBySeeking()
    {
        QFETCH(QString, source);
        auto run = [&](bool range, TranscodeStats& stats) {
            TranscodeRequest req;
            req.source = path(source);
            req.output = path(QStringLiteral("seek.wav"));
            req.settings = wavSettings(kRate, 2, 16);
            req.hasRange = range;
            req.rangeStart = 9;
            req.rangeLength = 1;
            req.allowCopy = false;
            req.replaceable = ReadFileIdentity(req.output);  // the one before
            JobControl control;
            return RunTranscode(req, control, &stats).kind;
        };
        TranscodeStats whole, late;
        QCOMPARE(run(false, whole), JobOutcome::Done);
        QCOMPARE(run(true, late), JobOutcome::Done);
        QVERIFY(late.seeks >= 1);
        QVERIFY2(late.packetsRead * 4 < whole.packetsRead,
                 qPrintable(QStringLiteral("%1 of %2").arg(late.packetsRead).arg(whole.packetsRead)));
        QCOMPARE(late.samplesWritten, qint64(kRate));
    }

    void copiesWhenFormatsMatch()
    {
        TranscodeRequest req;
        req.source = m_wav;
        req.output = path(QStringLiteral("copy.wav"));
        req.settings = wavSettings(kRate, 2, 16);
        JobControl control;
        TranscodeStats stats;
        QCOMPARE(RunTranscode(req, control, &stats).kind, JobOutcome::Done);
        QVERIFY(stats.copied);
        req.settings = wavSettings(22050, 2, 16);  // a different rate must be converted
        req.replaceable = ReadFileIdentity(req.output);
        TranscodeStats other;
        QCOMPARE(RunTranscode(req, control, &other).kind, JobOutcome::Done);
        QVERIFY(!other.copied);
        QCOMPARE(ProbeMedia(req.output).sampleRate, 22050);
    }

    // Every output format and codec of the catalogues writes a file of the right shape.
    void outputFormats_data()
    {
        QTest::addColumn<EncoderSettings>("settings");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("toleranceSamples");
        QTest::newRow("wav 8-bit mono 22050") << wavSettings(22050, 1, 8) << 22050 << 1 << 0;
        QTest::newRow("wav 16-bit stereo 11025") << wavSettings(11025, 2, 16) << 11025 << 2 << 0;
        QTest::newRow("mp3 cbr 128") << mp3Settings(128) << kRate << 2 << 0;
        EncoderSettings abr = mp3Settings();
        abr.MP3.VBRMethod = 3;
        abr.MP3.ABRBitrate = 96;
        QTest::newRow("mp3 abr") << abr << kRate << 2 << 0;
        EncoderSettings vbr = mp3Settings();
        vbr.MP3.VBRMethod = 4;
        vbr.MP3.VBRQuality = 2;
        vbr.MP3.Mode = 3;
        vbr.MP3.SampleRate = 22050;
        QTest::newRow("mp3 vbr mono 22050") << vbr << 22050 << 1 << 0;
        QTest::newRow("ogg quality") << oggSettings(30) << kRate << 2 << 0;
        EncoderSettings oggBit = oggSettings();
        oggBit.OGG = OGGSettings{2, 128, 0};
        QTest::newRow("ogg bitrate") << oggBit << kRate << 2 << 0;
        for (int codec = 0; codec < CodecCatalogue::wmaCodecs().size(); ++codec) {
            const WmaCodec& c = CodecCatalogue::wmaCodecs()[codec];
            for (int f = 0; f < c.formats.size(); ++f)
                QTest::newRow(qPrintable(c.name + QStringLiteral(" / ") + c.formats[f].text))
                    << wmaSettings(codec, f) << c.formats[f].sampleRate << c.formats[f].channels << 2 * 2048;
        }
        for (const AcmCodec& c : CodecCatalogue::acmCodecs()) {
            // The first format and the last of each codec.
            for (const AcmFormat& f : {c.formats.first(), c.formats.last()})
                QTest::newRow(qPrintable(c.name + QStringLiteral(" / ") + f.text))
                    << acmSettings(c.name, f.text) << f.sampleRate << f.channels << 2100;
        }
    }
    void outputFormats()
    {
        QFETCH(EncoderSettings, settings);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(int, toleranceSamples);
        const QString out = path(QStringLiteral("format.out"));
        QFile::remove(out);
        QCOMPARE(convert(m_wav, out, settings, true, 1, 2), QStringLiteral("Done"));
        const Decoded d = decode(out);
        QCOMPARE(d.rate, rate);
        QCOMPARE(d.channels, channels);
        QVERIFY2(std::abs(d.frames() - 2 * rate) <= toleranceSamples,
                 qPrintable(QStringLiteral("%1 frames for %2").arg(d.frames()).arg(2 * rate)));
    }

    void apeIsRefusedClearly()
    {
        EncoderSettings s;
        s.OutputFormat = kOutputAPE;
        const QString out = path(QStringLiteral("x.ape"));
        const QString events = convert(m_wav, out, s);
        QVERIFY2(events.startsWith(QStringLiteral("Error %1 APE output is not available").arg(kErrFormatUnsupported)),
                 qPrintable(events));
        QVERIFY(!QFile::exists(out));
    }

    void unknownCodecsAreErrors_data()
    {
        QTest::addColumn<EncoderSettings>("settings");
        QTest::newRow("no acm codec") << acmSettings(QString(), QString());
        QTest::newRow("unknown acm codec") << acmSettings(QStringLiteral("Nothing"), QStringLiteral("x"));
        QTest::newRow("unknown acm format") << acmSettings(QStringLiteral("PCM"), QStringLiteral("1 Hz"));
        QTest::newRow("wma codec -1") << wmaSettings(-1, -1);
        QTest::newRow("wma format 99") << wmaSettings(0, 99);
    }
    void unknownCodecsAreErrors()
    {
        QFETCH(EncoderSettings, settings);
        const QString out = path(QStringLiteral("codec.wav"));
        const QString events = convert(m_wav, out, settings);
        QVERIFY2(events.startsWith(QStringLiteral("Error %1 ").arg(kErrCodecUnavailable)), qPrintable(events));
        QVERIFY(!QFile::exists(out));
        QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());
    }

    // The header of ADPCM output states the true byte rate (the muxer's own is wrong).
    void adpcmHeaderByteRate()
    {
        const QString out = path(QStringLiteral("ima.wav"));
        QCOMPARE(convert(m_wav, out, acmSettings(QStringLiteral("IMA ADPCM"), QStringLiteral("44100 Hz, 4 Bit, Stereo"))),
                 QStringLiteral("Done"));
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray h = f.read(64);
        const int at = h.indexOf("fmt ") + 8;
        auto u16 = [&](int o) { return int(quint8(h[at + o]) | quint8(h[at + o + 1]) << 8); };
        auto u32 = [&](int o) { return qint64(u16(o)) | qint64(u16(o + 2)) << 16; };
        QCOMPARE(u16(0), 0x11);
        const qint64 expected = qint64(kRate) * u16(12) / u16(18);
        QCOMPARE(u32(8), expected);
    }

    void mp3CopyrightAndOriginalBits()
    {
        EncoderSettings s = mp3Settings();
        s.MP3.Copyright = -1;
        s.MP3.Original = -1;
        const QString out = path(QStringLiteral("bits.mp3"));
        QCOMPARE(convert(m_wav, out, s, true, 0, 1), QStringLiteral("Done"));
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray b = f.readAll();
        // Walk the MPEG-1 layer III frames after the ID3 tag; the first is the muxer's info frame.
        int at = 0;
        if (b.startsWith("ID3"))
            at = 10 + ((quint8(b[6]) << 21) | (quint8(b[7]) << 14) | (quint8(b[8]) << 7) | quint8(b[9]));
        static const int kbps[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
        int frames = 0, marked = 0;
        while (at + 4 <= b.size() && quint8(b[at]) == 0xFF && (quint8(b[at + 1]) & 0xFE) == 0xFA) {
            const int bitrate = kbps[quint8(b[at + 2]) >> 4] * 1000;
            const int padding = (quint8(b[at + 2]) >> 1) & 1;
            QVERIFY(bitrate > 0);
            if (frames > 0 && (quint8(b[at + 3]) & 0x0C) == 0x0C)
                ++marked;
            ++frames;
            at += 144 * bitrate / kRate + padding;
        }
        QVERIFY(frames > 30);
        QCOMPARE(marked, frames - 1);
    }

    void tagsRoundTrip_data()
    {
        QTest::addColumn<EncoderSettings>("settings");
        QTest::addColumn<bool>("allowCopy");
        QTest::newRow("wav copied") << wavSettings(kRate, 2, 16) << true;
        QTest::newRow("wav encoded") << wavSettings(22050, 2, 16) << true;
        QTest::newRow("mp3") << mp3Settings() << true;
        QTest::newRow("ogg") << oggSettings() << true;
        QTest::newRow("wma") << wmaSettings() << true;
    }
    void tagsRoundTrip()
    {
        QFETCH(EncoderSettings, settings);
        QFETCH(bool, allowCopy);
        AudioTags t;
        t.Title = QStringLiteral("Prélude");
        t.Artist = QStringLiteral("The Artist");
        t.Album = QStringLiteral("An Album");
        t.Year = QStringLiteral("1999");
        t.Comment = QStringLiteral("A comment");
        t.Genre = QStringLiteral("Jazz");
        t.Track = QStringLiteral("7");
        const QString out = path(QStringLiteral("tags.out"));
        QCOMPARE(convert(m_wav, out, settings, true, 0, 1, allowCopy, t), QStringLiteral("Done"));
        AudioConverterImpl c;
        c.ReadTags(out);
        QCOMPARE(c.TagTitle(), t.Title);
        QCOMPARE(c.TagArtist(), t.Artist);
        QCOMPARE(c.TagAlbum(), t.Album);
        QVERIFY2(c.TagYear().startsWith(t.Year), qPrintable(c.TagYear()));
        QCOMPARE(c.TagComment(), t.Comment);
        QCOMPARE(c.TagGenre(), t.Genre);
        QVERIFY2(c.TagTrack().startsWith(t.Track), qPrintable(c.TagTrack()));
    }

    // Bad input never crashes and ends in one Error with a clear description, no output.
    void badInput_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("content");  // empty with "missing": no file at all
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("words");
        const QByteArray wav = wavBytes(kRate, 2, 16, noise(kRate, 2));
        QTest::newRow("missing") << "missing.wav" << QByteArray() << int(kErrSourceMissing) << "does not exist";
        QTest::newRow("empty") << "empty.wav" << QByteArray("") << int(kErrSourceUnreadable) << "is empty";
        QTest::newRow("text renamed .wav") << "text.wav" << QByteArray("Dear diary,\ntoday nothing.\n")
                                           << int(kErrSourceUnreadable) << "not an audio file";
        QTest::newRow("truncated wav") << "cut.wav" << wav.left(wav.size() - 1000) << int(kErrSourceDamaged) << "damaged";
        QByteArray liar = wav;
        liar[40] = char(0x00);
        liar[41] = char(0x00);
        liar[42] = char(0x40);  // announces 4 MB of audio
        QTest::newRow("header claims more") << "liar.wav" << liar << int(kErrSourceDamaged) << "damaged";
        QTest::newRow("header only") << "hollow.wav" << wav.left(44) << int(kErrSourceDamaged) << "damaged";
        QTest::newRow("garbage after RIFF") << "riff.wav" << QByteArray("RIFF\x10\0\0\0WAVEjunkjunkjunk", 24)
                                            << int(kErrSourceUnreadable) << "";
    }
    void badInput()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, content);
        QFETCH(int, code);
        QFETCH(QString, words);
        const QString src = path(file);
        QFile::remove(src);
        if (file != QLatin1String("missing.wav")) {
            QFile f(src);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        for (const EncoderSettings& s : {wavSettings(kRate, 2, 16), mp3Settings()}) {
            const QString out = path(QStringLiteral("bad.out"));
            const QString events = convert(src, out, s);
            QVERIFY2(events.startsWith(QStringLiteral("Error %1 ").arg(code)), qPrintable(events));
            QVERIFY2(events.contains(words), qPrintable(events));
            QVERIFY(!events.contains(QLatin1Char('|')));
            QVERIFY(!QFile::exists(out));
            QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());
        }
    }

    void rangeAfterTheEndIsAnError()
    {
        const QString out = path(QStringLiteral("late.wav"));
        for (bool copy : {true, false}) {
            const QString events = convert(m_wav, out, wavSettings(kRate, 2, 16), true, 11, 5, copy);
            QVERIFY2(events.startsWith(QStringLiteral("Error %1 ").arg(kErrBadRange)), qPrintable(events));
            QVERIFY(!QFile::exists(out));
        }
    }

    void outputEqualToSourceIsRefused()
    {
        const QString src = path(QStringLiteral("self.wav"));
        QVERIFY(QFile::copy(m_wav, src));
        const QByteArray before = wavData(src);
        for (const QString& out : {src, m_dir.path() + QStringLiteral("/./self.wav")}) {
            const QString events = convert(src, out, mp3Settings());
            QVERIFY2(events.startsWith(QStringLiteral("Error %1 ").arg(kErrOutputSameAsSource)), qPrintable(events));
        }
        QCOMPARE(wavData(src), before);
        QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());
    }

    // Each refusal says what is wrong with the destination.
    void unwritableDestination_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("words");
        QTest::newRow("no such folder") << "no/such/folder/out.wav" << "does not exist";
        QTest::newRow("parent is a file") << "source.wav/out.wav" << "source.wav\" is a file, not a folder";
        QTest::newRow("a file further up") << "source.wav/sub/out.wav" << "source.wav\" is a file, not a folder";
        QTest::newRow("a folder") << "." << "is a folder, not a file";
    }
    void unwritableDestination()
    {
        QFETCH(QString, output);
        QFETCH(QString, words);
        const QString events = convert(m_wav, path(output), wavSettings(22050, 2, 16));
        QVERIFY2(events.startsWith(QStringLiteral("Error %1 ").arg(kErrOutputUnwritable)), qPrintable(events));
        QVERIFY2(events.contains(words), qPrintable(events));
    }

    // A full disk (here: a file-size limit) fails the job cleanly and leaves no partial file.
    void fullDisk_data()
    {
        QTest::addColumn<EncoderSettings>("settings");
        QTest::newRow("copied wav") << wavSettings(kRate, 2, 16);
        QTest::newRow("encoded wav") << wavSettings(kRate, 1, 16);
        QTest::newRow("mp3") << mp3Settings(320);
    }
    void fullDisk()
    {
        QFETCH(EncoderSettings, settings);
        const QString out = path(QStringLiteral("full.out"));
        struct rlimit old {};
        getrlimit(RLIMIT_FSIZE, &old);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = 100 * 1024;
        setrlimit(RLIMIT_FSIZE, &small);
        const QString events = convert(m_wav, out, settings);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY2(events.startsWith(QStringLiteral("Error %1 ").arg(kErrWriteFailed)), qPrintable(events));
        QVERIFY(!QFile::exists(out));
        QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());
    }

    // Abort while running gives Aborted, not Done, and no output; an existing file of that
    // name is left as it was.
    void abortLeavesNoOutput()
    {
        const QString out = path(QStringLiteral("aborted.mp3"));
        {
            QFile f(out);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old content");
        }
        AudioConverterImpl c;
        EventLog log(&c);
        c.SetSourceFile(m_wav);
        c.SetOutputFile(out);
        c.SetOutputFormat(kOutputMP3);
        MP3Settings m = mp3Settings().MP3;
        c.SetMP3Settings(m);
        c.StartConvert();
        QVERIFY(c.IsConverting());
        QThread::msleep(30);  // the job is under way; no event can have been delivered yet
        c.Abort();
        QVERIFY(log.waitEnd());
        QTest::qWait(50);
        QCOMPARE(log.events, QStringList{QStringLiteral("Aborted")});
        QVERIFY(!c.IsConverting());
        QCOMPARE(TestFiles::ReadBytes(out), QByteArray("old content"));
        QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());
    }

    // An Abort that comes after the work is finished but before its end was delivered still
    // gives Aborted, and the finished output is not put in place.
    void abortAfterTheWorkFinished()
    {
        const QString out = path(QStringLiteral("late-abort.wav"));
        AudioConverterImpl c;
        EventLog log(&c);
        c.SetSourceFile(m_wav);
        c.SetRangeStart(0);
        c.SetRangeLength(1);
        c.SetOutputFile(out);
        c.SetOutputFormat(kOutputWAV);
        WAVSettings w{22050, 1, 16};
        c.SetWAVSettings(w);
        c.StartConvert();
        QThread::msleep(2000);  // no events are processed meanwhile: the end is still queued
        c.Abort();
        QVERIFY(log.waitEnd());
        QTest::qWait(50);
        QCOMPARE(log.events, QStringList{QStringLiteral("Aborted")});
        QVERIFY(!QFile::exists(out));
        QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());
    }

    // Progress rises, then exactly one terminal event; a handler of Error may start the
    // next job, and a new source is converted whole until a range is set.
    // The last step puts the output in place only where the name is as the user agreed:
    // a file that appears while the job runs (another job's output) is never replaced,
    // and the job fails saying so; the file that was there and agreed to is replaced, and
    // no other that took its name since. The agreement is for the next job only.
    void outputAppearingMeanwhile_data()
    {
        QTest::addColumn<bool>("before");    // a file had the name when the job started
        QTest::addColumn<bool>("agreed");    // replacing it was agreed
        QTest::addColumn<QString>("meanwhile");  // what becomes of the name while the job runs
        QTest::addColumn<bool>("written");
        QTest::newRow("no file, then another job's") << false << false << "another job's" << false;
        QTest::newRow("a file agreed to") << true << true << "" << true;
        QTest::newRow("a file agreed to, then another job's") << true << true << "another job's" << false;
        QTest::newRow("a file agreed to, removed meanwhile") << true << true << "removed" << true;
        QTest::newRow("a file not agreed to") << true << false << "" << false;
    }
    void outputAppearingMeanwhile()
    {
        QFETCH(bool, before);
        QFETCH(bool, agreed);
        QFETCH(QString, meanwhile);
        QFETCH(bool, written);
        const QString out = path(QStringLiteral("meanwhile.wav"));
        QFile::remove(out);
        if (before)
            QVERIFY(QFile::copy(m_mp3, out));
        AudioConverterImpl c;
        EventLog log(&c);
        c.SetSourceFile(m_wav);
        c.SetRangeStart(1);
        c.SetRangeLength(2);
        c.SetOutputFile(out);
        c.SetOutputFormat(kOutputWAV);
        WAVSettings w{kRate, 2, 16};
        c.SetWAVSettings(w);
        c.SetOverwriteAgreed(agreed ? ReadFileIdentity(out) : FileIdentity());
        c.StartConvert();
        // No event has been delivered yet: the output is not in place.
        if (meanwhile == QLatin1String("removed")) {
            QVERIFY(QFile::remove(out));
        } else if (!meanwhile.isEmpty()) {
            QFile::remove(out);
            QFile other(out);
            QVERIFY(other.open(QIODevice::WriteOnly));
            other.write("another job's output");
        }
        const QByteArray there = TestFiles::ReadBytes(out);
        QVERIFY(log.waitEnd());
        QTest::qWait(20);
        if (written) {
            QCOMPARE(log.events, QStringList{QStringLiteral("Done")});
            QCOMPARE(wavData(out), wavData(m_wav).mid(kRate * 4, 2 * kRate * 4));
        } else {
            QCOMPARE(log.events,
                     QStringList{QStringLiteral("Error %1 The output file \"%2\" was not written: a file of that name "
                                                "appeared while the job ran, and it is left as it is.")
                                     .arg(kErrOutputUnwritable)
                                     .arg(out)});
            QCOMPARE(TestFiles::ReadBytes(out), there);
        }
        QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());

        // The next job has not been agreed to replace anything.
        log.events.clear();
        c.SetSourceFile(m_wav);
        c.StartConvert();
        QVERIFY(log.waitEnd());
        QVERIFY2(log.events.value(0).startsWith(QStringLiteral("Error %1 ").arg(kErrOutputUnwritable)),
                 qPrintable(log.events.join(u'|')));
        QFile::remove(out);
    }

    // Two running copies of the program convert into one name. The copy that finishes
    // first writes it; the other, which started first, leaves that file as it is and
    // fails saying so. Meanwhile each job's hidden file is kept by the other, which
    // removes it only once its writer has been killed.
    void twoProcessesOneOutputName()
    {
        const QString folder = path(QStringLiteral("shared"));
        QVERIFY(QDir().mkpath(folder));
        const QString longSource = path(QStringLiteral("long.wav"));
        QVERIFY(writeWav(longSource, kRate, 2, 16, noise(qint64(kRate) * 90, 2, 11)));
        const QString out = folder + QStringLiteral("/both.mp3");

        QProcess child;
        QVERIFY2(stopChildMidJob(child, longSource, out, SIGSTOP), "the other copy finished before it could be stopped");
        const QStringList childsFile = TestFiles::PartFiles(folder);
        QCOMPARE(childsFile.size(), 1);
        QCOMPARE(convert(m_wav, out, mp3Settings(), true, 0, 1), QStringLiteral("Done"));
        const QByteArray ours = TestFiles::ReadBytes(out);
        QCOMPARE(TestFiles::PartFiles(folder), childsFile);  // the stopped copy's file is still its own
        ::kill(pid_t(child.processId()), SIGCONT);
        QVERIFY(child.waitForFinished(300000));
        QCOMPARE(QString::fromLocal8Bit(child.readAllStandardOutput()).trimmed(),
                 QStringLiteral("Error %1 The output file \"%2\" was not written: a file of that name appeared while "
                                "the job ran, and it is left as it is.")
                     .arg(kErrOutputUnwritable)
                     .arg(out));
        QCOMPARE(TestFiles::ReadBytes(out), ours);
        QVERIFY(TestFiles::PartFiles(folder).isEmpty());

        // A copy killed in the middle of its job leaves its hidden file; the next job in
        // that folder removes it.
        QProcess killed;
        QVERIFY2(stopChildMidJob(killed, longSource, folder + QStringLiteral("/killed.mp3"), SIGKILL),
                 "the other copy finished before it could be killed");
        QVERIFY(killed.waitForFinished());
        QCOMPARE(TestFiles::PartFiles(folder).size(), 1);
        QCOMPARE(convert(m_wav, folder + QStringLiteral("/after.wav"), wavSettings(kRate, 2, 16), true, 0, 1),
                 QStringLiteral("Done"));
        QVERIFY(TestFiles::PartFiles(folder).isEmpty());
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/killed.mp3")));
    }

    // A disk that is full or read-only fails the job with an error that names the output
    // file asked for, never the hidden file it is written to first.
    void errorsNameTheOutput_data()
    {
        QTest::addColumn<QString>("disk");
        QTest::addColumn<EncoderSettings>("settings");
        QTest::newRow("full, copied WAV") << "full" << wavSettings(kRate, 2, 16);
        QTest::newRow("full, MP3") << "full" << mp3Settings(128);
        QTest::newRow("full, encoded WAV") << "full" << wavSettings(22050, 1, 16);
        QTest::newRow("read-only") << "read-only" << mp3Settings(128);
    }
    void errorsNameTheOutput()
    {
        QFETCH(QString, disk);
        QFETCH(EncoderSettings, settings);
        const QString folder = path(QStringLiteral("small"));
        QVERIFY(QDir().mkpath(folder));
        SmallDisk small;
        QString why;
        if (!small.mount(folder, why))
            QSKIP(qPrintable("This machine gives the test no disk of its own (" + why + ")"));
        if (disk == QLatin1String("full"))
            small.fill();
        else
            QVERIFY(small.readOnly());
        const QString out = folder + QStringLiteral("/Part_2_source.MP3");
        const QString events = convert(m_wav, out, settings);
        QVERIFY2(events.startsWith(QStringLiteral("Error ")), qPrintable(events));
        QVERIFY2(events.contains(QLatin1Char('"') + out + QLatin1Char('"')), qPrintable(events));
        QVERIFY2(!events.contains(QLatin1String(".part")) && !events.contains(QLatin1String(".tmp-")), qPrintable(events));
        QVERIFY(!QFileInfo::exists(out));
        QVERIFY(TestFiles::PartFiles(folder).isEmpty());
    }

    void eventProtocol()
    {
        AudioConverterImpl c;
        EventLog log(&c);
        c.SetOutputFormat(kOutputWAV);
        WAVSettings w{22050, 1, 16};
        c.SetWAVSettings(w);
        bool restarted = false;
        connect(&c, &cAudioConverter::Error, &c, [&] {
            if (restarted)
                return;
            restarted = true;
            c.SetSourceFile(m_wav);  // no range: the whole file
            c.SetOutputFile(path(QStringLiteral("after-error.wav")));
            c.StartConvert();
        });
        c.SetSourceFile(m_wav);
        c.SetRangeStart(100);
        c.SetRangeLength(5);
        c.SetOutputFile(path(QStringLiteral("never.wav")));
        c.StartConvert();
        QVERIFY(log.waitEnd(2));
        QTest::qWait(50);
        QCOMPARE(log.events.size(), 2);
        QVERIFY(log.events[0].startsWith(QStringLiteral("Error")));
        QCOMPARE(log.events[1], QStringLiteral("Done"));
        QVERIFY(std::is_sorted(log.progress.begin(), log.progress.end()));
        QCOMPARE(log.progress.last(), 100);
        QCOMPARE(decode(path(QStringLiteral("after-error.wav"))).frames(), qint64(22050 * 10.5));
    }

    // Progress reaches the window's thread a few dozen times a second at most, however fast
    // the job reports it, and always ends at 100: a split into hundreds of short parts would
    // otherwise wake that thread a hundred times for every part.
    void progressIsThrottled_data()
    {
        QTest::addColumn<int>("stepMs");
        QTest::addColumn<int>("atLeast");
        QTest::newRow("a short part") << 0 << 1;
        QTest::newRow("a job of half a second") << 5 << 5;
    }
    void progressIsThrottled()
    {
        QFETCH(int, stepMs);
        QFETCH(int, atLeast);
        QElapsedTimer timer;
        timer.start();
        QObject owner;
        JobRunner runner(&owner);
        QList<int> seen;
        bool ended = false;
        runner.start(
            [stepMs](JobControl& control) {
                for (int p = 0; p <= 100; ++p) {
                    control.progress(p);
                    if (stepMs > 0)
                        QThread::msleep(stepMs);
                }
                return JobOutcome::done();
            },
            [&](int p) { seen << p; }, [&](const JobOutcome&) { ended = true; });
        QVERIFY(QTest::qWaitFor([&] { return ended; }, 10000));
        const qint64 atMost = timer.elapsed() / 40 + 2;  // one every 40 ms, and the end
        QVERIFY2(seen.size() <= atMost && seen.size() >= atLeast,
                 qPrintable(QStringLiteral("%1 reports in %2 ms").arg(seen.size()).arg(timer.elapsed())));
        QVERIFY(std::is_sorted(seen.begin(), seen.end()));
        QCOMPARE(seen.last(), 100);
    }

    void startWhileBusyIsAnError()
    {
        AudioConverterImpl c;
        EventLog log(&c);
        c.SetSourceFile(m_wav);
        c.SetOutputFile(path(QStringLiteral("busy.mp3")));
        c.SetOutputFormat(kOutputMP3);
        c.StartConvert();
        c.StartConvert();
        QVERIFY(log.waitEnd(2));
        QVERIFY(log.events.contains(QStringLiteral("Error %1 A conversion is already running.").arg(kErrBusy)));
        QVERIFY(log.events.contains(QStringLiteral("Done")));
    }

    void destroyedWhileRunning()
    {
        auto* c = new AudioConverterImpl;
        c->SetSourceFile(m_wav);
        c->SetOutputFile(path(QStringLiteral("orphan.mp3")));
        c->SetOutputFormat(kOutputMP3);
        c->StartConvert();
        QTest::qWait(20);
        delete c;  // aborts and waits; queued events are dropped
        QTest::qWait(50);
        QVERIFY(!QFile::exists(path(QStringLiteral("orphan.mp3"))));
        QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());
    }

    void acmCatalogue()
    {
        AudioConverterImpl c;
        QStringList tags, formats;
        connect(&c, &cAudioConverter::ACMTagFound, &c, [&](const QString& t) { tags << t; });
        connect(&c, &cAudioConverter::ACMFormatFound, &c, [&](const QString& f) { formats << f; });
        c.EnumACMTags(1, 44100, 2, 16, 0);
        for (const char* name : {"PCM", "CCITT A-Law", "CCITT u-Law", "IMA ADPCM", "MS ADPCM", "G.726 ADPCM", "G.722 ADPCM"})
            QVERIFY2(tags.contains(QLatin1String(name)), name);
        // Only codecs that take the source's rate and channels unchanged.
        tags.clear();
        c.EnumACMTags(1, 44100, 2, 16, 0x100000);
        QVERIFY(tags.contains(QStringLiteral("IMA ADPCM")));
        QVERIFY(!tags.contains(QStringLiteral("G.726 ADPCM")));
        tags.clear();
        c.EnumACMTags(1, 8000, 1, 16, 0x100000);
        QVERIFY(tags.contains(QStringLiteral("G.726 ADPCM")));
        tags.clear();
        c.EnumACMTags(85, 44100, 2, 16, 0);  // not PCM
        QVERIFY(tags.isEmpty());
        c.EnumACMFormats(QStringLiteral("PCM"));
        QCOMPARE(formats.value(0), QStringLiteral("44100 Hz, 16 Bit, Stereo"));
        formats.clear();
        c.EnumACMFormats(QString());
        QVERIFY(formats.isEmpty());
    }

    void wmaCatalogue()
    {
        AudioConverterImpl c;
        QCOMPARE(c.GetWMACodecCount(), 2);
        qint32 i = 0, j = 0, bad = 7;
        QCOMPARE(c.GetWMACodecName(i), QStringLiteral("WMA Version 2"));
        QVERIFY(c.GetWMAFormatCount(0) > 3);
        QCOMPARE(c.GetWMAFormatName(0, j), QStringLiteral("128 kbps, 44100 Hz, Stereo"));
        QCOMPARE(c.GetWMACodecName(bad), QString());
        QCOMPARE(c.GetWMAFormatCount(bad), 0);
        QCOMPARE(c.GetWMAFormatName(0, bad = 99), QString());
    }
};

int main(int argc, char* argv[])
{
    if (argc == 4 && qstrcmp(argv[1], "--child-convert") == 0) {
        QCoreApplication app(argc, argv);
        return runChildConversion(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    }
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    tst_AudioConverter t;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&t, argc, argv);
}
#include "tst_audioconverter.moc"
