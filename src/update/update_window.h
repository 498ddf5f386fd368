#pragma once

#include "download/hooks.h"
#include "ui/framework/skin_window.h"
#include "update/update_phase.h"

class QComboBox;
class QLabel;
class QProgressBar;
class QTimer;

namespace sorvo::ui {
class GraphicButton;
class SkinMenu;
} // namespace sorvo::ui

namespace sorvo::update {

class UpdateController;

// The window in which the user starts the download of the upgrade package and follows it. A
// close request only hides it (minimises it where there is no tray); its own tray icon and
// tray menu bring it back (a right click on it where there is no tray). Cancelling stops
// the download.
class UpdateWindow : public ui::SkinWindow {
    Q_OBJECT
  public:
    explicit UpdateWindow(UpdateController& controller);
    ~UpdateWindow() override;

    inline static const QString trayPicture = QStringLiteral("UpdateIcon");

    UpdatePhase phase() const { return progress_.phase(); }
    ui::SkinMenu& trayMenu() const { return *trayMenu_; }

  public slots:
    void onUpdateWindowCreated();
    void onUpdateWindowTrayEvent(sorvo::ui::TrayActivation activation);
    void onOpenUpdateCommand();
    void onQuitUpdateCommand();
    void onCancelButtonClicked();
    void onStartButtonClicked();
    void onFastTick();
    void onStatusTick();
    // The download's end as this window shows it, before the package is started.
    void onDownloadFinished();
    // The download failed for good: the reason, and the start button for a retry.
    void onDownloadFailed(sorvo::download::MessageCode reason, int httpStatus);

  protected:
    bool acceptsCloseRequest() override;

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
        QTimer& fastTimer;
        QTimer& statusTimer;
    };
    static Controls controlsOf(const UpdateWindow& window);

    bool onUpdateWindowCloseRequest();
    void showDesignedTexts();
    void stopTimers();

    UpdateController& controller_;
    ui::SkinMenu* trayMenu_;
    const Controls controls_;
    UpdateProgress progress_;
};

} // namespace sorvo::update
