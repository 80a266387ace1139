#include "checksum/checksum.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace vardane {
namespace {

constexpr std::size_t kChecksumByte = 0xBBFF;

// A region adding up to 0x37 with 0x12 in its last byte, so the correction
// must write 0xDB there; the bytes past the region would move the sum if counted.
test::TestImage sum37Image(std::size_t size)
{
    test::TestImage image(size);
    for (std::size_t offset = 0xBC00; offset < size; offset += 97) {
        image.put(static_cast<std::int64_t>(offset), static_cast<std::uint8_t>(offset * 7 + 1));
    }
    return size > kChecksumByte ? image.put(0x100, std::uint8_t{0x25}).put(kChecksumByte, std::uint8_t{0x12})
                                : image;
}

TEST(Checksum, VerifiesAndCorrectsOnlyTheRegionOfAFileInTheSizeWindow)
{
    using enum ChecksumError;
    const std::pair<std::size_t, std::optional<ChecksumError>> cases[] = {
        {48127, regionMissing},
        {48128, {}},
        {132000, {}},
        {132001, notAnImage},
    };
    for (const auto& [size, error] : cases) {
        SCOPED_TRACE(size);
        const test::TempFile file(sum37Image(size));
        const auto before = file.contents();
        const auto sum = verifyChecksum(file.path());
        const auto correction = correctChecksum(file.path());
        if (error) {
            EXPECT_EQ(sum.error(), *error);
            EXPECT_EQ(correction.error(), *error);
            EXPECT_EQ(file.contents(), before);
            continue;
        }
        EXPECT_EQ(*sum, 0x37);
        EXPECT_EQ(correction->byteAfter, 0xDB);
        EXPECT_EQ(file.contents(), sum37Image(size).put(kChecksumByte, std::uint8_t{0xDB}).bytes());
        EXPECT_EQ(*verifyChecksum(file.path()), 0);
        EXPECT_FALSE(correctChecksum(file.path())->written);
    }
    EXPECT_EQ(verifyChecksum(test::TempFolder().path() / "gone.rom").error(), ChecksumError::unreachable);
}

}  // namespace
}  // namespace vardane
