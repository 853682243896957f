// The real player component over FFmpeg (decoding) and SDL2 (the output device).
#pragma once

#include "components/cPlayer/cPlayer.h"

#include <memory>

class AudioPlayback;

class PlayerImpl : public cPlayer
{
    Q_OBJECT
public:
    explicit PlayerImpl(QObject* parent = nullptr);
    ~PlayerImpl() override;

    qint32 OpenFile(const QString& FileName) override;
    qint32 SampleRate() const override { return m_sampleRate; }
    qint32 Channels() const override { return m_channels; }
    qint32 Bitrate() const override { return m_bitrate; }
    double Length() const override;

    qint32 Play(QString& FileName, qint32& DeviceIndex) override;
    QString GetErrorText(qint32& Code) override;
    void Pause() override;
    void Resume() override;
    bool IsPaused() override;
    void StopPlay() override;
    bool IsPlaying() override;
    qint32 GetPosition() override;
    void SetPosition(qint32 Position) override;
    PlayerAudioData AudioData() override;

private:
    void onPlaybackEnded(quint64 generation);

    // The facts of the file last opened; the file that plays keeps its length apart.
    qint32 m_sampleRate = 0;
    qint32 m_channels = 0;
    qint32 m_bitrate = 0;
    double m_length = 0;
    std::unique_ptr<AudioPlayback> m_play;
    double m_playLength = 0;
    quint64 m_generation = 0;
};
