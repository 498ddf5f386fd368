// The signature's trusted comment and the version order. The first line is a comment, checked
// against the package "pkg.exe" newer than the second line; the lines after the first are
// versions, over which the order must be a strict weak order: irreflexive, asymmetric,
// transitive, and with incomparability transitive too.
#include "download/trusted_comment.h"
#include "property.h"

#include <optional>
#include <vector>

using namespace sorvo;

namespace {

constexpr std::size_t mostVersions = 8;

std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t end; (end = text.find('\n')) != std::string_view::npos;) {
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    lines.push_back(text);
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto lines = linesOf(fuzz::textOf(data, size));
    const std::string current(lines.size() > 1 ? lines[1] : "1.0");
    download::checkTrustedComment(lines[0], {"pkg.exe", current});

    // Each pair is compared once; the properties then read the table.
    const std::size_t count = std::min(lines.size() - 1, mostVersions);
    std::optional<bool> newer[mostVersions][mostVersions];
    for (std::size_t a = 0; a < count; ++a)
        for (std::size_t b = 0; b < count; ++b)
            newer[a][b] = download::newerVersion(lines[a + 1], lines[b + 1]);
    const auto same = [&](std::size_t a, std::size_t b) {
        return newer[a][b] && !*newer[a][b] && !*newer[b][a];
    };
    for (std::size_t a = 0; a < count; ++a) {
        fuzz::require(!newer[a][a].value_or(false), "no version is newer than itself");
        for (std::size_t b = 0; b < count; ++b) {
            fuzz::require(newer[a][b].has_value() == newer[b][a].has_value(),
                          "two versions compare both ways or neither");
            if (!newer[a][b]) continue;
            fuzz::require(!(*newer[a][b] && *newer[b][a]), "of two versions one at most is newer");
            for (std::size_t c = 0; c < count; ++c) {
                if (!newer[b][c]) continue;
                fuzz::require(!(*newer[a][b] && *newer[b][c]) || newer[a][c] == true,
                              "newer than newer is newer");
                fuzz::require(!(same(a, b) && same(b, c)) || same(a, c),
                              "the same as the same is the same");
            }
        }
    }
    return 0;
}
