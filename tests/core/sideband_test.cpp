#include "editors/sideband.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vardane {
namespace {

using test::differingOffsets;
using test::Standard;
using test::TempFile;

constexpr auto kSba = static_cast<std::size_t>(Standard::kSba);

TempFile imageWithSbaByte(std::uint8_t byte)
{
    return TempFile(test::standardImage().put(Standard::kSba, byte));
}

TEST(ToggleSideBand, WritesTheOtherValueOnlyAndASecondToggleRestoresTheFile)
{
    const struct {
        std::uint8_t byteBefore, byteAfter;
        std::string state, newState;
        std::string_view message;
    } cases[] = {{0x7F, 0xFB, "NON", "OUI", kSbaEnabledMessage},
                 {0xFB, 0x7F, "OUI", "NON", kSbaDisabledMessage}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        const TempFile file = imageWithSbaByte(c.byteBefore);
        const auto before = file.contents();
        const auto toggled = toggleSideBand(file.path(), c.state, Standard::kSba);
        ASSERT_TRUE(toggled);
        EXPECT_EQ(toggled->byteWritten, c.byteAfter);
        EXPECT_EQ(toggled->newState, c.newState);
        EXPECT_EQ(toggled->message, c.message);
        EXPECT_EQ(differingOffsets(before, file.contents()), std::vector<std::size_t>{kSba});
        EXPECT_EQ(file.contents()[kSba], c.byteAfter);
        ASSERT_TRUE(toggleSideBand(file.path(), c.newState, Standard::kSba));
        EXPECT_TRUE(differingOffsets(before, file.contents()).empty());
    }
}

TEST(ToggleSideBand, RefusalsLeaveTheFileUnchanged)
{
    struct Refusal {
        std::string name;
        std::uint8_t byteInFile;
        std::string state;
        std::optional<std::int64_t> offset;
        SbaError error;
    };
    const std::vector<Refusal> refusals{
        {"undecided", 0x7F, "???", Standard::kSba, SbaError::undecided},
        {"empty after Close", 0x7F, "", Standard::kSba, SbaError::undecided},
        {"case matters", 0x7F, "non", Standard::kSba, SbaError::undecided},
        {"no blank trimmed", 0xFB, "OUI ", Standard::kSba, SbaError::undecided},
        {"no offset", 0x7F, "NON", std::nullopt, SbaError::noOffset},
        {"byte already enabled", 0xFB, "NON", Standard::kSba, SbaError::changed},
        {"byte already disabled", 0x7F, "OUI", Standard::kSba, SbaError::changed},
        {"byte is neither value", 0x00, "NON", Standard::kSba, SbaError::changed},
        {"offset past the end", 0x7F, "NON", 65536, SbaError::unreachable},
        {"negative offset", 0x7F, "NON", -1, SbaError::unreachable},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.name);
        const TempFile file = imageWithSbaByte(r.byteInFile);
        const auto before = file.contents();

        const auto toggled = toggleSideBand(file.path(), r.state, r.offset);

        ASSERT_FALSE(toggled);
        EXPECT_EQ(toggled.error(), r.error);
        EXPECT_EQ(file.contents(), before);
    }
}

TEST(ToggleSideBand, UnreachableFileIsReportedAsSuch)
{
    const test::TempFolder folder;
    const auto missing = folder.path() / "gone.rom";
    const auto directory = folder.path() / "folder.rom";
    std::filesystem::create_directory(directory);

    for (const auto& path : {missing, directory}) {
        SCOPED_TRACE(path.string());
        const auto toggled = toggleSideBand(path, "NON", Standard::kSba);
        ASSERT_FALSE(toggled);
        EXPECT_EQ(toggled.error(), SbaError::unreachable);
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
}  // namespace vardane
