// The conversion pipeline: decode from the range start (reached by seeking), trim to the
// exact samples, resample, encode in whole frames and mux into a temporary file beside the
// target; or, when source and target are the same PCM format, copy the sample bytes.
#include "components/audio/Transcoder.h"

#include "components/audio/CodecCatalogue.h"
#include "components/audio/MediaProbe.h"
#include "components/cAudioConverter/cAudioConverter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <QDateTime>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// ---------------------------------------------------------------------------------------
// The output file: a temporary file beside the target, renamed into place on success and
// removed otherwise.
class OutputTarget
{
public:
    ~OutputTarget()
    {
        closeFd();
        if (!m_temp.isEmpty() && !m_committed)
            QFile::remove(m_temp);
    }

    JobOutcome prepare(const QString& target, const QString& source)
    {
        if (target.isEmpty())
            return JobOutcome::error(kErrOutputUnwritable, QStringLiteral("No output file was given."));
        const QFileInfo t(target);
        if (!source.isEmpty() && sameFile(target, source))
            return JobOutcome::error(kErrOutputSameAsSource,
                                     QStringLiteral("The output file \"%1\" is the source file itself; it is left untouched.")
                                         .arg(target));
        const QDir dir = t.absoluteDir();
        if (!dir.exists())
            return JobOutcome::error(kErrOutputUnwritable,
                                     QStringLiteral("The folder \"%1\" of the output file does not exist.").arg(dir.path()));
        if (t.isDir())
            return JobOutcome::error(kErrOutputUnwritable,
                                     QStringLiteral("The output \"%1\" is a folder, not a file.").arg(target));
        // One open creates the temporary file; the sample copy writes through this handle.
        for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
            const QString name = dir.filePath(QStringLiteral(".%1.%2.part")
                                                  .arg(t.fileName())
                                                  .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
            m_fd = ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd >= 0)
                m_temp = name;
            else if (errno != EEXIST)
                break;
        }
        if (m_fd < 0)
            return JobOutcome::error(kErrOutputUnwritable, QStringLiteral("Cannot create the output file in \"%1\": %2.")
                                                                .arg(dir.path(), QString::fromLocal8Bit(strerror(errno))));
        m_target = t.absoluteFilePath();
        return JobOutcome::done();
    }

    // The open handle of the temporary file (closed by the target), or -1 once closed.
    int fd() const { return m_fd; }
    // Closes the handle: writers that open the file by its name call this first. False
    // when the data written through the handle could not be stored.
    bool closeFd()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0;
    }

    const QString& tempPath() const { return m_temp; }

    JobOutcome commit()
    {
        closeFd();
        m_committed = true;
        return CommitOutput(m_temp, m_target);
    }

    // Leaves the finished temporary file for the caller to commit.
    JobOutcome release()
    {
        closeFd();
        m_committed = true;
        JobOutcome r;
        r.pendingTemp = m_temp;
        r.pendingTarget = m_target;
        return r;
    }

    static bool sameFile(const QString& a, const QString& b)
    {
        struct stat sa {}, sb {};
        if (::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0)
            return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
        return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
    }

private:
    QString m_temp;
    QString m_target;
    int m_fd = -1;
    bool m_committed = false;
};

// ---------------------------------------------------------------------------------------
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
    bool fixAdpcmHeader = false;
    bool wmaPadding = false;
};

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
        p.fixAdpcmHeader = codec->encoder.startsWith(QLatin1String("adpcm_"));
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

