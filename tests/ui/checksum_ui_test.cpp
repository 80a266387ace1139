// The two commands of the CheckSum menu, driven through Form1 on real files.
#include "fake_services.h"
#include "test_image.h"
#include "ui/main_window.h"

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QtTest>

#include <filesystem>
#include <numeric>

using vardane::test::differingOffsets;
using vardane::test::FakeServices;
using vardane::test::TempFile;
using vardane::test::TestImage;
using vardane::ui::ChosenFile;
using vardane::ui::MainWindow;
using vardane::ui::MessageIcon;

namespace {

constexpr std::size_t kChecksumByte = 0xBBFF;
constexpr std::size_t kRegionLength = 0xBC00;

std::uint8_t regionSum(const std::vector<std::uint8_t>& bytes)
{
    return static_cast<std::uint8_t>(std::accumulate(bytes.begin(), bytes.begin() + kRegionLength, 0U));
}

class Harness {
public:
    explicit Harness(const TempFile& file) : window_(new MainWindow(services))
    {
        services.fileAnswers.emplace_back(
            ChosenFile{QString::fromStdString(file.path().string()),
                       QString::fromStdString(file.path().filename().string())});
        trigger("Ouvrir");
        if (!services.messages.empty() || !window_->imageOpen()) {
            qFatal("the test image did not open");
        }
    }
    ~Harness() { delete window_.data(); }
    Harness(const Harness&) = delete;
    Harness& operator=(const Harness&) = delete;

    FakeServices services;

    [[nodiscard]] MainWindow& window() const { return *window_; }
    [[nodiscard]] QAction* item(const QString& name) const { return window_->findChild<QAction*>(name); }
    void trigger(const QString& name) const { item(name)->trigger(); }
    [[nodiscard]] QString checksumText() const { return window_->findChild<QLabel*>("Text7")->text(); }
    [[nodiscard]] bool correctionEnabled() const { return item("mnucorrcheck")->isEnabled(); }

private:
    QPointer<MainWindow> window_;
};

// What the window shows and keeps, to prove a refused command changed none of it.
struct Snapshot {
    QString checksumText;
    bool correctionEnabled;
    std::optional<std::uint8_t> StK1;

    explicit Snapshot(const Harness& harness)
        : checksumText(harness.checksumText()),
          correctionEnabled(harness.correctionEnabled()),
          StK1(harness.window().state().StK1)
    {
    }
    bool operator==(const Snapshot&) const = default;
};

void verifyRefusal(const Harness& harness, std::size_t messagesBefore)
{
    QCOMPARE(harness.services.messages.size(), messagesBefore + 1);
    const auto& message = harness.services.messages.back();
    QCOMPARE(message.icon, MessageIcon::critical);
    QCOMPARE(message.title, QString("Probleme"));
    QVERIFY(message.text.contains(QString::fromUtf8("n'a pas été modifié")));
}

}  // namespace

class ChecksumUiTest : public QObject {
    Q_OBJECT

private slots:
    void verificationShowsTheState_data()
    {
        QTest::addColumn<int>("sum");
        QTest::addColumn<bool>("correctionBefore");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("correctionAfter");
        QTest::newRow("valid") << 0 << false << "Valide" << false;
        QTest::newRow("valid, correction already offered") << 0 << true << "Valide" << true;
        QTest::newRow("invalid") << 0x37 << false << "Non Valide" << true;
        QTest::newRow("invalid by one") << 0xFF << false << "Non Valide" << true;
    }

    void verificationShowsTheState()
    {
        QFETCH(int, sum);
        QFETCH(bool, correctionBefore);
        QFETCH(QString, shown);
        QFETCH(bool, correctionAfter);
        const TempFile file(vardane::test::standardImage().checksumTo(static_cast<std::uint8_t>(sum)));
        const auto before = file.contents();
        Harness harness(file);
        if (correctionBefore) {
            harness.window().enableChecksumCorrection();
        }

        harness.trigger("mnucheckvalid");

        QCOMPARE(harness.checksumText(), shown);
        QCOMPARE(harness.correctionEnabled(), correctionAfter);
        QCOMPARE(harness.window().state().StK1, std::optional<std::uint8_t>(static_cast<std::uint8_t>(sum)));
        QVERIFY(harness.item("mnucheckvalid")->isEnabled());
        QVERIFY(harness.services.messages.empty());
        QCOMPARE(file.contents(), before);
    }

