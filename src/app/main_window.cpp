#include "app/main_window.h"

#include "app/splash_window.h"
#include "app/tray_menu.h"
#include "platform/platform.h"
#include "resources/form_names.h"
#include "resources/window_design.h"
#include "ui/dialogs.h"
#include "ui/framework/after_first_paint.h"
#include "ui/framework/canvas.h"
#include "ui/framework/web_browser.h"
#include "ui/product_pages.h"
#include "ui/title_strip.h"
#include "update/update_window.h"

namespace sorvo::app {

namespace {
const QString trayTooltip = QStringLiteral("中国首款320kbps高音质在线电台收听");
const QString onAirLine = QStringLiteral("正在播放：");
constexpr int splashMilliseconds = 3000;

// `held` points at `window` until the window closes.
template <class Window> Window* holdWhileStanding(Window*& held, Window* window) {
    held = window;
    QObject::connect(window, &ui::SkinWindow::closed, window, [&held] { held = nullptr; });
    return window;
}
} // namespace

MainWindow::MainWindow(update::UpdateController& updates)
    : SkinWindow(design::mainWindow()), updates_(updates),
      titleStrip_(new ui::TitleStrip(titleCanvas(), *this)), trayMenu_(new TrayMenu(*this)) {
    connect(this, &SkinWindow::created, this, &MainWindow::onMainWindowCreated);
    setTrayMenu(*trayMenu_);
    connect(this, &SkinWindow::trayActivated, this, &MainWindow::onMainWindowTrayEvent);
    // A coarse timer may fire up to 5 % early, cutting the splash short.
    splashTime_.setSingleShot(true);
    splashTime_.setTimerType(Qt::PreciseTimer);
    connect(&splashTime_, &QTimer::timeout, this, &MainWindow::onSplashTimeUp);
}

// The splash and the update window are windows of their own, not children of this one.
MainWindow::~MainWindow() {
    delete splash_;
    delete updateWindow_;
}

ui::Canvas& MainWindow::titleCanvas() const {
    return *control<ui::Canvas>(design::mainForm::titleCanvas);
}

ui::WebBrowser& MainWindow::radioBrowser() const {
    return *control<ui::WebBrowser>(design::mainForm::radioBrowser);
}

void MainWindow::onMainWindowCreated() {
    setTrayIcon(QStringLiteral("ProgramIcon"), trayTooltip);
    trayToggleState_ = 0;
    platform::enableWindowMenu(*this);
    holdWhileStanding(splash_, newSplashWindow());
    // The browser engine loads with the first page, which waits until the splash is on screen.
    ui::afterFirstPaint(*splash_, &radioBrowser(),
                        [this] { ui::openProductStartPage(radioBrowser()); });
    splash_->showModeless();
    splashTime_.start(splashMilliseconds);
}

void MainWindow::onSplashTimeUp() {
    // A close request from the system may have taken the splash away already.
    if (splash_) splash_->close();
    setVisible(true);
    ui::composeTitleStrip(titleCanvas());
}

void MainWindow::showOnAir(const QString& title) {
    const QString tooltip = title.isEmpty() ? trayTooltip : trayTooltip + u'\n' + onAirLine + title;
    if (trayIcon() != nullptr && trayIcon()->tooltip() != tooltip)
        setTrayIcon(QStringLiteral("ProgramIcon"), tooltip);
}

void MainWindow::onRaiseRequested() {
    if (!splashing()) bringToFront();
}

void MainWindow::onMainWindowTrayEvent(ui::TrayActivation activation) {
    if (activation == ui::TrayActivation::ContextMenu) {
        trayMenu_->popUpAtCursor();
    } else if (activation == ui::TrayActivation::DoubleClick ||
               (activation == ui::TrayActivation::Click && trayIcon()->hostClicksOnce())) {
        // Only the visible property changes: a minimised window stays minimised.
        setVisible(trayToggleState_ == 0);
        trayToggleState_ = trayToggleState_ == 0 ? 1 : 0;
    }
}

void MainWindow::onUpdateCommand() {
    ui::VersionWindow* dialog = ui::openVersionWindow(*this);
    connect(dialog, &ui::VersionWindow::updateCheckRequested, this, &MainWindow::showUpdateWindow);
}

void MainWindow::showUpdateWindow() {
    if (updateWindow_) {
        updateWindow_->bringToFront();
        return;
    }
    holdWhileStanding(updateWindow_, new update::UpdateWindow(updates_))->showModeless();
}

} // namespace sorvo::app
