// The real player: a decoder thread fills a small ring of device-format samples, the SDL
// audio callback plays from it, and the end of the play is queued back to the GUI thread.
#include "components/cPlayer/PlayerImpl.h"

#include "components/audio/MediaProbe.h"
#include "components/cAudioConverter/cAudioConverter.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QPointer>

#include <SDL.h>

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace {

constexpr int kSnapshot = 512;  // samples kept for the graphs
constexpr int kBands = 32;

bool initAudio(QString& error)
{
    static std::once_flag once;
    static bool ok = false;
    static QString why;
    std::call_once(once, [] {
        ok = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (!ok)
            why = QString::fromUtf8(SDL_GetError());
    });
    error = why;
    return ok;
}

}  // namespace

struct PlayerImpl::Playback {
    QString path;
    SDL_AudioDeviceID device = 0;
    SDL_AudioSpec have{};
    std::thread decoder;
    std::mutex lock;
    std::condition_variable space;
    std::vector<qint16> ring;  // interleaved device-format samples
    size_t head = 0, size = 0;
    std::atomic<bool> stop{false};
    std::atomic<bool> decodeDone{false};
    std::atomic<bool> ended{false};
    std::atomic<qint64> seekTo{-1};      // seconds requested by SetPosition
    std::atomic<qint64> playedFrames{0};  // frames handed to the device since basePosition
    std::atomic<double> basePosition{0};  // seconds where playedFrames started
    bool paused = false;
    std::vector<qint16> snapshot = std::vector<qint16>(kSnapshot * 2, 0);
    std::function<void()> onEnd;

    static void callback(void* user, Uint8* stream, int len)
    {
        auto* p = static_cast<Playback*>(user);
        const int channels = p->have.channels;
        const size_t want = size_t(len) / sizeof(qint16);
        auto* out = reinterpret_cast<qint16*>(stream);
        size_t got = 0;
        {
            std::lock_guard<std::mutex> g(p->lock);
            while (got < want && p->size > 0) {
                const size_t n = std::min({want - got, p->size, p->ring.size() - p->head});
                memcpy(out + got, p->ring.data() + p->head, n * sizeof(qint16));
                p->head = (p->head + n) % p->ring.size();
                p->size -= n;
                got += n;
            }
            // Keep the newest samples for the graphs (stereo pairs; mono repeated).
            const size_t frames = got / size_t(channels);
            const size_t keep = std::min<size_t>(frames, kSnapshot);
            std::move(p->snapshot.begin() + keep * 2, p->snapshot.end(), p->snapshot.begin());
            for (size_t i = 0; i < keep; ++i) {
                const size_t f = frames - keep + i;
                const qint16 l = out[f * channels];
                const qint16 r = channels > 1 ? out[f * channels + 1] : l;
                p->snapshot[(kSnapshot - keep + i) * 2] = l;
                p->snapshot[(kSnapshot - keep + i) * 2 + 1] = r;
            }
        }
        p->space.notify_one();
        if (got < want)
            memset(out + got, 0, (want - got) * sizeof(qint16));
        p->playedFrames += qint64(got / size_t(channels));
        if (got == 0 && p->decodeDone && !p->ended.exchange(true) && p->onEnd)
            p->onEnd();
    }

    void push(const qint16* data, size_t count)
    {
        size_t done = 0;
        while (done < count && !stop) {
            std::unique_lock<std::mutex> g(lock);
            space.wait_for(g, std::chrono::milliseconds(50), [&] { return stop || size < ring.size() || seekTo >= 0; });
            if (seekTo >= 0)
                return;  // the decoder drops what it has and seeks
            const size_t tail = (head + size) % ring.size();
            const size_t n = std::min({count - done, ring.size() - size, ring.size() - tail});
            memcpy(ring.data() + tail, data + done, n * sizeof(qint16));
            size += n;
            done += n;
        }
    }

