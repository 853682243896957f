// Decoding a source from any sample position; see SourceDecoder::Seeking for the three ways
// a position is reached.
#include "components/audio/SourceDecoder.h"

#include "components/cAudioConverter/cAudioConverter.h"

#include <QFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

// Codecs whose decoders give, a short run-in after a seek, the very samples a decode from
// the start gives, and which need no run-in at all.
bool settlesAfterSeek(AVCodecID id, bool* needsRunIn)
{
    *needsRunIn = true;
    switch (id) {
    case AV_CODEC_ID_MP1:
    case AV_CODEC_ID_MP2:
    case AV_CODEC_ID_MP3:
    case AV_CODEC_ID_VORBIS:
    case AV_CODEC_ID_OPUS:
    case AV_CODEC_ID_AAC:
        return true;
    case AV_CODEC_ID_FLAC:
    case AV_CODEC_ID_ALAC:
        *needsRunIn = false;
        return true;
    default:
        if (id >= AV_CODEC_ID_FIRST_AUDIO && id < AV_CODEC_ID_ADPCM_IMA_QT) {  // the PCM codecs
            *needsRunIn = false;
            return true;
        }
        return false;
    }
}

// The decoder of each WAV block codec, for the block positions to hold.
bool blockCodecMatches(const WavLayout& w, AVCodecID id)
{
    switch (w.codecTag) {
    case 0x0001:
    case 0x0003:
        return id >= AV_CODEC_ID_FIRST_AUDIO && id < AV_CODEC_ID_ADPCM_IMA_QT && id != AV_CODEC_ID_PCM_ALAW &&
               id != AV_CODEC_ID_PCM_MULAW;
    case 0x0006:
        return id == AV_CODEC_ID_PCM_ALAW;
    case 0x0007:
        return id == AV_CODEC_ID_PCM_MULAW;
    case 0x0011:
        return id == AV_CODEC_ID_ADPCM_IMA_WAV;
    case 0x0002:
        return id == AV_CODEC_ID_ADPCM_MS;
    default:
        return false;
    }
}

}  // namespace

SourceDecoder::~SourceDecoder()
{
    closeFile();
}

void SourceDecoder::closeFile()
{
    av_frame_free(&m_frame);
    av_packet_free(&m_pkt);
    avcodec_free_context(&m_dec);
    avformat_close_input(&m_in);
    m_st = nullptr;
    m_si = -1;
}

const AVChannelLayout& SourceDecoder::layout() const
{
    return m_dec->ch_layout;
}

AVSampleFormat SourceDecoder::format() const
{
    return m_dec->sample_fmt;
}

int SourceDecoder::channels() const
{
    return m_dec->ch_layout.nb_channels;
}

JobOutcome SourceDecoder::open(const QString& path, const WavLayout& wav)
{
    m_path = path;
    m_wav = wav;
    JobOutcome r = openFile();
    if (r.kind != JobOutcome::Done)
        return r;
    const AVCodecID id = m_st->codecpar->codec_id;
    bool needsRunIn = true;
    if (wav.fixedBlocks() && blockCodecMatches(wav, id) && m_st->codecpar->block_align == wav.blockAlign) {
        m_seeking = Seeking::Blocks;
        m_duration = wav.frames();
        m_preroll = 0;
    } else if (!wav.riffWave && settlesAfterSeek(id, &needsRunIn) && m_st->time_base.num > 0 &&
               qint64(m_st->time_base.den) >= qint64(m_st->time_base.num) * m_rate) {
        m_seeking = Seeking::Timestamps;
        m_preroll = needsRunIn ? m_rate / 4 : 0;
    } else {
        m_seeking = Seeking::FromStart;
    }
    if (m_seeking != Seeking::Blocks) {
        if (m_st->duration != AV_NOPTS_VALUE && m_st->duration > 0)
            m_duration = av_rescale_q(m_st->duration, m_st->time_base, AVRational{1, m_rate});
        else if (m_in->duration != AV_NOPTS_VALUE && m_in->duration > 0)
            m_duration = av_rescale(m_in->duration, m_rate, AV_TIME_BASE);
    }
    resetState(0, m_seeking != Seeking::Timestamps);
    m_fresh = true;
    return JobOutcome::done();
}

