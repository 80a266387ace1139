// Runs the built vardane-cli as a process, the way a user's script does, and
// checks what it prints, its exit status and every byte of the image.
#include "test_image.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace vardane::test {
namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

bool isLocaleVariable(std::string_view entry)
{
    return entry.starts_with("LC_") || entry.starts_with("LANG=") || entry.starts_with("LANGUAGE=");
}

// The parent's environment without its locale, then `locale`: each run
// chooses its own, whatever the machine that runs the tests is set to.
std::vector<std::string> environmentWith(const std::vector<std::string>& locale)
{
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (!isLocaleVariable(*entry)) {
            entries.emplace_back(*entry);
        }
    }
    entries.insert(entries.end(), locale.begin(), locale.end());
    return entries;
}

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

// The child writes into files rather than pipes, so that neither side can
// block on a full pipe whatever the amount printed.
Outcome runCli(std::vector<std::string> arguments, const std::vector<std::string>& locale = {"LC_ALL=C"})
{
    arguments.insert(arguments.begin(), VARDANE_CLI);
    std::vector<std::string> environment = environmentWith(locale);
    std::vector<char*> argv = pointersTo(arguments);
    std::vector<char*> envp = pointersTo(environment);
    const TempFolder folder;
    const std::string outPath = (folder.path() / "out").string();
    const std::string errPath = (folder.path() / "err").string();

    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || dup2(out, STDOUT_FILENO) < 0 || dup2(err, STDERR_FILENO) < 0) {
            _exit(126);
        }
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    Outcome outcome;
    int waitStatus = 0;
    if (child < 0 || waitpid(child, &waitStatus, 0) != child || !WIFEXITED(waitStatus)) {
        ADD_FAILURE() << "vardane-cli did not run to its end";
        return outcome;
    }
    outcome.status = WEXITSTATUS(waitStatus);
    outcome.out = readText(outPath);
    outcome.err = readText(errPath);
    return outcome;
}

QJsonObject jsonOf(const Outcome& outcome)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(outcome.out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << outcome.out;
    EXPECT_TRUE(document.isObject());
    return document.object();
}

void expectOneLineReason(const Outcome& outcome)
{
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    EXPECT_TRUE(outcome.err.ends_with('\n')) << outcome.err;
}

QString utf16(std::initializer_list<char16_t> characters)
{
    QString text;
    for (const char16_t c : characters) {
        text += QChar(c);
    }
    return text;
}

QJsonValue integer(std::int64_t value)
{
    return QJsonValue(static_cast<qint64>(value));
}

TestImage withoutClockKey()
{
    return standardImage().put(Standard::kClockKey, std::vector<std::uint8_t>{0, 0}).checksumTo(0);
}

constexpr std::int64_t kMemWordOffset = Standard::kClockKey - 26;
constexpr std::int64_t kCoreWordOffset = Standard::kClockKey - 70;

// ---------------------------------------------------------------- info --json

const QStringList kInfoKeys{"status",        "message",     "fileTitle", "fileSize", "headerText",
                            "versionText",   "chipKey",     "gpuName",   "sbaState", "memClockText",
                            "coreClockText", "headerlengh", "SBAVrt",    "Octclef",  "memClockWord",
                            "coreClockWord", "checksum"};

struct InfoCase {
    const char* name;
    TestImage image;
    QJsonObject expected;  // the keys this case is about
    int status;
};

