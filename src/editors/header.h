// The header field: the bytes of HeaderText up to the first carriage return
// among the 51 bytes from the header start. Its width L is that byte's index.
#pragma once

#include "image/image_file.h"
#include "image/outcome.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace vardane {

struct HeaderField {
    std::int64_t start = 0;
    std::vector<std::uint8_t> bytes;  // the L bytes of the field, as the file holds them

    [[nodiscard]] std::size_t width() const { return bytes.size(); }
};

// Finds L from the file; a field of width 0 or without a carriage return is
// refused, since no text could be written there without moving the return.
[[nodiscard]] Outcome<HeaderField> readHeaderField(const KnownFile& file,
                                                   std::optional<std::int64_t> headerStart);

// The bytes for a typed text: one per character, padded with spaces to the
// field's width.
[[nodiscard]] Outcome<std::vector<std::uint8_t>> encodeHeaderText(std::u32string_view text,
                                                                  std::size_t width);

// Writes exactly the field's width in bytes at its start, and only while the
// file still holds the field's bytes followed by the carriage return: the
// return and everything after it are never touched, and a field loaded from
// one image is never written into another.
[[nodiscard]] Outcome<void> writeHeaderField(const KnownFile& file, const HeaderField& field,
                                             const std::vector<std::uint8_t>& newBytes);

}  // namespace vardane
