// The editor dialogs, each on a stand-in for the main window, driven as a
// user drives them; every write is checked byte for byte.
#include "editors/sideband.h"
#include "fakes.h"
#include "image/text.h"
#include "ui/clock_dialog.h"
#include "ui/header_dialog.h"
#include "ui/sba_dialog.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QSlider>
#include <QtTest>

#include <filesystem>
#include <memory>

using vardane::ImageState;
using vardane::test::FakeHost;
using vardane::test::Standard;
using vardane::ui::MessageIcon;

namespace {

using Bytes = std::vector<std::uint8_t>;

// An image file, a host that opened it, and one dialog shown on it.
struct Shown {
    explicit Shown(const vardane::test::TestImage& image = vardane::test::standardImage()) : file(image) {}

    void show(QWidget* made)
    {
        dialog = made;
        if (dialog != nullptr) {
            dialog->show();
        }
    }
    [[nodiscard]] QWidget* child(const char* name) const { return dialog->findChild<QWidget*>(name); }
    [[nodiscard]] QString text(const char* name) const { return child(name)->property("text").toString(); }
    void click(const char* name = "Command1") const
    {
        QTest::mouseClick(qobject_cast<QAbstractButton*>(child(name)), Qt::LeftButton);
    }
    // Types each character as a key press carrying it, as a keyboard of any layout does.
    void type(const QString& text) const
    {
        for (const QChar character : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
            QApplication::sendEvent(child("Text1"), &press);
        }
    }
    [[nodiscard]] bool refusedOnce() const
    {
        return services.messages.size() == 1 && services.messages[0].icon == MessageIcon::critical;
    }
    [[nodiscard]] std::vector<std::size_t> changed() const
    {
        return vardane::test::differingOffsets(before, file.contents());
    }

    const vardane::test::TempFile file;
    const Bytes before = file.contents();
    vardane::test::FakeServices services;
    std::unique_ptr<FakeHost> host = std::make_unique<FakeHost>(services, file);
    QPointer<QWidget> dialog;
};

// The clock dialog of one profile, opened on the host's clock text or on `clockText`.
struct Clock : Shown {
    explicit Clock(bool memory, const std::string& clockText = {}) : memory(memory)
    {
        if (!clockText.empty()) {
            host->image.*stateText() = clockText;
        }
        show(new vardane::ui::ClockDialog(
            memory ? vardane::kMemoryClockProfile : vardane::kCoreClockProfile,
            memory ? vardane::ui::kMemoryClockLayout : vardane::ui::kCoreClockLayout, *host));
    }
    bool memory;

    [[nodiscard]] QSlider* slider() const { return dialog->findChild<QSlider*>("Slider1"); }
    [[nodiscard]] QList<int> positionAndRange() const
    {
        return {slider()->value(), slider()->minimum(), slider()->maximum()};
    }
    // Text1 with its colour, which Label1 must share.
    [[nodiscard]] QString text1() const
    {
        const QColor colour = child("Text1")->palette().color(QPalette::Text);
        const QMap<QRgb, QString> named{
            {qRgb(0, 192, 0), "green"}, {qRgb(255, 128, 0), "orange"}, {qRgb(255, 0, 0), "red"}};
        const bool shared = colour == child("Label1")->palette().color(QPalette::WindowText);
        return text("Text1") + " " + (shared ? named.value(colour.rgb(), "default") : "Label1 apart");
    }
    // A drag of the thumb: a user's move.
    void drag(int position) const
    {
        slider()->setSliderDown(true);
        slider()->setSliderPosition(position);
        slider()->setSliderDown(false);
    }
    [[nodiscard]] std::string ImageState::*stateText() const
    {
        return memory ? &ImageState::memClockText : &ImageState::coreClockText;
    }
};

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    // The dialog opens on the host's clock; each move by the user shows its
    // clock and colour, the middle clock (460, 250) keeping the colour it had;
    // the program's own setValue shows nothing.
    void clockShowsTheOpeningClockThenEachMove()
    {
        const struct {
            bool memory;
            QString text2, opened;
            QList<int> positionAndRange, drags;
            QStringList shown;
        } cases[] = {
            {true,
             "366 Mhz (DDR)",
             "366 Mhz green",
             {366, 200, 600},
             {459, 460, 461, 460, 531},
             {"459 green", "460 green", "461 orange", "460 orange", "531 red", "538 red"}},
            {false,
             "143 Mhz",
             "143 Mhz default",
             {143, 75, 350},
             {250, 249, 251, 291},
             {"250 default", "249 green", "251 orange", "291 red", "297 red"}},
        };
        for (const auto& c : cases) {
            const Clock t(c.memory);
            QCOMPARE(t.text("Text2"), c.text2);
            QCOMPARE(t.text1(), c.opened);
            QCOMPARE(t.positionAndRange(), c.positionAndRange);
            for (qsizetype i = 0; i < c.drags.size(); ++i) {
                t.drag(c.drags[i]);
                QCOMPARE(t.text1(), c.shown[i]);
            }
            QTest::keyClick(t.slider(), Qt::Key_Right);  // the small step, then the large one
            QTest::keyClick(t.slider(), Qt::Key_PageUp);
            QCOMPARE(t.text1(), c.shown.back());
            t.slider()->setValue(300);
            QCOMPARE(t.text1(), c.shown.back());
        }
    }

