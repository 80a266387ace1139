#include "image/open_image.h"
#include "image/gpu_table.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vardane {
namespace {

namespace fs = std::filesystem;
using test::differingOffsets;
using test::TempFile;
using test::TempFolder;
using test::TestImage;

constexpr std::size_t kImageSize = 65536;
constexpr std::int64_t kKey = 0xEA0;

std::string zeros(std::size_t count)
{
    return std::string(count, '\0');
}

// Opens the image from a file and checks on the way that opening wrote nothing.
OpenResult openBytes(const TestImage& image, std::string_view separator = ",")
{
    const TempFile file(image);
    OpenResult result = openImage(file.path(), separator);
    EXPECT_TRUE(differingOffsets(image.bytes(), file.contents()).empty()) << "opening changed the file";
    return result;
}

// Only the "r7" key, so the open completes and every other anchor is absent.
TestImage keyOnly(std::size_t size = kImageSize)
{
    return TestImage(size).clockKey(kKey, 18300, 14300);
}

void expectNothingAfterVersion(const OpenResult& r)
{
    EXPECT_EQ(r.chipKey, "");
    EXPECT_EQ(r.state.gpuName, "");
    EXPECT_EQ(r.state.sbaState, "");
    EXPECT_FALSE(r.state.SBAVrt.has_value());
    EXPECT_FALSE(r.state.Octclef.has_value());
    EXPECT_EQ(r.state.memClockText, "");
    EXPECT_EQ(r.state.coreClockText, "");
    EXPECT_FALSE(r.memClockWord.has_value());
    EXPECT_FALSE(r.coreClockWord.has_value());
}

TEST(OpenImage, StandardImageFillsEveryField)
{
    const TempFile file(test::standardImage());
    const OpenResult r = openImage(file.path(), ",");

    ASSERT_EQ(r.status, OpenStatus::accepted);
    EXPECT_EQ(r.size, 65536);
    EXPECT_EQ(r.state.filePath, file.path().string());
    EXPECT_EQ(r.state.fileTitle, "image.rom");
    EXPECT_EQ(r.state.fileSize, "65536 Octets");
    EXPECT_EQ(r.state.headerText, "Vardane test header" + std::string(29, ' ') + "\r\n");
    EXPECT_EQ(r.state.versionText, "NV15 BIOS 3.15.01.08.00 (test)" + zeros(5));
    EXPECT_EQ(r.state.headerlengh, test::Standard::kHeader);
    EXPECT_EQ(r.chipKey, "1052");
    EXPECT_EQ(r.state.gpuName, "GeForce2 Ultra");
    EXPECT_EQ(r.state.sbaState, "NON");
    EXPECT_EQ(r.state.SBAVrt, test::Standard::kSba);
    EXPECT_EQ(r.state.Octclef, test::Standard::kClockKey);
    EXPECT_EQ(r.memClockWord, test::Standard::kMemWord);
    EXPECT_EQ(r.coreClockWord, test::Standard::kCoreWord);
    EXPECT_EQ(r.state.memClockText, "366 Mhz");
    EXPECT_EQ(r.state.coreClockText, "143 Mhz");
    EXPECT_EQ(r.state.checksumText, "???");
    EXPECT_FALSE(r.state.StK1.has_value());
}

TEST(OpenImage, SameImageOpensToTheSameFieldsTwice)
{
    const TempFile file(test::standardImage());
    const OpenResult first = openImage(file.path(), ",");
    const OpenResult second = openImage(file.path(), ",");
    EXPECT_EQ(first.state.headerText, second.state.headerText);
    EXPECT_EQ(first.state.versionText, second.state.versionText);
    EXPECT_EQ(first.state.memClockText, second.state.memClockText);
    EXPECT_EQ(first.state.SBAVrt, second.state.SBAVrt);
}

TEST(OpenImage, NeverWritesTheFile)
{
    const TempFile file(test::standardImage());
    struct stat before {};
    ASSERT_EQ(::stat(file.path().c_str(), &before), 0);
    const auto bytes = file.contents();

    ASSERT_EQ(openImage(file.path(), ",").status, OpenStatus::accepted);

    struct stat after {};
    ASSERT_EQ(::stat(file.path().c_str(), &after), 0);
    EXPECT_TRUE(differingOffsets(bytes, file.contents()).empty());
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_size, before.st_size);
}

