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

TEST(ReadHeaderField, WidthIsTheIndexOfTheFirstCarriageReturn)
{
    struct Case {
        std::size_t returnAt;
        std::size_t width;
    };
    for (const auto& c : std::vector<Case>{{48, 48}, {10, 10}, {50, 50}, {1, 1}}) {
        SCOPED_TRACE(c.returnAt);
        const auto searched = searchedBytes(c.returnAt);
        const TempFile file = imageWithSearchedBytes(searched);

        const auto field = readHeaderField(file.path(), Standard::kHeader);

        ASSERT_TRUE(field);
        EXPECT_EQ(field->start, Standard::kHeader);
        EXPECT_EQ(field->width, c.width);
        EXPECT_EQ(field->bytes, slice(searched, 0, c.width));
    }
}

TEST(ReadHeaderField, LaterCarriageReturnsDoNotWiden)
{
    auto searched = searchedBytes(10);
    searched[30] = kReturn;
    const TempFile file = imageWithSearchedBytes(searched);

    const auto field = readHeaderField(file.path(), Standard::kHeader);

    ASSERT_TRUE(field);
    EXPECT_EQ(field->width, 10U);
}

TEST(ReadHeaderField, StandardImageHasTheFortyEightCharacterField)
{
    const TempFile file(test::standardImage());

    const auto field = readHeaderField(file.path(), Standard::kHeader);

    ASSERT_TRUE(field);
    EXPECT_EQ(field->width, Standard::kHeaderWidth);
}

TEST(ReadHeaderField, RefusesWhereNoTextCouldBeWritten)
{
    struct Refusal {
        std::string name;
        Bytes searched;
        std::optional<std::int64_t> start;
        HeaderError error;
    };
    const std::vector<Refusal> refusals{
        {"width 0", searchedBytes(0), Standard::kHeader, HeaderError::emptyField},
        {"no return in the 51 bytes", searchedBytes(kSearched), Standard::kHeader, HeaderError::noField},
        {"no header start", searchedBytes(48), std::nullopt, HeaderError::noHeader},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.name);
        const TempFile file = imageWithSearchedBytes(r.searched);

        const auto field = readHeaderField(file.path(), r.start);

        ASSERT_FALSE(field);
        EXPECT_EQ(field.error(), r.error);
    }
}

TEST(ReadHeaderField, ReturnJustPastTheSearchIsNotFound)
{
    auto searched = searchedBytes(kSearched);
    auto image = test::standardImage().put(Standard::kHeader, searched);
    image.put(Standard::kHeader + static_cast<std::int64_t>(kSearched), kReturn);
    const TempFile file(image);

    const auto field = readHeaderField(file.path(), Standard::kHeader);

    ASSERT_FALSE(field);
    EXPECT_EQ(field.error(), HeaderError::noField);
}

TEST(ReadHeaderField, MissingFileIsUnreachable)
{
    const test::TempFolder folder;

    const auto field = readHeaderField(folder.path() / "gone.rom", Standard::kHeader);

    ASSERT_FALSE(field);
    EXPECT_EQ(field.error(), HeaderError::unreachable);
}

Bytes padded(std::string_view latin, std::size_t width)
{
    Bytes bytes(latin.begin(), latin.end());
    bytes.resize(width, ' ');
    return bytes;
}

TEST(EncodeHeaderText, OneBytePerCharacterPaddedWithSpaces)
{
    struct Case {
        std::string name;
        std::string utf8;
        std::size_t width;
        Bytes bytes;
    };
    const std::vector<Case> cases{
        {"short text", "ABC", 48, padded("ABC", 48)},
        {"exactly the width", "0123456789", 10, padded("0123456789", 10)},
        {"empty text", "", 5, padded("", 5)},
        {"accents count one each", "ééé", 3, {0xE9, 0xE9, 0xE9}},
        {"the 0x80..0x9F letters", "€Ÿ‰", 4, {0x80, 0x9F, 0x89, ' '}},
        {"no-break space and soft hyphen", "\u00A0\u00AD", 2, {0xA0, 0xAD}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto bytes = encodeHeaderText(c.utf8, c.width);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(*bytes, c.bytes);
    }
}

TEST(EncodeHeaderText, RefusesWhatCannotTakeOneByteInsideTheField)
{
    struct Refusal {
        std::string name;
        std::string utf8;
        std::size_t width;
        HeaderError error;
    };
    const std::vector<Refusal> refusals{
        {"one character too many", "0123456789A", 10, HeaderError::tooLong},
        {"accents past the width", "éééé", 3, HeaderError::tooLong},
        {"outside Windows-1252", "\u0101", 10, HeaderError::unrepresentable},
        {"CJK", "日本", 10, HeaderError::unrepresentable},
        {"malformed UTF-8", "\xFF", 10, HeaderError::unrepresentable},
        {"carriage return", "a\rb", 10, HeaderError::controlCharacter},
        {"tab", "a\tb", 10, HeaderError::controlCharacter},
        {"NUL", std::string("a\0b", 3), 10, HeaderError::controlCharacter},
        {"DEL", "a\x7F", 10, HeaderError::controlCharacter},
        {"undefined 0x81", "\u0081", 10, HeaderError::controlCharacter},
        {"undefined 0x9D", "\u009D", 10, HeaderError::controlCharacter},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.name);
        const auto bytes = encodeHeaderText(r.utf8, r.width);
        ASSERT_FALSE(bytes);
        EXPECT_EQ(bytes.error(), r.error);
    }
}

