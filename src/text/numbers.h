// Numbers as the tool shows them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vardane {

// A clock given in hundredths of a MHz, as the main window shows it: at most
// two decimals, trailing zeros dropped, no separator for a whole number.
// Integer arithmetic only, so 16667 is exactly "166" + separator + "67".
[[nodiscard]] std::string formatHundredths(std::uint32_t hundredths, std::string_view decimalSeparator);

}  // namespace vardane
