#pragma once

#include <QMenu>
#include <QPoint>
#include <QProcess>
#include <QStringList>
#include <QSystemTrayIcon>
#include <QWidget>

// Real input through the display server, as a user gives it: xdotool moves the pointer, clicks
// and types, and the events reach the program the way a person's would.
namespace desktop {

inline bool xdotool(const QStringList& arguments) {
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

inline bool clickAt(QPoint global, int button = 1) {
    return xdotool({QStringLiteral("mousemove"), QString::number(global.x()),
                    QString::number(global.y()), QStringLiteral("click"), QString::number(button)});
}

inline bool doubleClickAt(QPoint global) {
    return xdotool({QStringLiteral("mousemove"), QString::number(global.x()),
                    QString::number(global.y()), QStringLiteral("click"),
                    QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("1")});
}

inline bool click(const QWidget& widget, int button = 1) {
    return clickAt(widget.mapToGlobal(widget.rect().center()), button);
}

// Keys by their X names, typed one after another: "Down", "Return", "alt+F4".
inline bool keys(const QStringList& names) {
    return xdotool(
        QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} +
        names);
}

// Where the tray host shows the icon; empty until it has embedded it.
inline QPoint trayIconCentre(const QSystemTrayIcon& icon) {
    const QRect geometry = icon.geometry();
    return geometry.isValid() ? geometry.center() : QPoint();
}

// The middle of a shown popup menu's item.
inline QPoint menuItemCentre(const QMenu& menu, const QString& caption) {
    for (QAction* action : menu.actions())
        if (action->text() == caption)
            return menu.mapToGlobal(menu.actionGeometry(action).center());
    return {};
}

} // namespace desktop
