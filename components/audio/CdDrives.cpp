// Drive registry, table of contents and paranoia reads over libcdio.
#include "components/audio/CdDrives.h"

#include "components/audio/CueSheet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/paranoia/paranoia.h>

#include <sys/stat.h>

namespace {

void quietCdio()
{
    static std::once_flag once;
    std::call_once(once, [] { cdio_log_set_handler([](cdio_log_level_t, const char*) {}); });
}

// The drive's disc; nullptr when it cannot be opened, with the reason in `why` when one is
// known (an image drive whose files cannot be read). `dataFile` gets the data file of an
// image drive.
CdIo_t* openCdio(const CdDrive& drive, QString* why = nullptr, QString* dataFile = nullptr)
{
    quietCdio();
    if (drive.image) {
        QString reason;
        CdIo_t* cdio = OpenCueImage(drive.source, reason, dataFile);
        if (why)
            *why = reason;
        return cdio;
    }
    return cdio_open(drive.source.toLocal8Bit().constData(), DRIVER_DEVICE);
}

// What a reader shares with its reading thread: the opened drive, the sectors read ahead,
// and how the reading ended. Both own it, so that a reader that goes while its thread is
// still inside a read of the drive (a damaged disc can hold one for long) leaves the thread
// to close the drive once that read returns, instead of waiting for it.
struct ReadState {
    ~ReadState()
    {
        if (paranoia)
            cdio_paranoia_free(paranoia);
        if (drive)
            cdio_cddap_close_no_free_cdio(drive);
        if (cdio)
            cdio_destroy(cdio);
    }

    CdIo_t* cdio = nullptr;
    cdrom_drive_t* drive = nullptr;
    cdrom_paranoia_t* paranoia = nullptr;
    long (*driveRead)(cdrom_drive_t*, void*, lsn_t, long) = nullptr;  // the library's own read
    QByteArray imageData;     // the data file of an image drive; empty for a real drive
    qint32 first = 0;         // the run of sectors to read: [first, end)
    qint32 end = 0;

    // Touched by the reading thread only.
    int failedReads = 0;      // reads of the run that failed one after another
    bool gaveUp = false;      // the run cannot be read (or the reading must stop)
    bool skipped = false;     // the error correction gave up on samples
    qint32 badSector = -1;    // the first sector found unreadable, when known

    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable ready;  // a sector was read, or the reading ended
    std::condition_variable space;  // the caller took a sector, or the reading must stop
    std::deque<std::array<qint16, CDIO_CD_FRAMESIZE_RAW / 2>> sectors;
    // The reading ended, every sector read or `error` saying why not, and its thread is past
    // its last use of the drive.
    bool finished = false;
    QString error;
};

// The reading thread's state, for the two hooks below that the library calls without a
// context of ours.
thread_local ReadState* t_reading = nullptr;

constexpr int kRetries = 20;          // rereads of a block before the error correction gives up
constexpr int kMaxFailedReads = 20;   // failed reads in a row after which the run is unreadable

// The sectors the image's data file holds now; the file can be cut while it is read.
qint64 imageSectors(const QByteArray& file)
{
    struct stat st {};
    return ::stat(file.constData(), &st) == 0 ? qint64(st.st_size) / CDIO_CD_FRAMESIZE_RAW : 0;
}

// Every read of the drive passes here. The error correction retries a read that fails for
// as long as nothing of its block comes back (a cut image, a disc read past its end), so a
// read of the run is failed on purpose here once the run is known to be unreadable or the
// reading must stop: it then "succeeds" at once with silence, which ends the library's read
// call, and the reading thread throws that call's sector away and reports why.
long readChecked(cdrom_drive_t* d, void* buffer, lsn_t begin, long count)
{
    ReadState* s = t_reading;
    // Reads outside the run (the library reads far away to empty the drive's cache) are
    // passed on as they are.
    if (begin >= s->end || begin + count <= s->first)
        return s->driveRead(d, buffer, begin, count);
    if (!s->gaveUp && s->stop)
        s->gaveUp = true;
    if (!s->gaveUp && !s->imageData.isEmpty()) {
        const qint64 held = imageSectors(s->imageData);
        if (held < begin + count) {
            s->badSector = qint32(std::max<qint64>(begin, held));
            s->gaveUp = true;
        }
    }
    if (!s->gaveUp) {
        const long got = s->driveRead(d, buffer, begin, count);
        if (got > 0)
            s->failedReads = 0;
        else if (++s->failedReads >= kMaxFailedReads) {
            s->badSector = begin;
            s->gaveUp = true;
        }
        if (!s->gaveUp)
            return got;
    }
    // The library passes no buffer for reads it only times.
    if (buffer)
        memset(buffer, 0, size_t(count) * CDIO_CD_FRAMESIZE_RAW);
    return count;
}

void noticeSkip(long, paranoia_cb_mode_t mode)
{
    if (mode == PARANOIA_CB_SKIP && t_reading)
        t_reading->skipped = true;
}

// Reads a run of sectors with error-correcting reads on a thread of its own, a few seconds
// ahead of the caller, so that reading the disc and encoding what was read overlap. The
// run ends in an error at the first sector that cannot be read; no sector is made up.
class ParanoiaReader : public PcmReader
{
public:
    explicit ParanoiaReader(const std::atomic<bool>* abort) : m_abort(abort) {}

