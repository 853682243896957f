// The audio CD burner component: image targets in the writer registry, tracks decoded from
// files of any format while the caller's events go on, the BIN/CUE image a burn writes
// (read back through libcdio) and what an 80-minute CD-R cannot take, the event protocol
// with its one terminal event on every ending, the temporary tracks, the translation of
// libburn's drive status into events, and libburn's own check of the audio job it would
// write.
#include "components/audio/CdDrives.h"
#include "components/cAudioBurner/AudioBurnerImpl.h"
#include "components/cAudioBurner/LibburnWriter.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/BurnChecks.h"
#include "tests/support/CdImages.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <cstring>

#include <libburn/libburn.h>

using namespace AudioFixtures;

namespace {

constexpr int kSector = 2352;

// A burner over one image target "target" in the test's folder, with the decoded tracks
// kept in a folder of the test's own.
struct Bench {
    QTemporaryDir dir;
    QString target = dir.filePath(QStringLiteral("disc/target"));
    QString temp = dir.filePath(QStringLiteral("tmp"));
    QByteArray oldTmp = qgetenv("TMPDIR");
    AudioBurnerImpl burner;
    BurnerLog log{&burner};
    QString letter;

    Bench()
    {
        QDir().mkpath(dir.filePath(QStringLiteral("disc")));
        QDir().mkpath(temp);
        qputenv("TMPDIR", temp.toUtf8());
        qputenv("VELMARO_CD_WRITERS", target.toUtf8());
        qunsetenv("VELMARO_CD_IMAGES");
        burner.GetWriterCount();
        letter = burner.GetWriterName(burner.GetWriterCount()).left(1);
    }
    ~Bench()
    {
        qputenv("TMPDIR", oldTmp);
        qunsetenv("VELMARO_CD_WRITERS");
    }
    QString wav(const QString& name, double seconds, int rate = 44100, int channels = 2, quint32 seed = 3)
    {
        const QString path = dir.filePath(name);
        writeWav(path, rate, channels, 16, noise(qint64(seconds * rate), channels, seed));
        return path;
    }
    // Minutes of 8 kHz mono silence: a small file whose decoding to CD audio takes long.
    QString longWav(const QString& name, int minutes)
    {
        const QString path = dir.filePath(name);
        writeWav(path, 8000, 1, 16, QVector<qint16>(qint64(minutes) * 60 * 8000));
        return path;
    }
    // The tracks of the image the burn wrote, as the cue sheet lists them.
    int imageTracks() const { return int(TestFiles::ReadBytes(target + ".cue").count(" AUDIO\n")); }
    bool blank() const { return !QFile::exists(target + ".bin") && !QFile::exists(target + ".cue"); }
    // Nothing of the burn is left besides the image: no decoded tracks, no half-written files.
    QStringList leftovers() const
    {
        QStringList out = QDir(temp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        for (const QString& f : QDir(dir.filePath(QStringLiteral("disc"))).entryList(QDir::Files | QDir::Hidden))
            if (f != QLatin1String("target.bin") && f != QLatin1String("target.cue"))
                out << f;
        return out;
    }
};

} // namespace

class tst_audioburner : public QObject
{
    Q_OBJECT
private slots:
    void imageTargetsInTheRegistry();
    void burnsDecodedTracksIntoAnImage();
    void decodingLetsTheCallersEventsRun();
    void handlersDuringTheDecoding_data();
    void handlersDuringTheDecoding();
    void usedTargetIsRefused();
    void imageTargetTakesNinetyNineTracks_data();
    void imageTargetTakesNinetyNineTracks();
    void imageTargetTakesEightyMinutes_data();
    void imageTargetTakesEightyMinutes();
    void fullDiskSaysWhy_data();
    void fullDiskSaysWhy();
    void abortLeavesTheTargetBlank_data();
    void abortLeavesTheTargetBlank();
    void targetGoneEndsInError();
    void failuresBeforeWriting();
    void tracksAreRemoved();
    void libburnStatusBecomesEvents_data();
    void libburnStatusBecomesEvents();
    void libburnChecksTheAudioJob();
};

// Image targets follow the readers in one id space, blank until written, an 80-minute
// CD-R without speeds.
void tst_audioburner::imageTargetsInTheRegistry()
{
    QTemporaryDir dir;
    const CdImages::Image img = CdImages::WriteAudio(dir.path(), QStringLiteral("reader"), {300});
    qputenv("VELMARO_CD_IMAGES", img.cue.toUtf8());
    qputenv("VELMARO_CD_WRITERS", (dir.filePath("one") + ":" + dir.filePath("two")).toUtf8());
    const QList<CdDrive> readers = ListCdDrives();
    const QList<CdWriter> writers = ListCdWriters();
    QCOMPARE(writers.size(), 2);
    QCOMPARE(writers[0].name(), QChar(char('D' + readers.size())) + QStringLiteral(": one"));
    QCOMPARE(writers[1].id, QString(QChar(char('E' + readers.size()))) + ':');
    AudioBurnerImpl b;
    QCOMPARE(b.GetWriterCount(), 2);
    const QString d = writers[0].id.left(1);
    QCOMPARE(b.GetDiscState(d), QString());
    QCOMPARE(b.GetSpeedCount(d), 0);
    QCOMPARE(qRound(b.GetDiscCapacity(d) / 153535.0 / 60.0), 80);
    QVERIFY(b.GetDiscSize(d) > 0);
    TestFiles::WriteBytes(dir.filePath("one.cue"), "x");
    QCOMPARE(b.GetDiscState(d), QStringLiteral("The disc is not blank."));
    QCOMPARE(b.GetDiscState(writers[1].id), QString());
    QCOMPARE(b.GetDiscState(QStringLiteral("Q")), QStringLiteral("There is no CD writer Q:."));
    qunsetenv("VELMARO_CD_IMAGES");
    qunsetenv("VELMARO_CD_WRITERS");
}

// A 48 kHz mono WAV, an MP3 and a FLAC: three audio tracks holding exactly what the
// project's decoder gives for each at 44.1 kHz 16-bit stereo, padded to whole sectors,
// readable through libcdio with the table of contents (and disc id) of those lengths.
void tst_audioburner::burnsDecodedTracksIntoAnImage()
{
    Bench b;
    const QString mono = b.wav(QStringLiteral("mono48.wav"), 1.3, 48000, 1, 5);
    const QString mp3 = b.dir.filePath(QStringLiteral("song.mp3"));
    QVERIFY(encode(b.wav(QStringLiteral("src.wav"), 2.2), mp3, mp3Settings()));
    const QString flac = b.dir.filePath(QStringLiteral("tune.flac"));
    QVERIFY(runTool(QStringLiteral("ffmpeg"), {"-v", "error", "-y", "-i", b.wav(QStringLiteral("f.wav"), 0.7, 22050, 2, 9),
                                               "-c:a", "flac", flac}));
    const QStringList files{mono, mp3, flac};
    QList<QByteArray> expected;
    for (const QString& f : files) {
        QVERIFY(b.burner.AddTrack(f));
        expected << CdAudioOf(f, b.dir.filePath(QStringLiteral("expected.wav")));
    }
    QCOMPARE(b.burner.GetTrackCount(), qint16(3));
    // 1.3 s at 48 kHz is 57330 frames at 44.1 kHz: 97.5 sectors of 588 frames, so 98.
    QCOMPARE(expected[0].size(), 98 * kSector);
    QCOMPARE(b.burner.Burn(b.letter, 65535), 0);

    QStringList stages;
    for (int t = 0; t < 3; ++t)
        stages << "Caching";
    for (int t = 0; t < 3; ++t)
        stages << "Writing" << "ClosingTrack";
    stages << "ClosingSession" << "Finished";
    QCOMPARE(b.log.stages(), stages);
    QVERIFY(b.log.events.contains(QStringLiteral("Progress 100 3")));
    QVERIFY(b.log.events.contains(QStringLiteral("TrackProgress 100")));
    QCOMPARE(b.burner.GetTrackCount(), qint16(0));
    QCOMPARE(b.leftovers(), QStringList());

    const QByteArray cue = TestFiles::ReadBytes(b.target + ".cue");
    QVERIFY2(cue.startsWith("FILE \"target.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"), cue.constData());
    QString error;
    const auto disc = CdDisc::open(CdDrive{QStringLiteral("X:"), b.target + ".cue", true}, error);
    QVERIFY2(disc, qPrintable(error));
    QCOMPARE(disc->tracks().size(), 3);
    QList<qint32> starts;
    qint32 at = 0;
    for (int t = 0; t < 3; ++t) {
        const CdTrack& tr = disc->tracks()[t];
        QVERIFY(tr.audio);
        QCOMPARE(tr.firstSector, at);
        QCOMPARE(qint64(tr.sectors) * kSector, qint64(expected[t].size()));
        starts << tr.firstSector;
        at += tr.sectors;
        auto reader = CdDisc::openReader(disc->drive(), tr.firstSector, tr.sectors, error);
        QVERIFY2(reader, qPrintable(error));
        QByteArray got(expected[t].size(), '\0');
        QCOMPARE(reader->read(reinterpret_cast<qint16*>(got.data()), tr.sectors * 588, error), tr.sectors * 588);
        QVERIFY2(got == expected[t], qPrintable(QStringLiteral("track %1 differs").arg(t + 1)));
    }
    // Lengths of 98 sectors, 2.2 s and 0.7 s: the id of that table of contents.
    const qint32 mp3Sectors = qint32(expected[1].size() / kSector);
    const qint32 flacSectors = qint32(expected[2].size() / kSector);
    QCOMPARE(DiscId(starts, at), DiscId({0, 98, 98 + mp3Sectors}, 98 + mp3Sectors + flacSectors));
    QCOMPARE(b.burner.GetDiscState(b.letter), QStringLiteral("The disc is not blank."));
}

// A file is decoded off the caller's thread: the caller's timers (a window's repaints and
// clicks) keep running while AddTrack waits for it, it hears CachingTrack once and then the
// decoding's percentages, rising, at most one every 100 ms.
void tst_audioburner::decodingLetsTheCallersEventsRun()
{
    Bench b;
    const QString source = b.longWav(QStringLiteral("long.wav"), 2);
    bool adding = false;
    int ticksWhileAdding = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ticksWhileAdding += adding; });
    ticker.start();
    QList<qint64> times;
    QElapsedTimer clock;
    clock.start();
    b.log.onEvent = [&](const QString& e) {
        if (e.startsWith(QLatin1String("TrackProgress")))
            times << clock.elapsed();
    };
    adding = true;
    QVERIFY(b.burner.AddTrack(source));
    adding = false;
    QVERIFY2(ticksWhileAdding > 0, "no event of the caller ran while the file was decoded");
    QCOMPARE(b.log.events.first(), QStringLiteral("Caching"));
    QCOMPARE(b.log.events.count(QStringLiteral("Caching")), 1);
    const QStringList percents = b.log.events.mid(1);
    QVERIFY(!percents.isEmpty());
    int last = -1;
    for (const QString& e : percents) {
        QVERIFY2(e.startsWith(QLatin1String("TrackProgress ")), qPrintable(e));
        const int percent = e.section(u' ', 1).toInt();
        QVERIFY(percent >= last && percent <= 100);
        last = percent;
    }
    for (int i = 1; i < times.size(); ++i)
        QVERIFY2(times[i] - times[i - 1] >= 100, qPrintable(QStringLiteral("%1 ms apart").arg(times[i] - times[i - 1])));
    QCOMPARE(b.burner.GetTrackCount(), qint16(1));
}

