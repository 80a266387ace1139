#include "image/text.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vardane {
namespace {

// Written out from the published Windows-1252 chart rather than shared with
// the code, so a slip in either table shows up here. The five holes of the
// chart stand for the control character of the same value.
constexpr std::array<char32_t, 32> kChart80To9F{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

char32_t chartCharacter(std::uint8_t byte)
{
    return byte >= 0x80 && byte <= 0x9F ? kChart80To9F[byte - 0x80] : char32_t{byte};
}

std::string utf8(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

TEST(Windows1252, EveryByteDecodesToItsChartCharacterAndRoundTrips)
{
    std::vector<std::uint8_t> bytes(256);
    std::string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i);
        text += utf8(chartCharacter(bytes[i]));
    }
    EXPECT_EQ(decodeWindows1252(bytes), text);
    
}

TEST(FormatHundredths, DropsTrailingZerosAndUsesTheSeparator)
{
    const std::pair<std::uint32_t, const char*> cases[] = {
        {0, "0"},
        {1, "0,01"},
        {10, "0,1"},
        {99, "0,99"},
        {100, "1"},
        {105, "1,05"},
        {12550, "125,5"},
        {14300, "143"},
        {65535, "655,35"},
        {131070, "1310,7"},
        {4294967295U, "42949672,95"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(formatHundredths(value, ","), text) << value;
    }
    EXPECT_EQ(formatHundredths(33334, "."), "333.34");
    EXPECT_EQ(formatHundredths(33334, "\xD9\xAB"),
              "333\xD9\xAB"
              "34");  // U+066B, two bytes
}

}  // namespace
}  // namespace vardane
