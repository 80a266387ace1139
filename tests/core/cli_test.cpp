// Runs the built vardane-cli as a process, the way a user's script does, and
// checks what it prints, its exit status and every byte of the images.
#include "test_image.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <algorithm>
#include <string>
#include <vector>

extern char** environ;

namespace vardane::test {
namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::vector<char*> pointersTo(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& s : strings) {
        pointers.push_back(s.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

std::string readText(const std::filesystem::path& path)
{
    const std::vector<std::uint8_t> bytes = readAll(path);
    return {bytes.begin(), bytes.end()};
}

// The child gets the parent's environment without its locale, then `locale`;
// `input` is its standard input. It writes into files rather than pipes, so
// that neither side can block on a full pipe.
Outcome runCli(std::vector<std::string> arguments, const std::vector<std::string>& locale = {"LC_ALL=C"},
               const std::string& input = {})
{
    arguments.insert(arguments.begin(), VARDANE_CLI);
    std::vector<std::string> environment = locale;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string_view e(*entry);
        if (!e.starts_with("LC_") && !e.starts_with("LANG=") && !e.starts_with("LANGUAGE=")) {
            environment.emplace_back(e);
        }
    }
    const TempFolder folder;
    const auto in = folder.path() / "in";
    const auto out = folder.path() / "out";
    const auto err = folder.path() / "err";
    writeAll(in, {input.begin(), input.end()});
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT, 0600);
    pid_t child = -1;
    int status = 0;
    const bool ran = posix_spawn(&child, VARDANE_CLI, &actions, nullptr, pointersTo(arguments).data(),
                                 pointersTo(environment).data()) == 0 &&
                     waitpid(child, &status, 0) == child && WIFEXITED(status);
    posix_spawn_file_actions_destroy(&actions);
    if (!ran) {
        ADD_FAILURE() << "vardane-cli did not run to its end";
        return {};
    }
    return {WEXITSTATUS(status), readText(out), readText(err)};
}

// The image files of one test, in one folder: name -> image.
class Images {
public:
    Images(std::initializer_list<std::pair<std::string, TestImage>> images)
    {
        for (const auto& [name, image] : images) {
            writeAll(path(name), image.bytes());
            before_.emplace_back(name, image.bytes());
        }
    }
    [[nodiscard]] std::string path(const std::string& name) const { return (folder_.path() / name).string(); }
    // Every file as it was, byte for byte, but those named with their new bytes.
    [[nodiscard]] bool unchangedBut(const std::vector<std::pair<std::string, TestImage>>& changed = {}) const
    {
        return std::all_of(before_.begin(), before_.end(), [&](const auto& entry) {
            const auto now = std::find_if(changed.begin(), changed.end(),
                                          [&](const auto& c) { return c.first == entry.first; });
            return readAll(path(entry.first)) == (now == changed.end() ? entry.second : now->second.bytes());
        });
    }

private:
    TempFolder folder_;
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> before_;
};

QJsonObject jsonOf(const std::string& text)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text;
    return document.object();
}

void expectRefused(const Outcome& outcome, const std::string& reason)
{
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err, "vardane-cli : " + reason + "\n");
}

TestImage sum55()
{
    return standardImage().checksumTo(0x37);
}
TestImage withoutClockKey()
{
    return standardImage().put(Standard::kClockKey, "xx").checksumTo(0);
}

// Clocks 333.34 and 125.5 Mhz, and a version text that starts with NUL, CR,
// the euro sign, an undefined byte and LF.
TestImage oddImage()
{
    return standardImage()
        .clockKey(Standard::kClockKey, 16667, 12550)
        .put(Standard::kVersion + 7, std::vector<std::uint8_t>{0x00, 0x0D, 0x80, 0x81, 0x0A, 'z'})
        .checksumTo(0);
}

