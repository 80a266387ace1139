// The facts of an image as vardane-cli prints them: the core's facts, with
// the file's name shown as every printed name is.
#pragma once

#include "compare/compare.h"
#include "image/open_image.h"

#include <string>
#include <string_view>
#include <vector>

namespace vardane::cli {

[[nodiscard]] std::vector<Fact> shownFacts(const OpenResult& opened);

[[nodiscard]] FactValue shownValue(std::string_view key, FactValue value);

// A value on a line of text, control characters as "?"; a checksum that
// could not be summed as the window's "???".
[[nodiscard]] std::string lineText(std::string_view key, const FactValue& value, bool withSum = false);

// How a fact's line starts: the window's caption, or the key for a fact the
// window does not show.
[[nodiscard]] std::string lineStart(std::string_view key, std::string_view caption);

}  // namespace vardane::cli
