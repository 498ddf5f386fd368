#include "html.h"

namespace sorvo::demo {

std::string escapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string htmlDocument(std::string_view title, std::string_view style, std::string_view body) {
    std::string page = "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n";
    page.append("<title>").append(title).append("</title>\n");
    page.append("<style>\n").append(style).append("</style>\n</head>\n<body>\n");
    page.append(body).append("</body>\n</html>\n");
    return page;
}

} // namespace sorvo::demo
