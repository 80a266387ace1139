// What a user who keeps many images waits for: `vardane-cli info --json` over
// a collection of 2,000 images made by the test-image builder (valid, with a
// bad checksum, refused by size, and failing their scan), timed three ways,
// each a few times, medians per image:
//   (a) one vardane-cli process for the whole collection;
//   (b) one vardane-cli process per image, as a shell loop would run it;
//   (c) the floor: one process that only opens, reads and closes each file.
//
//   vardane_collection_bench VARDANE_CLI FLOOR [IMAGES]
#include "test_image.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

using vardane::test::TestImage;

constexpr int kRounds = 5;

// A quarter each: valid, checksum off by 0x37, too small, and without "r7".
std::vector<std::string> makeCollection(const std::filesystem::path& folder, int count)
{
    const TestImage kinds[] = {vardane::test::standardImage(),
                               vardane::test::standardImage().checksumTo(0x37), TestImage(4096),
                               vardane::test::standardImage().put(0xEA0, "xx")};
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        paths.push_back((folder / ("image-" + std::to_string(i) + ".rom")).string());
        vardane::test::writeAll(paths.back(), kinds[i % 4].bytes());
    }
    return paths;
}

// Runs the program with these arguments, its output thrown away; false when it could not run.
bool run(std::vector<std::string> arguments)
{
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = -1;
    int status = 0;
    const bool ran = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
                     waitpid(child, &status, 0) == child && WIFEXITED(status);
    posix_spawn_file_actions_destroy(&actions);
    return ran;
}

template <typename Body>
double medianMicrosecondsPerImage(std::size_t images, Body body)
{
    std::vector<double> rounds;
    for (int round = 0; round < kRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        body();
        const std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
        rounds.push_back(spent.count() / static_cast<double>(images));
    }
    std::ranges::sort(rounds);
    return rounds[rounds.size() / 2];
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s VARDANE_CLI FLOOR [IMAGES]\n", argv[0]);
        return 2;
    }
    const std::string cli = argv[1];
    const std::string floor = argv[2];
    const int count = argc > 3 ? std::atoi(argv[3]) : 2000;
    const vardane::test::TempFolder folder;
    const std::vector<std::string> paths = makeCollection(folder.path(), count);

    std::vector<std::string> oneProcess{cli, "info", "--json"};
    oneProcess.insert(oneProcess.end(), paths.begin(), paths.end());
    std::vector<std::string> floorProcess{floor};
    floorProcess.insert(floorProcess.end(), paths.begin(), paths.end());

    const double a = medianMicrosecondsPerImage(paths.size(), [&] { run(oneProcess); });
    const double b = medianMicrosecondsPerImage(paths.size(), [&] {
        for (const std::string& path : paths) {
            run({cli, "info", "--json", path});
        }
    });
    const double c = medianMicrosecondsPerImage(paths.size(), [&] { run(floorProcess); });
    std::printf("%d images, medians of %d rounds, microseconds per image:\n", count, kRounds);
    std::printf("  (a) one vardane-cli for all     %10.1f   %6.2fx the floor (target 2x)\n", a, a / c);
    std::printf("  (b) one vardane-cli per image   %10.1f   %6.2fx the floor\n", b, b / c);
    std::printf("  (c) floor: open, read, close    %10.1f\n", c);
    return 0;
}