void tst_audioburner::handlersDuringTheDecoding_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("minutes");  // of the file decoded while the handler runs
    QTest::addColumn<bool>("added");
    QTest::newRow("Abort") << "abort" << 10 << false;
    QTest::newRow("the burner's other calls") << "calls" << 1 << true;
    QTest::newRow("the burner destroyed") << "destroy" << 10 << false;
}

// What runs while AddTrack waits for its decoding (a click on the window's Abort button, a
// second click, the window going away): Abort and destruction stop the decoding within a
// second, leaving no file of it; AddTrack, Burn, ClearTracks and CloseBurner are refused
// without harm. The tracks already in the list stay, and a burn afterwards writes them.
void tst_audioburner::handlersDuringTheDecoding()
{
    QFETCH(QString, action);
    QFETCH(int, minutes);
    QFETCH(bool, added);
    Bench b;
    auto* burner = new AudioBurnerImpl;
    QPointer<AudioBurnerImpl> alive(burner);
    const auto release = qScopeGuard([&] { delete alive.data(); });
    BurnerLog log(burner);
    const QString small = b.wav(QStringLiteral("small.wav"), 0.5);
    QVERIFY(burner->AddTrack(small));
    const QString folder = burner->TrackFolder();
    const QString source = b.longWav(QStringLiteral("long.wav"), minutes);

    bool adding = false;
    bool handled = false;
    QElapsedTimer sinceAction;
    QStringList refused;
    // A queued call, as a click is: it runs once the caller's events are handled again.
    QTimer::singleShot(0, [&] {
        handled = adding;
        sinceAction.start();
        if (action == QLatin1String("abort")) {
            burner->Abort();
        } else if (action == QLatin1String("destroy")) {
            delete burner;
        } else {
            if (burner->AddTrack(small))
                refused << "AddTrack";
            if (burner->Burn(b.letter, 65535) != -1)
                refused << "Burn";
            burner->ClearTracks();
            burner->CloseBurner();
            if (burner->GetTrackCount() != 1 || !QFileInfo::exists(folder))
                refused << "ClearTracks or CloseBurner";
        }
    });
    adding = true;
    const bool result = burner->AddTrack(source);
    adding = false;
    QVERIFY2(handled, "no handler ran while the file was decoded");
    QCOMPARE(result, added);
    QCOMPARE(refused, QStringList());
    if (!added)
        QVERIFY2(sinceAction.elapsed() < 1000, qPrintable(QStringLiteral("%1 ms").arg(sinceAction.elapsed())));
    if (action == QLatin1String("destroy")) {
        QVERIFY(!alive);
        QCOMPARE(b.leftovers(), QStringList());
        return;
    }
    // The list holds what was added, and nothing else of the decoding is left.
    const int tracks = added ? 2 : 1;
    QCOMPARE(burner->GetTrackCount(), qint16(tracks));
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), tracks);
    QVERIFY(!log.stages().join(u',').contains(QLatin1String("Error")));
    QCOMPARE(burner->Burn(b.letter, 65535), 0);
    QCOMPARE(b.imageTracks(), tracks);
    delete burner;
    QCOMPARE(b.leftovers(), QStringList());
}

