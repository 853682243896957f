// The audio CD burner component: the CD writers (real ones through libburn, and image
// targets that receive a BIN/CUE image), their speeds and discs, a list of tracks decoded
// from audio files, and the burn of that list as one session of audio tracks.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class cAudioBurner : public QObject
{
    Q_OBJECT
public:
    explicit cAudioBurner(QObject* parent = nullptr) : QObject(parent) {}
    ~cAudioBurner() override = default;

    // Writers count from 1; a writer's name begins with its drive letter, and every call
    // that takes a drive is given that letter.
    virtual qint32 GetWriterCount() = 0;
    virtual QString GetWriterName(qint32 Index) = 0;
    // The write speeds of a writer, in KB/s as text; GetSpeed counts from 1 over the list
    // of the last GetSpeedCount.
    virtual qint32 GetSpeedCount(const QString& Drive) = 0;
    virtual QString GetSpeed(qint32 Index) = 0;
    // The disc in the writer: its size in sectors, its capacity in bytes (/ 153535 / 60
    // gives minutes), and "" when it can be burned, else why not.
    virtual qint32 GetDiscSize(const QString& Drive) = 0;
    virtual qint32 GetDiscCapacity(const QString& Drive) = 0;
    virtual QString GetDiscState(const QString& Drive) = 0;
    virtual void OpenTray(const QString& Drive) = 0;
    virtual void CloseTray(const QString& Drive) = 0;

    // Decodes an audio file into the track list; false for a file that cannot be decoded,
    // or when Abort stopped the decoding (nothing of it is kept). CachingTrack comes first,
    // then TrackProgress(percent, 0) as the decoding goes. The caller's events go on while it
    // decodes, so a window repaints and its Abort is heard; a call made from one of them
    // (AddTrack, Burn, ClearTracks, CloseBurner) is refused.
    virtual bool AddTrack(const QString& FileName) = 0;
    virtual qint16 GetTrackCount() = 0;
    virtual void ClearTracks() = 0;
    void SetBurnFlag(bool flag) { m_bBurnFlag = flag; }
    bool BurnFlag() const { return m_bBurnFlag; }
    // Burns the track list and returns when the burn has ended (0 = success). The events
    // arrive while it runs; the last is exactly one of Finished or Error. Speed is in KB/s,
    // 65535 for the fastest. The track list is empty again afterwards. A disc that cannot
    // take the tracks ends in Error before anything is written.
    virtual qint32 Burn(const QString& Drive, qint32 Speed) = 0;
    virtual void Abort() = 0;
    // Releases the writer and every temporary file.
    virtual void CloseBurner() = 0;

signals:
    void Progress(qint32 Percent, qint32 Track);
    void TrackProgress(qint32 Percent, qint32 Unused);
    void ClosingSession();
    void ClosingTrack(qint32 Unused);
    void CachingTrack();
    void WritingTrack();
    void Finished();
    void Error(qint32 Code, QString Description);

private:
    bool m_bBurnFlag = false;
};

using AudioBurnerFactory = std::function<cAudioBurner*(QObject* parent)>;
cAudioBurner* CreateAudioBurner(QObject* parent);
void SetAudioBurnerFactory(AudioBurnerFactory factory);  // an empty factory restores the real one
