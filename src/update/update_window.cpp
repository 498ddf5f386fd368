#include "update/update_window.h"

#include "config/hosts.h"
#include "resources/form_names.h"
#include "resources/window_design.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/skin_menu.h"
#include "ui/framework/timer.h"
#include "ui/framework/tray_icon.h"
#include "ui/framework/web_browser.h"
#include "ui/rounded_region.h"
#include "update/download_event.h"
#include "update/package_location.h"
#include "update/progress_texts.h"
#include "update/update_services.h"
#include "update/update_settings.h"
#include "update/update_state.h"

#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QStyleFactory>
#include <QTimer>

namespace sorvo::update {

namespace form = design::updateForm;

namespace {

const QString trayTooltip = QStringLiteral("索沃音乐盒在线更新升级");
constexpr int fastTickMs = 50;
constexpr int statusTickMs = 1000;
constexpr int fullBar = 1000;

QPointer<UpdateWindow>& currentWindow() {
    static QPointer<UpdateWindow> window;
    return window;
}

// The skin leaves the standard controls (the speed list, the progress bar) to the theme; one
// style for all of them keeps them alike on every desktop.
void applyThemedControls(QWidget& window) {
    QStyle* themed = QStyleFactory::create(QStringLiteral("Fusion"));
    themed->setParent(&window);
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (qobject_cast<QComboBox*>(control) || qobject_cast<QProgressBar*>(control))
            control->setStyle(themed);
    }
}

} // namespace

void openUpdateWindow() {
    if (UpdateWindow* existing = UpdateWindow::current()) {
        existing->bringToFront();
        return;
    }
    ui::SkinWindow::load(new UpdateWindow(componentServices()), false);
}

UpdateWindow::Controls UpdateWindow::controlsOf(const UpdateWindow& window) {
    return {*window.control<QProgressBar>(form::progressBar),
            *window.control<QLabel>(form::percentLabel),
            *window.control<QLabel>(form::sizeLabel),
            *window.control<QLabel>(form::timeLabel),
            *window.control<QLabel>(form::speedLabel),
            *window.control<QComboBox>(form::speedList),
            *window.control<ui::GraphicButton>(form::startButton),
            *window.control<ui::GraphicButton>(form::cancelButton),
            *window.timer(form::fastTimer),
            *window.timer(form::statusTimer)};
}

UpdateWindow::UpdateWindow(UpdateServices& services)
    : SkinWindow(design::updateWindow()), services_(services),
      trayMenu_(new ui::SkinMenu(QStringLiteral("托盘菜单"), design::updateMenuScheme(), this)),
      controls_(controlsOf(*this)) {
    currentWindow() = this;
    handlers.created = [this] { onUpdateWindowCreated(); };
    handlers.sizeChanged = [this] { ui::applyRoundedRegion(*this); };
    handlers.closeRequest = [this] { return onUpdateWindowCloseRequest(); };
    handlers.trayEvent = [this](int code) { onUpdateWindowTrayEvent(code); };

    trayMenu_->addSeparator();
    trayMenu_->addCommand(QStringLiteral("打开升级"), 13, [this] { onOpenUpdateCommand(); });
    trayMenu_->addCommand(QStringLiteral("退出升级"), 5, [this] { onQuitUpdateCommand(); });

    connect(&controls_.startButton, &QAbstractButton::clicked, this,
            [this] { onStartButtonClicked(); });
    connect(&controls_.cancelButton, &QAbstractButton::clicked, this,
            [this] { onCancelButtonClicked(); });
    controls_.fastTimer.onTick = [this] { onFastTick(); };
    controls_.statusTimer.onTick = [this] { onStatusTick(); };

    auto* page = control<ui::WebBrowser>(form::page);
    QTimer::singleShot(0, page, &ui::WebBrowser::openStartPage);
}

UpdateWindow::~UpdateWindow() = default;

UpdateWindow* UpdateWindow::current() {
    UpdateWindow* window = currentWindow();
    return window && !window->isDestroyed() ? window : nullptr;
}

