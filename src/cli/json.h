// The --json forms, through nlohmann-json. Every name in them is already
// shown (see shownName): a raw name could be invalid UTF-8, which the library
// refuses with an exception.
#pragma once

#include "compare/compare.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vardane::cli {

// The object of `info --json`: indented for one image, on one line with its
// path for an image of a collection.
[[nodiscard]] std::string infoJson(const Facts& facts, const std::optional<std::string>& path);

// The object of `diff --json`, the two paths shown.
[[nodiscard]] std::string diffJson(std::string_view a, std::string_view b, const Differences& differences);

}  // namespace vardane::cli
