#include "browser/navigation_policy.h"

namespace sorvo::browser {

namespace {

bool isWeb(const QUrl& address) {
    const QString scheme = address.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

// Addresses a frame inside the page may show without going anywhere: blank frames and content
// the page made itself.
bool isPageMade(const QUrl& address) {
    const QString scheme = address.scheme();
    return scheme == QLatin1String("about") || scheme == QLatin1String("data") ||
           scheme == QLatin1String("blob");
}

int defaultPort(const QUrl& address) {
    return address.scheme() == QLatin1String("https") ? 443 : 80;
}

} // namespace

NavigationPolicy::NavigationPolicy(const QStringList& siteHosts, const QString& siteScheme)
    : secureOnly_(siteScheme == QLatin1String("https")) {
    for (const QString& entry : siteHosts) {
        const QUrl parsed(QStringLiteral("http://") + entry);
        if (!entry.isEmpty() && parsed.isValid() && !parsed.host().isEmpty())
            hosts_.push_back({parsed.host(), parsed.port(-1)});
    }
}

Verdict NavigationPolicy::forNavigation(const QUrl& address, bool mainFrame, bool byProgram) const {
    if (!mainFrame) return isWeb(address) || isPageMade(address) ? Verdict::Show : Verdict::Refuse;
    if (!isWeb(address)) return Verdict::Refuse;
    return byProgram || isOnSite(address) ? Verdict::Show : Verdict::OpenElsewhere;
}

Verdict NavigationPolicy::forElsewhere(const QUrl& address) const {
    return isWeb(address) ? Verdict::OpenElsewhere : Verdict::Refuse;
}

bool NavigationPolicy::isOnSite(const QUrl& address) const {
    if (!isWeb(address)) return false;
    if (secureOnly_ && address.scheme() != QLatin1String("https")) return false;
    const int port = address.port(defaultPort(address));
    for (const Host& host : hosts_) {
        if (host.name != address.host()) continue;
        if (host.port == port || (host.port == -1 && (port == 80 || port == 443))) return true;
    }
    return false;
}

} // namespace sorvo::browser
