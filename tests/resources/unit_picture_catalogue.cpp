// Decodes the pictures as they are compiled into the client and checks what the windows rely
// on: formats, sizes and bytes, the @2x twins drawn at twice the density, the title strip glyphs
// pixel for pixel, label backgrounds that match
// the update backdrop, the splash animation's frames, the icons' sizes, the menu image lists
// and the cursors' hot spots.
#include "file_structure.h"
#include "resources/icon_file.h"
#include "resources/pictures.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImageReader>
#include <QList>
#include <QTest>
#include <algorithm>

using namespace file_structure;
using namespace sorvo::icon_file;

namespace {

QImage decode(const QString& name, int index = 0) {
    QByteArray bytes = sorvo::pictures::bytes(name);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (index > 0 && !reader.jumpToImage(index)) return {};
    return reader.read();
}

// Every frame or icon entry of a compiled picture.
std::vector<QImage> decodeAll(const QString& name) {
    QByteArray bytes = sorvo::pictures::bytes(name);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    std::vector<QImage> images;
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (i > 0) reader.jumpToImage(i);
        images.push_back(reader.read());
    }
    return images;
}

// The 1x picture doubled pixel for pixel shows only uniform 2 x 2 blocks; one drawn at twice the
// density does not.
bool onlyUniformBlocks(const QImage& image) {
    for (int y = 0; y + 1 < image.height(); y += 2)
        for (int x = 0; x + 1 < image.width(); x += 2)
            if (image.pixel(x, y) != image.pixel(x + 1, y) ||
                image.pixel(x, y) != image.pixel(x, y + 1) ||
                image.pixel(x, y) != image.pixel(x + 1, y + 1))
                return false;
    return true;
}

QImage rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// The label backgrounds of the update window, where the labels lie on its backdrop.
struct Label {
    const char* picture;
    QRect rect;
};
const Label labels[] = {
    {"标签进度Background", {17, 128, 96, 20}},
    {"标签大小Background", {197, 128, 144, 20}},
    {"标签时间Background", {15, 152, 96, 20}},
    {"标签速度Background", {234, 152, 112, 20}},
};

constexpr QRgb frameGrey = qRgb(192, 192, 192);
constexpr QRgb white = qRgb(255, 255, 255);
constexpr QRgb magenta = qRgb(255, 0, 255);

// What a title strip glyph must hold at each pixel: the frame around the edge except the cut
// corner pixels, the white symbol, magenta elsewhere.
QRgb expectedGlyphPixel(QSize size, int x, int y, const QList<QPoint>& cut,
                        bool (*symbol)(int, int)) {
    if (std::find(cut.begin(), cut.end(), QPoint(x, y)) != cut.end()) return magenta;
    if (x == 0 || y == 0 || x == size.width() - 1 || y == size.height() - 1) return frameGrey;
    return symbol(x, y) ? white : magenta;
}

bool minimiseBar(int x, int y) {
    return x >= 10 && x <= 18 && y >= 10 && y <= 11;
}
bool closeCross(int x, int y) {
    const int i = y - 5;
    return i >= 0 && i <= 8 && (x == 15 + i || x == 23 - i);
}

} // namespace

class PictureCatalogueTest : public QObject {
    Q_OBJECT

  private slots:
    void everyPictureHasItsFormatAndSize_data();
    void everyPictureHasItsFormatAndSize();
    void glyphsArePixelExact_data();
    void glyphsArePixelExact();
    void gifPicturesAreSingleFramesExceptTheSplash();
    void labelBackgroundsMatchTheBackdropBeneath();
    void splashAnimationLoopsTwoFrames();
    void iconsHoldSixSizesAndDiffer();
    void menuImageListsShareTheirImages();
    void cursorsPointFromTheirTopLeft_data();
    void cursorsPointFromTheirTopLeft();
};