void tst_audioburner::usedTargetIsRefused()
{
    Bench b;
    TestFiles::WriteBytes(b.target + ".bin", "old");
    QVERIFY(b.burner.AddTrack(b.wav(QStringLiteral("a.wav"), 0.5)));
    QCOMPARE(b.burner.Burn(b.letter, 65535), qint32(kBurnErrDisc));
    QCOMPARE(b.log.stages(), (QStringList{"Caching", "Error 3 The disc in " + b.letter + ": is not blank."}));
    QCOMPARE(TestFiles::ReadBytes(b.target + ".bin"), QByteArray("old"));
    QVERIFY(!QFile::exists(b.target + ".cue"));
    QCOMPARE(b.leftovers(), QStringList());
}

void tst_audioburner::imageTargetTakesNinetyNineTracks_data()
{
    QTest::addColumn<int>("tracks");
    QTest::addColumn<QString>("error");
    QTest::newRow("99") << 99 << QString();
    QTest::newRow("100") << 100 << "Error 3 There are 100 tracks; the disc holds 99 at most.";
}

// An image target is an 80-minute CD-R: 99 tracks are burned, each readable; 100 end in
// the burner's Error before anything is written, and the target stays blank.
void tst_audioburner::imageTargetTakesNinetyNineTracks()
{
    QFETCH(int, tracks);
    QFETCH(QString, error);
    Bench b;
    const QString one = b.wav(QStringLiteral("one.wav"), 0.01);
    for (int t = 0; t < tracks; ++t)
        QVERIFY(b.burner.AddTrack(one));
    const qint32 code = b.burner.Burn(b.letter, 65535);
    QCOMPARE(b.log.terminalEvents(), 1);
    QCOMPARE(b.burner.GetTrackCount(), qint16(0));
    QCOMPARE(b.leftovers(), QStringList());
    if (!error.isEmpty()) {
        QCOMPARE(code, qint32(kBurnErrDisc));
        QCOMPARE(b.log.events.last(), error);
        QVERIFY(!b.log.events.contains(QStringLiteral("Writing")));
        QVERIFY(b.blank());
        return;
    }
    QCOMPARE(code, 0);
    QCOMPARE(b.imageTracks(), tracks);
    QString why;
    const auto disc = CdDisc::open(CdDrive{QStringLiteral("X:"), b.target + ".cue", true}, why);
    QVERIFY2(disc, qPrintable(why));
    QCOMPARE(disc->tracks().size(), tracks);
}

