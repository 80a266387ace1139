#include "image/open_image.h"
#include "image/gpu_table.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vardane {
namespace {

namespace fs = std::filesystem;
using test::TempFile;
using test::TempFolder;
using test::TestImage;

constexpr std::int64_t kKey = 0xEA0;

// Opens the image from a file and checks on the way that opening wrote nothing.
OpenResult openBytes(const TestImage& image, std::string_view separator = ",")
{
    const TempFile file(image);
    OpenResult result = openImage(file.path(), separator);
    EXPECT_TRUE(test::differingOffsets(image.bytes(), file.contents()).empty()) << "opening changed the file";
    return result;
}

// Only the "r7" key, so the open completes and every other anchor is absent.
TestImage keyOnly(std::size_t size = 65536)
{
    return TestImage(size).clockKey(kKey, 18300, 14300);
}

template <typename T>
std::string shown(const std::optional<T>& value)
{
    return value ? std::to_string(*value) : "-";
}

// Every field the scan fills, in scan order, joined by "|"; "-" for an absent offset or word.
std::string scanned(const OpenResult& r)
{
    const ImageState& s = r.state;
    std::string joined;
    for (const std::string& field : {s.headerText, shown(s.headerlengh), s.versionText, r.chipKey, s.gpuName,
                                     s.sbaState, shown(s.SBAVrt), shown(s.Octclef), shown(r.memClockWord),
                                     shown(r.coreClockWord), s.memClockText, s.coreClockText}) {
        joined += field + "|";
    }
    joined.pop_back();
    return joined;
}

// The standard image's fields up to the SideBand byte, then from the "r7" key on.
const std::string kStandardHead = "Vardane test header" + std::string(29, ' ') +
                                  "\r\n|175|NV15 BIOS 3.15.01.08.00 (test)" + std::string(5, '\0') +
                                  "|1052|GeForce2 Ultra|NON|2048";
const std::string kStandardClocks = "|3744|18300|14300|366 Mhz|143 Mhz";

TEST(OpenImage, StandardImageFillsEveryField)
{
    const TempFile file(test::standardImage());
    const OpenResult r = openImage(file.path(), ",");
    ASSERT_EQ(r.status, OpenStatus::accepted);
    EXPECT_EQ(r.state.filePath, file.path().string());
    EXPECT_EQ(r.state.fileTitle, "image.rom");
    EXPECT_EQ(r.state.fileSize, "65536 Octets");
    EXPECT_EQ(r.state.checksumText, "???");
    EXPECT_FALSE(r.state.StK1.has_value());
    EXPECT_EQ(scanned(r), kStandardHead + kStandardClocks);
}

TEST(OpenImage, OnlyTheSizeDecidesAcceptance)
{
    using enum OpenStatus;
    const std::pair<std::size_t, OpenStatus> cases[] = {
        {0, rejected}, {46126, rejected}, {46127, accepted}, {132000, accepted}, {132001, rejected}};
    for (const auto& [size, status] : cases) {
        SCOPED_TRACE(size);
        const OpenResult r = openBytes(size > 0 ? keyOnly(size) : TestImage(0));
        EXPECT_EQ(r.status, status);
        const bool ok = status == accepted;
        EXPECT_EQ(r.state.fileSize, ok ? std::to_string(size) + " Octets" : "");
        EXPECT_EQ(r.state.memClockText, ok ? "366 Mhz" : "");
        EXPECT_EQ(r.state.sbaState, ok ? "???" : "");
    }
}

TEST(OpenImage, AFailedStepKeepsTheFieldsBeforeIt)
{
    const std::pair<TestImage, std::string> cases[] = {
        // Every anchor absent; the neighbours of the SideBand values do not count.
        {TestImage(46127).put(0x800, std::vector<std::uint8_t>{0x7E, 0x80, 0xFA, 0xFC}),
         "|-||||???|-|-|-|-||"},
        // "Version" too near the start for its header ends the scan before the later anchors.
        {keyOnly()
             .version(80)
             .put(87, "early")
             .version(200)
             .pcir(400, 0x10, 0)
             .put(0x800, std::uint8_t{0x7F}),
         "|-|early" + std::string(30, '\0') + "||||-|-|-|-||"},
        {test::standardImage().put(kKey, std::vector<std::uint8_t>{0, 0}), kStandardHead + "|-|-|-||"},
    };
    for (const auto& [image, fields] : cases) {
        SCOPED_TRACE(fields);
        const OpenResult r = openBytes(image);
        EXPECT_EQ(r.status, OpenStatus::failed);
        EXPECT_EQ(r.state.fileSize, std::to_string(image.size()) + " Octets");
        EXPECT_EQ(scanned(r), fields);
    }
}

// ---- Things at the path that are not image files ----------------------------

fs::path sparseFile(const fs::path& folder)
{
    test::writeAll(folder / "huge.rom", {});
    fs::resize_file(folder / "huge.rom", 200LL * 1024 * 1024);
    return folder / "huge.rom";
}

fs::path boundSocket(const fs::path& folder)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", (folder / "sock.rom").c_str());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);  // the socket file stays behind
    return folder / "sock.rom";
}

