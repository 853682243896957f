#include "components/audio/AudioJobComponent.h"

void AudioJobComponent::SetRangeStart(qint32 seconds)
{
    m_rangeStart = seconds;
    m_hasRange = true;
}

void AudioJobComponent::SetRangeLength(qint32 seconds)
{
    m_rangeLength = seconds;
    m_hasRange = true;
}

void AudioJobComponent::SetACMSettings(QString& TagName, QString& FormatName)
{
    m_settings.ACMTag = TagName;
    m_settings.ACMFormat = FormatName;
}

void AudioJobComponent::clearRange()
{
    m_hasRange = false;
    m_rangeStart = 0;
    m_rangeLength = 0;
}
