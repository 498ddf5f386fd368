#pragma once

#include "ui/framework/skin_menu.h"

namespace sorvo::app {

class MainWindow;

// The main window's popup menu ("鼠标菜单"): show or minimise the window, the product's web
// pages, and the version, about and quit dialogs.
class TrayMenu : public ui::SkinMenu {
    Q_OBJECT
  public:
    explicit TrayMenu(MainWindow& mainWindow);
};

} // namespace sorvo::app
