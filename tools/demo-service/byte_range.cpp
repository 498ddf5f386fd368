#include "byte_range.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace sorvo::demo {

namespace {

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::optional<std::int64_t> number(std::string_view digits) {
    std::int64_t value = 0;
    const auto* end = digits.data() + digits.size();
    auto [stop, error] = std::from_chars(digits.data(), end, value);
    if (digits.empty() || error != std::errc() || stop != end || value < 0) return std::nullopt;
    return value;
}

bool startsWithBytesUnit(std::string_view range) {
    constexpr std::string_view unit = "bytes=";
    return range.size() >= unit.size() &&
           std::equal(unit.begin(), unit.end(), range.begin(), [](char a, char b) {
               return a == (b >= 'A' && b <= 'Z' ? static_cast<char>(b - 'A' + 'a') : b);
           });
}

// If-Range names either an entity tag, which must match strongly, or a date, which must be
// exactly the resource's Last-Modified.
bool validatorStillCurrent(std::string_view ifRange, const Validators& validators) {
    ifRange = trimmed(ifRange);
    if (ifRange.starts_with("W/")) return false;
    if (ifRange.starts_with('"')) return ifRange == validators.etag;
    return ifRange == validators.lastModified;
}

} // namespace

RangeAnswer answerRange(std::string_view range, std::string_view ifRange,
                        const Validators& validators, std::int64_t size) {
    range = trimmed(range);
    if (range.empty() || !startsWithBytesUnit(range)) return WholeBody{};
    if (!ifRange.empty() && !validatorStillCurrent(ifRange, validators)) return WholeBody{};

    const std::string_view spec = trimmed(range.substr(6));
    const auto dash = spec.find('-');
    if (dash == std::string_view::npos || spec.find(',') != std::string_view::npos)
        return WholeBody{};
    const std::string_view firstText = trimmed(spec.substr(0, dash));
    const std::string_view lastText = trimmed(spec.substr(dash + 1));

    if (firstText.empty()) {
        const auto suffix = number(lastText);
        if (!suffix) return WholeBody{};
        if (*suffix == 0 || size == 0) return Unsatisfiable{};
        const std::int64_t length = std::min(*suffix, size);
        return ByteRange{size - length, length};
    }

    const auto first = number(firstText);
    if (!first) return WholeBody{};
    std::int64_t last = size - 1;
    if (!lastText.empty()) {
        const auto asked = number(lastText);
        if (!asked || *asked < *first) return WholeBody{};
        last = std::min(*asked, size - 1);
    }
    if (*first >= size) return Unsatisfiable{};
    return ByteRange{*first, last - *first + 1};
}

} // namespace sorvo::demo
