#include "ui/framework/skin_window.h"

#include "ui/framework/accessible_widgets.h"
#include "ui/framework/canvas.h"
#include "ui/framework/drop_down_list.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/keyboard_use.h"
#include "ui/framework/picture_box.h"
#include "ui/framework/picture_loader.h"
#include "ui/framework/skin_label.h"
#include "ui/framework/timer.h"
#include "ui/framework/tray_icon.h"
#include "ui/framework/web_browser.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>

namespace sorvo::ui {

using design::ControlKind;

SkinWindow::SkinWindow(const design::WindowDesign& design, SkinWindow* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint), design_(design), owner_(owner) {
    installAccessibleWidgets();
    setObjectName(design.name);
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
    if (!design.backgroundPicture.isEmpty())
        background_ = QPixmap::fromImage(loadImage(design.backgroundPicture));
    buildControls();
    if (design.focusColour.isValid()) new KeyboardUse(*this);
}

SkinWindow::~SkinWindow() = default;

void SkinWindow::buildControls() {
    for (const design::ControlDesign& c : design_.controls) {
        QWidget* widget = nullptr;
        switch (c.kind) {
        case ControlKind::PictureBox:
            widget = new PictureBox(this, c.picture);
            break;
        case ControlKind::Canvas: {
            auto* canvas = new Canvas(this);
            canvas->setBackground(loadImage(c.picture));
            widget = canvas;
            break;
        }
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
        case ControlKind::Timer:
            new Timer(this);
            children().back()->setObjectName(c.formName);
            continue;
        }
        widget->setObjectName(c.formName);
        widget->setGeometry(c.rect);
        widget->setCursor(loadCursor(c.cursor));
    }
}

void SkinWindow::load(SkinWindow* window, bool modal) {
    QPointer<SkinWindow> guard(window);
    window->placeOnScreen();
    if (window->handlers.created) window->handlers.created();
    if (!guard || guard->destroyed_) return;
    if (!modal) {
        window->show();
        return;
    }
    window->setWindowModality(Qt::WindowModal);
    QEventLoop loop;
    connect(window, &SkinWindow::windowDestroyed, &loop, &QEventLoop::quit);
    // Deleted along with its owner without a destroyWindow() first: the wait ends all the same.
    connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->show();
    loop.exec();
}

void SkinWindow::placeOnScreen() {
    if (owner_) {
        const QRect ownerFrame = owner_->frameGeometry();
        move(ownerFrame.center() - rect().center());
    } else {
        move(design_.storedPosition);
    }
}

void SkinWindow::destroyWindow() {
    if (destroyed_) return;
    destroyed_ = true;
    for (Timer* t : findChildren<Timer*>())
        t->setInterval(0);
    // A menu of this window still open (a download may end while its tray menu is up) must not
    // offer commands of a window that is gone.
    for (QMenu* menu : findChildren<QMenu*>())
        menu->close();
    if (tray_) tray_->discard();
    tray_ = nullptr;
    hide();
    emit windowDestroyed();
    deleteLater();
}

int SkinWindow::windowStateValue() const {
    return isMinimized() ? Minimised : Normal;
}

void SkinWindow::setWindowStateValue(int state) {
    if (state == Minimised)
        setWindowState(windowState() | Qt::WindowMinimized);
    else
        setWindowState(windowState() & ~Qt::WindowMinimized);
}

void SkinWindow::bringToFront() {
    setWindowStateValue(Normal);
    setVisible(true);
    raise();
    activateWindow();
}

void SkinWindow::setTrayIcon(const QString& pictureName, const QString& tooltip) {
    if (!tray_) {
        tray_ = new TrayIcon(this);
        tray_->onEvent = [this](int code) {
            if (handlers.trayEvent) handlers.trayEvent(code);
        };
    }
    tray_->set(pictureName, tooltip);
}

Timer* SkinWindow::timer(const QString& formName) const {
    return control<Timer>(formName);
}

void SkinWindow::paintEvent(QPaintEvent*) {
    if (background_.isNull()) return;
    QPainter painter(this);
    // Drawn at its own size from the top left, never scaled.
    painter.drawPixmap(0, 0, background_);
}

void SkinWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (handlers.sizeChanged) handlers.sizeChanged();
}

void SkinWindow::closeEvent(QCloseEvent* event) {
    if (handlers.closeRequest && !handlers.closeRequest()) {
        event->ignore();
        return;
    }
    event->accept();
    destroyWindow();
}

} // namespace sorvo::ui
