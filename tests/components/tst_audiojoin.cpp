// The join component on audio made by other programs (sox, lame) and by the tests: the
// entries joined in order into WAV and MP3, each whole or as its range, resampled to the
// output format; PCM sample bytes copied unchanged; the event protocol; the refusals that
// keep the sources and an existing output safe; abort.
#include "components/audio/MediaProbe.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cAudioJoin/AudioJoinImpl.h"
#include "components/cAudioJoin/JoinPipeline.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/ExternalTools.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace AudioFixtures;

namespace {

// Every event of a join component in arrival order.
struct EventLog : QObject {
    QStringList events;
    QList<QPair<int, int>> progress;  // entry, percent
    explicit EventLog(cAudioJoin* c)
    {
        connect(c, &cAudioJoin::Progress, this, [this](qint32 e, qint32 p) { progress << qMakePair(e, p); });
        connect(c, &cAudioJoin::Done, this, [this] { events << QStringLiteral("Done"); });
        connect(c, &cAudioJoin::Aborted, this, [this] { events << QStringLiteral("Aborted"); });
        connect(c, &cAudioJoin::Error, this,
                [this](qint32 code, const QString& d) { events << QStringLiteral("Error %1 %2").arg(code).arg(d); });
    }
    bool waitEnd(int ms = 120000) { return QTest::qWaitFor([&] { return !events.isEmpty(); }, ms); }
};

void setFormat(cAudioJoin& c, const EncoderSettings& s)
{
    c.SetOutputFormat(s.OutputFormat);
    WAVSettings w = s.WAV;
    c.SetWAVSettings(w);
    MP3Settings m = s.MP3;
    c.SetMP3Settings(m);
}

void add(cAudioJoin& c, const QString& file, qint32 start = -1, qint32 length = -1)
{
    c.AddFile(file, start, length);
}

// Sign changes of one channel of interleaved 16-bit samples.
int zeroCrossings(const QByteArray& pcm, int channels, int channel)
{
    const auto* s = reinterpret_cast<const qint16*>(pcm.constData());
    const qsizetype frames = pcm.size() / (2 * channels);
    int n = 0;
    for (qsizetype i = 1; i < frames; ++i)
        if ((s[(i - 1) * channels + channel] < 0) != (s[i * channels + channel] < 0))
            ++n;
    return n;
}

}  // namespace