std::vector<InfoCase> infoCases()
{
    const QJsonValue null(QJsonValue::Null);
    const QString openFailed = "Erreur lors de l'ouverture du fichier";
    const QString notAnImage = "Ce fichier n'est pas un BIOS de GeForce ...";
    std::string header = "Vardane test header";
    header.resize(Standard::kHeaderWidth, ' ');
    return {
        {"accepted",
         standardImage(),
         {{"status", "accepted"},
          {"message", null},
          {"fileTitle", "image.rom"},
          {"fileSize", "65536 Octets"},
          {"headerText", QString::fromStdString(header + "\r\n")},
          {"versionText", QString("NV15 BIOS 3.15.01.08.00 (test)") + QString(5, QChar(0))},
          {"chipKey", "1052"},
          {"gpuName", "GeForce2 Ultra"},
          {"sbaState", "NON"},
          {"memClockText", "366 Mhz"},
          {"coreClockText", "143 Mhz"},
          {"headerlengh", integer(Standard::kHeader)},
          {"SBAVrt", integer(Standard::kSba)},
          {"Octclef", integer(Standard::kClockKey)},
          {"memClockWord", integer(Standard::kMemWord)},
          {"coreClockWord", integer(Standard::kCoreWord)},
          {"checksum", QJsonObject{{"sum", 0}, {"valid", true}}}},
         0},
        {"accepted with an invalid checksum and no PCIR",
         standardImage().put(Standard::kPcir, std::vector<std::uint8_t>{0, 0, 0, 0}).checksumTo(0x37),
         {{"status", "accepted"},
          {"chipKey", ""},
          {"gpuName", ""},
          {"checksum", QJsonObject{{"sum", 0x37}, {"valid", false}}}},
         0},
        {"accepted at the smallest size, too short for the checksum",
         standardImage(46127),
         {{"status", "accepted"}, {"fileSize", "46127 Octets"}, {"checksum", null}},
         0},
        {"accepted at the largest size",
         standardImage(132000),
         {{"status", "accepted"},
          {"fileSize", "132000 Octets"},
          {"checksum", QJsonObject{{"sum", 0}, {"valid", true}}}},
         0},
        {"failed without r7, fields up to the SideBand byte",
         withoutClockKey(),
         {{"status", "failed"},
          {"message", openFailed},
          {"fileSize", "65536 Octets"},
          {"chipKey", "1052"},
          {"gpuName", "GeForce2 Ultra"},
          {"sbaState", "NON"},
          {"SBAVrt", integer(Standard::kSba)},
          {"headerlengh", integer(Standard::kHeader)},
          {"Octclef", null},
          {"memClockText", ""},
          {"coreClockText", ""},
          {"memClockWord", null},
          {"coreClockWord", null},
          {"checksum", QJsonObject{{"sum", 0}, {"valid", true}}}},
         2},
        {"failed at a Version too close to the start",
         TestImage(65536).version(80).put(87, "early").clockKey(Standard::kClockKey, 18300, 14300),
         {{"status", "failed"},
          {"message", openFailed},
          {"versionText", QString("early") + QString(30, QChar(0))},
          {"headerText", ""},
          {"headerlengh", null},
          {"chipKey", ""},
          {"sbaState", ""},
          {"SBAVrt", null},
          {"Octclef", null}},
         2},
        {"rejected one byte below the window",
         standardImage(46126),
         {{"status", "rejected"},
          {"message", notAnImage},
          {"fileTitle", "image.rom"},
          {"fileSize", ""},
          {"headerText", ""},
          {"sbaState", ""},
          {"headerlengh", null},
          {"checksum", null}},
         2},
        {"rejected one byte above the window",
         standardImage(132001),
         {{"status", "rejected"},
          {"message", notAnImage},
          {"fileSize", ""},
          {"Octclef", null},
          {"checksum", null}},
         2},
    };
}

TEST(CliInfo, JsonHoldsEveryKeyWithWhatTheScanProduced)
{
    for (const InfoCase& c : infoCases()) {
        SCOPED_TRACE(c.name);
        const TempFile file(c.image);
        const auto before = file.contents();
        const Outcome outcome = runCli({"info", "--json", file.path().string()});
        EXPECT_EQ(outcome.status, c.status);
        const QJsonObject json = jsonOf(outcome);
        QStringList keys = json.keys();
        QStringList expectedKeys = kInfoKeys;
        keys.sort();
        expectedKeys.sort();
        EXPECT_EQ(keys, expectedKeys);
        for (auto it = c.expected.begin(); it != c.expected.end(); ++it) {
            EXPECT_EQ(json.value(it.key()), it.value()) << it.key().toStdString();
        }
        if (c.status == 0) {
            EXPECT_EQ(outcome.err, "");
        } else {
            expectOneLineReason(outcome);
            EXPECT_NE(outcome.err.find(json.value("message").toString().toStdString()), std::string::npos);
        }
        EXPECT_EQ(file.contents(), before);
    }
}

