#include "app/tray_menu.h"

#include "app/main_window.h"
#include "app/web_address.h"
#include "config/hosts.h"
#include "resources/window_design.h"
#include "ui/dialogs.h"

#include <functional>

namespace sorvo::app {

namespace {

// The product's web pages, in menu order. Host and path are read when the command runs, so the
// configured hosts apply.
struct WebPage {
    QString caption;
    int icon;
    std::function<QString()> hostAndPath;
};

const std::vector<WebPage>& webPages() {
    static const std::vector<WebPage> pages{
        {QStringLiteral("网页版电台"), 12,
         [] { return hosts().site + QStringLiteral("/diantai/"); }},
        {QStringLiteral("官方新浪微博"), 4,
         [] { return hosts().sinaWeibo + QStringLiteral("/sorvo/"); }},
        {QStringLiteral("官方腾讯微博"), 0,
         [] { return hosts().tencentWeibo + hosts().tencentWeiboPath; }},
        {QStringLiteral("官方网站"), 1, [] { return hosts().site + QStringLiteral("/"); }},
        {QStringLiteral("索沃论坛"), 7,
         [] { return hosts().forum + QStringLiteral("/forum.php"); }},
        {QStringLiteral("上传作品"), 3,
         [] { return hosts().site + QStringLiteral("/sorvo_beta1.2/sc.html"); }},
        {QStringLiteral("意见反馈"), 8,
         [] { return hosts().forum + QStringLiteral("/vandrthread-331-1-1.html"); }},
    };
    return pages;
}

} // namespace

// Besides making the window visible, a minimised window comes back and is brought to the front:
// the listener asked to see it.
TrayMenu::TrayMenu(MainWindow& mainWindow)
    : SkinMenu(QStringLiteral("鼠标菜单"), design::trayMenuScheme(), &mainWindow) {
    addSeparator();
    addCommand(QStringLiteral("打开索沃电台"), 2, &mainWindow, &ui::SkinWindow::bringToFront);
    // Minimised, not hidden: the toggle state stays as it is.
    addCommand(QStringLiteral("最小化托盘"), 6, &mainWindow, &ui::SkinWindow::minimise);
    for (const WebPage& page : webPages())
        addCommand(page.caption, page.icon, this,
                   [&page] { openWebAddress(sourceTaggedAddress(page.hostAndPath())); });
    addCommand(QStringLiteral("更新升级"), 9, &mainWindow, &MainWindow::onUpdateCommand);
    addCommand(QStringLiteral("关于我们"), 10, &mainWindow,
               [&mainWindow] { ui::openAboutWindow(mainWindow); });
    addCommand(QStringLiteral("退出系统"), 5, &mainWindow,
               [&mainWindow] { ui::openQuitConfirmWindow(mainWindow); });
}

} // namespace sorvo::app
