// Writes the seed corpus of a fuzz target into a folder: for the open scan,
// the first bytes of a few images made by the test builder; for the text
// helpers, a few shown texts and raw bytes.
#include "image/layout.h"
#include "test_image.h"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;
using vardane::test::standardImage;
using vardane::test::TestImage;

using Seeds = std::vector<std::pair<std::string, std::vector<std::uint8_t>>>;

[[nodiscard]] std::vector<std::uint8_t> scanned(const TestImage& image, std::size_t length)
{
    const auto& bytes = image.bytes();
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length)};
}

[[nodiscard]] std::vector<std::uint8_t> scanned(const TestImage& image)
{
    return scanned(image, vardane::layout::kOpenScanLength);
}

[[nodiscard]] Seeds openSeeds()
{
    TestImage later = standardImage();
    later.version(0x150).pcir(0xE00, 0x10, 0x20).put(0x840, std::uint8_t{0xFB});
    TestImage edges = standardImage();
    edges.version(81).clockKey(0xDF4, 0x4E20, 0x61A8).clockKey(0xF2C, 0xFFFF, 0x88B8);
    TestImage tooLow = standardImage();
    tooLow.version(80);
    TestImage filled(65536, 0xFF);
    filled.version(0x1F3)
        .pcir(0xF09, 0x10, 0x01)
        .put(0x884, std::uint8_t{0x7F})
        .clockKey(0xEA0, 16667, 12550);
    return {
        {"standard", scanned(standardImage())},     {"later-matches", scanned(later)},
        {"edge-offsets", scanned(edges)},           {"version-below-81", scanned(tooLow)},
        {"no-markers", scanned(TestImage(46127))},  {"filled-ff", scanned(filled)},
        {"short", scanned(standardImage(), 0x200)},
    };
}

[[nodiscard]] std::vector<std::uint8_t> bytesOf(std::string_view text)
{
    return {text.begin(), text.end()};
}

[[nodiscard]] Seeds textSeeds()
{
    return {
        {"mhz", bytesOf("366 Mhz")},
        {"comma", bytesOf("333,34 Mhz")},
        {"blanks-sign", bytesOf(" - 1 2.5 Mhz")},
        {"huge", bytesOf("1" + std::string(400, '9'))},
        {"accents", bytesOf("Entête du BIOS : “Version” €")},
        {"undefined-bytes", {0x80, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0xFF, 0x00, 0x0D}},
    };
}

void writeSeeds(const Seeds& seeds, const fs::path& folder)
{
    fs::create_directories(folder);
    for (const auto& [name, bytes] : seeds) {
        vardane::test::writeAll(folder / name, bytes);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string_view target = argc == 3 ? argv[1] : "";
    if (target != "open" && target != "text") {
        std::fprintf(stderr, "usage: %s open|text FOLDER\n", argv[0]);
        return 2;
    }
    try {
        writeSeeds(target == "open" ? openSeeds() : textSeeds(), argv[2]);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "%s\n", failure.what());
        return 1;
    }
    return 0;
}