JobOutcome SourceDecoder::openFile()
{
    closeFile();
    const int found = OpenMediaFile(m_path, &m_in);
    if (!m_in)
        return JobOutcome::error(kErrSourceUnreadable,
                                 QStringLiteral("The file \"%1\" is not an audio file that can be read.").arg(m_path));
    if (found < 0 ||
        (m_si = av_find_best_stream(m_in, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0)) < 0)
        return JobOutcome::error(kErrSourceUnreadable, QStringLiteral("The file \"%1\" holds no audio that can be read.").arg(m_path));
    m_st = m_in->streams[m_si];
    for (unsigned i = 0; i < m_in->nb_streams; ++i)
        if (int(i) != m_si)
            m_in->streams[i]->discard = AVDISCARD_ALL;
    const AVCodec* codec = avcodec_find_decoder(m_st->codecpar->codec_id);
    if (!codec)
        return JobOutcome::error(kErrSourceUnreadable, QStringLiteral("The audio format of \"%1\" cannot be decoded.").arg(m_path));
    m_dec = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(m_dec, m_st->codecpar);
    m_dec->pkt_timebase = m_st->time_base;
    if (avcodec_open2(m_dec, codec, nullptr) < 0 || m_dec->sample_rate <= 0)
        return JobOutcome::error(kErrSourceUnreadable, QStringLiteral("The audio format of \"%1\" cannot be decoded.").arg(m_path));
    m_rate = m_dec->sample_rate;
    m_startTime = m_st->start_time != AV_NOPTS_VALUE ? m_st->start_time : 0;
    m_frame = av_frame_alloc();
    m_pkt = av_packet_alloc();
    return JobOutcome::done();
}

void SourceDecoder::resetState(qint64 next, bool known)
{
    m_fresh = false;
    m_next = next;
    m_nextKnown = known;
    m_frameValid = false;
    m_pending = false;
    m_eof = false;
    m_atEnd = false;
}

JobOutcome SourceDecoder::positionAt(qint64 sample, TranscodeStats& stats)
{
    if (m_fresh && !m_nextKnown) {
        // Where a fresh file's audio starts is told by its first frame.
        const int r = next(stats);
        if (r < 0)
            return JobOutcome::error(kErrDecodeFailed, QStringLiteral("Cannot decode the file \"%1\".").arg(m_path));
        if (r == 0)
            return JobOutcome::done();
    }
    const qint64 frameEnd = m_frameValid ? m_pos + m_frame->nb_samples : m_next;
    if (m_frameValid && m_pos <= sample && sample < frameEnd) {
        m_pending = true;
        return JobOutcome::done();
    }
    m_pending = false;
    // Decoding on from where the decoder is gives the samples of a decode from the start;
    // it is preferred to a seek for short distances, and it is the only way forward for
    // sources whose positions are counted from the start.
    const bool known = m_frameValid || m_nextKnown;
    if (known && sample >= frameEnd) {
        if (m_atEnd)
            return JobOutcome::done();
        const qint64 ahead = sample - frameEnd;
        if (m_seeking == Seeking::FromStart || (m_seeking == Seeking::Timestamps && ahead <= m_rate) ||
            (m_seeking == Seeking::Blocks && ahead == 0))
            return JobOutcome::done();
    }
    switch (m_seeking) {
    case Seeking::Blocks:
        return seekBlocks(sample, stats);
    case Seeking::Timestamps:
        return seekTimestamps(sample, stats);
    case Seeking::FromStart:
        break;
    }
    return restart(stats);
}

JobOutcome SourceDecoder::seekBlocks(qint64 sample, TranscodeStats& stats)
{
    const qint64 perBlock = m_wav.samplesPerBlock();
    const qint64 block = std::max<qint64>(0, sample) / perBlock;
    const int64_t byte = m_wav.dataOffset + block * m_wav.blockAlign;
    ++stats.seeks;
    if (av_seek_frame(m_in, -1, byte, AVSEEK_FLAG_BYTE) < 0)
        return JobOutcome::error(kErrDecodeFailed, QStringLiteral("Cannot find the range start in \"%1\".").arg(m_path));
    avcodec_flush_buffers(m_dec);
    resetState(block * perBlock, true);
    return JobOutcome::done();
}

