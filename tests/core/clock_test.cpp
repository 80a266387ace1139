#include "editors/clock.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <optional>
#include <string>

namespace vardane {
namespace {

using test::Standard;

const ClockProfile* const kMem = &kMemoryClockProfile;
const ClockProfile* const kCore = &kCoreClockProfile;

// The same reading whatever the C library's numeric locale: in fr_FR.UTF-8
// its decimal point is a comma, and "333.5" must still read as 333.5.
TEST(LeadingNumber, ReadsSignDigitsAndPointFractionInEveryLocale)
{
    const std::pair<std::string_view, double> cases[] = {
        // clang-format off
        {"333,34 Mhz", 333.0}, {"333.5 Mhz", 333.5}, {" 3 6 6 Mhz", 366.0}, {"1999.95", 1999.95}, {"- 12.5x", -12.5},
        {"+7", 7.0}, {".5 Mhz", 0.5}, {"0.5", 0.5}, {"12.3.4", 12.3}, {"1e3", 1.0}, {"Mhz 366", 0.0}, {"", 0.0},
        {"--5", 0.0}, {"nan", 0.0},
        // clang-format on
    };
    for (const char* locale : {"C", "fr_FR.UTF-8"}) {
        ASSERT_NE(std::setlocale(LC_NUMERIC, locale), nullptr) << locale << " is missing: run scripts/setup";
        for (const auto& [text, number] : cases) {
            EXPECT_DOUBLE_EQ(leadingNumber(text), number) << locale << " \"" << text << '"';
        }
    }
    std::setlocale(LC_NUMERIC, "C");
}

// Rounded to the nearest word, halves to the even one, in 16 bits or not at all.
TEST(WordForClock, GivesEachProfilesWordOrNothingOutside16Bits)
{
    const struct {
        const ClockProfile* profile;
        double mhz;
        std::optional<std::uint16_t> word;
    } cases[] = {
        // clang-format off
        {kMem, 200, 0x2710}, {kMem, 1000, 0xC350}, {kMem, 166.5, 0x2085}, {kMem, 0.03, 2}, {kMem, 0.01, 0},
        {kMem, 1310.7, 0xFFFF}, {kMem, 1310.71, {}}, {kMem, -0.001, {}}, {kCore, 350, 0x88B8}, {kCore, 40, 0x0FA0},
        {kCore, 655.35, 0xFFFF}, {kCore, 655.36, {}}, {kCore, std::nan(""), {}},
        {kCore, leadingNumber(std::string(400, '9')), {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wordForClock(*c.profile, c.mhz), c.word) << c.profile->dialogName << ' ' << c.mhz;
    }
    EXPECT_EQ(roundHalfEven(-2.5), -2);
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
        // clang-format off
        {kMem, 459, red, green}, {kMem, 461, green, orange}, {kMem, 530, red, orange}, {kMem, 531, green, red},
        {kMem, 460, red, red}, {kCore, 249, red, green}, {kCore, 251, green, orange}, {kCore, 290, red, orange},
        {kCore, 291, initial, red}, {kCore, 250, initial, initial},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(colourAfterMove(*c.profile, c.position, c.before), c.after)
            << c.profile->dialogName << ' ' << c.position;
    }
}

// The word comes from Text1's number, fraction kept, low byte first at its
// distance from Octclef; the clock shown comes from the slider.
TEST(ApplyClock, WritesTheWordFromText1OrRefusesAndWritesNothing)
{
    const struct {
        const ClockProfile* profile;
        std::optional<std::int64_t> octclef;
        double text1;
        Expected<std::uint16_t, ClockError> word;
    } cases[] = {
        {kMem, Standard::kClockKey, 333.5, std::uint16_t{16675}},
        {kCore, Standard::kClockKey, 125.5, std::uint16_t{12550}},
        {kMem, std::nullopt, 460, Unexpected{ClockError::noClockKey}},
        {kMem, Standard::kClockKey, 1400, Unexpected{ClockError::badNumber}},
        {kCore, Standard::kClockKey + 2, 143, Unexpected{ClockError::writeFailed}},  // "r7" is not at Octclef
    };
    for (const auto& c : cases) {
        const test::TempFile file(test::standardImage());
        const auto before = file.contents();
        const auto applied = applyClock(*c.profile, file.path(), c.octclef, c.text1, 334);
        if (!c.word) {
            EXPECT_EQ(applied.error(), c.word.error());
            EXPECT_EQ(file.contents(), before);
            continue;
        }
        const bool memory = c.profile == kMem;
        EXPECT_EQ(applied->text2, memory ? "334 Mhz (DDR)" : "334 Mhz");
        EXPECT_EQ(applied->message, std::string(memory ? "La frequence Mémoire" : "La frequence du GPU") +
                                        " est maintenant portée à 334 Mhz (DDR)");
        EXPECT_EQ(applied->stateText, "334 Mhz");
        EXPECT_EQ(file.contents(),
                  test::standardImage().putWord(Standard::kClockKey - (memory ? 26 : 70), *c.word).bytes());
    }
}

}  // namespace
}  // namespace vardane
