#include "cli/megahertz.h"

#include <algorithm>
#include <charconv>

namespace vardane::cli {
namespace {

bool allDigits(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::optional<double> parseMegahertz(std::string_view text)
{
    const auto point = text.find('.');
    const bool wellFormed = point == std::string_view::npos
                                ? allDigits(text)
                                : allDigits(text.substr(0, point)) && allDigits(text.substr(point + 1));
    if (!wellFormed) {
        return std::nullopt;
    }
    // Well formed, the whole text is one number to from_chars; only a number
    // too large for a double fails.
    double value = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed).ec !=
        std::errc{}) {
        return std::nullopt;
    }
    return value;
}

}  // namespace vardane::cli
