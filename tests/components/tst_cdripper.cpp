// The CD ripper component on generated BIN/CUE image drives: drive registry, table of
// contents, byte-exact rips of tracks and ranges, encoded rips, the event protocol, and
// images that do not hold their tracks in full.
#include "components/audio/CdDrives.h"
#include "components/cAudioCDRipper/CDRipperImpl.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/CdImages.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace AudioFixtures;

namespace {

using CdImages::Image;
constexpr int kSector = CdImages::kSectorBytes;

// The device index of the last image drive listed.
qint32 lastDrive()
{
    return qint32(ListCdDrives().size()) - 1;
}

struct RipLog : QObject {
    QStringList events;
    QList<int> progress;
    explicit RipLog(cAudioCDRipper* r)
    {
        connect(r, &cAudioCDRipper::Progress, this, [this](qint32 p) { progress << p; });
        connect(r, &cAudioCDRipper::Done, this, [this] { events << QStringLiteral("Done"); });
        connect(r, &cAudioCDRipper::Aborted, this, [this] { events << QStringLiteral("Aborted"); });
        connect(r, &cAudioCDRipper::Error, this,
                [this](qint32 code, const QString& d) { events << QStringLiteral("Error %1 %2").arg(code).arg(d); });
    }
};

}  // namespace

