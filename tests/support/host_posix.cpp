#include "host.h"
#include "test_image.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <system_error>

namespace vardane::test {
namespace {

// The char* list that exec wants, pointing into `words`, which outlive it.
std::vector<char*> pointers(std::vector<std::string>& words)
{
    std::vector<char*> list;
    for (std::string& word : words) {
        list.push_back(word.data());
    }
    list.push_back(nullptr);
    return list;
}

}  // namespace

const char* const kCommaLocale = "fr_FR.UTF-8";

// The child's standard streams are files, which never fill up as a pipe
// would, however much it writes before it ends.
Ran runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               const std::vector<std::string>& environment, const std::string& input)
{
    const TempFolder folder;
    const auto in = folder.path() / "in", out = folder.path() / "out", err = folder.path() / "err";
    writeAll(in, {input.begin(), input.end()});
    posix_spawn_file_actions_t actions{};
    ::posix_spawn_file_actions_init(&actions);
    const std::unique_ptr<posix_spawn_file_actions_t, int (*)(posix_spawn_file_actions_t*)> destroyed(
        &actions, ::posix_spawn_file_actions_destroy);
    ::posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<std::string> words{program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<std::string> variables = environment;
    pid_t child = 0;
    if (const int refused = ::posix_spawn(&child, program.c_str(), &actions, nullptr, pointers(words).data(),
                                          pointers(variables).data())) {
        throw std::system_error(refused, std::generic_category(), "posix_spawn " + program.string());
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            throw std::system_error(errno, std::generic_category(), "waitpid");
        }
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), readText(out), readText(err)};
}

void setVariable(const char* name, const char* value)
{
    value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
}

}  // namespace vardane::test
