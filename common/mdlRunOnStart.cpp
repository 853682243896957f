#include "common/mdlRunOnStart.h"

#include "common/mdlModes.h"
#include "platform/App.h"
#include "platform/AutostartService.h"
#include "platform/Services.h"

#include <QFileInfo>

QString RunOnStartCommandLine()
{
    // Inside the quotes a desktop entry's Exec escapes these four characters.
    QString path = QFileInfo(AppExePath()).absolutePath() + u'/' + AppExeName();
    QString quoted;
    for (QChar c : path) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return u'"' + quoted + QStringLiteral("\" -st");
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
