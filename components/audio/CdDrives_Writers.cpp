// The writer side of the drive registry: libburn's CD writers under the ids their devices
// have among the readers, and the image targets of VELMARO_CD_WRITERS after them.
#include "components/audio/CdDrives.h"
#include "components/audio/Libburn.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <thread>

#include <libburn/libburn.h>

namespace {

QString canonicalDevice(const QString& path)
{
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? path : c;
}

// The CD writers libburn finds, released again once listed (nothing stays grabbed).
QList<CdWriter> scanRealWriters()
{
    QList<CdWriter> writers;
    QString why;
    if (!StartLibburn(why))
        return writers;
    burn::burn_drive_info* infos = nullptr;
    unsigned int count = 0;
    int rc = 0;
    // The first calls only start the scan; it is complete when the call returns 1.
    for (int tries = 0; (rc = burn::burn_drive_scan(&infos, &count)) == 0 && tries < 5000; ++tries)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (rc == 1) {
        for (unsigned int i = 0; i < count; ++i) {
            if (!infos[i].write_cdr && !infos[i].write_cdrw)
                continue;
            char adr[BURN_DRIVE_ADR_LEN] = {};
            if (burn::burn_drive_get_adr(&infos[i], adr) != 1)
                continue;
            CdWriter w;
            w.source = QString::fromLocal8Bit(adr);
            w.model = QStringLiteral("%1 %2").arg(QString::fromLatin1(infos[i].vendor).trimmed(),
                                                  QString::fromLatin1(infos[i].product).trimmed());
            writers.append(w);
        }
        burn::burn_drive_info_free(infos);
    }
    TakeLibburnMessages();
    return writers;
}

QString idOf(int index)
{
    return QStringLiteral("%1:").arg(QChar(char('D' + std::min(index, 22))));
}

} // namespace

QString CdWriter::name() const
{
    return id + QLatin1Char(' ') + (image ? QFileInfo(source).fileName() : model);
}

QList<CdWriter> ListCdWriters()
{
    const QList<CdDrive> readers = ListCdDrives();
    QList<CdWriter> writers = scanRealWriters();
    for (const QString& p : qEnvironmentVariable("VELMARO_CD_WRITERS").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        CdWriter w;
        w.source = p;
        w.image = true;
        writers.append(w);
    }
    // A writer's device that is also a reader keeps the reader's id; the others are
    // numbered on after the last reader, so no two drives share an id.
    int next = int(readers.size());
    for (CdWriter& w : writers) {
        if (!w.image) {
            const QString device = canonicalDevice(w.source);
            for (const CdDrive& r : readers)
                if (!r.image && canonicalDevice(r.source) == device)
                    w.id = r.id;
        }
        if (w.id.isEmpty())
            w.id = idOf(next++);
    }
    return writers;
}

bool FindCdWriter(const QList<CdWriter>& writers, QChar letter, CdWriter& writer)
{
    for (const CdWriter& w : writers)
        if (!w.id.isEmpty() && w.id.at(0) == letter) {
            writer = w;
            return true;
        }
    return false;
}

QString CdMountPoint(const QString& device)
{
    const QString wanted = canonicalDevice(device);
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
        if (canonicalDevice(QString::fromLocal8Bit(v.device())) == wanted)
            return v.rootPath();
    return QString();
}

QString CdWriterRoot(QChar letter)
{
    CdWriter w;
    if (!FindCdWriter(ListCdWriters(), letter, w) || w.image)
        return QString();
    return CdMountPoint(w.source);
}
