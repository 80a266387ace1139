// frmfreqmem and frmfreqCore driven headless through the main window's menus.
#include "ui_session.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <QtTest>

#include <algorithm>
#include <filesystem>

using vardane::test::differingOffsets;
using vardane::test::Standard;
using vardane::test::standardImage;
using vardane::test::TempFile;
using vardane::test::TestImage;
using vardane::test::UiSession;
using vardane::ui::MessageIcon;

namespace {

const QString kMem = "frmfreqmem";
const QString kCore = "frmfreqCore";

// 361 Mhz (DDR) and 138 Mhz: words whose bytes no test writes, so every write shows.
TestImage imageWithUnusedWords(std::int64_t clockKey = Standard::kClockKey)
{
    return standardImage().clockKey(clockKey, 0x4682, 0x35E8);
}

std::vector<std::size_t> wordAt(std::int64_t low)
{
    return {static_cast<std::size_t>(low), static_cast<std::size_t>(low + 1)};
}

QString colourName(const QColor& colour)
{
    const QMap<QRgb, QString> named{
        {qRgb(0, 192, 0), "green"}, {qRgb(255, 128, 0), "orange"}, {qRgb(255, 0, 0), "red"}};
    return colour == QLineEdit().palette().color(QPalette::Text) ? "default"
                                                                 : named.value(colour.rgb(), colour.name());
}

// An image open in a session and one clock dialog shown from its menu item,
// the main window's clock text first replaced when `clockText` is not null.
struct Shown {
    explicit Shown(const QString& name, const TestImage& image = standardImage(),
                   const QString& clockText = {})
        : file(image), name(name), memory(name == kMem)
    {
        session.open(file);
        if (!clockText.isNull()) {
            (session.window()->*(memory
                                     ? &vardane::ui::MainWindow::setMemClockText
                                     : &vardane::ui::MainWindow::setCoreClockText))(clockText.toStdString());
        }
        dialog = show();
    }

    UiSession session;
    TempFile file;
    QString name;
    bool memory;
    QPointer<QWidget> dialog;

    [[nodiscard]] QWidget* show() const
    {
        return session.showDialog(memory ? "memfreq" : "corefreq", qPrintable(name));
    }
    [[nodiscard]] std::int64_t wordOffset() const { return Standard::kClockKey - (memory ? 26 : 70); }
    [[nodiscard]] const char* mainLabel() const { return memory ? "Text6" : "Text9"; }
    [[nodiscard]] QSlider* slider() const { return dialog->findChild<QSlider*>("Slider1"); }
    [[nodiscard]] QString text(const char* box) const { return dialog->findChild<QLineEdit*>(box)->text(); }
    [[nodiscard]] QList<int> positionAndRange() const
    {
        return {slider()->value(), slider()->minimum(), slider()->maximum()};
    }
    // Text1's colour, which Label1 must share.
    [[nodiscard]] QString colour() const
    {
        const QColor text1 = dialog->findChild<QLineEdit*>("Text1")->palette().color(QPalette::Text);
        const QColor label1 = dialog->findChild<QLabel*>("Label1")->palette().color(QPalette::WindowText);
        return text1 == label1 ? colourName(text1) : "Text1 and Label1 differ";
    }
    // A drag of the thumb: a user's move.
    void drag(int position) const
    {
        slider()->setSliderDown(true);
        slider()->setSliderPosition(position);
        slider()->setSliderDown(false);
    }
    void tickOufMode() const { QTest::mouseClick(dialog->findChild<QCheckBox*>("Check1"), Qt::LeftButton); }
    void apply() const { QTest::mouseClick(dialog->findChild<QPushButton*>("Command1"), Qt::LeftButton); }
};

}  // namespace

