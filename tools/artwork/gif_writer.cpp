#include "gif_writer.h"

#include <algorithm>
#include <gif_lib.h>
#include <memory>
#include <stdexcept>
#include <string>

namespace artwork {
namespace {

int appendToBytes(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

[[noreturn]] void fail(int error) {
    throw std::runtime_error(std::string("cannot write GIF: ") + GifErrorString(error));
}

void check(int result, const GifFileType* gif) {
    if (result == GIF_ERROR) fail(gif->Error);
}

struct MapDeleter {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

// For a write that failed half way: closing frees the file, whose error is already reported.
struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

void putFrame(GifFileType* gif, const GifFrame& frame) {
    if (frame.delayMs > 0 || frame.transparentIndex || frame.disposal != Disposal::Unspecified) {
        GraphicsControlBlock control{};
        control.DisposalMode = static_cast<int>(frame.disposal);
        control.DelayTime = (frame.delayMs + 5) / 10; // hundredths of a second
        control.TransparentColor =
            frame.transparentIndex ? int{*frame.transparentIndex} : NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        const auto length = static_cast<int>(EGifGCBToExtension(&control, extension));
        // giflib fills an unused transparent index with 255; the catalogue's files hold 0 there,
        // and keeping it keeps them byte for byte.
        if (!frame.transparentIndex) extension[3] = 0;
        check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, length, extension), gif);
    }
    const IndexedImage& image = frame.image;
    check(EGifPutImageDesc(gif, frame.position.x(), frame.position.y(), image.width, image.height,
                           false, nullptr),
          gif);
    // giflib masks the pixels it is given in place.
    std::vector<GifPixelType> row(static_cast<std::size_t>(image.width));
    for (int y = 0; y < image.height; ++y) {
        const auto first = image.indices.begin() + static_cast<std::ptrdiff_t>(y) * image.width;
        std::copy(first, first + image.width, row.begin());
        check(EGifPutLine(gif, row.data(), image.width), gif);
    }
}

} // namespace

QByteArray encodeGif(QSize screen, const Palette& palette, const std::vector<GifFrame>& frames,
                     std::optional<int> loopCount) {
    std::vector<GifColorType> colours(256, GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < palette.colours.size() && i < colours.size(); ++i) {
        const QRgb colour = palette.colours[i];
        colours[i] = {static_cast<GifByteType>(qRed(colour)),
                      static_cast<GifByteType>(qGreen(colour)),
                      static_cast<GifByteType>(qBlue(colour))};
    }
    const std::unique_ptr<ColorMapObject, MapDeleter> map(GifMakeMapObject(256, colours.data()));

    QByteArray bytes;
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&bytes, appendToBytes, &error));
    if (!gif || !map) fail(error);
    EGifSetGifVersion(gif.get(), true);
    constexpr int colourResolution = 8;
    constexpr int background = 0;
    check(EGifPutScreenDesc(gif.get(), screen.width(), screen.height(), colourResolution,
                            background, map.get()),
          gif.get());
    if (loopCount) {
        const GifByteType loop[] = {1, static_cast<GifByteType>(*loopCount & 0xff),
                                    static_cast<GifByteType>(*loopCount >> 8)};
        check(EGifPutExtensionLeader(gif.get(), APPLICATION_EXT_FUNC_CODE), gif.get());
        check(EGifPutExtensionBlock(gif.get(), 11, "NETSCAPE2.0"), gif.get());
        check(EGifPutExtensionBlock(gif.get(), sizeof loop, loop), gif.get());
        check(EGifPutExtensionTrailer(gif.get()), gif.get());
    }
    for (const GifFrame& frame : frames)
        putFrame(gif.get(), frame);
    // Closing writes the trailer.
    if (EGifCloseFile(gif.release(), &error) == GIF_ERROR) fail(error);
    return bytes;
}

QByteArray encodeGif(const IndexedImage& image, const Palette& palette) {
    GifFrame frame;
    frame.image = image;
    return encodeGif(QSize(image.width, image.height), palette, {frame});
}

QByteArray encodeGif(const QImage& image) {
    const Palette palette = buildPalette({image}, 256);
    return encodeGif(mapToPalette(image, palette), palette);
}

} // namespace artwork
