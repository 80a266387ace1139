// The SideBand Addressing toggle: one byte, 0xFB (enabled) or 0x7F (disabled).
#pragma once

#include "image/open_image.h"
#include "image/outcome.h"

#include <cstdint>
#include <filesystem>
#include <optional>

namespace vardane {

// The state decides the byte written (off -> 0xFB, on -> 0x7F), and the byte
// is written only while the file still holds the value that state stands for.
// Gives the state the byte now stands for.
[[nodiscard]] Outcome<SideBand> toggleSideBand(const KnownFile& file, SideBand state,
                                               std::optional<std::int64_t> sbaOffset);

}  // namespace vardane
