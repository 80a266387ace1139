#include "editors/header.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vardane {
namespace {

using test::differingOffsets;
using test::Standard;
using test::TempFile;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kReturn = 0x0D;
constexpr auto kHeader = static_cast<std::size_t>(Standard::kHeader);

// The 51 searched bytes: letters, with a carriage return at `width` when it
// is below 51.
Bytes searchedBytes(std::size_t width)
{
    Bytes bytes;
    for (std::size_t i = 0; i < 51; ++i) {
        bytes.push_back(static_cast<std::uint8_t>('A' + i % 26));
    }
    if (width < bytes.size()) {
        bytes[width] = kReturn;
    }
    return bytes;
}

test::TestImage imageWithField(std::size_t width)
{
    return test::standardImage()
        .put(Standard::kHeader, searchedBytes(width))
        .put(Standard::kHeader + 51, kReturn);
}

TEST(ReadHeaderField, WidthIsTheIndexOfTheFirstCarriageReturnAmongTheSearchedBytes)
{
    using enum HeaderError;
    const struct {
        std::size_t width;
        std::optional<std::int64_t> start;
        std::optional<HeaderError> error;
    } cases[] = {
        {48, Standard::kHeader, {}},        {1, Standard::kHeader, {}},       {50, Standard::kHeader, {}},
        {0, Standard::kHeader, emptyField}, {51, Standard::kHeader, noField}, {48, std::nullopt, noHeader},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        const TempFile file(imageWithField(c.width));
        const auto field = readHeaderField(file.path(), c.start);
        ASSERT_EQ(field.has_value(), !c.error);
        if (c.error) {
            EXPECT_EQ(field.error(), *c.error);
            continue;
        }
        const Bytes searched = searchedBytes(c.width);
        EXPECT_EQ(field->width, c.width);
        EXPECT_EQ(field->bytes,
                  Bytes(searched.begin(), searched.begin() + static_cast<std::ptrdiff_t>(c.width)));
    }
}

TEST(EncodeHeaderText, OneBytePerCharacterPaddedWithSpacesOrRefused)
{
    using enum HeaderError;
    const Bytes abc{'A', 'B', 'C', ' ', ' '};
    const struct {
        std::u32string text;
        std::size_t width;
        Expected<Bytes, HeaderError> bytes;
    } cases[] = {
        {U"ABC", 5, abc},
        {U"€Ÿé", 3, Bytes{0x80, 0x9F, 0xE9}},
        {U"ABCDEF", 5, Unexpected{tooLong}},
        {U"\u0101", 5, Unexpected{unrepresentable}},
        {U"a\rb", 5, Unexpected{controlCharacter}},
        {U"a\u007F", 5, Unexpected{controlCharacter}},
        {U"\u009F", 5, Unexpected{controlCharacter}},
        {U"\u00A0", 5, Bytes{0xA0, ' ', ' ', ' ', ' '}},
    };
    for (const auto& c : cases) {
        const auto bytes = encodeHeaderText(c.text, c.width);
        ASSERT_EQ(bytes.has_value(), c.bytes.has_value()) << c.text.size();
        EXPECT_TRUE(bytes ? *bytes == *c.bytes : bytes.error() == c.bytes.error());
    }
}

TEST(WriteHeaderField, WritesTheFieldOnlyAndNeverTheCarriageReturn)
{
    for (const std::size_t width : {std::size_t{1}, std::size_t{48}, std::size_t{50}}) {
        SCOPED_TRACE(width);
        const TempFile file(imageWithField(width));
        const auto before = file.contents();
        const auto field = readHeaderField(file.path(), Standard::kHeader).value();
        const Bytes text = encodeHeaderText(U"Z", width).value();
        ASSERT_TRUE(writeHeaderField(file.path(), field, text));
        const auto after = file.contents();
        EXPECT_EQ(Bytes(after.begin() + kHeader, after.begin() + kHeader + width), text);
        const auto changed = differingOffsets(before, after);
        EXPECT_TRUE(changed.empty() || (changed.front() >= kHeader && changed.back() < kHeader + width));
    }
}

TEST(WriteHeaderField, RefusesUnlessTheFileStillHoldsTheLoadedFieldAndTheBytesFillIt)
{
    const TempFile source(imageWithField(48));
    const auto field = readHeaderField(source.path(), Standard::kHeader).value();
    const Bytes text(48, 'X');
    const struct {
        test::TestImage image;
        Bytes bytes;
    } cases[] = {
        {imageWithField(48).put(Standard::kHeader + 5, '!'), text},       // a field byte changed
        {imageWithField(48).put(Standard::kHeader + 48, ' '), text},      // the return changed
        {imageWithField(48).put(Standard::kHeader + 20, kReturn), text},  // a return moved nearer
        {imageWithField(48), Bytes(47, 'X')},
        {imageWithField(48), Bytes(49, 'X')},
    };
    for (const auto& c : cases) {
        const TempFile file(c.image);
        EXPECT_FALSE(writeHeaderField(file.path(), field, c.bytes));
        EXPECT_EQ(file.contents(), c.image.bytes());
    }
    EXPECT_EQ(writeHeaderField(source.folder() / "gone.rom", field, text).error(), HeaderError::unreachable);
}

}  // namespace
}  // namespace vardane
