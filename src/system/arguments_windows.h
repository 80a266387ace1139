// The command line of a Windows program's wmain, for the code that wants it
// as bytes: main's char* would hold the arguments in the ANSI code page, which
// drops every character outside it, so Windows' UTF-16 is made WTF-8, which
// brings every name, well-formed or not, through exactly.
#pragma once

#include "text/encoding.h"

#include <cwchar>
#include <string>
#include <vector>

namespace vardane::system {

[[nodiscard]] inline std::vector<std::string> wtf8Arguments(int argc, wchar_t* argv[])
{
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.push_back(wtf8FromUtf16(std::u16string(argv[i], argv[i] + std::wcslen(argv[i]))));
    }
    return arguments;
}

}  // namespace vardane::system
