// The image writer: burns the tracks into an image target P as P.bin (the tracks' sectors
// end to end) and P.cue (one FILE line, an AUDIO track with its INDEX 01 for each), both
// under temporary names until the burn has ended well, so a failed or aborted burn leaves
// the target blank.
#include "components/cAudioBurner/BurnSession.h"
#include "platform/TempFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include <unistd.h>

namespace {

constexpr int kSectorBytes = 2352;
constexpr int kSectorsPerSecond = 75;
constexpr qint64 kChunkSectors = 256;

// "MM:SS:FF" of a sector count.
QString msf(qint64 sector)
{
    return QStringLiteral("%1:%2:%3")
        .arg(sector / kSectorsPerSecond / 60, 2, 10, QLatin1Char('0'))
        .arg(sector / kSectorsPerSecond % 60, 2, 10, QLatin1Char('0'))
        .arg(sector % kSectorsPerSecond, 2, 10, QLatin1Char('0'));
}

} // namespace

QString NewImageFileBeside(const QString& path)
{
    // A hidden temporary name of this process's beside the target, as every output of the
    // program gets: what a killed burn leaves there is cleared by the next one, and the
    // file has the permissions of any new file of the user's.
    QByteArray temp;
    const int fd = CreateTempBeside(QFile::encodeName(QFileInfo(path).absoluteFilePath()), ".part", 0666, temp);
    if (fd < 0)
        return QString();
    ::close(fd);
    return QFile::decodeName(temp);
}

