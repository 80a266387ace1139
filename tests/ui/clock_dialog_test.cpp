// frmfreqmem and frmfreqCore driven headless through the main window's menus.
#include "ui/clock_dialog.h"
#include "fake_services.h"
#include "test_image.h"
#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <QtTest>

#include <cstdint>
#include <filesystem>
#include <vector>

using vardane::test::differingOffsets;
using vardane::test::FakeServices;
using vardane::test::readAll;
using vardane::test::Standard;
using vardane::test::standardImage;
using vardane::test::TempFile;
using vardane::test::TestImage;
using vardane::ui::ChosenFile;
using vardane::ui::MainWindow;
using vardane::ui::MessageIcon;

namespace {

constexpr std::int64_t kMemLow = Standard::kClockKey - 26;
constexpr std::int64_t kCoreLow = Standard::kClockKey - 70;

const QColor kGreen(0, 192, 0);
const QColor kOrange(255, 128, 0);
const QColor kRed(255, 0, 0);

// 361 Mhz (DDR) and 138 Mhz: clocks inside both ranges whose bytes, low and
// high alike, no test writes, so that every write shows in the file.
TestImage imageWithUnusedWords(std::int64_t clockKey = Standard::kClockKey)
{
    return standardImage().clockKey(clockKey, 0x4682, 0x35E8);
}

// The bytes at low and low + 1, low byte first.
std::vector<std::size_t> pairAt(std::int64_t low)
{
    return {static_cast<std::size_t>(low), static_cast<std::size_t>(low + 1)};
}

QString menuFor(const QString& dialogName)
{
    return dialogName == "frmfreqmem" ? "memfreq" : "corefreq";
}

std::int64_t wordOffsetFor(const QString& dialogName)
{
    return dialogName == "frmfreqmem" ? kMemLow : kCoreLow;
}

QString mainLabelFor(const QString& dialogName)
{
    return dialogName == "frmfreqmem" ? "Text6" : "Text9";
}

QColor defaultTextColour()
{
    return QLineEdit().palette().color(QPalette::Text);
}

QColor colourNamed(const QString& name)
{
    if (name == "green") {
        return kGreen;
    }
    if (name == "orange") {
        return kOrange;
    }
    if (name == "red") {
        return kRed;
    }
    return defaultTextColour();
}

class Session {
public:
    Session() : window_(new MainWindow(services)) {}
    ~Session()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<vardane::ui::ClockDialog*>(widget) != nullptr) {
                delete widget;
            }
        }
        delete window_.data();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    FakeServices services;

    [[nodiscard]] MainWindow* window() const { return window_.data(); }

    void trigger(const QString& name) const
    {
        auto* action = window_->findChild<QAction*>(name);
        QVERIFY2(action != nullptr, qPrintable(name));
        action->trigger();
    }

    void open(const TempFile& file)
    {
        const QString path = QString::fromStdString(file.path().string());
        services.fileAnswers.emplace_back(
            ChosenFile{path, QString::fromStdString(file.path().filename().string())});
        trigger("Ouvrir");
    }

    [[nodiscard]] QString mainText(const QString& label) const
    {
        const auto* shown = window_->findChild<QLabel*>(label);
        return shown != nullptr ? shown->text() : QString("<no %1>").arg(label);
    }

    // Shows the dialog through its menu item and returns the one on screen.
    [[nodiscard]] QWidget* show(const QString& dialogName) const
    {
        trigger(menuFor(dialogName));
        QWidget* found = nullptr;
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == dialogName && widget->isVisible()) {
                found = widget;
                ++count;
            }
        }
        return count == 1 ? found : nullptr;
    }

private:
    QPointer<MainWindow> window_;
};

template <typename Control>
Control* control(QWidget* dialog, const char* name)
{
    auto* found = dialog->findChild<Control*>(name);
    if (found == nullptr) {
        qFatal("no control %s", name);
    }
    return found;
}

QSlider* slider(QWidget* dialog)
{
    return control<QSlider>(dialog, "Slider1");
}
QString text1(QWidget* dialog)
{
    return control<QLineEdit>(dialog, "Text1")->text();
}
QString text2(QWidget* dialog)
{
    return control<QLineEdit>(dialog, "Text2")->text();
}
QString caption(QWidget* dialog, const char* label)
{
    return control<QLabel>(dialog, label)->text();
}

