#include "host.h"
#include "test_image.h"

#include <sys/wait.h>

#include <cstdlib>

namespace vardane::test {
namespace {

// One word for the shell, whatever bytes it holds.
std::string quoted(const std::string& word)
{
    std::string text = "'";
    for (const char c : word) {
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return text + "'";
}

}  // namespace

const char* const kCommaLocale = "fr_FR.UTF-8";

// Through the shell, as a script runs it; the child's standard streams are
// files, which never fill up as a pipe would.
Ran runThroughShell(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                    const std::vector<std::string>& environment, const std::string& input,
                    const std::string& redirections)
{
    const TempFolder folder;
    writeAll(folder.path() / "in", {input.begin(), input.end()});
    std::string command = "cd " + quoted(folder.path()) + " && env -i";
    for (const std::string& word : environment) {
        command += ' ' + quoted(word);
    }
    command += ' ' + quoted(program);
    for (const std::string& word : arguments) {
        command += ' ' + quoted(word);
    }
    const int status = std::system((command + " <in >out 2>err" + redirections).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readText(folder.path() / "out"),
            readText(folder.path() / "err")};
}

Ran runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
               const std::vector<std::string>& environment, const std::string& input)
{
    return runThroughShell(program, arguments, environment, input, {});
}

void setVariable(const char* name, const char* value)
{
    value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
}

}  // namespace vardane::test
