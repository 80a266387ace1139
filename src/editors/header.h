// The header field: the bytes of HeaderText up to the first carriage return
// among the 51 bytes from the header start. Its width L is that byte's index.
#pragma once

#include "image/expected.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vardane {

enum class HeaderError {
    noHeader,          // the image has no "Version" anchor, so no header start
    noField,           // no carriage return among the 51 bytes
    emptyField,        // the carriage return stands at the header start
    unreachable,       // the file could not be opened or read or written
    changed,           // the field no longer holds what was loaded; nothing was written
    tooLong,           // more characters than the field is wide
    unrepresentable,   // a character Windows-1252 has no byte for
    controlCharacter,  // a control character, which would corrupt the field's framing
    damaged,           // the write failed part-way and the old bytes could not be put back
};

struct HeaderField {
    std::int64_t start = 0;
    std::size_t width = 0;            // L, 1 to 50
    std::vector<std::uint8_t> bytes;  // the L bytes of the field, as the file holds them
};

// Finds L from the file; a field of width 0 or without a carriage return is
// refused, since no text could be written there without moving the return.
[[nodiscard]] Expected<HeaderField, HeaderError> readHeaderField(const std::filesystem::path& path,
                                                                 std::optional<std::int64_t> headerStart);

// The bytes for a typed text: one per character, padded with spaces to the
// field's width.
[[nodiscard]] Expected<std::vector<std::uint8_t>, HeaderError> encodeHeaderText(std::u32string_view text,
                                                                                std::size_t width);

// Writes exactly field.width bytes at field.start, and only while the file
// still holds field.bytes followed by the carriage return: the return and
// everything after it are never touched, and a field loaded from one image
// is never written into another.
[[nodiscard]] Expected<void, HeaderError> writeHeaderField(const std::filesystem::path& path,
                                                           const HeaderField& field,
                                                           const std::vector<std::uint8_t>& newBytes);

}  // namespace vardane
