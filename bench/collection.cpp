// What a user waits for from vardane-cli, each beside its floor:
//   info_run: one `vardane-cli info IMAGE`, as a script that calls it once per
//     image pays it, beside a C++ program that prints one line with std::cout
//     (it loads the C++ runtime, as the CLI must);
//   collection: one `vardane-cli info --json` over 2,000 images made by the
//     test-image builder (valid, with a bad checksum, refused by size, and
//     failing their scan), beside one process that only opens, reads and
//     closes each file.
//
//   vardane_collection_bench VARDANE_CLI COUT_FLOOR COLLECTION_FLOOR [BENCHMARK OPTIONS...]
#include "ratio_reporter.h"
#include "test_image.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace {

using vardane::test::TestImage;

constexpr int kImages = 2000;
constexpr int kRepetitions = 10;

// A quarter each: valid, checksum off by 0x37, too small, and without "r7".
std::vector<std::string> makeCollection(const std::filesystem::path& folder)
{
    const TestImage kinds[] = {vardane::test::standardImage(),
                               vardane::test::standardImage().checksumTo(0x37), TestImage(4096),
                               vardane::test::standardImage().put(0xEA0, "xx")};
    std::vector<std::string> paths;
    for (int i = 0; i < kImages; ++i) {
        paths.push_back((folder / ("image-" + std::to_string(i) + ".rom")).string());
        vardane::test::writeAll(paths.back(), kinds[i % 4].bytes());
    }
    return paths;
}

// Runs the program with these arguments, its output thrown away; false when
// it could not run.
bool run(std::vector<std::string> arguments)
{
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions{};
    posix_spawn_file_actions_init(&actions);
    const std::unique_ptr<posix_spawn_file_actions_t, int (*)(posix_spawn_file_actions_t*)> destroyed(
        &actions, posix_spawn_file_actions_destroy);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = -1;
    int status = 0;
    return posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ) == 0 &&
           waitpid(child, &status, 0) == child && WIFEXITED(status);
}

void runEach(benchmark::State& state, const std::vector<std::string>& command, int images)
{
    for (auto _ : state) {
        if (!run(command)) {
            state.SkipWithError("the program did not run");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * images);
}

void registerRun(const char* name, std::vector<std::string> command, int images)
{
    benchmark::RegisterBenchmark(name, runEach, std::move(command), images)
        ->Repetitions(kRepetitions)
        ->UseRealTime()
        ->Unit(benchmark::kMicrosecond);
}

template <typename Range>
std::vector<std::string> joined(std::vector<std::string> command, const Range& more)
{
    command.insert(command.end(), more.begin(), more.end());
    return command;
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s VARDANE_CLI COUT_FLOOR COLLECTION_FLOOR [BENCHMARK OPTIONS...]\n",
                     argv[0]);
        return 2;
    }
    const std::string cli = argv[1];
    const vardane::test::TempFolder folder;
    const std::vector<std::string> paths = makeCollection(folder.path());
    registerRun("info_run", {cli, "info", paths.front()}, 1);
    registerRun("info_run_floor", {argv[2]}, 1);
    registerRun("collection", joined({cli, "info", "--json"}, paths), kImages);
    registerRun("collection_floor", joined({argv[3]}, paths), kImages);
    vardane::bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios(false, {{"info_run", 1.5}, {"collection", 2.0}});
    benchmark::Shutdown();
    return 0;
}
