// The helpers of mdlMain that the windows use; Main itself is in mdlMain.cpp.
#include "app/mdlMain.h"

#include <QLocale>

#include <cmath>

#include <sys/resource.h>

namespace {
unsigned g_errorMode = 0;
}

void SetNoGPFaultErrorMode()
{
    // The process is ending: a fault from here on should end it quietly, without a core
    // dump that a desktop crash reporter would turn into a dialog.
    g_errorMode = 2;
    struct rlimit none {0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
}

unsigned ProcessErrorMode()
{
    return g_errorMode;
}

QString FormatBytes(double bytes)
{
    if (bytes < 0)
        return QString();
    if (bytes == 0)
        return QStringLiteral("0");
    static const char* const units[] = {"", " KB", " MB", " GB", " TB"};
    int k = 0;
    double v = bytes;
    while (v >= 1000.0 && k < 4) {
        ++k;
        v = bytes / std::pow(1024.0, k);
    }
    const QLocale loc;
    QString number;
    if (v < 10)
        number = loc.toString(v, 'f', 2);
    else if (v < 100)
        number = loc.toString(v, 'f', 1);
    else
        number = loc.toString(v, 'f', 0);
    return number + QLatin1String(units[k]);
}
