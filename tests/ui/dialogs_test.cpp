// The editor dialogs, each on a stand-in for the main window, driven as a
// user drives them; every write is checked byte for byte.
#include "editors/sideband.h"
#include "fakes.h"
#include "image/text.h"
#include "ui/clock_dialog.h"
#include "ui/header_dialog.h"
#include "ui/sba_dialog.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QLineEdit>
#include <QSlider>
#include <QtTest>

#include <filesystem>
#include <memory>

using vardane::ImageState;
using vardane::test::Standard;
using vardane::test::standardImage;
using vardane::ui::MessageIcon;

namespace {

// An image file, a host that opened it, and one dialog shown on it.
struct Shown {
    explicit Shown(const vardane::test::TestImage& image = standardImage()) : file(image) {}

    const vardane::test::TempFile file;
    vardane::test::FakeServices services;
    std::unique_ptr<vardane::test::FakeHost> host = std::make_unique<vardane::test::FakeHost>(services, file);
    QPointer<QWidget> dialog;

    void show(QWidget* made)
    {
        dialog = made;
        dialog->show();
    }
    [[nodiscard]] QString text(const char* name) const
    {
        return dialog->findChild<QWidget*>(name)->property("text").toString();
    }
    void click(const char* name = "Command1") const
    {
        QTest::mouseClick(dialog->findChild<QAbstractButton*>(name), Qt::LeftButton);
    }
    // The one message shown, its icon first.
    [[nodiscard]] QString message() const
    {
        const auto& all = services.messages;
        return all.size() != 1
                   ? QString::number(all.size()) + " messages"
                   : (all[0].icon == MessageIcon::critical ? "critical: " : "information: ") + all[0].text;
    }
};

// The clock dialog of one profile, opened on the host's clock text.
struct Clock : Shown {
    explicit Clock(bool memory, const std::string& clockText = {})
        : stateText(memory ? &ImageState::memClockText : &ImageState::coreClockText),
          low(Standard::kClockKey - (memory ? 26 : 70))
    {
        if (!clockText.empty()) {
            host->image.*stateText = clockText;
        }
        show(new vardane::ui::ClockDialog(
            memory ? vardane::ui::kMemoryClockWindow : vardane::ui::kCoreClockWindow, *host));
        slider = dialog->findChild<QSlider*>("Slider1");
    }
    std::string ImageState::*stateText;
    std::int64_t low;  // of the clock word
    QSlider* slider = nullptr;

    [[nodiscard]] QList<int> range() const { return {slider->value(), slider->minimum(), slider->maximum()}; }
    // Text1 and its colour, which Label1 must share.
    [[nodiscard]] QString text1() const
    {
        const QColor colour = dialog->findChild<QWidget*>("Text1")->palette().color(QPalette::Text);
        const QMap<QRgb, QString> named{{0xFF00C000, "green"}, {0xFFFF8000, "orange"}, {0xFFFF0000, "red"}};
        const bool shared =
            colour == dialog->findChild<QWidget*>("Label1")->palette().color(QPalette::WindowText);
        return text("Text1") + " " + (shared ? named.value(colour.rgb(), "default") : "apart");
    }
    // A drag of the thumb: a user's move, unlike the program's setValue.
    void drag(int position) const
    {
        slider->setSliderDown(true);
        slider->setSliderPosition(position);
        slider->setSliderDown(false);
    }
    [[nodiscard]] bool wrote(int word) const
    {
        return file.contents() == standardImage().putWord(low, static_cast<std::uint16_t>(word)).bytes();
    }
};

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    // Opening shows the host's clock; a move shows its clock; the arrow and
    // page keys take the small and large steps; the program's own setValue
    // shows nothing. Ouf Mode widens the range without a move, and clearing
    // it brings the slider and Text1 back inside, the colour kept. Apply then
    // writes the word of that clock and reports it.
    void clockFollowsTheSliderAndOufModeThenApplies()
    {
        const struct {
            bool memory;
            QString opened, ouf, moved, afterKeys;
            QList<int> range, oufRange, cleared;
            int word;
            QString message, text2;
        } cases[] = {
            // clang-format off
            {true, "366 Mhz (DDR) 366 Mhz green", "100 Mhz 1 Ghz", "990 red", "997 red", {366, 200, 600}, {366, 100, 1000},
             {600, 200, 600}, 30000, "La frequence Mémoire est maintenant portée à 600 Mhz (DDR)", "600 Mhz (DDR)"},
            {false, "143 Mhz 143 Mhz default", "20 Mhz 450 Mhz", "20 green", "26 green", {143, 75, 350}, {143, 20, 450},
             {75, 75, 350}, 7500, "La frequence du GPU est maintenant portée à 75 Mhz (DDR)", "75 Mhz"},
            // clang-format on
        };
        for (const auto& c : cases) {
            Clock t(c.memory);
            QVERIFY(t.dialog->findChild<QLineEdit*>("Text1")->isReadOnly());
            QCOMPARE(t.text("Text2") + " " + t.text1(), c.opened);
            QCOMPARE(t.range(), c.range);
            t.click("Check1");
            QCOMPARE(t.range(), c.oufRange);
            QCOMPARE(t.text("Label3") + " " + t.text("Label4"), c.ouf);
            t.drag(c.moved.section(' ', 0, 0).toInt());
            QCOMPARE(t.text1(), c.moved);
            QTest::keyClick(t.slider, Qt::Key_Right);
            QTest::keyClick(t.slider, Qt::Key_PageUp);
            t.slider->setValue(c.moved.section(' ', 0, 0).toInt());
            QCOMPARE(t.text1(), c.afterKeys);
            t.click("Check1");
            QCOMPARE(t.range(), c.cleared);
            QCOMPARE(t.text1(), QString::number(c.cleared[0]) + " " + c.moved.section(' ', 1));
            QString text2WhileShown;
            t.services.whileMessageShown = [&](const auto&) { text2WhileShown = t.text("Text2"); };
            t.click();
            QVERIFY(t.wrote(c.word));
            QCOMPARE(t.message(), "information: " + c.message);
            QCOMPARE(text2WhileShown, c.text2);
            QCOMPARE(t.host->image.*t.stateText, std::to_string(c.cleared[0]) + " Mhz");
            QVERIFY(!t.dialog->isVisible());
        }
        // Right after opening, the word comes from Text1, fraction kept, and the
        // clock shown from the slider.
        Clock t(true, "333.5 Mhz");
        t.click();
        QVERIFY(t.wrote(16675));
        QCOMPARE(t.host->image.memClockText, std::string("334 Mhz"));
    }