TEST(CliInfo, JsonHoldsWhatTheScanProducedAndTheWindowsMessage)
{
    const Images images{
        {"ok.rom", standardImage()}, {"no-r7.rom", withoutClockKey()}, {"small.rom", TestImage(46126)}};
    const struct {
        std::string name;
        const char* expected;
    } cases[] = {
        {"ok.rom",
         R"({"status": "accepted", "message": null, "fileTitle": "ok.rom", "fileSize": "65536 Octets",
             "headerText": "Vardane test header                             \r\n",
             "versionText": "NV15 BIOS 3.15.01.08.00 (test)\u0000\u0000\u0000\u0000\u0000",
             "chipKey": "1052", "gpuName": "GeForce2 Ultra", "sbaState": "NON", "memClockText": "366 Mhz",
             "coreClockText": "143 Mhz", "headerlengh": 175, "SBAVrt": 2048, "Octclef": 3744,
             "memClockWord": 18300, "coreClockWord": 14300, "checksum": {"sum": 0, "valid": true}})"},
        {"no-r7.rom",
         R"({"status": "failed", "message": "Erreur lors de l'ouverture du fichier", "sbaState": "NON",
             "Octclef": null, "memClockText": "", "coreClockWord": null, "checksum": {"sum": 0, "valid": true}})"},
        {"small.rom", R"({"status": "rejected", "message": "Ce fichier n'est pas un BIOS de GeForce ...",
             "fileTitle": "small.rom", "fileSize": "", "sbaState": "", "checksum": null})"},
        {"absent.rom", R"({"status": "unreadable", "message": "Erreur lors de l'ouverture du fichier",
             "fileSize": "", "headerlengh": null})"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = runCli({"info", "--json", images.path(c.name)});
        const QJsonObject json = jsonOf(outcome.out);
        EXPECT_EQ(json.keys(), jsonOf(cases[0].expected).keys());
        const QJsonObject expected = jsonOf(c.expected);
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            EXPECT_EQ(json.value(it.key()), it.value()) << it.key().toStdString();
        }
        const QJsonValue message = expected["message"];
        EXPECT_EQ(outcome.status, message.isNull() ? 0 : 2);
        EXPECT_EQ(outcome.err,
                  message.isNull() ? "" : "vardane-cli : " + message.toString().toStdString() + "\n");
    }
    EXPECT_TRUE(images.unchangedBut());
}

// LC_ALL, then LC_NUMERIC, then LANG, whether or not the locale is installed.
TEST(CliInfo, RowsReadLikeTheWindowWithTheUsersDecimalSeparator)
{
    const Images images{{"odd.rom", oddImage()}};
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"LC_ALL=fr_FR.UTF-8"}, ","},
        {{"LC_NUMERIC=fr_FR.UTF-8", "LANG=C"}, ","},
        {{"LANG=fr_FR.UTF-8"}, ","},
        {{"LC_ALL=C", "LC_NUMERIC=fr_FR.UTF-8"}, "."},
    };
    for (const auto& [locale, separator] : cases) {
        const Outcome rows = runCli({"info", images.path("odd.rom")}, locale);
        EXPECT_EQ(rows.out,
                  "Nom du fichier : odd.rom\n"
                  "Taille du fichier : 65536 Octets\n"
                  "Entête du BIOS : Vardane test header                             ??\n"
                  "Version du BIOS : ??€??zIOS 3.15.01.08.00 (test)?????\n"
                  "Type de GPU : GeForce2 Ultra\n"
                  "SideBand Adressing Activé : NON\n"
                  "Frequence Mémoire (DDR) : 333" +
                      separator + "34 Mhz\nFrequence Core : 125" + separator +
                      "5 Mhz\n"
                      "CheckSum : Valide\n")
            << locale.front();
    }
}

TEST(CliChecksum, VerifyTellsTheSumAndFixWritesOnlyTheByteThatZeroesIt)
{
    const Images images{{"bad.rom", sum55()}, {"short.rom", standardImage(47000)}};
    const Outcome verified = runCli({"verify", images.path("bad.rom")});
    EXPECT_EQ(verified.status, 1);
    EXPECT_EQ(verified.out, "Somme : 55 (0x37)\nCheckSum : Non Valide\n");
    const Outcome fixed = runCli({"fix", images.path("bad.rom")});
    EXPECT_EQ(fixed.status, 0);
    const auto hex = [](unsigned byte) { return QString::asprintf("0x%02X", byte & 0xFF).toStdString(); };
    const unsigned was = sum55().bytes()[0xBBFF];
    EXPECT_EQ(fixed.out, "Octet écrit en 0xBBFF : " + hex(was - 0x37) + ", au lieu de " + hex(was) +
                             "\nCheckSum : Valide\n");
    EXPECT_TRUE(images.unchangedBut({{"bad.rom", sum55().checksumTo(0)}}));
    const Outcome again = runCli({"fix", images.path("bad.rom")});
    EXPECT_EQ(again.out, "Rien à écrire : la somme est déjà 0\nCheckSum : Valide\n");
    expectRefused(runCli({"fix", images.path("short.rom")}),
                  "fichier trop court pour la zone du checksum (0x0000..0xBBFF) (rien n'a été écrit)");
    EXPECT_TRUE(images.unchangedBut({{"bad.rom", sum55().checksumTo(0)}}));
}

