// Scriptable fakes of the converter, player and CD ripper components for window tests:
// they answer from a script, record what the window set and started, and let the test
// deliver progress and the terminal events in order.
#pragma once

#include "components/cAudioCDRipper/cAudioCDRipper.h"
#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cAudioJoin/cAudioJoin.h"
#include "components/cPlayer/cPlayer.h"
#include "components/cWave/cWave.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QStringList>

// ---- converter -------------------------------------------------------------------------
struct FakeFileScript {
    qint32 result = 0;  // what ReadFileInfo returns
    qint32 durationMs = 0;
    qint32 sampleRate = 44100;
    qint16 channels = 2;
    qint32 bitsPerSample = 16;
    AudioTags tags;
};

// What one StartConvert / StartRip was asked to do.
struct FakeJobRecord {
    QString source;
    QString output;
    qint32 format = 0;
    bool hasRange = false;
    qint32 rangeStart = 0;
    qint32 rangeLength = 0;
    AudioTags tags;
    EncoderSettings settings;
    qint32 deviceIndex = 0;  // ripper only
    qint32 trackNumber = 0;  // ripper only
};

// How a started job ends when the test does not end it by hand.
enum class FakeAutoFinish { None, Done, Error };

class FakeAudioConverter : public cAudioConverter
{
    Q_OBJECT
public:
    explicit FakeAudioConverter(QObject* parent = nullptr) : cAudioConverter(parent) {}

    // Script.
    QHash<QString, FakeFileScript> files;  // unknown files read as result 2, duration 0
    QStringList acmTags{QStringLiteral("PCM"), QStringLiteral("IMA ADPCM")};
    QHash<QString, QStringList> acmFormats{{QStringLiteral("PCM"), {QStringLiteral("44100 Hz, 16 Bit, Stereo")}},
                                           {QStringLiteral("IMA ADPCM"), {QStringLiteral("44100 Hz, 4 Bit, Stereo")}}};
    QList<QPair<QString, QStringList>> wmaCodecs{{QStringLiteral("WMA Version 2"), {QStringLiteral("128 kbps, 44100 Hz, Stereo")}}};
    FakeAutoFinish autoFinish = FakeAutoFinish::None;  // queued after StartConvert
    qint32 autoErrorCode = 6;
    QString autoErrorText = QStringLiteral("Scripted failure.");
    // When set, a job that ends well leaves a small file at its output, as a real one would.
    bool writeOutputs = false;
    // What WrittenMs reports after each job that ended well (-1, not known, when the list
    // has no entry for it).
    QList<qint64> writtenMs;

    // Record.
    QList<FakeJobRecord> started;
    QStringList readInfoCalls;
    QStringList readTagsCalls;
    QList<QList<qint32>> enumTagCalls;  // FormatTag, SamplesPerSec, Channels, BitsPerSample, Flags
    QStringList enumFormatCalls;
    int abortCalls = 0;
    int closeCalls = 0;
    int closeConverterCalls = 0;

    qint32 ReadFileInfo(const QString& FileName) override;
    qint32 Duration() const override { return m_current.durationMs; }
    qint32 SampleRate() const override { return m_current.sampleRate; }
    qint16 Channels() const override { return m_current.channels; }
    qint32 BitsPerSample() const override { return m_current.bitsPerSample; }
    void ReadTags(const QString& FileName) override;
    void CloseFile() override { ++closeCalls; }
    // Files whose result is not 0 say "The file "<name>" cannot be read.".
    QString FileInfoError() const override { return m_infoError; }
    void StartConvert() override;
    void Abort() override { ++abortCalls; }
    bool IsConverting() const override { return m_running; }
    void CloseConverter() override;
    void EnumACMTags(qint32 FormatTag, qint32 SamplesPerSec, qint32 Channels, qint32 BitsPerSample, qint32 Flags) override;
    void EnumACMFormats(const QString& TagName) override;
    qint32 GetWMACodecCount() override { return qint32(wmaCodecs.size()); }
    QString GetWMACodecName(qint32& CodecIndex) override;
    qint32 GetWMAFormatCount(qint32 CodecIndex) override;
    QString GetWMAFormatName(qint32 CodecIndex, qint32& FormatIndex) override;

    // Deliver events of the running job (directly, as the real one does on the GUI thread).
    void emitProgress(qint32 percent) { emit Progress(percent); }
    void finishDone();
    void finishError(qint32 code, const QString& description);
    void finishAborted();
    bool isRunning() const { return m_running; }

private:
    FakeFileScript m_current{0, 0, 0, 0, 0, {}};
    QString m_infoError;
    bool m_running = false;
};

// ---- player ----------------------------------------------------------------------------
struct FakePlayerScript {
    qint32 result = 0;
    qint32 sampleRate = 44100;
    qint32 channels = 2;
    qint32 bitrate = 1411200;
    double length = 0;
};

class FakePlayer : public cPlayer
{
    Q_OBJECT
public:
    explicit FakePlayer(QObject* parent = nullptr) : cPlayer(parent) {}

