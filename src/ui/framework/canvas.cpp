#include "ui/framework/canvas.h"

#include <QBuffer>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

namespace sorvo::ui {

Canvas::Canvas(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Canvas::setPressZones(std::vector<PressZone> zones) {
    zones_ = std::move(zones);
}

void Canvas::pressZone(std::size_t index) {
    if (index >= zones_.size()) return;
    const QPoint p = zones_[index].rect.center();
    QTimer::singleShot(0, this, [this, p] {
        emit pointerMoved(p.x(), p.y());
        emit buttonPressed(p.x(), p.y());
        emit buttonReleased(p.x(), p.y());
    });
}

void Canvas::setBackground(const QImage& picture) {
    background_ = picture.convertToFormat(QImage::Format_RGB32);
    if (matchSurfaceToSize()) return;
    paintFromBackground(surface_.rect());
    update();
}

bool Canvas::matchSurfaceToSize() const {
    // A hidden widget gets its resize event only when it is shown; the surface follows the size
    // at once, so drawing works before the first show too.
    if (surface_.size() == size()) return false;
    surface_ = QImage(size(), QImage::Format_RGB32);
    paintFromBackground(surface_.rect());
    return true;
}

void Canvas::drawPicture(const QImage& picture, int x, int y, Colour transparent) {
    matchSurfaceToSize();
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb key = toQRgb(transparent) & RGB_MASK;
    const QRect target = QRect(x, y, source.width(), source.height()) & surface_.rect();
    for (int sy = target.top(); sy <= target.bottom(); ++sy) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(sy - y));
        auto* out = reinterpret_cast<QRgb*>(surface_.scanLine(sy));
        for (int sx = target.left(); sx <= target.right(); ++sx) {
            const QRgb p = in[sx - x];
            if ((p & RGB_MASK) != key) out[sx] = p;
        }
    }
    update(target);
}

Colour Canvas::pixel(int x, int y) const {
    matchSurfaceToSize();
    if (!surface_.valid(x, y)) return 0;
    return fromQRgb(surface_.pixel(x, y));
}

void Canvas::setPixel(int x, int y, Colour colour) {
    matchSurfaceToSize();
    if (!surface_.valid(x, y)) return;
    surface_.setPixel(x, y, toQRgb(colour));
    update(x, y, 1, 1);
}

void Canvas::clearRect(int left, int top, int width, int height) {
    matchSurfaceToSize();
    const QRect area = QRect(left, top, width, height) & surface_.rect();
    paintFromBackground(area);
    update(area);
}

QByteArray Canvas::snapshot() const {
    matchSurfaceToSize();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    surface_.save(&buffer, "PNG");
    return bytes;
}

void Canvas::paintFromBackground(const QRect& area) const {
    if (area.isEmpty()) return;
    QPainter painter(&surface_);
    // An image brush tiles the picture from the surface's origin.
    painter.fillRect(area, background_.isNull() ? QBrush(Qt::black) : QBrush(background_));
}

void Canvas::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), surface_, event->rect());
}

void Canvas::resizeEvent(QResizeEvent*) {
    matchSurfaceToSize();
}

void Canvas::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit pointerMoved(p.x(), p.y());
}

void Canvas::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    emit buttonPressed(p.x(), p.y());
}

void Canvas::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const QPoint p = event->position().toPoint();
    emit buttonReleased(p.x(), p.y());
}

} // namespace sorvo::ui
