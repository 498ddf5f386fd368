#pragma once

#include <QString>
#include <httplib.h>
#include <string>
#include <thread>

// A loopback web server for tests: answers every GET with a small page, on a free port.
class PageServer {
  public:
    PageServer() {
        server_.Get(".*", [](const httplib::Request& request, httplib::Response& response) {
            response.set_content("<html><head><title>" + request.path +
                                     "</title></head><body style='background:#202024'>" +
                                     request.path + "</body></html>",
                                 "text/html");
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) std::this_thread::yield();
    }
    ~PageServer() {
        server_.stop();
        thread_.join();
    }
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }
    httplib::Server& server() { return server_; }

  private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
};
