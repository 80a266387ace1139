// The image as a model: the disk under it, the open scan, the GPU table, the
// text encoding, and the comparison of two images that diff prints.
#include "compare/compare.h"
#include "image/gpu_table.h"
#include "image/image_file.h"
#include "image/open_image.h"
#include "image/text.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

// Faults the system could answer with, planted on the calls ImageFile makes.
// Every other call goes to the kernel unchanged.
namespace {
struct PlantedFaults {
    int interruptedReads = 0;      // preads failing with EINTR
    int shortReads = 0;            // preads giving one byte only
    int shortWrites = 0;           // pwrites writing one byte only
    int writesBeforeFailure = -1;  // pwrites that go through before the rest fail
    int failedFlushes = 0;
} faults;

// Whether a planned fault of this kind is due now, counting it off.
bool due(int& planned)
{
    return planned > 0 && planned-- > 0;
}
}  // namespace

extern "C" ssize_t pread(int fd, void* buffer, size_t length, off_t offset)
{
    if (due(faults.interruptedReads)) {
        errno = EINTR;
        return -1;
    }
    return ::syscall(SYS_pread64, fd, buffer, due(faults.shortReads) ? 1 : length, offset);
}

extern "C" ssize_t pwrite(int fd, const void* buffer, size_t length, off_t offset)
{
    if (faults.writesBeforeFailure == 0) {
        errno = EIO;
        return -1;
    }
    due(faults.writesBeforeFailure);
    return ::syscall(SYS_pwrite64, fd, buffer, due(faults.shortWrites) ? 1 : length, offset);
}

extern "C" int fdatasync(int fd)
{
    if (due(faults.failedFlushes)) {
        errno = EIO;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fdatasync, fd));
}

