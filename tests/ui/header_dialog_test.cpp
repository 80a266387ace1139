// frmheader driven headless through the main window's menu.
#include "fake_services.h"
#include "image/text.h"
#include "test_image.h"
#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <filesystem>
#include <vector>

using vardane::test::differingOffsets;
using vardane::test::FakeServices;
using vardane::test::Standard;
using vardane::test::TempFile;
using vardane::test::TestImage;
using vardane::ui::MainWindow;
using vardane::ui::MessageIcon;

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr auto kHeader = static_cast<std::size_t>(Standard::kHeader);
constexpr std::size_t kSearched = 51;
constexpr std::uint8_t kReturn = 0x0D;

// The 51 searched bytes: `width` letters, then (when width < 51) the carriage
// return and letters that must never move.
Bytes searchedBytes(int width)
{
    Bytes bytes;
    for (std::size_t i = 0; i < kSearched; ++i) {
        bytes.push_back(static_cast<std::uint8_t>('a' + i % 26));
    }
    if (width >= 0 && static_cast<std::size_t>(width) < kSearched) {
        bytes[static_cast<std::size_t>(width)] = kReturn;
    }
    return bytes;
}

TestImage imageWithSearchedBytes(const Bytes& searched)
{
    auto image = vardane::test::standardImage();
    image.put(Standard::kHeader, searched);
    return image;
}

QString decoded(const Bytes& bytes, std::size_t from, std::size_t length)
{
    const auto first = bytes.begin() + static_cast<std::ptrdiff_t>(from);
    return QString::fromStdString(
        vardane::decodeWindows1252(Bytes(first, first + static_cast<std::ptrdiff_t>(length))));
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
    [[nodiscard]] QString value(const char* label) const
    {
        return window_->findChild<QLabel*>(label)->text();
    }

    // The header dialog on screen, or nullptr.
    [[nodiscard]] static QWidget* dialog()
    {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == "frmheader" && window->isVisible()) {
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
        trigger("mnuheader");
        return dialog();
    }

private:
    QPointer<MainWindow> window_;
};

QLineEdit* text1(QWidget* dialog)
{
    return dialog->findChild<QLineEdit*>("Text1");
}
void apply(QWidget* dialog)
{
    QTest::mouseClick(dialog->findChild<QPushButton*>("Command1"), Qt::LeftButton);
}

// After a write: only bytes of the field may differ, and the length is kept.
void verifyOnlyFieldChanged(const Bytes& before, const Bytes& after, std::size_t width)
{
    QCOMPARE(after.size(), before.size());
    for (const std::size_t offset : differingOffsets(before, after)) {
        QVERIFY2(offset >= kHeader && offset < kHeader + width, qPrintable(QString::number(offset)));
    }
}

}  // namespace

class HeaderDialogTest : public QObject {
    Q_OBJECT

private slots:
    void layoutAndFixedTexts();
    void unchangedApplyWritesTheSameBytes_data();
    void unchangedApplyWritesTheSameBytes();
    void unchangedApplyKeepsBytesTheBoxCannotHold();
    void shortTextIsPaddedWithSpaces();
    void typingAndPastingStopAtTheWidth();
    void onlyWindows1252CharactersGetIn();
    void imagesWithoutAFieldRefuse_data();
    void imagesWithoutAFieldRefuse();
    void imageClosedOrReplacedWritesNothing_data();
    void imageClosedOrReplacedWritesNothing();
    void fieldChangedInTheFileWritesNothing();
    void unreachableFileKeepsTheDialog();
    void titleBarCloseWritesNothing();
    void mainWindowGoneWritesNothing();
};

void HeaderDialogTest::layoutAndFixedTexts()
{
    Harness harness;
    const TempFile file(vardane::test::standardImage());
    harness.open(file);

    QWidget* dialog = harness.showDialog();

    QVERIFY(dialog != nullptr);
    QVERIFY(dialog->parentWidget() == nullptr);
    QCOMPARE(dialog->windowTitle(), QString::fromUtf8("Modification du Header"));
    QCOMPARE(
        dialog->findChild<QLabel*>("Label1")->text(),
        QString::fromUtf8("Pour modifier le Header, modifier le dans la fenetre ci-dessous, puis cliquez sur "
                          "\"Appliquer\", n'oubliez pas de revalider le cheksum par la suite..."));
    QCOMPARE(dialog->findChild<QPushButton*>("Command1")->text(), QString::fromUtf8("Appliquer"));
    QCOMPARE(text1(dialog)->text(), QString::fromUtf8("Vardane test header").leftJustified(48, ' '));
    QCOMPARE(text1(dialog)->maxLength(), 48);
    QVERIFY(harness.services.messages.empty());
}

void HeaderDialogTest::unchangedApplyWritesTheSameBytes_data()
{
    QTest::addColumn<int>("width");
    QTest::newRow("48") << 48;
    QTest::newRow("10") << 10;
    QTest::newRow("50") << 50;
    QTest::newRow("1") << 1;
}

