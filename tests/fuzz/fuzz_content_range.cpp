// A Content-Range value: an accepted range lies inside the package, and written again in the
// plain form it reads the same.
#include "download/response_head.h"
#include "property.h"

using namespace sorvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto range = download::parseContentRange(fuzz::textOf(data, size));
    if (!range) return 0;
    fuzz::require(range->first >= 0 && range->first <= range->last,
                  "a range starts at 0 or later and not after its end");
    fuzz::require(range->total == -1 || range->last < range->total,
                  "a range ends inside the package");
    const std::string plain = "bytes " + std::to_string(range->first) + "-" +
                              std::to_string(range->last) + "/" +
                              (range->total < 0 ? std::string("*") : std::to_string(range->total));
    const auto again = download::parseContentRange(plain);
    fuzz::require(again && again->first == range->first && again->last == range->last &&
                      again->total == range->total,
                  "the range written again reads the same");
    return 0;
}
