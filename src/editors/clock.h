// The clock words: where each lies, what clock a word stands for, and the
// one operation that writes a chosen clock.
#pragma once

#include "image/image_file.h"
#include "image/layout.h"
#include "image/open_image.h"
#include "image/outcome.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vardane {

struct ClockRange {
    int minimum;
    int maximum;
};

enum class Clock { memory, core };

struct ClockProfile {
    Clock clock;
    layout::Field word;                                  // where the word lies, from Octclef
    std::optional<std::uint16_t> ImageFacts::*wordRead;  // the word as an open read it
    int ddrFactor;                                       // the clock shown is word * ddrFactor / 100 MHz
    ClockRange normal;
    ClockRange ouf;  // the "Ouf Mode" range
};

extern const ClockProfile kMemoryClockProfile;
extern const ClockProfile kCoreClockProfile;

// The number a text starts with: blanks anywhere are ignored, then an optional
// sign, digits and a fraction after "."; any other character ends it, so a ","
// does. 0 when the text does not start with a number.
[[nodiscard]] double leadingNumber(std::string_view text);

// Rounded to the nearest integer, halves to the even one; magnitudes beyond
// 9e18 saturate there, and NaN gives 0.
[[nodiscard]] long long roundHalfEven(double value);

// The clock of a word as a shown text's number, in hundredths of a MHz
// (the memory profile shows the DDR rate, twice the word's clock).
[[nodiscard]] std::uint32_t shownHundredths(const ClockProfile& profile, std::uint16_t word);

// Writes word mod 256 at offset, word div 256 at offset + 1, in one write,
// and only while `expected` still holds.
[[nodiscard]] Outcome<void> writeClockWord(const KnownFile& file, std::int64_t offset, std::uint16_t word,
                                           const Expectation& expected = {});

// Writes the word of a clock in MHz (mhz * 100 / ddrFactor, rounded half to
// even) at its distance from Octclef, when the clock lies in `range` (both
// ends included), and only while "r7" still stands at Octclef, so a word
// never lands in a file that has changed since it was opened; with
// `wordSeen`, only while the file still holds that word, so that no other
// program's clock is overwritten unseen. Gives the word written.
[[nodiscard]] Outcome<std::uint16_t> writeClock(const ClockProfile& profile, const KnownFile& file,
                                                std::optional<std::int64_t> octclef, double mhz,
                                                const ClockRange& range,
                                                std::optional<std::uint16_t> wordSeen = std::nullopt);

}  // namespace vardane
