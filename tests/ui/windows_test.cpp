// The windows driven headless, as a user drives them: through the main
// window's menu items and each dialog's controls, with the file dialog,
// message boxes and questions answered by a stand-in for the desktop's.
// Every write is checked byte for byte.
#include "compare/wording.h"
#include "faults.h"
#include "qt/paths.h"
#include "test_image.h"
#include "ui/main_window.h"

#include <QAccessible>
#include <QAction>
#include <QDragEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QtTest>

#include <deque>
#include <filesystem>
#include <functional>

using vardane::test::Standard;
using vardane::test::standardImage;
using vardane::test::TempFile;
using vardane::test::TestImage;

namespace {

struct Message {
    vardane::ui::MessageIcon icon;
    QString title, text;
};

// The next of the answers given, or the default one once they run out.
template <typename T>
T next(std::deque<T>& answers)
{
    T answer = answers.empty() ? T() : answers.front();
    answers.empty() ? void() : answers.pop_front();
    return answer;
}

// The desktop's modal services, answered without a modal loop.
struct FakeServices final : vardane::ui::UiServices {
    std::deque<std::optional<QString>> files;  // one a file dialog; then a cancel
    int fileDialogs = 0;
    std::vector<Message> messages;
    std::function<void(const Message&)> whileMessageShown;  // looks at the windows while a box is up
    std::deque<bool> answers;                               // one a question; then No

    std::optional<QString> chooseFile(QWidget* /*parent*/, const QString& /*filter*/) override
    {
        ++fileDialogs;
        return next(files);
    }
    void showMessage(QWidget* /*parent*/, vardane::ui::MessageIcon icon, const QString& title,
                     const QString& text) override
    {
        messages.push_back({icon, title, text});
        if (whileMessageShown) {
            whileMessageShown(messages.back());
        }
    }
    bool askYesNo(QWidget*, const QString&, const QString&) override { return next(answers); }
};

// Each menu item that shows a window of its own, and that window: the four
// editors first.
// clang-format off
const std::pair<const char*, const char*> kWindows[] = {{"memfreq", "frmfreqmem"}, {"corefreq", "frmfreqCore"},
    {"sba", "frmSBA"}, {"mnuheader", "frmheader"}, {"about", "frmAbt"}, {"mnuchanges", "frmModifications"}};
// clang-format on
const QStringList kNoImageItems{"Ouvrir", "exit", "about"};
const QStringList kImageItems{"mnuchanges", "mnuClose", "exit",          "sba",  "mnuheader",
                              "memfreq",    "corefreq", "mnucheckvalid", "about"};
const QStringList kValueLabels{"Text4", "Text1", "Text2", "text3", "Label10",
                               "Text5", "Text6", "Text9", "Text7"};

// Names the row of a table that a failure came from, as GoogleTest's
// SCOPED_TRACE does: Qt Test's checks end the test function, and this says
// on the way out which row they were checking.
class Row {
public:
    explicit Row(QString name) : name_(std::move(name)) {}
    ~Row()
    {
        if (QTest::currentTestFailed()) {
            qWarning("in the row: %s", qPrintable(name_));
        }
    }
    Row(const Row&) = delete;
    Row& operator=(const Row&) = delete;

private:
    QString name_;
};

// A closed window is deleted when the event loop next runs, as it does
// between two clicks of a real user.
void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QWidget* visibleWindow(const QString& name)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

QString text(const QWidget* window, const char* name)
{
    return window->findChild<QWidget*>(name)->property("text").toString();
}

void click(QWidget* window, const char* button = "Command1")
{
    QTest::mouseClick(window->findChild<QAbstractButton*>(button), Qt::LeftButton);
}

// "Text4=image.rom" for each value field, so that a failure names the field.
QStringList named(const QStringList& values)
{
    QStringList shown;
    for (qsizetype i = 0; i < kValueLabels.size(); ++i) {
        shown << kValueLabels[i] + '=' + values.value(i);
    }
    return shown;
}

const QStringList kEmptyValues = named({"", "", "", "", "", "", "", "", "???"});
const QStringList kStandardValues =
    named({"image.rom", "65536 Octets", "Vardane test header" + QString(31, ' '),
           "NV15 BIOS 3.15.01.08.00 (test)     ", "GeForce2 Ultra", "NON", "366 Mhz", "143 Mhz", "???"});

// The main window, shown, with an image open when one is given.
struct Session {
    explicit Session(const TestImage& image = standardImage()) : file(image) { window->show(); }
    ~Session()
    {
        QApplication::closeAllWindows();
        flushDeletes();
        delete window.data();
    }
    const TempFile file;
    FakeServices services;
    QPointer<vardane::ui::MainWindow> window = new vardane::ui::MainWindow(services);

