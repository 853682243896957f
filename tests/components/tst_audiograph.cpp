// What the audio graphs read from the player's samples: the peak of each side, and the
// spectrum bands with a tone's peak in the band of its frequency at its level.
#include "components/cAudioGraph/Spectrum.h"
#include "components/cAudioGraph/cAudioGraph.h"

#include <QTest>

#include <algorithm>
#include <cmath>

namespace {

QVector<float> tone(int rate, double hz, double amplitude, int frames = 2048)
{
    QVector<float> s(frames);
    for (int i = 0; i < frames; ++i)
        s[i] = float(amplitude * std::sin(2 * M_PI * hz * i / rate));
    return s;
}

int peakBand(const SpectrumBands& b)
{
    return int(std::max_element(b.Level.begin(), b.Level.end()) - b.Level.begin());
}

} // namespace

class tst_AudioGraph : public QObject
{
    Q_OBJECT
private slots:
    void toneInItsBand_data();
    void toneInItsBand();
    void bandsCoverTheRange_data();
    void bandsCoverTheRange();
    void silenceAndShortBlocks();
    void amplitudeGraphLevels();
    void frequencyGraphMixesBothSides();
};

void tst_AudioGraph::toneInItsBand_data()
{
    QTest::addColumn<int>("rate");
    QTest::addColumn<double>("hz");
    QTest::addColumn<double>("amplitude");
    QTest::addColumn<double>("level");  // 0 at -60 dB, 1 at full scale
    QTest::newRow("low, full scale") << 44100 << 100.0 << 1.0 << 1.0;
    QTest::newRow("1 kHz, -6 dB") << 44100 << 1000.0 << 0.5 << 0.9;
    QTest::newRow("5 kHz, -20 dB") << 44100 << 5000.0 << 0.1 << 0.667;
    QTest::newRow("near the top") << 44100 << 18000.0 << 0.5 << 0.9;
    QTest::newRow("22 kHz rate") << 22050 << 440.0 << 0.8 << 0.968;
    QTest::newRow("8 kHz rate, -40 dB") << 8000 << 1234.0 << 0.01 << 0.333;
}

void tst_AudioGraph::toneInItsBand()
{
    QFETCH(int, rate);
    QFETCH(double, hz);
    QFETCH(double, amplitude);
    QFETCH(double, level);
    const SpectrumBands b = AnalyseSpectrum(tone(rate, hz, amplitude), rate, 32);
    QCOMPARE(b.Level.size(), 32);
    const int peak = peakBand(b);
    QVERIFY2(b.LowHz[peak] <= hz && hz < b.HighHz[peak],
             qPrintable(QStringLiteral("band %1: %2..%3 Hz").arg(peak).arg(b.LowHz[peak]).arg(b.HighHz[peak])));
    // Within the window's scalloping loss (1.5 dB at most, 0.025 on this scale).
    QVERIFY2(std::abs(b.Level[peak] - level) < 0.03, qPrintable(QString::number(b.Level[peak])));
    // Bands far from the tone stay near the floor.
    for (int i = 0; i < b.Level.size(); ++i)
        if (b.HighHz[i] < hz / 4 || b.LowHz[i] > hz * 4)
            QVERIFY2(b.Level[i] < 0.2f, qPrintable(QStringLiteral("band %1: %2").arg(i).arg(b.Level[i])));
}

void tst_AudioGraph::bandsCoverTheRange_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("bands");
    QTest::newRow("2048 frames, 32 bands") << 2048 << 32;
    QTest::newRow("odd block, 32 bands") << 1500 << 32;
    QTest::newRow("more bands than bins") << 64 << 40;
}

void tst_AudioGraph::bandsCoverTheRange()
{
    // Every band but an empty top one starts where the one before it ends, the first at
    // the lowest bin, the last at half the rate.
    QFETCH(int, frames);
    QFETCH(int, bands);
    const SpectrumBands b = AnalyseSpectrum(tone(44100, 1000, 0.5, frames), 44100, bands);
    QCOMPARE(b.Level.size(), bands);
    QVERIFY(b.LowHz[0] > 0);
    for (int i = 1; i < bands; ++i) {
        QCOMPARE(b.LowHz[i], b.HighHz[i - 1]);
        QVERIFY(b.HighHz[i] > b.LowHz[i]);
    }
    QVERIFY(b.HighHz.last() > 22050 * 0.99);
}

void tst_AudioGraph::silenceAndShortBlocks()
{
    const SpectrumBands silent = AnalyseSpectrum(QVector<float>(2048, 0.0f), 44100, 32);
    QCOMPARE(silent.Level.size(), 32);
    QCOMPARE(*std::max_element(silent.Level.begin(), silent.Level.end()), 0.0f);
    QVERIFY(AnalyseSpectrum(QVector<float>(8, 0.5f), 44100, 32).Level.isEmpty());
    QVERIFY(AnalyseSpectrum(tone(44100, 440, 0.5), 0, 32).Level.isEmpty());
    QCOMPARE(PeakLevel({}), 0.0f);
    QCOMPARE(PeakLevel({0.25f, -0.75f, 0.5f}), 0.75f);
    QCOMPARE(PeakLevel({2.0f}), 1.0f);  // a clipped sample reads full scale
}

void tst_AudioGraph::amplitudeGraphLevels()
{
    cAudioGraph graph(cAudioGraph::Amplitude);
    PlayerAudioData d;
    d.SampleRate = 44100;
    d.Left = tone(44100, 440, 0.5);
    d.Right = QVector<float>(2048, 0.0f);
    graph.SetAudioData(d);
    QCOMPARE(std::round(graph.LevelLeft() * 100), 50.0f);
    QCOMPARE(graph.LevelRight(), 0.0f);
    QVERIFY(graph.Spectrum().Level.isEmpty());
    QVERIFY(!graph.IsEmpty());
    graph.Clear();
    QVERIFY(graph.IsEmpty());
    QCOMPARE(graph.LevelLeft(), 0.0f);
}

void tst_AudioGraph::frequencyGraphMixesBothSides()
{
    // A tone on each side: both show in the spectrum of the mix.
    cAudioGraph graph(cAudioGraph::Frequency);
    PlayerAudioData d;
    d.SampleRate = 44100;
    d.Left = tone(44100, 200, 0.5);
    d.Right = tone(44100, 6000, 0.5);
    graph.SetAudioData(d);
    const SpectrumBands& b = graph.Spectrum();
    QCOMPARE(b.Level.size(), cAudioGraph::kBands);
    auto levelAt = [&](double hz) {
        for (int i = 0; i < b.Level.size(); ++i)
            if (b.LowHz[i] <= hz && hz < b.HighHz[i])
                return b.Level[i];
        return -1.0f;
    };
    QVERIFY(levelAt(200) > 0.75f);  // each at a quarter of full scale in the mix: -12 dB
    QVERIFY(levelAt(6000) > 0.75f);
    QVERIFY(levelAt(1500) < 0.3f);
    graph.Clear();
    QVERIFY(graph.Spectrum().Level.isEmpty());
}

QTEST_MAIN(tst_AudioGraph)
#include "tst_audiograph.moc"
