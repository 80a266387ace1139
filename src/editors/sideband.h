// The SideBand Addressing toggle: one byte, 0xFB (enabled) or 0x7F (disabled).
#pragma once

#include "image/open_image.h"
#include "image/outcome.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace vardane {

inline constexpr std::string_view kSbaEnabledMessage =
    "Le SideBand Adressing a bien été activé dans le BIOS. Pensez a revalidez le Checksum...";
inline constexpr std::string_view kSbaDisabledMessage =
    "Le SideBand Adressing a bien été désactivé dans le BIOS. Pensez a revalidez le Checksum...";

struct SbaToggled {
    SideBand newState;
    std::string_view message;
};

// The state decides the byte written (off -> 0xFB, on -> 0x7F), and the byte
// is written only while the file still holds the value that state stands for.
[[nodiscard]] Outcome<SbaToggled> toggleSideBand(const KnownFile& file, SideBand state,
                                                 std::optional<std::int64_t> sbaOffset);

}  // namespace vardane
