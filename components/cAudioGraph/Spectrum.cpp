// A Hann-windowed radix-2 FFT over the newest samples, folded into logarithmic bands.
#include "components/cAudioGraph/Spectrum.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

namespace {

constexpr int kMaxBlock = 4096;
constexpr double kFloorDb = -60;

// In-place iterative FFT; the size is a power of two.
void fft(std::vector<std::complex<double>>& a)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j |= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2 * M_PI / double(len);
        const std::complex<double> step(std::cos(angle), std::sin(angle));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> w(1);
            for (size_t k = 0; k < len / 2; ++k) {
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
}

}  // namespace

float PeakLevel(const QVector<float>& samples)
{
    float peak = 0;
    for (float s : samples)
        peak = std::max(peak, std::abs(s));
    return std::min(peak, 1.0f);
}

SpectrumBands AnalyseSpectrum(const QVector<float>& samples, int sampleRate, int bands)
{
    SpectrumBands out;
    if (bands < 1 || sampleRate <= 0 || samples.size() < 16)
        return out;
    // The newest power-of-two stretch of the block.
    size_t n = 1;
    while (n * 2 <= size_t(samples.size()) && n * 2 <= kMaxBlock)
        n *= 2;
    const qsizetype first = samples.size() - qsizetype(n);
    std::vector<std::complex<double>> a(n);
    for (size_t i = 0; i < n; ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(n));
        a[i] = samples[first + qsizetype(i)] * w;
    }
    fft(a);

    // A sine of amplitude A gives |X| = A * n / 4 through the Hann window.
    const size_t half = n / 2;
    const double binHz = double(sampleRate) / double(n);
    auto levelOf = [&](size_t bin) {
        const double amplitude = 4 * std::abs(a[bin]) / double(n);
        const double db = amplitude > 0 ? 20 * std::log10(amplitude) : kFloorDb;
        return float(std::clamp((db - kFloorDb) / -kFloorDb, 0.0, 1.0));
    };

    // Band edges in bins, spaced evenly on a log scale from bin 1 to the top, each band
    // at least one bin wide (the lowest bands are one bin each).
    std::vector<size_t> edge(size_t(bands) + 1);
    edge[0] = 1;
    for (int b = 1; b <= bands; ++b) {
        const size_t logEdge = size_t(std::lround(std::pow(double(half), double(b) / bands)));
        edge[size_t(b)] = std::max(logEdge, edge[size_t(b) - 1] + 1);
    }
    edge[size_t(bands)] = std::max(edge[size_t(bands)], half);
    for (int b = 0; b < bands; ++b) {
        float level = 0;
        for (size_t k = edge[size_t(b)]; k < edge[size_t(b) + 1] && k < half; ++k)
            level = std::max(level, levelOf(k));
        out.Level << level;
        // A bin stands for the frequencies within half a bin of its centre.
        out.LowHz << (double(edge[size_t(b)]) - 0.5) * binHz;
        out.HighHz << (double(edge[size_t(b) + 1]) - 0.5) * binHz;
    }
    return out;
}
