#include "app/main_window.h"

#include "app/splash_window.h"
#include "app/tray_menu.h"
#include "platform/platform.h"
#include "resources/form_names.h"
#include "resources/window_design.h"
#include "ui/framework/canvas.h"
#include "ui/framework/program.h"
#include "ui/framework/tray_icon.h"
#include "ui/framework/web_browser.h"
#include "ui/rounded_region.h"
#include "ui/title_strip.h"

namespace sorvo::app {

namespace {
const QString trayTooltip = QStringLiteral("中国首款320kbps高音质在线电台收听");
constexpr int splashMilliseconds = 3000;
} // namespace

MainWindow::MainWindow()
    : SkinWindow(design::mainWindow()),
      titleStrip_(std::make_unique<ui::TitleStrip>(titleCanvas(), *this)),
      trayMenu_(new TrayMenu(*this)) {
    handlers.created = [this] { onMainWindowCreated(); };
    handlers.sizeChanged = [this] { ui::applyRoundedRegion(*this); };
    handlers.trayEvent = [this](int code) { onMainWindowTrayEvent(code); };
}

MainWindow::~MainWindow() = default;

ui::Canvas& MainWindow::titleCanvas() const {
    return *control<ui::Canvas>(design::mainForm::titleCanvas);
}

ui::WebBrowser& MainWindow::radioBrowser() const {
    return *control<ui::WebBrowser>(design::mainForm::radioBrowser);
}

void MainWindow::onMainWindowCreated() {
    setTrayIcon(QStringLiteral("ProgramIcon"), trayTooltip);
    trayIcon()->attachMenuForHost(trayMenu_);
    trayToggleState_ = 0;
    platform::setWindowStyle(*this, platform::windowStyle(*this) | platform::systemMenuStyle);
    // The browser engine loads with the first page, which waits until the splash is on screen.
    ui::SkinWindow* splash =
        loadSplashWindow(&radioBrowser(), [this] { radioBrowser().openStartPage(); });
    ui::program::waitProcessingMessages(splashMilliseconds);
    splash->destroyWindow();
    setVisible(true);
    ui::composeTitleStrip(titleCanvas());
}

void MainWindow::onMainWindowTrayEvent(int code) {
    if (code == ui::TrayIcon::RightClick) {
        trayMenu_->popUpAtCursor();
    } else if (code == ui::TrayIcon::LeftDoubleClick) {
        // Only the visible property changes: a minimised window stays minimised.
        setVisible(trayToggleState_ == 0);
        trayToggleState_ = trayToggleState_ == 0 ? 1 : 0;
    }
}

} // namespace sorvo::app
