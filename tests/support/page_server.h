#pragma once

#include "support/loopback_server.h"

#include <QString>

// A loopback web server for tests: answers every GET with a small page, on a free port.
class PageServer {
  public:
    PageServer()
        : server_([](httplib::Server& server) {
              server.Get(".*", [](const httplib::Request& request, httplib::Response& response) {
                  response.set_content("<html><head><title>" + request.path +
                                           "</title></head><body style='background:#202024'>" +
                                           request.path + "</body></html>",
                                       "text/html");
              });
          }) {}

    QString host() const { return QString::fromStdString(server_.host()); }
    httplib::Server& server() { return server_.server(); }

  private:
    sorvo::testing::LoopbackServer server_;
};
