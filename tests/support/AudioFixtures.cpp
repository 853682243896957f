// Audio fixtures for the component tests.
#include "tests/support/AudioFixtures.h"

#include "components/audio/JobRunner.h"
#include "components/audio/MediaProbe.h"
#include "components/audio/Transcoder.h"

#include <QFile>
#include <QProcess>

#include <cmath>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace AudioFixtures {

QVector<qint16> noise(qint64 frames, int channels, quint32 seed, double amplitude)
{
    QVector<qint16> out(frames * channels);
    quint32 s = seed * 2654435761u + 1;
    QVector<double> lp(channels, 0.0);
    for (qint64 i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            s = s * 1664525u + 1013904223u;
            const double white = (double(s >> 8) / double(1 << 24)) * 2.0 - 1.0;
            lp[c] = 0.6 * lp[c] + 0.4 * white;  // gentle low-pass: lossy codecs keep it
            out[i * channels + c] = qint16(std::lround(std::clamp(lp[c] * amplitude * 2.0, -1.0, 1.0) * 32767));
        }
    return out;
}

QVector<qint16> sine(qint64 frames, int channels, int rate, double hz, double amplitude)
{
    QVector<qint16> out(frames * channels);
    for (qint64 i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            out[i * channels + c] = qint16(std::lround(std::sin(2 * M_PI * hz * double(i) / rate) * amplitude * 32767));
    return out;
}

QByteArray wavBytes(int rate, int channels, int bits, const QVector<qint16>& samples)
{
    QByteArray data;
    if (bits == 8) {
        for (qint16 v : samples)
            data.append(char(quint8((v >> 8) + 128)));
    } else {
        data.resize(samples.size() * 2);
        if (!samples.isEmpty())
            memcpy(data.data(), samples.constData(), size_t(data.size()));
    }
    QByteArray h;
    auto u32 = [&](quint32 v) { h.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF)).append(char(v >> 16 & 0xFF)).append(char(v >> 24)); };
    auto u16 = [&](quint16 v) { h.append(char(v & 0xFF)).append(char(v >> 8)); };
    const int align = channels * bits / 8;
    h.append("RIFF");
    u32(quint32(36 + data.size() + (data.size() & 1)));
    h.append("WAVEfmt ");
    u32(16);
    u16(1);
    u16(quint16(channels));
    u32(quint32(rate));
    u32(quint32(rate * align));
    u16(quint16(align));
    u16(quint16(bits));
    h.append("data");
    u32(quint32(data.size()));
    h.append(data);
    if (data.size() & 1)
        h.append('\0');
    return h;
}

bool writeWav(const QString& path, int rate, int channels, int bits, const QVector<qint16>& samples)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray b = wavBytes(rate, channels, bits, samples);
    return f.write(b) == b.size();
}

QByteArray wavData(const QString& path)
{
    const WavLayout w = ParseWavLayout(path);
    if (!w.isWav)
        return {};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(w.dataOffset))
        return {};
    return f.read(w.dataSize);
}

QString checkPlayedOutput(const QByteArray& written, const QByteArray& samples, qsizetype maxSilence)
{
    const qsizetype at = written.indexOf(samples.left(256));
    if (samples.isEmpty() || at < 0)
        return QStringLiteral("the samples are not in the output");
    if (written.left(at).count('\0') != at)
        return QStringLiteral("sound before the samples");
    if (at > maxSilence)
        return QStringLiteral("%1 bytes of silence before the samples").arg(at);
    if (written.mid(at, samples.size()) != samples)
        return QStringLiteral("the samples differ from offset %1 on").arg(at);
    const QByteArray tail = written.mid(at + samples.size());
    if (tail.count('\0') != tail.size())
        return QStringLiteral("sound after the samples");
    return QString();
}

bool encode(const QString& source, const QString& target, const EncoderSettings& settings)
{
    TranscodeRequest req;
    req.source = source;
    req.output = target;
    req.settings = settings;
    JobControl control;
    return RunTranscode(req, control).kind == JobOutcome::Done;
}

