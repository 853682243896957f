// A scripted audio CD burner for the burner window's tests: writers with their speeds and
// discs, files it refuses, and what the decoding of a file and a burn do while their calls
// run. It records every call.
#pragma once

#include "components/cAudioBurner/cAudioBurner.h"

#include <QList>
#include <QPointer>
#include <QStringList>

#include <functional>

struct FakeWriter {
    QString name;          // "D: ..." (the first character is the drive)
    QStringList speeds;    // KB/s as text
    qint32 size = 0;
    qint32 capacity = 0;
    QString state;         // "" blank
};

class FakeAudioBurner : public cAudioBurner
{
    Q_OBJECT
public:
    explicit FakeAudioBurner(QObject* parent = nullptr) : cAudioBurner(parent) {}

    QList<FakeWriter> writers;
    QStringList refused;  // files AddTrack answers false for
    // Runs inside Burn, raising the events of the burn; by default a burn that finishes.
    std::function<void(FakeAudioBurner*)> duringBurn;
    // Runs inside AddTrack after CachingTrack, while the file would be decoded: it may
    // report the decoding (decodeProgress) and press the window's buttons, as the window's
    // event loop runs during a real decode. An Abort that comes meanwhile makes that
    // AddTrack answer false.
    std::function<void(FakeAudioBurner*, const QString& file)> duringAddTrack;
    // Runs after each call is recorded.
    std::function<void(const QString&)> onCall;

    // "GetSpeedCount D", "AddTrack f", "ClearTracks", "Burn D 65535 flag=1", "Abort",
    // "OpenTray D", "CloseTray D", "CloseBurner" (the queries of the disc are left out).
    QStringList calls;
    QStringList tracks;  // the track list
    bool burning = false;
    bool adding = false;  // an AddTrack has not returned yet

    qint32 GetWriterCount() override { return qint32(writers.size()); }
    QString GetWriterName(qint32 Index) override;
    qint32 GetSpeedCount(const QString& Drive) override;
    QString GetSpeed(qint32 Index) override;
    qint32 GetDiscSize(const QString& Drive) override;
    qint32 GetDiscCapacity(const QString& Drive) override;
    QString GetDiscState(const QString& Drive) override;
    void OpenTray(const QString& Drive) override { record(QStringLiteral("OpenTray ") + Drive); }
    void CloseTray(const QString& Drive) override { record(QStringLiteral("CloseTray ") + Drive); }
    bool AddTrack(const QString& FileName) override;
    qint16 GetTrackCount() override { return qint16(tracks.size()); }
    void ClearTracks() override;
    qint32 Burn(const QString& Drive, qint32 Speed) override;
    void Abort() override;
    void CloseBurner() override { record(QStringLiteral("CloseBurner")); }

    // The decoding of the file being added, for duringAddTrack.
    void decodeProgress(qint32 percent) { emit TrackProgress(percent, 0); }
    // The events of a burn, for duringBurn.
    void writeTracks(int count);  // WritingTrack, Progress/TrackProgress 50 and 100, ClosingTrack each
    void finish() { emit Finished(); }
    void fail(qint32 code, const QString& text) { emit Error(code, text); }

private:
    const FakeWriter* writer(const QString& Drive) const;
    void record(const QString& call);
    QStringList m_speeds;
    bool m_addAborted = false;
};

// Makes CreateAudioBurner return fakes while it lives; each one made is kept for the test.
class FakeAudioBurnerFactory
{
public:
    FakeAudioBurnerFactory();
    ~FakeAudioBurnerFactory();
    QList<QPointer<FakeAudioBurner>> burners;
    std::function<void(FakeAudioBurner*)> setup;  // runs on each new fake
};
