#include "download/type_list.h"

#include "download/ascii.h"

namespace sorvo::download {

namespace {

bool endsWithIgnoringCase(std::string_view name, std::string_view ending) {
    return ending.size() <= name.size() &&
           equalsIgnoringCase(name.substr(name.size() - ending.size()), ending);
}

} // namespace

bool typeAllowed(std::string_view path, std::string_view list) {
    if (list.empty()) return true;
    const auto slash = path.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    while (true) {
        const auto bar = list.find('|');
        const std::string_view ending = list.substr(0, bar);
        if (!ending.empty() && endsWithIgnoringCase(name, ending)) return true;
        if (bar == std::string_view::npos) return false;
        list.remove_prefix(bar + 1);
    }
}

} // namespace sorvo::download
