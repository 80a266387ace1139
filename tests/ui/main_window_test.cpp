// Form1 driven headless: layout, menu states, Open, Close, Exit and the about box.
#include "ui/main_window.h"
#include "fake_services.h"
#include "image/text.h"
#include "test_image.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <filesystem>
#include <memory>
#include <set>
#include <vector>

using vardane::test::FakeServices;
using vardane::test::Standard;
using vardane::test::TempFile;
using vardane::ui::ChosenFile;
using vardane::ui::MainWindow;
using vardane::ui::MessageIcon;

namespace {

const std::set<QString> kValueFields{"Text4", "Text1", "Text2", "text3", "Label10",
                                     "Text5", "Text6", "Text9", "Text7"};

QString fromLatin(const std::vector<std::uint8_t>& bytes, std::int64_t offset, std::size_t length)
{
    const auto first = bytes.begin() + offset;
    return QString::fromStdString(
        vardane::decodeWindows1252(std::vector<std::uint8_t>(first, first + length)));
}

ChosenFile answerFor(const TempFile& file)
{
    const QString path = QString::fromStdString(file.path().string());
    return {path, QString::fromStdString(file.path().filename().string())};
}

class Harness {
public:
    Harness() : window_(new MainWindow(services)) {}
    ~Harness() { delete window_.data(); }
    Harness(const Harness&) = delete;
    Harness& operator=(const Harness&) = delete;

    FakeServices services;

    [[nodiscard]] MainWindow& window() const { return *window_; }
    [[nodiscard]] QPointer<MainWindow> guard() const { return window_; }

    [[nodiscard]] QAction* item(const QString& name) const
    {
        auto* action = window_->findChild<QAction*>(name);
        if (action == nullptr) {
            qFatal("no menu item %s", qPrintable(name));
        }
        return action;
    }
    void trigger(const QString& name) const { item(name)->trigger(); }

    [[nodiscard]] QString value(const QString& name) const
    {
        const auto* label = window_->findChild<QLabel*>(name);
        if (label == nullptr) {
            qFatal("no label %s", qPrintable(name));
        }
        return label->text();
    }

    // Names of the enabled items, the separator and the menu titles left out.
    [[nodiscard]] std::set<QString> enabledItems() const
    {
        std::set<QString> names;
        for (const QMenu* menu : window_->menuBar()->findChildren<QMenu*>()) {
            for (const QAction* action : menu->actions()) {
                if (action->isEnabled() && !action->isSeparator()) {
                    names.insert(action->objectName());
                }
            }
        }
        return names;
    }

    void open(const TempFile& file)
    {
        services.fileAnswers.emplace_back(answerFor(file));
        trigger("Ouvrir");
    }

private:
    QPointer<MainWindow> window_;
};

const std::set<QString> kStartUpItems{"Ouvrir", "exit", "about"};
const std::set<QString> kImageOpenItems{"mnuClose",  "exit",    "about",    "sba",
                                        "mnuheader", "memfreq", "corefreq", "mnucheckvalid"};

void verifyStartUpState(const Harness& harness)
{
    QCOMPARE(harness.enabledItems(), kStartUpItems);
    for (const QString& name : kValueFields) {
        QCOMPARE(harness.value(name), name == "Text7" ? QString("???") : QString());
    }
}

QList<QWidget*> visibleWindows(const QString& name)
{
    QList<QWidget*> windows;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name && widget->isVisible()) {
            windows << widget;
        }
    }
    return windows;
}

QList<QWidget*> visibleAboutBoxes()
{
    return visibleWindows("frmAbt");
}

void deleteClosedWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void closeAllWindows()
{
    QApplication::closeAllWindows();
    deleteClosedWindows();
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithNoImage()
    {
        const Harness harness;
        QCOMPARE(harness.window().objectName(), QString("Form1"));
        QCOMPARE(harness.window().windowTitle(), QString("Vardane 0.23 Alpha"));
        verifyStartUpState(harness);
        QVERIFY(harness.item("mnusep")->isSeparator());
        QVERIFY(harness.item("mnusep")->isEnabled());
        QVERIFY(harness.window().testAttribute(Qt::WA_DeleteOnClose));
    }

    void menuTreeHasItsCaptionsInOrder()
    {
        const Harness harness;
        const std::vector<std::pair<QString, std::vector<QString>>> expected{
            {"&Fichier", {"&Ouvrir", "&Enregistrer", "Enregistrer &sous", "&Fermer", "", "&Quitter"}},
            {"&Avancé",
             {"&Activer / Desactiver le SideBand Adressing", "Modifier l'&entête du BIOS",
              "Modifier la fréquence &mémoire", "Modifier la fréquence du &Core"}},
            {"&CheckSum", {"&Verifier la validité du Checksum", "Corriger le checksum"}},
            {"&?", {"&A propos"}},
        };
        const QList<QAction*> titles = harness.window().menuBar()->actions();
        QCOMPARE(titles.size(), qsizetype(expected.size()));
        for (std::size_t m = 0; m < expected.size(); ++m) {
            QCOMPARE(titles[qsizetype(m)]->text(), expected[m].first);
            QVERIFY(titles[qsizetype(m)]->isEnabled());
            const QList<QAction*> items = titles[qsizetype(m)]->menu()->actions();
            QCOMPARE(items.size(), qsizetype(expected[m].second.size()));
            for (qsizetype i = 0; i < items.size(); ++i) {
                QCOMPARE(items[i]->text(), expected[m].second[std::size_t(i)]);
                QVERIFY(items[i]->shortcut().isEmpty());
                QVERIFY(!items[i]->isCheckable());
            }
        }
    }

    void rowsHaveTheirCaptionsAndPlaces_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QRect>("captionTwips");
        QTest::addColumn<QRect>("valueTwips");
        // clang-format off
        QTest::newRow("1") << "Label1" << "Text4" << QRect(240, 120, 1215, 255) << QRect(1440, 120, 2535, 255);
        QTest::newRow("2") << "Label2" << "Text1" << QRect(240, 480, 1215, 255) << QRect(1560, 480, 1935, 255);
        QTest::newRow("3") << "Label3" << "Text2" << QRect(240, 840, 1335, 255) << QRect(1560, 840, 4815, 255);
        QTest::newRow("4") << "Label4" << "text3" << QRect(240, 1200, 1335, 255) << QRect(1680, 1200, 4695, 255);
        QTest::newRow("5") << "Label9" << "Label10" << QRect(240, 1560, 1095, 255) << QRect(1440, 1560, 1695, 255);
        QTest::newRow("6") << "Label5" << "Text5" << QRect(240, 1920, 2055, 255) << QRect(2400, 1920, 615, 255);
        QTest::newRow("7") << "Label6" << "Text6" << QRect(240, 2280, 2055, 255) << QRect(2400, 2280, 1335, 255);
        QTest::newRow("8") << "Label7" << "Text9" << QRect(240, 2640, 1335, 255) << QRect(1560, 2640, 1575, 255);
        QTest::newRow("9") << "Label8" << "Text7" << QRect(2280, 3240, 1335, 375) << QRect(3720, 3240, 1455, 375);
        // clang-format on
    }

    void rowsHaveTheirCaptionsAndPlaces()
    {
        QFETCH(QString, caption);
        QFETCH(QString, value);
        QFETCH(QRect, captionTwips);
        QFETCH(QRect, valueTwips);
        const Harness harness;
        const auto* captionLabel = harness.window().findChild<QLabel*>(caption);
        const auto* valueLabel = harness.window().findChild<QLabel*>(value);
        QVERIFY(captionLabel != nullptr && valueLabel != nullptr);
        const int dpi = valueLabel->logicalDpiX();
        const auto pixels = [dpi](const QRect& twips) {
            const auto px = [dpi](int t) { return (t * dpi + 720) / 1440; };
            return QRect(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height()));
        };
        // Left and top are the design's; a box may only grow, to keep its text whole.
        for (const auto& [label, twips] :
             {std::pair{captionLabel, captionTwips}, std::pair{valueLabel, valueTwips}}) {
            const QRect designed = pixels(twips);
            QCOMPARE(label->pos(), designed.topLeft());
            QVERIFY(label->width() >= designed.width() && label->height() >= designed.height());
            QVERIFY(label->geometry().right() < label->parentWidget()->width());
        }
        const bool checksumRow = value == "Text7";
        const QColor valueColour = valueLabel->palette().color(QPalette::WindowText);
        QCOMPARE(valueColour == QColor(128, 0, 128), !checksumRow);
        QCOMPARE(valueLabel->font().pointSize() == 12, checksumRow);
        QCOMPARE(captionLabel->font().pointSize() == 12, checksumRow);
    }

    void openFillsEveryField()
    {
        Harness harness;
        const TempFile file(vardane::test::standardImage());
        const auto before = file.contents();
        harness.open(file);

        QCOMPARE(harness.services.fileFilters,
                 std::vector<QString>{"Fichier BIOS (*.rom)|*.rom|Tout Fichiers (*.*)|*.*"});
        QVERIFY(harness.services.messages.empty());
        QCOMPARE(harness.value("Text4"), QString("image.rom"));
        QCOMPARE(harness.value("Text1"), QString("65536 Octets"));
        QCOMPARE(harness.value("Text2"), fromLatin(before, Standard::kHeader, 50));
        QCOMPARE(harness.value("text3"), fromLatin(before, Standard::kVersion + 7, 35));
        QCOMPARE(harness.value("Label10"), QString("GeForce2 Ultra"));
        QCOMPARE(harness.value("Text5"), QString("NON"));
        QCOMPARE(harness.value("Text6"), QString("366 Mhz"));
        QCOMPARE(harness.value("Text9"), QString("143 Mhz"));
        QCOMPARE(harness.value("Text7"), QString("???"));

        const auto& state = harness.window().state();
        QCOMPARE(state.filePath, file.path().string());
        QCOMPARE(state.headerlengh, std::optional<std::int64_t>(Standard::kHeader));
        QCOMPARE(state.SBAVrt, std::optional<std::int64_t>(Standard::kSba));
        QCOMPARE(state.Octclef, std::optional<std::int64_t>(Standard::kClockKey));
        QVERIFY(harness.window().imageOpen());
        QCOMPARE(harness.enabledItems(), kImageOpenItems);
        QCOMPARE(file.contents(), before);
    }

    void clockUsesTheLocaleSeparator()
    {
        Harness harness;
        const QString separator = QLocale::system().decimalPoint();
        const TempFile file(vardane::test::standardImage().clockKey(Standard::kClockKey, 16667, 12550));
        harness.open(file);
        QCOMPARE(harness.value("Text6"), "333" + separator + "34 Mhz");
        QCOMPARE(harness.value("Text9"), "125" + separator + "5 Mhz");
    }

    void sizeRejectionAsksAgain()
    {
        Harness harness;
        const TempFile small(vardane::test::TestImage(40000), "small.rom");
        const TempFile image(vardane::test::standardImage());
        harness.services.fileAnswers.emplace_back(answerFor(small));
        harness.services.fileAnswers.emplace_back(answerFor(image));
        std::set<QString> itemsDuringMessage;
        QString titleDuringMessage;
        harness.services.whileMessageShown = [&](const auto&) {
            itemsDuringMessage = harness.enabledItems();
            titleDuringMessage = harness.value("Text4");
        };
        harness.trigger("Ouvrir");

        QCOMPARE(harness.services.messages.size(), std::size_t{1});
        const auto& message = harness.services.messages.front();
        QCOMPARE(message.icon, MessageIcon::critical);
        QCOMPARE(message.title, QString("Erreur Fatale ! ;-)"));
        QCOMPARE(message.text, QString("Ce fichier n'est pas un BIOS de GeForce ..."));
        QCOMPARE(itemsDuringMessage, kStartUpItems);
        QCOMPARE(titleDuringMessage, QString("small.rom"));
        QCOMPARE(harness.services.fileFilters.size(), std::size_t{2});
        QCOMPARE(harness.value("Text4"), QString("image.rom"));
        QCOMPARE(harness.window().state().filePath, image.path().string());
        QCOMPARE(harness.enabledItems(), kImageOpenItems);
    }

    void cancelAfterRejectionKeepsTheRejectedName()
    {
        Harness harness;
        const TempFile small(vardane::test::TestImage(132001), "big.rom");
        harness.services.fileAnswers.emplace_back(answerFor(small));
        harness.trigger("Ouvrir");
        QCOMPARE(harness.services.messages.size(), std::size_t{1});
        QCOMPARE(harness.services.fileFilters.size(), std::size_t{2});
        QCOMPARE(harness.value("Text4"), QString("big.rom"));
        QCOMPARE(harness.enabledItems(), kStartUpItems);
        QVERIFY(harness.window().state().filePath.empty());
    }

    void failedOpenSwitchesMenusAndKeepsWhatWasRead()
    {
        Harness harness;
        const TempFile bare(vardane::test::TestImage(46127), "bare.rom");
        std::set<QString> itemsDuringMessage;
        QString sizeDuringMessage;
        harness.services.whileMessageShown = [&](const auto&) {
            itemsDuringMessage = harness.enabledItems();
            sizeDuringMessage = harness.value("Text1");
        };
        harness.open(bare);

        QCOMPARE(harness.services.messages.size(), std::size_t{1});
        const auto& message = harness.services.messages.front();
        QCOMPARE(message.icon, MessageIcon::critical);
        QCOMPARE(message.title, QString("Probleme"));
        QCOMPARE(message.text, QString("Erreur lors de l'ouverture du fichier"));
        QCOMPARE(itemsDuringMessage, kImageOpenItems);
        QCOMPARE(sizeDuringMessage, QString("46127 Octets"));
        QCOMPARE(harness.value("Text4"), QString("bare.rom"));
        QCOMPARE(harness.value("Text5"), QString("???"));
        for (const char* empty : {"Text2", "text3", "Label10", "Text6", "Text9"}) {
            QCOMPARE(harness.value(empty), QString());
        }
        const auto& state = harness.window().state();
        QVERIFY(!state.headerlengh && !state.SBAVrt && !state.Octclef);
        QVERIFY(harness.window().imageOpen());
    }

    void unreadableFileReportsWithoutSwitching()
    {
        Harness harness;
        harness.services.fileAnswers.emplace_back(ChosenFile{"/nonexistent/vardane/gone.rom", "gone.rom"});
        harness.trigger("Ouvrir");
        QCOMPARE(harness.services.messages.size(), std::size_t{1});
        QCOMPARE(harness.services.messages.front().text, QString("Erreur lors de l'ouverture du fichier"));
        QCOMPARE(harness.enabledItems(), kStartUpItems);
        QVERIFY(!harness.window().imageOpen());
    }

    void cancelChangesNothing()
    {
        Harness harness;
        const auto generation = harness.window().imageGeneration();
        harness.trigger("Ouvrir");
        QCOMPARE(harness.services.fileFilters.size(), std::size_t{1});
        QVERIFY(harness.services.messages.empty());
        verifyStartUpState(harness);
        QCOMPARE(harness.window().imageGeneration(), generation);
        QVERIFY(harness.window().state().filePath.empty());
    }

    void closeReturnsToTheStartUpState()
    {
        Harness harness;
        const TempFile file(vardane::test::standardImage().checksumTo(0x37));
        harness.open(file);
        harness.trigger("mnucheckvalid");
        QVERIFY(harness.item("mnucorrcheck")->isEnabled());
        const auto generation = harness.window().imageGeneration();

        harness.trigger("mnuClose");

        verifyStartUpState(harness);
        QVERIFY(!harness.item("mnucorrcheck")->isEnabled());
        QVERIFY(!harness.window().imageOpen());
        QVERIFY(harness.window().imageGeneration() != generation);
        const auto& state = harness.window().state();
        QCOMPARE(state.filePath, file.path().string());
        QCOMPARE(state.Octclef, std::optional<std::int64_t>(Standard::kClockKey));
        QCOMPARE(state.StK1, std::optional<std::uint8_t>(0x37));
    }

    void sameImageTwiceGivesTheSameFields()
    {
        Harness harness;
        const TempFile file(vardane::test::standardImage());
        harness.open(file);
        std::vector<QString> first;
        for (const QString& name : kValueFields) {
            first.push_back(harness.value(name));
        }
        harness.trigger("mnuClose");
        harness.open(file);
        std::vector<QString> second;
        for (const QString& name : kValueFields) {
            second.push_back(harness.value(name));
        }
        QCOMPARE(second, first);
    }

    void aboutBoxIsShownOnceAndOutlivesExit()
    {
        Harness harness;
        harness.trigger("about");
        harness.trigger("about");
        QCOMPARE(visibleAboutBoxes().size(), qsizetype(1));
        const QPointer<QWidget> about = visibleAboutBoxes().front();
        QVERIFY(about->parentWidget() == nullptr);

        const QPointer<MainWindow> window = harness.guard();
        harness.trigger("exit");
        deleteClosedWindows();
        QVERIFY(window.isNull());
        QVERIFY(!about.isNull() && about->isVisible());

        QTest::mouseClick(about->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        deleteClosedWindows();
        QVERIFY(about.isNull());
    }

    void aboutBoxHasItsContent()
    {
        Harness harness;
        harness.trigger("about");
        QWidget* about = visibleAboutBoxes().front();
        QCOMPARE(about->windowTitle(), QString("Vardane 0.23 Alpha"));
        QCOMPARE(about->findChild<QLabel*>("Label2")->text(), QString("QLTX"));
        QCOMPARE(about->findChild<QLabel*>("Label3")->text(), QString("Version 0.23 Alpha"));
        QCOMPARE(about->findChild<QLabel*>("Label5")->text(), QString("Public Release"));
        QVERIFY(
            about->findChild<QLabel*>("Label1")->text().startsWith("Avertissement : Du aux manipulations"));
        QCOMPARE(about->findChild<QLabel*>("Picture1")->pixmap().size(), QSize(40, 40));
        about->close();
    }

    void exitClosesTheSideBandDialogAndNoOther()
    {
        Harness harness;
        const TempFile file(vardane::test::standardImage());
        harness.open(file);
        harness.trigger("sba");
        harness.trigger("memfreq");
        harness.trigger("about");
        QCOMPARE(visibleWindows("frmSBA").size(), qsizetype(1));

        harness.trigger("exit");
        deleteClosedWindows();

        QVERIFY(harness.guard().isNull());
        QVERIFY(visibleWindows("frmSBA").isEmpty());
        QCOMPARE(visibleWindows("frmfreqmem").size(), qsizetype(1));
        QCOMPARE(visibleAboutBoxes().size(), qsizetype(1));
        closeAllWindows();
    }

    void exitWithNoDialogLeavesNoWindow()
    {
        Harness harness;
        harness.trigger("exit");
        deleteClosedWindows();
        QVERIFY(harness.guard().isNull());
        for (const QWidget* widget : QApplication::topLevelWidgets()) {
            QVERIFY2(!widget->isVisible(), qPrintable(widget->objectName()));
        }
    }

    void closeLeavesDialogsOpen()
    {
        Harness harness;
        const TempFile file(vardane::test::standardImage());
        harness.open(file);
        harness.trigger("sba");
        harness.trigger("mnuClose");
        QCOMPARE(visibleWindows("frmSBA").size(), qsizetype(1));
        closeAllWindows();
    }

    void dialogShownAgainIsRaisedNotReloaded_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("memory clock") << "memfreq"
                                      << "frmfreqmem";
        QTest::newRow("core clock") << "corefreq"
                                    << "frmfreqCore";
        QTest::newRow("SideBand") << "sba"
                                  << "frmSBA";
        QTest::newRow("header") << "mnuheader"
                                << "frmheader";
    }

    void dialogShownAgainIsRaisedNotReloaded()
    {
        QFETCH(QString, item);
        QFETCH(QString, dialog);
        Harness harness;
        const TempFile file(vardane::test::standardImage());
        harness.open(file);
        harness.trigger(item);
        QCOMPARE(visibleWindows(dialog).size(), qsizetype(1));
        const QPointer<QWidget> first = visibleWindows(dialog).front();
        QVERIFY(first->parentWidget() == nullptr);

        harness.trigger(item);

        QCOMPARE(visibleWindows(dialog).size(), qsizetype(1));
        QCOMPARE(visibleWindows(dialog).front(), first.data());
        QVERIFY(harness.services.messages.empty());

        first->close();
        deleteClosedWindows();
        QVERIFY(first.isNull());
        harness.trigger(item);
        QCOMPARE(visibleWindows(dialog).size(), qsizetype(1));
        closeAllWindows();
    }

    void closingByTheTitleBarDeletesOnlyTheMainWindow()
    {
        Harness harness;
        harness.trigger("about");
        const QPointer<QWidget> about = visibleAboutBoxes().front();
        const QPointer<MainWindow> window = harness.guard();
        harness.window().close();
        deleteClosedWindows();
        QVERIFY(window.isNull());
        QVERIFY(!about.isNull());
        about->close();
        deleteClosedWindows();
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
