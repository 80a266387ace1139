// What differs between two images: the facts the window and vardane-cli show,
// and the runs of differing bytes, named by the fields of the layout as the
// first image's open scan placed them. Also the way back: writing an image's
// original bytes over a file that has changed since.
#pragma once

#include "image/open_image.h"
#include "image/outcome.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vardane {

// A fact's value: none (null), a number, a text, or the region's sum.
struct ChecksumFact {
    std::uint8_t sum;
    friend bool operator==(const ChecksumFact&, const ChecksumFact&) = default;
};
using FactValue = std::variant<std::monostate, std::int64_t, std::string, ChecksumFact>;

struct Fact {
    std::string_view key;      // as `vardane-cli info --json` names it
    std::string_view caption;  // the window's row, or empty
    FactValue value;
};

// Every fact of an open, in a fixed order: status, message, the shown texts,
// the chip key, the kept offsets, the clock words, and the checksum of the
// bytes read (none when they do not hold the whole region).
[[nodiscard]] std::vector<Fact> factsOf(const OpenResult& opened);

// A value as a line shows it: a text as it is, a number in decimal, none as
// "", and the checksum as the window's state text, with its sum if asked.
[[nodiscard]] std::string factText(const FactValue& value, bool withSum = false);

// Stands for the bytes of a run that lie outside every known field.
inline constexpr std::string_view kOutsideEveryField = "-";

struct DifferingRun {
    std::int64_t first = 0;
    std::int64_t last = 0;                 // included
    std::vector<std::string_view> fields;  // in layout order, then kOutsideEveryField
};

struct DifferingFact {
    std::string_view key;
    std::string_view caption;
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

// Both images as their opens read them; the runs are named after a's fields.
[[nodiscard]] Differences compareImages(const OpenResult& a, const OpenResult& b);

// The file as it is now beside the image as it was opened.
struct Comparison {
    OpenResult now;
    Differences differences;
};
[[nodiscard]] Comparison compareWithFile(const OpenResult& original, const std::filesystem::path& path,
                                         std::string_view decimalSeparator);

// Writes the original bytes back where `lastRead` (the file as last read)
// differs from them, in one guarded write over the span from the first to the
// last differing byte, and only while the file still holds exactly `lastRead`.
// A file whose length is not the original's is refused: no write changes a
// length.
[[nodiscard]] Outcome<void> restoreOriginal(const std::filesystem::path& path,
                                            std::span<const std::uint8_t> original,
                                            std::span<const std::uint8_t> lastRead);

}  // namespace vardane
