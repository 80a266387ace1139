#include "compare/compare.h"

#include "image/layout.h"

#include <algorithm>
#include <optional>

namespace vardane {
namespace {

namespace L = layout;

std::optional<std::int64_t> anchorOffset(L::Anchor anchor, const OpenResult& scan)
{
    switch (anchor) {
        case L::Anchor::versionMark:
            return scan.versionMark;
        case L::Anchor::pcirMark:
            return scan.pcirMark;
        case L::Anchor::sbaByte:
            return scan.state.SBAVrt;
        case L::Anchor::clockKey:
            return scan.state.Octclef;
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

}  // namespace

std::vector<PlacedField> placedFields(const OpenResult& scan)
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

}  // namespace vardane
