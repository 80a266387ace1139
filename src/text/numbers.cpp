#include "text/numbers.h"

namespace vardane {

std::string formatHundredths(std::uint32_t hundredths, std::string_view decimalSeparator)
{
    std::string text = std::to_string(hundredths / 100);
    const std::uint32_t cents = hundredths % 100;
    if (cents != 0) {
        text += decimalSeparator;
        text += static_cast<char>('0' + cents / 10);
        if (cents % 10 != 0) {
            text += static_cast<char>('0' + cents % 10);
        }
    }
    return text;
}

}  // namespace vardane
