#include "ui/framework/skin_window.h"

#include "platform/platform.h"
#include "platform/tray_hosts.h"
#include "ui/framework/canvas.h"
#include "ui/framework/drop_down_list.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/keyboard_use.h"
#include "ui/framework/picture_box.h"
#include "ui/framework/picture_loader.h"
#include "ui/framework/skin_label.h"
#include "ui/framework/skin_menu.h"
#include "ui/framework/web_browser.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QProgressBar>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>

namespace sorvo::ui {

using design::ControlKind;
using design::Rounding;

namespace {
constexpr int cornerEllipse = 11;
}

// An owned window is a dialog to the window system: transient for its owner (WM_TRANSIENT_FOR,
// the xdg-toplevel parent), so that the owner never comes up above it.
SkinWindow::SkinWindow(const design::WindowDesign& design, SkinWindow* owner)
    : QWidget(owner, (owner ? Qt::Dialog : Qt::Window) | Qt::FramelessWindowHint), design_(design),
      owner_(owner), background_(design.backgroundPicture) {
    setObjectName(design.name);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(design.title);
    setFixedSize(design.size);
    if (!design.icon.isEmpty()) setWindowIcon(loadIcon(design.icon));
    setCursor(loadCursor(design.cursor));
    if (design.background.isValid()) {
        QPalette palette = this->palette();
        palette.setColor(QPalette::Window, design.background);
        setPalette(palette);
        setAutoFillBackground(true);
    }
    buildControls();
    if (design.focusColour.isValid()) {
        // Controls draw their focus mark in the palette's highlight.
        QPalette palette = this->palette();
        palette.setColor(QPalette::Highlight, design.focusColour);
        setPalette(palette);
        keyboard_ = std::make_unique<KeyboardUse>(*this, design);
    }
}

SkinWindow::~SkinWindow() = default;

void SkinWindow::buildControls() {
    for (const design::ControlDesign& c : design_.controls) {
        QWidget* widget = nullptr;
        switch (c.kind) {
        case ControlKind::PictureBox:
            widget = new PictureBox(this, c.picture);
            break;
        case ControlKind::Canvas:
            widget = new Canvas(this, c.picture);
            break;
        case ControlKind::WebBrowser:
            widget = new WebBrowser(this, c.address);
            break;
        case ControlKind::GraphicButton: {
            auto* button = new GraphicButton(this, c.picture, c.highlightedPicture);
            button->setText(c.text);
            if (!c.pictureWords.isEmpty()) button->setAccessibleName(c.pictureWords);
            widget = button;
            break;
        }
        case ControlKind::Label: {
            auto* label = new SkinLabel(this, c.picture);
            label->setText(c.text);
            label->setAlignment(c.alignment);
            QFont font(c.fontFamily);
            font.setFamilies({c.fontFamily, QStringLiteral("Noto Serif CJK SC")});
            font.setPixelSize(c.fontPixelSize);
            label->setFont(font);
            QPalette palette = label->palette();
            palette.setColor(QPalette::WindowText, c.textColour);
            label->setPalette(palette);
            widget = label;
            break;
        }
        case ControlKind::DropDownList: {
            auto* list = new DropDownList(this);
            for (const auto& [text, value] : c.entries)
                list->addItem(text, value);
            list->setCurrentIndex(0);
            widget = list;
            break;
        }
        case ControlKind::ProgressBar: {
            auto* bar = new QProgressBar(this);
            bar->setRange(0, 1000);
            bar->setValue(0);
            bar->setTextVisible(false);
            widget = bar;
            break;
        }
        case ControlKind::Timer: {
            // A coarse timer may fire up to 5 % early.
            auto* timer = new QTimer(this);
            timer->setTimerType(Qt::PreciseTimer);
            timer->setObjectName(c.formName);
            continue;
        }
        }
        widget->setObjectName(c.formName);
        widget->setGeometry(c.rect);
        widget->setCursor(loadCursor(c.cursor));
    }
}

void SkinWindow::round() {
    platform::setRoundRectRegion(*this, width(), height(), cornerEllipse, cornerEllipse);
}

void SkinWindow::load() {
    placeOnScreen();
    if (design_.rounding == Rounding::WhenCreated ||
        design_.rounding == Rounding::WhenCreatedAndSized)
        round();
    emit created();
}

void SkinWindow::showModeless() {
    load();
    if (!closed_) show();
}

void SkinWindow::open() {
    load();
    if (closed_) return;
    setWindowModality(Qt::WindowModal);
    show();
}

void SkinWindow::placeOnScreen() {
    if (owner_) {
        const QRect ownerFrame = owner_->frameGeometry();
        move(ownerFrame.center() - rect().center());
    } else {
        move(design_.storedPosition);
    }
}

void SkinWindow::requestClose() {
    if (acceptsCloseRequest()) close();
}

void SkinWindow::minimise() {
    setWindowState(windowState() | Qt::WindowMinimized);
}

void SkinWindow::bringToFront() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    setVisible(true);
    raise();
    QWidget& front = frontWindow();
    front.raise();
    front.activateWindow();
}

