// The two commands of the CheckSum menu, driven through Form1 on real files.
#include "ui_session.h"

#include <QtTest>

#include <filesystem>
#include <numeric>
#include <tuple>

using vardane::test::differingOffsets;
using vardane::test::TempFile;
using vardane::test::UiSession;
using vardane::ui::MessageIcon;

namespace {

constexpr std::size_t kChecksumByte = 0xBBFF;

std::uint8_t regionSum(const std::vector<std::uint8_t>& bytes)
{
    return static_cast<std::uint8_t>(std::accumulate(bytes.begin(), bytes.begin() + 0xBC00, 0U));
}

// What a refused command must leave as it was.
auto shownState(const UiSession& s)
{
    return std::tuple{s.shown("Text7"), s.enabled("mnucorrcheck"), s.enabled("mnucheckvalid"),
                      s.window()->state().StK1};
}

}  // namespace

class ChecksumUiTest : public QObject {
    Q_OBJECT

private slots:
    // Verification, then correction when it is offered; "edited" writes
    // elsewhere in the region between the two, and the correction sums the
    // file as it then stands.
    void verifyThenCorrect_data()
    {
        QTest::addColumn<int>("sum");
        QTest::addColumn<bool>("offeredBefore");
        QTest::addColumn<bool>("edited");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("offeredAfter");
        QTest::newRow("valid") << 0 << false << false << "Valide" << false;
        QTest::newRow("valid, correction already offered") << 0 << true << false << "Valide" << true;
        QTest::newRow("invalid") << 0x37 << false << false << "Non Valide" << true;
        QTest::newRow("invalid by one") << 0xFF << false << false << "Non Valide" << true;
        QTest::newRow("invalid, edited before the correction")
            << 0x10 << false << true << "Non Valide" << true;
    }

    void verifyThenCorrect()
    {
        QFETCH(int, sum);
        QFETCH(bool, offeredBefore);
        QFETCH(bool, edited);
        QFETCH(QString, shown);
        QFETCH(bool, offeredAfter);
        const auto stored = std::optional<std::uint8_t>(std::uint8_t(sum));
        const TempFile file(vardane::test::standardImage().checksumTo(std::uint8_t(sum)));
        auto before = file.contents();
        UiSession s;
        s.open(file);
        if (offeredBefore) {
            s.window()->enableChecksumCorrection();
        }

        s.trigger("mnucheckvalid");
        QCOMPARE(s.shown("Text7"), shown);
        QCOMPARE(s.enabled("mnucorrcheck"), offeredAfter);
        QCOMPARE(s.window()->state().StK1, stored);
        QVERIFY(s.services.messages.empty());
        QCOMPARE(file.contents(), before);
        if (!offeredAfter) {
            return;
        }
        if (edited) {
            before[0x3000] = std::uint8_t(before[0x3000] + 0x21);
            vardane::test::writeAll(file.path(), before);
        }

        s.trigger("mnucorrcheck");
        const auto after = file.contents();
        QCOMPARE(differingOffsets(before, after),
                 regionSum(before) == 0 ? std::vector<std::size_t>{} : std::vector{kChecksumByte});
        QCOMPARE(regionSum(after), std::uint8_t{0});
        QCOMPARE(s.shown("Text7"), QString("Valide"));
        QVERIFY(!s.enabled("mnucorrcheck"));
        QCOMPARE(s.window()->state().StK1, stored);
        QVERIFY(s.services.messages.empty());
    }

    // An image too short for the region, or a file removed or shrunk since
    // Open: both commands say so, write nothing and change nothing shown.
    void refusedByBoth_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("since");
        QTest::newRow("smallest image") << 46127 << "";
        QTest::newRow("one byte short of the region") << 48127 << "";
        QTest::newRow("removed since Open") << 65536 << "removed";
        QTest::newRow("shrunk since Open") << 65536 << "shrunk";
    }

    void refusedByBoth()
    {
        QFETCH(int, size);
        QFETCH(QString, since);
        const TempFile file(vardane::test::standardImage(std::size_t(size)));
        UiSession s;
        s.open(file);
        s.window()->enableChecksumCorrection();
        auto before = file.contents();
        if (since == "removed") {
            std::filesystem::remove(file.path());
            before.clear();
        } else if (since == "shrunk") {
            before.resize(40000);
            vardane::test::writeAll(file.path(), before);
        }
        const auto shownBefore = shownState(s);

        for (const char* command : {"mnucheckvalid", "mnucorrcheck"}) {
            const auto messagesBefore = s.services.messages.size();
            s.trigger(command);
            QCOMPARE(s.services.messages.size(), messagesBefore + 1);
            const auto& message = s.services.messages.back();
            QCOMPARE(message.icon, MessageIcon::critical);
            QCOMPARE(message.title, QString("Probleme"));
            QVERIFY(message.text.contains(QString::fromUtf8("n'a pas été modifié")));
            QVERIFY(shownState(s) == shownBefore);
            QCOMPARE(std::filesystem::exists(file.path()) ? file.contents() : std::vector<std::uint8_t>{},
                     before);
        }
    }
};

QTEST_MAIN(ChecksumUiTest)
#include "checksum_ui_test.moc"
