// Runs the built vardane-cli as a process, the way a user's script does, and
// checks what it prints, its exit status and every byte of the images.
#include "test_image.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <algorithm>
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
    for (const QString& key : environment.keys()) {
        if (key.startsWith("LC_") || key == "LANG" || key == "LANGUAGE") {
            environment.remove(key);
        }
    }
    for (const std::string& setting : locale) {
        environment.insert(QString::fromStdString(setting.substr(0, setting.find('='))),
                           QString::fromStdString(setting.substr(setting.find('=') + 1)));
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

// The image files of one test, in one folder.
class Images {
public:
    Images(std::initializer_list<std::pair<std::string, TestImage>> images) : images_(images)
    {
        for (const auto& [name, image] : images_) {
            writeAll(path(name), image.bytes());
        }
    }
    [[nodiscard]] std::string path(const std::string& name) const { return (folder_.path() / name).string(); }
    // Every file as written, but those named here, which hold these images now.
    [[nodiscard]] bool unchangedBut(const std::vector<std::pair<std::string, TestImage>>& changed = {}) const
    {
        return std::all_of(images_.begin(), images_.end(), [&](const auto& image) {
            const auto now =
                std::find_if(changed.begin(), changed.end(), [&](auto& c) { return c.first == image.first; });
            return readAll(path(image.first)) == (now == changed.end() ? image.second : now->second).bytes();
        });
    }

private:
    TempFolder folder_;
    std::vector<std::pair<std::string, TestImage>> images_;
};

QJsonObject jsonOf(const std::string& text)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object();
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

TEST(CliInfo, JsonHoldsWhatTheScanProducedAndTheWindowsMessage)
{
    const Images images{
        {"ok.rom", standardImage()}, {"no-r7.rom", withoutClockKey()}, {"small.rom", TestImage(46126)}};
    const std::pair<std::string, const char*> cases[] = {
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
             "fileSize": "", "checksum": null})"},
        {"absent.rom", R"({"status": "unreadable", "message": "Erreur lors de l'ouverture du fichier"})"},
    };
    for (const auto& [name, expected] : cases) {
        const Outcome outcome = runCli({"info", "--json", images.path(name)});
        const QJsonObject json = jsonOf(outcome.out);
        EXPECT_EQ(json.keys(), jsonOf(cases[0].second).keys()) << name;
        const QJsonObject wanted = jsonOf(expected);
        for (auto it = wanted.begin(); it != wanted.end(); ++it) {
            EXPECT_EQ(json.value(it.key()), it.value()) << name << ' ' << it.key().toStdString();
        }
        const QJsonValue message = wanted["message"];
        EXPECT_EQ(outcome.status, message.isNull() ? 0 : 2);
        EXPECT_EQ(outcome.err,
                  message.isNull() ? "" : "vardane-cli : " + message.toString().toStdString() + "\n");
    }
    EXPECT_TRUE(images.unchangedBut());
}

// Clocks of 333.34 and 125.5 Mhz and a version text starting NUL, CR, the euro
// sign, an undefined byte, LF: control characters show as "?", and the
// separator follows LC_ALL, then LC_NUMERIC, then LANG, installed or not.
TEST(CliInfo, RowsReadLikeTheWindowWithTheUsersDecimalSeparator)
{
    const Images images{{"odd.rom", standardImage()
                                        .clockKey(Standard::kClockKey, 16667, 12550)
                                        .put(Standard::kVersion + 7, std::string("\0\r\x80\x81\nz", 6))
                                        .checksumTo(0)}};
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"LC_NUMERIC=fr_FR.UTF-8", "LANG=C"}, ","},
        {{"LANG=fr_FR.UTF-8"}, ","},
        {{"LC_ALL=C", "LC_NUMERIC=fr_FR.UTF-8"}, "."},
    };
    for (const auto& [locale, separator] : cases) {
        EXPECT_EQ(runCli({"info", images.path("odd.rom")}, locale).out,
                  "Nom du fichier : odd.rom\nTaille du fichier : 65536 Octets\n"
                  "Entête du BIOS : Vardane test header                             ??\n"
                  "Version du BIOS : ??€??zIOS 3.15.01.08.00 (test)?????\n"
                  "Type de GPU : GeForce2 Ultra\nSideBand Adressing Activé : NON\n"
                  "Frequence Mémoire (DDR) : 333" +
                      separator + "34 Mhz\nFrequence Core : 125" + separator + "5 Mhz\nCheckSum : Valide\n")
            << locale.front();
    }
}

