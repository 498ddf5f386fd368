#include "logo.h"

#include "paint_kit.h"

#include <cmath>
#include <numbers>

namespace artwork {

QPainterPath swirlArms(QPointF centre, qreal radius) {
    QPainterPath arms;
    constexpr int samples = 64;
    constexpr double sweep = 2.3; // radians each arm turns
    for (int arm = 0; arm < 3; ++arm) {
        const double start = -std::numbers::pi / 2 + arm * 2 * std::numbers::pi / 3;
        auto centreLine = [&](double t) {
            const double angle = start + sweep * t;
            const double r = radius * (0.12 + 0.86 * t);
            return centre + QPointF(std::cos(angle), std::sin(angle)) * r;
        };
        QPolygonF outer;
        QPolygonF inner;
        for (int i = 0; i <= samples; ++i) {
            const double t = static_cast<double>(i) / samples;
            const QPointF ahead = centreLine(std::min(1.0, t + 0.01));
            const QPointF behind = centreLine(std::max(0.0, t - 0.01));
            const QPointF tangent = ahead - behind;
            const double length = std::hypot(tangent.x(), tangent.y());
            const QPointF normal(-tangent.y() / length, tangent.x() / length);
            // A comma: born in the core, fullest past the middle, ending in a point.
            const double width = radius * 1.05 * std::pow(t, 0.6) * std::pow(1 - t, 0.5);
            // Most of the width grows on the outer side, so the arm's back is a clean curve.
            outer << centreLine(t) - normal * (width * 0.65);
            inner << centreLine(t) + normal * (width * 0.35);
        }
        QPainterPath shape;
        shape.moveTo(outer.first());
        for (qsizetype i = 1; i < outer.size(); ++i)
            shape.lineTo(outer[i]);
        for (qsizetype i = inner.size() - 1; i >= 0; --i)
            shape.lineTo(inner[i]);
        shape.closeSubpath();
        arms = arms.united(shape);
    }
    QPainterPath core;
    core.addEllipse(centre, radius * 0.22, radius * 0.22);
    return arms.united(core).simplified();
}

void drawSwirl(QPainter& painter, QPointF centre, qreal radius, SwirlTone tone, bool withGlow) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath arms = swirlArms(centre, radius);
    if (withGlow) {
        drawSoftShadow(painter, arms, {0, 0}, std::max(2, static_cast<int>(radius / 5)),
                       QColor(0x3a, 0x9c, 0xff, 200));
    }
    if (tone == SwirlTone::White) {
        painter.fillPath(arms, QColor(255, 255, 255));
        painter.restore();
        return;
    }
    QRadialGradient fill(centre, radius, centre - QPointF(radius * 0.25, radius * 0.3));
    fill.setColorAt(0.0, QColor(0xe6, 0xf8, 0xff));
    fill.setColorAt(0.25, palette::skyBlue);
    fill.setColorAt(0.65, palette::brandBlue);
    fill.setColorAt(1.0, QColor(0x0c, 0x3f, 0xb0));
    painter.fillPath(arms, fill);
    if (radius >= 12) {
        // A thin darker rim keeps the arms apart on light grounds.
        painter.setPen(QPen(QColor(0x0a, 0x35, 0x90, 160), std::max(0.6, radius / 40)));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(arms);
        // A highlight on the core.
        QRadialGradient shine(centre - QPointF(radius * 0.06, radius * 0.07), radius * 0.14);
        shine.setColorAt(0, QColor(255, 255, 255, 230));
        shine.setColorAt(1, QColor(255, 255, 255, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(shine);
        painter.drawEllipse(centre, radius * 0.2, radius * 0.2);
    }
    painter.restore();
}

qreal drawWordMark(QPainter& painter, QPointF topLeft, int pixelSize, QColor colour) {
    painter.save();
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QFont name = skinFont(pixelSize, QFont::Black);
    const QFontMetricsF nameMetrics(name);
    const QString title = QStringLiteral("索沃电台");
    const qreal width = nameMetrics.horizontalAdvance(title);
    const QRectF nameRect(topLeft, QSizeF(width, nameMetrics.height()));

    QPainterPath text;
    text.addText(topLeft + QPointF(0, nameMetrics.ascent()), name, title);
    drawSoftShadow(painter, text, QPointF(0, pixelSize / 20.0 + 1), std::max(1, pixelSize / 16),
                   QColor(0, 0, 0, 200));
    QLinearGradient fill(nameRect.topLeft(), nameRect.bottomLeft());
    fill.setColorAt(0.25, QColor(255, 255, 255));
    fill.setColorAt(0.85, mix(colour, QColor(0x9c, 0xd6, 0xff), 0.6));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(text, fill);

    QFont latin = skinFont(std::max(9, pixelSize / 4), QFont::Medium);
    latin.setLetterSpacing(QFont::AbsoluteSpacing, pixelSize / 9.0);
    painter.setFont(latin);
    painter.setPen(palette::skyBlue);
    const QRectF latinRect(topLeft.x(), topLeft.y() + nameMetrics.height() * 0.98, width,
                           QFontMetricsF(latin).height());
    painter.drawText(latinRect, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("SORVO RADIO"));
    painter.restore();
    return width;
}

} // namespace artwork
