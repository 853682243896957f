// The real speech component over the speech engine, SDL's disk driver standing in for the
// sound card: the voices and formats it offers, files in each format, speech heard word by
// word in step with the output and sample for sample the file's, stop, pause, rate and
// volume, a file render during speech, closing, and the errors of a file that cannot be
// written.
#include "components/audio/MediaProbe.h"
#include "components/cOrvelle/OrvelleImpl.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/SmallDisk.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace AudioFixtures;

namespace {

const QString kSentence = QStringLiteral("Café über naïve Zoë 😀 end.");

struct Heard {
    QStringList words;         // the text of each WordPosition, in order
    QList<qint64> atMs;        // when each came, after Speak
    qint64 doneMs = -1;
    int dones = 0;
};

// The samples of a device or file, without the silence before and after them.
QByteArray withoutSilenceAround(const QByteArray& bytes, int frameBytes)
{
    qsizetype first = 0, end = bytes.size() / frameBytes * frameBytes;
    auto silent = [&](qsizetype at) {
        for (int i = 0; i < frameBytes; ++i)
            if (bytes[at + i] != 0)
                return false;
        return true;
    };
    while (first < end && silent(first))
        first += frameBytes;
    while (end > first && silent(end - frameBytes))
        end -= frameBytes;
    return bytes.mid(first, end - first);
}

double seconds(const QString& wav, int frameBytes, int rate)
{
    return double(wavData(wav).size()) / frameBytes / rate;
}

double rms(const QByteArray& pcm16)
{
    const auto* s = reinterpret_cast<const qint16*>(pcm16.constData());
    const qsizetype n = pcm16.size() / 2;
    double sum = 0;
    for (qsizetype i = 0; i < n; ++i)
        sum += double(s[i]) * s[i];
    return n ? std::sqrt(sum / double(n)) : 0;
}

} // namespace

class tst_orvelle : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_device = 0;

    // A new output file for the disk driver; paced in real time unless `fast`.
    QString nextDevice(bool fast)
    {
        const QString path = m_dir.filePath(QStringLiteral("device%1.raw").arg(++m_device));
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(path));
        if (fast)
            qputenv("SDL_DISKAUDIODELAY", "0");
        else
            qunsetenv("SDL_DISKAUDIODELAY");
        return path;
    }

    static void setUp(cOrvelle& o, qint32 formatId, qint32 rate = 0, qint32 volume = 100)
    {
        o.SetOutputIndex(-1);
        o.SetVoiceIndex(o.GetVoiceCount() > 0 ? englishVoice(o) : -1);
        o.SetRate(rate);
        o.SetVolume(volume);
        o.SetSpeakFlags(11);
        o.SetFormatId(formatId);
    }

    static qint32 englishVoice(cOrvelle& o)
    {
        for (qint32 i = 1; i <= o.GetVoiceCount(); ++i)
            if (o.GetVoiceName(i).startsWith(QStringLiteral("English")))
                return i - 1;
        return 0;
    }

    QString toFile(cOrvelle& o, const QString& text, const QString& name)
    {
        QString file = m_dir.filePath(name);
        const qint32 r = o.SpeakToFile(text, file);
        return r == 0 ? file : QString();
    }

    static Heard listen(cOrvelle& o, const QString& text, int timeoutMs = 20000)
    {
        Heard h;
        QElapsedTimer clock;
        QObject::connect(&o, &cOrvelle::WordPosition, &o, [&](qint32 start, qint32 length) {
            h.words << text.mid(start, length);
            h.atMs << clock.elapsed();
        });
        QObject::connect(&o, &cOrvelle::Done, &o, [&] {
            ++h.dones;
            h.doneMs = clock.elapsed();
        });
        clock.start();
        o.Speak(text);
        (void)QTest::qWaitFor([&] { return h.dones > 0; }, timeoutMs);
        QTest::qWait(100);  // nothing more may come
        o.disconnect(&o);
        return h;
    }

