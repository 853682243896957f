#include "tests/support/FakeAudioBurner.h"

QString FakeAudioBurner::GetWriterName(qint32 Index)
{
    return Index >= 1 && Index <= writers.size() ? writers[Index - 1].name : QString();
}

const FakeWriter* FakeAudioBurner::writer(const QString& Drive) const
{
    for (const FakeWriter& w : writers)
        if (!Drive.isEmpty() && w.name.startsWith(Drive.at(0)))
            return &w;
    return nullptr;
}

void FakeAudioBurner::record(const QString& call)
{
    calls << call;
    if (onCall)
        onCall(call);
}

qint32 FakeAudioBurner::GetSpeedCount(const QString& Drive)
{
    record(QStringLiteral("GetSpeedCount ") + Drive);
    const FakeWriter* w = writer(Drive);
    m_speeds = w ? w->speeds : QStringList();
    return qint32(m_speeds.size());
}

QString FakeAudioBurner::GetSpeed(qint32 Index)
{
    return Index >= 1 && Index <= m_speeds.size() ? m_speeds[Index - 1] : QString();
}

qint32 FakeAudioBurner::GetDiscSize(const QString& Drive)
{
    const FakeWriter* w = writer(Drive);
    return w ? w->size : 0;
}

qint32 FakeAudioBurner::GetDiscCapacity(const QString& Drive)
{
    const FakeWriter* w = writer(Drive);
    return w ? w->capacity : 0;
}

QString FakeAudioBurner::GetDiscState(const QString& Drive)
{
    const FakeWriter* w = writer(Drive);
    return w ? w->state : QStringLiteral("No writer.");
}

bool FakeAudioBurner::AddTrack(const QString& FileName)
{
    record(QStringLiteral("AddTrack ") + FileName);
    emit CachingTrack();
    m_addAborted = false;
    adding = true;
    if (duringAddTrack)
        duringAddTrack(this, FileName);
    adding = false;
    if (m_addAborted || refused.contains(FileName))
        return false;
    tracks << FileName;
    return true;
}

void FakeAudioBurner::Abort()
{
    record(QStringLiteral("Abort"));
    if (adding)
        m_addAborted = true;
}

void FakeAudioBurner::ClearTracks()
{
    record(QStringLiteral("ClearTracks"));
    tracks.clear();
}

qint32 FakeAudioBurner::Burn(const QString& Drive, qint32 Speed)
{
    record(QStringLiteral("Burn %1 %2 flag=%3").arg(Drive).arg(Speed).arg(BurnFlag() ? 1 : 0));
    burning = true;
    if (duringBurn) {
        duringBurn(this);
    } else {
        writeTracks(int(tracks.size()));
        emit ClosingSession();
        finish();
    }
    burning = false;
    return 0;
}

void FakeAudioBurner::writeTracks(int count)
{
    for (int t = 1; t <= count; ++t) {
        emit WritingTrack();
        for (int p : {50, 100}) {
            emit Progress(p, t);
            emit TrackProgress(p, 0);
        }
        emit ClosingTrack(0);
    }
}

FakeAudioBurnerFactory::FakeAudioBurnerFactory()
{
    SetAudioBurnerFactory([this](QObject* parent) {
        auto* f = new FakeAudioBurner(parent);
        burners << f;
        if (setup)
            setup(f);
        return f;
    });
}

FakeAudioBurnerFactory::~FakeAudioBurnerFactory()
{
    SetAudioBurnerFactory({});
}
