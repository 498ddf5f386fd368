// The client without a mouse: every dialog opened from the tray menu and worked with real key
// presses through the X server, and a download started in the update window with keys only.
#include "app/main_window.h"
#include "app/tray_menu.h"
#include "support/client_windows.h"
#include "support/desktop_input.h"
#include "support/gui_test_main.h"
#include "support/modal_dialog.h"
#include "support/opened_files.h"
#include "support/running_client.h"
#include "support/steps.h"
#include "support/update_desk.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/tray_icon.h"
#include "update/update_window.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>
#include <cstring>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

using namespace sorvo;
using ui::SkinWindow;

namespace {

// The dialog up now, once it has the keyboard.
SkinWindow* dialog(const char* name) {
    SkinWindow* window = shownModalWindow(QString::fromUtf8(name));
    return window && window->isActiveWindow() ? window : nullptr;
}

QWidget* focused(const char* window, const char* formName) {
    SkinWindow* w = dialog(window);
    if (!w && liveUpdateWindow() && liveUpdateWindow()->objectName() == QLatin1String(window))
        w = liveUpdateWindow();
    QWidget* control = w ? w->findChild<QWidget*>(QString::fromUtf8(formName)) : nullptr;
    return control && control->hasFocus() ? control : nullptr;
}

QImage onScreen(QWidget& control) {
    const QPoint origin = control.mapToGlobal(QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, origin.x(), origin.y(), control.width(), control.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// Whether `pixel` of the control is on screen where the window's rounded outline leaves it.
bool unmasked(QWidget& control, QPoint pixel) {
    return control.window()->mask().contains(control.mapTo(control.window(), pixel));
}

// Whether the control shows the focus frame on screen: its outermost ring of pixels, where the
// window's rounded outline leaves them, in the window's focus colour.
bool framedOnScreen(QWidget& control) {
    const QColor focus = static_cast<SkinWindow&>(*control.window()).design().focusColour;
    const QImage shot = onScreen(control);
    const QRect r = control.rect();
    int checked = 0;
    for (int x = r.left(); x <= r.right(); ++x) {
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const bool ring = x == r.left() || x == r.right() || y == r.top() || y == r.bottom();
            if (!ring || !unmasked(control, {x, y})) continue;
            if (shot.pixelColor(x, y) != focus) return false;
            ++checked;
        }
    }
    return checked > 0;
}

// Whether the control is on screen as its window draws it, with no frame around it.
bool shownUnframed(QWidget& control) {
    const QImage shot = onScreen(control);
    QWidget& window = *control.window();
    const QImage drawn = window.grab({control.mapTo(&window, QPoint(0, 0)), control.size()})
                             .toImage()
                             .convertToFormat(QImage::Format_RGB32);
    for (int x = 0; x < control.width(); ++x)
        for (int y = 0; y < control.height(); ++y)
            if (unmasked(control, {x, y}) && shot.pixel(x, y) != drawn.pixel(x, y)) return false;
    return !framedOnScreen(control);
}

bool focusedAndFramed(const char* window, const char* formName) {
    QWidget* control = focused(window, formName);
    return control && framedOnScreen(*control);
}

// A window just opened has the focus on a control but shows no frame until a key is pressed.
bool focusedUnframed(const char* window, const char* formName) {
    QWidget* control = focused(window, formName);
    return control && shownUnframed(*control);
}

// The focus frame shows on no control but the focused one.
bool onlyFocusedFramed(const char* window) {
    SkinWindow* w = dialog(window);
    if (!w) return false;
    for (auto* button : w->findChildren<ui::GraphicButton*>())
        if (!button->hasFocus() && framedOnScreen(*button)) return false;
    return true;
}

QPushButton* retryButton() {
    auto* window = liveUpdateWindow();
    return window ? window->findChild<QPushButton*>(QStringLiteral("offlineRetry")) : nullptr;
}

// The offline panel's button shows its focus as a light frame on screen.
bool retryFramedOnScreen(QPushButton& button) {
    const QImage shot = onScreen(button);
    const QColor frame(0xea, 0xee, 0xf6);
    return shot.pixelColor(button.width() / 2, 0) == frame &&
           shot.pixelColor(0, button.height() / 2) == frame;
}

// How a dialog is worked with keys: the tray command that opens it, the buttons Tab goes round
// from the one focused first, and the keys that close it with the button each is pressed on.
struct DialogWalk {
    const char* trayCommand;
    const char* window;
    std::vector<const char*> tabOrder;
    std::vector<std::pair<const char*, const char*>> closings;
};

// Only the quit dialog's OK button ends the program: it is never pressed here.
const std::vector<DialogWalk> dialogWalks{
    {"退出系统",
     "QuitConfirmWindow",
     {"图形按钮确定", "图形按钮1"},
     {{"Escape", "图形按钮1"},
      {"Escape", "图形按钮确定"},
      {"Return", "图形按钮1"},
      {"space", "图形按钮1"}}},
    {"关于我们",
     "AboutWindow",
     {"图形按钮关闭"},
     {{"Escape", "图形按钮关闭"}, {"Return", "图形按钮关闭"}}},
    {"更新升级", "VersionWindow", {"确定图形按钮", "取消图形按钮"}, {{"Escape", "取消图形按钮"}}},
};

} // namespace

class KeyboardWalkTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningClient> client;
    app::MainWindow* mainWindow = nullptr;

