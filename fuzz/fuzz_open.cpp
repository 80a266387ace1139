// The open scan on any bytes libFuzzer makes. Inputs that hold every byte the
// scan reads are checked against a plain model of the anchor rules, and their
// clock rows against the words they must give back; shorter inputs must fail
// without reading past their end, keeping only what agrees with their bytes.
#include "compare/wording.h"
#include "editors/clock.h"
#include "image/gpu_table.h"
#include "image/layout.h"
#include "image/open_image.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

using vardane::FactKey;
using vardane::ImageFacts;
using vardane::OpenStatus;
using Bytes = std::span<const std::uint8_t>;
namespace layout = vardane::layout;

constexpr std::string_view kMhz = " Mhz";

void require(bool condition, const char* broken)
{
    if (!condition) {
        std::fprintf(stderr, "open scan: %s\n", broken);
        std::abort();
    }
}

[[nodiscard]] bool holds(Bytes bytes, std::int64_t offset, std::size_t length)
{
    return offset >= 0 && static_cast<std::size_t>(offset) + length <= bytes.size();
}

[[nodiscard]] Bytes at(Bytes bytes, std::int64_t offset, std::size_t length)
{
    return bytes.subspan(static_cast<std::size_t>(offset), length);
}

template <std::size_t N>
[[nodiscard]] bool markerAt(Bytes bytes, std::int64_t offset, const std::array<std::uint8_t, N>& marker)
{
    return holds(bytes, offset, N) && std::ranges::equal(at(bytes, offset, N), marker);
}

[[nodiscard]] std::uint16_t wordAt(Bytes bytes, std::int64_t offset)
{
    const auto low = bytes[static_cast<std::size_t>(offset)];
    const auto high = bytes[static_cast<std::size_t>(offset) + 1];
    return static_cast<std::uint16_t>(low | (high << 8));
}

[[nodiscard]] bool inside(std::int64_t offset, layout::Window window)
{
    return offset >= window.first && offset <= window.last;
}

[[nodiscard]] std::vector<std::uint8_t> copied(Bytes bytes, std::int64_t offset, std::size_t length)
{
    const Bytes field = at(bytes, offset, length);
    return {field.begin(), field.end()};
}

// The text of a fact as both front ends show it.
[[nodiscard]] std::string row(const ImageFacts& facts, vardane::FactKey key, std::string_view separator)
{
    return vardane::factText(vardane::factsOf(facts, separator)[key]);
}

// A clock row ends in " Mhz" and gives back the word it was made from, read as
// the window reads it, so that no two words show alike.
void requireClockRow(const std::string& shown, std::uint16_t word, const vardane::ClockProfile& profile,
                     std::string_view separator)
{
    require(shown.ends_with(kMhz), "a clock text does not end in \" Mhz\"");
    std::string number = shown.substr(0, shown.size() - kMhz.size());
    if (const auto at = number.find(separator); at != std::string::npos) {
        number.replace(at, separator.size(), ".");
    }
    require(std::llround(vardane::leadingNumber(number) * 100) ==
                static_cast<long long>(word) * profile.ddrFactor,
            "a clock text does not give its word back");
}

[[nodiscard]] std::string chipKeyOf(std::uint8_t vendorHigh, std::uint8_t deviceLow)
{
    constexpr std::string_view kHex = "0123456789ABCDEF";
    return {kHex[vendorHigh >> 4], kHex[vendorHigh & 0xF], kHex[deviceLow >> 4], kHex[deviceLow & 0xF]};
}

// False when a match leaves no room for the header, which ends the open.
[[nodiscard]] bool scanVersion(Bytes bytes, ImageFacts& expected)
{
    for (std::int64_t v = layout::kVersionWindow.first; v <= layout::kVersionWindow.last; ++v) {
        if (!markerAt(bytes, v, layout::kVersionMark)) {
            continue;
        }
        expected.versionText = copied(bytes, v + layout::kVersionText.distance, layout::kVersionText.length);
        const std::int64_t header = v + layout::kHeaderText.distance;
        if (header < 0) {
            return false;
        }
        expected.headerText = copied(bytes, header, layout::kHeaderText.length);
        expected.headerlengh = header;
    }
    return true;
}

