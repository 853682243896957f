#include "platform/ShellService.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

bool DesktopShellService::open(const QString& pathOrUrl, const QString& workingFolder)
{
    Q_UNUSED(workingFolder)
    if (pathOrUrl.isEmpty())
        return false;
    const QUrl asUrl(pathOrUrl);
    const bool isWeb = asUrl.isValid() && !asUrl.scheme().isEmpty() && asUrl.scheme().size() > 1
        && !QFileInfo::exists(pathOrUrl);
    if (isWeb)
        return QDesktopServices::openUrl(asUrl);
    if (!QFileInfo::exists(pathOrUrl))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(pathOrUrl));
}

bool DesktopShellService::start(const QString& program, const QStringList& arguments, const QString& workingFolder)
{
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, arguments, workingFolder);
}
