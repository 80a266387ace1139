#include "compare/compare.h"

#include "checksum/checksum.h"
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

std::string_view statusName(OpenStatus status)
{
    switch (status) {
        case OpenStatus::accepted:
            return "accepted";
        case OpenStatus::failed:
            return "failed";
        case OpenStatus::rejected:
            return "rejected";
        case OpenStatus::unreadable:
            break;
    }
    return "unreadable";
}

template <typename Integer>
FactValue numberOrNone(const std::optional<Integer>& value)
{
    return value ? FactValue(static_cast<std::int64_t>(*value)) : FactValue();
}

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

// The fields whose anchor the scan found, where that anchor puts them; a
// field that would start before the file is not placed.
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

std::vector<Fact> factsOf(const OpenResult& opened)
{
    const ImageState& s = opened.state;
    const bool read = opened.status == OpenStatus::accepted || opened.status == OpenStatus::failed;
    const auto sum = read ? regionSum(opened.bytes) : std::nullopt;
    return {
        {"status", {}, std::string(statusName(opened.status))},
        {"message",
         {},
         opened.status == OpenStatus::accepted ? FactValue()
                                               : FactValue(std::string(openMessage(opened.status)))},
        {"fileTitle", kFileTitleCaption, s.fileTitle},
        {"fileSize", kFileSizeCaption, s.fileSize},
        {"headerText", kHeaderCaption, s.headerText},
        {"versionText", kVersionCaption, s.versionText},
        {"chipKey", {}, opened.chipKey},
        {"gpuName", kGpuCaption, s.gpuName},
        {"sbaState", kSbaCaption, s.sbaState},
        {"memClockText", kMemClockCaption, s.memClockText},
        {"coreClockText", kCoreClockCaption, s.coreClockText},
        {"headerlengh", {}, numberOrNone(s.headerlengh)},
        {"SBAVrt", {}, numberOrNone(s.SBAVrt)},
        {"Octclef", {}, numberOrNone(s.Octclef)},
        {"memClockWord", {}, numberOrNone(opened.memClockWord)},
        {"coreClockWord", {}, numberOrNone(opened.coreClockWord)},
        {"checksum", kChecksumCaption, sum ? FactValue(ChecksumFact{*sum}) : FactValue()},
    };
}

std::string factText(const FactValue& value, bool withSum)
{
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return std::to_string(*number);
    }
    if (const auto* checksum = std::get_if<ChecksumFact>(&value)) {
        std::string state(checksum->sum == 0 ? kChecksumValid : kChecksumInvalid);
        return withSum ? state + " (" + std::to_string(checksum->sum) + ")" : state;
    }
    return {};
}

Differences compareImages(const OpenResult& a, const OpenResult& b)
{
    Differences differences;
    const std::vector<Fact> factsA = factsOf(a);
    const std::vector<Fact> factsB = factsOf(b);
    for (std::size_t i = 0; i < factsA.size(); ++i) {
        if (factsA[i].value != factsB[i].value) {
            differences.facts.push_back({factsA[i].key, factsA[i].caption, factsA[i].value, factsB[i].value});
        }
    }
    differences.runs = differingRuns(a.bytes, b.bytes, placedFields(a));
    differences.sizeA = a.size;
    differences.sizeB = b.size;
    differences.identical = a.size == b.size && a.bytes == b.bytes;
    return differences;
}

Comparison compareWithFile(const OpenResult& original, const std::filesystem::path& path,
                           std::string_view decimalSeparator)
{
    Comparison comparison{openImage(path, decimalSeparator), {}};
    comparison.differences = compareImages(original, comparison.now);
    return comparison;
}

Outcome<void> restoreOriginal(const std::filesystem::path& path, std::span<const std::uint8_t> original,
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
    const Expectation asLastRead{
        0, {lastRead.begin(), lastRead.end()}, static_cast<std::int64_t>(lastRead.size())};
    return ImageFile::write(path, offset, std::span(first, last), asLastRead);
}

}  // namespace vardane
