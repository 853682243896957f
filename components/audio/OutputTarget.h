// The output file of a conversion: a temporary file beside the target, renamed into place
// on success and removed otherwise, so that a failed or aborted job never leaves a partial
// file and replaces an existing one only where the user agreed to replace that file.
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
    // itself, a folder, or in a folder that is missing or not a folder. The commit
    // replaces `replaceable`, the file of that name the user agreed to replace (as it was
    // when agreed to), and nothing else: not another file that took the name while the
    // job ran; with no such file (none was there), it replaces nothing.
    JobOutcome prepare(const QString& target, const QString& source, const FileIdentity& replaceable = {});

    // The open handle of the temporary file (closed by the target), or -1 once closed.
    int fd() const { return m_fd; }
    // Closes the handle: writers that open the file by its name call this first. False
    // when the data written through the handle could not be stored.
    bool closeFd();

    // The hidden temporary file; errors name target() instead, the file the user asked for.
    const QString& tempPath() const { return m_temp; }
    const QString& target() const { return m_shownTarget; }

    // Puts the finished temporary file in place under the target's name.
    JobOutcome commit();
    // Leaves the finished temporary file for the caller to commit.
    JobOutcome release();

    static bool sameFile(const QString& a, const QString& b);

private:
    QString m_temp;
    QString m_target;       // absolute
    QString m_shownTarget;  // as the caller gave it
    FileIdentity m_replaceable;
    int m_fd = -1;
    bool m_committed = false;
};