    void trigger(const char* item) const { window->findChild<QAction*>(item)->trigger(); }
    QString shown(const QString& label) const { return window->findChild<QLabel*>(label)->text(); }
    void open(const std::filesystem::path& image)
    {
        services.files.push_back(QString::fromStdString(image.string()));
        trigger("Ouvrir");
    }
    // The image opened, and the window the item shows.
    QWidget* show(const char* item, const char* window)
    {
        open(file.path());
        trigger(item);
        return visibleWindow(window);
    }
    // The enabled menu items, in their order on screen.
    [[nodiscard]] QStringList items() const
    {
        QStringList enabled;
        for (const QAction* action : window->findChildren<QAction*>()) {
            if (action->isEnabled() && !action->isSeparator() && action->menu() == nullptr) {
                enabled << action->objectName();
            }
        }
        return enabled;
    }
    [[nodiscard]] QStringList values() const
    {
        QStringList values;
        for (const QString& label : kValueLabels) {
            values << label + '=' + shown(label);
        }
        return values;
    }
    // A drop of these URLs on the window; true when it was taken.
    bool drop(const QList<QUrl>& urls) const
    {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &enter);
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        const bool taken = enter.isAccepted() && QApplication::sendEvent(window, &dropped);
        QCoreApplication::sendPostedEvents();
        return taken;
    }
    [[nodiscard]] QStringList changes() const
    {
        QStringList lines;
        const auto* list = visibleWindow("frmModifications")->findChild<QListWidget*>("List1");
        for (int i = 0; i < list->count(); ++i) {
            lines << list->item(i)->text();
        }
        return lines;
    }
    // The one message shown, its icon first.
    [[nodiscard]] QString message() const
    {
        const auto& all = services.messages;
        return all.size() != 1
                   ? QString::number(all.size()) + " messages"
                   : (all[0].icon == vardane::ui::MessageIcon::critical ? "critical: " : "information: ") +
                         all[0].text;
    }
    [[nodiscard]] bool holds(const TestImage& image) const { return file.contents() == image.bytes(); }
};

// A clock dialog's Text1 and its colour, which Label1 must share.
QString text1(const QWidget* dialog)
{
    const QColor colour = dialog->findChild<QWidget*>("Text1")->palette().color(QPalette::Text);
    const QMap<QRgb, QString> named{{0xFF00C000, "green"}, {0xFFFF8000, "orange"}, {0xFFFF0000, "red"}};
    const bool shared =
        colour == dialog->findChild<QWidget*>("Label1")->palette().color(QPalette::WindowText);
    return text(dialog, "Text1") + " " + (shared ? named.value(colour.rgb(), "default") : "apart");
}

TestImage withWord(std::int64_t offset, int word)
{
    return standardImage().putWord(offset, static_cast<std::uint16_t>(word));
}

constexpr std::int64_t kMemWord = Standard::kClockKey - 26;

}  // namespace

class WindowsTest : public QObject {
    Q_OBJECT

private slots:
    // Each value is shown with control characters as blanks, and announced
    // with its caption. A verification offers the correction; Close empties
    // every field and withdraws it, for the next image too; the correction
    // rewrites 0xBBFF alone and withdraws itself.
    void openShowsTheFactsAndTheChecksumCommandsWork()
    {
        Session s(standardImage().checksumTo(0x37));
        QVERIFY(s.items() == kNoImageItems && s.values() == kEmptyValues);
        s.open(s.file.path());
        QCOMPARE(s.values(), kStandardValues);
        QCOMPARE(QAccessible::queryAccessibleInterface(s.window->findChild<QLabel*>("Label10"))
                     ->text(QAccessible::Name),
                 QString("Type de GPU : GeForce2 Ultra"));
        s.trigger("mnucheckvalid");
        QVERIFY(s.shown("Text7") == "Non Valide" && s.items().contains("mnucorrcheck"));
        s.trigger("mnuClose");
        QVERIFY(s.items() == kNoImageItems && s.values() == kEmptyValues);
        s.open(s.file.path());
        QCOMPARE(s.items(), kImageItems);
        s.trigger("mnucheckvalid");
        s.trigger("mnucorrcheck");
        QVERIFY(s.holds(standardImage().checksumTo(0)) && s.shown("Text7") == "Valide" &&
                s.items() == kImageItems && s.services.messages.empty());
    }