class ClockDialogTest : public QObject {
    Q_OBJECT

private slots:
    // Closing by the frame writes nothing, and the next show loads afresh.
    void opensFromTheMainWindowsTextEachTime_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("texts");  // Text2, Text1, colour
        QTest::addColumn<QList<int>>("positionAndRange");
        QTest::newRow("memory") << kMem << QStringList{"366 Mhz (DDR)", "366 Mhz", "green"}
                                << QList<int>{366, 200, 600};
        QTest::newRow("core") << kCore << QStringList{"143 Mhz", "143 Mhz", "default"}
                              << QList<int>{143, 75, 350};
    }
    void opensFromTheMainWindowsTextEachTime()
    {
        QFETCH(QString, name);
        QFETCH(QStringList, texts);
        QFETCH(QList<int>, positionAndRange);
        Shown t(name);
        const auto before = t.file.contents();
        for (int time = 0; time < 2; ++time) {
            QVERIFY(t.dialog != nullptr);
            QCOMPARE((QStringList{t.text("Text2"), t.text("Text1"), t.colour()}), texts);
            QCOMPARE(t.positionAndRange(), positionAndRange);
            t.tickOufMode();
            t.drag(300);
            t.dialog->close();
            UiSession::flushDeletes();
            QVERIFY(t.dialog.isNull());
            QCOMPARE(t.file.contents(), before);
            t.dialog = t.show();
        }
        QVERIFY(t.session.services.messages.empty());
    }

    // Every user's move (drag, key, wheel, track click) shows its position in
    // Text1 and its colour, the middle clock (460, 250) keeping the previous
    // colour; the program's own setValue shows nothing.
    void userMovesShowTheirClockAndColour_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("drags");
        QTest::addColumn<QStringList>("colours");
        QTest::addColumn<QList<int>>("afterKeys");
        QTest::newRow("memory") << kMem << QList<int>{459, 460, 461, 460, 530, 531, 460}
                                << QStringList{"green", "green", "orange", "orange", "orange", "red", "red"}
                                << QList<int>{462, 467, 465, 460, 200, 600};
        QTest::newRow("core") << kCore << QList<int>{250, 249, 251, 250, 290, 291, 250}
                              << QStringList{"default", "green", "orange", "orange", "orange", "red", "red"}
                              << QList<int>{251, 256, 255, 250, 75, 350};
    }
    void userMovesShowTheirClockAndColour()
    {
        QFETCH(QString, name);
        QFETCH(QList<int>, drags);
        QFETCH(QStringList, colours);
        QFETCH(QList<int>, afterKeys);
        const Shown t(name);
        QVERIFY(t.dialog != nullptr && QTest::qWaitForWindowExposed(t.dialog));
        for (qsizetype i = 0; i < drags.size(); ++i) {
            t.drag(drags[i]);
            QCOMPARE((QStringList{t.text("Text1"), t.colour()}),
                     (QStringList{QString::number(drags[i]), colours[i]}));
        }
        QSlider* s = t.slider();
        const QList<Qt::Key> keys{Qt::Key_Right,    Qt::Key_PageUp, Qt::Key_Left,
                                  Qt::Key_PageDown, Qt::Key_Home,   Qt::Key_End};
        for (qsizetype i = 0; i < keys.size(); ++i) {
            QTest::keyClick(s, keys[i]);
            QCOMPARE(t.text("Text1"), QString::number(afterKeys[i]));
        }
        s->setValue(300);
        QCOMPARE(t.text("Text1"), QString::number(afterKeys.back()));

        const QPoint middle = s->rect().center();
        QWheelEvent wheel(middle, s->mapToGlobal(middle), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(s, &wheel);
        QVERIFY(s->value() != 300);
        QCOMPARE(t.text("Text1"), QString::number(s->value()));

        s->setValue(300);
        QStyleOptionSlider groove;
        groove.initFrom(s);
        groove.tickPosition = s->tickPosition();
        const QPoint track(
            s->width() - 3,
            s->style()->subControlRect(QStyle::CC_Slider, &groove, QStyle::SC_SliderGroove, s).center().y());
        for (const auto& [type, held] : {std::pair{QEvent::MouseButtonPress, Qt::LeftButton},
                                         std::pair{QEvent::MouseButtonRelease, Qt::NoButton}}) {
            QMouseEvent click(type, track, s->mapToGlobal(track), Qt::LeftButton, held, Qt::NoModifier);
            QApplication::sendEvent(s, &click);
        }
        QCOMPARE(s->value(), 305);
        QCOMPARE(t.text("Text1"), QString("305"));
    }

    // Ticking widens the range and moves nothing; clearing it clamps without a
    // user's move: position and Text1 at the clamped clock, the colour kept.
    void oufModeWidensThenClamps_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("oufRange");
        QTest::addColumn<int>("movedTo");
        QTest::addColumn<int>("clampedTo");
        QTest::addColumn<QString>("colour");
        QTest::newRow("memory 900") << kMem << QList<int>{100, 1000} << 900 << 600 << "red";
        QTest::newRow("memory 150") << kMem << QList<int>{100, 1000} << 150 << 200 << "green";
        QTest::newRow("memory 300") << kMem << QList<int>{100, 1000} << 300 << 300 << "green";
        QTest::newRow("core 400") << kCore << QList<int>{20, 450} << 400 << 350 << "red";
        QTest::newRow("core 30") << kCore << QList<int>{20, 450} << 30 << 75 << "green";
    }
    void oufModeWidensThenClamps()
    {
        QFETCH(QString, name);
        QFETCH(QList<int>, oufRange);
        QFETCH(int, movedTo);
        QFETCH(int, clampedTo);
        QFETCH(QString, colour);
        const Shown t(name);
        QVERIFY(t.dialog != nullptr);
        const QList<int> opened = t.positionAndRange();
        const QString openedText = t.text("Text1");
        t.tickOufMode();
        QCOMPARE(t.positionAndRange(), QList<int>{opened[0]} + oufRange);
        t.tickOufMode();
        QCOMPARE(t.positionAndRange(), opened);
        QCOMPARE(t.text("Text1"), openedText);

        t.tickOufMode();
        t.drag(movedTo);
        QCOMPARE(t.colour(), colour);
        t.tickOufMode();
        QCOMPARE(t.positionAndRange(), QList<int>{clampedTo} + opened.mid(1));
        QCOMPARE(t.text("Text1"), QString::number(clampedTo));
        QCOMPARE(t.colour(), colour);
    }

    // Right after opening, the word comes from Text1 and the shown clock from
    // the slider; after a move, both from the slider.
    void applyWritesTheWordAndReports_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("clockText");  // null: the image's own, then a move
        QTest::addColumn<bool>("ouf");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("word");
        const auto row = [](const char* tag, const QString& name, const char* clock, bool ouf, int at,
                            int word) { QTest::newRow(tag) << name << QString(clock) << ouf << at << word; };
        row("memory 333,34 Mhz", kMem, "333,34 Mhz", false, 333, 16650);
        row("memory 333.5 Mhz", kMem, "333.5 Mhz", false, 334, 16675);
        row("core 125,5 Mhz", kCore, "125,5 Mhz", false, 125, 12500);
        row("core 125.5 Mhz", kCore, "125.5 Mhz", false, 126, 12550);
        row("memory 200", kMem, nullptr, false, 200, 0x2710);
        row("memory 600", kMem, nullptr, false, 600, 0x7530);
        row("memory ouf 100", kMem, nullptr, true, 100, 0x1388);
        row("memory ouf 1000", kMem, nullptr, true, 1000, 0xC350);
        row("core 75", kCore, nullptr, false, 75, 0x1D4C);
        row("core 350", kCore, nullptr, false, 350, 0x88B8);
        row("core ouf 20", kCore, nullptr, true, 20, 0x07D0);
        row("core ouf 40", kCore, nullptr, true, 40, 0x0FA0);
        row("core ouf 41", kCore, nullptr, true, 41, 0x1004);
        row("core ouf 450", kCore, nullptr, true, 450, 0xAFC8);
    }
    void applyWritesTheWordAndReports()
    {
        QFETCH(QString, name);
        QFETCH(QString, clockText);
        QFETCH(bool, ouf);
        QFETCH(int, position);
        QFETCH(int, word);
        Shown t(name, imageWithUnusedWords(), clockText);
        QVERIFY(t.dialog != nullptr);
        const QStringList othersBefore{t.session.shown("Text7"),
                                       t.session.shown(t.memory ? "Text9" : "Text6")};
        const auto before = t.file.contents();
        if (ouf) {
            t.tickOufMode();
        }
        if (clockText.isNull()) {
            t.drag(position);
        }
        QCOMPARE(t.slider()->value(), position);

        const QString shown = QString::number(position);
        bool checkedWhileShown = false;
        t.session.services.whileMessageShown = [&](const vardane::test::RecordedMessage&) {
            checkedWhileShown =
                t.text("Text2") == shown + (t.memory ? " Mhz (DDR)" : " Mhz") && t.file.contents() != before;
        };
        t.apply();

        const auto after = t.file.contents();
        const std::int64_t low = t.wordOffset();
        QCOMPARE(differingOffsets(before, after), wordAt(low));
        QCOMPARE(after[low] | (after[low + 1] << 8), word);
        QVERIFY(checkedWhileShown);
        QCOMPARE(t.session.services.messages.size(), std::size_t(1));
        const auto& message = t.session.services.messages[0];
        QCOMPARE(message.icon, MessageIcon::information);
        QCOMPARE(message.text, (t.memory ? "La frequence Mémoire est maintenant portée à "
                                         : "La frequence du GPU est maintenant portée à ") +
                                   shown + " Mhz (DDR)");
        QCOMPARE(t.session.shown(t.mainLabel()), shown + " Mhz");
        QCOMPARE((QStringList{t.session.shown("Text7"), t.session.shown(t.memory ? "Text9" : "Text6")}),
                 othersBefore);
        UiSession::flushDeletes();
        QVERIFY(t.dialog.isNull());
    }

    // Shown again, the same dialog keeps its moves; the other one opens beside it.
    void showingAgainKeepsTheDialogAsItWas()
    {
        const Shown t(kCore);
        QVERIFY(t.dialog != nullptr);
        t.tickOufMode();
        t.drag(300);
        QWidget* memory = t.session.showDialog("memfreq", "frmfreqmem");
        QVERIFY(memory != nullptr && memory != t.dialog);
        QCOMPARE(t.show(), t.dialog.data());
        const auto all = QApplication::topLevelWidgets();
        QCOMPARE(
            std::count_if(all.begin(), all.end(),
                          [](QWidget* w) { return w->isVisible() && w->objectName().startsWith("frmfreq"); }),
            std::ptrdiff_t(2));
        QCOMPARE(t.positionAndRange(), (QList<int>{300, 20, 450}));
        QCOMPARE((QStringList{t.text("Text2"), t.text("Text1"), t.colour()}),
                 (QStringList{"143 Mhz", "300", "red"}));
    }

    // The dialog reads the image open when Apply is clicked.
    void applyWritesIntoTheImageOpenNow()
    {
        Shown t(kCore, imageWithUnusedWords());
        const TempFile second(imageWithUnusedWords(0xF00));
        QVERIFY(t.dialog != nullptr);
        t.drag(250);
        t.session.trigger("mnuClose");
        t.session.open(second);
        const auto firstBefore = t.file.contents();
        const auto secondBefore = second.contents();
        t.apply();
        QCOMPARE(t.file.contents(), firstBefore);
        const auto after = second.contents();
        QCOMPARE(differingOffsets(secondBefore, after), wordAt(0xF00 - 70));
        QCOMPARE(after[0xF00 - 70] | (after[0xF00 - 69] << 8), 0x61A8);
        QCOMPARE(t.session.shown("Text9"), QString("250 Mhz"));
    }

    void applyWithoutAUsableImageWritesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("situation");
        for (const QString& name : {kMem, kCore}) {
            for (const char* situation :
                 {"image closed", "main window gone", "no clock key", "file removed", "clock key replaced"}) {
                QTest::addRow("%s %s", qPrintable(name), situation) << name << QString(situation);
            }
        }
    }
    void applyWithoutAUsableImageWritesNothing()
    {
        QFETCH(QString, name);
        QFETCH(QString, situation);
        Shown t(name,
                imageWithUnusedWords().put(Standard::kClockKey, situation == "no clock key" ? "xx" : "r7"));
        QVERIFY(t.dialog != nullptr);
        t.session.services.messages.clear();
        const QString openedText2 = t.text("Text2");
        // Without the key the clock text is empty and the slider apart from it;
        // the refusal must still name the missing key.
        if (situation != "no clock key") {
            t.drag(300);
        }
        auto expected = t.file.contents();
        if (situation == "image closed") {
            t.session.trigger("mnuClose");
        } else if (situation == "main window gone") {
            t.session.closeMainWindow();
        } else if (situation == "file removed") {
            std::filesystem::remove(t.file.path());
        } else if (situation == "clock key replaced") {
            expected[Standard::kClockKey] = 'x';
            vardane::test::writeAll(t.file.path(), expected);
        }
        const QString clockBefore = t.session.window() != nullptr ? t.session.shown(t.mainLabel()) : "";
        t.apply();

        if (situation == "file removed") {
            QVERIFY(!std::filesystem::exists(t.file.path()));
        } else {
            QCOMPARE(t.file.contents(), expected);
        }
        QCOMPARE(t.session.services.messages.size(), std::size_t(1));
        QCOMPARE(t.session.services.messages[0].icon, MessageIcon::critical);
        QCOMPARE(t.session.services.messages[0].text.contains("\"r7\""), situation == "no clock key");
        QVERIFY(!t.dialog.isNull() && t.dialog->isVisible());
        QCOMPARE(t.text("Text2"), openedText2);
        QCOMPARE(t.session.window() != nullptr ? t.session.shown(t.mainLabel()) : "", clockBefore);
    }

    // The slider stands at the nearer end while the texts show the image's
    // clock; Apply writes nothing until the user moves the slider.
    void startingClockOutsideTheRange_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("clockText");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("text2");
        QTest::newRow("memory below") << kMem << "100 Mhz" << 200 << "100 Mhz (DDR)";
        QTest::newRow("memory above") << kMem << "1310,7 Mhz" << 600 << "1310,7 Mhz (DDR)";
        QTest::newRow("memory empty") << kMem << "" << 200 << " (DDR)";
        QTest::newRow("core below") << kCore << "20 Mhz" << 75 << "20 Mhz";
        QTest::newRow("core above") << kCore << "655,35 Mhz" << 350 << "655,35 Mhz";
    }
    void startingClockOutsideTheRange()
    {
        QFETCH(QString, name);
        QFETCH(QString, clockText);
        QFETCH(int, position);
        QFETCH(QString, text2);
        const Shown t(name, imageWithUnusedWords(), clockText);
        QVERIFY(t.dialog != nullptr);
        const auto before = t.file.contents();
        QCOMPARE(t.slider()->value(), position);
        QCOMPARE((QStringList{t.text("Text1"), t.text("Text2")}), (QStringList{clockText, text2}));

        t.apply();
        t.tickOufMode();
        t.apply();
        QCOMPARE(t.file.contents(), before);
        QCOMPARE(t.session.services.messages.size(), std::size_t(2));
        QCOMPARE(t.session.services.messages[0].icon, MessageIcon::critical);
        QCOMPARE(t.session.services.messages[1].icon, MessageIcon::critical);
        QCOMPARE(t.session.shown(t.mainLabel()), clockText);

        QTest::keyClick(t.slider(), Qt::Key_Right);
        t.apply();
        QCOMPARE(differingOffsets(before, t.file.contents()), wordAt(t.wordOffset()));
        QCOMPARE(t.session.services.messages.back().icon, MessageIcon::information);
    }
};

QTEST_MAIN(ClockDialogTest)
#include "clock_dialog_test.moc"
