// The page's media as the browser's windows see it, from the engine module's "pageMedia" object.
#include "ui/framework/web_browser.h"

namespace sorvo::ui {

void WebBrowser::connectPageMedia() {
    pageMedia_ =
        view_->findChild<QObject*>(QStringLiteral("pageMedia"), Qt::FindDirectChildrenOnly);
    if (pageMedia_ != nullptr)
        connect(pageMedia_, SIGNAL(mediaChanged()), this, SIGNAL(mediaChanged()));
}

platform::MediaState WebBrowser::media() const {
    if (pageMedia_ == nullptr) return {};
    return pageMedia_->property("media").value<platform::MediaState>();
}

void WebBrowser::performMediaCommand(platform::MediaCommand command) {
    if (pageMedia_ != nullptr)
        QMetaObject::invokeMethod(pageMedia_, "perform",
                                  Q_ARG(sorvo::platform::MediaCommand, command));
}

void WebBrowser::setMediaVolume(double volume) {
    if (pageMedia_ != nullptr)
        QMetaObject::invokeMethod(pageMedia_, "setVolume", Q_ARG(double, volume));
}

} // namespace sorvo::ui
