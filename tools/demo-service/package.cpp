#include "package.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <vector>

namespace sorvo::demo {

namespace {

// splitmix64: cheap, well mixed, and random-access by block number.
std::uint64_t mixed(std::uint64_t block) {
    std::uint64_t z = block * 0x9E3779B97F4A7C15ULL + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// A 64-byte DOS header (relocation table at 0x1C, code right after the header), as old
// executables have: desktops take a file for a Windows program only when it looks like one.
std::array<char, 64> dosHeader(std::int64_t size) {
    std::array<char, 64> header{};
    auto put16 = [&header](std::size_t at, std::int64_t value) {
        header[at] = static_cast<char>(value & 0xFF);
        header[at + 1] = static_cast<char>((value >> 8) & 0xFF);
    };
    header[0] = 'M';
    header[1] = 'Z';
    put16(0x02, size % 512);                                         // bytes in the last page
    put16(0x04, std::min<std::int64_t>((size + 511) / 512, 0xFFFF)); // pages
    put16(0x08, 4);                                                  // header size in paragraphs
    put16(0x0C, 0xFFFF); // most memory the program wants
    put16(0x10, 0xB8);   // initial stack pointer
    put16(0x18, 0x1C);   // relocation table offset
    return header;
}

} // namespace

std::shared_ptr<const RangedResource> makePackage(std::int64_t size) {
    auto package = std::make_shared<RangedResource>();
    package->size = size;
    package->contentType = "application/x-msdownload";
    char etag[40];
    std::snprintf(etag, sizeof etag, "\"sorvo-package-%llx\"",
                  static_cast<unsigned long long>(size));
    package->etag = etag;
    // The bytes never change for a given size, so neither does the date.
    package->lastModified = "Mon, 01 Jun 2015 08:00:00 GMT";
    package->read = [header = dosHeader(size)](std::int64_t offset, std::span<char> out) {
        for (std::size_t i = 0; i < out.size(); ++i) {
            const std::int64_t at = offset + static_cast<std::int64_t>(i);
            out[i] = at < std::ssize(header)
                         ? header[static_cast<std::size_t>(at)]
                         : static_cast<char>(mixed(static_cast<std::uint64_t>(at / 8)) >>
                                             (8 * (at % 8)));
        }
    };
    return package;
}

bool writeWhole(const RangedResource& resource, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<char> piece(1 << 20);
    for (std::int64_t offset = 0; out && offset < resource.size;) {
        const auto size = static_cast<std::size_t>(
            std::min<std::int64_t>(resource.size - offset, std::ssize(piece)));
        resource.read(offset, std::span<char>(piece.data(), size));
        out.write(piece.data(), static_cast<std::streamsize>(size));
        offset += static_cast<std::int64_t>(size);
    }
    out.close();
    return static_cast<bool>(out);
}

} // namespace sorvo::demo
