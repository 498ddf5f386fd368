#include "ui/framework/web_browser.h"

#include "browser/module_loader.h"
#include "platform/platform.h"

#include <QVBoxLayout>

namespace sorvo::ui {

WebBrowser::WebBrowser(QWidget* parent, QString startPath)
    : QWidget(parent), startPath_(std::move(startPath)) {
    // Dark until the page paints, so loading never flashes white inside the dark skin.
    QPalette dark = palette();
    dark.setColor(QPalette::Window, browser::pageBackground);
    setPalette(dark);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
}

void WebBrowser::setSites(QStringList hosts, QString scheme) {
    setup_.siteHosts = std::move(hosts);
    setup_.siteScheme = std::move(scheme);
}

void WebBrowser::openStartPage() {
    openAddress(
        QUrl(setup_.siteScheme + QStringLiteral("://") + setup_.siteHosts.value(0) + startPath_));
}

void WebBrowser::openAddress(const QUrl& address) {
    if (!view_) {
        browser::BrowserModule* module = browser::browserModule();
        if (module == nullptr) {
            emit loadFinished(false);
            return;
        }
        view_ = &module->createView(*this, setup_, *this);
        layout()->addWidget(&view_->widget());
    }
    view_->open(address);
}

QUrl WebBrowser::url() const {
    return view_ ? view_->url() : QUrl();
}

QString WebBrowser::title() const {
    return view_ ? view_->title() : QString();
}

platform::MediaState WebBrowser::media() const {
    return view_ ? view_->media() : platform::MediaState();
}

void WebBrowser::performMediaCommand(platform::MediaCommand command) {
    if (view_) view_->perform(command);
}

void WebBrowser::setMediaVolume(double volume) {
    if (view_) view_->setVolume(volume);
}

void WebBrowser::onSystemWoke() {
    if (view_) view_->onSystemWoke();
}

void WebBrowser::onOpenElsewhere(const QUrl& address) {
    platform::openWebAddress(address.toString(QUrl::FullyEncoded));
}

} // namespace sorvo::ui
