// Drive registry, table of contents and paranoia reads over libcdio.
#include "components/audio/CdDrives.h"

#include "components/audio/CueSheet.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include <cdio/cdio.h>
#include <cdio/logging.h>
#include <cdio/paranoia/paranoia.h>

namespace {

void quietCdio()
{
    static std::once_flag once;
    std::call_once(once, [] { cdio_log_set_handler([](cdio_log_level_t, const char*) {}); });
}

// The drive's disc; nullptr when it cannot be opened, with the reason in `why` when one is
// known (an image drive whose files cannot be read).
CdIo_t* openCdio(const CdDrive& drive, QString* why = nullptr)
{
    quietCdio();
    if (drive.image) {
        QString reason;
        CdIo_t* cdio = OpenCueImage(drive.source, reason);
        if (why)
            *why = reason;
        return cdio;
    }
    return cdio_open(drive.source.toLocal8Bit().constData(), DRIVER_DEVICE);
}

// Reads a run of sectors with error-correcting reads on a thread of its own, a few seconds
// ahead of the caller, so that reading the disc and encoding what was read overlap.
class ParanoiaReader : public PcmReader
{
public:
    ~ParanoiaReader() override
    {
        stopReading();
        if (m_paranoia)
            cdio_paranoia_free(m_paranoia);
        if (m_drive)
            cdio_cddap_close_no_free_cdio(m_drive);
        if (m_cdio)
            cdio_destroy(m_cdio);
    }

    bool open(const CdDrive& drive, qint32 first, qint32 sectors, QString& error)
    {
        m_cdio = openCdio(drive);
        if (!m_cdio) {
            error = QStringLiteral("Cannot open the CD drive %1.").arg(drive.id);
            return false;
        }
        m_drive = cdio_cddap_identify_cdio(m_cdio, CDDA_MESSAGE_FORGETIT, nullptr);
        if (!m_drive || cdio_cddap_open(m_drive) != 0) {
            error = QStringLiteral("Cannot read audio from the CD drive %1.").arg(drive.id);
            return false;
        }
        m_paranoia = cdio_paranoia_init(m_drive);
        cdio_paranoia_modeset(m_paranoia, PARANOIA_MODE_FULL ^ PARANOIA_MODE_NEVERSKIP);
        cdio_paranoia_seek(m_paranoia, first, SEEK_SET);
        m_total = qint64(sectors) * kFramesPerSector;
        // From here on only the reading thread touches the drive, until it is stopped.
        m_thread = std::thread([this, sectors] { readAhead(sectors); });
        return true;
    }

    qint64 totalFrames() const override { return m_total; }

    int read(qint16* dst, int frames, QString& error) override
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        int done = 0;
        while (done + kFramesPerSector <= frames) {
            m_ready.wait(lock, [this] { return !m_sectors.empty() || m_finished; });
            if (m_sectors.empty()) {
                // What was read before a failure is handed over first; the failure after.
                if (!m_error.isEmpty() && done == 0) {
                    error = m_error;
                    return -1;
                }
                break;
            }
            memcpy(dst + size_t(done) * 2, m_sectors.front().data(), CDIO_CD_FRAMESIZE_RAW);
            m_sectors.pop_front();
            done += kFramesPerSector;
            m_space.notify_one();
        }
        return done;
    }

private:
    static constexpr int kFramesPerSector = CDIO_CD_FRAMESIZE_RAW / 4;  // 588 stereo frames
    static constexpr size_t kAheadSectors = 75 * 4;                    // 4 s of audio
    using Sector = std::array<qint16, CDIO_CD_FRAMESIZE_RAW / 2>;

    void readAhead(qint32 sectors)
    {
        for (qint32 left = sectors; left > 0; --left) {
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_space.wait(lock, [this] { return m_stop || m_sectors.size() < kAheadSectors; });
                if (m_stop)
                    return;
            }
            const int16_t* s = cdio_paranoia_read(m_paranoia, nullptr);
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!s) {
                m_error = QStringLiteral("The CD could not be read.");
                break;
            }
            m_sectors.emplace_back();
            memcpy(m_sectors.back().data(), s, CDIO_CD_FRAMESIZE_RAW);
            m_ready.notify_one();
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
        m_ready.notify_all();
    }

    void stopReading()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_space.notify_all();
        if (m_thread.joinable())
            m_thread.join();
    }

    CdIo_t* m_cdio = nullptr;
    cdrom_drive_t* m_drive = nullptr;
    cdrom_paranoia_t* m_paranoia = nullptr;
    qint64 m_total = 0;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_ready;  // a sector was read, or the reading ended
    std::condition_variable m_space;  // the caller took a sector, or the reader must stop
    std::deque<Sector> m_sectors;
    bool m_finished = false;
    bool m_stop = false;
    QString m_error;
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

std::shared_ptr<PcmReader> CdDisc::openReader(const CdDrive& drive, qint32 firstSector, qint32 sectors, QString& error)
{
    auto reader = std::make_shared<ParanoiaReader>();
    if (!reader->open(drive, firstSector, sectors, error))
        return nullptr;
    return reader;
}
