#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

// The picture buttons of the dialogs and of the update window. Each picture is the button's
// face drawn over the very backdrop pixels it covers, so its rounded corners blend in; it comes
// at the backdrop's scale.
namespace artwork {

enum class ButtonState { Normal, Highlighted };

// The face of a version-window button inside its 100 x 55 rectangle; the version backdrop
// shows the normal faces under its buttons.
void drawVersionButtonFace(QPainter& painter, const QRect& button, const QString& label,
                           ButtonState state);

QImage quitButton(const QImage& backdrop, const QRect& button, const QString& label,
                  ButtonState state);
QImage aboutCloseButton(const QImage& backdrop, ButtonState state);
QImage versionButton(const QImage& backdrop, const QRect& button, const QString& label,
                     ButtonState state);
QImage updateButton(const QImage& backdrop, const QRect& button, const QString& label);

} // namespace artwork
