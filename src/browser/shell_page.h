#pragma once

#include "browser/navigation_policy.h"

#include <QWebEnginePage>
#include <functional>

class QWebEngineDownloadRequest;
class QWebEngineNewWindowRequest;

namespace sorvo::browser {

// The page of an embedded browser, with the program's rules for it. The page stays on its
// sites; links and windows to anywhere else, and downloads, go to the default browser through
// `openElsewhere` (NavigationPolicy decides); other kinds of address never leave the program.
// Requests for the camera, the microphone, the location, notifications and the screen are
// denied, scripts reach neither the clipboard nor a new window without a click, and a
// certificate the engine doubts is refused, with no way around it.
class ShellPage : public QWebEnginePage {
    Q_OBJECT
  public:
    ShellPage(NavigationPolicy policy, std::function<void(const QUrl&)> openElsewhere,
              QObject* parent);

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

  private:
    void restrictSettings();
    void onNewWindowRequested(QWebEngineNewWindowRequest& request);
    void onDownloadRequested(QWebEngineDownloadRequest* download);
    void handOut(const QUrl& address);

    NavigationPolicy policy_;
    std::function<void(const QUrl&)> openElsewhere_;
    // Whether the navigation under way in the main frame is the program's own: its server
    // redirects are followed wherever they lead.
    bool programNavigation_ = false;
};

} // namespace sorvo::browser
