#include "ui/framework/accessible_widgets.h"

#include "ui/framework/canvas.h"
#include "ui/framework/skin_window.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

namespace sorvo::ui {

namespace {

// One press zone: not a widget of its own, so it lives as long as the canvas's interface keeps
// it registered, and goes invalid with the canvas.
class ZoneAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
  public:
    ZoneAccessible(Canvas* canvas, std::size_t index) : canvas_(canvas), index_(index) {}

    bool isValid() const override { return canvas_ && index_ < canvas_->pressZones().size(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return canvas_->window()->windowHandle(); }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(canvas_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? zone().name : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        const QRect r = zone().rect;
        return QRect(canvas_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::PushButton; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !canvas_->isVisible();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override {
        if (name == pressAction() && isValid()) canvas_->pressZone(index_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

  private:
    const Canvas::PressZone& zone() const { return canvas_->pressZones()[index_]; }

    QPointer<Canvas> canvas_;
    std::size_t index_;
};

class CanvasAccessible : public QAccessibleWidget {
  public:
    explicit CanvasAccessible(Canvas* canvas) : QAccessibleWidget(canvas, QAccessible::Canvas) {}
    ~CanvasAccessible() override { dropZones(); }

    int childCount() const override { return static_cast<int>(canvas().pressZones().size()); }

    QAccessibleInterface* child(int index) const override {
        if (zones_.size() != canvas().pressZones().size()) registerZones();
        if (index < 0 || index >= childCount()) return nullptr;
        return QAccessible::accessibleInterface(zones_[static_cast<std::size_t>(index)]);
    }

    int indexOfChild(const QAccessibleInterface* candidate) const override {
        for (int i = 0; i < childCount(); ++i)
            if (child(i) == candidate) return i;
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i)
            if (child(i)->rect().contains(x, y)) return child(i);
        return nullptr;
    }

  private:
    Canvas& canvas() const { return *static_cast<Canvas*>(widget()); }

    void registerZones() const {
        dropZones();
        auto* target = static_cast<Canvas*>(widget());
        for (std::size_t i = 0; i < target->pressZones().size(); ++i)
            zones_.push_back(
                QAccessible::registerAccessibleInterface(new ZoneAccessible(target, i)));
    }

    void dropZones() const {
        for (QAccessible::Id id : zones_)
            QAccessible::deleteAccessibleInterface(id);
        zones_.clear();
    }

    mutable std::vector<QAccessible::Id> zones_;
};

QAccessibleInterface* frameworkInterface(const QString&, QObject* object) {
    if (auto* canvas = qobject_cast<Canvas*>(object)) return new CanvasAccessible(canvas);
    if (auto* window = qobject_cast<SkinWindow*>(object))
        return new QAccessibleWidget(window, window->parentWidget() ? QAccessible::Dialog
                                                                    : QAccessible::Window);
    return nullptr;
}

} // namespace

void installAccessibleWidgets() {
    static const bool installed = [] {
        QAccessible::installFactory(frameworkInterface);
        return true;
    }();
    (void)installed;
}

} // namespace sorvo::ui