    void decode()
    {
        AVFormatContext* in = nullptr;
        AVCodecContext* dec = nullptr;
        SwrContext* swr = nullptr;
        AVFrame* frame = av_frame_alloc();
        AVPacket* pkt = av_packet_alloc();
        std::vector<qint16> conv;
        int si = -1;
        const QByteArray name = QFileInfo(path).absoluteFilePath().toUtf8();
        if (avformat_open_input(&in, name.constData(), nullptr, nullptr) >= 0 && avformat_find_stream_info(in, nullptr) >= 0 &&
            (si = av_find_best_stream(in, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0)) >= 0) {
            AVStream* st = in->streams[si];
            const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
            dec = codec ? avcodec_alloc_context3(codec) : nullptr;
            if (dec && avcodec_parameters_to_context(dec, st->codecpar) >= 0 && avcodec_open2(dec, codec, nullptr) >= 0) {
                AVChannelLayout outLayout{};
                av_channel_layout_default(&outLayout, have.channels);
                AVChannelLayout inLayout{};
                if (dec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
                    av_channel_layout_default(&inLayout, dec->ch_layout.nb_channels);
                else
                    av_channel_layout_copy(&inLayout, &dec->ch_layout);
                if (swr_alloc_set_opts2(&swr, &outLayout, AV_SAMPLE_FMT_S16, have.freq, &inLayout, dec->sample_fmt,
                                        dec->sample_rate, 0, nullptr) < 0 ||
                    swr_init(swr) < 0)
                    swr_free(&swr);
                av_channel_layout_uninit(&inLayout);
                const int64_t startTime = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
                bool eof = false;
                while (swr && !stop) {
                    const qint64 seconds = seekTo.load();
                    if (seconds >= 0) {
                        const int64_t ts = startTime + av_rescale_q(seconds, AVRational{1, 1}, st->time_base);
                        avformat_seek_file(in, si, INT64_MIN, ts, ts, 0);
                        avcodec_flush_buffers(dec);
                        {
                            std::lock_guard<std::mutex> g(lock);
                            head = size = 0;
                            basePosition = double(seconds);
                            playedFrames = 0;
                        }
                        eof = false;
                        seekTo = -1;
                    }
                    int ret = avcodec_receive_frame(dec, frame);
                    if (ret == 0) {
                        const int cap = swr_get_out_samples(swr, frame->nb_samples);
                        conv.resize(size_t(cap) * size_t(have.channels));
                        uint8_t* outp[1] = {reinterpret_cast<uint8_t*>(conv.data())};
                        const int got = swr_convert(swr, outp, cap, const_cast<const uint8_t**>(frame->extended_data),
                                                    frame->nb_samples);
                        if (got > 0)
                            push(conv.data(), size_t(got) * size_t(have.channels));
                        continue;
                    }
                    if (ret == AVERROR_EOF)
                        break;
                    if (eof)
                        break;
                    if (av_read_frame(in, pkt) < 0) {
                        eof = true;
                        avcodec_send_packet(dec, nullptr);
                        continue;
                    }
                    if (pkt->stream_index == si)
                        avcodec_send_packet(dec, pkt);
                    av_packet_unref(pkt);
                }
                av_channel_layout_uninit(&outLayout);
            }
        }
        swr_free(&swr);
        avcodec_free_context(&dec);
        avformat_close_input(&in);
        av_frame_free(&frame);
        av_packet_free(&pkt);
        decodeDone = true;
    }
};

PlayerImpl::PlayerImpl(QObject* parent) : cPlayer(parent) {}

PlayerImpl::~PlayerImpl()
{
    ++m_generation;
    if (m_play) {
        m_play->stop = true;
        m_play->space.notify_all();
        if (m_play->decoder.joinable())
            m_play->decoder.join();
        SDL_CloseAudioDevice(m_play->device);
    }
}

qint32 PlayerImpl::OpenFile(const QString& FileName)
{
    const MediaFacts m = ProbeMedia(FileName);
    m_sampleRate = m.sampleRate;
    m_channels = m.channels;
    m_bitrate = qint32(std::min<qint64>(m.bitRate, std::numeric_limits<qint32>::max()));
    m_length = m.lengthSeconds;
    if (m.code == kErrSourceMissing)
        return kPlayErrFileMissing;
    return m.code == 0 ? 0 : kPlayErrUnreadable;
}

qint32 PlayerImpl::Play(QString& FileName, qint32& DeviceIndex)
{
    if (m_play)
        return kPlayErrBusy;
    const qint32 opened = OpenFile(FileName);
    if (opened != 0)
        return opened;
    QString why;
    if (!initAudio(why))
        return kPlayErrNoDevice;
    auto play = std::make_unique<Playback>();
    play->path = FileName;
    SDL_AudioSpec want{};
    want.freq = m_sampleRate > 0 ? m_sampleRate : 44100;
    want.format = AUDIO_S16SYS;
    want.channels = Uint8(std::clamp(m_channels, 1, 2));
    want.samples = 1024;
    want.callback = &Playback::callback;
    want.userdata = play.get();
    const char* device = nullptr;
    QByteArray deviceName;
    if (DeviceIndex >= 0 && DeviceIndex < SDL_GetNumAudioDevices(0)) {
        deviceName = SDL_GetAudioDeviceName(DeviceIndex, 0);
        device = deviceName.constData();
    }
    play->device = SDL_OpenAudioDevice(device, 0, &want, &play->have,
                                       SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (play->device == 0 || play->have.format != AUDIO_S16SYS || play->have.channels < 1)
        return kPlayErrNoDevice;
    play->ring.assign(size_t(play->have.freq / 2) * play->have.channels, 0);  // half a second
    const quint64 generation = ++m_generation;
    QPointer<PlayerImpl> self(this);
    play->onEnd = [self, generation] {
        QMetaObject::invokeMethod(
            self.data(),
            [self, generation] {
                if (self)
                    self->onPlaybackEnded(generation);
            },
            Qt::QueuedConnection);
    };
    Playback* p = play.get();
    play->decoder = std::thread([p] { p->decode(); });
    m_play = std::move(play);
    SDL_PauseAudioDevice(m_play->device, 0);
    return 0;
}

QString PlayerImpl::GetErrorText(qint32& Code)
{
    switch (Code) {
    case 0:
        return QString();
    case kPlayErrFileMissing:
        return QStringLiteral("The file does not exist.");
    case kPlayErrUnreadable:
        return QStringLiteral("The file is not an audio file that can be played.");
    case kPlayErrNoDevice:
        return QStringLiteral("No audio output device can be opened.");
    case kPlayErrBusy:
        return QStringLiteral("Another file is playing.");
    default:
        return QStringLiteral("Unknown error %1.").arg(Code);
    }
}

void PlayerImpl::Pause()
{
    if (m_play && !m_play->paused) {
        SDL_PauseAudioDevice(m_play->device, 1);
        m_play->paused = true;
    }
}

void PlayerImpl::Resume()
{
    if (m_play && m_play->paused) {
        SDL_PauseAudioDevice(m_play->device, 0);
        m_play->paused = false;
    }
}

bool PlayerImpl::IsPaused()
{
    return m_play && m_play->paused;
}

bool PlayerImpl::IsPlaying()
{
    return bool(m_play);
}

void PlayerImpl::StopPlay()
{
    if (!m_play)
        return;
    const quint64 generation = ++m_generation;  // a natural end already queued is dropped
    m_play->stop = true;
    m_play->space.notify_all();
    SDL_CloseAudioDevice(m_play->device);  // waits for a running callback
    if (m_play->decoder.joinable())
        m_play->decoder.join();
    m_play.reset();
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation == m_generation)
                emit PlayDone();
        },
        Qt::QueuedConnection);
}

