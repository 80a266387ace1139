// Runs the built vardane-cli as a process, the way a user's script does, and
// checks what it prints, its exit status and every byte of the image.
#include "test_image.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <optional>
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

// The child gets the parent's environment without its locale, then `locale`,
// whatever the machine that runs the tests is set to. It writes into files
// rather than pipes, so that neither side can block on a full pipe.
Outcome runCli(std::vector<std::string> arguments, const std::vector<std::string>& locale = {"LC_ALL=C"})
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
    const std::filesystem::path out = folder.path() / "out";
    const std::filesystem::path err = folder.path() / "err";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
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

// Runs `arguments` followed by the path of a file holding `image`; returns
// what it printed and the file's bytes after the run.
std::pair<Outcome, std::vector<std::uint8_t>> runOn(const TestImage& image,
                                                    std::vector<std::string> arguments,
                                                    const std::vector<std::string>& locale = {"LC_ALL=C"})
{
    const TempFile file(image);
    arguments.push_back(file.path().string());
    Outcome outcome = runCli(std::move(arguments), locale);
    return {std::move(outcome), file.contents()};
}

std::string joined(const std::vector<std::string>& arguments)
{
    std::string text;
    for (const std::string& argument : arguments) {
        text += "[" + argument + "] ";
    }
    return text;
}

void expectOneLineReason(const Outcome& outcome)
{
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    EXPECT_TRUE(outcome.err.ends_with('\n')) << outcome.err;
}

// Each command line, followed by the image's path, is refused: status 2, one
// line on standard error, nothing on standard output, the file unchanged.
void expectRefused(const TestImage& image, const std::vector<std::vector<std::string>>& commandLines)
{
    for (const auto& arguments : commandLines) {
        SCOPED_TRACE(joined(arguments) + std::to_string(image.size()) + " bytes");
        const auto [outcome, after] = runOn(image, arguments);
        expectOneLineReason(outcome);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(differingOffsets(image.bytes(), after), std::vector<std::size_t>{});
    }
}

// `command` followed by each of `lastArguments`, then the image's path.
void expectRefused(const TestImage& image, const std::vector<std::string>& command,
                   const std::vector<std::string>& lastArguments)
{
    std::vector<std::vector<std::string>> commandLines;
    for (const std::string& last : lastArguments) {
        commandLines.push_back(command);
        commandLines.back().push_back(last);
    }
    expectRefused(image, commandLines);
}

// `arguments` then the image's path end with `status`, print `out` first, and
// leave the file equal to `expected`, byte for byte and in length.
void expectRun(const TestImage& image, const std::vector<std::string>& arguments, const TestImage& expected,
               const std::string& out, int status = 0, const std::vector<std::string>& locale = {"LC_ALL=C"})
{
    SCOPED_TRACE(joined(arguments) + locale.front());
    const auto [outcome, after] = runOn(image, arguments, locale);
    EXPECT_EQ(outcome.status, status);
    EXPECT_EQ(outcome.err, "");
    EXPECT_TRUE(outcome.out.starts_with(out)) << outcome.out;
    EXPECT_EQ(differingOffsets(expected.bytes(), after), std::vector<std::size_t>{});
}

QJsonObject jsonOf(const std::string& text)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text;
    return document.object();
}

TestImage withoutClockKey()
{
    return standardImage().put(Standard::kClockKey, std::vector<std::uint8_t>{0, 0}).checksumTo(0);
}

// Clocks 333.34 and 125.5 Mhz; the version text starts with NUL, CR, the euro
// sign, the five undefined Windows-1252 bytes, Ÿ, LF.
TestImage oddImage()
{
    const std::vector<std::uint8_t> bytes{0x00, 0x0D, 0x80, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x9F, 0x0A, 'z'};
    return standardImage()
        .clockKey(Standard::kClockKey, 16667, 12550)
        .put(Standard::kVersion + 7, bytes)
        .checksumTo(0);
}

