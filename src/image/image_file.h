// The one place that touches the disk. Every call opens the file, does its
// work and closes it again: no handle outlives a call.
#pragma once

#include "image/expected.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace vardane {

enum class IoError {
    missing,         // the path names nothing (or a dangling link)
    notRegularFile,  // a directory, FIFO, device or socket
    cannotOpen,      // permission, lock, or any other refusal to open
    outOfRange,      // the range does not lie inside the file as it is now
    readFailed,
    contentChanged,  // the file no longer holds what the write was meant to replace
    writeFailed,     // nothing was written
    flushFailed,     // the system would not confirm the bytes reached the disk; the old ones were put back
    damaged,         // a write failed part-way and the old bytes could not be put back
};

// Bytes that must stand at an offset right before a write, checked through the
// same handle that writes, so a write never lands on a file that has changed
// under it.
struct Expectation {
    std::int64_t offset = 0;
    std::vector<std::uint8_t> bytes;
};

class ImageFile {
public:
    // Size of the file at path, without opening it: a FIFO or a device never
    // blocks this call.
    [[nodiscard]] static Expected<std::int64_t, IoError> size(const std::filesystem::path& path);

    // Up to into.size() bytes from offset into the caller's buffer; the count
    // is smaller when the file ends first.
    [[nodiscard]] static Expected<std::size_t, IoError> readInto(const std::filesystem::path& path,
                                                                 std::int64_t offset,
                                                                 std::span<std::uint8_t> into);

    // Exactly length bytes from offset, or outOfRange when the file is shorter.
    [[nodiscard]] static Expected<std::vector<std::uint8_t>, IoError> read(const std::filesystem::path& path,
                                                                           std::int64_t offset,
                                                                           std::size_t length);

    // Overwrites bytes in place, whole or not at all: the existing file is
    // opened read-write without create, truncate or append, the range must lie
    // inside it, the bytes go down in one positioned write, then are flushed.
    [[nodiscard]] static Expected<void, IoError> write(const std::filesystem::path& path, std::int64_t offset,
                                                       std::span<const std::uint8_t> bytes,
                                                       const std::optional<Expectation>& expected = {});
};

}  // namespace vardane
