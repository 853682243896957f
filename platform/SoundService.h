// Playing a short WAV file without waiting (the end-of-job sound).
#pragma once

#include <QString>

class SoundService
{
public:
    virtual ~SoundService() = default;
    // Starts playing the file and returns at once; a sound still playing is cut off.
    // False when the file cannot be read or no output device can be opened.
    virtual bool play(const QString& wavFile) = 0;
    // Stops a sound that is still playing.
    virtual void stop() = 0;
};

// Plays through SDL's default output device.
class SdlSoundService : public SoundService
{
public:
    ~SdlSoundService() override;
    bool play(const QString& wavFile) override;
    void stop() override;

private:
    unsigned m_device = 0;
    bool m_initialised = false;
};
