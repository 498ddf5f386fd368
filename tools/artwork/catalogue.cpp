#include "catalogue.h"

#include "backdrops.h"
#include "buttons.h"
#include "cursors.h"
#include "gif_writer.h"
#include "glyphs.h"
#include "icons.h"
#include "image_writer.h"
#include "layout.h"
#include "menu_icons.h"
#include "resources/icon_file.h"
#include "splash.h"

namespace artwork {
namespace {

QByteArray iconFile(QImage (*draw)(int, int), int scale) {
    std::vector<QImage> images;
    for (const int size : iconSizes)
        images.push_back(draw(size, scale));
    return sorvo::icon_file::writeIcon(images);
}

QRect inPixels(const QRect& rect, int scale) {
    return {rect.topLeft() * scale, rect.size() * scale};
}

// "Name.ext" as "Name@2x.ext" for the pictures drawn at scale 2.
QString scaledName(const QString& fileName, int scale) {
    if (scale == 1) return fileName;
    QString name = fileName;
    return name.insert(name.lastIndexOf(QLatin1Char('.')), QStringLiteral("@%1x").arg(scale));
}

// The update window's backdrop and the label backgrounds cut from it. All share the backdrop's
// palette and its quantised indices, so each label background decodes to exactly the
// backdrop's pixels under the label.
void addUpdateWindowPictures(std::vector<PictureFile>& files, int scale) {
    const QImage backdrop = updateBackdrop(scale);
    const Palette palette = buildPalette({backdrop}, 256);
    const IndexedImage indexed = mapToPalette(backdrop, palette);
    files.push_back({"UpdateBackdrop.gif", encodeGif(indexed, palette)});

    const std::pair<const char*, QRect> labels[] = {
        {"标签进度Background.gif", layout::progressLabel},
        {"标签大小Background.gif", layout::sizeLabel},
        {"标签时间Background.gif", layout::timeLabel},
        {"标签速度Background.gif", layout::speedLabel},
    };
    for (const auto& [name, rect] : labels) {
        files.push_back(
            {QString::fromUtf8(name), encodeGif(indexed.cropped(inPixels(rect, scale)), palette)});
    }

    files.push_back(
        {"UpdateStartButton.gif", encodeGif(updateButton(backdrop, layout::updateStartButton,
                                                         QStringLiteral("立即在线升级")))});
    files.push_back(
        {"UpdateCancelButton.gif", encodeGif(updateButton(backdrop, layout::updateCancelButton,
                                                          QStringLiteral("取消升级")))});
}

// Two frames: the whole picture, then the bar's patch with shifted stripes drawn over it.
// Patch pixels that the first frame already shows are left transparent.
QByteArray splashAnimation(int scale) {
    const QImage first = splashFrame(0, scale);
    const QRect patch = inPixels(layout::splashPatch, scale);
    const QImage second = splashFrame(1, scale).copy(patch);
    constexpr std::uint8_t transparent = 255;
    const Palette palette = buildPalette({first, second}, transparent); // keeps 255 free
    const IndexedImage firstIndexed = mapToPalette(first, palette);
    IndexedImage secondIndexed = mapToPalette(second, palette);
    for (int y = 0; y < patch.height(); ++y) {
        for (int x = 0; x < patch.width(); ++x) {
            auto& index = secondIndexed.indices[static_cast<std::size_t>(y * patch.width() + x)];
            if (index == firstIndexed.at(patch.left() + x, patch.top() + y)) index = transparent;
        }
    }
    constexpr int delayMs = 300;
    constexpr int loopForEver = 0;
    return encodeGif(
        first.size(), palette,
        {GifFrame{firstIndexed, {0, 0}, delayMs, std::nullopt, Disposal::DoNotDispose},
         GifFrame{secondIndexed, patch.topLeft(), delayMs, transparent, Disposal::DoNotDispose}},
        loopForEver);
}

} // namespace

std::vector<PictureFile> drawCatalogue(int scale) {
    std::vector<PictureFile> files;
    files.push_back({"ProgramIcon.ico", iconFile(programIcon, scale)});
    files.push_back({"UpdateIcon.ico", iconFile(updateIcon, scale)});

    struct State {
        QString suffix;
        ButtonState state;
    };
    const State states[] = {{QStringLiteral("Normal"), ButtonState::Normal},
                            {QStringLiteral("Highlighted"), ButtonState::Highlighted}};

    const QImage quit = quitConfirmBackdrop(scale);
    files.push_back({"QuitConfirmBackdrop.jpg", encodeJpeg(quit)});
    for (const auto& [suffix, state] : states) {
        files.push_back({"QuitOkButton" + suffix + ".jpg",
                         encodeJpeg(quitButton(quit, layout::quitOkButton, "确定", state))});
        files.push_back({"QuitCancelButton" + suffix + ".jpg",
                         encodeJpeg(quitButton(quit, layout::quitCancelButton, "取消", state))});
    }

    const QImage about = aboutBackdrop(scale);
    files.push_back({"AboutBackdrop.jpg", encodeJpeg(about)});
    for (const auto& [suffix, state] : states)
        files.push_back(
            {"AboutCloseButton" + suffix + ".jpg", encodeJpeg(aboutCloseButton(about, state))});

    files.push_back({"VersionBackdrop.jpg", encodeJpeg(versionBackdrop(true, scale))});
    const QImage versionGround = versionBackdrop(false, scale);
    for (const auto& [suffix, state] : states) {
        files.push_back({"CheckUpdateButton" + suffix + ".gif",
                         encodeGif(versionButton(versionGround, layout::checkUpdateButton,
                                                 "检测更新", state))});
        files.push_back({"CancelCheckButton" + suffix + ".gif",
                         encodeGif(versionButton(versionGround, layout::cancelCheckButton,
                                                 "取消检测", state))});
    }

    addUpdateWindowPictures(files, scale);
    files.push_back({"SplashAnimation.gif", splashAnimation(scale)});

    files.push_back({"BandImage.jpg", encodeJpeg(bandImage(scale))});
    files.push_back({"StripTile.jpg", encodeJpeg(stripTile(scale))});
    files.push_back({"MinimiseGlyph.bmp", encodeBmp24(minimiseGlyph(scale))});
    files.push_back({"CloseGlyph.bmp", encodeBmp24(closeGlyph(scale))});

    std::vector<QImage> menu = menuIcons(scale);
    files.push_back({"TrayMenuIcons.png", encodePng(imageListSheet(menu))});
    menu.push_back(updateIcon(16, scale));
    files.push_back({"UpdateMenuIcons.png", encodePng(imageListSheet(menu))});

    // The tip is the hot spot, at (0, 0) at every scale.
    const QPoint tip(0, 0);
    files.push_back({"SkinCursor.cur", sorvo::icon_file::writeCursor(
                                           skinCursor(CursorBadge::None, scale), tip * scale)});
    files.push_back({"CancelCursor.cur",
                     sorvo::icon_file::writeCursor(skinCursor(CursorBadge::CrossedArrows, scale),
                                                   tip * scale)});
    files.push_back({"CloseCursor.cur", sorvo::icon_file::writeCursor(
                                            skinCursor(CursorBadge::Cross, scale), tip * scale)});
    for (PictureFile& file : files)
        file.fileName = scaledName(file.fileName, scale);
    return files;
}

} // namespace artwork