void PlayerImpl::onPlaybackEnded(quint64 generation)
{
    if (generation != m_generation || !m_play)
        return;
    SDL_CloseAudioDevice(m_play->device);
    m_play->stop = true;
    m_play->space.notify_all();
    if (m_play->decoder.joinable())
        m_play->decoder.join();
    m_play.reset();
    emit PlayDone();
}

qint32 PlayerImpl::GetPosition()
{
    if (!m_play || m_play->have.freq <= 0)
        return 0;
    const double seconds = m_play->basePosition + double(m_play->playedFrames) / m_play->have.freq;
    return qint32(std::min(seconds, m_length > 0 ? m_length : seconds));
}

void PlayerImpl::SetPosition(qint32 Position)
{
    if (!m_play)
        return;
    m_play->seekTo = std::max<qint64>(0, Position);
    m_play->space.notify_all();
}

PlayerAudioData PlayerImpl::AudioData()
{
    PlayerAudioData d;
    if (!m_play)
        return d;
    std::vector<qint16> s;
    {
        SDL_LockAudioDevice(m_play->device);
        s = m_play->snapshot;
        SDL_UnlockAudioDevice(m_play->device);
    }
    d.Waveform.resize(kSnapshot);
    double sl = 0, sr = 0;
    for (int i = 0; i < kSnapshot; ++i) {
        const double l = s[size_t(i) * 2] / 32768.0, r = s[size_t(i) * 2 + 1] / 32768.0;
        sl = std::max(sl, std::abs(l));
        sr = std::max(sr, std::abs(r));
        d.Waveform[i] = float((l + r) / 2);
    }
    d.LevelLeft = float(sl);
    d.LevelRight = float(sr);
    // A plain DFT over the snapshot, folded into bands on a square-root frequency scale.
    d.Spectrum.fill(0.0f, kBands);
    constexpr int half = kSnapshot / 2;
    for (int k = 1; k < half; ++k) {
        double re = 0, im = 0;
        for (int n = 0; n < kSnapshot; ++n) {
            const double w = 0.5 - 0.5 * std::cos(2 * M_PI * n / (kSnapshot - 1));
            const double a = 2 * M_PI * k * n / kSnapshot;
            re += d.Waveform[n] * w * std::cos(a);
            im -= d.Waveform[n] * w * std::sin(a);
        }
        const double mag = std::sqrt(re * re + im * im) / (kSnapshot / 4.0);
        const int band = std::min(kBands - 1, int(std::sqrt(double(k) / half) * kBands));
        d.Spectrum[band] = std::max(d.Spectrum[band], float(std::min(1.0, mag)));
    }
    return d;
}
