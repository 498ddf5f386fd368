#include "ui/framework/tray_icon.h"

#include "platform/platform.h"
#include "platform/tray_hosts.h"
#include "ui/framework/picture_loader.h"

#include <QSystemTrayIcon>

namespace sorvo::ui {

namespace {
TrayActivation activationFor(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        return TrayActivation::DoubleClick;
    case QSystemTrayIcon::Context:
        return TrayActivation::ContextMenu;
    case QSystemTrayIcon::MiddleClick:
        return TrayActivation::MiddleClick;
    default:
        return TrayActivation::Click;
    }
}

// The protocol of every icon of the process: Qt's, decided with the first icon.
bool statusNotifierItems() {
    static const bool chosen = platform::trayHostShowsMenus();
    return chosen;
}
} // namespace

TrayIcon::TrayIcon(QObject* parent) : QObject(parent) {
    connect(&platform::TrayHosts::instance(), &platform::TrayHosts::changed, this,
            &TrayIcon::putUp);
}

// The system icon goes with it, and leaves the tray.
TrayIcon::~TrayIcon() = default;

void TrayIcon::set(const QString& pictureName, const QString& tooltip) {
    const bool newPicture = pictureName != pictureName_;
    pictureName_ = pictureName;
    tooltip_ = tooltip;
    if (!icon_) {
        putUp();
        return;
    }
    if (newPicture) icon_->setIcon(loadIcon(pictureName));
    icon_->setToolTip(tooltip);
    icon_->show();
}

void TrayIcon::putUp() {
    const platform::TrayHosts& hosts = platform::TrayHosts::instance();
    if (icon_ || discarded_ || pictureName_.isEmpty() || !hosts.known() || !hosts.any()) return;
    // Taken with Qt's own choice, which is made right here and kept.
    statusNotifierItems();
    icon_ = new QSystemTrayIcon(this);
    connect(icon_, &QSystemTrayIcon::activated, this, [this](auto reason) {
        if (reason != QSystemTrayIcon::Unknown) emit activated(activationFor(reason));
    });
    icon_->setIcon(loadIcon(pictureName_));
    icon_->setToolTip(tooltip_);
    if (menu_) attachMenuForHost(menu_);
    icon_->show();
}

QString TrayIcon::tooltip() const {
    return tooltip_;
}

bool TrayIcon::isShown() const {
    return icon_ && icon_->isVisible();
}

bool TrayIcon::hostClicksOnce() const {
    return icon_ && statusNotifierItems();
}

void TrayIcon::attachMenuForHost(QMenu* menu) {
    menu_ = menu;
    // An XEmbed tray reports the right click to us and we pop the menu up ourselves; attaching
    // the menu there too would open it twice.
    if (icon_ && statusNotifierItems()) icon_->setContextMenu(menu);
}

void TrayIcon::discard() {
    discarded_ = true;
    if (icon_) disconnect(icon_, nullptr, this, nullptr);
    deleteLater();
}

} // namespace sorvo::ui