    // Ticking widens the range and moves nothing; clearing it brings the slider
    // back inside, Text1 with it, the colour kept.
    void clockOufModeWidensThenClamps()
    {
        const struct {
            bool memory;
            QString captions;
            QList<int> oufRange;
            int movedTo, clampedTo;
        } cases[] = {
            {true, "100 Mhz 1 Ghz", {100, 1000}, 1000, 600}, {true, "100 Mhz 1 Ghz", {100, 1000}, 100, 200},
            {false, "20 Mhz 450 Mhz", {20, 450}, 450, 350},  {false, "20 Mhz 450 Mhz", {20, 450}, 20, 75},
            {false, "20 Mhz 450 Mhz", {20, 450}, 300, 300},
        };
        for (const auto& c : cases) {
            const Clock t(c.memory);
            const QList<int> opened = t.positionAndRange();
            t.click("Check1");
            QCOMPARE(t.positionAndRange(), QList<int>{opened[0]} + c.oufRange);
            QCOMPARE(t.text("Label3") + " " + t.text("Label4"), c.captions);
            t.drag(c.movedTo);
            const QString colour = t.text1().section(' ', 1);
            t.click("Check1");
            QCOMPARE(t.positionAndRange(), QList<int>{c.clampedTo} + opened.mid(1));
            QCOMPARE(t.text1(), QString::number(c.clampedTo) + " " + colour);
        }
    }

    // Right after opening, the word comes from Text1 and the clock shown from
    // the slider; after a move, both from the slider.
    void clockApplyWritesTheWordAndReports()
    {
        const struct {
            bool memory;
            std::string opening;  // empty: the image's own, then a move in Ouf Mode
            int shown, word;
        } cases[] = {
            {true, "333,34 Mhz", 333, 16650},
            {false, "125.5 Mhz", 126, 12550},
            {true, "", 1000, 0xC350},
            {false, "", 41, 0x1004},
        };
        for (const auto& c : cases) {
            Clock t(c.memory, c.opening);
            if (c.opening.empty()) {
                t.click("Check1");
                t.drag(c.shown);
            }
            QString text2WhileShown;
            t.services.whileMessageShown = [&](const auto&) { text2WhileShown = t.text("Text2"); };
            t.click();
            const auto low = static_cast<std::size_t>(Standard::kClockKey - (c.memory ? 26 : 70));
            QCOMPARE(t.changed(), (std::vector{low, low + 1}));
            QCOMPARE(t.file.contents()[low] | (t.file.contents()[low + 1] << 8), c.word);
            QCOMPARE(t.services.messages.size(), std::size_t(1));
            QCOMPARE(t.services.messages[0].icon, MessageIcon::information);
            QCOMPARE(t.services.messages[0].text,
                     QString::fromUtf8(c.memory ? "La frequence Mémoire" : "La frequence du GPU") +
                         QString::fromUtf8(" est maintenant portée à %1 Mhz (DDR)").arg(c.shown));
            QCOMPARE(text2WhileShown, QString::number(c.shown) + (c.memory ? " Mhz (DDR)" : " Mhz"));
            QCOMPARE(t.host->image.*t.stateText(), std::to_string(c.shown) + " Mhz");
            QCOMPARE(t.host->image.checksumText, std::string("???"));
            QVERIFY(!t.dialog->isVisible());
        }
    }

