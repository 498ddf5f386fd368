#include "download/trusted_comment.h"

#include <charconv>
#include <vector>

namespace sorvo::download {

namespace {

constexpr std::string_view separators = " \t";

std::optional<std::vector<uint32_t>> versionParts(std::string_view text) {
    std::vector<uint32_t> parts;
    while (true) {
        const auto dot = text.find('.');
        const std::string_view part = text.substr(0, dot);
        uint32_t value = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
        if (part.empty() || error != std::errc() || end != part.data() + part.size()) return {};
        parts.push_back(value);
        if (dot == std::string_view::npos) return parts;
        text.remove_prefix(dot + 1);
    }
}

// The value of the field named key; nullopt when the comment has none, or more than one.
std::optional<std::string_view> field(std::string_view comment, std::string_view key) {
    std::optional<std::string_view> found;
    for (std::size_t at = comment.find_first_not_of(separators); at != std::string_view::npos;
         at = comment.find_first_not_of(separators, at)) {
        const auto end = comment.find_first_of(separators, at);
        const std::string_view token = comment.substr(at, end - at);
        at = end;
        const auto colon = token.find(':');
        if (colon == std::string_view::npos || token.substr(0, colon) != key) continue;
        if (found) return {};
        found = token.substr(colon + 1);
    }
    return found;
}

Failure mismatch(const std::string& why) {
    return {MessageCode::PackageMismatch, "the signature is not for this package: " + why};
}

} // namespace

std::optional<bool> newerVersion(std::string_view a, std::string_view b) {
    auto left = versionParts(a);
    auto right = versionParts(b);
    if (!left || !right) return {};
    const std::size_t size = std::max(left->size(), right->size());
    left->resize(size);
    right->resize(size);
    return *left > *right;
}

std::optional<Failure> checkTrustedComment(std::string_view comment,
                                           const ExpectedPackage& expected) {
    const auto file = field(comment, "file");
    const auto version = field(comment, "version");
    if (!file || !version) return mismatch("its comment names no single file and version");
    if (*file != expected.fileName)
        return mismatch("it names the file \"" + std::string(*file) + "\"");
    const auto newer = newerVersion(*version, expected.olderThan);
    if (!newer)
        return mismatch("its version \"" + std::string(*version) + "\" is not dotted numbers");
    if (!*newer)
        return Failure{MessageCode::PackageTooOld, "the package's version " +
                                                       std::string(*version) +
                                                       " is not newer than " + expected.olderThan};
    return {};
}

} // namespace sorvo::download