TEST(CliEdits, WriteTheirBytesOnlyOrRefuseAndWriteNothing)
{
    const Images images{{"a.rom", standardImage()}, {"no-r7.rom", withoutClockKey()}};
    const std::string a = images.path("a.rom");
    Outcome run = runCli({"set-mem", "333.33", a}, {"LC_ALL=fr_FR.UTF-8"});
    EXPECT_EQ(run.out,
              "La frequence Mémoire est maintenant portée à 333,32 Mhz (DDR)\n"
              "Le checksum n'est pas corrigé : lancez vardane-cli fix IMAGE\n");
    run = runCli({"set-core", "--ouf", "450", a});
    EXPECT_EQ(run.status, 0);
    run = runCli({"sba", "on", a});
    EXPECT_EQ(run.out,
              "Le SideBand Adressing a bien été activé dans le BIOS. Pensez a revalidez le Checksum...\n");
    run = runCli({"sba", "on", a});
    EXPECT_EQ(run.out, "Le SideBand Adressing est déjà activé : rien n'a été écrit\n");
    run = runCli({"header", "Édition", images.path("no-r7.rom")});
    EXPECT_EQ(run.status, 0);
    std::string header =
        "\xC9"
        "dition";
    header.resize(Standard::kHeaderWidth, ' ');
    const auto edited = standardImage()
                            .putWord(Standard::kClockKey - 26, 16666)
                            .putWord(Standard::kClockKey - 70, 45000)
                            .put(Standard::kSba, std::uint8_t{0xFB});
    EXPECT_TRUE(images.unchangedBut(
        {{"a.rom", edited}, {"no-r7.rom", withoutClockKey().put(Standard::kHeader, header)}}));

    expectRefused(runCli({"set-mem", "601", a}),
                  "fréquence hors plage : 601 (200 Mhz - 600 Mhz) (rien n'a été écrit)");
    expectRefused(
        runCli({"set-core", "4e2", a}),
        "fréquence invalide (un nombre avec un point, par exemple 333.5) : 4e2 (rien n'a été écrit)");
    expectRefused(
        runCli({"set-mem", "300", images.path("no-r7.rom")}),
        "Erreur lors de l'ouverture du fichier : pas de marqueur \"r7\" dans l'image (rien n'a été écrit)");
    expectRefused(runCli({"header", std::string(49, 'x'), a}),
                  "texte trop long pour le champ de l'entête, largeur 48 (rien n'a été écrit)");
    expectRefused(runCli({"sba", "ON", a}), "on ou off attendu : ON (rien n'a été écrit)");
    EXPECT_TRUE(images.unchangedBut(
        {{"a.rom", edited}, {"no-r7.rom", withoutClockKey().put(Standard::kHeader, header)}}));
}

