// The wave component's shared members and the factory the windows create it through.
#include "components/cWave/cWave.h"

#include "components/cPlayer/cPlayer.h"
#include "components/cWave/WaveImpl.h"

namespace {
WaveFactory& factory()
{
    static WaveFactory f;
    return f;
}
}  // namespace

QString cWave::SecondsToTimeText(qint32 Seconds)
{
    return cPlayer::FormatTime(Seconds);
}

cWave* CreateWave(QObject* parent)
{
    if (factory())
        return factory()(parent);
    return new WaveImpl(parent);
}

void SetWaveFactory(WaveFactory f)
{
    factory() = std::move(f);
}