void tst_audioburner::imageTargetTakesEightyMinutes_data()
{
    QTest::addColumn<QList<qint64>>("sectors");
    QTest::addColumn<QString>("error");
    QTest::newRow("two halves of 80 minutes") << QList<qint64>{180000, 180000} << QString();
    QTest::newRow("one sector more") << QList<qint64>{180000, 180001}
                                     << "The tracks need 360001 sectors; the disc holds 360000.";
    QTest::newRow("two 41-minute tracks") << QList<qint64>{184500, 184500}
                                          << "The tracks need 369000 sectors; the disc holds 360000.";
}

// 80 minutes of 75 sectors a second fit an image target; a sector more is refused before
// the image is begun. The tracks are sparse files, so nothing of their size is written.
void tst_audioburner::imageTargetTakesEightyMinutes()
{
    QFETCH(QList<qint64>, sectors);
    QFETCH(QString, error);
    Bench b;
    QList<BurnTrack> tracks;
    for (qint64 n : sectors) {
        QFile raw(b.dir.filePath(QStringLiteral("t%1.raw").arg(tracks.size())));
        QVERIFY(raw.open(QIODevice::WriteOnly) && raw.resize(n * kSector));
        tracks.append({raw.fileName(), n});
    }
    CdWriter target;
    QVERIFY(FindCdWriter(ListCdWriters(), b.letter.at(0), target));
    BurnOutcome failure;
    auto session = StartImageBurn(target, tracks, failure);
    if (!error.isEmpty()) {
        QVERIFY(!session);
        QCOMPARE(failure.code, qint32(kBurnErrDisc));
        QCOMPARE(failure.text, error);
    } else {
        // It starts; stopped at once, the target stays blank.
        QVERIFY2(session, qPrintable(failure.text));
        session->cancel();
        while (session->poll(100).stage != WriterStatus::Ended) {
        }
        QVERIFY(!session->finish(true).ok);
        session.reset();
    }
    QVERIFY(b.blank());
    QCOMPARE(b.leftovers(), QStringList());
}

