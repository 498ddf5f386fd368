#include "platform/platform.h"
#include "resources/pictures.h"
#include "resources/window_design.h"
#include "support/gui_test_main.h"
#include "support/modal_dialog.h"
#include "ui/dialogs.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/picture_loader.h"
#include "ui/framework/program.h"
#include "ui/framework/skin_window.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

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

// A real click through the X server, so that modality applies as it does to the user's.
void clickOnScreen(QPoint global) {
    QProcess::execute(QStringLiteral("xdotool"),
                      {QStringLiteral("mousemove"), QString::number(global.x()),
                       QString::number(global.y()), QStringLiteral("click"), QStringLiteral("1")});
}

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
    std::function<void(SkinWindow&)> open;
    QSize size;
    QString closingButton;
    bool followsResize;
};

std::vector<DialogCase> dialogCases() {
    return {
        {"QuitConfirmWindow",
         [](SkinWindow& o) { ui::openQuitConfirmWindow(o); },
         {325, 245},
         QStringLiteral("图形按钮1"),
         true},
        {"AboutWindow",
         [](SkinWindow& o) { ui::openAboutWindow(o); },
         {325, 245},
         QStringLiteral("图形按钮关闭"),
         false},
        {"VersionWindow",
         [](SkinWindow& o) { ui::openVersionWindow(o, {}); },
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
        SkinWindow::load(owner_, false);
        QVERIFY(QTest::qWaitForWindowExposed(owner_));
    }

    void init() {
        if (owner_) QCursor::setPos(owner_->mapToGlobal(QPoint(5, 5)));
    }

    // While a dialog is open its owner takes no input; the dialog's own button closes it, the
    // opening call returns, and the owner takes input again.
    void dialogsAreModalAndCloseWithTheirButton() {
        for (const DialogCase& c : dialogCases()) {
            QPointer<SkinWindow> seen;
            QString name;
            QSize size;
            int pressesWhileOpen = -1;
            whenModalDialogUp([&](SkinWindow& dialog) {
                seen = &dialog;
                name = dialog.objectName();
                size = dialog.size();
                ownerPresses_.presses = 0;
                clickOnScreen(owner_->mapToGlobal(QPoint(20, 20)));
                QTest::qWait(300);
                pressesWhileOpen = ownerPresses_.presses;
                QTest::mouseClick(button(dialog, c.closingButton), Qt::LeftButton);
            });
            c.open(*owner_);

            QCOMPARE(name, QString::fromLatin1(c.name));
            QCOMPARE(size, c.size);
            QCOMPARE(pressesWhileOpen, 0);
            QTRY_VERIFY(!seen);
            QVERIFY(owner_->isVisible());
            ownerPresses_.presses = 0;
            clickOnScreen(owner_->mapToGlobal(QPoint(20, 20)));
            QTRY_COMPARE(ownerPresses_.presses, 1);
        }
    }

    // Every dialog is clipped to its own size with 11 × 11 corners; the quit and version
    // dialogs follow a size change, the about dialog keeps the outline it was created with.
    void dialogsAreRoundedAtTheirSize() {
        for (const DialogCase& c : dialogCases()) {
            QRegion shape;
            QRegion afterResize;
            whenModalDialogUp([&](SkinWindow& dialog) {
                shape = dialog.mask();
                dialog.setFixedSize(c.size + QSize(30, 20));
                QApplication::processEvents();
                afterResize = dialog.mask();
                dialog.destroyWindow();
            });
            c.open(*owner_);

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
            QImage before, over, after, cursor;
            QSize size;
            whenModalDialogUp([&](SkinWindow& dialog) {
                GraphicButton* target = button(dialog, b.formName);
                size = target->size();
                // The pictures alone, without the keyboard's focus frame.
                target->clearFocus();
                cursor = cursorImage(target->cursor());
                before = shown(*target);
                QCursor::setPos(target->mapToGlobal(QPoint(size.width() / 2, size.height() / 2)));
                QTRY_VERIFY(target->underMouse());
                over = shown(*target);
                QCursor::setPos(dialog.mapToGlobal(QPoint(dialog.width() / 2, 60)));
                QTRY_VERIFY(!target->underMouse());
                after = shown(*target);
                dialog.destroyWindow();
            });
            cases[static_cast<std::size_t>(b.dialog)].open(*owner_);

            QCOMPARE(cursor, cursorImage(ui::loadCursor(b.cursor)));
            QCOMPARE(before, picture(b.role + QStringLiteral("Normal"), size));
            QCOMPARE(over, picture(b.role + QStringLiteral("Highlighted"), size));
            QCOMPARE(after, before);
        }
    }

    // A second opening is a new window from the same design: nothing of the first survives,
    // not even the highlight its pointer left on a button.
    void reopeningShowsAFreshDialog() {
        QPointer<SkinWindow> first;
        QRect firstGeometry;
        whenModalDialogUp([&](SkinWindow& dialog) {
            first = &dialog;
            firstGeometry = dialog.geometry();
            GraphicButton* ok = button(dialog, QStringLiteral("图形按钮确定"));
            QCursor::setPos(ok->mapToGlobal(QPoint(10, 10)));
            QTRY_VERIFY(ok->showsHighlighted());
            QCursor::setPos(owner_->mapToGlobal(QPoint(5, 5)));
            dialog.destroyWindow();
        });
        ui::openQuitConfirmWindow(*owner_);
        QTRY_VERIFY(!first);

        bool highlighted = true;
        QRect secondGeometry;
        whenModalDialogUp([&](SkinWindow& dialog) {
            secondGeometry = dialog.geometry();
            highlighted = button(dialog, QStringLiteral("图形按钮确定"))->showsHighlighted();
            dialog.destroyWindow();
        });
        ui::openQuitConfirmWindow(*owner_);
        QCOMPARE(secondGeometry, firstGeometry);
        QVERIFY(!highlighted);
    }

    // The window manager's close command (Alt+F4) closes a dialog; none refuses.
    void systemCloseEndsADialog() {
        for (const DialogCase& c : dialogCases()) {
            bool opened = false;
            bool closedBySystem = true;
            whenModalDialogUp([&](SkinWindow& dialog) {
                opened = true;
                // Takes the dialog away should the close command not arrive.
                QTimer::singleShot(5000, &dialog, [&] {
                    closedBySystem = false;
                    dialog.destroyWindow();
                });
                dialog.activateWindow();
                QTRY_VERIFY(dialog.isActiveWindow());
                QProcess::execute(QStringLiteral("xdotool"),
                                  {QStringLiteral("key"), QStringLiteral("alt+F4")});
            });
            c.open(*owner_);
            QVERIFY2(opened, c.name);
            QVERIFY2(closedBySystem, c.name);
        }
    }

    // The check button opens the update window while the version dialog is still up, and then
    // the version dialog goes; the update window stays. Without an opener the dialog just goes.
    void checkUpdateOpensTheUpdateWindowThenCloses() {
        QWidget updateWindow;
        int opened = 0;
        bool versionWindowUpWhenOpened = false;
        QPointer<SkinWindow> versionWindow;
        whenModalDialogUp([&](SkinWindow& dialog) {
            versionWindow = &dialog;
            QTest::mouseClick(button(dialog, QStringLiteral("确定图形按钮")), Qt::LeftButton);
        });
        ui::openVersionWindow(*owner_, [&] {
            ++opened;
            versionWindowUpWhenOpened = versionWindow && versionWindow->isVisible();
            updateWindow.show();
        });
        QCOMPARE(opened, 1);
        QVERIFY(versionWindowUpWhenOpened);
        QVERIFY(updateWindow.isVisible());
        QTRY_VERIFY(!versionWindow);
        QVERIFY(!QApplication::activeModalWidget());

        whenModalDialogUp([&](SkinWindow& dialog) {
            versionWindow = &dialog;
            QTest::mouseClick(button(dialog, QStringLiteral("确定图形按钮")), Qt::LeftButton);
        });
        ui::openVersionWindow(*owner_, {});
        QTRY_VERIFY(!versionWindow);
    }

    // Confirming the quit dialog ends the whole process with exit code 0, its end routine run
    // once, even while a transfer thread is still busy; nothing after the click runs.
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
        QCOMPARE(ended.readAll(), QByteArray("end routine\n"));
    }

    // Runs only in the child process of quitOkEndsTheProgram.
    void confirmQuit() {
        const QString marker = qEnvironmentVariable(childMarkerVariable);
        if (marker.isEmpty()) QSKIP("runs in the child process of quitOkEndsTheProgram");
        const auto note = [marker](const char* line) {
            QFile file(marker);
            if (file.open(QIODevice::Append)) file.write(line);
        };
        ui::program::setEndRoutine([note] { note("end routine\n"); });

        // A worker that would block a normal exit until it is told to stop.
        static std::mutex mutex;
        static std::condition_variable never;
        std::thread([] {
            std::unique_lock lock(mutex);
            never.wait(lock, [] { return false; });
        }).detach();

        auto* owner = new SkinWindow(ownerDesign());
        SkinWindow::load(owner, false);
        whenModalDialogUp([](SkinWindow& dialog) {
            QTest::mouseClick(button(dialog, QStringLiteral("图形按钮确定")), Qt::LeftButton);
        });
        ui::openQuitConfirmWindow(*owner);
        note("returned\n");
        QFAIL("the quit dialog returned after its OK button");
    }
};

SORVO_GUI_TEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
