// Naming the GPU from the chip bytes of the image's PCI data structure.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vardane {

using ChipBytes = std::array<std::uint8_t, 2>;

// Four upper-case hex digits (vendor high byte, device low byte), or "" when
// the image has no chip bytes.
[[nodiscard]] std::string makeChipKey(const std::optional<ChipBytes>& chipBytes);

// The table's name for a chip key, or "" when no row has that key.
[[nodiscard]] std::string_view gpuNameForChipKey(std::string_view chipKey);

}  // namespace vardane
