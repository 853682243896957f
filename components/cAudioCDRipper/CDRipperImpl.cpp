// The real CD ripper: drives and discs through the drive registry, rips on a worker thread
// through the converter's encoders.
#include "components/cAudioCDRipper/CDRipperImpl.h"

#include "components/audio/CdDrives.h"
#include "components/audio/Transcoder.h"
#include "components/cAudioConverter/cAudioConverter.h"

CDRipperImpl::CDRipperImpl(QObject* parent) : cAudioCDRipper(parent), m_runner(this) {}

CDRipperImpl::~CDRipperImpl() = default;

qint32 CDRipperImpl::GetDeviceCount()
{
    return qint32(ListCdDrives().size());
}

QString CDRipperImpl::GetDeviceName(qint32 Index)
{
    const QList<CdDrive> drives = ListCdDrives();
    return Index >= 0 && Index < drives.size() ? drives[Index].name() : QString();
}

bool CDRipperImpl::SelectDevice(qint32 Index)
{
    const QList<CdDrive> drives = ListCdDrives();
    m_disc.reset();
    m_current = -1;
    m_deviceError.clear();
    if (Index < 0 || Index >= drives.size())
        return false;
    QString error;
    m_disc = CdDisc::open(drives[Index], error);
    if (!m_disc) {
        if (drives[Index].image)
            m_deviceError = error;
        return false;
    }
    m_current = Index;
    return true;
}

bool CDRipperImpl::IsAudioCD()
{
    if (!m_disc)
        return false;
    for (const CdTrack& t : m_disc->tracks())
        if (t.audio)
            return true;
    return false;
}

qint32 CDRipperImpl::GetTrackCount()
{
    return m_disc ? qint32(m_disc->tracks().size()) : 0;
}

qint32 CDRipperImpl::GetTrackLength(qint32& Track)
{
    const CdTrack* t = m_disc ? m_disc->track(Track) : nullptr;
    return t ? t->sectors / 75 : 0;
}

qint32 CDRipperImpl::GetTrackType(qint32& Track)
{
    const CdTrack* t = m_disc ? m_disc->track(Track) : nullptr;
    return t && t->audio ? 1 : 0;
}

void CDRipperImpl::OpenTray()
{
    if (m_disc)
        m_disc->eject();
}

void CDRipperImpl::CloseTray()
{
    if (m_disc)
        m_disc->closeTray();
}

void CDRipperImpl::CloseDevice()
{
    m_disc.reset();
    m_current = -1;
}

void CDRipperImpl::StartRip()
{
    if (m_runner.busy()) {
        QMetaObject::invokeMethod(
            this, [this] { emit Error(kErrBusy, QStringLiteral("A rip is already running.")); }, Qt::QueuedConnection);
        return;
    }
    TranscodeRequest req;
    req.output = m_outputFile;
    req.replaceable = takeOverwriteAgreed();
    req.settings = m_settings;
    req.tags = m_tags;
    const qint32 deviceIndex = m_deviceIndex, trackNumber = m_trackNumber;
    const bool hasRange = m_hasRange;
    const qint32 rangeStart = m_rangeStart, rangeLength = m_rangeLength;
    const QList<CdDrive> drives = ListCdDrives();
    m_runner.start(
        [=](JobControl& control) mutable {
            if (deviceIndex < 0 || deviceIndex >= drives.size())
                return JobOutcome::error(kErrDevice, QStringLiteral("There is no CD drive number %1.").arg(deviceIndex));
            QString error;
            auto disc = CdDisc::open(drives[deviceIndex], error);
            if (!disc)
                return JobOutcome::error(kErrDevice, error);
            const CdTrack* t = disc->track(trackNumber);
            if (!t)
                return JobOutcome::error(kErrDevice, QStringLiteral("The CD in drive %1 has no track %2.")
                                                         .arg(drives[deviceIndex].id)
                                                         .arg(trackNumber));
            if (!t->audio)
                return JobOutcome::error(kErrDevice, QStringLiteral("Track %1 is not an audio track.").arg(trackNumber));
            // An image whose data file was cut short holds only part of the tracks its cue
            // sheet lists; a track it does not hold in full is not ripped at all.
            if (t->sectors <= 0 || qint64(t->firstSector) + t->sectors > disc->endSector())
                return JobOutcome::error(kErrDevice, drives[deviceIndex].image
                                                         ? QStringLiteral("Track %1 ends past the end of the disc image.").arg(trackNumber)
                                                         : QStringLiteral("Track %1 ends past the end of the disc.").arg(trackNumber));
            qint32 first = t->firstSector, sectors = t->sectors;
            if (hasRange) {
                if (rangeStart < 0 || qint64(rangeStart) * 75 >= t->sectors)
                    return JobOutcome::error(kErrBadRange, QStringLiteral("The range starts at %1 s, after the end of the track.")
                                                               .arg(rangeStart));
                first += rangeStart * 75;
                sectors -= rangeStart * 75;
                if (rangeLength > 0)
                    sectors = std::min<qint64>(sectors, qint64(rangeLength) * 75);
            }
            req.pcm = CdDisc::openReader(drives[deviceIndex], first, sectors, error, &control.abortFlag());
            if (!req.pcm)
                return JobOutcome::error(kErrDevice, error);
            const JobOutcome outcome = RunTranscode(req, control, nullptr, true);
            // A read cut short by Abort fails; the job was aborted all the same.
            return outcome.kind == JobOutcome::Failed && control.aborted() ? JobOutcome::aborted() : outcome;
        },
        ProgressEvent(this), EndEvents(this));
}

void CDRipperImpl::Abort()
{
    m_runner.abort();
}

bool CDRipperImpl::IsRipping() const
{
    return m_runner.busy();
}
