#include "browser/page_text.h"

#include <algorithm>

namespace sorvo::browser {

namespace {

bool reordersText(char32_t c) {
    // The embeddings, overrides and isolates; the plain marks only nudge neutral characters.
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

} // namespace

QString pageText(const QString& text) {
    QString clean;
    clean.reserve(std::min(text.size(), pageTextLimit));
    for (qsizetype i = 0; i < text.size() && clean.size() < pageTextLimit; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            if (clean.size() + 2 > pageTextLimit) break;
            clean += c;
            clean += text.at(++i);
        } else if (c.isSurrogate() || reordersText(c.unicode())) {
            continue;
        } else if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
                   c == QChar::ParagraphSeparator) {
            // Lines and tabs run together as words do.
            if (!clean.isEmpty() && !clean.endsWith(u' ')) clean += u' ';
        } else {
            clean += c;
        }
    }
    return clean.trimmed();
}

QUrl pagePictureAddress(const QString& text) {
    if (text.size() > pageTextLimit) return {};
    const QUrl address(text, QUrl::StrictMode);
    if (address.scheme() != QLatin1String("http") && address.scheme() != QLatin1String("https"))
        return {};
    return address;
}

} // namespace sorvo::browser
