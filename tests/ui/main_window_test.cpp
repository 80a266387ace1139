// Form1 driven headless: menu states, Open, Close, Exit and the about box.
#include "ui_session.h"

#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

#include <set>

using vardane::test::Standard;
using vardane::test::TempFile;
using vardane::test::TestImage;
using vardane::test::UiSession;
using vardane::ui::ChosenFile;
using vardane::ui::MessageIcon;

namespace {

const std::set<QString> kStartUpItems{"Ouvrir", "exit", "about"};
const std::set<QString> kImageOpenItems{"mnuClose",  "exit",    "about",    "sba",
                                        "mnuheader", "memfreq", "corefreq", "mnucheckvalid"};
const QStringList kStartUpFields{"", "", "", "", "", "", "", "", "???"};

std::set<QString> enabledItems(const UiSession& s)
{
    std::set<QString> names;
    for (const QAction* title : s.window()->menuBar()->actions()) {
        for (const QAction* action : title->menu()->actions()) {
            if (action->isEnabled() && !action->isSeparator()) {
                names.insert(action->objectName());
            }
        }
    }
    return names;
}

QStringList valueFields(const UiSession& s)
{
    QStringList values;
    for (const char* name :
         {"Text4", "Text1", "Text2", "text3", "Label10", "Text5", "Text6", "Text9", "Text7"}) {
        values << s.shown(name);
    }
    return values;
}

void verifyOneCritical(const UiSession& s, const char* title, const char* text)
{
    QCOMPARE(s.services.messages.size(), std::size_t{1});
    const auto& message = s.services.messages.front();
    QCOMPARE(message.icon, MessageIcon::critical);
    QCOMPARE(message.title, QString(title));
    QCOMPARE(message.text, QString(text));
}

qsizetype visibleCount(const QString& name)
{
    qsizetype count = 0;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        count += widget->objectName() == name && widget->isVisible() ? 1 : 0;
    }
    return count;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithNoImage()
    {
        const UiSession s;
        QCOMPARE(enabledItems(s), kStartUpItems);
        QCOMPARE(valueFields(s), kStartUpFields);
    }

