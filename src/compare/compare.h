// What differs between two images: the facts the window and vardane-cli show,
// and the runs of differing bytes, named by the fields of the layout as the
// first image's open scan placed them. Also the way back: writing an image's
// original bytes over a file that has changed since.
#pragma once

#include "compare/wording.h"
#include "image/image_file.h"
#include "image/open_image.h"
#include "image/outcome.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vardane {

// Stands for the bytes of a run that lie outside every known field.
inline constexpr std::string_view kOutsideEveryField = "-";

struct DifferingRun {
    std::int64_t first = 0;
    std::int64_t last = 0;                 // included
    std::vector<std::string_view> fields;  // in layout order, then kOutsideEveryField
};

struct DifferingFact {
    FactKey key;
    FactValue a;
    FactValue b;
};

struct Differences {
    std::vector<DifferingFact> facts;
    std::vector<DifferingRun> runs;
    std::optional<std::int64_t> sizeA;
    std::optional<std::int64_t> sizeB;
    bool identical = false;  // the same length and the same bytes
};

// Both images as their opens read them, their facts worded alike; the runs
// are named after a's fields.
[[nodiscard]] Differences compareImages(const ImageFacts& a, const ImageFacts& b,
                                        std::string_view decimalSeparator);

// Writes the original bytes back where `lastRead` (the file as last read)
// differs from them, in one guarded write over the span from the first to the
// last differing byte, and only while the file still holds exactly `lastRead`.
// A file whose length is not the original's is refused: no write changes a
// length.
[[nodiscard]] Outcome<void> restoreOriginal(const KnownFile& file, std::span<const std::uint8_t> original,
                                            std::span<const std::uint8_t> lastRead);

}  // namespace vardane
