// The audio editor control on generated files and on files made by sox and ffmpeg: what
// opening reports, the peaks against the samples, selection and zoom, the drawing, saving
// exactly the selected samples, refusals and aborts, and playback on SDL's dummy output.
#include "components/cAudioEditor/cAudioEditor.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/ExternalTools.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QScrollBar>
#include <QSignalSpy>
#include <QThread>
#include <QTemporaryDir>
#include <QTest>

using namespace AudioFixtures;

namespace {

// Waits for the end of the file's reading; true when FileLoaded came.
bool waitLoaded(cAudioEditor& e, QSignalSpy& loaded, QSignalSpy& errors)
{
    QElapsedTimer t;
    t.start();
    while (loaded.isEmpty() && errors.isEmpty() && t.elapsed() < 20000)
        QTest::qWait(5);
    return !loaded.isEmpty() && e.IsLoaded();
}

// An editor with spies on the events of its loading.
struct LoadedEditor {
    cAudioEditor e;
    QSignalSpy loaded{&e, &cAudioEditor::FileLoaded};
    QSignalSpy errors{&e, &cAudioEditor::Error};
    bool open(const QString& file)
    {
        e.OpenFile(file);
        return waitLoaded(e, loaded, errors);
    }
};

// Every event of a save, in order, as text.
struct SaveEvents {
    QStringList list;
    explicit SaveEvents(cAudioEditor& e)
    {
        QObject::connect(&e, &cAudioEditor::SaveDone, &e, [this] { list << QStringLiteral("SaveDone"); });
        QObject::connect(&e, &cAudioEditor::Aborted, &e, [this] { list << QStringLiteral("Aborted"); });
        QObject::connect(&e, &cAudioEditor::Error, &e,
                         [this](qint32 code, const QString& d) { list << QStringLiteral("Error %1 %2").arg(code).arg(d); });
    }
    bool wait()
    {
        QElapsedTimer t;
        t.start();
        while (list.isEmpty() && t.elapsed() < 20000)
            QTest::qWait(5);
        return !list.isEmpty();
    }
};

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace

class tst_AudioEditor : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_stereo16;  // 44.1 kHz, 16 bits, stereo noise, 2.5 s plus 100 frames
    QString m_mono8;     // 22.05 kHz, 8 bits, mono noise, 1.2 s
    QString m_sox24;     // 48 kHz, 24 bits, stereo, made by sox
    QString m_adpcm;     // IMA ADPCM of m_stereo16, made by ffmpeg
    QString m_halves;    // 4 s: a loud first half, a silent second half
    QVector<qint16> m_stereoSamples;
    static constexpr qint64 kStereoFrames = 44100 * 5 / 2 + 100;

