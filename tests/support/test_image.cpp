#include "test_image.h"

#include <fstream>
#include <iterator>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>

namespace vardane::test {

TestImage& TestImage::put(std::int64_t offset, std::string_view bytes)
{
    for (const char c : bytes) {
        put(offset++, static_cast<std::uint8_t>(c));
    }
    return *this;
}

TestImage& TestImage::checksumTo(std::uint8_t sum)
{
    constexpr std::size_t kLast = 0xBBFF;
    const unsigned rest = std::accumulate(bytes_.begin(), bytes_.begin() + kLast, 0U);
    return put(kLast, static_cast<std::uint8_t>((sum - rest) & 0xFF));
}

TestImage standardImage(std::size_t size)
{
    std::string header = "Vardane test header";
    header.resize(Standard::kHeaderWidth, ' ');
    TestImage image(size);
    image.put(Standard::kHeader, header + "\r\n")
        .version(Standard::kVersion)
        .put(Standard::kVersion + 7, "NV15 BIOS 3.15.01.08.00 (test)")
        .pcir(0x60, 0x10, 0x52)
        .put(Standard::kSba, std::uint8_t{0x7F})
        .clockKey(Standard::kClockKey, 18300, 14300);
    return size > 0xBBFF ? image.checksumTo(0) : image;
}

// A file that cannot be read reads as empty, which no test expects.
std::vector<std::uint8_t> readAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeAll(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// create_directory makes the folder only when no other has its name, so two
// tests running at once never share one; mkdtemp would do it in one step, but
// Windows has none.
TempFolder::TempFolder()
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = std::filesystem::temp_directory_path() / ("vardane-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(path_)) {
            return;
        }
    }
    throw std::runtime_error("cannot make a temporary folder");
}

}  // namespace vardane::test
