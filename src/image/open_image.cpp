#include "image/open_image.h"

#include "image/gpu_table.h"
#include "image/image_file.h"
#include "image/layout.h"

#include <algorithm>
#include <array>
#include <utility>

namespace vardane {
namespace {

namespace L = layout;

// One pass over the anchors in the order the window fills its rows. Each step
// returns false where a read fails (a negative offset, or bytes past the
// prefix that was read), which ends the open with the facts found so far.
class AnchorScan {
public:
    AnchorScan(std::span<const std::uint8_t> bytes, ImageFacts& facts) : bytes_(bytes), facts_(facts) {}

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
                facts_.pcirMark = p;
                chip = ChipBytes{(*found)[0], (*found)[1]};
            }
            return found.has_value();
        };
        for (const L::Window& window : L::kPcirWindows) {
            if (!eachMatch(window, L::kPcirMark, readChip)) {
                return false;
            }
        }
        facts_.chipKey = makeChipKey(chip);
        return true;
    }

    bool sideBand()
    {
        for (std::int64_t s = L::kSbaWindow.first; s <= L::kSbaWindow.last; ++s) {
            const auto byte = field(L::kSbaByte, s);
            if (!byte) {
                return false;
            }
            if ((*byte)[0] == L::kSbaDisabled || (*byte)[0] == L::kSbaEnabled) {
                facts_.sideBand = (*byte)[0] == L::kSbaEnabled ? SideBand::on : SideBand::off;
                facts_.SBAVrt = s;
            }
        }
        return true;
    }

    bool clockKey()
    {
        const bool scanned = eachMatch(L::kClockKeyWindow, L::kClockKey, [this](std::int64_t k) {
            facts_.Octclef = k;
            return true;
        });
        return scanned && facts_.Octclef.has_value();
    }

    bool clocks()
    {
        const std::int64_t k = *facts_.Octclef;
        facts_.memClockWord = word(L::kMemClockWord, k);
        if (!facts_.memClockWord) {
            return false;
        }
        facts_.coreClockWord = word(L::kCoreClockWord, k);
        return facts_.coreClockWord.has_value();
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
        facts_.versionMark = v;
        facts_.versionText.assign(version->begin(), version->end());
        const auto header = field(L::kHeaderText, v);
        if (!header) {
            return false;
        }
        facts_.headerText.assign(header->begin(), header->end());
        facts_.headerlengh = v + L::kHeaderText.distance;
        return true;
    }

    std::span<const std::uint8_t> bytes_;
    ImageFacts& facts_;
};

}  // namespace

bool sizeIsImage(std::int64_t size)
{
    return size >= L::kMinImageSize && size <= L::kMaxImageSize;
}

ImageFacts scanImage(std::span<const std::uint8_t> bytes)
{
    ImageFacts facts;
    facts.status = OpenStatus::failed;
    AnchorScan scan(bytes.first(std::min(bytes.size(), L::kOpenScanLength)), facts);
    const std::pair<OpenStep, bool (AnchorScan::*)()> steps[] = {
        {OpenStep::version, &AnchorScan::version},   {OpenStep::pcir, &AnchorScan::pcir},
        {OpenStep::sideBand, &AnchorScan::sideBand}, {OpenStep::clockKey, &AnchorScan::clockKey},
        {OpenStep::clocks, &AnchorScan::clocks},
    };
    for (const auto& [step, run] : steps) {
        facts.stoppedAt = step;
        if (!(scan.*run)()) {
            return facts;
        }
    }
    facts.stoppedAt = OpenStep::done;
    facts.status = OpenStatus::accepted;
    return facts;
}

ImageFacts openImage(const FileRef& file)
{
    ImageFacts facts;
    const auto size = ImageFile::size(file);
    if (size && !sizeIsImage(*size)) {
        facts.status = OpenStatus::rejected;
    } else if (size) {
        auto contents = ImageFile::readStart(file, static_cast<std::size_t>(L::kMaxImageSize));
        if (contents) {
            facts = scanImage(contents->bytes);
            facts.bytes = std::move(contents->bytes);
            facts.identity = contents->identity;
        } else {
            facts.status = OpenStatus::failed;
            facts.stoppedAt = OpenStep::read;
            facts.readFailure = contents.error();
        }
    } else {
        facts.readFailure = size.error();
    }
    facts.size = size ? std::optional(*size) : std::nullopt;
    facts.filePath = file.path;
    return facts;
}

std::optional<KnownFile> knownFile(const ImageFacts& facts)
{
    if (!facts.identity) {
        return std::nullopt;
    }
    return KnownFile{facts.filePath, *facts.identity};
}

FileRef fileRef(const ImageFacts& facts)
{
    FileRef file(facts.filePath);
    file.identity = facts.identity;
    return file;
}

}  // namespace vardane