    QHash<QString, FakePlayerScript> files;  // unknown files: OpenFile/Play give 2
    qint32 playResult = -1;                  // when not -1, what Play returns whatever the file
    qint32 position = 0;
    PlayerAudioData audioData;
    bool playDoneAfterStop = true;  // queue PlayDone after StopPlay, as the real player does

    QStringList opened;
    QList<QPair<QString, qint32>> plays;  // file, device index
    QStringList calls;                    // "Pause", "Resume", "StopPlay", "SetPosition 12"

    qint32 OpenFile(const QString& FileName) override;
    qint32 SampleRate() const override { return m_current.sampleRate; }
    qint32 Channels() const override { return m_current.channels; }
    qint32 Bitrate() const override { return m_current.bitrate; }
    double Length() const override { return m_playing ? m_played.length : m_current.length; }
    qint32 Play(QString& FileName, qint32& DeviceIndex) override;
    QString GetErrorText(qint32& Code) override { return QStringLiteral("Error %1").arg(Code); }
    void Pause() override;
    void Resume() override;
    bool IsPaused() override { return m_paused; }
    void StopPlay() override;
    bool IsPlaying() override { return m_playing; }
    qint32 GetPosition() override { return position; }
    void SetPosition(qint32 Position) override;
    PlayerAudioData AudioData() override { return audioData; }

    // The file plays to its end: PlayDone now.
    void finishPlay();

private:
    FakePlayerScript m_current{0, 0, 0, 0, 0};  // the file last opened
    FakePlayerScript m_played{0, 0, 0, 0, 0};   // the file that plays
    bool m_playing = false;
    bool m_paused = false;
};

// ---- CD ripper -------------------------------------------------------------------------
struct FakeCdTrack {
    qint32 seconds = 0;
    bool audio = true;
};
struct FakeCdDrive {
    QString name;  // "D: ..." (first two characters are the drive)
    bool selectable = true;
    QList<FakeCdTrack> tracks;  // empty: no disc
};

class FakeAudioCDRipper : public cAudioCDRipper
{
    Q_OBJECT
public:
    explicit FakeAudioCDRipper(QObject* parent = nullptr) : cAudioCDRipper(parent) {}

    QList<FakeCdDrive> drives;
    FakeAutoFinish autoFinish = FakeAutoFinish::None;
    qint32 autoErrorCode = 13;
    QString autoErrorText = QStringLiteral("Scripted failure.");

    QList<FakeJobRecord> started;
    QStringList calls;  // "SelectDevice 0", "OpenTray", "CloseTray", "CloseDevice", "Abort"

    qint32 GetDeviceCount() override { return qint32(drives.size()); }
    QString GetDeviceName(qint32 Index) override;
    bool SelectDevice(qint32 Index) override;
    bool IsAudioCD() override;
    qint32 GetTrackCount() override;
    qint32 GetTrackLength(qint32& Track) override;
    qint32 GetTrackType(qint32& Track) override;
    void OpenTray() override { calls << QStringLiteral("OpenTray"); }
    void CloseTray() override { calls << QStringLiteral("CloseTray"); }
    void CloseDevice() override;
    void StartRip() override;
    void Abort() override { calls << QStringLiteral("Abort"); }
    bool IsRipping() const override { return m_running; }

    void emitProgress(qint32 percent) { emit Progress(percent); }
    void finishDone();
    void finishError(qint32 code, const QString& description);
    void finishAborted();
    bool isRunning() const { return m_running; }

private:
    const FakeCdTrack* track(qint32 number) const;
    qint32 m_current = -1;
    bool m_running = false;
};

// ---- join ------------------------------------------------------------------------------
// What one StartJoin was asked to do: the entries as the list held them, and the output.
struct FakeJoinRecord {
    QList<JoinEntry> entries;
    FakeJobRecord job;  // output, format, tags, settings
};

class FakeAudioJoin : public cAudioJoin
{
    Q_OBJECT
public:
    explicit FakeAudioJoin(QObject* parent = nullptr) : cAudioJoin(parent) {}

    FakeAutoFinish autoFinish = FakeAutoFinish::None;  // queued after StartJoin
    qint32 autoErrorCode = 6;
    QString autoErrorText = QStringLiteral("Scripted failure.");

    QList<FakeJoinRecord> started;
    // Every call on the list and the job, in order: "AddFile <path> <start> <length>",
    // "RemoveFile 1", "StartJoin", "Abort", "Reset", "Close".
    QStringList calls;

    void AddFile(const QString& FileName, qint32& Start, qint32& Length) override;
    void RemoveFile(qint32 Index) override;
    void StartJoin() override;
    bool IsJoining() const override { return m_running; }
    void Abort() override { calls << QStringLiteral("Abort"); }
    void Reset() override { calls << QStringLiteral("Reset"); }
    void Close() override;

