// What the usage says that holds on one system alone: one file per system,
// usage_posix.cpp and usage_windows.cpp.
#pragma once

#include <string_view>

namespace vardane::cli {

struct SystemUsage {
    std::string_view listLines;   // what a line of a list is
    std::string_view shownNames;  // how a path is printed
    std::string_view locks;       // which locks make writers take turns
};

[[nodiscard]] SystemUsage systemUsage();

}  // namespace vardane::cli
