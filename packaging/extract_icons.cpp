// Writes the images of an ICO file as hicolor theme icons:
//   sorvo-extract-icons ICON.ico OUT_DIR NAME SIZE...
// puts OUT_DIR/<SIZE>x<SIZE>/apps/NAME.png for each SIZE and fails when the icon lacks one.
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QMap>
#include <cstdio>

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "sorvo-extract-icons: %s\n", qPrintable(message));
    return 1;
}

// Each square image of the icon by its size; the first one wins where sizes repeat.
QMap<int, QImage> squareImages(const QString& path) {
    QImageReader reader(path, "ico");
    QMap<int, QImage> images;
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (!reader.jumpToImage(i)) break;
        const QImage image = reader.read();
        if (!image.isNull() && image.width() == image.height() && !images.contains(image.width()))
            images.insert(image.width(), image.convertToFormat(QImage::Format_ARGB32));
    }
    return images;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 5) return fail(QStringLiteral("usage: ICON.ico OUT_DIR NAME SIZE..."));

    const QMap<int, QImage> images = squareImages(arguments[1]);
    if (images.isEmpty()) return fail(arguments[1] + QStringLiteral(" holds no images"));
    const QDir out(arguments[2]);
    for (const QString& sizeText : arguments.mid(4)) {
        const int size = sizeText.toInt();
        if (!images.contains(size))
            return fail(QStringLiteral("%1 has no %2 x %2 image").arg(arguments[1]).arg(size));
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QString file = out.filePath(folder + QLatin1Char('/') + arguments[3] + ".png");
        if (!out.mkpath(folder) || !images[size].save(file, "PNG"))
            return fail(QStringLiteral("cannot write ") + file);
    }
    return 0;
}
