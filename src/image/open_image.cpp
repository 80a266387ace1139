#include "image/open_image.h"

#include "image/gpu_table.h"
#include "image/image_file.h"
#include "image/layout.h"
#include "image/text.h"

#include <algorithm>
#include <array>
#include <utility>

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
            const auto found = field(L::kChipBytes, p);
            if (found) {
                result_.pcirMark = p;
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
        for (std::int64_t s = L::kSbaWindow.first; s <= L::kSbaWindow.last; ++s) {
            const auto byte = field(L::kSbaByte, s);
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
        const bool scanned = eachMatch(L::kClockKeyWindow, L::kClockKey, [this](std::int64_t k) {
            state_.Octclef = k;
            return true;
        });
        return scanned && state_.Octclef.has_value();
    }

    bool clocks()
    {
        const std::int64_t k = *state_.Octclef;
        const auto memory = word(L::kMemClockWord, k);
        if (!memory) {
            return false;
        }
        result_.memClockWord = *memory;
        // The window shows the DDR rate: twice the memory clock.
        state_.memClockText = clockText(2U * *memory);
        const auto core = word(L::kCoreClockWord, k);
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

    [[nodiscard]] std::optional<std::span<const std::uint8_t>> field(const L::Field& field,
                                                                     std::int64_t anchor) const
    {
        return read(anchor + field.distance, field.length);
    }

    // Compares the marker at each offset of the window in ascending order and
    // calls onMatch at each match; fails where a read or onMatch does.
    template <std::size_t N, typename OnMatch>
    [[nodiscard]] bool eachMatch(L::Window window, const std::array<std::uint8_t, N>& marker,
                                 OnMatch&& onMatch) const
    {
        for (std::int64_t o = window.first; o <= window.last; ++o) {
            const auto candidate = read(o, N);
            if (!candidate) {
                return false;
            }
            if (std::equal(marker.begin(), marker.end(), candidate->begin()) && !onMatch(o)) {
                return false;
            }
        }
        return true;
    }

    [[nodiscard]] std::optional<std::uint16_t> word(const L::Field& word, std::int64_t k) const
    {
        const auto bytes = field(word, k);
        if (!bytes) {
            return std::nullopt;
        }
        return static_cast<std::uint16_t>((*bytes)[0] | ((*bytes)[1] << 8));
    }

    // The version text is read first, so a match too close to the start to
    // leave room for the header still shows its version text.
    bool readVersionFields(std::int64_t v)
    {
        const auto version = field(L::kVersionText, v);
        if (!version) {
            return false;
        }
        result_.versionMark = v;
        state_.versionText = decodeWindows1252(*version);
        const auto header = field(L::kHeaderText, v);
        if (!header) {
            return false;
        }
        state_.headerText = decodeWindows1252(*header);
        state_.headerlengh = v + L::kHeaderText.distance;
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

OpenResult scanImage(std::span<const std::uint8_t> bytes, std::string_view decimalSeparator)
{
    OpenResult result;
    result.status = OpenStatus::failed;
    AnchorScan scan(bytes.first(std::min(bytes.size(), L::kOpenScanLength)), decimalSeparator, result);
    const std::pair<OpenStep, bool (AnchorScan::*)()> steps[] = {
        {OpenStep::version, &AnchorScan::version},   {OpenStep::pcir, &AnchorScan::pcir},
        {OpenStep::sideBand, &AnchorScan::sideBand}, {OpenStep::clockKey, &AnchorScan::clockKey},
        {OpenStep::clocks, &AnchorScan::clocks},
    };
    for (const auto& [step, run] : steps) {
        result.stoppedAt = step;
        if (!(scan.*run)()) {
            return result;
        }
    }
    result.stoppedAt = OpenStep::done;
    result.status = OpenStatus::accepted;
    return result;
}

OpenResult openImage(const std::filesystem::path& path, std::string_view decimalSeparator)
{
    OpenResult result;
    const auto size = ImageFile::size(path);
    if (!size) {
        result.status = OpenStatus::unreadable;
    } else if (!sizeIsImage(*size)) {
        result.status = OpenStatus::rejected;
    } else {
        auto bytes = ImageFile::readStart(path, static_cast<std::size_t>(L::kMaxImageSize));
        if (bytes) {
            result = scanImage(*bytes, decimalSeparator);
            result.bytes = std::move(bytes).value();
        } else {
            result.status = OpenStatus::failed;
            result.stoppedAt = OpenStep::read;
        }
        result.state.fileSize = std::to_string(*size) + std::string(kSizeUnit);
    }
    if (size) {
        result.size = *size;
    }
    result.state.filePath = path.string();
    result.state.fileTitle = path.filename().string();
    return result;
}

}  // namespace vardane
