// Runs the built vardane-cli as a process, the way a user's script does, and
// checks what it prints, its exit status and every byte of the images.
#include "test_image.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <sstream>
#include <string>
#include <vector>

namespace vardane::test {
namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

// The child gets this environment without its locale, then `locale`, and
// `input` on its standard input.
Outcome runCli(const std::vector<std::string>& arguments,
               const std::vector<std::string>& locale = {"LC_ALL=C"}, const std::string& input = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* key : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        environment.remove(key);
    }
    for (const std::string& setting : locale) {
        const auto equals = setting.find('=');
        environment.insert(QString::fromStdString(setting.substr(0, equals)),
                           QString::fromStdString(setting.substr(equals + 1)));
    }
    QStringList list;
    for (const std::string& argument : arguments) {
        list << QString::fromStdString(argument);
    }
    QProcess cli;
    cli.setProcessEnvironment(environment);
    cli.start(VARDANE_CLI, list);
    cli.write(input.data(), static_cast<qint64>(input.size()));
    cli.closeWriteChannel();
    EXPECT_TRUE(cli.waitForFinished(-1) && cli.exitStatus() == QProcess::NormalExit);
    return {cli.exitCode(), cli.readAllStandardOutput().toStdString(),
            cli.readAllStandardError().toStdString()};
}

// Writes the image into the folder and gives its path.
std::string place(const TempFolder& folder, const std::string& name, const TestImage& image)
{
    writeAll(folder.path() / name, image.bytes());
    return (folder.path() / name).string();
}

QJsonObject jsonOf(const std::string& text)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
}

void expectRefused(const Outcome& outcome, const std::string& reason)
{
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err, "vardane-cli : " + reason + "\n");
}

const TestImage kSum55 = standardImage().checksumTo(0x37);
const TestImage kWithoutClockKey = standardImage().put(Standard::kClockKey, "xx").checksumTo(0);

TEST(CliInfo, JsonHoldsWhatTheScanProducedAndTheWindowsMessage)
{
    const TempFolder folder;
    const std::pair<std::string, const char*> cases[] = {
        {place(folder, "ok.rom", standardImage()),
         R"({"status": "accepted", "message": null, "fileTitle": "ok.rom", "fileSize": "65536 Octets",
             "headerText": "Vardane test header                             \r\n",
             "versionText": "NV15 BIOS 3.15.01.08.00 (test)\u0000\u0000\u0000\u0000\u0000",
             "chipKey": "1052", "gpuName": "GeForce2 Ultra", "sbaState": "NON", "memClockText": "366 Mhz",
             "coreClockText": "143 Mhz", "headerlengh": 175, "SBAVrt": 2048, "Octclef": 3744,
             "memClockWord": 18300, "coreClockWord": 14300, "checksum": {"sum": 0, "valid": true}})"},
        {place(folder, "no-r7.rom", kWithoutClockKey),
         R"({"status": "failed", "message": "Erreur lors de l'ouverture du fichier", "sbaState": "NON",
             "Octclef": null, "memClockText": "", "coreClockWord": null, "checksum": {"sum": 0, "valid": true}})"},
        {place(folder, "small.rom", TestImage(46126)),
         R"({"status": "rejected", "message": "Ce fichier n'est pas un BIOS de GeForce ...", "checksum": null})"},
        {(folder.path() / "absent.rom").string(),
         R"({"status": "unreadable", "message": "Erreur lors de l'ouverture du fichier", "fileSize": ""})"},
    };
    for (const auto& [path, expected] : cases) {
        const Outcome outcome = runCli({"info", "--json", path});
        const QJsonObject json = jsonOf(outcome.out);
        EXPECT_EQ(json.keys(), jsonOf(cases[0].second).keys()) << path;
        const QJsonObject wanted = jsonOf(expected);
        for (auto it = wanted.begin(); it != wanted.end(); ++it) {
            EXPECT_EQ(json.value(it.key()), it.value()) << path << ' ' << it.key().toStdString();
        }
        const QJsonValue message = wanted["message"];
        EXPECT_EQ(outcome.err,
                  message.isNull() ? "" : "vardane-cli : " + message.toString().toStdString() + "\n");
        EXPECT_EQ(outcome.status, message.isNull() ? 0 : 2);
    }
    EXPECT_EQ(readAll(cases[1].first), kWithoutClockKey.bytes());
}

