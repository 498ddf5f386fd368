#include "app/desktop_media.h"

#include "app/main_window.h"
#include "app/now_playing.h"
#include "config/desktop_entry.h"
#include "platform/desktop_notifications.h"
#include "platform/media_controls.h"
#include "platform/sleep_watch.h"
#include "ui/framework/web_browser.h"

namespace sorvo::app {

void connectDesktopMedia(MainWindow& mainWindow) {
    QObject::connect(new platform::SleepWatch(&mainWindow), &platform::SleepWatch::woke,
                     &mainWindow.radioBrowser(), &ui::WebBrowser::onSystemWoke);
    new NowPlaying(mainWindow, platform::createDesktopNotifications(QStringLiteral("索沃电台"),
                                                                    desktopEntryId(), &mainWindow));
    platform::MediaControls* controls = platform::createMediaControls(
        {QStringLiteral("索沃电台"), desktopEntryId(), QStringLiteral("sorvo_radio")}, &mainWindow);
    if (controls == nullptr) return;
    ui::WebBrowser& browser = mainWindow.radioBrowser();
    controls->show(browser.media());
    QObject::connect(&browser, &ui::WebBrowser::mediaChanged, controls,
                     [controls, &browser] { controls->show(browser.media()); });
    QObject::connect(controls, &platform::MediaControls::commandRequested, &browser,
                     &ui::WebBrowser::performMediaCommand);
    QObject::connect(controls, &platform::MediaControls::volumeRequested, &browser,
                     &ui::WebBrowser::setMediaVolume);
    // Raise does what the tray menu's "打开索沃电台" does.
    QObject::connect(controls, &platform::MediaControls::raiseRequested, &mainWindow,
                     &ui::SkinWindow::bringToFront);
}

} // namespace sorvo::app
