// What vardane-cli meets on Windows alone: names in UTF-16 with backslashes,
// files that another program shares with no one, standard streams that
// msvcrt would translate, lists with CR LF line ends, and the decimal
// separator of GetLocaleInfoEx.
#include "cli_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <nlohmann/json.hpp>

namespace vardane::test {
namespace {

using nlohmann::json;

TEST(CliOnWindows, NamesSharingStreamsListsAndTheDecimalSeparator)
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
              "vardane-cli : \\xe9 : chemin qui n'est pas de l'UTF-8\n");
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
}

}  // namespace
}  // namespace vardane::test
