#include "platform/platform.h"
#include "resources/pictures.h"
#include "resources/window_design.h"
#include "support/desktop_input.h"
#include "support/gui_test_main.h"
#include "ui/dialogs.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/picture_loader.h"
#include "ui/framework/program.h"
#include "ui/framework/skin_window.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <functional>

using namespace sorvo;
using ui::GraphicButton;
using ui::SkinWindow;

namespace {

// Set in the environment of the child process that confirms the quit dialog: the file its end
// routine writes to.
constexpr char childMarkerVariable[] = "SORVO_TEST_QUIT_MARKER";

const design::WindowDesign& ownerDesign() {
    static const design::WindowDesign design{.name = QStringLiteral("Owner"),
                                             .title = QStringLiteral("owner"),
                                             .size = {700, 500},
                                             .storedPosition = {40, 60},
                                             .background = QColor(40, 40, 90)};
    return design;
}

// Counts the mouse presses that reach a window.
class PressCounter : public QObject {
  public:
    int presses = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) ++presses;
        return false;
    }
};

GraphicButton* button(SkinWindow& dialog, const QString& formName) {
    return dialog.control<GraphicButton>(formName);
}

QImage shown(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage picture(const QString& name, QSize size) {
    return QImage(pictures::path(name))
        .copy(QRect({0, 0}, size))
        .convertToFormat(QImage::Format_RGB32);
}

QImage cursorImage(const QCursor& cursor) {
    return cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
}

struct DialogCase {
    const char* name;
    std::function<SkinWindow*(SkinWindow&)> open;
    QSize size;
    QString closingButton;
    bool followsResize;
};

std::vector<DialogCase> dialogCases() {
    return {
        {"QuitConfirmWindow",
         [](SkinWindow& o) { return ui::openQuitConfirmWindow(o); },
         {325, 245},
         QStringLiteral("图形按钮1"),
         true},
        {"AboutWindow",
         [](SkinWindow& o) { return ui::openAboutWindow(o); },
         {325, 245},
         QStringLiteral("图形按钮关闭"),
         false},
        {"VersionWindow",
         [](SkinWindow& o) -> SkinWindow* { return ui::openVersionWindow(o); },
         {520, 320},
         QStringLiteral("取消图形按钮"),
         true},
    };
}

} // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private:
    SkinWindow* owner_ = nullptr;
    PressCounter ownerPresses_;

  private slots:
    void initTestCase() {
        if (qEnvironmentVariableIsSet(childMarkerVariable)) return;
        owner_ = new SkinWindow(ownerDesign());
        owner_->installEventFilter(&ownerPresses_);
        owner_->showModeless();
        QVERIFY(QTest::qWaitForWindowExposed(owner_));
    }

    void init() {
        if (owner_) QCursor::setPos(owner_->mapToGlobal(QPoint(5, 5)));
    }

    // While a dialog is open its owner takes no input; the dialog's own button closes it, and
    // the owner takes input again.
    void dialogsAreModalAndCloseWithTheirButton() {
        for (const DialogCase& c : dialogCases()) {
            QPointer<SkinWindow> dialog = c.open(*owner_);
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            QSignalSpy closed(dialog.data(), &SkinWindow::closed);
            QCOMPARE(dialog->objectName(), QString::fromLatin1(c.name));
            QCOMPARE(dialog->size(), c.size);
            ownerPresses_.presses = 0;
            desktop::clickAt(owner_->mapToGlobal(QPoint(20, 20)));
            // The X server hands events on in order: once a right click on the dialog has
            // arrived, the click on the owner had its chance.
            PressCounter dialogPresses;
            dialog->windowHandle()->installEventFilter(&dialogPresses);
            desktop::clickAt(dialog->mapToGlobal(QPoint(8, dialog->height() / 2)), 3);
            QTRY_COMPARE(dialogPresses.presses, 1);
            QCOMPARE(ownerPresses_.presses, 0);
            QTest::mouseClick(button(*dialog, c.closingButton), Qt::LeftButton);
            QCOMPARE(closed.count(), 1);
            QTRY_VERIFY(!dialog);
            QVERIFY(owner_->isVisible());
            ownerPresses_.presses = 0;
            desktop::clickAt(owner_->mapToGlobal(QPoint(20, 20)));
            QTRY_COMPARE(ownerPresses_.presses, 1);
        }
    }

    // Every dialog is clipped to its own size with 11 × 11 corners; the quit and version
    // dialogs follow a size change, the about dialog keeps the outline it was created with.
    void dialogsAreRoundedAtTheirSize() {
        for (const DialogCase& c : dialogCases()) {
            SkinWindow* dialog = c.open(*owner_);
            const QRegion shape = dialog->mask();
            dialog->setFixedSize(c.size + QSize(30, 20));
            QApplication::processEvents();
            const QRegion afterResize = dialog->mask();
            dialog->close();

            QCOMPARE(shape, platform::roundRectRegion(c.size.width(), c.size.height(), 11, 11));
            QVERIFY(!shape.contains(QPoint(0, 0)));
            QVERIFY(!shape.contains(QPoint(c.size.width() - 1, c.size.height() - 1)));
            QVERIFY(shape.contains(QPoint(5, 0)));
            QVERIFY(shape.contains(QPoint(0, 5)));
            const QSize expected = c.followsResize ? c.size + QSize(30, 20) : c.size;
            QCOMPARE(afterResize,
                     platform::roundRectRegion(expected.width(), expected.height(), 11, 11));
        }
    }

    // Each button shows its normal picture, the highlighted one while the pointer is over it,
    // and carries its own cursor.
    void buttonsSwapPicturesUnderThePointer() {
        struct ButtonCase {
            int dialog;
            QString formName;
            QString role;
            QString cursor;
        };
        const std::vector<ButtonCase> buttons{
            {0, QStringLiteral("图形按钮确定"), QStringLiteral("QuitOkButton"),
             QStringLiteral("SkinCursor")},
            {0, QStringLiteral("图形按钮1"), QStringLiteral("QuitCancelButton"),
             QStringLiteral("CancelCursor")},
            {1, QStringLiteral("图形按钮关闭"), QStringLiteral("AboutCloseButton"),
             QStringLiteral("CloseCursor")},
            {2, QStringLiteral("确定图形按钮"), QStringLiteral("CheckUpdateButton"),
             QStringLiteral("SkinCursor")},
            {2, QStringLiteral("取消图形按钮"), QStringLiteral("CancelCheckButton"),
             QStringLiteral("CancelCursor")},
        };
        const auto cases = dialogCases();
        for (const ButtonCase& b : buttons) {
            SkinWindow* dialog = cases[static_cast<std::size_t>(b.dialog)].open(*owner_);
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            GraphicButton* target = button(*dialog, b.formName);
            const QSize size = target->size();
            // The pictures alone, without the keyboard's focus frame.
            target->clearFocus();
            const QImage cursor = cursorImage(target->cursor());
            const QImage before = shown(*target);
            QCursor::setPos(target->mapToGlobal(QPoint(size.width() / 2, size.height() / 2)));
            QTRY_VERIFY_WITH_TIMEOUT(target->underMouse(), 15000);
            const QImage over = shown(*target);
            QCursor::setPos(dialog->mapToGlobal(QPoint(dialog->width() / 2, 60)));
            QTRY_VERIFY_WITH_TIMEOUT(!target->underMouse(), 15000);
            const QImage after = shown(*target);
            dialog->close();

            QCOMPARE(cursor, cursorImage(ui::loadCursor(b.cursor)));
            QCOMPARE(before, picture(b.role + QStringLiteral("Normal"), size));
            QCOMPARE(over, picture(b.role + QStringLiteral("Highlighted"), size));
            QCOMPARE(after, before);
        }
    }

    // A second opening is a new window from the same design: nothing of the first survives,
    // not even the highlight its pointer left on a button.
    void reopeningShowsAFreshDialog() {
        QPointer<SkinWindow> first = ui::openQuitConfirmWindow(*owner_);
        QVERIFY(QTest::qWaitForWindowExposed(first));
        const QRect firstGeometry = first->geometry();
        GraphicButton* ok = button(*first, QStringLiteral("图形按钮确定"));
        QCursor::setPos(ok->mapToGlobal(QPoint(10, 10)));
        QTRY_VERIFY_WITH_TIMEOUT(ok->showsHighlighted(), 15000);
        QCursor::setPos(owner_->mapToGlobal(QPoint(5, 5)));
        first->close();
        QTRY_VERIFY(!first);

        SkinWindow* second = ui::openQuitConfirmWindow(*owner_);
        QVERIFY(QTest::qWaitForWindowExposed(second));
        QCOMPARE(second->geometry(), firstGeometry);
        QVERIFY(!button(*second, QStringLiteral("图形按钮确定"))->showsHighlighted());
        second->close();
    }

    // The window manager's close command (Alt+F4) closes a dialog; none refuses.
    void systemCloseEndsADialog() {
        for (const DialogCase& c : dialogCases()) {
            QPointer<SkinWindow> dialog = c.open(*owner_);
            QVERIFY2(QTest::qWaitForWindowExposed(dialog), c.name);
            dialog->activateWindow();
            QTRY_VERIFY_WITH_TIMEOUT(dialog->isActiveWindow(), 15000);
            QProcess::execute(QStringLiteral("xdotool"),
                              {QStringLiteral("key"), QStringLiteral("alt+F4")});
            QTRY_VERIFY2_WITH_TIMEOUT(!dialog, c.name, 15000);
        }
    }

    // The check button asks for the update window while the version dialog is still up, and
    // then the version dialog goes.
    void checkUpdateAsksForTheUpdateWindowThenCloses() {
        QPointer<ui::VersionWindow> versionWindow = ui::openVersionWindow(*owner_);
        QVERIFY(QTest::qWaitForWindowExposed(versionWindow));
        bool upWhenAsked = false;
        connect(versionWindow, &ui::VersionWindow::updateCheckRequested,
                [&] { upWhenAsked = versionWindow && versionWindow->isVisible(); });
        QSignalSpy asked(versionWindow.data(), &ui::VersionWindow::updateCheckRequested);
        QTest::mouseClick(button(*versionWindow, QStringLiteral("确定图形按钮")), Qt::LeftButton);
        QCOMPARE(asked.count(), 1);
        QVERIFY(upWhenAsked);
        QTRY_VERIFY(!versionWindow);
        QVERIFY(!QApplication::activeModalWidget());
    }

    // Confirming the quit dialog ends the event loop, and the whole process with exit code 0, its
    // teardown run once.
    void quitOkEndsTheProgram() {
        QTemporaryDir dir;
        const QString marker = dir.filePath(QStringLiteral("ended"));
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(childMarkerVariable), marker);
        child.setProcessEnvironment(environment);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("confirmQuit")});
        QVERIFY(child.waitForFinished(60000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QFile ended(marker);
        QVERIFY(ended.open(QIODevice::ReadOnly));
        QCOMPARE(ended.readAll(), QByteArray("teardown\n"));
    }

    // Runs only in the child process of quitOkEndsTheProgram.
    void confirmQuit() {
        const QString marker = qEnvironmentVariable(childMarkerVariable);
        if (marker.isEmpty()) QSKIP("runs in the child process of quitOkEndsTheProgram");
        const auto note = [marker](const char* line) {
            QFile file(marker);
            if (file.open(QIODevice::Append)) file.write(line);
        };

        auto* owner = new SkinWindow(ownerDesign());
        owner->showModeless();
        SkinWindow* dialog = ui::openQuitConfirmWindow(*owner);
        QTimer::singleShot(500, dialog, [dialog] {
            QTest::mouseClick(button(*dialog, QStringLiteral("图形按钮确定")), Qt::LeftButton);
        });
        QCOMPARE(ui::program::run(), 0);
        note("teardown\n");
    }
};

SORVO_GUI_TEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
