#include "browser/network_watch.h"

#include <QNetworkInformation>

namespace sorvo::browser {

namespace {

QNetworkInformation* networkInformation() {
    static const bool loaded =
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    return loaded ? QNetworkInformation::instance() : nullptr;
}

} // namespace

void whenNetworkReturns(QObject& context, std::function<void()> back) {
    QNetworkInformation* information = networkInformation();
    if (information == nullptr) return;
    QObject::connect(information, &QNetworkInformation::reachabilityChanged, &context,
                     [back = std::move(back)](QNetworkInformation::Reachability reachability) {
                         if (reachability == QNetworkInformation::Reachability::Online) back();
                     });
}

} // namespace sorvo::browser
