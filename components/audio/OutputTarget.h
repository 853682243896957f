// The output file of a conversion: a temporary file beside the target, renamed into place
// on success and removed otherwise, so that a failed or aborted job never leaves a partial
// file and never replaces an existing one.
#pragma once

#include "components/audio/JobRunner.h"

#include <QString>

class OutputTarget
{
public:
    OutputTarget() = default;
    OutputTarget(const OutputTarget&) = delete;
    OutputTarget& operator=(const OutputTarget&) = delete;
    ~OutputTarget();

    // Creates the temporary file beside `target`; refuses a target that is the source
    // itself, a folder, or in a folder that is missing or not a folder.
    JobOutcome prepare(const QString& target, const QString& source);

    // The open handle of the temporary file (closed by the target), or -1 once closed.
    int fd() const { return m_fd; }
    // Closes the handle: writers that open the file by its name call this first. False
    // when the data written through the handle could not be stored.
    bool closeFd();

    const QString& tempPath() const { return m_temp; }

    // Renames the finished temporary file over the target.
    JobOutcome commit();
    // Leaves the finished temporary file for the caller to commit.
    JobOutcome release();

    static bool sameFile(const QString& a, const QString& b);

private:
    QString m_temp;
    QString m_target;
    int m_fd = -1;
    bool m_committed = false;
};
