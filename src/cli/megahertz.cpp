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
    double value = 0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace vardane::cli
