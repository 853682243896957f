// Playback on an SDL output device: the decoder thread trims the decoded frames to the
// requested stretch (or takes the samples in memory), converts them to the device's format
// and fills the ring the audio callback plays from; the end of the stretch is reported
// from the audio thread.
#include "components/audio/AudioPlayback.h"

#include "components/audio/MediaProbe.h"
#include "components/audio/SdlAudio.h"
#include "components/audio/SourceDecoder.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <mutex>
#include <thread>

extern "C" {
#include <libswresample/swresample.h>
}

struct AudioPlayback::State {
    AudioPlayback::Request request;
    SDL_AudioDeviceID device = 0;
    SDL_AudioSpec have{};
    std::thread decoder;
    mutable std::mutex lock;
    std::condition_variable space;
    std::vector<qint16> ring;  // interleaved device-format samples
    size_t head = 0, size = 0;
    std::atomic<bool> stop{false};
    std::atomic<bool> decodeDone{false};
    std::atomic<bool> ended{false};
    std::atomic<qint64> seekTo{-1};       // seconds asked for by seek()
    std::atomic<qint64> playedFrames{0};  // device frames played since baseSample
    std::atomic<qint64> baseSample{0};    // source sample where playedFrames started
    std::atomic<int> sourceRate{0};
    bool paused = false;
    std::vector<qint16> snapshot = std::vector<qint16>(size_t(kSnapshotFrames) * 2, 0);

