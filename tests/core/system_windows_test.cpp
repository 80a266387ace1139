// What the Windows system file alone decides: the name it hands Windows for
// a path, and the byte every copy of Vardane locks.
#include "system/long_path_windows.h"
#include "system/system.h"
#include "test_image.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>

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

// Every copy of Vardane, whatever its version, locks the byte at 2^62, which
// no file reaches: held to write, it keeps every other copy out; held to
// read, it keeps writers out, who say so, and lets readers in; a copy that
// may wait gets its turn once the other lets go.
TEST(SystemOnWindows, LocksTheByteEveryCopyLocksAndWaitsForIt)
{
    using namespace std::chrono_literals;
    using system::Failure;
    using system::LockKind;
    const test::TempFile file(test::TestImage(16));
    const struct {
        const char* row;
        DWORD held;
        LockKind asked;
        std::chrono::milliseconds patience;
        std::optional<Failure> refusal;
    } cases[] = {
        {"held to write, a reader kept out", LOCKFILE_EXCLUSIVE_LOCK, LockKind::shared, 0ms, Failure::locked},
        {"held to read, a writer kept out", 0, LockKind::exclusive, 0ms, Failure::readLocked},
        {"held to read, a reader let in", 0, LockKind::shared, 0ms, {}},
        {"held to write, a writer waits its turn", LOCKFILE_EXCLUSIVE_LOCK, LockKind::exclusive, 10s, {}},
    };
    for (const auto& c : cases) {
        const std::unique_ptr<void, decltype(&CloseHandle)> other(
            CreateFileW(file.path().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, 0, nullptr),
            &CloseHandle);
        OVERLAPPED byte{};
        byte.OffsetHigh = DWORD{1} << 30;
        ASSERT_TRUE(LockFileEx(other.get(), c.held | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &byte)) << c.row;
        const std::jthread lettingGo([&] {
            std::this_thread::sleep_for(200ms);
            UnlockFileEx(other.get(), 0, 1, 0, &byte);
        });
        const auto ours = system::openNativeFile(file.path(), system::Access::readWrite);
        const auto locked = (*ours)->lock(c.asked, c.patience);
        EXPECT_EQ(locked ? std::nullopt : std::optional(locked.error()), c.refusal) << c.row;
    }
}

}  // namespace
}  // namespace vardane