void UpdateWindow::onUpdateWindowCreated() {
    ui::applyRoundedRegion(*this);
    applyThemedControls(*this);
    setTrayIcon(trayPicture, trayTooltip);
    trayIcon()->attachMenuForHost(trayMenu_);
    updateState().packageUrl = packageUrlOn(hosts().download);
    updateState().packagePath = packagePathHere();
}

bool UpdateWindow::onUpdateWindowCloseRequest() {
    hide();
    return false;
}

void UpdateWindow::onUpdateWindowTrayEvent(int code) {
    if (code == ui::TrayIcon::LeftClick) {
        bringToFront();
    } else if (code == ui::TrayIcon::RightClick) {
        trayMenu_->popUpAtCursor();
    }
}

void UpdateWindow::onOpenUpdateCommand() {
    // The window is alive whenever its menu is used, so loading it again only shows it.
    bringToFront();
}

void UpdateWindow::onQuitUpdateCommand() {
    destroyWindow();
}

void UpdateWindow::onCancelButtonClicked() {
    destroyWindow();
}

void UpdateWindow::onStartButtonClicked() {
    const bool retry = progress_.phase() == UpdatePhase::Failed;
    if (!progress_.start()) return;
    UpdateState& state = updateState();
    // An earlier download still running is stopped first, so that none of its figures are
    // taken for this one's.
    services_.stopDownload();
    state.totalBytes.store(0);
    state.downloadTarget = state.packagePath;
    fillUpdateSettings(state.settings, state.packageUrl, state.packagePath,
                       controls_.speedList.currentData().toInt());
    services_.startDownload(state.settings);

    controls_.startButton.setEnabled(false);
    controls_.sizeLabel.setText(connectingText);
    if (retry) {
        controls_.progressBar.setValue(0);
        setTrayIcon(trayPicture, trayTooltip);
    }
    controls_.statusTimer.setInterval(statusTickMs);
    controls_.fastTimer.setInterval(fastTickMs);
    state.startTicks = services_.tickCount();
}

void UpdateWindow::onFastTick() {
    const std::int64_t total = updateState().totalBytes.load();
    if (total != 0) controls_.progressBar.setValue(barPosition(services_.bytesDone(), total));
    if (!progress_.barAt(controls_.progressBar.value())) return;
    controls_.percentLabel.setText({}); // unlike clear(), tells screen readers
    controls_.sizeLabel.setText({});
    controls_.speedLabel.setText(verifyingText);
    controls_.progressBar.setValue(fullBar);
}

void UpdateWindow::onStatusTick() {
    const UpdateState& state = updateState();
    const std::int64_t total = state.totalBytes.load();
    if (progress_.phase() == UpdatePhase::Verifying) {
        // What this download has written, never whatever file lies at the package's name.
        if (!progress_.stored(services_.bytesStored(), total)) return;
        controls_.sizeLabel.setText(fileSizeText(total));
        const auto start = static_cast<std::uint32_t>(state.startTicks);
        controls_.timeLabel.setText(totalTimeText(elapsedTicks(services_.tickCount(), start)));
        controls_.percentLabel.setText(completedText);
        setTrayIcon(trayPicture, completedText);
        stopTimers();
        return;
    }
    if (total == 0) return;

    const QString downloaded = downloadedText(controls_.progressBar.value());
    controls_.percentLabel.setText(downloaded);
    setTrayIcon(trayPicture, downloaded);
    controls_.sizeLabel.setText(sizeProgressText(services_.bytesDone(), total));
    controls_.speedLabel.setText(speedText(services_.currentSpeed()));
    if (auto remaining = remainingTimeText(total, services_.bytesDone(), services_.overallRate()))
        controls_.timeLabel.setText(*remaining);
}

void UpdateWindow::onDownloadFinished() {
    controls_.speedLabel.setText(finishedText);
    setTrayIcon(trayPicture, finishedText);
}

void UpdateWindow::onDownloadFailed(const DownloadEvent& event) {
    if (!progress_.failed()) return;
    stopTimers();
    controls_.sizeLabel.setText(failureText(event));
    setTrayIcon(trayPicture, failedText);
    controls_.startButton.setEnabled(true);
}

void UpdateWindow::stopTimers() {
    controls_.fastTimer.setInterval(0);
    controls_.statusTimer.setInterval(0);
}

} // namespace sorvo::update
