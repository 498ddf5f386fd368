// Response heads as libcurl's header callback hands them over, one line at a time, any number of
// heads in a row. Whatever the lines, what the head tells stays within its bounds.
#include "download/response_head.h"
#include "property.h"

using namespace sorvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text = fuzz::textOf(data, size);
    download::ResponseHead head;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        head.addLine(text.substr(0, length));
        text.remove_prefix(length);

        fuzz::require(head.status() >= 0 && head.status() <= 999, "a status has three digits");
        fuzz::require(head.contentLength() >= -1, "a length is a size or none");
        if (const auto& range = head.contentRange())
            fuzz::require(range->first <= range->last &&
                              (range->total == -1 || range->last < range->total),
                          "a range lies inside the package");
    }
    return 0;
}
