#include "splash.h"

#include "layout.h"
#include "logo.h"
#include "paint_kit.h"

#include <QPainter>
#include <cmath>

namespace artwork {
namespace {

constexpr QRect bar{172, 227, 420, 16};
constexpr double filled = 0.68;
constexpr int stripePeriod = 16;

QImage ground(int scale) {
    const QSize size = layout::splashSize;
    QImage image = canvasImage(size, scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient sky(QPointF(250, 110), 620);
    sky.setColorAt(0.0, QColor(0x1c, 0x3c, 0x7c));
    sky.setColorAt(0.45, QColor(0x0c, 0x1c, 0x44));
    sky.setColorAt(1.0, QColor(0x03, 0x07, 0x16));
    painter.fillRect(QRect(QPoint(), size), sky);

    // Two soft beams falling from the upper left.
    for (int i = 0; i < 2; ++i) {
        QPainterPath beam;
        const double x = 120 + i * 170;
        beam.moveTo(x, -10);
        beam.lineTo(x + 90, -10);
        beam.lineTo(x + 330, size.height() + 10);
        beam.lineTo(x + 200, size.height() + 10);
        beam.closeSubpath();
        QLinearGradient light(QPointF(x, 0), QPointF(x + 200, size.height()));
        light.setColorAt(0, QColor(0x70, 0xb0, 0xff, 26 - i * 8));
        light.setColorAt(1, QColor(0x70, 0xb0, 0xff, 0));
        painter.fillPath(beam, light);
    }
    // Out-of-focus lights.
    Random random(0x5011);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 26; ++i) {
        const QPointF at(random.range(0, size.width()), random.range(0, size.height()));
        const double r = random.range(6, 26);
        QRadialGradient bokeh(at, r);
        const int alpha = static_cast<int>(random.range(10, 34));
        const QColor tint =
            random.unit() < 0.3 ? QColor(0xff, 0xa0, 0x40, alpha) : QColor(0x60, 0xb8, 0xff, alpha);
        bokeh.setColorAt(0, tint);
        bokeh.setColorAt(0.8, QColor(tint.red(), tint.green(), tint.blue(), alpha / 2));
        bokeh.setColorAt(1, QColor(tint.red(), tint.green(), tint.blue(), 0));
        painter.setBrush(bokeh);
        painter.drawEllipse(at, r, r);
    }
    // A large faint swirl watermark at the right.
    painter.setOpacity(0.045);
    drawSwirl(painter, QPointF(690, 80), 150, SwirlTone::White);
    painter.setOpacity(1);

    // The lockup: mark, word mark, version badge.
    drawSwirl(painter, QPointF(196, 112), 62, SwirlTone::Blue, true);
    const qreal width = drawWordMark(painter, QPointF(284, 56), 66, palette::brandBlue);
    const QRectF badge(284 + width + 12, 66, 50, 24);
    QPainterPath pill;
    pill.addRoundedRect(badge, 12, 12);
    drawSoftShadow(painter, pill, {0, 2}, 2, QColor(0, 0, 0, 170));
    QLinearGradient pillFill(badge.topLeft(), badge.bottomLeft());
    pillFill.setColorAt(0, QColor(0xff, 0xb0, 0x40));
    pillFill.setColorAt(1, QColor(0xf0, 0x6a, 0x00));
    painter.fillPath(pill, pillFill);
    drawShadowedText(painter, badge, Qt::AlignCenter, QStringLiteral("1.0"),
                     skinFont(15, QFont::Bold), Qt::white, QColor(0x90, 0x3c, 0x00, 200));

    // The floor line the bar stands on.
    QLinearGradient floor(QPointF(120, 0), QPointF(650, 0));
    floor.setColorAt(0, QColor(0x80, 0xc0, 0xff, 0));
    floor.setColorAt(0.5, QColor(0x80, 0xc0, 0xff, 60));
    floor.setColorAt(1, QColor(0x80, 0xc0, 0xff, 0));
    painter.fillRect(QRectF(120, bar.bottom() + 2.5, 530, 1), floor);

    drawShadowedText(painter, QRectF(0, 288, size.width(), 24), Qt::AlignCenter,
                     QStringLiteral("正在加载，请稍候..."), skinFont(15), palette::mutedText,
                     QColor(0, 0, 0, 200));
    return image;
}

// The bar alone, on a transparent ground, with its stripes at the given phase.
QImage progressBar(int phase, int scale) {
    QImage image = transparentImage(bar.size(), scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track(0.5, 0.5, bar.width() - 1, bar.height() - 1);
    const double radius = track.height() / 2;
    QLinearGradient trackFill(track.topLeft(), track.bottomLeft());
    trackFill.setColorAt(0, QColor(0x02, 0x06, 0x12));
    trackFill.setColorAt(1, QColor(0x14, 0x22, 0x3e));
    painter.setPen(QPen(QColor(0x3c, 0x5c, 0x94), 1));
    painter.setBrush(trackFill);
    painter.drawRoundedRect(track, radius, radius);

    const QRectF fill(2, 2, (bar.width() - 4) * filled, bar.height() - 4);
    QPainterPath fillPath;
    fillPath.addRoundedRect(fill, fill.height() / 2, fill.height() / 2);
    QLinearGradient blue(fill.topLeft(), fill.bottomLeft());
    blue.setColorAt(0, QColor(0x9c, 0xdc, 0xff));
    blue.setColorAt(0.45, QColor(0x2c, 0x90, 0xff));
    blue.setColorAt(1, QColor(0x0c, 0x50, 0xc8));
    painter.fillPath(fillPath, blue);

    painter.save();
    painter.setClipPath(fillPath);
    const double shift = phase * stripePeriod / 2.0;
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 60));
    for (double x = -fill.height() - stripePeriod + shift; x < fill.right(); x += stripePeriod) {
        painter.drawPolygon(QPolygonF({{x, fill.bottom()},
                                       {x + fill.height(), fill.top()},
                                       {x + fill.height() + stripePeriod / 2.0, fill.top()},
                                       {x + stripePeriod / 2.0, fill.bottom()}}));
    }
    // Gloss over the upper half.
    QLinearGradient gloss(fill.topLeft(), QPointF(fill.left(), fill.center().y()));
    gloss.setColorAt(0, QColor(255, 255, 255, 110));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    painter.fillRect(fill, gloss);
    painter.restore();

    // A bright leading edge.
    QRadialGradient head(QPointF(fill.right() - 3, fill.center().y()), 9);
    head.setColorAt(0, QColor(0xe0, 0xf4, 0xff, 200));
    head.setColorAt(1, QColor(0xe0, 0xf4, 0xff, 0));
    painter.setBrush(head);
    painter.drawEllipse(QPointF(fill.right() - 3, fill.center().y()), 9, 9);
    return image;
}

} // namespace

QImage splashFrame(int phase, int scale) {
    QImage image = ground(scale);
    QPainter painter(&image);
    const QImage barImage = progressBar(phase, scale);
    painter.drawImage(bar.topLeft(), barImage);

    // The reflection: the bar upside down under the floor line, fading out downwards.
    QImage reflection = barImage.mirrored(false, true);
    {
        QPainter fade(&reflection);
        fade.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        QLinearGradient alpha(0, 0, 0, bar.height());
        alpha.setColorAt(0, QColor(0, 0, 0, 110));
        alpha.setColorAt(1, QColor(0, 0, 0, 0));
        fade.fillRect(QRect(QPoint(), bar.size()), alpha);
    }
    painter.drawImage(QPoint(bar.left(), bar.bottom() + 5), reflection);
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace artwork