// ---------------------------------------------------------------------------------------
// The encoding side: resampler, frame FIFO, encoder and muxer writing the temporary file.
class EncodeSink
{
public:
    ~EncodeSink()
    {
        swr_free(&m_swr);
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

    JobOutcome open(const EncoderPlan& plan, const QString& path, const AudioTags& tags, int srcRate,
                    const AVChannelLayout& srcLayout, AVSampleFormat srcFmt)
    {
        m_path = path;
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
                                     QStringLiteral("Cannot create the output file \"%1\": %2.").arg(path, avError(ret)));
        AVDictionary* mux = nullptr;
        if (QByteArray(plan.muxer) == "mp3")
            av_dict_set(&mux, "id3v2_version", "3", 0);
        ret = avformat_write_header(m_out, &mux);
        av_dict_free(&mux);
        if (ret < 0)
            return writeError(path, ret);

        AVChannelLayout in{};
        if (srcLayout.order == AV_CHANNEL_ORDER_UNSPEC || srcLayout.nb_channels == 0)
            av_channel_layout_default(&in, srcLayout.nb_channels > 0 ? srcLayout.nb_channels : 2);
        else
            av_channel_layout_copy(&in, &srcLayout);
        ret = swr_alloc_set_opts2(&m_swr, &m_enc->ch_layout, m_enc->sample_fmt, m_enc->sample_rate, &in, srcFmt, srcRate,
                                  0, nullptr);
        av_channel_layout_uninit(&in);
        if (ret < 0 || swr_init(m_swr) < 0)
            return JobOutcome::error(kErrEncodeFailed, QStringLiteral("Cannot convert the audio to the output format."));
        m_frameSize = m_enc->frame_size > 0 ? m_enc->frame_size : 4096;
        m_fifo = av_audio_fifo_alloc(m_enc->sample_fmt, plan.channels, m_frameSize * 2);
        m_frame = av_frame_alloc();
        m_pkt = av_packet_alloc();
        if (plan.wmaPadding)  // the WMA encoder drops its first initial_padding samples: feed silence first
            pushSilence(m_enc->initial_padding);
        return JobOutcome::done();
    }

    // Takes n source samples (one pointer per plane, or one for packed formats).
    JobOutcome write(const uint8_t* const* data, int n)
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

    JobOutcome finish()
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
            return writeError(m_path, ret);
        avio_flush(m_out->pb);
        if (m_out->pb->error < 0)
            return writeError(m_path, m_out->pb->error);
        ret = avio_closep(&m_out->pb);
        if (ret < 0)
            return writeError(m_path, ret);
        if (m_plan.fixAdpcmHeader && !fixAdpcmByteRate())
            return JobOutcome::error(kErrWriteFailed, QStringLiteral("Cannot write the output file \"%1\".").arg(m_path));
        return JobOutcome::done();
    }

private:
    void setTags(const AudioTags& t)
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

    bool ensureConv(int samples)
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

    void pushSilence(int samples)
    {
        if (samples <= 0 || !ensureConv(samples))
            return;
        av_samples_set_silence(m_conv, 0, samples, m_plan.channels, m_enc->sample_fmt);
        av_audio_fifo_write(m_fifo, reinterpret_cast<void**>(m_conv), samples);
    }

    JobOutcome drain(bool all)
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

    JobOutcome encode(AVFrame* frame)
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
                return writeError(m_path, ret);
            if (m_out->pb && m_out->pb->error < 0)
                return writeError(m_path, m_out->pb->error);
        }
    }

    // The WAV muxer's byte rate for ADPCM is wrong: rate x block size / samples per block.
    bool fixAdpcmByteRate()
    {
        QFile f(m_path);
        if (!f.open(QIODevice::ReadWrite))
            return false;
        QByteArray head = f.read(4096);
        const int at = head.indexOf("fmt ");
        if (at < 0 || head.size() < at + 8 + 20)
            return true;
        const uchar* p = reinterpret_cast<const uchar*>(head.constData()) + at + 8;
        const quint32 rate = quint32(p[4] | p[5] << 8 | p[6] << 16 | quint32(p[7]) << 24);
        const quint16 blockAlign = quint16(p[12] | p[13] << 8);
        const quint16 samplesPerBlock = quint16(p[18] | p[19] << 8);
        if (samplesPerBlock == 0)
            return true;
        const quint32 byteRate = quint32(quint64(rate) * blockAlign / samplesPerBlock);
        const char bytes[4] = {char(byteRate & 0xFF), char(byteRate >> 8 & 0xFF), char(byteRate >> 16 & 0xFF),
                               char(byteRate >> 24 & 0xFF)};
        return f.seek(at + 8 + 8) && f.write(bytes, 4) == 4 && f.flush();
    }

    QString m_path;
    EncoderPlan m_plan;
    AVFormatContext* m_out = nullptr;
    AVCodecContext* m_enc = nullptr;
    AVStream* m_stream = nullptr;
    SwrContext* m_swr = nullptr;
    AVAudioFifo* m_fifo = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_pkt = nullptr;
    uint8_t** m_conv = nullptr;
    int m_convCap = 0;
    int m_frameSize = 4096;
    qint64 m_nextPts = 0;
};

