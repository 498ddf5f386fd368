#pragma once

#include "ui/framework/skin_window.h"

#include <memory>

namespace sorvo::ui {
class Canvas;
class TitleStrip;
class WebBrowser;
} // namespace sorvo::ui

namespace sorvo::app {

class TrayMenu;

// The start window: the radio page in its browser, the drawn title strip, the tray icon.
class MainWindow : public ui::SkinWindow {
    Q_OBJECT
  public:
    MainWindow();
    ~MainWindow() override;

    void onMainWindowCreated();
    void onMainWindowTrayEvent(int code);

    // 0: the next tray toggle shows the window; 1: it hides it.
    int trayToggleState() const { return trayToggleState_; }

    ui::Canvas& titleCanvas() const;
    ui::WebBrowser& radioBrowser() const;
    ui::TitleStrip& titleStrip() const { return *titleStrip_; }
    TrayMenu& trayMenu() const { return *trayMenu_; }

  private:
    int trayToggleState_ = 0;
    std::unique_ptr<ui::TitleStrip> titleStrip_;
    TrayMenu* trayMenu_;
};

} // namespace sorvo::app
