// Audio CD drives as lists of tracks: which ripper device a drive node stands for, and the
// read-only grid rows of the disc in the ripper's current device.
#pragma once

#include <QString>

#include <functional>

class cAudioCDRipper;
class cGrid;

// The CD's byte rate: 1411200 bits per second.
inline constexpr qint64 kCDBytesPerSecond = 1411200 / 8;

// The ripper device of a drive node's key: the last device whose name begins with the
// node's drive; -1 when none does.
qint32 CDDriveIndex(cAudioCDRipper* ripper, const QString& nodeKey);

// Writes one row per track of the disc in the ripper's current device into rows 1 on
// (audio tracks marked, data tracks not; the default tags). sDrive ("D:") makes the
// tracks' paths. progress(t) runs before track t is written. Returns the track count.
qint32 WriteCDTrackRows(cGrid* grid, cAudioCDRipper* ripper, const QString& sDrive,
                        const std::function<void(qint32 track)>& progress = {});

// "Track" and the number in two digits and ".cda": "Track01.cda".
QString CDTrackName(qint32 track);
