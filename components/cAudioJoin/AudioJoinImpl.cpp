// The real join component: the join runs on the component's worker thread; its progress
// and its one terminal event are queued back to the thread that started it.
#include "components/cAudioJoin/AudioJoinImpl.h"

#include "components/cAudioConverter/cAudioConverter.h"
#include "components/cAudioJoin/JoinPipeline.h"

AudioJoinImpl::AudioJoinImpl(QObject* parent) : cAudioJoin(parent), m_runner(this) {}

AudioJoinImpl::~AudioJoinImpl() = default;

void AudioJoinImpl::StartJoin()
{
    if (m_runner.busy()) {
        QMetaObject::invokeMethod(
            this, [this] { emit Error(kErrBusy, QStringLiteral("A join is already running.")); }, Qt::QueuedConnection);
        return;
    }
    JoinRequest req;
    req.entries = m_entries;
    req.output = m_outputFile;
    req.replaceable = takeOverwriteAgreed();
    req.settings = m_settings;
    req.tags = m_tags;
    req.allowCopy = m_allowCopy;
    m_runner.start([req](JobControl& control) { return RunJoin(req, control, nullptr, true); },
                   [this](int value) {
                       qint32 entry = 0, percent = 0;
                       JoinProgressOf(value, entry, percent);
                       emit Progress(entry, percent);
                   },
                   EndEvents(this));
}

bool AudioJoinImpl::IsJoining() const
{
    return m_runner.busy();
}

void AudioJoinImpl::Abort()
{
    m_runner.abort();
}

void AudioJoinImpl::Reset()
{
    // The stopped join cleans up after itself; its Aborted event is still to come.
}

void AudioJoinImpl::Close()
{
    m_runner.abort();
    m_entries.clear();
}
