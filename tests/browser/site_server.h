#pragma once

#include "support/loopback_server.h"

#include <QString>
#include <functional>
#include <map>
#include <mutex>
#include <string>

// A web site on 127.0.0.1 for one test, answering from the routes the test gives it (404
// elsewhere) and counting the requests for each path. It can go away and come back on the
// same port, as a site does when its server restarts. Given a certificate, it speaks https.
class SiteServer {
  public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    SiteServer() : SiteServer(std::string(), std::string()) {}
    SiteServer(std::string certificate, std::string key)
        : server_([this](httplib::Server& server) { answerFromRoutes(server); },
                  {std::move(certificate), std::move(key)}) {}

    void route(const std::string& path, Handler handler) {
        std::lock_guard lock(mutex_);
        routes_[path] = std::move(handler);
    }
    // A page with this title and a dark background.
    void page(const std::string& path, const std::string& title) {
        route(path, [title](const httplib::Request&, httplib::Response& response) {
            response.set_content(titled(title), "text/html; charset=utf-8");
        });
    }

    void stop() { server_.stop(); }
    void start() { server_.start(); }

    QString host() const { return QString::fromStdString(server_.host()); }
    QString url(const QString& path) const {
        return QString::fromStdString(server_.url(path.toStdString()));
    }
    int requests(const std::string& path) const { return server_.requestsFor(path); }

    static std::string titled(const std::string& title, const std::string& body = {}) {
        return "<!doctype html><html><head><meta charset='utf-8'><title>" + title +
               "</title></head><body style='background:#202024;color:#ccc'>" + body +
               "</body></html>";
    }

  private:
    void answerFromRoutes(httplib::Server& server) {
        server.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            Handler handler;
            {
                std::lock_guard lock(mutex_);
                const auto found = routes_.find(request.path);
                if (found != routes_.end()) handler = found->second;
            }
            if (handler) {
                handler(request, response);
            } else {
                response.status = 404;
                response.set_content(titled("not found"), "text/html");
            }
        });
    }

    mutable std::mutex mutex_;
    std::map<std::string, Handler> routes_;
    // Last: it stops serving before the routes go.
    sorvo::testing::LoopbackServer server_;
};
