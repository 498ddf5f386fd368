#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <vector>

namespace sorvo::browser {

// What an embedded browser does with an address.
enum class Verdict {
    Show,          // the browser goes there itself
    OpenElsewhere, // the default browser gets it; the page stays where it was
    Refuse,        // nothing happens, and the address never leaves the program
};

// Which addresses an embedded browser shows itself. Its page stays on the sites it was made
// for; every other web address goes to the default browser, and any other kind of address
// (a file share, a mail program, a custom scheme) goes nowhere.
class NavigationPolicy {
  public:
    // `siteHosts`: host[:port] of each site whose pages the browser shows; without a port any
    // default port matches. With `siteScheme` "https", an http address is never on the sites.
    explicit NavigationPolicy(const QStringList& siteHosts,
                              const QString& siteScheme = QStringLiteral("http"));

    // A navigation of the page (mainFrame) or of a frame inside it. `byProgram`: the address is
    // exactly the one the program itself opened.
    Verdict forNavigation(const QUrl& address, bool mainFrame, bool byProgram) const;
    // An address the page wants opened outside itself: a new window or a download.
    Verdict forElsewhere(const QUrl& address) const;

    bool isOnSite(const QUrl& address) const;

  private:
    struct Host {
        QString name;
        int port; // -1: any default port
    };
    std::vector<Host> hosts_;
    bool secureOnly_;
};

} // namespace sorvo::browser
