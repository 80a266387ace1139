#include "image/open_image.h"
#include "image/gpu_table.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace vardane {
namespace {

namespace fs = std::filesystem;
using test::Standard;
using test::TempFile;
using test::TempFolder;
using test::TestImage;

// Opens a file holding the image, and checks on the way that opening wrote nothing.
OpenResult openBytes(const TestImage& image, std::string_view separator = ",")
{
    const TempFile file(image);
    OpenResult result = openImage(file.path(), separator);
    EXPECT_EQ(file.contents(), image.bytes()) << "opening changed the file";
    return result;
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
    for (const std::string& field :
         {s.fileSize, s.versionText, s.headerText, shown(s.headerlengh), r.chipKey, s.gpuName, s.sbaState,
          shown(s.SBAVrt), shown(s.Octclef), shown(r.memClockWord), shown(r.coreClockWord), s.memClockText,
          s.coreClockText}) {
        joined += field + "|";
    }
    return joined;
}

const std::string kStandardVersion = "NV15 BIOS 3.15.01.08.00 (test)" + std::string(5, '\0');
const std::string kStandardHeader = "Vardane test header" + std::string(29, ' ') + "\r\n";

TEST(OpenImage, FillsEveryFieldOfTheStandardImage)
{
    const TempFile file(test::standardImage());
    const OpenResult r = openImage(file.path(), ",");
    EXPECT_EQ(r.status, OpenStatus::accepted);
    EXPECT_EQ(r.state.filePath, file.path().string());
    EXPECT_EQ(r.state.fileTitle, "image.rom");
    EXPECT_EQ(scanned(r), "65536 Octets|" + kStandardVersion + "|" + kStandardHeader +
                              "|175|1052|GeForce2 Ultra|NON|2048|3744|18300|14300|366 Mhz|143 Mhz|");
}

TEST(OpenImage, OnlyTheSizeDecidesAcceptanceAndAFailedStepKeepsWhatCameBefore)
{
    using enum OpenStatus;
    const TestImage bare(46127);
    const struct {
        TestImage image;
        OpenStatus status;
        std::string fields;
    } cases[] = {
        {TestImage(46126), rejected, "|||-||||-|-|-|-|||"},
        {TestImage(132001), rejected, "|||-||||-|-|-|-|||"},
        {bare, failed, "46127 Octets|||-|||???|-|-|-|-|||"},
        {TestImage(132000).clockKey(Standard::kClockKey, 0, 0), accepted,
         "132000 Octets|||-|||???|-|3744|0|0|0 Mhz|0 Mhz|"},
        // A "Version" too near the start for its header shows its version text
        // (here over the PCIR marker), then fails before any later anchor.
        {test::standardImage().version(80).put(87, "early"), failed,
         "65536 Octets|" + std::string("early\0\0\0\0PCIR\0\x10R", 16) + std::string(19, '\0') +
             "||-||||-|-|-|-|||"},
        {test::standardImage().put(Standard::kClockKey, "xx"), failed,
         "65536 Octets|" + kStandardVersion + "|" + kStandardHeader +
             "|175|1052|GeForce2 Ultra|NON|2048|-|-|-|||"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fields);
        const OpenResult r = openBytes(c.image);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(scanned(r), c.fields);
    }
}

TEST(OpenImage, WhatIsNotAnImageFileIsRefusedWithoutBlockingOrWriting)
{
    const TempFolder folder;
    const fs::path fifo = folder.path() / "pipe.rom";  // a plain open would wait for a writer
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink(folder.path() / "nowhere.rom", folder.path() / "link.rom");
    const std::pair<fs::path, OpenStatus> cases[] = {
        {folder.path(), OpenStatus::rejected},
        {fifo, OpenStatus::rejected},
        {folder.path() / "link.rom", OpenStatus::unreadable},
        {folder.path() / "absent.rom", OpenStatus::unreadable},
    };
    for (const auto& [path, status] : cases) {
        SCOPED_TRACE(path.string());
        const OpenResult r = openImage(path, ",");
        EXPECT_EQ(r.status, status);
        EXPECT_EQ(r.state.fileTitle, path.filename().string());
        EXPECT_EQ(r.state.fileSize, "");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 2);
}

enum class Anchor { version, pcir, sba, key };

// An image with the anchor at each offset, placed so that the result shows
// which one was found: the version text reads "ver", the PCIR device byte is
// the offset's low byte, the SideBand byte is on at odd offsets, off at even.
TestImage withAnchors(Anchor anchor, const std::vector<std::int64_t>& offsets)
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
    return anchor == Anchor::key ? image : image.clockKey(Standard::kClockKey, 18300, 14300);
}

