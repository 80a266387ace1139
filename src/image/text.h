// Text as the image stores it (Windows-1252, one byte per character) and as
// the tool shows it (UTF-8).
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vardane {

// Every byte maps to one character; the five bytes Windows-1252 leaves
// undefined map to the control character of the same value, so decoding
// never loses a byte.
[[nodiscard]] std::string decodeWindows1252(std::span<const std::uint8_t> bytes);

// One byte per character, or nothing when a character has no byte.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> encodeWindows1252(std::u32string_view text);

// A clock given in hundredths of a MHz, as the main window shows it: at most
// two decimals, trailing zeros dropped, no separator for a whole number.
// Integer arithmetic only, so 16667 is exactly "166" + separator + "67".
[[nodiscard]] std::string formatHundredths(std::uint32_t hundredths, std::string_view decimalSeparator);

// The well-formed UTF-8 sequence at the start of `text`: its code point and
// its length in bytes; nothing when the first bytes are not one.
struct Utf8Sequence {
    char32_t codePoint;
    std::size_t length;
};
[[nodiscard]] std::optional<Utf8Sequence> firstUtf8Sequence(std::string_view text);

// The code points of a UTF-8 text, or nothing when it is not well-formed.
[[nodiscard]] std::optional<std::u32string> decodeUtf8(std::string_view text);

}  // namespace vardane
