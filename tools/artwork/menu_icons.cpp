#include "menu_icons.h"

#include "logo.h"
#include "paint_kit.h"

#include <QPainter>
#include <cmath>
#include <functional>
#include <numbers>

namespace artwork {
namespace {

QImage icon(int scale, const std::function<void(QPainter&)>& draw) {
    QImage image = transparentImage(QSize(16, 16), scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    draw(painter);
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// A round badge with a lit top and a dark rim.
void badge(QPainter& painter, QColor light, QColor dark) {
    QRadialGradient fill(QPointF(6.5, 4.5), 11);
    fill.setColorAt(0, light);
    fill.setColorAt(1, dark);
    painter.setPen(QPen(dark.darker(140), 1));
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 70));
    painter.drawEllipse(QRectF(3.5, 1.5, 9, 5));
}

void birdMark(QPainter& painter) {
    // A round blue bird facing right: body, wing, tail and a small beak.
    QPainterPath body;
    body.addEllipse(QRectF(2, 3.5, 11.5, 10.5));
    QPainterPath tail;
    tail.moveTo(3.5, 10);
    tail.lineTo(0.3, 13.8);
    tail.lineTo(5.5, 12.8);
    tail.closeSubpath();
    QLinearGradient fill(0, 3, 0, 14);
    fill.setColorAt(0, QColor(0x5c, 0xc0, 0xff));
    fill.setColorAt(1, QColor(0x10, 0x6c, 0xd8));
    painter.fillPath(body.united(tail), fill);
    QPainterPath wing;
    wing.moveTo(4.5, 8);
    wing.cubicTo(6.5, 11.5, 9.5, 11.5, 10.5, 9);
    wing.cubicTo(8.5, 10, 6.5, 9.5, 4.5, 8);
    painter.fillPath(wing, QColor(255, 255, 255, 200));
    QPainterPath beak;
    beak.moveTo(13, 6.5);
    beak.lineTo(15.8, 7.6);
    beak.lineTo(13, 8.8);
    beak.closeSubpath();
    painter.fillPath(beak, QColor(0xff, 0xa8, 0x20));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(10.2, 6.6), 1.5, 1.5);
    painter.setBrush(QColor(0x0a, 0x24, 0x50));
    painter.drawEllipse(QPointF(10.6, 6.7), 0.75, 0.75);
}

void eyeMark(QPainter& painter) {
    // A red almond with a yellow iris and a dark pupil with a glint.
    QPainterPath almond;
    almond.moveTo(0.5, 8.5);
    almond.cubicTo(4, 2, 12, 2, 15.5, 8.5);
    almond.cubicTo(12, 14.5, 4, 14.5, 0.5, 8.5);
    QLinearGradient red(0, 3, 0, 14);
    red.setColorAt(0, QColor(0xff, 0x4a, 0x3a));
    red.setColorAt(1, QColor(0xc0, 0x12, 0x12));
    painter.fillPath(almond, red);
    QRadialGradient iris(QPointF(7.5, 7.5), 4.5);
    iris.setColorAt(0, QColor(0xff, 0xf0, 0x60));
    iris.setColorAt(1, QColor(0xff, 0xb4, 0x00));
    painter.setPen(Qt::NoPen);
    painter.setBrush(iris);
    painter.drawEllipse(QPointF(8, 8.5), 4, 4);
    painter.setBrush(QColor(0x3a, 0x10, 0x08));
    painter.drawEllipse(QPointF(8, 8.5), 1.8, 1.8);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(7, 7.4), 0.8, 0.8);
}

void playButton(QPainter& painter) {
    badge(painter, QColor(0x8c, 0xe8, 0x5a), QColor(0x24, 0x8a, 0x1a));
    QPainterPath triangle;
    triangle.moveTo(6, 4.2);
    triangle.lineTo(12, 8);
    triangle.lineTo(6, 11.8);
    triangle.closeSubpath();
    painter.fillPath(triangle, Qt::white);
}

