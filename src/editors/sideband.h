// The SideBand Addressing toggle: one byte, 0xFB (enabled) or 0x7F (disabled).
#pragma once

#include "image/expected.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vardane {

inline constexpr std::string_view kSbaEnabledMessage =
    "Le SideBand Adressing a bien été activé dans le BIOS. Pensez a revalidez le Checksum...";
inline constexpr std::string_view kSbaDisabledMessage =
    "Le SideBand Adressing a bien été désactivé dans le BIOS. Pensez a revalidez le Checksum...";

enum class SbaError {
    undecided,    // the state text is neither "OUI" nor "NON": nothing to write
    noOffset,     // the image has no SideBand byte
    unreachable,  // the file could not be opened or written; nothing was written
    changed,      // the byte no longer holds the value the state text stands for
    damaged,      // the write failed part-way and the old byte could not be put back
};

struct SbaToggled {
    std::string newState;  // "OUI" or "NON"
    std::string_view message;
};

// The decision rests on the state text alone ("NON" -> 0xFB, "OUI" -> 0x7F).
// The byte is written only while it still holds the value the state stands for.
[[nodiscard]] Expected<SbaToggled, SbaError> toggleSideBand(const std::filesystem::path& path,
                                                            std::string_view sbaState,
                                                            std::optional<std::int64_t> sbaOffset);

}  // namespace vardane
