#include "ui/framework/picture_loader.h"

#include "resources/icon_file.h"
#include "resources/pictures.h"
#include "resources/window_design.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>

namespace sorvo::ui {

QImage loadImage(const QString& pictureName) {
    return QImage(pictures::path(pictureName));
}

int pictureDensity(qreal devicePixelRatio) {
    return devicePixelRatio > 1 ? 2 : 1;
}

QString pictureForRatio(const QString& pictureName, qreal devicePixelRatio) {
    return pictureDensity(devicePixelRatio) == 2 ? pictureName + QStringLiteral("@2x")
                                                 : pictureName;
}

QImage loadImage(const QString& pictureName, qreal devicePixelRatio) {
    QImage image(pictures::path(pictureForRatio(pictureName, devicePixelRatio)));
    image.setDevicePixelRatio(pictureDensity(devicePixelRatio));
    return image;
}

QPixmap loadPixmap(const QString& pictureName, qreal devicePixelRatio) {
    return QPixmap::fromImage(loadImage(pictureName, devicePixelRatio));
}

QIcon loadIcon(const QString& pictureName) {
    QIcon icon;
    // The dense set only where a screen can show it: on ordinary screens it would be decoded and
    // kept for nothing.
    const int densest = pictureDensity(qGuiApp->devicePixelRatio());
    for (int ratio = 1; ratio <= densest; ++ratio) {
        QImageReader reader(pictures::path(pictureForRatio(pictureName, ratio)));
        for (int i = 0; i < reader.imageCount(); ++i) {
            reader.jumpToImage(i);
            QImage image = reader.read();
            image.setDevicePixelRatio(ratio);
            icon.addPixmap(QPixmap::fromImage(image));
        }
    }
    return icon;
}

QCursor loadCursor(const QString& name) {
    return loadCursor(name, qGuiApp->devicePixelRatio());
}

QCursor loadCursor(const QString& name, qreal devicePixelRatio) {
    if (name.isEmpty()) return QCursor(Qt::ArrowCursor);
    if (name == design::handCursor) return QCursor(Qt::PointingHandCursor);
    const int ratio = pictureDensity(devicePixelRatio);
    const QByteArray bytes = pictures::bytes(pictureForRatio(name, ratio));
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, "cur");
    QImage image = reader.read();
    QPoint hotSpot;
    const auto directory = icon_file::readDirectory(bytes);
    if (directory && directory->type == icon_file::Type::Cursor && !directory->entries.empty()) {
        // Qt's reader takes a 24-bit cursor as opaque and never looks at its mask.
        image = icon_file::withMask(image, bytes, directory->entries.front());
        // The twin's file stores its hot spot in its own pixels; QCursor takes it in the
        // cursor's device-independent ones.
        hotSpot = directory->entries.front().hotSpot / ratio;
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(ratio);
    return QCursor(pixmap, hotSpot.x(), hotSpot.y());
}

QImage imageListEntry(const QImage& list, int index) {
    const int cell = 16 * static_cast<int>(list.devicePixelRatio());
    return list.copy((index % 4) * cell, (index / 4) * cell, cell, cell);
}

} // namespace sorvo::ui