class tst_AudioJoin : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString one() const { return path(QStringLiteral("one.wav")); }     // 2 s, 44.1 kHz stereo, sox
    QString two() const { return path(QStringLiteral("two.flac")); }    // 3 s of 300 Hz, 22.05 kHz mono, sox
    QString three() const { return path(QStringLiteral("three.mp3")); } // 2 s, 44.1 kHz stereo, lame

    // Joins with the real component and waits for its one terminal event.
    QString join(AudioJoinImpl& c, EventLog& log, const QString& output)
    {
        c.SetOutputFile(output);
        c.StartJoin();
        if (!log.waitEnd())
            return QStringLiteral("timeout");
        QTest::qWait(20);  // nothing may follow the terminal event
        return log.events.join(QLatin1Char('|'));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QString error;
        QVERIFY2(ExternalTools::SoxSynth(one(), 44100, 2, 16, QStringLiteral("2"), QStringLiteral("sine 440 whitenoise"),
                                         &error),
                 qPrintable(error));
        QVERIFY2(ExternalTools::SoxSynth(two(), 22050, 1, 16, QStringLiteral("3"), QStringLiteral("sine 300"), &error),
                 qPrintable(error));
        const QString noise2 = path(QStringLiteral("noise.wav"));
        QVERIFY(writeWav(noise2, 44100, 2, 16, noise(2 * 44100, 2, 7)));
        QVERIFY2(ExternalTools::Lame128(noise2, three(), &error), qPrintable(error));
    }

    // A 44.1 kHz stereo WAV, one second of a 22.05 kHz mono FLAC and an MP3, joined into a
    // 16-bit 44.1 kHz stereo WAV: the WAV's samples unchanged, then the FLAC's second
    // resampled (twice as many frames, both channels alike, still 300 Hz), then exactly
    // the MP3's decoded samples; tagged; every entry reported from its start to its 100.
    void joinsInOrderIntoWav()
    {
        const QString out = path(QStringLiteral("joined.wav"));
        AudioJoinImpl c;
        EventLog log(&c);
        setFormat(c, wavSettings(44100, 2, 16));
        c.SetTagTitle(QStringLiteral("Joined title"));
        c.SetTagArtist(QStringLiteral("The Testers"));
        add(c, one());
        add(c, two(), 1, 1);
        add(c, three());
        QCOMPARE(join(c, log, out), QStringLiteral("Done"));

        const QByteArray data = wavData(out);
        const QByteArray first = wavData(one());
        const Pcm16 last = decodePcm16(three());
        QCOMPARE(last.rate, 44100);
        QVERIFY(data.startsWith(first));
        QVERIFY(data.endsWith(last.bytes));
        const QByteArray middle = data.mid(first.size(), data.size() - first.size() - last.bytes.size());
        const qint64 middleFrames = middle.size() / 4;
        QVERIFY2(qAbs(middleFrames - 44100) <= 64, qPrintable(QString::number(middleFrames)));
        const auto* s = reinterpret_cast<const qint16*>(middle.constData());
        for (qint64 i = 0; i < middleFrames; ++i)
            QCOMPARE(s[2 * i], s[2 * i + 1]);
        QVERIFY(qAbs(zeroCrossings(middle, 2, 0) - 600) <= 4);

        const AudioTags tags = ReadMediaTags(out);
        QCOMPARE(tags.Title, QStringLiteral("Joined title"));
        QCOMPARE(tags.Artist, QStringLiteral("The Testers"));

        QList<int> entries;
        for (const auto& p : log.progress) {
            QVERIFY(p.second >= 0 && p.second <= 100);
            if (entries.isEmpty() || entries.last() != p.first)
                entries << p.first;
        }
        QCOMPARE(entries, (QList<int>{1, 2, 3}));
        QVERIFY(log.progress.contains(qMakePair(1, 100)));
        QVERIFY(log.progress.contains(qMakePair(2, 100)));
        QVERIFY(log.progress.contains(qMakePair(3, 100)));
        QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());
    }

    // The same entries into MP3: one stream of their length, tagged.
    void joinsIntoMp3()
    {
        const QString out = path(QStringLiteral("joined.mp3"));
        AudioJoinImpl c;
        EventLog log(&c);
        setFormat(c, mp3Settings(128));
        c.SetTagTitle(QStringLiteral("Joined title"));
        add(c, one());
        add(c, two(), 1, 1);
        add(c, three());
        QCOMPARE(join(c, log, out), QStringLiteral("Done"));
        const Decoded d = decode(out);
        QCOMPARE(d.rate, 44100);
        QCOMPARE(d.channels, 2);
        const qint64 expected = 2 * 44100 + 44100 + decodePcm16(three()).frames();
        QVERIFY2(qAbs(d.frames() - expected) <= 2 * 1152, qPrintable(QString::number(d.frames())));
        QCOMPARE(ReadMediaTags(out).Title, QStringLiteral("Joined title"));
    }

    // PCM WAV entries of the output's format have their bytes copied; with the copy
    // switched off the decoder path gives the same bytes.
    void pcmEntries_data()
    {
        QTest::addColumn<bool>("allowCopy");
        QTest::newRow("copied") << true;
        QTest::newRow("decoded") << false;
    }
    void pcmEntries()
    {
        QFETCH(bool, allowCopy);
        const QString a = path(QStringLiteral("a.wav")), b = path(QStringLiteral("b.wav"));
        QVERIFY(writeWav(a, 22050, 1, 16, noise(3 * 22050, 1, 3)));
        QVERIFY(writeWav(b, 22050, 1, 16, noise(2 * 22050 + 17, 1, 4)));
        JoinRequest req;
        req.entries = {JoinEntry{b}, JoinEntry{a, 1, 1}, JoinEntry{a, 2, 0}, JoinEntry{b, 2, 5}};
        req.output = path(QStringLiteral("pcm-%1.wav").arg(QLatin1String(QTest::currentDataTag())));
        req.settings = wavSettings(22050, 1, 16);
        req.allowCopy = allowCopy;
        JobControl control;
        JoinStats stats;
        const JobOutcome r = RunJoin(req, control, &stats);
        QCOMPARE(r.kind, JobOutcome::Done);
        QCOMPARE(stats.copied, allowCopy);
        const QByteArray da = wavData(a), db = wavData(b);
        // b whole, second 1 of a, a from second 2 to its end, b from second 2 (17 samples).
        const QByteArray expected = db + da.mid(22050 * 2, 22050 * 2) + da.mid(2 * 22050 * 2) + db.mid(2 * 22050 * 2);
        QCOMPARE(wavData(req.output).size(), expected.size());
        QVERIFY(wavData(req.output) == expected);
        QCOMPARE(stats.entrySamples, (QList<qint64>{2 * 22050 + 17, 22050, 22050, 17}));
    }

    // Nothing is written, and an existing output stays as it was, when a join cannot be
    // done: exactly one Error event says why.
    void refusals_data()
    {
        QTest::addColumn<QString>("entry");   // the second entry; "OUT" stands for the output
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("code");
        QTest::newRow("output is an entry") << "OUT" << -1 << -1 << int(kOutputWAV) << int(kErrOutputSameAsSource);
        QTest::newRow("missing entry") << "missing.wav" << -1 << -1 << int(kOutputWAV) << int(kErrSourceMissing);
        QTest::newRow("range after the end") << "two.flac" << 3 << 1 << int(kOutputMP3) << int(kErrBadRange);
        QTest::newRow("range after the end of a WAV") << "one.wav" << 5 << 1 << int(kOutputWAV) << int(kErrBadRange);
        QTest::newRow("start before the beginning") << "one.wav" << -2 << 1 << int(kOutputWAV) << int(kErrBadRange);
        QTest::newRow("APE") << "one.wav" << -1 << -1 << int(kOutputAPE) << int(kErrFormatUnsupported);
    }
    void refusals()
    {
        QFETCH(QString, entry);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(int, format);
        QFETCH(int, code);
        const QString out = path(QStringLiteral("existing.wav"));
        QFile::remove(out);
        QFile::copy(one(), out);
        const QByteArray before = wavData(out);
        AudioJoinImpl c;
        EventLog log(&c);
        EncoderSettings s = wavSettings(44100, 2, 16);
        s.OutputFormat = format;
        setFormat(c, s);
        add(c, one());
        add(c, entry == QLatin1String("OUT") ? out : path(entry), start, length);
        const QString events = join(c, log, out);
        QVERIFY2(events.startsWith(QStringLiteral("Error %1 ").arg(code)), qPrintable(events));
        QCOMPARE(log.events.size(), 1);
        QVERIFY(wavData(out) == before);
        QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());
    }

    // Abort while joining gives Aborted only; no output, an existing one left as it was.
    void abortLeavesNoOutput()
    {
        const QString src = path(QStringLiteral("long.wav"));
        QVERIFY(writeWav(src, 44100, 2, 16, noise(20 * 44100, 2, 9)));
        const QString out = path(QStringLiteral("aborted.mp3"));
        {
            QFile f(out);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old content");
        }
        AudioJoinImpl c;
        EventLog log(&c);
        setFormat(c, mp3Settings(128));
        add(c, src);
        add(c, src);
        c.SetOutputFile(out);
        c.StartJoin();
        QVERIFY(c.IsJoining());
        QThread::msleep(30);
        c.Abort();
        c.Reset();
        QVERIFY(log.waitEnd());
        QTest::qWait(50);
        QCOMPARE(log.events, QStringList{QStringLiteral("Aborted")});
        QVERIFY(!c.IsJoining());
        QCOMPARE(TestFiles::ReadBytes(out), QByteArray("old content"));
        QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());
    }

    // A file that appears under the output's name while the join runs (another job's
    // output) is left as it is and the join fails saying so, whether or not replacing the
    // file that was there before was agreed.
    void outputAppearingMeanwhile_data()
    {
        QTest::addColumn<bool>("agreed");
        QTest::newRow("no file there, then another job's") << false;
        QTest::newRow("a file agreed to, then another job's") << true;
    }
    void outputAppearingMeanwhile()
    {
        QFETCH(bool, agreed);
        const QString out = path(QStringLiteral("meanwhile.wav"));
        QFile::remove(out);
        if (agreed)
            QVERIFY(QFile::copy(three(), out));
        AudioJoinImpl c;
        EventLog log(&c);
        setFormat(c, wavSettings(44100, 2, 16));
        add(c, one());
        add(c, one());
        c.SetOutputFile(out);
        c.SetOverwriteAgreed(ReadFileIdentity(out));
        c.StartJoin();
        // No event has been delivered yet: the joined file is not in place.
        QFile::remove(out);
        {
            QFile other(out);
            QVERIFY(other.open(QIODevice::WriteOnly));
            other.write("another job's output");
        }
        QVERIFY(log.waitEnd());
        QTest::qWait(20);
        QCOMPARE(log.events,
                 QStringList{QStringLiteral("Error %1 The output file \"%2\" was not written: a file of that name "
                                            "appeared while the job ran, and it is left as it is.")
                                 .arg(kErrOutputUnwritable)
                                 .arg(out)});
        QCOMPARE(TestFiles::ReadBytes(out), QByteArray("another job's output"));
        QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());
        QFile::remove(out);
    }

    // The list: entries numbered from 1, removal moves the later ones up, numbers that name
    // no entry change nothing; Close empties it.
    // A joined file may have any name the file system allows, up to 255 bytes: the
    // temporary file beside it is named short.
    void longestNamesAreWritten_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("241 bytes") << QString(237, u'a') + QStringLiteral(".wav");
        QTest::newRow("255 bytes") << QString(251, u'b') + QStringLiteral(".wav");
    }
    void longestNamesAreWritten()
    {
        QFETCH(QString, name);
        const QString out = path(name);
        AudioJoinImpl c;
        EventLog log(&c);
        setFormat(c, wavSettings(44100, 2, 16));
        add(c, one());
        add(c, one());
        QCOMPARE(join(c, log, out), QStringLiteral("Done"));
        QCOMPARE(wavData(out), wavData(one()) + wavData(one()));
        QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());
        QFile::remove(out);
    }

    void entryList()
    {
        AudioJoinImpl c;
        add(c, QStringLiteral("/a.wav"));
        add(c, QStringLiteral("/b.mp3"), 30, 45);
        add(c, QStringLiteral("/c.flac"));
        qint32 s = 0, l = 0;
        QCOMPARE(c.GetFileCount(), 3);
        QCOMPARE(c.GetFile(2, s, l), QStringLiteral("/b.mp3"));
        QCOMPARE(c.Entries()[1].Start, 30);
        QCOMPARE(c.Entries()[1].Length, 45);
        QVERIFY(c.Entries()[0].whole());
        c.RemoveFile(0);
        c.RemoveFile(4);
        QCOMPARE(c.GetFileCount(), 3);
        c.RemoveFile(1);
        QCOMPARE(c.GetFile(1, s, l), QStringLiteral("/b.mp3"));
        QCOMPARE(c.GetFile(3, s, l), QString());
        c.Close();
        QCOMPARE(c.GetFileCount(), 0);
    }
};

QTEST_MAIN(tst_AudioJoin)
#include "tst_audiojoin.moc"
