#include "components/audio/SdlAudio.h"

#include <SDL.h>

#include <mutex>

namespace {

std::once_flag g_once;
bool g_ok = false;
QString g_error;

}  // namespace

bool InitSdlAudio()
{
    std::call_once(g_once, [] {
        g_ok = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        if (!g_ok)
            g_error = QString::fromUtf8(SDL_GetError());
    });
    return g_ok;
}

QString SdlAudioError()
{
    InitSdlAudio();
    return g_error;
}
