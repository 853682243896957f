// The real player: the shared playback plays the whole file on the output device, and the
// end of a play is queued back to the GUI thread.
#include "components/cPlayer/PlayerImpl.h"

#include "components/audio/AudioPlayback.h"
#include "components/audio/MediaProbe.h"
#include "components/cAudioConverter/cAudioConverter.h"

#include <QMetaObject>

#include <algorithm>
#include <limits>

namespace {

qint32 playErrorOf(const MediaFacts& m)
{
    if (m.code == kErrSourceMissing)
        return kPlayErrFileMissing;
    return m.code == 0 ? 0 : kPlayErrUnreadable;
}

}  // namespace

PlayerImpl::PlayerImpl(QObject* parent) : cPlayer(parent) {}

PlayerImpl::~PlayerImpl()
{
    ++m_generation;  // a natural end already queued is dropped
}

qint32 PlayerImpl::OpenFile(const QString& FileName)
{
    const MediaFacts m = ProbeMedia(FileName);
    m_sampleRate = m.sampleRate;
    m_channels = m.channels;
    m_bitrate = qint32(std::min<qint64>(m.bitRate, std::numeric_limits<qint32>::max()));
    m_length = m.lengthSeconds;
    return playErrorOf(m);
}

double PlayerImpl::Length() const
{
    return m_play ? m_playLength : m_length;
}

qint32 PlayerImpl::Play(QString& FileName, qint32& DeviceIndex)
{
    if (m_play)
        return kPlayErrBusy;
    // The playing file is probed for itself: the facts of the file last opened stay.
    const MediaFacts facts = ProbeMedia(FileName);
    if (const qint32 error = playErrorOf(facts))
        return error;
    const quint64 generation = ++m_generation;
    AudioPlayback::Request request;
    request.path = FileName;
    request.deviceIndex = DeviceIndex;
    request.sampleRate = facts.sampleRate;
    request.channels = facts.channels;
    request.onEnd = QueuedPlaybackEnd(this, &PlayerImpl::onPlaybackEnded, generation);
    m_play = AudioPlayback::start(request);
    m_playLength = facts.lengthSeconds;
    return m_play ? 0 : kPlayErrNoDevice;
}

QString PlayerImpl::GetErrorText(qint32& Code)
{
    switch (Code) {
    case 0:
        return QString();
    case kPlayErrFileMissing:
        return QStringLiteral("The file does not exist.");
    case kPlayErrUnreadable:
        return QStringLiteral("The file is not an audio file that can be played.");
    case kPlayErrNoDevice:
        return QStringLiteral("No audio output device can be opened.");
    case kPlayErrBusy:
        return QStringLiteral("Another file is playing.");
    default:
        return QStringLiteral("Unknown error %1.").arg(Code);
    }
}

void PlayerImpl::Pause()
{
    if (m_play)
        m_play->pause();
}

void PlayerImpl::Resume()
{
    if (m_play)
        m_play->resume();
}

bool PlayerImpl::IsPaused()
{
    return m_play && m_play->paused();
}

bool PlayerImpl::IsPlaying()
{
    return bool(m_play);
}

void PlayerImpl::StopPlay()
{
    if (!m_play)
        return;
    const quint64 generation = ++m_generation;  // a natural end already queued is dropped
    m_play.reset();
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation == m_generation)
                emit PlayDone();
        },
        Qt::QueuedConnection);
}

void PlayerImpl::onPlaybackEnded(quint64 generation)
{
    if (generation != m_generation || !m_play)
        return;
    m_play.reset();
    emit PlayDone();
}

qint32 PlayerImpl::GetPosition()
{
    if (!m_play)
        return 0;
    const double seconds = m_play->positionSeconds();
    return qint32(std::min(seconds, m_playLength > 0 ? m_playLength : seconds));
}

void PlayerImpl::SetPosition(qint32 Position)
{
    if (m_play)
        m_play->seek(Position);
}

PlayerAudioData PlayerImpl::AudioData()
{
    PlayerAudioData d;
    if (!m_play)
        return d;
    const std::vector<qint16> s = m_play->snapshot();
    const qsizetype frames = qsizetype(s.size() / 2);
    d.SampleRate = m_play->deviceRate();
    d.Left.resize(frames);
    d.Right.resize(frames);
    for (qsizetype i = 0; i < frames; ++i) {
        d.Left[i] = float(s[size_t(i) * 2] / 32768.0);
        d.Right[i] = float(s[size_t(i) * 2 + 1] / 32768.0);
    }
    return d;
}
