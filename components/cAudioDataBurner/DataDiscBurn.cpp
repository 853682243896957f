// The data disc: the ISO image built by libisofs from the files, handed to libburn as the
// source of one data track; image targets are written through libburn's stdio: drives.
#include "components/cAudioDataBurner/DataDiscBurn.h"

#include "components/audio/Libburn.h"
#include "components/cAudioBurner/LibburnWriter.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include <cstdint>
#include <libisofs/libisofs.h>

namespace {

// The buffer between the making of the image and its writing: 16 MB in blocks of 2 KB.
constexpr size_t kImageBufferBlocks = 8192;
// How often a running burn is asked whether it has ended.
constexpr int kEndCheckMs = 5;

// libisofs is started once per process; names are read and written as UTF-8 whatever the
// locale, so non-ASCII names reach Joliet and Rock Ridge unchanged.
bool startIsofs(QString& why)
{
    static std::once_flag once;
    static int started = 0;
    std::call_once(once, [] {
        started = iso_init();
        if (started >= 0)
            iso_set_local_charset(const_cast<char*>("UTF-8"), 0);
    });
    if (started < 0)
        why = QStringLiteral("The disc-image library could not be started.");
    return started >= 0;
}

QString isoError(int code)
{
    return QString::fromLocal8Bit(iso_error_to_msg(code));
}

// The image of the layout as a libburn source; null with `error` set when a file cannot be
// added or the image cannot be made.
::burn_source* makeImageSource(const DataDiscLayout& layout, QString& error)
{
    if (!startIsofs(error))
        return nullptr;
    IsoImage* image = nullptr;
    const QByteArray volume = DataDiscVolumeId(layout.volumeId).toUtf8();
    if (iso_image_new(volume.constData(), &image) < 0) {
        error = QStringLiteral("Cannot make the disc's image.");
        return nullptr;
    }
    iso_image_set_publisher_id(image, layout.publisher.toUtf8().constData());
    iso_image_set_application_id(image, layout.application.toUtf8().constData());
    IsoDir* root = iso_image_get_root(image);
    for (const QString& file : layout.files) {
        const QFileInfo info(file);
        const QByteArray name = info.fileName().toUtf8();
        const QByteArray path = QFile::encodeName(info.absoluteFilePath());
        const int rc = iso_tree_add_new_node(image, root, name.constData(), path.constData(), nullptr);
        if (rc < 0) {
            error = QStringLiteral("Cannot add the file %1: %2").arg(file, isoError(rc));
            iso_image_unref(image);
            return nullptr;
        }
    }
    IsoWriteOpts* options = nullptr;
    iso_write_opts_new(&options, 0);
    // Level 3 lets a file pass 4 GiB; Rock Ridge keeps the names whole and exact.
    iso_write_opts_set_iso_level(options, 3);
    iso_write_opts_set_rockridge(options, 1);
    iso_write_opts_set_joliet(options, layout.joliet ? 1 : 0);
    iso_write_opts_set_joliet_long_names(options, 1);
    // Joliet names carry no ";1" version: readers look files up by their plain names.
    iso_write_opts_set_omit_version_numbers(options, 2);
    // The image is made by a thread of libisofs into a buffer that libburn's writer empties.
    // The writer stops now and then until what it wrote has reached the disk (every 16 MB
    // for an image file); a buffer of the same size lets the image go on being made
    // meanwhile, where the default of 2 MB soon fills and holds it up.
    iso_write_opts_set_fifo_size(options, kImageBufferBlocks);
    ::burn_source* source = nullptr;
    const int rc = iso_image_create_burn_source(image, options, &source);
    iso_write_opts_free(options);
    iso_image_unref(image);  // the source holds the image while it is read
    if (rc < 0) {
        error = QStringLiteral("Cannot make the disc's image: %1").arg(isoError(rc));
        return nullptr;
    }
    return source;
}

// An image target's burn: libburn writes a temporary file beside P.iso, which takes the
// name P.iso only when the burn has ended well.
class ImageTargetSession : public BurnSession
{
public:
    ImageTargetSession(std::unique_ptr<BurnSession> inner, QString part, QString iso)
        : m_inner(std::move(inner)), m_part(std::move(part)), m_iso(std::move(iso))
    {
    }
    ~ImageTargetSession() override
    {
        m_inner.reset();
        if (!m_finished)
            QFile::remove(m_part);
    }
    WriterStatus poll(int waitMs) override { return m_inner->poll(waitMs); }
    void cancel() override { m_inner->cancel(); }
    bool wroteWell() override { return m_inner->wroteWell(); }
    BurnOutcome finish(bool aborted) override
    {
        BurnOutcome outcome = m_inner->finish(aborted);
        m_inner.reset();  // releases the pseudo-drive before its file is renamed
        m_finished = true;
        if (outcome.ok && !QFile::rename(m_part, m_iso))
            outcome = BurnOutcome::failure(kBurnErrWrite, QStringLiteral("Cannot write the image %1.").arg(m_iso));
        // What stopped the writing of the image file is the system's reason (a full disk).
        if (outcome.code == kBurnErrWrite && outcome.systemError != 0)
            outcome.text = QStringLiteral("Cannot write the image %1: %2")
                               .arg(m_iso, QString::fromLocal8Bit(std::strerror(outcome.systemError)));
        if (!outcome.ok)
            QFile::remove(m_part);
        return outcome;
    }

private:
    std::unique_ptr<BurnSession> m_inner;
    QString m_part;
    QString m_iso;
    bool m_finished = false;
};

} // namespace

