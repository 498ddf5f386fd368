#pragma once

#include "browser/navigation_policy.h"
#include "browser/sliding_limit.h"
#include "browser/user_gesture.h"

#include <QMessageBox>
#include <QWebEnginePage>
#include <functional>

class QWebEngineDownloadRequest;
class QWebEngineNewWindowRequest;
class QWebEngineView;

namespace sorvo::browser {

// The page of an embedded browser, with the program's rules for it. The page stays on its
// sites: the address the program opens is shown, and every other address of the page's own
// frame only when it is on the sites. Links and windows to anywhere else, and downloads, go to
// the default browser through `openElsewhere` (NavigationPolicy decides), but only right after
// the listener's own click or key press in the page asked for them (UserGesture), and once for
// each; without one they are dropped. Other kinds of address never leave the program. Requests for
// the camera, the microphone, the location, notifications and the screen are denied, scripts reach
// neither the clipboard nor a new window without a click, and a certificate the engine doubts is
// refused, with no way around it. A page's dialogs show its words as plain text; an alert never
// waits for the listener to go on, and after three within ten seconds the page shows no more until
// the program opens a page again, however often the page reloads itself.
class ShellPage : public QWebEnginePage {
    Q_OBJECT
  public:
    // A child of `view`, whose input it watches for the listener's gestures.
    ShellPage(NavigationPolicy policy, std::function<void(const QUrl&)> openElsewhere,
              QWebEngineView& view);

    // Shows `address`, wherever it is.
    void open(const QUrl& address);

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& message,
                          const QString& defaultValue, QString* result) override;

  private:
    void restrictSettings();
    void onNewWindowRequested(QWebEngineNewWindowRequest& request);
    void onDownloadRequested(QWebEngineDownloadRequest* download);
    void handOut(const QUrl& address);
    bool mayShowDialog();
    QMessageBox* messageBox(const QString& message, QMessageBox::StandardButtons buttons);

    NavigationPolicy policy_;
    std::function<void(const QUrl&)> openElsewhere_;
    UserGesture gesture_;
    QUrl programAddress_;
    SlidingLimit recentDialogs_{3, std::chrono::seconds(10)};
    bool dialogsSilenced_ = false;
};

} // namespace sorvo::browser