QColor text1Colour(QWidget* dialog)
{
    return control<QLineEdit>(dialog, "Text1")->palette().color(QPalette::Text);
}
QColor label1Colour(QWidget* dialog)
{
    return control<QLabel>(dialog, "Label1")->palette().color(QPalette::WindowText);
}

// A drag of the thumb: the user's move that reports every position on the way.
void dragTo(QWidget* dialog, int position)
{
    QSlider* s = slider(dialog);
    s->setSliderDown(true);
    s->setSliderPosition(position);
    s->setSliderDown(false);
}

void tickOufMode(QWidget* dialog)
{
    QTest::mouseClick(control<QCheckBox>(dialog, "Check1"), Qt::LeftButton);
}

void apply(QWidget* dialog)
{
    QTest::mouseClick(control<QPushButton>(dialog, "Command1"), Qt::LeftButton);
}

QRect handleRect(QSlider* s)
{
    QStyleOptionSlider option;
    option.initFrom(s);
    option.orientation = s->orientation();
    option.minimum = s->minimum();
    option.maximum = s->maximum();
    option.sliderPosition = s->sliderPosition();
    option.sliderValue = s->value();
    option.singleStep = s->singleStep();
    option.pageStep = s->pageStep();
    option.tickPosition = s->tickPosition();
    option.tickInterval = s->tickInterval();
    option.subControls = QStyle::SC_All;
    return s->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, s);
}

void sendMouse(QSlider* s, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, s->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(s, &event);
}

}  // namespace

class ClockDialogTest : public QObject {
    Q_OBJECT

private slots:
    void opensFromTheMainWindowsText_data()
    {
        QTest::addColumn<QString>("dialogName");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("expectedText2");
        QTest::addColumn<QString>("expectedText1");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QList<int>>("steps");
        QTest::addColumn<QString>("currentCaption");
        QTest::addColumn<QString>("colour");
        QTest::newRow("memory") << "frmfreqmem"
                                << "Modification Freq Mémoire"
                                << "366 Mhz (DDR)"
                                << "366 Mhz" << 366 << 200 << 600 << "200 Mhz"
                                << "600 Mhz" << QList<int>{2, 5, 20}
                                << "La frequence actuelle de la RAM est fixée à :"
                                << "green";
        QTest::newRow("core") << "frmfreqCore"
                              << "Modificarion freq core"
                              << "143 Mhz"
                              << "143 Mhz" << 143 << 75 << 350 << "75 Mhz"
                              << "350 Mhz" << QList<int>{1, 5, 25}
                              << "La fréquence actuelle du Core est fixée à :"
                              << "default";
    }

    void opensFromTheMainWindowsText()
    {
        QFETCH(QString, dialogName);
        QFETCH(QString, title);
        QFETCH(QString, expectedText2);
        QFETCH(QString, expectedText1);
        QFETCH(int, position);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(QString, lower);
        QFETCH(QString, upper);
        QFETCH(QList<int>, steps);
        QFETCH(QString, currentCaption);
        QFETCH(QString, colour);

        Session session;
        const TempFile file(standardImage());
        session.open(file);
        QWidget* dialog = session.show(dialogName);
        QVERIFY(dialog != nullptr);

        QCOMPARE(dialog->parent(), nullptr);
        QVERIFY(dialog->isWindow());
        QCOMPARE(dialog->windowTitle(), title);
        QCOMPARE(text2(dialog), expectedText2);
        QCOMPARE(text1(dialog), expectedText1);
        QCOMPARE(slider(dialog)->value(), position);
        QCOMPARE(slider(dialog)->minimum(), minimum);
        QCOMPARE(slider(dialog)->maximum(), maximum);
        QCOMPARE(slider(dialog)->orientation(), Qt::Horizontal);
        QCOMPARE((QList<int>{slider(dialog)->singleStep(), slider(dialog)->pageStep(),
                             slider(dialog)->tickInterval()}),
                 steps);
        QCOMPARE(caption(dialog, "Label3"), lower);
        QCOMPARE(caption(dialog, "Label4"), upper);
        QCOMPARE(caption(dialog, "Label2"), currentCaption);
        QCOMPARE(caption(dialog, "Label1"), QString("Mhz (DDR)"));
        QCOMPARE(control<QPushButton>(dialog, "Command1")->text(), QString("Appliquer"));
        QCOMPARE(control<QCheckBox>(dialog, "Check1")->text(), QString("Ouf Mode"));
        QVERIFY(!control<QCheckBox>(dialog, "Check1")->isChecked());
        QCOMPARE(text1Colour(dialog), colourNamed(colour));
        QCOMPARE(label1Colour(dialog), colourNamed(colour));
        for (const char* box : {"Text1", "Text2"}) {
            auto* edit = control<QLineEdit>(dialog, box);
            QVERIFY(edit->isReadOnly());
            QCOMPARE(edit->focusPolicy(), Qt::NoFocus);
            QCOMPARE(edit->palette().color(QPalette::Base), edit->palette().color(QPalette::Button));
        }
    }