void PictureCatalogueTest::everyPictureHasItsFormatAndSize_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("magic");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QByteArray>("sha1");
    const QByteArray jpeg("\xff\xd8\xff", 3);
    const QByteArray gif("GIF89a");
    const QByteArray ico("\0\0\1\0", 4);
    const QByteArray cur("\0\0\2\0", 4);
    const QByteArray png("\x89PNG\r\n\x1a\n", 8);
    const struct {
        const char* name;
        QByteArray magic;
        QSize size;
        const char* sha1; // the contract: the 1x files never change
    } catalogue[] = {
        {"ProgramIcon", ico, {72, 72}, "6b96fdf1f7f8"},
        {"UpdateIcon", ico, {72, 72}, "26fc0b6f7953"},
        {"QuitConfirmBackdrop", jpeg, {325, 245}, "a81b4c3c8daf"},
        {"AboutBackdrop", jpeg, {325, 245}, "9dcbc11c0b63"},
        {"VersionBackdrop", jpeg, {520, 320}, "fff816bbb65c"},
        {"UpdateBackdrop", gif, {520, 320}, "0b4207cbeec1"},
        {"SplashAnimation", gif, {770, 330}, "14353ef025a7"},
        {"BandImage", jpeg, {960, 20}, "0a4352600fd0"},
        {"StripTile", jpeg, {7, 22}, "cb212b6078ef"},
        {"MinimiseGlyph", "BM", {27, 20}, "aa9653c6a747"},
        {"CloseGlyph", "BM", {40, 20}, "865c05c744a4"},
        {"QuitOkButtonNormal", jpeg, {72, 32}, "f900b64a7651"},
        {"QuitOkButtonHighlighted", jpeg, {72, 31}, "153798ee77e7"},
        {"QuitCancelButtonNormal", jpeg, {72, 32}, "5636c2884ad3"},
        {"QuitCancelButtonHighlighted", jpeg, {72, 31}, "5de5e751354f"},
        {"AboutCloseButtonNormal", jpeg, {54, 54}, "12b4054a2e9b"},
        {"AboutCloseButtonHighlighted", jpeg, {54, 54}, "432a08d83157"},
        {"CheckUpdateButtonNormal", gif, {100, 55}, "e01f168c3cc7"},
        {"CheckUpdateButtonHighlighted", gif, {100, 55}, "254c1851a275"},
        {"CancelCheckButtonNormal", gif, {100, 55}, "43106a106d0a"},
        {"CancelCheckButtonHighlighted", gif, {100, 55}, "a9fb85da25e2"},
        {"UpdateStartButton", gif, {108, 38}, "f150a142239a"},
        {"UpdateCancelButton", gif, {76, 38}, "3282e9811e77"},
        {"标签进度Background", gif, {96, 20}, "2c660ad18053"},
        {"标签大小Background", gif, {144, 20}, "999658aa12d4"},
        {"标签时间Background", gif, {96, 20}, "e2d736ca8387"},
        {"标签速度Background", gif, {112, 20}, "556e20ba9394"},
        {"TrayMenuIcons", png, {64, 64}, "439b4af73b9f"},
        {"UpdateMenuIcons", png, {64, 64}, "39a6bf0e29b2"},
        {"SkinCursor", cur, {32, 32}, "461976e35dab"},
        {"CancelCursor", cur, {32, 32}, "1bfcbb280551"},
        {"CloseCursor", cur, {32, 32}, "c67876b76e73"},
    };
    for (const auto& entry : catalogue)
        QTest::newRow(entry.name) << QString::fromUtf8(entry.name) << entry.magic << entry.size
                                  << QByteArray(entry.sha1);
}

