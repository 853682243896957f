// Real CD writers through libburn: grabbing, disc facts, the audio job and the burn.
#include "components/cAudioBurner/LibburnWriter.h"

#include "components/audio/Libburn.h"

#include <QFile>

#include <algorithm>
#include <cstring>
#include <thread>

#include <libburn/libburn.h>

using namespace burn;

namespace {

constexpr int kProfileCdR = 0x09;
constexpr int kProfileCdRw = 0x0a;

} // namespace

WriterStatus WriterStatusFromLibburn(int driveStatus, const burn_progress& p)
{
    WriterStatus s;
    s.track = std::max(0, p.track);
    switch (driveStatus) {
    case BURN_DRIVE_IDLE:
        s.stage = WriterStatus::Ended;
        break;
    case BURN_DRIVE_WRITING:
        s.stage = WriterStatus::Writing;
        s.sector = std::max(0, p.sector);
        s.sectors = std::max(0, p.sectors);
        break;
    case BURN_DRIVE_WRITING_PREGAP:
        // The gap before a track's audio: the track has begun, none of it is written.
        s.stage = WriterStatus::Writing;
        s.sectors = std::max(0, p.sectors);
        break;
    case BURN_DRIVE_CLOSING_TRACK:
        s.stage = WriterStatus::ClosingTrack;
        break;
    case BURN_DRIVE_WRITING_LEADOUT:
    case BURN_DRIVE_CLOSING_SESSION:
        s.stage = WriterStatus::ClosingSession;
        break;
    default:  // spawning, grabbing, lead-in and the like: nothing of the tracks yet
        s.stage = WriterStatus::Preparing;
        break;
    }
    return s;
}

std::unique_ptr<LibburnDrive> LibburnDrive::grab(const QString& address, QString& error)
{
    if (!StartLibburn(error))
        return nullptr;
    std::unique_ptr<LibburnDrive> d(new LibburnDrive);
    QByteArray adr = QFile::encodeName(address);
    if (burn_drive_scan_and_grab(&d->m_info, adr.data(), 1) != 1 || !d->m_info) {
        const QString why = TakeLibburnMessages();
        error = QStringLiteral("Cannot open the writer %1.").arg(address) + (why.isEmpty() ? QString() : QLatin1Char(' ') + why);
        d->m_info = nullptr;
        return nullptr;
    }
    d->m_drive = d->m_info[0].drive;
    TakeLibburnMessages();
    return d;
}

LibburnDrive::~LibburnDrive()
{
    if (m_drive)
        burn_drive_release(m_drive, 0);
    if (m_info)
        burn_drive_info_free(m_info);
    TakeLibburnMessages();
}

QString LibburnDrive::discState(bool audio) const
{
    switch (burn_disc_get_status(m_drive)) {
    case BURN_DISC_BLANK:
        break;
    case BURN_DISC_EMPTY:
        return QStringLiteral("No disc in the writer.");
    case BURN_DISC_APPENDABLE:
    case BURN_DISC_FULL:
        return QStringLiteral("The disc is not blank.");
    default:
        return QStringLiteral("The disc cannot be written.");
    }
    if (!audio)
        return QString();
    int profile = 0;
    char name[80] = {};
    if (burn_disc_get_profile(m_drive, &profile, name) != 1 || (profile != kProfileCdR && profile != kProfileCdRw))
        return QStringLiteral("Audio tracks need a CD-R or CD-RW disc.");
    return QString();
}

qint64 LibburnDrive::discSectors() const
{
    burn_disc_read_atip(m_drive);
    int start = 0, end = 0;
    if (burn_drive_get_start_end_lba(m_drive, &start, &end, 0) == 1 && end > 0)
        return end;
    const off_t bytes = burn_disc_available_space(m_drive, nullptr);
    return bytes > 0 ? qint64(bytes / 2048) : 0;
}

QList<qint32> LibburnDrive::writeSpeeds() const
{
    QList<qint32> speeds;
    burn_speed_descriptor* list = nullptr;
    if (burn_drive_get_speedlist(m_drive, &list) == 1) {
        for (burn_speed_descriptor* s = list; s; s = s->next)
            if (s->write_speed > 0 && !speeds.contains(s->write_speed))
                speeds.append(s->write_speed);
        burn_drive_free_speedlist(&list);
    }
    std::sort(speeds.begin(), speeds.end(), std::greater<qint32>());
    return speeds;
}

