// The one place that touches the disk. Every call opens the file, locks it,
// does its work and closes it again: no handle and no lock outlives a call.
#pragma once

#include "image/outcome.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace vardane {

// What must stand in the file right before a write, checked through the same
// handle that writes, so a write never lands on a file that has changed under
// it.
struct Expectation {
    std::int64_t offset = 0;
    std::vector<std::uint8_t> bytes;
    std::optional<std::int64_t> fileSize;  // when set, the file must be exactly this long
};

class ImageFile {
public:
    // Size of the file at path, without opening it: a FIFO or a device never
    // blocks this call.
    [[nodiscard]] static Outcome<std::int64_t> size(const std::filesystem::path& path);

    // The file's first bytes, at most `limit` of them.
    [[nodiscard]] static Outcome<std::vector<std::uint8_t>> readStart(const std::filesystem::path& path,
                                                                      std::size_t limit);

    // Exactly length bytes from offset, or tooShort when the file ends first.
    [[nodiscard]] static Outcome<std::vector<std::uint8_t>> read(const std::filesystem::path& path,
                                                                 std::int64_t offset, std::size_t length);

    // Overwrites bytes in place, whole or not at all: the existing file is
    // opened read-write without create, truncate or append and locked against
    // every other writer and reader, the range must lie inside it and the
    // expectation hold, the bytes go down in one positioned write, then are
    // flushed. A lock that another program keeps for longer than a moment is
    // a refusal.
    [[nodiscard]] static Outcome<void> write(const std::filesystem::path& path, std::int64_t offset,
                                             std::span<const std::uint8_t> bytes,
                                             const std::optional<Expectation>& expected = {});
};

}  // namespace vardane
