// The creation seam and the scriptable fakes the window tests use in place of the audio
// components: the factories hand out fakes, which record the jobs and replay the events.
#include "components/cAudioCDRipper/CDRipperImpl.h"
#include "components/cAudioConverter/AudioConverterImpl.h"
#include "components/cPlayer/PlayerImpl.h"
#include "tests/support/FakeAudioComponents.h"

#include <QTest>

class tst_AudioFakes : public QObject
{
    Q_OBJECT

private slots:
    void factoriesHandOutFakesWhileInstalled()
    {
        QObject owner;
        {
            FakeAudioFactories fakes;
            cAudioConverter* c = CreateAudioConverter(&owner);
            cPlayer* p = CreatePlayer(&owner);
            cAudioCDRipper* r = CreateAudioCDRipper(&owner);
            QVERIFY(qobject_cast<FakeAudioConverter*>(c));
            QVERIFY(qobject_cast<FakePlayer*>(p));
            QVERIFY(qobject_cast<FakeAudioCDRipper*>(r));
            QCOMPARE(fakes.converters.size(), 1);
            QCOMPARE(c->parent(), &owner);
        }
        QVERIFY(qobject_cast<AudioConverterImpl*>(CreateAudioConverter(&owner)));
        QVERIFY(qobject_cast<PlayerImpl*>(CreatePlayer(&owner)));
        QVERIFY(qobject_cast<CDRipperImpl*>(CreateAudioCDRipper(&owner)));
    }

    // A split-like chain: each Done starts the next job from inside the handler; the fake
    // records what every job was set up with.
    void converterRecordsJobsAndChainsFromDone()
    {
        FakeAudioFactories fakes;
        fakes.setupConverter = [](FakeAudioConverter* f) {
            f->files.insert(QStringLiteral("/music/a.wav"), FakeFileScript{0, 62000, 44100, 2, 16, {}});
            f->autoFinish = FakeAutoFinish::Done;
        };
        QObject owner;
        cAudioConverter* c = CreateAudioConverter(&owner);
        auto* fake = fakes.converters.first().data();
        QCOMPARE(c->ReadFileInfo(QStringLiteral("/music/a.wav")), 0);
        QCOMPARE(c->Duration(), 62000);
        QCOMPARE(c->ReadFileInfo(QStringLiteral("/music/none.wav")), 2);
        QCOMPARE(c->Duration(), 0);
        int part = 0;
        QStringList events;
        auto start = [&] {
            c->SetSourceFile(QStringLiteral("/music/a.wav"));
            c->SetRangeStart(part * 12);
            c->SetRangeLength(12);
            c->SetOutputFile(QStringLiteral("/out/Part_%1_a.WAV").arg(part + 1));
            c->StartConvert();
        };
        connect(c, &cAudioConverter::Done, c, [&] {
            events << QStringLiteral("Done");
            if (++part < 3)
                start();
        });
        start();
        QTRY_COMPARE(events.size(), 3);
        QCOMPARE(fake->started.size(), 3);
        QCOMPARE(fake->started[2].rangeStart, 24);
        QCOMPARE(fake->started[2].output, QStringLiteral("/out/Part_3_a.WAV"));
        QVERIFY(!c->IsConverting());
    }

    void rangeIsForgottenWithANewSource()
    {
        FakeAudioConverter c;
        c.SetSourceFile(QStringLiteral("a"));
        c.SetRangeStart(30);
        c.SetRangeLength(60);
        c.StartConvert();
        c.SetSourceFile(QStringLiteral("b"));
        c.StartConvert();
        QVERIFY(c.started[0].hasRange);
        QCOMPARE(c.started[0].rangeLength, 60);
        QVERIFY(!c.started[1].hasRange);
        FakeAudioCDRipper r;
        r.SetTrackNumber(1);
        r.SetRangeStart(5);
        r.StartRip();
        r.SetTrackNumber(2);
        r.StartRip();
        QVERIFY(r.started[0].hasRange);
        QVERIFY(!r.started[1].hasRange);
    }

    void playerAndRipperScripts()
    {
        FakePlayer p;
        p.files.insert(QStringLiteral("x.mp3"), FakePlayerScript{0, 44100, 2, 128000, 61.5});
        QString file = QStringLiteral("x.mp3");
        qint32 device = -1;
        QCOMPARE(p.Play(file, device), 0);
        QVERIFY(p.IsPlaying());
        int done = 0;
        connect(&p, &cPlayer::PlayDone, &p, [&] { ++done; });
        p.StopPlay();
        QVERIFY(!p.IsPlaying());
        QTRY_COMPARE(done, 1);

        FakeAudioCDRipper r;
        r.drives = {FakeCdDrive{QStringLiteral("D: drive"), true, {{240, true}, {60, false}}}};
        QVERIFY(r.SelectDevice(0));
        qint32 t1 = 1, t2 = 2;
        QCOMPARE(r.GetTrackLength(t1), 240);
        QCOMPARE(r.GetTrackType(t2), 0);
        QVERIFY(r.IsAudioCD());
        QVERIFY(!r.SelectDevice(1));
    }
};

QTEST_MAIN(tst_AudioFakes)
#include "tst_audiofakes.moc"