LibburnJob::LibburnJob(burn_drive* drive, const QList<BurnTrack>& tracks)
{
    m_disc = burn_disc_create();
    burn_session* session = burn_session_create();
    burn_disc_add_session(m_disc, session, BURN_POS_END);
    for (const BurnTrack& t : tracks) {
        burn_track* track = burn_track_create();
        // Audio with no offset or tail; the last sector is padded should it be short.
        burn_track_define_data(track, 0, 0, 1, BURN_AUDIO);
        burn_source* source = burn_file_source_new(QFile::encodeName(t.file).constData(), nullptr);
        if (!source || burn_track_set_source(track, source) != BURN_SOURCE_OK) {
            if (m_error.isEmpty())
                m_error = QStringLiteral("Cannot read the track %1.").arg(t.file);
        }
        if (source)
            burn_source_free(source);  // the track holds its own reference
        burn_session_add_track(session, track, BURN_POS_END);
        burn_track_free(track);
    }
    burn_session_free(session);  // the disc holds its own reference
    m_options = burn_write_opts_new(drive);
    burn_write_opts_set_write_type(m_options, BURN_WRITE_SAO, BURN_BLOCK_SAO);
    burn_write_opts_set_underrun_proof(m_options, 1);
    burn_write_opts_set_simulate(m_options, 0);
}

LibburnJob::LibburnJob(burn_drive* drive, burn_source* data)
{
    m_disc = burn_disc_create();
    burn_session* session = burn_session_create();
    burn_disc_add_session(m_disc, session, BURN_POS_END);
    burn_track* track = burn_track_create();
    burn_track_define_data(track, 0, 0, 1, BURN_MODE1);
    if (!data || burn_track_set_source(track, data) != BURN_SOURCE_OK)
        m_error = QStringLiteral("Cannot read the disc's image.");
    burn_session_add_track(session, track, BURN_POS_END);
    burn_track_free(track);
    burn_session_free(session);
    m_options = burn_write_opts_new(drive);
    burn_write_opts_set_underrun_proof(m_options, 1);
    burn_write_opts_set_simulate(m_options, 0);
    // The disc is closed after this one session.
    burn_write_opts_set_multi(m_options, 0);
    char reasons[BURN_REASONS_LEN] = {};
    if (burn_write_opts_auto_write_type(m_options, m_disc, reasons, 0) == BURN_WRITE_NONE && m_error.isEmpty())
        m_error = QStringLiteral("The writer offers no way to write this disc: %1").arg(QString::fromLocal8Bit(reasons).trimmed());
}

LibburnJob::~LibburnJob()
{
    if (m_options)
        burn_write_opts_free(m_options);
    if (m_disc)
        burn_disc_free(m_disc);
}

QStringList LibburnJob::precheck() const
{
    char reasons[BURN_REASONS_LEN] = {};
    if (burn_precheck_write(m_options, m_disc, reasons, 1) == 1)
        return {};
    QStringList list;
    for (const QString& r : QString::fromLocal8Bit(reasons).split(QLatin1Char(','), Qt::SkipEmptyParts))
        if (!r.trimmed().isEmpty())
            list << r.trimmed();
    TakeLibburnMessages();
    return list;
}

namespace {

class LibburnSession : public BurnSession
{
public:
    LibburnSession(std::unique_ptr<LibburnDrive> drive, std::unique_ptr<LibburnJob> job)
        : m_drive(std::move(drive)), m_job(std::move(job))
    {
    }

    // Checks the job against the drive and starts the write; false with `failure` set
    // when it cannot be written.
    bool start(qint32 speed, BurnOutcome& failure)
    {
        if (!m_job->error().isEmpty()) {
            failure = BurnOutcome::failure(kBurnErrStart, m_job->error());
            return false;
        }
        const QStringList reasons = m_job->precheck();
        if (!reasons.isEmpty()) {
            failure = BurnOutcome::failure(kBurnErrDisc, QStringLiteral("The writer cannot burn this disc: %1.")
                                                             .arg(reasons.join(QStringLiteral(", "))));
            return false;
        }
        // 0 asks the drive for its fastest speed.
        burn_drive_set_speed(m_drive->drive(), 0, speed == 65535 ? 0 : speed);
        // The library refuses a job, without calling it failed, while the job of an earlier
        // burn (the drive may have the same handle) has not yet quite left it: that is a
        // matter of moments, so the job is given again until it is taken.
        for (int tries = 0;; ++tries) {
            burn_disc_write(m_job->options(), m_job->disc());
            QList<LibburnMessage> messages = TakeLibburnMessageList();
            const bool busy = std::any_of(messages.begin(), messages.end(),
                                          [](const LibburnMessage& m) { return m.code == kLibburnDriveBusy; });
            if (!busy) {
                m_messages = messages;
                return true;
            }
            if (tries == kBusyTries) {
                failure = BurnOutcome::failure(kBurnErrStart, LibburnMessageText(messages));
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(kBusyWaitMs));
        }
    }

