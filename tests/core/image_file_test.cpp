#include "image/image_file.h"
#include "image/open_image.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <vector>

// Faults the system could answer with, planted on the calls ImageFile makes.
// Every other call goes to the kernel unchanged.
namespace {
struct PlantedFaults {
    int interruptedReads = 0;      // preads failing with EINTR
    int shortReads = 0;            // preads giving one byte only
    int shortWrites = 0;           // pwrites writing one byte only
    int writesBeforeFailure = -1;  // pwrites that go through before the rest fail
    bool flushFails = false;
} faults;
}  // namespace

extern "C" ssize_t pread(int fd, void* buffer, size_t length, off_t offset)
{
    if (faults.interruptedReads > 0) {
        --faults.interruptedReads;
        errno = EINTR;
        return -1;
    }
    if (faults.shortReads > 0 && length > 1) {
        --faults.shortReads;
        length = 1;
    }
    return ::syscall(SYS_pread64, fd, buffer, length, offset);
}

extern "C" ssize_t pwrite(int fd, const void* buffer, size_t length, off_t offset)
{
    if (faults.writesBeforeFailure == 0) {
        errno = EIO;
        return -1;
    }
    if (faults.writesBeforeFailure > 0) {
        --faults.writesBeforeFailure;
    }
    if (faults.shortWrites > 0 && length > 1) {
        --faults.shortWrites;
        length = 1;
    }
    return ::syscall(SYS_pwrite64, fd, buffer, length, offset);
}

extern "C" int fdatasync(int fd)
{
    if (faults.flushFails) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fdatasync, fd));
}

namespace vardane {
namespace {

using test::TempFile;

constexpr std::int64_t kSize = 4096;

// Every byte different from its neighbours, so a write one byte off shows.
constexpr std::uint8_t byteAt(std::int64_t offset)
{
    return static_cast<std::uint8_t>(offset * 31 + 7);
}

TempFile countingFile()
{
    test::TestImage image(kSize);
    for (std::int64_t i = 0; i < kSize; ++i) {
        image.put(i, byteAt(i));
    }
    return TempFile(image);
}

class ImageFileTest : public testing::Test {
protected:
    void TearDown() override { faults = {}; }
};

TEST_F(ImageFileTest, WriteChangesExactlyTheRangeOrNothing)
{
    const struct {
        std::int64_t offset;
        std::size_t length;
        std::optional<Expectation> expected;
        std::optional<IoError> error;
    } cases[] = {
        {0, 1, {}, {}},
        {kSize - 2, 2, Expectation{kSize - 1, {byteAt(kSize - 1)}}, {}},
        {kSize - 1, 2, {}, IoError::outOfRange},
        {-1, 1, {}, IoError::outOfRange},
        {std::numeric_limits<std::int64_t>::max() - 1, 2, {}, IoError::outOfRange},
        {100, 2, Expectation{99, {byteAt(99), 0x00}}, IoError::contentChanged},
        {100, 2, Expectation{kSize - 1, {byteAt(kSize - 1), 0x00}}, IoError::contentChanged},
        {100, 2, Expectation{-1, {0x00}}, IoError::contentChanged},
    };
    for (const auto& c : cases) {
        const TempFile file = countingFile();
        auto expected = file.contents();
        std::vector<std::uint8_t> bytes{0xA0, 0xA1};  // no byte is the one it replaces
        bytes.resize(c.length);
        const auto written = ImageFile::write(file.path(), c.offset, bytes, c.expected);
        if (!c.error) {
            std::copy(bytes.begin(), bytes.end(), expected.begin() + c.offset);
        }
        EXPECT_EQ(file.contents(), expected) << c.offset;
        EXPECT_EQ(written ? std::nullopt : std::optional(written.error()), c.error) << c.offset;
    }
}

// A write cut short or not confirmed puts the old bytes back; only when even
// that fails is the file said to be damaged.
TEST_F(ImageFileTest, AFailedWriteIsUndoneOrReportedAsDamage)
{
    const std::pair<PlantedFaults, IoError> cases[] = {
        {{.shortWrites = 1}, IoError::writeFailed},
        {{.flushFails = true}, IoError::flushFailed},
        {{.writesBeforeFailure = 1, .flushFails = true}, IoError::damaged},
        {{.shortWrites = 1, .writesBeforeFailure = 1}, IoError::damaged},
    };
    for (const auto& [planted, error] : cases) {
        const TempFile file = countingFile();
        const auto before = file.contents();
        faults = planted;
        const auto written = ImageFile::write(file.path(), 10, std::vector<std::uint8_t>{0xA0, 0xA1});
        faults = {};
        EXPECT_EQ(written.error(), error);
        EXPECT_EQ(file.contents() == before, error != IoError::damaged);
    }
}

// Reads resume after a signal and after a short count, so an open sees every byte.
TEST_F(ImageFileTest, ReadsResumeAfterAnInterruptionOrAShortCount)
{
    const TempFile file(test::standardImage());
    faults = {.interruptedReads = 1, .shortReads = 2};
    EXPECT_EQ(openImage(file.path(), ",").state.coreClockText, "143 Mhz");
    EXPECT_EQ(ImageFile::read(file.path(), 65535, 2).error(), IoError::outOfRange);
}

}  // namespace
}  // namespace vardane