    // Apply writes nothing, says why, and the dialog stays: no image, the main
    // window gone, no "r7", an open that stopped before looking for it, a file
    // gone, or a starting clock the slider could not take.
    void clockApplyRefusals()
    {
        const std::pair<QString, QString> cases[] = {
            {"no image", "Aucune image"},
            {"gone", "fenêtre principale est fermée"},
            {"no r7", "\"r7\""},
            {"incomplete", "ouverte entièrement"},
            {"removed", "Impossible d'écrire"},
            {"outside", "hors de la plage"},
        };
        for (const auto& [situation, says] : cases) {
            Clock t(true, situation == "outside" ? "1310,7 Mhz" : "");
            if (situation != "outside") {
                t.drag(300);
            }
            if (situation == "no image") {
                t.host->onShow.reset();
            } else if (situation == "gone") {
                t.host.reset();
            } else if (situation == "removed") {
                std::filesystem::remove(t.file.path());
            } else if (situation != "outside") {
                t.host->image.Octclef.reset();
                t.host->image.sbaState = situation == "no r7" ? "NON" : "";
            }
            t.click();
            QVERIFY(t.refusedOnce());
            QVERIFY2(t.services.messages[0].text.contains(says), qPrintable(t.services.messages[0].text));
            QVERIFY(!std::filesystem::exists(t.file.path()) || t.changed().empty());
            QVERIFY(t.dialog->isVisible());
        }
    }

    // The state word and button follow the host's state; the click rewrites
    // the one byte, marks the checksum and offers its correction, and changes
    // the state text only once the message is closed.
    void sbaTogglesTheByteAndMarksTheChecksum()
    {
        for (const std::uint8_t byte : {0x7F, 0xFB}) {
            const bool enabling = byte == 0x7F;
            Shown t(vardane::test::standardImage().put(Standard::kSba, byte));
            t.show(new vardane::ui::SbaDialog(*t.host));
            QCOMPARE(t.text("Label2") + " " + t.text("Command1"),
                     QString::fromUtf8(enabling ? "Desactivé Activer" : "Activé Desactiver"));
            std::string stateWhileShown;
            t.services.whileMessageShown = [&](const auto&) { stateWhileShown = t.host->image.sbaState; };
            t.click();
            QCOMPARE(t.changed(), std::vector{std::size_t(Standard::kSba)});
            QCOMPARE(t.file.contents()[Standard::kSba], enabling ? 0xFB : 0x7F);
            QCOMPARE(t.services.messages.size(), std::size_t(1));
            QCOMPARE(t.services.messages[0].title, QString::fromUtf8("Modification effectuée"));
            QCOMPARE(t.services.messages[0].text.toStdString(),
                     std::string(enabling ? vardane::kSbaEnabledMessage : vardane::kSbaDisabledMessage));
            QCOMPARE(stateWhileShown, std::string(enabling ? "NON" : "OUI"));
            QCOMPARE(t.host->image.sbaState, std::string(enabling ? "OUI" : "NON"));
            QCOMPARE(t.host->image.checksumText, std::string("Non Valide !"));
            QVERIFY(t.host->correctionEnabled);
            QVERIFY(!t.dialog->isVisible());
        }
    }

