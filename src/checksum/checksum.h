// The 8-bit checksum of the fixed region 0x0000..0xBBFF: an image is valid
// when the region adds up to 0 modulo 256.
#pragma once

#include "image/image_file.h"
#include "image/outcome.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>

namespace vardane {

// The sum S of the region in a file's bytes, or nothing when they are too
// few to hold it.
[[nodiscard]] std::optional<std::uint8_t> regionSum(std::span<const std::uint8_t> fileBytes);

// The sum S of the region as the file stands.
[[nodiscard]] Outcome<std::uint8_t> verifyChecksum(const FileRef& file);

struct Correction {
    std::uint8_t sumBefore = 0;  // S, computed afresh from the file
    std::uint8_t byteBefore = 0;
    std::uint8_t byteAfter = 0;  // (byteBefore - S) mod 256
    bool written = false;        // false when S was already 0
};

// Rewrites the byte at 0xBBFF so that the region adds up to 0. The sum is
// taken from the file at this moment, never from an earlier verification, so
// the correction is right even after an edit; the byte is written only into
// the file that was summed, while the whole region still holds what was summed.
[[nodiscard]] Outcome<Correction> correctChecksum(const FileRef& file);

}  // namespace vardane
