#include "browser/render_path.h"

#include "browser/garbage_collection.h"

#include <QByteArray>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>
#include <mutex>

namespace sorvo::browser {

QByteArray sharedOpenGlRenderer() {
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

bool isSoftwareRasterizer(QByteArrayView renderer) {
    const QByteArray name = renderer.toByteArray().toLower();
    for (const char* software : {"llvmpipe", "softpipe", "software rasterizer", "swiftshader",
                                 "gdi generic", "microsoft basic render"})
        if (name.contains(software)) return true;
    return false;
}

void chooseRenderPath() {
    static std::once_flag chosen;
    std::call_once(chosen, [] {
        if (!qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) return;
        const QByteArray renderer = sharedOpenGlRenderer();
        if (renderer.isEmpty() || isSoftwareRasterizer(renderer)) {
            QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
            collectEachPageOnceSettled();
        }
    });
}

} // namespace sorvo::browser
