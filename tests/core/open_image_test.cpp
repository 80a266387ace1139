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

// The anchors an open found: headerlengh, chip key, SideBand state and
// offset, Octclef and the memory word.
std::string anchors(const TestImage& image, OpenStatus status)
{
    const test::TempFile file(image);
    const OpenResult r = openImage(file.path(), ",");
    EXPECT_EQ(r.status, status);
    return shown(r.state.headerlengh) + "|" + r.chipKey + "|" + r.state.sbaState + "|" +
           shown(r.state.SBAVrt) + "|" + shown(r.state.Octclef) + "|" + shown(r.memClockWord);
}

// Each window's ends are candidates and one past them is not; the last of
// several matches wins, a PCIR match in the second window over one in the first.
TEST(OpenAnchors, WindowEndsAndTheLastMatchWins)
{
    using enum OpenStatus;
    const TestImage base(65536);
    // clang-format off
    EXPECT_EQ(anchors(TestImage(base).version(499).pcir(46, 0x10, 1).put(1980, std::uint8_t{0xFB}).clockKey(3572, 1, 2),
                      accepted), "418|1001|OUI|1980|3572|1");
    EXPECT_EQ(anchors(TestImage(base).version(81).pcir(519, 0x10, 2).put(2180, std::uint8_t{0x7F}).clockKey(3884, 3, 4),
                      accepted), "0|1002|NON|2180|3884|3");
    EXPECT_EQ(anchors(TestImage(base).pcir(3499, 0x10, 3).pcir(3849, 0x10, 4).clockKey(3600, 5, 6), accepted),
              "-|1004|???|-|3600|5");
    EXPECT_EQ(anchors(TestImage(base).version(500).pcir(45, 0x10, 5).pcir(520, 0x10, 5).pcir(3498, 0x10, 5)
                          .pcir(3850, 0x10, 5).put(1979, std::uint8_t{0xFB}).put(2181, std::uint8_t{0xFB})
                          .clockKey(3571, 1, 2).clockKey(3885, 1, 2), failed),
              "-||???|-|-|-");
    EXPECT_EQ(anchors(TestImage(base).version(100).version(300).pcir(3500, 0x10, 6).pcir(400, 0x10, 7)
                          .put(0x7C1, std::uint8_t{0xFB}).put(0x800, std::uint8_t{0x7F}).clockKey(3600, 1, 2)
                          .clockKey(3800, 3, 4), accepted),
              "219|1006|NON|2048|3800|3");
    // clang-format on
}

TEST(GpuTable, ChipKeysNameTheGpuOnlyOnAnExactMatch)
{
    EXPECT_EQ(makeChipKey(ChipBytes{0x0A, 0xB0}), "0AB0");
    EXPECT_EQ(makeChipKey(std::nullopt), "");
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
