// The waveform of a file in brief: the lowest and highest sample of every block of frames,
// per channel, made in one pass over the file; and, for plain PCM files, the frames
// themselves for views zoomed in closer than a block.
#pragma once

#include "components/audio/JobRunner.h"
#include "components/audio/MediaProbe.h"

#include <QString>

#include <vector>

// What the pass learnt of the file.
struct WaveFacts {
    int sampleRate = 0;
    int bitsPerSample = 0;
    int channels = 0;
    qint64 frames = 0;
    bool pcm = false;  // plain integer PCM: its frames can be read directly
};

class WavePeaks
{
public:
    // Frames per block: small enough that a block is finer than a pixel in all but close
    // views, large enough that an hour of audio keeps a few megabytes of peaks.
    static constexpr int kFramesPerBlock = 256;

    int channels = 0;
    qint64 frames = 0;
    // Per block, per channel: lowest and highest sample, scaled to 16 bits.
    std::vector<qint16> minMax;

    qint64 blocks() const { return channels > 0 ? qint64(minMax.size()) / (channels * 2) : 0; }
    // The lowest and highest sample of channel c over the frames [first, end), to block
    // precision; false when the stretch holds no block.
    bool range(int c, qint64 first, qint64 end, int& lo, int& hi) const;
};

// Makes the peaks of a file: plain PCM WAV files are read directly (several threads for
// large files), anything else is decoded. Reports progress and stops when aborted.
JobOutcome BuildWavePeaks(const QString& path, WaveFacts& facts, WavePeaks& peaks, JobControl& control);

// Reads frames of a plain PCM WAV file, scaled to 16 bits and interleaved.
class PcmFrameReader
{
public:
    bool open(const QString& path);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    // Frames [first, first + count) into out (channels values per frame); the frames read.
    qint64 read(qint64 first, qint64 count, std::vector<qint16>& out) const;
    ~PcmFrameReader() { close(); }

private:
    WavLayout m_wav;
    int m_fd = -1;
};

// One sample of a PCM frame, scaled to 16 bits (8-bit samples are unsigned).
int PcmSampleTo16(const uchar* p, int bytes);
