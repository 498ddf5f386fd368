// The skin's own widgets on a screen at 200 %: they show the @2x pictures pixel for pixel, the
// icons and cursors carry them, and a picture button still clicks.
#include "resources/pictures.h"
#include "resources/window_design.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/picture_box.h"
#include "ui/framework/picture_loader.h"
#include "ui/framework/program.h"
#include "ui/framework/skin_label.h"
#include "ui/framework/skin_menu.h"

#include <QApplication>
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
        QCOMPARE(menuIcon, imageListEntry(loadImage(sorvo::design::trayMenuScheme().iconList, 2), 2)
                               .convertToFormat(QImage::Format_ARGB32));
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
