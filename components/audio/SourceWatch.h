// The source files a job reads, as they were when it started: a source that is cut short,
// replaced or rewritten while the job reads it fails the job, whatever the read made of
// it, before the job's output takes its name.
#pragma once

#include "components/audio/JobRunner.h"
#include "components/audio/OutputTarget.h"
#include "platform/FileIdentity.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class SourceWatch
{
public:
    SourceWatch() = default;
    // Notes each file as it is now.
    explicit SourceWatch(const QStringList& paths);

    // Every file is as it was when noted.
    bool unchanged() const;
    // The outcome of a job that read the files, checked before its output is put in place:
    // as it is while they are unchanged (or the job was aborted); otherwise the error that
    // says a source changed, in place of the job's end or error.
    JobOutcome check(const JobOutcome& outcome) const;

private:
    QList<QPair<QString, FileIdentity>> m_files;
};

// The error of an item whose source changed while it was worked on.
JobOutcome SourceChangedError();

// Runs a job that writes into `out` while reading `sources`, then puts its output in place
// (or, with deferCommit, leaves the finished temporary file for the caller) only when the
// job ended well and every source is as it was when the job began; otherwise the
// temporary file goes with `out`.
template <typename Job>
JobOutcome WriteFromWatchedSources(const QStringList& sources, bool deferCommit, Job job)
{
    const SourceWatch watch(sources);
    OutputTarget out;
    const JobOutcome r = watch.check(job(out));
    if (r.kind != JobOutcome::Done)
        return r;
    return deferCommit ? out.release() : out.commit();
}
