#pragma once

#include "ui/framework/skin_window.h"
#include "update/update_window.h"

#include <QTimer>

namespace sorvo::ui {
class Canvas;
class TitleStrip;
class WebBrowser;
} // namespace sorvo::ui

namespace sorvo::update {
class UpdateController;
}

namespace sorvo::app {

class TrayMenu;

// The start window: the radio page in its browser, the drawn title strip, the tray icon. Loaded,
// it puts up the splash and appears itself once the splash has had its time.
class MainWindow : public ui::SkinWindow {
    Q_OBJECT
  public:
    explicit MainWindow(update::UpdateController& updates);
    // Takes the splash and the update window with it.
    ~MainWindow() override;

    // 0: the next tray toggle shows the window; 1: it hides it.
    int trayToggleState() const { return trayToggleState_; }
    // Whether the splash still stands in the main window's place.
    bool splashing() const { return splashTime_.isActive(); }

    ui::Canvas& titleCanvas() const;
    ui::WebBrowser& radioBrowser() const;
    ui::TitleStrip& titleStrip() const { return *titleStrip_; }
    TrayMenu& trayMenu() const { return *trayMenu_; }
    // The update window while it stands: null before it opens and from the moment it closes.
    update::UpdateWindow* updateWindow() const { return updateWindow_; }

  public slots:
    void onMainWindowCreated();
    void onMainWindowTrayEvent(sorvo::ui::TrayActivation activation);
    void onSplashTimeUp();
    // A later launch asked for the client: shown, once start-up has shown it at all.
    void onRaiseRequested();
    // The version dialog, whose check opens the update window.
    void onUpdateCommand();
    // The update window: the one that exists, brought back as it is, or a new one.
    void showUpdateWindow();
    // The tray icon's tooltip names `title` as on the air; an empty one: nothing plays.
    void showOnAir(const QString& title);

  private:
    update::UpdateController& updates_;
    int trayToggleState_ = 0;
    ui::TitleStrip* titleStrip_;
    TrayMenu* trayMenu_;
    // Both while they stand.
    ui::SkinWindow* splash_ = nullptr;
    QTimer splashTime_;
    update::UpdateWindow* updateWindow_ = nullptr;
};

} // namespace sorvo::app
