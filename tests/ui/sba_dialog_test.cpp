// frmSBA driven headless through the main window's menu.
#include "editors/sideband.h"
#include "ui_session.h"

#include <QPushButton>
#include <QtTest>

#include <filesystem>

using vardane::test::differingOffsets;
using vardane::test::RecordedMessage;
using vardane::test::Standard;
using vardane::test::TempFile;
using vardane::test::UiSession;
using vardane::ui::MessageIcon;

namespace {

constexpr auto kSba = static_cast<std::size_t>(Standard::kSba);
constexpr std::uint8_t kUndecided = 0x00;

vardane::test::TestImage sbaImage(std::uint8_t byte)
{
    return vardane::test::standardImage().put(Standard::kSba, byte);
}

QString caption(const QWidget* dialog, const char* name)
{
    return dialog->findChild<QWidget*>(name)->property("text").toString();
}

void click(QWidget* dialog)
{
    QTest::mouseClick(dialog->findChild<QPushButton*>("Command1"), Qt::LeftButton);
}

}  // namespace

class SbaDialogTest : public QObject {
    Q_OBJECT

private slots:
    // Each toggle writes the one byte; a second toggle restores it.
    void toggleAndBack_data()
    {
        QTest::addColumn<bool>("enable");
        QTest::newRow("enable") << true;
        QTest::newRow("disable") << false;
    }

    void toggleAndBack()
    {
        QFETCH(bool, enable);
        const std::uint8_t byteBefore = enable ? 0x7F : 0xFB;
        const QString stateBefore = enable ? "NON" : "OUI";
        const QString enabled = QString::fromUtf8(vardane::kSbaEnabledMessage);
        const QString disabled = QString::fromUtf8(vardane::kSbaDisabledMessage);
        UiSession s;
        const TempFile file(sbaImage(byteBefore));
        const auto before = file.contents();
        s.open(file);
        QStringList whileShown;
        s.services.whileMessageShown = [&](const RecordedMessage&) {
            whileShown << s.shown("Text5") << s.shown("Text7") << (s.enabled("mnucorrcheck") ? "on" : "off");
        };
        QWidget* dialog = s.showDialog("sba", "frmSBA");
        QCOMPARE(caption(dialog, "Label2"), QString::fromUtf8(enable ? "Desactivé" : "Activé"));
        QCOMPARE(caption(dialog, "Command1"), QString(enable ? "Activer" : "Desactiver"));

        click(dialog);

        const auto after = file.contents();
        QCOMPARE(differingOffsets(before, after), std::vector<std::size_t>{kSba});
        QCOMPARE(after[kSba], enable ? 0xFB : 0x7F);
        QCOMPARE(s.services.messages.size(), std::size_t{1});
        const RecordedMessage& shown = s.services.messages.front();
        QCOMPARE(shown.icon, MessageIcon::information);
        QCOMPARE(shown.title, QString::fromUtf8("Modification effectuée"));
        QCOMPARE(shown.text, enable ? enabled : disabled);
        QCOMPARE(whileShown, QStringList({stateBefore, "Non Valide !", "on"}));
        QCOMPARE(s.shown("Text5"), QString(enable ? "OUI" : "NON"));
        QCOMPARE(s.shown("Text7"), QString("Non Valide !"));
        QVERIFY(s.enabled("mnucorrcheck"));
        QVERIFY(UiSession::dialog("frmSBA") == nullptr);

        click(s.showDialog("sba", "frmSBA"));
        QCOMPARE(file.contents(), before);
        QCOMPARE(s.shown("Text5"), stateBefore);
        QCOMPARE(s.services.messages.size(), std::size_t{2});
        QCOMPARE(s.services.messages.back().text, enable ? disabled : enabled);
    }

    // The dialog was loaded on one image; the image on show at the click is
    // the one toggled.
    void decisionRestsOnTheStateAtTheClick()
    {
        UiSession s;
        const TempFile first(sbaImage(0x7F));
        const TempFile second(sbaImage(0xFB));
        const auto firstBefore = first.contents();
        const auto secondBefore = second.contents();
        s.open(first);
        QWidget* dialog = s.showDialog("sba", "frmSBA");
        s.trigger("mnuClose");
        s.open(second);

        click(dialog);

        QCOMPARE(first.contents(), firstBefore);
        QCOMPARE(differingOffsets(secondBefore, second.contents()), std::vector<std::size_t>{kSba});
        QCOMPARE(second.contents()[kSba], std::uint8_t{0x7F});
        QCOMPARE(s.shown("Text5"), QString("NON"));
    }

    // An undecided state, a file removed or changed since Open, a main
    // window closed by its title bar: the click writes nothing and closes.
    void clickWritesNothing_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<bool>("refused");
        QTest::newRow("undecided") << int{kUndecided} << "" << false;
        QTest::newRow("file removed") << 0x7F << "remove" << true;
        QTest::newRow("byte changed") << 0x7F << "change" << true;
        QTest::newRow("main window closed") << 0x7F << "close" << false;
    }

    void clickWritesNothing()
    {
        QFETCH(int, byte);
        QFETCH(QString, meanwhile);
        QFETCH(bool, refused);
        UiSession s;
        const TempFile file(sbaImage(std::uint8_t(byte)));
        auto expected = file.contents();
        s.open(file);
        const QPointer<QWidget> dialog = s.showDialog("sba", "frmSBA");
        if (byte == kUndecided) {
            QCOMPARE(caption(dialog, "Label2"), QString::fromUtf8("Desactivé"));
            QCOMPARE(caption(dialog, "Command1"), QString("Activer le SBA"));
        }
        if (meanwhile == "remove") {
            std::filesystem::remove(file.path());
            expected.clear();
        } else if (meanwhile == "change") {
            expected[kSba] = 0xFB;
            vardane::test::writeAll(file.path(), expected);
        } else if (meanwhile == "close") {
            s.closeMainWindow();
            QVERIFY(dialog != nullptr);
        }

        click(dialog);

        QCOMPARE(std::filesystem::exists(file.path()) ? file.contents() : std::vector<std::uint8_t>{},
                 expected);
        QCOMPARE(s.services.messages.size(), std::size_t{refused});
        QVERIFY(!refused || s.services.messages.front().icon == MessageIcon::critical);
        QVERIFY(UiSession::dialog("frmSBA") == nullptr);
        if (s.window() != nullptr) {
            QCOMPARE(s.shown("Text5"), QString(byte == kUndecided ? "???" : "NON"));
            QCOMPARE(s.shown("Text7"), QString("???"));
            QVERIFY(!s.enabled("mnucorrcheck"));
        }
    }
};

QTEST_MAIN(SbaDialogTest)
#include "sba_dialog_test.moc"