private slots:
    void initTestCase()
    {
        qputenv("SDL_AUDIODRIVER", "disk");
        nextDevice(true);
    }

    void voicesAndFormats()
    {
        OrvelleImpl a, b;
        QVERIFY(a.GetVoiceCount() > 10);
        QStringList names;
        for (qint32 i = 1; i <= a.GetVoiceCount(); ++i)
            names << a.GetVoiceName(i);
        // A stable order: sorted, and the same for every component.
        QStringList sorted = names;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const QString& x, const QString& y) { return x.compare(y, Qt::CaseInsensitive) < 0; });
        QCOMPARE(names, sorted);
        QCOMPARE(b.GetVoiceCount(), a.GetVoiceCount());
        qint32 last = b.GetVoiceCount();
        QCOMPARE(b.GetVoiceName(last), names.last());
        qint32 past = last + 1;
        QCOMPARE(a.GetVoiceName(past), QString());

        // Every format is reported before EnumFormats returns.
        QList<QPair<QString, qint32>> found;
        connect(&a, &cOrvelle::FormatFound, this, [&](const QString& n, qint32 id) { found << qMakePair(n, id); });
        a.EnumFormats();
        QCOMPARE(found.size(), 9 * 2 * 2);
        QCOMPARE(found.first(), qMakePair(QStringLiteral("SAFT8kHz8BitMono"), 4));
        QVERIFY(found.contains(qMakePair(QStringLiteral("SAFT22kHz16BitMono"), 22)));
        QCOMPARE(found.last(), qMakePair(QStringLiteral("SAFT48kHz16BitStereo"), 39));
    }

    void filesInEachFormat_data()
    {
        QTest::addColumn<qint32>("id");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("bits");
        QTest::newRow("22 kHz 16 bit mono") << 22 << 22050 << 1 << 16;
        QTest::newRow("8 kHz 8 bit mono") << 4 << 8000 << 1 << 8;
        QTest::newRow("48 kHz 16 bit stereo") << 39 << 48000 << 2 << 16;
        QTest::newRow("11 kHz 8 bit stereo") << 9 << 11025 << 2 << 8;
    }

    void filesInEachFormat()
    {
        QFETCH(qint32, id);
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(int, bits);
        OrvelleImpl o;
        setUp(o, 22);
        // Heard first, the text is written from the speech heard, in each format.
        nextDevice(true);
        QCOMPARE(listen(o, kSentence).dones, 1);
        const QString reference = toFile(o, kSentence, QStringLiteral("reference.wav"));
        QVERIFY(!reference.isEmpty());
        setUp(o, id);
        const QString file = toFile(o, kSentence, QStringLiteral("format%1.wav").arg(id));
        QVERIFY2(!file.isEmpty(), qPrintable(o.LastErrorText()));
        const WavLayout w = ParseWavLayout(file);
        QVERIFY(w.pcm);
        QCOMPARE(w.sampleRate, rate);
        QCOMPARE(w.channels, channels);
        QCOMPARE(w.bitsPerSample, bits);
        // The same speech: its length within a few milliseconds of the engine's own rate.
        QVERIFY(std::abs(seconds(file, channels * bits / 8, rate) - seconds(reference, 2, 22050)) < 0.005);
        // And sound, not silence.
        const Decoded d = decode(file);
        float peak = 0;
        for (float s : d.samples)
            peak = std::max(peak, std::abs(s));
        QVERIFY(peak > 0.1f);
    }

    void speaksWordByWordAsTheFileSounds()
    {
        // GIVEN a sentence with accented words and a symbol outside the 16-bit range
        OrvelleImpl o;
        // WHEN it is spoken on an output paced in real time
        const QString device = nextDevice(false);
        setUp(o, 22);
        const Heard h = listen(o, kSentence);
        // ... and then saved, at the normal rate and loudness, as the window saves it
        setUp(o, 22);
        const QString file = toFile(o, kSentence, QStringLiteral("sentence.wav"));
        QVERIFY(!file.isEmpty());
        const double length = seconds(file, 2, 22050);
        // THEN each word came once, in order, as its text
        QCOMPARE(h.words, (QStringList{"Café", "über", "naïve", "Zoë", "😀", "end"}));
        QCOMPARE(h.dones, 1);
        // ... in step with the sound: spread over it, not all at once, and Done at its end
        QVERIFY2(h.atMs.last() - h.atMs.first() > 0.5 * length * 1000, qPrintable(QString::number(h.atMs.last())));
        QVERIFY(h.doneMs > 0.9 * length * 1000);
        for (int i = 1; i < h.atMs.size(); ++i)
            QVERIFY(h.atMs[i] >= h.atMs[i - 1]);
        QVERIFY(!o.BusyState());
        // ... and the output played exactly the file's samples.
        QFile out(device);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(withoutSilenceAround(out.readAll(), 2), withoutSilenceAround(wavData(file), 2));
    }

    void stopEndsAtOnce()
    {
        OrvelleImpl o;
        setUp(o, 22);
        const QString device = nextDevice(false);
        const QString text = QStringLiteral("One two three four five six seven eight nine ten eleven twelve.");
        QSignalSpy words(&o, &cOrvelle::WordPosition);
        QSignalSpy done(&o, &cOrvelle::Done);
        o.Speak(text);
        QVERIFY(o.BusyState());
        QTRY_VERIFY_WITH_TIMEOUT(words.size() >= 2, 10000);
        o.StopSpeech();
        QVERIFY(!o.BusyState());
        const qint64 size = QFileInfo(device).size();
        const qsizetype heard = words.size();
        QTest::qWait(400);
        // Nothing more is played or reported, and the speech did not end as done.
        QCOMPARE(QFileInfo(device).size(), size);
        QCOMPARE(words.size(), heard);
        QCOMPARE(done.size(), 0);
        QVERIFY(heard < 12);
    }

    void pauseHoldsTheWords()
    {
        OrvelleImpl o;
        setUp(o, 22);
        nextDevice(false);
        QSignalSpy words(&o, &cOrvelle::WordPosition);
        QSignalSpy done(&o, &cOrvelle::Done);
        o.Speak(QStringLiteral("One two three four five six."));
        QTRY_VERIFY_WITH_TIMEOUT(words.size() >= 1, 10000);
        o.Pause(true);
        QTest::qWait(100);
        const qsizetype heard = words.size();
        QTest::qWait(700);
        QCOMPARE(words.size(), heard);
        QCOMPARE(done.size(), 0);
        o.Pause(false);
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 10000);
        QCOMPARE(words.size(), 6);
    }

    void rateAndVolume()
    {
        OrvelleImpl o;
        const QString text = QStringLiteral("The quick brown fox jumps over the lazy dog.");
        QList<double> lengths;
        for (qint32 rate : {-10, 0, 10}) {
            setUp(o, 22, rate);
            const QString file = toFile(o, text, QStringLiteral("rate%1.wav").arg(rate));
            QVERIFY(!file.isEmpty());
            lengths << seconds(file, 2, 22050);
        }
        QVERIFY2(lengths[0] > lengths[1] * 1.3 && lengths[1] > lengths[2] * 1.3,
                 qPrintable(QStringLiteral("%1 %2 %3").arg(lengths[0]).arg(lengths[1]).arg(lengths[2])));

        // Volume 0 is silent, on a file as on the output; 100 is not.
        setUp(o, 22, 0, 0);
        const QString silent = toFile(o, text, QStringLiteral("silent.wav"));
        QVERIFY(!silent.isEmpty() && !wavData(silent).isEmpty());
        QCOMPARE(rms(wavData(silent)), 0.0);
        const QString device = nextDevice(true);
        setUp(o, 22, 0, 0);
        QCOMPARE(listen(o, text).dones, 1);
        QFile out(device);
        QVERIFY(out.open(QIODevice::ReadOnly));
        const QByteArray played = out.readAll();
        QVERIFY(played.size() > 22050);
        QCOMPARE(played.count('\0'), played.size());
        setUp(o, 22, 0, 100);
        QVERIFY(rms(wavData(toFile(o, text, QStringLiteral("loud.wav")))) > 500);
    }

    void fileDuringSpeechHoldsOnlyItsText()
    {
        OrvelleImpl o;
        setUp(o, 22);
        const QString alone = toFile(o, QStringLiteral("Only this."), QStringLiteral("alone.wav"));
        nextDevice(false);
        QSignalSpy words(&o, &cOrvelle::WordPosition);
        QSignalSpy done(&o, &cOrvelle::Done);
        o.Speak(QStringLiteral("A long sentence that is still being spoken when the file is asked for."));
        QTRY_VERIFY_WITH_TIMEOUT(words.size() >= 1, 10000);
        const QString during = toFile(o, QStringLiteral("Only this."), QStringLiteral("during.wav"));
        QVERIFY(!during.isEmpty());
        // Only its own text: as long as that text alone (the engine varies a speech by a
        // few milliseconds from one time to the next), far shorter than the sentence.
        QVERIFY2(std::abs(seconds(during, 2, 22050) - seconds(alone, 2, 22050)) < 0.1,
                 qPrintable(QStringLiteral("%1 s against %2 s").arg(seconds(during, 2, 22050)).arg(seconds(alone, 2, 22050))));
        // The speech was ended by it.
        const qsizetype heard = words.size();
        QTest::qWait(500);
        QCOMPARE(words.size(), heard);
        QCOMPARE(done.size(), 0);
        QVERIFY(!o.BusyState());
    }

    void closeEndsEverythingAndOpensAgain()
    {
        nextDevice(true);
        {
            OrvelleImpl o;
            setUp(o, 22);
            QSignalSpy words(&o, &cOrvelle::WordPosition);
            QSignalSpy done(&o, &cOrvelle::Done);
            o.Speak(QStringLiteral("Closing while this is spoken."));
            o.CloseSpeech();
            QTest::qWait(500);
            QCOMPARE(words.size(), 0);
            QCOMPARE(done.size(), 0);
        }
        // A component made afterwards speaks as the first did.
        OrvelleImpl again;
        setUp(again, 22);
        const Heard h = listen(again, QStringLiteral("Open again."));
        QCOMPARE(h.words, (QStringList{"Open", "again"}));
        QCOMPARE(h.dones, 1);
    }

    void filesThatCannotBeWritten()
    {
        OrvelleImpl o;
        setUp(o, 22);
        QString missing = m_dir.filePath(QStringLiteral("no such folder/speech.wav"));
        QCOMPARE(o.SpeakToFile(kSentence, missing), qint32(kOrvelleErrWrite));
        QVERIFY(o.LastErrorText().contains(missing));
        QVERIFY(!QFileInfo::exists(missing));

        // A full disk: the file is not left half written.
        const QString small = m_dir.filePath(QStringLiteral("small"));
        QVERIFY(QDir().mkpath(small));
        SmallDisk disk;
        QString why;
        if (!disk.mount(small, why))
            QSKIP(qPrintable(why));
        QString full = small + QStringLiteral("/speech.wav");
        QCOMPARE(o.SpeakToFile(QStringLiteral("A text too long for a small disk. ").repeated(20), full),
                 qint32(kOrvelleErrWrite));
        QVERIFY(!QFileInfo::exists(full));
        QVERIFY(QDir(small).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
};

QTEST_MAIN(tst_orvelle)
#include "tst_orvelle.moc"
