#include "image/image_file.h"

#include "test_image.h"

#include <array>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <numeric>
#include <vector>

namespace vardane {
namespace {

using test::differingOffsets;
using test::TempFile;
using test::TempFolder;
using test::TestImage;

constexpr std::size_t kSize = 4096;

// Every byte different from its neighbours, so a write one byte off shows.
TestImage countingImage()
{
    TestImage image(kSize);
    for (std::size_t i = 0; i < kSize; ++i) {
        image.put(static_cast<std::int64_t>(i), static_cast<std::uint8_t>(i * 31 + 7));
    }
    return image;
}

std::vector<std::uint8_t> payload(std::size_t length)
{
    std::vector<std::uint8_t> bytes(length);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{0xA0});
    return bytes;
}

struct WriteCase {
    std::int64_t offset;
    std::size_t length;
};

class ImageFileWriteRange : public testing::TestWithParam<WriteCase> {};

TEST_P(ImageFileWriteRange, ChangesExactlyTheBytesOfTheRange)
{
    const TempFile file(countingImage());
    const auto before = file.contents();
    const auto bytes = payload(GetParam().length);

    ASSERT_TRUE(ImageFile::write(file.path(), GetParam().offset, bytes).has_value());

    auto expected = before;
    std::copy(bytes.begin(), bytes.end(), expected.begin() + GetParam().offset);
    const auto after = file.contents();
    EXPECT_EQ(after, expected);
    EXPECT_EQ(after.size(), kSize);
}

INSTANTIATE_TEST_SUITE_P(Ranges, ImageFileWriteRange,
                         testing::Values(WriteCase{0, 1}, WriteCase{0, 2}, WriteCase{1000, 2},
                                         WriteCase{1000, 50}, WriteCase{kSize - 1, 1},
                                         WriteCase{kSize - 2, 2}, WriteCase{kSize - 50, 50}));

class ImageFileWriteRefused : public testing::TestWithParam<WriteCase> {};

TEST_P(ImageFileWriteRefused, OutsideTheFileWritesNothing)
{
    const TempFile file(countingImage());
    const auto before = file.contents();

    const auto written = ImageFile::write(file.path(), GetParam().offset, payload(GetParam().length));

    ASSERT_FALSE(written.has_value());
    EXPECT_EQ(written.error(), IoError::outOfRange);
    EXPECT_TRUE(differingOffsets(before, file.contents()).empty());
}

INSTANTIATE_TEST_SUITE_P(Ranges, ImageFileWriteRefused,
                         testing::Values(WriteCase{kSize, 1}, WriteCase{kSize - 1, 2},
                                         WriteCase{kSize - 49, 50}, WriteCase{-1, 1}, WriteCase{-1, 2},
                                         WriteCase{std::numeric_limits<std::int64_t>::min(), 1},
                                         WriteCase{std::numeric_limits<std::int64_t>::max(), 1},
                                         WriteCase{std::numeric_limits<std::int64_t>::max() - 1, 2}));

TEST(ImageFileWriteExpectation, HoldingExpectationLetsTheWriteThrough)
{
    const TempFile file(countingImage());
    const auto before = file.contents();
    const std::vector<std::uint8_t> bytes{0x00, 0xFF};

    ASSERT_TRUE(
        ImageFile::write(file.path(), 100, bytes, Expectation{100, {before[100], before[101]}}).has_value());

    EXPECT_EQ(differingOffsets(before, file.contents()), (std::vector<std::size_t>{100, 101}));
}

struct Unmet {
    const char* name;
    std::int64_t offset;
    std::vector<std::uint8_t> bytes;
};

class ImageFileWriteUnmetExpectation : public testing::TestWithParam<Unmet> {};

TEST_P(ImageFileWriteUnmetExpectation, WritesNothing)
{
    const TempFile file(countingImage());
    const auto before = file.contents();

    const auto written = ImageFile::write(file.path(), 100, std::vector<std::uint8_t>{0x00, 0xFF},
                                          Expectation{GetParam().offset, GetParam().bytes});

    ASSERT_FALSE(written.has_value());
    EXPECT_EQ(written.error(), IoError::contentChanged);
    EXPECT_TRUE(differingOffsets(before, file.contents()).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Expectations, ImageFileWriteUnmetExpectation,
    testing::Values(Unmet{"OtherContent", 100, {static_cast<std::uint8_t>(100 * 31 + 7), 0x00}},
                    Unmet{"PastTheEnd", kSize - 1, {static_cast<std::uint8_t>((kSize - 1) * 31 + 7), 0x00}},
                    Unmet{"NegativeOffset", -1, {0x00}}),
    [](const testing::TestParamInfo<Unmet>& info) { return std::string(info.param.name); });

TEST(ImageFileWrite, NeverCreatesAMissingFile)
{
    const TempFolder folder;
    const auto path = folder.path() / "absent.rom";
    const auto written = ImageFile::write(path, 0, payload(1));
    ASSERT_FALSE(written.has_value());
    EXPECT_EQ(written.error(), IoError::missing);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(ImageFileWrite, RefusesADirectory)
{
    const TempFolder folder;
    const auto written = ImageFile::write(folder.path(), 0, payload(1));
    ASSERT_FALSE(written.has_value());
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

// A FIFO with no reader would block a plain open for writing forever.
TEST(ImageFileWrite, RefusesAFifoWithoutBlocking)
{
    const TempFolder folder;
    const auto path = folder.path() / "pipe.rom";
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    const auto written = ImageFile::write(path, 0, payload(1));
    ASSERT_FALSE(written.has_value());
    EXPECT_EQ(written.error(), IoError::notRegularFile);
}

TEST(ImageFileRead, ExactReadPastTheEndIsOutOfRange)
{
    const TempFile file(countingImage());
    EXPECT_EQ(ImageFile::read(file.path(), kSize - 1, 2).error(), IoError::outOfRange);
    EXPECT_EQ(ImageFile::read(file.path(), -1, 1).error(), IoError::outOfRange);
    const auto last = ImageFile::read(file.path(), kSize - 2, 2);
    ASSERT_TRUE(last.has_value());
    EXPECT_EQ(*last, (std::vector<std::uint8_t>{file.contents()[kSize - 2], file.contents()[kSize - 1]}));
}

TEST(ImageFileRead, ReadIntoStopsAtTheEnd)
{
    const TempFile file(countingImage());
    std::array<std::uint8_t, 100> buffer{};
    const auto tail = ImageFile::readInto(file.path(), kSize - 3, buffer);
    ASSERT_TRUE(tail.has_value());
    EXPECT_EQ(*tail, 3U);
    EXPECT_EQ(buffer[2], file.contents()[kSize - 1]);
    const auto beyond = ImageFile::readInto(file.path(), kSize + 10, buffer);
    ASSERT_TRUE(beyond.has_value());
    EXPECT_EQ(*beyond, 0U);
}

TEST(ImageFileStatus, DistinguishesRegularFilesFromTheRest)
{
    const TempFile file(countingImage());
    const auto regular = ImageFile::status(file.path());
    ASSERT_TRUE(regular.has_value());
    EXPECT_TRUE(regular->regular);
    EXPECT_EQ(regular->size, static_cast<std::int64_t>(kSize));

    const auto pipe = file.folder() / "pipe";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const auto fifo = ImageFile::status(pipe);
    ASSERT_TRUE(fifo.has_value());
    EXPECT_FALSE(fifo->regular);

    const auto dangling = file.folder() / "dangling";
    std::filesystem::create_symlink(file.folder() / "nowhere", dangling);
    EXPECT_EQ(ImageFile::status(dangling).error(), IoError::missing);
}

}  // namespace
}  // namespace vardane
