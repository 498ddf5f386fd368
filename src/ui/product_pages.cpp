#include "ui/product_pages.h"

#include "config/hosts.h"
#include "ui/framework/web_browser.h"

namespace sorvo::ui {

void openProductStartPage(WebBrowser& browser) {
    browser.setSites({hosts().site, hosts().forum}, hosts().scheme);
    browser.openStartPage();
}

} // namespace sorvo::ui