fs::path linkTo(const fs::path& folder, const char* target)
{
    fs::create_symlink(folder / target, folder / "link.rom");
    return folder / "link.rom";
}

// Each entry of the folder with its kind and size, to show that opening wrote nothing.
std::vector<std::string> listing(const fs::path& folder)
{
    std::vector<std::string> entries;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const auto kind = entry.symlink_status().type();
        entries.push_back(entry.path().filename().string() + ' ' + std::to_string(static_cast<int>(kind)) +
                          ' ' + (kind == fs::file_type::regular ? std::to_string(entry.file_size()) : ""));
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

TEST(OpenImage, PathsThatAreNotImageFilesAreSortedWithoutHangingOrWriting)
{
    using enum OpenStatus;
    const struct {
        const char* name;
        std::function<fs::path(const fs::path&)> make;
        OpenStatus status;
        std::int64_t size;  // -1: not checked
    } cases[] = {
        {"empty file", [](const fs::path& f) { return test::writeAll(f / "e.rom", {}), f / "e.rom"; },
         rejected, 0},
        {"200 MB sparse file", sparseFile, rejected, 200LL * 1024 * 1024},
        {"directory", [](const fs::path& f) { return f; }, rejected, -1},
        {"fifo", [](const fs::path& f) { return ::mkfifo((f / "p.rom").c_str(), 0600), f / "p.rom"; },
         rejected, -1},
        {"device", [](const fs::path&) { return fs::path("/dev/null"); }, rejected, -1},
        {"socket", boundSocket, rejected, -1},
        {"dangling link", [](const fs::path& f) { return linkTo(f, "nowhere.rom"); }, unreadable, -1},
        {"missing", [](const fs::path& f) { return f / "absent.rom"; }, unreadable, -1},
        {"empty path", [](const fs::path&) { return fs::path(); }, unreadable, -1},
        {"link to an image",
         [](const fs::path& f) { return test::writeAll(f / "t.rom", keyOnly().bytes()), linkTo(f, "t.rom"); },
         accepted, 65536},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempFolder folder;
        const fs::path path = c.make(folder.path());
        const auto before = listing(folder.path());
        const OpenResult r = openImage(path, ",");
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.state.filePath, path.string());
        EXPECT_EQ(r.state.fileTitle, path.filename().string());
        EXPECT_EQ(r.state.sbaState, c.status == accepted ? "???" : "");
        EXPECT_EQ(listing(folder.path()), before);
    }
}

// ---- The anchors ---------------------------------------------------------------

enum class Anchor { version, pcir, sba, key };

