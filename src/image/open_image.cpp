#include "image/open_image.h"

#include "image/gpu_table.h"
#include "image/image_file.h"
#include "image/layout.h"
#include "image/text.h"

#include <algorithm>

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
        for (std::int64_t v = L::kVersionWindow.first; v <= L::kVersionWindow.last; ++v) {
            const auto match = matches(v, L::kVersionMark);
            if (!match) {
                return false;
            }
            if (*match && !readVersionFields(v)) {
                return false;
            }
        }
        return true;
    }

    bool pcir()
    {
        std::optional<ChipBytes> chip;
        for (const L::Window& window : L::kPcirWindows) {
            for (std::int64_t p = window.first; p <= window.last; ++p) {
                const auto match = matches(p, L::kPcirMark);
                if (!match) {
                    return false;
                }
                if (*match) {
                    const auto found = read(p + L::kChipBytesAfterPcir, L::kChipBytesLength);
                    if (!found) {
                        return false;
                    }
                    chip = ChipBytes{(*found)[0], (*found)[1]};
                }
            }
        }
        result_.chipKey = makeChipKey(chip);
        state_.gpuName = gpuNameForChipKey(result_.chipKey);
        return true;
    }

    bool sideBand()
    {
        state_.sbaState = kSbaUnknown;
        for (std::int64_t s = L::kSbaWindow.first; s <= L::kSbaWindow.last; ++s) {
            const auto byte = read(s, 1);
            if (!byte) {
                return false;
            }
            if ((*byte)[0] == L::kSbaDisabled || (*byte)[0] == L::kSbaEnabled) {
                state_.sbaState = (*byte)[0] == L::kSbaEnabled ? kSbaOn : kSbaOff;
                state_.SBAVrt = s;
            }
        }
        return true;
    }

    bool clockKey()
    {
        for (std::int64_t k = L::kClockKeyWindow.first; k <= L::kClockKeyWindow.last; ++k) {
            const auto match = matches(k, L::kClockKey);
            if (!match) {
                return false;
            }
            if (*match) {
                state_.Octclef = k;
            }
        }
        return state_.Octclef.has_value();
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
    [[nodiscard]] std::optional<std::span<const std::uint8_t>> read(std::int64_t offset, std::size_t length) const
    {
        if (offset < 0 || static_cast<std::uint64_t>(offset) + length > bytes_.size()) {
            return std::nullopt;
        }
        return bytes_.subspan(static_cast<std::size_t>(offset), length);
    }

    template <std::size_t N>
    [[nodiscard]] std::optional<bool> matches(std::int64_t offset, const std::array<std::uint8_t, N>& marker) const
    {
        const auto candidate = read(offset, N);
        if (!candidate) {
            return std::nullopt;
        }
        return std::equal(marker.begin(), marker.end(), candidate->begin());
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

bool sizeIsImage(std::int64_t size) { return size >= L::kMinImageSize && size <= L::kMaxImageSize; }

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
    const auto prefix = ImageFile::readUpTo(path, 0, L::kOpenScanLength);
    if (!prefix) {
        return result;
    }

    OpenResult scanned = scanImage(*prefix, decimalSeparator);
    scanned.size = result.size;
    scanned.state.filePath = std::move(result.state.filePath);
    scanned.state.fileTitle = std::move(result.state.fileTitle);
    scanned.state.fileSize = fileSize;
    return scanned;
}

}  // namespace vardane