    // A file of the wrong size is refused and the dialog comes back, the menus
    // unchanged; an open that fails later switches them all the same and keeps
    // the fields read so far. A file too short for the checksum region is
    // refused by the verification, and nothing shown changes.
    void openRefusesThenFailsPartWayAndOpensFromOutside()
    {
        Session s(TestImage(46127));
        const TempFile small(TestImage(40000), "small.rom");
        QList<QStringList> seenDuringMessages;
        s.services.whileMessageShown = [&](const auto& shown) {
            seenDuringMessages << QStringList{shown.title, shown.text.section(' ', 0, 2)} + s.items() +
                                      s.values();
        };
        s.services.files.push_back(QString::fromStdString(small.path().string()));
        s.open(s.file.path());
        s.trigger("mnucheckvalid");
        const QStringList bare = named({"image.rom", "46127 Octets", "", "", "", "???", "", "", "???"});
        QCOMPARE(seenDuringMessages,
                 (QList<QStringList>{QStringList{"Erreur Fatale ! ;-)", "Ce fichier n'est"} + kNoImageItems +
                                         named({"small.rom", "", "", "", "", "", "", "", "???"}),
                                     QStringList{"Probleme", "Erreur lors de"} + kImageItems + bare,
                                     QStringList{"Probleme", "Ce fichier est"} + kImageItems + bare}));
        s.trigger("mnuClose");
        s.trigger("Ouvrir");  // and cancel
        QVERIFY(s.services.fileDialogs == 3 && s.items() == kNoImageItems);
        // A file that another program is writing: the box says so.
        Session held;
        const auto writer =
            vardane::system::openNativeFile(held.file.path(), vardane::system::Access::readWrite);
        QVERIFY(writer && (*writer)->lock(vardane::system::LockKind::exclusive, {}));
        vardane::test::faults.lockPatience = std::chrono::milliseconds(50);
        held.open(held.file.path());
        vardane::test::faults = {};
        QCOMPARE(held.message(),
                 QString("critical: Erreur lors de l'ouverture du fichier\nUn autre programme est "
                         "en train d'écrire dans ce fichier : réessayez dans un instant."));
        // An image named on the command line or dropped opens as Open does once
        // its dialog has returned that path; one refused by its size brings the
        // dialog up. A drop is taken only while Open could take it.
        Session outside;
        outside.window->openFile(outside.file.path());
        QVERIFY(outside.items() == kImageItems && outside.services.fileDialogs == 0 &&
                !outside.drop({QUrl::fromLocalFile(QString::fromStdString(outside.file.path().string()))}));
        outside.trigger("mnuClose");
        outside.window->openFile(outside.file.folder());
        QVERIFY(outside.services.messages.size() == 1 && outside.services.fileDialogs == 1);
        QVERIFY(!outside.drop({QUrl("file://vardane.invalid/image.rom")}));  // another machine's
        // The file named is the file opened, shown by the name the system
        // gives it. On Windows, by argument or by drop, "é" and "ω" come as
        // the very UTF-16 of the name, never as a look-alike. On POSIX, by
        // argument or by drop, ".." is taken against the folder a link leads
        // to, as the system takes it, and a byte that is not UTF-8 stays
        // itself, shown escaped, never the character that stands for it.
        const std::string folder = vardane::system::nameOf(outside.file.folder()) + '/';
        const auto place = [&](const std::string& name, int sba) {
            vardane::test::writeAll(*vardane::system::pathNamed(folder + name),
                                    standardImage().put(Standard::kSba, sba).bytes());
        };
        outside.trigger("mnuClose");
        if (vardane::system::backslashSeparates()) {
            const std::string name = "carte \xc3\xa9 \xcf\x89.rom";
            place(name, 0xFB);
            place("carte e\xcc\x81 \xcf\x89.rom", 0x7F);
            outside.window->openFile(vardane::argumentPath(folder + name));
            QCOMPARE(outside.shown("Text4") + " " + outside.shown("Text5"), QString("carte é ω.rom OUI"));
            outside.trigger("mnuClose");
            QVERIFY(outside.drop({QUrl::fromLocalFile(QString::fromStdString(folder + name))}));
            QCOMPARE(outside.shown("Text4") + " " + outside.shown("Text5"), QString("carte é ω.rom OUI"));
            return;
        }
        std::filesystem::create_directories(folder + "real/sub");
        std::filesystem::create_directory_symlink("real/sub", folder + "ln");
        for (const auto& [name, sba] :
             {std::pair{"real/card.rom", 0xFB}, std::pair{"bad\xff.rom", 0xFB}, std::pair{"card.rom", 0x7F},
              std::pair{"bad\xef\xbf\xbd.rom", 0x7F}}) {
            place(name, sba);
        }
        const QUrl dropped = QUrl::fromEncoded(
            "file://" + QByteArray::fromStdString(folder).toPercentEncoding("/") + "bad%FF.rom");
        outside.window->openFile(vardane::argumentPath(folder + "ln/../card.rom"));
        QCOMPARE(outside.shown("Text5"), QString("OUI"));
        outside.trigger("mnuClose");
        QVERIFY(outside.drop({dropped}));
        QCOMPARE(outside.shown("Text4") + " " + outside.shown("Text5"), QString("bad\\xff.rom OUI"));
    }

