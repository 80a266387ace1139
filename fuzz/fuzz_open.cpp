// The open scan on any bytes libFuzzer makes. Inputs that hold every byte the
// scan reads are checked against a plain model of the anchor rules; shorter
// inputs must fail without reading past their end, keeping only what agrees
// with their bytes.
#include "image/gpu_table.h"
#include "image/layout.h"
#include "image/open_image.h"
#include "image/text.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace {

using vardane::OpenResult;
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

[[nodiscard]] std::size_t codePoints(std::string_view utf8)
{
    return static_cast<std::size_t>(
        std::ranges::count_if(utf8, [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

[[nodiscard]] std::string decoded(Bytes bytes, std::int64_t offset, std::size_t length)
{
    return vardane::decodeWindows1252(at(bytes, offset, length));
}

// Written apart from the core's formatter so that both can be wrong only in
// different ways.
[[nodiscard]] std::string clockText(std::uint32_t hundredths, std::string_view separator)
{
    std::string text = std::to_string(hundredths / 100);
    const std::uint32_t fraction = hundredths % 100;
    if (fraction != 0) {
        text += separator;
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) {
            text += static_cast<char>('0' + fraction % 10);
        }
    }
    return text + std::string(kMhz);
}

[[nodiscard]] std::string chipKeyOf(std::uint8_t vendorHigh, std::uint8_t deviceLow)
{
    constexpr std::string_view kHex = "0123456789ABCDEF";
    return {kHex[vendorHigh >> 4], kHex[vendorHigh & 0xF], kHex[deviceLow >> 4], kHex[deviceLow & 0xF]};
}

// False when a match leaves no room for the header, which ends the open.
[[nodiscard]] bool scanVersion(Bytes bytes, OpenResult& expected)
{
    for (std::int64_t v = layout::kVersionWindow.first; v <= layout::kVersionWindow.last; ++v) {
        if (!markerAt(bytes, v, layout::kVersionMark)) {
            continue;
        }
        expected.state.versionText =
            decoded(bytes, v + layout::kVersionText.distance, layout::kVersionText.length);
        const std::int64_t header = v + layout::kHeaderText.distance;
        if (header < 0) {
            return false;
        }
        expected.state.headerText = decoded(bytes, header, layout::kHeaderText.length);
        expected.state.headerlengh = header;
    }
    return true;
}

void scanPcir(Bytes bytes, OpenResult& expected)
{
    for (const layout::Window window : layout::kPcirWindows) {
        for (std::int64_t p = window.first; p <= window.last; ++p) {
            if (markerAt(bytes, p, layout::kPcirMark)) {
                const auto chip = at(bytes, p + layout::kChipBytes.distance, layout::kChipBytes.length);
                expected.chipKey = chipKeyOf(chip[0], chip[1]);
            }
        }
    }
    expected.state.gpuName = std::string(vardane::gpuNameForChipKey(expected.chipKey));
}

[[nodiscard]] std::string sbaStateOf(std::uint8_t value)
{
    return std::string(value == layout::kSbaEnabled ? vardane::kSbaOn : vardane::kSbaOff);
}

void scanSba(Bytes bytes, OpenResult& expected)
{
    expected.state.sbaState = vardane::kSbaUnknown;
    for (std::int64_t s = layout::kSbaWindow.first; s <= layout::kSbaWindow.last; ++s) {
        const std::uint8_t value = bytes[static_cast<std::size_t>(s)];
        if (value == layout::kSbaEnabled || value == layout::kSbaDisabled) {
            expected.state.sbaState = sbaStateOf(value);
            expected.state.SBAVrt = s;
        }
    }
}

void readClocks(Bytes bytes, std::string_view separator, OpenResult& expected)
{
    for (std::int64_t k = layout::kClockKeyWindow.first; k <= layout::kClockKeyWindow.last; ++k) {
        if (markerAt(bytes, k, layout::kClockKey)) {
            expected.state.Octclef = k;
        }
    }
    if (!expected.state.Octclef) {
        expected.status = OpenStatus::failed;
        expected.stoppedAt = vardane::OpenStep::clockKey;
        return;
    }
    const std::int64_t k = *expected.state.Octclef;
    const std::uint16_t mem = wordAt(bytes, k + layout::kMemClockWord.distance);
    const std::uint16_t core = wordAt(bytes, k + layout::kCoreClockWord.distance);
    expected.memClockWord = mem;
    expected.coreClockWord = core;
    expected.state.memClockText = clockText(2U * mem, separator);
    expected.state.coreClockText = clockText(core, separator);
    expected.status = OpenStatus::accepted;
    expected.stoppedAt = vardane::OpenStep::done;
}

// The open of a file whose first bytes are `bytes` (at least kOpenScanLength of them).
[[nodiscard]] OpenResult model(Bytes bytes, std::string_view separator)
{
    OpenResult expected;
    expected.status = OpenStatus::failed;
    expected.stoppedAt = vardane::OpenStep::version;
    if (!scanVersion(bytes, expected)) {
        return expected;
    }
    scanPcir(bytes, expected);
    scanSba(bytes, expected);
    readClocks(bytes, separator, expected);
    return expected;
}

void requireSameAsModel(const OpenResult& got, const OpenResult& want)
{
    require(got.status == want.status, "status differs from the anchor rules");
    require(got.stoppedAt == want.stoppedAt, "the open stopped at another step");
    require(got.state.headerlengh == want.state.headerlengh, "headerlengh is not the last Version match");
    require(got.state.headerText == want.state.headerText, "headerText differs");
    require(got.state.versionText == want.state.versionText, "versionText differs");
    require(got.chipKey == want.chipKey, "chip key is not from the last PCIR match");
    require(got.state.gpuName == want.state.gpuName, "gpuName differs");
    require(got.state.sbaState == want.state.sbaState, "sbaState differs");
    require(got.state.SBAVrt == want.state.SBAVrt, "SBAVrt is not the last SideBand byte");
    require(got.state.Octclef == want.state.Octclef, "Octclef is not the last r7 match");
    require(got.memClockWord == want.memClockWord, "memory clock word differs");
    require(got.coreClockWord == want.coreClockWord, "core clock word differs");
    require(got.state.memClockText == want.state.memClockText, "memClockText differs");
    require(got.state.coreClockText == want.state.coreClockText, "coreClockText differs");
}

// What holds for any input, however short: every kept offset lies in its
// window and agrees with the bytes, and nothing is read past the end.
void requireConsistent(const OpenResult& got, Bytes bytes)
{
    const vardane::ImageState& state = got.state;
    require(got.status == OpenStatus::accepted || got.status == OpenStatus::failed,
            "status is neither accepted nor failed");
    require(state.filePath.empty() && state.fileTitle.empty() && state.fileSize.empty(),
            "the scan set a field of the file");
    require(state.checksumText == vardane::kChecksumUnknown && !state.StK1, "the scan touched the checksum");

    require(state.headerText.empty() == !state.headerlengh, "headerText without headerlengh, or the reverse");
    if (state.headerlengh) {
        const std::int64_t v = *state.headerlengh - layout::kHeaderText.distance;
        require(inside(v, layout::kVersionWindow), "headerlengh outside its window");
        require(markerAt(bytes, v, layout::kVersionMark), "no Version at headerlengh + 81");
        require(codePoints(state.headerText) == layout::kHeaderText.length, "headerText is not 50 characters");
        require(state.headerText == decoded(bytes, *state.headerlengh, layout::kHeaderText.length),
                "headerText is not the bytes at headerlengh");
    }
    require(state.versionText.empty() || codePoints(state.versionText) == layout::kVersionText.length,
            "versionText is not 35 characters");

    require(got.chipKey.empty() || got.chipKey.size() == 4, "chip key is not four hex digits");
    require(state.gpuName.empty() || !got.chipKey.empty(), "a GPU name without a chip key");

    if (state.SBAVrt) {
        require(inside(*state.SBAVrt, layout::kSbaWindow) && holds(bytes, *state.SBAVrt, 1),
                "SBAVrt outside its window");
        const std::uint8_t value = bytes[static_cast<std::size_t>(*state.SBAVrt)];
        require(value == layout::kSbaEnabled || value == layout::kSbaDisabled,
                "SBAVrt is not a SideBand byte");
        require(state.sbaState == sbaStateOf(value), "sbaState does not match the byte at SBAVrt");
    } else {
        require(state.sbaState.empty() || state.sbaState == vardane::kSbaUnknown,
                "sbaState decided without SBAVrt");
    }

    if (state.Octclef) {
        require(inside(*state.Octclef, layout::kClockKeyWindow), "Octclef outside its window");
        require(markerAt(bytes, *state.Octclef, layout::kClockKey), "no r7 at Octclef");
    }
    if (got.memClockWord) {
        require(state.Octclef &&
                    wordAt(bytes, *state.Octclef + layout::kMemClockWord.distance) == got.memClockWord,
                "memory clock word is not the word at Octclef - 26");
    }
    if (got.coreClockWord) {
        require(state.Octclef &&
                    wordAt(bytes, *state.Octclef + layout::kCoreClockWord.distance) == got.coreClockWord,
                "core clock word is not the word at Octclef - 70");
    }

    if (got.status == OpenStatus::accepted) {
        require(bytes.size() >= layout::kOpenScanLength, "accepted without every byte the scan reads");
        require(state.Octclef && got.memClockWord && got.coreClockWord, "accepted without both clock words");
        require(state.memClockText.ends_with(kMhz) && state.coreClockText.ends_with(kMhz),
                "a clock text does not end in \" Mhz\"");
        require(state.sbaState == vardane::kSbaOn || state.sbaState == vardane::kSbaOff ||
                    state.sbaState == vardane::kSbaUnknown,
                "accepted without a SideBand state");
    }
}

void check(Bytes bytes, std::string_view separator)
{
    const OpenResult got = vardane::scanImage(bytes, separator);
    requireConsistent(got, bytes);
    if (bytes.size() >= layout::kOpenScanLength) {
        requireSameAsModel(got, model(bytes, separator));
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
