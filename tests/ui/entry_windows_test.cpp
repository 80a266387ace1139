// The window's entry as Explorer and cmd start it. From Explorer it has no
// standard streams: what it tells shows in a box, help as information and a
// refusal as an error, every character of the command line kept. From cmd
// the text goes to the stream and no box shows. The box is this test's own:
// it notes the icon and the first line it would show.
#include "app/box_windows.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <tuple>

int wmain(int argc, wchar_t* argv[]);

namespace {

std::wstring shown;

TEST(WindowEntry, TellsOnItsStreamsOrElseInABox)
{
    // The C runtime expands a pattern before any entry runs, as the window's
    // asks of it: ctest hands this test, which links that entry, one.
    EXPECT_STREQ(__argv[__argc - 1], "entry_windows_test.exe");
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE), err = GetStdHandle(STD_ERROR_HANDLE);
    // clang-format off
    const struct { const char* row; HANDLE out, err; const wchar_t* word; int status; std::wstring box; } cases[] = {
        {"standard output closed, /? asks for help", nullptr, err, L"/?", 0, L"i Usage\u00A0: vardane [IMAGE]"},
        {"from Explorer, an option with a lone surrogate", INVALID_HANDLE_VALUE, INVALID_HANDLE_VALUE, L"--\xD800", 2,
         L"! vardane : option inconnue : --\xD800 (vardane --help)"},
        {"from cmd, the version", out, err, L"--version", 0, L""},
    };
    // clang-format on
    for (const auto& c : cases) {
        wchar_t* argv[] = {const_cast<wchar_t*>(L"vardane.exe"), const_cast<wchar_t*>(c.word), nullptr};
        shown.clear();
        SetStdHandle(STD_OUTPUT_HANDLE, c.out);
        SetStdHandle(STD_ERROR_HANDLE, c.err);
        const int status = wmain(2, argv);
        EXPECT_EQ(std::tie(status, shown), std::tie(c.status, c.box)) << c.row;
    }
}

}  // namespace

void vardane::showBox(const std::wstring& text, UINT icon)
{
    shown += (icon == MB_ICONERROR ? L"! " : L"i ") + text.substr(0, text.find(L'\n'));
}