JobOutcome SourceDecoder::seekTimestamps(qint64 sample, TranscodeStats& stats)
{
    if (sample <= 0)
        return restart(stats);
    qint64 target = std::max<qint64>(0, sample - m_preroll);
    qint64 back = qint64(m_rate) * 2;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int64_t ts = m_startTime + av_rescale_q(target, AVRational{1, m_rate}, m_st->time_base);
        ++stats.seeks;
        if (avformat_seek_file(m_in, m_si, INT64_MIN, ts, ts, 0) < 0 && target > 0) {
            target = std::max<qint64>(0, target - back);
            back *= 2;
            continue;
        }
        avcodec_flush_buffers(m_dec);
        resetState(0, false);  // the first frame's timestamp tells where the seek landed
        const int r = next(stats);
        if (r < 0)
            return JobOutcome::error(kErrDecodeFailed, QStringLiteral("Cannot decode the file \"%1\".").arg(m_path));
        if (r == 0 || m_pos <= sample || target == 0) {
            m_pending = r > 0;  // keep the frame for the caller
            return JobOutcome::done();
        }
        target = std::max<qint64>(0, target - back);  // landed after the start: go further back
        back *= 2;
    }
    return JobOutcome::error(kErrDecodeFailed, QStringLiteral("Cannot find the range start in \"%1\".").arg(m_path));
}

JobOutcome SourceDecoder::restart(TranscodeStats& stats)
{
    // A fresh open gives the decoder and the demuxer exactly the state of the first decode;
    // with timestamps, the first frame's tells where the audio starts.
    ++stats.seeks;
    JobOutcome r = openFile();
    if (r.kind == JobOutcome::Done) {
        resetState(0, m_seeking != Seeking::Timestamps);
        m_fresh = true;
    }
    return r;
}

int SourceDecoder::next(TranscodeStats& stats)
{
    m_fresh = false;
    if (m_pending) {
        m_pending = false;
        return 1;
    }
    if (m_frameValid) {
        m_next = m_pos + m_frame->nb_samples;
        m_frameValid = false;
    }
    if (m_atEnd)
        return 0;
    while (true) {
        const int ret = avcodec_receive_frame(m_dec, m_frame);
        if (ret == 0) {
            if (!m_nextKnown) {
                const int64_t ts = m_frame->best_effort_timestamp;
                m_next = ts != AV_NOPTS_VALUE ? av_rescale_q(ts - m_startTime, m_st->time_base, AVRational{1, m_rate}) : 0;
                m_nextKnown = true;
            }
            m_pos = m_next;
            m_frameValid = true;
            return 1;
        }
        if (ret == AVERROR_EOF) {
            m_atEnd = m_nextKnown;
            return 0;
        }
        if (ret != AVERROR(EAGAIN))
            return -1;
        if (m_eof) {
            m_atEnd = m_nextKnown;
            return 0;
        }
        const int rr = av_read_frame(m_in, m_pkt);
        if (rr < 0) {
            m_eof = true;
            avcodec_send_packet(m_dec, nullptr);
            continue;
        }
        if (m_pkt->stream_index == m_si) {
            ++stats.packetsRead;
            const int sr = avcodec_send_packet(m_dec, m_pkt);
            if (sr < 0 && sr != AVERROR(EAGAIN) && sr != AVERROR_INVALIDDATA) {
                av_packet_unref(m_pkt);
                return -1;
            }
        }
        av_packet_unref(m_pkt);
    }
}

void FrameSamplesFrom(const AVFrame* f, int offset, const uint8_t* out[])
{
    const AVSampleFormat fmt = AVSampleFormat(f->format);
    const int bps = av_get_bytes_per_sample(fmt);
    const int channels = f->ch_layout.nb_channels;
    if (av_sample_fmt_is_planar(fmt)) {
        for (int c = 0; c < channels && c < AV_NUM_DATA_POINTERS; ++c)
            out[c] = f->extended_data[c] + qint64(offset) * bps;
    } else {
        out[0] = f->extended_data[0] + qint64(offset) * bps * channels;
    }
}
