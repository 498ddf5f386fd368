#pragma once

#include "ui/framework/colour.h"

#include <QByteArray>
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace sorvo::ui {

// A retained drawing surface over a background picture repeated across it. What is drawn stays
// on the surface until a rectangle is cleared back to the background.
class Canvas : public QWidget {
    Q_OBJECT
  public:
    explicit Canvas(QWidget* parent);

    // Replaces the background picture (drawn tiled from the top left) and repaints the whole
    // surface from it.
    void setBackground(const QImage& picture);

    // Draws `picture` at (x, y) at its own size; pixels of colour `transparent` are skipped.
    void drawPicture(const QImage& picture, int x, int y, Colour transparent);

    Colour pixel(int x, int y) const;
    void setPixel(int x, int y, Colour colour);

    // Repaints the rectangle from the background picture, clipped to the canvas.
    void clearRect(int left, int top, int width, int height);

    // The whole surface as picture bytes (PNG).
    QByteArray snapshot() const;

    const QImage& surface() const {
        matchSurfaceToSize();
        return surface_;
    }

    // A place on the surface that acts as a button although it is only a picture there. Screen
    // readers see each zone as a push button with its name.
    struct PressZone {
        QString name;
        QRect rect;
    };
    void setPressZones(std::vector<PressZone> zones);
    const std::vector<PressZone>& pressZones() const { return zones_; }

    // Does what a left click at the zone's centre does: pointer moved, button down, button up.
    // Queued, since a click may open a modal window and whoever asks must not wait for it.
    void pressZone(std::size_t index);

  signals:
    // The pointer's position in canvas pixels; buttons are the left one only.
    void pointerMoved(int x, int y);
    void buttonPressed(int x, int y);
    void buttonReleased(int x, int y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void paintFromBackground(const QRect& area) const;
    bool matchSurfaceToSize() const;

    QImage background_;
    mutable QImage surface_;
    std::vector<PressZone> zones_;
};

} // namespace sorvo::ui
