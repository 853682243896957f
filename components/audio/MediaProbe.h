// Reads what the components tell about an audio file: its format and length, its tags,
// and, for WAV files, the exact layout of the sample data.
#pragma once

#include "components/audio/AudioSettings.h"

#include <QString>

// The RIFF/WAVE layout of a file, read from its header.
struct WavLayout {
    bool riffWave = false;  // the file begins as a RIFF/WAVE file
    bool isWav = false;     // ... and has a format and a data chunk
    bool pcm = false;       // plain integer PCM (tag 1, or an extensible header with the PCM sub-format)
    int formatTag = 0;
    int codecTag = 0;  // the format tag, or the sub-format of an extensible header
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    int blockAlign = 0;
    qint64 dataOffset = 0;
    qint64 dataSize = 0;      // the bytes of sample data present
    qint64 declaredSize = 0;  // what the header announces
    bool truncated = false;   // the header announces more data than the file holds

    // Samples per channel that `bytes` of sample data decode to, for codecs whose data is a
    // run of equal blocks each decoded on its own (PCM, float, A-law, µ-law, IMA and MS
    // ADPCM), as the decoders count them; -1 for other codecs.
    qint64 samplesIn(qint64 bytes) const;
    bool fixedBlocks() const { return isWav && samplesIn(blockAlign) > 0; }
    qint64 samplesPerBlock() const { return samplesIn(blockAlign); }
    // The sample frames of the data present (0 for codecs without fixed blocks).
    qint64 frames() const;
};
WavLayout ParseWavLayout(const QString& path);

struct MediaFacts {
    qint32 code = 0;  // 0 = readable, else an AudioErrorCode
    QString error;    // why not
    qint64 durationMs = 0;
    double lengthSeconds = 0;
    int sampleRate = 0;
    int channels = 0;
    int bitsPerSample = 0;
    qint64 bitRate = 0;  // bits per second
};
MediaFacts ProbeMedia(const QString& path);

// The cheap checks before a file is opened: it exists, is not empty, and, when it is a WAV
// file, holds the sample data its header announces. Fills `wav` with its WAV layout.
MediaFacts CheckSourceFile(const QString& path, WavLayout& wav);

// The file's tags (title, artist, album, year, comment, genre, track); empty when it has none.
AudioTags ReadMediaTags(const QString& path);

struct AVFormatContext;

// Opens a file with the media libraries and reads its stream information, which reads at
// most a bounded amount of the file: a file of zeros under an audio name (a download whose
// space was taken but never filled) would otherwise be read to its very end, gigabytes,
// in search of a first frame. Reading after this call is not bounded. `*ctx` is the opened
// file for the caller to close, or null when the file cannot be opened; the result is the
// analysis' (>= 0 when the streams were found within the bound).
int OpenMediaFile(const QString& path, AVFormatContext** ctx);

// Routes FFmpeg's own log lines away from the console (once per process).
void QuietMediaLibraries();
