#include "common/mdlRunOnStart.h"

#include "common/mdlModes.h"
#include "platform/App.h"
#include "platform/AutostartService.h"
#include "platform/Services.h"

#include <QFileInfo>

QString RunOnStartCommandLine(const QString& exePath)
{
    // The whole file name, extension and all: the session starts exactly this file.
    const QString path = QFileInfo(exePath).absoluteFilePath();
    QString quoted;
    for (QChar c : path) {
        // Inside the quotes a desktop entry's Exec escapes these four characters, and a
        // "%" anywhere stands for itself only when doubled.
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        else if (c == u'%')
            quoted += u'%';
        quoted += c;
    }
    return u'"' + quoted + QStringLiteral("\" -st");
}

QString RunOnStartCommandLine()
{
    return RunOnStartCommandLine(AppExePath());
}

void SetRunOnStart(bool on)
{
    if (on)
        Services::autostart().write(g_sAppName, RunOnStartCommandLine());
    else
        Services::autostart().remove(g_sAppName);
}

bool IsRunOnStart()
{
    const auto stored = Services::autostart().read(g_sAppName);
    return stored && *stored == RunOnStartCommandLine();
}
