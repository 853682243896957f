// Level and spectrum analysis of a short block of samples, as the audio graphs draw them.
#pragma once

#include <QVector>

// The peak of a block of samples (0 to 1).
float PeakLevel(const QVector<float>& samples);

// The magnitude spectrum of a block, folded into bands on a logarithmic frequency scale.
// Each band covers whole FFT bins; its level is that of its strongest bin on a 60 dB
// scale (0 = -60 dB or less, 1 = a full-scale sine).
struct SpectrumBands {
    QVector<float> Level;
    QVector<double> LowHz;   // lower edge of each band
    QVector<double> HighHz;  // upper edge (the next band's lower edge)
};
SpectrumBands AnalyseSpectrum(const QVector<float>& samples, int sampleRate, int bands);