QString DataDiscVolumeId(const QString& name)
{
    return name.left(32);
}

QString DataDiscImagePath(const CdWriter& target)
{
    return target.source + QStringLiteral(".iso");
}

QString DataDiscState(const CdWriter& writer)
{
    if (writer.image)
        return QFileInfo::exists(DataDiscImagePath(writer)) ? QStringLiteral("The disc is not blank.") : QString();
    QString error;
    std::unique_ptr<LibburnDrive> drive = LibburnDrive::grab(writer.source, error);
    return drive ? drive->discState(false) : error;
}

std::unique_ptr<BurnSession> StartDataDiscBurn(const CdWriter& writer, const DataDiscLayout& layout, qint32 speed,
                                               BurnOutcome& failure)
{
    if (layout.files.isEmpty()) {
        failure = BurnOutcome::failure(kBurnErrNoTracks, QStringLiteral("There are no files to burn."));
        return nullptr;
    }
    const auto makeSource = [&layout](QString& error) {
        return reinterpret_cast<burn::burn_source*>(makeImageSource(layout, error));
    };
    if (!writer.image)
        return StartLibburnDataBurn(writer.source, makeSource, speed, failure);
    const QString iso = DataDiscImagePath(writer);
    if (QFileInfo::exists(iso)) {
        failure = BurnOutcome::failure(kBurnErrDisc, QStringLiteral("The disc in %1 is not blank.").arg(writer.id));
        return nullptr;
    }
    const QString part = NewImageFileBeside(iso);
    if (part.isEmpty()) {
        failure = BurnOutcome::failure(kBurnErrWrite, QStringLiteral("Cannot write the image %1.").arg(iso));
        return nullptr;
    }
    std::unique_ptr<BurnSession> inner =
        StartLibburnDataBurn(QStringLiteral("stdio:") + part, makeSource, speed, failure, kImageTargetSectors);
    if (!inner) {
        QFile::remove(part);
        return nullptr;
    }
    return std::make_unique<ImageTargetSession>(std::move(inner), part, iso);
}

BurnOutcome RunDataDiscBurn(BurnSession& session, int pollMs, const std::function<void(const WriterStatus&)>& onStatus,
                            const std::function<bool()>& abortWanted)
{
    // The writer is asked every few milliseconds, so that the end of the burn is seen as
    // soon as it comes; its status is handed on every `pollMs`.
    bool cancelled = false;
    int sinceHanded = 0;
    while (true) {
        const int wait = std::max(1, std::min(kEndCheckMs, pollMs));
        const WriterStatus status = session.poll(wait);
        sinceHanded += wait;
        if (!cancelled && abortWanted && abortWanted()) {
            session.cancel();
            cancelled = true;
        }
        if (status.stage == WriterStatus::Ended)
            break;
        if (sinceHanded >= pollMs && !cancelled && onStatus) {
            onStatus(status);
            sinceHanded = 0;
        }
    }
    return session.finish(cancelled);
}

namespace {
std::function<bool(QString&)>& libraryCheck()
{
    static std::function<bool(QString&)> check;
    return check;
}
} // namespace

bool DiscBurningLibraryStarted(QString& why)
{
    if (libraryCheck())
        return libraryCheck()(why);
    return StartLibburn(why) && startIsofs(why);
}

void SetDiscBurningLibraryCheck(std::function<bool(QString&)> check)
{
    libraryCheck() = std::move(check);
}

int DataDiscPercent(const WriterStatus& status)
{
    if (status.stage == WriterStatus::ClosingTrack || status.stage == WriterStatus::ClosingSession
        || status.stage == WriterStatus::Ended)
        return 100;
    if (status.stage != WriterStatus::Writing || status.sectors <= 0)
        return 0;
    return int(std::min<qint64>(100, status.sector * 100 / status.sectors));
}

const QList<CdWriter>& DataBurnList::writers()
{
    if (!m_read) {
        m_writers = ListCdWriters();
        m_read = true;
    }
    return m_writers;
}

bool DataBurnList::writerAt(qint32 index, CdWriter& writer)
{
    const QList<CdWriter>& list = writers();
    if (index < 0 || index >= list.size())
        return false;
    writer = list[index];
    return true;
}

bool DataBurnList::writerOf(const QString& drive, CdWriter& writer)
{
    return !drive.isEmpty() && FindCdWriter(writers(), drive.at(0), writer);
}

bool DataBurnList::addFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return false;
    const QString absolute = info.absoluteFilePath();
    if (!m_files.contains(absolute))
        m_files.append(absolute);
    return true;
}
