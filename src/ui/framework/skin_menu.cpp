#include "ui/framework/skin_menu.h"

#include "ui/framework/picture_loader.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>

namespace sorvo::ui {

namespace {

// Which scheme colour paints what: 1 the menu ground, 2 the frame, 3 the text of the highlighted
// item, 5 the separators, 7 the item text, 9 the highlight bar.
QString styleSheetFor(const design::MenuScheme& scheme) {
    const auto c = [&](int n) { return scheme.colours.at(static_cast<std::size_t>(n - 1)).name(); };
    return QStringLiteral("QMenu { background: %1; border: 1px solid %2; padding: 3px 0;"
                          " font-family: \"%3\", \"Noto Sans CJK SC\"; font-size: %4px; }"
                          "QMenu::item { color: %5; padding: 5px 22px 5px 30px; }"
                          "QMenu::item:selected { background: %6; color: %7; }"
                          "QMenu::icon { padding-left: 8px; }"
                          "QMenu::separator { height: 1px; background: %8; margin: 3px 6px; }")
        .arg(c(1), c(2), scheme.fontFamily, QString::number(scheme.fontPixelSize), c(7), c(9), c(3),
             c(5));
}

} // namespace

SkinMenu::SkinMenu(const QString& topCaption, const design::MenuScheme& scheme, QWidget* parent)
    : QMenu(topCaption, parent), icons_(loadImage(scheme.iconList, 1)) {
    // Only where a screen can show it.
    if (pictureDensity(qGuiApp->devicePixelRatio()) > 1)
        denseIcons_ = loadImage(scheme.iconList, 2);
    setStyleSheet(styleSheetFor(scheme));
    // The popup opens with a separator line, which Qt would otherwise fold away.
    setSeparatorsCollapsible(false);
}

QIcon SkinMenu::commandIcon(int iconIndex) const {
    QIcon icon(QPixmap::fromImage(imageListEntry(icons_, iconIndex)));
    if (!denseIcons_.isNull())
        icon.addPixmap(QPixmap::fromImage(imageListEntry(denseIcons_, iconIndex)));
    return icon;
}

void SkinMenu::popUpAtCursor() {
    popup(QCursor::pos());
}

} // namespace sorvo::ui
