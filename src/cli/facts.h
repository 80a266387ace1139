// The facts of an image on a line of text, as vardane-cli prints them.
#pragma once

#include "compare/wording.h"

#include <string>
#include <string_view>

namespace vardane::cli {

// A value on a line of text, characters unsafe to show as "?"; a checksum
// that could not be summed as the window's "???".
[[nodiscard]] std::string lineText(FactKey key, const FactValue& value, bool withSum = false);

// How a fact's line starts: the window's caption, or the key for a fact the
// window does not show.
[[nodiscard]] std::string lineStart(FactKey key);

}  // namespace vardane::cli
