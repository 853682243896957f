// Decoding a source file from any sample position, giving there exactly the samples that a
// decode of the whole file from its start gives.
#pragma once

#include "components/audio/JobRunner.h"
#include "components/audio/MediaProbe.h"
#include "components/audio/Transcoder.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;

class SourceDecoder
{
public:
    // How a sample position is reached.
    enum class Seeking {
        // WAV data of equal blocks decoded each on its own (PCM, A-law, µ-law, IMA and MS
        // ADPCM): the block holding the sample is found from the block size, whatever byte
        // rate the header states, and positions are counted from it.
        Blocks,
        // Containers whose timestamps count single samples, with codecs that settle after a
        // short run-in (MP3, Vorbis, FLAC ...): a seek a little before the sample, positions
        // from the first frame's timestamp.
        Timestamps,
        // Everything else (WMA, whose timestamps are whole milliseconds; GSM, whose decoder
        // never forgets its start; codecs inside WAV without fixed blocks): positions are
        // counted from the file's start, and a position behind the decoder is reached by
        // decoding again from the start.
        FromStart,
    };

    SourceDecoder() = default;
    SourceDecoder(const SourceDecoder&) = delete;
    SourceDecoder& operator=(const SourceDecoder&) = delete;
    ~SourceDecoder();

    JobOutcome open(const QString& path, const WavLayout& wav);

    Seeking seeking() const { return m_seeking; }
    int rate() const { return m_rate; }
    const AVChannelLayout& layout() const;
    AVSampleFormat format() const;
    int channels() const;
    // The length in samples as far as it is known before decoding (exact for WAV blocks;
    // what the container states otherwise); 0 when unknown.
    qint64 duration() const { return m_duration; }
    // Where the decoding ended, once it has; -1 before.
    qint64 endPosition() const { return m_atEnd ? m_next : -1; }

    // Makes the next frames start at or before `sample`: the current frame when it holds
    // the sample, else by decoding on from where the decoder is, or by a seek.
    JobOutcome positionAt(qint64 sample, TranscodeStats& stats);

    // The next decoded frame: 1 (frame() and pos() valid), 0 at the end, -1 on a failure.
    int next(TranscodeStats& stats);
    const AVFrame* frame() const { return m_frame; }
    qint64 pos() const { return m_pos; }

private:
    JobOutcome openFile();
    void closeFile();
    void resetState(qint64 next, bool known);
    JobOutcome seekBlocks(qint64 sample, TranscodeStats& stats);
    JobOutcome seekTimestamps(qint64 sample, TranscodeStats& stats);
    JobOutcome restart(TranscodeStats& stats);

    QString m_path;
    WavLayout m_wav;
    Seeking m_seeking = Seeking::FromStart;
    AVFormatContext* m_in = nullptr;
    AVCodecContext* m_dec = nullptr;
    AVStream* m_st = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_pkt = nullptr;
    int m_si = -1;
    int m_rate = 0;
    int64_t m_startTime = 0;
    qint64 m_duration = 0;
    qint64 m_preroll = 0;  // samples decoded before a seek target, for the decoder to settle
    qint64 m_pos = 0;      // the current frame's first sample
    qint64 m_next = 0;     // the first sample of the frame after it
    bool m_nextKnown = false;
    bool m_frameValid = false;
    bool m_pending = false;  // the current frame is returned again by next()
    bool m_eof = false;      // the demuxer has no more packets
    bool m_atEnd = false;    // the decoder has no more frames
    bool m_fresh = false;    // opened, nothing decoded yet
};

// Pointers to the samples of a frame from `offset` on (one per plane, or one for packed
// formats).
void FrameSamplesFrom(const AVFrame* f, int offset, const uint8_t* out[]);
