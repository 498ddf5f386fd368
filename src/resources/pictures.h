#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// The picture catalogue: every picture, icon, cursor and image list the program shows, compiled
// in and addressed by its catalogue name ("ProgramIcon", "标签进度Background", ...).
namespace sorvo::pictures {

// Qt resource path of a catalogue picture, for APIs that take a file name.
QString path(QStringView name);

// The picture's file bytes as they were compiled in; empty for an unknown name.
QByteArray bytes(QStringView name);

} // namespace sorvo::pictures
