// The encoding side of a conversion: the plan for each output format, and the resampler,
// frame FIFO, encoder and muxer that write the output file.
#include "components/audio/EncodeSink.h"

#include "components/audio/CodecCatalogue.h"
#include "components/cAudioConverter/cAudioConverter.h"

#include <QFile>

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace {

QString avError(int code)
{
    char buf[AV_ERROR_MAX_STRING_SIZE] = {0};
    av_strerror(code, buf, sizeof buf);
    return QString::fromUtf8(buf);
}

JobOutcome writeError(const QString& path, int avcode)
{
    return JobOutcome::error(kErrWriteFailed,
                             QStringLiteral("Cannot write the output file \"%1\": %2.").arg(path, avError(avcode)));
}

int nearestRate(const AVCodec* codec, int wanted)
{
    if (!codec->supported_samplerates)
        return wanted;
    int best = codec->supported_samplerates[0];
    for (const int* r = codec->supported_samplerates; *r; ++r)
        if (std::abs(*r - wanted) < std::abs(best - wanted))
            best = *r;
    return best;
}

quint32 le32(const uchar* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

void putLe32(uchar* p, quint32 v)
{
    p[0] = uchar(v);
    p[1] = uchar(v >> 8);
    p[2] = uchar(v >> 16);
    p[3] = uchar(v >> 24);
}

// The bytes of an ADPCM block that holds only `samples` samples (the blocks before it are
// full), or 0 for other codecs. IMA ADPCM codes 8 samples per 4 bytes and channel after a
// 4-byte header per channel holding the first; MS ADPCM a nibble per sample after a 7-byte
// header per channel holding the first two.
qint64 shortBlockBytes(int formatTag, int channels, qint64 samples)
{
    if (samples <= 0 || channels <= 0)
        return 0;
    if (formatTag == 0x11)
        return 4LL * channels * (1 + (samples - 1 + 7) / 8);
    if (formatTag == 0x02)
        return 7LL * channels + (std::max<qint64>(0, samples - 2) * channels + 1) / 2;
    return 0;
}

}  // namespace

bool FinishCompressedWav(const QString& path, qint64 samples)
{
    // The muxer states a wrong byte rate for ADPCM and counts the padding of the last block
    // in the sample count; players that trust the count play that padding as silence.
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        return false;
    const qint64 fileSize = f.size();
    QByteArray head = f.read(4096);
    uchar* h = reinterpret_cast<uchar*>(head.data());
    if (head.size() < 12 || memcmp(h, "RIFF", 4) != 0 || memcmp(h + 8, "WAVE", 4) != 0)
        return true;
    int fmtAt = -1, factAt = -1, dataAt = -1;
    for (qint64 pos = 12; pos + 8 <= head.size() && dataAt < 0;) {
        const quint32 size = le32(h + pos + 4);
        if (memcmp(h + pos, "fmt ", 4) == 0)
            fmtAt = int(pos);
        else if (memcmp(h + pos, "fact", 4) == 0 && size >= 4)
            factAt = int(pos);
        else if (memcmp(h + pos, "data", 4) == 0)
            dataAt = int(pos);
        pos += 8 + qint64(size) + (size & 1);
    }
    if (fmtAt < 0 || dataAt < 0 || head.size() < fmtAt + 8 + 16)
        return true;
    const uchar* fmt = h + fmtAt + 8;
    const int tag = fmt[0] | fmt[1] << 8;
    const int channels = fmt[2] | fmt[3] << 8;
    const quint32 rate = le32(fmt + 4);
    const int blockAlign = fmt[12] | fmt[13] << 8;
    const bool hasSamplesPerBlock = le32(h + fmtAt + 4) >= 20 && head.size() >= fmtAt + 8 + 20;
    const int samplesPerBlock = hasSamplesPerBlock ? fmt[18] | fmt[19] << 8 : 0;
    if (samplesPerBlock > 0 && blockAlign > 0)
        putLe32(h + fmtAt + 8 + 8, quint32(quint64(rate) * blockAlign / samplesPerBlock));
    if (factAt >= 0 && samples >= 0)
        putLe32(h + factAt + 8, quint32(std::min<qint64>(samples, 0xFFFFFFFFLL)));

    // The last block keeps only the bytes its samples need, when the data is the file's end.
    qint64 dataSize = le32(h + dataAt + 4);
    const qint64 dataOffset = dataAt + 8;
    qint64 newSize = fileSize;
    if (samplesPerBlock > 0 && blockAlign > 0 && samples > 0 && dataOffset + dataSize + (dataSize & 1) == fileSize) {
        const qint64 full = samples / samplesPerBlock;
        const qint64 rest = shortBlockBytes(tag, channels, samples % samplesPerBlock);
        const qint64 wanted = full * blockAlign + std::min<qint64>(rest, blockAlign);
        if ((rest > 0 || samples % samplesPerBlock == 0) && wanted < dataSize) {
            dataSize = wanted;
            newSize = dataOffset + dataSize + (dataSize & 1);
            putLe32(h + dataAt + 4, quint32(dataSize));
            putLe32(h + 4, quint32(newSize - 8));
        }
    }
    if (!f.seek(0) || f.write(head) != head.size())
        return false;
    if (newSize != fileSize) {
        if (!f.resize(newSize))
            return false;
        if (dataSize & 1) {
            if (!f.seek(newSize - 1) || f.write("\0", 1) != 1)
                return false;
        }
    }
    return f.flush();
}


JobOutcome planEncoder(const EncoderSettings& s, int srcRate, int srcChannels, EncoderPlan& p)
{
    const int srcCh = std::clamp(srcChannels, 1, 2);
    switch (s.OutputFormat) {
    case kOutputWAV: {
        p.muxer = "wav";
        const int bits = s.WAV.BitsPerSample;
        p.encoder = bits == 8 ? "pcm_u8" : bits == 24 ? "pcm_s24le" : bits == 32 ? "pcm_s32le" : "pcm_s16le";
        if (bits != 0 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
            return JobOutcome::error(kErrFormatUnsupported,
                                     QStringLiteral("WAV files of %1 bits per sample cannot be written.").arg(bits));
        p.sampleRate = s.WAV.SamplesPerSec > 0 ? s.WAV.SamplesPerSec : srcRate;
        p.channels = s.WAV.Channels == 1 ? 1 : s.WAV.Channels == 2 ? 2 : srcCh;
        if (p.sampleRate < 1000 || p.sampleRate > 384000)
            return JobOutcome::error(kErrFormatUnsupported,
                                     QStringLiteral("A sample rate of %1 Hz cannot be written.").arg(p.sampleRate));
        return JobOutcome::done();
    }
    case kOutputACM: {
        p.muxer = "wav";
        const AcmCodec* codec = CodecCatalogue::findAcmCodec(s.ACMTag);
        if (!codec)
            return JobOutcome::error(kErrCodecUnavailable,
                                     s.ACMTag.isEmpty() ? QStringLiteral("No ACM codec was chosen.")
                                                        : QStringLiteral("The ACM codec \"%1\" is not available.").arg(s.ACMTag));
        const AcmFormat* f = CodecCatalogue::findAcmFormat(*codec, s.ACMFormat);
        if (!f)
            return JobOutcome::error(kErrCodecUnavailable, QStringLiteral("The ACM codec \"%1\" has no format \"%2\".")
                                                               .arg(codec->name, s.ACMFormat));
        p.encoder = codec->encoder.toLatin1();
        if (codec->encoder == QLatin1String("pcm_s16le") && f->bitsPerSample == 8)
            p.encoder = "pcm_u8";
        p.sampleRate = f->sampleRate;
        p.channels = f->channels;
        p.bitRate = f->bitRate;
        if (codec->encoder == QLatin1String("g726"))
            p.g726CodeSize = f->bitsPerSample;
        p.fixWavHeader = codec->encoder != QLatin1String("pcm_s16le");
        return JobOutcome::done();
    }
    case kOutputMP3: {
        p.muxer = "mp3";
        p.encoder = "libmp3lame";
        const AVCodec* codec = avcodec_find_encoder_by_name("libmp3lame");
        if (!codec)
            return JobOutcome::error(kErrCodecUnavailable, QStringLiteral("The MP3 encoder is not available."));
        p.sampleRate = nearestRate(codec, s.MP3.SampleRate > 0 ? s.MP3.SampleRate : srcRate);
        p.channels = s.MP3.Mode == 3 ? 1 : srcCh;
        if (s.MP3.Mode == 0 || s.MP3.Mode == 2)
            p.mp3JointStereo = 0;
        else if (s.MP3.Mode == 1 || s.MP3.Mode == 5)
            p.mp3JointStereo = 1;
        p.compressionLevel = std::clamp(s.MP3.Quality, 0, 9);
        if (s.MP3.VBRMethod == 3) {
            p.mp3Abr = true;
            p.bitRate = qint64(s.MP3.ABRBitrate > 0 ? s.MP3.ABRBitrate : 128) * 1000;
        } else if (s.MP3.VBRMethod != 0) {
            p.qscale = true;
            p.globalQuality = std::clamp(s.MP3.VBRQuality, 0, 9) * FF_QP2LAMBDA;
        } else {
            p.bitRate = qint64(s.MP3.Bitrate > 0 ? s.MP3.Bitrate : 128) * 1000;
        }
        p.mp3Copyright = s.MP3.Copyright != 0;
        p.mp3Original = s.MP3.Original != 0;
        return JobOutcome::done();
    }
    case kOutputWMA: {
        p.muxer = "asf";
        const auto& codecs = CodecCatalogue::wmaCodecs();
        if (s.WMA.CodecIndex < 0 || s.WMA.CodecIndex >= codecs.size())
            return JobOutcome::error(kErrCodecUnavailable,
                                     QStringLiteral("The WMA codec number %1 is not available.").arg(s.WMA.CodecIndex));
        const WmaCodec& c = codecs[s.WMA.CodecIndex];
        if (s.WMA.FormatIndex < 0 || s.WMA.FormatIndex >= c.formats.size())
            return JobOutcome::error(kErrCodecUnavailable,
                                     QStringLiteral("The WMA codec \"%1\" has no format number %2.").arg(c.name).arg(s.WMA.FormatIndex));
        const WmaFormat& f = c.formats[s.WMA.FormatIndex];
        p.encoder = c.encoder.toLatin1();
        p.sampleRate = f.sampleRate;
        p.channels = f.channels;
        p.bitRate = f.bitRate;
        p.wmaPadding = true;
        return JobOutcome::done();
    }
    case kOutputOGG: {
        p.muxer = "ogg";
        p.encoder = "libvorbis";
        if (!avcodec_find_encoder_by_name("libvorbis"))
            return JobOutcome::error(kErrCodecUnavailable, QStringLiteral("The OGG Vorbis encoder is not available."));
        p.sampleRate = srcRate;
        p.channels = srcCh;
        if (s.OGG.Mode == 2) {
            p.bitRate = qint64(s.OGG.Bitrate > 0 ? s.OGG.Bitrate : 128) * 1000;
        } else {
            p.qscale = true;
            p.globalQuality = int(std::clamp(s.OGG.Quality, 0, 100) / 10.0 * FF_QP2LAMBDA);
        }
        return JobOutcome::done();
    }
    case kOutputAPE:
        return JobOutcome::error(kErrFormatUnsupported,
                                 QStringLiteral("APE output is not available in this version; choose another target format."));
    default:
        return JobOutcome::error(kErrFormatUnsupported, QStringLiteral("Unknown output format %1.").arg(s.OutputFormat));
    }
}

EncodeSink::~EncodeSink()
{
    swr_free(&m_swr);
    av_channel_layout_uninit(&m_srcLayout);
    if (m_fifo)
        av_audio_fifo_free(m_fifo);
    avcodec_free_context(&m_enc);
    if (m_out) {
        if (m_out->pb)
            avio_closep(&m_out->pb);
        avformat_free_context(m_out);
    }
    av_frame_free(&m_frame);
    av_packet_free(&m_pkt);
    if (m_conv)
        av_freep(&m_conv[0]);
    av_freep(&m_conv);
}

JobOutcome EncodeSink::open(const EncoderPlan& plan, const QString& path, const QString& outputName,
                            const AudioTags& tags, int srcRate, const AVChannelLayout& srcLayout, AVSampleFormat srcFmt)
{
    m_path = path;
    m_name = outputName;
    m_plan = plan;
    const AVCodec* codec = avcodec_find_encoder_by_name(plan.encoder.constData());
    if (!codec)
        return JobOutcome::error(kErrCodecUnavailable,
                                 QStringLiteral("The encoder \"%1\" is not available.").arg(QString::fromLatin1(plan.encoder)));
    if (avformat_alloc_output_context2(&m_out, nullptr, plan.muxer, nullptr) < 0 || !m_out)
        return JobOutcome::error(kErrCodecUnavailable, QStringLiteral("The output container is not available."));
    m_enc = avcodec_alloc_context3(codec);
    m_enc->sample_rate = plan.sampleRate;
    av_channel_layout_default(&m_enc->ch_layout, plan.channels);
    m_enc->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    if (codec->sample_fmts)  // prefer planar float or s16 where offered: cheapest from most decoders
        for (const AVSampleFormat* f = codec->sample_fmts; *f != AV_SAMPLE_FMT_NONE; ++f)
            if (*f == AV_SAMPLE_FMT_FLTP || *f == AV_SAMPLE_FMT_S16P)
                m_enc->sample_fmt = *f;
    m_enc->time_base = AVRational{1, plan.sampleRate};
    if (plan.bitRate > 0)
        m_enc->bit_rate = plan.bitRate;
    if (plan.qscale) {
        m_enc->flags |= AV_CODEC_FLAG_QSCALE;
        m_enc->global_quality = plan.globalQuality;
    }
    if (plan.compressionLevel >= 0)
        m_enc->compression_level = plan.compressionLevel;
    if (m_out->oformat->flags & AVFMT_GLOBALHEADER)
        m_enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* opts = nullptr;
    if (plan.mp3Abr)
        av_dict_set(&opts, "abr", "1", 0);
    if (plan.mp3JointStereo >= 0)
        av_dict_set_int(&opts, "joint_stereo", plan.mp3JointStereo, 0);
    if (plan.g726CodeSize > 0)
        av_dict_set_int(&opts, "code_size", plan.g726CodeSize, 0);
    int ret = avcodec_open2(m_enc, codec, &opts);
    av_dict_free(&opts);
    if (ret < 0)
        return JobOutcome::error(kErrEncodeFailed, QStringLiteral("The encoder \"%1\" refused the format (%2 Hz, %3 channels): %4.")
                                                       .arg(QString::fromLatin1(plan.encoder))
                                                       .arg(plan.sampleRate)
                                                       .arg(plan.channels)
                                                       .arg(avError(ret)));
    m_stream = avformat_new_stream(m_out, nullptr);
    avcodec_parameters_from_context(m_stream->codecpar, m_enc);
    m_stream->time_base = m_enc->time_base;
    setTags(tags);
    ret = avio_open(&m_out->pb, QFile::encodeName(path).constData(), AVIO_FLAG_WRITE);
    if (ret < 0)
        return JobOutcome::error(kErrOutputUnwritable,
                                 QStringLiteral("Cannot create the output file \"%1\": %2.").arg(m_name, avError(ret)));
    AVDictionary* mux = nullptr;
    if (QByteArray(plan.muxer) == "mp3")
        av_dict_set(&mux, "id3v2_version", "3", 0);
    ret = avformat_write_header(m_out, &mux);
    av_dict_free(&mux);
    if (ret < 0)
        return writeError(m_name, ret);

    JobOutcome r = setSource(srcRate, srcLayout, srcFmt);
    if (r.kind != JobOutcome::Done)
        return r;
    m_frameSize = m_enc->frame_size > 0 ? m_enc->frame_size : 4096;
    m_fifo = av_audio_fifo_alloc(m_enc->sample_fmt, plan.channels, m_frameSize * 2);
    m_frame = av_frame_alloc();
    m_pkt = av_packet_alloc();
    if (plan.wmaPadding)  // the WMA encoder drops its first initial_padding samples: feed silence first
        pushSilence(m_enc->initial_padding);
    return JobOutcome::done();
}

JobOutcome EncodeSink::setSource(int srcRate, const AVChannelLayout& srcLayout, AVSampleFormat srcFmt)
{
    AVChannelLayout in{};
    if (srcLayout.order == AV_CHANNEL_ORDER_UNSPEC || srcLayout.nb_channels == 0)
        av_channel_layout_default(&in, srcLayout.nb_channels > 0 ? srcLayout.nb_channels : 2);
    else
        av_channel_layout_copy(&in, &srcLayout);
    if (m_swr && srcRate == m_srcRate && srcFmt == m_srcFmt && av_channel_layout_compare(&in, &m_srcLayout) == 0) {
        av_channel_layout_uninit(&in);
        return JobOutcome::done();
    }
    if (m_swr) {
        // The samples the resampler still holds belong to the audio before the change.
        const int cap = swr_get_out_samples(m_swr, 0);
        if (cap > 0 && ensureConv(cap)) {
            const int got = swr_convert(m_swr, m_conv, cap, nullptr, 0);
            if (got > 0 && av_audio_fifo_write(m_fifo, reinterpret_cast<void**>(m_conv), got) < got) {
                av_channel_layout_uninit(&in);
                return JobOutcome::error(kErrEncodeFailed, QStringLiteral("Out of memory."));
            }
        }
        swr_free(&m_swr);
    }
    const int ret = swr_alloc_set_opts2(&m_swr, &m_enc->ch_layout, m_enc->sample_fmt, m_enc->sample_rate, &in, srcFmt,
                                        srcRate, 0, nullptr);
    av_channel_layout_uninit(&m_srcLayout);
    m_srcLayout = in;
    m_srcRate = srcRate;
    m_srcFmt = srcFmt;
    if (ret < 0 || swr_init(m_swr) < 0)
        return JobOutcome::error(kErrEncodeFailed, QStringLiteral("Cannot convert the audio to the output format."));
    return m_fifo ? drain(false) : JobOutcome::done();
}

JobOutcome EncodeSink::write(const uint8_t* const* data, int n)
{
    if (n <= 0)
        return JobOutcome::done();
    const int cap = swr_get_out_samples(m_swr, n);
    if (!ensureConv(cap))
        return JobOutcome::error(kErrEncodeFailed, QStringLiteral("Out of memory."));
    const int got = swr_convert(m_swr, m_conv, cap, const_cast<const uint8_t**>(data), n);
    if (got < 0)
        return JobOutcome::error(kErrEncodeFailed, QStringLiteral("Cannot convert the audio: %1.").arg(avError(got)));
    if (got > 0 && av_audio_fifo_write(m_fifo, reinterpret_cast<void**>(m_conv), got) < got)
        return JobOutcome::error(kErrEncodeFailed, QStringLiteral("Out of memory."));
    return drain(false);
}

JobOutcome EncodeSink::finish()
{
    // Resampler tail, then the FIFO remainder, then the encoder's delayed frames.
    const int cap = swr_get_out_samples(m_swr, 0);
    if (cap > 0 && ensureConv(cap)) {
        const int got = swr_convert(m_swr, m_conv, cap, nullptr, 0);
        if (got > 0)
            av_audio_fifo_write(m_fifo, reinterpret_cast<void**>(m_conv), got);
    }
    if (m_plan.wmaPadding)
        pushSilence(m_enc->initial_padding);
    JobOutcome r = drain(true);
    if (r.kind != JobOutcome::Done)
        return r;
    r = encode(nullptr);
    if (r.kind != JobOutcome::Done)
        return r;
    int ret = av_write_trailer(m_out);
    if (ret < 0)
        return writeError(m_name, ret);
    avio_flush(m_out->pb);
    if (m_out->pb->error < 0)
        return writeError(m_name, m_out->pb->error);
    ret = avio_closep(&m_out->pb);
    if (ret < 0)
        return writeError(m_name, ret);
    if (m_plan.fixWavHeader && !fixWavHeader())
        return JobOutcome::error(kErrWriteFailed, QStringLiteral("Cannot write the output file \"%1\".").arg(m_name));
    return JobOutcome::done();
}

void EncodeSink::setTags(const AudioTags& t)
{
    auto put = [&](const char* key, const QString& v) {
        if (!v.isEmpty())
            av_dict_set(&m_out->metadata, key, v.toUtf8().constData(), 0);
    };
    put("title", t.Title);
    put("artist", t.Artist);
    put("album", t.Album);
    put("date", t.Year);
    put("comment", t.Comment);
    put("genre", t.Genre);
    put("track", t.Track);
}

bool EncodeSink::ensureConv(int samples)
{
    if (samples <= m_convCap)
        return true;
    if (m_conv)
        av_freep(&m_conv[0]);
    av_freep(&m_conv);
    if (av_samples_alloc_array_and_samples(&m_conv, nullptr, m_plan.channels, samples, m_enc->sample_fmt, 0) < 0) {
        m_convCap = 0;
        return false;
    }
    m_convCap = samples;
    return true;
}

void EncodeSink::pushSilence(int samples)
{
    if (samples <= 0 || !ensureConv(samples))
        return;
    av_samples_set_silence(m_conv, 0, samples, m_plan.channels, m_enc->sample_fmt);
    av_audio_fifo_write(m_fifo, reinterpret_cast<void**>(m_conv), samples);
    m_silence += samples;
}

JobOutcome EncodeSink::drain(bool all)
{
    while (av_audio_fifo_size(m_fifo) >= m_frameSize || (all && av_audio_fifo_size(m_fifo) > 0)) {
        const int n = std::min(m_frameSize, av_audio_fifo_size(m_fifo));
        // One frame buffer serves the whole job (encoders with small frames, such as
        // Vorbis with 64 samples, would otherwise allocate for every frame).
        int ok = 0;
        if (!m_frame->buf[0]) {
            m_frame->nb_samples = m_frameSize;
            m_frame->format = m_enc->sample_fmt;
            m_frame->sample_rate = m_enc->sample_rate;
            av_channel_layout_copy(&m_frame->ch_layout, &m_enc->ch_layout);
            ok = av_frame_get_buffer(m_frame, 0);
        } else {
            m_frame->nb_samples = m_frameSize;
            ok = av_frame_make_writable(m_frame);
        }
        if (ok < 0)
            return JobOutcome::error(kErrEncodeFailed, QStringLiteral("Out of memory."));
        m_frame->nb_samples = n;
        av_audio_fifo_read(m_fifo, reinterpret_cast<void**>(m_frame->data), n);
        m_frame->pts = m_nextPts;
        m_nextPts += n;
        JobOutcome r = encode(m_frame);
        if (r.kind != JobOutcome::Done)
            return r;
    }
    return JobOutcome::done();
}

JobOutcome EncodeSink::encode(AVFrame* frame)
{
    int ret = avcodec_send_frame(m_enc, frame);
    if (ret < 0 && ret != AVERROR_EOF)
        return JobOutcome::error(kErrEncodeFailed, QStringLiteral("The encoder failed: %1.").arg(avError(ret)));
    while (true) {
        ret = avcodec_receive_packet(m_enc, m_pkt);
        if (ret == AVERROR(EAGAIN) || ret == AVERROR_EOF)
            return JobOutcome::done();
        if (ret < 0)
            return JobOutcome::error(kErrEncodeFailed, QStringLiteral("The encoder failed: %1.").arg(avError(ret)));
        if ((m_plan.mp3Copyright || m_plan.mp3Original) && m_pkt->size >= 4 && m_pkt->data[0] == 0xFF &&
            (m_pkt->data[1] & 0xE0) == 0xE0) {
            // The copyright and original bits of each frame header.
            if (av_packet_make_writable(m_pkt) >= 0) {
                if (m_plan.mp3Copyright)
                    m_pkt->data[3] |= 0x08;
                if (m_plan.mp3Original)
                    m_pkt->data[3] |= 0x04;
            }
        }
        av_packet_rescale_ts(m_pkt, m_enc->time_base, m_stream->time_base);
        m_pkt->stream_index = m_stream->index;
        ret = av_write_frame(m_out, m_pkt);
        av_packet_unref(m_pkt);
        if (ret < 0)
            return writeError(m_name, ret);
        if (m_out->pb && m_out->pb->error < 0)
            return writeError(m_name, m_out->pb->error);
    }
}

bool EncodeSink::fixWavHeader()
{
    return FinishCompressedWav(m_path, m_nextPts - m_silence);
}
