// The clock editors: the constants of each (ClockProfile), the word for a
// chosen clock, and Apply without any window.
#pragma once

#include "image/expected.h"
#include "image/image_file.h"
#include "image/image_state.h"
#include "image/layout.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vardane {

struct Rgb {
    int red, green, blue;
};
inline constexpr Rgb kGreen{0, 192, 0};
inline constexpr Rgb kOrange{255, 128, 0};
inline constexpr Rgb kRed{255, 0, 0};

struct ClockRange {
    int minimum;
    int maximum;
    std::string_view minimumCaption;
    std::string_view maximumCaption;
};

enum class ClockColour { initial, green, orange, red };

struct ClockProfile {
    std::string_view dialogName;  // frmfreqmem / frmfreqCore
    std::string_view caption;
    std::string ImageState::*stateText;  // the main window's text of this clock
    layout::Field word;                  // where the word lies, from Octclef
    int ddrFactor;                       // the clock shown is word * ddrFactor / 100 MHz
    ClockRange normal;
    ClockRange ouf;
    int orangeAbove;
    int redAbove;
    std::string_view openingSuffix;       // appended to the state text in Text2 at opening
    std::string_view appliedText2Suffix;  // after the clock in Text2 after a write
    std::string_view messagePrefix;
    std::string_view messageSuffix;
    std::string_view stateSuffix;  // after the clock in the state text after a write
    int smallStep;
    int largeStep;
    int tickInterval;
    std::string_view currentCaption;  // Label2
    std::string_view unitCaption;     // Label1
    bool opensGreen;                  // otherwise the toolkit's default colour
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

// The word for a clock v in MHz (rounded half to even, in double precision),
// or nothing when it does not fit 16 bits.
[[nodiscard]] std::optional<std::uint16_t> wordForClock(const ClockProfile& profile, double mhz);

// The clock of a word as a shown text's number, in hundredths of a MHz
// (the memory profile shows the DDR rate, twice the word's clock).
[[nodiscard]] std::uint32_t shownHundredths(const ClockProfile& profile, std::uint16_t word);

// Colour of Text1 and Label1 after the slider moved to p; `current` is kept
// where no threshold applies (exactly at the orange threshold).
[[nodiscard]] ClockColour colourAfterMove(const ClockProfile& profile, int position, ClockColour current);

// Writes word mod 256 at offset, word div 256 at offset + 1, in one write,
// and only while `expected` (when given) still holds.
[[nodiscard]] Expected<void, IoError> writeClockWord(const std::filesystem::path& path, std::int64_t offset,
                                                     std::uint16_t word,
                                                     const std::optional<Expectation>& expected = {});

// What must stand in the file for a clock word to be written through Octclef:
// the "r7" key itself, so a word never lands in a file that has changed since
// it was opened.
[[nodiscard]] Expectation clockKeyAt(std::int64_t octclef);

enum class ClockError {
    noClockKey,   // the image has no "r7" anchor: no offset to write at
    badNumber,    // Text1's number gives no word that fits 16 bits
    writeFailed,  // the file could not be opened or written; nothing was written
    damaged,      // the write failed part-way and the old bytes could not be put back
};

struct ClockApplied {
    std::uint16_t word = 0;
    std::string text2;      // Text2 after the write
    std::string message;    // the success message
    std::string stateText;  // the new memClockText / coreClockText
};

// Apply: the word from Text1's leading number, the shown clock from the
// slider position.
[[nodiscard]] Expected<ClockApplied, ClockError> applyClock(const ClockProfile& profile,
                                                            const std::filesystem::path& path,
                                                            std::optional<std::int64_t> octclef,
                                                            double text1Number, int sliderPosition);

}  // namespace vardane
