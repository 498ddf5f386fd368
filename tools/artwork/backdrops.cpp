#include "backdrops.h"

#include "buttons.h"
#include "layout.h"
#include "logo.h"
#include "paint_kit.h"
#include "textures.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace artwork {

QImage quitConfirmBackdrop(int scale) {
    const QSize size = layout::dialogSize;
    QImage image = starrySky(size, scale, 0x51a7);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // Heading strip: dark blue with a lit lower edge, small mark and 温馨提示.
    const QRectF strip(0, 0, size.width(), 30);
    QLinearGradient stripFill(strip.topLeft(), strip.bottomLeft());
    stripFill.setColorAt(0, QColor(0x1b, 0x2c, 0x6e));
    stripFill.setColorAt(1, QColor(0x0b, 0x15, 0x3e));
    QPainterPath stripPath;
    stripPath.addRect(strip);
    drawSoftShadow(painter, stripPath, {0, 2}, 3, QColor(0, 0, 0, 160));
    painter.fillRect(strip, stripFill);
    painter.fillRect(QRectF(0, 29, size.width(), 1), QColor(0x6a, 0x9c, 0xff, 150));
    drawSwirl(painter, QPointF(19, 15), 10, SwirlTone::Blue, false);
    drawShadowedText(painter, QRectF(36, 0, 200, 30), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("温馨提示"), skinFont(14, QFont::Bold), palette::text);

    // The mark in the middle, with a halo.
    drawSwirl(painter, QPointF(size.width() / 2.0, 88), 34, SwirlTone::Blue, true);

    // The question.
    drawShadowedText(painter, QRectF(0, 134, size.width(), 26), Qt::AlignCenter,
                     QStringLiteral("您确定要退出索沃电台吗？"), skinFont(16, QFont::Bold),
                     palette::text, QColor(0x12, 0x04, 0x2a, 220));

    // A darker band for the buttons.
    const QRectF band(0, 186, size.width(), size.height() - 186);
    QLinearGradient bandFill(band.topLeft(), band.bottomLeft());
    bandFill.setColorAt(0, QColor(0x0e, 0x05, 0x24, 110));
    bandFill.setColorAt(1, QColor(0x0e, 0x05, 0x24, 170));
    painter.fillRect(band, bandFill);
    painter.fillRect(QRectF(18, 186, size.width() - 36, 1), QColor(0xc0, 0xa0, 0xff, 90));
    return image;
}

