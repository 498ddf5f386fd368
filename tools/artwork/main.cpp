// sorvo-artwork: draws every picture, icon and cursor of the client's skin and writes them as
// the committed files of src/resources/pictures/, so building the client needs no image tools.
// Each picture comes twice: as drawn for ordinary screens, and drawn again at twice the density
// beside it ("Name@2x.ext") for screens scaled above 100 %.
//
// Rerun it after changing the artwork, from the project root:
//   cmake --build build --target sorvo-artwork && build/tools/artwork/sorvo-artwork
//   src/resources/pictures
// To look at the result, add a contact sheet (not to be committed):
//   build/tools/artwork/sorvo-artwork src/resources/pictures --contact-sheet /tmp/sheet.png
// (long sheets go on in /tmp/sheet-2.png, /tmp/sheet-3.png, ...; the @2x pictures are in
// /tmp/sheet@2x.png, /tmp/sheet@2x-2.png, ...).
//
// The output is deterministic: the same sources, Qt and fonts give the same bytes.
#include "catalogue.h"
#include "contact_sheet.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char** argv) {
    // Drawing text needs the font database, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList arguments = app.arguments().mid(1);
    QString outputDir;
    QString sheetPath;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--contact-sheet") && i + 1 < arguments.size())
            sheetPath = arguments[++i];
        else if (outputDir.isEmpty() && !arguments[i].startsWith(QLatin1Char('-')))
            outputDir = arguments[i];
        else {
            outputDir.clear();
            break;
        }
    }
    if (outputDir.isEmpty()) {
        std::fprintf(stderr, "usage: sorvo-artwork OUTPUT_DIR [--contact-sheet SHEET.png]\n");
        return 2;
    }

    const QDir dir(outputDir);
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(outputDir));
        return 1;
    }
    constexpr int scales[] = {1, 2};
    for (const int scale : scales) {
        for (const artwork::PictureFile& file : artwork::drawCatalogue(scale)) {
            QFile out(dir.filePath(file.fileName));
            if (!out.open(QIODevice::WriteOnly) || out.write(file.bytes) != file.bytes.size()) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(out.fileName()));
                return 1;
            }
            std::printf("%-32s %8lld bytes\n", qPrintable(file.fileName),
                        static_cast<long long>(file.bytes.size()));
        }
    }
    if (sheetPath.isEmpty()) return 0;
    const auto insertBeforeDot = [](QString path, const QString& text) {
        const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
        return path.insert(dot < 0 ? path.size() : dot, text);
    };
    for (const int scale : scales) {
        // Pages after the first go beside it: sheet.png, sheet-2.png, ...
        const QString scaledSheet =
            scale == 1 ? sheetPath : insertBeforeDot(sheetPath, QStringLiteral("@%1x").arg(scale));
        const std::vector<QImage> pages = artwork::contactSheet(dir, scale);
        for (std::size_t i = 0; i < pages.size(); ++i) {
            const QString pagePath =
                i == 0 ? scaledSheet
                       : insertBeforeDot(scaledSheet, QStringLiteral("-%1").arg(i + 1));
            if (!pages[i].save(pagePath)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(pagePath));
                return 1;
            }
        }
    }
    return 0;
}
