#include "editors/clock.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vardane {
namespace {

using test::differingOffsets;
using test::Standard;
using test::standardImage;
using test::TempFile;

constexpr std::int64_t kMemLow = Standard::kClockKey - 26;
constexpr std::int64_t kCoreLow = Standard::kClockKey - 70;

std::vector<std::size_t> pairAt(std::int64_t low)
{
    return {static_cast<std::size_t>(low), static_cast<std::size_t>(low + 1)};
}

struct NumberCase {
    std::string_view text;
    double number;
};

TEST(LeadingNumber, ReadsSignDigitsAndPointFractionOnly)
{
    const NumberCase cases[] = {
        {"333,34 Mhz", 333.0},  // a comma ends the number
        {"366 Mhz", 366.0},    {"166.5", 166.5}, {"333.5 Mhz", 333.5},
        {" 3 6 6 Mhz", 366.0},  // blanks anywhere are ignored
        {"- 12.5x", -12.5},    {"+7", 7.0},      {".5 Mhz", 0.5},
        {"12.3.4", 12.3},      {"1e3", 1.0},  // no exponent
        {"1 Ghz", 1.0},        {"Mhz 366", 0.0}, {"", 0.0},
        {"   ", 0.0},          {"-", 0.0},       {".", 0.0},
        {"+.", 0.0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(leadingNumber(c.text), c.number) << '"' << c.text << '"';
    }
}

TEST(RoundHalfEven, RoundsHalvesToTheEvenNeighbourAndSaturates)
{
    const std::pair<double, long long> cases[] = {
        {0.5, 0},     {1.5, 2},      {2.5, 2},    {-0.5, 0},   {-1.5, -2},   {333.5, 334},
        {332.5, 332}, {333.34, 333}, {2.4999, 2}, {2.5001, 3}, {125.5, 126}, {124.5, 124},
    };
    for (const auto& [value, rounded] : cases) {
        EXPECT_EQ(roundHalfEven(value), rounded) << value;
    }
    EXPECT_EQ(roundHalfEven(1e300), 9'000'000'000'000'000'000LL);
    EXPECT_EQ(roundHalfEven(-std::numeric_limits<double>::infinity()), -9'000'000'000'000'000'000LL);
    EXPECT_EQ(roundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(roundHalfEven(leadingNumber(std::string(400, '9'))), 9'000'000'000'000'000'000LL);
}

struct WordCase {
    const ClockProfile* profile = nullptr;
    double mhz = 0;
    std::optional<std::uint16_t> word;
};

TEST(WordForClock, GivesTheWordOfEachProfileOrNothingOutside16Bits)
{
    const auto* mem = &kMemoryClockProfile;
    const auto* core = &kCoreClockProfile;
    const WordCase cases[] = {
        {mem, 200, 0x2710},   {mem, 600, 0x7530},  {mem, 100, 0x1388},     {mem, 1000, 0xC350},
        {mem, 460, 0x59D8},   {mem, 366, 0x477C},  {mem, 166.5, 0x2085},   {mem, 333.5, 16675},
        {mem, 333, 16650},    {mem, 0.03, 2},      {mem, 0.01, 0},         {mem, 1310.7, 0xFFFF},
        {mem, 1310.71, {}},   {mem, 1400, {}},     {mem, -1, {}},          {mem, -0.001, {}},
        {core, 75, 0x1D4C},   {core, 350, 0x88B8}, {core, 20, 0x07D0},     {core, 40, 0x0FA0},
        {core, 41, 0x1004},   {core, 450, 0xAFC8}, {core, 250, 0x61A8},    {core, 143, 0x37DC},
        {core, 125.5, 12550}, {core, 125, 12500},  {core, 655.35, 0xFFFF}, {core, 655.36, {}},
        {core, 700, {}},      {core, -1, {}},      {core, 1e300, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wordForClock(*c.profile, c.mhz), c.word) << c.profile->dialogName << ' ' << c.mhz;
    }
}

TEST(ShownHundredths, MemoryShowsTheDdrRate)
{
    EXPECT_EQ(shownHundredths(kMemoryClockProfile, 18300), 36600U);
    EXPECT_EQ(shownHundredths(kMemoryClockProfile, 0xFFFF), 131070U);
    EXPECT_EQ(shownHundredths(kCoreClockProfile, 14300), 14300U);
    EXPECT_EQ(shownHundredths(kCoreClockProfile, 0xFFFF), 65535U);
}

struct ColourCase {
    const ClockProfile* profile;
    int position;
    ClockColour before;
    ClockColour after;
};

TEST(ColourAfterMove, FollowsTheThresholdsAndKeepsTheColourAtTheOrangeOne)
{
    using enum ClockColour;
    const auto* mem = &kMemoryClockProfile;
    const auto* core = &kCoreClockProfile;
    const ColourCase cases[] = {
        {mem, 459, red, green},        {mem, 461, green, orange},   {mem, 530, red, orange},
        {mem, 531, green, red},        {mem, 100, red, green},      {mem, 1000, green, red},
        {mem, 460, green, green},      {mem, 460, orange, orange},  {mem, 460, red, red},
        {core, 249, red, green},       {core, 251, green, orange},  {core, 290, red, orange},
        {core, 291, initial, red},     {core, 20, initial, green},  {core, 450, green, red},
        {core, 250, initial, initial}, {core, 250, orange, orange}, {core, 250, red, red},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(colourAfterMove(*c.profile, c.position, c.before), c.after)
            << c.profile->dialogName << ' ' << c.position;
    }
}

TEST(WriteClockWord, WritesTwoBytesLowFirstOrNothing)
{
    const TempFile file(standardImage());
    const auto before = file.contents();
    const auto size = static_cast<std::int64_t>(before.size());
    for (const std::int64_t offset : {std::int64_t{-1}, std::int64_t{-2}, size - 1, size, size + 100}) {
        EXPECT_FALSE(writeClockWord(file.path(), offset, 0x1234)) << offset;
    }
    EXPECT_EQ(file.contents(), before);
    ASSERT_TRUE(writeClockWord(file.path(), kMemLow, 0xC350));
    const auto after = file.contents();
    EXPECT_EQ(differingOffsets(before, after), pairAt(kMemLow));
    EXPECT_EQ(after[kMemLow], 0x50);
    EXPECT_EQ(after[kMemLow + 1], 0xC3);

    const auto missing = file.folder() / "absent.rom";
    EXPECT_FALSE(writeClockWord(missing, 0, 0x1234));
    EXPECT_FALSE(std::filesystem::exists(missing));
}

// The word comes from Text1's number (keeping its fraction), the shown clock from the slider.
TEST(ApplyClock, WritesTheWordFromText1AndShowsTheSliderPosition)
{
    const struct {
        const ClockProfile* profile;
        double text1Number;
        int slider;
        std::int64_t low;
        std::uint16_t word;
        std::string_view text2, message, stateText;
    } cases[] = {
        {&kMemoryClockProfile, 333.5, 334, kMemLow, 0x4123, "334 Mhz (DDR)",
         "La frequence Mémoire est maintenant portée à 334 Mhz (DDR)", "334 Mhz"},
        {&kCoreClockProfile, 125.5, 126, kCoreLow, 0x3106, "126 Mhz",
         "La frequence du GPU est maintenant portée à 126 Mhz (DDR)", "126 Mhz"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.profile->dialogName);
        const TempFile file(standardImage());
        const auto before = file.contents();
        const auto applied =
            applyClock(*c.profile, file.path(), Standard::kClockKey, c.text1Number, c.slider);
        ASSERT_TRUE(applied);
        EXPECT_EQ(applied->word, c.word);
        EXPECT_EQ(applied->text2, c.text2);
        EXPECT_EQ(applied->message, c.message);
        EXPECT_EQ(applied->stateText, c.stateText);
        const auto after = file.contents();
        EXPECT_EQ(differingOffsets(before, after), pairAt(c.low));
        EXPECT_EQ(after[c.low] | (after[c.low + 1] << 8), c.word);
    }
}

TEST(ApplyClock, RefusesWithoutTouchingTheFile)
{
    const auto* mem = &kMemoryClockProfile;
    const auto* core = &kCoreClockProfile;
    const struct {
        std::string_view name;
        const ClockProfile* profile;
        std::optional<std::int64_t> octclef;
        double text1Number;
        ClockError error;
    } cases[] = {
        {"no clock key", mem, std::nullopt, 460, ClockError::noClockKey},
        {"word above 16 bits", mem, Standard::kClockKey, 1400, ClockError::badNumber},
        {"negative clock", core, Standard::kClockKey, -1, ClockError::badNumber},
        {"core above 655.35", core, Standard::kClockKey, 700, ClockError::badNumber},
        {"\"r7\" no longer at Octclef", mem, Standard::kClockKey + 2, 366, ClockError::writeFailed},
        {"word before the file", core, 10, 143, ClockError::writeFailed},
        {"word past the end", mem, 65536 + 26, 366, ClockError::writeFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempFile file(standardImage());
        const auto before = file.contents();
        const auto applied = applyClock(*c.profile, file.path(), c.octclef, c.text1Number, 400);
        ASSERT_FALSE(applied);
        EXPECT_EQ(applied.error(), c.error);
        EXPECT_EQ(file.contents(), before);
    }
}

}  // namespace
}  // namespace vardane