namespace vardane {
namespace {

using test::Standard;
using test::TestImage;

template <typename T>
std::string shown(const std::optional<T>& value)
{
    return value ? std::to_string(*value) : "-";
}

// Opens a file holding the image, checks that opening wrote nothing, and gives
// every field the scan fills, in scan order, joined by "|" (but the texts of
// the file and of "Version" when not asked for).
std::string scanned(const TestImage& image, OpenStatus status, bool texts = true)
{
    const test::TempFile file(image);
    const OpenResult r = openImage(file.path(), ",");
    EXPECT_EQ(file.contents(), image.bytes()) << "opening changed the file";
    EXPECT_EQ(r.status, status);
    const ImageState& s = r.state;
    std::string joined = texts ? s.fileSize + "|" + s.versionText + "|" + s.headerText + "|" : "";
    for (const std::string& field :
         {shown(s.headerlengh), r.chipKey, s.gpuName, s.sbaState, shown(s.SBAVrt), shown(s.Octclef),
          shown(r.memClockWord), shown(r.coreClockWord), s.memClockText, s.coreClockText}) {
        joined += field + "|";
    }
    return joined;
}

// Only the size decides acceptance; a failed step keeps what came before it.
TEST(OpenImage, FillsTheFieldsStepByStep)
{
    using enum OpenStatus;
    const std::string version = "NV15 BIOS 3.15.01.08.00 (test)" + std::string(5, '\0') + "|";
    const std::string header =
        "Vardane test header" + std::string(29, ' ') + "\r\n|175|1052|GeForce2 Ultra|NON|2048|";
    EXPECT_EQ(scanned(test::standardImage(), accepted),
              "65536 Octets|" + version + header + "3744|18300|14300|366 Mhz|143 Mhz|");
    EXPECT_EQ(scanned(TestImage(46126), rejected), "|||-||||-|-|-|-|||");
    EXPECT_EQ(scanned(TestImage(132001), rejected), "|||-||||-|-|-|-|||");
    EXPECT_EQ(scanned(TestImage(46127), failed), "46127 Octets|||-|||???|-|-|-|-|||");
    EXPECT_EQ(scanned(test::standardImage().put(Standard::kClockKey, "xx"), failed),
              "65536 Octets|" + version + header + "-|-|-|||");
    // A "Version" too near the start for its header still shows its version
    // text (here over the PCIR marker), then no later anchor is looked for.
    EXPECT_EQ(scanned(test::standardImage().version(80).put(87, "early"), failed),
              "65536 Octets|" + std::string("early\0\0\0\0PCIR\0\x10R", 16) + std::string(19, '\0') +
                  "||-||||-|-|-|-|||");
}

// Each window's ends are candidates and one past them is not; the last of
// several matches wins, a PCIR match in the second window over one in the first.
TEST(OpenAnchors, WindowEndsAndTheLastMatchWins)
{
    using enum OpenStatus;
    const TestImage base(65536);
    // clang-format off
    EXPECT_EQ(scanned(TestImage(base).version(499).pcir(46, 0x10, 1).put(1980, std::uint8_t{0xFB}).clockKey(3572, 1, 2),
                      accepted, false), "418|1001|GeForce256 DDR|OUI|1980|3572|1|2|0,02 Mhz|0,02 Mhz|");
    EXPECT_EQ(scanned(TestImage(base).version(81).pcir(519, 0x10, 2).put(2180, std::uint8_t{0x7F}).clockKey(3884, 3, 4),
                      accepted, false), "0|1002|GeForce Confidential|NON|2180|3884|3|4|0,06 Mhz|0,04 Mhz|");
    EXPECT_EQ(scanned(TestImage(base).pcir(3499, 0x10, 3).pcir(3849, 0x10, 4).clockKey(3600, 5, 6), accepted, false),
              "-|1004||???|-|3600|5|6|0,1 Mhz|0,06 Mhz|");
    EXPECT_EQ(scanned(TestImage(base).version(500).pcir(45, 0x10, 5).pcir(520, 0x10, 5).pcir(3498, 0x10, 5)
                          .pcir(3850, 0x10, 5).put(1979, std::uint8_t{0xFB}).put(2181, std::uint8_t{0xFB})
                          .clockKey(3571, 1, 2).clockKey(3885, 1, 2), failed, false),
              "-|||???|-|-|-|-|||");
    EXPECT_EQ(scanned(TestImage(base).version(100).version(300).pcir(3500, 0x10, 6).pcir(400, 0x10, 7)
                          .put(0x7C1, std::uint8_t{0xFB}).put(0x800, std::uint8_t{0x7F}).clockKey(3600, 1, 2)
                          .clockKey(3800, 3, 4), accepted, false),
              "219|1006||NON|2048|3800|3|4|0,06 Mhz|0,04 Mhz|");
    // clang-format on
}

// The key is two bytes in upper-case hex, each with its leading zero (keys
// missing from the table leave the name empty in the scans above).
TEST(GpuTable, ChipKeysNameTheGpuOnlyOnAnExactMatch)
{
    EXPECT_EQ(makeChipKey(ChipBytes{0x0A, 0xB0}), "0AB0");
    EXPECT_EQ(gpuNameForChipKey("2000"), "GeForce3");
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

TEST(Windows1252, EveryCharacterOfTheChartEncodesToItsByte)
{
    std::u32string chart;
    std::vector<std::uint8_t> bytes;
    for (unsigned byte = 0; byte < 256; ++byte) {
        chart += byte >= 0x80 && byte <= 0x9F ? kChart80To9F[byte - 0x80] : char32_t{byte};
        bytes.push_back(static_cast<std::uint8_t>(byte));
    }
    EXPECT_EQ(encodeWindows1252(chart), bytes);
    for (const char32_t outside : {0x0080, 0x009F, 0x0100, 0x4E2D, 0xFFFD, 0x1F600}) {
        EXPECT_FALSE(encodeWindows1252(std::u32string(U"ab") + outside)) << static_cast<unsigned>(outside);
    }
}

constexpr std::int64_t kSize = 4096;

// Every byte different from its neighbours, so a write one byte off shows.
constexpr std::uint8_t byteAt(std::int64_t offset)
{
    return static_cast<std::uint8_t>(offset * 31 + 7);
}

test::TempFile countingFile()
{
    test::TestImage image(kSize);
    for (std::int64_t i = 0; i < kSize; ++i) {
        image.put(i, byteAt(i));
    }
    return test::TempFile(image);
}

TEST(ImageFile, WriteChangesExactlyTheRangeOrNothing)
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
        const test::TempFile file = countingFile();
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

// A write cut short or not confirmed puts the old bytes back; only when that
// fails or is not confirmed either is the file said to be damaged.
TEST(ImageFile, AFailedWriteIsUndoneOrReportedAsDamage)
{
    const std::pair<PlantedFaults, IoError> cases[] = {
        {{.shortWrites = 1}, IoError::writeFailed},
        {{.failedFlushes = 1}, IoError::flushFailed},
        {{.failedFlushes = 2}, IoError::damaged},
        {{.writesBeforeFailure = 1, .failedFlushes = 1}, IoError::damaged},
        {{.shortWrites = 1, .writesBeforeFailure = 1}, IoError::damaged},
    };
    for (const auto& [planted, error] : cases) {
        const test::TempFile file = countingFile();
        const auto before = file.contents();
        faults = planted;
        const auto written = ImageFile::write(file.path(), 10, std::vector<std::uint8_t>{0xA0, 0xA1});
        EXPECT_EQ(written.error(), error);
        EXPECT_EQ(file.contents() == before, faults.writesBeforeFailure != 0);  // the old bytes went back
        faults = {};
    }
}

// Reads resume after a signal and after a short count, so an open sees every byte.
TEST(ImageFile, ReadsResumeAfterAnInterruptionOrAShortCount)
{
    const test::TempFile file(test::standardImage());
    faults = {.interruptedReads = 1, .shortReads = 2};
    EXPECT_EQ(openImage(file.path(), ",").state.Octclef, Standard::kClockKey);
    faults = {};
    EXPECT_EQ(ImageFile::read(file.path(), 65535, 2).error(), IoError::outOfRange);
}

// "first..last names" for each run, as the CLI prints them.
std::vector<std::string> runsOf(const TestImage& a, const TestImage& b)
{
    const test::TempFile file(a);
    const auto runs = differingRuns(a.bytes(), b.bytes(), placedFields(openImage(file.path(), ",")));
    std::vector<std::string> shown;
    for (const DifferingRun& run : runs) {
        std::string names;
        for (const std::string_view name : run.fields) {
            names.append(" ").append(name);
        }
        shown.push_back(std::to_string(run.first) + ".." + std::to_string(run.last) + names);
    }
    return shown;
}

TEST(DifferingRuns, NameEachFieldARunTouchesAsTheFirstImagesScanPlacedIt)
{
    const TestImage a = test::standardImage();
    const TestImage early = TestImage(a).version(80);
    const auto flip = [](TestImage b, const std::vector<std::int64_t>& offsets) {
        for (const std::int64_t offset : offsets) {
            b.put(offset, static_cast<std::uint8_t>(b.bytes()[static_cast<std::size_t>(offset)] ^ 0xFF));
        }
        return b;
    };
    const struct {
        TestImage a, b;
        std::vector<std::string> runs;
    } cases[] = {
        // clang-format off
        {a, a, {}}, {a, flip(a, {Standard::kHeader + 49}), {"224..224 HeaderText"}},
        {a, flip(a, {Standard::kHeader - 1, Standard::kHeader}), {"174..175 HeaderText -"}},
        {a, flip(a, {Standard::kVersion + 41, Standard::kVersion + 42}), {"297..298 VersionText -"}},
        {a, flip(a, {Standard::kSba}), {"2048..2048 SbaByte"}}, {a, flip(a, {0xBC00}), {"48128..48128 -"}},
        {a, flip(a, {0x60 + 5, 0x60 + 7}), {"101..101 ChipBytes", "103..103 -"}},
        {a, flip(a, {Standard::kClockKey - 26}), {"3718..3718 MemClockWord"}},
        {a, flip(a, {0xBBFF}), {"48127..48127 ChecksumByte"}},
        // clang-format on
        // The longer file's extra bytes are not compared.
        {TestImage(46127).put(100, std::uint8_t{1}), TestImage(65536), {"100..100 -"}},
        // A scan that stopped at a "Version" too near the start placed the version text only.
        {early, flip(early, {87, Standard::kClockKey - 26}), {"87..87 VersionText", "3718..3718 -"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(runsOf(c.a, c.b), c.runs);
    }
}

}  // namespace
}  // namespace vardane
