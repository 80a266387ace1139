#include "image/text.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
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

std::vector<std::uint8_t> everyByte()
{
    std::vector<std::uint8_t> bytes(256);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<std::uint8_t>(i);
    }
    return bytes;
}

TEST(Windows1252, DecodesEveryByteToItsChartCharacter)
{
    for (const std::uint8_t byte : everyByte()) {
        const std::array<std::uint8_t, 1> one{byte};
        EXPECT_EQ(decodeWindows1252(one), utf8(chartCharacter(byte))) << "byte " << int{byte};
    }
}

TEST(Windows1252, DecodingKeepsNulAndCarriageReturnInPlace)
{
    const std::vector<std::uint8_t> bytes{'A', 0x00, 'B', 0x0D, 0x0A, 0x80, 0x81, 0x9F, 0x00};
    const std::string expected("A\0B\r\n\xE2\x82\xAC\xC2\x81\xC5\xB8\0", 13);
    EXPECT_EQ(decodeWindows1252(bytes), expected);
}

TEST(Windows1252, EveryByteRoundTrips)
{
    const std::vector<std::uint8_t> bytes = everyByte();
    const auto encoded = encodeWindows1252(decodeWindows1252(bytes));
    ASSERT_TRUE(encoded.has_value());
    EXPECT_EQ(*encoded, bytes);
}

TEST(Windows1252, EncodesTheEmptyTextAsNoBytes)
{
    const auto encoded = encodeWindows1252("");
    ASSERT_TRUE(encoded.has_value());
    EXPECT_TRUE(encoded->empty());
}

TEST(Windows1252, EncodesFrenchTextOneBytePerCharacter)
{
    const auto encoded = encodeWindows1252("Entête é€");
    ASSERT_TRUE(encoded.has_value());
    EXPECT_EQ(*encoded, (std::vector<std::uint8_t>{'E', 'n', 't', 0xEA, 't', 'e', ' ', 0xE9, 0x80}));
}

struct Refused {
    const char* name;
    std::string text;
};

class EncodeRefuses : public testing::TestWithParam<Refused> {};

TEST_P(EncodeRefuses, WithNoBytes)
{
    EXPECT_FALSE(encodeWindows1252(GetParam().text).has_value());
}

INSTANTIATE_TEST_SUITE_P(
    Windows1252, EncodeRefuses,
    testing::Values(Refused{"LatinExtended", "ab\xC4\x80"},             // U+0100
                    Refused{"C1ControlTakenByEuro", "\xC2\x80"},        // U+0080: 0x80 is the euro sign
                    Refused{"C1ControlTakenByYDiaeresis", "\xC2\x9F"},  // U+009F: 0x9F is Y diaeresis
                    Refused{"Cjk", "\xE4\xB8\xAD"},                     // U+4E2D
                    Refused{"OutsideBmp", "\xF0\x9F\x98\x80"},          // U+1F600
                    Refused{"ReplacementCharacter", "\xEF\xBF\xBD"},    // U+FFFD
                    Refused{"LoneContinuation", "a\x80"}, Refused{"TruncatedTwoByte", "a\xC3"},
                    Refused{"TruncatedThreeByte", "\xE2\x82"}, Refused{"LeadByteFF", "\xFF"},
                    Refused{"OverlongSlash", "\xC0\xAF"},         // would pass as "/"
                    Refused{"OverlongA", "\xC1\x81"},             // would pass as "A"
                    Refused{"OverlongEuro", "\xF0\x82\x82\xAC"},  // would pass as the euro sign
                    Refused{"Surrogate", "\xED\xA0\x80"}, Refused{"AboveUnicode", "\xF4\x90\x80\x80"},
                    Refused{"ContinuationMissingMidway", "\xE2\x41\xAC"}),
    [](const testing::TestParamInfo<Refused>& info) { return std::string(info.param.name); });

struct Representable {
    char32_t character;
    bool representable;
};

class RepresentableInWindows1252 : public testing::TestWithParam<Representable> {};

TEST_P(RepresentableInWindows1252, MatchesTheChart)
{
    EXPECT_EQ(representableInWindows1252(GetParam().character), GetParam().representable)
        << "U+" << std::hex << static_cast<std::uint32_t>(GetParam().character);
}

INSTANTIATE_TEST_SUITE_P(Windows1252, RepresentableInWindows1252,
                         testing::Values(Representable{0x0000, true}, Representable{0x007F, true},
                                         Representable{0x0080, false}, Representable{0x0081, true},
                                         Representable{0x008D, true}, Representable{0x008F, true},
                                         Representable{0x0090, true}, Representable{0x009D, true},
                                         Representable{0x009F, false}, Representable{0x00A0, true},
                                         Representable{0x00FF, true}, Representable{0x0100, false},
                                         Representable{0x0178, true}, Representable{0x20AC, true},
                                         Representable{0x2122, true}, Representable{0xFFFD, false},
                                         Representable{0x1F600, false}, Representable{0x110000, false}));

struct Hundredths {
    std::uint32_t value;
    const char* separator;
    const char* text;
};

class FormatHundredths : public testing::TestWithParam<Hundredths> {};

TEST_P(FormatHundredths, DropsTrailingZerosAndUsesTheSeparator)
{
    EXPECT_EQ(formatHundredths(GetParam().value, GetParam().separator), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Clock, FormatHundredths,
                         testing::Values(Hundredths{0, ",", "0"}, Hundredths{1, ",", "0,01"},
                                         Hundredths{9, ",", "0,09"}, Hundredths{10, ",", "0,1"},
                                         Hundredths{99, ",", "0,99"}, Hundredths{100, ",", "1"},
                                         Hundredths{105, ",", "1,05"}, Hundredths{110, ".", "1.1"},
                                         Hundredths{12550, ",", "125,5"}, Hundredths{14300, ",", "143"},
                                         Hundredths{33334, ",", "333,34"}, Hundredths{33334, ".", "333.34"},
                                         Hundredths{65535, ",", "655,35"}, Hundredths{131070, ",", "1310,7"},
                                         Hundredths{100000, ".", "1000"},
                                         Hundredths{4294967295U, ",", "42949672,95"},
                                         Hundredths{33334, "\xD9\xAB",
                                                    "333\xD9\xAB"
                                                    "34"}));  // U+066B, two bytes

}  // namespace
}  // namespace vardane
