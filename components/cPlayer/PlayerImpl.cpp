// The real player: the shared playback plays the whole file on the output device, and the
// end of a play is queued back to the GUI thread.
#include "components/cPlayer/PlayerImpl.h"

#include "components/audio/AudioPlayback.h"
#include "components/audio/MediaProbe.h"
#include "components/cAudioConverter/cAudioConverter.h"

#include <QMetaObject>

#include <cmath>

namespace {
constexpr int kSnapshot = AudioPlayback::kSnapshotFrames;
constexpr int kBands = 32;
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
    if (m.code == kErrSourceMissing)
        return kPlayErrFileMissing;
    return m.code == 0 ? 0 : kPlayErrUnreadable;
}

qint32 PlayerImpl::Play(QString& FileName, qint32& DeviceIndex)
{
    if (m_play)
        return kPlayErrBusy;
    const qint32 opened = OpenFile(FileName);
    if (opened != 0)
        return opened;
    const quint64 generation = ++m_generation;
    AudioPlayback::Request request;
    request.path = FileName;
    request.deviceIndex = DeviceIndex;
    request.sampleRate = m_sampleRate;
    request.channels = m_channels;
    request.onEnd = QueuedPlaybackEnd(this, &PlayerImpl::onPlaybackEnded, generation);
    m_play = AudioPlayback::start(request);
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
    return qint32(std::min(seconds, m_length > 0 ? m_length : seconds));
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
    d.Waveform.resize(kSnapshot);
    double sl = 0, sr = 0;
    for (int i = 0; i < kSnapshot; ++i) {
        const double l = s[size_t(i) * 2] / 32768.0, r = s[size_t(i) * 2 + 1] / 32768.0;
        sl = std::max(sl, std::abs(l));
        sr = std::max(sr, std::abs(r));
        d.Waveform[i] = float((l + r) / 2);
    }
    d.LevelLeft = float(sl);
    d.LevelRight = float(sr);
    // A plain DFT over the snapshot, folded into bands on a square-root frequency scale.
    d.Spectrum.fill(0.0f, kBands);
    constexpr int half = kSnapshot / 2;
    for (int k = 1; k < half; ++k) {
        double re = 0, im = 0;
        for (int n = 0; n < kSnapshot; ++n) {
            const double w = 0.5 - 0.5 * std::cos(2 * M_PI * n / (kSnapshot - 1));
            const double a = 2 * M_PI * k * n / kSnapshot;
            re += d.Waveform[n] * w * std::cos(a);
            im -= d.Waveform[n] * w * std::sin(a);
        }
        const double mag = std::sqrt(re * re + im * im) / (kSnapshot / 4.0);
        const int band = std::min(kBands - 1, int(std::sqrt(double(k) / half) * kBands));
        d.Spectrum[band] = std::max(d.Spectrum[band], float(std::min(1.0, mag)));
    }
    return d;
}