QWidget& SkinWindow::frontWindow() {
    QWidget* modal = QApplication::activeModalWidget();
    return modal && modal->parentWidget() == this ? *modal : *this;
}

void SkinWindow::setTrayIcon(const QString& pictureName, const QString& tooltip) {
    if (!tray_) {
        tray_ = new TrayIcon(this);
        connect(tray_, &TrayIcon::activated, this, &SkinWindow::trayActivated);
        if (trayMenu_) tray_->attachMenuForHost(trayMenu_);
    }
    tray_->set(pictureName, tooltip);
}

void SkinWindow::setTrayMenu(SkinMenu& menu) {
    trayMenu_ = &menu;
    if (tray_) tray_->attachMenuForHost(trayMenu_);
}

QTimer* SkinWindow::timer(const QString& formName) const {
    return control<QTimer>(formName);
}

void SkinWindow::paintEvent(QPaintEvent*) {
    if (background_.isEmpty()) return;
    // The window may have gone to a screen of another density.
    const qreal ratio = devicePixelRatioF();
    background_.follow(ratio);
    const QPixmap& picture = background_.pixmap();
    QPainter painter(this);
    // Drawn at its own size from the top left: pixel for pixel at 1 and 2, the 2x picture scaled
    // down at 1.5.
    if (ratio != picture.devicePixelRatio()) painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(0, 0, picture);
}

void SkinWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (design_.rounding == Rounding::WhenSized ||
        design_.rounding == Rounding::WhenCreatedAndSized)
        round();
    emit sizeChanged(event->size());
}

void SkinWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) emit stateChanged(windowState());
    // A click on this window may make the window manager hand it the keys while a window modal
    // to it stands; they belong to that window.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && &frontWindow() != this)
        frontWindow().activateWindow();
}

void SkinWindow::closeEvent(QCloseEvent* event) {
    // The program's own close() always goes through; the system's request is the window's to take.
    if (closed_ || (event->spontaneous() && !acceptsCloseRequest())) {
        event->setAccepted(closed_);
        return;
    }
    closed_ = true;
    for (QTimer* timer : findChildren<QTimer*>(QString(), Qt::FindDirectChildrenOnly))
        timer->stop();
    // A menu of this window still open (a download may end while its tray menu is up) must not
    // offer commands of a window that is gone.
    for (QMenu* menu : findChildren<QMenu*>())
        menu->close();
    if (tray_) tray_->discard();
    tray_ = nullptr;
    event->accept();
    emit closed();
}

// Without a tray the window itself is where its tray menu opens; right clicks that its controls
// ignore (the title strip's among them) come here.
void SkinWindow::contextMenuEvent(QContextMenuEvent* event) {
    if (!trayMenu_ || platform::TrayHosts::instance().any()) {
        QWidget::contextMenuEvent(event);
        return;
    }
    trayMenu_->popUpAtCursor();
    event->accept();
}

} // namespace sorvo::ui
