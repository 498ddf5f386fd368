#pragma once

#include "ui/framework/colour.h"
#include "ui/framework/dense_picture.h"

#include <QByteArray>
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace sorvo::ui {

// A retained drawing surface over a background picture repeated across it. What is drawn stays
// on the surface until a rectangle is cleared back to the background.
//
// The surface holds as many pixels per logical pixel as the background picture's device pixel
// ratio (its density): a 2x background makes a surface of twice the width and height. Positions
// and rectangles are logical, as are the pointer signals; pixel(), setPixel(), snapshot() and
// surface() work on the surface's own pixels, which are the logical ones at density 1.
class Canvas : public QWidget {
    Q_OBJECT
  public:
    // Starts from `plainPicture` as its background, the one drawn for the canvas's screen; it is
    // put back whenever the canvas goes to a screen of another density.
    explicit Canvas(QWidget* parent, const QString& plainPicture = {});

    // Replaces the background picture (drawn tiled from the top left) and repaints the whole
    // surface from it, at the picture's density.
    void setBackground(const QImage& picture);

    // Surface pixels per logical pixel along each axis: 1 or 2.
    int density() const { return density_; }

    // Draws `picture` (at the surface's density) with its top left at the logical point (x, y),
    // pixel for pixel; pixels of colour `transparent` are skipped.
    void drawPicture(const QImage& picture, int x, int y, Colour transparent);

    // A pixel of the surface; at density 2 the logical point (x, y) covers the pixels from
    // (2x, 2y) to (2x + 1, 2y + 1).
    Colour pixel(int x, int y) const;
    void setPixel(int x, int y, Colour colour);

    // Repaints the logical rectangle from the background picture, clipped to the canvas.
    void clearRect(int left, int top, int width, int height);

    // The whole surface as picture bytes (PNG), in surface pixels.
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
    // The canvas went to a screen whose pictures have another density and has put its plain
    // picture of that density back: whoever drew on it draws again.
    void densityChanged();

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
    // `area` in surface pixels.
    void paintFromBackground(const QRect& area) const;
    bool matchSurfaceToSize() const;
    QRect onSurface(const QRect& logical) const;
    // Repaints the logical pixels that cover `area`, in surface pixels.
    void updateSurface(const QRect& area);

    DensePicture plain_;
    int density_ = 1;
    QImage background_;
    mutable QImage surface_;
    std::vector<PressZone> zones_;
};

} // namespace sorvo::ui