// ---------------------------------------------------------------------------------------
// Copying PCM samples unchanged (same rate, channels and sample size on both sides).

QByteArray wavHeader(int rate, int channels, int bits, qint64 dataBytes, const AudioTags& tags)
{
    QByteArray info;
    auto item = [&](const char* id, const QString& v) {
        if (v.isEmpty())
            return;
        QByteArray text = v.toUtf8();
        text.append('\0');
        info.append(id, 4);
        const quint32 n = quint32(text.size());
        info.append(char(n & 0xFF)).append(char(n >> 8 & 0xFF)).append(char(n >> 16 & 0xFF)).append(char(n >> 24));
        info.append(text);
        if (text.size() & 1)
            info.append('\0');
    };
    item("IART", tags.Artist);
    item("ICMT", tags.Comment);
    item("ICRD", tags.Year);
    item("IGNR", tags.Genre);
    item("INAM", tags.Title);
    item("IPRD", tags.Album);
    item("IPRT", tags.Track);

    QByteArray h;
    auto u32 = [&](quint32 v) { h.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF)).append(char(v >> 16 & 0xFF)).append(char(v >> 24)); };
    auto u16 = [&](quint16 v) { h.append(char(v & 0xFF)).append(char(v >> 8)); };
    const int blockAlign = channels * bits / 8;
    const quint32 listSize = info.isEmpty() ? 0 : quint32(8 + 4 + info.size());
    h.append("RIFF");
    u32(quint32(4 + 24 + listSize + 8 + dataBytes + (dataBytes & 1)));
    h.append("WAVE");
    h.append("fmt ");
    u32(16);
    u16(1);
    u16(quint16(channels));
    u32(quint32(rate));
    u32(quint32(rate * blockAlign));
    u16(quint16(blockAlign));
    u16(quint16(bits));
    if (!info.isEmpty()) {
        h.append("LIST");
        u32(quint32(4 + info.size()));
        h.append("INFO");
        h.append(info);
    }
    h.append("data");
    u32(quint32(dataBytes));
    return h;
}

bool copyable(const WavLayout& w, const EncoderSettings& s)
{
    if (!w.isWav || w.formatTag != 1 || !(w.bitsPerSample == 8 || w.bitsPerSample == 16) || w.channels > 2)
        return false;
    if (s.OutputFormat == kOutputWAV)
        return (s.WAV.SamplesPerSec == 0 || s.WAV.SamplesPerSec == w.sampleRate) &&
               (s.WAV.Channels == 0 || s.WAV.Channels == w.channels) &&
               (s.WAV.BitsPerSample == 0 || s.WAV.BitsPerSample == w.bitsPerSample);
    if (s.OutputFormat == kOutputACM && s.ACMTag == QLatin1String("PCM")) {
        const AcmCodec* c = CodecCatalogue::findAcmCodec(s.ACMTag);
        const AcmFormat* f = c ? CodecCatalogue::findAcmFormat(*c, s.ACMFormat) : nullptr;
        return f && f->sampleRate == w.sampleRate && f->channels == w.channels && f->bitsPerSample == w.bitsPerSample;
    }
    return false;
}

