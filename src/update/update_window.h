#pragma once

#include "ui/framework/skin_window.h"
#include "update/update_phase.h"

class QComboBox;
class QLabel;
class QProgressBar;

namespace sorvo::ui {
class GraphicButton;
class SkinMenu;
class Timer;
} // namespace sorvo::ui

namespace sorvo::update {

struct DownloadEvent;
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
    // The download's end as this window shows it, before the package is started.
    void onDownloadFinished();
    // A download of this window failed for good: the reason, and the start button for a retry.
    void onDownloadFailed(const DownloadEvent& event);

    UpdatePhase phase() const { return progress_.phase(); }

    ui::SkinMenu& trayMenu() const { return *trayMenu_; }

  private:
    // The controls the handlers work on, found once by their form names.
    struct Controls {
        QProgressBar& progressBar;
        QLabel& percentLabel;
        QLabel& sizeLabel;
        QLabel& timeLabel;
        QLabel& speedLabel;
        QComboBox& speedList;
        ui::GraphicButton& startButton;
        ui::GraphicButton& cancelButton;
        ui::Timer& fastTimer;
        ui::Timer& statusTimer;
    };
    static Controls controlsOf(const UpdateWindow& window);

    void stopTimers();

    UpdateServices& services_;
    ui::SkinMenu* trayMenu_;
    const Controls controls_;
    UpdateProgress progress_;
};

} // namespace sorvo::update
