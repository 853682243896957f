// Playing a file, or a stretch of its samples, or samples already in memory, on an audio
// output device: a feeder thread fills a small ring of device-format samples and SDL's
// audio callback plays from it.
#pragma once

#include <QMetaObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class AudioPlayback
{
public:
    // Frames of the last played sound kept for the level and spectrum graphs (enough for
    // a spectrum in steps of about 20 Hz).
    static constexpr int kSnapshotFrames = 2048;

    struct Request {
        QString path;
        // When set, these interleaved 16-bit samples (at sampleRate and channels) are played
        // in place of the file.
        std::shared_ptr<const std::vector<qint16>> pcm;
        int deviceIndex = -1;  // -1 or an index with no device: the default device
        int sampleRate = 44100;  // the file's (or the samples') own rate and channels, asked of the device
        int channels = 2;
        qint64 firstSample = 0;  // the stretch to play, in source samples
        qint64 endSample = -1;   // exclusive; -1 plays to the end of the file
        // Runs on the audio thread once the last sample has been handed to the device.
        std::function<void()> onEnd;
    };

    // Starts playing at once (or paused, when asked); nullptr when no output device can be
    // opened.
    static std::unique_ptr<AudioPlayback> start(const Request& request, bool paused = false);
    ~AudioPlayback();  // stops: closes the device and waits for the decoder

    void pause();
    void resume();
    bool paused() const;
    // Where the sound now leaving the device is in the file.
    qint64 positionSample() const;
    double positionSeconds() const;
    int sourceRate() const;
    int deviceRate() const;  // of the samples the device plays, the snapshot's
    // Goes on playing from there (whole seconds).
    void seek(qint64 seconds);
    // The last frames played as left/right pairs (mono repeated), oldest first.
    std::vector<qint16> snapshot() const;

    struct State;

private:
    explicit AudioPlayback(std::unique_ptr<State> state);
    std::unique_ptr<State> m;
};

// An end callback for a playback request: calls object->ended(generation) on the object's
// thread, unless the object is gone by then.
template <class T>
std::function<void()> QueuedPlaybackEnd(T* object, void (T::*ended)(quint64), quint64 generation)
{
    QPointer<T> self(object);
    return [self, ended, generation] {
        QMetaObject::invokeMethod(
            self.data(),
            [self, ended, generation] {
                if (self)
                    (self.data()->*ended)(generation);
            },
            Qt::QueuedConnection);
    };
}
