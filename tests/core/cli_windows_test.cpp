// What vardane-cli meets on Windows alone: names in UTF-16 with backslashes,
// files that another program shares with no one or locks, standard streams that
// msvcrt would translate or that are console windows, lists with CR LF line
// ends or saved by Windows' tools, patterns that the program expands, /? for
// help, and the decimal separator of GetLocaleInfoEx.
#include "cli/streams.h"
#include "cli_support.h"
#include "text/encoding.h"

#include <gtest/gtest.h>
#include <io.h>
#include <windows.h>

#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <tuple>

namespace vardane::test {
namespace {

using nlohmann::json;

constexpr std::string_view kNotUtf8 =
    "chemin qui n'est pas de l'UTF-8 : enregistrez la liste en UTF-8 (dans cmd, tapez d'abord chcp 65001)";

// The bytes of a text in UTF-16, little-endian or big-endian.
std::string utf16(const std::string& text, bool littleEndian)
{
    const std::wstring units = system::pathNamed(text)->native();
    std::string bytes;
    for (const wchar_t unit : units) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes += littleEndian ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

TEST(CliOnWindows, NamesSharingLocksStreamsListsAndTheDecimalSeparator)
{
    const TempFolder folder;
    // Bytes that a stream in text mode would change or stop at, and clocks
    // with decimals.
    const TestImage image = standardImage()
                                .clockKey(Standard::kClockKey, 16667, 12550)
                                .put(Standard::kVersion + 7, "\r\n\x1A\n")
                                .checksumTo(0);
    const std::string named = place(folder, "carte é.rom", image);
    const json comma =
        json::parse(runCli({"info", "--json", named}, {.environment = {"LC_ALL=fr_FR.UTF-8"}}).out);
    EXPECT_EQ(std::tuple(comma["fileTitle"], comma["checksum"]["valid"], comma["memClockText"],
                         comma["coreClockText"], comma["versionText"].get<std::string>().substr(0, 4)),
              std::tuple("carte é.rom", true, "333,34 Mhz", "125,5 Mhz", "\r\n\x1A\n"));
    EXPECT_EQ(json::parse(runCli({"info", "--json", named}).out)["memClockText"], "333.34 Mhz");
    // Through "-", CR LF ends a line, 0x1A does not end the list and a line
    // that is not UTF-8 names nothing; the path prints with its backslashes,
    // and every line ends with LF alone.
    const Ran listed = runCli({"verify", "-"}, {.input = "\x1A\r\n\xE9\r\n" + named + "\r\n"});
    EXPECT_EQ(listed.out,
              "==> \\x1a <==\n==> \\xe9 <==\n==> " + named + " <==\nSomme : 0 (0x00)\nCheckSum : Valide\n");
    EXPECT_EQ(listed.err,
              "vardane-cli : \\x1a : ce fichier n'existe pas\n"
              "vardane-cli : \\xe9 : " +
                  std::string(kNotUtf8) + "\n");
    // A file that another program opened sharing it with no one is refused as
    // one it holds a lock on, and nothing is written.
    std::unique_ptr<void, decltype(&CloseHandle)> other(
        CreateFileW(system::pathNamed(named)->c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
        &CloseHandle);
    ASSERT_NE(other.get(), INVALID_HANDLE_VALUE);
    expectRefused(runCli({"sba", "on", named}),
                  "un autre programme est en train d'écrire dans ce fichier (rien n'a été écrit)");
    other.reset();
    EXPECT_EQ(readAll(*system::pathNamed(named)), image.bytes());
    // Every copy of Vardane, whatever its version, locks the byte at 2^62,
    // which no file reaches: while another copy holds it to write, a reader is
    // kept out at once, or gets its turn when the other lets go if it waits.
    other.reset(CreateFileW(system::pathNamed(named)->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr));
    OVERLAPPED byte{0, 0, {{0, DWORD{1} << 30}}, nullptr};
    ASSERT_TRUE(LockFileEx(other.get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &byte));
    const auto reader = system::openNativeFile(*system::pathNamed(named), system::Access::read);
    EXPECT_EQ((*reader)->lock(system::LockKind::shared, {}), tl::unexpected(system::Failure::locked));
    const std::jthread lettingGo([&] {
        Sleep(200);
        other.reset();
    });
    EXPECT_TRUE((*reader)->lock(system::LockKind::shared, std::chrono::seconds(10)));
}

// A list saved with a byte-order mark is read past it, in the form it names;
// one that ends inside a UTF-16 unit names no file with its last line.
TEST(CliOnWindows, ListsAsWindowsToolsSaveThem)
{
    const TempFolder folder;
    // Characters at both ends of the pairs of surrogates.
    const std::string named = place(folder, "carte é \U00010000\U0010FFFF.rom", standardImage());
    const std::string checked = "==> " + named + " <==\nSomme : 0 (0x00)\nCheckSum : Valide\n";
    const struct {
        const char* row;
        std::string input, out, err;
    } cases[] = {
        {"UTF-8 after its mark, as PowerShell 5.1's Out-File -Encoding utf8 saves it",
         "\xEF\xBB\xBF" + named + "\r\n", checked, ""},
        {"UTF-16 little-endian after its mark, as PowerShell 5.1's > saves it",
         "\xFF\xFE" + utf16(named + "\r\n", true), checked, ""},
        {"UTF-16 big-endian after its mark", "\xFE\xFF" + utf16(named + "\n", false), checked, ""},
        {"UTF-16 that ends inside a unit", "\xFF\xFE" + utf16(named, true) + "x",
         "==> " + named + "\\xff <==\n",
         "vardane-cli : " + named + "\\xff : " + std::string(kNotUtf8) + "\n"},
    };
    for (const auto& c : cases) {
        const Ran ran = runCli({"verify", "-"}, {.input = c.input});
        EXPECT_EQ(std::tie(ran.out, ran.err), std::tie(c.out, c.err)) << c.row;
    }
}

// The C runtime expands a pattern into the names it matches, sorted; "/?"
// asks for help.
TEST(CliOnWindows, ExpandsPatternsAndTakesSlashQuestionMarkForHelp)
{
    const TempFolder folder;
    std::map<std::string, std::string> shown;  // by name, in the order of the expansion
    for (const char* name : {"c.rom", "a.rom", "b é.rom"}) {
        shown[name] = place(folder, name, standardImage());
    }
    std::string checked;
    for (const auto& [name, path] : shown) {
        checked += "==> " + path + " <==\nSomme : 0 (0x00)\nCheckSum : Valide\n";
    }
    const Ran expanded = runCli({"verify", system::nameOf(folder.path() / "*.rom")});
    EXPECT_EQ(std::tie(expanded.status, expanded.out, expanded.err), std::tuple(0, checked, std::string()));
    const Ran help = runCli({"/?"});
    EXPECT_EQ(std::tie(help.status, help.out), std::tuple(0, runCli({"--help"}).out));
}

// Text for a console window goes to it whole: line by line (another writer,
// '|' here, comes after the lines ended before it), a line longer than 4096
// bytes in pieces cut between characters, the rest at a flush; a write that
// fails fails the stream. A file is no console, and a stream left closed
// stays so. Under wine, a console needs a display: scripts/windows gives the
// tests Xvfb's.
TEST(CliOnWindows, WritesToAConsoleWholeCharactersLineByLine)
{
    constexpr SHORT kWidth = 4200, kRows = 25;  // no fewer rows than its window shows
    FreeConsole();                              // wine's own, which shows nothing
    const HANDLE console = AllocConsole() ? GetStdHandle(STD_OUTPUT_HANDLE) : nullptr;
    if (!SetConsoleScreenBufferSize(console, {kWidth, kRows})) {
        GTEST_SKIP() << "no console window here: under wine, one needs a display (DISPLAY, e.g. Xvfb's)";
    }
    const std::unique_ptr<void, decltype(&CloseHandle)> file(
        CreateFileW(L"NUL", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr), &CloseHandle);
    SetStdHandle(STD_ERROR_HANDLE, file.get());
    std::streambuf* const toFile = std::cerr.rdbuf();
    _close(0);
    ASSERT_TRUE(cli::prepareStandardStreams());
    EXPECT_EQ(std::cerr.rdbuf(), toFile);
    const std::string x(4093, 'x');
    // clang-format off
    const struct { const char* row; std::string written, shown; } cases[] = {
        {"each line as it ends, the rest at a flush", "a\n\nb\n", "a\n\nb\n|"},
        {"a line cut at 4096 bytes after the first of 2 bytes", x + "xx\u00E9", x + "xx|\u00E9"},
        {"after the third of 4 bytes", x + "\U0001F600", x + "|\U0001F600"},
    };
    // clang-format on
    for (const auto& c : cases) {
        DWORD done = 0;
        FillConsoleOutputCharacterW(console, L' ', kWidth * kRows, {0, 0}, &done);
        SetConsoleCursorPosition(console, {0, 0});
        std::cout << c.written;
        WriteConsoleW(console, L"|", 1, &done, nullptr);
        std::cout << std::flush;
        std::u16string cells(kWidth * kRows, u' ');
        ReadConsoleOutputCharacterW(console, reinterpret_cast<wchar_t*>(cells.data()), cells.size(), {0, 0},
                                    &done);
        std::string shown;
        for (std::size_t row = 0; row < kRows; ++row) {
            const std::u16string line = cells.substr(row * kWidth, kWidth);
            shown += wtf8FromUtf16(line.substr(0, line.find_last_not_of(u' ') + 1)) + '\n';
        }
        EXPECT_EQ(shown.erase(shown.find_last_not_of('\n') + 1), c.shown) << c.row;
    }
    CloseHandle(console);
    EXPECT_TRUE((std::cout << "x" << std::flush).bad());
}

}  // namespace
}  // namespace vardane::test