    void standsWhereItsProfileSays_data()
    {
        QTest::addColumn<QString>("dialogName");
        QTest::addColumn<QSize>("clientTwips");
        QTest::addColumn<QRect>("sliderTwips");
        QTest::addColumn<QRect>("checkTwips");
        QTest::newRow("memory") << "frmfreqmem" << QSize(5865, 2745) << QRect(720, 720, 4215, 615)
                                << QRect(4320, 2280, 1095, 255);
        QTest::newRow("core") << "frmfreqCore" << QSize(5970, 2835) << QRect(600, 960, 4695, 375)
                              << QRect(4200, 2160, 1215, 375);
    }

    void standsWhereItsProfileSays()
    {
        QFETCH(QString, dialogName);
        QFETCH(QSize, clientTwips);
        QFETCH(QRect, sliderTwips);
        QFETCH(QRect, checkTwips);
        Session session;
        const TempFile file(standardImage());
        session.open(file);
        QWidget* dialog = session.show(dialogName);
        QVERIFY(dialog != nullptr);
        const int dpi = dialog->logicalDpiX();
        const auto px = [dpi](int twips) { return (twips * dpi + 720) / 1440; };
        const auto rect = [px](const QRect& t) {
            return QRect(px(t.x()), px(t.y()), px(t.width()), px(t.height()));
        };
        QCOMPARE(dialog->size(), QSize(px(clientTwips.width()), px(clientTwips.height())));
        QCOMPARE(slider(dialog)->geometry(), rect(sliderTwips));
        QCOMPARE(control<QCheckBox>(dialog, "Check1")->geometry(), rect(checkTwips));
    }