JobOutcome copyPcm(const TranscodeRequest& req, const WavLayout& w, qint64 first, qint64 end, OutputTarget& out,
                   JobControl& control, TranscodeStats& stats)
{
    const qint64 frames = w.frames();
    end = std::min(end, frames);
    const qint64 bytes = (end - first) * w.blockAlign;
    QFile src(req.source);
    if (!src.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return JobOutcome::error(kErrSourceUnreadable, QStringLiteral("Cannot read the file \"%1\".").arg(req.source));
    stats.seeks = first > 0 ? 1 : 0;
    const int outFd = out.fd();
    auto sysFailed = [&](int err) {
        return JobOutcome::error(kErrWriteFailed, QStringLiteral("Cannot write the output file \"%1\": %2.")
                                                      .arg(req.output, QString::fromLocal8Bit(strerror(err))));
    };
    const QByteArray header = wavHeader(w.sampleRate, w.channels, w.bitsPerSample, bytes, req.tags);
    if (::write(outFd, header.constData(), size_t(header.size())) != header.size())
        return sysFailed(errno == 0 ? ENOSPC : errno);
    // The kernel copies the sample bytes (no trip through our memory) where it can; plain
    // reads and writes otherwise.
    const int in = src.handle();
    loff_t inPos = w.dataOffset + first * w.blockAlign;
    qint64 done = 0;
    bool kernelCopy = true;
    QByteArray buf;
    while (done < bytes) {
        if (control.aborted())
            return JobOutcome::aborted();
        const qint64 want = std::min<qint64>(8 << 20, bytes - done);
        ssize_t n = -1;
        if (kernelCopy) {
            n = copy_file_range(in, &inPos, outFd, nullptr, size_t(want), 0);
            if (n < 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP || errno == EBADF)) {
                kernelCopy = false;
                continue;
            }
            if (n < 0)
                return sysFailed(errno);
        } else {
            if (buf.isEmpty())
                buf.resize(1 << 20);
            const ssize_t r = pread(in, buf.data(), size_t(std::min<qint64>(want, buf.size())), inPos);
            if (r < 0)
                return JobOutcome::error(kErrSourceUnreadable, QStringLiteral("Cannot read the file \"%1\".").arg(req.source));
            n = r;
            for (ssize_t put = 0; put < r;) {
                const ssize_t wr = ::write(outFd, buf.constData() + put, size_t(r - put));
                if (wr < 0)
                    return sysFailed(errno);
                put += wr;
            }
            inPos += r;
        }
        if (n == 0)
            return JobOutcome::error(kErrSourceDamaged, QStringLiteral("The file \"%1\" ends early.").arg(req.source));
        done += n;
        control.progress(int(done * 100 / bytes));
    }
    if ((bytes & 1) && ::write(outFd, "\0", 1) != 1)
        return sysFailed(errno);
    if (!out.closeFd())
        return sysFailed(errno);
    stats.copied = true;
    stats.samplesWritten = end - first;
    return JobOutcome::done();
}

// ---------------------------------------------------------------------------------------
// Decoding a file from its range start.
class FileDecoder
{
public:
    ~FileDecoder()
    {
        av_frame_free(&m_frame);
        av_packet_free(&m_pkt);
        avcodec_free_context(&m_dec);
        avformat_close_input(&m_in);
    }

