#include "update/update_window.h"

#include "platform/tray_hosts.h"
#include "resources/form_names.h"
#include "resources/window_design.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/skin_menu.h"
#include "ui/framework/web_browser.h"
#include "ui/product_pages.h"
#include "update/progress_texts.h"
#include "update/update_controller.h"

#include <QComboBox>
#include <QLabel>
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

UpdateWindow::UpdateWindow(UpdateController& controller)
    : SkinWindow(design::updateWindow()), controller_(controller),
      trayMenu_(new ui::SkinMenu(QStringLiteral("托盘菜单"), design::updateMenuScheme(), this)),
      controls_(controlsOf(*this)) {
    connect(this, &SkinWindow::created, this, &UpdateWindow::onUpdateWindowCreated);
    connect(this, &SkinWindow::trayActivated, this, &UpdateWindow::onUpdateWindowTrayEvent);

    setTrayMenu(*trayMenu_);
    trayMenu_->addSeparator();
    trayMenu_->addCommand(QStringLiteral("打开升级"), 13, this, &UpdateWindow::onOpenUpdateCommand);
    trayMenu_->addCommand(QStringLiteral("退出升级"), 5, this, &UpdateWindow::onQuitUpdateCommand);

    connect(&controls_.startButton, &QAbstractButton::clicked, this,
            &UpdateWindow::onStartButtonClicked);
    connect(&controls_.cancelButton, &QAbstractButton::clicked, this,
            &UpdateWindow::onCancelButtonClicked);
    connect(&controls_.fastTimer, &QTimer::timeout, this, &UpdateWindow::onFastTick);
    connect(&controls_.statusTimer, &QTimer::timeout, this, &UpdateWindow::onStatusTick);

    connect(&controller_, &UpdateController::finished, this, &UpdateWindow::onDownloadFinished);
    connect(&controller_, &UpdateController::packageStarted, this, &QWidget::close);
    connect(&controller_, &UpdateController::failed, this, &UpdateWindow::onDownloadFailed);

    auto* page = control<ui::WebBrowser>(form::page);
    QTimer::singleShot(0, page, [page] { ui::openProductStartPage(*page); });
}

UpdateWindow::~UpdateWindow() = default;

void UpdateWindow::onUpdateWindowCreated() {
    applyThemedControls(*this);
    setTrayIcon(trayPicture, trayTooltip);
    controller_.locatePackage();
}

bool UpdateWindow::acceptsCloseRequest() {
    return onUpdateWindowCloseRequest();
}

// Without a tray to bring it back from, the window is minimised instead of hidden.
bool UpdateWindow::onUpdateWindowCloseRequest() {
    if (platform::TrayHosts::instance().any())
        hide();
    else
        minimise();
    return false;
}

void UpdateWindow::onUpdateWindowTrayEvent(ui::TrayActivation activation) {
    if (activation == ui::TrayActivation::Click) {
        bringToFront();
    } else if (activation == ui::TrayActivation::ContextMenu) {
        trayMenu_->popUpAtCursor();
    }
}

void UpdateWindow::onOpenUpdateCommand() {
    // The window is alive whenever its menu is used, so loading it again only shows it.
    bringToFront();
}

// Cancel means cancel: the download stops with the window, and nothing is started later.
void UpdateWindow::onQuitUpdateCommand() {
    controller_.cancel();
    close();
}

void UpdateWindow::onCancelButtonClicked() {
    onQuitUpdateCommand();
}

void UpdateWindow::onStartButtonClicked() {
    if (!progress_.start()) return;
    controller_.start(controls_.speedList.currentData().toInt());
    controls_.startButton.setEnabled(false);
    showDesignedTexts();
    controls_.sizeLabel.setText(connectingText);
    setTrayIcon(trayPicture, trayTooltip);
    controls_.statusTimer.start(statusTickMs);
    controls_.fastTimer.start(fastTickMs);
}

void UpdateWindow::onFastTick() {
    const std::int64_t total = controller_.totalBytes();
    if (total != 0) controls_.progressBar.setValue(barPosition(controller_.bytesDone(), total));
    if (!progress_.barAt(controls_.progressBar.value())) return;
    controls_.percentLabel.setText({}); // unlike clear(), tells screen readers
    controls_.sizeLabel.setText({});
    controls_.speedLabel.setText(verifyingText);
    controls_.progressBar.setValue(fullBar);
}

void UpdateWindow::onStatusTick() {
    const std::int64_t total = controller_.totalBytes();
    if (progress_.phase() == UpdatePhase::Verifying) {
        // What this download has written, never whatever file lies at the package's name.
        if (!progress_.stored(controller_.bytesStored(), total)) return;
        controls_.sizeLabel.setText(fileSizeText(total));
        controls_.timeLabel.setText(totalTimeText(controller_.elapsedMs()));
        controls_.percentLabel.setText(completedText);
        setTrayIcon(trayPicture, completedText);
        stopTimers();
        return;
    }
    if (total == 0) return;

    const QString downloaded = downloadedText(controls_.progressBar.value());
    controls_.percentLabel.setText(downloaded);
    setTrayIcon(trayPicture, downloaded);
    controls_.sizeLabel.setText(sizeProgressText(controller_.bytesDone(), total));
    controls_.speedLabel.setText(speedText(controller_.currentSpeed()));
    if (auto remaining =
            remainingTimeText(total, controller_.bytesDone(), controller_.overallRate()))
        controls_.timeLabel.setText(*remaining);
}

void UpdateWindow::onDownloadFinished() {
    controls_.speedLabel.setText(finishedText);
    setTrayIcon(trayPicture, finishedText);
}

void UpdateWindow::onDownloadFailed(download::MessageCode reason, int httpStatus) {
    if (!progress_.failed()) return;
    stopTimers();
    // Nothing of the failed download may still read as progress or success.
    showDesignedTexts();
    controls_.percentLabel.setText({});
    controls_.sizeLabel.setText(failureText(reason, httpStatus));
    setTrayIcon(trayPicture, failedText);
    controls_.startButton.setEnabled(true);
}

void UpdateWindow::showDesignedTexts() {
    for (const design::ControlDesign& c : design().controls)
        if (c.kind == design::ControlKind::Label) control<QLabel>(c.formName)->setText(c.text);
    controls_.progressBar.setValue(0);
}

void UpdateWindow::stopTimers() {
    controls_.fastTimer.stop();
    controls_.statusTimer.stop();
}

} // namespace sorvo::update
