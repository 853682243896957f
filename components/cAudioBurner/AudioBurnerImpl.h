// The real audio CD burner component: writers from the drive registry, tracks decoded by
// the project's decoder into temporary files on a thread of its own, burns through libburn
// or the image writer.
#pragma once

#include "components/audio/CdDrives.h"
#include "components/cAudioBurner/BurnSession.h"
#include "components/cAudioBurner/cAudioBurner.h"

#include <QElapsedTimer>
#include <QList>
#include <QTemporaryDir>

#include <memory>

class JobRunner;
class LibburnDrive;
class QEventLoop;

class AudioBurnerImpl : public cAudioBurner
{
    Q_OBJECT
public:
    explicit AudioBurnerImpl(QObject* parent = nullptr);
    ~AudioBurnerImpl() override;

    qint32 GetWriterCount() override;
    QString GetWriterName(qint32 Index) override;
    qint32 GetSpeedCount(const QString& Drive) override;
    QString GetSpeed(qint32 Index) override;
    qint32 GetDiscSize(const QString& Drive) override;
    qint32 GetDiscCapacity(const QString& Drive) override;
    QString GetDiscState(const QString& Drive) override;
    void OpenTray(const QString& Drive) override;
    void CloseTray(const QString& Drive) override;

    bool AddTrack(const QString& FileName) override;
    qint16 GetTrackCount() override { return qint16(m_tracks.size()); }
    void ClearTracks() override;
    qint32 Burn(const QString& Drive, qint32 Speed) override;
    void Abort() override;
    void CloseBurner() override;

    bool IsBurning() const { return m_burning; }
    // Where the decoded tracks are kept ("" while there are none).
    QString TrackFolder() const { return m_folder ? m_folder->path() : QString(); }
    // How often the writer's status is polled while it burns.
    static constexpr int kPollMs = 100;
    // The least time between two TrackProgress reports while a file is decoded.
    static constexpr int kDecodeReportMs = 100;

private:
    // The writer of that drive letter (the first character of the text); false when none.
    bool writer(const QString& Drive, CdWriter& w);
    // The real writer grabbed for its disc's facts, kept until another is asked about or
    // the burner closes; null for an image target or a writer that cannot be grabbed.
    LibburnDrive* grabbed(const CdWriter& w);
    void releaseGrabbed();
    // Decodes the file into the track file `raw` on the decoder's thread and runs `loop`
    // until it has ended; the track's sectors, or -1 when it failed, was stopped, or the
    // burner was destroyed meanwhile (nothing of it may be touched then).
    qint64 decodeTrack(const QString& FileName, const QString& raw, QEventLoop& loop);
    void reportDecoding(int percent);

    QList<CdWriter> m_writers;
    bool m_writersRead = false;
    QList<qint32> m_speeds;
    QList<BurnTrack> m_tracks;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<LibburnDrive> m_grabbed;
    QString m_grabbedId;
    bool m_burning = false;
    bool m_abort = false;
    // The decoder's thread, made by the first AddTrack; while an AddTrack runs, the loop it
    // waits in, and whether Abort asked it to stop.
    std::unique_ptr<JobRunner> m_decoder;
    QEventLoop* m_decodeLoop = nullptr;
    bool m_decodeAborted = false;
    QElapsedTimer m_sinceReport;
};
