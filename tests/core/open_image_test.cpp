#include "image/open_image.h"
#include "image/gpu_table.h"

#include "test_image.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

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
// every field the scan fills, in scan order, joined by "|".
std::string scanned(const TestImage& image, OpenStatus status)
{
    const test::TempFile file(image);
    const OpenResult r = openImage(file.path(), ",");
    EXPECT_EQ(file.contents(), image.bytes()) << "opening changed the file";
    EXPECT_EQ(r.status, status);
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

// Only the size decides acceptance; a failed step keeps what came before it.
TEST(OpenImage, FillsTheFieldsStepByStep)
{
    using enum OpenStatus;
    const std::string version = "NV15 BIOS 3.15.01.08.00 (test)" + std::string(5, '\0') + "|";
    const std::string header =
        "Vardane test header" + std::string(29, ' ') + "\r\n|175|1052|GeForce2 Ultra|NON|2048|";
    const std::pair<TestImage, std::string> whole[] = {
        {test::standardImage(), "65536 Octets|" + version + header + "3744|18300|14300|366 Mhz|143 Mhz|"},
        {TestImage(132000).clockKey(0xDF4, 0xFFFF, 12550),
         "132000 Octets|||-|||???|-|3572|65535|12550|1310,7 Mhz|125,5 Mhz|"},
    };
    for (const auto& [image, fields] : whole) {
        EXPECT_EQ(scanned(image, accepted), fields);
    }
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

enum class Anchor { version, pcir, sba, key };

// The image with the anchor at each offset, placed so that the result tells
// which one was found: the version text reads "ver", the PCIR device byte is
// the offset's low byte, the SideBand byte is on at odd offsets, off at even.
bool foundAt(Anchor anchor, const std::vector<std::int64_t>& offsets, OpenStatus status)
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
    if (anchor != Anchor::key) {
        image.clockKey(Standard::kClockKey, 18300, 14300);
    }
    const test::TempFile file(image);
    const OpenResult r = openImage(file.path(), ",");
    EXPECT_EQ(r.status, status);
    const std::int64_t at = offsets.back();
    const ImageState& s = r.state;
    switch (anchor) {
        case Anchor::version:
            return s.versionText.starts_with("ver") &&
                   shown(s.headerlengh) == (at < 81 ? "-" : std::to_string(at - 81));
        case Anchor::pcir:
            return r.chipKey == makeChipKey(ChipBytes{0x10, static_cast<std::uint8_t>(at & 0xFF)});
        case Anchor::sba:
            return s.SBAVrt == at && s.sbaState == (at % 2 == 1 ? "OUI" : "NON");
        case Anchor::key:
            return s.Octclef == at && r.memClockWord == at;
    }
    return false;
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
        {version, {100, 300}, true, ok}, {pcir, {3800, 400}, false, ok},  {key, {3600, 3800}, true, ok},
        {sba, {0x7C0, 0x801}, true, ok}, {sba, {0x7C1, 0x800}, true, ok},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(foundAt(c.anchor, c.offsets, c.status), c.found)
            << "anchor " << static_cast<int>(c.anchor) << " at " << c.offsets.back();
    }
}

TEST(GpuTable, ChipKeysNameTheGpuOnlyOnAnExactMatch)
{
    const std::pair<std::optional<ChipBytes>, const char*> keys[] = {
        {ChipBytes{0x10, 0x03}, "1003"}, {ChipBytes{0x0A, 0xB0}, "0AB0"}, {std::nullopt, ""}};
    for (const auto& [bytes, key] : keys) {
        EXPECT_EQ(makeChipKey(bytes), key);
    }
    const std::pair<const char*, const char*> names[] = {
        {"1000", "GeForce256 SDR"},
        {"1011", "nVidia Crush"},
        {"1053", "Quadro2"},
        {"2000", "GeForce3"},
        {"2003", "Quadro3"},
        {"1005", ""},
        {"", ""},
    };
    for (const auto& [key, name] : names) {
        EXPECT_EQ(gpuNameForChipKey(key), name) << key;
    }
}

}  // namespace
}  // namespace vardane
