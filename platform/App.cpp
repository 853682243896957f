#include "platform/App.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <sys/resource.h>

namespace {
QString g_title;
QString g_command;
bool g_commandSet = false;
unsigned g_errorMode = 0;
}

QString AppPath()
{
    const QByteArray home = qgetenv("VELMARO_HOME");
    QString path;
    if (!home.isEmpty())
        path = QDir::cleanPath(QDir(QString::fromLocal8Bit(home)).absolutePath());
    else if (QCoreApplication::instance())
        path = QCoreApplication::applicationDirPath();
    else
        path = QDir::currentPath();
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

QString AppExePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return AppPath() + QStringLiteral("/velmaro");
}

QString AppExeName()
{
    return QFileInfo(AppExePath()).completeBaseName();
}

QString AppTitle()
{
    return g_title;
}

void SetAppTitle(const QString& title)
{
    g_title = title;
}

QString Command()
{
    if (g_commandSet || !QCoreApplication::instance())
        return g_command;
    QStringList args = QCoreApplication::arguments();
    if (!args.isEmpty())
        args.removeFirst();
    return args.join(u' ');
}

void SetCommand(const QString& commandLine)
{
    g_command = commandLine;
    g_commandSet = true;
}

bool HeadlessPlatform()
{
    return QGuiApplication::platformName() == QLatin1String("offscreen")
        || QGuiApplication::platformName() == QLatin1String("minimal");
}

void SetNoGPFaultErrorMode()
{
    g_errorMode = 2;
    struct rlimit none {0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
}

unsigned ProcessErrorMode()
{
    return g_errorMode;
}
