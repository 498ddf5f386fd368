#include "ui/framework/tray_icon.h"

#include "platform/platform.h"
#include "ui/framework/picture_loader.h"

#include <QSystemTrayIcon>
#include <algorithm>
#include <vector>

namespace sorvo::ui {

namespace {
std::vector<TrayIcon*>& liveIcons() {
    static std::vector<TrayIcon*> icons;
    return icons;
}

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
} // namespace

TrayIcon::TrayIcon(QObject* parent) : QObject(parent), icon_(new QSystemTrayIcon(this)) {
    liveIcons().push_back(this);
    connect(icon_, &QSystemTrayIcon::activated, this, [this](auto reason) {
        if (reason != QSystemTrayIcon::Unknown) emit activated(activationFor(reason));
    });
}

TrayIcon::~TrayIcon() {
    std::erase(liveIcons(), this);
}

void TrayIcon::set(const QString& pictureName, const QString& tooltip) {
    if (pictureName != pictureName_) {
        icon_->setIcon(loadIcon(pictureName));
        pictureName_ = pictureName;
    }
    icon_->setToolTip(tooltip);
    icon_->show();
}

QString TrayIcon::tooltip() const {
    return icon_->toolTip();
}

bool TrayIcon::isShown() const {
    return icon_->isVisible();
}

void TrayIcon::attachMenuForHost(QMenu* menu) {
    // An XEmbed tray reports the right click to us and we pop the menu up ourselves; attaching
    // the menu there too would open it twice.
    if (platform::trayHostShowsMenus()) icon_->setContextMenu(menu);
}

void TrayIcon::discard() {
    disconnect(icon_, nullptr, this, nullptr);
    deleteLater();
}

void TrayIcon::removeAll() {
    for (TrayIcon* icon : liveIcons())
        icon->icon_->hide();
}

} // namespace sorvo::ui
