// The core: the image as a model (the disk under it, the open scan, the GPU
// table, the texts, the comparison of two images and the way back to the
// original), then the writers (the checksum correction and the three
// editors), each on a real file built by the test-image builder, checked
// byte for byte.
#include "checksum/checksum.h"
#include "compare/compare.h"
#include "editors/clock.h"
#include "editors/header.h"
#include "editors/sideband.h"
#include "image/gpu_table.h"
#include "image/image_file.h"
#include "image/open_image.h"
#include "system/system.h"
#include "text/encoding.h"

#include "faults.h"
#include "host.h"
#include "printers.h"
#include "test_image.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace vardane {
namespace {

using test::faults;
using test::Standard;
using test::TestImage;
using testing::FieldsAre;
using Bytes = std::vector<std::uint8_t>;

// The text of a fact.
std::string row(const ImageFacts& facts, FactKey key)
{
    return factText(factsOf(facts, ",")[key]);
}

// What an open finds beyond the header and version texts, the rows it is
// worded into among them, in the order of the table below.
auto seen(const ImageFacts& f)
{
    using enum FactKey;
    return std::tuple(f.status, f.stoppedAt, f.headerlengh, f.chipKey, row(f, gpuName), row(f, sbaState),
                      f.SBAVrt, f.Octclef, row(f, memClockText), row(f, coreClockText));
}
using Seen = decltype(seen(ImageFacts{}));

// Opens a file holding the image and checks that opening wrote nothing.
ImageFacts opened(const TestImage& image)
{
    const test::TempFile file(image);
    ImageFacts result = openImage(file.path());
    EXPECT_EQ(file.contents(), image.bytes()) << "opening changed the file";
    return result;
}

// Only the size decides acceptance; a failed step keeps what came before it.
// Each window's ends are candidates and one past them is not; the last of
// several matches wins, a PCIR match in the second window over one in the
// first; clocks show at most two decimals with the separator given, and a
// fact the open did not reach shows empty.
TEST(OpenImage, FillsTheFieldsStepByStepFromTheLastMatchOfEachAnchor)
{
    using enum OpenStatus;
    using enum OpenStep;
    const TestImage base(65536);
    const std::uint8_t on = 0xFB;
    const std::uint8_t off = 0x7F;
    // clang-format off
    // status, stoppedAt, headerlengh, chipKey, gpuName, sbaState, SBAVrt, Octclef, memClockText, coreClockText
    const struct { const char* row; TestImage image; Seen seen; } cases[] = {
        {"standard", test::standardImage(), {accepted, done, 0xAF, "1052", "GeForce2 Ultra", "NON", 0x800, 0xEA0, "366 Mhz", "143 Mhz"}},
        {"one byte short", TestImage(46126), {rejected, size, {}, "", "", "", {}, {}, "", ""}},
        {"one byte long", TestImage(132001), {rejected, size, {}, "", "", "", {}, {}, "", ""}},
        {"no marker", TestImage(46127), {failed, clockKey, {}, "", "", "???", {}, {}, "", ""}},
        {"no r7", test::standardImage().put(Standard::kClockKey, "xx"), {failed, clockKey, 0xAF, "1052", "GeForce2 Ultra", "NON", 0x800, {}, "", ""}},
        {"Version at 80", test::standardImage().version(80), {failed, version, {}, "", "", "", {}, {}, "", ""}},
        {"first candidates", TestImage(base).version(499).pcir(46, 0x10, 1).put(1980, on).clockKey(3572, 1, 2),
         {accepted, done, 418, "1001", "GeForce256 DDR", "OUI", 1980, 3572, "0,02 Mhz", "0,02 Mhz"}},
        {"last candidates", TestImage(base).version(81).pcir(519, 0x10, 2).put(2180, off).clockKey(3884, 16667, 12550),
         {accepted, done, 0, "1002", "GeForce Confidential", "NON", 2180, 3884, "333,34 Mhz", "125,5 Mhz"}},
        {"second PCIR window", TestImage(base).pcir(3499, 0x10, 3).pcir(3849, 0x0A, 0xB0).clockKey(3600, 0xFFFF, 0xFFFF),
         {accepted, done, {}, "0AB0", "", "???", {}, 3600, "1310,7 Mhz", "655,35 Mhz"}},
        {"one past every window", TestImage(base).version(500).pcir(45, 0x10, 5).pcir(520, 0x10, 5).pcir(3498, 0x10, 5).pcir(3850, 0x10, 5)
             .put(1979, on).put(2181, on).clockKey(3571, 1, 2).clockKey(3885, 1, 2), {failed, clockKey, {}, "", "", "???", {}, {}, "", ""}},
        {"last match wins", TestImage(base).version(100).version(300).pcir(3499, 0x20, 0).pcir(400, 0x10, 7).put(0x7C1, on).put(0x800, off)
             .clockKey(3600, 1, 2).clockKey(3800, 20000, 25000), {accepted, done, 219, "2000", "GeForce3", "NON", 0x800, 3800, "400 Mhz", "250 Mhz"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(seen(opened(c.image)), c.seen) << c.row;
    }
    // Reads resume after a signal and after a short count, so an open sees every byte.
    faults = {.interruptedReads = 1, .shortReads = 2};
    const ImageFacts result = opened(test::standardImage());
    faults = {};
    EXPECT_EQ(row(result, FactKey::fileSize), "65536 Octets");
    EXPECT_EQ(row(result, FactKey::headerText), "Vardane test header" + std::string(29, ' ') + "\r\n");
    EXPECT_EQ(row(result, FactKey::versionText), "NV15 BIOS 3.15.01.08.00 (test)" + std::string(5, '\0'));
    EXPECT_EQ(result.bytes, test::standardImage().bytes());
}

// Each fact goes by the name that `vardane-cli info --json` gives it.
TEST(Facts, EachIsNamedAsTheJsonNamesIt)
{
    const std::vector<std::string_view> keys{
        "status",      "message", "reason",  "fileTitle",    "fileSize",      "headerText",
        "versionText", "chipKey", "gpuName", "sbaState",     "memClockText",  "coreClockText",
        "headerlengh", "SBAVrt",  "Octclef", "memClockWord", "coreClockWord", "checksum"};
    std::vector<std::string_view> named;
    for (const auto& [key, value] : factsOf({}, ",")) {
        named.push_back(nameOf(key).json);
    }
    EXPECT_EQ(named, keys);
}

// Written out from the published Windows-1252 chart rather than shared with
// the code, so that a slip in either table shows. The five holes of the
// chart stand for the control character of the same value.
constexpr std::array<char32_t, 32> kChart80To9F{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98..9F
};

TEST(Text, Windows1252Utf8AndWtf8BothWaysAndTheUsersDecimalSeparator)
{
    std::u32string chart;
    Bytes bytes;
    for (unsigned byte = 0; byte < 256; ++byte) {
        chart += byte >= 0x80 && byte <= 0x9F ? kChart80To9F[byte - 0x80] : char32_t{byte};
        bytes.push_back(static_cast<std::uint8_t>(byte));
    }
    EXPECT_EQ(encodeWindows1252(chart), bytes);
    EXPECT_EQ(decodeUtf8(decodeWindows1252(bytes)), chart);
    for (const char32_t outside : {0x0080, 0x009F, 0x0100, 0x4E2D, 0xFFFD, 0x1F600}) {
        EXPECT_FALSE(encodeWindows1252(std::u32string(U"ab") + outside)) << static_cast<unsigned>(outside);
    }
    // Well-formed UTF-8 only: no overlong form, no surrogate, nothing past U+10FFFF.
    const std::pair<std::string, std::optional<std::u32string>> utf8[] = {
        // clang-format off
        {"a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", U"aé€😀"}, {"\xF4\x8F\xBF\xBF", U"\U0010FFFF"}, {"\xC0\x80", {}},
        {"\xDF\xBF\xF0\x90\x80\x80", U"\u07FF\U00010000"}, {"\xE0\x9F\xBF", {}}, {"\xED\xA0\x80", {}}, {"\xF4\x90\x80\x80", {}},
        {"\xF5\x80\x80\x80", {}}, {"\xC2\xC0", {}}, {"\xE0\xA0\x80", U"\u0800"}, {"\xF1\xC0\x80\x80", {}}, {"\xEF\xBF\xBF", U"\uFFFF"}, {"\xE2\xC0\x80", {}}, {"\xE2\x82\xC0", {}}, {"\xE2\x82", {}}, {"\xFF", {}}, {"\x80", {}},
        // clang-format on
    };
    for (const auto& [text, decoded] : utf8) {
        EXPECT_EQ(decodeUtf8(text), decoded) << testing::PrintToString(text);
    }
    // A name shows its valid UTF-8, and as \xHH each byte of a character that
    // could act on a terminal or make it read as another, each byte that is
    // not UTF-8, and a backslash that does not separate folders.
    const std::string backslash = system::backslashSeparates() ? "\\" : "\\x5c";
    // clang-format off
    const struct { const char* row; std::string name, shown; } names[] = {
        {"C0", "a\rb\x1B", "a\\x0db\\x1b"}, {"DEL", "\x7F", "\\x7f"}, {"C1", "c1\xC2\x9B" "31m", "c1\\xc2\\x9b31m"},
        {"bidi", "cart\xE2\x80\xAEmor\xE2\x81\xA6\xD8\x9C\xE2\x80\xAA", "cart\\xe2\\x80\\xaemor\\xe2\\x81\\xa6\\xd8\\x9c\\xe2\\x80\\xaa"},
        {"separators, invisible", "\xE2\x80\xA8\xE2\x80\xA9\xE2\x80\x8B\xEF\xBB\xBF", "\\xe2\\x80\\xa8\\xe2\\x80\\xa9\\xe2\\x80\\x8b\\xef\\xbb\\xbf"},
        {"invalid bytes", "caf\xE9\xC3", "caf\\xe9\\xc3"}, {"backslash", "a\\b", "a" + backslash + "b"},
        {"kept", "é ω\xE2\x80\x8C.rom", "é ω\xE2\x80\x8C.rom"},
    };
    // clang-format on
    for (const auto& [row, name, shown] : names) {
        EXPECT_EQ(shownName(name), shown) << row;
    }
    // WTF-8 keeps a lone surrogate as its three bytes, both ways; two of them
    // that make a pair must come as the four bytes of its code point.
    const std::pair<std::u16string, std::string> wtf8[] = {
        // clang-format off
        {u"a\u00E9\u20AC\U0001F601\U00010000", "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x81\xF0\x90\x80\x80"}, {std::u16string{0xD800, 'x'}, "\xED\xA0\x80x"},
        {std::u16string{0xDC00, 0xDBFF}, "\xED\xB0\x80\xED\xAF\xBF"}, {u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
        {std::u16string{0xDBFF, 0xE000}, "\xED\xAF\xBF\xEE\x80\x80"},
        // clang-format on
    };
    for (const auto& [units, text] : wtf8) {
        SCOPED_TRACE(testing::PrintToString(text));
        EXPECT_EQ(wtf8FromUtf16(units), text);
        EXPECT_EQ(utf16FromWtf8(text), units);
    }
    EXPECT_EQ(utf16FromWtf8("\xED\xA0\x80\xED\xB0\x80"), std::nullopt);
    EXPECT_EQ(utf16FromWtf8("a\xC3"), std::nullopt);
    EXPECT_EQ(utf16FromWtf8("\xED\xC0\x80"), std::nullopt);
    EXPECT_EQ(wtf8FromUtf16(std::u16string_view(u"\xD800\xDC00", 1)), "\xED\xA0\x80");  // cut pair
    // The first of LC_ALL, LC_NUMERIC and LANG that is set names the locale; a
    // locale missing from the system gives a point.
    const std::array<const char*, 3> variables{"LC_ALL", "LC_NUMERIC", "LANG"};
    const std::pair<std::array<const char*, 3>, const char*> locales[] = {
        // clang-format off
        {{"fr_FR.UTF-8", "C", "C"}, ","}, {{"", "fr_FR.UTF-8", "C"}, ","}, {{nullptr, nullptr, "fr_FR.UTF-8"}, ","},
        {{"C", "fr_FR.UTF-8", "fr_FR.UTF-8"}, "."}, {{nullptr, nullptr, "xx_XX.UTF-8"}, "."}, {{nullptr, nullptr, nullptr}, "."},
        // clang-format on
    };
    for (const auto& [values, separator] : locales) {
        for (std::size_t v = 0; v < variables.size(); ++v) {
            test::setVariable(variables[v], values[v]);
        }
        EXPECT_EQ(system::userDecimalSeparator(), separator) << testing::PrintToString(values);
    }
}

constexpr std::int64_t kSize = 4096;

// Every byte different from its neighbours, so a write one byte off shows.
constexpr std::uint8_t byteAt(std::int64_t offset)
{
    return static_cast<std::uint8_t>(offset * 31 + 7);
}

TestImage counting()
{
    TestImage image(kSize);
    for (std::int64_t i = 0; i < kSize; ++i) {
        image.put(i, byteAt(i));
    }
    return image;
}

// The file at a path as a read finds it, for the writes that follow.
KnownFile known(const std::filesystem::path& path)
{
    return {path, ImageFile::readStart(path, 0).value().identity};
}

Expectation expecting(std::int64_t offset, Bytes bytes, std::optional<std::int64_t> size = {})
{
    return {{{offset, std::move(bytes)}}, size};
}

TEST(ImageFile, WritesExactlyTheRangeOrNothingAndUndoesAFailedWrite)
{
    const Bytes bytes{0xA0, 0xA1};  // neither is the byte it replaces
    // clang-format off
    const struct { std::int64_t offset; Expectation expected; std::optional<Refusal> refusal; } cases[] = {
        {0, {}, {}}, {kSize - 2, expecting(kSize - 1, {byteAt(kSize - 1)}, kSize), {}}, {kSize - 1, {}, Refusal::tooShort},
        {-1, {}, Refusal::tooShort}, {std::numeric_limits<std::int64_t>::max() - 1, {}, Refusal::tooShort},
        {100, expecting(99, {byteAt(99), 0x00}), Refusal::changed},
        {101, expecting(kSize - 1, {byteAt(kSize - 1), 0x00}), Refusal::changed},
        {102, expecting(-1, {0x00}), Refusal::changed}, {103, expecting(0, {byteAt(0)}, kSize + 1), Refusal::changed},
        {104, {{{0, {byteAt(0)}}, {5, {0x00}}}, {}}, Refusal::changed},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.offset);
        const test::TempFile file(counting());
        EXPECT_EQ(refusalOf(ImageFile::write(known(file.path()), c.offset, bytes, c.expected)), c.refusal);
        EXPECT_EQ(file.contents(),
                  c.refusal ? counting().bytes() : counting().put(c.offset, "\xA0\xA1").bytes());
    }
    const test::TempFolder folder;
    EXPECT_EQ(refusalOf(ImageFile::write({folder.path() / "gone.rom", {}}, 0, bytes)), Refusal::absent);
    EXPECT_EQ(refusalOf(ImageFile::write({folder.path(), {}}, 0, bytes)), Refusal::notRegular);
    EXPECT_EQ(refusalOf(ImageFile::read(test::TempFile(counting()).path(), kSize - 1, 2)), Refusal::tooShort);
    // A write cut short goes on from where it stopped; one that fails or is
    // not confirmed puts the old bytes back and says why, a full disk as such;
    // only when the put-back fails or is not confirmed either is the file said
    // to be damaged.
    const TestImage before = counting();
    const TestImage written = counting().put(10, "\xA0\xA1");
    const TestImage torn = counting().put(10, std::uint8_t{0xA0});
    using system::Failure;
    // clang-format off
    const struct { const char* name; test::PlantedFaults planted; std::optional<Refusal> refusal; const TestImage& after; } failures[] = {
        {"short count", {.shortWrites = 1}, {}, written},
        {"short count, then a full disk", {.shortWrites = 1, .writesBeforeFailure = 1, .failedWrites = 1, .writeFailure = Failure::noSpace}, Refusal::noSpace, before},
        {"full disk", {.failedWrites = 1, .writeFailure = Failure::noSpace}, Refusal::noSpace, before},
        {"flush refused", {.failedFlushes = 1}, Refusal::notWritable, before},
        {"flush and put-back's flush refused", {.failedFlushes = 2}, Refusal::damaged, before},
        {"flush and put-back refused", {.writesBeforeFailure = 1, .failedWrites = 1, .failedFlushes = 1}, Refusal::damaged, written},
        {"short count, rest and put-back refused", {.shortWrites = 1, .writesBeforeFailure = 1, .failedWrites = 2}, Refusal::damaged, torn},
        {"short count, rest and put-back's flush refused", {.shortWrites = 1, .writesBeforeFailure = 1, .failedWrites = 1, .failedFlushes = 1}, Refusal::damaged, before},
    };
    // clang-format on
    for (const auto& [name, planted, refusal, after] : failures) {
        SCOPED_TRACE(name);
        const test::TempFile file(counting());
        const KnownFile target = known(file.path());
        faults = planted;
        EXPECT_EQ(refusalOf(ImageFile::write(target, 10, Bytes{0xA0, 0xA1})), refusal);
        faults = {};
        EXPECT_EQ(file.contents(), after.bytes());
    }
}

// Writers take turns: one that comes while another holds the file, between
// its check and its write, is refused and writes nothing, and so is a reader;
// the first writer's bytes alone land. A writer kept out by a reader says so.
// A read or a write acts only on the file that was found under the name:
// once another file has taken the name, both files keep their bytes.
TEST(ImageFile, ActsOnlyOnTheFileItFoundAndTakesTurns)
{
    const test::TempFile file(counting());
    const KnownFile target = known(file.path());
    std::vector<std::optional<Refusal>> meanwhile;
    faults = {.lockPatience = std::chrono::milliseconds(50), .afterNextRead = [&] {
                  meanwhile = {refusalOf(ImageFile::write(target, 20, Bytes{0xB0})),
                               refusalOf(ImageFile::read(file.path(), 0, 1))};
              }};
    EXPECT_EQ(refusalOf(ImageFile::write(target, 10, Bytes{0xA0, 0xA1}, expecting(12, {byteAt(12)}))),
              std::nullopt);
    EXPECT_THAT(meanwhile, testing::ElementsAre(Refusal::locked, Refusal::locked));
    EXPECT_EQ(file.contents(), counting().put(10, "\xA0\xA1").bytes());
    {
        const auto reader = system::openNativeFile(file.path(), system::Access::read);
        ASSERT_TRUE(reader && (*reader)->lock(system::LockKind::shared, {}));
        EXPECT_EQ(refusalOf(ImageFile::write(target, 0, Bytes{0xB0})), Refusal::lockedByReader);
    }
    faults = {};

    const TestImage other = TestImage(counting()).put(0, std::uint8_t{0xEE});
    const test::TempFile newcomer(other, "other.rom");
    std::filesystem::rename(file.path(), file.folder() / "aside.rom");
    std::filesystem::rename(newcomer.path(), file.path());
    EXPECT_EQ(refusalOf(ImageFile::read(target, 0, 1)), Refusal::replaced);
    EXPECT_EQ(refusalOf(ImageFile::size(target)), Refusal::replaced);
    EXPECT_EQ(refusalOf(ImageFile::write(target, 0, Bytes{0xB0})), Refusal::replaced);
    EXPECT_EQ(file.contents(), other.bytes());
    EXPECT_EQ(test::readAll(file.folder() / "aside.rom"), counting().put(10, "\xA0\xA1").bytes());
}

ImageFacts scanned(const TestImage& image)
{
    ImageFacts result = scanImage(image.bytes());
    result.size = static_cast<std::int64_t>(image.bytes().size());
    result.bytes = image.bytes();
    return result;
}

TestImage flipped(TestImage image, const std::vector<std::int64_t>& offsets)
{
    for (const std::int64_t offset : offsets) {
        image.put(offset, static_cast<std::uint8_t>(image.bytes()[static_cast<std::size_t>(offset)] ^ 0xFF));
    }
    return image;
}

TEST(CompareImages, NamesEachFieldARunTouchesAsTheFirstImagesScanPlacedIt)
{
    using Run = std::vector<std::string_view>;
    const TestImage a = test::standardImage();
    const TestImage early = TestImage(a).version(80);
    // clang-format off
    const struct { const char* row; TestImage a, b; std::vector<testing::Matcher<const DifferingRun&>> runs; } cases[] = {
        {"identical", a, a, {}},
        {"header's start", a, flipped(a, {Standard::kHeader - 1, Standard::kHeader}), {FieldsAre(174, 175, Run{"HeaderText", "-"})}},
        {"SideBand byte", a, flipped(a, {Standard::kSba, 0xBC00}), {FieldsAre(2048, 2048, Run{"SbaByte"}), FieldsAre(48128, 48128, Run{"-"})}},
        {"chip bytes", a, flipped(a, {0x60 + 5, 0x60 + 7}), {FieldsAre(101, 101, Run{"ChipBytes"}), FieldsAre(103, 103, Run{"-"})}},
        {"checksum byte", a, flipped(a, {0xBBFF}), {FieldsAre(48127, 48127, Run{"ChecksumByte"})}},
        // The longer file's extra bytes are not compared.
        {"lengths", TestImage(46127).put(100, std::uint8_t{1}).put(46126, std::uint8_t{1}), TestImage(65536),
         {FieldsAre(100, 100, Run{"-"}), FieldsAre(46126, 46126, Run{"-"})}},
        // A scan that stopped at a "Version" too near the start placed the version text only.
        {"scan stopped early", early, flipped(early, {87, Standard::kClockKey - 26}), {FieldsAre(87, 87, Run{"VersionText"}), FieldsAre(3718, 3718, Run{"-"})}},
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_THAT(compareImages(scanned(c.a), scanned(c.b), ",").runs, testing::ElementsAreArray(c.runs))
            << c.row;
    }
}

// A session: the bytes as opened, the file as the list last read it, and the
// file as it is when the restore is asked for.
TEST(RestoreOriginal, PutsBackTheOriginalOnlyOverTheFileTheListRead)
{
    const TestImage original = test::standardImage();
    const TestImage memory = TestImage(original).putWord(Standard::kClockKey - 26, 20000);
    const TestImage edited = TestImage(memory).put(Standard::kSba, 0xFB).put(0xBBFF, std::uint8_t{0});
    const std::size_t length = original.bytes().size();
    // clang-format off
    const struct { const char* row; TestImage lastRead, inFile; std::optional<Refusal> refusal; } cases[] = {
        {"one run", memory, memory, {}}, {"runs apart", edited, edited, {}}, {"nothing to restore", original, original, {}},
        {"changed since listed", edited, TestImage(edited).put(0x8000, std::uint8_t{1}), Refusal::changed},
        {"longer since listed", edited, TestImage(edited).resize(length + 1), Refusal::changed},
        {"longer than opened", TestImage(edited).resize(length + 1), TestImage(edited).resize(length + 1), Refusal::lengthChanged},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        const test::TempFile file(c.inFile);
        EXPECT_EQ(refusalOf(restoreOriginal(known(file.path()), original.bytes(), c.lastRead.bytes())),
                  c.refusal);
        EXPECT_EQ(file.contents(), c.refusal ? c.inFile.bytes() : original.bytes());
    }
}

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
        SCOPED_TRACE(testing::Message() << size << " bytes");
        const test::TempFile file(sum37Image(size));
        EXPECT_EQ(verifyChecksum(file.path()), refusal ? refused(*refusal) : Outcome<std::uint8_t>(0x37));
        EXPECT_EQ(correctChecksum(file.path()).map(fields),
                  refusal ? Corrected(refused(*refusal)) : Corrected(std::tuple{0x37, 0x12, 0xDB, true}));
        EXPECT_EQ(file.contents(),
                  refusal ? sum37Image(size).bytes() : sum37Image(size).put(0xBBFF, 0xDB).bytes());
    }
    EXPECT_EQ(verifyChecksum(test::TempFolder().path() / "gone.rom"), refused(Refusal::absent));
    // The byte is written only while the region still holds what was summed.
    const test::TempFile file(sum37Image(65536));
    const TestImage meanwhile = sum37Image(65536).put(0x200, std::uint8_t{0x02});
    faults.afterNextRead = [&] { test::writeAll(file.path(), meanwhile.bytes()); };
    EXPECT_EQ(correctChecksum(file.path()).map(fields), Corrected(refused(Refusal::changed)));
    faults = {};
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
// at its distance from Octclef, while "r7" stands there and, when one was
// seen, the word the user saw; anything else writes nothing.
TEST(WriteClock, WritesTheWordOfAClockInItsRangeOrNothing)
{
    const std::int64_t k = Standard::kClockKey;
    const auto outside = refused(Refusal::clockOutOfRange);
    const auto changed = refused(Refusal::changed);
    const std::optional<std::uint16_t> any;
    // clang-format off
    const struct { const ClockProfile& profile; std::optional<std::int64_t> octclef; double mhz; bool ouf; std::optional<std::uint16_t> seen; Outcome<std::uint16_t> word; } cases[] = {
        {kMem, k, 200, false, any, 0x2710}, {kMem, k, 333.5, false, 18300, 16675}, {kMem, k, 333.33, false, any, 16666},
        {kMem, k, 1000, true, any, 0xC350}, {kMem, k, 600.01, false, any, outside}, {kMem, k, 99.99, true, any, outside},
        {kMem, k, std::nan(""), true, any, outside}, {kMem, std::nullopt, 460, false, any, refused(Refusal::noClockKey)},
        {kMem, k, 368, false, 25000, changed}, {kCore, k, 125.5, false, 14300, 12550}, {kCore, k, 40, true, any, 0x0FA0},
        {kCore, k, 350, false, any, 0x88B8}, {kCore, k, 20, false, any, outside}, {kCore, k, 150, false, 18300, changed},
        {kCore, k + 2, 143, false, any, changed},  // "r7" is not at k + 2
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.mhz << " Mhz, " << (c.seen ? std::to_string(*c.seen) : "no word") << " seen");
        const test::TempFile file(test::standardImage());
        const ClockRange& range = c.ouf ? c.profile.ouf : c.profile.normal;
        EXPECT_EQ(writeClock(c.profile, known(file.path()), c.octclef, c.mhz, range, c.seen), c.word);
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
    const struct { const char* row; std::size_t width; std::optional<std::int64_t> start; Outcome<std::size_t> found; } cases[] = {
        {"narrowest", 1, Standard::kHeader, 1}, {"widest", 50, Standard::kHeader, 50},
        {"empty", 0, Standard::kHeader, refused(Refusal::emptyHeaderField)}, {"no return", 51, Standard::kHeader, refused(Refusal::noHeaderField)},
        {"no Version", 48, std::nullopt, refused(Refusal::noHeader)}, {"past the end", 48, 65536 - 50, refused(Refusal::tooShort)},
        // clang-format on
    };
    for (const auto& c : cases) {
        const test::TempFile file(imageWithField(c.width));
        EXPECT_EQ(readHeaderField(known(file.path()), c.start).map(&HeaderField::width), c.found) << c.row;
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
        EXPECT_EQ(encodeHeaderText(text, 3), bytes) << testing::PrintToString(text);
    }
    // Exactly the field's bytes, and only while the file still holds the field
    // as loaded with its carriage return.
    const test::TempFile source(imageWithField(48));
    const HeaderField field = readHeaderField(known(source.path()), Standard::kHeader).value();
    const Bytes text = encodeHeaderText(U"Z", 48).value();
    // clang-format off
    const struct { const char* row; TestImage image; Bytes bytes; std::optional<Refusal> refusal; } cases[] = {
        {"as loaded", imageWithField(48), text, {}}, {"field changed", imageWithField(48).put(Standard::kHeader + 5, '!'), text, Refusal::changed},
        {"return gone", imageWithField(48).put(Standard::kHeader + 48, ' '), text, Refusal::changed},
        {"another field", imageWithField(20), text, Refusal::changed},
        {"too few bytes", imageWithField(48), Bytes(47, 'X'), Refusal::textTooLong}, {"too many bytes", imageWithField(48), Bytes(49, 'X'), Refusal::textTooLong},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        const test::TempFile file(c.image);
        EXPECT_EQ(refusalOf(writeHeaderField(known(file.path()), field, c.bytes)), c.refusal);
        EXPECT_EQ(file.contents(),
                  c.refusal ? c.image.bytes()
                            : TestImage(c.image).put(Standard::kHeader, "Z" + std::string(47, ' ')).bytes());
    }
}

// The state alone decides the byte written, and only while the file holds
// the byte that state stands for.
TEST(ToggleSideBand, WritesTheOtherValueOrNothing)
{
    const std::int64_t s = Standard::kSba;
    const auto changed = refused(Refusal::changed);
    using enum SideBand;
    // clang-format off
    const struct { const char* row; std::uint8_t inFile; SideBand state; std::optional<std::int64_t> offset; Outcome<SideBand> newState; std::uint8_t after; } cases[] = {
        {"enable", 0x7F, off, s, on, 0xFB}, {"disable", 0xFB, on, s, off, 0x7F}, {"undecided", 0x7F, undecided, s, refused(Refusal::sbaUndecided), 0x7F},
        {"no byte", 0x7F, off, std::nullopt, refused(Refusal::noSbaByte), 0x7F}, {"enabled since", 0xFB, off, s, changed, 0xFB},
        {"disabled since", 0x7F, on, s, changed, 0x7F}, {"past the end", 0x7F, off, 65536, refused(Refusal::tooShort), 0x7F},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        const test::TempFile file(test::standardImage().put(Standard::kSba, c.inFile));
        EXPECT_EQ(toggleSideBand(known(file.path()), c.state, c.offset), c.newState);
        EXPECT_EQ(file.contents(), test::standardImage().put(Standard::kSba, c.after).bytes());
    }
}

}  // namespace
}  // namespace vardane
