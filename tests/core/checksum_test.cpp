#include "checksum/checksum.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <numeric>
#include <vector>

namespace vardane {
namespace {

using test::differingOffsets;
using test::TempFile;
using test::TempFolder;
using test::TestImage;

constexpr std::int64_t kChecksumByte = 0xBBFF;
constexpr std::size_t kRegionLength = 0xBC00;

std::uint8_t regionSum(const std::vector<std::uint8_t>& bytes)
{
    return static_cast<std::uint8_t>(std::accumulate(bytes.begin(), bytes.begin() + kRegionLength, 0U) &
                                     0xFFU);
}

// Region sum 0x37 with 0x12 in the checksum byte: the correction must write 0xDB.
TestImage sum37Image(std::size_t size = 65536)
{
    return TestImage(size).put(0x100, std::uint8_t{0x25}).put(kChecksumByte, std::uint8_t{0x12});
}

TEST(VerifyChecksum, ValidImageSumsToZero)
{
    const TempFile file(test::standardImage());
    const auto sum = verifyChecksum(file.path());
    ASSERT_TRUE(sum.has_value());
    EXPECT_EQ(*sum, 0);
}

TEST(VerifyChecksum, ValidImageWithZeroChecksumByteSumsToZero)
{
    TestImage image(65536);
    image.put(0x10, std::uint8_t{0x80}).put(0x20, std::uint8_t{0x80});
    ASSERT_EQ(image.bytes()[kChecksumByte], 0);
    const TempFile file(image);
    const auto sum = verifyChecksum(file.path());
    ASSERT_TRUE(sum.has_value());
    EXPECT_EQ(*sum, 0);
}

TEST(VerifyChecksum, ReportsTheRegionSumAndWritesNothing)
{
    const TempFile file(sum37Image());
    const auto before = file.contents();
    const auto sum = verifyChecksum(file.path());
    ASSERT_TRUE(sum.has_value());
    EXPECT_EQ(*sum, 0x37);
    EXPECT_TRUE(differingOffsets(before, file.contents()).empty());
}

TEST(CorrectChecksum, RewritesOnlyTheLastByteOfTheRegion)
{
    const TempFile file(sum37Image());
    const auto before = file.contents();

    const auto correction = correctChecksum(file.path());

    ASSERT_TRUE(correction.has_value());
    EXPECT_EQ(correction->sumBefore, 0x37);
    EXPECT_EQ(correction->byteBefore, 0x12);
    EXPECT_EQ(correction->byteAfter, 0xDB);
    EXPECT_TRUE(correction->written);
    const auto after = file.contents();
    EXPECT_EQ(differingOffsets(before, after), std::vector<std::size_t>{kChecksumByte});
    EXPECT_EQ(after[kChecksumByte], 0xDB);
    EXPECT_EQ(regionSum(after), 0);
    const auto again = verifyChecksum(file.path());
    ASSERT_TRUE(again.has_value());
    EXPECT_EQ(*again, 0);
}

TEST(CorrectChecksum, WritesZeroWhenTheSumEqualsTheChecksumByte)
{
    const TempFile file(TestImage(65536).put(kChecksumByte, std::uint8_t{0x5A}));
    const auto before = file.contents();
    const auto correction = correctChecksum(file.path());
    ASSERT_TRUE(correction.has_value());
    EXPECT_EQ(correction->byteAfter, 0x00);
    EXPECT_EQ(differingOffsets(before, file.contents()), std::vector<std::size_t>{kChecksumByte});
}

TEST(CorrectChecksum, LeavesAValidImageUntouched)
{
    const TempFile file(test::standardImage());
    const auto before = file.contents();
    struct stat statBefore {};
    ASSERT_EQ(::stat(file.path().c_str(), &statBefore), 0);

    const auto correction = correctChecksum(file.path());

    ASSERT_TRUE(correction.has_value());
    EXPECT_FALSE(correction->written);
    EXPECT_EQ(correction->sumBefore, 0);
    EXPECT_EQ(correction->byteAfter, correction->byteBefore);
    EXPECT_TRUE(differingOffsets(before, file.contents()).empty());
    struct stat statAfter {};
    ASSERT_EQ(::stat(file.path().c_str(), &statAfter), 0);
    EXPECT_EQ(statAfter.st_mtim.tv_sec, statBefore.st_mtim.tv_sec);
    EXPECT_EQ(statAfter.st_mtim.tv_nsec, statBefore.st_mtim.tv_nsec);
}

// Bytes past the region belong to no checksum: they neither move the sum nor
// get written, whatever the file's length.
class BeyondTheRegion : public testing::TestWithParam<std::size_t> {};

TEST_P(BeyondTheRegion, NeitherCountsNorIsWritten)
{
    TestImage image = sum37Image(GetParam());
    for (std::size_t offset = kRegionLength; offset < GetParam(); offset += 97) {
        image.put(static_cast<std::int64_t>(offset), static_cast<std::uint8_t>(offset * 7 + 1));
    }
    image.put(static_cast<std::int64_t>(GetParam() - 1), std::uint8_t{0xFF});
    const TempFile file(image);
    const auto before = file.contents();

    const auto sum = verifyChecksum(file.path());
    ASSERT_TRUE(sum.has_value());
    EXPECT_EQ(*sum, 0x37);
    const auto correction = correctChecksum(file.path());
    ASSERT_TRUE(correction.has_value());
    EXPECT_EQ(correction->byteAfter, 0xDB);
    EXPECT_EQ(differingOffsets(before, file.contents()), std::vector<std::size_t>{kChecksumByte});
}

INSTANTIATE_TEST_SUITE_P(Sizes, BeyondTheRegion, testing::Values(48129, 65536, 132000));

struct SizeCase {
    std::size_t size;
    bool works;
    ChecksumError error;
};

class ChecksumBySize : public testing::TestWithParam<SizeCase> {};

TEST_P(ChecksumBySize, WorksOnlyWhenTheWholeRegionIsThere)
{
    const SizeCase& c = GetParam();
    TestImage image(c.size, 0x01);
    if (c.size > 0) {
        image.put(0, std::uint8_t{0x38});
    }
    const TempFile file(image);
    const auto before = file.contents();

    const auto sum = verifyChecksum(file.path());
    const auto correction = correctChecksum(file.path());

    const auto after = file.contents();
    if (c.works) {
        ASSERT_TRUE(sum.has_value());
        EXPECT_EQ(*sum, 0x37);
        ASSERT_TRUE(correction.has_value());
        EXPECT_EQ(differingOffsets(before, after), std::vector<std::size_t>{kChecksumByte});
        EXPECT_EQ(regionSum(after), 0);
    } else {
        ASSERT_FALSE(sum.has_value());
        EXPECT_EQ(sum.error(), c.error);
        ASSERT_FALSE(correction.has_value());
        EXPECT_EQ(correction.error(), c.error);
        EXPECT_TRUE(differingOffsets(before, after).empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ChecksumBySize,
                         testing::Values(SizeCase{0, false, ChecksumError::notAnImage},
                                         SizeCase{46126, false, ChecksumError::notAnImage},
                                         SizeCase{46127, false, ChecksumError::regionMissing},
                                         SizeCase{48127, false, ChecksumError::regionMissing},
                                         SizeCase{48128, true, {}}, SizeCase{132000, true, {}},
                                         SizeCase{132001, false, ChecksumError::notAnImage}),
                         [](const testing::TestParamInfo<SizeCase>& info) {
                             return std::to_string(info.param.size);
                         });

TEST(Checksum, RemovedFileIsUnreachableAndNotRecreated)
{
    const TempFile file(sum37Image());
    std::filesystem::remove(file.path());
    EXPECT_EQ(verifyChecksum(file.path()).error(), ChecksumError::unreachable);
    EXPECT_EQ(correctChecksum(file.path()).error(), ChecksumError::unreachable);
    EXPECT_FALSE(std::filesystem::exists(file.path()));
}

TEST(Checksum, DirectoryIsNeverWritten)
{
    const TempFolder folder;
    EXPECT_FALSE(verifyChecksum(folder.path()).has_value());
    EXPECT_FALSE(correctChecksum(folder.path()).has_value());
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(CorrectChecksum, ReadOnlyFileIsRefusedUnchanged)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not stop root from writing";
    }
    const TempFile file(sum37Image());
    const auto before = file.contents();
    std::filesystem::permissions(file.path(), std::filesystem::perms::owner_read |
                                                  std::filesystem::perms::group_read |
                                                  std::filesystem::perms::others_read);

    const auto sum = verifyChecksum(file.path());
    ASSERT_TRUE(sum.has_value()) << "verifying only reads";
    EXPECT_EQ(*sum, 0x37);
    const auto correction = correctChecksum(file.path());

    ASSERT_FALSE(correction.has_value());
    EXPECT_EQ(correction.error(), ChecksumError::writeFailed);
    EXPECT_TRUE(differingOffsets(before, file.contents()).empty());
}

// Lowers the file-size limit of this process below the checksum byte, so the
// system refuses the write whoever runs the test; restores both on leaving.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit lowered = saved_;
        lowered.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, savedHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*savedHandler_)(int) = nullptr;
};

TEST(CorrectChecksum, WriteRefusedBySystemReportsWriteFailedAndChangesNothing)
{
    const TempFile file(sum37Image());
    const auto before = file.contents();

    const auto correction = [&] {
        const FileSizeLimit limit(4096);
        return correctChecksum(file.path());
    }();

    ASSERT_FALSE(correction.has_value());
    EXPECT_EQ(correction.error(), ChecksumError::writeFailed);
    EXPECT_TRUE(differingOffsets(before, file.contents()).empty());
}

}  // namespace
}  // namespace vardane
