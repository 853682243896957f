// The real wave component on SDL's disk driver: the capture device reads a raw file of the
// test, the output device writes one. What is recorded is exactly the input (paused
// stretches left out, silence cut at the end when asked), the meter reads the input's
// peak, the file's header describes its data however the recording ends (a stop, the
// component shut down, a full disk), and playback plays exactly a PCM WAV file's samples
// and refuses anything else.
#include "components/cWave/cWave.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/ExternalTools.h"
#include "tests/support/RecordingChecks.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace RecordingChecks;

Q_DECLARE_METATYPE(WaveFormat)

namespace {

WaveFormat pcm(int rate, int channels, int bits)
{
    WaveFormat f;
    f.wFormatTag = 1;
    f.nChannels = quint16(channels);
    f.nSamplesPerSec = quint32(rate);
    f.wBitsPerSample = quint16(bits);
    f.nBlockAlign = quint16(channels * bits / 8);
    f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
    return f;
}

// Samples 1, 2, 3 ... (never 0, so silence can be told from them).
QVector<qint16> counting(int count)
{
    QVector<qint16> s(count);
    for (int i = 0; i < count; ++i)
        s[i] = qint16(i + 1);
    return s;
}

// Alternating +level and -level.
QVector<qint16> square(int count, qint16 level)
{
    QVector<qint16> s(count);
    for (int i = 0; i < count; ++i)
        s[i] = i % 2 ? qint16(-level) : level;
    return s;
}

// The samples with none that plays as silence (0 in 16 bits, or in 8 bits' high byte):
// what a device played can then be told from the silence it wrote while waiting.
QVector<qint16> audible(QVector<qint16> samples)
{
    for (qint16& v : samples)
        if (v > -256 && v < 256)
            v = 300;
    return samples;
}

QVector<qint16> fromBytes(const QByteArray& b)
{
    QVector<qint16> s(b.size() / 2);
    memcpy(s.data(), b.constData(), size_t(s.size()) * 2);
    return s;
}

std::unique_ptr<cWave> makeWave()
{
    return std::unique_ptr<cWave>(CreateWave(nullptr));
}

QString errorText(cWave* w, qint32 code)
{
    return w->GetErrorText(code);
}

} // namespace

class tst_wave : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // The disk driver's capture device reads these bytes; its output goes to "out.raw".
    void input(const QByteArray& bytes, bool realTime = false)
    {
        TestFiles::WriteBytes(path("in.raw"), bytes);
        QFile::remove(path("out.raw"));
        useDiskFiles(path("in.raw"), path("out.raw"), realTime);
    }

    // Starts recording into `file`, waits until at least `bytes` sample bytes are written and
    // stops; false when it did not start.
    bool record(cWave* w, const QString& file, const WaveFormat& format, qint64 bytes)
    {
        WaveFormat f = format;
        qint32 device = 0;
        const qint32 r = w->RecordStart(device, file, f, 1600);
        if (r != 0) {
            qWarning().noquote() << errorText(w, r);
            return false;
        }
        const bool got = QTest::qWaitFor([&] { return QFileInfo(file).size() >= 44 + bytes; }, 10000);
        w->RecordStop();
        return got;
    }