void PictureCatalogueTest::everyPictureHasItsFormatAndSize() {
    QFETCH(QString, name);
    QFETCH(QByteArray, magic);
    QFETCH(QSize, size);
    QFETCH(QByteArray, sha1);
    const QByteArray bytes = sorvo::pictures::bytes(name);
    QVERIFY2(!bytes.isEmpty(), qPrintable(name + QStringLiteral(" is not compiled in")));
    QVERIFY(bytes.startsWith(magic));
    QCOMPARE(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(12), sha1);
    const QImage image = decode(name);
    QVERIFY2(!image.isNull(), "does not decode");
    QCOMPARE(image.size(), size);

    // The twin: same format, as many frames or icon sizes, each twice as wide and high, and
    // drawn at that density rather than doubled.
    const QString twin = name + QStringLiteral("@2x");
    QVERIFY2(sorvo::pictures::bytes(twin).startsWith(magic), qPrintable(twin));
    const std::vector<QImage> frames = decodeAll(name);
    const std::vector<QImage> twinFrames = decodeAll(twin);
    QCOMPARE(twinFrames.size(), frames.size());
    for (std::size_t i = 0; i < frames.size(); ++i)
        QCOMPARE(twinFrames[i].size(), frames[i].size() * 2);
    QVERIFY2(!onlyUniformBlocks(twinFrames.front()), "the twin is the picture doubled");
    if (magic == "GIF89a") {
        QString error;
        const auto gif = readGif(bytes, &error);
        const auto twinGif = readGif(sorvo::pictures::bytes(twin), &error);
        QVERIFY2(gif && twinGif, qPrintable(error));
        QCOMPARE(twinGif->loopCount, gif->loopCount);
        for (std::size_t i = 0; i < gif->frames.size(); ++i) {
            const GifFrame& frame = gif->frames[i];
            const GifFrame& twinFrame = twinGif->frames[i];
            QCOMPARE(twinFrame.area, QRect(frame.area.topLeft() * 2, frame.area.size() * 2));
            QCOMPARE(twinFrame.delayHundredths, frame.delayHundredths);
        }
    }

    if (magic.startsWith("\xff\xd8")) {
        // Baseline: a JFIF header and a baseline frame, not a progressive one.
        const std::vector<int> markers = jpegMarkers(bytes);
        QVERIFY(std::find(markers.begin(), markers.end(), 0xe0) != markers.end());
        QVERIFY(std::find(markers.begin(), markers.end(), 0xc0) != markers.end());
        QVERIFY(std::find(markers.begin(), markers.end(), 0xc2) == markers.end());
        QCOMPARE(markers.back(), 0xda);
    }
}

void PictureCatalogueTest::glyphsArePixelExact_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("fileSize");
    QTest::addColumn<QList<QPoint>>("cutCorner");
    QTest::addColumn<bool>("isClose");
    QTest::newRow("MinimiseGlyph") << QStringLiteral("MinimiseGlyph") << 1734
                                   << QList<QPoint>{{0, 19}, {1, 19}, {0, 18}} << false;
    QTest::newRow("CloseGlyph") << QStringLiteral("CloseGlyph") << 2454
                                << QList<QPoint>{{38, 19}, {39, 19}} << true;
}

void PictureCatalogueTest::glyphsArePixelExact() {
    QFETCH(QString, name);
    QFETCH(int, fileSize);
    QFETCH(QList<QPoint>, cutCorner);
    QFETCH(bool, isClose);

    const QByteArray bytes = sorvo::pictures::bytes(name);
    const std::optional<BmpHeader> header = readBmpHeader(bytes);
    QVERIFY(header);
    QCOMPARE(header->bitCount, 24);
    QCOMPARE(header->compression, 0);
    QVERIFY2(header->height > 0, "rows stored bottom-up");
    QCOMPARE(bytes.size(), fileSize);
    QCOMPARE(header->fileSize, static_cast<quint32>(fileSize));

    const QImage image = rgb(decode(name));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb expected = expectedGlyphPixel(image.size(), x, y, cutCorner,
                                                     isClose ? closeCross : minimiseBar);
            if ((image.pixel(x, y) | 0xff000000u) != expected)
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is %3, expected %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(image.pixel(x, y) & 0xffffff, 6, 16, QLatin1Char('0'))
                                     .arg(expected & 0xffffff, 6, 16, QLatin1Char('0'))));
        }
    }
}

void PictureCatalogueTest::gifPicturesAreSingleFramesExceptTheSplash() {
    for (const char* name :
         {"UpdateBackdrop", "CheckUpdateButtonNormal", "CheckUpdateButtonHighlighted",
          "CancelCheckButtonNormal", "CancelCheckButtonHighlighted", "UpdateStartButton",
          "UpdateCancelButton", "标签进度Background", "标签大小Background", "标签时间Background",
          "标签速度Background"}) {
        QString error;
        const auto gif = readGif(sorvo::pictures::bytes(QString::fromUtf8(name)), &error);
        QVERIFY2(gif, qPrintable(QString::fromUtf8(name) + QStringLiteral(": ") + error));
        QCOMPARE(gif->version, QStringLiteral("GIF89a"));
        QCOMPARE(gif->frames.size(), std::size_t{1});
        QCOMPARE(gif->frames.front().area, QRect(QPoint(0, 0), gif->screen));
    }
}