    // Fields come from the file; a second image after Close shows its own
    // clocks, written with the locale's separator, and the same other fields.
    void openFillsEveryField()
    {
        UiSession s;
        const TempFile file(vardane::test::standardImage());
        const auto bytes = file.contents();
        const auto latin = [&](std::int64_t at, int length) {
            return QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()) + at, length);
        };
        s.open(file);
        QVERIFY(s.services.messages.empty());
        QStringList expected{"image.rom",
                             "65536 Octets",
                             latin(Standard::kHeader, 50),
                             latin(Standard::kVersion + 7, 35),
                             "GeForce2 Ultra",
                             "NON",
                             "366 Mhz",
                             "143 Mhz",
                             "???"};
        QCOMPARE(valueFields(s), expected);
        QCOMPARE(enabledItems(s), kImageOpenItems);

        s.trigger("mnuClose");
        const TempFile other(vardane::test::standardImage().clockKey(Standard::kClockKey, 16667, 12550));
        s.open(other);
        const QString separator = QLocale::system().decimalPoint();
        expected[6] = "333" + separator + "34 Mhz";
        expected[7] = "125" + separator + "5 Mhz";
        QCOMPARE(valueFields(s), expected);
    }

    // A file of the wrong size is refused and the file dialog comes back;
    // the menus do not change while the message is up.
    void rejectionAsksAgain_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("thenAnImage");
        QTest::newRow("too small, then an image") << 40000 << true;
        QTest::newRow("too big, then cancel") << 132001 << false;
    }

    void rejectionAsksAgain()
    {
        QFETCH(int, size);
        QFETCH(bool, thenAnImage);
        UiSession s;
        const TempFile rejected(TestImage(std::size_t(size)), "bad.rom");
        const TempFile image(vardane::test::standardImage());
        s.services.fileAnswers.push_back(
            ChosenFile{QString::fromStdString(rejected.path().string()), "bad.rom"});
        std::set<QString> itemsDuringMessage;
        QString nameDuringMessage;
        s.services.whileMessageShown = [&](const auto&) {
            itemsDuringMessage = enabledItems(s);
            nameDuringMessage = s.shown("Text4");
        };
        if (thenAnImage) {
            s.open(image);
        } else {
            s.trigger("Ouvrir");
        }

        verifyOneCritical(s, "Erreur Fatale ! ;-)", "Ce fichier n'est pas un BIOS de GeForce ...");
        QCOMPARE(itemsDuringMessage, kStartUpItems);
        QCOMPARE(nameDuringMessage, QString("bad.rom"));
        QCOMPARE(s.services.fileFilters.size(), std::size_t{2});
        QCOMPARE(s.shown("Text4"), QString(thenAnImage ? "image.rom" : "bad.rom"));
        QCOMPARE(enabledItems(s), thenAnImage ? kImageOpenItems : kStartUpItems);
        QCOMPARE(s.window()->state().filePath, thenAnImage ? image.path().string() : std::string());
    }

    // Too short to hold the markers: the menus switch before the message and
    // the fields read so far stay.
    void failedOpenSwitchesMenusAndKeepsWhatWasRead()
    {
        UiSession s;
        const TempFile bare(TestImage(46127), "bare.rom");
        std::set<QString> itemsDuringMessage;
        QString sizeDuringMessage;
        s.services.whileMessageShown = [&](const auto&) {
            itemsDuringMessage = enabledItems(s);
            sizeDuringMessage = s.shown("Text1");
        };
        s.open(bare);

        verifyOneCritical(s, "Probleme", "Erreur lors de l'ouverture du fichier");
        QCOMPARE(itemsDuringMessage, kImageOpenItems);
        QCOMPARE(sizeDuringMessage, QString("46127 Octets"));
        QCOMPARE(valueFields(s), QStringList({"bare.rom", "46127 Octets", "", "", "", "???", "", "", "???"}));
        const auto& state = s.window()->state();
        QVERIFY(!state.headerlengh && !state.SBAVrt && !state.Octclef);
    }

    void unreadableFileReportsWithoutSwitching()
    {
        UiSession s;
        s.services.fileAnswers.push_back(ChosenFile{"/nonexistent/vardane/gone.rom", "gone.rom"});
        s.trigger("Ouvrir");
        verifyOneCritical(s, "Probleme", "Erreur lors de l'ouverture du fichier");
        QCOMPARE(enabledItems(s), kStartUpItems);
        QVERIFY(!s.window()->imageOpen());
    }

    void cancelChangesNothing()
    {
        UiSession s;
        const auto generation = s.window()->imageGeneration();
        s.trigger("Ouvrir");
        QCOMPARE(s.services.fileFilters.size(), std::size_t{1});
        QVERIFY(s.services.messages.empty());
        QCOMPARE(enabledItems(s), kStartUpItems);
        QCOMPARE(valueFields(s), kStartUpFields);
        QCOMPARE(s.window()->imageGeneration(), generation);
    }

    // Back to the start-up state, correction disabled again; open dialogs stay.
    void closeReturnsToTheStartUpState()
    {
        UiSession s;
        const TempFile file(vardane::test::standardImage().checksumTo(0x37));
        s.open(file);
        s.trigger("sba");
        s.trigger("mnucheckvalid");
        QVERIFY(s.enabled("mnucorrcheck"));
        const auto generation = s.window()->imageGeneration();

        s.trigger("mnuClose");

        QCOMPARE(enabledItems(s), kStartUpItems);
        QCOMPARE(valueFields(s), kStartUpFields);
        QVERIFY(!s.window()->imageOpen());
        QVERIFY(s.window()->imageGeneration() != generation);
        QCOMPARE(visibleCount("frmSBA"), qsizetype(1));
    }

    // Exit closes frmSBA only; the about box, shown once however often asked
    // for, outlives the main window until its own button closes it.
    void exitClosesTheSideBandDialogAndNoOther()
    {
        UiSession s;
        const TempFile file(vardane::test::standardImage());
        s.open(file);
        s.trigger("sba");
        s.trigger("memfreq");
        s.trigger("about");
        s.trigger("about");
        QCOMPARE(visibleCount("frmAbt"), qsizetype(1));
        const QPointer<QWidget> about = UiSession::dialog("frmAbt");

        s.trigger("exit");
        UiSession::flushDeletes();

        QVERIFY(s.window() == nullptr);
        QCOMPARE(visibleCount("frmSBA"), qsizetype(0));
        QCOMPARE(visibleCount("frmfreqmem"), qsizetype(1));
        QVERIFY(!about.isNull() && about->isVisible());
        QTest::mouseClick(about->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        UiSession::flushDeletes();
        QVERIFY(about.isNull());
    }

    void dialogShownAgainIsRaisedNotReloaded_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("dialog");
        // clang-format off
        QTest::newRow("memory clock") << "memfreq" << "frmfreqmem";
        QTest::newRow("core clock") << "corefreq" << "frmfreqCore";
        QTest::newRow("SideBand") << "sba" << "frmSBA";
        QTest::newRow("header") << "mnuheader" << "frmheader";
        // clang-format on
    }

    void dialogShownAgainIsRaisedNotReloaded()
    {
        QFETCH(QString, item);
        QFETCH(QString, dialog);
        UiSession s;
        const TempFile file(vardane::test::standardImage());
        s.open(file);
        const QPointer<QWidget> first = s.showDialog(qPrintable(item), qPrintable(dialog));
        QVERIFY(first != nullptr);

        QCOMPARE(s.showDialog(qPrintable(item), qPrintable(dialog)), first.data());
        QCOMPARE(visibleCount(dialog), qsizetype(1));
        QVERIFY(s.services.messages.empty());

        first->close();
        UiSession::flushDeletes();
        QVERIFY(first.isNull());
        QVERIFY(s.showDialog(qPrintable(item), qPrintable(dialog)) != nullptr);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
