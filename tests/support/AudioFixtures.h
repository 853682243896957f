// Audio fixtures made inside the tests: WAV files of generated signals, other formats
// encoded from them in-process, decoding back to samples, and alignment measurement.
#pragma once

#include "components/audio/AudioSettings.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace AudioFixtures {

// Interleaved 16-bit samples of band-limited noise (deterministic for a seed), or a sine.
QVector<qint16> noise(qint64 frames, int channels, quint32 seed = 1, double amplitude = 0.4);
QVector<qint16> sine(qint64 frames, int channels, int rate, double hz, double amplitude = 0.5);

// A plain PCM WAV file (8 or 16 bits); returns false when it cannot be written.
bool writeWav(const QString& path, int rate, int channels, int bits, const QVector<qint16>& samples);
QByteArray wavBytes(int rate, int channels, int bits, const QVector<qint16>& samples);

// The sample bytes of a PCM WAV file (its data chunk), empty when it has none.
QByteArray wavData(const QString& path);

// Checks what an output device wrote (SDL's disk driver): silence, at most `maxSilence`
// bytes of it, then exactly `samples`, then silence only. Empty when so, else what is wrong.
QString checkPlayedOutput(const QByteArray& written, const QByteArray& samples, qsizetype maxSilence);

// Converts `source` to `target` with the real pipeline (for MP3/OGG/WMA fixtures).
bool encode(const QString& source, const QString& target, const EncoderSettings& settings);

struct Decoded {
    int rate = 0;
    int channels = 0;
    QVector<float> samples;  // interleaved
    qint64 frames() const { return channels > 0 ? samples.size() / channels : 0; }
};
// Decodes a whole (short) file, with the stream's start time honoured.
Decoded decode(const QString& path);

// One continuous decode of a whole file as interleaved 16-bit samples, converted from the
// decoder's format by the resampling library without dither (as the converter does).
struct Pcm16 {
    int rate = 0;
    int channels = 0;
    QByteArray bytes;
    qint64 frames() const { return channels > 0 ? bytes.size() / (2 * channels) : 0; }
};
Pcm16 decodePcm16(const QString& path);

// Runs another program (never through a shell) and waits for it; false when it is missing,
// fails or runs longer than a minute, with what it said in `error`.
bool runTool(const QString& program, const QStringList& args, QString* error = nullptr);

// Mono mix of interleaved samples.
QVector<float> mono(const QVector<float>& interleaved, int channels);
QVector<float> monoFrom16(const QVector<qint16>& interleaved, int channels);

// The lag (in samples) at which `b` best matches `a` (b[i] ~ a[i + lag]), searched within
// +-maxLag over the first `window` samples; also the normalised correlation there.
int bestLag(const QVector<float>& a, const QVector<float>& b, int maxLag, int window, double* correlation = nullptr);

EncoderSettings wavSettings(int rate, int channels, int bits);
EncoderSettings mp3Settings(int kbps = 128);
EncoderSettings oggSettings(int quality = 50);
EncoderSettings wmaSettings(int codec = 0, int format = 0);
EncoderSettings acmSettings(const QString& tag, const QString& format);

}  // namespace AudioFixtures