void musicBadge(QPainter& painter) {
    badge(painter, QColor(0xe0, 0x8c, 0xff), QColor(0x7a, 0x22, 0xc4));
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPointF(6.2, 11), 2.2, 1.7);
    painter.fillRect(QRectF(7.4, 3.5, 1.3, 7.5), Qt::white);
    QPainterPath flag;
    flag.moveTo(8.7, 3.5);
    flag.cubicTo(10.5, 4.5, 12, 5.5, 11.2, 8.2);
    flag.cubicTo(11, 6.6, 10, 6.2, 8.7, 6.2);
    flag.closeSubpath();
    painter.fillPath(flag, Qt::white);
}

void crossButton(QPainter& painter) {
    badge(painter, QColor(0xd8, 0x96, 0x62), QColor(0x6e, 0x3a, 0x18));
    painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(5.2, 5.2), QPointF(10.8, 10.8));
    painter.drawLine(QPointF(10.8, 5.2), QPointF(5.2, 10.8));
}

void turningDiamond(QPainter& painter) {
    QPainterPath diamond;
    diamond.moveTo(8, 0.3);
    diamond.lineTo(15.7, 8);
    diamond.lineTo(8, 15.7);
    diamond.lineTo(0.3, 8);
    diamond.closeSubpath();
    QLinearGradient fill(0, 0, 0, 16);
    fill.setColorAt(0, QColor(0xff, 0xc0, 0x50));
    fill.setColorAt(1, QColor(0xe8, 0x62, 0x00));
    painter.fillPath(diamond, fill);
    painter.setPen(QPen(QColor(0xa0, 0x40, 0x00), 0.8));
    painter.drawPath(diamond);
    // A three-quarter turn with its head.
    painter.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(5, 5, 6, 6), 90 * 16, 270 * 16);
    QPainterPath head;
    head.moveTo(8, 2.9);
    head.lineTo(10.6, 5);
    head.lineTo(8, 7.1);
    head.closeSubpath();
    painter.fillPath(head, Qt::white);
}

void browserE(QPainter& painter, QColor light, QColor dark) {
    // The letter: a thick ring open at its lower right, with a bar across its middle.
    QLinearGradient fill(0, 3, 0, 14);
    fill.setColorAt(0, light);
    fill.setColorAt(1, dark);
    QPainterPath ring;
    const QRectF bounds(3.3, 3.8, 9.4, 9.4);
    ring.arcMoveTo(bounds, 0);
    ring.arcTo(bounds, 0, 325);
    ring.moveTo(4, 8.5);
    ring.lineTo(12.4, 8.5);
    QPainterPathStroker stroker;
    stroker.setWidth(2.3);
    stroker.setCapStyle(Qt::FlatCap);
    painter.fillPath(stroker.createStroke(ring), fill);
    // A tilted orbit around it.
    painter.save();
    painter.translate(8, 8.5);
    painter.rotate(-30);
    painter.setPen(QPen(dark, 1.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(-7.6, -3.4, 15.2, 6.8), 15 * 16, 160 * 16);
    painter.restore();
}

void speechBubble(QPainter& painter) {
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(0.5, 1.5, 15, 10.5), 3.5, 3.5);
    QPainterPath tail;
    tail.moveTo(4, 11);
    tail.lineTo(3, 15.3);
    tail.lineTo(8, 11);
    tail.closeSubpath();
    QLinearGradient fill(0, 1, 0, 15);
    fill.setColorAt(0, QColor(0x7c, 0xe0, 0xc8));
    fill.setColorAt(1, QColor(0x14, 0x9c, 0x88));
    const QPainterPath shape = bubble.united(tail);
    painter.fillPath(shape, fill);
    painter.setPen(QPen(QColor(0x0c, 0x70, 0x62), 0.8));
    painter.drawPath(shape);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    for (int i = 0; i < 3; ++i)
        painter.drawEllipse(QPointF(4.5 + 3.5 * i, 6.8), 1.1, 1.1);
}

