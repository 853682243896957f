// The factory the windows create the audio CD burner through.
#include "components/cAudioBurner/cAudioBurner.h"

#include "components/cAudioBurner/AudioBurnerImpl.h"

namespace {
AudioBurnerFactory& factory()
{
    static AudioBurnerFactory f;
    return f;
}
}  // namespace

cAudioBurner* CreateAudioBurner(QObject* parent)
{
    if (factory())
        return factory()(parent);
    return new AudioBurnerImpl(parent);
}

void SetAudioBurnerFactory(AudioBurnerFactory f)
{
    factory() = std::move(f);
}
