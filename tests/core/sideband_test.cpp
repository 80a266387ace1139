#include "editors/sideband.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vardane {
namespace {

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
        const TempFile file = imageWithSbaByte(c.byteBefore);
        const auto before = file.contents();
        const auto toggled = toggleSideBand(file.path(), c.state, Standard::kSba);
        ASSERT_TRUE(toggled);
        EXPECT_EQ(toggled->newState, c.newState);
        EXPECT_EQ(toggled->message, c.message);
        EXPECT_EQ(test::differingOffsets(before, file.contents()), std::vector{kSba});
        EXPECT_EQ(file.contents()[kSba], c.byteAfter);
        ASSERT_TRUE(toggleSideBand(file.path(), c.newState, Standard::kSba));
        EXPECT_EQ(file.contents(), before);
    }
}

TEST(ToggleSideBand, RefusalsLeaveTheFileUnchanged)
{
    const struct {
        std::uint8_t byteInFile;
        std::string state;
        std::optional<std::int64_t> offset;
        SbaError error;
    } cases[] = {
        {0x7F, "???", Standard::kSba, SbaError::undecided}, {0x7F, "", Standard::kSba, SbaError::undecided},
        {0x7F, "non", Standard::kSba, SbaError::undecided}, {0x7F, "NON", std::nullopt, SbaError::noOffset},
        {0xFB, "NON", Standard::kSba, SbaError::changed},   {0x7F, "OUI", Standard::kSba, SbaError::changed},
        {0x7F, "NON", 65536, SbaError::unreachable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        const TempFile file = imageWithSbaByte(c.byteInFile);
        const auto before = file.contents();
        EXPECT_EQ(toggleSideBand(file.path(), c.state, c.offset).error(), c.error);
        EXPECT_EQ(file.contents(), before);
    }
}

}  // namespace
}  // namespace vardane
