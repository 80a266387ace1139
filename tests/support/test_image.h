// Builds image files in memory for tests: a size, a filler byte, and markers or
// bytes placed at chosen offsets, then written to a temporary file. Test
// images are always made here, never taken from a real BIOS.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vardane::test {

class TestImage {
public:
    explicit TestImage(std::size_t size, std::uint8_t filler = 0x00) : bytes_(size, filler) {}

    TestImage& put(std::int64_t offset, std::uint8_t byte)
    {
        bytes_.at(static_cast<std::size_t>(offset)) = byte;
        return *this;
    }
    TestImage& put(std::int64_t offset, std::string_view bytes);  // as given, one byte per char
    TestImage& putWord(std::int64_t offset, std::uint16_t word)   // low byte first
    {
        return put(offset, static_cast<std::uint8_t>(word & 0xFF))
            .put(offset + 1, static_cast<std::uint8_t>(word >> 8));
    }
    TestImage& version(std::int64_t v) { return put(v, "Version"); }
    TestImage& pcir(std::int64_t p, std::uint8_t vendorHigh, std::uint8_t deviceLow)
    {
        return put(p, "PCIR").put(p + 5, vendorHigh).put(p + 6, deviceLow);
    }
    TestImage& clockKey(std::int64_t k, std::uint16_t memWord, std::uint16_t coreWord)
    {
        return put(k, "r7").putWord(k - 26, memWord).putWord(k - 70, coreWord);
    }
    TestImage& resize(std::size_t size)
    {
        bytes_.resize(size, 0x00);
        return *this;
    }
    // Sets the byte at 0xBBFF so that 0x0000..0xBBFF adds up to `sum` mod 256.
    TestImage& checksumTo(std::uint8_t sum);

    [[nodiscard]] const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

// A typical 65536-byte image: header "Vardane test header" padded to 48, a
// carriage return and a line feed ("Version" at 0x100, so headerlengh 0xAF),
// PCIR at 0x60 with chip bytes 10 52 (GeForce2 Ultra), SideBand byte 0x7F at
// 0x800, "r7" at 0xEA0 with memory word 18300 (366 Mhz) and core word 14300
// (143 Mhz), and a region that adds up to 0 when the file holds it.
struct Standard {
    static constexpr std::int64_t kVersion = 0x100;
    static constexpr std::int64_t kHeader = kVersion - 81;
    static constexpr std::size_t kHeaderWidth = 48;
    static constexpr std::int64_t kSba = 0x800;
    static constexpr std::int64_t kClockKey = 0xEA0;
};
[[nodiscard]] TestImage standardImage(std::size_t size = 65536);

[[nodiscard]] std::vector<std::uint8_t> readAll(const std::filesystem::path& path);
void writeAll(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
[[nodiscard]] inline std::string readText(const std::filesystem::path& path)
{
    const auto bytes = readAll(path);
    return {bytes.begin(), bytes.end()};
}

// A fresh empty temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A file in its own temporary folder, removed with the object.
class TempFile {
public:
    explicit TempFile(const TestImage& image, std::string_view name = "image.rom")
        : path_(folder_.path() / name)
    {
        writeAll(path_, image.bytes());
    }
    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    [[nodiscard]] const std::filesystem::path& folder() const { return folder_.path(); }
    [[nodiscard]] std::vector<std::uint8_t> contents() const { return readAll(path_); }

private:
    TempFolder folder_;
    std::filesystem::path path_;
};

}  // namespace vardane::test