void tst_audioburner::fullDiskSaysWhy_data()
{
    QTest::addColumn<bool>("full");
    QTest::newRow("a full disk") << true;
    QTest::newRow("room for part of the image") << false;
}

// A disk under the image target that is full, or fills up during the burn: the burn's Error
// says why the image could not be written, and nothing of it is left on that disk.
void tst_audioburner::fullDiskSaysWhy()
{
    QFETCH(bool, full);
    Bench b;
    SmallDisk small;
    QString why;
    if (!small.mount(b.dir.filePath(QStringLiteral("disc")), why))
        QSKIP(qPrintable("This machine gives the test no disk of its own (" + why + ")"));
    // 3 s of CD audio is 529 KB, more than the disk's 256 KB.
    QVERIFY(b.burner.AddTrack(b.wav(QStringLiteral("a.wav"), 3)));
    if (full)
        small.fill();
    QCOMPARE(b.burner.Burn(b.letter, 65535), qint32(kBurnErrWrite));
    QCOMPARE(b.log.terminalEvents(), 1);
    QCOMPARE(b.log.events.last(),
             "Error 4 Cannot write the image " + b.target + ".bin: " + QString::fromLocal8Bit(strerror(ENOSPC)));
    QVERIFY(b.blank());
    QCOMPARE(QDir(b.dir.filePath(QStringLiteral("disc"))).entryList(QDir::Files | QDir::Hidden),
             full ? QStringList{"filler"} : QStringList());
}

