#include "editors/clock.h"

#include "image/image_file.h"
#include "image/layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace vardane {

const ClockProfile kMemoryClockProfile{
    .dialogName = "frmfreqmem",
    .caption = "Modification Freq Mémoire",
    .wordBeforeKey = 0x1A,
    .mhzPerWordUnitDivisor = 2,
    .normal = {200, 600, "200 Mhz", "600 Mhz"},
    .ouf = {100, 1000, "100 Mhz", "1 Ghz"},
    .orangeAbove = 460,
    .redAbove = 530,
    .openingSuffix = " (DDR)",
    .appliedText2Suffix = " Mhz (DDR)",
    .messagePrefix = "La frequence Mémoire est maintenant portée à ",
    .messageSuffix = " Mhz (DDR)",
    .stateSuffix = " Mhz",
    .smallStep = 2,
    .largeStep = 5,
    .tickInterval = 20,
    .currentCaption = "La frequence actuelle de la RAM est fixée à :",
    .unitCaption = "Mhz (DDR)",
    .opensGreen = true,
};

const ClockProfile kCoreClockProfile{
    .dialogName = "frmfreqCore",
    .caption = "Modificarion freq core",
    .wordBeforeKey = 0x46,
    .mhzPerWordUnitDivisor = 1,
    .normal = {75, 350, "75 Mhz", "350 Mhz"},
    .ouf = {20, 450, "20 Mhz", "450 Mhz"},
    .orangeAbove = 250,
    .redAbove = 290,
    .openingSuffix = "",
    .appliedText2Suffix = " Mhz",
    .messagePrefix = "La frequence du GPU est maintenant portée à ",
    .messageSuffix = " Mhz (DDR)",
    .stateSuffix = " Mhz",
    .smallStep = 1,
    .largeStep = 5,
    .tickInterval = 25,
    .currentCaption = "La fréquence actuelle du Core est fixée à :",
    .unitCaption = "Mhz (DDR)",
    .opensGreen = false,
};

double leadingNumber(std::string_view text)
{
    std::string compact;
    for (const char c : text) {
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') {
            compact += c;
        }
    }
    std::size_t at = 0;
    double sign = 1.0;
    if (at < compact.size() && (compact[at] == '+' || compact[at] == '-')) {
        sign = compact[at] == '-' ? -1.0 : 1.0;
        ++at;
    }
    // Digits are gathered as text and converted once, so 166.5 is the double
    // nearest 166.5 and not an accumulation of rounding steps.
    std::string digits;
    while (at < compact.size() && compact[at] >= '0' && compact[at] <= '9') {
        digits += compact[at++];
    }
    if (at < compact.size() && compact[at] == '.') {
        digits += compact[at++];
        while (at < compact.size() && compact[at] >= '0' && compact[at] <= '9') {
            digits += compact[at++];
        }
    }
    if (digits.empty() || digits == ".") {
        return 0.0;
    }
    return sign * std::strtod(digits.c_str(), nullptr);
}

long long roundHalfEven(double value)
{
    // nearbyint rounds in the current mode, which nothing here changes from
    // the default: to nearest, ties to even. Casting a value beyond long long
    // is undefined, so such values saturate and NaN gives 0.
    constexpr double kLimit = 9.0e18;
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<long long>(std::nearbyint(std::clamp(value, -kLimit, kLimit)));
}

std::optional<std::uint16_t> wordForClock(const ClockProfile& profile, double mhz)
{
    const double exact = mhz * 100.0 / profile.mhzPerWordUnitDivisor;
    if (!std::isfinite(exact) || mhz < 0 || exact > 65535.5) {
        return std::nullopt;
    }
    const long long word = roundHalfEven(exact);
    if (word < 0 || word > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(word);
}

std::uint32_t shownHundredths(const ClockProfile& profile, std::uint16_t word)
{
    return static_cast<std::uint32_t>(word) * static_cast<std::uint32_t>(profile.mhzPerWordUnitDivisor);
}

ClockColour colourAfterMove(const ClockProfile& profile, int position, ClockColour current)
{
    ClockColour colour = current;
    if (position > profile.orangeAbove) {
        colour = ClockColour::orange;
    }
    if (position > profile.redAbove) {
        colour = ClockColour::red;
    }
    if (position < profile.orangeAbove) {
        colour = ClockColour::green;
    }
    return colour;
}

Expected<void, IoError> writeClockWord(const std::filesystem::path& path, std::int64_t offset,
                                       std::uint16_t word, const std::optional<Expectation>& expected)
{
    const std::array<std::uint8_t, 2> bytes{static_cast<std::uint8_t>(word & 0xFF),
                                            static_cast<std::uint8_t>(word >> 8)};
    return ImageFile::write(path, offset, bytes, expected);
}

Expectation clockKeyAt(std::int64_t octclef)
{
    return Expectation{octclef, {layout::kClockKey.begin(), layout::kClockKey.end()}};
}

Expected<ClockApplied, ClockError> applyClock(const ClockProfile& profile, const std::filesystem::path& path,
                                              std::optional<std::int64_t> octclef, double text1Number,
                                              int sliderPosition)
{
    if (!octclef) {
        return Unexpected{ClockError::noClockKey};
    }
    const auto word = wordForClock(profile, text1Number);
    if (!word) {
        return Unexpected{ClockError::badNumber};
    }
    if (!writeClockWord(path, *octclef - profile.wordBeforeKey, *word, clockKeyAt(*octclef))) {
        return Unexpected{ClockError::writeFailed};
    }
    const std::string shown = std::to_string(sliderPosition);
    ClockApplied applied;
    applied.word = *word;
    applied.text2 = shown + std::string(profile.appliedText2Suffix);
    applied.message = std::string(profile.messagePrefix) + shown + std::string(profile.messageSuffix);
    applied.stateText = shown + std::string(profile.stateSuffix);
    return applied;
}

}  // namespace vardane
