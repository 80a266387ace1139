// frmSBA driven headless through the main window's menu.
#include "editors/sideband.h"
#include "fake_services.h"
#include "test_image.h"
#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <filesystem>
#include <optional>
#include <vector>

using vardane::test::differingOffsets;
using vardane::test::FakeServices;
using vardane::test::RecordedMessage;
using vardane::test::Standard;
using vardane::test::TempFile;
using vardane::test::TestImage;
using vardane::ui::MainWindow;
using vardane::ui::MessageIcon;

namespace {

constexpr auto kSba = static_cast<std::size_t>(Standard::kSba);

TestImage imageWithSbaByte(std::optional<std::uint8_t> byte)
{
    auto image = vardane::test::standardImage();
    image.put(Standard::kSba, byte.value_or(0x00));
    return image;
}

class Harness {
public:
    Harness() : window_(new MainWindow(services)) { window_->show(); }
    ~Harness()
    {
        QApplication::closeAllWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        delete window_.data();
    }
    Harness(const Harness&) = delete;
    Harness& operator=(const Harness&) = delete;

    FakeServices services;

    void open(const TempFile& file)
    {
        services.fileAnswers.push_back(
            vardane::ui::ChosenFile{QString::fromStdString(file.path().string()),
                                    QString::fromStdString(file.path().filename().string())});
        trigger("Ouvrir");
    }
    // The main window deletes itself once closed.
    void closeMainWindow()
    {
        window_->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void trigger(const char* item) const { window_->findChild<QAction*>(item)->trigger(); }
    [[nodiscard]] bool enabled(const char* item) const
    {
        return window_->findChild<QAction*>(item)->isEnabled();
    }
    [[nodiscard]] QString value(const char* label) const
    {
        return window_->findChild<QLabel*>(label)->text();
    }

    // The SideBand dialog on screen, or nullptr.
    [[nodiscard]] static QWidget* dialog()
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == "frmSBA" && window->isVisible()) {
                return window;
            }
        }
        return nullptr;
    }
    // A closed dialog is deleted when the event loop next runs; the loop
    // runs between two clicks of a real user.
    [[nodiscard]] QWidget* showDialog() const
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        trigger("sba");
        return dialog();
    }

private:
    QPointer<MainWindow> window_;
};

QString caption(const QWidget* dialog, const char* name)
{
    if (const auto* label = dialog->findChild<QLabel*>(name)) {
        return label->text();
    }
    return dialog->findChild<QPushButton*>(name)->text();
}

void click(QWidget* dialog)
{
    QTest::mouseClick(dialog->findChild<QPushButton*>("Command1"), Qt::LeftButton);
}

}  // namespace

class SbaDialogTest : public QObject {
    Q_OBJECT

private slots:
    void layoutAndFixedTexts();
    void loadShowsTheState_data();
    void loadShowsTheState();
    void toggleWritesOneByte_data();
    void toggleWritesOneByte();
    void twoTogglesRestoreTheByte();
    void undecidedStateOnlyCloses();
    void decisionRestsOnTheStateAtTheClick();
    void unreachableFileChangesNothing();
    void changedByteChangesNothing();
    void titleBarCloseWritesNothing();
    void mainWindowGoneWritesNothing();
};

void SbaDialogTest::layoutAndFixedTexts()
{
    Harness harness;
    const TempFile file(imageWithSbaByte(0x7F));
    harness.open(file);

    QWidget* dialog = harness.showDialog();

    QVERIFY(dialog != nullptr);
    QVERIFY(dialog->parentWidget() == nullptr);
    QCOMPARE(dialog->windowTitle(), QString::fromUtf8("Modification du SBA"));
    QCOMPARE(caption(dialog, "Label1"), QString::fromUtf8("Le SideBand Adressing est actuellement"));
    QCOMPARE(dialog->findChild<QLabel*>("Label2")->font().pointSize(), 24);
    QVERIFY(dialog->findChild<QWidget*>("Line1") != nullptr);
    QCOMPARE(dialog->findChild<QPushButton*>("Command1")->focusPolicy() != Qt::NoFocus, true);
    for (const char* name : {"Label1", "Label2", "Line1"}) {
        QCOMPARE(dialog->findChild<QWidget*>(name)->focusPolicy(), Qt::NoFocus);
    }
}

void SbaDialogTest::loadShowsTheState_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<QString>("stateWord");
    QTest::addColumn<QString>("button");
    QTest::newRow("disabled") << 0x7F << QString::fromUtf8("Desactivé") << QString::fromUtf8("Activer");
    QTest::newRow("enabled") << 0xFB << QString::fromUtf8("Activé") << QString::fromUtf8("Desactiver");
    QTest::newRow("undecided") << -1 << QString::fromUtf8("Desactivé") << QString::fromUtf8("Activer le SBA");
}