void tst_audioburner::abortLeavesTheTargetBlank_data()
{
    QTest::addColumn<QString>("when");
    QTest::newRow("writing the first track") << "Writing";
    QTest::newRow("after a track") << "ClosingTrack";
    QTest::newRow("closing the session") << "ClosingSession";
}

// An Abort from an event handler, as the window's yield lets a click through: exactly
// one Error, no image, nothing left over.
void tst_audioburner::abortLeavesTheTargetBlank()
{
    QFETCH(QString, when);
    Bench b;
    QVERIFY(b.burner.AddTrack(b.wav(QStringLiteral("a.wav"), 3)));
    QVERIFY(b.burner.AddTrack(b.wav(QStringLiteral("b.wav"), 2)));
    b.log.onEvent = [&](const QString& e) {
        if (e == when)
            b.burner.Abort();
    };
    QCOMPARE(b.burner.Burn(b.letter, 65535), qint32(kBurnErrAborted));
    QCOMPARE(b.log.terminalEvents(), 1);
    QCOMPARE(b.log.events.last(), QStringLiteral("Error 5 The burn was aborted."));
    QVERIFY(b.blank());
    QCOMPARE(b.leftovers(), QStringList());
    QVERIFY(!b.burner.IsBurning());
}

// The target's folder vanishes under a running burn: one Error naming the image, no
// Finished, the decoded tracks gone.
void tst_audioburner::targetGoneEndsInError()
{
    Bench b;
    QVERIFY(b.burner.AddTrack(b.wav(QStringLiteral("a.wav"), 1)));
    b.log.onEvent = [&](const QString& e) {
        if (e == QLatin1String("Writing"))
            QDir(b.dir.filePath(QStringLiteral("disc"))).removeRecursively();
    };
    QCOMPARE(b.burner.Burn(b.letter, 65535), qint32(kBurnErrWrite));
    QCOMPARE(b.log.terminalEvents(), 1);
    QVERIFY2(b.log.events.last().startsWith("Error 4 Cannot write the image " + b.target), qPrintable(b.log.events.last()));
    QCOMPARE(b.leftovers(), QStringList());
}

