#include "platform/SoundService.h"

#include <QFile>
#include <QTimer>

#include <SDL.h>

SdlSoundService::~SdlSoundService()
{
    stop();
    if (m_initialised)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlSoundService::stop()
{
    if (m_device) {
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
    }
}

bool SdlSoundService::play(const QString& wavFile)
{
    stop();
    if (!m_initialised) {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        m_initialised = true;
    }
    SDL_AudioSpec spec{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    const QByteArray path = QFile::encodeName(wavFile);
    if (!SDL_LoadWAV(path.constData(), &spec, &buffer, &length))
        return false;
    m_device = SDL_OpenAudioDevice(nullptr, 0, &spec, nullptr, 0);
    if (!m_device) {
        SDL_FreeWAV(buffer);
        return false;
    }
    const int queued = SDL_QueueAudio(m_device, buffer, length);
    SDL_FreeWAV(buffer);
    if (queued != 0) {
        stop();
        return false;
    }
    SDL_PauseAudioDevice(m_device, 0);
    // Close the device once the sound has played, so it holds nothing between sounds.
    const int bytesPerSecond = spec.freq * spec.channels * (SDL_AUDIO_BITSIZE(spec.format) / 8);
    const int ms = bytesPerSecond > 0 ? int(qint64(length) * 1000 / bytesPerSecond) + 250 : 250;
    const unsigned device = m_device;
    QTimer::singleShot(ms, [this, device] {
        if (m_device == device)
            stop();
    });
    return true;
}
