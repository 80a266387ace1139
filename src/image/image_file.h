// The one place that touches the disk. Every call opens the file, locks it,
// does its work and closes it again: no handle and no lock outlives a call.
#pragma once

#include "image/outcome.h"
#include "system/system.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

namespace vardane {

// A file whose identity a read has found: every later read and write checks
// that its name still leads to it, so none ever acts on another file put
// under that name since.
struct KnownFile {
    std::filesystem::path path;
    system::FileIdentity identity;
};

// What a read acts on: whichever file a name leads to now, or a known file.
struct FileRef {
    FileRef(std::filesystem::path name) : path(std::move(name)) {}
    FileRef(const KnownFile& file) : path(file.path), identity(file.identity) {}

    std::filesystem::path path;
    std::optional<system::FileIdentity> identity;
};

// The bytes a read gave, and the file they came from.
struct Contents {
    std::vector<std::uint8_t> bytes;
    system::FileIdentity identity;
};

// Bytes that must stand at an offset of the file right before a write.
struct ExpectedBytes {
    std::int64_t offset = 0;
    std::vector<std::uint8_t> bytes;
};

// What must stand in the file right before a write, checked through the same
// handle that writes, so a write never lands on a file that has changed under
// it.
struct Expectation {
    std::vector<ExpectedBytes> runs;
    std::optional<std::int64_t> fileSize;  // when set, the file must be exactly this long
};

class ImageFile {
public:
    // Size of the file: of one a name leads to, without opening it, so that a
    // FIFO or a device never blocks the call; of a known file, only while its
    // name still leads to it.
    [[nodiscard]] static Outcome<std::int64_t> size(const FileRef& file);

    // The file's first bytes, at most `limit` of them.
    [[nodiscard]] static Outcome<Contents> readStart(const FileRef& file, std::size_t limit);

    // Exactly length bytes from offset, or tooShort when the file ends first.
    [[nodiscard]] static Outcome<Contents> read(const FileRef& file, std::int64_t offset, std::size_t length);

    // Overwrites bytes in place, whole or not at all: the existing file is
    // opened read-write without create, truncate or append and locked against
    // every other writer and reader; it must be the known file, the range
    // must lie inside it and the expectation hold; the bytes go down in
    // positioned writes until all are written or one fails, then are flushed.
    // A write that fails puts the old bytes back. A lock that another program
    // keeps for longer than a moment is a refusal.
    [[nodiscard]] static Outcome<void> write(const KnownFile& file, std::int64_t offset,
                                             std::span<const std::uint8_t> bytes,
                                             const Expectation& expected = {});
};

}  // namespace vardane