// Failures before anything is written end in exactly one Error too; a burn asked for from
// inside a running one is refused without events of its own.
void tst_audioburner::failuresBeforeWriting()
{
    Bench b;
    const QString junk = b.dir.filePath(QStringLiteral("junk.mp3"));
    TestFiles::WriteBytes(junk, QByteArray(5000, 'x'));
    QVERIFY(!b.burner.AddTrack(junk));
    QVERIFY(!b.burner.AddTrack(b.dir.filePath(QStringLiteral("missing.wav"))));
    QCOMPARE(b.burner.GetTrackCount(), qint16(0));
    QCOMPARE(b.burner.Burn(b.letter, 65535), qint32(kBurnErrNoTracks));
    QCOMPARE(b.log.stages(), (QStringList{"Caching", "Caching", "Error 2 There are no tracks to burn."}));

    b.log.events.clear();
    QVERIFY(b.burner.AddTrack(b.wav(QStringLiteral("a.wav"), 0.5)));
    QCOMPARE(b.burner.Burn(QStringLiteral("Q"), 65535), qint32(kBurnErrNoWriter));
    QCOMPARE(b.log.stages(), (QStringList{"Caching", "Error 1 There is no CD writer Q:."}));
    QCOMPARE(b.burner.GetTrackCount(), qint16(0));  // every ending empties the list

    // No writer was listed, so the window has no letter to give.
    b.log.events.clear();
    QVERIFY(b.burner.AddTrack(b.wav(QStringLiteral("a.wav"), 0.5)));
    QCOMPARE(b.burner.GetDiscState(QString()), QStringLiteral("There is no CD writer."));
    QCOMPARE(b.burner.Burn(QString(), 65535), qint32(kBurnErrNoWriter));
    QCOMPARE(b.log.stages(), (QStringList{"Caching", "Error 1 There is no CD writer."}));

    b.log.events.clear();
    QVERIFY(b.burner.AddTrack(b.wav(QStringLiteral("a.wav"), 0.5)));
    qint32 inner = 0;
    b.log.onEvent = [&](const QString& e) {
        if (e == QLatin1String("Writing")) {
            inner = b.burner.Burn(b.letter, 65535);
            b.burner.ClearTracks();  // refused under a running burn
            QVERIFY(!b.burner.AddTrack(b.wav(QStringLiteral("b.wav"), 0.5)));
        }
    };
    QCOMPARE(b.burner.Burn(b.letter, 65535), 0);
    QCOMPARE(inner, -1);
    QCOMPARE(b.log.terminalEvents(), 1);
    QCOMPARE(b.log.stages(), (QStringList{"Caching", "Writing", "ClosingTrack", "ClosingSession", "Finished"}));
    QVERIFY(!b.blank());
}

void tst_audioburner::tracksAreRemoved()
{
    Bench b;
    QVERIFY(b.burner.AddTrack(b.wav(QStringLiteral("a.wav"), 0.5)));
    QVERIFY(b.burner.AddTrack(b.wav(QStringLiteral("b.wav"), 0.5)));
    const QString folder = b.burner.TrackFolder();
    QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
    b.burner.ClearTracks();
    QCOMPARE(b.burner.GetTrackCount(), qint16(0));
    QVERIFY(!QFileInfo::exists(folder));
    QVERIFY(b.burner.AddTrack(b.wav(QStringLiteral("a.wav"), 0.5)));
    b.burner.CloseBurner();
    QCOMPARE(b.leftovers(), QStringList());
}

