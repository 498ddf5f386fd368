#pragma once

#include "ranged_resource.h"

#include <cstdint>
#include <memory>
#include <string>

namespace sorvo::demo {

// The package's path as the client sends it: percent-encoded GBK. httplib decodes the
// percent-escapes, so this is the GBK spelling of "/download/索沃电台_升级包.exe".
inline const std::string packagePathGbk =
    "/download/\xCB\xF7\xCE\xD6\xB5\xE7\xCC\xA8_\xC9\xFD\xBC\xB6\xB0\xFC.exe";
inline const std::string packagePathUtf8 = "/download/索沃电台_升级包.exe";

// The upgrade package: a DOS executable header, then a fixed pseudo-random sequence. Every byte
// follows from its offset and the size, so any range is computed on demand and the same size
// always gives the same file.
std::shared_ptr<const RangedResource> makePackage(std::int64_t size);

// Writes the whole resource to the file at path; false when it cannot.
bool writeWhole(const RangedResource& resource, const std::string& path);

} // namespace sorvo::demo
