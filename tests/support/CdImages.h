// Generated CD images for the CD tools' tests: NAME.bin + NAME.cue with one FILE line,
// track lengths given in sectors (2352 bytes, 75 a second). Audio tracks hold seeded stereo
// noise, or seeded uniform random bytes, so every track's bytes are known to the test; a data
// track holds zeros.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace CdImages {

constexpr int kSectorBytes = 2352;
constexpr int kSectorsPerSecond = 75;

struct Track {
    int sectors = 0;
    bool data = false;  // a MODE1/2352 data track in place of audio
    // Uniform random bytes in place of the gentle noise: samples whose two bytes are equally
    // likely either way round, so a reader that guesses the byte order from the audio gets
    // them wrong half the time.
    bool uniform = false;
};

struct Image {
    QString cue;          // the cue sheet's path
    QByteArray bin;       // every track's bytes, end to end, as written to NAME.bin
    QList<int> starts;    // each track's first sector in the image

    // The bytes of track `n` (0-based), or of `count` sectors from `first` within it.
    QByteArray track(int n) const;
    QByteArray sectors(int n, int first, int count) const;
    QString binPath() const;
    // Cuts NAME.bin to its first `sectors` sectors, as a copy that broke off would leave it.
    bool cutTo(int sectors) const;
};

// Writes DIR/NAME.bin and DIR/NAME.cue; `seed` varies the noise between images.
Image Write(const QString& dir, const QString& name, const QList<Track>& tracks, quint32 seed = 1);

// The common shapes: audio tracks only, or a data track first then audio (mixed mode).
Image WriteAudio(const QString& dir, const QString& name, const QList<int>& sectors, quint32 seed = 1);
Image WriteMixed(const QString& dir, const QString& name, const QList<int>& sectors, quint32 seed = 1);
Image WriteUniform(const QString& dir, const QString& name, const QList<int>& sectors, quint32 seed = 1);

// Lists the cue sheets as the machine's CD drives while it lives (none when empty); the
// drives listed before come back after.
class ListedAsDrives
{
public:
    explicit ListedAsDrives(const QStringList& cues);
    ~ListedAsDrives();
    ListedAsDrives(const ListedAsDrives&) = delete;
    ListedAsDrives& operator=(const ListedAsDrives&) = delete;

private:
    QByteArray m_saved;
};

// Ends the test process with a message when it is still alive `ms` milliseconds after it
// was made: for a step that may block for good (a CD read nobody can stop), so the test
// fails at once and the suite goes on, instead of waiting out the suite's time limit.
class Deadline
{
public:
    Deadline(int ms, const char* what);
    ~Deadline();
    Deadline(const Deadline&) = delete;
    Deadline& operator=(const Deadline&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_over;
    bool m_done = false;
    std::thread m_thread;
};

} // namespace CdImages