    ~ParanoiaReader() override
    {
        {
            std::lock_guard<std::mutex> lock(m_state->mutex);
            m_state->stop = true;
        }
        m_state->space.notify_all();
        if (!m_thread.joinable())
            return;
        // The thread leaves at its next read; one the drive itself holds up is not waited
        // for longer than a moment: the thread then closes the drive on its own.
        std::unique_lock<std::mutex> lock(m_state->mutex);
        const bool ended =
            m_state->ready.wait_for(lock, std::chrono::milliseconds(500), [this] { return m_state->finished; });
        lock.unlock();
        if (ended)
            m_thread.join();
        else
            m_thread.detach();
    }

    bool open(const CdDrive& drive, qint32 first, qint32 sectors, QString& error)
    {
        ReadState& s = *m_state;
        QString dataFile;
        s.cdio = openCdio(drive, nullptr, &dataFile);
        if (!s.cdio) {
            error = QStringLiteral("Cannot open the CD drive %1.").arg(drive.id);
            return false;
        }
        s.drive = cdio_cddap_identify_cdio(s.cdio, CDDA_MESSAGE_FORGETIT, nullptr);
        if (!s.drive) {
            error = QStringLiteral("Cannot read audio from the CD drive %1.").arg(drive.id);
            return false;
        }
        // Images and drives deliver CD audio little-endian. Told so, the library does not
        // guess the byte order from the samples, which gets samples of noise wrong.
        s.drive->bigendianp = 0;
        if (cdio_cddap_open(s.drive) != 0) {
            error = QStringLiteral("Cannot read audio from the CD drive %1.").arg(drive.id);
            return false;
        }
        // The library reads nothing past the end of the disc: a run beyond it would never end.
        const lsn_t discEnd = cdio_get_track_lsn(s.cdio, CDIO_CDROM_LEADOUT_TRACK);
        if (sectors <= 0 || first < 0 || discEnd == CDIO_INVALID_LSN || qint64(first) + sectors > discEnd) {
            error = QStringLiteral("The CD could not be read at sector %1.").arg(std::max<qint64>(first, discEnd));
            return false;
        }
        if (drive.image)
            s.imageData = QFile::encodeName(dataFile);
        s.first = first;
        s.end = first + sectors;
        s.paranoia = cdio_paranoia_init(s.drive);
        cdio_paranoia_modeset(s.paranoia, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
        cdio_paranoia_seek(s.paranoia, first, SEEK_SET);
        cdio_paranoia_set_range(s.paranoia, first, s.end - 1);
        m_total = qint64(sectors) * kFramesPerSector;
        // From here on only the reading thread touches the drive.
        m_thread = std::thread([state = m_state] { readAhead(state); });
        return true;
    }

    qint64 totalFrames() const override { return m_total; }

    // Waits for the sectors in steps, so that an abort of the job is seen while the drive
    // takes its time.
    int read(qint16* dst, int frames, QString& error) override
    {
        ReadState& s = *m_state;
        std::unique_lock<std::mutex> lock(s.mutex);
        int done = 0;
        while (done + kFramesPerSector <= frames) {
            while (s.sectors.empty() && !s.finished) {
                if (m_abort && m_abort->load()) {
                    error = QStringLiteral("The reading was aborted.");
                    return -1;
                }
                s.ready.wait_for(lock, std::chrono::milliseconds(100));
            }
            if (s.sectors.empty()) {
                // What was read before a failure is handed over first; the failure after.
                if (!s.error.isEmpty() && done == 0) {
                    error = s.error;
                    return -1;
                }
                break;
            }
            memcpy(dst + size_t(done) * 2, s.sectors.front().data(), CDIO_CD_FRAMESIZE_RAW);
            s.sectors.pop_front();
            done += kFramesPerSector;
            s.space.notify_one();
        }
        return done;
    }

private:
    static constexpr int kFramesPerSector = CDIO_CD_FRAMESIZE_RAW / 4;  // 588 stereo frames
    static constexpr size_t kAheadSectors = 75 * 4;                    // 4 s of audio

    static void readAhead(const std::shared_ptr<ReadState>& state)
    {
        ReadState& s = *state;
        t_reading = &s;
        s.driveRead = s.drive->read_audio;
        s.drive->read_audio = readChecked;
        for (qint32 at = s.first; at < s.end; ++at) {
            {
                std::unique_lock<std::mutex> lock(s.mutex);
                s.space.wait(lock, [&s] { return s.stop || s.sectors.size() < kAheadSectors; });
                if (s.stop)
                    break;
            }
            const int16_t* data = cdio_paranoia_read_limited(s.paranoia, noticeSkip, kRetries);
            std::lock_guard<std::mutex> lock(s.mutex);
            if (s.stop)
                break;
            if (!data || s.gaveUp || s.skipped) {
                s.error = QStringLiteral("The CD could not be read at sector %1.").arg(s.badSector >= 0 ? s.badSector : at);
                break;
            }
            s.sectors.emplace_back();
            memcpy(s.sectors.back().data(), data, CDIO_CD_FRAMESIZE_RAW);
            s.ready.notify_one();
        }
        s.drive->read_audio = s.driveRead;
        t_reading = nullptr;
        std::lock_guard<std::mutex> lock(s.mutex);
        s.finished = true;
        s.ready.notify_all();
    }

    std::shared_ptr<ReadState> m_state = std::make_shared<ReadState>();
    const std::atomic<bool>* m_abort;  // the job's abort flag, or none
    qint64 m_total = 0;
    std::thread m_thread;
};

}  // namespace

QString CdDrive::name() const
{
    return id + QLatin1Char(' ') + (image ? QFileInfo(source).fileName() : source);
}

QList<CdDrive> ListCdDrives()
{
    quietCdio();
    QList<CdDrive> drives;
    QStringList sources;
    if (char** devices = cdio_get_devices(DRIVER_DEVICE)) {
        for (char** d = devices; *d; ++d)
            sources << QString::fromLocal8Bit(*d);
        cdio_free_device_list(devices);
    }
    for (const QString& s : sources)
        drives.append({QString(), s, false});
    for (const QString& cue : qEnvironmentVariable("VELMARO_CD_IMAGES").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        drives.append({QString(), cue, true});
    for (int i = 0; i < drives.size(); ++i)
        drives[i].id = QStringLiteral("%1:").arg(QChar(char('D' + std::min(i, 22))));
    return drives;
}

CdDisc::~CdDisc()
{
    if (m_cdio)
        cdio_destroy(static_cast<CdIo_t*>(m_cdio));
}

std::shared_ptr<CdDisc> CdDisc::open(const CdDrive& drive, QString& error)
{
    QString why;
    CdIo_t* cdio = openCdio(drive, &why);
    if (!cdio) {
        error = QStringLiteral("Cannot open the CD drive %1.").arg(drive.id) + (why.isEmpty() ? QString() : u' ' + why);
        return nullptr;
    }
    auto disc = std::shared_ptr<CdDisc>(new CdDisc);
    disc->m_drive = drive;
    disc->m_cdio = cdio;
    const lsn_t leadOut = cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
    disc->m_sectors = leadOut == CDIO_INVALID_LSN ? 0 : leadOut;
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first != CDIO_INVALID_TRACK && count != CDIO_INVALID_TRACK) {
        for (track_t t = first; t < first + count; ++t) {
            CdTrack tr;
            tr.number = t - first + 1;
            tr.audio = cdio_get_track_format(cdio, t) == TRACK_FORMAT_AUDIO;
            tr.firstSector = cdio_get_track_lsn(cdio, t);
            const lsn_t last = cdio_get_track_last_lsn(cdio, t);
            tr.sectors = last >= tr.firstSector ? last - tr.firstSector + 1 : 0;
            disc->m_tracks.append(tr);
        }
    }
    return disc;
}

const CdTrack* CdDisc::track(int number) const
{
    return number >= 1 && number <= m_tracks.size() ? &m_tracks[number - 1] : nullptr;
}

void CdDisc::eject()
{
    if (!m_drive.image && m_cdio)
        OpenCdTray(m_drive.source);
}

void CdDisc::closeTray()
{
    if (!m_drive.image)
        CloseCdTray(m_drive.source);
}

void OpenCdTray(const QString& device)
{
    quietCdio();
    cdio_eject_media_drive(device.toLocal8Bit().constData());
}

void CloseCdTray(const QString& device)
{
    quietCdio();
    driver_id_t driver = DRIVER_DEVICE;
    cdio_close_tray(device.toLocal8Bit().constData(), &driver);
}

std::shared_ptr<PcmReader> CdDisc::openReader(const CdDrive& drive, qint32 firstSector, qint32 sectors, QString& error,
                                              const std::atomic<bool>* abort)
{
    auto reader = std::make_shared<ParanoiaReader>(abort);
    if (!reader->open(drive, firstSector, sectors, error))
        return nullptr;
    return reader;
}
