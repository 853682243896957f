// The player component on SDL's disk output: file facts, play to the end with the file's
// samples reaching the device, pause, stop, position and seeking, probing another file
// while one plays, the audio data for the graphs, and errors.
#include "components/cAudioGraph/Spectrum.h"
#include "components/cPlayer/PlayerImpl.h"
#include "tests/support/AudioFixtures.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace AudioFixtures;

class tst_Player : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_short;  // 0.6 s sine, 440 Hz
    QString m_long;   // 8 s sine, 440 Hz

private slots:
    void initTestCase()
    {
        // The disk driver writes what is played into a file of ours, in real time. The
        // driver is chosen once, when the first play opens the audio system.
        qputenv("SDL_AUDIODRIVER", "disk");
        qunsetenv("SDL_DISKAUDIODELAY");
        qputenv("SDL_DISKAUDIOFILE", m_dir.filePath(QStringLiteral("device.raw")).toUtf8());
        m_short = m_dir.filePath(QStringLiteral("short.wav"));
        m_long = m_dir.filePath(QStringLiteral("long.wav"));
        QVERIFY(writeWav(m_short, 44100, 2, 16, sine(26460, 2, 44100, 440)));
        QVERIFY(writeWav(m_long, 22050, 1, 16, sine(22050 * 8, 1, 22050, 440, 0.8)));
    }

    void openFileFacts()
    {
        PlayerImpl p;
        QCOMPARE(p.OpenFile(m_long), 0);
        QCOMPARE(p.SampleRate(), 22050);
        QCOMPARE(p.Channels(), 1);
        QCOMPARE(p.Bitrate(), 22050 * 16);
        QCOMPARE(p.Length(), 8.0);
        QCOMPARE(p.OpenFile(m_dir.filePath(QStringLiteral("none.wav"))), qint32(kPlayErrFileMissing));
    }

    void formatTime()
    {
        QCOMPARE(cPlayer::FormatTime(0), QStringLiteral("0:00:00"));
        QCOMPARE(cPlayer::FormatTime(75), QStringLiteral("0:01:15"));
        QCOMPARE(cPlayer::FormatTime(3 * 3600 + 5), QStringLiteral("3:00:05"));
    }

    void playsToTheEnd()
    {
        PlayerImpl p;
        QSignalSpy done(&p, &cPlayer::PlayDone);
        QString file = m_short;
        qint32 device = -1;
        QElapsedTimer t;
        t.start();
        QCOMPARE(p.Play(file, device), 0);
        QVERIFY(p.IsPlaying());
        QVERIFY(!p.IsPaused());
        QVERIFY(done.wait(5000));
        QVERIFY(t.elapsed() >= 400);  // the dummy device plays in real time
        QVERIFY(!p.IsPlaying());
        QTest::qWait(100);
        QCOMPARE(done.count(), 1);
    }

    void pauseResumeStopAndPosition()
    {
        PlayerImpl p;
        QSignalSpy done(&p, &cPlayer::PlayDone);
        QString file = m_long;
        qint32 device = 5;  // no such device: the default one plays
        QCOMPARE(p.Play(file, device), 0);
        QTRY_VERIFY_WITH_TIMEOUT(p.GetPosition() >= 1, 5000);
        p.Pause();
        QVERIFY(p.IsPaused());
        QVERIFY(p.IsPlaying());
        const qint32 at = p.GetPosition();
        QTest::qWait(1200);
        QCOMPARE(p.GetPosition(), at);
        p.Resume();
        QVERIFY(!p.IsPaused());
        p.SetPosition(6);
        QTRY_VERIFY_WITH_TIMEOUT(p.GetPosition() >= 6, 5000);
        p.StopPlay();
        QVERIFY(!p.IsPlaying());
        QVERIFY(done.wait(2000));
        QTest::qWait(100);
        QCOMPARE(done.count(), 1);  // one PlayDone for the play, also when stopped
        p.StopPlay();               // nothing plays: no second event
        QTest::qWait(100);
        QCOMPARE(done.count(), 1);
    }

    void samplesReachTheDevice()
    {
        // A second of noise at the file's own rate and channels: the device gets it byte
        // for byte, after nothing but silence.
        const QString wav = m_dir.filePath(QStringLiteral("noise.wav"));
        QVERIFY(writeWav(wav, 44100, 2, 16, noise(44100, 2, 7)));
        const QByteArray samples = wavData(wav);
        const QString out = m_dir.filePath(QStringLiteral("noise.raw"));
        qputenv("SDL_DISKAUDIOFILE", out.toUtf8());
        {
            PlayerImpl p;
            QSignalSpy done(&p, &cPlayer::PlayDone);
            QString file = wav;
            qint32 device = -1;
            QCOMPARE(p.Play(file, device), 0);
            QVERIFY(done.wait(10000));
        }
        qputenv("SDL_DISKAUDIOFILE", m_dir.filePath(QStringLiteral("device.raw")).toUtf8());
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        // Under a second of silence while the file opens.
        const QString wrong = checkPlayedOutput(f.readAll(), samples, 44100 * 4);
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }

    void probingLeavesThePlayAlone()
    {
        // While the 8 s file plays, the 0.6 s file is opened for its facts: they describe
        // the opened file, while the length and the position stay those of the play.
        PlayerImpl p;
        QString file = m_long;
        qint32 device = -1;
        QCOMPARE(p.Play(file, device), 0);
        QCOMPARE(p.OpenFile(m_short), 0);
        QCOMPARE(p.SampleRate(), 44100);
        QCOMPARE(p.Channels(), 2);
        QCOMPARE(p.Length(), 8.0);
        QTRY_VERIFY_WITH_TIMEOUT(p.GetPosition() >= 1, 5000);
        p.StopPlay();
        QCOMPARE(p.Length(), 0.6);  // nothing plays: the opened file's
    }

    void seekAfterAllIsDecoded()
    {
        // From second 1 of a 1.3 s file the rest fits in the device's buffer, so all is
        // decoded at once; a seek back to 0 after that still plays the file from there.
        const QString wav = m_dir.filePath(QStringLiteral("short13.wav"));
        QVERIFY(writeWav(wav, 44100, 2, 16, sine(57330, 2, 44100, 440)));
        PlayerImpl p;
        QSignalSpy done(&p, &cPlayer::PlayDone);
        QString file = wav;
        qint32 device = -1;
        QCOMPARE(p.Play(file, device), 0);
        p.SetPosition(1);
        p.Pause();
        QTRY_COMPARE_WITH_TIMEOUT(p.GetPosition(), 1, 2000);
        QTest::qWait(300);
        p.SetPosition(0);
        QTRY_COMPARE_WITH_TIMEOUT(p.GetPosition(), 0, 2000);
        p.Resume();
        QTest::qWait(700);
        QVERIFY(p.IsPlaying());
        QCOMPARE(done.count(), 0);
        QVERIFY(done.wait(5000));
    }

    void audioDataFollowsTheSound()
    {
        PlayerImpl p;
        QCOMPARE(p.AudioData().SampleRate, 0);
        QString file = m_long;
        qint32 device = -1;
        QCOMPARE(p.Play(file, device), 0);
        QTRY_VERIFY_WITH_TIMEOUT(PeakLevel(p.AudioData().Left) > 0.7f, 5000);
        const PlayerAudioData d = p.AudioData();
        QCOMPARE(d.SampleRate, 22050);
        QCOMPARE(d.Left.size(), 2048);
        QCOMPARE(d.Right.size(), 2048);
        QVERIFY(PeakLevel(d.Right) > 0.7f);  // mono plays on both sides
        QVERIFY(PeakLevel(d.Left) < 0.85f);  // the file's 0.8
        // The 440 Hz tone is the strongest band of the spectrum.
        const SpectrumBands bands = AnalyseSpectrum(d.Left, d.SampleRate, 32);
        const int peak = int(std::max_element(bands.Level.begin(), bands.Level.end()) - bands.Level.begin());
        QVERIFY2(bands.LowHz[peak] <= 440 && 440 < bands.HighHz[peak], qPrintable(QString::number(peak)));
        p.StopPlay();
        QVERIFY(p.AudioData().Left.isEmpty());
    }

    void errors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("code");
        QTest::newRow("missing") << "missing.wav" << QByteArray() << int(kPlayErrFileMissing);
        QTest::newRow("text") << "text.wav" << QByteArray("not a sound at all, just words") << int(kPlayErrUnreadable);
    }
    void errors()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(int, code);
        QString file = m_dir.filePath(name);
        if (!content.isEmpty()) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        PlayerImpl p;
        QSignalSpy done(&p, &cPlayer::PlayDone);
        qint32 device = -1;
        qint32 r = p.Play(file, device);
        QCOMPARE(r, code);
        QVERIFY(!p.IsPlaying());
        QVERIFY(!p.GetErrorText(r).isEmpty());
        QTest::qWait(50);
        QCOMPARE(done.count(), 0);
    }

    void destroyedWhilePlaying()
    {
        auto* p = new PlayerImpl;
        QString file = m_long;
        qint32 device = -1;
        QCOMPARE(p->Play(file, device), 0);
        QTest::qWait(100);
        delete p;
        QTest::qWait(50);
    }
};

QTEST_MAIN(tst_Player)
#include "tst_player.moc"
