#include "download/response_head.h"

#include "download/ascii.h"

#include <charconv>

namespace sorvo::download {

namespace {

// A whole, non-negative decimal number and nothing else.
std::optional<int64_t> number(std::string_view text) {
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0) return {};
    return value;
}

} // namespace

std::optional<ContentRange> parseContentRange(std::string_view value) {
    value = trimmed(value);
    constexpr std::string_view unit = "bytes ";
    if (value.size() < unit.size() || !equalsIgnoringCase(value.substr(0, unit.size()), unit))
        return {};
    value.remove_prefix(unit.size());
    const auto dash = value.find('-');
    const auto slash = value.find('/');
    if (dash == std::string_view::npos || slash == std::string_view::npos || slash < dash)
        return {};
    const auto first = number(value.substr(0, dash));
    const auto last = number(value.substr(dash + 1, slash - dash - 1));
    const std::string_view totalText = value.substr(slash + 1);
    const auto total = totalText == "*" ? std::optional<int64_t>(-1) : number(totalText);
    if (!first || !last || !total || *last < *first) return {};
    if (*total >= 0 && *last >= *total) return {};
    return ContentRange{*first, *last, *total};
}

bool ResponseHead::addLine(std::string_view line) {
    if (line.starts_with("HTTP/")) {
        *this = ResponseHead();
        const auto space = line.find(' ');
        if (space != std::string_view::npos)
            status_ = static_cast<int>(number(line.substr(space + 1, 3)).value_or(0));
        return false;
    }
    if (trimmed(line).empty()) return true;
    const auto colon = line.find(':');
    if (colon != std::string_view::npos)
        addField(trimmed(line.substr(0, colon)), trimmed(line.substr(colon + 1)));
    return false;
}

void ResponseHead::addField(std::string_view name, std::string_view value) {
    if (equalsIgnoringCase(name, "Content-Length")) {
        // A second length must agree with the first.
        const auto length = number(value);
        lengthValid_ = lengthValid_ && length && (contentLength_ < 0 || *length == contentLength_);
        contentLength_ = length.value_or(-1);
    } else if (equalsIgnoringCase(name, "Content-Range"))
        contentRange_ = parseContentRange(value);
    else if (equalsIgnoringCase(name, "ETag"))
        etag_ = value;
    else if (equalsIgnoringCase(name, "Last-Modified"))
        lastModified_ = value;
}

std::string ResponseHead::validator() const {
    const bool weak = etag_.starts_with("W/");
    if (!etag_.empty() && !weak) return etag_;
    return lastModified_;
}

} // namespace sorvo::download
