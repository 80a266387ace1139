#include "image/text.h"

#include <array>

namespace vardane {
namespace {

// Bytes 0x80..0x9F; the five that Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) stand for the control character of the same value.
constexpr std::array<char32_t, 32> kHighControls{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t characterOf(std::uint8_t byte)
{
    return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : char32_t{byte};
}

std::optional<std::uint8_t> byteOf(char32_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        return static_cast<std::uint8_t>(character);
    }
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == character) {
            return static_cast<std::uint8_t>(0x80 + i);
        }
    }
    return std::nullopt;
}

// Writes c at out and returns where the next character goes. Windows-1252
// characters all lie below U+10000, so three bytes are the most one takes.
char* putUtf8(char* out, char32_t c)
{
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xE0 | (c >> 12));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// The next character of a UTF-8 text, or nothing when the text is malformed
// there (overlong forms, surrogates and truncated sequences included).
std::optional<char32_t> nextUtf8(std::string_view text, std::size_t& at)
{
    const auto lead = static_cast<std::uint8_t>(text[at]);
    std::size_t length = 0;
    char32_t c = 0;
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        c = lead & 0x07;
    } else {
        return std::nullopt;
    }
    if (text.size() - at < length) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<std::uint8_t>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        c = (c << 6) | (next & 0x3F);
    }
    constexpr std::array<char32_t, 5> kSmallest{0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        return std::nullopt;
    }
    at += length;
    return c;
}

}  // namespace

std::string decodeWindows1252(std::span<const std::uint8_t> bytes)
{
    std::string text(bytes.size() * 3, '\0');
    char* out = text.data();
    for (const std::uint8_t byte : bytes) {
        out = putUtf8(out, characterOf(byte));
    }
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

std::optional<std::vector<std::uint8_t>> encodeWindows1252(std::string_view utf8)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const auto character = nextUtf8(utf8, at);
        if (!character) {
            return std::nullopt;
        }
        const auto byte = byteOf(*character);
        if (!byte) {
            return std::nullopt;
        }
        bytes.push_back(*byte);
    }
    return bytes;
}

std::string formatHundredths(std::uint32_t hundredths, std::string_view decimalSeparator)
{
    std::string text = std::to_string(hundredths / 100);
    const std::uint32_t cents = hundredths % 100;
    if (cents != 0) {
        text += decimalSeparator;
        text += static_cast<char>('0' + cents / 10);
        if (cents % 10 != 0) {
            text += static_cast<char>('0' + cents % 10);
        }
    }
    return text;
}

}  // namespace vardane