// Clocks of 333.34 and 125.5 Mhz and a version text starting NUL, CR, the euro
// sign, an undefined byte, Ÿ, LF: control characters show as "?", and the
// separator follows LC_ALL, then LC_NUMERIC, then LANG, installed or not.
TEST(CliInfo, RowsReadLikeTheWindowWithTheUsersDecimalSeparator)
{
    const TempFolder folder;
    const std::string odd = place(folder, "odd.rom",
                                  standardImage()
                                      .clockKey(Standard::kClockKey, 16667, 12550)
                                      .put(Standard::kVersion + 7, std::string("\0\r\x80\x81\x9F\n", 6))
                                      .checksumTo(0));
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"LC_NUMERIC=fr_FR.UTF-8", "LANG=C"}, ","},
        {{"LC_ALL=C", "LC_NUMERIC=fr_FR.UTF-8"}, "."},
    };
    for (const auto& [locale, separator] : cases) {
        EXPECT_EQ(runCli({"info", odd}, locale).out,
                  "Nom du fichier : odd.rom\nTaille du fichier : 65536 Octets\n"
                  "Entête du BIOS : Vardane test header                             ??\n"
                  "Version du BIOS : ??€?Ÿ?IOS 3.15.01.08.00 (test)?????\n"
                  "Type de GPU : GeForce2 Ultra\nSideBand Adressing Activé : NON\n"
                  "Frequence Mémoire (DDR) : 333" +
                      separator + "34 Mhz\nFrequence Core : 125" + separator + "5 Mhz\nCheckSum : Valide\n")
            << locale.front();
    }
}

TEST(CliEdits, WriteTheirBytesOnlyOrRefuseAndWriteNothing)
{
    const TempFolder folder;
    const std::string a = place(folder, "a.rom", kSum55);
    const std::string noKey = place(folder, "no-r7.rom", kWithoutClockKey);
    EXPECT_EQ(runCli({"set-mem", "333.33", a}, {"LC_ALL=fr_FR.UTF-8"}).out,
              "La frequence Mémoire est maintenant portée à 333,32 Mhz (DDR)\n"
              "Le checksum n'est pas corrigé : lancez vardane-cli fix IMAGE\n");
    EXPECT_EQ(runCli({"set-core", "--ouf", "449", a}).status, 0);
    EXPECT_EQ(runCli({"sba", "on", a}).out,
              "Le SideBand Adressing a bien été activé dans le BIOS. Pensez a revalidez le Checksum...\n");
    EXPECT_EQ(runCli({"sba", "on", a}).out, "Le SideBand Adressing est déjà activé : rien n'a été écrit\n");
    EXPECT_EQ(runCli({"header", "Édition", noKey}).status, 0);
    EXPECT_TRUE(runCli({"fix", a}).out.starts_with("Octet écrit en 0xBBFF : 0x"));
    EXPECT_EQ(runCli({"fix", a}).out, "Rien à écrire : la somme est déjà 0\nCheckSum : Valide\n");
    EXPECT_EQ(runCli({"verify", a}).status, 0);
    expectRefused(runCli({"set-mem", "601", a}),
                  "fréquence hors plage : 601 (200 Mhz - 600 Mhz) (rien n'a été écrit)");
    expectRefused(
        runCli({"set-core", "4e2", a}),
        "fréquence invalide (un nombre avec un point, par exemple 333.5) : 4e2 (rien n'a été écrit)");
    expectRefused(
        runCli({"set-mem", "300", noKey}),
        "Erreur lors de l'ouverture du fichier : pas de marqueur \"r7\" dans l'image (rien n'a été écrit)");
    expectRefused(runCli({"header", std::string(49, 'x'), a}),
                  "texte trop long pour le champ de l'entête, largeur 48 (rien n'a été écrit)");
    expectRefused(runCli({"sba", "ON", a}), "on ou off attendu : ON (rien n'a été écrit)");
    expectRefused(runCli({"fix", place(folder, "short.rom", standardImage(47000))}),
                  "fichier trop court pour la zone du checksum (0x0000..0xBBFF) (rien n'a été écrit)");
    std::string header =
        "\xC9"
        "dition";
    header.resize(Standard::kHeaderWidth, ' ');
    EXPECT_EQ(readAll(a), standardImage()
                              .putWord(Standard::kClockKey - 26, 16666)
                              .putWord(Standard::kClockKey - 70, 44900)
                              .put(Standard::kSba, std::uint8_t{0xFB})
                              .checksumTo(0)
                              .bytes());
    EXPECT_EQ(readAll(noKey), TestImage(kWithoutClockKey).put(Standard::kHeader, header).bytes());
}