TEST(CliInfo, MissingFileIsUnreadable)
{
    const TempFolder folder;
    const Outcome outcome = runCli({"info", "--json", (folder.path() / "missing.rom").string()});
    expectOneLineReason(outcome);
    const QJsonObject json = jsonOf(outcome);
    EXPECT_EQ(json.value("status"), "unreadable");
    EXPECT_EQ(json.value("message"), "Erreur lors de l'ouverture du fichier");
    EXPECT_EQ(json.value("fileTitle"), "missing.rom");
    EXPECT_EQ(json.value("fileSize"), "");
    EXPECT_TRUE(json.value("checksum").isNull());
    EXPECT_TRUE(json.value("memClockWord").isNull());
}

// Clock texts follow LC_ALL, then LC_NUMERIC, then LANG, whether or not the
// French locale is installed on the machine.
TEST(CliInfo, DecimalSeparatorFollowsTheUsersLocale)
{
    const struct {
        std::vector<std::string> locale;
        const char* memClockText;
        const char* coreClockText;
    } cases[] = {
        {{"LC_ALL=fr_FR.UTF-8"}, "333,34 Mhz", "125,5 Mhz"},
        {{"LC_ALL=C"}, "333.34 Mhz", "125.5 Mhz"},
        {{"LC_NUMERIC=fr_FR.UTF-8", "LANG=C"}, "333,34 Mhz", "125,5 Mhz"},
        {{"LANG=fr_FR.UTF-8"}, "333,34 Mhz", "125,5 Mhz"},
        {{"LC_ALL=C", "LC_NUMERIC=fr_FR.UTF-8", "LANG=fr_FR.UTF-8"}, "333.34 Mhz", "125.5 Mhz"},
        {{"LC_NUMERIC=C", "LANG=fr_FR.UTF-8"}, "333.34 Mhz", "125.5 Mhz"},
    };
    const TempFile file(standardImage().clockKey(Standard::kClockKey, 16667, 12550));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale.front());
        const Outcome json = runCli({"info", "--json", file.path().string()}, c.locale);
        EXPECT_EQ(json.status, 0);
        EXPECT_EQ(json.err, "");
        EXPECT_EQ(jsonOf(json).value("memClockText"), c.memClockText);
        EXPECT_EQ(jsonOf(json).value("coreClockText"), c.coreClockText);
        const Outcome rows = runCli({"info", file.path().string()}, c.locale);
        EXPECT_NE(rows.out.find(std::string("Frequence Mémoire (DDR) : ") + c.memClockText + "\n"),
                  std::string::npos);
        EXPECT_NE(rows.out.find(std::string("Frequence Core : ") + c.coreClockText + "\n"),
                  std::string::npos);
    }
}

// The version text holds NUL, CR, LF, the euro sign and C1 controls: JSON
// carries them all back exactly, the rows show each control as "?".
TEST(CliInfo, ControlBytesAreDecodedEscapedAndMasked)
{
    const std::vector<std::uint8_t> bytes{0x00, 0x0D, 0x80, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x9F, 0x0A, 'z'};
    const TempFile file(standardImage().put(Standard::kVersion + 7, bytes));

    const Outcome json = runCli({"info", "--json", file.path().string()});
    EXPECT_EQ(json.status, 0);
    EXPECT_EQ(json.out.find('\0'), std::string::npos);
    EXPECT_EQ(json.out.find('\r'), std::string::npos);
    EXPECT_NE(json.out.find("\\u0000"), std::string::npos);
    const QString version = jsonOf(json).value("versionText").toString();
    EXPECT_EQ(version.size(), 35);
    EXPECT_EQ(version.left(11),
              utf16({0x0000, 0x000D, 0x20AC, 0x0081, 0x008D, 0x008F, 0x0090, 0x009D, 0x0178, 0x000A, u'z'}));

    const Outcome rows = runCli({"info", file.path().string()});
    EXPECT_EQ(rows.status, 0);
    EXPECT_EQ(std::count(rows.out.begin(), rows.out.end(), '\n'), 9) << rows.out;
    EXPECT_NE(rows.out.find("Version du BIOS : ??€?????Ÿ?z.15.01"), std::string::npos) << rows.out;
    // The header's own CR LF after the field.
    EXPECT_NE(rows.out.find("Entête du BIOS : Vardane test header"), std::string::npos);
    EXPECT_NE(rows.out.find("??\nVersion du BIOS"), std::string::npos);
}