    // Above the orange threshold orange, above the red one red, below the
    // orange one green; at the orange one the colour stays what it was.
    void clockColourFollowsTheThresholds()
    {
        const std::pair<bool, QStringList> cases[] = {
            {true,
             {"460 green", "461 orange", "460 orange", "530 orange", "531 red", "460 red", "459 green"}},
            {false, {"250 default", "291 red", "290 orange", "251 orange", "250 orange", "249 green"}},
        };
        for (const auto& [memory, moves] : cases) {
            Clock t(memory);
            for (const QString& move : moves) {
                t.drag(move.section(' ', 0, 0).toInt());
                QCOMPARE(t.text1(), move);
            }
        }
    }

    // Apply writes nothing, says why, and the dialog stays: no image, the main
    // window gone, no "r7", a file gone, or a starting clock the slider could
    // not take.
    void clockApplyRefusals()
    {
        const std::pair<QString, QString> cases[] = {
            {"no image", "Aucune image"}, {"gone", "fenêtre principale est fermée"}, {"no r7", "« r7 »"},
            {"removed", "supprimé"},      {"outside", "hors de la plage"},
        };
        for (const auto& [situation, says] : cases) {
            Clock t(true, situation == "outside" ? "1310,7 Mhz" : "300 Mhz");
            if (situation == "no image") {
                t.host->onShow.reset();
            } else if (situation == "gone") {
                t.host.reset();
            } else if (situation == "removed") {
                std::filesystem::remove(t.file.path());
            } else if (situation == "no r7") {
                t.host->image.Octclef.reset();
            }
            t.click();
            QVERIFY2(t.message().startsWith("critical: ") && t.message().contains(says),
                     qPrintable(t.message()));
            QVERIFY(t.dialog->isVisible());
            QVERIFY(situation == "removed" || t.file.contents() == standardImage().bytes());
        }
    }

    // Return presses Apply from any control and writes exactly what the
    // button writes; Escape closes without writing. Each control has a French
    // name for a screen reader.
    void clockKeysAndNames()
    {
        for (const char* focused : {"Slider1", "Check1"}) {
            Clock t(true);
            QTest::keyClick(t.slider, Qt::Key_Right);
            QTest::keyClick(t.dialog->findChild<QWidget*>(focused), Qt::Key_Return);
            QVERIFY(t.wrote(18400) && !t.dialog->isVisible());
        }
        Clock t(true);
        QStringList names;
        for (const char* name : {"Slider1", "Text1", "Text2", "Check1", "Command1"}) {
            names << QAccessible::queryAccessibleInterface(t.dialog->findChild<QWidget*>(name))
                         ->text(QAccessible::Name);
        }
        QCOMPARE(names, (QStringList{"Nouvelle fréquence", "Fréquence choisie", "Fréquence actuelle",
                                     "Ouf Mode", "Appliquer"}));
        QTest::keyClick(t.slider, Qt::Key_Escape);
        QVERIFY(!t.dialog->isVisible() && t.file.contents() == standardImage().bytes());
    }

