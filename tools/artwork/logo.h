#pragma once

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>

// The product's mark: a blue swirl of three tapering arms around a bright core, and the word
// mark 索沃电台 with SORVO RADIO under it.
namespace artwork {

// The outline of the three arms, centred on centre and fitting a circle of the given radius.
QPainterPath swirlArms(QPointF centre, qreal radius);

enum class SwirlTone {
    Blue,  // the full-colour mark
    White, // a single white mark, for coloured grounds
};

// Draws the mark; withGlow adds a soft blue halo for dark grounds.
void drawSwirl(QPainter& painter, QPointF centre, qreal radius, SwirlTone tone = SwirlTone::Blue,
               bool withGlow = false);

// The word mark with its top-left corner at topLeft: the Chinese name in pixelSize and the
// spaced Latin name below it. Returns the width used.
qreal drawWordMark(QPainter& painter, QPointF topLeft, int pixelSize, QColor colour);

} // namespace artwork