    JobOutcome open(const QString& path)
    {
        m_path = path;
        if (avformat_open_input(&m_in, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
            return JobOutcome::error(kErrSourceUnreadable,
                                     QStringLiteral("The file \"%1\" is not an audio file that can be read.").arg(path));
        if (avformat_find_stream_info(m_in, nullptr) < 0 ||
            (m_si = av_find_best_stream(m_in, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0)) < 0)
            return JobOutcome::error(kErrSourceUnreadable, QStringLiteral("The file \"%1\" holds no audio that can be read.").arg(path));
        m_st = m_in->streams[m_si];
        for (unsigned i = 0; i < m_in->nb_streams; ++i)
            if (int(i) != m_si)
                m_in->streams[i]->discard = AVDISCARD_ALL;
        const AVCodec* codec = avcodec_find_decoder(m_st->codecpar->codec_id);
        if (!codec)
            return JobOutcome::error(kErrSourceUnreadable,
                                     QStringLiteral("The audio format of \"%1\" cannot be decoded.").arg(path));
        m_dec = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(m_dec, m_st->codecpar);
        m_dec->pkt_timebase = m_st->time_base;
        if (avcodec_open2(m_dec, codec, nullptr) < 0 || m_dec->sample_rate <= 0)
            return JobOutcome::error(kErrSourceUnreadable,
                                     QStringLiteral("The audio format of \"%1\" cannot be decoded.").arg(path));
        m_rate = m_dec->sample_rate;
        m_startTime = m_st->start_time != AV_NOPTS_VALUE ? m_st->start_time : 0;
        m_exactSeek = m_st->codecpar->codec_id >= AV_CODEC_ID_PCM_S16LE && m_st->codecpar->codec_id < AV_CODEC_ID_ADPCM_IMA_QT;
        if (m_st->duration != AV_NOPTS_VALUE && m_st->duration > 0)
            m_duration = av_rescale_q(m_st->duration, m_st->time_base, AVRational{1, m_rate});
        else if (m_in->duration != AV_NOPTS_VALUE && m_in->duration > 0)
            m_duration = av_rescale(m_in->duration, m_rate, AV_TIME_BASE);
        m_frame = av_frame_alloc();
        m_pkt = av_packet_alloc();
        return JobOutcome::done();
    }

    int rate() const { return m_rate; }
    qint64 duration() const { return m_duration; }  // in samples; 0 when unknown
    const AVChannelLayout& layout() const { return m_dec->ch_layout; }
    AVSampleFormat format() const { return m_dec->sample_fmt; }
    int channels() const { return m_dec->ch_layout.nb_channels; }

    // Positions the decoder so that the next frame starts at or before `sample`.
    JobOutcome seekTo(qint64 sample, TranscodeStats& stats)
    {
        if (sample <= 0)
            return JobOutcome::done();
        const qint64 preroll = m_exactSeek ? 0 : m_rate / 4;  // lossy codecs need some frames to settle
        qint64 target = std::max<qint64>(0, sample - preroll);
        qint64 back = m_rate * 2;
        for (int attempt = 0; attempt < 8; ++attempt) {
            const int64_t ts = m_startTime + av_rescale_q(target, AVRational{1, m_rate}, m_st->time_base);
            ++stats.seeks;
            if (avformat_seek_file(m_in, m_si, INT64_MIN, ts, ts, 0) < 0 && target > 0) {
                target = std::max<qint64>(0, target - back);
                back *= 2;
                continue;
            }
            avcodec_flush_buffers(m_dec);
            m_havePos = false;
            m_eof = false;
            m_pending = false;
            m_frameValid = false;
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

    // The next decoded frame: 1 (frame() and pos() valid), 0 at the end, -1 on a failure.
    int next(TranscodeStats& stats)
    {
        if (m_pending) {
            m_pending = false;
            return 1;
        }
        if (m_frameValid) {
            m_pos += m_frame->nb_samples;
            m_frameValid = false;
        }
        while (true) {
            const int ret = avcodec_receive_frame(m_dec, m_frame);
            if (ret == 0) {
                if (!m_havePos) {
                    const int64_t ts = m_frame->best_effort_timestamp;
                    m_pos = ts != AV_NOPTS_VALUE ? av_rescale_q(ts - m_startTime, m_st->time_base, AVRational{1, m_rate}) : 0;
                    m_havePos = true;
                }
                m_frameValid = true;
                return 1;
            }
            if (ret == AVERROR_EOF)
                return 0;
            if (ret != AVERROR(EAGAIN))
                return -1;
            if (m_eof)
                return 0;
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

    AVFrame* frame() const { return m_frame; }
    qint64 pos() const { return m_pos; }

private:
    QString m_path;
    AVFormatContext* m_in = nullptr;
    AVCodecContext* m_dec = nullptr;
    AVStream* m_st = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_pkt = nullptr;
    int m_si = -1;
    int m_rate = 0;
    int64_t m_startTime = 0;
    qint64 m_duration = 0;
    qint64 m_pos = 0;
    bool m_havePos = false;
    bool m_frameValid = false;
    bool m_pending = false;
    bool m_eof = false;
    bool m_exactSeek = false;
};

}  // namespace

class SourceCache
{
public:
    QString path;
    qint64 size = -1;
    QDateTime modified;
    std::unique_ptr<FileDecoder> decoder;
};

std::shared_ptr<SourceCache> MakeSourceCache()
{
    return std::make_shared<SourceCache>();
}

namespace {

// Pointers to the samples of a frame from `offset` on.
void offsetPointers(const AVFrame* f, int offset, const uint8_t* out[AV_NUM_DATA_POINTERS])
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

JobOutcome transcodeFile(const TranscodeRequest& req, qint64 firstSec, qint64 lenSec, OutputTarget& out,
                         JobControl& control, TranscodeStats& stats)
{
    // A decoder kept open from the previous part of the same, unchanged file is reused when
    // the range starts later on; a range from the beginning opens the file afresh.
    const QFileInfo info(req.source);
    std::unique_ptr<FileDecoder> owned;
    FileDecoder* decoder = nullptr;
    SourceCache* cache = req.cache.get();
    if (cache && cache->decoder && firstSec > 0 && cache->path == info.absoluteFilePath() && cache->size == info.size() &&
        cache->modified == info.lastModified()) {
        decoder = cache->decoder.get();
    } else {
        if (cache)
            cache->decoder.reset();
        owned = std::make_unique<FileDecoder>();
        JobOutcome r = owned->open(req.source);
        if (r.kind != JobOutcome::Done)
            return r;
        if (cache) {
            cache->path = info.absoluteFilePath();
            cache->size = info.size();
            cache->modified = info.lastModified();
            cache->decoder = std::move(owned);
            decoder = cache->decoder.get();
        } else {
            decoder = owned.get();
        }
    }
    FileDecoder& dec = *decoder;
    JobOutcome r;
    const qint64 first = firstSec * dec.rate();
    const qint64 end = lenSec > 0 ? first + lenSec * dec.rate() : std::numeric_limits<qint64>::max();
    if (dec.duration() > 0 && first >= dec.duration())
        return JobOutcome::error(kErrBadRange, QStringLiteral("The range starts at %1 s, after the end of the source (%2 s).")
                                                   .arg(firstSec)
                                                   .arg(double(dec.duration()) / dec.rate(), 0, 'f', 1));
    EncoderPlan plan;
    r = planEncoder(req.settings, dec.rate(), dec.channels(), plan);
    if (r.kind != JobOutcome::Done)
        return r;
    EncodeSink sink;
    out.closeFd();
    r = sink.open(plan, out.tempPath(), req.tags, dec.rate(), dec.layout(), dec.format());
    if (r.kind != JobOutcome::Done)
        return r;
    r = dec.seekTo(first, stats);
    if (r.kind != JobOutcome::Done)
        return r;
    const qint64 total = std::max<qint64>(1, std::min(end, dec.duration() > 0 ? dec.duration() : end) - first);
    while (true) {
        if (control.aborted())
            return JobOutcome::aborted();
        const int got = dec.next(stats);
        if (got < 0)
            return JobOutcome::error(kErrDecodeFailed, QStringLiteral("Cannot decode the file \"%1\".").arg(req.source));
        if (got == 0)
            break;
        const AVFrame* f = dec.frame();
        const qint64 pos = dec.pos();
        if (pos >= end)
            break;
        const qint64 a = std::max(pos, first);
        const qint64 b = std::min(pos + f->nb_samples, end);
        if (b <= a)
            continue;
        if (f->format != dec.format())
            return JobOutcome::error(kErrDecodeFailed, QStringLiteral("The audio format of \"%1\" changes within the file.").arg(req.source));
        const uint8_t* ptrs[AV_NUM_DATA_POINTERS] = {};
        offsetPointers(f, int(a - pos), ptrs);
        r = sink.write(ptrs, int(b - a));
        if (r.kind != JobOutcome::Done)
            return r;
        stats.samplesWritten += b - a;
        control.progress(int(std::min<qint64>(99, (b - first) * 100 / total)));
    }
    if (stats.samplesWritten == 0)
        return JobOutcome::error(kErrBadRange, QStringLiteral("The range holds no audio of \"%1\".").arg(req.source));
    return sink.finish();
}

JobOutcome transcodePcm(const TranscodeRequest& req, OutputTarget& out, JobControl& control, TranscodeStats& stats)
{
    PcmReader& src = *req.pcm;
    EncoderPlan plan;
    JobOutcome r = planEncoder(req.settings, 44100, 2, plan);
    if (r.kind != JobOutcome::Done)
        return r;
    EncodeSink sink;
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    out.closeFd();
    r = sink.open(plan, out.tempPath(), req.tags, 44100, stereo, AV_SAMPLE_FMT_S16);
    if (r.kind != JobOutcome::Done)
        return r;
    const qint64 total = std::max<qint64>(1, src.totalFrames());
    constexpr int kChunk = 588 * 25;  // 25 CD sectors
    std::vector<qint16> buf(kChunk * 2);
    while (true) {
        if (control.aborted())
            return JobOutcome::aborted();
        QString error;
        const int n = src.read(buf.data(), kChunk, error);
        if (n < 0)
            return JobOutcome::error(kErrDevice, error);
        if (n == 0)
            break;
        const uint8_t* ptrs[1] = {reinterpret_cast<const uint8_t*>(buf.data())};
        r = sink.write(ptrs, n);
        if (r.kind != JobOutcome::Done)
            return r;
        stats.samplesWritten += n;
        control.progress(int(std::min<qint64>(99, stats.samplesWritten * 100 / total)));
    }
    if (stats.samplesWritten == 0)
        return JobOutcome::error(kErrBadRange, QStringLiteral("The range holds no audio."));
    return sink.finish();
}

}  // namespace

JobOutcome RunTranscode(const TranscodeRequest& req, JobControl& control, TranscodeStats* statsOut, bool deferCommit)
{
    QuietMediaLibraries();
    TranscodeStats local;
    TranscodeStats& stats = statsOut ? *statsOut : local;
    if (req.settings.OutputFormat == kOutputAPE) {
        EncoderPlan p;
        return planEncoder(req.settings, 44100, 2, p);
    }
    if (req.hasRange && req.rangeStart < 0)
        return JobOutcome::error(kErrBadRange, QStringLiteral("The range start %1 s is before the beginning.").arg(req.rangeStart));
    const qint64 firstSec = req.hasRange ? req.rangeStart : 0;
    const qint64 lenSec = req.hasRange ? req.rangeLength : 0;

    WavLayout wav;
    if (!req.pcm) {
        const MediaFacts facts = CheckSourceFile(req.source, wav);
        if (facts.code != 0)
            return JobOutcome::error(facts.code, facts.error);
    }
    OutputTarget out;
    JobOutcome r = out.prepare(req.output, req.pcm ? QString() : req.source);
    if (r.kind != JobOutcome::Done)
        return r;
    if (control.aborted())
        return JobOutcome::aborted();

    if (req.pcm) {
        r = transcodePcm(req, out, control, stats);
    } else if (req.allowCopy && copyable(wav, req.settings)) {
        const qint64 first = firstSec * wav.sampleRate;
        if (first >= wav.frames())
            return JobOutcome::error(kErrBadRange, QStringLiteral("The range starts at %1 s, after the end of the source (%2 s).")
                                                       .arg(firstSec)
                                                       .arg(double(wav.frames()) / wav.sampleRate, 0, 'f', 1));
        const qint64 end = lenSec > 0 ? first + lenSec * wav.sampleRate : wav.frames();
        r = copyPcm(req, wav, first, end, out, control, stats);
    } else {
        r = transcodeFile(req, firstSec, lenSec, out, control, stats);
        if (r.kind != JobOutcome::Done && req.cache)
            req.cache->decoder.reset();  // start the next job from a clean state
    }
    if (r.kind != JobOutcome::Done)
        return r;
    if (control.aborted())
        return JobOutcome::aborted();
    control.progress(100);
    return deferCommit ? out.release() : out.commit();
}