    static void callback(void* user, Uint8* stream, int len)
    {
        auto* p = static_cast<State*>(user);
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
            const size_t keep = std::min<size_t>(frames, kSnapshotFrames);
            std::move(p->snapshot.begin() + keep * 2, p->snapshot.end(), p->snapshot.begin());
            for (size_t i = 0; i < keep; ++i) {
                const size_t f = frames - keep + i;
                const qint16 l = out[f * channels];
                const qint16 r = channels > 1 ? out[f * channels + 1] : l;
                p->snapshot[(kSnapshotFrames - keep + i) * 2] = l;
                p->snapshot[(kSnapshotFrames - keep + i) * 2 + 1] = r;
            }
            // Counted under the lock: a seek resets the count together with the ring.
            p->playedFrames += qint64(frames);
        }
        p->space.notify_one();
        if (got < want)
            memset(out + got, 0, (want - got) * sizeof(qint16));
        if (got == 0 && p->decodeDone && !p->ended.exchange(true) && p->request.onEnd)
            p->request.onEnd();
    }

    // Hands samples to the ring, waiting for room; returns early when a seek is asked for
    // (the decoder then drops what it has) or the play stops.
    void push(const qint16* data, size_t count)
    {
        size_t done = 0;
        while (done < count && !stop) {
            std::unique_lock<std::mutex> g(lock);
            space.wait_for(g, std::chrono::milliseconds(50), [&] { return stop || size < ring.size() || seekTo >= 0; });
            if (seekTo >= 0)
                return;
            const size_t tail = (head + size) % ring.size();
            const size_t n = std::min({count - done, ring.size() - size, ring.size() - tail});
            memcpy(ring.data() + tail, data + done, n * sizeof(qint16));
            size += n;
            done += n;
        }
    }

    // The samples in memory, converted to the device's format when it differs from theirs.
    void feedMemory()
    {
        const std::vector<qint16>& pcm = *request.pcm;
        const int channels = std::clamp(request.channels, 1, 2);
        if (have.freq == request.sampleRate && have.channels == channels) {
            push(pcm.data(), pcm.size());
        } else {
            SwrContext* swr = nullptr;
            AVChannelLayout outLayout{}, inLayout{};
            av_channel_layout_default(&outLayout, have.channels);
            av_channel_layout_default(&inLayout, channels);
            if (swr_alloc_set_opts2(&swr, &outLayout, AV_SAMPLE_FMT_S16, have.freq, &inLayout, AV_SAMPLE_FMT_S16,
                                    request.sampleRate, 0, nullptr) >= 0 &&
                swr_init(swr) >= 0) {
                std::vector<qint16> conv;
                const size_t frames = pcm.size() / size_t(channels);
                constexpr size_t kStep = 4096;
                for (size_t at = 0; at < frames && !stop; at += kStep) {
                    const uint8_t* in[1] = {reinterpret_cast<const uint8_t*>(pcm.data() + at * size_t(channels))};
                    convert(swr, in, int(std::min(kStep, frames - at)), conv);
                }
                convert(swr, nullptr, 0, conv);
            }
            swr_free(&swr);
            av_channel_layout_uninit(&inLayout);
            av_channel_layout_uninit(&outLayout);
        }
        decodeDone = true;
    }

    void decode()
    {
        if (request.pcm) {
            feedMemory();
            return;
        }
        QuietMediaLibraries();
        SourceDecoder dec;
        TranscodeStats stats;
        SwrContext* swr = nullptr;
        if (dec.open(request.path, ParseWavLayout(request.path)).kind == JobOutcome::Done) {
            sourceRate = dec.rate();
            AVChannelLayout outLayout{};
            av_channel_layout_default(&outLayout, have.channels);
            AVChannelLayout inLayout{};
            if (dec.layout().order == AV_CHANNEL_ORDER_UNSPEC)
                av_channel_layout_default(&inLayout, dec.channels());
            else
                av_channel_layout_copy(&inLayout, &dec.layout());
            if (swr_alloc_set_opts2(&swr, &outLayout, AV_SAMPLE_FMT_S16, have.freq, &inLayout, dec.format(), dec.rate(),
                                    0, nullptr) < 0 ||
                swr_init(swr) < 0)
                swr_free(&swr);
            av_channel_layout_uninit(&inLayout);
            av_channel_layout_uninit(&outLayout);
        }
        const qint64 end = request.endSample < 0 ? std::numeric_limits<qint64>::max() : request.endSample;
        qint64 from = std::max<qint64>(0, request.firstSample);
        bool ok = swr && dec.positionAt(from, stats).kind == JobOutcome::Done;
        std::vector<qint16> conv;
        while (ok && !stop) {
            const qint64 seconds = seekTo.load();
            if (seconds >= 0) {
                from = seconds * dec.rate();
                ok = dec.positionAt(from, stats).kind == JobOutcome::Done;
                swr_init(swr);  // drops what the resampler still holds
                {
                    std::lock_guard<std::mutex> g(lock);
                    head = size = 0;
                    baseSample = from;
                    playedFrames = 0;
                }
                seekTo = -1;
                continue;
            }
            if (dec.next(stats) <= 0 || dec.pos() >= end) {
                // All of the stretch is decoded; the ring still plays out. A seek asked
                // for before it has decodes again from there.
                if (seekTo < 0)
                    convert(swr, nullptr, 0, conv);  // the resampler's tail
                if (!waitForSeek())
                    break;
                continue;
            }
            const AVFrame* f = dec.frame();
            const qint64 pos = dec.pos();
            const qint64 a = std::max(pos, from);
            const qint64 b = std::min(pos + f->nb_samples, end);
            if (b <= a || f->format != dec.format())
                continue;
            const uint8_t* in[AV_NUM_DATA_POINTERS] = {};
            FrameSamplesFrom(f, int(a - pos), in);
            convert(swr, in, int(b - a), conv);
        }
        swr_free(&swr);
        decodeDone = true;
    }

    // True when a seek came before the play ended or was stopped.
    bool waitForSeek()
    {
        decodeDone = true;
        std::unique_lock<std::mutex> g(lock);
        // The flags are set without the lock: wake now and then to look again.
        while (!space.wait_for(g, std::chrono::milliseconds(50), [&] { return stop || ended || seekTo >= 0; })) {
        }
        if (stop || ended)
            return false;
        decodeDone = false;
        return true;
    }

    void convert(SwrContext* swr, const uint8_t* const* in, int n, std::vector<qint16>& conv)
    {
        const int cap = swr_get_out_samples(swr, n);
        if (cap <= 0)
            return;
        conv.resize(size_t(cap) * size_t(have.channels));
        uint8_t* outp[1] = {reinterpret_cast<uint8_t*>(conv.data())};
        const int got = swr_convert(swr, outp, cap, const_cast<const uint8_t**>(in), n);
        if (got > 0)
            push(conv.data(), size_t(got) * size_t(have.channels));
    }
};

