// Each core operation beside its floor: the least a program must ask of the
// system to do the same work on the same file with plain POSIX calls. After
// the run, a summary gives each operation's time over its floor's. These are
// fractions of what a user waits for (see bench/collection.cpp and the
// window's start); they say where the time goes, not what to chase.
#include "checksum/checksum.h"
#include "editors/clock.h"
#include "image/layout.h"
#include "image/open_image.h"
#include "ratio_reporter.h"
#include "system/descriptor_posix.h"
#include "test_image.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <tuple>
#include <vector>

namespace {

namespace fs = std::filesystem;
namespace L = vardane::layout;
using vardane::test::Standard;

constexpr int kRepetitions = 5;

// The floors hold their files with the core's own wrapper, as ImageFile does.
[[nodiscard]] vardane::system::Descriptor openFile(const fs::path& path, int mode)
{
    return vardane::system::Descriptor(::open(path.c_str(), mode | O_CLOEXEC));
}

[[nodiscard]] bool readOnce(const fs::path& path, std::vector<std::uint8_t>& into)
{
    const vardane::system::Descriptor fd = openFile(path, O_RDONLY);
    return fd.get() >= 0 &&
           ::pread(fd.get(), into.data(), into.size(), 0) == static_cast<ssize_t>(into.size());
}

// fdatasync, the flush the core makes: an fsync would also wait for the times
// of the file and make the core look faster than it is.
[[nodiscard]] bool writeOnce(int fd, std::int64_t offset, std::span<const std::uint8_t> bytes)
{
    return ::pwrite(fd, bytes.data(), bytes.size(), offset) == static_cast<ssize_t>(bytes.size()) &&
           ::fdatasync(fd) == 0;
}

// A byte of the region changed behind the benchmark's back, untimed, so that
// every correction has a sum to undo.
class RegionSpoiler {
public:
    explicit RegionSpoiler(const fs::path& path) : fd_(openFile(path, O_RDWR)) {}

