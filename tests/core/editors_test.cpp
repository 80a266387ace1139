// The writers: the checksum correction and the three editors, each on a
// real file built by the test-image builder, checked byte for byte.
#include "checksum/checksum.h"
#include "editors/clock.h"
#include "editors/header.h"
#include "editors/sideband.h"

#include "faults.h"
#include "host.h"
#include "printers.h"
#include "test_image.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace vardane {
namespace {

using test::Standard;
using test::TestImage;
using Bytes = std::vector<std::uint8_t>;

// A region of 1s (which add up to 0) but for 0x27 and a last byte of 0x12, so
// it adds up to 0x37 and the correction must write 0xDB; the 1s past the
// region would move the sum if counted.
TestImage sum37Image(std::size_t size)
{
    TestImage image(size, 0x01);
    return size > 0xBBFF ? image.put(0x100, std::uint8_t{0x27}).put(0xBBFF, std::uint8_t{0x12}) : image;
}

TEST(Checksum, VerifiesAndCorrectsOnlyTheRegionOfAFileInTheSizeWindow)
{
    const std::pair<std::size_t, std::optional<Refusal>> cases[] = {
        {48127, Refusal::tooShort}, {48128, {}}, {132000, {}}, {132001, Refusal::notAnImage}};
    using Corrected = Outcome<std::tuple<int, int, int, bool>>;
    const auto fields = [](const Correction& c) {
        return std::tuple{int{c.sumBefore}, int{c.byteBefore}, int{c.byteAfter}, c.written};
    };
    for (const auto& [size, refusal] : cases) {
        const test::TempFile file(sum37Image(size));
        EXPECT_EQ(verifyChecksum(file.path()), refusal ? refused(*refusal) : Outcome<std::uint8_t>(0x37))
            << size;
        EXPECT_EQ(correctChecksum(file.path()).map(fields),
                  refusal ? Corrected(refused(*refusal)) : Corrected(std::tuple{0x37, 0x12, 0xDB, true}))
            << size;
        EXPECT_EQ(file.contents(),
                  refusal ? sum37Image(size).bytes() : sum37Image(size).put(0xBBFF, 0xDB).bytes());
    }
    EXPECT_EQ(verifyChecksum(test::TempFolder().path() / "gone.rom"), refused(Refusal::unreachable));
    // The byte is written only while the region still holds what was summed.
    const test::TempFile file(sum37Image(65536));
    const TestImage meanwhile = sum37Image(65536).put(0x200, std::uint8_t{0x02});
    test::faults.afterNextRead = [&] { test::writeAll(file.path(), meanwhile.bytes()); };
    EXPECT_EQ(correctChecksum(file.path()).map(fields), Corrected(refused(Refusal::changed)));
    test::faults = {};
    EXPECT_EQ(file.contents(), meanwhile.bytes());
}

// The same reading whatever the C library's numeric locale: in French its
// decimal point is a comma, and "333.5" must still read as 333.5.
TEST(LeadingNumber, ReadsSignDigitsAndPointFractionInEveryLocale)
{
    const std::pair<std::string_view, double> cases[] = {
        // clang-format off
        {"333,34 Mhz", 333.0}, {"333.5 Mhz", 333.5}, {" 3 6 6 Mhz", 366.0}, {"1999.95", 1999.95}, {"- 12.5x", -12.5},
        {"+7", 7.0}, {".5 Mhz", 0.5}, {"0.5", 0.5}, {"12.3.4", 12.3}, {"1e3", 1.0}, {"Mhz 366", 0.0}, {"", 0.0},
        {"--5", 0.0}, {"nan", 0.0},
        // clang-format on
    };
    for (const char* locale : {"C", test::kCommaLocale}) {
        ASSERT_NE(std::setlocale(LC_NUMERIC, locale), nullptr) << locale << " is missing: run scripts/setup";
        for (const auto& [text, number] : cases) {
            EXPECT_DOUBLE_EQ(leadingNumber(text), number) << locale << " \"" << text << '"';
        }
    }
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_TRUE(std::isinf(leadingNumber(std::string(400, '9'))));
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(roundHalfEven(1e300), 9000000000000000000LL);
}

const ClockProfile& kMem = kMemoryClockProfile;
const ClockProfile& kCore = kCoreClockProfile;

// Within its range, a clock's word (rounded half to even) goes low byte first
// at its distance from Octclef, while "r7" stands there; anything else
// writes nothing.
TEST(WriteClock, WritesTheWordOfAClockInItsRangeOrNothing)
{
    const std::int64_t k = Standard::kClockKey;
    const auto outside = refused(Refusal::clockOutOfRange);
    // clang-format off
    const struct { const ClockProfile& profile; std::optional<std::int64_t> octclef; double mhz; bool ouf; Outcome<std::uint16_t> word; } cases[] = {
        {kMem, k, 200, false, 0x2710}, {kMem, k, 333.5, false, 16675}, {kMem, k, 333.33, false, 16666},
        {kMem, k, 1000, true, 0xC350}, {kMem, k, 600.01, false, outside}, {kMem, k, 99.99, true, outside},
        {kMem, k, std::nan(""), true, outside}, {kMem, std::nullopt, 460, false, refused(Refusal::noClockKey)},
        {kCore, k, 125.5, false, 12550}, {kCore, k, 40, true, 0x0FA0}, {kCore, k, 350, false, 0x88B8},
        {kCore, k, 20, false, outside}, {kCore, k + 2, 143, false, refused(Refusal::changed)},  // "r7" is not at k + 2
        // clang-format on
    };
    for (const auto& c : cases) {
        const test::TempFile file(test::standardImage());
        const ClockRange& range = c.ouf ? c.profile.ouf : c.profile.normal;
        EXPECT_EQ(writeClock(c.profile, file.path(), c.octclef, c.mhz, range), c.word) << c.mhz;
        EXPECT_EQ(file.contents(),
                  c.word ? test::standardImage().putWord(k + c.profile.word.distance, *c.word).bytes()
                         : test::standardImage().bytes());
    }
}

// The 51 searched bytes are letters, with a carriage return at `width` when
// it is below 51, and another just past them.
TestImage imageWithField(std::size_t width)
{
    std::string searched;
    for (std::size_t i = 0; i < 51; ++i) {
        searched += i == width ? '\r' : static_cast<char>('A' + i % 26);
    }
    return test::standardImage().put(Standard::kHeader, searched + "\r");
}

TEST(ReadHeaderField, WidthIsTheIndexOfTheFirstCarriageReturnAmongTheSearchedBytes)
{
    // clang-format off
    const struct { std::size_t width; std::optional<std::int64_t> start; Outcome<std::size_t> found; } cases[] = {
        {1, Standard::kHeader, 1}, {50, Standard::kHeader, 50}, {0, Standard::kHeader, refused(Refusal::emptyHeaderField)},
        {51, Standard::kHeader, refused(Refusal::noHeaderField)}, {48, std::nullopt, refused(Refusal::noHeader)},
        {48, 65536 - 50, refused(Refusal::tooShort)},
        // clang-format on
    };
    for (const auto& c : cases) {
        const test::TempFile file(imageWithField(c.width));
        EXPECT_EQ(readHeaderField(file.path(), c.start).map(&HeaderField::width), c.found) << c.width;
    }
}

TEST(HeaderField, EncodesOneBytePerCharacterAndWritesTheFieldOnlyOrNothing)
{
    const auto control = refused(Refusal::controlCharacter);
    // clang-format off
    const std::pair<std::u32string, Outcome<Bytes>> encodings[] = {
        {U"AB", Bytes{'A', 'B', ' '}}, {U"€Ÿ\u00A0", Bytes{0x80, 0x9F, 0xA0}}, {U"ABCD", refused(Refusal::textTooLong)},
        {U"\u0101", refused(Refusal::unrepresentable)}, {U"a\r", control}, {U"\u007F", control}, {U"\u009F", control},
        // clang-format on
    };
    for (const auto& [text, bytes] : encodings) {
        EXPECT_EQ(encodeHeaderText(text, 3), bytes);
    }
    // Exactly the field's bytes, and only while the file still holds the field
    // as loaded with its carriage return.
    const test::TempFile source(imageWithField(48));
    const HeaderField field = readHeaderField(source.path(), Standard::kHeader).value();
    const Bytes text = encodeHeaderText(U"Z", 48).value();
    // clang-format off
    const struct { TestImage image; Bytes bytes; std::optional<Refusal> refusal; } cases[] = {
        {imageWithField(48), text, {}}, {imageWithField(48).put(Standard::kHeader + 5, '!'), text, Refusal::changed},
        {imageWithField(48).put(Standard::kHeader + 48, ' '), text, Refusal::changed}, {imageWithField(20), text, Refusal::changed},
        {imageWithField(48), Bytes(47, 'X'), Refusal::textTooLong}, {imageWithField(48), Bytes(49, 'X'), Refusal::textTooLong},
        // clang-format on
    };
    for (const auto& c : cases) {
        const test::TempFile file(c.image);
        EXPECT_EQ(refusalOf(writeHeaderField(file.path(), field, c.bytes)), c.refusal);
        EXPECT_EQ(file.contents(),
                  c.refusal ? c.image.bytes()
                            : TestImage(c.image).put(Standard::kHeader, "Z" + std::string(47, ' ')).bytes());
    }
    EXPECT_EQ(refusalOf(writeHeaderField(source.folder() / "gone.rom", field, text)), Refusal::unreachable);
}

// The state alone decides the byte written, and only while the file holds
// the byte that state stands for.
TEST(ToggleSideBand, WritesTheOtherValueOrNothing)
{
    const std::int64_t s = Standard::kSba;
    const auto changed = refused(Refusal::changed);
    using enum SideBand;
    // clang-format off
    const struct { std::uint8_t inFile; SideBand state; std::optional<std::int64_t> offset; Outcome<SideBand> newState; std::uint8_t after; } cases[] = {
        {0x7F, off, s, on, 0xFB}, {0xFB, on, s, off, 0x7F}, {0x7F, undecided, s, refused(Refusal::sbaUndecided), 0x7F},
        {0x7F, off, std::nullopt, refused(Refusal::noSbaByte), 0x7F},
        {0xFB, off, s, changed, 0xFB}, {0x7F, on, s, changed, 0x7F}, {0x7F, off, 65536, refused(Refusal::tooShort), 0x7F},
        // clang-format on
    };
    for (const auto& c : cases) {
        const test::TempFile file(test::standardImage().put(Standard::kSba, c.inFile));
        const auto toggled = toggleSideBand(file.path(), c.state, c.offset);
        EXPECT_EQ(toggled.map(&SbaToggled::newState), c.newState) << static_cast<int>(c.state);
        EXPECT_EQ(file.contents(), test::standardImage().put(Standard::kSba, c.after).bytes());
    }
}

}  // namespace
}  // namespace vardane
