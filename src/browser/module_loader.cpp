#include "browser/module_loader.h"

#include "browser/browser_module.h"
#include "config/log_categories.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPluginLoader>

namespace sorvo::browser {

namespace {

QStringList moduleCandidates() {
    const QDir program(QCoreApplication::applicationDirPath());
    return {program.filePath(QStringLiteral(SORVO_BROWSER_MODULE_FROM_PROGRAM)),
            program.filePath(QStringLiteral(SORVO_BROWSER_MODULE_NAME))};
}

BrowserModule* loadModule() {
    QString reasons;
    for (const QString& path : moduleCandidates()) {
        if (!QFile::exists(path)) {
            reasons += path + QStringLiteral(": not found\n");
            continue;
        }
        QPluginLoader loader(path);
        if (auto* module = qobject_cast<BrowserModule*>(loader.instance())) return module;
        reasons +=
            path + QStringLiteral(": ") +
            (loader.isLoaded() ? QStringLiteral("not a browser module") : loader.errorString()) +
            QLatin1Char('\n');
    }
    qCWarning(browserLog, "The browser engine module could not be loaded; pages stay blank.\n%s",
              qPrintable(reasons.trimmed()));
    return nullptr;
}

} // namespace

BrowserModule* browserModule() {
    static BrowserModule* const module = loadModule();
    return module;
}

} // namespace sorvo::browser