class tst_CDRipper : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    Image m_audio;  // 3 audio tracks: 375, 525 and 315 sectors (5, 7 and 4.2 s)
    Image m_mixed;  // a data track, then 2 audio tracks
    qint32 m_audioIndex = -1;
    qint32 m_mixedIndex = -1;

    static void prepare(cAudioCDRipper& r, qint32 device, qint32 track, const EncoderSettings& s, const QString& out)
    {
        r.SetDeviceIndex(device);
        r.SetTrackNumber(track);
        r.SetOutputFormat(s.OutputFormat);
        WAVSettings w = s.WAV;
        r.SetWAVSettings(w);
        MP3Settings m = s.MP3;
        r.SetMP3Settings(m);
        r.SetOutputFile(out);
    }

    QString rip(qint32 device, qint32 track, const EncoderSettings& s, const QString& out, bool range = false,
                int start = 0, int length = 0)
    {
        CDRipperImpl r;
        RipLog log(&r);
        prepare(r, device, track, s, out);
        if (range) {
            r.SetRangeStart(start);
            r.SetRangeLength(length);
        }
        r.SetTagTitle(QStringLiteral("Ripped"));
        r.SetOverwriteAgreed(ReadFileIdentity(out));  // as the windows do: a file there was agreed to
        r.StartRip();
        if (!QTest::qWaitFor([&] { return !log.events.isEmpty(); }, 60000))
            return QStringLiteral("timeout");
        QTest::qWait(20);
        return log.events.join(QLatin1Char('|'));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_audio = CdImages::WriteAudio(m_dir.path(), QStringLiteral("album"), {375, 525, 315}, 10);
        m_mixed = CdImages::WriteMixed(m_dir.path(), QStringLiteral("mixed"), {300, 150, 225}, 20);
        qputenv("VELMARO_CD_IMAGES", (m_audio.cue + QLatin1Char(':') + m_mixed.cue).toLocal8Bit());
        CDRipperImpl r;
        const qint32 n = r.GetDeviceCount();
        QVERIFY(n >= 2);
        m_audioIndex = n - 2;
        m_mixedIndex = n - 1;
    }

    void drives()
    {
        CDRipperImpl r;
        const QString a = r.GetDeviceName(m_audioIndex), m = r.GetDeviceName(m_mixedIndex);
        QCOMPARE(a.mid(1, 1), QStringLiteral(":"));
        QCOMPARE(m.at(0).unicode(), a.at(0).unicode() + 1);  // drive ids in device order
        QVERIFY(a.contains(QStringLiteral("album.cue")));
        QCOMPARE(r.GetDeviceName(m_mixedIndex + 1), QString());
        QVERIFY(!r.SelectDevice(m_mixedIndex + 1));
        QVERIFY(!r.SelectDevice(-1));
        QVERIFY(!r.IsAudioCD());
        QCOMPARE(r.GetTrackCount(), 0);
    }

    void tableOfContents()
    {
        CDRipperImpl r;
        QVERIFY(r.SelectDevice(m_audioIndex));
        QVERIFY(r.IsAudioCD());
        QCOMPARE(r.GetTrackCount(), 3);
        const QList<int> lengths{5, 7, 4};
        for (qint32 t = 1; t <= 3; ++t) {
            QCOMPARE(r.GetTrackLength(t), lengths[t - 1]);
            QCOMPARE(r.GetTrackType(t), 1);
        }
        qint32 none = 4;
        QCOMPARE(r.GetTrackLength(none), 0);
        r.OpenTray();  // an image drive has no tray: nothing happens
        r.CloseTray();
        QVERIFY(r.SelectDevice(m_mixedIndex));
        QVERIFY(r.IsAudioCD());
        qint32 one = 1, two = 2;
        QCOMPARE(r.GetTrackType(one), 0);
        QCOMPARE(r.GetTrackType(two), 1);
        r.CloseDevice();
        QCOMPARE(r.GetTrackCount(), 0);
    }

    void missingImageCannotBeSelected()
    {
        const CdImages::ListedAsDrives images({m_dir.filePath(QStringLiteral("gone.cue"))});
        CDRipperImpl r;
        QVERIFY(!r.SelectDevice(r.GetDeviceCount() - 1));
    }

    // An image drive whose cue sheet or data file is a pipe is refused at once: the drive
    // poll must never wait for a writer that does not come.
    void imagesThatAreNotFilesDoNotBlock_data()
    {
        QTest::addColumn<bool>("cueIsPipe");
        QTest::addColumn<QString>("fileLine");  // the cue sheet's FILE line
        QTest::newRow("cue sheet") << true << "FILE \"pipe.bin\" BINARY";
        QTest::newRow("data file, quoted name") << false << "FILE \"pipe.bin\" BINARY";
        QTest::newRow("data file, bare name") << false << "FILE pipe.bin BINARY";
    }

    void imagesThatAreNotFilesDoNotBlock()
    {
        QFETCH(bool, cueIsPipe);
        QFETCH(QString, fileLine);
        QTemporaryDir dir;
        const Image img = CdImages::WriteAudio(dir.path(), QStringLiteral("pipe"), {75}, 30);
        QByteArray cue = TestFiles::ReadBytes(img.cue);
        cue.replace("FILE \"pipe.bin\" BINARY", fileLine.toUtf8());
        TestFiles::WriteBytes(img.cue, cue);
        const QString pipe = cueIsPipe ? img.cue : dir.filePath(QStringLiteral("pipe.bin"));
        QVERIFY(QFile::remove(pipe));
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);

        const CdImages::ListedAsDrives images({img.cue});
        std::atomic<bool> done{false};
        bool selected = true;
        std::thread poll([&] {
            CDRipperImpl r;
            selected = r.SelectDevice(r.GetDeviceCount() - 1);
            done = true;
        });
        const bool inTime = QTest::qWaitFor([&] { return done.load(); }, 10000);
        // A poll stuck on the pipe is let go (a writer comes and leaves), so the test ends.
        while (!done) {
            const int fd = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
            QThread::msleep(20);
        }
        poll.join();
        QVERIFY2(inTime, "the drive poll waited on a pipe");
        QVERIFY(!selected);
    }

    // A WAV rip of the CD format is the track's bytes; a range is exactly its sectors, and
    // a range running past the end of the track gives what there is.
    void wavRipsAreExact_data()
    {
        QTest::addColumn<int>("track");
        QTest::addColumn<bool>("range");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("firstSector");
        QTest::addColumn<int>("sectors");
        QTest::newRow("track 1") << 1 << false << 0 << 0 << 0 << 375;
        QTest::newRow("track 2") << 2 << false << 0 << 0 << 375 << 525;
        QTest::newRow("track 3") << 3 << false << 0 << 0 << 900 << 315;
        QTest::newRow("track 2, 2 s from 3 s") << 2 << true << 3 << 2 << 375 + 225 << 150;
        QTest::newRow("track 2, past its end") << 2 << true << 5 << 10 << 375 + 375 << 150;
    }
    void wavRipsAreExact()
    {
        QFETCH(int, track);
        QFETCH(bool, range);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(int, firstSector);
        QFETCH(int, sectors);
        const QString out = m_dir.filePath(QStringLiteral("rip.wav"));
        QCOMPARE(rip(m_audioIndex, track, wavSettings(44100, 2, 16), out, range, start, length), QStringLiteral("Done"));
        QCOMPARE(wavData(out), m_audio.bin.mid(firstSector * kSector, sectors * kSector));
    }

    void encodedRip()
    {
        const QString out = m_dir.filePath(QStringLiteral("rip.mp3"));
        QCOMPARE(rip(m_audioIndex, 3, mp3Settings(), out), QStringLiteral("Done"));
        const Decoded d = decode(out);
        QCOMPARE(d.frames(), qint64(315 * 588));
        const QVector<qint16> pcm(reinterpret_cast<const qint16*>(m_audio.bin.constData() + 900 * kSector),
                                  reinterpret_cast<const qint16*>(m_audio.bin.constData() + 1215 * kSector));
        double corr = 0;
        QCOMPARE(bestLag(monoFrom16(pcm, 2), mono(d.samples, 2), 2000, 8192, &corr), 0);
        QVERIFY2(corr > 0.8, qPrintable(QString::number(corr)));
    }

    void failures_data()
    {
        QTest::addColumn<bool>("mixed");
        QTest::addColumn<int>("device");  // -1: the image drive
        QTest::addColumn<int>("track");
        QTest::addColumn<bool>("range");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("code");
        QTest::newRow("data track") << true << -1 << 1 << false << 0 << int(kErrDevice);
        QTest::newRow("no such track") << false << -1 << 9 << false << 0 << int(kErrDevice);
        QTest::newRow("no such device") << false << 99 << 1 << false << 0 << int(kErrDevice);
        QTest::newRow("range after the end") << false << -1 << 1 << true << 6 << int(kErrBadRange);
        QTest::newRow("ape") << false << -1 << 1 << false << 0 << int(kErrFormatUnsupported);
    }
    void failures()
    {
        QFETCH(bool, mixed);
        QFETCH(int, device);
        QFETCH(int, track);
        QFETCH(bool, range);
        QFETCH(int, start);
        QFETCH(int, code);
        EncoderSettings s = wavSettings(44100, 2, 16);
        if (code == kErrFormatUnsupported)
            s.OutputFormat = kOutputAPE;
        const QString out = m_dir.filePath(QStringLiteral("fail.wav"));
        const QString events = rip(device >= 0 ? device : (mixed ? m_mixedIndex : m_audioIndex), track, s, out, range, start, 5);
        QVERIFY2(events.startsWith(QStringLiteral("Error %1 ").arg(code)), qPrintable(events));
        QVERIFY(!events.contains(QLatin1Char('|')));
        QVERIFY(!QFile::exists(out));
    }

    // Rips chain from the Done handler; a newly set track is ripped whole although the
    // previous one had a range; Abort ends a rip with Aborted and no file.
    void eventProtocol()
    {
        CDRipperImpl r;
        RipLog log(&r);
        r.SetDeviceIndex(m_audioIndex);
        r.SetOutputFormat(kOutputWAV);
        WAVSettings w{44100, 2, 16};
        r.SetWAVSettings(w);
        connect(&r, &cAudioCDRipper::Done, &r, [&] {
            if (log.events.size() == 1) {
                r.SetTrackNumber(3);
                r.SetOutputFile(m_dir.filePath(QStringLiteral("second.wav")));
                r.StartRip();
            }
        });
        r.SetTrackNumber(1);
        r.SetRangeStart(1);
        r.SetRangeLength(1);
        r.SetOutputFile(m_dir.filePath(QStringLiteral("first.wav")));
        r.StartRip();
        QVERIFY(QTest::qWaitFor([&] { return log.events.size() >= 2; }, 60000));
        QTest::qWait(50);
        QCOMPARE(log.events, (QStringList{QStringLiteral("Done"), QStringLiteral("Done")}));
        QCOMPARE(wavData(m_dir.filePath(QStringLiteral("first.wav"))).size(), 75 * kSector);
        QCOMPARE(wavData(m_dir.filePath(QStringLiteral("second.wav"))).size(), 315 * kSector);

        log.events.clear();
        const QString out = m_dir.filePath(QStringLiteral("aborted.mp3"));
        r.SetTrackNumber(2);
        r.SetOutputFormat(kOutputMP3);
        MP3Settings m = mp3Settings().MP3;
        r.SetMP3Settings(m);
        r.SetOutputFile(out);
        r.StartRip();
        QVERIFY(r.IsRipping());
        r.Abort();
        QVERIFY(QTest::qWaitFor([&] { return !log.events.isEmpty(); }, 60000));
        QTest::qWait(50);
        QCOMPARE(log.events, QStringList{QStringLiteral("Aborted")});
        QVERIFY(!QFile::exists(out));
        QVERIFY(TestFiles::PartFiles(m_dir.path()).isEmpty());
    }

    // Samples of uniform random bytes come out as the image holds them: the reader is told
    // the byte order of CD audio and does not guess it from the samples.
    void uniformSamplesKeepTheirByteOrder()
    {
        QTemporaryDir dir;
        const Image img = CdImages::WriteUniform(dir.path(), QStringLiteral("uniform"), {450, 300, 150}, 2);
        const CdImages::ListedAsDrives images({img.cue});
        for (int t = 1; t <= 3; ++t) {
            const QString out = dir.filePath(QStringLiteral("uniform%1.wav").arg(t));
            QCOMPARE(rip(lastDrive(), t, wavSettings(44100, 2, 16), out), QStringLiteral("Done"));
            const QByteArray got = wavData(out);
            QCOMPARE(got.size(), img.track(t - 1).size());
            QVERIFY2(got == img.track(t - 1), qPrintable(QStringLiteral("track %1 differs from the image's").arg(t)));
        }
    }

    // A track the image does not hold in full ends in an error that says so, at once, and
    // leaves no output: no track is filled with zeros or left short under its name.
    void tracksNotAllThereEndInAnError_data()
    {
        QTest::addColumn<QList<int>>("tracks");  // sectors of each track, as the cue sheet lays them out
        QTest::addColumn<QString>("track2Starts");  // the cue sheet's start of track 2, when moved
        QTest::addColumn<int>("cutTo");             // sectors the image keeps
        QTest::addColumn<int>("track");
        const QList<int> three{150, 150, 150};
        QTest::newRow("cut inside track 1, track 1") << three << QString() << 100 << 1;
        QTest::newRow("cut inside track 1, track 2 starts after it") << three << QString() << 100 << 2;
        QTest::newRow("cut in the middle of track 2, track 2") << three << QString() << 225 << 2;
        QTest::newRow("cut in the middle of track 2, track 3") << three << QString() << 225 << 3;
        QTest::newRow("cut at the end of track 1, track 2") << QList<int>{150, 150} << QString() << 150 << 2;
        QTest::newRow("cue gives track 1 ten minutes, the image 2 s") << QList<int>{150, 150} << "10:00:00" << 150 << 1;
    }
    void tracksNotAllThereEndInAnError()
    {
        QFETCH(QList<int>, tracks);
        QFETCH(QString, track2Starts);
        QFETCH(int, cutTo);
        QFETCH(int, track);
        QTemporaryDir dir;
        const Image img = CdImages::WriteUniform(dir.path(), QStringLiteral("cut"), tracks, 5);
        if (!track2Starts.isEmpty()) {
            QByteArray cue = TestFiles::ReadBytes(img.cue);
            cue.replace("INDEX 01 00:02:00", "INDEX 01 " + track2Starts.toLatin1());
            QVERIFY(TestFiles::WriteBytes(img.cue, cue));
        }
        QVERIFY(img.cutTo(cutTo));
        const CdImages::ListedAsDrives images({img.cue});
        const QString out = dir.filePath(QStringLiteral("cut.mp3"));
        const CdImages::Deadline deadline(30000, "a rip of a cut image");
        const QString events = rip(lastDrive(), track, mp3Settings(), out);
        QCOMPARE(events, QStringLiteral("Error %1 Track %2 ends past the end of the disc image.").arg(kErrDevice).arg(track));
        QVERIFY(!QFile::exists(out));
        QVERIFY(TestFiles::PartFiles(dir.path()).isEmpty());
    }

    // An image cut while its track is read: the reader hands over the sectors it read, then
    // fails at the first sector the image no longer holds. A reader of sectors the image
    // does not hold is refused at once.
    void imageCutWhileItIsRead()
    {
        QTemporaryDir dir;
        const Image img = CdImages::WriteUniform(dir.path(), QStringLiteral("during"), {1200}, 8);
        const CdImages::Deadline deadline(30000, "reading an image cut while it is read");
        QString error;
        const std::shared_ptr<PcmReader> reader =
            CdDisc::openReader(CdDrive{QStringLiteral("X:"), img.cue, true}, 0, 1200, error);
        QVERIFY2(reader, qPrintable(error));
        QCOMPARE(reader->totalFrames(), qint64(1200) * 588);
        // The reader is at most a few seconds (a few hundred sectors) ahead of its caller.
        QVERIFY(img.cutTo(900));
        QByteArray got;
        std::vector<qint16> buf(588 * 25 * 2);
        int n = 0;
        while ((n = reader->read(buf.data(), 588 * 25, error)) > 0)
            got.append(reinterpret_cast<const char*>(buf.data()), qsizetype(n) * 4);
        QCOMPARE(n, -1);
        QCOMPARE(error, QStringLiteral("The CD could not be read at sector 900."));
        QVERIFY2(got.size() <= 900 * kSector, qPrintable(QString::number(got.size() / kSector)));
        QVERIFY(got == img.bin.left(got.size()));
        QVERIFY(!CdDisc::openReader(CdDrive{QStringLiteral("X:"), img.cue, true}, 800, 200, error));
        QCOMPARE(error, QStringLiteral("The CD could not be read at sector 900."));
    }

    // Abort, and closing the component, end a rip at once, also one reading a cut image:
    // the reading never waits for sectors that do not come.
    // An image cut while its track is ripped: the rip ends in an error that names the first
    // sector missing, and the part written so far is removed, not left under the track's name.
    void imageCutDuringTheRip()
    {
        QTemporaryDir dir;
        const Image img = CdImages::WriteUniform(dir.path(), QStringLiteral("during"), {90 * 75}, 12);
        const CdImages::ListedAsDrives images({img.cue});
        const QString out = dir.filePath(QStringLiteral("during.ogg"));
        const CdImages::Deadline deadline(60000, "a rip of an image cut while it is ripped");
        CDRipperImpl r;
        RipLog log(&r);
        prepare(r, lastDrive(), 1, oggSettings(), out);
        // At the first progress the encoder is at the track's start and the reading at most
        // a few seconds ahead of it: the cut at 80 s lies before both.
        bool cut = false;
        connect(&r, &cAudioCDRipper::Progress, this, [&] {
            if (!cut)
                cut = img.cutTo(80 * 75);
        });
        r.StartRip();
        QVERIFY(QTest::qWaitFor([&] { return !log.events.isEmpty(); }, 50000));
        QTest::qWait(20);
        QVERIFY(cut);
        QCOMPARE(log.events, QStringList{QStringLiteral("Error %1 The CD could not be read at sector %2.").arg(kErrDevice).arg(80 * 75)});
        QVERIFY(!QFile::exists(out));
        QVERIFY(TestFiles::PartFiles(dir.path()).isEmpty());
    }

    void stopsSoon_data()
    {
        QTest::addColumn<bool>("cut");
        QTest::addColumn<bool>("close");
        QTest::newRow("abort, cut image") << true << false;
        QTest::newRow("close, cut image") << true << true;
        QTest::newRow("abort, whole image") << false << false;
        QTest::newRow("close, whole image") << false << true;
    }
    void stopsSoon()
    {
        QFETCH(bool, cut);
        QFETCH(bool, close);
        QTemporaryDir dir;
        // Cut inside track 1, track 2 starts after the end of the image; whole, track 2 lasts 40 s.
        const Image img =
            CdImages::WriteUniform(dir.path(), QStringLiteral("stop"), {150, cut ? 150 : 40 * 75, 150}, 9);
        if (cut)
            QVERIFY(img.cutTo(100));
        const CdImages::ListedAsDrives images({img.cue});
        const QString out = dir.filePath(QStringLiteral("stop.mp3"));
        const CdImages::Deadline deadline(30000, "stopping a rip");
        auto* r = new CDRipperImpl;
        RipLog log(r);
        prepare(*r, lastDrive(), 2, mp3Settings(), out);
        r->StartRip();
        // Stopped while it reads: after its first progress, or a moment after the start on
        // the cut image, where the reading finds nothing to read.
        if (cut)
            QTest::qWait(300);
        else
            QVERIFY(QTest::qWaitFor([&] { return !log.progress.isEmpty(); }, 60000));
        // A stop takes well under a second; the bound leaves room for a loaded test machine
        // (the sanitizers and parallel tests), while a read that cannot be stopped fails it.
        constexpr int kStopBoundMs = 3000;
        QElapsedTimer clock;
        clock.start();
        if (close) {
            delete r;
            QVERIFY2(clock.elapsed() < kStopBoundMs, qPrintable(QString::number(clock.elapsed())));
        } else {
            r->Abort();
            QVERIFY(QTest::qWaitFor([&] { return !log.events.isEmpty(); }, kStopBoundMs));
            QTest::qWait(20);
            QCOMPARE(log.events.size(), 1);
            QVERIFY2(log.events[0] == QLatin1String("Aborted") || log.events[0].startsWith(QLatin1String("Error")),
                     qPrintable(log.events[0]));
            delete r;
        }
        QVERIFY(!QFile::exists(out));
        QVERIFY(TestFiles::PartFiles(dir.path()).isEmpty());
    }
};

QTEST_MAIN(tst_CDRipper)
#include "tst_cdripper.moc"
