// A clock typed on the command line.
#pragma once

#include <optional>
#include <string_view>

namespace vardane::cli {

// Decimal digits, then optionally "." and more digits: "460", "333.5". No
// sign, blank, comma, exponent or named value is taken, so that a slip of the
// keyboard is refused instead of becoming some other clock.
[[nodiscard]] std::optional<double> parseMegahertz(std::string_view text);

}  // namespace vardane::cli