TEST(CliInfo, JsonHoldsEveryKeyWithWhatTheScanProduced)
{
    const struct {
        const char* name;
        std::optional<TestImage> image;  // none: no such file
        const char* expected;            // the first case names every key
    } cases[] = {
        {"accepted", standardImage(),
         R"({"status": "accepted", "message": null, "fileTitle": "image.rom", "fileSize": "65536 Octets",
             "headerText": "Vardane test header                             \r\n",
             "versionText": "NV15 BIOS 3.15.01.08.00 (test)\u0000\u0000\u0000\u0000\u0000",
             "chipKey": "1052", "gpuName": "GeForce2 Ultra", "sbaState": "NON", "memClockText": "366 Mhz",
             "coreClockText": "143 Mhz", "headerlengh": 175, "SBAVrt": 2048, "Octclef": 3744,
             "memClockWord": 18300, "coreClockWord": 14300, "checksum": {"sum": 0, "valid": true}})"},
        {"accepted with an invalid checksum and no PCIR",
         standardImage().put(Standard::kPcir, std::vector<std::uint8_t>{0, 0, 0, 0}).checksumTo(0x37),
         R"({"status": "accepted", "chipKey": "", "gpuName": "", "checksum": {"sum": 55, "valid": false}})"},
        {"accepted at the smallest size, too short for the checksum", standardImage(46127),
         R"({"status": "accepted", "fileSize": "46127 Octets", "checksum": null})"},
        {"accepted at the largest size", standardImage(132000),
         R"({"status": "accepted", "fileSize": "132000 Octets", "checksum": {"sum": 0, "valid": true}})"},
        {"failed without r7, fields up to the SideBand byte", withoutClockKey(),
         R"({"status": "failed", "message": "Erreur lors de l'ouverture du fichier",
             "fileSize": "65536 Octets", "chipKey": "1052", "gpuName": "GeForce2 Ultra", "sbaState": "NON",
             "SBAVrt": 2048, "headerlengh": 175, "Octclef": null, "memClockText": "", "coreClockText": "",
             "memClockWord": null, "coreClockWord": null, "checksum": {"sum": 0, "valid": true}})"},
        {"failed at a Version too close to the start",
         TestImage(65536).version(80).put(87, "early").clockKey(Standard::kClockKey, 18300, 14300),
         R"({"status": "failed", "message": "Erreur lors de l'ouverture du fichier", "headerText": "",
             "versionText": "early\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000\u0000",
             "headerlengh": null, "chipKey": "", "sbaState": "", "SBAVrt": null, "Octclef": null})"},
        {"rejected one byte below the window", standardImage(46126),
         R"({"status": "rejected", "message": "Ce fichier n'est pas un BIOS de GeForce ...",
             "fileTitle": "image.rom", "fileSize": "", "headerText": "", "sbaState": "", "headerlengh": null,
             "checksum": null})"},
        {"rejected one byte above the window", standardImage(132001),
         R"({"status": "rejected", "message": "Ce fichier n'est pas un BIOS de GeForce ...", "fileSize": "",
             "Octclef": null, "checksum": null})"},
        {"unreadable", std::nullopt,
         R"({"status": "unreadable", "message": "Erreur lors de l'ouverture du fichier",
             "fileTitle": "image.rom", "fileSize": "", "headerText": "", "sbaState": "", "memClockWord": null,
             "checksum": null})"},
    };
    const QStringList keys = jsonOf(cases[0].expected).keys();
    ASSERT_EQ(keys.size(), 17);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempFolder folder;
        const std::filesystem::path path = folder.path() / "image.rom";
        if (c.image) {
            writeAll(path, c.image->bytes());
        }
        const Outcome outcome = runCli({"info", "--json", path.string()});
        const QJsonObject json = jsonOf(outcome.out);
        EXPECT_EQ(json.keys(), keys);
        const QJsonObject expected = jsonOf(c.expected);
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            EXPECT_EQ(json.value(it.key()), it.value()) << it.key().toStdString();
        }
        if (expected.value("status") == "accepted") {
            EXPECT_EQ(outcome.status, 0);
            EXPECT_EQ(outcome.err, "");
        } else {
            expectOneLineReason(outcome);
            EXPECT_NE(outcome.err.find(json.value("message").toString().toStdString()), std::string::npos);
        }
        EXPECT_EQ(std::filesystem::exists(path), c.image.has_value());
        if (c.image) {
            EXPECT_EQ(differingOffsets(c.image->bytes(), readAll(path)), std::vector<std::size_t>{});
        }
    }
}

