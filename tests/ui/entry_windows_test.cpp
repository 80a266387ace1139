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
#include <vector>

int wmain(int argc, wchar_t* argv[]);

namespace {

std::vector<std::wstring> boxes;

}  // namespace

void vardane::showBox(const std::wstring& text, UINT icon)
{
    boxes.push_back((icon == MB_ICONERROR ? L"! " : L"i ") + text.substr(0, text.find(L'\n')));
}

namespace {

TEST(WindowEntry, TellsOnItsStreamsOrElseInABox)
{
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    const HANDLE invalid = INVALID_HANDLE_VALUE;
    const std::wstring help = L"i Usage\u00A0: vardane [IMAGE]";
    const std::wstring several =
        L"! vardane\u00A0: Vardane ouvre une image à la fois\u00A0: déposez-en une seule "
        L"sur vardane.exe, ou choisissez-la par Fichier > Ouvrir.";
    const struct {
        const char* row;
        HANDLE out, err;
        std::vector<std::wstring> words;
        int status;
        std::vector<std::wstring> boxes;
    } cases[] = {
        // clang-format off
        {"from Explorer, /? asks for help", nullptr, nullptr, {L"/?"}, 0, {help}},
        {"two images dropped", invalid, invalid, {L"a.rom", L"b.rom"}, 2, {several}},
        {"an option with a lone surrogate", nullptr, nullptr, {L"--\xD800"}, 2, {L"! vardane : option inconnue : --\xD800 (vardane --help)"}},
        {"from cmd, the version", out, err, {L"--version"}, 0, {}},
        {"from cmd, /? after -- names an image", out, err, {L"--", L"/?", L"b.rom"}, 2, {}},
        {"standard output closed alone", nullptr, err, {L"-h"}, 0, {help}},
        // clang-format on
    };
    for (const auto& c : cases) {
        std::vector<std::wstring> words{L"vardane.exe"};
        words.insert(words.end(), c.words.begin(), c.words.end());
        std::vector<wchar_t*> argv;
        for (std::wstring& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        boxes.clear();
        SetStdHandle(STD_OUTPUT_HANDLE, c.out);
        SetStdHandle(STD_ERROR_HANDLE, c.err);
        const int status = wmain(static_cast<int>(words.size()), argv.data());
        SetStdHandle(STD_OUTPUT_HANDLE, out);
        SetStdHandle(STD_ERROR_HANDLE, err);
        EXPECT_EQ(std::tie(status, boxes), std::tie(c.status, c.boxes)) << c.row;
    }
}

}  // namespace
