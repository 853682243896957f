// Probing one audio file through the conversion component without holding up the windows:
// the component reads the file on a thread of its own while the caller's event loop keeps
// turning, however long the file takes.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class cAudioConverter;

// What the add-files run takes from the component for one file.
struct FileProbe {
    qint32 code = -1;  // what ReadFileInfo answered: 0 = the file can be read
    qint32 durationMs = 0;
    QStringList tags;  // album, artist, comment, genre, year, title, track (when asked for)
};

// Runs ReadFileInfo (and, with withTags and a readable file, ReadTags) of path on the
// converter, away from the calling thread. While it runs, events are processed and stop()
// is asked about every 50 ms. Returns true with the result once the probe has ended.
// Returns false when stop() said true first: the probe is left to end on its own and the
// converter, still in its use, is deleted when it does, so the caller must drop its
// pointer to it. Meanwhile the converter has no parent, so a parent window that goes away
// does not take it along.
bool ProbeAudioFile(cAudioConverter* converter, const QString& path, bool withTags, const std::function<bool()>& stop,
                    FileProbe& result);
