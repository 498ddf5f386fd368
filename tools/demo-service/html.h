#pragma once

#include <string>
#include <string_view>

namespace sorvo::demo {

// Makes text from a request (a query value, a path, a Host header) safe inside HTML.
std::string escapeHtml(std::string_view text);

// A UTF-8 page around `style` and `body`; `title` is fixed text, not escaped.
std::string htmlDocument(std::string_view title, std::string_view style, std::string_view body);

} // namespace sorvo::demo