// LC_ALL, then LC_NUMERIC, then LANG, whether or not the French locale is
// installed on the machine.
TEST(CliInfo, DecimalSeparatorFollowsTheUsersLocale)
{
    const struct {
        std::vector<std::string> locale;
        std::string separator;
    } cases[] = {
        {{"LC_ALL=fr_FR.UTF-8"}, ","},
        {{"LC_ALL=C"}, "."},
        {{"LC_NUMERIC=fr_FR.UTF-8", "LANG=C"}, ","},
        {{"LANG=fr_FR.UTF-8"}, ","},
        {{"LC_ALL=C", "LC_NUMERIC=fr_FR.UTF-8", "LANG=fr_FR.UTF-8"}, "."},
        {{"LC_NUMERIC=C", "LANG=fr_FR.UTF-8"}, "."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(joined(c.locale));
        const Outcome outcome = runOn(oddImage(), {"info", "--json"}, c.locale).first;
        EXPECT_EQ(outcome.status, 0);
        const QJsonObject json = jsonOf(outcome.out);
        EXPECT_EQ(json.value("memClockText").toString().toStdString(), "333" + c.separator + "34 Mhz");
        EXPECT_EQ(json.value("coreClockText").toString().toStdString(), "125" + c.separator + "5 Mhz");
    }
}

TEST(CliInfo, ControlBytesAreEscapedInJsonAndMaskedInRows)
{
    const Outcome json = runOn(oddImage(), {"info", "--json"}).first;
    EXPECT_EQ(json.out.find('\0'), std::string::npos);
    EXPECT_EQ(json.out.find('\r'), std::string::npos);
    EXPECT_NE(json.out.find("\\u0000"), std::string::npos);
    const QString version = jsonOf(json.out).value("versionText").toString();
    EXPECT_EQ(version.size(), 35);
    EXPECT_EQ(version.left(11), QString::fromUtf16(u"\0\r\u20AC\x81\x8D\x8F\x90\x9D\u0178\nz", 11));

    const Outcome rows = runOn(oddImage(), {"info"}, {"LC_ALL=fr_FR.UTF-8"}).first;
    EXPECT_EQ(rows.status, 0);
    EXPECT_EQ(rows.out,
              "Nom du fichier : image.rom\n"
              "Taille du fichier : 65536 Octets\n"
              "Entête du BIOS : Vardane test header                             ??\n"
              "Version du BIOS : ??€?????Ÿ?z.15.01.08.00 (test)?????\n"
              "Type de GPU : GeForce2 Ultra\n"
              "SideBand Adressing Activé : NON\n"
              "Frequence Mémoire (DDR) : 333,34 Mhz\n"
              "Frequence Core : 125,5 Mhz\n"
              "CheckSum : Valide\n");
}

TEST(CliChecksum, VerifyReportsTheSumAndNeverWrites)
{
    const TestImage valid = standardImage();
    const TestImage sum55 = standardImage().checksumTo(0x37);
    const TestImage sum255 = standardImage().checksumTo(0xFF);
    expectRun(valid, {"verify"}, valid, "Somme : 0 (0x00)\nCheckSum : Valide\n");
    expectRun(sum55, {"verify"}, sum55, "Somme : 55 (0x37)\nCheckSum : Non Valide\n", 1);
    expectRun(sum255, {"verify"}, sum255, "Somme : 255 (0xFF)\nCheckSum : Non Valide\n", 1);
}

TEST(CliChecksum, FixRewritesOnlyTheByteThatZeroesTheSum)
{
    // A region adding up to 0x37 whose last byte is 0x12 needs 0xDB there.
    TestImage image = standardImage().put(0xBBFF, std::uint8_t{0x12}).put(0xBBFE, std::uint8_t{0});
    const unsigned sum = std::accumulate(image.bytes().begin(), image.bytes().begin() + 0xBC00, 0U);
    image.put(0xBBFE, static_cast<std::uint8_t>(0x37 - sum));
    TestImage fixed = image;
    expectRun(image, {"fix"}, fixed.put(0xBBFF, std::uint8_t{0xDB}),
              "Octet écrit en 0xBBFF : 0xDB, au lieu de 0x12\nCheckSum : Valide\n");
    expectRun(fixed, {"fix"}, fixed, "Rien à écrire : la somme est déjà 0\nCheckSum : Valide\n");
}

TEST(CliChecksum, RefusesFilesWithoutTheWholeRegionInsideTheWindow)
{
    for (const std::size_t size : {47000, 0xBBFF, 46126, 132001}) {
        expectRefused(TestImage(size, 0x5A), {{"verify"}, {"fix"}});
    }
}

// The word lands low byte first at Octclef - 26 (memory) or - 70 (core); the
// message tells the clock read back from it (333.33 -> word 16666 -> 333.32).
TEST(CliClock, WritesOnlyTheTwoBytesOfTheWordAtBothEndsOfEachRange)
{
    const struct {
        std::vector<std::string> arguments;
        std::uint16_t word;
        const char* shown;
    } cases[] = {
        {{"set-mem", "200"}, 10000, "200"},         {{"set-mem", "600"}, 30000, "600"},
        {{"set-mem", "--ouf", "100"}, 5000, "100"}, {{"set-mem", "1000", "--ouf"}, 50000, "1000"},
        {{"set-mem", "333.5"}, 16675, "333.5"},     {{"set-mem", "333.33"}, 16666, "333.32"},
        {{"set-core", "75"}, 7500, "75"},           {{"set-core", "350"}, 35000, "350"},
        {{"set-core", "--ouf", "20"}, 2000, "20"},  {{"set-core", "--ouf", "450"}, 45000, "450"},
        {{"set-core", "125.5"}, 12550, "125.5"},
    };
    const auto message = [](const std::string& command, const std::string& shown) {
        return "La frequence " + std::string(command == "set-mem" ? "Mémoire" : "du GPU") +
               " est maintenant portée à " + shown + " Mhz (DDR)\n";
    };
    for (const auto& c : cases) {
        const std::int64_t offset = Standard::kClockKey - (c.arguments[0] == "set-mem" ? 26 : 70);
        expectRun(standardImage(), c.arguments, standardImage().putWord(offset, c.word),
                  message(c.arguments[0], c.shown));
    }
    expectRun(standardImage(), {"set-mem", "333.33"},
              standardImage().putWord(Standard::kClockKey - 26, 16666), message("set-mem", "333,32"), 0,
              {"LC_ALL=fr_FR.UTF-8"});
}

TEST(CliClock, RefusesFiguresOutsideTheRangeMalformedOrWithoutR7)
{
    const TestImage image = standardImage();
    expectRefused(image, {"set-mem"}, {"199", "601", "199.99", "600.01"});
    expectRefused(image, {"set-mem", "--ouf"}, {"99", "1001"});
    expectRefused(image, {"set-core"}, {"74", "351"});
    expectRefused(image, {"set-core", "--ouf"}, {"19", "451"});
    // Most of these a lenient reading would take for a figure in range.
    expectRefused(image, {"set-mem"},
                  {"", "+460", "4e2", "nan", "460,5", " 460", "460 ", "460.", "0x1F4", "4.6.0",
                   "\xd9\xa4\xd9\xa6\xd9\xa0"});
    expectRefused(image, {{"set-core", "--turbo", "143"}});
    expectRefused(withoutClockKey(), {{"set-mem", "300"}, {"set-core", "300"}});
    expectRefused(standardImage(46126), {{"set-mem", "300"}});
    expectRefused(standardImage(132001), {{"set-core", "300"}});
    const TempFolder folder;
    expectOneLineReason(runCli({"set-mem", "300", (folder.path() / "missing.rom").string()}));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

TEST(CliSba, WritesTheOtherValueOrNothing)
{
    const TestImage off = standardImage();
    const TestImage on = standardImage().put(Standard::kSba, std::uint8_t{0xFB});
    expectRun(off, {"sba", "on"}, on,
              "Le SideBand Adressing a bien été activé dans le BIOS. Pensez a revalidez le Checksum...\n");
    expectRun(on, {"sba", "off"}, off,
              "Le SideBand Adressing a bien été désactivé dans le BIOS. Pensez a revalidez le Checksum...\n");
    expectRun(off, {"sba", "off"}, off, "Le SideBand Adressing est déjà désactivé : rien n'a été écrit\n");
    expectRun(on, {"sba", "on"}, on, "Le SideBand Adressing est déjà activé : rien n'a été écrit\n");
    // An image whose open fails for want of "r7" still takes the change.
    expectRun(withoutClockKey(), {"sba", "on"}, withoutClockKey().put(Standard::kSba, std::uint8_t{0xFB}),
              "Le SideBand Adressing a bien été activé");
}

TEST(CliSba, RefusesAnUndecidedStateAnUnknownRequestOrNoScan)
{
    expectRefused(standardImage().put(Standard::kSba, std::uint8_t{0}), {{"sba", "on"}, {"sba", "off"}});
    expectRefused(standardImage(), {{"sba", "ON"}, {"sba", "1"}});
    expectRefused(standardImage(46126), {{"sba", "on"}});
    // A scan stopped at a Version too close to the start vouches for no anchor.
    expectRefused(standardImage().version(80), {{"sba", "on"}, {"header", "ABC"}});
}

TEST(CliHeader, WritesExactlyTheFieldPaddedWithSpaces)
{
    const auto field = [](TestImage image, std::string bytes) {
        bytes.resize(Standard::kHeaderWidth, ' ');
        return image.put(Standard::kHeader, bytes);
    };
    const std::string written = "Entête écrite : 48 octets\n";
    expectRun(standardImage(), {"header", "ABC"}, field(standardImage(), "ABC"), written);
    expectRun(standardImage(), {"header", ""}, field(standardImage(), ""), written);
    expectRun(standardImage(), {"header", "é€Ÿ"}, field(standardImage(), "\xE9\x80\x9F"), written);
    expectRun(standardImage(), {"header", std::string(48, 'x')}, field(standardImage(), std::string(48, 'x')),
              written);
    // An image whose open fails for want of "r7" still takes the change.
    expectRun(withoutClockKey(), {"header", "ABC"}, field(withoutClockKey(), "ABC"), written);
}

TEST(CliHeader, RefusesTextsOrImagesWithoutAUsableField)
{
    expectRefused(standardImage(), {"header"},
                  {std::string(49, 'x'), "BIOS 日本", "\xce\xa9", "a\tb", "a\rb", "a\nb", "a\u0085b"});
    const std::int64_t end = Standard::kHeader + static_cast<std::int64_t>(Standard::kHeaderWidth);
    for (const TestImage& image : {standardImage().put(Standard::kVersion, "version"),  // no Version
                                   standardImage().put(end, std::uint8_t{' '}),  // no CR in the 51 bytes
                                   standardImage().put(Standard::kHeader, std::uint8_t{0x0D}),  // width 0
                                   standardImage(132001)}) {
        expectRefused(image, {{"header", "ABC"}});
    }
}

TEST(CliProgram, AnswersHelpAndVersion)
{
    const Outcome version = runCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "vardane-cli 0.23\n");
    for (const std::vector<std::string>& help :
         {std::vector<std::string>{"--help"}, {"-h"}, {"set-mem", "--help"}}) {
        const Outcome outcome = runCli(help);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_NE(outcome.out.find("vardane-cli set-mem [--ouf] MHZ IMAGE"), std::string::npos);
        EXPECT_EQ(outcome.err, "");
    }
}

TEST(CliProgram, RefusesCommandLinesItDoesNotKnow)
{
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{}, {"info"}, {"verify"}}) {
        const Outcome outcome = runCli(arguments);
        expectOneLineReason(outcome);
        EXPECT_EQ(outcome.out, "");
    }
    const std::vector<std::vector<std::string>> unknown{
        {"frobnicate"},   {"INFO"}, {"--json", "info"}, {"info", "--verbose"}, {"info", "extra"},
        {"fix", "extra"}, {"sba"},  {"header"}};
    expectRefused(standardImage(), unknown);
    // The reason names the option as written, in French, not in Qt's English.
    EXPECT_EQ(runCli({"--json", "info", "image.rom"}).err,
              "vardane-cli : la commande vient avant ses options : --json\n");
    EXPECT_EQ(runCli({"--version=3"}).err, "vardane-cli : arguments incorrects (vardane-cli --help)\n");
}

}  // namespace
}  // namespace vardane::test
