// Runs the built vardane-cli as a process, the way a user's script does, and
// checks what it prints, its exit status and every byte of the images; and
// runs its commands in-process, where the disk can be made to fail.
#include "cli/commands.h"
#include "cli_support.h"
#include "faults.h"
#include "version.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

namespace vardane::test {
namespace {

using nlohmann::json;

const TestImage kSum55 = standardImage().checksumTo(0x37);
const TestImage kWithoutClockKey = standardImage().put(Standard::kClockKey, "xx").checksumTo(0);

TEST(CliInfo, ShowsWhatTheScanProducedAsJsonOrAsTheWindowsRows)
{
    const TempFolder folder;
    // Held by another program for writing: the reader says so.
    const std::string held = place(folder, "held.rom", standardImage());
    const auto writer = system::openNativeFile(*system::pathNamed(held), system::Access::readWrite);
    ASSERT_TRUE(writer && (*writer)->lock(system::LockKind::exclusive, {}));
    const std::string small = place(folder, "small.rom", TestImage(46126));
    // clang-format off
    const std::pair<std::string, json> cases[] = {
        {place(folder, "ok.rom", standardImage()), json::parse(R"({"status": "accepted", "message": null,
             "fileTitle": "ok.rom", "fileSize": "65536 Octets", "headerText": "Vardane test header                             \r\n",
             "versionText": "NV15 BIOS 3.15.01.08.00 (test)\u0000\u0000\u0000\u0000\u0000", "chipKey": "1052", "gpuName": "GeForce2 Ultra",
             "sbaState": "NON", "memClockText": "366 Mhz", "coreClockText": "143 Mhz", "headerlengh": 175, "SBAVrt": 2048, "Octclef": 3744,
             "memClockWord": 18300, "coreClockWord": 14300, "checksum": {"sum": 0, "valid": true}})")},
        {place(folder, "no-r7.rom", kWithoutClockKey), json::parse(R"({"status": "failed", "message": "Erreur lors de l'ouverture du fichier",
             "sbaState": "NON", "Octclef": null, "memClockText": "", "coreClockWord": null, "checksum": {"sum": 0, "valid": true}})")},
        {small,
         json::parse(R"({"status": "rejected", "message": "Ce fichier n'est pas un BIOS de GeForce ...", "checksum": null})")},
        {system::nameOf(folder.path() / "absent.rom"),
         json::parse(R"({"status": "unreadable", "message": "Erreur lors de l'ouverture du fichier", "reason": "absent", "fileSize": ""})")},
        {held, json::parse(R"({"status": "failed", "message": "Erreur lors de l'ouverture du fichier", "reason": "locked", "fileSize": "65536 Octets", "checksum": null})")},
    };
    // clang-format on
    for (const auto& [path, wanted] : cases) {
        SCOPED_TRACE(path);
        const Ran ran = runCli({"info", "--json", path});
        const json got = json::parse(ran.out);
        EXPECT_EQ(got.size(), wanted.contains("reason") ? 18U : 17U);
        for (const auto& [key, value] : wanted.items()) {
            EXPECT_EQ(got.at(key), value) << key;
        }
        const bool accepted = wanted["message"].is_null();
        const std::string cause = !wanted.contains("reason") ? ""
                                  : wanted["reason"] == "absent"
                                      ? " : ce fichier n'existe pas"
                                      : " : un autre programme est en train d'écrire dans ce fichier";
        EXPECT_EQ(ran.err,
                  accepted ? "" : "vardane-cli : " + wanted["message"].get<std::string>() + cause + "\n");
        EXPECT_EQ(ran.status, accepted ? 0 : 2);
    }
    // A checksum that could not be summed shows as the window shows it.
    EXPECT_THAT(runCli({"info", small}).out, testing::EndsWith("CheckSum : ???\n"));
    // Clocks of 333.34 and 125.5 Mhz and a version text starting NUL, CR, the
    // euro sign, an undefined byte, Ÿ, LF: control characters show as "?", and
    // the separator is the user's.
    const std::string odd = place(folder, "odd.rom",
                                  standardImage()
                                      .clockKey(Standard::kClockKey, 16667, 12550)
                                      .put(Standard::kVersion + 7, std::string("\0\r\x80\x81\x9F\n", 6))
                                      .checksumTo(0));
    EXPECT_EQ(runCli({"info", odd}, {.environment = {"LC_NUMERIC=fr_FR.UTF-8"}}).out,
              "Nom du fichier : odd.rom\nTaille du fichier : 65536 Octets\n"
              "Entête du BIOS : Vardane test header                             ??\n"
              "Version du BIOS : ??€?Ÿ?IOS 3.15.01.08.00 (test)?????\n"
              "Type de GPU : GeForce2 Ultra\nSideBand Adressing Activé : NON\n"
              "Frequence Mémoire (DDR) : 333,34 Mhz\nFrequence Core : 125,5 Mhz\nCheckSum : Valide\n");
}

// Each run in turn, as a script makes them: what it prints, or the one line
// of its refusal and status 2; then the images hold the bytes written alone.
TEST(CliEdits, WriteTheirBytesOnlyOrRefuseAndWriteNothing)
{
    const TempFolder folder;
    const std::string a = place(folder, "a.rom", kSum55);
    const std::string noKey = place(folder, "no-r7.rom", kWithoutClockKey);
    const std::string fix = "Le checksum n'est pas corrigé : lancez vardane-cli fix IMAGE\n";
    const std::string nothing = " (rien n'a été écrit)";
    const std::string invalid = "fréquence invalide (un nombre avec un point, par exemple 333.5) : ";
    // clang-format off
    const struct { std::vector<std::string> arguments; std::string out, refusal; } runs[] = {
        {{"set-mem", "333.33", a}, "La frequence Mémoire est maintenant portée à 333,32 Mhz (DDR)\n" + fix, ""},
        {{"set-core", "449", "--ouf", a}, "La frequence du GPU est maintenant portée à 449 Mhz (DDR)\n" + fix, ""},
        {{"sba", "on", a}, "Le SideBand Adressing a bien été activé dans le BIOS. Pensez a revalidez le Checksum...\n", ""},
        {{"sba", "on", a}, "Le SideBand Adressing est déjà activé : rien n'a été écrit\n", ""},
        {{"header", "Édition", noKey}, "Entête écrite : 48 octets\nEntête du BIOS : Édition" + std::string(41, ' ') + "\n" + fix, ""},
        {{"fix", a}, "Octet écrit en 0xBBFF : 0x75, au lieu de 0xC0\nCheckSum : Valide\n", ""},
        {{"fix", a}, "Rien à écrire : la somme est déjà 0\nCheckSum : Valide\n", ""},
        {{"verify", a}, "Somme : 0 (0x00)\nCheckSum : Valide\n", ""},
        {{"--version"}, "vardane-cli " + std::string(kVersion) + "\n", ""},
        {{"set-mem", "601", a}, "", "fréquence hors plage : 601 (200 Mhz - 600 Mhz)" + nothing},
        {{"set-mem", "--", "-5", a}, "", invalid + "-5" + nothing},
        {{"set-mem", "300", noKey}, "", "Erreur lors de l'ouverture du fichier : pas de marqueur \"r7\" dans l'image" + nothing},
        {{"header", std::string(49, 'x'), a}, "", "texte trop long pour le champ de l'entête, largeur 48" + nothing},
        {{"header", "\xED\xA0\x80", a}, "", "caractère impossible à écrire en Windows-1252" + nothing},
        {{"sba", "ON", a}, "", "on ou off attendu : ON" + nothing},
        {{"sba", "on", system::nameOf(folder.path() / "absent.rom")}, "", "ce fichier n'existe pas" + nothing},
        {{"fix", place(folder, "short.rom", standardImage(47000))}, "", "fichier trop court pour la zone du checksum (0x0000..0xBBFF)" + nothing},
        {{"frobnicate"}, "", "commande inconnue : frobnicate"},
        {{"info", "--verbose", a}, "", "option inconnue : --verbose"},
        {{"--json", "info", a}, "", "la commande vient avant ses options : --json"},
        {{"sba", "on", a, a}, "", "arguments incorrects, attendu : vardane-cli sba on|off IMAGE"},
    };
    // clang-format on
    for (const auto& run : runs) {
        SCOPED_TRACE(cli::joined(run.arguments));
        const Ran ran = runCli(run.arguments, {.environment = {"LC_ALL=fr_FR.UTF-8"}});
        EXPECT_EQ(ran.out, run.out);
        EXPECT_EQ(ran.err, run.refusal.empty() ? "" : "vardane-cli : " + run.refusal + "\n");
        EXPECT_EQ(ran.status, run.refusal.empty() ? 0 : 2);
    }
    EXPECT_THAT(runCli({"diff", "-h"}).out, testing::HasSubstr("vardane-cli diff [--json] IMAGE_A IMAGE_B"));
    std::string header = "\xC9\x64ition";
    header.resize(Standard::kHeaderWidth, ' ');
    EXPECT_EQ(readAll(a), standardImage()
                              .putWord(Standard::kClockKey - 26, 16666)
                              .putWord(Standard::kClockKey - 70, 44900)
                              .put(Standard::kSba, std::uint8_t{0xFB})
                              .checksumTo(0)
                              .bytes());
    EXPECT_EQ(readAll(noKey), TestImage(kWithoutClockKey).put(Standard::kHeader, header).bytes());
    // Run in this process, where the disk can be made to fail: a write the
    // system cuts short and will not let be undone leaves the file changed,
    // and the words say so instead of "nothing was written".
    const std::string damaged = place(folder, "damaged.rom", standardImage());
    std::ostringstream out;
    std::ostringstream err;
    cli::Console console{stdin, out, err, ".", {}};
    faults = {.shortWrites = 1, .writesBeforeFailure = 1, .failedWrites = 2};
    EXPECT_EQ(cli::run(std::vector<std::string>{"vardane-cli", "set-mem", "400", damaged}, console), 2);
    faults = {};
    EXPECT_EQ(err.str(),
              "vardane-cli : l'écriture a échoué en cours de route et les anciens octets n'ont pas pu être "
              "remis : le fichier est peut-être endommagé, restaurez-en une copie\n");
    EXPECT_EQ(readAll(damaged), standardImage().put(Standard::kClockKey - 26, std::uint8_t{0x20}).bytes());
}

// Each image as alone, in order; a refusal names its path and never stops the
// next, a line holding a NUL never reaches the system; the status is the
// highest any image gave.
TEST(CliCollections, RunEachImageAsAloneAndGiveTheHighestStatus)
{
    const TempFolder folder;
    const std::string ok = place(folder, "ok.rom", standardImage());
    const std::string bad = place(folder, "bad.rom", kSum55);
    const std::string small = place(folder, "small.rom", TestImage(100));
    const Ran mixed = runCli({"verify", small, bad});
    EXPECT_EQ(std::tie(mixed.status, mixed.out, mixed.err),
              std::tuple(
                  2, "==> " + small + " <==\n==> " + bad + " <==\nSomme : 55 (0x37)\nCheckSum : Non Valide\n",
                  "vardane-cli : " + small + " : Ce fichier n'est pas un BIOS de GeForce ...\n"));
    // One JSON object a line, each the image's own with its path, the last
    // line without its newline too; a blank line names nothing. A line that
    // cannot name a file (a NUL, more than 4096 bytes) is refused unread.
    const std::string nul = small + std::string(1, '\0') + ".rom";
    const Ran listed = runCli({"info", "--json", "-"},
                              {.input = ok + "\n\n" + nul + "\n" + std::string(5000, 'a') + "\n" + bad});
    EXPECT_EQ(listed.status, 2);
    std::vector<json> objects;
    std::istringstream lines(listed.out);
    for (std::string line; std::getline(lines, line);) {
        objects.push_back(json::parse(line));
    }
    ASSERT_EQ(objects.size(), 4U);
    for (const auto& [object, path] : {std::pair(objects[0], ok), std::pair(objects[3], bad)}) {
        json alone = json::parse(runCli({"info", "--json", path}).out);
        alone["path"] = path;
        EXPECT_EQ(object, alone) << path;
    }
    const std::string shownNul = small + "\\x00.rom";
    EXPECT_EQ(std::tie(objects[1]["path"], objects[1]["fileTitle"], objects[1]["status"], objects[2]["path"],
                       objects[2]["status"]),
              std::tuple(shownNul, "small.rom\\x00.rom", "unreadable", std::string(4096, 'a'), "unreadable"));
    EXPECT_EQ(listed.err, "vardane-cli : " + shownNul +
                              " : chemin contenant un caractère nul (un par ligne, sans -print0)\n" +
                              "vardane-cli : " + std::string(4096, 'a') +
                              " : ligne de plus de 4096 octets, qui ne peut nommer aucun fichier\n");
    // Cut at its NUL, the line would name bad.rom.
    const Ran fixed = runCli({"fix", "-"}, {.input = bad + std::string(1, '\0') + "\n"});
    EXPECT_EQ(std::tie(fixed.status, fixed.out), std::tuple(2, "==> " + bad + "\\x00 <==\n"));
    EXPECT_EQ(readAll(bad), kSum55.bytes());
}

TEST(CliDiff, NamesTheFactsAndFieldsThatDifferAndNeverWrites)
{
    const TempFolder folder;
    const std::string a = place(folder, "a.rom", standardImage());
    const std::string copy = place(folder, "copy.rom", standardImage());
    const std::string b = place(folder, "b.rom", standardImage().putWord(Standard::kClockKey - 70, 25000));
    const std::string zeros = place(folder, "zeros.rom", TestImage(65540));
    const Ran same = runCli({"diff", a, copy});
    EXPECT_EQ(std::tie(same.status, same.out),
              std::tuple(0, "Nom du fichier : a.rom -> copy.rom\nImages identiques\n"));
    const Ran human = runCli({"diff", a, b});
    EXPECT_EQ(human.status, 1);
    EXPECT_EQ(human.out,
              "Nom du fichier : a.rom -> b.rom\nFrequence Core : 143 Mhz -> 250 Mhz\ncoreClockWord : 14300 "
              "-> 25000\n"
              "CheckSum : Valide (0) -> Non Valide (246)\nOctets 0x0E5A..0x0E5B : CoreClockWord\n");
    const json differing = json::parse(runCli({"diff", "--json", a, zeros}).out);
    EXPECT_EQ(differing["identical"], false);
    EXPECT_EQ(differing["runs"][1], json::parse(R"({"start": 101, "end": 102, "fields": ["ChipBytes"]})"));
    EXPECT_EQ(differing["facts"][0], json::parse(R"({"key": "status", "a": "accepted", "b": "failed"})"));
    const std::string small = place(folder, "small.rom", TestImage(100));
    expectRefused(runCli({"diff", a, small}), small + " : Ce fichier n'est pas un BIOS de GeForce ...");
    EXPECT_EQ(readAll(a), standardImage().bytes());
}

}  // namespace
}  // namespace vardane::test
