// One burn of a track list onto one writer, as the burner component runs it: the writer
// works on a thread of its own (libburn's, or the image writer's) while the component polls
// its status, turns it into events and, once it has ended, lets it put its result in place.
#pragma once

#include "components/audio/CdDrives.h"

#include <QList>
#include <QString>

#include <memory>

class cAudioBurner;

// The error codes of the burner's Error event.
enum BurnErrorCode : qint32 {
    kBurnErrNoWriter = 1,    // no writer has that letter
    kBurnErrNoTracks = 2,    // the track list is empty
    kBurnErrDisc = 3,        // the disc is not blank or cannot take audio tracks
    kBurnErrWrite = 4,       // writing failed
    kBurnErrAborted = 5,     // stopped by Abort
    kBurnErrStart = 6,       // the burning library or the writer could not be started
};

// An image target stands for a blank 80-minute CD-R: 75 sectors a second, 99 tracks at most.
constexpr qint64 kImageTargetSectors = 80 * 60 * 75;
constexpr int kImageTargetTracks = 99;

// The error of a drive no writer has: its letter is the first character, and a drive
// without one (no writer was listed) is named by no letter.
inline QString NoCdWriterText(const QString& Drive)
{
    if (Drive.isEmpty() || Drive.at(0).isSpace())
        return QStringLiteral("There is no CD writer.");
    return QStringLiteral("There is no CD writer %1:.").arg(Drive.at(0));
}

// What the writer is doing, as the poll sees it.
struct WriterStatus {
    enum Stage { Preparing, Writing, ClosingTrack, ClosingSession, Ended };
    Stage stage = Preparing;
    int track = 0;         // the track in work, from 0
    qint64 sector = 0;     // sectors of it written
    qint64 sectors = 0;    // its length in sectors
};

// libburn's drive status and progress in those terms.
namespace burn { struct burn_progress; }
WriterStatus WriterStatusFromLibburn(int driveStatus, const burn::burn_progress& progress);

struct BurnOutcome {
    bool ok = false;
    qint32 code = 0;
    QString text;
    int systemError = 0;  // the system's error number behind a failure, 0 when none is known
    static BurnOutcome success()
    {
        BurnOutcome o;
        o.ok = true;
        return o;
    }
    static BurnOutcome failure(qint32 code, const QString& text, int systemError = 0)
    {
        BurnOutcome o;
        o.code = code;
        o.text = text;
        o.systemError = systemError;
        return o;
    }
};

// A decoded track: raw 44.1 kHz 16-bit stereo little-endian samples, whole sectors.
struct BurnTrack {
    QString file;
    qint64 sectors = 0;
};

class BurnSession
{
public:
    virtual ~BurnSession() = default;
    // The writer's status, after waiting up to waitMs for it to end.
    virtual WriterStatus poll(int waitMs) = 0;
    // Asks the writer to stop; it ends soon after.
    virtual void cancel() = 0;
    // Once the status is Ended: whether the writer wrote every track and closed the disc.
    virtual bool wroteWell() = 0;
    // Once the status is Ended: puts what was written in place, or (aborted or failed)
    // removes it; says how the burn went.
    virtual BurnOutcome finish(bool aborted) = 0;
};

// A new empty file beside `path` under a hidden temporary name, for an image written there
// and renamed to `path` when complete; "" when none can be made.
QString NewImageFileBeside(const QString& path);

// Starts the burn of `tracks` onto the writer; null with `failure` set when it cannot start.
std::unique_ptr<BurnSession> StartImageBurn(const CdWriter& target, const QList<BurnTrack>& tracks,
                                            BurnOutcome& failure);
std::unique_ptr<BurnSession> StartLibburnBurn(const CdWriter& writer, const QList<BurnTrack>& tracks,
                                              qint32 speed, BurnOutcome& failure);

// Turns the polled statuses into the burner's events, in order: for each track
// WritingTrack, then Progress and TrackProgress as it goes, then ClosingTrack; at the end
// ClosingSession. A track the polls did not see (a writer faster than the poll) still gets
// its events, so every burn tells each of its tracks.
class BurnEventTranslator
{
public:
    BurnEventTranslator(cAudioBurner* burner, int tracks) : m_burner(burner), m_tracks(tracks) {}
    void feed(const WriterStatus& status);
    // The burn succeeded: the events of what is left, then ClosingSession.
    void complete();

private:
    void reach(int track);
    void closeCurrent();
    void showPercent(int percent);

    cAudioBurner* m_burner;
    int m_tracks;
    int m_current = -1;        // the track whose WritingTrack was raised
    bool m_currentClosed = true;
    int m_lastPercent = -1;
    bool m_sessionClosed = false;
};
