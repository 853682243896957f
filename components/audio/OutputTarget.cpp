// The temporary output file beside the target and its commit.
#include "components/audio/OutputTarget.h"

#include "components/cAudioConverter/cAudioConverter.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Why the folder of an output cannot take it, or an empty text when it can: the nearest
// part of the path that exists decides between "missing" and "not a folder".
QString folderProblem(const QString& folder)
{
    const QFileInfo dir(folder);
    if (dir.isDir())
        return QString();
    QString at = dir.absoluteFilePath();
    while (!at.isEmpty()) {
        const QFileInfo part(at);
        if (part.exists() && !part.isDir())
            return QStringLiteral("The folder \"%1\" of the output file cannot be made: \"%2\" is a file, not a folder.")
                .arg(folder, at);
        if (part.exists())
            break;
        const QString up = part.absolutePath();
        if (up == at)
            break;
        at = up;
    }
    return QStringLiteral("The folder \"%1\" of the output file does not exist.").arg(folder);
}

}  // namespace

OutputTarget::~OutputTarget()
{
    closeFd();
    if (!m_temp.isEmpty() && !m_committed)
        QFile::remove(m_temp);
}

JobOutcome OutputTarget::prepare(const QString& target, const QString& source, const FileIdentity& replaceable)
{
    if (target.isEmpty())
        return JobOutcome::error(kErrOutputUnwritable, QStringLiteral("No output file was given."));
    const QFileInfo t(target);
    if (!source.isEmpty() && sameFile(target, source))
        return JobOutcome::error(kErrOutputSameAsSource,
                                 QStringLiteral("The output file \"%1\" is the source file itself; it is left untouched.")
                                     .arg(target));
    const QDir dir = t.absoluteDir();
    const QString problem = folderProblem(dir.path());
    if (!problem.isEmpty())
        return JobOutcome::error(kErrOutputUnwritable, problem);
    if (t.isDir())
        return JobOutcome::error(kErrOutputUnwritable, QStringLiteral("The output \"%1\" is a folder, not a file.").arg(target));
    // One open creates the temporary file; the sample copy writes through this handle.
    // Its name is hidden, short (so that a target of any length the folder allows has
    // one) and names this process, so that the next job in the folder can tell a file
    // left by a killed job from one still being written.
    QByteArray temp;
    m_fd = CreateTempBeside(QFile::encodeName(t.absoluteFilePath()), ".part", 0666, temp);
    if (m_fd < 0)
        return JobOutcome::error(kErrOutputUnwritable, QStringLiteral("Cannot create the output file \"%1\": %2.")
                                                            .arg(target, QString::fromLocal8Bit(strerror(errno))));
    m_temp = QFile::decodeName(temp);
    m_target = t.absoluteFilePath();
    m_shownTarget = target;
    m_replaceable = replaceable;
    return JobOutcome::done();
}

bool OutputTarget::closeFd()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd < 0 || ::close(fd) == 0;
}

JobOutcome OutputTarget::commit()
{
    closeFd();
    m_committed = true;
    return CommitOutput(m_temp, m_target, m_replaceable, m_shownTarget);
}

JobOutcome OutputTarget::release()
{
    closeFd();
    m_committed = true;
    JobOutcome r;
    r.pendingTemp = m_temp;
    r.pendingTarget = m_target;
    r.pendingShownTarget = m_shownTarget;
    r.pendingReplaceable = m_replaceable;
    return r;
}

bool OutputTarget::sameFile(const QString& a, const QString& b)
{
    struct stat sa {}, sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}
