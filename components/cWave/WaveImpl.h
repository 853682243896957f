// The real wave component: capture from an SDL input device into a PCM WAV file written by
// SDL's capture thread, playback through the shared SDL playback, and WAV headers read
// with the program's own bounded RIFF reader.
#pragma once

#include "components/cWave/cWave.h"

#include <QHash>
#include <QTimer>

#include <memory>

class AudioPlayback;
struct WavLayout;

class WaveImpl : public cWave
{
    Q_OBJECT
public:
    explicit WaveImpl(QObject* parent = nullptr);
    ~WaveImpl() override;

    qint32 GetDeviceCount(qint32 Kind) override;
    void GetDeviceInfo(qint32& Index, WaveDeviceInfo& Info, qint32 Kind) override;
    void SetCutSilence(bool On) override { m_cutSilence = On; }
    void SetCutSilenceVal(qint32 Level) override { m_cutLevel = Level; }
    void SetMeterIn(bool On) override;
    void PreScreenOpen(WaveFormat& Format, qint32 Value) override;
    void PreScreenClose() override;
    qint32 RecordStart(qint32& DeviceIndex, const QString& FileName, WaveFormat& Format, qint16 Value) override;
    void RecordStop() override;
    void RecordPause() override;
    bool IsRecordPaused() override;
    void RecordUnPause() override;
    QString GetErrorText(qint32& Code) override;
    bool IsPlaying() override { return bool(m_play); }
    qint32 GetFileInfo(const QString& FileName, WaveFileInfo& Info) override;
    qint32 PlayStart(const QString& FileName, qint16 DeviceIndex, qint16 Value) override;
    qint32 PlayStop() override;
    void PlayPause() override;
    void PlayUnPause() override;
    qint32 GetPlayPosition() override;
    qint32 GetPlaySeconds() override;
    void Shutdown() override;

    struct Capture;
    struct Monitor;

private:
    // Records why the last call failed with that code, and returns the code.
    qint32 Fail(qint32 code, const QString& why);
    // The file's WAV layout: 0, or the error code of a missing file, a file that is not a
    // WAV file, or one whose header is damaged.
    qint32 ReadWave(const QString& path, WavLayout& wav);
    // Whether two paths name one file on disk (both must exist).
    static bool SameFile(const QString& a, const QString& b);
    // Closes the input device, completes the file and queues the end events.
    void EndRecording();
    void CaptureEnded(quint64 generation);
    void PlaybackEnded(quint64 generation);
    void MeterTick();

    std::unique_ptr<Monitor> m_monitor;  // outlives every capture that feeds it
    std::unique_ptr<Capture> m_rec;
    QString m_recPath;  // the file the running recording writes
    quint64 m_recGeneration = 0;
    bool m_cutSilence = false;
    qint32 m_cutLevel = 0;
    bool m_meterIn = false;
    QTimer m_meter;

    std::unique_ptr<AudioPlayback> m_play;
    QString m_playPath;
    double m_playLength = 0;  // seconds
    bool m_playedToEnd = false;
    quint64 m_playGeneration = 0;

    QHash<qint32, QString> m_reasons;
};