// ---- Size window ------------------------------------------------------------

struct SizeCase {
    std::size_t size;
    OpenStatus status;
};

class OpenBySize : public testing::TestWithParam<SizeCase> {};

TEST_P(OpenBySize, OnlyTheSizeDecides)
{
    const SizeCase& c = GetParam();
    const OpenResult r =
        openBytes(c.size > static_cast<std::size_t>(kKey) ? keyOnly(c.size) : TestImage(c.size));
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.size, static_cast<std::int64_t>(c.size));
    EXPECT_EQ(r.state.fileTitle, "image.rom");
    if (c.status == OpenStatus::accepted) {
        EXPECT_EQ(r.state.fileSize, std::to_string(c.size) + " Octets");
        EXPECT_EQ(r.state.memClockText, "366 Mhz");
    } else {
        EXPECT_EQ(r.state.fileSize, "");
        EXPECT_EQ(r.state.sbaState, "");
        EXPECT_FALSE(r.state.Octclef.has_value());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, OpenBySize,
    testing::Values(SizeCase{0, OpenStatus::rejected}, SizeCase{40000, OpenStatus::rejected},
                    SizeCase{46126, OpenStatus::rejected}, SizeCase{46127, OpenStatus::accepted},
                    SizeCase{48128, OpenStatus::accepted}, SizeCase{132000, OpenStatus::accepted},
                    SizeCase{132001, OpenStatus::rejected}),
    [](const testing::TestParamInfo<SizeCase>& info) { return std::to_string(info.param.size); });

TEST(OpenImage, SmallestImageWithoutAnyMarkerFailsAfterItsSize)
{
    const OpenResult r = openBytes(TestImage(46127));
    EXPECT_EQ(r.status, OpenStatus::failed);
    EXPECT_EQ(r.state.fileSize, "46127 Octets");
    EXPECT_EQ(r.state.headerText, "");
    EXPECT_EQ(r.state.versionText, "");
    EXPECT_FALSE(r.state.headerlengh.has_value());
    EXPECT_EQ(r.chipKey, "");
    EXPECT_EQ(r.state.gpuName, "");
    EXPECT_EQ(r.state.sbaState, "???");
    EXPECT_FALSE(r.state.SBAVrt.has_value());
    EXPECT_FALSE(r.state.Octclef.has_value());
    EXPECT_EQ(r.state.memClockText, "");
    EXPECT_EQ(r.state.coreClockText, "");
}

// ---- Things at the path that are not image files ----------------------------

struct PathCase {
    const char* name;
    std::function<fs::path(const fs::path& folder)> make;
    OpenStatus status;
};

fs::path emptyFile(const fs::path& folder)
{
    const auto path = folder / "empty.rom";
    test::writeAll(path, {});
    return path;
}

fs::path sparseFile(const fs::path& folder)
{
    const auto path = folder / "huge.rom";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::ftruncate(fd, 200LL * 1024 * 1024), 0);
    ::close(fd);
    return path;
}

fs::path fifo(const fs::path& folder)
{
    const auto path = folder / "pipe.rom";
    EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
    return path;
}

fs::path boundSocket(const fs::path& folder)
{
    const auto path = folder / "sock.rom";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string text = path.string();
    EXPECT_LT(text.size(), sizeof(address.sun_path));
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);  // the socket file stays behind
    return path;
}

fs::path danglingLink(const fs::path& folder)
{
    const auto path = folder / "link.rom";
    fs::create_symlink(folder / "nowhere.rom", path);
    return path;
}

fs::path linkToImage(const fs::path& folder)
{
    test::writeAll(folder / "target.rom", test::standardImage().bytes());
    const auto path = folder / "link.rom";
    fs::create_symlink(folder / "target.rom", path);
    return path;
}

class OpenPath : public testing::TestWithParam<PathCase> {};

