// The writers: the checksum correction and the three editors, each on a
// real file built by the test-image builder, checked byte for byte.
#include "checksum/checksum.h"
#include "editors/clock.h"
#include "editors/header.h"
#include "editors/sideband.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace vardane {
namespace {

using test::Standard;
using Bytes = std::vector<std::uint8_t>;

// A region of 1s (which add up to 0) but for 0x27 and a last byte of 0x12, so
// it adds up to 0x37 and the correction must write 0xDB; the 1s past the
// region would move the sum if counted.
test::TestImage sum37Image(std::size_t size)
{
    test::TestImage image(size, 0x01);
    return size > 0xBBFF ? image.put(0x100, std::uint8_t{0x27}).put(0xBBFF, std::uint8_t{0x12}) : image;
}

TEST(Checksum, VerifiesAndCorrectsOnlyTheRegionOfAFileInTheSizeWindow)
{
    using enum ChecksumError;
    const std::pair<std::size_t, std::optional<ChecksumError>> cases[] = {
        {48127, regionMissing}, {48128, {}}, {132000, {}}, {132001, notAnImage}};
    for (const auto& [size, error] : cases) {
        const test::TempFile file(sum37Image(size));
        const auto sum = verifyChecksum(file.path());
        const auto correction = correctChecksum(file.path());
        EXPECT_EQ(sum ? std::optional(*sum) : std::nullopt, error ? std::nullopt : std::optional(0x37))
            << size;
        EXPECT_EQ(correction ? std::nullopt : std::optional(correction.error()), error) << size;
        EXPECT_EQ(file.contents(),
                  error ? sum37Image(size).bytes() : sum37Image(size).put(0xBBFF, 0xDB).bytes());
        EXPECT_TRUE(error || (*verifyChecksum(file.path()) == 0 && !correctChecksum(file.path())->written));
    }
    EXPECT_EQ(verifyChecksum(test::TempFolder().path() / "gone.rom").error(), ChecksumError::unreachable);
}

const ClockProfile* const kMem = &kMemoryClockProfile;
const ClockProfile* const kCore = &kCoreClockProfile;

// The same reading whatever the C library's numeric locale: in fr_FR.UTF-8
// its decimal point is a comma, and "333.5" must still read as 333.5.
TEST(LeadingNumber, ReadsSignDigitsAndPointFractionInEveryLocale)
{
    const std::pair<std::string_view, double> cases[] = {
        // clang-format off
        {"333,34 Mhz", 333.0}, {"333.5 Mhz", 333.5}, {" 3 6 6 Mhz", 366.0}, {"1999.95", 1999.95}, {"- 12.5x", -12.5},
        {"+7", 7.0}, {".5 Mhz", 0.5}, {"0.5", 0.5}, {"12.3.4", 12.3}, {"1e3", 1.0}, {"Mhz 366", 0.0}, {"", 0.0},
        {"--5", 0.0}, {"nan", 0.0},
        // clang-format on
    };
    for (const char* locale : {"C", "fr_FR.UTF-8"}) {
        ASSERT_NE(std::setlocale(LC_NUMERIC, locale), nullptr) << locale << " is missing: run scripts/setup";
        for (const auto& [text, number] : cases) {
            EXPECT_DOUBLE_EQ(leadingNumber(text), number) << locale << " \"" << text << '"';
        }
    }
    std::setlocale(LC_NUMERIC, "C");
}

// Rounded to the nearest word, halves to the even one, in 16 bits or not at all.
TEST(WordForClock, GivesEachProfilesWordOrNothingOutside16Bits)
{
    const struct {
        const ClockProfile* profile;
        double mhz;
        std::optional<std::uint16_t> word;
    } cases[] = {
        // clang-format off
        {kMem, 200, 0x2710}, {kMem, 1000, 0xC350}, {kMem, 166.5, 0x2085}, {kMem, 0.03, 2}, {kMem, 0.01, 0},
        {kMem, 1310.7, 0xFFFF}, {kMem, 1310.71, {}}, {kMem, -0.001, {}}, {kCore, 350, 0x88B8}, {kCore, 40, 0x0FA0},
        {kCore, 655.35, 0xFFFF}, {kCore, 655.36, {}}, {kCore, std::nan(""), {}},
        {kCore, leadingNumber(std::string(400, '9')), {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wordForClock(*c.profile, c.mhz), c.word) << c.profile->dialogName << ' ' << c.mhz;
    }
    EXPECT_EQ(roundHalfEven(-2.5), -2);
    EXPECT_EQ(shownHundredths(*kMem, 18300), 36600U);
    EXPECT_EQ(shownHundredths(*kCore, 14300), 14300U);
}

TEST(ColourAfterMove, FollowsTheThresholdsAndKeepsTheColourAtTheOrangeOne)
{
    using enum ClockColour;
    const struct {
        const ClockProfile* profile;
        int position;
        ClockColour before, after;
    } cases[] = {
        // clang-format off
        {kMem, 459, red, green}, {kMem, 461, green, orange}, {kMem, 530, red, orange}, {kMem, 531, green, red},
        {kMem, 460, red, red}, {kCore, 249, red, green}, {kCore, 251, green, orange}, {kCore, 290, red, orange},
        {kCore, 291, initial, red}, {kCore, 250, initial, initial},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(colourAfterMove(*c.profile, c.position, c.before), c.after)
            << c.profile->dialogName << ' ' << c.position;
    }
}

// The word comes from Text1's number, fraction kept, low byte first at its
// distance from Octclef; the clock shown comes from the slider.
TEST(ApplyClock, WritesTheWordFromText1OrRefusesAndWritesNothing)
{
    const struct {
        const ClockProfile* profile;
        std::optional<std::int64_t> octclef;
        double text1;
        Expected<std::uint16_t, ClockError> word;
    } cases[] = {
        {kMem, Standard::kClockKey, 333.5, std::uint16_t{16675}},
        {kCore, Standard::kClockKey, 125.5, std::uint16_t{12550}},
        {kMem, std::nullopt, 460, Unexpected{ClockError::noClockKey}},
        {kMem, Standard::kClockKey, 1400, Unexpected{ClockError::badNumber}},
        {kCore, Standard::kClockKey + 2, 143, Unexpected{ClockError::writeFailed}},  // "r7" is not at Octclef
    };
    for (const auto& c : cases) {
        const test::TempFile file(test::standardImage());
        const auto applied = applyClock(*c.profile, file.path(), c.octclef, c.text1, 334);
        EXPECT_TRUE(applied ? applied->stateText == "334 Mhz" : applied.error() == c.word.error());
        EXPECT_EQ(file.contents(),
                  c.word ? test::standardImage()
                               .putWord(Standard::kClockKey - (c.profile == kMem ? 26 : 70), *c.word)
                               .bytes()
                         : test::standardImage().bytes());
    }
}

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
        EXPECT_TRUE(field ? field->width == c.width && field->bytes.back() == 'A' + (c.width - 1) % 26
                          : field.error() == c.error)
            << c.width;
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
        EXPECT_EQ(file.contents(),
                  c.written
                      ? test::TestImage(c.image).put(Standard::kHeader, "Z" + std::string(47, ' ')).bytes()
                      : c.image.bytes());
    }
    EXPECT_EQ(writeHeaderField(source.folder() / "gone.rom", field, text).error(), HeaderError::unreachable);
}