void SbaDialogTest::loadShowsTheState()
{
    QFETCH(int, byte);
    QFETCH(QString, stateWord);
    QFETCH(QString, button);
    Harness harness;
    const TempFile file(imageWithSbaByte(byte < 0 ? std::nullopt : std::optional<std::uint8_t>(byte)));
    harness.open(file);

    QWidget* dialog = harness.showDialog();

    QVERIFY(dialog != nullptr);
    QCOMPARE(caption(dialog, "Label2"), stateWord);
    QCOMPARE(caption(dialog, "Command1"), button);
}

void SbaDialogTest::toggleWritesOneByte_data()
{
    QTest::addColumn<int>("byteBefore");
    QTest::addColumn<int>("byteAfter");
    QTest::addColumn<QString>("stateBefore");
    QTest::addColumn<QString>("stateAfter");
    QTest::addColumn<QString>("message");
    QTest::newRow("enable") << 0x7F << 0xFB << "NON"
                            << "OUI" << QString::fromUtf8(vardane::kSbaEnabledMessage);
    QTest::newRow("disable") << 0xFB << 0x7F << "OUI"
                             << "NON" << QString::fromUtf8(vardane::kSbaDisabledMessage);
}

void SbaDialogTest::toggleWritesOneByte()
{
    QFETCH(int, byteBefore);
    QFETCH(int, byteAfter);
    QFETCH(QString, stateBefore);
    QFETCH(QString, stateAfter);
    QFETCH(QString, message);
    Harness harness;
    const TempFile file(imageWithSbaByte(static_cast<std::uint8_t>(byteBefore)));
    const auto before = file.contents();
    harness.open(file);
    QCOMPARE(harness.value("Text5"), stateBefore);
    QVERIFY(!harness.enabled("mnucorrcheck"));
    QString text5WhileShown;
    QString text7WhileShown;
    bool correctionWhileShown = false;
    harness.services.whileMessageShown = [&](const RecordedMessage&) {
        text5WhileShown = harness.value("Text5");
        text7WhileShown = harness.value("Text7");
        correctionWhileShown = harness.enabled("mnucorrcheck");
    };

    click(harness.showDialog());

    const auto after = file.contents();
    QCOMPARE(differingOffsets(before, after), std::vector<std::size_t>{kSba});
    QCOMPARE(int{after[kSba]}, byteAfter);
    QCOMPARE(harness.services.messages.size(), std::size_t{1});
    const RecordedMessage& shown = harness.services.messages.front();
    QCOMPARE(shown.icon, MessageIcon::information);
    QCOMPARE(shown.title, QString::fromUtf8("Modification effectuée"));
    QCOMPARE(shown.text, message);
    QCOMPARE(text5WhileShown, stateBefore);
    QCOMPARE(text7WhileShown, QString::fromUtf8("Non Valide !"));
    QVERIFY(correctionWhileShown);
    QCOMPARE(harness.value("Text5"), stateAfter);
    QCOMPARE(harness.value("Text7"), QString::fromUtf8("Non Valide !"));
    QVERIFY(harness.enabled("mnucorrcheck"));
    QVERIFY(Harness::dialog() == nullptr);
}

void SbaDialogTest::twoTogglesRestoreTheByte()
{
    Harness harness;
    const TempFile file(imageWithSbaByte(0x7F));
    const auto before = file.contents();
    harness.open(file);

    click(harness.showDialog());
    QCOMPARE(file.contents()[kSba], std::uint8_t{0xFB});
    QWidget* second = harness.showDialog();
    QCOMPARE(caption(second, "Command1"), QString::fromUtf8("Desactiver"));
    click(second);

    QVERIFY(differingOffsets(before, file.contents()).empty());
    QCOMPARE(harness.value("Text5"), QString::fromUtf8("NON"));
    QCOMPARE(harness.value("Text7"), QString::fromUtf8("Non Valide !"));
    QCOMPARE(harness.services.messages.size(), std::size_t{2});
    QCOMPARE(harness.services.messages.back().text, QString::fromUtf8(vardane::kSbaDisabledMessage));
}