void PictureCatalogueTest::labelBackgroundsMatchTheBackdropBeneath() {
    const QImage backdrop = rgb(decode(QStringLiteral("UpdateBackdrop")));
    QCOMPARE(backdrop.size(), QSize(520, 320));
    for (const Label& label : labels) {
        const QImage background = rgb(decode(QString::fromUtf8(label.picture)));
        QCOMPARE(background.size(), label.rect.size());
        QVERIFY2(background == backdrop.copy(label.rect),
                 qPrintable(QString::fromUtf8(label.picture) + QStringLiteral(" shows an edge")));
    }
}

void PictureCatalogueTest::splashAnimationLoopsTwoFrames() {
    const QByteArray bytes = sorvo::pictures::bytes(QStringLiteral("SplashAnimation"));
    QString error;
    const auto gif = readGif(bytes, &error);
    QVERIFY2(gif, qPrintable(error));
    QCOMPARE(gif->version, QStringLiteral("GIF89a"));
    QCOMPARE(gif->screen, QSize(770, 330));
    QCOMPARE(gif->loopCount, std::optional<int>(0));
    QCOMPARE(gif->frames.size(), std::size_t{2});

    const GifFrame& first = gif->frames[0];
    QCOMPARE(first.area, QRect(0, 0, 770, 330));
    QCOMPARE(first.delayHundredths, 30);
    QVERIFY(!first.transparentIndex);

    const GifFrame& second = gif->frames[1];
    const QRect patch(160, 220, 464, 59);
    QCOMPARE(second.area, patch);
    QCOMPARE(second.delayHundredths, 30);
    QCOMPARE(second.disposal, 1); // drawn over the first frame, which stays
    QCOMPARE(first.disposal, 1);
    QVERIFY(second.transparentIndex);
    QVERIFY(!second.localColourTable);
    QVERIFY(*second.transparentIndex < gif->globalColourTableSize);

    // As decoded: the second frame changes only its patch, and it does change it.
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QCOMPARE(reader.imageCount(), 2);
    const QImage one = rgb(reader.read());
    QCOMPARE(reader.nextImageDelay(), 300);
    const QImage two = rgb(reader.read());
    QCOMPARE(two.size(), one.size());
    QVERIFY(one.copy(patch) != two.copy(patch));
    QImage outside = two;
    for (int y = patch.top(); y <= patch.bottom(); ++y)
        for (int x = patch.left(); x <= patch.right(); ++x)
            outside.setPixel(x, y, one.pixel(x, y));
    QVERIFY2(outside == one, "the second frame reaches outside its patch");
}

void PictureCatalogueTest::iconsHoldSixSizesAndDiffer() {
    const std::vector<int> sizes{72, 64, 48, 32, 24, 16};
    std::vector<QImage> smallest;
    for (const QString& name : {QStringLiteral("ProgramIcon"), QStringLiteral("UpdateIcon")}) {
        const QByteArray bytes = sorvo::pictures::bytes(name);
        QString error;
        const auto directory = readDirectory(bytes, &error);
        QVERIFY2(directory, qPrintable(error));
        QCOMPARE(directory->type, Type::Icon);
        QCOMPARE(directory->entries.size(), sizes.size());
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            const Entry& entry = directory->entries[i];
            const int size = sizes[i];
            QCOMPARE(entry.size, QSize(size, size));
            QCOMPARE(entry.bitCount, 32);
            QCOMPARE(entry.dibBitCount, 32);
            QCOMPARE(entry.dibWidth, size);
            QCOMPARE(entry.dibHeight, 2 * size); // colour and AND mask
            const int maskBytes = ((size + 31) / 32) * 4 * size;
            QCOMPARE(entry.byteCount, static_cast<quint32>(40 + size * size * 4 + maskBytes));
            const QImage image = decode(name, static_cast<int>(i));
            QCOMPARE(image.size(), QSize(size, size));
            QVERIFY(image.hasAlphaChannel());
            // Rounded corners: the very corner is see-through, the centre solid.
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
        }
        smallest.push_back(decode(name, 5));
    }
    QCOMPARE(sorvo::pictures::bytes(QStringLiteral("ProgramIcon")).size(),
             sorvo::pictures::bytes(QStringLiteral("UpdateIcon")).size());
    QVERIFY(sorvo::pictures::bytes(QStringLiteral("ProgramIcon")) !=
            sorvo::pictures::bytes(QStringLiteral("UpdateIcon")));
    QVERIFY(smallest[0] != smallest[1]);
}