// Each image as alone, in order; a refusal names its path and never stops the
// next, a FIFO never blocks; the status is the highest any image gave.
TEST(CliCollections, RunEachImageAsAloneAndGiveTheHighestStatus)
{
    const TempFolder folder;
    const std::string ok = place(folder, "ok.rom", standardImage());
    const std::string bad = place(folder, "bad.rom", kSum55);
    const std::string small = place(folder, "small.rom", TestImage(100));
    const std::string fifo = (folder.path() / "fifo.rom").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const Outcome mixed = runCli({"verify", ok, small, bad});
    EXPECT_EQ(mixed.status, 2);
    EXPECT_EQ(mixed.out, "==> " + ok + " <==\nSomme : 0 (0x00)\nCheckSum : Valide\n==> " + small +
                             " <==\n==> " + bad + " <==\nSomme : 55 (0x37)\nCheckSum : Non Valide\n");
    EXPECT_EQ(mixed.err, "vardane-cli : " + small + " : Ce fichier n'est pas un BIOS de GeForce ...\n");
    EXPECT_EQ(runCli({"verify", ok, bad}).status, 1);
    // A list written on another system, with a blank line: one JSON object a
    // line, each the image's own with its path.
    const Outcome listed =
        runCli({"info", "--json", "-"}, {"LC_ALL=C"}, ok + "\r\n\n" + fifo + "\n" + bad + "\n");
    EXPECT_EQ(listed.status, 2);
    std::istringstream lines(listed.out);
    for (const std::string& path : {ok, fifo, bad}) {
        std::string line;
        std::getline(lines, line);
        QJsonObject object = jsonOf(line);
        EXPECT_EQ(object.take("path").toString().toStdString(), path);
        EXPECT_EQ(object, jsonOf(runCli({"info", "--json", path}).out)) << path;
    }
    // A NUL ends a path for the system: a line holding one names no file.
    EXPECT_EQ(
        runCli({"fix", "-"}, {"LC_ALL=C"}, bad + "\n" + small + std::string(1, '\0') + ok + "\n").status, 2);
    EXPECT_TRUE(readAll(bad) == TestImage(kSum55).checksumTo(0).bytes() &&
                readAll(small) == TestImage(100).bytes());
    expectRefused(runCli({"verify", "-", ok}), "- se donne seul, sans autre image");
}

TEST(CliDiff, NamesTheFactsAndFieldsThatDifferAndNeverWrites)
{
    const TempFolder folder;
    const std::string a = place(folder, "a.rom", standardImage());
    const std::string b = place(folder, "b.rom", standardImage().putWord(Standard::kClockKey - 70, 25000));
    const std::string zeros = place(folder, "zeros.rom", TestImage(65540));
    const Outcome same = runCli({"diff", a, a});
    EXPECT_TRUE(same.out == "Images identiques\n" && same.status == 0);
    const Outcome human = runCli({"diff", a, b});
    EXPECT_EQ(human.status, 1);
    EXPECT_EQ(human.out,
              "Nom du fichier : a.rom -> b.rom\nFrequence Core : 143 Mhz -> 250 Mhz\ncoreClockWord : 14300 "
              "-> 25000\n"
              "CheckSum : Valide (0) -> Non Valide (246)\nOctets 0x0E5A..0x0E5B : CoreClockWord\n");
    const QJsonObject json = jsonOf(runCli({"diff", "--json", a, zeros}).out);
    EXPECT_TRUE(json["identical"] == false && json["sizes"].toArray() == (QJsonArray{65536, 65540}));
    EXPECT_EQ(json["runs"][1],
              (QJsonObject{{"start", 101}, {"end", 102}, {"fields", QJsonArray{"ChipBytes"}}}));
    EXPECT_EQ(json["facts"].toArray().size(), 16);
    EXPECT_EQ(json["facts"][0], (QJsonObject{{"key", "status"}, {"a", "accepted"}, {"b", "failed"}}));
    expectRefused(runCli({"diff", a, place(folder, "small.rom", TestImage(100))}),
                  (folder.path() / "small.rom").string() + " : Ce fichier n'est pas un BIOS de GeForce ...");
    EXPECT_EQ(readAll(a), standardImage().bytes());
}

TEST(CliProgram, AnswersHelpAndVersionAndRefusesWhatItDoesNotKnow)
{
    EXPECT_EQ(runCli({"--version"}).out, "vardane-cli 0.23\n");
    EXPECT_NE(runCli({"diff", "--help"}).out.find("vardane-cli diff [--json] IMAGE_A IMAGE_B"),
              std::string::npos);
    expectRefused(runCli({"frobnicate"}), "commande inconnue : frobnicate");
    expectRefused(runCli({"info", "--verbose", "x.rom"}), "option inconnue : --verbose");
    expectRefused(runCli({"--json", "info", "x.rom"}), "la commande vient avant ses options : --json");
    expectRefused(runCli({"sba", "on", "a.rom", "b.rom"}),
                  "arguments incorrects, attendu : vardane-cli sba on|off IMAGE");
}

}  // namespace
}  // namespace vardane::test
