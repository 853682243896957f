// The player component's shared members and the factory the windows create it through.
#include "components/cPlayer/cPlayer.h"

#include "components/cPlayer/PlayerImpl.h"

namespace {
PlayerFactory& factory()
{
    static PlayerFactory f;
    return f;
}
}  // namespace

cPlayer::cPlayer(QObject* parent) : QObject(parent) {}

cPlayer::~cPlayer() = default;

QString cPlayer::FormatTime(qint32 Value)
{
    if (Value < 0)
        Value = 0;
    return QStringLiteral("%1:%2:%3")
        .arg(Value / 3600)
        .arg((Value / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(Value % 60, 2, 10, QLatin1Char('0'));
}

cPlayer* CreatePlayer(QObject* parent)
{
    if (factory())
        return factory()(parent);
    return new PlayerImpl(parent);
}

void SetPlayerFactory(PlayerFactory f)
{
    factory() = std::move(f);
}
