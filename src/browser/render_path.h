#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QCoreApplication>

namespace sorvo::browser {

// How the browser's view reaches the screen is decided here and nowhere else.
//
// With a hardware OpenGL, the browser engine composites its pages on the GPU and Qt Quick draws
// them into the window through OpenGL. Where the only OpenGL is a rasterizer running on the CPU
// (virtual machines, remote desktops, machines without a working driver), that path costs a core
// while the radio page plays: every frame runs through two software GL pipelines, the engine's
// and Qt's, and the whole window is composed again through OpenGL. There the view is drawn with
// Qt Quick's software renderer instead, and the engine composites in software as a stand-alone
// browser does on such a machine.
//
// The figures that decided it, the radio page playing on two cores with llvmpipe (bench-playing):
// through OpenGL the client took 100-120 % of a core, two thirds of it in llvmpipe's threads,
// where a stand-alone browser showing the page took 30-35 %; with the software renderer 40-45 %,
// and its memory went from 0.66 to about 0.5 of the browser's. Dialogs over the main window show
// on both paths. Measured again with the software renderer at 32-38 %: Qt Quick through OpenGL
// took 74 %, and 92 % with the engine also compositing through llvmpipe. What the software path
// still pays over the browser is the engine drawing a turning layer, which this engine build
// does one pixel at a time; no path here avoids that.

// Before the application object exists: the engine's OpenGL path draws with a context shared
// with the application's.
inline void prepareRenderPath() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

// In the engine's module, before each view: picks the software renderer unless the
// application's OpenGL is hardware, the first time only. A QT_QUICK_BACKEND given in the
// environment stands.
void chooseRenderPath();

// The renderer behind the OpenGL context the application made for the engine to share, once the
// application exists; empty when there is no OpenGL at all.
QByteArray sharedOpenGlRenderer();

// Whether an OpenGL renderer string names a rasterizer that runs on the CPU.
bool isSoftwareRasterizer(QByteArrayView renderer);

} // namespace sorvo::browser