    // The list follows every write the windows make; the original comes back
    // byte for byte, and the main window shows it as a fresh Open would. A
    // file changed behind the list is refused and listed again; one that
    // cannot be read is listed as such.
    void changesListEachWriteAndTheOriginalComesBack()
    {
        const auto original = standardImage().checksumTo(0x37);
        Session s(original);
        s.show("mnuchanges", "frmModifications");
        QCOMPARE(s.changes(), QStringList{"Aucune modification"});
        s.trigger("memfreq");
        QTest::keyClick(visibleWindow("frmfreqmem")->findChild<QSlider*>("Slider1"), Qt::Key_Right);
        click(visibleWindow("frmfreqmem"));
        QCOMPARE(s.changes(), (QStringList{"Frequence Mémoire (DDR) : 366 Mhz → 368 Mhz",
                                           "CheckSum : Non Valide (55) → Non Valide (155)",
                                           "Octets 0x0E86..0x0E86 : 7C → E0 (MemClockWord)"}));
        s.trigger("mnucheckvalid");

        s.services.answers = {true};
        s.services.messages.clear();
        click(visibleWindow("frmModifications"));
        QVERIFY(s.holds(original) && visibleWindow("frmModifications") == nullptr &&
                s.message().startsWith("information: Le fichier contient de nouveau"));
        s.trigger("mnuchanges");
        QCOMPARE(s.changes(), QStringList{"Aucune modification"});
        QVERIFY(!visibleWindow("frmModifications")->findChild<QAbstractButton*>("Command1")->isEnabled() &&
                s.values() == kStandardValues && s.items() == kImageItems);

        s.trigger("sba");
        click(visibleWindow("frmSBA"));
        const auto meanwhile = TestImage(original).put(Standard::kSba, 0x00);
        vardane::test::writeAll(s.file.path(), meanwhile.bytes());
        s.services.answers = {true};
        click(visibleWindow("frmModifications"));
        QVERIFY(
            s.holds(meanwhile) && s.changes().contains("SideBand Adressing Activé : NON → ???") &&
            s.services.messages.back().text.startsWith("Le fichier a été modifié par un autre programme"));
        // A file that cannot be read is listed as such, and nothing is offered
        // to write into it.
        vardane::test::faults.refusedOpens = 1;
        s.trigger("mnuchanges");
        vardane::test::faults = {};
        QCOMPARE(s.changes(), QStringList{"Vous n'avez pas le droit de lire ce fichier."});
        QVERIFY(!visibleWindow("frmModifications")->findChild<QAbstractButton*>("Command1")->isEnabled());
    }

