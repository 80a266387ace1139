#include "editors/clock.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace vardane {

const ClockProfile kMemoryClockProfile{
    .clock = Clock::memory,
    .word = layout::kMemClockWord,
    .wordRead = &ImageFacts::memClockWord,
    .ddrFactor = layout::kMemClockDdrFactor,
    .normal = {200, 600},
    .ouf = {100, 1000},
};

const ClockProfile kCoreClockProfile{
    .clock = Clock::core,
    .word = layout::kCoreClockWord,
    .wordRead = &ImageFacts::coreClockWord,
    .ddrFactor = 1,
    .normal = {75, 350},
    .ouf = {20, 450},
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

std::uint32_t shownHundredths(const ClockProfile& profile, std::uint16_t word)
{
    return static_cast<std::uint32_t>(word) * static_cast<std::uint32_t>(profile.ddrFactor);
}

namespace {

std::vector<std::uint8_t> lowByteFirst(std::uint16_t word)
{
    return {static_cast<std::uint8_t>(word & 0xFF), static_cast<std::uint8_t>(word >> 8)};
}

}  // namespace

Outcome<void> writeClockWord(const KnownFile& file, std::int64_t offset, std::uint16_t word,
                             const Expectation& expected)
{
    return ImageFile::write(file, offset, lowByteFirst(word), expected);
}

Outcome<std::uint16_t> writeClock(const ClockProfile& profile, const KnownFile& file,
                                  std::optional<std::int64_t> octclef, double mhz, const ClockRange& range,
                                  std::optional<std::uint16_t> wordSeen)
{
    if (!octclef) {
        return refused(Refusal::noClockKey);
    }
    // Written so that NaN falls outside too. Every range's words fit 16 bits.
    if (!(mhz >= range.minimum && mhz <= range.maximum)) {
        return refused(Refusal::clockOutOfRange);
    }
    const auto word = static_cast<std::uint16_t>(roundHalfEven(mhz * 100.0 / profile.ddrFactor));
    const std::int64_t offset = *octclef + profile.word.distance;
    Expectation expected{{{*octclef, {layout::kClockKey.begin(), layout::kClockKey.end()}}}, {}};
    if (wordSeen) {
        expected.runs.push_back({offset, lowByteFirst(*wordSeen)});
    }
    return writeClockWord(file, offset, word, expected).map([word] { return word; });
}

}  // namespace vardane
