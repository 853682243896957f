// The conversion component's shared members and the factory the windows create it through.
#include "components/cAudioConverter/cAudioConverter.h"

#include "components/cAudioConverter/AudioConverterImpl.h"

namespace {
AudioConverterFactory& factory()
{
    static AudioConverterFactory f;
    return f;
}
}  // namespace

cAudioConverter::cAudioConverter(QObject* parent) : AudioJobComponent(parent) {}

cAudioConverter::~cAudioConverter() = default;

QString cAudioConverter::SecondsToTimeText(qint32 Seconds)
{
    if (Seconds < 0)
        Seconds = 0;
    return QStringLiteral("%1:%2:%3")
        .arg(Seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg((Seconds / 60) % 60, 2, 10, QLatin1Char('0'))
        .arg(Seconds % 60, 2, 10, QLatin1Char('0'));
}

void cAudioConverter::SetSourceFile(const QString& path)
{
    m_sourceFile = path;
    clearRange();
}

cAudioConverter* CreateAudioConverter(QObject* parent)
{
    if (factory())
        return factory()(parent);
    return new AudioConverterImpl(parent);
}

void SetAudioConverterFactory(AudioConverterFactory f)
{
    factory() = std::move(f);
}
