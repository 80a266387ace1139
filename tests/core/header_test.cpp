#include "editors/header.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vardane {
namespace {

using test::differingOffsets;
using test::Standard;
using test::TempFile;

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kReturn = 0x0D;
constexpr std::size_t kSearched = 51;

// The 51 searched bytes: `width` letters, the carriage return, then bytes that
// must never move.
Bytes searchedBytes(std::size_t width)
{
    Bytes bytes;
    for (std::size_t i = 0; i < kSearched; ++i) {
        bytes.push_back(static_cast<std::uint8_t>('A' + i % 26));
    }
    if (width < kSearched) {
        bytes[width] = kReturn;
    }
    return bytes;
}

TempFile imageWithSearchedBytes(const Bytes& searched)
{
    return TempFile(test::standardImage().put(Standard::kHeader, searched));
}

Bytes slice(const Bytes& bytes, std::size_t from, std::size_t length)
{
    return {bytes.begin() + static_cast<std::ptrdiff_t>(from),
            bytes.begin() + static_cast<std::ptrdiff_t>(from + length)};
}

constexpr auto kHeader = static_cast<std::size_t>(Standard::kHeader);

TEST(ReadHeaderField, WidthIsTheIndexOfTheFirstCarriageReturnAmongTheSearchedBytes)
{
    auto laterReturn = searchedBytes(10);
    laterReturn[30] = kReturn;
    const struct {
        std::string name;
        Bytes searched;
        std::optional<std::int64_t> start;
        Expected<std::size_t, HeaderError> width;
    } cases[] = {
        {"48", searchedBytes(48), Standard::kHeader, std::size_t{48}},
        {"10", searchedBytes(10), Standard::kHeader, std::size_t{10}},
        {"50", searchedBytes(50), Standard::kHeader, std::size_t{50}},
        {"1", searchedBytes(1), Standard::kHeader, std::size_t{1}},
        {"later returns do not widen", laterReturn, Standard::kHeader, std::size_t{10}},
        {"0", searchedBytes(0), Standard::kHeader, Unexpected{HeaderError::emptyField}},
        {"none in the 51 bytes, one just past", searchedBytes(kSearched), Standard::kHeader,
         Unexpected{HeaderError::noField}},
        {"no header start", searchedBytes(48), std::nullopt, Unexpected{HeaderError::noHeader}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempFile file(
            test::standardImage().put(Standard::kHeader, c.searched).put(Standard::kHeader + 51, kReturn));
        const auto field = readHeaderField(file.path(), c.start);
        ASSERT_EQ(field.has_value(), c.width.has_value());
        if (!field) {
            EXPECT_EQ(field.error(), c.width.error());
            continue;
        }
        EXPECT_EQ(field->start, Standard::kHeader);
        EXPECT_EQ(field->width, *c.width);
        EXPECT_EQ(field->bytes, slice(c.searched, 0, *c.width));
    }
    EXPECT_EQ(readHeaderField(test::TempFolder().path() / "gone.rom", Standard::kHeader).error(),
              HeaderError::unreachable);
}

Bytes padded(std::string_view latin, std::size_t width)
{
    Bytes bytes(latin.begin(), latin.end());
    bytes.resize(width, ' ');
    return bytes;
}

TEST(EncodeHeaderText, OneBytePerCharacterPaddedWithSpacesOrRefused)
{
    using enum HeaderError;
    const struct {
        std::u32string utf8;
        std::size_t width;
        Expected<Bytes, HeaderError> bytes;
    } cases[] = {
        {U"ABC", 48, padded("ABC", 48)},
        {U"0123456789", 10, padded("0123456789", 10)},
        {U"", 5, padded("", 5)},
        {U"ééé", 3, Bytes{0xE9, 0xE9, 0xE9}},
        {U"€Ÿ‰", 4, Bytes{0x80, 0x9F, 0x89, ' '}},
        {U"\u00A0\u00AD", 2, Bytes{0xA0, 0xAD}},
        {U"0123456789A", 10, Unexpected{tooLong}},
        {U"éééé", 3, Unexpected{tooLong}},
        {U"\u0101", 10, Unexpected{unrepresentable}},
        {U"日本", 10, Unexpected{unrepresentable}},
        {U"a\rb", 10, Unexpected{controlCharacter}},
        {U"a\tb", 10, Unexpected{controlCharacter}},
        {std::u32string(U"a\0b", 3), 10, Unexpected{controlCharacter}},
        {U"a\x7F", 10, Unexpected{controlCharacter}},
        {U"\u0081", 10, Unexpected{controlCharacter}},
        {U"\u009D", 10, Unexpected{controlCharacter}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8.size());
        const auto bytes = encodeHeaderText(c.utf8, c.width);
        ASSERT_EQ(bytes.has_value(), c.bytes.has_value());
        EXPECT_TRUE(bytes ? *bytes == *c.bytes : bytes.error() == c.bytes.error());
    }
}

TEST(WriteHeaderField, WritesTheFieldOnlyAndNeverTheCarriageReturn)
{
    auto loaded = searchedBytes(48);  // bytes as loaded, written back unchanged
    for (const auto& [at, byte] : std::vector<std::pair<std::size_t, std::uint8_t>>{
             {3, 0x00}, {7, 0x80}, {8, 0x81}, {9, 0x8D}, {10, 0x9D}, {11, 0x9F}, {12, 0x0A}, {13, 0x7F}}) {
        loaded[at] = byte;
    }
    for (const auto& [searched, text] :
         std::vector<std::pair<Bytes, std::string>>{{searchedBytes(48), "0123456789"},
                                                    {searchedBytes(1), "Z"},
                                                    {searchedBytes(10), "ZZZZZZZZZZ"},
                                                    {searchedBytes(50), std::string(50, 'Z')},
                                                    {loaded, ""}}) {
        const TempFile file = imageWithSearchedBytes(searched);
        const auto before = file.contents();
        const auto field = readHeaderField(file.path(), Standard::kHeader);
        ASSERT_TRUE(field);
        SCOPED_TRACE(field->width);
        const Bytes bytes = text.empty() ? field->bytes : encodeHeaderText(std::u32string(text.begin(), text.end()), field->width).value();

        ASSERT_TRUE(writeHeaderField(file.path(), *field, bytes));

        const auto after = file.contents();
        ASSERT_EQ(after.size(), before.size());
        for (const std::size_t offset : differingOffsets(before, after)) {
            EXPECT_GE(offset, kHeader);
            EXPECT_LT(offset, kHeader + field->width);
        }
        EXPECT_EQ(slice(after, kHeader, field->width), bytes);
        EXPECT_EQ(after[kHeader + field->width], kReturn);
    }
}

TEST(WriteHeaderField, RefusesUnlessTheFileStillHoldsTheLoadedFieldAndTheBytesFillIt)
{
    const TempFile source(test::standardImage());
    const auto field = readHeaderField(source.path(), Standard::kHeader);
    ASSERT_TRUE(field);
    const Bytes text = padded("X", field->width);
    const struct {
        std::string name;
        test::TestImage image;
        HeaderField field;
        Bytes bytes;
    } cases[] = {
        {"a field byte changed", test::standardImage().put(Standard::kHeader + 5, '!'), *field, text},
        {"the return changed", test::standardImage().put(Standard::kHeader + 48, ' '), *field, text},
        {"a return moved nearer", test::standardImage().put(Standard::kHeader + 20, kReturn), *field, text},
        {"another image", test::standardImage().put(Standard::kHeader, searchedBytes(10)), *field, text},
        {"no byte", test::standardImage(), *field, {}},
        {"47 bytes", test::standardImage(), *field, Bytes(47, 'X')},
        {"49 bytes", test::standardImage(), *field, Bytes(49, 'X')},
        {"50 bytes", test::standardImage(), *field, Bytes(50, 'X')},
        {"width 0",
         test::standardImage().put(Standard::kHeader, kReturn),
         HeaderField{Standard::kHeader, 0, {}},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempFile file(c.image);
        EXPECT_FALSE(writeHeaderField(file.path(), c.field, c.bytes));
        EXPECT_TRUE(differingOffsets(c.image.bytes(), file.contents()).empty());
    }
    const auto changed = test::standardImage().put(Standard::kHeader + 5, '!');
    const TempFile file(changed);
    EXPECT_EQ(writeHeaderField(file.path(), *field, text).error(), HeaderError::changed);
    const auto missing = file.folder() / "gone.rom";
    EXPECT_EQ(writeHeaderField(missing, *field, field->bytes).error(), HeaderError::unreachable);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
}  // namespace vardane
