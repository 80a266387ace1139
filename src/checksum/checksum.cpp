#include "checksum/checksum.h"

#include "image/image_file.h"
#include "image/layout.h"
#include "image/open_image.h"

#include <array>
#include <vector>

namespace vardane {
namespace {

namespace L = layout;

// The region as the file holds it now, after the same size test that
// opening makes.
Outcome<std::vector<std::uint8_t>> readRegion(const std::filesystem::path& path)
{
    const auto size = ImageFile::size(path);
    if (!size) {
        return refused(size.error());
    }
    if (!sizeIsImage(*size)) {
        return refused(Refusal::notAnImage);
    }
    return ImageFile::read(path, L::kChecksumRegionStart, L::kChecksumRegionLength);
}

}  // namespace

std::optional<std::uint8_t> regionSum(std::span<const std::uint8_t> fileBytes)
{
    if (fileBytes.size() < L::kChecksumRegionStart + L::kChecksumRegionLength) {
        return std::nullopt;
    }
    // Adding in 8 bits wraps exactly as the sum modulo 256 does.
    std::uint8_t sum = 0;
    for (const std::uint8_t byte : fileBytes.subspan(L::kChecksumRegionStart, L::kChecksumRegionLength)) {
        sum = static_cast<std::uint8_t>(sum + byte);
    }
    return sum;
}

Outcome<std::uint8_t> verifyChecksum(const std::filesystem::path& path)
{
    return readRegion(path).map([](const std::vector<std::uint8_t>& region) { return *regionSum(region); });
}

Outcome<Correction> correctChecksum(const std::filesystem::path& path)
{
    const auto region = readRegion(path);
    if (!region) {
        return refused(region.error());
    }
    Correction correction;
    correction.sumBefore = *regionSum(*region);
    correction.byteBefore = region->back();
    correction.byteAfter = static_cast<std::uint8_t>(correction.byteBefore - correction.sumBefore);
    if (correction.sumBefore == 0) {
        return correction;
    }
    const std::array<std::uint8_t, 1> replacement{correction.byteAfter};
    const auto written = ImageFile::write(path, L::kChecksumByte.distance, replacement,
                                          Expectation{L::kChecksumRegionStart, *region, {}});
    if (!written) {
        return refused(written.error());
    }
    correction.written = true;
    return correction;
}

}  // namespace vardane