TEST(CliInfo, RowsCarryTheWindowsCaptions)
{
    const TempFile file(standardImage());
    const Outcome outcome = runCli({"info", file.path().string()});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out,
              "Nom du fichier : image.rom\n"
              "Taille du fichier : 65536 Octets\n"
              "Entête du BIOS : Vardane test header                             ??\n"
              "Version du BIOS : NV15 BIOS 3.15.01.08.00 (test)?????\n"
              "Type de GPU : GeForce2 Ultra\n"
              "SideBand Adressing Activé : NON\n"
              "Frequence Mémoire (DDR) : 366 Mhz\n"
              "Frequence Core : 143 Mhz\n"
              "CheckSum : Valide\n");
}

// ---------------------------------------------------------------- verify, fix

TEST(CliChecksum, VerifyReportsTheSumAndNeverWrites)
{
    const struct {
        std::uint8_t sum;
        const char* sumLine;
        const char* stateLine;
        int status;
    } cases[] = {
        {0x00, "Somme : 0 (0x00)\n", "CheckSum : Valide\n", 0},
        {0x37, "Somme : 55 (0x37)\n", "CheckSum : Non Valide\n", 1},
        {0xFF, "Somme : 255 (0xFF)\n", "CheckSum : Non Valide\n", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int{c.sum});
        const TempFile file(standardImage().checksumTo(c.sum));
        const auto before = file.contents();
        const Outcome outcome = runCli({"verify", file.path().string()});
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(outcome.out, std::string(c.sumLine) + c.stateLine);
        EXPECT_EQ(outcome.err, "");
        EXPECT_EQ(file.contents(), before);
    }
}

TEST(CliChecksum, FixRewritesOnlyTheLastByteOfTheRegion)
{
    const TempFile file(standardImage().checksumTo(0x37));
    const auto before = file.contents();
    const Outcome found = runCli({"verify", file.path().string()});
    ASSERT_EQ(found.status, 1);

    const Outcome fixed = runCli({"fix", file.path().string()});
    EXPECT_EQ(fixed.status, 0);
    EXPECT_EQ(fixed.err, "");
    const auto after = file.contents();
    EXPECT_EQ(differingOffsets(before, after), std::vector<std::size_t>{0xBBFF});
    EXPECT_NE(fixed.out.find("CheckSum : Valide\n"), std::string::npos);
    EXPECT_EQ(runCli({"verify", file.path().string()}).status, 0);

    const Outcome again = runCli({"fix", file.path().string()});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(file.contents(), after);
}

TEST(CliChecksum, FixWritesTheByteThatZeroesTheSum)
{
    // A region summing to 0x37 whose last byte is 0x12 needs 0xDB there.
    TestImage image = standardImage();
    image.put(0xBBFF, std::uint8_t{0x12}).put(0xBBFE, std::uint8_t{0});
    const unsigned sum = std::accumulate(image.bytes().begin(), image.bytes().begin() + 0xBC00, 0U);
    image.put(0xBBFE, static_cast<std::uint8_t>(0x37 - sum));
    const TempFile file(image);
    ASSERT_EQ(runCli({"verify", file.path().string()}).out, "Somme : 55 (0x37)\nCheckSum : Non Valide\n");
    const Outcome fixed = runCli({"fix", file.path().string()});
    EXPECT_EQ(fixed.out, "Octet écrit en 0xBBFF : 0xDB, au lieu de 0x12\nCheckSum : Valide\n");
    EXPECT_EQ(file.contents()[0xBBFF], 0xDB);
}

TEST(CliChecksum, BothRefuseFilesWithoutAWholeRegion)
{
    const struct {
        const char* name;
        std::size_t size;
    } cases[] = {
        {"inside the window but shorter than the region", 47000},
        {"just short of the region", 0xBBFF},
        {"below the window", 46126},
        {"above the window", 132001},
    };
    for (const auto& c : cases) {
        for (const char* command : {"verify", "fix"}) {
            SCOPED_TRACE(std::string(c.name) + " / " + command);
            const TempFile file(TestImage(c.size, 0x5A));
            const auto before = file.contents();
            const Outcome outcome = runCli({command, file.path().string()});
            expectOneLineReason(outcome);
            EXPECT_EQ(outcome.out, "");
            EXPECT_EQ(file.contents(), before);
        }
    }
}