void SbaDialogTest::undecidedStateOnlyCloses()
{
    Harness harness;
    const TempFile file(imageWithSbaByte(std::nullopt));
    const auto before = file.contents();
    harness.open(file);
    QCOMPARE(harness.value("Text5"), QString::fromUtf8("???"));

    click(harness.showDialog());

    QCOMPARE(file.contents(), before);
    QVERIFY(harness.services.messages.empty());
    QCOMPARE(harness.value("Text5"), QString::fromUtf8("???"));
    QCOMPARE(harness.value("Text7"), QString::fromUtf8("???"));
    QVERIFY(!harness.enabled("mnucorrcheck"));
    QVERIFY(Harness::dialog() == nullptr);
}

// The dialog was loaded on one image; the image on show when the button is
// clicked is the one toggled.
void SbaDialogTest::decisionRestsOnTheStateAtTheClick()
{
    Harness harness;
    const TempFile first(imageWithSbaByte(0x7F));
    const TempFile second(imageWithSbaByte(0xFB));
    const auto firstBefore = first.contents();
    const auto secondBefore = second.contents();
    harness.open(first);
    QWidget* dialog = harness.showDialog();
    QCOMPARE(caption(dialog, "Command1"), QString::fromUtf8("Activer"));

    harness.trigger("mnuClose");
    harness.open(second);
    click(dialog);

    QCOMPARE(first.contents(), firstBefore);
    QCOMPARE(differingOffsets(secondBefore, second.contents()), std::vector<std::size_t>{kSba});
    QCOMPARE(second.contents()[kSba], std::uint8_t{0x7F});
    QCOMPARE(harness.value("Text5"), QString::fromUtf8("NON"));
    QCOMPARE(harness.services.messages.back().text, QString::fromUtf8(vardane::kSbaDisabledMessage));
}

void SbaDialogTest::unreachableFileChangesNothing()
{
    Harness harness;
    const TempFile file(imageWithSbaByte(0x7F));
    harness.open(file);
    QWidget* dialog = harness.showDialog();
    std::filesystem::remove(file.path());

    click(dialog);

    QVERIFY(!std::filesystem::exists(file.path()));
    QCOMPARE(harness.services.messages.size(), std::size_t{1});
    QCOMPARE(harness.services.messages.front().icon, MessageIcon::critical);
    QVERIFY(harness.services.messages.front().text.contains(QString::fromUtf8("n'a pas été modifié")));
    QCOMPARE(harness.value("Text5"), QString::fromUtf8("NON"));
    QCOMPARE(harness.value("Text7"), QString::fromUtf8("???"));
    QVERIFY(!harness.enabled("mnucorrcheck"));
    QVERIFY(Harness::dialog() == nullptr);
}

void SbaDialogTest::changedByteChangesNothing()
{
    Harness harness;
    const TempFile file(imageWithSbaByte(0x7F));
    harness.open(file);
    QWidget* dialog = harness.showDialog();
    vardane::test::writeAll(file.path(), imageWithSbaByte(0xFB).bytes());
    const auto before = file.contents();

    click(dialog);

    QCOMPARE(file.contents(), before);
    QCOMPARE(harness.services.messages.size(), std::size_t{1});
    QCOMPARE(harness.services.messages.front().icon, MessageIcon::critical);
    QVERIFY(harness.services.messages.front().text != QString::fromUtf8(vardane::kSbaEnabledMessage));
    QCOMPARE(harness.value("Text5"), QString::fromUtf8("NON"));
    QCOMPARE(harness.value("Text7"), QString::fromUtf8("???"));
    QVERIFY(!harness.enabled("mnucorrcheck"));
    QVERIFY(Harness::dialog() == nullptr);
}

void SbaDialogTest::titleBarCloseWritesNothing()
{
    Harness harness;
    const TempFile file(imageWithSbaByte(0x7F));
    const auto before = file.contents();
    harness.open(file);

    harness.showDialog()->close();

    QCOMPARE(file.contents(), before);
    QVERIFY(harness.services.messages.empty());
    QCOMPARE(harness.value("Text5"), QString::fromUtf8("NON"));
    QVERIFY(Harness::dialog() == nullptr);
}

// Closing the main window by its title bar leaves this dialog open, with no
// image state behind it.
void SbaDialogTest::mainWindowGoneWritesNothing()
{
    Harness harness;
    const TempFile file(imageWithSbaByte(0x7F));
    const auto before = file.contents();
    harness.open(file);
    const QPointer<QWidget> dialog = harness.showDialog();

    harness.closeMainWindow();
    QVERIFY(dialog != nullptr);
    click(dialog);

    QCOMPARE(file.contents(), before);
    QVERIFY(harness.services.messages.empty());
    QVERIFY(Harness::dialog() == nullptr);
}

QTEST_MAIN(SbaDialogTest)
#include "sba_dialog_test.moc"
