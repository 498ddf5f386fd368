#include "browser/shell_page.h"

#include <QMessageBox>
#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <utility>

namespace sorvo::browser {

namespace {

constexpr std::size_t dialogsAllowed = 3;
constexpr std::chrono::seconds dialogWindow(10);

QUrl comparable(const QUrl& address) {
    return address.adjusted(QUrl::StripTrailingSlash | QUrl::NormalizePathSegments);
}

} // namespace

ShellPage::ShellPage(NavigationPolicy policy, std::function<void(const QUrl&)> openElsewhere,
                     QWebEngineView& view)
    : QWebEnginePage(&view), policy_(std::move(policy)), openElsewhere_(std::move(openElsewhere)),
      gesture_(new UserGesture(view)) {
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
}

void ShellPage::open(const QUrl& address) {
    programAddress_ = comparable(address);
    load(address);
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

bool ShellPage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) {
    const Verdict verdict =
        policy_.forNavigation(url, isMainFrame, isMainFrame && comparable(url) == programAddress_);
    if (verdict == Verdict::OpenElsewhere) handOut(url);
    // A new page may ask again; a navigation refused leaves the page, and its silence, in place.
    if (isMainFrame && verdict == Verdict::Show) {
        recentDialogs_.clear();
        dialogsSilenced_ = false;
    }
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
    if (openElsewhere_ && gesture_->take()) openElsewhere_(address);
}

bool ShellPage::mayShowDialog() {
    if (dialogsSilenced_) return false;
    const auto now = std::chrono::steady_clock::now();
    while (!recentDialogs_.empty() && now - recentDialogs_.front() > dialogWindow)
        recentDialogs_.pop_front();
    recentDialogs_.push_back(now);
    dialogsSilenced_ = recentDialogs_.size() >= dialogsAllowed;
    return true;
}

// The page goes on at once, and the window stays usable while the message stands.
void ShellPage::javaScriptAlert(const QUrl&, const QString& message) {
    if (!mayShowDialog()) return;
    auto* box = new QMessageBox(QMessageBox::Information, title(), message, QMessageBox::Ok,
                                QWebEngineView::forPage(this));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

bool ShellPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& message) {
    return mayShowDialog() && QWebEnginePage::javaScriptConfirm(securityOrigin, message);
}

bool ShellPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& message,
                                 const QString& defaultValue, QString* result) {
    return mayShowDialog() &&
           QWebEnginePage::javaScriptPrompt(securityOrigin, message, defaultValue, result);
}

} // namespace sorvo::browser
