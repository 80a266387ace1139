#include "editors/clock.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace vardane {
namespace {

using test::differingOffsets;
using test::Standard;
using test::TempFile;

constexpr std::int64_t kMemLow = Standard::kClockKey - 26;
constexpr std::int64_t kCoreLow = Standard::kClockKey - 70;
const ClockProfile* const kMem = &kMemoryClockProfile;
const ClockProfile* const kCore = &kCoreClockProfile;

std::vector<std::size_t> pairAt(std::int64_t low)
{
    return {static_cast<std::size_t>(low), static_cast<std::size_t>(low + 1)};
}

// The same reading whatever the C library's numeric locale: in fr_FR.UTF-8
// its decimal point is a comma, and "333.5" must still read as 333.5.
TEST(LeadingNumber, ReadsSignDigitsAndPointFractionInEveryLocale)
{
    const std::pair<std::string_view, double> cases[] = {
        {"333,34 Mhz", 333.0},
        {"333.5 Mhz", 333.5},
        {" 3 6 6 Mhz", 366.0},
        {"1999.95", 1999.95},
        {"- 12.5x", -12.5},
        {"+7", 7.0},
        {".5 Mhz", 0.5},
        {"12.3.4", 12.3},
        {"1e3", 1.0},
        {"Mhz 366", 0.0},
        {"", 0.0},
        {".", 0.0},
        {"--5", 0.0},
        {"nan", 0.0},
    };
    for (const char* locale : {"C", "fr_FR.UTF-8"}) {
        ASSERT_NE(std::setlocale(LC_NUMERIC, locale), nullptr) << locale << " is missing: run scripts/setup";
        for (const auto& [text, number] : cases) {
            EXPECT_DOUBLE_EQ(leadingNumber(text), number) << locale << " \"" << text << '"';
        }
    }
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(roundHalfEven(leadingNumber(std::string(400, '9'))), 9'000'000'000'000'000'000LL);
}

TEST(RoundHalfEven, RoundsHalvesToTheEvenNeighbourAndSaturates)
{
    const std::pair<double, long long> cases[] = {
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {-1.5, -2},
        {333.34, 333},
        {2.5001, 3},
        {-1e300, -9'000'000'000'000'000'000LL},
    };
    for (const auto& [value, rounded] : cases) {
        EXPECT_EQ(roundHalfEven(value), rounded) << value;
    }
    EXPECT_EQ(roundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(WordForClock, GivesEachProfilesWordOrNothingOutside16Bits)
{
    const struct {
        const ClockProfile* profile;
        double mhz;
        std::optional<std::uint16_t> word;
    } cases[] = {
        {kMem, 200, 0x2710},     {kMem, 1000, 0xC350},   {kMem, 166.5, 0x2085},     {kMem, 333.5, 16675},
        {kMem, 0.03, 2},         {kMem, 1310.7, 0xFFFF}, {kMem, 1310.71, {}},       {kMem, -0.001, {}},
        {kCore, 75, 0x1D4C},     {kCore, 350, 0x88B8},   {kCore, 40, 0x0FA0},       {kCore, 125.5, 12550},
        {kCore, 655.35, 0xFFFF}, {kCore, 655.36, {}},    {kCore, std::nan(""), {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wordForClock(*c.profile, c.mhz), c.word) << c.profile->dialogName << ' ' << c.mhz;
    }
    EXPECT_EQ(shownHundredths(*kMem, 18300), 36600U);
    EXPECT_EQ(shownHundredths(*kCore, 14300), 14300U);
}

TEST(ColourAfterMove, FollowsTheThresholdsAndKeepsTheColourAtTheOrangeOne)
{
    using enum ClockColour;
    const struct {
        const ClockProfile* profile;
        int position;
        ClockColour before, after;
    } cases[] = {
        {kMem, 459, red, green},    {kMem, 461, green, orange},     {kMem, 530, red, orange},
        {kMem, 531, green, red},    {kMem, 460, orange, orange},    {kMem, 460, red, red},
        {kCore, 249, red, green},   {kCore, 251, green, orange},    {kCore, 290, red, orange},
        {kCore, 291, initial, red}, {kCore, 250, initial, initial},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(colourAfterMove(*c.profile, c.position, c.before), c.after)
            << c.profile->dialogName << ' ' << c.position;
    }
}

TEST(WriteClockWord, WritesTwoBytesLowFirstInsideTheFileOrNothing)
{
    const TempFile file(test::standardImage());
    const auto before = file.contents();
    for (const std::int64_t offset : {std::int64_t{-1}, std::int64_t{65535}, std::int64_t{65536}}) {
        EXPECT_FALSE(writeClockWord(file.path(), offset, 0x1234)) << offset;
    }
    EXPECT_EQ(file.contents(), before);
    ASSERT_TRUE(writeClockWord(file.path(), kMemLow, 0xC350));
    const auto after = file.contents();
    EXPECT_EQ(differingOffsets(before, after), pairAt(kMemLow));
    EXPECT_EQ(after[kMemLow], 0x50);
    EXPECT_EQ(after[kMemLow + 1], 0xC3);
}

// The word comes from Text1's number, fraction kept; the clock shown from the slider.
TEST(ApplyClock, WritesTheWordFromText1AndShowsTheSliderPosition)
{
    const struct {
        const ClockProfile* profile;
        double text1;
        std::int64_t low;
        std::uint16_t word;
        std::string_view text2, message;
    } cases[] = {
        {kMem, 333.5, kMemLow, 16675, "334 Mhz (DDR)",
         "La frequence Mémoire est maintenant portée à 334 Mhz (DDR)"},
        {kCore, 125.5, kCoreLow, 12550, "334 Mhz",
         "La frequence du GPU est maintenant portée à 334 Mhz (DDR)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.profile->dialogName);
        const TempFile file(test::standardImage());
        const auto before = file.contents();
        const auto applied = applyClock(*c.profile, file.path(), Standard::kClockKey, c.text1, 334);
        ASSERT_TRUE(applied);
        EXPECT_EQ(applied->text2, c.text2);
        EXPECT_EQ(applied->message, c.message);
        EXPECT_EQ(applied->stateText, "334 Mhz");
        const auto after = file.contents();
        EXPECT_EQ(differingOffsets(before, after), pairAt(c.low));
        EXPECT_EQ(after[c.low] | (after[c.low + 1] << 8), c.word);
    }
}

TEST(ApplyClock, RefusesWithoutTouchingTheFile)
{
    const struct {
        std::optional<std::int64_t> octclef;
        double text1;
        ClockError error;
    } cases[] = {
        {std::nullopt, 460, ClockError::noClockKey},
        {Standard::kClockKey, 1400, ClockError::badNumber},
        {Standard::kClockKey + 2, 366, ClockError::writeFailed},  // "r7" is no longer at Octclef
    };
    for (const auto& c : cases) {
        const TempFile file(test::standardImage());
        const auto applied = applyClock(*kMem, file.path(), c.octclef, c.text1, 400);
        EXPECT_EQ(applied.error(), c.error);
        EXPECT_EQ(file.contents(), test::standardImage().bytes());
    }
}

}  // namespace
}  // namespace vardane
