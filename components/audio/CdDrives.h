// The CD drive registry and disc access over libcdio: real drives first, then the BIN/CUE
// image drives listed in VELMARO_CD_IMAGES, each with a synthetic drive id ("D:", "E:", ...).
#pragma once

#include "components/audio/Transcoder.h"

#include <QList>
#include <QString>

#include <atomic>
#include <memory>

struct CdDrive {
    QString id;      // "D:"
    QString source;  // device path, or the .cue file of an image drive
    bool image = false;
    QString name() const;  // id, a blank and what the drive is
};

QList<CdDrive> ListCdDrives();

struct CdTrack {
    int number = 0;
    bool audio = false;
    qint32 firstSector = 0;  // LSN
    qint32 sectors = 0;
};

// An opened disc: its table of contents, and readers of its audio.
class CdDisc
{
public:
    ~CdDisc();
    static std::shared_ptr<CdDisc> open(const CdDrive& drive, QString& error);

    const CdDrive& drive() const { return m_drive; }
    const QList<CdTrack>& tracks() const { return m_tracks; }
    const CdTrack* track(int number) const;
    // Where the disc ends: its first sector after the last track. An image ends with its data
    // file, so a track the file does not hold in full runs past it.
    qint32 endSector() const { return m_sectors; }
    void eject();
    void closeTray();

    // A reader of `sectors` sectors from `firstSector` on, with its own device handle and
    // error-correcting reads, for use on a worker thread. Its reads fail at the first sector
    // that cannot be read, and fail at once when `abort` (the job's abort flag) is set.
    static std::shared_ptr<PcmReader> openReader(const CdDrive& drive, qint32 firstSector, qint32 sectors,
                                                 QString& error, const std::atomic<bool>* abort = nullptr);

private:
    CdDrive m_drive;
    QList<CdTrack> m_tracks;
    qint32 m_sectors = 0;
    void* m_cdio = nullptr;
};

// The writer side of the registry: libburn's CD writers, each with the id its device has
// among the readers above, then the image targets listed in VELMARO_CD_WRITERS (paths P,
// colon-separated). An image target is a blank 80-minute CD-R while neither P.bin nor
// P.cue exists; an audio burn to it writes P.bin + P.cue.
struct CdWriter {
    QString id;      // "E:"
    QString source;  // libburn's address of the device, or the target path P
    bool image = false;
    QString model;   // vendor and product of a real writer
    QString name() const;  // id, a blank and what the writer is
    QString imageBin() const { return source + QStringLiteral(".bin"); }
    QString imageCue() const { return source + QStringLiteral(".cue"); }
};

QList<CdWriter> ListCdWriters();
// The writer whose id begins with `letter`; false when there is none.
bool FindCdWriter(const QList<CdWriter>& writers, QChar letter, CdWriter& writer);

// The tray of a real drive (a device path); nothing for images.
void OpenCdTray(const QString& device);
void CloseCdTray(const QString& device);
// Where the device's disc is mounted, "" when it is not.
QString CdMountPoint(const QString& device);
// Where the disc of the writer with that letter is mounted; "" for an image target or a
// disc that is not mounted.
QString CdWriterRoot(QChar letter);
