#include "contact_sheet.h"

#include "layout.h"
#include "paint_kit.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <vector>

namespace artwork {
namespace {

// The scale the sheet is drawn at, and the pictures read.
int sheetScale = 1;

QString scaledPath(const QDir& dir, const QString& fileName) {
    QString name = fileName;
    if (sheetScale > 1)
        name.insert(name.lastIndexOf(QLatin1Char('.')), QStringLiteral("@%1x").arg(sheetScale));
    return dir.filePath(name);
}

std::vector<QImage> frames(const QDir& dir, const QString& fileName) {
    QImageReader reader(scaledPath(dir, fileName));
    std::vector<QImage> images;
    // Read exactly the stored frames: an endlessly looping GIF would otherwise go on for ever.
    const int count = std::max(1, reader.imageCount());
    for (int i = 0; i < count; ++i) {
        if (i > 0) reader.jumpToImage(i);
        QImage image = reader.read();
        if (image.isNull()) break;
        image.setDevicePixelRatio(sheetScale);
        images.push_back(image.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
    return images;
}

// Qt's reader ignores the 1-bit mask of a 24-bit cursor; apply it as the system would.
QImage cursor(const QDir& dir, const QString& fileName) {
    QFile file(scaledPath(dir, fileName));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    const auto byteAt = [&](qsizetype at) { return static_cast<unsigned char>(bytes[at]); };
    const qsizetype dib = byteAt(18) | byteAt(19) << 8 | byteAt(20) << 16;
    const int size = byteAt(6);
    QImage image = canvasImage(QSize(32, 32), sheetScale, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y) {
        const qsizetype row = dib + 40 + (size - 1 - y) * size * 3;
        const qsizetype maskRow = dib + 40 + size * size * 3 + (size - 1 - y) * (size / 8);
        for (int x = 0; x < size; ++x) {
            const bool transparent = (byteAt(maskRow + x / 8) >> (7 - x % 8)) & 1;
            image.setPixel(x, y,
                           transparent ? 0u
                                       : qRgb(byteAt(row + x * 3 + 2), byteAt(row + x * 3 + 1),
                                              byteAt(row + x * 3)));
        }
    }
    return image;
}

QImage picture(const QDir& dir, const QString& fileName) {
    const auto all = frames(dir, fileName);
    return all.empty() ? QImage() : all.front();
}

QImage checkerboard(QSize size) {
    QImage image = canvasImage(size, sheetScale);
    QPainter painter(&image);
    for (int y = 0; y < size.height(); y += 8)
        for (int x = 0; x < size.width(); x += 8)
            painter.fillRect(x, y, 8, 8, ((x + y) / 8) % 2 ? QColor(200, 200, 200) : Qt::white);
    return image;
}

// Draws a picture keyed on magenta, as the title strip does.
QImage keyed(const QImage& image) {
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if ((out.pixel(x, y) & 0xffffff) == 0xff00ff) out.setPixel(x, y, 0);
    return out;
}

class Sheet {
  public:
    explicit Sheet(int width) : image_(canvasImage(QSize(width, 8000), sheetScale)) {
        image_.fill(QColor(0x30, 0x30, 0x34));
        painter_.begin(&image_);
        painter_.setRenderHint(QPainter::TextAntialiasing);
    }

    void place(const QString& title, const QImage& picture, int zoom = 1, bool onChecker = false) {
        const QSize size = picture.deviceIndependentSize().toSize() * zoom;
        if (x_ + size.width() > width() - margin) newRow();
        if (onChecker) painter_.drawImage(QPoint(x_, y_ + 16), checkerboard(size));
        painter_.drawImage(QRect(QPoint(x_, y_ + 16), size), picture);
        painter_.setPen(QColor(0xe0, 0xe0, 0xe0));
        painter_.setFont(skinFont(11));
        painter_.drawText(QPoint(x_, y_ + 12), title);
        x_ += std::max(size.width(), 120) + margin;
        rowHeight_ = std::max(rowHeight_, size.height() + 16);
    }

    void newRow() {
        if (rowHeight_ == 0) return;
        x_ = margin;
        y_ += rowHeight_ + margin;
        rowHeight_ = 0;
        rowEnds_.push_back(y_);
    }

    // The sheet cut into pages of at most pageHeight pixels, between rows.
    std::vector<QImage> finish(int pageHeight) {
        newRow();
        painter_.end();
        std::vector<QImage> pages;
        int top = 0;
        int last = 0;
        for (const int end : rowEnds_) {
            if (end - top > pageHeight && last > top) {
                pages.push_back(cut(image_, QRect(0, top, width(), last - top)));
                top = last;
            }
            last = end;
        }
        pages.push_back(cut(image_, QRect(0, top, width(), last - top)));
        return pages;
    }

  private:
    int width() const { return image_.width() / sheetScale; }

    static constexpr int margin = 14;
    QImage image_;
    QPainter painter_;
    int x_ = margin;
    int y_ = margin;
    int rowHeight_ = 0;
    std::vector<int> rowEnds_;
};

QImage withPictures(QImage ground, const std::vector<std::pair<QImage, QPoint>>& pictures) {
    ground = ground.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&ground);
    for (const auto& [picture, at] : pictures)
        painter.drawImage(at, picture);
    return ground;
}

// The update window with sample label texts in the label styles.
QImage updateWindowMock(const QDir& dir) {
    QImage window =
        cut(picture(dir, "UpdateBackdrop.gif"), QRect(QPoint(), layout::updateWindowSize));
    QPainter painter(&window);
    painter.fillRect(layout::updateBrowser, QColor(0xf4, 0xf4, 0xf4));
    painter.fillRect(layout::updateProgressBar, QColor(0xe6, 0xe6, 0xe6));
    painter.fillRect(layout::updateProgressBar.adjusted(1, 1, -200, -1), QColor(0x06, 0xb0, 0x25));
    painter.fillRect(layout::updateSpeedList, Qt::white);
    struct Label {
        QRect rect;
        const char* file;
        const char* text;
        QColor colour;
        int alignment;
    };
    const Label labels[] = {
        {layout::progressLabel, "标签进度Background.gif", "进度：42.0%", QColor(255, 128, 0),
         Qt::AlignLeft},
        {layout::sizeLabel, "标签大小Background.gif", "已下载:1.2MB/2.9MB", QColor(255, 128, 0),
         Qt::AlignRight},
        {layout::timeLabel, "标签时间Background.gif", "剩余时间:12秒", QColor(144, 0, 255),
         Qt::AlignLeft},
        {layout::speedLabel, "标签速度Background.gif", "速度：128KB/S", QColor(144, 0, 255),
         Qt::AlignHCenter},
    };
    for (const Label& label : labels) {
        painter.drawImage(label.rect.topLeft(), picture(dir, QString::fromUtf8(label.file)));
        painter.setFont(skinFont(12));
        painter.setPen(label.colour);
        painter.drawText(label.rect, label.alignment | Qt::AlignVCenter,
                         QString::fromUtf8(label.text));
    }
    painter.drawImage(layout::updateStartButton.topLeft(), picture(dir, "UpdateStartButton.gif"));
    painter.drawImage(layout::updateCancelButton.topLeft(), picture(dir, "UpdateCancelButton.gif"));
    return window;
}

QImage titleStripMock(const QDir& dir) {
    QImage strip = canvasImage(QSize(960, 41), sheetScale);
    QPainter painter(&strip);
    painter.drawImage(0, 21, picture(dir, "BandImage.jpg"));
    const QImage tile = picture(dir, "StripTile.jpg");
    for (int x = 0; x < 960; x += tile.width() / sheetScale)
        painter.drawImage(x, 0, tile);
    painter.drawImage(890, 0, keyed(picture(dir, "MinimiseGlyph.bmp")));
    painter.drawImage(915, 0, keyed(picture(dir, "CloseGlyph.bmp")));
    return strip;
}

} // namespace

std::vector<QImage> contactSheet(const QDir& dir, int scale) {
    sheetScale = scale;
    Sheet sheet(800);
    const QImage quit = picture(dir, "QuitConfirmBackdrop.jpg");
    sheet.place("QuitConfirmWindow (cancel hovered)",
                withPictures(
                    quit, {{picture(dir, "QuitOkButtonNormal.jpg"), layout::quitOkButton.topLeft()},
                           {cut(picture(dir, "QuitCancelButtonHighlighted.jpg"), {0, 0, 72, 31}),
                            layout::quitCancelButton.topLeft()}}));
    sheet.place("AboutWindow", withPictures(picture(dir, "AboutBackdrop.jpg"),
                                            {{picture(dir, "AboutCloseButtonNormal.jpg"),
                                              layout::aboutCloseButton.topLeft()}}));
    sheet.place("VersionWindow (check hovered)",
                withPictures(picture(dir, "VersionBackdrop.jpg"),
                             {{picture(dir, "CheckUpdateButtonHighlighted.gif"),
                               layout::checkUpdateButton.topLeft()},
                              {picture(dir, "CancelCheckButtonNormal.gif"),
                               layout::cancelCheckButton.topLeft()}}));
    sheet.place("UpdateWindow (mock controls)", updateWindowMock(dir));
    sheet.newRow();

    const auto splash = frames(dir, "SplashAnimation.gif");
    for (std::size_t i = 0; i < splash.size(); ++i)
        sheet.place(QStringLiteral("SplashAnimation frame %1").arg(i + 1), splash[i]);
    sheet.newRow();
    sheet.place("title strip and band (x 2, right part)",
                cut(titleStripMock(dir), {620, 0, 340, 41}), 2);
    sheet.newRow();

    for (const char* name : {"QuitConfirmBackdrop.jpg", "AboutBackdrop.jpg", "VersionBackdrop.jpg",
                             "UpdateBackdrop.gif"})
        sheet.place(name, picture(dir, name));
    sheet.newRow();
    for (const char* name :
         {"QuitOkButtonNormal.jpg", "QuitOkButtonHighlighted.jpg", "QuitCancelButtonNormal.jpg",
          "QuitCancelButtonHighlighted.jpg", "AboutCloseButtonNormal.jpg",
          "AboutCloseButtonHighlighted.jpg", "CheckUpdateButtonNormal.gif",
          "CheckUpdateButtonHighlighted.gif", "CancelCheckButtonNormal.gif",
          "CancelCheckButtonHighlighted.gif", "UpdateStartButton.gif", "UpdateCancelButton.gif"})
        sheet.place(name, picture(dir, name), 2);
    sheet.newRow();
    for (const char* name : {"标签进度Background.gif", "标签大小Background.gif",
                             "标签时间Background.gif", "标签速度Background.gif"})
        sheet.place(QString::fromUtf8(name), picture(dir, QString::fromUtf8(name)), 2);
    sheet.place("StripTile.jpg", picture(dir, "StripTile.jpg"), 4);
    sheet.place("MinimiseGlyph.bmp", picture(dir, "MinimiseGlyph.bmp"), 6);
    sheet.place("CloseGlyph.bmp", picture(dir, "CloseGlyph.bmp"), 6);
    sheet.newRow();
    for (const char* name : {"ProgramIcon.ico", "UpdateIcon.ico"}) {
        for (const QImage& icon : frames(dir, name)) {
            sheet.place(QStringLiteral("%1 %2").arg(name).arg(icon.width()), icon, 1, true);
        }
        sheet.place(QStringLiteral("%1 72 x4").arg(name), frames(dir, name).front(), 4, true);
        sheet.place(QStringLiteral("%1 16 x6").arg(name), frames(dir, name).back(), 6, true);
    }
    sheet.newRow();
    sheet.place("TrayMenuIcons.png x6", picture(dir, "TrayMenuIcons.png"), 6, true);
    sheet.place("UpdateMenuIcons.png x6", picture(dir, "UpdateMenuIcons.png"), 6, true);
    QImage menuOnWhite = canvasImage(QSize(64, 64), sheetScale);
    menuOnWhite.fill(QColor(236, 236, 236));
    sheet.place("UpdateMenuIcons on menu grey x2",
                withPictures(menuOnWhite, {{picture(dir, "UpdateMenuIcons.png"), {}}}), 2);
    for (const char* name : {"SkinCursor.cur", "CancelCursor.cur", "CloseCursor.cur"})
        sheet.place(QStringLiteral("%1 x6").arg(name), cursor(dir, name), 6, true);
    return sheet.finish(1000);
}

} // namespace artwork