// ---------------------------------------------------------------- set-mem, set-core

TEST(CliClock, WritesTheTwoBytesOfTheWordAtBothEndsOfEachRange)
{
    const struct {
        std::vector<std::string> arguments;
        std::int64_t offset;
        std::uint16_t word;
        const char* shown;
    } cases[] = {
        {{"set-mem", "200"}, kMemWordOffset, 10000, "200"},
        {{"set-mem", "600"}, kMemWordOffset, 30000, "600"},
        {{"set-mem", "--ouf", "100"}, kMemWordOffset, 5000, "100"},
        {{"set-mem", "1000", "--ouf"}, kMemWordOffset, 50000, "1000"},
        {{"set-mem", "333.5"}, kMemWordOffset, 16675, "333.5"},
        {{"set-mem", "333.33"}, kMemWordOffset, 16666, "333.32"},
        {{"set-core", "75"}, kCoreWordOffset, 7500, "75"},
        {{"set-core", "350"}, kCoreWordOffset, 35000, "350"},
        {{"set-core", "--ouf", "20"}, kCoreWordOffset, 2000, "20"},
        {{"set-core", "--ouf", "450"}, kCoreWordOffset, 45000, "450"},
        {{"set-core", "125.5"}, kCoreWordOffset, 12550, "125.5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments[0] + " " + c.arguments[1]);
        const TempFile file(standardImage());
        const auto before = file.contents();
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back(file.path().string());
        const Outcome outcome = runCli(arguments);
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.err, "");
        const std::string message = c.arguments[0] == "set-mem"
                                        ? "La frequence Mémoire est maintenant portée à "
                                        : "La frequence du GPU est maintenant portée à ";
        EXPECT_TRUE(outcome.out.starts_with(message + c.shown + " Mhz (DDR)\n")) << outcome.out;

        // Every word of the table differs from the image's in both bytes.
        const auto low = static_cast<std::size_t>(c.offset);
        const auto after = file.contents();
        EXPECT_EQ(differingOffsets(before, after), (std::vector<std::size_t>{low, low + 1}));
        EXPECT_EQ(after[low], c.word & 0xFF);
        EXPECT_EQ(after[low + 1], c.word >> 8);
    }
}

