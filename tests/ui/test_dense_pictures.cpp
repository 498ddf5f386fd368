// The skin's own widgets on a screen at 200 %: they show the @2x pictures pixel for pixel, the
// icons and cursors carry them, and a picture button still clicks.
#include "resources/pictures.h"
#include "resources/window_design.h"
#include "support/same_picture.h"
#include "ui/framework/canvas.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/picture_box.h"
#include "ui/framework/picture_loader.h"
#include "ui/framework/program.h"
#include "ui/framework/skin_label.h"
#include "ui/framework/skin_menu.h"
#include "ui/framework/skin_window.h"
#include "ui/title_strip.h"

#include <QApplication>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using namespace sorvo::ui;

namespace {
QImage shown(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}
QImage twin(const QString& name, QSize size) {
    return QImage(sorvo::pictures::path(name + QStringLiteral("@2x")))
        .copy(QRect(QPoint(), size))
        .convertToFormat(QImage::Format_RGB32);
}
} // namespace

class DensePicturesTest : public QObject {
    Q_OBJECT
  private slots:
    void widgetsShowTheTwins() {
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        QWidget window;
        window.resize(300, 200);
        auto* button = new GraphicButton(&window, QStringLiteral("QuitOkButtonNormal"),
                                         QStringLiteral("QuitOkButtonHighlighted"));
        button->setGeometry(10, 10, 72, 31);
        auto* box = new PictureBox(&window, QStringLiteral("AboutCloseButtonNormal"));
        box->setGeometry(100, 10, 54, 54);
        auto* label = new SkinLabel(&window, QStringLiteral("标签进度Background"));
        label->setGeometry(10, 100, 96, 20);
        int clicks = 0;
        connect(button, &QAbstractButton::clicked, [&] { ++clicks; });
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QCOMPARE(shown(*button), twin(QStringLiteral("QuitOkButtonNormal"), {144, 62}));
        QCOMPARE(shown(*box), twin(QStringLiteral("AboutCloseButtonNormal"), {108, 108}));
        QCOMPARE(shown(*label), twin(QStringLiteral("标签进度Background"), {192, 40}));
        QTest::mouseMove(button, {30, 15});
        QTRY_VERIFY_WITH_TIMEOUT(button->showsHighlighted(), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(
            shown(*button), twin(QStringLiteral("QuitOkButtonHighlighted"), {144, 62}), 10000);
        QTest::mouseClick(button, Qt::LeftButton, {}, {30, 15});
        QCOMPARE(clicks, 1);

        const QCursor cursor = loadCursor(QStringLiteral("CloseCursor"));
        QCOMPARE(cursor.pixmap().size(), QSize(64, 64));
        QCOMPARE(cursor.pixmap().devicePixelRatio(), 2.0);
        QCOMPARE(cursor.hotSpot(), QPoint(0, 0));
        const QPixmap icon = loadIcon(QStringLiteral("ProgramIcon")).pixmap(32, 32);
        QCOMPARE(icon.size(), QSize(64, 64));
        SkinMenu menu(QString(), sorvo::design::trayMenuScheme(), nullptr);
        const QImage menuIcon = menu.addCommand(QStringLiteral("x"), 2, &menu, [] {})
                                    ->icon()
                                    .pixmap(16, 16)
                                    .toImage()
                                    .convertToFormat(QImage::Format_ARGB32);
        QVERIFY(samePicture(
            menuIcon, imageListEntry(loadImage(sorvo::design::trayMenuScheme().iconList, 2), 2)));
    }

    void windowsAndTheStripShowTheTwins() {
        SkinWindow main(sorvo::design::mainWindow());
        auto* canvas = main.control<Canvas>(QStringLiteral("画板"));
        composeTitleStrip(*canvas);
        new TitleStrip(*canvas, main);
        QImage strip = shown(*canvas);
        // The close glyph's twin lies on the strip pixel for pixel, magenta let through.
        const QImage glyph = twin(QStringLiteral("CloseGlyph"), {80, 40});
        for (int x = 0; x < 80; ++x)
            for (int y = 0; y < 40; ++y)
                QVERIFY(glyph.pixel(x, y) == qRgb(255, 0, 255) ||
                        strip.pixel(1830 + x, y) == glyph.pixel(x, y));
        // The strip lies partly off the test screen at 200 %: the pointer is sent to it.
        for (const QPoint p : {QPoint(900, 10), QPoint(930, 10)}) {
            QMouseEvent move(QEvent::MouseMove, p, canvas->mapToGlobal(p), Qt::NoButton, {}, {});
            QApplication::sendEvent(canvas, &move);
        }
        QPainter hovered(&strip); // logical, with the shot's device pixel ratio of 2
        hovered.setCompositionMode(QPainter::CompositionMode_Plus);
        hovered.fillRect(QRect(891, 1, 24, 18), QColor(50, 50, 50));
        hovered.fillRect(QRect(916, 1, 38, 18), QColor(75, 0, 0));
        hovered.end();
        QCOMPARE(shown(*canvas), strip);
        for (const auto* design :
             {&sorvo::design::quitConfirmWindow(), &sorvo::design::updateWindow()}) {
            SkinWindow window(*design);
            window.showModeless();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            const QImage shot = shown(window);
            const QImage backdrop = twin(design->backgroundPicture, window.size() * 2);
            for (int x = 0; x < shot.width(); ++x)
                for (int y = 0; y < shot.height(); ++y)
                    QVERIFY(window.childAt(x / 2, y / 2) ||
                            shot.pixel(x, y) == backdrop.pixel(x, y));
            for (auto* button : window.findChildren<GraphicButton*>()) {
                QSignalSpy clicks(button, &QAbstractButton::clicked);
                QTest::mouseClick(button, Qt::LeftButton);
                QCOMPARE(clicks.count(), 1);
            }
        }
    }
};

int main(int argc, char* argv[]) {
    qputenv("QT_SCALE_FACTOR", "2");
    program::prepareProcess();
    QApplication application(argc, argv);
    program::configureApplication();
    DensePicturesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_dense_pictures.moc"