    // The click rewrites the one byte, marks the checksum, offers its
    // correction, and changes the state text once the message is closed. An
    // undecided state, a byte changed since Open, a main window gone: nothing
    // is written, and only the changed byte is told.
    void sbaTogglesTheByteOrNothing()
    {
        const struct {
            std::uint8_t byte;
            QString meanwhile, captions;
            std::string state;
            QString message;
            std::uint8_t after;
        } cases[] = {
            // clang-format off
            {0x7F, "", "Desactivé Activer", "OUI", QString("information: ") + vardane::kSbaEnabledMessage.data(), 0xFB},
            {0xFB, "", "Activé Desactiver", "NON", QString("information: ") + vardane::kSbaDisabledMessage.data(), 0x7F},
            {0x00, "", "Desactivé Activer le SBA", "???", "0 messages", 0x00},
            {0x7F, "changed", "Desactivé Activer", "NON", "critical: Le fichier a été modifié", 0xFB},
            {0x7F, "gone", "Desactivé Activer", "", "0 messages", 0x7F},
            // clang-format on
        };
        for (const auto& c : cases) {
            Shown t(standardImage().put(Standard::kSba, c.byte));
            t.show(new vardane::ui::SbaDialog(*t.host));
            QCOMPARE(t.text("Label2") + " " + t.text("Command1"), c.captions);
            std::string stateWhileShown = "no message";
            t.services.whileMessageShown = [&](const auto&) { stateWhileShown = t.host->image.sbaState; };
            if (c.meanwhile == "changed") {
                vardane::test::writeAll(t.file.path(), standardImage().put(Standard::kSba, 0xFB).bytes());
            } else if (c.meanwhile == "gone") {
                t.host.reset();
            }
            t.click();
            const bool toggled = c.message.startsWith("information");
            QVERIFY2(t.message().startsWith(c.message), qPrintable(t.message()));
            QVERIFY(t.file.contents() == standardImage().put(Standard::kSba, c.after).bytes());
            QVERIFY(!t.dialog->isVisible());
            if (toggled) {
                QCOMPARE(stateWhileShown, std::string(c.byte == 0x7F ? "NON" : "OUI"));
            }
            if (t.host != nullptr) {
                QCOMPARE(t.host->image.sbaState, c.state);
                QCOMPARE(t.host->correctionEnabled, toggled);
                QCOMPARE(t.host->image.checksumText, std::string(toggled ? "Non Valide !" : "???"));
            }
        }
    }

    // The box opens on the field's characters ("?" for a control byte), its
    // start in view, without the padding; unedited, Apply writes the very bytes
    // back; typed text is padded to the field's width, and the box takes only
    // what the field can hold. Return in the box applies; Escape closes
    // without writing.
    void headerApplyWritesTheBoxText()
    {
        const auto base = standardImage().put(Standard::kHeader + 2, std::uint8_t{0x00});
        const struct {
            QString typed;
            std::string written;
            Qt::Key key;
        } cases[] = {
            {{}, {}, Qt::Key_unknown},
            {QString(50, 'x'), std::string(48, 'x'), Qt::Key_Return},
            {QString::fromUtf8("Ā€\t!"), "\x80!", Qt::Key_unknown},
            {"Z", {}, Qt::Key_Escape},
        };
        for (const auto& c : cases) {
            Shown t(base);
            t.show(vardane::ui::HeaderDialog::load(*t.host));
            auto* box = t.dialog->findChild<QLineEdit*>("Text1");
            const std::string before = t.host->image.headerText;
            QCOMPARE(box->text() + QString::number(box->cursorPosition()), QString("Va?dane test header0"));
            box->selectAll();
            for (const QChar character : c.typed) {  // as a keyboard of any layout types it
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
                QApplication::sendEvent(box, &press);
            }
            c.key == Qt::Key_unknown ? t.click() : QTest::keyClick(box, c.key);
            std::string field = c.written;
            field.resize(48, ' ');
            const bool applied = c.key != Qt::Key_Escape;
            QVERIFY(!t.dialog->isVisible());
            QVERIFY(t.file.contents() ==
                    (c.written.empty() ? base : vardane::test::TestImage(base).put(Standard::kHeader, field))
                        .bytes());
            const auto after = t.file.contents();
            QCOMPARE(t.host->image.headerText,
                     applied ? vardane::decodeWindows1252(std::span(after).subspan(Standard::kHeader, 48))
                             : before);
            QCOMPARE(t.host->image.checksumText, std::string(applied ? "Non Valide" : "???"));
            QVERIFY(t.services.messages.empty());
        }
    }

    // No field (no carriage return in the 51 bytes): no dialog, a message. The
    // image replaced since the load, or its field changed in the file: nothing
    // written, and the dialog closes, since no retry could do better.
    void headerRefusals()
    {
        Shown none(standardImage().put(Standard::kHeader + 48, ' '));
        QVERIFY(vardane::ui::HeaderDialog::load(*none.host) == nullptr);
        QVERIFY(none.message().startsWith("critical: "));
        for (const bool imageReplaced : {true, false}) {
            Shown t;
            t.show(vardane::ui::HeaderDialog::load(*t.host));
            t.dialog->findChild<QLineEdit*>("Text1")->setText("X");
            if (imageReplaced) {
                t.host->onShow = 2;
            } else {
                vardane::test::writeAll(t.file.path(), standardImage().put(Standard::kHeader, "x").bytes());
            }
            t.click();
            QVERIFY(t.message().startsWith("critical: ") && !t.dialog->isVisible());
            QCOMPARE(t.file.contents()[Standard::kHeader], imageReplaced ? 'V' : 'x');
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