void HeaderDialogTest::unchangedApplyWritesTheSameBytes()
{
    QFETCH(int, width);
    const auto length = static_cast<std::size_t>(width);
    Harness harness;
    const TempFile file(imageWithSearchedBytes(searchedBytes(width)));
    const auto before = file.contents();
    harness.open(file);

    QWidget* dialog = harness.showDialog();
    QVERIFY(dialog != nullptr);
    QCOMPARE(text1(dialog)->text(), decoded(before, kHeader, length));
    QCOMPARE(text1(dialog)->maxLength(), width);
    apply(dialog);

    QVERIFY(differingOffsets(before, file.contents()).empty());
    QCOMPARE(harness.value("Text2"), decoded(before, kHeader, length));
    QCOMPARE(harness.value("Text7"), QString::fromUtf8("Non Valide"));
    QVERIFY(harness.services.messages.empty());
    QVERIFY(Harness::dialog() == nullptr);
}

void HeaderDialogTest::unchangedApplyKeepsBytesTheBoxCannotHold()
{
    auto searched = searchedBytes(48);
    searched[2] = 0x00;
    searched[3] = 0x8D;
    searched[4] = 0x80;
    searched[5] = 0x9F;
    const TempFile file(imageWithSearchedBytes(searched));
    const auto before = file.contents();
    Harness harness;
    harness.open(file);

    QWidget* dialog = harness.showDialog();
    QVERIFY(dialog != nullptr);
    QCOMPARE(text1(dialog)->text().mid(2, 4), QString::fromUtf8("??€Ÿ"));
    apply(dialog);

    QVERIFY(differingOffsets(before, file.contents()).empty());
    QCOMPARE(harness.value("Text2"), decoded(before, kHeader, 48));
    QVERIFY(harness.services.messages.empty());
}

void HeaderDialogTest::shortTextIsPaddedWithSpaces()
{
    Harness harness;
    const TempFile file(vardane::test::standardImage());
    const auto before = file.contents();
    harness.open(file);
    QWidget* dialog = harness.showDialog();

    text1(dialog)->selectAll();
    QTest::keyClicks(text1(dialog), "GeForce2 !");
    apply(dialog);

    const auto after = file.contents();
    verifyOnlyFieldChanged(before, after, 48);
    QCOMPARE(decoded(after, kHeader, 48), QString::fromUtf8("GeForce2 !").leftJustified(48, ' '));
    QCOMPARE(after[kHeader + 48], kReturn);
    QCOMPARE(harness.value("Text2"), QString::fromUtf8("GeForce2 !").leftJustified(48, ' '));
    QCOMPARE(harness.value("Text7"), QString::fromUtf8("Non Valide"));
    QVERIFY(harness.services.messages.empty());
    QVERIFY(Harness::dialog() == nullptr);
}

void HeaderDialogTest::typingAndPastingStopAtTheWidth()
{
    Harness harness;
    const TempFile file(imageWithSearchedBytes(searchedBytes(10)));
    harness.open(file);
    QLineEdit* box = text1(harness.showDialog());

    box->clear();
    QTest::keyClicks(box, "0123456789ABCDE");
    QCOMPARE(box->text(), QString::fromUtf8("0123456789"));

    box->clear();
    box->insert(QString::fromUtf8("ÉÉÉÉÉÉÉÉÉÉÉÉ"));
    QCOMPARE(box->text(), QString::fromUtf8("ÉÉÉÉÉÉÉÉÉÉ"));

    box->end(false);
    QTest::keyClicks(box, "X");
    QCOMPARE(box->text().size(), 10);
}

void HeaderDialogTest::onlyWindows1252CharactersGetIn()
{
    Harness harness;
    const TempFile file(vardane::test::standardImage());
    harness.open(file);
    QLineEdit* box = text1(harness.showDialog());

    for (const char* refused : {"\u0101", "日本", "a\tb", "a\rb", "\u0081", "\u007F"}) {
        box->clear();
        box->insert(QString::fromUtf8(refused));
        QVERIFY2(box->text().isEmpty(), refused);
    }
    box->clear();
    box->insert(QString::fromUtf8("€ Œuvre n°1 – «é»"));
    QCOMPARE(box->text(), QString::fromUtf8("€ Œuvre n°1 – «é»"));
}

void HeaderDialogTest::imagesWithoutAFieldRefuse_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("withVersion");
    QTest::newRow("width 0") << 0 << true;
    QTest::newRow("no carriage return") << -1 << true;
    QTest::newRow("no Version marker") << 48 << false;
}

void HeaderDialogTest::imagesWithoutAFieldRefuse()
{
    QFETCH(int, width);
    QFETCH(bool, withVersion);
    auto image = imageWithSearchedBytes(searchedBytes(width));
    if (!withVersion) {
        image.put(Standard::kVersion, "Persion");
    }
    const TempFile file(image);
    const auto before = file.contents();
    Harness harness;
    harness.open(file);
    const QString text2 = harness.value("Text2");

    QVERIFY(harness.showDialog() == nullptr);

    QCOMPARE(file.contents(), before);
    QCOMPARE(harness.services.messages.size(), std::size_t{1});
    QCOMPARE(harness.services.messages.front().icon, MessageIcon::critical);
    QVERIFY(harness.services.messages.front().text.contains(QString::fromUtf8("n'a pas été modifié")));
    QCOMPARE(harness.value("Text2"), text2);
    QCOMPARE(harness.value("Text7"), QString::fromUtf8("???"));
}