    void tabGoesSliderApplyOufMode()
    {
        Session session;
        const TempFile file(standardImage());
        session.open(file);
        for (const QString& name : {QString("frmfreqmem"), QString("frmfreqCore")}) {
            QWidget* dialog = session.show(name);
            QVERIFY(dialog != nullptr);
            QVERIFY(QTest::qWaitForWindowActive(dialog));
            slider(dialog)->setFocus();
            const QList<QWidget*> order{control<QPushButton>(dialog, "Command1"),
                                        control<QCheckBox>(dialog, "Check1"), slider(dialog)};
            for (QWidget* next : order) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
                QCOMPARE(QApplication::focusWidget(), next);
            }
        }
    }

    void keysMoveBySmallAndLargeSteps_data()
    {
        QTest::addColumn<QString>("dialogName");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("position");
        QTest::newRow("memory right") << "frmfreqmem" << int(Qt::Key_Right) << 368;
        QTest::newRow("memory left") << "frmfreqmem" << int(Qt::Key_Left) << 364;
        QTest::newRow("memory page up") << "frmfreqmem" << int(Qt::Key_PageUp) << 371;
        QTest::newRow("memory page down") << "frmfreqmem" << int(Qt::Key_PageDown) << 361;
        QTest::newRow("memory home") << "frmfreqmem" << int(Qt::Key_Home) << 200;
        QTest::newRow("memory end") << "frmfreqmem" << int(Qt::Key_End) << 600;
        QTest::newRow("core right") << "frmfreqCore" << int(Qt::Key_Right) << 144;
        QTest::newRow("core page down") << "frmfreqCore" << int(Qt::Key_PageDown) << 138;
        QTest::newRow("core home stops at 75") << "frmfreqCore" << int(Qt::Key_Home) << 75;
        QTest::newRow("core end") << "frmfreqCore" << int(Qt::Key_End) << 350;
    }

    void keysMoveBySmallAndLargeSteps()
    {
        QFETCH(QString, dialogName);
        QFETCH(int, key);
        QFETCH(int, position);
        Session session;
        const TempFile file(standardImage());
        session.open(file);
        QWidget* dialog = session.show(dialogName);
        QVERIFY(dialog != nullptr);
        QTest::keyClick(slider(dialog), Qt::Key(key));
        QCOMPARE(slider(dialog)->value(), position);
        QCOMPARE(text1(dialog), QString::number(position));
    }

    void dragWheelAndTrackClickAreUserMoves()
    {
        Session session;
        const TempFile file(standardImage());
        session.open(file);
        QWidget* dialog = session.show("frmfreqmem");
        QVERIFY(dialog != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QSlider* s = slider(dialog);

        const QPoint handle = handleRect(s).center();
        sendMouse(s, QEvent::MouseButtonPress, handle, Qt::LeftButton, Qt::LeftButton);
        sendMouse(s, QEvent::MouseMove, handle + QPoint(60, 0), Qt::NoButton, Qt::LeftButton);
        QVERIFY(s->sliderPosition() > 366);
        QCOMPARE(text1(dialog), QString::number(s->sliderPosition()));
        sendMouse(s, QEvent::MouseButtonRelease, handle + QPoint(60, 0), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(text1(dialog), QString::number(s->value()));

        const int beforeWheel = s->value();
        const QPoint middle = s->rect().center();
        QWheelEvent wheel(middle, s->mapToGlobal(middle), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(s, &wheel);
        QVERIFY(s->value() != beforeWheel);
        QCOMPARE(text1(dialog), QString::number(s->value()));

        const QString shownBefore = text1(dialog);
        s->setValue(300);  // the program's own move: not a scroll
        QCOMPARE(text1(dialog), shownBefore);
        const QPoint track(s->width() - 3, handleRect(s).center().y());
        sendMouse(s, QEvent::MouseButtonPress, track, Qt::LeftButton, Qt::LeftButton);
        sendMouse(s, QEvent::MouseButtonRelease, track, Qt::LeftButton, Qt::NoButton);
        QCOMPARE(s->value(), 305);
        QCOMPARE(text1(dialog), QString("305"));
    }

    void coloursFollowTheMoves_data()
    {
        QTest::addColumn<QString>("dialogName");
        QTest::addColumn<QList<int>>("moves");
        QTest::addColumn<QString>("colour");
        QTest::newRow("memory 459") << "frmfreqmem" << QList<int>{459} << "green";
        QTest::newRow("memory 461") << "frmfreqmem" << QList<int>{461} << "orange";
        QTest::newRow("memory 530") << "frmfreqmem" << QList<int>{530} << "orange";
        QTest::newRow("memory 531") << "frmfreqmem" << QList<int>{531} << "red";
        QTest::newRow("memory 459 then 460") << "frmfreqmem" << QList<int>{459, 460} << "green";
        QTest::newRow("memory 461 then 460") << "frmfreqmem" << QList<int>{461, 460} << "orange";
        QTest::newRow("memory 531 then 460") << "frmfreqmem" << QList<int>{531, 460} << "red";
        QTest::newRow("core 249") << "frmfreqCore" << QList<int>{249} << "green";
        QTest::newRow("core 251") << "frmfreqCore" << QList<int>{251} << "orange";
        QTest::newRow("core 290") << "frmfreqCore" << QList<int>{290} << "orange";
        QTest::newRow("core 291") << "frmfreqCore" << QList<int>{291} << "red";
        QTest::newRow("core first move to 250") << "frmfreqCore" << QList<int>{250} << "default";
        QTest::newRow("core 251 then 250") << "frmfreqCore" << QList<int>{251, 250} << "orange";
        QTest::newRow("core 291 then 250") << "frmfreqCore" << QList<int>{291, 250} << "red";
    }

    void coloursFollowTheMoves()
    {
        QFETCH(QString, dialogName);
        QFETCH(QList<int>, moves);
        QFETCH(QString, colour);
        Session session;
        const TempFile file(standardImage());
        session.open(file);
        QWidget* dialog = session.show(dialogName);
        QVERIFY(dialog != nullptr);
        for (const int position : moves) {
            dragTo(dialog, position);
        }
        QCOMPARE(text1(dialog), QString::number(moves.back()));
        QCOMPARE(text1Colour(dialog), colourNamed(colour));
        QCOMPARE(label1Colour(dialog), colourNamed(colour));
    }

    void oufModeWidensAndClampsWithoutAScroll_data()
    {
        QTest::addColumn<QString>("dialogName");
        QTest::addColumn<int>("movedTo");
        QTest::addColumn<int>("clampedTo");
        QTest::addColumn<QString>("colour");
        QTest::newRow("memory 900") << "frmfreqmem" << 900 << 600 << "red";
        QTest::newRow("memory 150") << "frmfreqmem" << 150 << 200 << "green";
        QTest::newRow("memory 300") << "frmfreqmem" << 300 << 300 << "green";
        QTest::newRow("core 400") << "frmfreqCore" << 400 << 350 << "red";
        QTest::newRow("core 30") << "frmfreqCore" << 30 << 75 << "green";
        QTest::newRow("core 100") << "frmfreqCore" << 100 << 100 << "green";
    }

    void oufModeWidensAndClampsWithoutAScroll()
    {
        QFETCH(QString, dialogName);
        QFETCH(int, movedTo);
        QFETCH(int, clampedTo);
        QFETCH(QString, colour);
        const bool memory = dialogName == "frmfreqmem";
        Session session;
        const TempFile file(standardImage());
        session.open(file);
        QWidget* dialog = session.show(dialogName);
        QVERIFY(dialog != nullptr);
        const QString opened = text1(dialog);

        tickOufMode(dialog);
        QCOMPARE(slider(dialog)->minimum(), memory ? 100 : 20);
        QCOMPARE(slider(dialog)->maximum(), memory ? 1000 : 450);
        QCOMPARE(caption(dialog, "Label3"), memory ? QString("100 Mhz") : QString("20 Mhz"));
        QCOMPARE(caption(dialog, "Label4"), memory ? QString("1 Ghz") : QString("450 Mhz"));
        QCOMPARE(slider(dialog)->value(), memory ? 366 : 143);
        QCOMPARE(text1(dialog), opened);

        dragTo(dialog, movedTo);
        const QColor colourBefore = text1Colour(dialog);
        QCOMPARE(colourBefore, colourNamed(colour));
        tickOufMode(dialog);
        QCOMPARE(slider(dialog)->value(), clampedTo);
        QCOMPARE(text1(dialog), QString::number(clampedTo));
        QCOMPARE(slider(dialog)->minimum(), memory ? 200 : 75);
        QCOMPARE(slider(dialog)->maximum(), memory ? 600 : 350);
        QCOMPARE(caption(dialog, "Label3"), memory ? QString("200 Mhz") : QString("75 Mhz"));
        QCOMPARE(caption(dialog, "Label4"), memory ? QString("600 Mhz") : QString("350 Mhz"));
        QCOMPARE(text1Colour(dialog), colourBefore);
        QCOMPARE(label1Colour(dialog), colourBefore);
    }

    void oufModeNeverTouchesTheOpeningText()
    {
        Session session;
        const TempFile file(standardImage());
        session.open(file);
        QWidget* dialog = session.show("frmfreqmem");
        QVERIFY(dialog != nullptr);
        tickOufMode(dialog);
        tickOufMode(dialog);
        QCOMPARE(text1(dialog), QString("366 Mhz"));
        QCOMPARE(text1Colour(dialog), kGreen);
    }

    void applyRightAfterOpeningWritesText1sWord_data()
    {
        QTest::addColumn<QString>("dialogName");
        QTest::addColumn<QString>("clockText");
        QTest::addColumn<int>("word");
        QTest::addColumn<QString>("shown");
        QTest::newRow("memory 366 Mhz") << "frmfreqmem"
                                        << "366 Mhz" << 0x477C << "366";
        QTest::newRow("memory 333,34 Mhz") << "frmfreqmem"
                                           << "333,34 Mhz" << 16650 << "333";
        QTest::newRow("memory 333.5 Mhz") << "frmfreqmem"
                                          << "333.5 Mhz" << 16675 << "334";
        QTest::newRow("core 143 Mhz") << "frmfreqCore"
                                      << "143 Mhz" << 0x37DC << "143";
        QTest::newRow("core 125,5 Mhz") << "frmfreqCore"
                                        << "125,5 Mhz" << 12500 << "125";
        QTest::newRow("core 125.5 Mhz") << "frmfreqCore"
                                        << "125.5 Mhz" << 12550 << "126";
    }

    void applyRightAfterOpeningWritesText1sWord()
    {
        QFETCH(QString, dialogName);
        QFETCH(QString, clockText);
        QFETCH(int, word);
        QFETCH(QString, shown);
        const bool memory = dialogName == "frmfreqmem";
        Session session;
        const TempFile file(imageWithUnusedWords());
        session.open(file);
        if (memory) {
            session.window()->setMemClockText(clockText.toStdString());
        } else {
            session.window()->setCoreClockText(clockText.toStdString());
        }
        const auto before = file.contents();
        QWidget* dialog = session.show(dialogName);
        QVERIFY(dialog != nullptr);
        QCOMPARE(slider(dialog)->value(), shown.toInt());
        apply(dialog);

        const auto after = file.contents();
        const std::int64_t low = wordOffsetFor(dialogName);
        QCOMPARE(differingOffsets(before, after), pairAt(low));
        QCOMPARE(int(after[low] | (after[low + 1] << 8)), word);
        QCOMPARE(session.services.messages.size(), std::size_t(1));
        QCOMPARE(session.services.messages[0].text,
                 (memory ? "La frequence Mémoire est maintenant portée à "
                         : "La frequence du GPU est maintenant portée à ") +
                     shown + " Mhz (DDR)");
        QCOMPARE(session.mainText(mainLabelFor(dialogName)), shown + " Mhz");
    }

    void applyAfterAMoveWritesTheWordAndReports_data()
    {
        QTest::addColumn<QString>("dialogName");
        QTest::addColumn<bool>("ouf");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("low");
        QTest::addColumn<int>("high");
        QTest::newRow("memory 200") << "frmfreqmem" << false << 200 << 0x10 << 0x27;
        QTest::newRow("memory 460") << "frmfreqmem" << false << 460 << 0xD8 << 0x59;
        QTest::newRow("memory 600") << "frmfreqmem" << false << 600 << 0x30 << 0x75;
        QTest::newRow("memory ouf 100") << "frmfreqmem" << true << 100 << 0x88 << 0x13;
        QTest::newRow("memory ouf 1000") << "frmfreqmem" << true << 1000 << 0x50 << 0xC3;
        QTest::newRow("core 75") << "frmfreqCore" << false << 75 << 0x4C << 0x1D;
        QTest::newRow("core 250") << "frmfreqCore" << false << 250 << 0xA8 << 0x61;
        QTest::newRow("core 350") << "frmfreqCore" << false << 350 << 0xB8 << 0x88;
        QTest::newRow("core ouf 20") << "frmfreqCore" << true << 20 << 0xD0 << 0x07;
        QTest::newRow("core ouf 40") << "frmfreqCore" << true << 40 << 0xA0 << 0x0F;
        QTest::newRow("core ouf 41") << "frmfreqCore" << true << 41 << 0x04 << 0x10;
        QTest::newRow("core ouf 450") << "frmfreqCore" << true << 450 << 0xC8 << 0xAF;
    }

    void applyAfterAMoveWritesTheWordAndReports()
    {
        QFETCH(QString, dialogName);
        QFETCH(bool, ouf);
        QFETCH(int, position);
        QFETCH(int, low);
        QFETCH(int, high);
        const bool memory = dialogName == "frmfreqmem";
        Session session;
        const TempFile file(imageWithUnusedWords());
        session.open(file);
        const QString checksumBefore = session.mainText("Text7");
        const QString otherClockBefore = session.mainText(memory ? "Text9" : "Text6");
        const auto before = file.contents();
        QPointer<QWidget> dialog = session.show(dialogName);
        QVERIFY(dialog != nullptr);
        if (ouf) {
            tickOufMode(dialog);
        }
        dragTo(dialog, position);

        const QString shown = QString::number(position);
        const QString appliedText2 = shown + (memory ? " Mhz (DDR)" : " Mhz");
        bool checkedWhileShown = false;
        session.services.whileMessageShown = [&](const vardane::test::RecordedMessage&) {
            checkedWhileShown = text2(dialog) == appliedText2 && file.contents() != before;
        };
        apply(dialog);

        const auto after = file.contents();
        const std::int64_t offset = wordOffsetFor(dialogName);
        QCOMPARE(differingOffsets(before, after), pairAt(offset));
        QCOMPARE(int(after[offset]), low);
        QCOMPARE(int(after[offset + 1]), high);
        QVERIFY(checkedWhileShown);
        QCOMPARE(session.services.messages.size(), std::size_t(1));
        const auto& message = session.services.messages[0];
        QCOMPARE(message.icon, MessageIcon::information);
        QCOMPARE(message.title, QString("Modification effectuée"));
        QCOMPARE(message.text, (memory ? "La frequence Mémoire est maintenant portée à "
                                       : "La frequence du GPU est maintenant portée à ") +
                                   shown + " Mhz (DDR)");
        QCOMPARE(session.mainText(mainLabelFor(dialogName)), shown + " Mhz");
        const auto& state = session.window()->state();
        QCOMPARE(QString::fromStdString(memory ? state.memClockText : state.coreClockText), shown + " Mhz");
        QCOMPARE(session.mainText("Text7"), checksumBefore);
        QCOMPARE(session.mainText(memory ? "Text9" : "Text6"), otherClockBefore);
        QTRY_VERIFY(dialog.isNull());
    }

    void showingAgainKeepsTheDialogAsItWas()
    {
        Session session;
        const TempFile file(standardImage());
        session.open(file);
        QWidget* dialog = session.show("frmfreqCore");
        QVERIFY(dialog != nullptr);
        tickOufMode(dialog);
        dragTo(dialog, 300);
        QWidget* again = session.show("frmfreqCore");
        QCOMPARE(again, dialog);
        QCOMPARE(slider(again)->value(), 300);
        QCOMPARE(slider(again)->minimum(), 20);
        QVERIFY(control<QCheckBox>(again, "Check1")->isChecked());
        QCOMPARE(text1(again), QString("300"));
        QCOMPARE(text1Colour(again), kRed);
        QCOMPARE(text2(again), QString("143 Mhz"));
    }

    void bothDialogsOpenTogether()
    {
        Session session;
        const TempFile file(standardImage());
        session.open(file);
        QWidget* memory = session.show("frmfreqmem");
        QWidget* core = session.show("frmfreqCore");
        QVERIFY(memory != nullptr && core != nullptr && memory != core);
        QVERIFY(memory->isVisible());
    }

    void closingByTheFrameWritesNothingAndReloadsNextTime()
    {
        Session session;
        const TempFile file(standardImage());
        session.open(file);
        const auto before = file.contents();
        QPointer<QWidget> dialog = session.show("frmfreqmem");
        QVERIFY(dialog != nullptr);
        dragTo(dialog, 500);
        dialog->close();
        QTRY_VERIFY(dialog.isNull());
        QCOMPARE(file.contents(), before);
        QWidget* fresh = session.show("frmfreqmem");
        QVERIFY(fresh != nullptr);
        QCOMPARE(slider(fresh)->value(), 366);
        QCOMPARE(text1(fresh), QString("366 Mhz"));
        QVERIFY(session.services.messages.empty());
    }

    void applyWritesIntoTheImageOpenNow()
    {
        Session session;
        const TempFile first(imageWithUnusedWords());
        const TempFile second(imageWithUnusedWords(0xF00));
        session.open(first);
        QWidget* dialog = session.show("frmfreqCore");
        QVERIFY(dialog != nullptr);
        dragTo(dialog, 250);
        session.trigger("mnuClose");
        session.open(second);
        const auto firstBefore = first.contents();
        const auto secondBefore = second.contents();
        apply(dialog);
        QCOMPARE(first.contents(), firstBefore);
        const auto after = second.contents();
        QCOMPARE(differingOffsets(secondBefore, after), pairAt(0xF00 - 70));
        QCOMPARE(int(after[0xF00 - 70]), 0xA8);
        QCOMPARE(int(after[0xF00 - 69]), 0x61);
        QCOMPARE(session.mainText("Text9"), QString("250 Mhz"));
    }

    void applyWithoutAUsableImageWritesNothing_data()
    {
        QTest::addColumn<QString>("dialogName");
        QTest::addColumn<QString>("situation");
        for (const char* name : {"frmfreqmem", "frmfreqCore"}) {
            for (const char* situation : {"image closed", "main window gone", "no clock key", "file removed",
                                          "file shrunk", "file replaced"}) {
                QTest::addRow("%s %s", name, situation) << QString(name) << QString(situation);
            }
        }
    }

    void applyWithoutAUsableImageWritesNothing()
    {
        QFETCH(QString, dialogName);
        QFETCH(QString, situation);
        Session session;
        TestImage image = imageWithUnusedWords();
        if (situation == "no clock key") {
            image.put(Standard::kClockKey, "xx");
        }
        const TempFile file(image);
        session.open(file);
        session.services.messages.clear();
        QPointer<QWidget> dialog = session.show(dialogName);
        QVERIFY(dialog != nullptr);
        const QString openedText2 = text2(dialog);
        dragTo(dialog, 300);

        std::vector<std::uint8_t> expected = file.contents();
        if (situation == "image closed") {
            session.trigger("mnuClose");
        } else if (situation == "main window gone") {
            session.window()->close();
            QTRY_VERIFY(session.window() == nullptr);
        } else if (situation == "file removed") {
            std::filesystem::remove(file.path());
        } else if (situation == "file replaced") {
            expected[Standard::kClockKey] = 'x';
            vardane::test::writeAll(file.path(), expected);
        } else if (situation == "file shrunk") {
            expected.resize(3000);
            vardane::test::writeAll(file.path(), expected);
        }
        const QString clockBefore =
            session.window() != nullptr ? session.mainText(mainLabelFor(dialogName)) : "";
        apply(dialog);

        if (situation == "file removed") {
            QVERIFY(!std::filesystem::exists(file.path()));
        } else {
            QCOMPARE(readAll(file.path()), expected);
        }
        QCOMPARE(session.services.messages.size(), std::size_t(1));
        QCOMPARE(session.services.messages[0].icon, MessageIcon::critical);
        QVERIFY(session.services.messages[0].title != "Modification effectuée");
        QVERIFY(!session.services.messages[0].text.isEmpty());
        QVERIFY(!dialog.isNull() && dialog->isVisible());
        QCOMPARE(text2(dialog), openedText2);
        if (session.window() != nullptr) {
            QCOMPARE(session.mainText(mainLabelFor(dialogName)), clockBefore);
        }
    }

    void startingClockOutsideTheRange_data()
    {
        QTest::addColumn<QString>("dialogName");
        QTest::addColumn<QString>("clockText");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("expectedText2");
        QTest::newRow("memory below") << "frmfreqmem"
                                      << "100 Mhz" << 200 << "100 Mhz (DDR)";
        QTest::newRow("memory above") << "frmfreqmem"
                                      << "1310,7 Mhz" << 600 << "1310,7 Mhz (DDR)";
        QTest::newRow("memory empty") << "frmfreqmem"
                                      << "" << 200 << " (DDR)";
        QTest::newRow("core below") << "frmfreqCore"
                                    << "20 Mhz" << 75 << "20 Mhz";
        QTest::newRow("core above") << "frmfreqCore"
                                    << "655,35 Mhz" << 350 << "655,35 Mhz";
    }

    // The slider stands at the nearer end while the texts show the image's
    // clock; Apply then has two clocks to choose from and writes neither
    // until the user moves the slider.
    void startingClockOutsideTheRange()
    {
        QFETCH(QString, dialogName);
        QFETCH(QString, clockText);
        QFETCH(int, position);
        QFETCH(QString, expectedText2);
        const bool memory = dialogName == "frmfreqmem";
        Session session;
        const TempFile file(imageWithUnusedWords());
        session.open(file);
        if (memory) {
            session.window()->setMemClockText(clockText.toStdString());
        } else {
            session.window()->setCoreClockText(clockText.toStdString());
        }
        const auto before = file.contents();
        QWidget* dialog = session.show(dialogName);
        QVERIFY(dialog != nullptr);
        QCOMPARE(slider(dialog)->value(), position);
        QCOMPARE(text1(dialog), clockText);
        QCOMPARE(text2(dialog), expectedText2);

        apply(dialog);
        QCOMPARE(file.contents(), before);
        QCOMPARE(session.services.messages.size(), std::size_t(1));
        QCOMPARE(session.services.messages[0].icon, MessageIcon::critical);
        QCOMPARE(session.mainText(mainLabelFor(dialogName)), clockText);

        tickOufMode(dialog);
        apply(dialog);
        QCOMPARE(file.contents(), before);

        QTest::keyClick(slider(dialog), Qt::Key_Right);
        apply(dialog);
        QCOMPARE(differingOffsets(before, file.contents()), pairAt(wordOffsetFor(dialogName)));
        QCOMPARE(session.services.messages.back().icon, MessageIcon::information);
    }
};

QTEST_MAIN(ClockDialogTest)
#include "clock_dialog_test.moc"
