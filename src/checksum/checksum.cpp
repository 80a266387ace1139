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
Outcome<Contents> readRegion(const FileRef& file)
{
    const auto size = ImageFile::size(file);
    if (!size) {
        return refused(size.error());
    }
    if (!sizeIsImage(*size)) {
        return refused(Refusal::notAnImage);
    }
    return ImageFile::read(file, L::kChecksumRegionStart, L::kChecksumRegionLength);
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

Outcome<std::uint8_t> verifyChecksum(const FileRef& file)
{
    return readRegion(file).map([](const Contents& region) { return *regionSum(region.bytes); });
}

Outcome<Correction> correctChecksum(const FileRef& file)
{
    auto region = readRegion(file);
    if (!region) {
        return refused(region.error());
    }
    Correction correction;
    correction.sumBefore = *regionSum(region->bytes);
    correction.byteBefore = region->bytes.back();
    correction.byteAfter = static_cast<std::uint8_t>(correction.byteBefore - correction.sumBefore);
    if (correction.sumBefore == 0) {
        return correction;
    }
    const std::array<std::uint8_t, 1> replacement{correction.byteAfter};
    // Into the file that was summed, and only while it holds what was summed.
    const KnownFile summed{file.path, region->identity};
    const auto written = ImageFile::write(summed, L::kChecksumByte.distance, replacement,
                                          {{{L::kChecksumRegionStart, std::move(region->bytes)}}, {}});
    if (!written) {
        return refused(written.error());
    }
    correction.written = true;
    return correction;
}

}  // namespace vardane
