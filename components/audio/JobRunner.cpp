// Worker thread and queued event delivery shared by the audio components.
#include "components/audio/JobRunner.h"

#include "components/cAudioConverter/cAudioConverter.h"
#include "platform/TempFiles.h"

#include <QFile>
#include <QMetaObject>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <algorithm>
#include <mutex>

JobOutcome CommitOutput(const QString& temp, const QString& target, const FileIdentity& replaceable,
                        const QString& shownTarget)
{
    const QString name = shownTarget.isEmpty() ? target : shownTarget;
    if (!ReplaceAgreedFile(QFile::encodeName(temp), QFile::encodeName(target), replaceable)) {
        const int error = errno;
        QFile::remove(temp);
        if (error == EEXIST)
            return JobOutcome::error(kErrOutputUnwritable,
                                     QStringLiteral("The output file \"%1\" was not written: a file of that name "
                                                    "appeared while the job ran, and it is left as it is.")
                                         .arg(name));
        return JobOutcome::error(kErrWriteFailed, QStringLiteral("Cannot write the output file \"%1\": %2.")
                                                      .arg(name, QString::fromLocal8Bit(strerror(error))));
    }
    return JobOutcome::done();
}

void JobControl::progress(int percent)
{
    percent = std::clamp(percent, 0, 100);
    report(percent, percent == 100);
}

void JobControl::report(int value, bool always)
{
    if (value == m_last)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (!always && m_last >= 0 && now - m_lastPost < std::chrono::milliseconds(40))
        return;
    m_last = value;
    m_lastPost = now;
    if (m_post)
        m_post(value);
}

JobRunner::JobRunner(QObject* owner) : m_owner(owner) {}

JobRunner::~JobRunner()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
        if (m_control)
            m_control->m_abort = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    if (m_busy && !m_lastOutcome.pendingTemp.isEmpty())
        QFile::remove(m_lastOutcome.pendingTemp);  // finished, but its end was never delivered
    delete m_control;
}

// The worker thread lives as long as the runner and runs one job at a time, so the parts
// of a split do not each pay for a new thread.
void JobRunner::workerLoop()
{
    while (true) {
        Work work;
        JobControl* control = nullptr;
        quint64 generation = 0;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || m_pending; });
            if (m_quit)
                return;
            work = std::move(m_work);
            m_work = nullptr;
            m_pending = false;
            control = m_control;
            generation = m_generation;
        }
        JobOutcome outcome;
        try {
            outcome = work(*control);
        } catch (const std::exception& e) {
            outcome = JobOutcome::error(99, QString::fromUtf8(e.what()));
        } catch (...) {
            outcome = JobOutcome::error(99, QStringLiteral("Unexpected failure."));
        }
        work = nullptr;
        m_lastOutcome = outcome;
        QMetaObject::invokeMethod(
            m_owner, [this, generation, outcome] { finish(generation, outcome); }, Qt::QueuedConnection);
    }
}

void JobRunner::start(Work work, OnProgress onProgress, OnEnd onEnd)
{
    m_onProgress = std::move(onProgress);
    m_onEnd = std::move(onEnd);
    m_busy = true;
    QObject* owner = m_owner;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        delete m_control;  // the previous job has delivered its end: nothing uses it
        m_control = new JobControl;
        m_lastOutcome = JobOutcome();
        const quint64 generation = ++m_generation;
        m_control->m_post = [this, owner, generation](int percent) {
            QMetaObject::invokeMethod(
                owner,
                [this, generation, percent] {
                    if (generation == m_generation && m_busy && m_onProgress)
                        m_onProgress(percent);
                },
                Qt::QueuedConnection);
        };
        m_work = std::move(work);
        m_pending = true;
    }
    if (!m_thread.joinable())
        m_thread = std::thread([this] { workerLoop(); });
    m_wake.notify_one();
}

void JobRunner::abort()
{
    if (m_busy && m_control)
        m_control->m_abort = true;
}

void JobRunner::finish(quint64 generation, const JobOutcome& outcome)
{
    if (generation != m_generation || !m_busy)
        return;
    m_busy = false;
    JobOutcome end = outcome;
    if (!end.pendingTemp.isEmpty()) {
        // An Abort that came after the work finished still wins: nothing is left behind.
        if (m_control && m_control->aborted()) {
            QFile::remove(end.pendingTemp);
            end = JobOutcome::aborted();
        } else {
            end = CommitOutput(end.pendingTemp, end.pendingTarget, end.pendingReplaceable, end.pendingShownTarget);
        }
    }
    OnEnd onEnd = std::move(m_onEnd);
    m_onEnd = nullptr;
    m_onProgress = nullptr;
    if (onEnd)
        onEnd(end);
}
