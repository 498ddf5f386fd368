#include "resources/window_design.h"
#include "support/gui_test_main.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/skin_window.h"

#include <QComboBox>
#include <QPointer>
#include <QSignalSpy>
#include <QStyleFactory>

using namespace sorvo;
using namespace sorvo::ui;

namespace {

const QColor focusColour(255, 128, 0);

design::ControlDesign button(const char* formName, QRect rect) {
    return {.formName = QString::fromUtf8(formName),
            .kind = design::ControlKind::GraphicButton,
            .rect = rect,
            .picture = QStringLiteral("QuitOkButtonNormal"),
            .highlightedPicture = QStringLiteral("QuitOkButtonHighlighted")};
}

// Two buttons around a drop-down list, in that design order, and a label that takes no keys.
design::WindowDesign keyboardDesign(QColor focus, const QString& escapeKey) {
    return {.name = QStringLiteral("KeyboardWindow"),
            .title = QStringLiteral("keys"),
            .size = {300, 120},
            .storedPosition = {60, 60},
            .background = QColor(30, 30, 60),
            .focusColour = focus,
            .escapeKey = escapeKey,
            .controls = {
                button("first", {10, 70, 72, 31}),
                {.formName = QStringLiteral("list"),
                 .kind = design::ControlKind::DropDownList,
                 .rect = {100, 75, 76, 20},
                 .entries = {{QStringLiteral("超速更新"), 200}, {QStringLiteral("低速更新"), 6}}},
                button("last", {200, 70, 72, 31}),
                {.formName = QStringLiteral("text"),
                 .kind = design::ControlKind::Label,
                 .rect = {10, 10, 200, 20},
                 .text = QStringLiteral("等待下载")}}};
}

QImage shown(QWidget& control) {
    return control.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The whole outermost ring of pixels in the focus colour.
bool framed(QWidget& control) {
    const QImage image = shown(control);
    const QRect r = control.rect();
    for (int x = 0; x < r.width(); ++x)
        for (int y : {0, r.bottom()})
            if (image.pixelColor(x, y) != focusColour) return false;
    for (int y = 0; y < r.height(); ++y)
        for (int x : {0, r.right()})
            if (image.pixelColor(x, y) != focusColour) return false;
    return true;
}

QString focusName() {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

} // namespace

class KeyboardUseTest : public QObject {
    Q_OBJECT

    std::unique_ptr<design::WindowDesign> design_;
    QPointer<SkinWindow> window_;

    void open(QColor focus, const QString& escapeKey) {
        design_ = std::make_unique<design::WindowDesign>(keyboardDesign(focus, escapeKey));
        window_ = new SkinWindow(*design_);
        // Themed as the update window themes its list, whose style has a focus look of its own.
        window_->control<QComboBox>(QStringLiteral("list"))
            ->setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        window_->showModeless();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_));
    }

    void tab(Qt::Key key = Qt::Key_Tab) { QTest::keyClick(QApplication::focusWidget(), key); }

  private slots:
    void cleanup() {
        delete window_;
        window_ = nullptr;
    }

    // The focus shows as a 1-px frame in the window's colour on the control's outermost pixels
    // and nothing else: no look of the style's own, on the list as on the buttons.
    void focusFrameIsTheOnlyMark() {
        open(focusColour, {});
        // Styles draw their own focus look only once the keyboard is used.
        tab();
        for (const char* name : {"first", "list"}) {
            auto* control = window_->findChild<QWidget*>(QString::fromLatin1(name));
            control->setFocus();
            QTRY_VERIFY(control->hasFocus());
            const QImage focused = shown(*control);
            window_->findChild<QWidget*>(QStringLiteral("last"))->setFocus();
            QTRY_VERIFY(!control->hasFocus());
            const QImage plain = shown(*control);
            const QRect r = control->rect();
            for (int y = 0; y < r.height(); ++y) {
                for (int x = 0; x < r.width(); ++x) {
                    const bool ring = x == 0 || y == 0 || x == r.right() || y == r.bottom();
                    const QColor expected = ring ? focusColour : plain.pixelColor(x, y);
                    QVERIFY2(focused.pixelColor(x, y) == expected,
                             qPrintable(QStringLiteral("%1 at %2,%3").arg(name).arg(x).arg(y)));
                }
            }
        }
    }

    // As desktops do, the focus shows only once the keyboard is used in the window: not as it
    // opens, not after a click on a button, again at the next key.
    void focusShowsOnlyAfterKeys() {
        open(focusColour, {});
        auto* first = window_->control<GraphicButton>(QStringLiteral("first"));
        auto* last = window_->control<GraphicButton>(QStringLiteral("last"));
        QVERIFY(first->hasFocus());
        QVERIFY(!framed(*first));
        tab(Qt::Key_Backtab);
        QVERIFY(last->hasFocus());
        QVERIFY(framed(*last));
        QTest::mouseClick(first, Qt::LeftButton);
        QVERIFY(first->hasFocus());
        QVERIFY(!framed(*first));
        // A button that takes the focus from the program after a click shows none either.
        last->setFocus();
        QVERIFY(!framed(*last));
        QTest::keyClick(last, Qt::Key_Right);
        QVERIFY(framed(*QApplication::focusWidget()));
    }

    // Focus starts on the first control; Tab and Shift+Tab go round in design order, over a
    // disabled control, never to the label.
    void tabGoesRoundInDesignOrder() {
        open(focusColour, {});
        QCOMPARE(focusName(), QStringLiteral("first"));
        tab();
        QCOMPARE(focusName(), QStringLiteral("list"));
        tab();
        QCOMPARE(focusName(), QStringLiteral("last"));
        tab();
        QCOMPARE(focusName(), QStringLiteral("first"));
        tab(Qt::Key_Backtab);
        QCOMPARE(focusName(), QStringLiteral("last"));
        window_->findChild<QWidget*>(QStringLiteral("list"))->setEnabled(false);
        tab(Qt::Key_Backtab);
        QCOMPARE(focusName(), QStringLiteral("first"));
        tab();
        QCOMPARE(focusName(), QStringLiteral("last"));
    }

    // Escape presses the button the design names, unless it is disabled; or asks the window to
    // close, which its handler may refuse.
    void escapeDoesWhatTheDesignSays() {
        open(focusColour, QStringLiteral("last"));
        auto* last = window_->control<GraphicButton>(QStringLiteral("last"));
        QSignalSpy clicks(last, &QAbstractButton::clicked);
        QTest::keyClick(window_, Qt::Key_Escape);
        QCOMPARE(clicks.count(), 1);
        last->setEnabled(false);
        QTest::keyClick(window_, Qt::Key_Escape);
        QCOMPARE(clicks.count(), 1);
        cleanup();

        open(focusColour, design::closeRequest);
        QSignalSpy closed(window_.data(), &SkinWindow::closed);
        QTest::keyClick(window_, Qt::Key_Escape);
        QCOMPARE(closed.count(), 1);
    }

    // Without a focus colour the buttons take no focus and Escape does nothing.
    void windowsWithoutKeyboardUseAreLeftAlone() {
        open({}, {});
        auto* first = window_->control<GraphicButton>(QStringLiteral("first"));
        QCOMPARE(first->focusPolicy(), Qt::NoFocus);
        QSignalSpy clicks(first, &QAbstractButton::clicked);
        QTest::keyClick(window_, Qt::Key_Escape);
        QCOMPARE(clicks.count(), 0);
    }
};

SORVO_GUI_TEST_MAIN(KeyboardUseTest)
#include "test_keyboard_use.moc"