// Each image as alone, in order; a refusal names its path and never stops
// the next; the status is the highest any image gave.
TEST(CliCollections, RunEachImageAsAloneAndGiveTheHighestStatus)
{
    const Images images{{"ok.rom", standardImage()}, {"bad.rom", sum55()}, {"small.rom", TestImage(100)}};
    const std::string ok = images.path("ok.rom");
    const std::string bad = images.path("bad.rom");
    const std::string small = images.path("small.rom");
    const std::string folder = images.path("");

    const Outcome mixed = runCli({"verify", ok, small, bad});
    EXPECT_EQ(mixed.status, 2);
    EXPECT_EQ(mixed.out, "==> " + ok + " <==\nSomme : 0 (0x00)\nCheckSum : Valide\n==> " + small +
                             " <==\n==> " + bad + " <==\nSomme : 55 (0x37)\nCheckSum : Non Valide\n");
    EXPECT_EQ(mixed.err, "vardane-cli : " + small + " : Ce fichier n'est pas un BIOS de GeForce ...\n");
    EXPECT_EQ(runCli({"verify", ok, bad}).status, 1);

    // A list from another system, with blank lines; JSON Lines hold each
    // image's own object with its path.
    const Outcome listed =
        runCli({"info", "--json", "-"}, {"LC_ALL=C"}, ok + "\r\n\n" + folder + "\n" + bad + "\n");
    EXPECT_EQ(listed.status, 2);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end = 0; (end = listed.out.find('\n', at)) != std::string::npos; at = end + 1) {
        lines.push_back(listed.out.substr(at, end - at));
    }
    ASSERT_EQ(lines.size(), 3U);
    const std::string paths[] = {ok, folder, bad};
    for (std::size_t i = 0; i < 3; ++i) {
        QJsonObject line = jsonOf(lines[i]);
        EXPECT_EQ(line.take("path").toString().toStdString(), paths[i]);
        EXPECT_EQ(line, jsonOf(runCli({"info", "--json", paths[i]}).out)) << paths[i];
    }

    const Outcome fixed = runCli({"fix", "-"}, {"LC_ALL=C"}, bad + "\n" + small + "\n");
    EXPECT_EQ(fixed.status, 2);
    EXPECT_TRUE(images.unchangedBut({{"bad.rom", sum55().checksumTo(0)}}));
    expectRefused(runCli({"verify", "-", ok}), "- se donne seul, sans autre image");
}

TEST(CliDiff, NamesTheFactsAndFieldsThatDifferAndNeverWrites)
{
    TestImage edited = standardImage().putWord(Standard::kClockKey - 70, 25000);
    const Images images{{"a.rom", standardImage()},
                        {"b.rom", edited.checksumTo(0)},
                        {"c.rom", TestImage(65540)},
                        {"small.rom", TestImage(100)}};
    const std::string a = images.path("a.rom");

    const Outcome same = runCli({"diff", a, a});
    EXPECT_EQ(same.status, 0);
    EXPECT_EQ(same.out, "Images identiques\n");
    const Outcome human = runCli({"diff", a, images.path("b.rom")});
    EXPECT_EQ(human.status, 1);
    EXPECT_EQ(human.out,
              "Frequence Core : 143 Mhz -> 250 Mhz\ncoreClockWord : 14300 -> 25000\n"
              "Octets 0x0E5A..0x0E5B : CoreClockWord\nOctets 0xBBFF..0xBBFF : ChecksumByte\n");
    const QJsonObject json = jsonOf(runCli({"diff", "--json", a, images.path("c.rom")}).out);
    EXPECT_EQ(json["identical"], false);
    EXPECT_EQ(json["sizes"].toArray(), (QJsonArray{65536, 65540}));
    EXPECT_EQ(json["runs"][0], (QJsonObject{{"start", 96}, {"end", 99}, {"fields", QJsonArray{"-"}}}));
    EXPECT_EQ(json["runs"][1],
              (QJsonObject{{"start", 101}, {"end", 102}, {"fields", QJsonArray{"ChipBytes"}}}));
    EXPECT_EQ(json["facts"].toArray().first()["key"], "status");
    expectRefused(runCli({"diff", a, images.path("small.rom")}),
                  images.path("small.rom") + " : Ce fichier n'est pas un BIOS de GeForce ...");
    EXPECT_TRUE(images.unchangedBut());
}

TEST(CliProgram, AnswersHelpAndVersionAndRefusesWhatItDoesNotKnow)
{
    EXPECT_EQ(runCli({"--version"}).out, "vardane-cli 0.23\n");
    EXPECT_NE(runCli({"diff", "--help"}).out.find("vardane-cli diff [--json] IMAGE_A IMAGE_B"),
              std::string::npos);
    expectRefused(runCli({"frobnicate"}), "commande inconnue : frobnicate");
    expectRefused(runCli({"info", "--verbose", "x.rom"}), "option inconnue : --verbose");
    expectRefused(runCli({"--json", "info", "x.rom"}), "la commande vient avant ses options : --json");
    expectRefused(runCli({"sba", "on"}), "arguments incorrects, attendu : vardane-cli sba on|off IMAGE");
    expectRefused(runCli({}), "commande manquante (vardane-cli --help)");
}

}  // namespace
}  // namespace vardane::test
