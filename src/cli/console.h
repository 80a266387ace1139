// Where a command reads and writes: the list that "-" reads, its result on
// standard output, a refusal as one line on standard error, and the locale's
// decimal separator for clocks.
#pragma once

#include "image/outcome.h"

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>

namespace vardane::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitInvalidChecksum = 1;
inline constexpr int kExitDifferent = 1;
inline constexpr int kExitRefused = 2;

struct Console {
    std::FILE* in;
    std::ostream& out;
    std::ostream& err;
    std::string decimalSeparator;
    // Put before every refusal's reason: the image's path when a command
    // works through several.
    std::string reasonPrefix;
};

// The one place where a refusal of the core becomes words.
[[nodiscard]] std::string_view reasonFor(Refusal why);

// Prints the reason on one line and gives the refusal status, so a command
// can end with `return refuse(console, ...)`.
[[nodiscard]] int refuse(const Console& console, std::string_view reason);

// The same for a command that writes: it says that nothing was written.
[[nodiscard]] int refuseWrite(const Console& console, std::string_view reason);

// A refusal of the core met by a command that writes, with its detail (the
// value typed, the width of a field) after the words: nothing was written,
// unless the file may be damaged, which is then all it says.
[[nodiscard]] int refuseWrite(const Console& console, Refusal why, std::string_view detail = {});

// A text from the image or the command line as a line shows it: characters
// unsafe to show and bytes that are not UTF-8 become "?", so that it can
// neither break a line nor drive the terminal.
[[nodiscard]] std::string printable(std::string_view text);

// The items one after the other, a comma between two.
template <typename Items>
[[nodiscard]] std::string joined(const Items& items)
{
    std::string text;
    for (const auto& item : items) {
        text.append(text.empty() ? "" : ", ").append(item);
    }
    return text;
}

// "0x" and upper-case hex digits, at least `digits` of them.
[[nodiscard]] std::string hexText(std::uint64_t value, int digits);

}  // namespace vardane::cli
