#include "checksum/checksum.h"

#include "image/image_file.h"
#include "image/layout.h"
#include "image/open_image.h"

#include <array>
#include <vector>

namespace vardane {
namespace {

namespace L = layout;

ChecksumError checksumErrorFromIo(IoError error)
{
    switch (error) {
        case IoError::contentChanged:
            return ChecksumError::changed;
        case IoError::outOfRange:
            return ChecksumError::regionMissing;
        case IoError::writeFailed:
        case IoError::flushFailed:
            return ChecksumError::writeFailed;
        case IoError::damaged:
            return ChecksumError::damaged;
        case IoError::missing:
        case IoError::notRegularFile:
        case IoError::cannotOpen:
        case IoError::readFailed:
            break;
    }
    return ChecksumError::unreachable;
}

// The region as the file holds it now, after the same size test that
// opening makes.
Expected<std::vector<std::uint8_t>, ChecksumError> readRegion(const std::filesystem::path& path)
{
    const auto size = ImageFile::size(path);
    if (!size) {
        return Unexpected{checksumErrorFromIo(size.error())};
    }
    if (!sizeIsImage(*size)) {
        return Unexpected{ChecksumError::notAnImage};
    }
    auto region = ImageFile::read(path, L::kChecksumRegionStart, L::kChecksumRegionLength);
    if (!region) {
        return Unexpected{checksumErrorFromIo(region.error())};
    }
    return std::move(region).value();
}

// Adding in 8 bits wraps exactly as the sum modulo 256 does.
std::uint8_t sumOf(const std::vector<std::uint8_t>& region)
{
    std::uint8_t sum = 0;
    for (const std::uint8_t byte : region) {
        sum = static_cast<std::uint8_t>(sum + byte);
    }
    return sum;
}

}  // namespace

Expected<std::uint8_t, ChecksumError> verifyChecksum(const std::filesystem::path& path)
{
    const auto region = readRegion(path);
    if (!region) {
        return Unexpected{region.error()};
    }
    return sumOf(*region);
}

Expected<Correction, ChecksumError> correctChecksum(const std::filesystem::path& path)
{
    const auto region = readRegion(path);
    if (!region) {
        return Unexpected{region.error()};
    }
    Correction correction;
    correction.sumBefore = sumOf(*region);
    correction.byteBefore = region->back();
    correction.byteAfter = static_cast<std::uint8_t>(correction.byteBefore - correction.sumBefore);
    if (correction.sumBefore == 0) {
        return correction;
    }
    // The byte is replaced only while the whole region still holds what the
    // sum was taken over, so the region adds up to 0 afterwards.
    const std::array<std::uint8_t, 1> replacement{correction.byteAfter};
    const auto written = ImageFile::write(path, L::kChecksumByte.distance, replacement,
                                          Expectation{L::kChecksumRegionStart, *region});
    if (!written) {
        // Read access was enough for the sum; a refusal to open for writing
        // means the file is read-only or locked, not gone.
        return Unexpected{written.error() == IoError::cannotOpen ? ChecksumError::writeFailed
                                                                 : checksumErrorFromIo(written.error())};
    }
    correction.written = true;
    return correction;
}

}  // namespace vardane
