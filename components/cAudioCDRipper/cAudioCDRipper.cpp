// The CD ripper component's shared members and the factory the windows create it through.
#include "components/cAudioCDRipper/cAudioCDRipper.h"

#include "components/cAudioCDRipper/CDRipperImpl.h"

namespace {
CDRipperFactory& factory()
{
    static CDRipperFactory f;
    return f;
}
}  // namespace

cAudioCDRipper::cAudioCDRipper(QObject* parent) : QObject(parent) {}

cAudioCDRipper::~cAudioCDRipper() = default;

void cAudioCDRipper::SetTrackNumber(qint32 track)
{
    m_trackNumber = track;
    m_hasRange = false;
    m_rangeStart = 0;
    m_rangeLength = 0;
}

void cAudioCDRipper::SetRangeStart(qint32 seconds)
{
    m_rangeStart = seconds;
    m_hasRange = true;
}

void cAudioCDRipper::SetRangeLength(qint32 seconds)
{
    m_rangeLength = seconds;
    m_hasRange = true;
}

void cAudioCDRipper::SetACMSettings(QString& TagName, QString& FormatName)
{
    m_settings.ACMTag = TagName;
    m_settings.ACMFormat = FormatName;
}

cAudioCDRipper* CreateAudioCDRipper(QObject* parent)
{
    if (factory())
        return factory()(parent);
    return new CDRipperImpl(parent);
}

void SetAudioCDRipperFactory(CDRipperFactory f)
{
    factory() = std::move(f);
}
