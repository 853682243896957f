// The real audio CD burner: the registry's writers, decoded tracks, and the burn's poll
// loop that turns the writer's status into events.
#include "components/cAudioBurner/AudioBurnerImpl.h"

#include "components/audio/JobRunner.h"
#include "components/audio/Transcoder.h"
#include "components/cAudioBurner/LibburnWriter.h"
#include "platform/FileIdentity.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPointer>

#include <algorithm>
#include <atomic>

namespace {

constexpr qint64 kSectorBytes = 2352;

quint32 le32(const char* p)
{
    const auto* u = reinterpret_cast<const uchar*>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}

// Copies the samples of a PCM WAV file into `raw`, padded with silence to whole CD
// sectors; the sectors written, or -1 when the file is not such a WAV, cannot be copied, or
// `stop` was set meanwhile.
qint64 wavToCdTrack(const QString& wav, const QString& raw, const std::atomic<bool>& stop)
{
    QFile in(wav);
    QFile out(raw);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return -1;
    const QByteArray riff = in.read(12);
    if (riff.size() != 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE")
        return -1;
    // Chunks follow one another until the samples' "data" chunk.
    qint64 length = -1;
    while (length < 0) {
        const QByteArray head = in.read(8);
        if (head.size() != 8)
            return -1;
        const qint64 size = le32(head.constData() + 4);
        if (head.startsWith("data"))
            length = std::min(size, in.size() - in.pos());
        else if (!in.seek(in.pos() + size + (size & 1)))
            return -1;
    }
    qint64 left = length;
    while (left > 0) {
        if (stop)
            return -1;
        const QByteArray chunk = in.read(std::min<qint64>(left, 1 << 20));
        if (chunk.isEmpty() || out.write(chunk) != chunk.size())
            return -1;
        left -= chunk.size();
    }
    const qint64 sectors = (length + kSectorBytes - 1) / kSectorBytes;
    const qint64 pad = sectors * kSectorBytes - length;
    if (pad > 0 && out.write(QByteArray(pad, '\0')) != pad)
        return -1;
    return out.flush() ? sectors : -1;
}

} // namespace

AudioBurnerImpl::AudioBurnerImpl(QObject* parent) : cAudioBurner(parent) {}

AudioBurnerImpl::~AudioBurnerImpl()
{
    // A decoding under way stops here: its thread has ended before its files go with the
    // folder, and the AddTrack that waits for it is let go (it returns false).
    m_decoder.reset();
    if (m_decodeLoop)
        m_decodeLoop->quit();
    m_decodeLoop = nullptr;
    CloseBurner();
}

qint32 AudioBurnerImpl::GetWriterCount()
{
    m_writers = ListCdWriters();
    m_writersRead = true;
    return qint32(m_writers.size());
}

QString AudioBurnerImpl::GetWriterName(qint32 Index)
{
    if (!m_writersRead)
        GetWriterCount();
    return Index >= 1 && Index <= m_writers.size() ? m_writers[Index - 1].name() : QString();
}

bool AudioBurnerImpl::writer(const QString& Drive, CdWriter& w)
{
    if (!m_writersRead)
        GetWriterCount();
    return !Drive.isEmpty() && FindCdWriter(m_writers, Drive.at(0), w);
}

LibburnDrive* AudioBurnerImpl::grabbed(const CdWriter& w)
{
    if (w.image)
        return nullptr;
    if (m_grabbed && m_grabbedId == w.id)
        return m_grabbed.get();
    releaseGrabbed();
    QString error;
    m_grabbed = LibburnDrive::grab(w.source, error);
    m_grabbedId = m_grabbed ? w.id : QString();
    return m_grabbed.get();
}

void AudioBurnerImpl::releaseGrabbed()
{
    m_grabbed.reset();
    m_grabbedId.clear();
}

qint32 AudioBurnerImpl::GetSpeedCount(const QString& Drive)
{
    m_speeds.clear();
    CdWriter w;
    if (writer(Drive, w))
        if (LibburnDrive* d = grabbed(w))
            m_speeds = d->writeSpeeds();
    return qint32(m_speeds.size());
}

QString AudioBurnerImpl::GetSpeed(qint32 Index)
{
    return Index >= 1 && Index <= m_speeds.size() ? QString::number(m_speeds[Index - 1]) : QString();
}

qint32 AudioBurnerImpl::GetDiscSize(const QString& Drive)
{
    CdWriter w;
    if (!writer(Drive, w))
        return 0;
    if (w.image)
        return qint32(kImageTargetSectors);
    LibburnDrive* d = grabbed(w);
    return d ? qint32(std::min<qint64>(d->discSectors(), INT32_MAX)) : 0;
}

qint32 AudioBurnerImpl::GetDiscCapacity(const QString& Drive)
{
    const qint64 bytes = qint64(GetDiscSize(Drive)) * 2048;
    return qint32(std::min<qint64>(bytes, INT32_MAX));
}

QString AudioBurnerImpl::GetDiscState(const QString& Drive)
{
    CdWriter w;
    if (!writer(Drive, w))
        return NoCdWriterText(Drive);
    if (w.image)
        return QFile::exists(w.imageBin()) || QFile::exists(w.imageCue()) ? QStringLiteral("The disc is not blank.")
                                                                          : QString();
    QString error;
    if (!grabbed(w))
        return QStringLiteral("Cannot open the writer %1.").arg(w.id);
    return m_grabbed->discState();
}

void AudioBurnerImpl::OpenTray(const QString& Drive)
{
    CdWriter w;
    if (m_burning || !writer(Drive, w) || w.image)
        return;
    releaseGrabbed();  // a grabbed drive keeps its tray locked
    OpenCdTray(w.source);
}

void AudioBurnerImpl::CloseTray(const QString& Drive)
{
    CdWriter w;
    if (m_burning || !writer(Drive, w) || w.image)
        return;
    releaseGrabbed();
    CloseCdTray(w.source);
}

bool AudioBurnerImpl::AddTrack(const QString& FileName)
{
    // One at a time: a call from a handler that runs while a burn or another decoding is
    // under way is refused.
    if (m_burning || m_decodeLoop)
        return false;
    const QPointer<AudioBurnerImpl> alive(this);
    QEventLoop loop;
    m_decodeLoop = &loop;
    m_decodeAborted = false;
    emit CachingTrack();
    if (!alive)
        return false;
    if (!m_folder) {
        m_folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/velmaro-burn-XXXXXX"));
        if (!m_folder->isValid())
            m_folder.reset();
    }
    const QString raw = m_folder ? m_folder->filePath(QStringLiteral("track%1.raw").arg(m_tracks.size() + 1)) : QString();
    const qint64 sectors = raw.isEmpty() || m_decodeAborted ? -1 : decodeTrack(FileName, raw, loop);
    if (!alive)
        return false;  // destroyed meanwhile: the decoding was stopped and its files removed
    m_decodeLoop = nullptr;
    if (sectors <= 0 || m_decodeAborted) {
        if (!raw.isEmpty())
            QFile::remove(raw);
        return false;
    }
    m_tracks.append({raw, sectors});
    return true;
}

qint64 AudioBurnerImpl::decodeTrack(const QString& FileName, const QString& raw, QEventLoop& loop)
{
    if (!m_decoder)
        m_decoder = std::make_unique<JobRunner>(this);
    // The project's decoder gives 44.1 kHz 16-bit stereo WAV; its samples become the track.
    const QString wav = raw.chopped(4) + QStringLiteral(".wav");
    TranscodeRequest request;
    request.source = FileName;
    request.output = wav;
    request.replaceable = ReadFileIdentity(wav);  // the burner's own working file
    request.settings.OutputFormat = kOutputWAV;
    request.settings.WAV = WAVSettings{44100, 2, 16};
    const auto sectors = std::make_shared<qint64>(-1);
    bool ended = false;
    m_sinceReport.invalidate();
    m_decoder->start(
        [request, wav, raw, sectors](JobControl& control) {
            const JobOutcome outcome = RunTranscode(request, control);
            if (outcome.kind == JobOutcome::Done)
                *sectors = wavToCdTrack(wav, raw, control.abortFlag());
            QFile::remove(wav);
            return outcome;
        },
        [this](int percent) { reportDecoding(percent); },
        [&ended, &loop](const JobOutcome&) {
            ended = true;
            loop.quit();
        });
    // The caller's events go on while the decoder works: its window repaints, and a click
    // on its Abort reaches this burner. A destroyed burner quits the loop itself.
    if (!ended)
        loop.exec();
    return ended ? *sectors : -1;
}

void AudioBurnerImpl::reportDecoding(int percent)
{
    if (m_sinceReport.isValid() && m_sinceReport.elapsed() < kDecodeReportMs)
        return;
    m_sinceReport.start();
    emit TrackProgress(percent, 0);
}

void AudioBurnerImpl::ClearTracks()
{
    if (m_burning || m_decodeLoop)
        return;
    m_tracks.clear();
    m_folder.reset();  // removes the decoded tracks with their folder
}

void AudioBurnerImpl::Abort()
{
    if (m_burning) {
        m_abort = true;
    } else if (m_decodeLoop) {
        m_decodeAborted = true;
        if (m_decoder)
            m_decoder->abort();
    }
}

void AudioBurnerImpl::CloseBurner()
{
    if (m_burning || m_decodeLoop)
        return;
    ClearTracks();
    releaseGrabbed();
}

qint32 AudioBurnerImpl::Burn(const QString& Drive, qint32 Speed)
{
    if (m_burning || m_decodeLoop)
        return -1;  // one job at a time: a call from inside a running burn or decoding is refused
    m_burning = true;
    m_abort = false;
    CdWriter w;
    BurnOutcome outcome;
    std::unique_ptr<BurnSession> session;
    if (!writer(Drive, w)) {
        outcome = BurnOutcome::failure(kBurnErrNoWriter, NoCdWriterText(Drive));
    } else if (m_tracks.isEmpty()) {
        outcome = BurnOutcome::failure(kBurnErrNoTracks, QStringLiteral("There are no tracks to burn."));
    } else if (w.image) {
        session = StartImageBurn(w, m_tracks, outcome);
    } else {
        releaseGrabbed();  // the burn grabs the drive for itself
        session = StartLibburnBurn(w, m_tracks, Speed, outcome);
    }
    if (session) {
        BurnEventTranslator events(this, int(m_tracks.size()));
        bool cancelled = false;
        // The writer works on its own thread; each poll's status becomes events, whose
        // handlers may ask to abort.
        while (true) {
            const WriterStatus status = session->poll(kPollMs);
            if (m_abort && !cancelled) {
                session->cancel();
                cancelled = true;
            }
            if (status.stage == WriterStatus::Ended)
                break;
            if (!m_abort)
                events.feed(status);
        }
        if (!m_abort && session->wroteWell())
            events.complete();
        outcome = session->finish(m_abort);
        session.reset();
    }
    // Every ending: the decoded tracks are gone and exactly one terminal event follows.
    m_burning = false;
    ClearTracks();
    if (outcome.ok) {
        emit Finished();
        return 0;
    }
    emit Error(outcome.code, outcome.text);
    return outcome.code;
}
