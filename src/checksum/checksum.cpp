#include "checksum/checksum.h"

#include "image/image_file.h"
#include "image/layout.h"
#include "image/open_image.h"

#include <array>
#include <memory>
#include <span>

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
        case IoError::missing:
        case IoError::notRegularFile:
        case IoError::cannotOpen:
        case IoError::readFailed:
            break;
    }
    return ChecksumError::unreachable;
}

// The region as the file holds it now, in one read, after the same size test
// that opening makes.
class Region {
public:
    static Expected<Region, ChecksumError> read(const std::filesystem::path& path)
    {
        const auto status = ImageFile::status(path);
        if (!status) {
            return Unexpected{checksumErrorFromIo(status.error())};
        }
        if (!sizeIsImage(status->size)) {
            return Unexpected{ChecksumError::notAnImage};
        }
        Region region;
        const auto got = ImageFile::readInto(path, L::kChecksumRegionStart, region.bytes());
        if (!got) {
            return Unexpected{checksumErrorFromIo(got.error())};
        }
        if (*got != L::kChecksumRegionLength) {
            return Unexpected{ChecksumError::regionMissing};
        }
        return region;
    }

    [[nodiscard]] std::span<std::uint8_t> bytes() const { return {bytes_.get(), L::kChecksumRegionLength}; }

private:
    Region() = default;
    // Not zero-filled: the read overwrites every byte before any is used.
    std::unique_ptr<std::uint8_t[]> bytes_ =
        std::make_unique_for_overwrite<std::uint8_t[]>(L::kChecksumRegionLength);
};

// Adding in 8 bits wraps exactly as the sum modulo 256 does. One running sum
// per byte position of a 64-byte block keeps the additions independent, so
// the compiler adds whole blocks with a few vector instructions: summing one
// byte at a time into a wider total cost more than reading the region.
std::uint8_t sumOf(std::span<const std::uint8_t> region)
{
    std::array<std::uint8_t, 64> lanes{};
    std::size_t at = 0;
    for (; at + lanes.size() <= region.size(); at += lanes.size()) {
        for (std::size_t lane = 0; lane < lanes.size(); ++lane) {
            lanes[lane] = static_cast<std::uint8_t>(lanes[lane] + region[at + lane]);
        }
    }
    std::uint8_t sum = 0;
    for (; at < region.size(); ++at) {
        sum = static_cast<std::uint8_t>(sum + region[at]);
    }
    for (const std::uint8_t lane : lanes) {
        sum = static_cast<std::uint8_t>(sum + lane);
    }
    return sum;
}

}  // namespace

Expected<std::uint8_t, ChecksumError> verifyChecksum(const std::filesystem::path& path)
{
    const auto region = Region::read(path);
    if (!region) {
        return Unexpected{region.error()};
    }
    return sumOf(region->bytes());
}

Expected<Correction, ChecksumError> correctChecksum(const std::filesystem::path& path)
{
    const auto region = Region::read(path);
    if (!region) {
        return Unexpected{region.error()};
    }
    const std::span<const std::uint8_t> bytes = region->bytes();
    Correction correction;
    correction.sumBefore = sumOf(bytes);
    correction.byteBefore = bytes.back();
    correction.byteAfter = static_cast<std::uint8_t>(correction.byteBefore - correction.sumBefore);
    if (correction.sumBefore == 0) {
        return correction;
    }
    // The byte is replaced only while the whole region still holds what the
    // sum was taken over, so the region adds up to 0 afterwards.
    const std::array<std::uint8_t, 1> replacement{correction.byteAfter};
    const auto written = ImageFile::write(path, L::kChecksumByte, replacement,
                                          Expectation{L::kChecksumRegionStart, {bytes.begin(), bytes.end()}});
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