namespace {

// Writes the whole of `bytes` to the file; false with the system's reason in `why` when it
// cannot. A short write is followed by another, which fails and tells why (a disk that
// filled up during the first).
bool writeAll(QFile& file, const QByteArray& bytes, QString& why)
{
    for (qint64 at = 0; at < bytes.size();) {
        const qint64 n = file.write(bytes.constData() + at, bytes.size() - at);
        if (n <= 0) {
            why = file.errorString();
            return false;
        }
        at += n;
    }
    return true;
}

// Puts what was written to the file on the disk; false with the system's reason in `why`.
bool syncFile(QFile& file, QString& why)
{
    if (!file.flush()) {
        why = file.errorString();
        return false;
    }
    if (::fsync(file.handle()) != 0) {
        why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    return true;
}

class ImageBurnSession : public BurnSession
{
public:
    ImageBurnSession(const CdWriter& target, const QList<BurnTrack>& tracks) : m_target(target), m_tracks(tracks) {}

    ~ImageBurnSession() override
    {
        cancel();
        if (m_thread.joinable())
            m_thread.join();
        removeTemps();
    }

    bool start(BurnOutcome& failure)
    {
        if (QFileInfo::exists(m_target.imageBin()) || QFileInfo::exists(m_target.imageCue())) {
            failure = BurnOutcome::failure(kBurnErrDisc, QStringLiteral("The disc in %1 is not blank.").arg(m_target.id));
            return false;
        }
        // What a blank CD-R cannot take is refused before anything is written.
        if (m_tracks.size() > kImageTargetTracks) {
            failure = BurnOutcome::failure(kBurnErrDisc, QStringLiteral("There are %1 tracks; the disc holds %2 at most.")
                                                             .arg(m_tracks.size())
                                                             .arg(kImageTargetTracks));
            return false;
        }
        qint64 sectors = 0;
        for (const BurnTrack& t : m_tracks)
            sectors += t.sectors;
        if (sectors > kImageTargetSectors) {
            failure = BurnOutcome::failure(kBurnErrDisc, QStringLiteral("The tracks need %1 sectors; the disc holds %2.")
                                                             .arg(sectors)
                                                             .arg(kImageTargetSectors));
            return false;
        }
        m_tempBin = NewImageFileBeside(m_target.imageBin());
        m_tempCue = m_tempBin.isEmpty() ? QString() : NewImageFileBeside(m_target.imageCue());
        if (m_tempBin.isEmpty() || m_tempCue.isEmpty()) {
            removeTemps();
            failure = BurnOutcome::failure(
                kBurnErrWrite, QStringLiteral("Cannot write to the writer %1 (%2).")
                                   .arg(m_target.id, QDir::toNativeSeparators(QFileInfo(m_target.source).absolutePath())));
            return false;
        }
        m_thread = std::thread([this] { run(); });
        return true;
    }

    WriterStatus poll(int waitMs) override
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait_for(lock, std::chrono::milliseconds(waitMs), [this] { return m_status.stage == WriterStatus::Ended; });
        return m_status;
    }

    void cancel() override { m_cancel = true; }

    bool wroteWell() override
    {
        if (m_thread.joinable())
            m_thread.join();
        return m_error.isEmpty() && !m_cancel;
    }

    BurnOutcome finish(bool aborted) override
    {
        if (m_thread.joinable())
            m_thread.join();
        if (aborted || m_cancel) {
            removeTemps();
            return BurnOutcome::failure(kBurnErrAborted, QStringLiteral("The burn was aborted."));
        }
        if (!m_error.isEmpty()) {
            removeTemps();
            return BurnOutcome::failure(kBurnErrWrite, m_error);
        }
        // The image appears whole or not at all: the data first, then the sheet that
        // names it; neither replaces a file that appeared under its name meanwhile.
        if (!QFile::rename(m_tempBin, m_target.imageBin())) {
            removeTemps();
            return BurnOutcome::failure(kBurnErrWrite, QStringLiteral("Cannot write the image %1.").arg(m_target.imageBin()));
        }
        m_tempBin.clear();
        if (!QFile::rename(m_tempCue, m_target.imageCue())) {
            QFile::remove(m_target.imageBin());
            removeTemps();
            return BurnOutcome::failure(kBurnErrWrite, QStringLiteral("Cannot write the image %1.").arg(m_target.imageCue()));
        }
        m_tempCue.clear();
        return BurnOutcome::success();
    }

private:
    void setStatus(const WriterStatus& s)
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_status = s;
        }
        m_changed.notify_all();
    }

    void run()
    {
        m_error = write();
        setStatus({WriterStatus::Ended, 0, 0, 0});
    }

    // Writes the image into the temporary files; the error, or "" when it was written
    // (or stopped by cancel()).
    QString write()
    {
        QFile bin(m_tempBin);
        if (!bin.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return cannotWrite(m_target.imageBin(), bin.errorString());
        QString why;
        QString cue = QStringLiteral("FILE \"%1\" BINARY\n").arg(QFileInfo(m_target.imageBin()).fileName());
        QByteArray buffer;
        qint64 at = 0;
        for (int t = 0; t < m_tracks.size(); ++t) {
            const BurnTrack& track = m_tracks[t];
            cue += QStringLiteral("  TRACK %1 AUDIO\n    INDEX 01 %2\n").arg(t + 1, 2, 10, QLatin1Char('0')).arg(msf(at));
            QFile in(track.file);
            if (!in.open(QIODevice::ReadOnly))
                return QStringLiteral("Cannot read the track %1: %2").arg(t + 1).arg(in.errorString());
            for (qint64 done = 0; done < track.sectors;) {
                if (m_cancel)
                    return QString();
                setStatus({WriterStatus::Writing, t, done, track.sectors});
                const qint64 n = std::min(kChunkSectors, track.sectors - done);
                buffer = in.read(n * kSectorBytes);
                if (buffer.size() != n * kSectorBytes)
                    return QStringLiteral("Cannot read the track %1.").arg(t + 1);
                if (!writeAll(bin, buffer, why))
                    return cannotWrite(m_target.imageBin(), why);
                done += n;
            }
            setStatus({WriterStatus::ClosingTrack, t, track.sectors, track.sectors});
            at += track.sectors;
        }
        setStatus({WriterStatus::ClosingSession, int(m_tracks.size()) - 1, 0, 0});
        if (!syncFile(bin, why))
            return cannotWrite(m_target.imageBin(), why);
        QFile sheet(m_tempCue);
        if (!sheet.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return cannotWrite(m_target.imageCue(), sheet.errorString());
        if (!writeAll(sheet, cue.toUtf8(), why) || !syncFile(sheet, why))
            return cannotWrite(m_target.imageCue(), why);
        return QString();
    }

    static QString cannotWrite(const QString& file, const QString& why)
    {
        return QStringLiteral("Cannot write the image %1: %2").arg(file, why);
    }

    void removeTemps()
    {
        if (!m_tempBin.isEmpty())
            QFile::remove(m_tempBin);
        if (!m_tempCue.isEmpty())
            QFile::remove(m_tempCue);
        m_tempBin.clear();
        m_tempCue.clear();
    }

    CdWriter m_target;
    QList<BurnTrack> m_tracks;
    QString m_tempBin;
    QString m_tempCue;
    std::thread m_thread;
    std::atomic<bool> m_cancel{false};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    WriterStatus m_status;
    QString m_error;  // written by the thread before it ends, read after joining it
};

} // namespace

std::unique_ptr<BurnSession> StartImageBurn(const CdWriter& target, const QList<BurnTrack>& tracks, BurnOutcome& failure)
{
    auto session = std::make_unique<ImageBurnSession>(target, tracks);
    if (!session->start(failure))
        return nullptr;
    return session;
}
