// Window helpers: always on top, transparency, window icons, the cursor position and
// the system folders.
#pragma once

#include <QSize>
#include <QString>

class QWidget;

// mdlConstDir: the operating system's own folder and its system-library folder.
QString GetWindowsDir();
QString GetSystemDir();

// mdlOnTop: puts the window into the topmost band (or out of it), keeping its place and
// size, and shows it without activating it.
void SetFormOnTop(QWidget* form, bool onTop);
bool FormOnTopFlag();

// mdlTransparent: 0 done, 1 alpha outside 0..255, 2 a step failed.
qint32 MakeTransparent(QWidget* window, int alpha);
qint32 MakeOpaque(QWidget* window);
// Whether the window currently has the layered (translucent) style.
bool IsLayered(QWidget* window);
// The alpha the window was last given (255 when opaque).
int WindowAlpha(QWidget* window);

// mdlSetFormIcon32: the window's icon from the program's icon resources; with
// alsoOwner the application (taskbar) icon too.
void SetFormIcon(QWidget* window, const QString& resourceName, bool alsoOwner);

// mdlMouseClick: the cursor position in screen pixels.
void GetMousePosition(qint32& x, qint32& y);

// The part of the window's screen that windows may take (less panels and docks), in
// twips: the largest size a window is given or stores. The primary screen stands in for
// a window not yet on one.
QSize AvailableScreenTwips(const QWidget* window);
