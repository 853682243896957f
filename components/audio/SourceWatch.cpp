#include "components/audio/SourceWatch.h"

#include "components/cAudioConverter/cAudioConverter.h"

SourceWatch::SourceWatch(const QStringList& paths)
{
    for (const QString& path : paths)
        m_files.append({path, ReadFileIdentity(path)});
}

bool SourceWatch::unchanged() const
{
    for (const auto& [path, identity] : m_files)
        if (ReadFileIdentity(path) != identity)
            return false;
    return true;
}

JobOutcome SourceWatch::check(const JobOutcome& outcome) const
{
    if (outcome.kind == JobOutcome::Aborted || unchanged())
        return outcome;
    return SourceChangedError();
}

JobOutcome SourceChangedError()
{
    return JobOutcome::error(kErrSourceChanged, QStringLiteral("The source file changed during the job."));
}
