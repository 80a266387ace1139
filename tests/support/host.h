// What a test asks of the system it runs on: a built program run as a child
// process, as a user's script would run it, and the process's own
// environment and locale. One file per system: host_posix.cpp and
// host_windows.cpp.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vardane::test {

struct Ran {
    int status = -1;
    std::string out, err;
};

// Runs the program with exactly the arguments, environment (the whole of it,
// NAME=value each) and standard input given, its output and errors caught
// whole. They are bytes passed as they are on Linux, and WTF-8 that the child
// receives as UTF-16 on Windows. Throws when the program cannot be started.
[[nodiscard]] Ran runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                             const std::vector<std::string>& environment, const std::string& input);

// On Linux alone: the same through the shell, with `redirections` after
// those of the three files, for the streams only a shell hands over closed,
// full or as a folder (" >/dev/full", " <&-").
[[nodiscard]] Ran runThroughShell(const std::filesystem::path& program,
                                  const std::vector<std::string>& arguments,
                                  const std::vector<std::string>& environment, const std::string& input,
                                  const std::string& redirections);

// Sets a variable of this process's environment, or removes it when value is null.
void setVariable(const char* name, const char* value);

// The C library's name for French, whose decimal point is a comma.
extern const char* const kCommaLocale;

}  // namespace vardane::test