TEST_P(OpenPath, IsSortedBeforeAnyRead)
{
    const TempFolder folder;
    const fs::path path = GetParam().make(folder.path());
    const OpenResult r = openImage(path, ",");
    EXPECT_EQ(r.status, GetParam().status);
    EXPECT_EQ(r.state.filePath, path.string());
    EXPECT_EQ(r.state.fileTitle, path.filename().string());
    if (r.status != OpenStatus::accepted) {
        EXPECT_EQ(r.state.fileSize, "");
        EXPECT_EQ(r.state.sbaState, "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, OpenPath,
    testing::Values(
        PathCase{"EmptyFile", emptyFile, OpenStatus::rejected},
        PathCase{"Sparse200MB", sparseFile, OpenStatus::rejected},
        PathCase{"Directory", [](const fs::path& folder) { return folder; }, OpenStatus::rejected},
        PathCase{"Fifo", fifo, OpenStatus::rejected},
        PathCase{"DevNull", [](const fs::path&) { return fs::path("/dev/null"); }, OpenStatus::rejected},
        PathCase{"Socket", boundSocket, OpenStatus::rejected},
        PathCase{"DanglingLink", danglingLink, OpenStatus::unreadable},
        PathCase{"Missing", [](const fs::path& folder) { return folder / "absent.rom"; },
                 OpenStatus::unreadable},
        PathCase{"EmptyPath", [](const fs::path&) { return fs::path(); }, OpenStatus::unreadable},
        PathCase{"LinkToImage", linkToImage, OpenStatus::accepted}),
    [](const testing::TestParamInfo<PathCase>& info) { return std::string(info.param.name); });

TEST(OpenImage, SizeOfAHugeSparseFileIsReportedWithoutReadingIt)
{
    const TempFolder folder;
    const OpenResult r = openImage(sparseFile(folder.path()), ",");
    EXPECT_EQ(r.status, OpenStatus::rejected);
    EXPECT_EQ(r.size, 200LL * 1024 * 1024);
}

TEST(OpenImage, UnreadableFileOfImageSizeFailsAfterItsSize)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not stop root from reading";
    }
    const TempFile file(test::standardImage());
    fs::permissions(file.path(), fs::perms::none);
    const OpenResult r = openImage(file.path(), ",");
    fs::permissions(file.path(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(r.status, OpenStatus::failed);
    EXPECT_EQ(r.state.fileSize, "65536 Octets");
    EXPECT_EQ(r.state.versionText, "");
    EXPECT_FALSE(r.state.Octclef.has_value());
}

// ---- "Version" ---------------------------------------------------------------

TEST(OpenVersion, MarkerAtOneHundredPlacesHeaderAndVersion)
{
    TestImage image = keyOnly();
    image.version(100).put(19, "H@19").put(107, "V@107");
    const OpenResult r = openBytes(image);
    ASSERT_EQ(r.status, OpenStatus::accepted);
    EXPECT_EQ(r.state.headerlengh, 19);
    EXPECT_EQ(r.state.headerText, "H@19" + zeros(46));
    EXPECT_EQ(r.state.versionText, "V@107" + zeros(30));
}

struct VersionCase {
    std::int64_t v;
    OpenStatus status;
    std::optional<std::int64_t> header;  // expected headerlengh
};

class VersionWindow : public testing::TestWithParam<VersionCase> {};

TEST_P(VersionWindow, EndsAndOnePast)
{
    const VersionCase& c = GetParam();
    TestImage image = keyOnly();
    image.version(c.v).put(c.v + 7, "ver" + std::to_string(c.v));
    if (c.v >= 81) {
        image.put(c.v - 81, "hdr" + std::to_string(c.v));
    }
    const OpenResult r = openBytes(image);

    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.state.headerlengh, c.header);
    const std::string version = "ver" + std::to_string(c.v);
    const std::string header = "hdr" + std::to_string(c.v);
    if (c.header) {
        EXPECT_EQ(r.state.versionText, version + zeros(35 - version.size()));
        EXPECT_EQ(r.state.headerText, header + zeros(50 - header.size()));
    } else if (c.status == OpenStatus::failed) {
        EXPECT_EQ(r.state.versionText, version + zeros(35 - version.size()));
        EXPECT_EQ(r.state.headerText, "");
        expectNothingAfterVersion(r);
    } else {
        EXPECT_EQ(r.state.versionText, "");
        EXPECT_EQ(r.state.headerText, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Offsets, VersionWindow,
                         testing::Values(VersionCase{0, OpenStatus::failed, std::nullopt},
                                         VersionCase{80, OpenStatus::failed, std::nullopt},
                                         VersionCase{81, OpenStatus::accepted, 0},
                                         VersionCase{499, OpenStatus::accepted, 418},
                                         VersionCase{500, OpenStatus::accepted, std::nullopt}),
                         [](const testing::TestParamInfo<VersionCase>& info) {
                             return std::to_string(info.param.v);
                         });

TEST(OpenVersion, LastOfSeveralMarkersWins)
{
    TestImage image = keyOnly();
    image.version(100).put(107, "first").put(19, "first header");
    image.version(300).put(307, "second").put(219, "second header");
    const OpenResult r = openBytes(image);
    ASSERT_EQ(r.status, OpenStatus::accepted);
    EXPECT_EQ(r.state.headerlengh, 219);
    EXPECT_EQ(r.state.versionText, "second" + zeros(29));
    EXPECT_EQ(r.state.headerText, "second header" + zeros(37));
}

TEST(OpenVersion, MarkerTooEarlyStopsTheScanBeforeLaterMarkers)
{
    TestImage image = keyOnly();
    image.version(80).put(87, "early").version(200).pcir(400, 0x10, 0x00).put(0x800, std::uint8_t{0x7F});
    const OpenResult r = openBytes(image);
    EXPECT_EQ(r.status, OpenStatus::failed);
    EXPECT_EQ(r.state.fileSize, "65536 Octets");
    EXPECT_EQ(r.state.versionText, "early" + zeros(30));
    EXPECT_EQ(r.state.headerText, "");
    EXPECT_FALSE(r.state.headerlengh.has_value());
    expectNothingAfterVersion(r);
}

TEST(OpenVersion, ControlAndHighBytesAreDecodedAndAllCharactersKept)
{
    TestImage image = keyOnly(kImageSize);
    image.put(0, std::vector<std::uint8_t>(50, ' '));
    image.put(0, std::vector<std::uint8_t>{'A', 0x00, 'B', 0x0D, 0x80, 0x81, 0x9F});
    image.put(49, std::uint8_t{0x8D});
    image.version(81);
    image.put(88, std::vector<std::uint8_t>{0x0D, 0x0A, 0x00, 0x92, 0x9D, 0xE9});
    const OpenResult r = openBytes(image);

    ASSERT_EQ(r.status, OpenStatus::accepted);
    const std::string header =
        std::string("A\0B\r\xE2\x82\xAC\xC2\x81\xC5\xB8", 11) + std::string(42, ' ') + "\xC2\x8D";
    EXPECT_EQ(r.state.headerText, header);
    const std::string version = std::string("\r\n\0\xE2\x80\x99\xC2\x9D\xC3\xA9", 10) + zeros(29);
    EXPECT_EQ(r.state.versionText, version);
}

// ---- "PCIR" and the GPU name -------------------------------------------------

struct PcirCase {
    std::int64_t p;
    bool found;
};

class PcirWindows : public testing::TestWithParam<PcirCase> {};

TEST_P(PcirWindows, EndsAndOnePast)
{
    TestImage image = keyOnly();
    image.pcir(GetParam().p, 0x10, 0x00);
    const OpenResult r = openBytes(image);
    ASSERT_EQ(r.status, OpenStatus::accepted);
    EXPECT_EQ(r.chipKey, GetParam().found ? "1000" : "");
    EXPECT_EQ(r.state.gpuName, GetParam().found ? "GeForce256 SDR" : "");
}

INSTANTIATE_TEST_SUITE_P(Offsets, PcirWindows,
                         testing::Values(PcirCase{45, false}, PcirCase{46, true}, PcirCase{519, true},
                                         PcirCase{520, false}, PcirCase{3498, false}, PcirCase{3499, true},
                                         PcirCase{3849, true}, PcirCase{3850, false}),
                         [](const testing::TestParamInfo<PcirCase>& info) {
                             return std::to_string(info.param.p);
                         });

struct TwoPcir {
    const char* name;
    std::int64_t first;
    std::uint8_t firstDevice;
    std::int64_t second;
    std::uint8_t secondDevice;
    const char* key;
    const char* gpu;
};

class PcirSeveral : public testing::TestWithParam<TwoPcir> {};

TEST_P(PcirSeveral, LastMatchOfTheLastWindowWins)
{
    const TwoPcir& c = GetParam();
    TestImage image = keyOnly();
    image.pcir(c.first, 0x10, c.firstDevice).pcir(c.second, 0x10, c.secondDevice);
    const OpenResult r = openBytes(image);
    ASSERT_EQ(r.status, OpenStatus::accepted);
    EXPECT_EQ(r.chipKey, c.key);
    EXPECT_EQ(r.state.gpuName, c.gpu);
}

INSTANTIATE_TEST_SUITE_P(
    Matches, PcirSeveral,
    testing::Values(
        TwoPcir{"BothInFirstWindow", 60, 0x00, 400, 0x03, "1003", "Quadro"},
        TwoPcir{"SecondWindowReplacesFirst", 400, 0x03, 3500, 0x11, "1011", "nVidia Crush"},
        TwoPcir{"FirstWindowEndThenSecondWindowStart", 519, 0x00, 3499, 0x50, "1050", "GeForce2 GTS / Pro"},
        TwoPcir{"BothInSecondWindow", 3500, 0x11, 3800, 0x12, "1012", "GeForce2 MX-200 / MX-400"}),
    [](const testing::TestParamInfo<TwoPcir>& info) { return std::string(info.param.name); });

TEST(OpenPcir, UnknownChipKeyLeavesTheGpuEmptyAndTheOpenGoesOn)
{
    TestImage image = test::standardImage();
    image.pcir(test::Standard::kPcir, 0x10, 0x05);
    const OpenResult r = openBytes(image);
    EXPECT_EQ(r.status, OpenStatus::accepted);
    EXPECT_EQ(r.chipKey, "1005");
    EXPECT_EQ(r.state.gpuName, "");
    EXPECT_EQ(r.state.memClockText, "366 Mhz");
}

struct ChipCase {
    std::optional<ChipBytes> bytes;
    const char* key;
    const char* name;
};

class ChipKey : public testing::TestWithParam<ChipCase> {};

TEST_P(ChipKey, NamesTheGpu)
{
    const std::string key = makeChipKey(GetParam().bytes);
    EXPECT_EQ(key, GetParam().key);
    EXPECT_EQ(gpuNameForChipKey(key), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ChipKey,
    testing::Values(ChipCase{ChipBytes{0x10, 0x00}, "1000", "GeForce256 SDR"},
                    ChipCase{ChipBytes{0x10, 0x01}, "1001", "GeForce256 DDR"},
                    ChipCase{ChipBytes{0x10, 0x02}, "1002", "GeForce Confidential"},
                    ChipCase{ChipBytes{0x10, 0x03}, "1003", "Quadro"},
                    ChipCase{ChipBytes{0x10, 0x10}, "1010", "GeForce2 MX"},
                    ChipCase{ChipBytes{0x10, 0x11}, "1011", "nVidia Crush"},
                    ChipCase{ChipBytes{0x10, 0x12}, "1012", "GeForce2 MX-200 / MX-400"},
                    ChipCase{ChipBytes{0x10, 0x13}, "1013", "Quadro2 MXR"},
                    ChipCase{ChipBytes{0x10, 0x50}, "1050", "GeForce2 GTS / Pro"},
                    ChipCase{ChipBytes{0x10, 0x51}, "1051", "GeForce2 GTS"},
                    ChipCase{ChipBytes{0x10, 0x52}, "1052", "GeForce2 Ultra"},
                    ChipCase{ChipBytes{0x10, 0x53}, "1053", "Quadro2"},
                    ChipCase{ChipBytes{0x20, 0x00}, "2000", "GeForce3"},
                    ChipCase{ChipBytes{0x20, 0x01}, "2001", "GeForce3 MX-500"},
                    ChipCase{ChipBytes{0x20, 0x02}, "2002", "GeForce3 Ultra"},
                    ChipCase{ChipBytes{0x20, 0x03}, "2003", "Quadro3"},
                    ChipCase{ChipBytes{0x10, 0x05}, "1005", ""}, ChipCase{ChipBytes{0x0A, 0xB0}, "0AB0", ""},
                    ChipCase{ChipBytes{0x10, 0xDE}, "10DE", ""}, ChipCase{ChipBytes{0xFF, 0x0F}, "FF0F", ""},
                    ChipCase{ChipBytes{0x00, 0x00}, "0000", ""}, ChipCase{std::nullopt, "", ""}));

TEST(GpuTable, KeysMatchExactly)
{
    EXPECT_EQ(gpuNameForChipKey("10de"), "");
    EXPECT_EQ(gpuNameForChipKey("1000 "), "");
    EXPECT_EQ(gpuNameForChipKey("100"), "");
    EXPECT_EQ(gpuNameForChipKey(""), "");
}

// ---- SideBand Addressing byte ------------------------------------------------

struct SbaCase {
    const char* name;
    std::vector<std::pair<std::int64_t, std::uint8_t>> bytes;
    const char* state;
    std::optional<std::int64_t> offset;
};

class SbaWindow : public testing::TestWithParam<SbaCase> {};

TEST_P(SbaWindow, LastFlagByteDecides)
{
    TestImage image = keyOnly();
    for (const auto& [offset, byte] : GetParam().bytes) {
        image.put(offset, byte);
    }
    const OpenResult r = openBytes(image);
    ASSERT_EQ(r.status, OpenStatus::accepted);
    EXPECT_EQ(r.state.sbaState, GetParam().state);
    EXPECT_EQ(r.state.SBAVrt, GetParam().offset);
}

INSTANTIATE_TEST_SUITE_P(Bytes, SbaWindow,
                         testing::Values(SbaCase{"None", {}, "???", std::nullopt},
                                         SbaCase{"OnBeforeWindow", {{1979, 0xFB}}, "???", std::nullopt},
                                         SbaCase{"OnAtFirst", {{1980, 0xFB}}, "OUI", 1980},
                                         SbaCase{"OffAtFirst", {{1980, 0x7F}}, "NON", 1980},
                                         SbaCase{"OffAtLast", {{2180, 0x7F}}, "NON", 2180},
                                         SbaCase{"OnAtLast", {{2180, 0xFB}}, "OUI", 2180},
                                         SbaCase{"OffAfterWindow", {{2181, 0x7F}}, "???", std::nullopt},
                                         SbaCase{"OffThenOn", {{0x7C0, 0x7F}, {0x800, 0xFB}}, "OUI", 0x800},
                                         SbaCase{"OnThenOff", {{0x7C0, 0xFB}, {0x800, 0x7F}}, "NON", 0x800},
                                         SbaCase{"NeighbourValuesIgnored",
                                                 {{0x800, 0x7E}, {0x801, 0x80}, {0x802, 0xFA}, {0x803, 0xFC}},
                                                 "???",
                                                 std::nullopt}),
                         [](const testing::TestParamInfo<SbaCase>& info) {
                             return std::string(info.param.name);
                         });

// ---- "r7" and the clocks -----------------------------------------------------

struct KeyCase {
    std::int64_t k;
    bool found;
};

class ClockKeyWindow : public testing::TestWithParam<KeyCase> {};

TEST_P(ClockKeyWindow, EndsAndOnePast)
{
    const OpenResult r = openBytes(TestImage(kImageSize).clockKey(GetParam().k, 20000, 25000));
    if (GetParam().found) {
        ASSERT_EQ(r.status, OpenStatus::accepted);
        EXPECT_EQ(r.state.Octclef, GetParam().k);
        EXPECT_EQ(r.state.memClockText, "400 Mhz");
        EXPECT_EQ(r.state.coreClockText, "250 Mhz");
    } else {
        EXPECT_EQ(r.status, OpenStatus::failed);
        EXPECT_FALSE(r.state.Octclef.has_value());
        EXPECT_EQ(r.state.memClockText, "");
        EXPECT_EQ(r.state.coreClockText, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Offsets, ClockKeyWindow,
                         testing::Values(KeyCase{3571, false}, KeyCase{3572, true}, KeyCase{3884, true},
                                         KeyCase{3885, false}),
                         [](const testing::TestParamInfo<KeyCase>& info) {
                             return std::to_string(info.param.k);
                         });

TEST(OpenClockKey, FirstCandidateReadsBothWordsAtTheirDistances)
{
    TestImage image(kImageSize);
    image.put(0xDF4, "r7").putWord(0xDAE, 0x88B8).putWord(0xDDA, 0x4E20);
    const OpenResult r = openBytes(image);
    ASSERT_EQ(r.status, OpenStatus::accepted);
    EXPECT_EQ(r.state.Octclef, 0xDF4);
    EXPECT_EQ(r.coreClockWord, 35000);
    EXPECT_EQ(r.memClockWord, 20000);
    EXPECT_EQ(r.state.coreClockText, "350 Mhz");
    EXPECT_EQ(r.state.memClockText, "400 Mhz");
}

TEST(OpenClockKey, LastOfSeveralKeysWins)
{
    const OpenResult r =
        openBytes(TestImage(kImageSize).clockKey(3600, 10000, 10000).clockKey(3800, 20000, 25000));
    ASSERT_EQ(r.status, OpenStatus::accepted);
    EXPECT_EQ(r.state.Octclef, 3800);
    EXPECT_EQ(r.state.memClockText, "400 Mhz");
    EXPECT_EQ(r.state.coreClockText, "250 Mhz");
}

TEST(OpenClockKey, MissingKeyFailsKeepingTheFieldsBeforeIt)
{
    TestImage image = test::standardImage();
    image.put(test::Standard::kClockKey, std::vector<std::uint8_t>{0, 0});
    const OpenResult r = openBytes(image);

    EXPECT_EQ(r.status, OpenStatus::failed);
    EXPECT_EQ(r.state.fileSize, "65536 Octets");
    EXPECT_EQ(r.state.headerlengh, test::Standard::kHeader);
    EXPECT_EQ(r.state.headerText.substr(0, 19), "Vardane test header");
    EXPECT_EQ(r.state.versionText.substr(0, 9), "NV15 BIOS");
    EXPECT_EQ(r.state.gpuName, "GeForce2 Ultra");
    EXPECT_EQ(r.state.sbaState, "NON");
    EXPECT_EQ(r.state.SBAVrt, test::Standard::kSba);
    EXPECT_FALSE(r.state.Octclef.has_value());
    EXPECT_EQ(r.state.memClockText, "");
    EXPECT_EQ(r.state.coreClockText, "");
}

struct ClockCase {
    const char* name;
    std::uint16_t memWord;
    std::uint16_t coreWord;
    const char* separator;
    const char* memText;
    const char* coreText;
};

class ClockTexts : public testing::TestWithParam<ClockCase> {};

TEST_P(ClockTexts, ShowTwiceTheMemoryClockAndTheCoreClock)
{
    const ClockCase& c = GetParam();
    const OpenResult r = openBytes(TestImage(kImageSize).clockKey(kKey, c.memWord, c.coreWord), c.separator);
    ASSERT_EQ(r.status, OpenStatus::accepted);
    EXPECT_EQ(r.state.memClockText, c.memText);
    EXPECT_EQ(r.state.coreClockText, c.coreText);
}

INSTANTIATE_TEST_SUITE_P(
    Words, ClockTexts,
    testing::Values(ClockCase{"Whole", 18300, 14300, ",", "366 Mhz", "143 Mhz"},
                    ClockCase{"TwoDecimalsComma", 16667, 12550, ",", "333,34 Mhz", "125,5 Mhz"},
                    ClockCase{"TwoDecimalsPoint", 16667, 12550, ".", "333.34 Mhz", "125.5 Mhz"},
                    ClockCase{"Typical", 0x4E20, 0x61A8, ",", "400 Mhz", "250 Mhz"},
                    ClockCase{"Highest", 0xFFFF, 0xFFFF, ",", "1310,7 Mhz", "655,35 Mhz"},
                    ClockCase{"Zero", 0, 0, ",", "0 Mhz", "0 Mhz"},
                    ClockCase{"HighByteOnly", 0x8800, 0x0100, ",", "696,32 Mhz", "2,56 Mhz"}),
    [](const testing::TestParamInfo<ClockCase>& info) { return std::string(info.param.name); });

// ---- The scan on its own -------------------------------------------------------

TEST(ScanImage, NeedsNoByteBeyondTheLastKeyCandidate)
{
    TestImage image(3886);
    image.clockKey(3884, 18300, 14300);
    const OpenResult whole = scanImage(image.bytes(), ",");
    EXPECT_EQ(whole.status, OpenStatus::accepted);
    EXPECT_EQ(whole.state.Octclef, 3884);

    const std::vector<std::uint8_t> shorter(image.bytes().begin(), image.bytes().end() - 1);
    EXPECT_EQ(scanImage(shorter, ",").status, OpenStatus::failed);
}

}  // namespace
}  // namespace vardane
