// What the tests of vardane-cli share: the built program run as a user's
// script runs it, and images placed in a folder under any name.
#pragma once

#include "host.h"
#include "system/system.h"
#include "test_image.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vardane::test {

struct Child {
    std::vector<std::string> environment{"LC_ALL=C"};  // the whole of it
    std::string input{};
};

inline Ran runCli(const std::vector<std::string>& arguments, const Child& child = {})
{
    return runProgram(VARDANE_CLI, arguments, child.environment, child.input);
}

// Writes the image into the folder under the name given as the CLI takes
// names, and gives its path as the CLI prints it.
inline std::string place(const TempFolder& folder, const std::string& name, const TestImage& image)
{
    const auto path = folder.path() / system::pathNamed(name).value();
    writeAll(path, image.bytes());
    return system::nameOf(path);
}

inline void expectRefused(const Ran& ran, const std::string& reason)
{
    EXPECT_EQ(ran.status, 2);
    EXPECT_EQ(ran.err, "vardane-cli : " + reason + "\n");
}

}  // namespace vardane::test
