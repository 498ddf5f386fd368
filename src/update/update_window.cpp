#include "update/update_window.h"

#include "config/hosts.h"
#include "platform/platform.h"
#include "resources/window_design.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/skin_menu.h"
#include "ui/framework/timer.h"
#include "ui/framework/tray_icon.h"
#include "ui/framework/web_browser.h"
#include "ui/rounded_region.h"
#include "update/download_hooks.h"
#include "update/package_location.h"
#include "update/progress_texts.h"
#include "update/update_services.h"
#include "update/update_state.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QStyleFactory>
#include <QTimer>

namespace sorvo::update {

namespace {

const QString trayTooltip = QStringLiteral("索沃音乐盒在线更新升级");
constexpr int fastTickMs = 50;
constexpr int statusTickMs = 1000;
constexpr int verifyingAbove = 990; // tenths of a percent

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

// A per-user folder that does not exist (an account that never had one) could take no package;
// the temporary folder stands in for it as for none at all.
QString packagePathHere() {
    QString folder = platform::perUserDownloadFolder();
    if (!QFileInfo(folder).isDir()) folder.clear();
    return packagePathIn(folder, QDir::toNativeSeparators(QDir::tempPath()),
                         platform::pathSeparator());
}

} // namespace

void openUpdateWindow() {
    if (UpdateWindow* existing = UpdateWindow::current()) {
        existing->bringBack();
        return;
    }
    ui::SkinWindow::load(new UpdateWindow(componentServices()), false);
}

UpdateWindow::UpdateWindow(UpdateServices& services)
    : SkinWindow(design::updateWindow()), services_(services),
      trayMenu_(new ui::SkinMenu(QStringLiteral("托盘菜单"), design::updateMenuScheme(), this)) {
    currentWindow() = this;
    handlers.created = [this] { onUpdateWindowCreated(); };
    handlers.sizeChanged = [this] { ui::applyRoundedRegion(*this); };
    handlers.closeRequest = [this] { return onUpdateWindowCloseRequest(); };
    handlers.trayEvent = [this](int code) { onUpdateWindowTrayEvent(code); };

    trayMenu_->addSeparator();
    trayMenu_->addCommand(QStringLiteral("打开升级"), 13, [this] { onOpenUpdateCommand(); });
    trayMenu_->addCommand(QStringLiteral("退出升级"), 5, [this] { onQuitUpdateCommand(); });

    connect(control<ui::GraphicButton>(QStringLiteral("按钮1")), &QAbstractButton::clicked, this,
            [this] { onStartButtonClicked(); });
    connect(control<ui::GraphicButton>(QStringLiteral("按钮2")), &QAbstractButton::clicked, this,
            [this] { onCancelButtonClicked(); });
    timer(QStringLiteral("时钟"))->onTick = [this] { onFastTick(); };
    timer(QStringLiteral("时钟1"))->onTick = [this] { onStatusTick(); };

    auto* browser = control<ui::WebBrowser>(QStringLiteral("超文本浏览框1"));
    const QUrl page(QStringLiteral("http://") + hosts().site + design().controls.front().address);
    QTimer::singleShot(0, browser, [browser, page] { browser->openAddress(page); });
}

UpdateWindow::~UpdateWindow() = default;

UpdateWindow* UpdateWindow::current() {
    UpdateWindow* window = currentWindow();
    return window && !window->isDestroyed() ? window : nullptr;
}

QLabel& UpdateWindow::label(const QString& formName) const {
    return *control<QLabel>(formName);
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
        bringBack();
    } else if (code == ui::TrayIcon::RightClick) {
        trayMenu_->popUpAtCursor();
    }
}

void UpdateWindow::onOpenUpdateCommand() {
    // The window is alive whenever its menu is used, so loading it again only shows it.
    bringBack();
}

void UpdateWindow::onQuitUpdateCommand() {
    destroyWindow();
}

void UpdateWindow::onCancelButtonClicked() {
    destroyWindow();
}

void UpdateWindow::bringBack() {
    setWindowStateValue(Normal);
    show();
    raise();
    activateWindow();
}

void UpdateWindow::onStartButtonClicked() {
    UpdateState& state = updateState();
    download::DownloadSettings& settings = state.settings;
    settings.writeBufferSize = 4096;
    settings.url = state.packageUrl.toStdString();
    settings.maxRetries = 999999999;
    settings.retryDelayMs = 1000;
    settings.speedValue = control<QComboBox>(QStringLiteral("组合框"))->currentData().toInt();
    settings.path = QFile::encodeName(state.packagePath).toStdString();
    settings.connectTimeoutMs = 5000;
    settings.noDataTimeoutMs = 5001;
    settings.retryWindowMs = 10000;
    settings.receiveBufferSize = 20480;
    settings.eventHook = onDownloadEvent;
    settings.messageHook = onDownloadMessage;
    settings.userName.clear();
    settings.password.clear();
    // A size reported for an earlier download is not this download's.
    state.totalBytes.store(0);

    services_.startDownload(settings);
    control<ui::GraphicButton>(QStringLiteral("按钮1"))->setEnabled(false);
    label(QStringLiteral("标签大小")).setText(QStringLiteral("正在连接下载服务器..."));
    timer(QStringLiteral("时钟1"))->setInterval(statusTickMs);
    timer(QStringLiteral("时钟"))->setInterval(fastTickMs);
    state.startTicks = services_.tickCount();
}

void UpdateWindow::onFastTick() {
    auto* bar = control<QProgressBar>(QStringLiteral("进度条1"));
    const std::int64_t total = updateState().totalBytes.load();
    if (total != 0) bar->setValue(barPosition(services_.bytesDone(), total));
    if (bar->value() <= verifyingAbove) return;
    label(QStringLiteral("标签进度")).clear();
    label(QStringLiteral("标签大小")).clear();
    label(QStringLiteral("标签速度")).setText(verifyingText);
    bar->setValue(1000);
}

void UpdateWindow::onStatusTick() {
    const UpdateState& state = updateState();
    const std::int64_t total = state.totalBytes.load();
    if (label(QStringLiteral("标签速度")).text() == verifyingText) {
        if (services_.fileSize(state.packagePath) != total) return;
        label(QStringLiteral("标签大小")).setText(fileSizeText(total));
        const auto start = static_cast<std::uint32_t>(state.startTicks);
        label(QStringLiteral("标签时间"))
            .setText(totalTimeText(elapsedTicks(services_.tickCount(), start)));
        label(QStringLiteral("标签进度")).setText(QStringLiteral("已完成:100%"));
        setTrayIcon(trayPicture, label(QStringLiteral("标签进度")).text());
        timer(QStringLiteral("时钟"))->setInterval(0);
        timer(QStringLiteral("时钟1"))->setInterval(0);
        return;
    }
    if (total == 0) return;

    const QString downloaded =
        downloadedText(control<QProgressBar>(QStringLiteral("进度条1"))->value());
    label(QStringLiteral("标签进度")).setText(downloaded);
    setTrayIcon(trayPicture, downloaded);
    label(QStringLiteral("标签大小")).setText(sizeProgressText(services_.bytesDone(), total));
    label(QStringLiteral("标签速度")).setText(speedText(services_.currentSpeed()));
    if (auto remaining = remainingTimeText(total, services_.bytesDone(), services_.overallRate()))
        label(QStringLiteral("标签时间")).setText(*remaining);
}

} // namespace sorvo::update
