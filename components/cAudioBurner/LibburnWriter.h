// Real CD writers through libburn: a grabbed drive with its disc's facts, and the job of
// an audio burn (one SAO session of audio tracks) built so that libburn's own pre-write
// check can judge it.
#pragma once

#include "components/cAudioBurner/BurnSession.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace burn {
struct burn_drive;
struct burn_drive_info;
struct burn_disc;
struct burn_write_opts;
struct burn_source;
}

class LibburnDrive
{
public:
    // Grabs the drive at libburn's address (a device, or "stdio:" and a file for its
    // pseudo-drives); null with `error` set when it cannot.
    static std::unique_ptr<LibburnDrive> grab(const QString& address, QString& error);
    ~LibburnDrive();  // releases the drive, leaving the tray as it is

    burn::burn_drive* drive() const { return m_drive; }
    // "" for a disc the burn can be written on, else why not: an audio burn needs a blank
    // CD-R or CD-RW, a data burn any blank disc.
    QString discState(bool audio = true) const;
    // The disc's sectors (of 2048 bytes, as the library counts its capacity).
    qint64 discSectors() const;
    // The write speeds the drive offers, in KB/s, fastest first.
    QList<qint32> writeSpeeds() const;

private:
    LibburnDrive() = default;
    burn::burn_drive_info* m_info = nullptr;
    burn::burn_drive* m_drive = nullptr;
};

class LibburnJob
{
public:
    // An audio session of the tracks, written at once (SAO), with buffer-underrun
    // protection and no simulation.
    LibburnJob(burn::burn_drive* drive, const QList<BurnTrack>& tracks);
    // A data session of one track read from `data` (the job keeps its own reference), in
    // the write type the drive offers for its disc.
    LibburnJob(burn::burn_drive* drive, burn::burn_source* data);
    ~LibburnJob();
    LibburnJob(const LibburnJob&) = delete;
    LibburnJob& operator=(const LibburnJob&) = delete;

    // Why the job could not be built ("" when it was).
    QString error() const { return m_error; }
    // The reasons libburn's pre-write check gives against writing the job on its drive;
    // empty when it may be written.
    QStringList precheck() const;

    burn::burn_disc* disc() const { return m_disc; }
    burn::burn_write_opts* options() const { return m_options; }

private:
    burn::burn_disc* m_disc = nullptr;
    burn::burn_write_opts* m_options = nullptr;
    QString m_error;
};

// Grabs the drive at libburn's address and burns one data track onto it: `makeSource` is
// asked for the track's source only once the disc has been found blank (null with its
// `error` set when it cannot be made). With `capacitySectors` above 0, a source of more
// 2048-byte sectors than that is refused before anything is written. Null with `failure`
// set when the burn cannot start.
using DataSourceMaker = std::function<burn::burn_source*(QString& error)>;
std::unique_ptr<BurnSession> StartLibburnDataBurn(const QString& address, const DataSourceMaker& makeSource,
                                                  qint32 speed, BurnOutcome& failure, qint64 capacitySectors = 0);
