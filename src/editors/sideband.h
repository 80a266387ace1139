// The SideBand Addressing toggle: one byte, 0xFB (enabled) or 0x7F (disabled).
#pragma once

#include "image/outcome.h"

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

struct SbaToggled {
    std::string newState;  // "OUI" or "NON"
    std::string_view message;
};

// The decision rests on the state text alone ("NON" -> 0xFB, "OUI" -> 0x7F).
// The byte is written only while it still holds the value the state stands for.
[[nodiscard]] Outcome<SbaToggled> toggleSideBand(const std::filesystem::path& path, std::string_view sbaState,
                                                 std::optional<std::int64_t> sbaOffset);

}  // namespace vardane