// 333.33 gives the memory word 16666 (half to even), 166.66 MHz, shown as the
// DDR rate 333.32 rather than the typed figure: the message tells the clock
// the card will really run at.
TEST(CliClock, MessageUsesTheLocalesSeparator)
{
    const TempFile file(standardImage());
    const Outcome outcome = runCli({"set-mem", "333.33", file.path().string()}, {"LC_ALL=fr_FR.UTF-8"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_TRUE(outcome.out.starts_with("La frequence Mémoire est maintenant portée à 333,32 Mhz (DDR)\n"))
        << outcome.out;
}

TEST(CliClock, RefusesValuesOutsideTheRangeOrNotStrictlyDecimal)
{
    const std::vector<std::vector<std::string>> cases{
        {"set-mem", "199"},
        {"set-mem", "601"},
        {"set-mem", "199.99"},
        {"set-mem", "600.01"},
        {"set-mem", "--ouf", "99"},
        {"set-mem", "--ouf", "1001"},
        {"set-core", "74"},
        {"set-core", "351"},
        {"set-core", "--ouf", "19"},
        {"set-core", "--ouf", "451"},
        {"set-mem", ""},
        {"set-mem", "abc"},
        {"set-mem", "+460"},
        {"set-mem", "-460"},
        {"set-mem", "--", "-460"},
        {"set-mem", "4e2"},
        {"set-mem", "NaN"},
        {"set-mem", "nan"},
        {"set-mem", "inf"},
        {"set-mem", "460,5"},
        {"set-mem", " 460"},
        {"set-mem", "460 "},
        {"set-mem", "0x1F4"},
        {"set-mem", "4.6.0"},
        {"set-mem", ".5"},
        {"set-mem", "460."},
        {"set-mem", "\xd9\xa4\xd9\xa6\xd9\xa0"},  // Arabic-Indic digits 460
        {"set-core", "--turbo", "143"},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(arguments[0] + " [" + arguments[1] + "]");
        const TempFile file(standardImage());
        const auto before = file.contents();
        std::vector<std::string> withImage = arguments;
        withImage.push_back(file.path().string());
        const Outcome outcome = runCli(withImage);
        expectOneLineReason(outcome);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(file.contents(), before);
    }
}

TEST(CliClock, RefusesImagesItCannotWriteACorrectWordInto)
{
    const struct {
        const char* name;
        TestImage image;
    } cases[] = {
        {"no r7", withoutClockKey()},
        {"below the size window", standardImage(46126)},
        {"above the size window", standardImage(132001)},
    };
    for (const auto& c : cases) {
        for (const char* command : {"set-mem", "set-core"}) {
            SCOPED_TRACE(std::string(c.name) + " / " + command);
            const TempFile file(c.image);
            const auto before = file.contents();
            const Outcome outcome = runCli({command, "300", file.path().string()});
            expectOneLineReason(outcome);
            EXPECT_EQ(file.contents(), before);
        }
    }
    const TempFolder folder;
    expectOneLineReason(runCli({"set-mem", "300", (folder.path() / "missing.rom").string()}));
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

// ---------------------------------------------------------------- sba

TEST(CliSba, WritesTheOtherValueOrNothing)
{
    const std::string enabled =
        "Le SideBand Adressing a bien été activé dans le BIOS. Pensez a revalidez le Checksum...\n";
    const std::string disabled =
        "Le SideBand Adressing a bien été désactivé dans le BIOS. Pensez a revalidez le Checksum...\n";
    const struct {
        const char* asked;
        std::uint8_t byteBefore;
        std::uint8_t byteAfter;
        std::string out;
    } cases[] = {
        {"on", 0x7F, 0xFB, enabled},
        {"off", 0xFB, 0x7F, disabled},
        {"off", 0x7F, 0x7F, "Le SideBand Adressing est déjà désactivé : rien n'a été écrit\n"},
        {"on", 0xFB, 0xFB, "Le SideBand Adressing est déjà activé : rien n'a été écrit\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.asked) + " from " + std::to_string(c.byteBefore));
        const TempFile file(standardImage().put(Standard::kSba, c.byteBefore));
        auto expected = file.contents();
        expected[Standard::kSba] = c.byteAfter;
        const Outcome outcome = runCli({"sba", c.asked, file.path().string()});
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.out, c.out);
        EXPECT_EQ(outcome.err, "");
        EXPECT_EQ(file.contents(), expected);
    }
}

TEST(CliSba, RefusesAnUndecidedStateOrAnUnknownRequest)
{
    const struct {
        const char* name;
        TestImage image;
        const char* asked;
    } cases[] = {
        {"no SideBand byte, on", standardImage().put(Standard::kSba, std::uint8_t{0}), "on"},
        {"no SideBand byte, off", standardImage().put(Standard::kSba, std::uint8_t{0}), "off"},
        {"upper case", standardImage(), "ON"},
        {"a number", standardImage(), "1"},
        {"scan stopped at a Version too close to the start", standardImage().version(80), "on"},
        {"not an image", standardImage(46126), "on"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempFile file(c.image);
        const auto before = file.contents();
        const Outcome outcome = runCli({"sba", c.asked, file.path().string()});
        expectOneLineReason(outcome);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(file.contents(), before);
    }
}

// ---------------------------------------------------------------- header

std::vector<std::uint8_t> paddedField(const std::vector<std::uint8_t>& text)
{
    std::vector<std::uint8_t> field = text;
    field.resize(Standard::kHeaderWidth, ' ');
    return field;
}

TEST(CliHeader, WritesExactlyTheFieldPaddedWithSpaces)
{
    const struct {
        std::string text;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"ABC", {'A', 'B', 'C'}},
        {"", {}},
        {"é€Ÿ", {0xE9, 0x80, 0x9F}},
        {std::string(48, 'x'), std::vector<std::uint8_t>(48, 'x')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const TempFile file(standardImage());
        const auto before = file.contents();
        const Outcome outcome = runCli({"header", c.text, file.path().string()});
        EXPECT_EQ(outcome.status, 0);
        EXPECT_EQ(outcome.err, "");
        EXPECT_TRUE(outcome.out.starts_with("Entête écrite : 48 octets\n")) << outcome.out;

        auto expected = before;
        const auto field = paddedField(c.bytes);
        std::copy(field.begin(), field.end(), expected.begin() + Standard::kHeader);
        const auto after = file.contents();
        EXPECT_EQ(after, expected);
        for (const std::size_t offset : differingOffsets(before, after)) {
            EXPECT_LT(offset, static_cast<std::size_t>(Standard::kHeader) + Standard::kHeaderWidth);
            EXPECT_GE(offset, static_cast<std::size_t>(Standard::kHeader));
        }
    }
}

TEST(CliHeader, RefusesTextsTheFieldCannotHold)
{
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"one character too long", std::string(49, 'x')},
        {"a CJK character", "BIOS 日本"},
        {"a Greek capital omega", "\xce\xa9"},
        {"a tab", "a\tb"},
        {"a carriage return", "a\rb"},
        {"a line feed", "a\nb"},
        {"a C1 control (NEL)",
         "a\xc2\x85"
         "b"},
        {"invalid UTF-8",
         "a\xff"
         "b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempFile file(standardImage());
        const auto before = file.contents();
        const Outcome outcome = runCli({"header", c.text, file.path().string()});
        expectOneLineReason(outcome);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(file.contents(), before);
    }
}

TEST(CliHeader, RefusesImagesWithoutAUsableField)
{
    const std::int64_t end = Standard::kHeader + static_cast<std::int64_t>(Standard::kHeaderWidth);
    const struct {
        const char* name;
        TestImage image;
    } cases[] = {
        {"no Version", standardImage().put(Standard::kVersion, "version")},
        {"no carriage return in the 51 bytes", standardImage().put(end, std::uint8_t{' '})},
        {"a field of width 0", standardImage().put(Standard::kHeader, std::uint8_t{0x0D})},
        {"scan stopped at a Version too close to the start", standardImage().version(80)},
        {"not an image", standardImage(132001)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TempFile file(c.image);
        const auto before = file.contents();
        const Outcome outcome = runCli({"header", "ABC", file.path().string()});
        expectOneLineReason(outcome);
        EXPECT_EQ(file.contents(), before);
    }
}

// The SideBand byte and the header field do not hang on "r7": an image whose
// open fails for want of it still takes those two edits, as the window does.
TEST(CliEdits, AnImageWithoutClockKeyStillTakesSideBandAndHeader)
{
    {
        const TempFile file(withoutClockKey());
        const auto before = file.contents();
        const Outcome outcome = runCli({"sba", "on", file.path().string()});
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(differingOffsets(before, file.contents()),
                  std::vector<std::size_t>{static_cast<std::size_t>(Standard::kSba)});
    }
    {
        const TempFile file(withoutClockKey());
        auto expected = file.contents();
        const auto field = paddedField({'A', 'B', 'C'});
        std::copy(field.begin(), field.end(), expected.begin() + Standard::kHeader);
        const Outcome outcome = runCli({"header", "ABC", file.path().string()});
        EXPECT_EQ(outcome.status, 0) << outcome.err;
        EXPECT_EQ(file.contents(), expected);
    }
}

// ---------------------------------------------------------------- the program itself

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
    const TempFile file(standardImage());
    const std::string image = file.path().string();
    const auto before = file.contents();
    const std::vector<std::vector<std::string>> cases{
        {},
        {"frobnicate", image},
        {"--json", "info", image},
        {"info"},
        {"info", image, image},
        {"info", "--verbose", image},
        {"verify"},
        {"fix", image, "extra"},
        {"sba", image},
        {"header", image},
        {"INFO", image},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(arguments.empty() ? std::string("(nothing)") : arguments[0]);
        const Outcome outcome = runCli(arguments);
        expectOneLineReason(outcome);
        EXPECT_EQ(outcome.out, "");
    }
    EXPECT_EQ(file.contents(), before);
}

}  // namespace
}  // namespace vardane::test
