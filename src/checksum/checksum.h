// The 8-bit checksum of the fixed region 0x0000..0xBBFF: an image is valid
// when the region adds up to 0 modulo 256.
#pragma once

#include "image/expected.h"

#include <cstdint>
#include <filesystem>

namespace vardane {

enum class ChecksumError {
    notAnImage,     // the file's size lies outside the image window
    regionMissing,  // the file is too short to hold the whole region
    unreachable,    // the file cannot be found, opened or read
    writeFailed,    // the file could not be written; nothing was written
    changed,        // the file changed while being corrected; nothing was written
    damaged,        // the write failed part-way and the old byte could not be put back
};

// The sum S of the region as the file stands.
[[nodiscard]] Expected<std::uint8_t, ChecksumError> verifyChecksum(const std::filesystem::path& path);

struct Correction {
    std::uint8_t sumBefore = 0;  // S, computed afresh from the file
    std::uint8_t byteBefore = 0;
    std::uint8_t byteAfter = 0;  // (byteBefore - S) mod 256
    bool written = false;        // false when S was already 0
};

// Rewrites the byte at 0xBBFF so that the region adds up to 0. The sum is
// taken from the file at this moment, never from an earlier verification, so
// the correction is right even after an edit.
[[nodiscard]] Expected<Correction, ChecksumError> correctChecksum(const std::filesystem::path& path);

}  // namespace vardane
