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

cAudioCDRipper::cAudioCDRipper(QObject* parent) : AudioJobComponent(parent) {}

cAudioCDRipper::~cAudioCDRipper() = default;

void cAudioCDRipper::SetTrackNumber(qint32 track)
{
    m_trackNumber = track;
    clearRange();
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