void ringWithDot(QPainter& painter) {
    painter.setPen(QPen(QColor(0x8a, 0x8e, 0x96), 2.4));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(1.7, 1.7, 12.6, 12.6));
    painter.setPen(QPen(QColor(255, 255, 255, 110), 0.7));
    painter.drawArc(QRectF(2.2, 2.2, 11.6, 11.6), 40 * 16, 100 * 16);
    QRadialGradient dot(QPointF(7.3, 7.2), 3.5);
    dot.setColorAt(0, QColor(0xff, 0xc8, 0x70));
    dot.setColorAt(1, QColor(0xf0, 0x6c, 0x00));
    painter.setPen(Qt::NoPen);
    painter.setBrush(dot);
    painter.drawEllipse(QPointF(8, 8), 3, 3);
}

void pinkSwirl(QPainter& painter) {
    QLinearGradient fill(0, 0, 0, 16);
    fill.setColorAt(0, QColor(0xff, 0xa6, 0xd0));
    fill.setColorAt(1, QColor(0xe8, 0x44, 0x90));
    painter.setPen(QPen(QColor(0xb0, 0x28, 0x68), 0.8));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3.5, 3.5);
    drawSwirl(painter, QPointF(8, 8), 6.3, SwirlTone::White);
}

void globe(QPainter& painter) {
    QRadialGradient fill(QPointF(5.5, 4.5), 12);
    fill.setColorAt(0, QColor(0xff, 0xd0, 0x70));
    fill.setColorAt(1, QColor(0xe4, 0x64, 0x00));
    painter.setPen(QPen(QColor(0xa8, 0x44, 0x00), 0.9));
    painter.setBrush(fill);
    painter.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    painter.setPen(QPen(QColor(255, 255, 255, 210), 0.9));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(4.6, 1, 6.8, 14));
    painter.drawLine(QPointF(8, 1), QPointF(8, 15));
    painter.drawLine(QPointF(1, 8), QPointF(15, 8));
    painter.drawLine(QPointF(2.4, 4.6), QPointF(13.6, 4.6));
    painter.drawLine(QPointF(2.4, 11.4), QPointF(13.6, 11.4));
}

} // namespace

std::vector<QImage> menuIcons(int scale) {
    return {
        icon(scale, birdMark),
        icon(scale, [](QPainter& p) { drawSwirl(p, QPointF(8, 8), 7.6); }),
        icon(scale, playButton),
        icon(scale, musicBadge),
        icon(scale, eyeMark),
        icon(scale, crossButton),
        icon(scale, turningDiamond),
        icon(scale,
             [](QPainter& p) { browserE(p, QColor(0x6c, 0xc4, 0xff), QColor(0x0a, 0x58, 0xc8)); }),
        icon(scale, speechBubble),
        icon(scale, ringWithDot),
        icon(scale, pinkSwirl),
        icon(scale,
             [](QPainter& p) { browserE(p, QColor(0xc8, 0x8c, 0xff), QColor(0x62, 0x1c, 0xb4)); }),
        icon(scale, globe),
    };
}

QImage imageListSheet(const std::vector<QImage>& images) {
    // Pixels are copied as they are (no painter, which would round semi-transparent colours
    // through premultiplied alpha), so every cell equals its source image exactly.
    const int cell = images.front().width();
    QImage sheet = canvasImage(QSize(64, 64), cell / 16, QImage::Format_ARGB32);
    sheet.fill(Qt::transparent);
    for (std::size_t i = 0; i < images.size(); ++i) {
        const QImage image = images[i].convertToFormat(QImage::Format_ARGB32);
        const int left = static_cast<int>(i % 4) * cell;
        const int top = static_cast<int>(i / 4) * cell;
        for (int y = 0; y < cell; ++y)
            for (int x = 0; x < cell; ++x)
                sheet.setPixel(left + x, top + y, image.pixel(x, y));
    }
    return sheet;
}

} // namespace artwork
