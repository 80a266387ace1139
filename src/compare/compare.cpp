#include "compare/compare.h"

#include "image/image_file.h"
#include "image/layout.h"

#include <algorithm>
#include <optional>

namespace vardane {
namespace {

namespace L = layout;

struct PlacedField {
    std::string_view name;
    std::int64_t start = 0;
    std::size_t length = 0;
};

std::optional<std::int64_t> anchorOffset(L::Anchor anchor, const ImageFacts& scan)
{
    switch (anchor) {
        case L::Anchor::versionMark:
            return scan.versionMark;
        case L::Anchor::pcirMark:
            return scan.pcirMark;
        case L::Anchor::sbaByte:
            return scan.SBAVrt;
        case L::Anchor::clockKey:
            return scan.Octclef;
        case L::Anchor::fileStart:
            break;
    }
    return 0;
}

bool inside(std::int64_t offset, const PlacedField& field)
{
    return offset >= field.start && offset < field.start + static_cast<std::int64_t>(field.length);
}

DifferingRun named(std::int64_t first, std::int64_t last, const std::vector<PlacedField>& fields)
{
    DifferingRun run{first, last, {}};
    for (const PlacedField& field : fields) {
        if (field.start <= last && first < field.start + static_cast<std::int64_t>(field.length)) {
            run.fields.push_back(field.name);
        }
    }
    for (std::int64_t offset = first; offset <= last; ++offset) {
        if (std::none_of(fields.begin(), fields.end(),
                         [offset](const auto& f) { return inside(offset, f); })) {
            run.fields.push_back(kOutsideEveryField);
            break;
        }
    }
    return run;
}

// The fields whose anchor the scan found, where that anchor puts them; a
// field that would start before the file is not placed.
std::vector<PlacedField> placedFields(const ImageFacts& scan)
{
    std::vector<PlacedField> placed;
    for (const L::Field& field : L::kFields) {
        const auto anchor = anchorOffset(field.anchor, scan);
        if (anchor && *anchor + field.distance >= 0) {
            placed.push_back({field.name, *anchor + field.distance, field.length});
        }
    }
    return placed;
}

// Every run of consecutive differing bytes over the common length of a and b,
// with the fields it touches.
std::vector<DifferingRun> differingRuns(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b,
                                        const std::vector<PlacedField>& fields)
{
    std::vector<DifferingRun> runs;
    const auto common = static_cast<std::int64_t>(std::min(a.size(), b.size()));
    const auto differs = [&](std::int64_t i) {
        return a[static_cast<std::size_t>(i)] != b[static_cast<std::size_t>(i)];
    };
    for (std::int64_t i = 0; i < common; ++i) {
        if (!differs(i)) {
            continue;
        }
        const std::int64_t first = i;
        while (i + 1 < common && differs(i + 1)) {
            ++i;
        }
        runs.push_back(named(first, i, fields));
    }
    return runs;
}

}  // namespace

Differences compareImages(const ImageFacts& a, const ImageFacts& b, std::string_view decimalSeparator)
{
    Differences differences;
    const Facts factsA = factsOf(a, decimalSeparator);
    const Facts factsB = factsOf(b, decimalSeparator);
    for (const auto& [key, value] : factsA) {
        if (value != factsB[key]) {
            differences.facts.push_back({key, value, factsB[key]});
        }
    }
    differences.runs = differingRuns(a.bytes, b.bytes, placedFields(a));
    differences.sizeA = a.size;
    differences.sizeB = b.size;
    differences.identical = a.size == b.size && a.bytes == b.bytes;
    return differences;
}

Outcome<void> restoreOriginal(const KnownFile& file, std::span<const std::uint8_t> original,
                              std::span<const std::uint8_t> lastRead)
{
    if (original.size() != lastRead.size()) {
        return refused(Refusal::lengthChanged);
    }
    const auto first = std::mismatch(original.begin(), original.end(), lastRead.begin()).first;
    if (first == original.end()) {
        return {};
    }
    const auto last = std::mismatch(original.rbegin(), original.rend(), lastRead.rbegin()).first.base();
    const auto offset = first - original.begin();
    const Expectation asLastRead{{{0, {lastRead.begin(), lastRead.end()}}},
                                 static_cast<std::int64_t>(lastRead.size())};
    return ImageFile::write(file, offset, std::span(first, last), asLastRead);
}

}  // namespace vardane
