#pragma once

#include "resources/window_design.h"

#include <QImage>
#include <QMenu>
#include <functional>

namespace sorvo::ui {

// A popup menu drawn from a window's menu scheme: its colours, font and item icon list.
// The menu's title is the hidden top item whose children it shows.
class SkinMenu : public QMenu {
    Q_OBJECT
  public:
    SkinMenu(const QString& topCaption, const design::MenuScheme& scheme, QWidget* parent);

    QAction* addCommand(const QString& caption, int iconIndex, std::function<void()> handler);

    // Shows the menu at the mouse position; returns when it closes, after the chosen command ran.
    void popUpAtCursor();

  private:
    // The icon list as drawn for ordinary screens, and its @2x twin for denser ones.
    QImage icons_;
    QImage denseIcons_;
};

} // namespace sorvo::ui