private slots:
    void initTestCase()
    {
        // Chosen when SDL's audio starts, which the first component call does.
        qputenv("SDL_AUDIODRIVER", "disk");
        input(QByteArray());
    }

    void theDriversDevicesAreListed()
    {
        auto w = makeWave();
        QCOMPARE(w->GetDeviceCount(kWaveInputDevices), 1);
        QCOMPARE(w->GetDeviceCount(kWaveOutputDevices), 1);
        QCOMPARE(w->GetDeviceCount(7), 0);
        WaveDeviceInfo info;
        qint32 index = 0;
        w->GetDeviceInfo(index, info, kWaveInputDevices);
        QCOMPARE(info.Name, QStringLiteral("System audio capture device"));
        QCOMPARE(info.Driver, QStringLiteral("disk"));
        index = 1;
        w->GetDeviceInfo(index, info, kWaveInputDevices);
        QVERIFY(info.Name.isEmpty());
    }

    void theMeterReadsTheBuffersPeak_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("level");  // of the input's samples
        QTest::addColumn<int>("meter");
        QTest::newRow("16 bits, half scale") << 16 << 16384 << 60;
        QTest::newRow("16 bits, full scale") << 16 << 32767 << 119;
        QTest::newRow("16 bits, a quarter") << 16 << 8192 << 30;
        QTest::newRow("16 bits, silence") << 16 << 0 << 0;
        QTest::newRow("8 bits, half scale") << 8 << 16384 << 60;
        QTest::newRow("8 bits, full scale") << 8 << 32767 << 120;  // its negative half reaches -128
    }

    void theMeterReadsTheBuffersPeak()
    {
        QFETCH(int, bits);
        QFETCH(int, level);
        QFETCH(int, meter);
        input(pcmBytes(square(8000, qint16(level)), bits));
        auto w = makeWave();
        QSignalSpy levels(w.get(), &cWave::MeterLevel);
        w->SetMeterIn(true);
        WaveFormat f = pcm(8000, 1, bits);
        qint32 device = 0;
        QCOMPARE(w->RecordStart(device, path("meter.wav"), f, 1600), 0);
        QVERIFY(levels.wait(5000));
        QCOMPARE(levels.first().first().value<qint16>(), qint16(meter));
        // Off, it says nothing more; at the end it falls to 0.
        w->SetMeterIn(false);
        const qsizetype said = levels.size();
        QTest::qWait(300);
        QCOMPARE(levels.size(), said);
        w->SetMeterIn(true);
        w->RecordStop();
        QCOMPARE(levels.last().first().value<qint16>(), qint16(0));
    }

    // Paced as a sound card, a second's pause leaves one gap of about a second in the
    // counting input, and nothing twice.
    void aPauseLeavesOneGap()
    {
        const int rate = 8000;
        input(pcmBytes(counting(rate * 4), 16), true);
        auto w = makeWave();
        WaveFormat f = pcm(rate, 1, 16);
        qint32 device = 0;
        const QString file = path("paused.wav");
        QCOMPARE(w->RecordStart(device, file, f, 1600), 0);
        QTest::qWait(600);
        QVERIFY(!w->IsRecordPaused());
        w->RecordPause();
        QVERIFY(w->IsRecordPaused());
        QTest::qWait(1000);
        w->RecordUnPause();
        QVERIFY(!w->IsRecordPaused());
        QTest::qWait(600);
        w->RecordStop();
        QCOMPARE(checkWaveFile(file, rate, 1, 16), QString());

        const QVector<qint16> got = fromBytes(recordedData(file));
        QVERIFY(got.size() > rate / 2);
        QCOMPARE(got.first(), qint16(1));
        int gaps = 0;
        int gap = 0;
        for (int i = 1; i < got.size(); ++i) {
            const int step = got[i] - got[i - 1];
            QVERIFY2(step >= 1, qPrintable(QStringLiteral("sample %1 repeats or goes back").arg(i)));
            if (step > 1) {
                ++gaps;
                gap = step - 1;
            }
        }
        QCOMPARE(gaps, 1);
        QVERIFY2(gap > rate / 2 && gap < rate * 3 / 2, qPrintable(QStringLiteral("a gap of %1 samples").arg(gap)));
    }

    // However the recording ends before the events arrive, the file is complete: a stop,
    // or the component shut down or destroyed with its window. One DoneRecord follows a
    // stop; a shut-down component's window is gone and hears none.
    void theFileIsCompleteHoweverItEnds_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("stop") << "stop";
        QTest::newRow("shut down") << "shutdown";
        QTest::newRow("destroyed") << "destroyed";
    }

    void theFileIsCompleteHoweverItEnds()
    {
        QFETCH(QString, how);
        const QByteArray in = pcmBytes(AudioFixtures::noise(11025, 2, 4), 16);
        input(in);
        auto w = makeWave();
        QSignalSpy done(w.get(), &cWave::DoneRecord);
        WaveFormat f = pcm(11025, 2, 16);
        qint32 device = 0;
        const QString file = path("ended.wav");
        QCOMPARE(w->RecordStart(device, file, f, 1600), 0);
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo(file).size() >= 44 + in.size() / 2; }, 10000));
        if (how == "stop")
            w->RecordStop();
        else if (how == "shutdown")
            w->Shutdown();
        else
            w.reset();
        QCOMPARE(checkWaveFile(file, 11025, 2, 16), QString());
        const QByteArray data = recordedData(file);
        QVERIFY(data.size() >= in.size() / 2);
        QCOMPARE(data.left(in.size()), in.left(data.size()));
        if (how == "stop") {
            QVERIFY(done.wait(2000));
            QTest::qWait(100);
            QCOMPARE(done.size(), 1);
        }
    }

    // Shutting one component down leaves SDL's audio to the others: a playback of another
    // component goes on to its end, and a new recording starts.
    void shutdownSilencesNoOtherComponent()
    {
        const QVector<qint16> tone = AudioFixtures::sine(11025, 1, 11025, 440, 0.5);
        const QString file = path("other.wav");
        QVERIFY(AudioFixtures::writeWav(file, 11025, 1, 16, tone));
        input(pcmBytes(tone, 16), true);
        auto player = makeWave();
        QSignalSpy played(player.get(), &cWave::DonePlay);
        QCOMPARE(player->PlayStart(file, 0, 8000), 0);
        auto recorder = makeWave();
        WaveFormat f = pcm(11025, 1, 16);
        qint32 device = 0;
        QCOMPARE(recorder->RecordStart(device, path("short.wav"), f, 1600), 0);
        QTest::qWait(200);
        recorder->Shutdown();
        recorder.reset();
        QVERIFY(player->IsPlaying());
        QVERIFY(played.wait(5000));
        const QString wrong = AudioFixtures::checkPlayedOutput(TestFiles::ReadBytes(path("out.raw")),
                                                               pcmBytes(tone, 16), 8192);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        auto next = makeWave();
        QCOMPARE(next->RecordStart(device, path("next.wav"), f, 1600), 0);
        next->RecordStop();
        QCOMPARE(checkWaveFile(path("next.wav"), 11025, 1, 16), QString());
    }

    // A start that fails says why and leaves no file behind.
    void aFailedStartWritesNothing_data()
    {
        QTest::addColumn<QString>("destination");
        QTest::addColumn<bool>("inputFile");  // whether the driver's input file exists
        QTest::addColumn<WaveFormat>("format");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reason");  // a part of the error text
        const WaveFormat good = pcm(22050, 1, 8);
        QTest::newRow("missing folder") << "no/such/folder/rec.wav" << true << good << int(kWaveErrFileWrite)
                                        << "No such file or directory";
        QTest::newRow("no file name") << "" << true << good << int(kWaveErrFileWrite) << "No file is given";
        QTest::newRow("device cannot open") << "rec.wav" << false << good << int(kWaveErrDevice)
                                            << "The sound input device cannot be opened: Couldn't open";
        WaveFormat f = good;
        f.wBitsPerSample = 24;
        f.nBlockAlign = 3;
        f.nAvgBytesPerSec = 3 * 22050;
        QTest::newRow("24 bits") << "rec.wav" << true << f << int(kWaveErrFormat) << "24 bits per sample";
        f = pcm(96000, 2, 16);
        QTest::newRow("96000 Hz") << "rec.wav" << true << f << int(kWaveErrFormat) << "96000 samples per second";
        f = good;
        f.wFormatTag = 2;
        QTest::newRow("not PCM") << "rec.wav" << true << f << int(kWaveErrFormat) << "format tag 2";
        f = good;
        f.nBlockAlign = 2;
        QTest::newRow("block does not add up") << "rec.wav" << true << f << int(kWaveErrFormat) << "2 bytes per block";
    }

    void aFailedStartWritesNothing()
    {
        QFETCH(QString, destination);
        QFETCH(bool, inputFile);
        QFETCH(WaveFormat, format);
        QFETCH(int, code);
        QFETCH(QString, reason);
        input(QByteArray(100, '\x40'));
        if (!inputFile)
            QFile::remove(path("in.raw"));
        auto w = makeWave();
        QSignalSpy done(w.get(), &cWave::DoneRecord);
        const QString file = destination.isEmpty() ? QString() : path(destination);
        qint32 device = 0;
        const qint32 r = w->RecordStart(device, file, format, 1600);
        QCOMPARE(r, code);
        QVERIFY2(errorText(w.get(), r).contains(reason), qPrintable(errorText(w.get(), r)));
        QVERIFY(!QFileInfo::exists(path("rec.wav")));
        QVERIFY(!QFileInfo::exists(path("no")));
        w->RecordStop();
        QTest::qWait(50);
        QCOMPARE(done.size(), 0);
    }

    // A disk that fills up ends the recording with the reason, before DoneRecord; what
    // was written is a complete WAV file of the input's start.
    void aFullDiskEndsTheRecording()
    {
        const QString folder = path("small");
        QVERIFY(QDir().mkpath(folder));
        SmallDisk disk;
        QString why;
        if (!disk.mount(folder, why))
            QSKIP(qPrintable(why));
        disk.fill();
        QFile filler(folder + "/filler");
        QVERIFY(filler.resize(filler.size() - 24 * 1024));
        const QByteArray in = pcmBytes(counting(30000), 16);
        input(in);
        auto w = makeWave();
        QStringList events;
        connect(w.get(), &cWave::RecordFailed, this, [&](qint32 code) {
            events << "RecordFailed " + errorText(w.get(), code);
        });
        connect(w.get(), &cWave::DoneRecord, this, [&] { events << "DoneRecord"; });
        WaveFormat f = pcm(8000, 1, 16);
        qint32 device = 0;
        const QString file = folder + "/full.wav";
        QCOMPARE(w->RecordStart(device, file, f, 1600), 0);
        QTRY_COMPARE_WITH_TIMEOUT(events.size(), 2, 10000);
        QVERIFY2(events[0].startsWith("RecordFailed Writing the file \"" + file + "\" failed: No space left on device."),
                 qPrintable(events[0]));
        QCOMPARE(events[1], QStringLiteral("DoneRecord"));
        QCOMPARE(checkWaveFile(file, 8000, 1, 16), QString());
        const QByteArray data = recordedData(file);
        QVERIFY(data.size() > 8 * 1024);
        QCOMPARE(data, in.left(data.size()));
    }

    // With the silence cut on, the file ends with the last frame at or above the level
    // (on the meter's scale); quieter frames and the silence after them are cut.
    void theSilenceAtTheEndIsCut()
    {
        QVector<qint16> samples = square(2000, 20000) + square(800, 1000);
        input(pcmBytes(samples, 16));
        auto w = makeWave();
        w->SetCutSilence(true);
        w->SetCutSilenceVal(20);
        const QString file = path("cut.wav");
        QVERIFY(record(w.get(), file, pcm(8000, 1, 16), qint64(samples.size()) * 2 + 8000));
        QCOMPARE(checkWaveFile(file, 8000, 1, 16), QString());
        QCOMPARE(recordedData(file), pcmBytes(samples.mid(0, 2000), 16));
        // Without it, the silence stays.
        w->SetCutSilence(false);
        QVERIFY(record(w.get(), file, pcm(8000, 1, 16), qint64(samples.size()) * 2 + 8000));
        QVERIFY(recordedData(file).size() >= samples.size() * 2 + 8000);
    }

    // The pre-screen plays what is captured on the default output device, converted to
    // its own format.
    void thePreScreenPlaysWhatIsCaptured_data()
    {
        QTest::addColumn<int>("bits");  // of the pre-screen; the recording is 16 bits
        QTest::newRow("same format") << 16;
        QTest::newRow("8 bits") << 8;
    }

    void thePreScreenPlaysWhatIsCaptured()
    {
        QFETCH(int, bits);
        const QVector<qint16> samples = square(4000, 12800);
        input(pcmBytes(samples, 16));
        auto w = makeWave();
        WaveFormat screen = pcm(8000, 1, bits);
        w->PreScreenOpen(screen, 0);
        QVERIFY(record(w.get(), path("screened.wav"), pcm(8000, 1, 16), samples.size() * 2 + 4000));
        w->PreScreenClose();
        QByteArray played = TestFiles::ReadBytes(path("out.raw"));
        if (bits == 8)  // the device's silence, and the captured silence as SDL converts it
            played = withoutSilence(withoutSilence(played, 1, char(0x80)), 1, char(0x7F));
        else
            played = withoutSilence(played, 2);
        const QByteArray expected = pcmBytes(samples, bits);
        QCOMPARE(played.size(), expected.size());
        // Converted to 8 bits by SDL, each sample may round the other way.
        for (qsizetype i = 0; i < played.size(); ++i)
            QVERIFY2(std::abs(quint8(played[i]) - quint8(expected[i])) <= (bits == 8 ? 1 : 0), qPrintable(QString::number(i)));
    }

    void playbackPlaysExactlyTheSamples_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("bits");
        QTest::newRow("44100 stereo 16") << 44100 << 2 << 16;
        QTest::newRow("8000 mono 16") << 8000 << 1 << 16;
        QTest::newRow("22050 mono 8") << 22050 << 1 << 8;
        QTest::newRow("11025 stereo 8") << 11025 << 2 << 8;
    }

    void playbackPlaysExactlyTheSamples()
    {
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(int, bits);
        QVector<qint16> samples = audible(AudioFixtures::noise(rate / 2, channels, 6));
        const QString file = path("play.wav");
        QVERIFY(AudioFixtures::writeWav(file, rate, channels, bits, samples));
        input(QByteArray());
        auto w = makeWave();
        QSignalSpy done(w.get(), &cWave::DonePlay);
        QCOMPARE(w->PlayStart(file, 0, 8000), 0);
        QVERIFY(w->IsPlaying());
        QVERIFY(done.wait(5000));
        QTest::qWait(100);
        QCOMPARE(done.size(), 1);
        QVERIFY(!w->IsPlaying());
        // After the end it shows the end, until a stop.
        QCOMPARE(w->GetPlayPosition(), 100);
        QCOMPARE(w->GetPlaySeconds(), 0);
        QCOMPARE(w->PlayStop(), 0);
        QCOMPARE(w->GetPlayPosition(), 0);
        // The device plays 16-bit samples: an 8-bit file's sample is its high byte. Run
        // as fast as it can, it writes silence where it waits for them.
        if (bits == 8)
            for (qint16& s : samples)
                s = qint16(s & 0xFF00);
        QCOMPARE(withoutSilence(TestFiles::ReadBytes(path("out.raw")), 2), pcmBytes(samples, 16));
    }

    // Paced as a sound card: the position follows the playback, holds while paused, and a
    // stop brings it back to 0 with no DonePlay.
    void playbackPositionPauseAndStop()
    {
        const QString file = path("two.wav");
        QVERIFY(AudioFixtures::writeWav(file, 22050, 1, 16, AudioFixtures::sine(44100, 1, 22050, 440, 0.5)));
        input(QByteArray(), true);
        auto w = makeWave();
        QSignalSpy done(w.get(), &cWave::DonePlay);
        QCOMPARE(w->PlayStart(file, 0, 8000), 0);
        QTRY_VERIFY_WITH_TIMEOUT(w->GetPlaySeconds() >= 1, 5000);
        w->PlayPause();
        const qint32 position = w->GetPlayPosition();
        QVERIFY2(position >= 50 && position < 100, qPrintable(QString::number(position)));
        QTest::qWait(500);
        QCOMPARE(w->GetPlayPosition(), position);
        QCOMPARE(w->GetPlaySeconds(), 1);
        w->PlayUnPause();
        QTRY_VERIFY_WITH_TIMEOUT(w->GetPlayPosition() > position, 2000);
        QCOMPARE(w->PlayStop(), 0);
        QVERIFY(!w->IsPlaying());
        QCOMPARE(w->GetPlayPosition(), 0);
        QCOMPARE(w->GetPlaySeconds(), 0);
        QTest::qWait(100);
        QCOMPARE(done.size(), 0);
    }

    // A file that is not a PCM WAV file plays nothing: an error code whose text names the
    // file and says why. Its facts are read only from a WAV header.
    void otherFilesPlayNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("infoCode");  // of GetFileInfo
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing" << int(kWaveErrFileMissing) << int(kWaveErrFileMissing) << "does not exist";
        QTest::newRow("an MP3 file") << "mp3" << int(kWaveErrNotWave) << int(kWaveErrNotWave) << "is not a WAV file";
        QTest::newRow("a text file") << "text" << int(kWaveErrNotWave) << int(kWaveErrNotWave) << "is not a WAV file";
        QTest::newRow("a bare RIFF header") << "riff" << int(kWaveErrNotWave) << int(kWaveErrNotWave) << "is damaged";
        QTest::newRow("a format chunk that does not add up")
            << "block" << int(kWaveErrNotWave) << 0 << "does not add up (1 channels, 16 bits per sample, 3 bytes";
        QTest::newRow("IMA ADPCM") << "adpcm" << int(kWaveErrNotPcm) << 0 << "does not hold plain PCM samples";
    }

    void otherFilesPlayNothing()
    {
        QFETCH(QString, kind);
        QFETCH(int, code);
        QFETCH(int, infoCode);
        QFETCH(QString, reason);
        const QString wav = path("source.wav");
        QVERIFY(AudioFixtures::writeWav(wav, 8000, 1, 16, AudioFixtures::noise(8000, 1, 2)));
        QString file = path("other." + kind);
        QString why;
        if (kind == "mp3") {
            QVERIFY2(ExternalTools::Run("lame", {"--quiet", wav, file}, file, &why), qPrintable(why));
        } else if (kind == "adpcm") {
            file = path("adpcm.wav");
            QVERIFY2(ExternalTools::Run("ffmpeg", {"-v", "error", "-y", "-i", wav, "-c:a", "adpcm_ima_wav", file}, file, &why),
                     qPrintable(why));
        } else if (kind == "text") {
            TestFiles::WriteBytes(file, "Things to record:\nbirds\n");
        } else if (kind == "riff") {
            TestFiles::WriteBytes(file, QByteArray("RIFF\x04\0\0\0WAVE", 12));
        } else if (kind == "block") {
            QByteArray b = TestFiles::ReadBytes(wav);
            b[32] = 3;  // block align 3 for 16-bit mono
            TestFiles::WriteBytes(file, b);
        }
        input(QByteArray());
        auto w = makeWave();
        QSignalSpy done(w.get(), &cWave::DonePlay);
        const qint32 r = w->PlayStart(file, 0, 8000);
        QCOMPARE(r, code);
        QVERIFY2(errorText(w.get(), r).contains(file) && errorText(w.get(), r).contains(reason),
                 qPrintable(errorText(w.get(), r)));
        QVERIFY(!w->IsPlaying());
        QVERIFY(!QFileInfo::exists(path("out.raw")));
        WaveFileInfo info;
        info.SecondsLength = -7;
        QCOMPARE(w->GetFileInfo(file, info), infoCode);
        if (infoCode != 0)
            QCOMPARE(info.SecondsLength, -7);  // left as it was
        QTest::qWait(50);
        QCOMPARE(done.size(), 0);
    }

    void theFactsOfAOneSecondFile()
    {
        const QString file = path("one.wav");
        QVERIFY(AudioFixtures::writeWav(file, 8000, 1, 8, AudioFixtures::noise(8000, 1, 3)));
        auto w = makeWave();
        WaveFileInfo info;
        QCOMPARE(w->GetFileInfo(file, info), 0);
        QCOMPARE(info.wFormatTag, quint16(1));
        QCOMPARE(info.nChannels, quint16(1));
        QCOMPARE(info.nSamplesPerSec, quint32(8000));
        QCOMPARE(info.nAvgBytesPerSec, quint32(8000));
        QCOMPARE(info.nBlockAlign, quint16(1));
        QCOMPARE(info.wBitsPerSample, quint16(8));
        QCOMPARE(info.cbSize, quint16(0));
        QCOMPARE(info.FileName, QStringLiteral("one.wav"));
        QCOMPARE(info.FilePath, m_dir.path());
        QCOMPARE(info.SecondsLength, 1);
    }

    // Sizes are bounded by the file: a header announcing more than is there plays what is
    // there; a chunk after the data is not played.
    void onlyTheDataChunkPlays_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("announces 100 s") << "announces";
        QTest::newRow("a chunk after the data") << "trailer";
    }

    void onlyTheDataChunkPlays()
    {
        QFETCH(QString, damage);
        const QVector<qint16> samples = audible(AudioFixtures::noise(8000, 1, 9));
        QByteArray b = AudioFixtures::wavBytes(8000, 1, 16, samples);
        if (damage == "announces") {
            qToLittleEndian<quint32>(100 * 16000, b.data() + 40);
        } else {
            b += QByteArray("LIST\x10\0\0\0INFOICMT\x04\0\0\0loud", 24);
            qToLittleEndian<quint32>(quint32(b.size() - 8), b.data() + 4);
        }
        const QString file = path("odd.wav");
        TestFiles::WriteBytes(file, b);
        input(QByteArray());
        auto w = makeWave();
        WaveFileInfo info;
        QCOMPARE(w->GetFileInfo(file, info), 0);
        QCOMPARE(info.SecondsLength, 1);
        QSignalSpy done(w.get(), &cWave::DonePlay);
        QCOMPARE(w->PlayStart(file, 0, 8000), 0);
        QVERIFY(done.wait(5000));
        QCOMPARE(withoutSilence(TestFiles::ReadBytes(path("out.raw")), 2), pcmBytes(samples, 16));
    }

    // The file that plays is not recorded onto, and the one being recorded is not played:
    // both are refused with the reason, and neither file suffers.
    void oneFileIsNotRecordedAndPlayedAtOnce()
    {
        const QString playing = path("playing.wav");
        QVERIFY(AudioFixtures::writeWav(playing, 8000, 1, 16, AudioFixtures::noise(16000, 1, 5)));
        const QByteArray before = TestFiles::ReadBytes(playing);
        const QByteArray in = pcmBytes(counting(4000), 16);
        input(in, true);
        auto w = makeWave();
        QCOMPARE(w->PlayStart(playing, 0, 8000), 0);
        WaveFormat f = pcm(8000, 1, 16);
        qint32 device = 0;
        qint32 r = w->RecordStart(device, playing, f, 1600);
        QCOMPARE(r, int(kWaveErrSameFile));
        QVERIFY(errorText(w.get(), r).contains("is playing"));
        QCOMPARE(w->PlayStop(), 0);
        QCOMPARE(TestFiles::ReadBytes(playing), before);

        const QString recording = path("recording.wav");
        QCOMPARE(w->RecordStart(device, recording, f, 1600), 0);
        QTest::qWait(200);
        r = w->PlayStart(recording, 0, 8000);
        QCOMPARE(r, int(kWaveErrSameFile));
        QVERIFY(errorText(w.get(), r).contains("is being recorded"));
        QVERIFY(!w->IsPlaying());
        w->RecordStop();
        QCOMPARE(checkWaveFile(recording, 8000, 1, 16), QString());
        const QByteArray data = recordedData(recording);
        QVERIFY(!data.isEmpty());
        QCOMPARE(data, in.left(data.size()));
    }
};

QTEST_MAIN(tst_wave)
#include "tst_wave.moc"