QImage aboutBackdrop(int scale) {
    const QSize size = layout::dialogSize;
    QImage image = dottedTeal(size, scale);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QPointF logo(68, 116);
    drawSwirl(painter, logo, 40, SwirlTone::Blue, true);

    const double left = 122;
    drawWordMark(painter, QPointF(left, 62), 26, palette::brandBlue);
    painter.fillRect(QRectF(left, 118, 185, 1), QColor(0x6c, 0xe0, 0xe0, 110));

    const QFont lineFont = skinFont(12);
    drawShadowedText(painter, QRectF(left, 128, 200, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("官方网站：www.sorvo.example"), lineFont, palette::text);
    drawShadowedText(painter, QRectF(left, 150, 200, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("联系邮箱：service@sorvo.example"), lineFont, palette::text);
    return image;
}

QImage versionBackdrop(bool withButtonFaces, int scale) {
    const QSize size = layout::versionSize;
    QImage image =
        carbonFibre(size, scale, 0.95, 0.55).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    // A blue light behind the mark.
    QRadialGradient light(QPointF(190, 96), 260);
    light.setColorAt(0, QColor(0x2a, 0x7a, 0xff, 90));
    light.setColorAt(1, QColor(0x2a, 0x7a, 0xff, 0));
    painter.fillRect(QRect(QPoint(), size), light);

    drawSwirl(painter, QPointF(150, 92), 52, SwirlTone::Blue, true);
    drawWordMark(painter, QPointF(222, 44), 54, palette::brandBlue);

    // Separator and the version line.
    QLinearGradient rule(QPointF(40, 0), QPointF(size.width() - 40, 0));
    rule.setColorAt(0, QColor(255, 255, 255, 0));
    rule.setColorAt(0.5, QColor(0x8c, 0xc8, 0xff, 150));
    rule.setColorAt(1, QColor(255, 255, 255, 0));
    painter.fillRect(QRectF(40, 166, size.width() - 80, 1), rule);
    drawShadowedText(painter, QRectF(0, 174, size.width(), 28), Qt::AlignCenter,
                     QStringLiteral("当前版本：1.0 桌面版"), skinFont(17, QFont::Bold),
                     QColor(0xff, 0x3c, 0x3c), QColor(0, 0, 0, 220));

    if (withButtonFaces) {
        drawVersionButtonFace(painter, layout::checkUpdateButton, QStringLiteral("检测更新"),
                              ButtonState::Normal);
        drawVersionButtonFace(painter, layout::cancelCheckButton, QStringLiteral("取消检测"),
                              ButtonState::Normal);
    }
    return image;
}

QImage updateBackdrop(int scale) {
    const QSize size = layout::updateBackdropSize;
    QImage image = carbonFibre(size, scale, 1.25, 0.3);
    // A cool sheen from the upper left keeps the left side lightest.
    QPainter painter(&image);
    QRadialGradient sheen(QPointF(0, 0), size.width() * 0.8);
    sheen.setColorAt(0, QColor(0x5a, 0x78, 0xa0, 60));
    sheen.setColorAt(1, QColor(0x5a, 0x78, 0xa0, 0));
    painter.fillRect(QRect(QPoint(), size), sheen);
    return image;
}

namespace {

// A dark grey surface lit from above, with a bright first row.
QImage litFromAbove(QSize size, int scale, const QGradientStops& stops, QColor topRow) {
    QImage image = canvasImage(size, scale, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient fill(0, 0, 0, size.height());
    fill.setStops(stops);
    painter.fillRect(QRect(QPoint(), size), fill);
    painter.fillRect(QRect(0, 0, size.width(), 1), topRow);
    return image;
}

} // namespace

QImage bandImage(int scale) {
    QImage image = litFromAbove(QSize(960, 20), scale,
                                {{0.0, QColor(0x4a, 0x4e, 0x56)},
                                 {0.1, QColor(0x34, 0x37, 0x3e)},
                                 {0.6, QColor(0x24, 0x26, 0x2b)},
                                 {1.0, QColor(0x18, 0x19, 0x1d)}},
                                QColor(0x70, 0x76, 0x80));
    // A faint brushed grain along the band.
    for (int j = scale; j < image.height(); ++j) {
        for (int i = 0; i < image.width(); ++i) {
            const double grain =
                valueNoise(unitsAt(i, scale) / 40.0, unitsAt(j, scale) * 1.7, 5) - 0.5;
            const QRgb p = image.pixel(i, j);
            const int lift = static_cast<int>(std::lround(grain * 10));
            image.setPixel(i, j,
                           qRgb(std::clamp(qRed(p) + lift, 0, 255),
                                std::clamp(qGreen(p) + lift, 0, 255),
                                std::clamp(qBlue(p) + lift, 0, 255)));
        }
    }
    return image;
}

QImage stripTile(int scale) {
    QImage image = litFromAbove(QSize(7, 22), scale,
                                {{0.0, QColor(0x3e, 0x42, 0x4a)},
                                 {0.5, QColor(0x2a, 0x2d, 0x33)},
                                 {1.0, QColor(0x1c, 0x1e, 0x22)}},
                                QColor(0x5c, 0x62, 0x6c));
    // A dark last row sets the strip off from the band below it.
    plotPixels(image, QRectF(0, 21, 7, 1), qRgb(0x12, 0x13, 0x16));
    return image;
}

} // namespace artwork
