// Checks of what the audio CD burner does: its events as text, the CD audio a file
// should become, and the standard disc id of a table of contents.
#pragma once

#include "components/cAudioBurner/cAudioBurner.h"
#include "tests/support/AudioFixtures.h"

#include <QFile>
#include <QList>
#include <QObject>
#include <QStringList>

#include <functional>

// What the project's decoder gives for a file at 44.1 kHz 16-bit stereo, padded with
// silence to whole 2352-byte sectors; `scratch` is a WAV file the test may write.
inline QByteArray CdAudioOf(const QString& source, const QString& scratch)
{
    QFile::remove(scratch);
    if (!AudioFixtures::encode(source, scratch, AudioFixtures::wavSettings(44100, 2, 16)))
        return QByteArray();
    const QByteArray pcm = AudioFixtures::wavData(scratch);
    return pcm + QByteArray((2352 - pcm.size() % 2352) % 2352, '\0');
}

// The standard disc id of a table of contents: each track's first sector and the
// lead-out, as LSN (the 150 sectors before the first track not counted).
inline quint32 DiscId(const QList<qint32>& starts, qint32 leadout)
{
    const auto digitSum = [](int v) {
        int s = 0;
        for (; v > 0; v /= 10)
            s += v % 10;
        return s;
    };
    int n = 0;
    for (qint32 s : starts)
        n += digitSum((s + 150) / 75);
    const int t = (leadout + 150) / 75 - (starts.first() + 150) / 75;
    return quint32(n % 255) << 24 | quint32(t) << 8 | quint32(starts.size());
}

// Records the events of a burner as text, in order: "Caching", "Writing", "Progress p t",
// "TrackProgress p", "ClosingTrack", "ClosingSession", "Finished", "Error code text".
// `onEvent` runs after each one is recorded.
struct BurnerLog : QObject {
    QStringList events;
    std::function<void(const QString&)> onEvent;

    explicit BurnerLog(cAudioBurner* b)
    {
        connect(b, &cAudioBurner::CachingTrack, this, [this] { add(QStringLiteral("Caching")); });
        connect(b, &cAudioBurner::WritingTrack, this, [this] { add(QStringLiteral("Writing")); });
        connect(b, &cAudioBurner::Progress, this,
                [this](qint32 p, qint32 t) { add(QStringLiteral("Progress %1 %2").arg(p).arg(t)); });
        connect(b, &cAudioBurner::TrackProgress, this,
                [this](qint32 p, qint32) { add(QStringLiteral("TrackProgress %1").arg(p)); });
        connect(b, &cAudioBurner::ClosingTrack, this, [this](qint32) { add(QStringLiteral("ClosingTrack")); });
        connect(b, &cAudioBurner::ClosingSession, this, [this] { add(QStringLiteral("ClosingSession")); });
        connect(b, &cAudioBurner::Finished, this, [this] { add(QStringLiteral("Finished")); });
        connect(b, &cAudioBurner::Error, this,
                [this](qint32 c, const QString& d) { add(QStringLiteral("Error %1 %2").arg(c).arg(d)); });
    }

    // The events without the progress reports, which depend on the writer's speed.
    QStringList stages() const
    {
        QStringList out;
        for (const QString& e : events)
            if (!e.startsWith(QLatin1String("Progress")) && !e.startsWith(QLatin1String("TrackProgress")))
                out << e;
        return out;
    }

    int terminalEvents() const
    {
        int n = 0;
        for (const QString& e : events)
            n += e == QLatin1String("Finished") || e.startsWith(QLatin1String("Error"));
        return n;
    }

private:
    void add(const QString& e)
    {
        events << e;
        if (onEvent)
            onEvent(e);
    }
};
