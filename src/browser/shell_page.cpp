#include "browser/shell_page.h"

#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <utility>

namespace sorvo::browser {

ShellPage::ShellPage(NavigationPolicy policy, std::function<void(const QUrl&)> openElsewhere,
                     QObject* parent)
    : QWebEnginePage(parent), policy_(std::move(policy)), openElsewhere_(std::move(openElsewhere)) {
    restrictSettings();
    connect(this, &QWebEnginePage::newWindowRequested, this, &ShellPage::onNewWindowRequested);
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, Feature feature) {
                setFeaturePermission(origin, feature, PermissionDeniedByUser);
            });
    connect(this, &QWebEnginePage::certificateError, this,
            [](QWebEngineCertificateError error) { error.rejectCertificate(); });
    // Downloads are announced by the profile, which all pages share.
    connect(profile(), &QWebEngineProfile::downloadRequested, this,
            &ShellPage::onDownloadRequested);
    connect(this, &QWebEnginePage::loadFinished, this, [this] { programNavigation_ = false; });
}

void ShellPage::restrictSettings() {
    QWebEngineSettings* rules = settings();
    rules->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
    rules->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    rules->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    rules->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    rules->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    rules->setAttribute(QWebEngineSettings::AllowWindowActivationFromJavaScript, false);
}

bool ShellPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    if (isMainFrame && type != NavigationTypeRedirect)
        programNavigation_ = type == NavigationTypeTyped || type == NavigationTypeReload ||
                             type == NavigationTypeBackForward;
    const Verdict verdict =
        policy_.forNavigation(url, isMainFrame, isMainFrame && programNavigation_);
    if (verdict == Verdict::OpenElsewhere) handOut(url);
    return verdict == Verdict::Show;
}

// The radio page stays where it is: no window of the page opens inside the program.
void ShellPage::onNewWindowRequested(QWebEngineNewWindowRequest& request) {
    if (request.isUserInitiated() &&
        policy_.forElsewhere(request.requestedUrl()) == Verdict::OpenElsewhere)
        handOut(request.requestedUrl());
}

// Nothing the page offers is written anywhere by the program; the default browser downloads it
// where the listener wants it.
void ShellPage::onDownloadRequested(QWebEngineDownloadRequest* download) {
    if (download->page() != this) return;
    if (policy_.forElsewhere(download->url()) == Verdict::OpenElsewhere) handOut(download->url());
    download->cancel();
}

void ShellPage::handOut(const QUrl& address) {
    if (openElsewhere_) openElsewhere_(address);
}

} // namespace sorvo::browser