TEST(CliChecksum, VerifyTellsTheSumAndFixWritesOnlyTheByteThatZeroesIt)
{
    const Images images{{"bad.rom", sum55()}, {"short.rom", standardImage(47000)}};
    const Outcome verified = runCli({"verify", images.path("bad.rom")});
    EXPECT_EQ(verified.status, 1);
    EXPECT_EQ(verified.out, "Somme : 55 (0x37)\nCheckSum : Non Valide\n");
    const auto hex = [](unsigned byte) { return QString::asprintf("0x%02X", byte & 0xFF).toStdString(); };
    const unsigned was = sum55().bytes()[0xBBFF];
    EXPECT_EQ(
        runCli({"fix", images.path("bad.rom")}).out,
        "Octet écrit en 0xBBFF : " + hex(was - 0x37) + ", au lieu de " + hex(was) + "\nCheckSum : Valide\n");
    EXPECT_EQ(runCli({"fix", images.path("bad.rom")}).out,
              "Rien à écrire : la somme est déjà 0\nCheckSum : Valide\n");
    expectRefused(runCli({"fix", images.path("short.rom")}),
                  "fichier trop court pour la zone du checksum (0x0000..0xBBFF) (rien n'a été écrit)");
    EXPECT_TRUE(images.unchangedBut({{"bad.rom", sum55().checksumTo(0)}}));
}

TEST(CliEdits, WriteTheirBytesOnlyOrRefuseAndWriteNothing)
{
    const Images images{{"a.rom", standardImage()}, {"no-r7.rom", withoutClockKey()}};
    const std::string a = images.path("a.rom");
    EXPECT_EQ(runCli({"set-mem", "333.33", a}, {"LC_ALL=fr_FR.UTF-8"}).out,
              "La frequence Mémoire est maintenant portée à 333,32 Mhz (DDR)\n"
              "Le checksum n'est pas corrigé : lancez vardane-cli fix IMAGE\n");
    EXPECT_EQ(runCli({"set-core", "--ouf", "450", a}).status, 0);
    EXPECT_EQ(runCli({"sba", "on", a}).out,
              "Le SideBand Adressing a bien été activé dans le BIOS. Pensez a revalidez le Checksum...\n");
    EXPECT_EQ(runCli({"sba", "on", a}).out, "Le SideBand Adressing est déjà activé : rien n'a été écrit\n");
    EXPECT_EQ(runCli({"header", "Édition", images.path("no-r7.rom")}).status, 0);
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
    std::string header =
        "\xC9"
        "dition";
    header.resize(Standard::kHeaderWidth, ' ');
    EXPECT_TRUE(images.unchangedBut({{"a.rom", standardImage()
                                                   .putWord(Standard::kClockKey - 26, 16666)
                                                   .putWord(Standard::kClockKey - 70, 45000)
                                                   .put(Standard::kSba, std::uint8_t{0xFB})},
                                     {"no-r7.rom", withoutClockKey().put(Standard::kHeader, header)}}));
}

// Each image as alone, in order; a refusal names its path and never stops
// the next; the status is the highest any image gave.
TEST(CliCollections, RunEachImageAsAloneAndGiveTheHighestStatus)
{
    const Images images{{"ok.rom", standardImage()}, {"bad.rom", sum55()}, {"small.rom", TestImage(100)}};
    const std::string ok = images.path("ok.rom");
    const std::string bad = images.path("bad.rom");
    const std::string small = images.path("small.rom");
    const std::string fifo = images.path("fifo.rom");  // a plain open would wait for a writer
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
    EXPECT_EQ(runCli({"fix", "-"}, {"LC_ALL=C"}, bad + "\n" + small + "\n").status, 2);
    EXPECT_TRUE(images.unchangedBut({{"bad.rom", sum55().checksumTo(0)}}));
    expectRefused(runCli({"verify", "-", ok}), "- se donne seul, sans autre image");
}

TEST(CliDiff, NamesTheFactsAndFieldsThatDifferAndNeverWrites)
{
    const Images images{{"a.rom", standardImage()},
                        {"b.rom", standardImage().putWord(Standard::kClockKey - 70, 25000).checksumTo(0)},
                        {"c.rom", TestImage(65540)},
                        {"small.rom", TestImage(100)}};
    const std::string a = images.path("a.rom");
    const Outcome same = runCli({"diff", a, a});
    EXPECT_EQ(same.out, "Images identiques\n");
    EXPECT_EQ(same.status, 0);
    const Outcome human = runCli({"diff", a, images.path("b.rom")});
    EXPECT_EQ(human.status, 1);
    EXPECT_EQ(human.out,
              "Frequence Core : 143 Mhz -> 250 Mhz\ncoreClockWord : 14300 -> 25000\n"
              "Octets 0x0E5A..0x0E5B : CoreClockWord\nOctets 0xBBFF..0xBBFF : ChecksumByte\n");
    const QJsonObject json = jsonOf(runCli({"diff", "--json", a, images.path("c.rom")}).out);
    EXPECT_EQ(json["identical"], false);
    EXPECT_EQ(json["sizes"].toArray(), (QJsonArray{65536, 65540}));
    EXPECT_EQ(json["runs"][1],
              (QJsonObject{{"start", 101}, {"end", 102}, {"fields", QJsonArray{"ChipBytes"}}}));
    EXPECT_EQ(json["facts"][0], (QJsonObject{{"key", "status"}, {"a", "accepted"}, {"b", "failed"}}));
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
}

}  // namespace
}  // namespace vardane::test
