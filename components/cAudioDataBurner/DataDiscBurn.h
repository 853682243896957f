// The data disc both data burners write: an ISO 9660 image with Rock Ridge (and Joliet when
// asked) of a list of files at the disc's root, built by libisofs and written by libburn as
// one data track, onto a real writer or, for an image target P, into P.iso.
#pragma once

#include "components/audio/CdDrives.h"
#include "components/cAudioBurner/BurnSession.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

struct DataDiscLayout {
    QString volumeId;     // cut to the formats' limits when written
    QString publisher;
    QString application;
    bool joliet = true;
    QStringList files;    // each file lies at the root under its own file name
};

// The ISO 9660 volume id of a volume name: at most 32 characters.
QString DataDiscVolumeId(const QString& name);

// Where an image target's data disc is written.
QString DataDiscImagePath(const CdWriter& target);

// "" when the writer holds a blank disc a data burn can be written on, else why not; an
// image target is blank while its P.iso does not exist.
QString DataDiscState(const CdWriter& writer);

// Starts the burn of the layout onto the writer at `speed` KB/s (65535 for the fastest);
// null with `failure` set when it cannot start. An image target's P.iso appears only once
// the burn has ended well; an image larger than the target's CD-R is refused at the start.
std::unique_ptr<BurnSession> StartDataDiscBurn(const CdWriter& writer, const DataDiscLayout& layout, qint32 speed,
                                               BurnOutcome& failure);

// Runs a started burn to its end, polling the writer every `pollMs` and handing each status
// to `onStatus`; `abortWanted` is asked after each poll and cancels the burn when true.
BurnOutcome RunDataDiscBurn(BurnSession& session, int pollMs, const std::function<void(const WriterStatus&)>& onStatus,
                            const std::function<bool()>& abortWanted = {});

// Whether the disc-burning libraries could be started; `why` says what went wrong when not.
// Tests may put a check of their own in its place (an empty one restores the real check).
bool DiscBurningLibraryStarted(QString& why);
void SetDiscBurningLibraryCheck(std::function<bool(QString& why)> check);

// How far a data burn's one track is written, 0 to 100.
int DataDiscPercent(const WriterStatus& status);

// What both data burners hold between their calls: the registry's writers, read once, and
// the files to burn, each path once.
class DataBurnList
{
public:
    const QList<CdWriter>& writers();
    // The writer at 0-based `index`, or whose id begins with the first character of
    // `drive`; false when there is none.
    bool writerAt(qint32 index, CdWriter& writer);
    bool writerOf(const QString& drive, CdWriter& writer);
    // False for a path that is not a readable file; a path already listed stays listed once.
    bool addFile(const QString& path);
    const QStringList& files() const { return m_files; }
    void clearFiles() { m_files.clear(); }

private:
    QList<CdWriter> m_writers;
    bool m_read = false;
    QStringList m_files;
};
