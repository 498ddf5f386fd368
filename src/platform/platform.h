#pragma once

#include <QRegion>
#include <QString>
#include <cstdint>

class QWidget;

// The few operating-system services the program uses, behind one small interface: the Win32
// calls on Windows, their Qt/X11/Wayland equivalents elsewhere.
namespace sorvo::platform {

// The pixels that CreateRoundRectRgn(0, 0, width, height, ellipseWidth, ellipseHeight) keeps:
// columns 0 to width − 2 and rows 0 to height − 2, each corner a quarter of an ellipse
// ellipseWidth × ellipseHeight across (3, 2 and 1 pixels cut from the outer rows at 11 × 11).
QRegion roundRectRegion(int width, int height, int ellipseWidth, int ellipseHeight);

// Clips `window` to a rounded rectangle, replacing whatever region it had. On Windows this is
// CreateRoundRectRgn, SetWindowRgn(redraw) and DeleteObject only when SetWindowRgn fails.
void setRoundRectRegion(QWidget& window, int width, int height, int ellipseWidth,
                        int ellipseHeight);

// Gives a frameless window the system's window menu (Alt+Space, a right click in the taskbar).
void enableWindowMenu(QWidget& window);

// Lets the system move `window` with the pointer until the button is released, as if its
// caption had been grabbed (WM_NCLBUTTONDOWN with HTCAPTION).
void startCaptionDrag(QWidget& window);

// Hands a web address to the default browser.
void openWebAddress(const QString& address);

// Opens a file with its default action; for an installer that starts it.
void openFile(const QString& path);

// A fixed per-user folder for downloaded files, ending with the native separator; empty if the
// system has none.
QString perUserDownloadFolder();

// The native path separator ('\\' on Windows, '/' elsewhere).
QChar pathSeparator();

// Makes `path` a folder that only this user can enter, or confirms that it is one, and returns
// it; empty when that cannot be had (somebody else's folder, a link, a file in the way).
QString privateFolder(const QString& path);

// True where a StatusNotifierItem host draws tray icons and shows their menus itself.
bool trayHostShowsMenus();

// Prepares the embedded browser engine before the application object exists.
void prepareWebEngine();

} // namespace sorvo::platform
