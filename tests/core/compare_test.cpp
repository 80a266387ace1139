#include "compare/compare.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

namespace vardane {
namespace {

using test::Standard;
using test::TestImage;

// "first..last names" for each run, as the CLI prints them.
std::vector<std::string> runsOf(const TestImage& a, const TestImage& b)
{
    const test::TempFile file(a);
    const auto runs = differingRuns(a.bytes(), b.bytes(), placedFields(openImage(file.path(), ",")));
    std::vector<std::string> shown;
    for (const DifferingRun& run : runs) {
        std::string names;
        for (const std::string_view name : run.fields) {
            names += " " + std::string(name);
        }
        shown.push_back(std::to_string(run.first) + ".." + std::to_string(run.last) + names);
    }
    return shown;
}

TEST(DifferingRuns, NameEachFieldARunTouchesAsTheFirstImagesScanPlacedIt)
{
    const TestImage a = test::standardImage();
    const TestImage early = TestImage(a).version(80);
    const auto flip = [](TestImage b, const std::vector<std::int64_t>& offsets) {
        for (const std::int64_t offset : offsets) {
            b.put(offset, static_cast<std::uint8_t>(b.bytes()[static_cast<std::size_t>(offset)] ^ 0xFF));
        }
        return b;
    };
    const struct {
        TestImage a, b;
        std::vector<std::string> runs;
    } cases[] = {
        // clang-format off
        {a, a, {}}, {a, flip(a, {Standard::kHeader + 49}), {"224..224 HeaderText"}},
        {a, flip(a, {Standard::kHeader - 1, Standard::kHeader}), {"174..175 HeaderText -"}},
        {a, flip(a, {Standard::kVersion + 41, Standard::kVersion + 42}), {"297..298 VersionText -"}},
        {a, flip(a, {Standard::kPcir + 5, Standard::kPcir + 7}), {"101..101 ChipBytes", "103..103 -"}},
        {a, flip(a, {Standard::kSba}), {"2048..2048 SbaByte"}}, {a, flip(a, {0xBC00}), {"48128..48128 -"}},
        {a, flip(a, {Standard::kClockKey - 26}), {"3718..3718 MemClockWord"}},
        {a, flip(a, {Standard::kClockKey - 69}), {"3675..3675 CoreClockWord"}},
        {a, flip(a, {0xBBFF}), {"48127..48127 ChecksumByte"}},
        // clang-format on
        // The longer file's extra bytes are not compared.
        {TestImage(46127).put(100, std::uint8_t{1}), TestImage(65536), {"100..100 -"}},
        // A scan that stopped at a "Version" too near the start placed the version text only.
        {early, flip(early, {87, Standard::kClockKey - 26}), {"87..87 VersionText", "3718..3718 -"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(runsOf(c.a, c.b), c.runs);
    }
}

}  // namespace
}  // namespace vardane