    void correctionRewritesOnlyTheLastByte()
    {
        const TempFile file(vardane::test::standardImage().checksumTo(0x37).put(0xBBFF, std::uint8_t{0x12}));
        const auto before = file.contents();
        Harness harness(file);
        harness.trigger("mnucheckvalid");
        const auto storedSum = harness.window().state().StK1;

        harness.trigger("mnucorrcheck");

        const auto after = file.contents();
        QCOMPARE(differingOffsets(before, after), std::vector<std::size_t>{kChecksumByte});
        QCOMPARE(regionSum(after), std::uint8_t{0});
        QCOMPARE(harness.checksumText(), QString("Valide"));
        QVERIFY(!harness.correctionEnabled());
        QCOMPARE(harness.window().state().StK1, storedSum);

        harness.trigger("mnucheckvalid");
        QCOMPARE(harness.checksumText(), QString("Valide"));
        QCOMPARE(harness.window().state().StK1, std::optional<std::uint8_t>(0));
    }

    void correctionSumsTheFileAsItStands()
    {
        const TempFile file(vardane::test::standardImage().checksumTo(0x10));
        Harness harness(file);
        harness.trigger("mnucheckvalid");
        auto edited = file.contents();
        edited[0x3000] =
            static_cast<std::uint8_t>(edited[0x3000] + 0x21);  // an edit made after the verification
        vardane::test::writeAll(file.path(), edited);

        harness.trigger("mnucorrcheck");

        const auto after = file.contents();
        QCOMPARE(differingOffsets(edited, after), std::vector<std::size_t>{kChecksumByte});
        QCOMPARE(regionSum(after), std::uint8_t{0});
        QCOMPARE(harness.window().state().StK1, std::optional<std::uint8_t>(0x10));
    }

    void bytesPastTheRegionDoNotCount()
    {
        const TempFile file(vardane::test::standardImage().checksumTo(0).put(0xBC00, std::uint8_t{0x55}));
        Harness harness(file);
        harness.trigger("mnucheckvalid");
        QCOMPARE(harness.checksumText(), QString("Valide"));
    }

    void shortImageIsRefusedByBoth_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("smallest image") << 46127;
        QTest::newRow("one byte short of the region") << 48127;
    }

    void shortImageIsRefusedByBoth()
    {
        QFETCH(int, size);
        const TempFile file(vardane::test::standardImage(static_cast<std::size_t>(size)));
        const auto before = file.contents();
        Harness harness(file);
        harness.window().enableChecksumCorrection();
        const Snapshot shown(harness);

        for (const char* command : {"mnucheckvalid", "mnucorrcheck"}) {
            const auto messagesBefore = harness.services.messages.size();
            harness.trigger(command);
            verifyRefusal(harness, messagesBefore);
            QVERIFY(Snapshot(harness) == shown);
            QCOMPARE(file.contents(), before);
        }
    }

    void fileGoneSinceOpenIsRefusedByBoth()
    {
        std::vector<std::uint8_t> original;
        std::unique_ptr<Harness> harness;
        {
            const TempFile file(vardane::test::standardImage().checksumTo(0x37));
            original = file.contents();
            harness = std::make_unique<Harness>(file);
            harness->trigger("mnucheckvalid");
        }
        const Snapshot shown(*harness);
        QVERIFY(shown.correctionEnabled);

        for (const char* command : {"mnucheckvalid", "mnucorrcheck"}) {
            const auto messagesBefore = harness->services.messages.size();
            harness->trigger(command);
            verifyRefusal(*harness, messagesBefore);
            QVERIFY(Snapshot(*harness) == shown);
        }
        QVERIFY(!std::filesystem::exists(harness->window().state().filePath));
    }

    void fileShrunkSinceOpenIsRefusedByBoth()
    {
        const TempFile file(vardane::test::standardImage().checksumTo(0x37));
        Harness harness(file);
        harness.trigger("mnucheckvalid");
        auto shrunk = file.contents();
        shrunk.resize(40000);
        vardane::test::writeAll(file.path(), shrunk);
        const Snapshot shown(harness);

        for (const char* command : {"mnucheckvalid", "mnucorrcheck"}) {
            const auto messagesBefore = harness.services.messages.size();
            harness.trigger(command);
            verifyRefusal(harness, messagesBefore);
            QVERIFY(Snapshot(harness) == shown);
            QCOMPARE(file.contents(), shrunk);
        }
    }
};

QTEST_MAIN(ChecksumUiTest)
#include "checksum_ui_test.moc"
