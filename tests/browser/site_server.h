#pragma once

#include <QString>
#include <functional>
#include <httplib.h>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

// A web site on 127.0.0.1 for one test, answering from the routes the test gives it (404
// elsewhere) and counting the requests for each path. It can go away and come back on the
// same port, as a site does when its server restarts. Given a certificate, it speaks https.
class SiteServer {
  public:
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

    SiteServer() : SiteServer(std::string(), std::string()) {}
    SiteServer(std::string certificate, std::string key)
        : certificate_(std::move(certificate)), key_(std::move(key)) {
        auto first = makeServer();
        port_ = first->bind_to_any_port("127.0.0.1");
        run(std::move(first));
    }
    ~SiteServer() { stop(); }
    SiteServer(const SiteServer&) = delete;
    SiteServer& operator=(const SiteServer&) = delete;

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

    void stop() {
        if (!server_) return;
        server_->stop();
        thread_.join();
        server_.reset();
    }
    void start() {
        auto server = makeServer();
        if (server->bind_to_port("127.0.0.1", port_)) run(std::move(server));
    }

    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }
    QString url(const QString& path) const {
        return (certificate_.empty() ? QStringLiteral("http://") : QStringLiteral("https://")) +
               host() + path;
    }
    int requests(const std::string& path) const {
        std::lock_guard lock(mutex_);
        const auto count = counts_.find(path);
        return count == counts_.end() ? 0 : count->second;
    }

    static std::string titled(const std::string& title, const std::string& body = {}) {
        return "<!doctype html><html><head><meta charset='utf-8'><title>" + title +
               "</title></head><body style='background:#202024;color:#ccc'>" + body +
               "</body></html>";
    }

  private:
    std::unique_ptr<httplib::Server> makeServer() {
        std::unique_ptr<httplib::Server> server;
        if (certificate_.empty())
            server = std::make_unique<httplib::Server>();
        else
            server = std::make_unique<httplib::SSLServer>(certificate_.c_str(), key_.c_str());
        server->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            Handler handler;
            {
                std::lock_guard lock(mutex_);
                ++counts_[request.path];
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
        return server;
    }
    void run(std::unique_ptr<httplib::Server> server) {
        server_ = std::move(server);
        thread_ = std::thread([server = server_.get()] { server->listen_after_bind(); });
        while (!server_->is_running())
            std::this_thread::yield();
    }

    const std::string certificate_;
    const std::string key_;
    mutable std::mutex mutex_;
    std::map<std::string, Handler> routes_;
    std::map<std::string, int> counts_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
};
