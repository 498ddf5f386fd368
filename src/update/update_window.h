#pragma once

#include "ui/framework/skin_window.h"

class QLabel;

namespace sorvo::ui {
class SkinMenu;
}

namespace sorvo::update {

class UpdateServices;

// Opens the update window, modeless and without owner. When one exists already, that one is
// shown again as it is, a running download's display included.
void openUpdateWindow();

// The window in which the user starts the download of the upgrade package and follows it. A
// close request only hides it; its own tray icon and tray menu bring it back.
class UpdateWindow : public ui::SkinWindow {
    Q_OBJECT
  public:
    explicit UpdateWindow(UpdateServices& services);
    ~UpdateWindow() override;

    // The update window that exists now (not yet destroyed), or null.
    static UpdateWindow* current();

    inline static const QString trayPicture = QStringLiteral("UpdateIcon");

    void onUpdateWindowCreated();
    bool onUpdateWindowCloseRequest();
    void onUpdateWindowTrayEvent(int code);
    void onOpenUpdateCommand();
    void onQuitUpdateCommand();
    void onCancelButtonClicked();
    void onStartButtonClicked();
    void onFastTick();
    void onStatusTick();

    // Visible, in the normal state and in front.
    void bringBack();

    QLabel& label(const QString& formName) const;
    ui::SkinMenu& trayMenu() const { return *trayMenu_; }

  private:
    UpdateServices& services_;
    ui::SkinMenu* trayMenu_;
};

} // namespace sorvo::update
