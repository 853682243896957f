// The burner's events from a writer's polled status.
#include "components/cAudioBurner/BurnSession.h"
#include "components/cAudioBurner/cAudioBurner.h"

#include <algorithm>

void BurnEventTranslator::feed(const WriterStatus& s)
{
    switch (s.stage) {
    case WriterStatus::Preparing:
    case WriterStatus::Ended:
        break;
    case WriterStatus::Writing:
        reach(s.track);
        // A track already closed is not written again: a late report of it is passed over.
        if (!m_currentClosed && s.track == m_current) {
            const qint64 percent = s.sectors > 0 ? s.sector * 100 / s.sectors : 0;
            showPercent(int(std::clamp<qint64>(percent, 0, 100)));
        }
        break;
    case WriterStatus::ClosingTrack:
        reach(s.track);
        closeCurrent();
        break;
    case WriterStatus::ClosingSession:
        reach(m_tracks - 1);
        closeCurrent();
        if (!m_sessionClosed) {
            m_sessionClosed = true;
            emit m_burner->ClosingSession();
        }
        break;
    }
}

void BurnEventTranslator::complete()
{
    feed({WriterStatus::ClosingSession, m_tracks - 1, 0, 0});
}

void BurnEventTranslator::reach(int track)
{
    track = std::clamp(track, 0, std::max(0, m_tracks - 1));
    while (m_current < track) {
        closeCurrent();
        ++m_current;
        m_currentClosed = false;
        m_lastPercent = -1;
        emit m_burner->WritingTrack();
    }
}

void BurnEventTranslator::closeCurrent()
{
    if (m_current < 0 || m_currentClosed)
        return;
    if (m_lastPercent < 100)
        showPercent(100);
    m_currentClosed = true;
    emit m_burner->ClosingTrack(0);
}

void BurnEventTranslator::showPercent(int percent)
{
    m_lastPercent = percent;
    emit m_burner->Progress(percent, m_current + 1);
    emit m_burner->TrackProgress(percent, 0);
}
