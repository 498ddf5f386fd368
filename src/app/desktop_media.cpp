#include "app/desktop_media.h"

#include "app/main_window.h"
#include "app/now_playing.h"
#include "config/desktop_entry.h"
#include "platform/desktop_notifications.h"
#include "platform/media_controls.h"
#include "platform/sleep_watch.h"
#include "ui/framework/web_browser.h"

namespace sorvo::app {

DesktopMedia::DesktopMedia(MainWindow& mainWindow) {
    ui::WebBrowser& browser = mainWindow.radioBrowser();
    auto* sleep = new platform::SleepWatch(this);
    connect(sleep, &platform::SleepWatch::woke, &browser, &ui::WebBrowser::onSystemWoke);
    new NowPlaying(
        mainWindow,
        platform::createDesktopNotifications(QStringLiteral("索沃电台"), desktopEntryId(), this),
        this);
    platform::MediaControls* controls = platform::createMediaControls(
        {QStringLiteral("索沃电台"), desktopEntryId(), QStringLiteral("sorvo_radio")}, this);
    if (controls == nullptr) return;
    controls->show(browser.media());
    connect(&browser, &ui::WebBrowser::mediaChanged, controls,
            [controls, &browser] { controls->show(browser.media()); });
    connect(controls, &platform::MediaControls::commandRequested, &browser,
            &ui::WebBrowser::performMediaCommand);
    connect(controls, &platform::MediaControls::volumeRequested, &browser,
            &ui::WebBrowser::setMediaVolume);
    // Raise does what the tray menu's "打开索沃电台" does.
    connect(controls, &platform::MediaControls::raiseRequested, &mainWindow,
            &ui::SkinWindow::bringToFront);
}

} // namespace sorvo::app
