// What the Windows system file alone decides: the name it hands Windows for
// a path.
#include "system/long_path_windows.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace vardane {
namespace {

// In its \\?\ form a path is taken as it is, past 260 characters too: every
// other form is made whole and clean first, as Windows would have read it.
TEST(SystemOnWindows, NamesEveryPathInItsLongForm)
{
    const std::wstring here = std::filesystem::current_path().native();
    const std::wstring longName(300, L'x');
    const struct {
        const char* row;
        std::wstring path, named;
    } cases[] = {
        {"relative", L"cartes\\carte.rom", L"\\\\?\\" + here + L"\\cartes\\carte.rom"},
        {"dot and dot-dot", L"cartes\\.\\..\\carte.rom", L"\\\\?\\" + here + L"\\carte.rom"},
        {"slashes", L"C:/cartes/carte.rom", L"\\\\?\\C:\\cartes\\carte.rom"},
        {"over 260 characters", L"C:\\" + longName + L".rom", L"\\\\?\\C:\\" + longName + L".rom"},
        {"share", L"\\\\serveur\\partage\\carte.rom", L"\\\\?\\UNC\\serveur\\partage\\carte.rom"},
        {"share with slashes", L"//serveur/partage/carte.rom", L"\\\\?\\UNC\\serveur\\partage\\carte.rom"},
        {"already long, kept as it is", L"\\\\?\\C:\\cartes\\..\\carte.rom",
         L"\\\\?\\C:\\cartes\\..\\carte.rom"},
        {"device", L"\\\\.\\COM1", L"\\\\.\\COM1"},
        {"reserved name, a device", L"NUL", L"\\\\.\\NUL"},
        {"empty, which names nothing", L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(system::longPathForm(c.path), c.named) << c.row;
    }
}

}  // namespace
}  // namespace vardane
