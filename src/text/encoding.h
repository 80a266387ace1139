// Text as the image stores it (Windows-1252, one byte per character), as the
// tool shows it (UTF-8), and as Windows names files (UTF-16, carried as WTF-8);
// and the characters that are never shown as they are.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vardane {

// Whether a character, shown as it is, could act on a terminal or make a
// text read as another: the C0 and C1 controls and DEL, the bidirectional
// controls, the line and paragraph separators, and the invisible U+200B and
// U+FEFF. Names show such characters escaped, texts with a stand-in, and the
// header field refuses them.
[[nodiscard]] constexpr bool isUnsafeToShow(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200B || c == 0x200E || c == 0x200F ||
           c == 0x2028 || c == 0x2029 || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) ||
           c == 0xFEFF;
}

// Every byte maps to one character; the five bytes Windows-1252 leaves
// undefined map to the control character of the same value, so decoding
// never loses a byte.
[[nodiscard]] std::string decodeWindows1252(std::span<const std::uint8_t> bytes);

// One byte per character, or nothing when a character has no byte.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> encodeWindows1252(std::u32string_view text);

// The well-formed UTF-8 sequence at the start of `text`: its code point and
// its length in bytes; nothing when the first bytes are not one.
struct Utf8Sequence {
    char32_t codePoint;
    std::size_t length;
};
[[nodiscard]] std::optional<Utf8Sequence> firstUtf8Sequence(std::string_view text);

// The code points of a UTF-8 text, or nothing when it is not well-formed.
[[nodiscard]] std::optional<std::u32string> decodeUtf8(std::string_view text);

// WTF-8: UTF-8 in which a surrogate that is not half of a pair (Windows takes
// such a name) stands as the three bytes UTF-8's rule would give it, so that
// every UTF-16 name has one text and comes back from it unchanged, where
// UTF-8 would have to drop it or put another character in its place.
[[nodiscard]] std::string wtf8FromUtf16(std::u16string_view units);

// The UTF-16 of a WTF-8 text, or nothing when it is not well-formed: a pair
// of surrogates must come as the four bytes of its code point.
[[nodiscard]] std::optional<std::u16string> utf16FromWtf8(std::string_view text);

}  // namespace vardane
