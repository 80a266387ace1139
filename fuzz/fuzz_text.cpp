// The text helpers on any bytes: Windows-1252 both ways, the clock formatter,
// and the number a shown text starts with, carried on into a clock word.
#include "editors/clock.h"
#include "image/text.h"
#include "qt/qt_text.h"

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
    const auto again = vardane::encodeWindows1252(vardane::codePoints(QString::fromStdString(text)));
    require(again.has_value(), "a decoded text does not encode");
    require(std::ranges::equal(*again, bytes), "decode then encode changed the bytes");
}

// A text that encodes is one the bytes can give back exactly.
void checkTextRoundTrip(std::string_view utf8)
{
    const QString text = vardane::qtText(utf8);
    const auto bytes = vardane::encodeWindows1252(vardane::codePoints(text));
    if (bytes) {
        require(vardane::decodeWindows1252(*bytes) == text.toStdString(), "encode then decode changed the text");
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

// Any number, even one far out of range, gives a word or nothing, never a
// wrapped word.
void checkClockWord(double mhz)
{
    for (const vardane::ClockProfile* profile :
         {&vardane::kMemoryClockProfile, &vardane::kCoreClockProfile}) {
        const auto word = vardane::wordForClock(*profile, mhz);
        if (word) {
            const double exact = mhz * 100 / profile->ddrFactor;
            require(std::isfinite(mhz) && std::fabs(exact - *word) <= 0.5, "the word is not the clock");
        }
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
    checkClockWord(number);

    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        checkClockWord(raw);
    }
    if (size >= sizeof(std::uint32_t)) {
        std::uint32_t hundredths = 0;
        std::memcpy(&hundredths, data, sizeof hundredths);
        checkFormat(hundredths, ".");
        checkFormat(hundredths, ",");
    }
    return 0;
}
