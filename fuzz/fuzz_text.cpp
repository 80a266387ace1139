// The text helpers on any bytes: Windows-1252 and UTF-8 both ways, the clock
// formatter, and the number a shown text starts with, carried on into its
// rounding.
#include "editors/clock.h"
#include "text/encoding.h"
#include "text/numbers.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

namespace {

using Bytes = std::span<const std::uint8_t>;

void require(bool condition, const char* broken)
{
    if (!condition) {
        std::fprintf(stderr, "text: %s\n", broken);
        std::abort();
    }
}

// Decoding keeps every byte, so encoding gives the same bytes back.
void checkBytesRoundTrip(Bytes bytes)
{
    const std::string text = vardane::decodeWindows1252(bytes);
    const auto codePoints = vardane::decodeUtf8(text);
    require(codePoints.has_value(), "a decoded text is not UTF-8");
    const auto again = vardane::encodeWindows1252(*codePoints);
    require(again.has_value(), "a decoded text does not encode");
    require(std::ranges::equal(*again, bytes), "decode then encode changed the bytes");
}

// A text that encodes is one the bytes can give back exactly.
void checkTextRoundTrip(std::string_view utf8)
{
    const auto codePoints = vardane::decodeUtf8(utf8);
    const auto bytes = codePoints ? vardane::encodeWindows1252(*codePoints) : std::nullopt;
    if (bytes) {
        require(vardane::decodeWindows1252(*bytes) == utf8, "encode then decode changed the text");
    }
}

// Whole part, separator, then one or two digits with no trailing zero: the
// value comes back from the text alone.
void checkFormat(std::uint32_t hundredths, std::string_view separator)
{
    const std::string text = vardane::formatHundredths(hundredths, separator);
    const std::size_t split = text.find(separator);
    const std::string whole = text.substr(0, split);
    const std::string fraction = split == std::string::npos ? "" : text.substr(split + separator.size());
    require(!whole.empty() && whole.find_first_not_of("0123456789") == std::string::npos,
            "the whole part is not plain digits");
    require(whole.size() == 1 || whole.front() != '0', "the whole part has a leading zero");
    require(fraction.size() <= 2 && fraction.find_first_not_of("0123456789") == std::string::npos,
            "the fraction is not one or two digits");
    require(split == std::string::npos || (!fraction.empty() && fraction.back() != '0'),
            "a separator without a fraction, or a trailing zero");
    const unsigned long long back =
        std::stoull(whole) * 100 +
        (fraction.empty() ? 0 : std::stoul(fraction) * (fraction.size() == 1 ? 10 : 1));
    require(back == hundredths, "the text is not the value");
}

// Any number, even one far out of range, rounds to the nearest integer or
// saturates, never wraps.
void checkRounding(double number)
{
    constexpr double kLimit = 9.0e18;
    const long long rounded = vardane::roundHalfEven(number);
    if (std::isnan(number)) {
        require(rounded == 0, "NaN did not round to 0");
    } else if (std::fabs(number) >= kLimit) {
        require(static_cast<double>(rounded) == std::copysign(kLimit, number),
                "a huge number did not saturate");
    } else {
        require(std::fabs(static_cast<double>(rounded) - number) <= 0.5, "the rounding is not to nearest");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, size);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkBytesRoundTrip(bytes);
    checkTextRoundTrip(text);

    const double number = vardane::leadingNumber(text);
    require(!std::isnan(number), "a text read as NaN");
    checkRounding(number);

    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        checkRounding(raw);
    }
    if (size >= sizeof(std::uint32_t)) {
        std::uint32_t hundredths = 0;
        std::memcpy(&hundredths, data, sizeof hundredths);
        checkFormat(hundredths, ".");
        checkFormat(hundredths, ",");
    }
    return 0;
}
