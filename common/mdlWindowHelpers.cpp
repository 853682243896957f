#include "common/mdlWindowHelpers.h"

#include "platform/App.h"
#include "platform/IconResources.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QWidget>

namespace {
bool g_onTop = false;
const char kLayered[] = "velmaroLayered";
const char kAlpha[] = "velmaroAlpha";

void applyAlpha(QWidget* window, int alpha)
{
    window->setProperty(kAlpha, alpha);
    // The headless platform cannot draw translucent windows; the value is kept all the same.
    if (!HeadlessPlatform())
        window->setWindowOpacity(alpha / 255.0);
}
} // namespace

QString GetWindowsDir()
{
    return QStringLiteral("/usr");
}

QString GetSystemDir()
{
    for (const char* dir : {"/usr/lib/x86_64-linux-gnu", "/usr/lib/aarch64-linux-gnu", "/usr/lib64", "/usr/lib"})
        if (QFileInfo(QLatin1String(dir)).isDir())
            return QLatin1String(dir);
    return QString();
}

void SetFormOnTop(QWidget* form, bool onTop)
{
    g_onTop = onTop;
    if (!form)
        return;
    QWidget* w = form->window();
    const QRect geometry = w->geometry();
    const bool had = w->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
    if (had != onTop)
        w->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);  // hides the window
    w->setGeometry(geometry);
    const bool noActivate = w->testAttribute(Qt::WA_ShowWithoutActivating);
    w->setAttribute(Qt::WA_ShowWithoutActivating, true);
    w->show();
    w->setAttribute(Qt::WA_ShowWithoutActivating, noActivate);
}

bool FormOnTopFlag()
{
    return g_onTop;
}

qint32 MakeTransparent(QWidget* window, int alpha)
{
    if (alpha < 0 || alpha > 255)
        return 1;
    if (!window)
        return 2;
    window->setProperty(kLayered, true);
    applyAlpha(window, alpha);
    return 0;
}

qint32 MakeOpaque(QWidget* window)
{
    if (!window)
        return 2;
    window->setProperty(kLayered, false);
    applyAlpha(window, 255);
    return 0;
}

bool IsLayered(QWidget* window)
{
    return window && window->property(kLayered).toBool();
}

int WindowAlpha(QWidget* window)
{
    if (!window)
        return 255;
    const QVariant a = window->property(kAlpha);
    return a.isValid() ? a.toInt() : 255;
}

void SetFormIcon(QWidget* window, const QString& resourceName, bool alsoOwner)
{
    const QIcon icon = LoadIconResource(resourceName);
    if (alsoOwner && qApp)
        QApplication::setWindowIcon(icon);
    if (window)
        window->setWindowIcon(icon);
}

void GetMousePosition(qint32& x, qint32& y)
{
    const QPoint p = QCursor::pos();
    x = p.x();
    y = p.y();
}