// An image with the anchor at each offset (and the "r7" key, unless that is
// the anchor), placed so that the result shows which one was found: the
// version text reads "ver", the PCIR device byte is the offset's low byte, the
// SideBand byte is on at odd offsets and off at even ones.
TestImage withAnchors(Anchor anchor, std::vector<std::int64_t> offsets)
{
    TestImage image(65536);
    for (const std::int64_t at : offsets) {
        switch (anchor) {
            case Anchor::version:
                image.version(at).put(at + 7, "ver");
                break;
            case Anchor::pcir:
                image.pcir(at, 0x10, static_cast<std::uint8_t>(at & 0xFF));
                break;
            case Anchor::sba:
                image.put(at, static_cast<std::uint8_t>(at % 2 == 1 ? 0xFB : 0x7F));
                break;
            case Anchor::key:
                image.clockKey(at, static_cast<std::uint16_t>(at), 25000);
                break;
        }
    }
    return anchor == Anchor::key ? image : image.clockKey(kKey, 18300, 14300);
}

bool foundAt(const OpenResult& r, Anchor anchor, std::int64_t at)
{
    const ImageState& s = r.state;
    char chipKey[5];
    std::snprintf(chipKey, sizeof(chipKey), "10%02X", static_cast<unsigned>(at & 0xFF));
    const bool found[] = {
        s.versionText.starts_with("ver") && shown(s.headerlengh) == (at < 81 ? "-" : std::to_string(at - 81)),
        r.chipKey == chipKey, s.SBAVrt == at && s.sbaState == (at % 2 == 1 ? "OUI" : "NON"),
        s.Octclef == at && r.memClockWord == at};
    return found[static_cast<int>(anchor)];
}

// Every PCIR row has an unknown chip key: the GPU name stays empty and the open
// goes on. A match in the second PCIR window replaces one in the first.
TEST(OpenAnchors, EndsOfEveryWindowAndOnePastThemAndTheLastOfSeveralMatchesWins)
{
    using enum Anchor;
    constexpr auto accepted = OpenStatus::accepted;
    constexpr auto failed = OpenStatus::failed;
    const struct {
        Anchor anchor;
        std::vector<std::int64_t> offsets;  // the last one is looked for
        bool found;
        OpenStatus status;
    } cases[] = {
        {version, {0}, true, failed},          {version, {80}, true, failed},
        {version, {81}, true, accepted},       {version, {499}, true, accepted},
        {version, {500}, false, accepted},     {pcir, {45}, false, accepted},
        {pcir, {46}, true, accepted},          {pcir, {519}, true, accepted},
        {pcir, {520}, false, accepted},        {pcir, {3498}, false, accepted},
        {pcir, {3499}, true, accepted},        {pcir, {3849}, true, accepted},
        {pcir, {3850}, false, accepted},       {sba, {1979}, false, accepted},
        {sba, {1980}, true, accepted},         {sba, {2180}, true, accepted},
        {sba, {2181}, false, accepted},        {key, {3571}, false, failed},
        {key, {3572}, true, accepted},         {key, {3884}, true, accepted},
        {key, {3885}, false, failed},          {version, {100, 300}, true, accepted},
        {pcir, {60, 400}, true, accepted},     {pcir, {3500, 3800}, true, accepted},
        {pcir, {400, 3500}, true, accepted},   {pcir, {519, 3499}, true, accepted},
        {key, {3600, 3800}, true, accepted},   {sba, {0x7C0, 0x801}, true, accepted},
        {sba, {0x7C1, 0x800}, true, accepted},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "anchor " << static_cast<int>(c.anchor) << " at " << c.offsets.back());
        const OpenResult r = openBytes(withAnchors(c.anchor, c.offsets));
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(foundAt(r, c.anchor, c.offsets.back()), c.found);
        EXPECT_EQ(r.state.gpuName, "");
    }
}