void scanPcir(Bytes bytes, ImageFacts& expected)
{
    for (const layout::Window window : layout::kPcirWindows) {
        for (std::int64_t p = window.first; p <= window.last; ++p) {
            if (markerAt(bytes, p, layout::kPcirMark)) {
                const auto chip = at(bytes, p + layout::kChipBytes.distance, layout::kChipBytes.length);
                expected.chipKey = chipKeyOf(chip[0], chip[1]);
            }
        }
    }
}

[[nodiscard]] vardane::SideBand sideBandOf(std::uint8_t value)
{
    return value == layout::kSbaEnabled ? vardane::SideBand::on : vardane::SideBand::off;
}

void scanSba(Bytes bytes, ImageFacts& expected)
{
    for (std::int64_t s = layout::kSbaWindow.first; s <= layout::kSbaWindow.last; ++s) {
        const std::uint8_t value = bytes[static_cast<std::size_t>(s)];
        if (value == layout::kSbaEnabled || value == layout::kSbaDisabled) {
            expected.sideBand = sideBandOf(value);
            expected.SBAVrt = s;
        }
    }
}

void readClocks(Bytes bytes, ImageFacts& expected)
{
    for (std::int64_t k = layout::kClockKeyWindow.first; k <= layout::kClockKeyWindow.last; ++k) {
        if (markerAt(bytes, k, layout::kClockKey)) {
            expected.Octclef = k;
        }
    }
    if (!expected.Octclef) {
        expected.status = OpenStatus::failed;
        expected.stoppedAt = vardane::OpenStep::clockKey;
        return;
    }
    const std::int64_t k = *expected.Octclef;
    const std::uint16_t mem = wordAt(bytes, k + layout::kMemClockWord.distance);
    const std::uint16_t core = wordAt(bytes, k + layout::kCoreClockWord.distance);
    expected.memClockWord = mem;
    expected.coreClockWord = core;
    expected.status = OpenStatus::accepted;
    expected.stoppedAt = vardane::OpenStep::done;
}

// The open of a file whose first bytes are `bytes` (at least kOpenScanLength of them).
[[nodiscard]] ImageFacts model(Bytes bytes)
{
    ImageFacts expected;
    expected.status = OpenStatus::failed;
    expected.stoppedAt = vardane::OpenStep::version;
    if (!scanVersion(bytes, expected)) {
        return expected;
    }
    scanPcir(bytes, expected);
    scanSba(bytes, expected);
    readClocks(bytes, expected);
    return expected;
}

void requireSameAsModel(const ImageFacts& got, const ImageFacts& want, std::string_view separator)
{
    require(got.status == want.status, "status differs from the anchor rules");
    require(got.stoppedAt == want.stoppedAt, "the open stopped at another step");
    require(got.headerlengh == want.headerlengh, "headerlengh is not the last Version match");
    require(got.headerText == want.headerText, "headerText differs");
    require(got.versionText == want.versionText, "versionText differs");
    require(got.chipKey == want.chipKey, "chip key is not from the last PCIR match");
    require(row(got, FactKey::gpuName, separator) == vardane::gpuNameForChipKey(want.chipKey),
            "gpuName differs");
    require(got.sideBand == want.sideBand, "the SideBand state differs");
    require(got.SBAVrt == want.SBAVrt, "SBAVrt is not the last SideBand byte");
    require(got.Octclef == want.Octclef, "Octclef is not the last r7 match");
    require(got.memClockWord == want.memClockWord, "memory clock word differs");
    require(got.coreClockWord == want.coreClockWord, "core clock word differs");
    if (want.memClockWord && want.coreClockWord) {
        requireClockRow(row(got, FactKey::memClockText, separator), *want.memClockWord,
                        vardane::kMemoryClockProfile, separator);
        requireClockRow(row(got, FactKey::coreClockText, separator), *want.coreClockWord,
                        vardane::kCoreClockProfile, separator);
    }
}

