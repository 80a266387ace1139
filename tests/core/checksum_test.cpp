#include "checksum/checksum.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

namespace vardane {
namespace {

using test::differingOffsets;
using test::TempFile;
using test::TempFolder;
using test::TestImage;

constexpr std::int64_t kChecksumByte = 0xBBFF;

// Region sum 0x37 with 0x12 in the checksum byte, so the correction must write
// 0xDB; bytes from 0xBC00 on, outside the region, would move the sum if counted.
TestImage sum37Image(std::size_t size = 65536)
{
    TestImage image(size);
    if (size >= 0xBC00) {
        image.put(0x100, std::uint8_t{0x25}).put(kChecksumByte, std::uint8_t{0x12});
    }
    for (std::size_t offset = 0xBC00; offset < size; offset += 97) {
        image.put(static_cast<std::int64_t>(offset), static_cast<std::uint8_t>(offset * 7 + 1));
    }
    return size > 0xBC00 ? image.put(static_cast<std::int64_t>(size - 1), std::uint8_t{0xFF}) : image;
}

TEST(Checksum, VerifiesAndCorrectsOnlyTheRegionOfAnImageSizedFile)
{
    using enum ChecksumError;
    const std::pair<std::size_t, std::optional<ChecksumError>> cases[] = {
        {0, notAnImage}, {46126, notAnImage}, {46127, regionMissing}, {48127, regionMissing}, {48128, {}},
        {48129, {}},     {65536, {}},         {132000, {}},           {132001, notAnImage},
    };
    for (const auto& [size, error] : cases) {
        SCOPED_TRACE(size);
        const TempFile file(sum37Image(size));
        const auto before = file.contents();
        const auto sum = verifyChecksum(file.path());
        const auto correction = correctChecksum(file.path());
        ASSERT_EQ(sum.has_value(), !error);
        ASSERT_EQ(correction.has_value(), !error);
        if (error) {
            EXPECT_EQ(sum.error(), *error);
            EXPECT_EQ(correction.error(), *error);
            EXPECT_TRUE(differingOffsets(before, file.contents()).empty());
            continue;
        }
        EXPECT_EQ(*sum, 0x37);
        EXPECT_EQ(correction->sumBefore, 0x37);
        EXPECT_EQ(correction->byteBefore, 0x12);
        EXPECT_EQ(correction->byteAfter, 0xDB);
        EXPECT_TRUE(correction->written);
        EXPECT_EQ(differingOffsets(before, file.contents()), std::vector<std::size_t>{kChecksumByte});
        EXPECT_EQ(verifyChecksum(file.path()).value(), 0);
    }
}

TEST(Checksum, AValidImageIsLeftUntouched)
{
    const TempFile file(test::standardImage());
    const auto before = file.contents();
    struct stat statBefore {};
    ASSERT_EQ(::stat(file.path().c_str(), &statBefore), 0);
    EXPECT_EQ(verifyChecksum(file.path()).value(), 0);
    const auto correction = correctChecksum(file.path());
    ASSERT_TRUE(correction.has_value());
    EXPECT_FALSE(correction->written);
    EXPECT_EQ(correction->sumBefore, 0);
    EXPECT_EQ(correction->byteAfter, correction->byteBefore);
    EXPECT_TRUE(differingOffsets(before, file.contents()).empty());
    struct stat statAfter {};
    ASSERT_EQ(::stat(file.path().c_str(), &statAfter), 0);
    EXPECT_EQ(statAfter.st_mtim.tv_nsec, statBefore.st_mtim.tv_nsec);
    EXPECT_EQ(statAfter.st_mtim.tv_sec, statBefore.st_mtim.tv_sec);
}

TEST(Checksum, RemovedFileOrDirectoryIsRefusedAndNothingIsCreated)
{
    const TempFolder folder;
    const auto removed = folder.path() / "gone.rom";
    EXPECT_EQ(verifyChecksum(removed).error(), ChecksumError::unreachable);
    EXPECT_EQ(correctChecksum(removed).error(), ChecksumError::unreachable);
    EXPECT_FALSE(verifyChecksum(folder.path()).has_value());
    EXPECT_FALSE(correctChecksum(folder.path()).has_value());
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(Checksum, ReadOnlyFileIsVerifiedButNotCorrected)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not stop root from writing";
    }
    const TempFile file(sum37Image());
    const auto before = file.contents();
    std::filesystem::permissions(file.path(), std::filesystem::perms::owner_read);
    EXPECT_EQ(verifyChecksum(file.path()).value(), 0x37);
    EXPECT_EQ(correctChecksum(file.path()).error(), ChecksumError::writeFailed);
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

TEST(Checksum, WriteRefusedBySystemChangesNothing)
{
    const TempFile file(sum37Image());
    const auto before = file.contents();
    const auto correction = [&] {
        const FileSizeLimit limit(4096);
        return correctChecksum(file.path());
    }();
    EXPECT_EQ(correction.error(), ChecksumError::writeFailed);
    EXPECT_TRUE(differingOffsets(before, file.contents()).empty());
}

}  // namespace
}  // namespace vardane
