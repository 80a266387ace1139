#include "cli/commands.h"
#include "image/text.h"

#include <cwchar>
#include <string>
#include <vector>

// main's char* would hold the arguments in the ANSI code page, which drops
// every character outside it; wmain takes the UTF-16 that Windows gives, made
// WTF-8 so that every name, well-formed or not, comes through exactly.
int wmain(int argc, wchar_t* argv[])
{
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.push_back(vardane::wtf8FromUtf16(std::u16string(argv[i], argv[i] + std::wcslen(argv[i]))));
    }
    return vardane::cli::runOnStandardStreams(arguments);
}
