#include "image/open_image.h"

#include "image/gpu_table.h"
#include "image/image_file.h"
#include "image/layout.h"
#include "image/text.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vardane {
namespace {

namespace L = layout;

constexpr std::string_view kClockUnit = " Mhz";
constexpr std::string_view kSizeUnit = " Octets";

// One pass over the anchors in the order the window fills its fields. Each
// step returns false where a read fails (a negative offset, or bytes past the
// prefix that was read), which ends the open with the fields set so far.
class AnchorScan {
public:
    AnchorScan(std::span<const std::uint8_t> bytes, std::string_view decimalSeparator, OpenResult& result)
        : bytes_(bytes), separator_(decimalSeparator), result_(result), state_(result.state)
    {
    }

    bool version()
    {
        return eachMatch(L::kVersionWindow, L::kVersionMark,
                         [this](std::int64_t v) { return readVersionFields(v); });
    }

    bool pcir()
    {
        std::optional<ChipBytes> chip;
        const auto readChip = [this, &chip](std::int64_t p) {
            const auto found = read(p + L::kChipBytesAfterPcir, L::kChipBytesLength);
            if (found) {
                chip = ChipBytes{(*found)[0], (*found)[1]};
            }
            return found.has_value();
        };
        for (const L::Window& window : L::kPcirWindows) {
            if (!eachMatch(window, L::kPcirMark, readChip)) {
                return false;
            }
        }
        result_.chipKey = makeChipKey(chip);
        state_.gpuName = gpuNameForChipKey(result_.chipKey);
        return true;
    }

    bool sideBand()
    {
        state_.sbaState = kSbaUnknown;
        // Only the last flag byte counts, so the window is searched from its
        // end; a window cut short by the prefix still keeps what lay before
        // the cut, as reading byte after byte would have.
        const std::int64_t last = std::min<std::int64_t>(L::kSbaWindow.last, std::ssize(bytes_) - 1);
        for (std::int64_t s = last; s >= L::kSbaWindow.first; --s) {
            const std::uint8_t byte = bytes_[static_cast<std::size_t>(s)];
            if (byte == L::kSbaDisabled || byte == L::kSbaEnabled) {
                state_.sbaState = byte == L::kSbaEnabled ? kSbaOn : kSbaOff;
                state_.SBAVrt = s;
                break;
            }
        }
        return last == L::kSbaWindow.last;
    }

    bool clockKey()
    {
        const bool scanned = eachMatch(L::kClockKeyWindow, L::kClockKey, [this](std::int64_t k) {
            state_.Octclef = k;
            return true;
        });
        return scanned && state_.Octclef.has_value();
    }

    bool clocks()
    {
        const std::int64_t k = *state_.Octclef;
        const auto memory = word(k - L::kMemClockWordBeforeKey);
        if (!memory) {
            return false;
        }
        result_.memClockWord = *memory;
        // The window shows the DDR rate: twice the memory clock.
        state_.memClockText = clockText(2U * *memory);
        const auto core = word(k - L::kCoreClockWordBeforeKey);
        if (!core) {
            return false;
        }
        result_.coreClockWord = *core;
        state_.coreClockText = clockText(*core);
        return true;
    }

private:
    [[nodiscard]] std::optional<std::span<const std::uint8_t>> read(std::int64_t offset,
                                                                    std::size_t length) const
    {
        if (offset < 0 || static_cast<std::uint64_t>(offset) + length > bytes_.size()) {
            return std::nullopt;
        }
        return bytes_.subspan(static_cast<std::size_t>(offset), length);
    }

