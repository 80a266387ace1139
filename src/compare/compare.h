// What differs between two images, byte for byte, named by the fields of the
// layout as one image's open scan placed them.
#pragma once

#include "image/open_image.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace vardane {

// Stands for the bytes of a run that lie outside every known field.
inline constexpr std::string_view kOutsideEveryField = "-";

struct PlacedField {
    std::string_view name;
    std::int64_t start = 0;
    std::size_t length = 0;
};

// The fields whose anchor the scan found, where that anchor puts them; a
// field that would start before the file is not placed.
[[nodiscard]] std::vector<PlacedField> placedFields(const OpenResult& scan);

struct DifferingRun {
    std::int64_t first = 0;
    std::int64_t last = 0;                 // included
    std::vector<std::string_view> fields;  // in layout order, then kOutsideEveryField
};

// Every run of consecutive differing bytes over the common length of a and b,
// with the fields it touches.
[[nodiscard]] std::vector<DifferingRun> differingRuns(std::span<const std::uint8_t> a,
                                                      std::span<const std::uint8_t> b,
                                                      const std::vector<PlacedField>& fields);

}  // namespace vardane
