#include "image/image_file.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <numeric>
#include <optional>
#include <vector>

namespace vardane {
namespace {

using test::differingOffsets;
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

TEST(ImageFileWrite, ChangesExactlyTheRangeOrNothing)
{
    const struct {
        std::int64_t offset;
        std::size_t length;
        std::optional<Expectation> expected;
        std::optional<IoError> error;
    } cases[] = {
        {0, 1, {}, {}},
        {1000, 50, {}, {}},
        {kSize - 2, 2, {}, {}},
        {100, 2, Expectation{100, {byteAt(100), byteAt(101)}}, {}},
        {kSize, 1, {}, IoError::outOfRange},
        {kSize - 1, 2, {}, IoError::outOfRange},
        {-1, 1, {}, IoError::outOfRange},
        {std::numeric_limits<std::int64_t>::min(), 1, {}, IoError::outOfRange},
        {std::numeric_limits<std::int64_t>::max() - 1, 2, {}, IoError::outOfRange},
        {100, 2, Expectation{100, {byteAt(100), 0x00}}, IoError::contentChanged},
        {100, 2, Expectation{kSize - 1, {byteAt(kSize - 1), 0}}, IoError::contentChanged},
        {100, 2, Expectation{-1, {0x00}}, IoError::contentChanged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.offset << " + " << c.length << (c.expected ? " expecting" : ""));
        const TempFile file = countingFile();
        const auto before = file.contents();
        std::vector<std::uint8_t> bytes(c.length);
        std::iota(bytes.begin(), bytes.end(), std::uint8_t{0xA0});

        const auto written = ImageFile::write(file.path(), c.offset, bytes, c.expected);

        ASSERT_EQ(written.has_value(), !c.error);
        EXPECT_TRUE(written || written.error() == *c.error);
        // No payload byte equals the byte it replaces, so every written byte shows.
        std::vector<std::size_t> range(c.error ? 0 : c.length);
        std::iota(range.begin(), range.end(), static_cast<std::size_t>(c.offset));
        const auto after = file.contents();
        EXPECT_EQ(differingOffsets(before, after), range);
        EXPECT_TRUE(c.error || std::equal(bytes.begin(), bytes.end(), after.begin() + c.offset));
    }
}

TEST(ImageFileWrite, RefusesWhatIsNotAnExistingRegularFileWithoutCreatingOrBlocking)
{
    const test::TempFolder folder;
    const auto missing = folder.path() / "absent.rom";
    const auto fifo = folder.path() / "pipe.rom";  // with no reader, a plain open would block
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ImageFile::write(missing, 0, std::vector<std::uint8_t>{1}).error(), IoError::missing);
    EXPECT_EQ(ImageFile::write(fifo, 0, std::vector<std::uint8_t>{1}).error(), IoError::notRegularFile);
    EXPECT_FALSE(ImageFile::write(folder.path(), 0, std::vector<std::uint8_t>{1}).has_value());
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(ImageFileRead, ExactReadsStayInsideAndReadIntoStopsAtTheEnd)
{
    const TempFile file = countingFile();
    const auto bytes = file.contents();
    EXPECT_EQ(ImageFile::read(file.path(), kSize - 1, 2).error(), IoError::outOfRange);
    EXPECT_EQ(ImageFile::read(file.path(), -1, 1).error(), IoError::outOfRange);
    EXPECT_EQ(ImageFile::read(file.path(), kSize - 2, 2).value(),
              (std::vector<std::uint8_t>{bytes[kSize - 2], bytes[kSize - 1]}));

    std::array<std::uint8_t, 100> buffer{};
    EXPECT_EQ(ImageFile::readInto(file.path(), kSize - 3, buffer).value(), 3U);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 3, bytes.end() - 3));
    EXPECT_EQ(ImageFile::readInto(file.path(), kSize + 10, buffer).value(), 0U);
}

}  // namespace
}  // namespace vardane