namespace {

// Decodes a whole file into interleaved samples of `format`, appended to `out`; false when
// the file cannot be opened or holds no audio.
bool decodeTo(const QString& path, AVSampleFormat format, int& rate, int& channels, QByteArray& out)
{
    AVFormatContext* in = nullptr;
    if (avformat_open_input(&in, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return false;
    avformat_find_stream_info(in, nullptr);
    const int si = av_find_best_stream(in, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (si < 0) {
        avformat_close_input(&in);
        return false;
    }
    const AVCodec* codec = avcodec_find_decoder(in->streams[si]->codecpar->codec_id);
    AVCodecContext* dec = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(dec, in->streams[si]->codecpar);
    dec->pkt_timebase = in->streams[si]->time_base;
    avcodec_open2(dec, codec, nullptr);
    rate = dec->sample_rate;
    channels = dec->ch_layout.nb_channels;
    const int bytesPerFrame = av_get_bytes_per_sample(format) * channels;
    SwrContext* swr = nullptr;
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, channels);
    AVChannelLayout inLayout{};
    if (dec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&inLayout, channels);
    else
        av_channel_layout_copy(&inLayout, &dec->ch_layout);
    swr_alloc_set_opts2(&swr, &layout, format, rate, &inLayout, dec->sample_fmt, rate, 0, nullptr);
    swr_init(swr);
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto drain = [&] {
        while (avcodec_receive_frame(dec, frame) == 0) {
            const qint64 at = out.size();
            out.resize(at + qint64(frame->nb_samples) * bytesPerFrame);
            uint8_t* dst[1] = {reinterpret_cast<uint8_t*>(out.data() + at)};
            swr_convert(swr, dst, frame->nb_samples, const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
        }
    };
    while (av_read_frame(in, pkt) >= 0) {
        if (pkt->stream_index == si && avcodec_send_packet(dec, pkt) >= 0)
            drain();
        av_packet_unref(pkt);
    }
    avcodec_send_packet(dec, nullptr);
    drain();
    av_frame_free(&frame);
    av_packet_free(&pkt);
    swr_free(&swr);
    av_channel_layout_uninit(&layout);
    av_channel_layout_uninit(&inLayout);
    avcodec_free_context(&dec);
    avformat_close_input(&in);
    return true;
}

}  // namespace

Decoded decode(const QString& path)
{
    Decoded d;
    QByteArray bytes;
    if (!decodeTo(path, AV_SAMPLE_FMT_FLT, d.rate, d.channels, bytes))
        return d;
    d.samples.resize(bytes.size() / qsizetype(sizeof(float)));
    memcpy(d.samples.data(), bytes.constData(), size_t(d.samples.size()) * sizeof(float));
    return d;
}

Pcm16 decodePcm16(const QString& path)
{
    Pcm16 p;
    decodeTo(path, AV_SAMPLE_FMT_S16, p.rate, p.channels, p.bytes);
    return p;
}

bool runTool(const QString& program, const QStringList& args, QString* error)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, args);
    const bool ok = tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    if (!ok && error)
        *error = QStringLiteral("%1 %2: %3 %4")
                     .arg(program, args.join(QLatin1Char(' ')), tool.errorString(), QString::fromLocal8Bit(tool.readAll()));
    if (tool.state() != QProcess::NotRunning) {
        tool.kill();
        tool.waitForFinished();
    }
    return ok;
}

QVector<float> mono(const QVector<float>& x, int channels)
{
    QVector<float> out(channels > 0 ? x.size() / channels : 0);
    for (qint64 i = 0; i < out.size(); ++i) {
        float s = 0;
        for (int c = 0; c < channels; ++c)
            s += x[i * channels + c];
        out[i] = s / float(channels);
    }
    return out;
}

QVector<float> monoFrom16(const QVector<qint16>& x, int channels)
{
    QVector<float> f(x.size());
    for (qint64 i = 0; i < x.size(); ++i)
        f[i] = x[i] / 32768.0f;
    return mono(f, channels);
}

int bestLag(const QVector<float>& a, const QVector<float>& b, int maxLag, int window, double* correlation)
{
    int best = 0;
    double bestC = -2;
    for (int lag = -maxLag; lag <= maxLag; ++lag) {
        double ab = 0, aa = 0, bb = 0;
        for (int i = 0; i < window; ++i) {
            const qint64 j = i + lag;
            if (i >= b.size() || j < 0 || j >= a.size())
                continue;
            ab += double(a[j]) * b[i];
            aa += double(a[j]) * a[j];
            bb += double(b[i]) * b[i];
        }
        const double c = (aa > 0 && bb > 0) ? ab / std::sqrt(aa * bb) : 0;
        if (c > bestC) {
            bestC = c;
            best = lag;
        }
    }
    if (correlation)
        *correlation = bestC;
    return best;
}

EncoderSettings wavSettings(int rate, int channels, int bits)
{
    EncoderSettings s;
    s.OutputFormat = kOutputWAV;
    s.WAV = WAVSettings{rate, qint16(channels), qint16(bits)};
    return s;
}

EncoderSettings mp3Settings(int kbps)
{
    EncoderSettings s;
    s.OutputFormat = kOutputMP3;
    s.MP3.Bitrate = kbps;
    s.MP3.SampleRate = 44100;
    s.MP3.Quality = 5;
    return s;
}

EncoderSettings oggSettings(int quality)
{
    EncoderSettings s;
    s.OutputFormat = kOutputOGG;
    s.OGG = OGGSettings{0, 0, quality};
    return s;
}

EncoderSettings wmaSettings(int codec, int format)
{
    EncoderSettings s;
    s.OutputFormat = kOutputWMA;
    s.WMA = WMASettings{codec, format};
    return s;
}

EncoderSettings acmSettings(const QString& tag, const QString& format)
{
    EncoderSettings s;
    s.OutputFormat = kOutputACM;
    s.ACMTag = tag;
    s.ACMFormat = format;
    return s;
}

}  // namespace AudioFixtures
