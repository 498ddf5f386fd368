#include "browser/shell_page.h"

#include <QInputDialog>
#include <QLabel>
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

QUrl comparable(const QUrl& address) {
    return address.adjusted(QUrl::StripTrailingSlash | QUrl::NormalizePathSegments);
}

} // namespace

ShellPage::ShellPage(NavigationPolicy policy, std::function<void(const QUrl&)> openElsewhere,
                     QWebEngineView& view)
    : QWebEnginePage(&view), policy_(std::move(policy)), openElsewhere_(std::move(openElsewhere)),
      gesture_(view) {
    restrictSettings();
    connect(this, &QWebEnginePage::newWindowRequested, this, &ShellPage::onNewWindowRequested);
    connect(this, &QWebEnginePage::linkHovered, &gesture_,
            [this](const QString& link) { gesture_.onLinkHovered(QUrl(link)); });
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
    // Only a load of the program's own lifts the silence: a page that reloads itself does not.
    dialogsSilenced_ = false;
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
    if (verdict == Verdict::OpenElsewhere)
        gesture_.whenAskedFor(url, [this, url] { handOut(url); });
    return verdict == Verdict::Show;
}

// The radio page stays where it is: no window of the page opens inside the program.
void ShellPage::onNewWindowRequested(QWebEngineNewWindowRequest& request) {
    if (request.isUserInitiated() &&
        policy_.forElsewhere(request.requestedUrl()) == Verdict::OpenElsewhere && gesture_.take())
        handOut(request.requestedUrl());
}

// Nothing the page offers is written anywhere by the program; the default browser downloads it
// where the listener wants it.
void ShellPage::onDownloadRequested(QWebEngineDownloadRequest* download) {
    if (download->page() != this) return;
    if (policy_.forElsewhere(download->url()) == Verdict::OpenElsewhere)
        gesture_.whenAskedFor(download->url(), [this, url = download->url()] { handOut(url); });
    download->cancel();
}

void ShellPage::handOut(const QUrl& address) {
    if (openElsewhere_) openElsewhere_(address);
}

// At most three in any ten seconds, however the page reloads itself; after that, none until the
// program opens a page.
bool ShellPage::mayShowDialog() {
    const auto now = SlidingLimit::Clock::now();
    if (dialogsSilenced_ || !recentDialogs_.admit(now)) {
        dialogsSilenced_ = true;
        return false;
    }
    dialogsSilenced_ = recentDialogs_.full(now);
    return true;
}

// A page's words are shown as they are: never as markup, whose links the box would open itself.
QMessageBox* ShellPage::messageBox(const QString& message, QMessageBox::StandardButtons buttons) {
    auto* box = new QMessageBox(QMessageBox::Information, title(), message, buttons,
                                QWebEngineView::forPage(this));
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    return box;
}

// The page goes on at once, and the window stays usable while the message stands.
void ShellPage::javaScriptAlert(const QUrl&, const QString& message) {
    if (!mayShowDialog()) return;
    QMessageBox* box = messageBox(message, QMessageBox::Ok);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

bool ShellPage::javaScriptConfirm(const QUrl&, const QString& message) {
    if (!mayShowDialog()) return false;
    return messageBox(message, QMessageBox::Ok | QMessageBox::Cancel)->exec() == QMessageBox::Ok;
}

bool ShellPage::javaScriptPrompt(const QUrl&, const QString& message, const QString& defaultValue,
                                 QString* result) {
    if (!mayShowDialog()) return false;
    QInputDialog dialog(QWebEngineView::forPage(this));
    dialog.setWindowTitle(title());
    dialog.setLabelText(message);
    dialog.setTextValue(defaultValue);
    if (auto* label = dialog.findChild<QLabel*>()) label->setTextFormat(Qt::PlainText);
    if (dialog.exec() != QDialog::Accepted) return false;
    *result = dialog.textValue();
    return true;
}

} // namespace sorvo::browser
