#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sodium.h>
#include <string>
#include <string_view>

// What the fuzz targets share: their input as text, and properties that end the run with a
// report when they do not hold.
namespace sorvo::fuzz {

inline std::string_view textOf(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

inline void require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

template <typename Bytes> std::string base64Of(const Bytes& bytes) {
    std::string text(sodium_base64_ENCODED_LEN(bytes.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(),
                      reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                      sodium_base64_VARIANT_ORIGINAL);
    text.pop_back(); // the terminating zero
    return text;
}

} // namespace sorvo::fuzz
