#pragma once

#include "resources/window_design.h"

#include <QImage>
#include <QMenu>

namespace sorvo::ui {

// A popup menu drawn from a window's menu scheme: its colours, font and item icon list.
// The menu's title is the hidden top item whose children it shows.
class SkinMenu : public QMenu {
    Q_OBJECT
  public:
    SkinMenu(const QString& topCaption, const design::MenuScheme& scheme, QWidget* parent);

    // A command with the scheme's icon `iconIndex`; choosing it calls `slot` of `receiver`.
    template <class Receiver, class Slot>
    QAction* addCommand(const QString& caption, int iconIndex, const Receiver* receiver,
                        Slot slot) {
        return addAction(commandIcon(iconIndex), caption, receiver, std::move(slot));
    }

    // Shows the menu at the mouse position and returns at once.
    void popUpAtCursor();

  private:
    QIcon commandIcon(int iconIndex) const;

    // The icon list as drawn for ordinary screens, and its @2x twin for denser ones.
    QImage icons_;
    QImage denseIcons_;
};

} // namespace sorvo::ui
