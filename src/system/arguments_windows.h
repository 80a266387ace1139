// The command line of a Windows program's wmain, for the code that wants it
// as bytes: main's char* would hold the arguments in the ANSI code page, which
// drops every character outside it, so Windows' UTF-16 is made WTF-8, which
// brings every name, well-formed or not, through exactly.
//
// On Windows the shell hands `*` and `?` to the program: each entry defines
// _dowildcard, so that the C runtime expands them into the names they match,
// sorted, and passes on a pattern that matches nothing as it is.
#pragma once

#include "text/encoding.h"

#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vardane::system {

// Whether "/?" stands among the words after the program's name, before "--".
[[nodiscard]] inline bool asksHelp(wchar_t* const* words, int count)
{
    for (int i = 1; i < count && std::wstring_view(words[i]) != L"--"; ++i) {
        if (std::wstring_view(words[i]) == L"/?") {
            return true;
        }
    }
    return false;
}

// "/?" asks for help on Windows, as --help does, wherever an option may
// stand. The C runtime takes it for a pattern (the one-letter names at the
// root of the drive), so it is looked for in the command line as typed: when
// it is there, the arguments are the typed ones, unexpanded, with --help in
// its place.
[[nodiscard]] inline std::vector<std::string> wtf8Arguments(int argc, wchar_t* argv[])
{
    int typedCount = 0;
    const std::unique_ptr<wchar_t*, decltype(&LocalFree)> typed(
        CommandLineToArgvW(GetCommandLineW(), &typedCount), &LocalFree);
    const bool helpAsked = typed && asksHelp(typed.get(), typedCount);
    wchar_t* const* words = helpAsked ? typed.get() : argv;
    std::vector<std::string> arguments;
    bool optionsOver = false;
    for (int i = 0; i < (helpAsked ? typedCount : argc); ++i) {
        const std::wstring_view word(words[i]);
        optionsOver = optionsOver || (i > 0 && word == L"--");
        arguments.push_back(!optionsOver && word == L"/?"
                                ? "--help"
                                : wtf8FromUtf16(std::u16string(word.begin(), word.end())));
    }
    return arguments;
}

}  // namespace vardane::system
