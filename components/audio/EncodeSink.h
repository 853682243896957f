// The encoding side of a conversion: what to encode with for each output format, and the
// sink that resamples, frames, encodes and muxes samples into the output file.
#pragma once

#include "components/audio/AudioSettings.h"
#include "components/audio/JobRunner.h"

#include <QByteArray>
#include <QString>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
}

struct AVAudioFifo;
struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwrContext;

// What to encode with: encoder, container, rate, channels and rate control.
struct EncoderPlan {
    const char* muxer = "wav";
    QByteArray encoder;
    int sampleRate = 44100;
    int channels = 2;
    qint64 bitRate = 0;
    bool qscale = false;
    int globalQuality = 0;
    int compressionLevel = -1;
    bool mp3Abr = false;
    int mp3JointStereo = -1;  // -1 leave the encoder's default
    bool mp3Copyright = false;
    bool mp3Original = false;
    int g726CodeSize = 0;
    bool fixWavHeader = false;  // compressed WAV: the muxer's byte rate and sample count are put right
    bool wmaPadding = false;
};

// The plan for the settings of one job, for a source of that rate and channel count.
JobOutcome planEncoder(const EncoderSettings& s, int srcRate, int srcChannels, EncoderPlan& p);

class EncodeSink
{
public:
    EncodeSink() = default;
    EncodeSink(const EncodeSink&) = delete;
    EncodeSink& operator=(const EncodeSink&) = delete;
    ~EncodeSink();

    // Opens the encoder and writes the container's header into `path`, for source samples
    // of the given rate, layout and format. Errors name `outputName`, the file the user
    // asked for, which `path` (a temporary file) becomes when the job is done.
    JobOutcome open(const EncoderPlan& plan, const QString& path, const QString& outputName, const AudioTags& tags,
                    int srcRate, const AVChannelLayout& srcLayout, AVSampleFormat srcFmt);
    // Samples of another rate, layout or format follow: what the resampler holds of the
    // earlier ones is passed on first. Nothing changes when they are alike.
    JobOutcome setSource(int srcRate, const AVChannelLayout& srcLayout, AVSampleFormat srcFmt);
    // Takes n source samples (one pointer per plane, or one for packed formats).
    JobOutcome write(const uint8_t* const* data, int n);
    // Flushes the resampler and the encoder and finishes the file.
    JobOutcome finish();

private:
    void setTags(const AudioTags& t);
    bool ensureConv(int samples);
    void pushSilence(int samples);
    JobOutcome drain(bool all);
    JobOutcome encode(AVFrame* frame);
    bool fixWavHeader();

    QString m_path;
    QString m_name;  // named in errors
    EncoderPlan m_plan;
    AVFormatContext* m_out = nullptr;
    AVCodecContext* m_enc = nullptr;
    AVStream* m_stream = nullptr;
    SwrContext* m_swr = nullptr;
    int m_srcRate = 0;
    AVChannelLayout m_srcLayout{};
    AVSampleFormat m_srcFmt = AV_SAMPLE_FMT_NONE;
    AVAudioFifo* m_fifo = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_pkt = nullptr;
    uint8_t** m_conv = nullptr;
    int m_convCap = 0;
    int m_frameSize = 4096;
    qint64 m_nextPts = 0;  // samples handed to the encoder
    qint64 m_silence = 0;  // of which silence around the audio
};

// Puts right what the WAV muxer writes into the header of a compressed WAV file holding
// `samples` samples: the byte rate of ADPCM, the sample count of the fact chunk, and the
// padding of the last ADPCM block, which is cut to the bytes its samples need.
bool FinishCompressedWav(const QString& path, qint64 samples);
