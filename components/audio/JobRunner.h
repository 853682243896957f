// Runs one audio job at a time on a worker thread of its own and delivers its progress and
// its one terminal event, queued and in order, on the owner's (the GUI) thread.
#pragma once

#include "platform/FileIdentity.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <functional>
#include <thread>

struct JobOutcome {
    enum Kind { Done, Aborted, Failed };
    Kind kind = Done;
    qint32 code = 0;
    QString description;
    QString pendingTemp;    // a finished output still to be renamed into place
    QString pendingTarget;
    QString pendingShownTarget;  // the target as the user named it, for an error
    FileIdentity pendingReplaceable;  // the file of the target's name it may replace

    static JobOutcome done() { return {}; }
    static JobOutcome aborted()
    {
        JobOutcome o;
        o.kind = Aborted;
        return o;
    }
    static JobOutcome error(qint32 c, const QString& d)
    {
        JobOutcome o;
        o.kind = Failed;
        o.code = c;
        o.description = d;
        return o;
    }
};

// Puts a finished temporary output in place under its target's name. The file `replaceable`
// (the one the user agreed to replace, as it was then) is replaced; any other file that has
// the name (it took it while the job ran) is left as it is and the output is not written.
// The temporary file is gone either way. Errors name shownTarget (the target when empty),
// the file the user asked for.
JobOutcome CommitOutput(const QString& temp, const QString& target, const FileIdentity& replaceable,
                        const QString& shownTarget = QString());

// What a running job sees: its abort flag and a way to report progress (0..100). Progress
// reaches the owner's thread at most every 40 ms (and always at 100): a split into many
// short parts would otherwise wake that thread a hundred times for each part.
class JobControl
{
public:
    bool aborted() const { return m_abort.load(std::memory_order_relaxed); }
    const std::atomic<bool>& abortFlag() const { return m_abort; }
    void progress(int percent);
    // A progress value on the job's own scale, passed on as it is; `always` skips the
    // pacing (for a value the owner must see, such as the first of a new step).
    void report(int value, bool always);

private:
    friend class JobRunner;
    std::atomic<bool> m_abort{false};
    std::function<void(int)> m_post;
    int m_last = -1;
    std::chrono::steady_clock::time_point m_lastPost{};
};

class JobRunner
{
public:
    using Work = std::function<JobOutcome(JobControl&)>;
    using OnProgress = std::function<void(int)>;
    using OnEnd = std::function<void(const JobOutcome&)>;

    // Events are delivered through queued calls on owner; none arrive once it is gone.
    explicit JobRunner(QObject* owner);
    ~JobRunner();  // aborts a running job and waits for its thread

    bool busy() const { return m_busy; }
    // Starts work on the worker thread. The callbacks run on the owner's thread; onEnd runs
    // exactly once, after every progress report, with the job already finished, so it
    // may start the next job.
    void start(Work work, OnProgress onProgress, OnEnd onEnd);
    void abort();

private:
    void workerLoop();
    void finish(quint64 generation, const JobOutcome& outcome);

    QObject* m_owner;  // outlives the runner (the runner is its member)
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    Work m_work;            // the job handed to the worker
    bool m_pending = false;
    bool m_quit = false;
    JobControl* m_control = nullptr;
    OnProgress m_onProgress;
    OnEnd m_onEnd;
    bool m_busy = false;
    quint64 m_generation = 0;
    JobOutcome m_lastOutcome;  // written by the worker before it ends; read after joining it
};

// A component's own events for the progress and the end of a job: Progress(percent), then
// exactly one of Done(), Aborted() or Error(code, description).
template <class Component>
JobRunner::OnProgress ProgressEvent(Component* component)
{
    return [component](int percent) { emit component->Progress(percent); };
}

template <class Component>
JobRunner::OnEnd EndEvents(Component* component)
{
    return [component](const JobOutcome& outcome) {
        switch (outcome.kind) {
        case JobOutcome::Done:
            emit component->Done();
            break;
        case JobOutcome::Aborted:
            emit component->Aborted();
            break;
        case JobOutcome::Failed:
            emit component->Error(outcome.code, outcome.description);
            break;
        }
    };
}
