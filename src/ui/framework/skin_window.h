#pragma once

#include "resources/window_design.h"

#include <QPixmap>
#include <QWidget>
#include <functional>

namespace sorvo::ui {

class SkinMenu;
class Timer;
class TrayIcon;

// A borderless window built from its design: size, title, colours, background picture, icon,
// cursor and controls, each control named by its form name. Its events go to the handlers set
// on it.
class SkinWindow : public QWidget {
    Q_OBJECT
  public:
    enum State { Normal = 0, Minimised = 2 };

    // Builds the window and its controls, hidden. With an owner the window stays above it and is
    // placed over its centre; without one it opens at its stored position.
    explicit SkinWindow(const design::WindowDesign& design, SkinWindow* owner = nullptr);
    ~SkinWindow() override;

    struct Handlers {
        std::function<void()> created;      // controls exist, window not yet shown
        std::function<void()> sizeChanged;  // also when the window is first sized
        std::function<bool()> closeRequest; // returns whether the window may close
        std::function<void(int code)> trayEvent;
    } handlers;

    // Raises the created event and shows the window. Modeless returns at once; modal blocks
    // input to the owner and returns when the window has been destroyed.
    static void load(SkinWindow* window, bool modal);

    // Takes the window away with its timers and tray icon. Safe from the window's own handlers.
    void destroyWindow();
    bool isDestroyed() const { return destroyed_; }

    int windowStateValue() const;
    void setWindowStateValue(int state);

    // Brings the window back in front of the user: no longer minimised, visible, raised and
    // active. A hidden window that was minimised comes back restored.
    void bringToFront();

    // Sets the tray icon from a catalogue icon and its tooltip, putting it up if needed.
    void setTrayIcon(const QString& pictureName, const QString& tooltip);
    TrayIcon* trayIcon() const { return tray_; }

    Timer* timer(const QString& formName) const;

    template <class Control> Control* control(const QString& formName) const {
        return findChild<Control*>(formName);
    }

    const design::WindowDesign& design() const { return design_; }

  signals:
    void windowDestroyed();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void placeOnScreen();

    const design::WindowDesign& design_;
    SkinWindow* owner_;
    QPixmap background_;
    TrayIcon* tray_ = nullptr;
    bool destroyed_ = false;
};

} // namespace sorvo::ui