bool foundAt(const OpenResult& r, Anchor anchor, std::int64_t at)
{
    const ImageState& s = r.state;
    std::array<char, 5> chipKey{};
    std::snprintf(chipKey.data(), chipKey.size(), "10%02X", static_cast<unsigned>(at & 0xFF));
    const bool found[] = {
        s.versionText.starts_with("ver") && shown(s.headerlengh) == (at < 81 ? "-" : std::to_string(at - 81)),
        r.chipKey == chipKey.data(), s.SBAVrt == at && s.sbaState == (at % 2 == 1 ? "OUI" : "NON"),
        s.Octclef == at && r.memClockWord == at};
    return found[static_cast<int>(anchor)];
}

// Each window's ends and one past them; the last of several matches wins, and
// a PCIR match in the second window replaces one in the first.
TEST(OpenAnchors, WindowEndsAndTheLastMatchWins)
{
    using enum Anchor;
    constexpr auto ok = OpenStatus::accepted;
    constexpr auto failed = OpenStatus::failed;
    const struct {
        Anchor anchor;
        std::vector<std::int64_t> offsets;  // the last one is looked for
        bool found;
        OpenStatus status;
    } cases[] = {
        {version, {0}, true, failed},    {version, {80}, true, failed},   {version, {81}, true, ok},
        {version, {499}, true, ok},      {version, {500}, false, ok},     {pcir, {45}, false, ok},
        {pcir, {46}, true, ok},          {pcir, {519}, true, ok},         {pcir, {520}, false, ok},
        {pcir, {3498}, false, ok},       {pcir, {3499}, true, ok},        {pcir, {3849}, true, ok},
        {pcir, {3850}, false, ok},       {sba, {1979}, false, ok},        {sba, {1980}, true, ok},
        {sba, {2180}, true, ok},         {sba, {2181}, false, ok},        {key, {3571}, false, failed},
        {key, {3572}, true, ok},         {key, {3884}, true, ok},         {key, {3885}, false, failed},
        {version, {100, 300}, true, ok}, {pcir, {3800, 400}, false, ok},  {pcir, {519, 3499}, true, ok},
        {key, {3600, 3800}, true, ok},   {sba, {0x7C0, 0x801}, true, ok}, {sba, {0x7C1, 0x800}, true, ok},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "anchor " << static_cast<int>(c.anchor) << " at " << c.offsets.back());
        const OpenResult r = openBytes(withAnchors(c.anchor, c.offsets));
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(foundAt(r, c.anchor, c.offsets.back()), c.found);
    }
}

TEST(OpenClocks, ShowTwiceTheMemoryClockAndTheCoreClockWithTheLocalesSeparator)
{
    const struct {
        std::uint16_t memWord, coreWord;
        const char *separator, *memText, *coreText;
    } cases[] = {
        {16667, 12550, ",", "333,34 Mhz", "125,5 Mhz"},
        {16667, 12550, ".", "333.34 Mhz", "125.5 Mhz"},
        {0xFFFF, 0x88B8, ",", "1310,7 Mhz", "350 Mhz"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.memText);
        const OpenResult r = openBytes(TestImage(65536).clockKey(0xDF4, c.memWord, c.coreWord), c.separator);
        EXPECT_EQ(r.state.memClockText, c.memText);
        EXPECT_EQ(r.state.coreClockText, c.coreText);
    }
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
        {ChipBytes{0x10, 0x53}, "1053", "Quadro2"},
        {ChipBytes{0x20, 0x00}, "2000", "GeForce3"},
        {ChipBytes{0x20, 0x03}, "2003", "Quadro3"},
        {ChipBytes{0x10, 0x05}, "1005", ""},
        {ChipBytes{0x0A, 0xB0}, "0AB0", ""},
        {std::nullopt, "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(makeChipKey(c.bytes), c.key);
        EXPECT_EQ(gpuNameForChipKey(c.key), c.name) << c.key;
    }
}

}  // namespace
}  // namespace vardane