// The state text alone decides the byte written, and only while the file
// holds the byte that text stands for.
TEST(ToggleSideBand, WritesTheOtherValueOrNothing)
{
    using enum SbaError;
    const struct {
        std::uint8_t inFile;
        std::string state;
        std::optional<std::int64_t> offset;
        Expected<std::uint8_t, SbaError> written;
    } cases[] = {
        // clang-format off
        {0x7F, "NON", Standard::kSba, std::uint8_t{0xFB}}, {0xFB, "OUI", Standard::kSba, std::uint8_t{0x7F}},
        {0x7F, "???", Standard::kSba, Unexpected{undecided}}, {0x7F, "non", Standard::kSba, Unexpected{undecided}},
        {0x7F, "NON", std::nullopt, Unexpected{noOffset}}, {0xFB, "NON", Standard::kSba, Unexpected{changed}},
        {0x7F, "OUI", Standard::kSba, Unexpected{changed}}, {0x7F, "NON", 65536, Unexpected{unreachable}},
        // clang-format on
    };
    for (const auto& c : cases) {
        const test::TempFile file(test::standardImage().put(Standard::kSba, c.inFile));
        const auto toggled = toggleSideBand(file.path(), c.state, c.offset);
        EXPECT_TRUE(toggled ? toggled->newState == (c.state == "NON" ? "OUI" : "NON")
                            : toggled.error() == c.written.error())
            << c.state;
        EXPECT_EQ(file.contents(),
                  test::standardImage().put(Standard::kSba, c.written ? *c.written : c.inFile).bytes());
    }
}

}  // namespace
}  // namespace vardane