    WriterStatus poll(int waitMs) override
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
        burn_progress p{};
        return WriterStatusFromLibburn(burn_drive_get_status(m_drive->drive(), &p), p);
    }

    void cancel() override
    {
        if (!m_cancelled) {
            m_cancelled = true;
            burn_drive_cancel(m_drive->drive());
        }
    }

    bool wroteWell() override { return !m_cancelled && burn_drive_wrote_well(m_drive->drive()) == 1; }

    // The disc is written once libburn has ended: only a cancelled burn counts as aborted.
    // A failure says what the library said, and the system's reason where it gave one.
    BurnOutcome finish(bool) override
    {
        const bool well = burn_drive_wrote_well(m_drive->drive()) == 1;
        const QList<LibburnMessage> messages = m_messages + TakeLibburnMessageList();
        if (m_cancelled)
            return BurnOutcome::failure(kBurnErrAborted, QStringLiteral("The burn was aborted."));
        if (well)
            return BurnOutcome::success();
        QString text = LibburnMessageText(messages);
        if (text.isEmpty())
            text = QStringLiteral("The writer did not write the disc well.");
        const auto withErrno = std::find_if(messages.begin(), messages.end(),
                                            [](const LibburnMessage& m) { return m.osErrno != 0; });
        if (withErrno == messages.end())
            return BurnOutcome::failure(kBurnErrWrite, text);
        const QString reason = QString::fromLocal8Bit(std::strerror(withErrno->osErrno));
        return BurnOutcome::failure(kBurnErrWrite, text + QStringLiteral(" (") + reason + QLatin1Char(')'),
                                    withErrno->osErrno);
    }

private:
    static constexpr int kBusyTries = 500;
    static constexpr int kBusyWaitMs = 10;
    std::unique_ptr<LibburnDrive> m_drive;
    std::unique_ptr<LibburnJob> m_job;
    bool m_cancelled = false;
    QList<LibburnMessage> m_messages;  // what the library said when the job was given
};

} // namespace

std::unique_ptr<BurnSession> StartLibburnBurn(const CdWriter& writer, const QList<BurnTrack>& tracks, qint32 speed,
                                              BurnOutcome& failure)
{
    QString error;
    std::unique_ptr<LibburnDrive> drive = LibburnDrive::grab(writer.source, error);
    if (!drive) {
        failure = BurnOutcome::failure(kBurnErrStart, error);
        return nullptr;
    }
    const QString state = drive->discState(true);
    if (!state.isEmpty()) {
        failure = BurnOutcome::failure(kBurnErrDisc, state);
        return nullptr;
    }
    auto job = std::make_unique<LibburnJob>(drive->drive(), tracks);
    auto session = std::make_unique<LibburnSession>(std::move(drive), std::move(job));
    if (!session->start(speed, failure))
        return nullptr;
    return session;
}

std::unique_ptr<BurnSession> StartLibburnDataBurn(const QString& address, const DataSourceMaker& makeSource,
                                                  qint32 speed, BurnOutcome& failure, qint64 capacitySectors)
{
    QString error;
    std::unique_ptr<LibburnDrive> drive = LibburnDrive::grab(address, error);
    if (!drive) {
        failure = BurnOutcome::failure(kBurnErrStart, error);
        return nullptr;
    }
    const QString state = drive->discState(false);
    if (!state.isEmpty()) {
        failure = BurnOutcome::failure(kBurnErrDisc, state);
        return nullptr;
    }
    burn_source* source = makeSource(error);
    if (!source) {
        failure = BurnOutcome::failure(kBurnErrStart, error);
        return nullptr;
    }
    const qint64 sectors = (qint64(source->get_size(source)) + 2047) / 2048;
    if (capacitySectors > 0 && sectors > capacitySectors) {
        burn_source_free(source);
        failure = BurnOutcome::failure(
            kBurnErrDisc, QStringLiteral("The files need %1 sectors; the disc holds %2.").arg(sectors).arg(capacitySectors));
        return nullptr;
    }
    auto job = std::make_unique<LibburnJob>(drive->drive(), source);
    burn_source_free(source);  // the job holds its own reference
    auto session = std::make_unique<LibburnSession>(std::move(drive), std::move(job));
    if (!session->start(speed, failure))
        return nullptr;
    return session;
}