    // Undecided: the first captions, and a click that only closes. A byte
    // changed since Open: refused. The main window gone: it only closes.
    void sbaClickWritesNothing()
    {
        for (const QString meanwhile : {"undecided", "changed", "gone"}) {
            Shown t(
                vardane::test::standardImage().put(Standard::kSba, meanwhile == "undecided" ? 0x00 : 0x7F));
            t.show(new vardane::ui::SbaDialog(*t.host));
            if (meanwhile == "undecided") {
                QCOMPARE(t.text("Label2") + " " + t.text("Command1"),
                         QString::fromUtf8("Desactivé Activer le SBA"));
            } else if (meanwhile == "changed") {
                vardane::test::writeAll(t.file.path(),
                                        vardane::test::standardImage().put(Standard::kSba, 0xFB).bytes());
            } else {
                t.host.reset();
            }
            const Bytes expected = t.file.contents();
            t.click();
            QCOMPARE(t.file.contents(), expected);
            QCOMPARE(t.refusedOnce(), meanwhile == "changed");
            QCOMPARE(t.services.messages.size(), std::size_t(meanwhile == "changed"));
            QVERIFY(t.host == nullptr || !t.host->correctionEnabled);
            QVERIFY(!t.dialog->isVisible());
        }
    }

    // The box opens with the field's characters ("?" for a control byte), its
    // start in view and without the padding; unedited, Apply writes the very
    // bytes back; an edit is padded with spaces to the field's width.
    void headerApplyWritesTheBoxText()
    {
        const std::pair<QString, QString> cases[] = {
            {{}, {}},
            {"GeForce2 !", "GeForce2 !"},
            {QString(50, 'x'), QString(48, 'x')},
            {QString::fromUtf8("Ā€\t"), QString::fromUtf8("€")},  // no byte for the first, the last a control
        };
        for (const auto& [typed, written] : cases) {
            Shown t(vardane::test::standardImage().put(Standard::kHeader + 2, std::uint8_t{0x00}));
            t.show(vardane::ui::HeaderDialog::load(*t.host));
            auto* box = qobject_cast<QLineEdit*>(t.child("Text1"));
            QCOMPARE(box->text(), QString("Va?dane test header"));
            QCOMPARE(box->cursorPosition(), 0);
            if (!typed.isNull()) {
                box->selectAll();
                t.type(typed);
                QCOMPARE(box->text(), written);
            }
            t.click();
            const auto changed = t.changed();
            QCOMPARE(changed.empty(), typed.isNull());
            QVERIFY(changed.empty() ||
                    (changed.front() >= std::size_t(Standard::kHeader) &&
                     changed.back() < std::size_t(Standard::kHeader) + Standard::kHeaderWidth));
            const auto after = t.file.contents();
            const auto field = vardane::decodeWindows1252(
                std::span(after).subspan(std::size_t(Standard::kHeader), Standard::kHeaderWidth));
            QVERIFY(typed.isNull() || QString::fromStdString(field) == written.leftJustified(48, ' '));
            QCOMPARE(t.host->image.headerText, field);
            QCOMPARE(t.host->image.checksumText, std::string("Non Valide"));
            QVERIFY(t.services.messages.empty());
            QVERIFY(!t.dialog->isVisible());
        }
    }

    // No field (no carriage return in the 51 bytes): no dialog, a message. The
    // image closed or replaced since the load: nothing written, and it closes.
    void headerRefusals()
    {
        Shown none(vardane::test::standardImage().put(Standard::kHeader + 48, ' '));
        QVERIFY(vardane::ui::HeaderDialog::load(*none.host) == nullptr);
        QVERIFY(none.refusedOnce());

        Shown replaced;
        replaced.show(vardane::ui::HeaderDialog::load(*replaced.host));
        replaced.type("X");
        replaced.host->onShow = 2;
        replaced.click();
        QVERIFY(replaced.changed().empty());
        QVERIFY(replaced.refusedOnce());
        QVERIFY(!replaced.dialog->isVisible());
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
