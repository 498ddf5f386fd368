#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sorvo::demo {

// A page the tray menu opens in the desktop's browser.
struct SitePage {
    std::string path;
    std::string caption; // the tray menu command that opens it
    std::string heading;
    std::string body; // fixed HTML
};

std::vector<SitePage> sitePages(const std::string& tencentPath);

// The page as opened with the query value `src` on the host `host`; both are shown, escaped.
std::string renderSitePage(const SitePage& page, std::string_view src, std::string_view host);

std::string notFoundPage(std::string_view path);

// What a page that is down for a while answers.
std::string unavailablePage();

} // namespace sorvo::demo
