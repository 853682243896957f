// The player component of the preview player and the item information: file facts,
// play, pause, resume, stop, position, and the levels and spectrum the audio graphs draw.
#pragma once

#include <QObject>
#include <QString>
#include <QVector>

#include <functional>

// What the audio graphs draw from: the newest samples handed to the output device.
struct PlayerAudioData {
    qint32 SampleRate = 0;  // of the samples below; 0 while nothing plays
    QVector<float> Left;    // -1 to 1, oldest first; a mono file plays on both sides
    QVector<float> Right;
};

class cPlayer : public QObject
{
    Q_OBJECT
public:
    explicit cPlayer(QObject* parent = nullptr);
    ~cPlayer() override;

    // Probes a file for its facts: 0 = opened; then SampleRate, Channels and Bitrate (bits
    // per second) describe it. Probing never touches the file that plays.
    virtual qint32 OpenFile(const QString& FileName) = 0;
    virtual qint32 SampleRate() const = 0;
    virtual qint32 Channels() const = 0;
    virtual qint32 Bitrate() const = 0;
    // Seconds: the length of the file that plays; while nothing plays, of the file last
    // opened.
    virtual double Length() const = 0;

    // Starts playing on the output device of that index (-1 or an unknown index: the
    // default device); 0 = playing, else an error code that GetErrorText explains.
    virtual qint32 Play(QString& FileName, qint32& DeviceIndex) = 0;
    virtual QString GetErrorText(qint32& Code) = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual bool IsPaused() = 0;
    virtual void StopPlay() = 0;
    virtual bool IsPlaying() = 0;

    // Position in seconds, the unit of Length.
    virtual qint32 GetPosition() = 0;
    virtual void SetPosition(qint32 Position) = 0;

    // "H:MM:SS" for a length or position in seconds.
    static QString FormatTime(qint32 Value);

    virtual PlayerAudioData AudioData() = 0;

signals:
    // A play has ended: at the end of the file, or after StopPlay.
    void PlayDone();
    void Notify(qint32 a, qint32 b, qint32 c);
};

// Error codes of Play.
enum PlayerErrorCode : qint32 {
    kPlayErrFileMissing = 1,
    kPlayErrUnreadable = 2,
    kPlayErrNoDevice = 3,
    kPlayErrBusy = 4,
};

using PlayerFactory = std::function<cPlayer*(QObject* parent)>;
cPlayer* CreatePlayer(QObject* parent);
void SetPlayerFactory(PlayerFactory factory);  // an empty factory restores the real one
