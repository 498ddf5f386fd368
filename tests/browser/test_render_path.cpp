#include "browser/render_path.h"

#include <QTest>

using namespace sorvo::browser;

class RenderPathTest : public QObject {
    Q_OBJECT
  private slots:
    // Hardware drivers may name the LLVM they compile shaders with; only rasterizers that run
    // on the CPU count as software.
    void onlyRasterizersThatRunOnTheCpuCountAsSoftware() {
        for (const char* software :
             {"llvmpipe (LLVM 15.0.6, 256 bits)", "softpipe", "Software Rasterizer",
              "SwiftShader Device (Subzero)", "GDI Generic", "Microsoft Basic Render Driver"})
            QVERIFY2(isSoftwareRasterizer(software), software);
        for (const char* hardware :
             {"AMD Radeon RX 6600 (navi23, LLVM 15.0.6, DRM 3.49)",
              "Mesa Intel(R) UHD Graphics 620 (KBL GT2)", "NVIDIA GeForce GTX 1650/PCIe/SSE2", ""})
            QVERIFY2(!isSoftwareRasterizer(hardware), hardware);
    }
};

QTEST_GUILESS_MAIN(RenderPathTest)

#include "test_render_path.moc"
