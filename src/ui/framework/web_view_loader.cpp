#include "ui/framework/web_view_loader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibrary>
#include <cstdio>

namespace sorvo::ui {

namespace {

// Installed, the module lies beside the program's other files under the library folder; in a
// build tree, where the build put it.
QStringList moduleCandidates() {
    return {QDir(QCoreApplication::applicationDirPath())
                .filePath(QStringLiteral(SORVO_WEB_VIEW_MODULE_FROM_PROGRAM)),
            QStringLiteral(SORVO_WEB_VIEW_MODULE_BUILT)};
}

CreateWebView loadFactory() {
    QString reasons;
    for (const QString& path : moduleCandidates()) {
        if (!QFile::exists(path)) {
            reasons += path + QStringLiteral(": not found\n");
            continue;
        }
        QLibrary module(path);
        if (auto create = reinterpret_cast<CreateWebView>(module.resolve("sorvoCreateWebView")))
            return create;
        reasons += module.errorString() + QLatin1Char('\n');
    }
    std::fprintf(stderr, "The browser engine module could not be loaded; pages stay blank.\n%s",
                 qPrintable(reasons));
    return nullptr;
}

} // namespace

CreateWebView webViewFactory() {
    static const CreateWebView factory = loadFactory();
    return factory;
}

} // namespace sorvo::ui
