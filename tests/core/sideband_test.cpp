#include "editors/sideband.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vardane {
namespace {

using test::Standard;

// The state text alone decides the byte written, and only while the file
// holds the byte that text stands for.
TEST(ToggleSideBand, WritesTheOtherValueOrNothing)
{
    using enum SbaError;
    const struct {
        std::uint8_t inFile;
        std::string state;
        std::optional<std::int64_t> offset;
        Expected<std::uint8_t, SbaError> written;
    } cases[] = {
        {0x7F, "NON", Standard::kSba, std::uint8_t{0xFB}},
        {0xFB, "OUI", Standard::kSba, std::uint8_t{0x7F}},
        {0x7F, "???", Standard::kSba, Unexpected{undecided}},
        {0x7F, "non", Standard::kSba, Unexpected{undecided}},
        {0x7F, "NON", std::nullopt, Unexpected{noOffset}},
        {0xFB, "NON", Standard::kSba, Unexpected{changed}},
        {0x7F, "OUI", Standard::kSba, Unexpected{changed}},
        {0x7F, "NON", 65536, Unexpected{unreachable}},
    };
    for (const auto& c : cases) {
        const auto image = test::standardImage().put(Standard::kSba, c.inFile);
        const test::TempFile file(image);
        const auto toggled = toggleSideBand(file.path(), c.state, c.offset);
        auto expected = image.bytes();
        if (c.written) {
            ASSERT_TRUE(toggled) << c.state;
            EXPECT_EQ(toggled->newState, c.state == "NON" ? "OUI" : "NON");
            EXPECT_EQ(toggled->message, c.state == "NON" ? kSbaEnabledMessage : kSbaDisabledMessage);
            expected[Standard::kSba] = *c.written;
        } else {
            EXPECT_EQ(toggled.error(), c.written.error()) << c.state;
        }
        EXPECT_EQ(file.contents(), expected);
    }
}

}  // namespace
}  // namespace vardane
