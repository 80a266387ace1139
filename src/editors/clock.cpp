#include "editors/clock.h"

#include "image/image_file.h"
#include "image/layout.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace vardane {

const ClockProfile kMemoryClockProfile{
    .dialogName = "frmfreqmem",
    .caption = "Modification Freq Mémoire",
    .stateText = &ImageState::memClockText,
    .word = layout::kMemClockWord,
    .ddrFactor = 2,
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
    .stateText = &ImageState::coreClockText,
    .word = layout::kCoreClockWord,
    .ddrFactor = 1,
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
    std::string_view rest = compact;
    double sign = 1.0;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
        sign = rest.front() == '-' ? -1.0 : 1.0;
        rest.remove_prefix(1);
    }
    // A second sign, "inf" or "nan" would read as a number to from_chars.
    if (rest.empty() || (rest.front() != '.' && (rest.front() < '0' || rest.front() > '9'))) {
        return 0.0;
    }
    // from_chars reads "." as the separator whatever the C library's locale;
    // a digit-less text such as "." leaves the value at 0. Only hundreds of
    // digits are out of range; they read as too large to write.
    double value = 0.0;
    if (std::from_chars(rest.data(), rest.data() + rest.size(), value, std::chars_format::fixed).ec ==
        std::errc::result_out_of_range) {
        value = std::numeric_limits<double>::infinity();
    }
    return sign * value;
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
    const double exact = mhz * 100.0 / profile.ddrFactor;
    if (!std::isfinite(exact) || mhz < 0) {
        return std::nullopt;
    }
    const long long word = roundHalfEven(exact);
    if (word > 0xFFFF) {
        return std::nullopt;
    }
    return static_cast<std::uint16_t>(word);
}

std::uint32_t shownHundredths(const ClockProfile& profile, std::uint16_t word)
{
    return static_cast<std::uint32_t>(word) * static_cast<std::uint32_t>(profile.ddrFactor);
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
    const auto written = writeClockWord(path, *octclef + profile.word.distance, *word, clockKeyAt(*octclef));
    if (!written) {
        return Unexpected{written.error() == IoError::damaged ? ClockError::damaged
                                                              : ClockError::writeFailed};
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
