#include "ui/framework/web_engine/web_renderer.h"

#include <QByteArray>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>

namespace sorvo::ui {

namespace {

// The renderer behind the context the browser engine shares, which the application created at
// start-up; empty when there is no OpenGL at all.
QByteArray sharedContextRenderer() {
    QOpenGLContext* shared = QOpenGLContext::globalShareContext();
    if (shared == nullptr) return {};
    QOffscreenSurface surface;
    surface.setFormat(shared->format());
    surface.create();
    if (!shared->makeCurrent(&surface)) return {};
    const auto* name = reinterpret_cast<const char*>(shared->functions()->glGetString(GL_RENDERER));
    QByteArray renderer(name != nullptr ? name : "");
    shared->doneCurrent();
    return renderer;
}

} // namespace

bool isSoftwareRasterizer(const char* renderer) {
    const QByteArray name = QByteArray(renderer).toLower();
    for (const char* software : {"llvmpipe", "softpipe", "software rasterizer", "swiftshader",
                                 "gdi generic", "microsoft basic render"})
        if (name.contains(software)) return true;
    return false;
}

void chooseWebRenderer() {
    if (!qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) return;
    if (isSoftwareRasterizer(sharedContextRenderer().constData()))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

} // namespace sorvo::ui
