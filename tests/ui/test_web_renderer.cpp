#include "platform/platform.h"
#include "support/page_server.h"
#include "ui/framework/web_browser.h"
#include "ui/framework/web_engine/web_renderer.h"

#include <QApplication>
#include <QQuickWindow>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using namespace sorvo;
using namespace sorvo::ui;

class WebRendererTest : public QObject {
    Q_OBJECT
  private slots:
    void onlyRasterizersThatRunOnTheCpuCountAsSoftware() {
        for (const char* software :
             {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Software Rasterizer",
              "SwiftShader Device (Subzero)", "GDI Generic", "Microsoft Basic Render Driver"})
            QVERIFY2(isSoftwareRasterizer(software), software);
        // Hardware drivers may name the LLVM they compile shaders with.
        for (const char* hardware :
             {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)",
              "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "NVIDIA GeForce GTX 1650/PCIe/SSE2", ""})
            QVERIFY2(!isSoftwareRasterizer(hardware), hardware);
    }

    // The test desktop's only OpenGL is Mesa's llvmpipe.
    void softwareOpenGlLeadsToTheSoftwareSceneGraphAndPagesStillShow() {
        PageServer server;
        QWidget window;
        window.setGeometry(100, 100, 300, 200);
        auto* browser = new WebBrowser(&window);
        browser->setGeometry(0, 0, 300, 200);
        window.show();
        QSignalSpy loaded(browser, &WebBrowser::loadFinished);
        browser->openAddress(QUrl(QStringLiteral("http://%1/page").arg(server.host())));
        QVERIFY(loaded.wait(30000));
        QCOMPARE(loaded.first().first().toBool(), true);
        QCOMPARE(QQuickWindow::sceneGraphBackend(), QStringLiteral("software"));
        QCOMPARE(browser->title(), QStringLiteral("/page"));
        QTRY_COMPARE_WITH_TIMEOUT(
            window.screen()->grabWindow(window.winId()).toImage().pixel(150, 100),
            qRgb(0x20, 0x20, 0x24), 10000); // the test page's background
    }
};

int main(int argc, char* argv[]) {
    platform::prepareWebEngine();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    WebRendererTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_web_renderer.moc"
