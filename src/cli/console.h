// Where a command writes: its result on standard output, a refusal as one
// line on standard error, and the locale's decimal separator for clocks.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace vardane::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitInvalidChecksum = 1;
inline constexpr int kExitDifferent = 1;
inline constexpr int kExitRefused = 2;

struct Console {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    std::string decimalSeparator;
    // Put before every refusal's reason: the image's path when a command
    // works through several.
    std::string reasonPrefix;
};

// Control characters shown as "?", so that a text from the image or from the
// command line can neither break a line nor drive the terminal.
[[nodiscard]] std::string printable(std::string_view utf8);

// "0x" and upper-case hex digits, at least `digits` of them.
[[nodiscard]] std::string hexText(std::uint64_t value, int digits);

// Prints the reason on one line and gives the refusal status, so a command
// can end with `return refuse(console, ...)`.
[[nodiscard]] int refuse(Console& console, std::string_view reason);

// The same for a command that writes: it says that nothing was written,
// unless the reason is that the file may be damaged.
[[nodiscard]] int refuseWrite(Console& console, std::string_view reason);

}  // namespace vardane::cli
