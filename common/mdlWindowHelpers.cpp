#include "common/mdlWindowHelpers.h"

#include "platform/App.h"
#include "platform/IconResources.h"
#include "platform/VbConstants.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <limits>

namespace {
bool g_onTop = false;
const char kLayered[] = "velmaroLayered";
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
    Qt::WindowFlags flags = w->windowFlags();
    if (flags.testFlag(Qt::WindowStaysOnTopHint) != onTop) {
        // Changing the widget's flags the usual way re-creates the window hidden, which
        // would end the loop of a window shown modally. The flag goes to the widget and
        // to its system window as they are.
        flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
        w->overrideWindowFlags(flags);
        if (QWindow* handle = w->windowHandle())
            handle->setFlags(flags);
    }
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
    window->setWindowOpacity(alpha / 255.0);
    return 0;
}

qint32 MakeOpaque(QWidget* window)
{
    if (!window)
        return 2;
    window->setProperty(kLayered, false);
    window->setWindowOpacity(1.0);
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
    return qRound(window->window()->windowOpacity() * 255);
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

QSize AvailableScreenTwips(const QWidget* window)
{
    const QScreen* screen = window ? window->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return QSize(std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
    const QSize pixels = screen->availableGeometry().size();
    return QSize(pixels.width() * kTwipsPerPixel, pixels.height() * kTwipsPerPixel);
}