std::unique_ptr<AudioPlayback> AudioPlayback::start(const Request& request, bool paused)
{
    if (!InitSdlAudio())
        return nullptr;
    auto s = std::make_unique<State>();
    s->request = request;
    s->baseSample = std::max<qint64>(0, request.firstSample);
    s->sourceRate = request.sampleRate > 0 ? request.sampleRate : 44100;
    SDL_AudioSpec want{};
    want.freq = request.sampleRate > 0 ? request.sampleRate : 44100;
    want.format = AUDIO_S16SYS;
    want.channels = Uint8(std::clamp(request.channels, 1, 2));
    want.samples = 1024;
    want.callback = &State::callback;
    want.userdata = s.get();
    const char* device = nullptr;
    QByteArray deviceName;
    if (request.deviceIndex >= 0 && request.deviceIndex < SDL_GetNumAudioDevices(0)) {
        deviceName = SDL_GetAudioDeviceName(request.deviceIndex, 0);
        device = deviceName.constData();
    }
    s->device = SDL_OpenAudioDevice(device, 0, &want, &s->have,
                                    SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (s->device == 0)
        return nullptr;
    if (s->have.format != AUDIO_S16SYS || s->have.channels < 1) {
        SDL_CloseAudioDevice(s->device);
        return nullptr;
    }
    s->ring.assign(size_t(s->have.freq / 2) * s->have.channels, 0);  // half a second
    State* p = s.get();
    s->decoder = std::thread([p] { p->decode(); });
    s->paused = paused;
    if (!paused)
        SDL_PauseAudioDevice(s->device, 0);
    return std::unique_ptr<AudioPlayback>(new AudioPlayback(std::move(s)));
}

AudioPlayback::AudioPlayback(std::unique_ptr<State> state) : m(std::move(state)) {}

AudioPlayback::~AudioPlayback()
{
    m->stop = true;
    m->space.notify_all();
    SDL_CloseAudioDevice(m->device);  // waits for a running callback
    if (m->decoder.joinable())
        m->decoder.join();
}

void AudioPlayback::pause()
{
    if (!m->paused) {
        SDL_PauseAudioDevice(m->device, 1);
        m->paused = true;
    }
}

void AudioPlayback::resume()
{
    if (m->paused) {
        SDL_PauseAudioDevice(m->device, 0);
        m->paused = false;
    }
}

bool AudioPlayback::paused() const
{
    return m->paused;
}

int AudioPlayback::sourceRate() const
{
    return m->sourceRate;
}

int AudioPlayback::deviceRate() const
{
    return m->have.freq;
}

qint64 AudioPlayback::positionSample() const
{
    if (m->have.freq <= 0)
        return m->baseSample;
    return m->baseSample + m->playedFrames * qint64(m->sourceRate) / m->have.freq;
}

double AudioPlayback::positionSeconds() const
{
    const int rate = m->sourceRate;
    return rate > 0 ? double(positionSample()) / rate : 0.0;
}

void AudioPlayback::seek(qint64 seconds)
{
    m->seekTo = std::max<qint64>(0, seconds);
    m->space.notify_all();
}

std::vector<qint16> AudioPlayback::snapshot() const
{
    SDL_LockAudioDevice(m->device);
    std::vector<qint16> s = m->snapshot;
    SDL_UnlockAudioDevice(m->device);
    return s;
}