TEST(OpenAnchors, TextBytesAreDecodedAndAllCharactersKept)
{
    TestImage image = keyOnly();
    image.put(0, std::vector<std::uint8_t>(50, ' '));
    image.put(0, std::vector<std::uint8_t>{'A', 0x00, 'B', 0x0D, 0x80, 0x81, 0x9F})
        .put(49, std::uint8_t{0x8D});
    image.version(81).put(88, std::vector<std::uint8_t>{0x0D, 0x0A, 0x00, 0x92, 0x9D, 0xE9});
    const OpenResult r = openBytes(image);
    ASSERT_EQ(r.status, OpenStatus::accepted);
    EXPECT_EQ(r.state.headerText,
              std::string("A\0B\r\xE2\x82\xAC\xC2\x81\xC5\xB8", 11) + std::string(42, ' ') + "\xC2\x8D");
    EXPECT_EQ(r.state.versionText,
              std::string("\r\n\0\xE2\x80\x99\xC2\x9D\xC3\xA9", 10) + std::string(29, '\0'));
}

TEST(OpenClocks, FirstKeyCandidateReadsBothWordsAtTheirDistances)
{
    const OpenResult r =
        openBytes(TestImage(65536).put(0xDF4, "r7").putWord(0xDAE, 0x88B8).putWord(0xDDA, 0x4E20));
    ASSERT_EQ(r.status, OpenStatus::accepted);
    EXPECT_EQ(scanned(r), "|-||||???|-|3572|20000|35000|400 Mhz|350 Mhz");
}

TEST(OpenClocks, TextsShowTwiceTheMemoryClockAndTheCoreClockWithTheSeparator)
{
    const struct {
        std::uint16_t memWord, coreWord;
        const char *separator, *memText, *coreText;
    } cases[] = {
        {18300, 14300, ",", "366 Mhz", "143 Mhz"},         {16667, 12550, ",", "333,34 Mhz", "125,5 Mhz"},
        {16667, 12550, ".", "333.34 Mhz", "125.5 Mhz"},    {0xFFFF, 0xFFFF, ",", "1310,7 Mhz", "655,35 Mhz"},
        {0xFFFF, 0xFFFF, ".", "1310.7 Mhz", "655.35 Mhz"}, {0, 0, ",", "0 Mhz", "0 Mhz"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.memText);
        const OpenResult r = openBytes(TestImage(65536).clockKey(kKey, c.memWord, c.coreWord), c.separator);
        ASSERT_EQ(r.status, OpenStatus::accepted);
        EXPECT_EQ(r.state.memClockText, c.memText);
        EXPECT_EQ(r.state.coreClockText, c.coreText);
    }
}

TEST(ScanImage, NeedsNoByteBeyondTheLastKeyCandidate)
{
    const TestImage image = TestImage(3886).clockKey(3884, 18300, 14300);
    const OpenResult whole = scanImage(image.bytes(), ",");
    EXPECT_EQ(whole.status, OpenStatus::accepted);
    EXPECT_EQ(whole.state.Octclef, 3884);
    const std::vector<std::uint8_t> shorter(image.bytes().begin(), image.bytes().end() - 1);
    EXPECT_EQ(scanImage(shorter, ",").status, OpenStatus::failed);
}

TEST(GpuTable, ChipKeysNameTheGpuOnlyOnAnExactMatch)
{
    const struct {
        std::optional<ChipBytes> bytes;
        const char *key, *name;
    } cases[] = {
        {ChipBytes{0x10, 0x00}, "1000", "GeForce256 SDR"},
        {ChipBytes{0x10, 0x03}, "1003", "Quadro"},
        {ChipBytes{0x10, 0x11}, "1011", "nVidia Crush"},
        {ChipBytes{0x10, 0x50}, "1050", "GeForce2 GTS / Pro"},
        {ChipBytes{0x10, 0x52}, "1052", "GeForce2 Ultra"},
        {ChipBytes{0x20, 0x02}, "2002", "GeForce3 Ultra"},
        {ChipBytes{0x10, 0x05}, "1005", ""},
        {ChipBytes{0x0A, 0xB0}, "0AB0", ""},
        {std::nullopt, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(makeChipKey(c.bytes), c.key);
        EXPECT_EQ(gpuNameForChipKey(c.key), c.name);
    }
    EXPECT_EQ(gpuNameForChipKey("1000 "), "");
    EXPECT_EQ(gpuNameForChipKey("100"), "");
}

}  // namespace
}  // namespace vardane
