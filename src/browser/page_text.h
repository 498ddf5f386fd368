#pragma once

#include <QString>
#include <QUrl>

namespace sorvo::browser {

// What a page says about itself, made fit for the desktop: at most `pageTextLimit` characters on
// one line, without control characters or the marks that reorder text, so that a page can
// neither flood the media panel, a notification or a tooltip nor dress its text up as another's.
inline constexpr qsizetype pageTextLimit = 1024;
QString pageText(const QString& text);

// An http or https address the page gives for a picture, or an empty one: an address too long to
// be a picture's is no address.
QUrl pagePictureAddress(const QString& text);

} // namespace sorvo::browser
