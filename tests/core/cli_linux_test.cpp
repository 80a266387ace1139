// What vardane-cli meets on Linux alone: FIFOs, names that are not UTF-8 and
// names holding a carriage return, standard streams left closed or full, and
// a list whose reading fails part-way.
#include "cli/commands.h"
#include "cli_support.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>

namespace vardane::test {
namespace {

using nlohmann::json;

// Through the shell, with the streams a shell hands over closed, full or as
// a folder.
Ran runThroughShell(const std::vector<std::string>& arguments, const std::string& redirections,
                    const std::string& input = {})
{
    return test::runThroughShell(VARDANE_CLI, arguments, {"LC_ALL=C"}, input, redirections);
}

TEST(CliOnLinux, FifosOddNamesClosedStreamsAndFailingLists)
{
    const TempFolder folder;
    const TestImage sum55 = standardImage().checksumTo(0x37);
    const std::string ok = place(folder, "ok.rom", standardImage());
    const std::string bad = place(folder, "bad.rom", sum55);
    // A FIFO never blocks, listed or not; a carriage return is part of the
    // name, so the second line names a file that is not there.
    const std::string fifo = (folder.path() / "fifo.rom").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const Ran listed = runCli({"info", "--json", "-"}, {.input = fifo + "\n" + bad + "\r\n"});
    const json fifoObject = json::parse(listed.out.substr(0, listed.out.find('\n')));
    const json carriageReturn = json::parse(listed.out.substr(listed.out.find('\n') + 1));
    EXPECT_EQ(std::tie(listed.status, fifoObject["status"], carriageReturn["path"], carriageReturn["status"]),
              std::tuple(2, "rejected", bad + "\\x0d", "unreadable"));
    EXPECT_EQ(readAll(bad), sum55.bytes());
    // Output that never reached its reader is no success; it stops a collection
    // at once. An unreadable list is refused.
    const std::string first = place(folder, "first.rom", sum55);
    const std::string second = place(folder, "second.rom", sum55);
    const std::string lost = "impossible d'écrire sur la sortie standard";
    expectRefused(runThroughShell({"info", "--json", ok}, " >/dev/full"), lost);
    expectRefused(runThroughShell({"verify", ok}, " >&-"), lost);
    expectRefused(runThroughShell({"fix", "-"}, " >/dev/full", first + "\n" + second + "\n"), lost);
    EXPECT_EQ(readAll(first), TestImage(sum55).checksumTo(0).bytes());
    EXPECT_EQ(readAll(second), sum55.bytes());
    const std::string list = "impossible de lire la liste des images : ";
    expectRefused(runThroughShell({"info", "-"}, " <" + folder.path().string()),
                  list + "l'entrée standard est un dossier");
    expectRefused(runThroughShell({"verify", "-"}, " <&-"), list + "l'entrée standard est fermée");
    // A list whose reading fails part-way is refused after the images it gave.
    std::string line = ok + "\n";  // given by the first read; the next fails
    cookie_io_functions_t failing{};
    failing.read = [](void* cookie, char* into, std::size_t size) -> ssize_t {
        const std::size_t given = static_cast<std::string*>(cookie)->copy(into, size);
        static_cast<std::string*>(cookie)->clear();
        errno = EIO;
        return given > 0 ? static_cast<ssize_t>(given) : -1;
    };
    std::FILE* in = ::fopencookie(&line, "r", failing);
    std::ostringstream out;
    std::ostringstream err;
    cli::Console console{in, out, err, ".", {}};
    EXPECT_EQ(cli::run(std::vector<std::string>{"vardane-cli", "verify", "-"}, console), 2);
    std::fclose(in);
    EXPECT_EQ(out.str(), "==> " + ok + " <==\nSomme : 0 (0x00)\nCheckSum : Valide\n");
    EXPECT_EQ(err.str(), "vardane-cli : " + list + "erreur de lecture de l'entrée standard\n");
}

}  // namespace
}  // namespace vardane::test