    QString path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_stereo16 = path(QStringLiteral("stereo16.wav"));
        m_mono8 = path(QStringLiteral("mono8.wav"));
        m_sox24 = path(QStringLiteral("sox24.wav"));
        m_adpcm = path(QStringLiteral("adpcm.wav"));
        m_halves = path(QStringLiteral("halves.wav"));
        m_stereoSamples = noise(kStereoFrames, 2, 7, 0.6);
        QVERIFY(writeWav(m_stereo16, 44100, 2, 16, m_stereoSamples));
        QVERIFY(writeWav(m_mono8, 22050, 1, 8, noise(26460, 1, 3)));
        QString why;
        QVERIFY2(ExternalTools::SoxSynth(m_sox24, 48000, 2, 24, QStringLiteral("1.3"), QStringLiteral("sine 440"), &why),
                 qPrintable(why));
        QVERIFY2(ExternalTools::Run(QStringLiteral("ffmpeg"),
                                    {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-i"),
                                     m_stereo16, QStringLiteral("-c:a"), QStringLiteral("adpcm_ima_wav"), m_adpcm},
                                    m_adpcm, &why),
                 qPrintable(why));
        QVector<qint16> halves = sine(44100 * 4, 1, 44100, 300, 0.9);
        std::fill(halves.begin() + 44100 * 2, halves.end(), qint16(0));
        QVERIFY(writeWav(m_halves, 44100, 1, 16, halves));
    }

    // ---- opening ----------------------------------------------------------------------

    void opensAndReportsTheFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("channels");
        QTest::addColumn<qint64>("frames");
        QTest::newRow("16-bit stereo") << "stereo16.wav" << 44100 << 16 << 2 << kStereoFrames;
        QTest::newRow("8-bit mono") << "mono8.wav" << 22050 << 8 << 1 << qint64(26460);
        QTest::newRow("24-bit stereo by sox") << "sox24.wav" << 48000 << 24 << 2 << qint64(62400);
        // ADPCM decodes in whole blocks: at least the source's frames, less than a block more.
        QTest::newRow("IMA ADPCM by ffmpeg") << "adpcm.wav" << 44100 << 4 << 2 << qint64(-1);
    }
    void opensAndReportsTheFile()
    {
        QFETCH(QString, name);
        QFETCH(int, rate);
        QFETCH(int, bits);
        QFETCH(int, channels);
        QFETCH(qint64, frames);
        cAudioEditor e;
        QSignalSpy loaded(&e, &cAudioEditor::FileLoaded);
        QSignalSpy errors(&e, &cAudioEditor::Error);
        QSignalSpy selection(&e, &cAudioEditor::SelectionChanged);
        e.OpenFile(path(name));
        QVERIFY(!e.IsLoaded());
        QVERIFY2(waitLoaded(e, loaded, errors), errors.isEmpty() ? "" : qPrintable(errors.first().at(1).toString()));
        QCOMPARE(loaded.count(), 1);
        const QList<QVariant> a = loaded.first();
        QCOMPARE(a.at(0).toInt(), rate);
        QCOMPARE(a.at(1).toInt(), bits);
        QCOMPARE(a.at(2).toInt(), channels);
        const qint64 count = a.at(4).toLongLong();
        if (frames >= 0)
            QCOMPARE(count, frames);
        else
            QVERIFY2(count >= kStereoFrames && count < kStereoFrames + 1017, qPrintable(QString::number(count)));
        QCOMPARE(a.at(3).toInt(), int(count / rate));  // whole seconds, cut down
        // The whole file is selected and shown; no selection event is needed for that.
        QCOMPARE(e.SelectionStartSample(), qint64(0));
        QCOMPARE(e.SelectionEndSample(), count);
        QCOMPARE(e.ViewFirstSample(), qint64(0));
        QCOMPARE(e.ViewSampleCount(), count);
        QCOMPARE(selection.count(), 0);
        QCOMPARE(errors.count(), 0);
    }

    void unreadableFilesAreErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("code");
        QTest::newRow("missing") << "none.wav" << QByteArray() << int(kErrSourceMissing);
        QTest::newRow("empty") << "empty.wav" << QByteArray("") << int(kErrSourceUnreadable);
        QTest::newRow("text") << "text.wav" << QByteArray("only some words, no sound") << int(kErrSourceUnreadable);
        // A header that announces ten seconds over half a second of samples.
        QByteArray cut = wavBytes(8000, 1, 16, QVector<qint16>(4000, 100));
        cut[40] = char(0x00), cut[41] = char(0x71), cut[42] = char(0x02), cut[43] = char(0x00);
        QTest::newRow("damaged") << "cut.wav" << cut << int(kErrSourceDamaged);
    }
    void unreadableFilesAreErrors()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(int, code);
        const QString file = path(QStringLiteral("bad-") + name);
        if (name != QLatin1String("none.wav"))
            QVERIFY(TestFiles::WriteBytes(file, content));
        cAudioEditor e;
        QSignalSpy loaded(&e, &cAudioEditor::FileLoaded);
        QSignalSpy errors(&e, &cAudioEditor::Error);
        e.OpenFile(file);
        QVERIFY(!waitLoaded(e, loaded, errors));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.first().at(0).toInt(), code);
        QVERIFY(errors.first().at(1).toString().contains(file));
        QCOMPARE(e.Play(), qint32(kEditPlayNoFile));
    }

    void aNewFileReplacesOneStillBeingRead()
    {
        cAudioEditor e;
        QSignalSpy loaded(&e, &cAudioEditor::FileLoaded);
        QSignalSpy errors(&e, &cAudioEditor::Error);
        QSignalSpy aborted(&e, &cAudioEditor::Aborted);
        e.OpenFile(m_adpcm);
        e.OpenFile(m_mono8);
        QVERIFY(waitLoaded(e, loaded, errors));
        QTest::qWait(100);
        QCOMPARE(loaded.count(), 1);
        QCOMPARE(loaded.first().at(0).toInt(), 22050);
        QCOMPARE(aborted.count(), 0);
        QCOMPARE(e.FileName(), m_mono8);
    }

    // ---- peaks ------------------------------------------------------------------------

    void peaksAreTheBlocksLowestAndHighestSamples_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("16-bit stereo") << "stereo16.wav";
        QTest::newRow("8-bit mono") << "mono8.wav";
        QTest::newRow("24-bit stereo by sox") << "sox24.wav";
        QTest::newRow("IMA ADPCM by ffmpeg") << "adpcm.wav";
    }
    void peaksAreTheBlocksLowestAndHighestSamples()
    {
        QFETCH(QString, name);
        const QString file = path(name);
        WaveFacts facts;
        WavePeaks peaks;
        JobControl control;
        QCOMPARE(BuildWavePeaks(file, facts, peaks, control).kind, JobOutcome::Done);
        // The samples as FFmpeg decodes them, scaled to 16 bits the same way.
        const Decoded d = decode(file);
        QCOMPARE(peaks.channels, d.channels);
        QCOMPARE(peaks.frames, d.frames());
        QCOMPARE(peaks.blocks(), (d.frames() + WavePeaks::kFramesPerBlock - 1) / WavePeaks::kFramesPerBlock);
        const qint64 stretches[][2] = {{0, 1}, {0, d.frames()}, {300, 9000}, {d.frames() - 5, d.frames()}};
        for (const auto& s : stretches) {
            for (int c = 0; c < d.channels; ++c) {
                const qint64 b0 = s[0] / WavePeaks::kFramesPerBlock * WavePeaks::kFramesPerBlock;
                const qint64 b1 = std::min(d.frames(), (s[1] + WavePeaks::kFramesPerBlock - 1) / WavePeaks::kFramesPerBlock *
                                                           WavePeaks::kFramesPerBlock);
                int wantLo = 32767, wantHi = -32768;
                for (qint64 f = b0; f < b1; ++f) {
                    const int v = int(std::floor(d.samples[int(f * d.channels + c)] * 32768.0f));
                    wantLo = std::min(wantLo, v);
                    wantHi = std::max(wantHi, v);
                }
                int lo = 0, hi = 0;
                QVERIFY(peaks.range(c, s[0], s[1], lo, hi));
                QVERIFY2(std::abs(lo - wantLo) <= 1 && std::abs(hi - wantHi) <= 1,
                         qPrintable(QStringLiteral("%1..%2 ch %3: %4 %5 want %6 %7")
                                        .arg(s[0]).arg(s[1]).arg(c).arg(lo).arg(hi).arg(wantLo).arg(wantHi)));
            }
        }
    }

    // A large file is read by several threads: spikes at the ends of the file and around
    // the places where the threads' shares meet must all land in their own blocks.
    void largeFilesSharedBetweenThreadsLoseNoBlock()
    {
        const QString file = path(QStringLiteral("large.wav"));
        constexpr qint64 frames = 20'000'123;  // about 80 MB of 16-bit stereo, mostly a hole
        QByteArray header = wavBytes(44100, 2, 16, {});
        const quint32 bytes = quint32(frames * 4);
        memcpy(header.data() + 40, &bytes, 4);
        const quint32 riff = bytes + 36;
        memcpy(header.data() + 4, &riff, 4);
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(header), qint64(44));
        QVERIFY(f.resize(44 + qint64(bytes)));
        QList<qint64> spikes{0, frames - 1, 123456};
        for (int t = 1; t < 4; ++t) {
            const qint64 edge = (frames + 255) / 256 * t / 4 * 256;
            spikes << edge - 1 << edge;
        }
        for (qint64 at : spikes) {
            const qint16 v[2] = {qint16(1000 + at % 20000), qint16(-1000 - at % 20000)};
            QVERIFY(f.seek(44 + at * 4));
            QCOMPARE(f.write(reinterpret_cast<const char*>(v), 4), qint64(4));
        }
        f.close();
        WaveFacts facts;
        WavePeaks peaks;
        JobControl control;
        QCOMPARE(BuildWavePeaks(file, facts, peaks, control).kind, JobOutcome::Done);
        QCOMPARE(facts.frames, frames);
        QVERIFY(facts.pcm);
        for (qint64 block = 0; block < peaks.blocks(); ++block) {
            int lo = 0, hi = 0, lo2 = 0, hi2 = 0;
            QVERIFY(peaks.range(0, block * 256, block * 256 + 1, lo, hi));
            QVERIFY(peaks.range(1, block * 256, block * 256 + 1, lo2, hi2));
            int wantHi = 0, wantLo2 = 0;
            for (qint64 at : spikes)
                if (at / 256 == block) {
                    wantHi = std::max(wantHi, int(1000 + at % 20000));
                    wantLo2 = std::min(wantLo2, int(-1000 - at % 20000));
                }
            if (hi != wantHi || lo != 0 || lo2 != wantLo2 || hi2 != 0)
                QFAIL(qPrintable(QStringLiteral("block %1: %2 %3 / %4 %5").arg(block).arg(lo).arg(hi).arg(lo2).arg(hi2)));
        }
        QFile::remove(file);
    }

    void closeViewsReadTheFramesThemselves()
    {
        for (const QString& name : {QStringLiteral("stereo16.wav"), QStringLiteral("mono8.wav"), QStringLiteral("sox24.wav")}) {
            PcmFrameReader r;
            QVERIFY(r.open(path(name)));
            const Decoded d = decode(path(name));
            std::vector<qint16> out;
            QCOMPARE(r.read(1000, 50, out), qint64(50));
            for (int i = 0; i < 50 * d.channels; ++i)
                QCOMPARE(int(out[size_t(i)]), int(std::floor(d.samples[1000 * d.channels + i] * 32768.0f)));
            QCOMPARE(r.read(d.frames() - 10, 50, out), qint64(10));  // no frames past the end
        }
        PcmFrameReader r;
        QVERIFY(!r.open(m_adpcm));  // compressed: drawn from its peaks
    }

    // ---- selection, zoom and drawing ---------------------------------------------------

    void selectionReportsSamplesAndMilliseconds()
    {
        LoadedEditor le;
        cAudioEditor& e = le.e;
        QSignalSpy changed(&e, &cAudioEditor::SelectionChanged);
        QVERIFY(le.open(m_stereo16));
        e.SetSelection(88200 + 44, 22050);  // given backwards
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.last(), (QList<QVariant>{qint64(22050), qint64(88244), qint64(500), qint64(2000)}));
        e.SetSelection(22050, 88244);  // the same again: no event
        QCOMPARE(changed.count(), 1);
        e.SetSelection(-50, kStereoFrames + 999);  // clipped to the file
        QCOMPARE(changed.last(), (QList<QVariant>{qint64(0), kStereoFrames, qint64(0), kStereoFrames * 1000 / 44100}));
    }

    void mouseSelects()
    {
        LoadedEditor le;
        cAudioEditor& e = le.e;
        e.resize(600, 200);
        e.show();
        QVERIFY(QTest::qWaitForWindowExposed(&e));
        QVERIFY(le.open(m_halves));
        // From a quarter to a half of the width: the second second of the four.
        QTest::mousePress(&e, Qt::LeftButton, {}, QPoint(150, 100));
        QTest::mouseRelease(&e, Qt::LeftButton, {}, QPoint(300, 100));
        QCOMPARE(e.SelectionStartSample(), qint64(44100));
        QCOMPARE(e.SelectionEndSample(), qint64(88200));
        // Shift extends from the far end of the selection.
        QTest::mouseClick(&e, Qt::LeftButton, Qt::ShiftModifier, QPoint(450, 100));
        QCOMPARE(e.SelectionStartSample(), qint64(44100));
        QCOMPARE(e.SelectionEndSample(), qint64(132300));
        // A plain click leaves an empty selection where it was.
        QTest::mouseClick(&e, Qt::LeftButton, {}, QPoint(75, 100));
        QCOMPARE(e.SelectionStartSample(), qint64(22050));
        QCOMPARE(e.SelectionEndSample(), qint64(22050));
    }

    void zoomToSelectionAndBack()
    {
        LoadedEditor le;
        cAudioEditor& e = le.e;
        e.resize(500, 150);
        QVERIFY(le.open(m_stereo16));
        auto* bar = e.findChild<QScrollBar*>();
        QVERIFY(bar && !bar->isVisibleTo(&e));
        e.SetSelection(1000, 1000);
        e.ZoomToSelection();  // nothing selected: the view stays
        QCOMPARE(e.ViewSampleCount(), kStereoFrames);
        e.SetSelection(30000, 40000);
        e.ZoomToSelection();
        QCOMPARE(e.ViewFirstSample(), qint64(30000));
        QCOMPARE(e.ViewSampleCount(), qint64(10000));
        QVERIFY(bar->isVisibleTo(&e));
        QCOMPARE(e.SampleAtX(0), qint64(30000));
        bar->setValue(bar->maximum());  // scrolled to the end
        QCOMPARE(e.ViewFirstSample() + e.ViewSampleCount(), kStereoFrames);
        QCOMPARE(e.ViewSampleCount(), qint64(10000));
        e.SetSelection(5, 7);  // closer than the closest view: a view of 16 frames
        e.ZoomToSelection();
        QCOMPARE(e.ViewFirstSample(), qint64(5));
        QCOMPARE(e.ViewSampleCount(), qint64(16));
        e.ZoomRestore();
        QCOMPARE(e.ViewFirstSample(), qint64(0));
        QCOMPARE(e.ViewSampleCount(), kStereoFrames);
        QVERIFY(!bar->isVisibleTo(&e));
    }

    // The drawing puts the sound where it is in time: tall in the loud half, flat in the
    // silent one, at every zoom (peaks, frames per pixel, frames joined by lines).
    void drawingFollowsTheSound_data()
    {
        QTest::addColumn<qint64>("first");
        QTest::addColumn<qint64>("count");
        QTest::newRow("whole file") << qint64(0) << qint64(0);
        QTest::newRow("frames per pixel") << qint64(88200 - 20000) << qint64(40000);
        QTest::newRow("frames joined") << qint64(88200 - 200) << qint64(400);
    }
    void drawingFollowsTheSound()
    {
        QFETCH(qint64, first);
        QFETCH(qint64, count);
        LoadedEditor le;
        cAudioEditor& e = le.e;
        e.resize(400, 120);
        e.SetDisplayColor1(0x0000FF);  // red waveform
        QVERIFY(le.open(m_halves));
        e.SetSelection(0, 0);
        if (count > 0) {
            e.SetSelection(first, first + count);
            e.ZoomToSelection();
            e.SetSelection(0, 0);
        }
        const QImage img = e.grab().toImage();
        // The rows holding waveform pixels in the columns around x.
        auto redRows = [&](int x) {
            int n = 0;
            for (int y = 0; y < img.height(); ++y) {
                bool red = false;
                for (int cx = std::max(0, x - 30); cx <= std::min(img.width() - 1, x + 30) && !red; ++cx) {
                    const QColor c = img.pixelColor(cx, y);
                    red = c.red() > 200 && c.green() < 80 && c.blue() < 80;
                }
                n += red;
            }
            return n;
        };
        const int loudX = e.XOfSample(88200 - (count > 0 ? count / 4 : 44100));
        const int quietX = e.XOfSample(88200 + (count > 0 ? count / 4 : 44100));
        QVERIFY2(redRows(loudX) > 40, qPrintable(QString::number(redRows(loudX))));
        QVERIFY2(redRows(quietX) <= 2, qPrintable(QString::number(redRows(quietX))));
    }

    // ---- saving -----------------------------------------------------------------------

    // What is saved is exactly the selected samples: a selection as the window hands it
    // back (the milliseconds it was told), the whole file just after loading (its length
    // in whole seconds stands for all of it), or milliseconds of its own.
    void savesExactlyTheSelectedSamples_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint64>("selStart");  // -1: no selection made after loading
        QTest::addColumn<qint64>("selEnd");
        QTest::addColumn<qint64>("startMs");   // what the window puts; -1 puts nothing
        QTest::addColumn<qint64>("lengthMs");
        QTest::addColumn<qint64>("wantFirst");
        QTest::addColumn<qint64>("wantEnd");   // -1: to the end of the file
        QTest::newRow("16-bit, selection as reported") << "stereo16.wav" << qint64(12345) << qint64(54321) << qint64(279)
                                                       << qint64(1231 - 279) << qint64(12345) << qint64(54321);
        QTest::newRow("16-bit, whole file after loading") << "stereo16.wav" << qint64(-1) << qint64(0) << qint64(0)
                                                          << qint64(2000) << qint64(0) << qint64(-1);
        QTest::newRow("16-bit, milliseconds of its own") << "stereo16.wav" << qint64(12345) << qint64(54321) << qint64(250)
                                                         << qint64(500) << qint64(11025) << qint64(33075);
        QTest::newRow("16-bit, nothing put") << "stereo16.wav" << qint64(7) << qint64(70007) << qint64(-1) << qint64(-1)
                                             << qint64(7) << qint64(70007);
        QTest::newRow("8-bit mono") << "mono8.wav" << qint64(101) << qint64(20001) << qint64(4) << qint64(907 - 4)
                                    << qint64(101) << qint64(20001);
        QTest::newRow("24-bit by sox") << "sox24.wav" << qint64(4801) << qint64(40000) << qint64(100) << qint64(733)
                                       << qint64(4801) << qint64(40000);
    }
    void savesExactlyTheSelectedSamples()
    {
        QFETCH(QString, name);
        QFETCH(qint64, selStart);
        QFETCH(qint64, selEnd);
        QFETCH(qint64, startMs);
        QFETCH(qint64, lengthMs);
        QFETCH(qint64, wantFirst);
        QFETCH(qint64, wantEnd);
        const QString source = path(name);
        const QString out = path(QStringLiteral("saved/") + QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_') + QStringLiteral(".wav"));
        QVERIFY(QDir().mkpath(path(QStringLiteral("saved"))));
        LoadedEditor le;
        cAudioEditor& e = le.e;
        QSignalSpy progress(&e, &cAudioEditor::Progress);
        QVERIFY(le.open(source));
        if (selStart >= 0)
            e.SetSelection(selStart, selEnd);
        SaveEvents events(e);
        e.SetSourceFile(source);
        e.SetOutputFile(out);
        if (startMs >= 0) {
            e.SetSelectionStart(startMs);
            e.SetSelectionLength(lengthMs);
        }
        const QByteArray before = TestFiles::ReadBytes(source);
        e.SaveSelection();
        QVERIFY(e.IsSaving());
        QVERIFY(events.wait());
        QCOMPARE(events.list, QStringList{QStringLiteral("SaveDone")});
        QVERIFY(!progress.isEmpty());
        QCOMPARE(progress.last().at(0).toInt(), 100);
        QCOMPARE(TestFiles::ReadBytes(source), before);

        const WavLayout in = ParseWavLayout(source), saved = ParseWavLayout(out);
        QVERIFY(saved.isWav && saved.pcm);
        QCOMPARE(saved.sampleRate, in.sampleRate);
        QCOMPARE(saved.channels, in.channels);
        QCOMPARE(saved.bitsPerSample, in.bitsPerSample);
        const QByteArray data = TestFiles::ReadBytes(source).mid(int(in.dataOffset), int(in.dataSize));
        const qint64 end = wantEnd < 0 ? in.frames() : wantEnd;
        const QByteArray want = data.mid(int(wantFirst * in.blockAlign), int((end - wantFirst) * in.blockAlign));
        QCOMPARE(saved.frames(), end - wantFirst);
        QVERIFY(TestFiles::ReadBytes(out).mid(int(saved.dataOffset), int(saved.dataSize)) == want);
    }

    void compressedSourceIsSavedAsPcmOfTheSelection()
    {
        const QString out = path(QStringLiteral("from-adpcm.wav"));
        LoadedEditor le;
        cAudioEditor& e = le.e;
        QVERIFY(le.open(m_adpcm));
        e.SetSelection(10000, 30000);
        SaveEvents events(e);
        e.SetOutputFile(out);
        e.SaveSelection();
        QVERIFY(events.wait());
        QCOMPARE(events.list, QStringList{QStringLiteral("SaveDone")});
        const WavLayout saved = ParseWavLayout(out);
        QVERIFY(saved.pcm);
        QCOMPARE(saved.bitsPerSample, 16);
        QCOMPARE(saved.frames(), qint64(20000));
        // The same samples the decoder gives for that stretch.
        const Decoded all = decode(m_adpcm), part = decode(out);
        for (int i = 0; i < part.samples.size(); i += 97)
            QVERIFY(std::abs(part.samples[i] - all.samples[10000 * 2 + i]) < 1.0f / 32768 * 1.5f);
    }

    void refusedSaves_data()
    {
        QTest::addColumn<QString>("output");  // "@edited" is the file being edited
        QTest::addColumn<qint64>("selStart");
        QTest::addColumn<qint64>("selEnd");
        QTest::addColumn<int>("code");
        QTest::newRow("over the edited file") << "@edited" << qint64(0) << qint64(100) << int(kErrOutputSameAsSource);
        QTest::newRow("nothing selected") << "out.wav" << qint64(500) << qint64(500) << int(kErrBadRange);
        QTest::newRow("missing folder") << "no/such/folder/out.wav" << qint64(0) << qint64(100) << int(kErrOutputUnwritable);
        QTest::newRow("no output") << "" << qint64(0) << qint64(100) << int(kErrOutputUnwritable);
    }
    void refusedSaves()
    {
        QFETCH(QString, output);
        QFETCH(qint64, selStart);
        QFETCH(qint64, selEnd);
        QFETCH(int, code);
        QTemporaryDir dir;
        const QString edited = dir.filePath(QStringLiteral("edited.wav"));
        QVERIFY(QFile::copy(m_mono8, edited));
        const QByteArray before = TestFiles::ReadBytes(edited);
        LoadedEditor le;
        cAudioEditor& e = le.e;
        QVERIFY(le.open(edited));
        e.SetSelection(selStart, selEnd);
        SaveEvents events(e);
        e.SetSourceFile(edited);
        e.SetOutputFile(output == QLatin1String("@edited") ? edited : output.isEmpty() ? QString() : dir.filePath(output));
        e.SaveSelection();
        QVERIFY(events.wait());
        QCOMPARE(events.list.size(), 1);
        QVERIFY2(events.list.first().startsWith(QStringLiteral("Error %1 ").arg(code)), qPrintable(events.list.first()));
        QCOMPARE(TestFiles::ReadBytes(edited), before);
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("edited.wav")});
    }

    // A file that appears under the output's name while the save runs (another job's
    // output) is left as it is and the save fails saying so, even where replacing the file
    // there before was agreed; the file that was there when replacing it was agreed is
    // replaced.
    void saveOntoANameTakenMeanwhile_data()
    {
        QTest::addColumn<bool>("agreed");
        QTest::addColumn<bool>("taken");  // another job writes the name while the save runs
        QTest::newRow("no file there, then another job's") << false << true;
        QTest::newRow("a file agreed to, then another job's") << true << true;
        QTest::newRow("a file agreed to") << true << false;
    }
    void saveOntoANameTakenMeanwhile()
    {
        QFETCH(bool, agreed);
        QFETCH(bool, taken);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("selection.wav"));
        if (agreed)
            QVERIFY(QFile::copy(m_mono8, out));
        LoadedEditor le;
        cAudioEditor& e = le.e;
        QVERIFY(le.open(m_stereo16));
        e.SetSelection(100, 1100);
        SaveEvents events(e);
        e.SetOutputFile(out);
        e.SetOverwriteAgreed(ReadFileIdentity(out));
        e.SaveSelection();
        // No event has been delivered yet: the saved file is not in place.
        if (taken) {
            QFile::remove(out);
            QVERIFY(TestFiles::WriteBytes(out, "another job's output"));
        }
        QVERIFY(events.wait());
        QTest::qWait(20);
        if (!taken) {
            QCOMPARE(events.list, QStringList{QStringLiteral("SaveDone")});
            QCOMPARE(ParseWavLayout(out).frames(), qint64(1000));
        } else {
            QCOMPARE(events.list,
                     QStringList{QStringLiteral("Error %1 The output file \"%2\" was not written: a file of that name "
                                                "appeared while the job ran, and it is left as it is.")
                                     .arg(kErrOutputUnwritable)
                                     .arg(out)});
            QCOMPARE(TestFiles::ReadBytes(out), QByteArray("another job's output"));
        }
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("selection.wav")});
    }

    // An abort wins even over a save that already finished: no file is left behind.
    void abortedSaveLeavesNothing()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("aborted.wav"));
        LoadedEditor le;
        cAudioEditor& e = le.e;
        QVERIFY(le.open(m_stereo16));
        SaveEvents events(e);
        e.SetOutputFile(out);
        e.SaveSelection();
        e.Abort();
        QVERIFY(events.wait());
        QTest::qWait(50);
        QCOMPARE(events.list, QStringList{QStringLiteral("Aborted")});
        QVERIFY(!e.IsSaving());
        QCOMPARE(filesIn(dir.path()), QStringList());
        // The next save works.
        events.list.clear();
        e.SaveSelection();
        QVERIFY(events.wait());
        QCOMPARE(events.list, QStringList{QStringLiteral("SaveDone")});
        QCOMPARE(ParseWavLayout(out).frames(), kStereoFrames);
    }

    void secondSaveWhileSavingIsRefused()
    {
        QTemporaryDir dir;
        LoadedEditor le;
        cAudioEditor& e = le.e;
        QVERIFY(le.open(m_stereo16));
        SaveEvents events(e);
        e.SetOutputFile(dir.filePath(QStringLiteral("a.wav")));
        e.SaveSelection();
        e.SetOutputFile(dir.filePath(QStringLiteral("b.wav")));
        e.SaveSelection();
        QTRY_COMPARE(events.list.size(), 2);
        QVERIFY(events.list.contains(QStringLiteral("SaveDone")));
        QVERIFY(events.list.filter(QStringLiteral("Error %1 ").arg(kErrBusy)).size() == 1);
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("a.wav")});
    }

    void abortWithNothingRunningStillAnswers()
    {
        cAudioEditor e;
        QSignalSpy aborted(&e, &cAudioEditor::Aborted);
        e.Abort();
        QCOMPARE(aborted.count(), 0);  // queued, as every event
        QTRY_COMPARE(aborted.count(), 1);
        QTest::qWait(50);
        QCOMPARE(aborted.count(), 1);
    }

    // ---- playback (SDL's dummy output plays in real time) -------------------------------

    void playsTheSelectionOnly()
    {
        LoadedEditor le;
        cAudioEditor& e = le.e;
        QSignalSpy done(&e, &cAudioEditor::PlayDone);
        QVERIFY(le.open(m_halves));
        e.SetSelection(44100, 44100 + 13230);  // 0.3 s of the four
        QElapsedTimer t;
        t.start();
        QCOMPARE(e.Play(), 0);
        QVERIFY(e.IsPlaying());
        QTRY_VERIFY_WITH_TIMEOUT(e.PlayPosition() > 44100, 3000);
        QVERIFY(e.PlayPosition() <= 44100 + 13230);
        QVERIFY(done.wait(3000));
        QVERIFY2(t.elapsed() < 2000, qPrintable(QString::number(t.elapsed())));
        QVERIFY(!e.IsPlaying());
        QTest::qWait(100);
        QCOMPARE(done.count(), 1);
    }

    void pauseResumeStopAndAbort()
    {
        LoadedEditor le;
        cAudioEditor& e = le.e;
        QSignalSpy done(&e, &cAudioEditor::PlayDone);
        QSignalSpy aborted(&e, &cAudioEditor::Aborted);
        QVERIFY(le.open(m_halves));
        QCOMPARE(e.Play(), 0);  // the whole file is selected
        QTRY_VERIFY_WITH_TIMEOUT(e.PlayPosition() > 2000, 3000);
        e.Pause();
        QVERIFY(e.IsPaused());
        const qint64 at = e.PlayPosition();
        QTest::qWait(300);
        QCOMPARE(e.PlayPosition(), at);
        e.Resume();
        QVERIFY(!e.IsPaused());
        QTRY_VERIFY_WITH_TIMEOUT(e.PlayPosition() > at, 3000);
        e.Pause();
        e.StopPlay();  // stopping while paused: no longer playing, no PlayDone
        QVERIFY(!e.IsPlaying());
        QVERIFY(!e.IsPaused());
        QCOMPARE(e.Play(), 0);
        e.Abort();
        QVERIFY(!e.IsPlaying());
        QTRY_COMPARE(aborted.count(), 1);
        QTest::qWait(100);
        QCOMPARE(done.count(), 0);
        QCOMPARE(aborted.count(), 1);
    }

    void destroyedWhileBusy()
    {
        QTemporaryDir dir;
        auto* e = new cAudioEditor;
        QSignalSpy loaded(e, &cAudioEditor::FileLoaded);
        QSignalSpy errors(e, &cAudioEditor::Error);
        e->OpenFile(m_stereo16);
        QVERIFY(waitLoaded(*e, loaded, errors));
        QCOMPARE(e->Play(), 0);
        e->SetOutputFile(dir.filePath(QStringLiteral("x.wav")));
        e->SaveSelection();
        e->OpenFile(m_adpcm);
        delete e;
        QTest::qWait(100);
        QCOMPARE(filesIn(dir.path()), QStringList());  // a save that never ended leaves nothing
    }

    // The editor goes away while the worker is still filling the peaks of a large file: the
    // worker must be stopped before the peaks it writes into are freed.
    void destroyedWhileReadingPeaks()
    {
        const QString file = path(QStringLiteral("long.wav"));
        constexpr qint64 frames = 30'000'000;  // about 2.5 min of 16-bit stereo, a hole on disk
        QByteArray header = wavBytes(44100, 2, 16, {});
        const quint32 bytes = quint32(frames * 4);
        memcpy(header.data() + 40, &bytes, 4);
        const quint32 riff = bytes + 36;
        memcpy(header.data() + 4, &riff, 4);
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(header), qint64(44));
        QVERIFY(f.resize(44 + qint64(bytes)));
        f.close();
        for (int round = 0; round < 24; ++round) {
            auto* e = new cAudioEditor;
            e->OpenFile(file);
            QThread::msleep(round * 3);
            delete e;
        }
        QFile::remove(file);
    }
};

QTEST_MAIN(tst_AudioEditor)
#include "tst_audioeditor.moc"
