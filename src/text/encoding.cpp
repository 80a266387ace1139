#include "text/encoding.h"

#include <algorithm>
#include <array>

namespace vardane {
namespace {

// The characters of bytes 0x80..0x9F, where Windows-1252 departs from
// Latin-1. The five bytes it leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// stand for the control character of the same value.
constexpr std::array<char32_t, 32> kCharactersOf80To9F{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t characterOf(std::uint8_t byte)
{
    return byte >= 0x80 && byte <= 0x9F ? kCharactersOf80To9F[byte - 0x80] : char32_t{byte};
}

std::optional<std::uint8_t> byteOf(char32_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) {
        return static_cast<std::uint8_t>(character);
    }
    const auto* found = std::find(kCharactersOf80To9F.begin(), kCharactersOf80To9F.end(), character);
    if (found == kCharactersOf80To9F.end()) {
        return std::nullopt;
    }
    return static_cast<std::uint8_t>(0x80 + (found - kCharactersOf80To9F.begin()));
}

// A surrogate gets the three bytes of any code point of its range, which is
// what WTF-8 asks of a lone one.
void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isHighSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool isLowSurrogate(char32_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The surrogate that ED A0..BF 80..BF at the start of `text` stands for, in
// WTF-8 and never in UTF-8.
std::optional<char32_t> leadingSurrogate(std::string_view text)
{
    if (text.size() < 3 || static_cast<unsigned char>(text[0]) != 0xED) {
        return std::nullopt;
    }
    const auto second = static_cast<unsigned char>(text[1]);
    const auto third = static_cast<unsigned char>(text[2]);
    if (second < 0xA0 || second > 0xBF || third < 0x80 || third > 0xBF) {
        return std::nullopt;
    }
    return 0xD000 | ((second & 0x3FU) << 6) | (third & 0x3FU);
}

}  // namespace

std::string decodeWindows1252(std::span<const std::uint8_t> bytes)
{
    std::string text;
    for (const std::uint8_t byte : bytes) {
        appendUtf8(text, characterOf(byte));
    }
    return text;
}

std::optional<std::vector<std::uint8_t>> encodeWindows1252(std::u32string_view text)
{
    std::vector<std::uint8_t> bytes;
    for (const char32_t character : text) {
        const auto byte = byteOf(character);
        if (!byte) {
            return std::nullopt;
        }
        bytes.push_back(*byte);
    }
    return bytes;
}

std::optional<Utf8Sequence> firstUtf8Sequence(std::string_view text)
{
    if (text.empty()) {
        return std::nullopt;
    }
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) {
        return Utf8Sequence{lead, 1};
    }
    // The lead byte gives the length and the first bits; the range of the
    // second byte shuts out overlong forms, surrogates and code points past
    // U+10FFFF, as the Unicode table of well-formed sequences does.
    std::size_t length = 0;
    char32_t codePoint = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        codePoint = lead & 0x1FU;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        codePoint = lead & 0x0FU;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        codePoint = lead & 0x07U;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return std::nullopt;
    }
    if (text.size() < length) {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) {
            return std::nullopt;
        }
        codePoint = (codePoint << 6) | (next & 0x3FU);
    }
    return Utf8Sequence{codePoint, length};
}

std::optional<std::u32string> decodeUtf8(std::string_view text)
{
    std::u32string codePoints;
    while (!text.empty()) {
        const auto sequence = firstUtf8Sequence(text);
        if (!sequence) {
            return std::nullopt;
        }
        codePoints += sequence->codePoint;
        text.remove_prefix(sequence->length);
    }
    return codePoints;
}

std::string wtf8FromUtf16(std::u16string_view units)
{
    std::string text;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if (isHighSurrogate(unit) && i + 1 < units.size() && isLowSurrogate(units[i + 1])) {
            appendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (units[++i] - 0xDC00));
        } else {
            appendUtf8(text, unit);
        }
    }
    return text;
}

std::optional<std::u16string> utf16FromWtf8(std::string_view text)
{
    std::u16string units;
    while (!text.empty()) {
        if (const auto surrogate = leadingSurrogate(text)) {
            if (isLowSurrogate(*surrogate) && !units.empty() && isHighSurrogate(units.back())) {
                return std::nullopt;
            }
            units += static_cast<char16_t>(*surrogate);
            text.remove_prefix(3);
            continue;
        }
        const auto sequence = firstUtf8Sequence(text);
        if (!sequence) {
            return std::nullopt;
        }
        if (sequence->codePoint < 0x10000) {
            units += static_cast<char16_t>(sequence->codePoint);
        } else {
            units += static_cast<char16_t>(0xD800 + ((sequence->codePoint - 0x10000) >> 10));
            units += static_cast<char16_t>(0xDC00 + ((sequence->codePoint - 0x10000) & 0x3FF));
        }
        text.remove_prefix(sequence->length);
    }
    return units;
}

}  // namespace vardane
