#include "checksum/checksum.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
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
        {46126, notAnImage}, {48127, regionMissing}, {48128, {}}, {132000, {}}, {132001, notAnImage},
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
        EXPECT_EQ(test::differingOffsets(before, file.contents()), std::vector{kChecksumByte});
        EXPECT_EQ(*verifyChecksum(file.path()), 0);
        EXPECT_FALSE(correctChecksum(file.path())->written);
        EXPECT_EQ(file.contents()[kChecksumByte], 0xDB);
    }
}

TEST(Checksum, AWriteTheSystemRefusesChangesNothing)
{
    const test::TempFile file(sum37Image(65536));
    const auto before = file.contents();
    // A file-size limit below the checksum byte refuses the write, whoever runs the test.
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = saved;
    lowered.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &lowered);
    const auto correction = correctChecksum(file.path());
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(correction.error(), ChecksumError::writeFailed);
    EXPECT_EQ(file.contents(), before);
    EXPECT_EQ(verifyChecksum(file.folder() / "gone.rom").error(), ChecksumError::unreachable);
}

}  // namespace
}  // namespace vardane