void HeaderDialogTest::imageClosedOrReplacedWritesNothing_data()
{
    QTest::addColumn<bool>("reopen");
    QTest::newRow("closed") << false;
    QTest::newRow("closed then opened again") << true;
}

// The width was found in the image on show at load; another image, even the
// same file opened again, may hold another field.
void HeaderDialogTest::imageClosedOrReplacedWritesNothing()
{
    QFETCH(bool, reopen);
    Harness harness;
    const TempFile file(vardane::test::standardImage());
    const auto before = file.contents();
    harness.open(file);
    QWidget* dialog = harness.showDialog();
    text1(dialog)->selectAll();
    QTest::keyClicks(text1(dialog), "X");

    harness.trigger("mnuClose");
    if (reopen) {
        harness.open(file);
    }
    const QString text2 = harness.value("Text2");
    apply(dialog);

    QCOMPARE(file.contents(), before);
    QCOMPARE(harness.services.messages.size(), std::size_t{1});
    QCOMPARE(harness.services.messages.front().icon, MessageIcon::critical);
    QCOMPARE(harness.value("Text2"), text2);
    QCOMPARE(harness.value("Text7"), QString::fromUtf8("???"));
    QVERIFY(Harness::dialog() == nullptr);
}

void HeaderDialogTest::fieldChangedInTheFileWritesNothing()
{
    Harness harness;
    const TempFile file(vardane::test::standardImage());
    harness.open(file);
    QWidget* dialog = harness.showDialog();
    vardane::test::writeAll(file.path(), imageWithSearchedBytes(searchedBytes(20)).bytes());
    const auto before = file.contents();

    apply(dialog);

    QCOMPARE(file.contents(), before);
    QCOMPARE(harness.services.messages.size(), std::size_t{1});
    QCOMPARE(harness.services.messages.front().icon, MessageIcon::critical);
    QCOMPARE(harness.value("Text7"), QString::fromUtf8("???"));
    QVERIFY(Harness::dialog() == nullptr);
}

// A file locked or moved for a moment: the typed text stays for another try.
void HeaderDialogTest::unreachableFileKeepsTheDialog()
{
    Harness harness;
    const TempFile file(vardane::test::standardImage());
    const auto before = file.contents();
    harness.open(file);
    QWidget* dialog = harness.showDialog();
    text1(dialog)->selectAll();
    QTest::keyClicks(text1(dialog), "Nouveau");
    const auto aside = file.folder() / "aside.rom";
    std::filesystem::rename(file.path(), aside);

    apply(dialog);

    QCOMPARE(vardane::test::readAll(aside), before);
    QCOMPARE(harness.services.messages.size(), std::size_t{1});
    QCOMPARE(harness.value("Text7"), QString::fromUtf8("???"));
    QCOMPARE(Harness::dialog(), dialog);
    QCOMPARE(text1(dialog)->text(), QString::fromUtf8("Nouveau"));

    std::filesystem::rename(aside, file.path());
    apply(dialog);

    verifyOnlyFieldChanged(before, file.contents(), 48);
    QCOMPARE(decoded(file.contents(), kHeader, 48), QString::fromUtf8("Nouveau").leftJustified(48, ' '));
    QVERIFY(Harness::dialog() == nullptr);
}

void HeaderDialogTest::titleBarCloseWritesNothing()
{
    Harness harness;
    const TempFile file(vardane::test::standardImage());
    const auto before = file.contents();
    harness.open(file);
    const QString text2 = harness.value("Text2");
    QWidget* dialog = harness.showDialog();
    text1(dialog)->selectAll();
    QTest::keyClicks(text1(dialog), "X");

    dialog->close();

    QCOMPARE(file.contents(), before);
    QCOMPARE(harness.value("Text2"), text2);
    QCOMPARE(harness.value("Text7"), QString::fromUtf8("???"));
    QVERIFY(harness.services.messages.empty());
}

// Closing the main window by its title bar leaves this dialog open, with no
// image state behind it.
void HeaderDialogTest::mainWindowGoneWritesNothing()
{
    Harness harness;
    const TempFile file(vardane::test::standardImage());
    const auto before = file.contents();
    harness.open(file);
    const QPointer<QWidget> dialog = harness.showDialog();
    text1(dialog)->selectAll();
    QTest::keyClicks(text1(dialog), "X");

    harness.closeMainWindow();
    QVERIFY(dialog != nullptr);
    apply(dialog);

    QCOMPARE(file.contents(), before);
    QVERIFY(harness.services.messages.empty());
    QVERIFY(Harness::dialog() == nullptr);
}

QTEST_MAIN(HeaderDialogTest)
#include "header_dialog_test.moc"