    // The desktop's question box, answered by a timer: in French whatever the
    // locale, its default No.
    void desktopServicesSpeakFrench()
    {
        const auto french = vardane::ui::speakFrench();
        vardane::ui::DesktopServices desktop;
        QString seen;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            seen = box->defaultButton()->text() + ' ' + box->button(QMessageBox::Yes)->text();
            box->defaultButton()->click();
        });
        QVERIFY(!desktop.askYesNo(nullptr, "Rétablir", "Rétablir ?"));
        QCOMPARE(seen, QString("&Non &Oui"));
    }

    // Opening shows the main window's clock; a move shows its clock; the arrow
    // and page keys take the small and large steps; the program's own
    // setValue shows nothing. Ouf Mode widens the range without a move, and
    // clearing it brings the slider and Text1 back inside, the colour kept.
    // Return from any control then applies: the word of that clock is
    // written and reported, and the main window shows it, with the checksum
    // no longer valid and its correction offered.
    void clockFollowsTheSliderAndOufModeThenApplies()
    {
        // clang-format off
        const struct { const char *item, *name, *stateLabel; std::int64_t word; QString opened, ouf, moved;
            QList<int> range, oufRange, cleared; int written; QString message, text2; QStringList colours; } cases[] = {
            {"memfreq", "frmfreqmem", "Text6", kMemWord, "366 Mhz (DDR) 366 Mhz green", "100 Mhz 1 Ghz", "990 red",
             {366, 200, 600}, {366, 100, 1000}, {600, 200, 600}, 30000, "La frequence Mémoire est maintenant portée à 600 Mhz (DDR)", "600 Mhz (DDR)",
             {"460 green", "461 orange", "460 orange", "530 orange", "531 red", "459 green"}},
            {"corefreq", "frmfreqCore", "Text9", Standard::kClockKey - 70, "143 Mhz 143 Mhz default", "20 Mhz 450 Mhz", "20 green",
             {143, 75, 350}, {143, 20, 450}, {75, 75, 350}, 7500, "La frequence du GPU est maintenant portée à 75 Mhz (DDR)", "75 Mhz",
             {"250 default", "291 red", "290 orange", "249 green"}},
            // clang-format on
        };
        for (const auto& c : cases) {
            const Row row(c.item);
            Session s;
            QWidget* t = s.show(c.item, c.name);
            auto* slider = t->findChild<QSlider*>("Slider1");
            const auto drag = [slider](int position) {  // a user's move, unlike the program's setValue
                slider->setSliderDown(true);
                slider->setSliderPosition(position);
                slider->setSliderDown(false);
            };
            const auto range = [slider] {
                return QList<int>{slider->value(), slider->minimum(), slider->maximum()};
            };
            QCOMPARE(text(t, "Text2") + " " + text1(t), c.opened);
            QCOMPARE(range(), c.range);
            // Above the orange threshold orange, above the red one red, below
            // the orange one green; at the orange one the colour stays. Each
            // move is that position and the colour it shows.
            for (const QString& move : c.colours) {
                drag(move.section(' ', 0, 0).toInt());
                QCOMPARE(text1(t), move);
            }
            slider->setValue(c.range[0]);
            click(t, "Check1");
            QCOMPARE(range(), c.oufRange);
            QCOMPARE(text(t, "Label3") + " " + text(t, "Label4"), c.ouf);
            drag(c.moved.section(' ', 0, 0).toInt());
            QCOMPARE(text1(t), c.moved);
            click(t, "Check1");
            QCOMPARE(range(), c.cleared);
            QCOMPARE(text1(t), QString::number(c.cleared[0]) + " " + c.moved.section(' ', 1));
            QString text2WhileShown;
            s.services.whileMessageShown = [&](const auto&) { text2WhileShown = text(t, "Text2"); };
            QTest::keyClick(t->findChild<QWidget*>("Check1"), Qt::Key_Return);
            QVERIFY(s.holds(withWord(c.word, c.written)) && visibleWindow(c.name) == nullptr &&
                    s.items().contains("mnucorrcheck"));
            QCOMPARE(QStringList({s.message(), text2WhileShown, s.shown(c.stateLabel), s.shown("Text7")}),
                     QStringList({"information: " + c.message, c.text2,
                                  QString::number(c.cleared[0]) + " Mhz", "Non Valide"}));
        }
        // Right after opening, the word comes from Text1, the main window's
        // row, fraction kept up to a "," that ends it (in French "333,34 Mhz"
        // writes 333); the row then shows the clock the file holds.
        qputenv("LC_ALL", "fr_FR.UTF-8");
        Session s(withWord(kMemWord, 16667));
        click(s.show("memfreq", "frmfreqmem"));
        qputenv("LC_ALL", "C");
        QVERIFY(s.holds(withWord(kMemWord, 16650)) && s.shown("Text6") == "333 Mhz");
    }

    // Apply writes nothing and says why: with no image of its own left to
    // write into, or once another program changed the clock it showed, the
    // dialog closes; when the starting clock is one the slider
    // could not take, or the write was cut short and could not be undone (the
    // file is then said to be damaged), it stays.
    void clockApplyRefusals()
    {
        const std::pair<QString, QString> cases[] = {
            // clang-format off
            {"gone", "fenêtre principale est fermée"}, {"changed", "modifié par un autre programme"},
            {"outside", "hors de la plage"}, {"damaged", "peut-être endommagé"},
            // clang-format on
        };
        for (const auto& [situation, says] : cases) {
            const Row row(situation);
            Session s(situation == "outside" ? withWord(kMemWord, 0xFFFF) : standardImage());
            const QPointer<QWidget> t = s.show("memfreq", "frmfreqmem");
            if (situation == "gone") {
                s.window->close();
                flushDeletes();
            } else if (situation == "changed") {  // another program set another clock meanwhile
                vardane::test::writeAll(s.file.path(), withWord(kMemWord, 25000).bytes());
            }
            const bool damaged = situation == "damaged";
            vardane::test::faults = {
                .shortWrites = damaged, .writesBeforeFailure = damaged, .failedWrites = 2 * damaged};
            click(t);
            vardane::test::faults = {};
            QVERIFY2(s.message().startsWith("critical: ") && s.message().contains(says),
                     qPrintable(s.message()));
            QCOMPARE(visibleWindow("frmfreqmem") != nullptr, situation != "gone" && situation != "changed");
            const int word = situation == "outside" ? 0xFFFF : situation == "changed" ? 25000 : 18300;
            QVERIFY(situation == "damaged" || s.holds(withWord(kMemWord, word)));
        }
    }

    // Asked for again, a window is raised as it is. An editor writes only into
    // the image it was loaded on: once that image was closed and another
    // opened, or its original restored, each refuses, says so, writes nothing
    // and closes; asked for again, it gives way to a fresh one. Another editor's write,
    // and the reading of the file that follows it, leave an editor at work.
    // Exit closes frmSBA and the list of changes only; the about box outlives
    // the main window until its own button closes it.
    void windowsLiveBesideTheMainWindowBoundToTheirImage()
    {
        const TestImage other = standardImage().put(Standard::kSba, 0xFB).putWord(kMemWord, 12500);
        const TempFile b(other, "b.rom");
        auto s = std::make_unique<Session>();
        s->open(s->file.path());
        std::vector<QPointer<QWidget>> first;
        for (const auto& [item, window] : kWindows) {
            const Row row(item);
            s->trigger(item);
            first.emplace_back(visibleWindow(window));
            s->trigger(item);
            QVERIFY(first.back() != nullptr && visibleWindow(window) == first.back());
        }
        s->trigger("mnuClose");
        s->open(b.path());
        s->trigger("memfreq");  // gives a fresh editor, on b
        flushDeletes();
        QVERIFY(first[0].isNull() && text(visibleWindow("frmfreqmem"), "Text2") == "250 Mhz (DDR)");
        for (const std::size_t i : {1, 2, 3}) {
            const Row row(kWindows[i].first);
            click(first[i]);
            flushDeletes();
            QVERIFY(first[i].isNull() && s->services.messages.back().text.contains("n'est plus affichée"));
            s->trigger(kWindows[i].first);
            QVERIFY(visibleWindow(kWindows[i].second) != nullptr);
        }
        QVERIFY(s->services.messages.size() == 3 && s->holds(standardImage()) &&
                b.contents() == other.bytes());
        s->trigger("mnuchanges");
        s->trigger("exit");
        flushDeletes();
        QVERIFY(s->window == nullptr && visibleWindow("frmSBA") == nullptr &&
                visibleWindow("frmModifications") == nullptr && visibleWindow("frmfreqmem") != nullptr);
        click(first[4]);
        flushDeletes();
        QVERIFY(first[4].isNull());
        s.reset();  // and every window it left open

        Session t(standardImage().checksumTo(0x37));
        t.show("mnuheader", "frmheader");
        t.trigger("sba");
        t.trigger("memfreq");
        click(visibleWindow("frmfreqmem"));
        click(visibleWindow("frmSBA"));
        QVERIFY(t.holds(standardImage().checksumTo(0x37).put(Standard::kSba, 0xFB)));
        t.services.answers = {true};
        t.trigger("mnuchanges");
        click(visibleWindow("frmModifications"));
        click(visibleWindow("frmheader"));
        QVERIFY(t.services.messages.back().text.contains("n'est plus affichée") &&
                t.holds(standardImage().checksumTo(0x37)));
    }

    // Once another file has taken the name of the one on show, a write and a
    // restore are each refused in one box, which says so; the rows stay as
    // last read with "???", both files keep their bytes, and the menu items
    // say so too instead of opening anything.
    void writesLandOnlyInTheFileThatWasOpened()
    {
        const TestImage opened = standardImage().checksumTo(0x37);
        const TestImage edited = TestImage(opened).putWord(kMemWord, 18400);
        const TestImage other = standardImage().put(Standard::kSba, 0xFB);
        Session s(opened);
        s.show("memfreq", "frmfreqmem");
        QTest::keyClick(visibleWindow("frmfreqmem")->findChild<QSlider*>("Slider1"), Qt::Key_Right);
        click(visibleWindow("frmfreqmem"));
        s.trigger("mnuchanges");
        s.trigger("sba");
        const TempFile newcomer(other, "other.rom");
        const auto aside = s.file.folder() / "aside.rom";
        std::filesystem::rename(s.file.path(), aside);
        std::filesystem::rename(newcomer.path(), s.file.path());
        const QStringList shown = s.values();
        s.services.messages.clear();
        click(visibleWindow("frmSBA"));
        s.services.answers = {true, true};
        click(visibleWindow("frmModifications"));
        click(visibleWindow("frmModifications"));
        s.trigger("corefreq");
        QCOMPARE(s.services.messages.size(), std::size_t{4});
        for (const auto& message : s.services.messages) {
            QVERIFY2(message.text.startsWith("Le fichier de ce nom a été remplacé"),
                     qPrintable(message.text));
        }
        QVERIFY(s.holds(other) && vardane::test::readAll(aside) == edited.bytes());
        QVERIFY(visibleWindow("frmSBA") == nullptr && visibleWindow("frmfreqCore") == nullptr);
        QVERIFY(s.values() == (shown.mid(0, 8) << "Text7=???") && !s.items().contains("mnucorrcheck"));

        // A change made between the correction and its re-read shows in the row.
        Session t(opened);
        t.open(t.file.path());
        t.trigger("mnucheckvalid");
        vardane::test::faults.afterNextFlush = [&] {
            vardane::test::writeAll(t.file.path(), opened.bytes());
        };
        t.trigger("mnucorrcheck");
        vardane::test::faults = {};
        QVERIFY(t.shown("Text7") == "Non Valide" && t.items().contains("mnucorrcheck"));
    }

    // The click rewrites the one byte, and once the message is closed the main
    // window shows the file as it now is: the state, and the checksum in the
    // toggle's words when it no longer holds. An undecided state or a byte
    // changed since Open: nothing is written, only the changed byte is told,
    // and the window shows the file as it is. A file that can no longer be
    // read after the write leaves the rows as they were.
    void sbaTogglesTheByteOrNothing()
    {
        // clang-format off
        const struct { std::uint8_t byte; QString meanwhile, captions, state, text7, message; std::uint8_t after; } cases[] = {
            {0x7F, "", "Desactivé Activer", "OUI", "Non Valide !", QString("information: ") + vardane::sideBandToggledMessage(vardane::SideBand::on).data(), 0xFB},
            {0x00, "", "Desactivé Activer le SBA", "???", "???", "0 messages", 0x00},
            {0x7F, "changed", "Desactivé Activer", "OUI", "???", "critical: Le fichier a été modifié", 0xFB},
            // clang-format on
        };
        for (const auto& c : cases) {
            const Row row(c.captions + ' ' + c.meanwhile);
            Session s(standardImage().put(Standard::kSba, c.byte));
            QWidget* t = s.show("sba", "frmSBA");
            QCOMPARE(text(t, "Label2") + " " + text(t, "Command1"), c.captions);
            if (c.meanwhile == "changed") {
                vardane::test::writeAll(s.file.path(), standardImage().put(Standard::kSba, 0xFB).bytes());
            }
            click(t);
            QVERIFY2(s.message().startsWith(c.message), qPrintable(s.message()));
            QVERIFY(s.holds(standardImage().put(Standard::kSba, c.after)) &&
                    visibleWindow("frmSBA") == nullptr);
            QCOMPARE(s.shown("Text5") + " " + s.shown("Text7"), c.state + " " + c.text7);
            QCOMPARE(s.items().contains("mnucorrcheck"), c.text7.startsWith("Non"));
        }
        Session s;
        QWidget* t = s.show("sba", "frmSBA");
        s.services.whileMessageShown = [&](const auto&) { std::filesystem::remove(s.file.path()); };
        click(t);
        QVERIFY(s.values() == kStandardValues && !s.items().contains("mnucorrcheck"));
        QVERIFY(s.services.messages.back().text.startsWith("Le fichier ne peut plus être lu"));
    }

    // The box opens on the field's characters ("?" for a control byte), its
    // start in view, without the padding; unedited, Apply writes the very bytes
    // back; typed text is padded to the field's width, and the box takes only
    // what the field can hold. Return in the box applies; Escape closes
    // without writing.
    void headerWritesTheBoxTextOrRefuses()
    {
        const auto base = standardImage().put(Standard::kHeader + 2, std::uint8_t{0x00}).checksumTo(0);
        // clang-format off
        const struct { const char* row; QString typed; std::string written; Qt::Key key; } cases[] = {
            {"unedited", {}, {}, Qt::Key_unknown}, {"too long", QString(50, 'x'), std::string(48, 'x'), Qt::Key_Return},
            {"not Windows-1252", QString::fromUtf8("Ā€\t!"), "\x80!", Qt::Key_unknown}, {"escaped", "Z", {}, Qt::Key_Escape},
            // clang-format on
        };
        for (const auto& c : cases) {
            const Row row(c.row);
            Session s(base);
            QWidget* t = s.show("mnuheader", "frmheader");
            auto* box = t->findChild<QLineEdit*>("Text1");
            QCOMPARE(box->text() + QString::number(box->cursorPosition()), QString("Va?dane test header0"));
            box->selectAll();
            for (const QChar character : c.typed) {  // as a keyboard of any layout types it
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
                QApplication::sendEvent(box, &press);
            }
            c.key == Qt::Key_unknown ? click(t) : QTest::keyClick(box, c.key);
            QVERIFY(!t->isVisible());
            QVERIFY(s.holds(c.written.empty()
                                ? base
                                : TestImage(base).put(Standard::kHeader,
                                                      c.written + std::string(48 - c.written.size(), ' '))));
            const QString text7 = c.key == Qt::Key_Escape ? "???"
                                  : c.written.empty()     ? "Valide"
                                                          : "Non Valide";
            QVERIFY(s.shown("Text7") == text7 &&
                    s.items().contains("mnucorrcheck") == text7.startsWith("Non") &&
                    s.services.messages.empty());
        }
        // No field (no carriage return in the 51 bytes): no dialog, a message.
        // The field changed in the file since the load: nothing written, and
        // the dialog closes, since no retry could do better.
        Session none(standardImage().put(Standard::kHeader + 48, ' '));
        QVERIFY(none.show("mnuheader", "frmheader") == nullptr && none.message().startsWith("critical: "));
        Session s;
        QWidget* t = s.show("mnuheader", "frmheader");
        t->findChild<QLineEdit*>("Text1")->setText("X");
        vardane::test::writeAll(s.file.path(), standardImage().put(Standard::kHeader, "x").bytes());
        click(t);
        QVERIFY(s.message().startsWith("critical: ") && !t->isVisible());
        QVERIFY(s.holds(standardImage().put(Standard::kHeader, "x")));
    }
};

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
