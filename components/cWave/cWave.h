// The wave component of the recorder window: lists the sound input devices, records one
// of them into a PCM WAV file (with a level meter, pause, an optional cut of the silence
// at the end and an optional monitor of what is captured on the default output), plays a
// WAV file back with its position, and reads a WAV file's format.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

// The format of a recording: the fields of a WAV file's format header, in its order.
struct WaveFormat {
    quint16 wFormatTag = 0;  // 1: plain PCM, the only format recorded
    quint16 nChannels = 0;
    quint32 nSamplesPerSec = 0;
    quint32 nAvgBytesPerSec = 0;
    quint16 nBlockAlign = 0;
    quint16 wBitsPerSample = 0;
    quint16 cbSize = 0;
};

// One sound device as GetDeviceInfo describes it.
struct WaveDeviceInfo {
    QString Name;
    QString Driver;          // the audio driver the device belongs to
    qint32 SampleRate = 0;   // the device's preferred rate; 0 when it does not say
    qint32 Channels = 0;     // the device's preferred channel count; 0 when it does not say
};

// A WAV file as GetFileInfo reads it from its header: its format, then where it is and how
// long it plays.
struct WaveFileInfo : WaveFormat {
    QString FileName;  // the name without its folder
    QString FilePath;  // the folder
    qint32 SecondsLength = 0;  // playing time, in whole seconds
};

// Device kinds of GetDeviceCount and GetDeviceInfo.
enum WaveDeviceKind : qint32 {
    kWaveOutputDevices = 1,
    kWaveInputDevices = 2,
};

// Error codes of RecordStart, PlayStart, PlayStop and GetFileInfo, and of RecordFailed;
// GetErrorText gives the reason of the last failure of each code.
enum WaveErrorCode : qint32 {
    kWaveErrNoDevice = 1,      // no sound device of the kind asked for
    kWaveErrDevice = 2,        // the device cannot be opened
    kWaveErrFormat = 3,        // a recording format the component does not record
    kWaveErrFileWrite = 4,     // the recording's file cannot be created or written
    kWaveErrFileMissing = 5,   // no such file
    kWaveErrNotWave = 6,       // not a WAV file, or a damaged one
    kWaveErrNotPcm = 7,        // a WAV file whose samples are not plain PCM
    kWaveErrBusy = 8,          // a recording (or playback) already runs
    kWaveErrSameFile = 9,      // the file being recorded is played, or the one playing recorded
    kWaveErrFileFull = 10,     // the recording reached the largest size a WAV file holds
};

class cWave : public QObject
{
    Q_OBJECT
public:
    explicit cWave(QObject* parent = nullptr) : QObject(parent) {}

    // Devices of a kind (kWaveInputDevices or kWaveOutputDevices), counted from 0.
    virtual qint32 GetDeviceCount(qint32 Kind) = 0;
    virtual void GetDeviceInfo(qint32& Index, WaveDeviceInfo& Info, qint32 Kind) = 0;

    // Whether a recording loses the silence at its end when it stops: the samples after
    // the last one at or above CutSilenceVal, a level on the meter's scale (0 to 120).
    virtual void SetCutSilence(bool On) = 0;
    virtual void SetCutSilenceVal(qint32 Level) = 0;
    // While on, MeterLevel reports the input level of a running recording.
    virtual void SetMeterIn(bool On) = 0;

    // The pre-screen: what a recording captures is also played on the default output
    // device, in this format. Value is not used.
    virtual void PreScreenOpen(WaveFormat& Format, qint32 Value) = 0;
    virtual void PreScreenClose() = 0;

    // Starts recording from input device DeviceIndex (-1: the default device) into
    // FileName in Format (PCM, 8 or 16 bits, 1 or 2 channels, 8000 to 44100 samples per
    // second) and returns at once: 0, or an error code. The file is a WAV file whose
    // header describes the samples written so far whenever the recording ends. Value is
    // not used.
    virtual qint32 RecordStart(qint32& DeviceIndex, const QString& FileName, WaveFormat& Format, qint16 Value) = 0;
    // Ends the recording and completes its file before returning; DoneRecord follows.
    virtual void RecordStop() = 0;
    // While paused, the captured sound is dropped.
    virtual void RecordPause() = 0;
    virtual bool IsRecordPaused() = 0;
    virtual void RecordUnPause() = 0;

    virtual QString GetErrorText(qint32& Code) = 0;
    // "H:MM:SS".
    QString SecondsToTimeText(qint32 Seconds);

    // Playback of a PCM WAV file on output device DeviceIndex (the default device when
    // there is none of that index). PlayStart returns at once: 0, or an error code; one
    // DonePlay follows when all of the file has played. Value is not used.
    virtual bool IsPlaying() = 0;
    virtual qint32 GetFileInfo(const QString& FileName, WaveFileInfo& Info) = 0;
    virtual qint32 PlayStart(const QString& FileName, qint16 DeviceIndex, qint16 Value) = 0;
    virtual qint32 PlayStop() = 0;
    virtual void PlayPause() = 0;
    virtual void PlayUnPause() = 0;
    // How far the playback is, 0 to 100, and in whole seconds; after the end of the file
    // they stay at its end until PlayStop.
    virtual qint32 GetPlayPosition() = 0;
    virtual qint32 GetPlaySeconds() = 0;

    // Stops a playback and a recording and closes the component's devices; SDL's audio
    // stays up for the other users.
    virtual void Shutdown() = 0;

signals:
    void DonePlay();
    // A recording has ended, by RecordStop or by itself; when by itself because of a
    // failure, RecordFailed came just before.
    void DoneRecord();
    void RecordFailed(qint32 Code);
    void MeterLevel(qint16 Level);
};

// The windows create their wave component here; tests may replace the factory.
using WaveFactory = std::function<cWave*(QObject* parent)>;
cWave* CreateWave(QObject* parent);
void SetWaveFactory(WaveFactory factory);  // an empty factory restores the real one
