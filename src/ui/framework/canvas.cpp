#include "ui/framework/canvas.h"

#include <QBuffer>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>

namespace sorvo::ui {

Canvas::Canvas(QWidget* parent, const QString& plainPicture)
    : QWidget(parent), plain_(plainPicture) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (plain_.follow(devicePixelRatioF())) setBackground(plain_.image());
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
    density_ = std::max(1, qRound(picture.devicePixelRatio()));
    background_ = picture.convertToFormat(QImage::Format_RGB32);
    if (!matchSurfaceToSize()) paintFromBackground(surface_.rect());
    update();
}

bool Canvas::matchSurfaceToSize() const {
    // A hidden widget gets its resize event only when it is shown; the surface follows the size
    // at once, so drawing works before the first show too.
    const QSize wanted = size() * density_;
    if (surface_.size() == wanted && surface_.devicePixelRatio() == density_) return false;
    surface_ = QImage(wanted, QImage::Format_RGB32);
    surface_.setDevicePixelRatio(density_);
    paintFromBackground(surface_.rect());
    return true;
}

QRect Canvas::onSurface(const QRect& logical) const {
    return QRect(logical.topLeft() * density_, logical.size() * density_) & surface_.rect();
}

void Canvas::updateSurface(const QRect& area) {
    update(QRect(area.topLeft() / density_, area.bottomRight() / density_));
}

void Canvas::drawPicture(const QImage& picture, int x, int y, Colour transparent) {
    matchSurfaceToSize();
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb key = toQRgb(transparent) & RGB_MASK;
    const QPoint at(x * density_, y * density_);
    const QRect target = QRect(at, source.size()) & surface_.rect();
    for (int sy = target.top(); sy <= target.bottom(); ++sy) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(sy - at.y()));
        auto* out = reinterpret_cast<QRgb*>(surface_.scanLine(sy));
        for (int sx = target.left(); sx <= target.right(); ++sx) {
            const QRgb p = in[sx - at.x()];
            if ((p & RGB_MASK) != key) out[sx] = p;
        }
    }
    if (!target.isEmpty()) updateSurface(target);
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
    updateSurface(QRect(x, y, 1, 1));
}

void Canvas::clearRect(int left, int top, int width, int height) {
    matchSurfaceToSize();
    const QRect area = onSurface(QRect(left, top, width, height));
    paintFromBackground(area);
    if (!area.isEmpty()) updateSurface(area);
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
    // Tiled from the surface's origin, pixel for pixel at the surface's density.
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(surface_.scanLine(y));
        if (background_.isNull()) {
            std::fill(out + area.left(), out + area.right() + 1, qRgb(0, 0, 0));
            continue;
        }
        const auto* in =
            reinterpret_cast<const QRgb*>(background_.constScanLine(y % background_.height()));
        for (int x = area.left(); x <= area.right(); ++x)
            out[x] = in[x % background_.width()];
    }
}

void Canvas::paintEvent(QPaintEvent* event) {
    if (plain_.follow(devicePixelRatioF())) {
        setBackground(plain_.image());
        emit densityChanged();
    }
    QPainter painter(this);
    // At 1.5 the 2x surface is scaled down.
    if (devicePixelRatioF() != density_) painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect area = event->rect() & rect();
    painter.drawImage(QRectF(area), surface_, QRectF(onSurface(area)));
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
