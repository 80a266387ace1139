// Runs a built program as a child process, as a user's script would: with
// exactly the arguments, environment and standard input given, its output
// and errors caught whole. One file per system: process_posix.cpp and
// process_windows.cpp.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vardane::test {

struct Ran {
    int status = -1;  // a child killed by a signal gives 128 + its number, as a shell says
    std::string out, err;
};

// The arguments and the environment (the whole of it, NAME=value each) are
// bytes passed as they are on Linux, and UTF-8 that the child receives as
// UTF-16 on Windows. Throws when the program cannot be started.
[[nodiscard]] Ran runProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                             const std::vector<std::string>& environment, const std::string& input);

}  // namespace vardane::test
