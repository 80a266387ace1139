// The windows driven headless, as a user drives them: the main window through
// its menu items, each editor dialog on a stand-in for the main window, with
// the file dialog, message boxes and questions answered by FakeServices.
// Every write is checked byte for byte.
#include "editors/sideband.h"
#include "fakes.h"
#include "image/text.h"
#include "ui/about_dialog.h"
#include "ui/clock_dialog.h"
#include "ui/header_dialog.h"
#include "ui/main_window.h"
#include "ui/sba_dialog.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QTreeView>
#include <QtTest>

#include <filesystem>
#include <memory>

using vardane::ImageState;
using vardane::test::Standard;
using vardane::test::standardImage;
using vardane::test::TempFile;
using vardane::test::TestImage;

namespace {

const QStringList kNoImageItems{"Ouvrir", "exit", "about"};
const QStringList kImageItems{"mnuchanges", "mnuClose", "exit",          "sba",  "mnuheader",
                              "memfreq",    "corefreq", "mnucheckvalid", "about"};
const QStringList kValueLabels{"Text4", "Text1", "Text2", "text3", "Label10",
                               "Text5", "Text6", "Text9", "Text7"};
const QString kHeaderShown = "Vardane test header" + QString(31, ' ');
const QString kVersionShown = "NV15 BIOS 3.15.01.08.00 (test)     ";

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

void click(QWidget* window, const char* button = "Command1")
{
    QTest::mouseClick(window->findChild<QAbstractButton*>(button), Qt::LeftButton);
}

QString accessibleName(QWidget* widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
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
const QStringList kStandardValues = named({"image.rom", "65536 Octets", kHeaderShown, kVersionShown,
                                           "GeForce2 Ultra", "NON", "366 Mhz", "143 Mhz", "???"});

// The main window, shown, with the services it was given.
struct Session {
    Session() { window->show(); }
    ~Session()
    {
        QApplication::closeAllWindows();
        flushDeletes();
        delete window.data();
    }
    vardane::test::FakeServices services;
    QPointer<vardane::ui::MainWindow> window = new vardane::ui::MainWindow(services);

    void trigger(const char* item) const { window->findChild<QAction*>(item)->trigger(); }
    [[nodiscard]] QString shown(const QString& label) const
    {
        return window->findChild<QLabel*>(label)->text();
    }
    void open(const TempFile& file)
    {
        services.fileAnswers.push_back({QString::fromStdString(file.path().string()),
                                        QString::fromStdString(file.path().filename().string())});
        trigger("Ouvrir");
    }
    // The enabled menu items, in their order on screen.
    [[nodiscard]] QStringList items() const
    {
        QStringList enabled;
        for (const QAction* title : window->menuBar()->actions()) {
            for (const QAction* action : title->menu()->actions()) {
                if (action->isEnabled() && !action->isSeparator()) {
                    enabled << action->objectName();
                }
            }
        }
        return enabled;
    }
    [[nodiscard]] QStringList values() const
    {
        QStringList values;
        for (const QString& label : kValueLabels) {
            values << shown(label);
        }
        return named(values);
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
};

// An image file, a stand-in host that opened it, and one dialog shown on it.
struct Shown {
    explicit Shown(const TestImage& image = standardImage()) : file(image) {}

    const TempFile file;
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
    // The one message shown, its icon first.
    [[nodiscard]] QString message() const
    {
        const auto& all = services.messages;
        return all.size() != 1
                   ? QString::number(all.size()) + " messages"
                   : (all[0].icon == vardane::ui::MessageIcon::critical ? "critical: " : "information: ") +
                         all[0].text;
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

class WindowsTest : public QObject {
    Q_OBJECT

private slots:
    // Each value is shown with control characters as blanks, and announced
    // with its caption. A verification offers the correction, which rewrites
    // 0xBBFF alone and withdraws itself; Close empties every field and
    // withdraws the correction, for the next image too.
    void openShowsTheFactsAndTheChecksumCommandsWork()
    {
        Session s;
        QCOMPARE(s.items(), kNoImageItems);
        QCOMPARE(s.values(), kEmptyValues);
        const TempFile file(standardImage().checksumTo(0x37));
        s.open(file);
        QCOMPARE(s.items(), kImageItems);
        QCOMPARE(s.values(), kStandardValues);
        QCOMPARE(accessibleName(s.window->findChild<QLabel*>("Label10")),
                 QString("Type de GPU : GeForce2 Ultra"));
        s.trigger("mnucheckvalid");
        QCOMPARE(s.shown("Text7"), QString("Non Valide"));
        QCOMPARE(s.window->state().StK1, std::optional<std::uint8_t>(0x37));
        QCOMPARE(s.items(), kImageItems.mid(0, 8) << "mnucorrcheck"
                                                  << "about");
        s.trigger("mnucorrcheck");
        QVERIFY(file.contents() == standardImage().checksumTo(0).bytes());
        QCOMPARE(s.shown("Text7"), QString("Valide"));
        QCOMPARE(s.items(), kImageItems);
        s.window->enableChecksumCorrection();
        s.trigger("mnuClose");
        QCOMPARE(s.items(), kNoImageItems);
        QCOMPARE(s.values(), kEmptyValues);
        QCOMPARE(accessibleName(s.window->findChild<QLabel*>("Text7")), QString("CheckSum : ???"));
        s.open(file);
        QCOMPARE(s.items(), kImageItems);
        QVERIFY(s.services.messages.empty());
        // Nothing hidden for a screen reader to find: every control is on show.
        for (const QWidget* child : s.window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            QVERIFY2(child->isVisible() || qobject_cast<const QMenu*>(child) != nullptr,
                     qPrintable(child->objectName()));
        }
    }

    // A file of the wrong size is refused and the dialog comes back, the menus
    // unchanged; an open that fails later switches them all the same and keeps
    // the fields read so far. A file too short for the checksum region is
    // refused by the verification, and nothing shown changes.
    void openRefusesThenFailsPartWay()
    {
        Session s;
        const TempFile small(TestImage(40000), "small.rom");
        const TempFile bare(TestImage(46127), "bare.rom");
        QList<QStringList> seenDuringMessages;
        s.services.whileMessageShown = [&](const auto& shown) {
            seenDuringMessages << QStringList{shown.title, shown.text.section(' ', 0, 2)} + s.items() +
                                      s.values();
        };
        s.services.fileAnswers.push_back({QString::fromStdString(small.path().string()), "small.rom"});
        s.open(bare);
        s.trigger("mnucheckvalid");
        const QStringList bareValues = named({"bare.rom", "46127 Octets", "", "", "", "???", "", "", "???"});
        QCOMPARE(seenDuringMessages,
                 (QList<QStringList>{QStringList{"Erreur Fatale ! ;-)", "Ce fichier n'est"} + kNoImageItems +
                                         named({"small.rom", "", "", "", "", "", "", "", "???"}),
                                     QStringList{"Probleme", "Erreur lors de"} + kImageItems + bareValues,
                                     QStringList{"Probleme", "Ce fichier est"} + kImageItems + bareValues}));
        s.trigger("mnuClose");
        s.trigger("Ouvrir");  // and cancel
        QCOMPARE(s.services.fileDialogs, 3);
        QCOMPARE(s.items(), kNoImageItems);
    }

    // Asked for again, an open window is raised as it is; closed, it loads
    // afresh. Exit closes frmSBA and the list of changes only; the about box,
    // one however often asked for, outlives the main window until its own
    // button closes it.
    void dialogsLiveBesideTheMainWindow()
    {
        Session s;
        const TempFile file(standardImage());
        s.open(file);
        for (const auto& [item, name] :
             {std::pair{"memfreq", "frmfreqmem"}, std::pair{"corefreq", "frmfreqCore"},
              std::pair{"sba", "frmSBA"}, std::pair{"mnuheader", "frmheader"}, std::pair{"about", "frmAbt"},
              std::pair{"mnuchanges", "frmModifications"}}) {
            s.trigger(item);
            const QPointer<QWidget> first = visibleWindow(name);
            s.trigger(item);
            QVERIFY(first != nullptr && visibleWindow(name) == first);
            first->close();
            flushDeletes();
            s.trigger(item);
            QVERIFY(first.isNull() && visibleWindow(name) != nullptr);
        }
        const QPointer<QWidget> about = visibleWindow("frmAbt");
        s.trigger("exit");
        flushDeletes();
        QVERIFY(s.window == nullptr && visibleWindow("frmSBA") == nullptr &&
                visibleWindow("frmModifications") == nullptr && visibleWindow("frmfreqmem") != nullptr);
        click(about);
        flushDeletes();
        QVERIFY(about.isNull());
    }

    // An image named on the command line or dropped opens as Open does once
    // its dialog has returned that path; one refused by its size brings the
    // dialog up. A drop is taken only while Open could take it.
    void openFromOutside()
    {
        Session s;
        const TempFile image(standardImage());
        const QString path = QString::fromStdString(image.path().string());
        s.window->openFile(path);
        QCOMPARE(s.window->state().filePath, image.path().string());
        QCOMPARE(s.items(), kImageItems);
        QVERIFY(!s.drop({QUrl::fromLocalFile(path)}));
        s.trigger("mnuClose");
        s.window->openFile(QString::fromStdString(image.folder().string()));
        QVERIFY(s.services.messages.size() == 1 && s.services.fileDialogs == 1);
        QVERIFY(!s.drop({QUrl::fromLocalFile(path), QUrl::fromLocalFile(path)}));
        QVERIFY(!s.drop({QUrl("https://vardane.invalid/image.rom")}));
        QVERIFY(s.drop({QUrl::fromLocalFile(path)}));
        QCOMPARE(s.values(), kStandardValues);
    }

    // The list follows every write the windows make; the original comes back
    // byte for byte, and the main window shows it as a fresh Open would. A
    // file changed behind the list is refused and listed again.
    void changesListEachWriteAndTheOriginalComesBack()
    {
        Session s;
        const auto original = standardImage().checksumTo(0x37);
        const TempFile file(original);
        s.open(file);
        s.trigger("mnuchanges");
        QCOMPARE(s.changes(), QStringList{"Aucune modification"});
        s.trigger("memfreq");
        QTest::keyClick(visibleWindow("frmfreqmem")->findChild<QSlider*>("Slider1"), Qt::Key_Right);
        click(visibleWindow("frmfreqmem"));
        QCOMPARE(s.changes(), (QStringList{"Frequence Mémoire (DDR) : 366 Mhz → 368 Mhz",
                                           "CheckSum : Non Valide (55) → Non Valide (155)",
                                           "Octets 0x0E86..0x0E86 : 7C → E0 (MemClockWord)"}));
        s.trigger("sba");
        click(visibleWindow("frmSBA"));
        QVERIFY(s.changes().contains("SideBand Adressing Activé : NON → OUI"));
        QVERIFY(s.changes().contains("Octets 0x0800..0x0800 : 7F → FB (SbaByte)"));
        s.trigger("mnucorrcheck");
        QCOMPARE(s.changes().filter("(ChecksumByte)").size(), 1);
        s.trigger("mnuheader");
        visibleWindow("frmheader")->findChild<QLineEdit*>("Text1")->setText("0123456789ABCDEFder");
        click(visibleWindow("frmheader"));
        QVERIFY(
            s.changes().contains("Octets 0x00AF..0x00BE : 56 61 72 64 61 6E 65 20 74 65 73 74 20 68 65 61 → "
                                 "30 31 32 33 34 35 36 37 38 39 41 42 43 44 45 46 (HeaderText)"));
        s.trigger("mnucheckvalid");

        s.services.answers = {false, true};
        click(visibleWindow("frmModifications"));
        QVERIFY(file.contents() != original.bytes());
        click(visibleWindow("frmModifications"));
        QVERIFY(file.contents() == original.bytes() && visibleWindow("frmModifications") == nullptr);
        s.trigger("mnuchanges");
        QCOMPARE(s.changes(), QStringList{"Aucune modification"});
        QVERIFY(!visibleWindow("frmModifications")->findChild<QAbstractButton*>("Command1")->isEnabled());
        QCOMPARE(s.values(), kStandardValues);
        QCOMPARE(s.items(), kImageItems);

        s.trigger("sba");
        click(visibleWindow("frmSBA"));
        const auto meanwhile = TestImage(original).put(Standard::kSba, 0x00);
        vardane::test::writeAll(file.path(), meanwhile.bytes());
        s.services.answers = {true};
        click(visibleWindow("frmModifications"));
        QVERIFY(file.contents() == meanwhile.bytes());
        QVERIFY(
            s.services.messages.back().text.startsWith("Le fichier a été modifié par un autre programme"));
        QVERIFY(s.changes().contains("SideBand Adressing Activé : NON → ???"));
        QCOMPARE(s.services.questions, 3);
    }

    // The desktop's own boxes and file dialog, answered by a timer, in French
    // whatever the locale: words, spacing, dates, sizes and types.
    void desktopServicesSpeakFrench()
    {
        const auto french = vardane::ui::speakFrench();
        vardane::ui::DesktopServices desktop;
        QStringList seen;
        const auto answer = [&](auto look) {
            QTimer::singleShot(0, [&, look] { look(QApplication::activeModalWidget()); });
        };
        answer([&](QWidget* box) {
            seen << qobject_cast<QMessageBox*>(box)->text()
                 << QString::number(qobject_cast<QMessageBox*>(box)->icon());
            qobject_cast<QMessageBox*>(box)->accept();
        });
        desktop.showMessage(nullptr, vardane::ui::MessageIcon::critical, "Probleme",
                            "Perdu ? Oui : le fichier.");
        answer([&](QWidget* box) {
            auto* question = qobject_cast<QMessageBox*>(box);
            for (QAbstractButton* button :
                 QList<QAbstractButton*>{static_cast<QAbstractButton*>(question->defaultButton())} +
                     question->buttons()) {
                seen << button->text();
            }
            question->defaultButton()->click();
        });
        QVERIFY(!desktop.askYesNo(nullptr, "Rétablir", "Rétablir ?"));
        const TempFile image(standardImage());
        std::filesystem::create_directory(image.folder() / "dossier");
        answer([&](QWidget* widget) {
            auto* dialog = qobject_cast<QFileDialog*>(widget);
            dialog->setDirectory(QString::fromStdString(image.folder().string()));
            // The folder is read in the background; its rows come a moment later.
            QTimer::singleShot(300, [&, dialog] {
                const auto* view = dialog->findChild<QTreeView*>("treeView");
                for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
                    seen << view->model()->index(row, 1, view->rootIndex()).data().toString() + '/' +
                                view->model()->index(row, 2, view->rootIndex()).data().toString();
                }
                seen << view->model()->index(1, 3, view->rootIndex()).data().toString().section(' ', 0, 0);
                dialog->selectFile(QString::fromStdString(image.path().string()));
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText("image.rom");
                static_cast<QDialog*>(dialog)->accept();
            });
        });
        const auto chosen = desktop.chooseFile(nullptr, "Fichier BIOS (*.rom)|*.rom|Tout Fichiers (*.*)|*.*");
        QCOMPARE(chosen ? chosen->title : QString(), QString("image.rom"));
        QCOMPARE(seen,
                 (QStringList{QString::fromUtf8("Perdu\u00A0? Oui\u00A0: le\u00A0fichier."),
                              QString::number(QMessageBox::Critical), "&Non", "&Oui", "&Non", "/Dossier",
                              "64,00 Kio/inconnu", QDate::currentDate().toString("dd/MM/yyyy")}));
    }

    // Each label in the type it was drawn with, and the long texts wrapped.
    void textsInTheirType()
    {
        const vardane::ui::AboutDialog about;
        Session s;
        QStringList fonts;
        for (const QLabel* label : {about.findChild<QLabel*>("Label2"), about.findChild<QLabel*>("Label3"),
                                    about.findChild<QLabel*>("Label5"), about.findChild<QLabel*>("Label6"),
                                    s.window->findChild<QLabel*>("Text7")}) {
            fonts << QString("%1 %2%3")
                         .arg(label->font().pointSizeF())
                         .arg(label->font().bold() ? "b" : "")
                         .arg(label->font().italic() ? "i" : "");
        }
        QCOMPARE(fonts, (QStringList{"48 b", "12 i", "8.25 bi", "13.5 b", "12 "}));
        QVERIFY(about.findChild<QLabel*>("Label1")->wordWrap());
    }

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
            click(t.dialog, "Check1");
            QCOMPARE(t.range(), c.oufRange);
            QCOMPARE(t.text("Label3") + " " + t.text("Label4"), c.ouf);
            t.drag(c.moved.section(' ', 0, 0).toInt());
            QCOMPARE(t.text1(), c.moved);
            QTest::keyClick(t.slider, Qt::Key_Right);
            QTest::keyClick(t.slider, Qt::Key_PageUp);
            t.slider->setValue(c.moved.section(' ', 0, 0).toInt());
            QCOMPARE(t.text1(), c.afterKeys);
            click(t.dialog, "Check1");
            QCOMPARE(t.range(), c.cleared);
            QCOMPARE(t.text1(), QString::number(c.cleared[0]) + " " + c.moved.section(' ', 1));
            QString text2WhileShown;
            t.services.whileMessageShown = [&](const auto&) { text2WhileShown = t.text("Text2"); };
            click(t.dialog);
            QVERIFY(t.wrote(c.word));
            QCOMPARE(t.message(), "information: " + c.message);
            QCOMPARE(text2WhileShown, c.text2);
            QCOMPARE(t.host->image.*t.stateText, std::to_string(c.cleared[0]) + " Mhz");
            QVERIFY(!t.dialog->isVisible());
        }
        // Right after opening, the word comes from Text1, fraction kept, and the
        // clock shown from the slider.
        Clock t(true, "333.5 Mhz");
        click(t.dialog);
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
            click(t.dialog);
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
            names << accessibleName(t.dialog->findChild<QWidget*>(name));
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
            click(t.dialog);
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
            c.key == Qt::Key_unknown ? click(t.dialog) : QTest::keyClick(box, c.key);
            std::string field = c.written;
            field.resize(48, ' ');
            const bool applied = c.key != Qt::Key_Escape;
            QVERIFY(!t.dialog->isVisible());
            QVERIFY(t.file.contents() ==
                    (c.written.empty() ? base : TestImage(base).put(Standard::kHeader, field)).bytes());
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
            click(t.dialog);
            QVERIFY(t.message().startsWith("critical: ") && !t.dialog->isVisible());
            QCOMPARE(t.file.contents()[Standard::kHeader], imageReplaced ? 'V' : 'x');
        }
    }
};

QTEST_MAIN(WindowsTest)
#include "windows_test.moc"