void tst_audioburner::libburnStatusBecomesEvents_data()
{
    QTest::addColumn<QList<QList<int>>>("polls");  // status, track, sector, sectors
    QTest::addColumn<QStringList>("events");
    const int W = burn::BURN_DRIVE_WRITING;
    QTest::newRow("every stage seen") << QList<QList<int>>{{burn::BURN_DRIVE_SPAWNING, 0, 0, 0},
                                                           {burn::BURN_DRIVE_WRITING_LEADIN, 0, 0, 0},
                                                           {W, 0, 50, 200},
                                                           {W, 0, 200, 200},
                                                           {burn::BURN_DRIVE_CLOSING_TRACK, 0, 0, 0},
                                                           {burn::BURN_DRIVE_WRITING_PREGAP, 1, 0, 100},
                                                           {W, 1, 25, 100},
                                                           {burn::BURN_DRIVE_WRITING_LEADOUT, 1, 0, 0},
                                                           {burn::BURN_DRIVE_IDLE, 0, 0, 0}}
                                      << QStringList{"Writing",         "Progress 25 1",  "TrackProgress 25",
                                                     "Progress 100 1",  "TrackProgress 100", "ClosingTrack",
                                                     "Writing",         "Progress 0 2",   "TrackProgress 0",
                                                     "Progress 25 2",   "TrackProgress 25", "Progress 100 2",
                                                     "TrackProgress 100", "ClosingTrack",  "ClosingSession"};
    QTest::newRow("a writer faster than the poll")
        << QList<QList<int>>{{W, 1, 10, 100}, {burn::BURN_DRIVE_IDLE, 0, 0, 0}}
        << QStringList{"Writing",       "Progress 100 1", "TrackProgress 100", "ClosingTrack", "Writing",
                       "Progress 10 2", "TrackProgress 10", "Progress 100 2",  "TrackProgress 100", "ClosingTrack",
                       "ClosingSession"};
    QTest::newRow("a late report of a closed track")
        << QList<QList<int>>{{W, 0, 100, 100}, {burn::BURN_DRIVE_CLOSING_TRACK, 0, 0, 0}, {W, 0, 100, 100},
                             {burn::BURN_DRIVE_CLOSING_SESSION, 0, 0, 0}, {burn::BURN_DRIVE_IDLE, 0, 0, 0}}
        << QStringList{"Writing",      "Progress 100 1", "TrackProgress 100", "ClosingTrack", "Writing",
                       "Progress 100 2", "TrackProgress 100", "ClosingTrack", "ClosingSession"};
}

// The poll's translation of libburn's status, fed scripted values, as a burn of two
// tracks that libburn reports as written well: the events the translator raises itself
// (the terminal Finished is the burn's, shown by the burns above).
void tst_audioburner::libburnStatusBecomesEvents()
{
    QFETCH(QList<QList<int>>, polls);
    QFETCH(QStringList, events);
    AudioBurnerImpl burner;
    BurnerLog log(&burner);
    BurnEventTranslator translator(&burner, 2);
    for (const QList<int>& p : polls) {
        burn::burn_progress progress{};
        progress.track = p[1];
        progress.sector = p[2];
        progress.sectors = p[3];
        const WriterStatus s = WriterStatusFromLibburn(p[0], progress);
        if (s.stage == WriterStatus::Ended)
            break;
        translator.feed(s);
    }
    translator.complete();
    QCOMPARE(log.events, events);
}

// libburn refuses audio tracks on its file pseudo-drives, so the real writers' job is
// judged by libburn's own pre-write check there: audio onto a non-CD must be its only
// objection, so the session, the tracks and the write options are otherwise acceptable.
void tst_audioburner::libburnChecksTheAudioJob()
{
    QTemporaryDir dir;
    QList<BurnTrack> tracks;
    for (int t = 0; t < 2; ++t) {
        const QString raw = dir.filePath(QStringLiteral("t%1.raw").arg(t));
        TestFiles::WriteBytes(raw, QByteArray(kSector * (300 + t), '\1'));
        tracks.append({raw, 300 + t});
    }
    QString error;
    auto drive = LibburnDrive::grab(QStringLiteral("stdio:") + dir.filePath(QStringLiteral("pseudo")), error);
    QVERIFY2(drive, qPrintable(error));
    LibburnJob job(drive->drive(), tracks);
    QCOMPARE(job.error(), QString());
    QCOMPARE(job.precheck(), QStringList{QStringLiteral("audio track prohibited by non-CD")});
    QCOMPARE(drive->discState(), QStringLiteral("Audio tracks need a CD-R or CD-RW disc."));
    // A job that names a missing track file cannot be built.
    LibburnJob broken(drive->drive(), {{dir.filePath(QStringLiteral("none.raw")), 10}});
    QVERIFY(!broken.error().isEmpty());
}

QTEST_MAIN(tst_audioburner)
#include "tst_audioburner.moc"
