#include "resources/pictures.h"

#include <QFile>

namespace sorvo::pictures {

QString path(QStringView name) {
    return QStringLiteral(":/pictures/") + name.toString();
}

QByteArray bytes(QStringView name) {
    QFile file(path(name));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

} // namespace sorvo::pictures
