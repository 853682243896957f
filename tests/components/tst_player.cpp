// The player component on SDL's dummy output: file facts, play to the end, pause, stop,
// position, the audio data for the graphs, and errors.
#include "components/cPlayer/PlayerImpl.h"
#include "tests/support/AudioFixtures.h"

#include <QElapsedTimer>
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
        QVERIFY(qEnvironmentVariable("SDL_AUDIODRIVER") == QLatin1String("dummy") ||
                qEnvironmentVariable("SDL_AUDIODRIVER") == QLatin1String("disk"));
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

    void audioDataFollowsTheSound()
    {
        PlayerImpl p;
        QString file = m_long;
        qint32 device = -1;
        QCOMPARE(p.Play(file, device), 0);
        QTRY_VERIFY_WITH_TIMEOUT(p.AudioData().LevelLeft > 0.5f, 5000);
        const PlayerAudioData d = p.AudioData();
        QVERIFY(d.LevelRight > 0.5f);  // mono plays on both sides
        QCOMPARE(d.Waveform.size(), 512);
        QCOMPARE(d.Spectrum.size(), 32);
        // A 440 Hz tone: the strongest band is a low one.
        const int peak = int(std::max_element(d.Spectrum.begin(), d.Spectrum.end()) - d.Spectrum.begin());
        QVERIFY2(peak > 0 && peak < 12, qPrintable(QString::number(peak)));
        p.StopPlay();
        QCOMPARE(p.AudioData().LevelLeft, 0.0f);
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