    // Right-clicks the tray icon and walks the menu down to `caption` with the arrow keys.
    void chooseFromTrayMenu(Steps& walk, const QString& caption) {
        app::TrayMenu& menu = mainWindow->trayMenu();
        // A click in the moment the last dialog's loop is still unwinding can be lost (a person
        // is never that quick): the icon is clicked again until the menu is up.
        auto clicked = std::make_shared<QElapsedTimer>();
        walk.waitFor(QStringLiteral("tray menu up"),
                     [this, &menu, clicked] {
                         if (QApplication::activePopupWidget() == &menu) return true;
                         const QRect icon = mainWindow->trayIcon()->systemIcon()->geometry();
                         if (icon.isValid() && !QApplication::activeModalWidget() &&
                             (!clicked->isValid() || clicked->elapsed() > 1000)) {
                             clicked->start();
                             desktop::clickAt(icon.center(), 3);
                         }
                         return false;
                     })
            .then([&menu, caption] {
                qsizetype downs = 0;
                for (QAction* action : menu.actions()) {
                    if (action->isSeparator()) continue;
                    ++downs;
                    if (action->text() == caption) break;
                }
                desktop::keys(QStringList(downs, QStringLiteral("Down")));
            });
        walk.waitFor(caption + QStringLiteral(" chosen"),
                     [&menu, caption] {
                         return menu.activeAction() && menu.activeAction()->text() == caption;
                     })
            .then([] { desktop::keys({QStringLiteral("Return")}); });
    }

    void walkDialog(Steps& walk, const DialogWalk& dialog) {
        const char* window = dialog.window;
        const std::vector<const char*>& order = dialog.tabOrder;
        std::size_t at = 0;
        const auto press = [&walk, window, &order, &at](const char* key, std::size_t next) {
            walk.then([key] { desktop::keys({QString::fromLatin1(key)}); });
            at = next % order.size();
            const char* target = order[at];
            walk.waitFor(QStringLiteral("%1: %2 focused and framed")
                             .arg(QString::fromLatin1(key), QString::fromUtf8(target)),
                         [window, target] {
                             return focusedAndFramed(window, target) && onlyFocusedFramed(window);
                         });
        };
        bool first = true;
        for (const auto& [key, on] : dialog.closings) {
            chooseFromTrayMenu(walk, QString::fromUtf8(dialog.trayCommand));
            at = 0;
            walk.waitFor(QStringLiteral("%1 opened, focused, no frame before a key")
                             .arg(QString::fromLatin1(window)),
                         [window, button = order.front()] {
                             return focusedUnframed(window, button) && onlyFocusedFramed(window);
                         });
            if (first) {
                for (std::size_t i = 1; i <= order.size(); ++i)
                    press("Tab", i);
                press("shift+Tab", order.size() - 1);
            }
            while (std::strcmp(order[at], on) != 0)
                press("Tab", at + 1);
            walk.then([key] { desktop::keys({QString::fromLatin1(key)}); });
            walk.waitFor(QStringLiteral("%1 on %2 closed it")
                             .arg(QString::fromLatin1(key), QString::fromUtf8(on)),
                         [] { return !QApplication::activeModalWidget() && !liveUpdateWindow(); });
            first = false;
        }
    }

    // Opens the update window from the version dialog with Enter and waits for it to have the
    // keyboard and for `ready`.
    Steps& openUpdateWindow(Steps& walk, std::function<bool()> ready) {
        chooseFromTrayMenu(walk, QStringLiteral("更新升级"));
        walk.waitFor(QStringLiteral("check button focused"),
                     [] { return focused("VersionWindow", "确定图形按钮") != nullptr; })
            .then([] { desktop::keys({QStringLiteral("Return")}); });
        return walk.waitFor(QStringLiteral("update window up with the keyboard"),
                            [ready = std::move(ready)] {
                                auto* window = liveUpdateWindow();
                                return !QApplication::activeModalWidget() && window &&
                                       window->isActiveWindow() && ready();
                            });
    }