// What holds for any input, however short: every kept offset lies in its
// window and agrees with the bytes, and nothing is read past the end.
void requireConsistent(const ImageFacts& got, Bytes bytes, std::string_view separator)
{
    require(got.status == OpenStatus::accepted || got.status == OpenStatus::failed,
            "status is neither accepted nor failed");
    require(got.filePath.empty() && !got.size && got.bytes.empty(), "the scan set a fact of the file");

    require(got.headerText.empty() == !got.headerlengh, "headerText without headerlengh, or the reverse");
    if (got.headerlengh) {
        const std::int64_t v = *got.headerlengh - layout::kHeaderText.distance;
        require(inside(v, layout::kVersionWindow), "headerlengh outside its window");
        require(markerAt(bytes, v, layout::kVersionMark), "no Version at headerlengh + 81");
        require(got.headerText == copied(bytes, *got.headerlengh, layout::kHeaderText.length),
                "headerText is not the 50 bytes at headerlengh");
    }
    require(got.versionText.empty() || got.versionText.size() == layout::kVersionText.length,
            "versionText is not 35 bytes");

    require(got.chipKey.empty() || got.chipKey.size() == 4, "chip key is not four hex digits");
    require(row(got, FactKey::gpuName, separator).empty() || !got.chipKey.empty(),
            "a GPU name without a chip key");

    if (got.SBAVrt) {
        require(inside(*got.SBAVrt, layout::kSbaWindow) && holds(bytes, *got.SBAVrt, 1),
                "SBAVrt outside its window");
        const std::uint8_t value = bytes[static_cast<std::size_t>(*got.SBAVrt)];
        require(value == layout::kSbaEnabled || value == layout::kSbaDisabled,
                "SBAVrt is not a SideBand byte");
        require(got.sideBand == sideBandOf(value), "the SideBand state does not match the byte at SBAVrt");
    } else {
        require(got.sideBand == vardane::SideBand::undecided, "the SideBand state decided without SBAVrt");
    }

    if (got.Octclef) {
        require(inside(*got.Octclef, layout::kClockKeyWindow), "Octclef outside its window");
        require(markerAt(bytes, *got.Octclef, layout::kClockKey), "no r7 at Octclef");
    }
    if (got.memClockWord) {
        require(
            got.Octclef && wordAt(bytes, *got.Octclef + layout::kMemClockWord.distance) == got.memClockWord,
            "memory clock word is not the word at Octclef - 26");
    }
    if (got.coreClockWord) {
        require(
            got.Octclef && wordAt(bytes, *got.Octclef + layout::kCoreClockWord.distance) == got.coreClockWord,
            "core clock word is not the word at Octclef - 70");
    }

    const std::string sbaState = row(got, FactKey::sbaState, separator);
    require(sbaState.empty() == (got.stoppedAt < vardane::OpenStep::sideBand),
            "the SideBand row is empty though the scan reached it, or the reverse");
    if (got.status == OpenStatus::accepted) {
        require(bytes.size() >= layout::kOpenScanLength, "accepted without every byte the scan reads");
        require(got.Octclef && got.memClockWord && got.coreClockWord, "accepted without both clock words");
        require(
            sbaState == vardane::kSbaOn || sbaState == vardane::kSbaOff || sbaState == vardane::kSbaUnknown,
            "accepted without a SideBand state");
    }
}

void check(Bytes bytes, std::string_view separator)
{
    const ImageFacts got = vardane::scanImage(bytes);
    requireConsistent(got, bytes, separator);
    if (bytes.size() >= layout::kOpenScanLength) {
        requireSameAsModel(got, model(bytes), separator);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Bytes bytes(data, size);
    check(bytes, ".");
    check(bytes, ",");
    return 0;
}