    [[nodiscard]] bool spoil(benchmark::State& state)
    {
        state.PauseTiming();
        std::uint8_t value = 0;
        bool done = fd_.get() >= 0 && ::pread(fd_.get(), &value, 1, 0) == 1;
        value ^= 1;
        done = done && ::pwrite(fd_.get(), &value, 1, 0) == 1;
        state.ResumeTiming();
        return done;
    }

private:
    vardane::system::Descriptor fd_;
};

void openImage(benchmark::State& state, const fs::path& path)
{
    for (auto _ : state) {
        const auto result = vardane::openImage(path);
        if (result.status != vardane::OpenStatus::accepted) {
            state.SkipWithError("the image did not open");
            break;
        }
        benchmark::DoNotOptimize(result);
    }
}

void openImageFloor(benchmark::State& state, const fs::path& path)
{
    std::vector<std::uint8_t> prefix(L::kOpenScanLength);
    for (auto _ : state) {
        if (!readOnce(path, prefix)) {
            state.SkipWithError("cannot read the image");
            break;
        }
        benchmark::DoNotOptimize(prefix.data());
    }
}

// The scan alone, without the file, to tell the scan's share of openImage
// from the system's.
void scanImage(benchmark::State& state, const fs::path& path)
{
    auto prefix = vardane::test::readAll(path);
    prefix.resize(L::kOpenScanLength);
    for (auto _ : state) {
        benchmark::DoNotOptimize(vardane::scanImage(prefix));
    }
}

void verifyChecksum(benchmark::State& state, const fs::path& path)
{
    for (auto _ : state) {
        const auto sum = vardane::verifyChecksum(path);
        if (!sum) {
            state.SkipWithError("cannot verify the checksum");
            break;
        }
        benchmark::DoNotOptimize(*sum);
    }
}

void verifyChecksumFloor(benchmark::State& state, const fs::path& path)
{
    std::vector<std::uint8_t> region(L::kChecksumRegionLength);
    for (auto _ : state) {
        if (!readOnce(path, region)) {
            state.SkipWithError("cannot read the region");
            break;
        }
        benchmark::DoNotOptimize(region.data());
    }
}

void correctChecksum(benchmark::State& state, const fs::path& path)
{
    RegionSpoiler spoiler(path);
    for (auto _ : state) {
        if (!spoiler.spoil(state)) {
            state.SkipWithError("cannot change the region");
            break;
        }
        const auto correction = vardane::correctChecksum(path);
        if (!correction || !correction->written) {
            state.SkipWithError("the checksum was not corrected");
            break;
        }
    }
}

void correctChecksumFloor(benchmark::State& state, const fs::path& path)
{
    RegionSpoiler spoiler(path);
    std::vector<std::uint8_t> region(L::kChecksumRegionLength);
    for (auto _ : state) {
        if (!spoiler.spoil(state)) {
            state.SkipWithError("cannot change the region");
            break;
        }
        const vardane::system::Descriptor fd = openFile(path, O_RDWR);
        const bool read = fd.get() >= 0 && ::pread(fd.get(), region.data(), region.size(), 0) ==
                                               static_cast<ssize_t>(region.size());
        const std::array<std::uint8_t, 1> byte{region.back()};
        if (!read || !writeOnce(fd.get(), L::kChecksumByte.distance, byte)) {
            state.SkipWithError("cannot rewrite the checksum byte");
            break;
        }
    }
}

constexpr std::array<std::uint16_t, 2> kWords{18300, 20000};

void writeClockWord(benchmark::State& state, const fs::path& path)
{
    const std::int64_t offset = Standard::kClockKey + L::kMemClockWord.distance;
    const auto file = vardane::knownFile(vardane::openImage(path));
    std::size_t next = 0;
    for (auto _ : state) {
        next ^= 1;
        if (!file || !vardane::writeClockWord(*file, offset, kWords[next])) {
            state.SkipWithError("cannot write the clock word");
            break;
        }
    }
}

void writeClockWordFloor(benchmark::State& state, const fs::path& path)
{
    const std::int64_t offset = Standard::kClockKey + L::kMemClockWord.distance;
    std::size_t next = 0;
    for (auto _ : state) {
        next ^= 1;
        const std::uint16_t word = kWords[next];
        const std::array<std::uint8_t, 2> bytes{static_cast<std::uint8_t>(word & 0xFF),
                                                static_cast<std::uint8_t>(word >> 8)};
        const vardane::system::Descriptor fd = openFile(path, O_RDWR);
        if (fd.get() < 0 || !writeOnce(fd.get(), offset, bytes)) {
            state.SkipWithError("cannot write the clock word");
            break;
        }
    }
}

// The writers each get a file of their own: a clock word written between two
// corrections could otherwise bring the region's sum back to 0.
void registerAll(const std::array<fs::path, 3>& files)
{
    using Body = void (*)(benchmark::State&, const fs::path&);
    const std::array<std::tuple<const char*, Body, std::size_t>, 9> all{{
        {"openImage", openImage, 0},
        {"openImage_floor", openImageFloor, 0},
        {"scanImage", scanImage, 0},
        {"verifyChecksum", verifyChecksum, 0},
        {"verifyChecksum_floor", verifyChecksumFloor, 0},
        {"correctChecksum", correctChecksum, 1},
        {"correctChecksum_floor", correctChecksumFloor, 1},
        {"writeClockWord", writeClockWord, 2},
        {"writeClockWord_floor", writeClockWordFloor, 2},
    }};
    for (const auto& [name, body, file] : all) {
        benchmark::RegisterBenchmark(name, body, files[file])
            ->Repetitions(kRepetitions)
            ->UseRealTime()
            ->Unit(benchmark::kMicrosecond);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    const vardane::test::TempFile reads(vardane::test::standardImage());
    const vardane::test::TempFile corrections(vardane::test::standardImage());
    const vardane::test::TempFile writes(vardane::test::standardImage());
    registerAll({reads.path(), corrections.path(), writes.path()});
    vardane::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios(true);
    benchmark::Shutdown();
    return 0;
}