    static void hideUpdateWindow(Steps& walk) {
        walk.then([] { desktop::keys({QStringLiteral("Escape")}); });
        walk.waitFor(QStringLiteral("Escape hid the update window"), [] {
            auto* window = liveUpdateWindow();
            return window && !window->isVisible();
        });
    }

    static void runWalk(Steps& walk) {
        walk.start();
        QTRY_VERIFY_WITH_TIMEOUT(walk.finished(), 180000);
        QVERIFY2(walk.failure().isEmpty(), qPrintable(walk.failure()));
    }

  private slots:
    void initTestCase() {
        client = std::make_unique<RunningClient>(130000);
        mainWindow = client->mainWindow;
        QVERIFY(waitUntilShown(mainWindow));
    }

    // Every dialog, worked with keys only: opened with the focus on its first button and no
    // frame before a key; Tab goes round its buttons and Shift+Tab back, the frame on the
    // focused one alone; each closing key then takes it away from the button it is pressed on.
    void dialogsByKeys() {
        Steps walk;
        for (const DialogWalk& dialog : dialogWalks)
            walkDialog(walk, dialog);
        runWalk(walk);
        // Still running: no key above confirmed the quit.
        QVERIFY(mainWindow->isVisible());
    }

    // Enter on the version dialog's first button opens the update window, where a download
    // starts with keys only: the speed chosen with the arrow keys, the start button reached with
    // Tab and pressed with Enter. Escape there only hides the window.
    void downloadByKeys() {
        OpenedFiles opened;
        Steps walk;
        openUpdateWindow(walk, [] { return focusedUnframed("UpdateWindow", "组合框"); }).then([] {
            desktop::keys(QStringList(4, QStringLiteral("Down")));
        });
        walk.waitFor(QStringLiteral("lowest speed chosen, the list framed"),
                     [] {
                         auto* list = qobject_cast<QComboBox*>(focused("UpdateWindow", "组合框"));
                         return list && list->currentText() == QStringLiteral("低速更新") &&
                                framedOnScreen(*list);
                     })
            .then([] { desktop::keys({QStringLiteral("Tab")}); });
        walk.waitFor(QStringLiteral("start button framed"),
                     [] { return focusedAndFramed("UpdateWindow", "按钮1"); })
            .then([] { desktop::keys({QStringLiteral("Return")}); });
        walk.waitFor(QStringLiteral("download started, focus on the cancel button"), [this] {
            return client->site.packageRequests > 0 && focused("UpdateWindow", "按钮2") &&
                   !liveUpdateWindow()
                        ->control<ui::GraphicButton>(QStringLiteral("按钮1"))
                        ->isEnabled();
        });
        hideUpdateWindow(walk);
        runWalk(walk);

        // The download goes on while hidden and still ends with the package started.
        QTRY_COMPARE_WITH_TIMEOUT(opened.paths.size(), 1, 20000);
        QCOMPARE(opened.paths.front(), client->updates.packagePath());
        QCOMPARE(liveUpdateWindow(), nullptr);
    }

    // With its page unreachable, the update window's offline panel sits in the page's place in
    // the Tab order: Shift+Tab from the speed list reaches its button, framed, and Enter tries
    // the page again.
    void offlinePageRetriedByKeys() {
        client->site.pageDown = true;
        Steps walk;
        openUpdateWindow(walk, [] {
            return retryButton() && retryButton()->isVisible() && focused("UpdateWindow", "组合框");
        }).then([] { desktop::keys({QStringLiteral("shift+Tab")}); });
        walk.waitFor(QStringLiteral("Shift+Tab: retry button focused and framed"),
                     [] {
                         QPushButton* retry = retryButton();
                         return retry && retry->hasFocus() && retryFramedOnScreen(*retry);
                     })
            .then([this] {
                client->site.pageDown = false;
                desktop::keys({QStringLiteral("Return")});
            });
        walk.waitFor(QStringLiteral("Enter brought the page back"),
                     [] { return retryButton() && !retryButton()->isVisible(); });
        hideUpdateWindow(walk);
        runWalk(walk);
        liveUpdateWindow()->close();
    }
};

SORVO_GUI_TEST_MAIN(KeyboardWalkTest)
#include "test_keyboard_walk.moc"
