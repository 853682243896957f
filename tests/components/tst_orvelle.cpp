// The real speech component over the speech engine, SDL's disk driver standing in for the
// sound card: the voices and formats it offers, files in each format, speech heard word by
// word in step with the output and sample for sample the file's, stop, pause, rate and
// volume, a file render during speech, a file written while the caller's thread goes on
// (its progress, its stop, closing), a NUL in the text, closing, and the errors of a file
// that cannot be written.
#include "components/audio/MediaProbe.h"
#include "components/cOrvelle/OrvelleImpl.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/SmallDisk.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
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

    // How a speech file ended: its events, in order ("Progress 12", "Done", "Aborted",
    // "Error 4 <description>").
    struct FileEvents {
        QStringList events;
        QStringList ends() const { return events.filter(QRegularExpression(QStringLiteral("^(Done|Aborted|Error)"))); }
    };

    static void record(cOrvelle& o, FileEvents& e)
    {
        QObject::connect(&o, &cOrvelle::FileProgress, &o, [&e](qint32 p) { e.events << QStringLiteral("Progress %1").arg(p); });
        QObject::connect(&o, &cOrvelle::FileDone, &o, [&e] { e.events << QStringLiteral("Done"); });
        QObject::connect(&o, &cOrvelle::FileAborted, &o, [&e] { e.events << QStringLiteral("Aborted"); });
        QObject::connect(&o, &cOrvelle::FileError, &o, [&e](qint32 code, const QString& why) {
            e.events << QStringLiteral("Error %1 %2").arg(code).arg(why);
        });
    }

    // Writes the speech file and waits for its end: its path when it ended well.
    QString toFile(cOrvelle& o, const QString& text, const QString& name, FileEvents* seen = nullptr)
    {
        QString file = m_dir.filePath(name);
        FileEvents e;
        record(o, e);
        const qint32 r = o.SpeakToFile(text, file);
        const bool ended = QTest::qWaitFor([&] { return !e.ends().isEmpty(); }, 60000);
        o.disconnect(&o);
        if (seen)
            *seen = e;
        return r == 0 && ended && e.ends() == QStringList{QStringLiteral("Done")} ? file : QString();
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

    void aFileIsWrittenWhileTheCallerGoesOn()
    {
        // GIVEN a text of some minutes of speech and a timer of the caller's thread
        OrvelleImpl o;
        setUp(o, 22);
        const QString text = QStringLiteral("The window goes on while its speech is written into a file. ").repeated(40);
        int ticks = 0;
        QTimer tick;
        tick.setInterval(5);
        connect(&tick, &QTimer::timeout, this, [&] { ++ticks; });
        tick.start();
        // WHEN the speech is written into a file
        FileEvents e;
        bool thereAtOnce = true;
        QTimer::singleShot(0, this, [&] { thereAtOnce = QFileInfo::exists(m_dir.filePath(QStringLiteral("minutes.wav"))); });
        const QString file = toFile(o, text, QStringLiteral("minutes.wav"), &e);
        // THEN SpeakToFile returned before the file was there, and the timer went on
        // ticking while it was written; the progress rose to 100 before the one end, Done
        QVERIFY(!file.isEmpty());
        QVERIFY(!thereAtOnce);
        QVERIFY2(ticks >= 3, qPrintable(QString::number(ticks)));
        QCOMPARE(e.events.last(), QStringLiteral("Done"));
        QCOMPARE(e.ends().size(), 1);
        QList<int> progress;
        for (const QString& p : e.events.filter(QStringLiteral("Progress ")))
            progress << p.mid(9).toInt();
        QVERIFY(progress.size() >= 3);
        QVERIFY(std::is_sorted(progress.begin(), progress.end()));
        QVERIFY(progress.first() > 0 && progress.first() < 100);
        QCOMPARE(progress.last(), 100);
        // ... and the file holds all of it: as long as the speech heard of the same text.
        nextDevice(true);
        setUp(o, 22);
        QCOMPARE(listen(o, text, 60000).dones, 1);
        FileEvents again;
        const QString heard = toFile(o, text, QStringLiteral("heard.wav"), &again);
        QVERIFY2(std::abs(seconds(file, 2, 22050) - seconds(heard, 2, 22050)) < 0.5,
                 qPrintable(QStringLiteral("%1 s against %2 s").arg(seconds(file, 2, 22050)).arg(seconds(heard, 2, 22050))));
        QVERIFY(seconds(file, 2, 22050) > 60);
        // The speech just heard is written in steps too.
        QCOMPARE(again.events.last(), QStringLiteral("Done"));
        QCOMPARE(again.events.filter(QStringLiteral("Progress ")).last(), QStringLiteral("Progress 100"));
    }

    void stopEndsAFileWithinASecond()
    {
        // GIVEN about an hour of speech being written over an older file
        OrvelleImpl o;
        setUp(o, 22);
        const QString text = QStringLiteral("Stopped long before the end of this text. ").repeated(1400);
        QString file = m_dir.filePath(QStringLiteral("stopped.wav"));
        QFile old(file);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("the old file") == 12);
        old.close();
        FileEvents e;
        record(o, e);
        QCOMPARE(o.SpeakToFile(text, file), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!e.events.isEmpty(), 20000);
        // WHEN the speech is stopped
        QElapsedTimer clock;
        clock.start();
        o.StopSpeech();
        // THEN it ends, aborted, within a second, leaving the old file and nothing else
        QTRY_VERIFY_WITH_TIMEOUT(!e.ends().isEmpty(), 1000);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(e.ends(), QStringList{QStringLiteral("Aborted")});
        QTest::qWait(100);
        QCOMPARE(e.ends().size(), 1);
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(old.readAll(), QByteArray("the old file"));
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("*.tmp-*")}, QDir::Files | QDir::Hidden), QStringList());
        o.disconnect(&o);
    }

    void closingEndsAFileWithoutAWord()
    {
        OrvelleImpl o;
        setUp(o, 22);
        FileEvents e;
        record(o, e);
        QString file = m_dir.filePath(QStringLiteral("closed.wav"));
        o.SpeakToFile(QStringLiteral("Closed before this is written. ").repeated(1400), file);
        QTRY_VERIFY_WITH_TIMEOUT(!e.events.isEmpty(), 20000);
        o.CloseSpeech();
        QTest::qWait(300);
        QCOMPARE(e.ends(), QStringList());
        QVERIFY(!QFileInfo::exists(file));
        QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("*.tmp-*")}, QDir::Files | QDir::Hidden), QStringList());
        o.disconnect(&o);
        // The component speaks files again afterwards.
        setUp(o, 22);
        QVERIFY(!toFile(o, QStringLiteral("Open again."), QStringLiteral("again.wav")).isEmpty());
    }

    void aNulIsSpokenAsABlank()
    {
        // A NUL pasted into the text is a blank, as every other control character is: the
        // words after it are spoken, and each word still names its place in the text.
        OrvelleImpl o;
        setUp(o, 22);
        const QString words = QStringLiteral("The first words.%1And the ones after it are spoken all the same.");
        const QString blank = toFile(o, words.arg(QStringLiteral(" ")), QStringLiteral("blank.wav"));
        const QString nul = toFile(o, words.arg(QString(QChar(0))), QStringLiteral("nul.wav"));
        QVERIFY(!blank.isEmpty() && !nul.isEmpty());
        QVERIFY2(std::abs(seconds(nul, 2, 22050) - seconds(blank, 2, 22050)) < 0.1,
                 qPrintable(QStringLiteral("%1 s against %2 s").arg(seconds(nul, 2, 22050)).arg(seconds(blank, 2, 22050))));
        nextDevice(true);
        setUp(o, 22);
        const Heard h = listen(o, words.arg(QString(QChar(0))));
        QCOMPARE(h.words, (QStringList{"The", "first", "words", "And", "the", "ones", "after", "it", "are", "spoken",
                                       "all", "the", "same"}));
    }

    void filesThatCannotBeWritten()
    {
        OrvelleImpl o;
        setUp(o, 22);
        const QString missing = m_dir.filePath(QStringLiteral("no such folder/speech.wav"));
        FileEvents e;
        QVERIFY(toFile(o, kSentence, QStringLiteral("no such folder/speech.wav"), &e).isEmpty());
        QCOMPARE(e.ends().size(), 1);
        QVERIFY2(e.ends()[0].startsWith(QStringLiteral("Error %1 ").arg(kOrvelleErrWrite)) &&
                     e.ends()[0].contains(missing),
                 qPrintable(e.ends()[0]));
        QVERIFY(o.LastErrorText().contains(missing));
        QVERIFY(!QFileInfo::exists(missing));

        // A full disk: the file is not left half written.
        const QString small = m_dir.filePath(QStringLiteral("small"));
        QVERIFY(QDir().mkpath(small));
        SmallDisk disk;
        QString why;
        if (!disk.mount(small, why))
            QSKIP(qPrintable(why));
        // A component made now: its thread sees the disk as this one does.
        OrvelleImpl onSmall;
        setUp(onSmall, 22);
        const QString full = small + QStringLiteral("/speech.wav");
        QVERIFY(toFile(onSmall, QStringLiteral("A text too long for a small disk. ").repeated(20),
                       QStringLiteral("small/speech.wav"), &e)
                    .isEmpty());
        QVERIFY2(e.ends().size() == 1 && e.ends()[0].startsWith(QStringLiteral("Error %1 ").arg(kOrvelleErrWrite)),
                 qPrintable(e.ends().join(u'|')));
        QVERIFY(!QFileInfo::exists(full));
        QCOMPARE(QDir(small).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_MAIN(tst_orvelle)
#include "tst_orvelle.moc"