void PictureCatalogueTest::menuImageListsShareTheirImages() {
    const auto cell = [](const QImage& sheet, int index) {
        return sheet.copy((index % 4) * 16, (index / 4) * 16, 16, 16)
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    const auto isEmpty = [](const QImage& image) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) != 0) return false;
        return true;
    };
    const QImage tray = decode(QStringLiteral("TrayMenuIcons"));
    const QImage update = decode(QStringLiteral("UpdateMenuIcons"));
    QVERIFY(tray.hasAlphaChannel());
    QVERIFY(update.hasAlphaChannel());

    for (int i = 0; i < 13; ++i) {
        QVERIFY2(!isEmpty(cell(tray, i)), qPrintable(QStringLiteral("image %1 is empty").arg(i)));
        QVERIFY2(cell(tray, i) == cell(update, i),
                 qPrintable(QStringLiteral("image %1 differs between the lists").arg(i)));
        for (int j = 0; j < i; ++j)
            QVERIFY(cell(tray, i) != cell(tray, j));
    }
    const QImage updateIcon16 = decode(QStringLiteral("UpdateIcon"), 5)
                                    .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(updateIcon16.size(), QSize(16, 16));
    QVERIFY2(cell(update, 13) == updateIcon16, "image 13 is not the update icon");
    for (int i = 13; i < 16; ++i)
        QVERIFY(isEmpty(cell(tray, i)));
    for (int i = 14; i < 16; ++i)
        QVERIFY(isEmpty(cell(update, i)));
}

void PictureCatalogueTest::cursorsPointFromTheirTopLeft_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("SkinCursor") << QStringLiteral("SkinCursor");
    QTest::newRow("CancelCursor") << QStringLiteral("CancelCursor");
    QTest::newRow("CloseCursor") << QStringLiteral("CloseCursor");
}

void PictureCatalogueTest::cursorsPointFromTheirTopLeft() {
    QFETCH(QString, name);
    const QByteArray bytes = sorvo::pictures::bytes(name);
    QString error;
    const auto directory = readDirectory(bytes, &error);
    QVERIFY2(directory, qPrintable(error));
    QCOMPARE(directory->type, Type::Cursor);
    QCOMPARE(directory->entries.size(), std::size_t{1});
    const Entry& entry = directory->entries.front();
    QCOMPARE(entry.size, QSize(32, 32));
    QCOMPARE(entry.hotSpot, QPoint(0, 0));
    QCOMPARE(entry.dibBitCount, 24);
    QCOMPARE(entry.dibHeight, 64);
    QCOMPARE(bytes.size(), 6 + 16 + 40 + 32 * 32 * 3 + 32 * 4);
    QCOMPARE(decode(name).size(), QSize(32, 32));
    // The client reads the mask only from a file that holds all of it.
    QVERIFY(!readDirectory(bytes.left(bytes.size() - 1)));

    // The tip pixel at the hot spot is drawn; the opposite corners are see-through.
    QVERIFY(!maskIsSet(bytes, entry, {0, 0}));
    QVERIFY(maskIsSet(bytes, entry, {31, 0}));
    QVERIFY(maskIsSet(bytes, entry, {0, 31}));

    // The badged cursors differ from the plain arrow only in their lower right.
    if (name != QLatin1String("SkinCursor")) {
        const QImage plain = rgb(decode(QStringLiteral("SkinCursor")));
        const QImage badged = rgb(decode(name));
        QCOMPARE(badged.copy(0, 0, 14, 14), plain.copy(0, 0, 14, 14));
        QVERIFY(badged.copy(16, 16, 16, 16) != plain.copy(16, 16, 16, 16));
    }
}

QTEST_GUILESS_MAIN(PictureCatalogueTest)
#include "unit_picture_catalogue.moc"
