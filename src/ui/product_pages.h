#pragma once

namespace sorvo::ui {

class WebBrowser;

// Opens the browser's start page on the product web site, which the browser shows itself, and
// the forum with it, as the hosts are configured now.
void openProductStartPage(WebBrowser& browser);

} // namespace sorvo::ui