    // Calls onMatch at each offset of the window where the marker stands, in
    // ascending order, and fails where onMatch does or where a candidate would
    // read past the prefix, exactly as comparing at every offset in turn would.
    // memchr finds the candidates: almost no offset starts a marker, and
    // comparing at each one made the scan cost more than reading the file.
    template <std::size_t N, typename OnMatch>
    [[nodiscard]] bool eachMatch(L::Window window, const std::array<std::uint8_t, N>& marker,
                                 OnMatch&& onMatch) const
    {
        const std::int64_t lastWhole =
            static_cast<std::int64_t>(bytes_.size()) - static_cast<std::int64_t>(N);
        const std::int64_t last = std::min(window.last, lastWhole);
        for (std::int64_t o = window.first; o <= last; ++o) {
            const auto* from = bytes_.data() + o;
            const auto* hit = static_cast<const std::uint8_t*>(
                std::memchr(from, marker[0], static_cast<std::size_t>(last - o + 1)));
            if (hit == nullptr) {
                break;
            }
            o += hit - from;
            if (std::equal(marker.begin(), marker.end(), hit) && !onMatch(o)) {
                return false;
            }
        }
        return window.last <= lastWhole;
    }

    [[nodiscard]] std::optional<std::uint16_t> word(std::int64_t offset) const
    {
        const auto bytes = read(offset, L::kClockWordLength);
        if (!bytes) {
            return std::nullopt;
        }
        return static_cast<std::uint16_t>((*bytes)[0] | ((*bytes)[1] << 8));
    }

    // The version text is read first, so a match too close to the start to
    // leave room for the header still shows its version text.
    bool readVersionFields(std::int64_t v)
    {
        const auto version = read(v + L::kVersionTextAfterVersion, L::kVersionTextLength);
        if (!version) {
            return false;
        }
        state_.versionText = decodeWindows1252(*version);
        const std::int64_t headerStart = v - L::kHeaderTextBeforeVersion;
        const auto header = read(headerStart, L::kHeaderTextLength);
        if (!header) {
            return false;
        }
        state_.headerText = decodeWindows1252(*header);
        state_.headerlengh = headerStart;
        return true;
    }

    [[nodiscard]] std::string clockText(std::uint32_t hundredths) const
    {
        return formatHundredths(hundredths, separator_) + std::string(kClockUnit);
    }

    std::span<const std::uint8_t> bytes_;
    std::string_view separator_;
    OpenResult& result_;
    ImageState& state_;
};

}  // namespace

bool sizeIsImage(std::int64_t size)
{
    return size >= L::kMinImageSize && size <= L::kMaxImageSize;
}

OpenResult scanImage(std::span<const std::uint8_t> prefix, std::string_view decimalSeparator)
{
    OpenResult result;
    result.status = OpenStatus::failed;
    AnchorScan scan(prefix.first(std::min(prefix.size(), L::kOpenScanLength)), decimalSeparator, result);
    if (scan.version() && scan.pcir() && scan.sideBand() && scan.clockKey() && scan.clocks()) {
        result.status = OpenStatus::accepted;
    }
    return result;
}

OpenResult openImage(const std::filesystem::path& path, std::string_view decimalSeparator)
{
    OpenResult result;
    result.state.filePath = path.string();
    result.state.fileTitle = path.filename().string();

    const auto status = ImageFile::status(path);
    if (!status) {
        result.status = OpenStatus::unreadable;
        return result;
    }
    result.size = status->size;
    if (!sizeIsImage(status->size)) {
        result.status = OpenStatus::rejected;
        return result;
    }
    const std::string fileSize = std::to_string(status->size) + std::string(kSizeUnit);
    result.state.fileSize = fileSize;
    result.status = OpenStatus::failed;
    if (!status->regular) {
        return result;
    }
    // Left uninitialised: the read fills what the scan looks at.
    std::array<std::uint8_t, L::kOpenScanLength> prefix;  // NOLINT(cppcoreguidelines-pro-type-member-init)
    const auto read = ImageFile::readInto(path, 0, prefix);
    if (!read) {
        return result;
    }

    OpenResult scanned = scanImage(std::span(prefix).first(*read), decimalSeparator);
    scanned.size = result.size;
    scanned.state.filePath = std::move(result.state.filePath);
    scanned.state.fileTitle = std::move(result.state.fileTitle);
    scanned.state.fileSize = fileSize;
    return scanned;
}

}  // namespace vardane
