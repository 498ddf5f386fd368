#pragma once

#include "resources/window_design.h"
#include "ui/framework/dense_picture.h"
#include "ui/framework/tray_icon.h"

#include <QPixmap>
#include <QWidget>
#include <memory>

class QTimer;

namespace sorvo::ui {

class KeyboardUse;
class SkinMenu;

// A borderless window built from its design: size, title, colours, background picture, icon,
// cursor, rounded outline and controls, each control named by its form name. What happens to it is
// told through its signals; subclasses connect their handlers in their constructors.
class SkinWindow : public QWidget {
    Q_OBJECT
  public:
    // Builds the window and its controls, hidden. With an owner the window stays above it and is
    // placed over its centre; without one it opens at its stored position.
    explicit SkinWindow(const design::WindowDesign& design, SkinWindow* owner = nullptr);
    ~SkinWindow() override;

    // Places the window and raises `created`; the window stays hidden until somebody shows it.
    void load();
    // Loads the window, then shows it beside the others.
    void showModeless();
    // Loads the window, then shows it modal to its owner and returns at once: input to
    // the owner is blocked while the window stands. `closed` tells when it has gone.
    void open();

    // close() takes the window away with its timers, menus and tray icon, whoever asks: `closed`
    // follows at once and the window is deleted from the event loop (Qt::WA_DeleteOnClose). Safe
    // from the window's own handlers. This asks as the system's close button does: the window
    // may refuse (acceptsCloseRequest).
    void requestClose();

    void minimise();
    // Brings the window back in front of the user: no longer minimised, visible, raised and
    // active. A hidden window that was minimised comes back restored.
    void bringToFront();

    // Sets the tray icon from a catalogue icon and its tooltip, putting it up if needed.
    void setTrayIcon(const QString& pictureName, const QString& tooltip);
    TrayIcon* trayIcon() const { return tray_; }
    // The menu of the window's tray icon: attached for tray hosts that show menus themselves,
    // and, where the desktop has no tray, opened by a right click on the window.
    void setTrayMenu(SkinMenu& menu);

    QTimer* timer(const QString& formName) const;

    template <class Control> Control* control(const QString& formName) const {
        return findChild<Control*>(formName);
    }

    const design::WindowDesign& design() const { return design_; }

  signals:
    // The controls exist; the window is not shown yet.
    void created();
    // Also when the window is first sized.
    void sizeChanged(QSize size);
    void stateChanged(Qt::WindowStates states);
    void trayActivated(sorvo::ui::TrayActivation activation);
    // The window has gone: closed by the program or by the system.
    void closed();

  protected:
    // Whether a close request from the system (or requestClose) may take the window away; by
    // default it may.
    virtual bool acceptsCloseRequest() { return true; }

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void buildControls();
    void round();
    void placeOnScreen();
    // The window modal to this one while it stands, else this one: it stays in front.
    QWidget& frontWindow();

    const design::WindowDesign& design_;
    SkinWindow* owner_;
    DensePicture background_;
    TrayIcon* tray_ = nullptr;
    SkinMenu* trayMenu_ = nullptr;
    bool closed_ = false;
    std::unique_ptr<KeyboardUse> keyboard_; // with a focus colour in the design
};

} // namespace sorvo::ui