// Offsets where the write may differ: the field, never the return or past it.
void expectOnlyFieldChanged(const Bytes& before, const Bytes& after, std::size_t width)
{
    ASSERT_EQ(after.size(), before.size());
    for (const std::size_t offset : differingOffsets(before, after)) {
        EXPECT_GE(offset, kHeader);
        EXPECT_LT(offset, kHeader + width);
    }
}

TEST(WriteHeaderField, ShortTextIsPaddedToTheWidth)
{
    const TempFile file(test::standardImage());
    const auto before = file.contents();
    const auto field = readHeaderField(file.path(), Standard::kHeader);
    ASSERT_TRUE(field);
    const auto bytes = encodeHeaderText("0123456789", field->width);
    ASSERT_TRUE(bytes);

    ASSERT_TRUE(writeHeaderField(file.path(), *field, *bytes));

    const auto after = file.contents();
    expectOnlyFieldChanged(before, after, 48);
    EXPECT_EQ(slice(after, kHeader, 48), padded("0123456789", 48));
    EXPECT_EQ(after[kHeader + 48], kReturn);
}

TEST(WriteHeaderField, FullWidthFieldsKeepTheirReturn)
{
    for (const std::size_t width : {std::size_t{1}, std::size_t{10}, std::size_t{50}}) {
        SCOPED_TRACE(width);
        const TempFile file = imageWithSearchedBytes(searchedBytes(width));
        const auto before = file.contents();
        const auto field = readHeaderField(file.path(), Standard::kHeader);
        ASSERT_TRUE(field);
        const Bytes text(width, 'Z');

        ASSERT_TRUE(writeHeaderField(file.path(), *field, text));

        const auto after = file.contents();
        expectOnlyFieldChanged(before, after, width);
        EXPECT_EQ(slice(after, kHeader, width), text);
        EXPECT_EQ(after[kHeader + width], kReturn);
    }
}

TEST(WriteHeaderField, LoadedBytesWrittenBackLeaveTheFileUnchanged)
{
    auto searched = searchedBytes(48);
    for (const auto& [at, byte] : std::vector<std::pair<std::size_t, std::uint8_t>>{
             {3, 0x00}, {7, 0x80}, {8, 0x81}, {9, 0x8D}, {10, 0x9D}, {11, 0x9F}, {12, 0x0A}, {13, 0x7F}}) {
        searched[at] = byte;
    }
    const TempFile file = imageWithSearchedBytes(searched);
    const auto before = file.contents();
    const auto field = readHeaderField(file.path(), Standard::kHeader);
    ASSERT_TRUE(field);

    ASSERT_TRUE(writeHeaderField(file.path(), *field, field->bytes));

    EXPECT_TRUE(differingOffsets(before, file.contents()).empty());
}

TEST(WriteHeaderField, RefusesWhenTheFileNoLongerHoldsTheLoadedField)
{
    struct Change {
        std::string name;
        std::int64_t offset;
        std::uint8_t byte;
    };
    const std::vector<Change> changes{
        {"a field byte", Standard::kHeader + 5, '!'},
        {"the carriage return", Standard::kHeader + 48, ' '},
        {"a return moved nearer", Standard::kHeader + 20, kReturn},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.name);
        const TempFile file(test::standardImage());
        const auto field = readHeaderField(file.path(), Standard::kHeader);
        ASSERT_TRUE(field);
        test::writeAll(file.path(), test::standardImage().put(c.offset, c.byte).bytes());
        const auto before = file.contents();

        const auto written = writeHeaderField(file.path(), *field, padded("X", field->width));

        ASSERT_FALSE(written);
        EXPECT_EQ(written.error(), HeaderError::changed);
        EXPECT_EQ(file.contents(), before);
    }
}

TEST(WriteHeaderField, AFieldFromOneImageIsNotWrittenIntoAnother)
{
    const TempFile first(test::standardImage());
    const TempFile second = imageWithSearchedBytes(searchedBytes(10));
    const auto field = readHeaderField(first.path(), Standard::kHeader);
    ASSERT_TRUE(field);
    const auto before = second.contents();

    const auto written = writeHeaderField(second.path(), *field, padded("X", field->width));

    ASSERT_FALSE(written);
    EXPECT_EQ(written.error(), HeaderError::changed);
    EXPECT_EQ(second.contents(), before);
}

TEST(WriteHeaderField, RefusesBytesThatDoNotFillTheFieldExactly)
{
    const TempFile file(test::standardImage());
    const auto before = file.contents();
    const auto field = readHeaderField(file.path(), Standard::kHeader);
    ASSERT_TRUE(field);

    for (const std::size_t length : {std::size_t{0}, std::size_t{47}, std::size_t{49}, std::size_t{50}}) {
        SCOPED_TRACE(length);
        EXPECT_FALSE(writeHeaderField(file.path(), *field, Bytes(length, 'X')));
    }
    EXPECT_EQ(file.contents(), before);
}

TEST(WriteHeaderField, RefusesAFieldOfWidthZero)
{
    const TempFile file = imageWithSearchedBytes(searchedBytes(0));
    const auto before = file.contents();
    const HeaderField empty{Standard::kHeader, 0, {}};

    EXPECT_FALSE(writeHeaderField(file.path(), empty, {}));
    EXPECT_EQ(file.contents(), before);
}

TEST(WriteHeaderField, MissingFileIsUnreachable)
{
    const test::TempFolder folder;
    const TempFile source(test::standardImage());
    const auto field = readHeaderField(source.path(), Standard::kHeader);
    ASSERT_TRUE(field);
    const auto missing = folder.path() / "gone.rom";

    const auto written = writeHeaderField(missing, *field, field->bytes);

    ASSERT_FALSE(written);
    EXPECT_EQ(written.error(), HeaderError::unreachable);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
}  // namespace vardane