    void emitProgress(qint32 entry, qint32 percent) { emit Progress(entry, percent); }
    void finishDone();
    void finishError(qint32 code, const QString& description);
    void finishAborted();
    bool isRunning() const { return m_running; }

private:
    bool m_running = false;
};

// ---- wave recorder ---------------------------------------------------------------------
// What one RecordStart or PlayStart was asked to do.
struct FakeWaveStart {
    QString file;
    qint32 device = 0;
    qint32 value = 0;
    WaveFormat format;  // RecordStart only
    QString output;     // PlayStart only: the output device the file plays on
};

class FakeWave : public cWave
{
    Q_OBJECT
public:
    explicit FakeWave(QObject* parent = nullptr) : cWave(parent) {}

    // Script.
    QList<WaveDeviceInfo> inputs{{QStringLiteral("Fake Microphone"), QStringLiteral("fake"), 44100, 2}};
    // PlayStart plays on the output of its index, or on kDefaultOutput when there is none.
    QList<WaveDeviceInfo> outputs;
    static inline const QString kDefaultOutput = QStringLiteral("the default output");
    qint32 recordResult = 0;    // what RecordStart returns
    qint32 playResult = 0;      // what PlayStart returns
    qint32 playStopResult = 0;  // what PlayStop returns
    QHash<qint32, QString> errorTexts;  // GetErrorText; other codes read "Error <code>."
    // GetFileInfo fills the record of a file from here and returns 0; other files give 5
    // and leave the record as it was.
    QHash<QString, WaveFileInfo> fileInfos;
    qint32 position = 0;  // GetPlayPosition
    qint32 seconds = 0;   // GetPlaySeconds

    // Record: every call in order ("RecordStart", "RecordStop", "RecordPause",
    // "RecordUnPause", "PlayStart", "PlayStop", "PlayPause", "PlayUnPause", "Shutdown",
    // "MeterIn 1", "CutSilence 1", "CutSilenceVal 20", "PreScreenOpen", "PreScreenClose").
    QStringList calls;
    QList<FakeWaveStart> recordStarts;
    QList<FakeWaveStart> playStarts;
    QList<WaveFormat> preScreenFormats;

    qint32 GetDeviceCount(qint32 Kind) override;
    void GetDeviceInfo(qint32& Index, WaveDeviceInfo& Info, qint32 Kind) override;
    void SetCutSilence(bool On) override { calls << QStringLiteral("CutSilence %1").arg(On ? 1 : 0); }
    void SetCutSilenceVal(qint32 Level) override { calls << QStringLiteral("CutSilenceVal %1").arg(Level); }
    void SetMeterIn(bool On) override { calls << QStringLiteral("MeterIn %1").arg(On ? 1 : 0); }
    void PreScreenOpen(WaveFormat& Format, qint32 Value) override;
    void PreScreenClose() override { calls << QStringLiteral("PreScreenClose"); }
    qint32 RecordStart(qint32& DeviceIndex, const QString& FileName, WaveFormat& Format, qint16 Value) override;
    // Queues DoneRecord after a running recording, as the real one does.
    void RecordStop() override;
    void RecordPause() override;
    bool IsRecordPaused() override { return m_paused; }
    void RecordUnPause() override;
    QString GetErrorText(qint32& Code) override;
    bool IsPlaying() override { return m_playing; }
    qint32 GetFileInfo(const QString& FileName, WaveFileInfo& Info) override;
    qint32 PlayStart(const QString& FileName, qint16 DeviceIndex, qint16 Value) override;
    qint32 PlayStop() override;
    void PlayPause() override { calls << QStringLiteral("PlayPause"); }
    void PlayUnPause() override { calls << QStringLiteral("PlayUnPause"); }
    qint32 GetPlayPosition() override { return position; }
    qint32 GetPlaySeconds() override { return seconds; }
    void Shutdown() override { calls << QStringLiteral("Shutdown"); }

    bool isRecording() const { return m_recording; }
    // The file has played to its end: DonePlay now.
    void finishPlay();
    void emitMeter(qint16 level) { emit MeterLevel(level); }

private:
    bool m_recording = false;
    bool m_paused = false;
    bool m_playing = false;
};

// Installs the fakes as what CreateAudioConverter / CreatePlayer / CreateAudioCDRipper /
// CreateAudioJoin / CreateWave return while it lives; each created fake is kept for the test to reach.
class FakeAudioFactories
{
public:
    FakeAudioFactories();
    ~FakeAudioFactories();
    QList<QPointer<FakeAudioConverter>> converters;
    QList<QPointer<FakePlayer>> players;
    QList<QPointer<FakeAudioCDRipper>> rippers;
    QList<QPointer<FakeAudioJoin>> joins;
    QList<QPointer<FakeWave>> waves;
    std::function<void(FakeAudioConverter*)> setupConverter;  // runs on each new fake
    std::function<void(FakePlayer*)> setupPlayer;
    std::function<void(FakeAudioCDRipper*)> setupRipper;
    std::function<void(FakeAudioJoin*)> setupJoin;
    std::function<void(FakeWave*)> setupWave;
};
