#include "editors/header.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vardane {
namespace {

using test::Standard;
using Bytes = std::vector<std::uint8_t>;

// The 51 searched bytes are letters, with a carriage return at `width` when
// it is below 51, and another just past them.
test::TestImage imageWithField(std::size_t width)
{
    std::string searched;
    for (std::size_t i = 0; i < 51; ++i) {
        searched += i == width ? '\r' : static_cast<char>('A' + i % 26);
    }
    return test::standardImage().put(Standard::kHeader, searched + "\r");
}

TEST(ReadHeaderField, WidthIsTheIndexOfTheFirstCarriageReturnAmongTheSearchedBytes)
{
    using enum HeaderError;
    const struct {
        std::size_t width;
        std::optional<std::int64_t> start;
        std::optional<HeaderError> error;
    } cases[] = {
        {1, Standard::kHeader, {}},       {50, Standard::kHeader, {}},  {0, Standard::kHeader, emptyField},
        {51, Standard::kHeader, noField}, {48, std::nullopt, noHeader},
    };
    for (const auto& c : cases) {
        const test::TempFile file(imageWithField(c.width));
        const auto field = readHeaderField(file.path(), c.start);
        if (c.error) {
            EXPECT_EQ(field.error(), *c.error) << c.width;
            continue;
        }
        EXPECT_EQ(field->width, c.width);
        EXPECT_EQ(field->bytes.back(), 'A' + (c.width - 1) % 26);
    }
}

TEST(EncodeHeaderText, OneBytePerCharacterPaddedWithSpacesOrRefused)
{
    using enum HeaderError;
    const struct {
        std::u32string text;
        Expected<Bytes, HeaderError> bytes;
    } cases[] = {
        // clang-format off
        {U"AB", Bytes{'A', 'B', ' '}}, {U"€Ÿ\u00A0", Bytes{0x80, 0x9F, 0xA0}}, {U"ABCD", Unexpected{tooLong}},
        {U"\u0101", Unexpected{unrepresentable}}, {U"a\r", Unexpected{controlCharacter}},
        {U"\u007F", Unexpected{controlCharacter}}, {U"\u009F", Unexpected{controlCharacter}},
        // clang-format on
    };
    for (const auto& c : cases) {
        const auto bytes = encodeHeaderText(c.text, 3);
        EXPECT_TRUE(bytes ? c.bytes && *bytes == *c.bytes : !c.bytes && bytes.error() == c.bytes.error());
    }
}

// Exactly the field's bytes, and only while the file still holds the field as
// loaded with its carriage return.
TEST(WriteHeaderField, WritesTheFieldOnlyOrNothing)
{
    const test::TempFile source(imageWithField(48));
    const auto field = readHeaderField(source.path(), Standard::kHeader).value();
    const Bytes text = encodeHeaderText(U"Z", 48).value();
    const struct {
        test::TestImage image;
        Bytes bytes;
        bool written;
    } cases[] = {
        // clang-format off
        {imageWithField(48), text, true}, {imageWithField(48).put(Standard::kHeader + 5, '!'), text, false},
        {imageWithField(48).put(Standard::kHeader + 48, ' '), text, false}, {imageWithField(20), text, false},
        {imageWithField(48), Bytes(47, 'X'), false}, {imageWithField(48), Bytes(49, 'X'), false},
        // clang-format on
    };
    for (const auto& c : cases) {
        const test::TempFile file(c.image);
        EXPECT_EQ(writeHeaderField(file.path(), field, c.bytes).has_value(), c.written);
        Bytes expected = c.image.bytes();
        if (c.written) {
            std::copy(text.begin(), text.end(), expected.begin() + Standard::kHeader);
        }
        EXPECT_EQ(file.contents(), expected);
    }
    EXPECT_EQ(writeHeaderField(source.folder() / "gone.rom", field, text).error(), HeaderError::unreachable);
}

}  // namespace
}  // namespace vardane
