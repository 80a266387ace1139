// Form1 driven headless, as a user drives it: through its menu items, with
// the file dialog, message boxes and questions answered by FakeServices.
#include "ui/main_window.h"
#include "fakes.h"

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

using vardane::test::Standard;
using vardane::test::TempFile;

namespace {

const QStringList kNoImageItems{"Ouvrir", "exit", "about"};
const QStringList kImageItems{"mnuchanges", "mnuClose", "exit",          "sba",  "mnuheader",
                              "memfreq",    "corefreq", "mnucheckvalid", "about"};
const QStringList kValueLabels{"Text4", "Text1", "Text2", "text3", "Label10",
                               "Text5", "Text6", "Text9", "Text7"};

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

QString pathOf(const TempFile& file)
{
    return QString::fromStdString(file.path().string());
}

// "Text4=image.rom" for each value field, so a failure names the field.
QStringList named(const QStringList& values)
{
    QStringList shown;
    for (qsizetype i = 0; i < kValueLabels.size(); ++i) {
        shown << kValueLabels[i] + '=' + values.value(i);
    }
    return shown;
}

const QStringList kEmptyValues = named({"", "", "", "", "", "", "", "", "???"});

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
        services.fileAnswers.push_back(
            {pathOf(file), QString::fromStdString(file.path().filename().string())});
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
    void click(const char* window, const char* button = "Command1") const
    {
        QTest::mouseClick(visibleWindow(window)->findChild<QAbstractButton*>(button), Qt::LeftButton);
    }
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    // Control characters show as blanks; each value is announced with its
    // caption. A verification offers the correction, which rewrites 0xBBFF
    // alone and withdraws itself; Close empties every field and withdraws
    // the correction again.
    void openShowsTheFactsAndTheChecksumCommandsWork()
    {
        Session s;
        QCOMPARE(s.items(), kNoImageItems);
        QCOMPARE(s.values(), kEmptyValues);
        const TempFile file(vardane::test::standardImage().checksumTo(0x37));
        s.open(file);
        QCOMPARE(s.items(), kImageItems);
        QCOMPARE(s.values(), named({"image.rom", "65536 Octets", "Vardane test header" + QString(31, ' '),
                                    "NV15 BIOS 3.15.01.08.00 (test)     ", "GeForce2 Ultra", "NON", "366 Mhz",
                                    "143 Mhz", "???"}));
        QCOMPARE(QAccessible::queryAccessibleInterface(s.window->findChild<QLabel*>("Label10"))
                     ->text(QAccessible::Name),
                 QString("Type de GPU : GeForce2 Ultra"));
        s.trigger("mnucheckvalid");
        QCOMPARE(s.shown("Text7"), QString("Non Valide"));
        QCOMPARE(s.window->state().StK1, std::optional<std::uint8_t>(0x37));
        QCOMPARE(s.items(), (QStringList{kImageItems.mid(0, 8)} << "mnucorrcheck"
                                                                << "about"));
        s.trigger("mnucorrcheck");
        QVERIFY(file.contents() == vardane::test::standardImage().checksumTo(0).bytes());
        QCOMPARE(s.shown("Text7"), QString("Valide"));
        QCOMPARE(s.items(), kImageItems);
        s.window->enableChecksumCorrection();
        s.trigger("mnuClose");
        QCOMPARE(s.items(), kNoImageItems);
        QCOMPARE(s.values(), kEmptyValues);
        QCOMPARE(QAccessible::queryAccessibleInterface(s.window->findChild<QLabel*>("Text7"))
                     ->text(QAccessible::Name),
                 QString("CheckSum : ???"));
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
        const TempFile small(vardane::test::TestImage(40000), "small.rom");
        const TempFile bare(vardane::test::TestImage(46127), "bare.rom");
        QList<QStringList> seenDuringMessages;
        s.services.whileMessageShown = [&](const auto& shown) {
            seenDuringMessages << QStringList{shown.title} + s.items() + s.values();
        };
        s.services.fileAnswers.push_back({pathOf(small), "small.rom"});
        s.open(bare);
        s.trigger("mnucheckvalid");
        const QStringList bareValues = named({"bare.rom", "46127 Octets", "", "", "", "???", "", "", "???"});
        QCOMPARE(seenDuringMessages,
                 (QList<QStringList>{QStringList{"Erreur Fatale ! ;-)"} + kNoImageItems +
                                         named({"small.rom", "", "", "", "", "", "", "", "???"}),
                                     QStringList{"Probleme"} + kImageItems + bareValues,
                                     QStringList{"Probleme"} + kImageItems + bareValues}));
        QCOMPARE(s.services.messages[0].text, QString("Ce fichier n'est pas un BIOS de GeForce ..."));
        QCOMPARE(s.services.messages[1].text, QString("Erreur lors de l'ouverture du fichier"));
        QVERIFY(s.services.messages[2].text.startsWith("Ce fichier est trop court"));
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
        const TempFile file(vardane::test::standardImage());
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
        QTest::mouseClick(about->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        flushDeletes();
        QVERIFY(about.isNull());
    }

    // An image named on the command line or dropped opens as Open does once
    // its dialog has returned that path; one refused by its size brings the
    // dialog up. A drop is taken only while Open could take it.
    void openFromOutside()
    {
        Session s;
        const TempFile image(vardane::test::standardImage());
        s.window->openFile(pathOf(image));
        QCOMPARE(s.window->state().filePath, image.path().string());
        QCOMPARE(s.items(), kImageItems);
        QVERIFY(!s.drop({QUrl::fromLocalFile(pathOf(image))}));
        s.trigger("mnuClose");
        s.window->openFile(QString::fromStdString(image.folder().string()));
        QVERIFY(s.services.messages.size() == 1 && s.services.fileDialogs == 1);
        QVERIFY(!s.drop({QUrl::fromLocalFile(pathOf(image)), QUrl::fromLocalFile(pathOf(image))}));
        QVERIFY(!s.drop({QUrl("https://vardane.invalid/image.rom")}));
        QVERIFY(s.drop({QUrl::fromLocalFile(pathOf(image))}));
        QCOMPARE(s.shown("Text4"), QString("image.rom"));
    }

    // The list follows every write the windows make; the original comes back
    // byte for byte, and the main window shows it as a fresh Open would. A
    // file changed behind the list is refused and listed again.
    void changesListEachWriteAndTheOriginalComesBack()
    {
        Session s;
        const auto original = vardane::test::standardImage().checksumTo(0x37);
        const TempFile file(original);
        s.open(file);
        s.trigger("mnuchanges");
        QCOMPARE(s.changes(), QStringList{"Aucune modification"});
        s.trigger("memfreq");
        auto* slider = visibleWindow("frmfreqmem")->findChild<QSlider*>("Slider1");
        QTest::keyClick(slider, Qt::Key_Right);
        s.click("frmfreqmem");
        QCOMPARE(s.changes(), (QStringList{"Frequence Mémoire (DDR) : 366 Mhz → 368 Mhz",
                                           "CheckSum : Non Valide (55) → Non Valide (155)",
                                           "Octets 0x0E86..0x0E86 : 7C → E0 (MemClockWord)"}));
        s.trigger("sba");
        s.click("frmSBA");
        QVERIFY(s.changes().contains("SideBand Adressing Activé : NON → OUI"));
        QVERIFY(s.changes().contains("Octets 0x0800..0x0800 : 7F → FB (SbaByte)"));
        s.trigger("mnuheader");
        visibleWindow("frmheader")->findChild<QLineEdit*>("Text1")->setText("X");
        s.click("frmheader");
        QVERIFY(s.changes().contains("Entête du BIOS : Vardane test header → X"));
        QCOMPARE(s.changes().filter("(HeaderText)").size(), 3);
        s.trigger("mnucorrcheck");
        QCOMPARE(s.changes().filter("(ChecksumByte)").size(), 1);

        s.services.answers = {false, true};
        s.click("frmModifications");
        QVERIFY(file.contents() != original.bytes());
        s.click("frmModifications");
        QVERIFY(file.contents() == original.bytes());
        QVERIFY(visibleWindow("frmModifications") == nullptr);
        s.trigger("mnuchanges");
        QCOMPARE(s.changes(), QStringList{"Aucune modification"});
        QCOMPARE(s.values(), named({"image.rom", "65536 Octets", "Vardane test header" + QString(31, ' '),
                                    "NV15 BIOS 3.15.01.08.00 (test)     ", "GeForce2 Ultra", "NON", "366 Mhz",
                                    "143 Mhz", "???"}));
        QCOMPARE(s.items(), kImageItems);
        QVERIFY(!visibleWindow("frmModifications")->findChild<QPushButton*>("Command1")->isEnabled());

        s.trigger("sba");
        s.click("frmSBA");
        const auto meanwhile = vardane::test::TestImage(original).put(Standard::kSba, 0x00);
        vardane::test::writeAll(file.path(), meanwhile.bytes());
        s.services.answers = {true};
        s.click("frmModifications");
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
            seen << qobject_cast<QMessageBox*>(box)->text();
            qobject_cast<QMessageBox*>(box)->accept();
        });
        desktop.showMessage(nullptr, vardane::ui::MessageIcon::critical, "Probleme",
                            "Perdu ? Oui : le fichier.");
        answer([&](QWidget* box) {
            auto* question = qobject_cast<QMessageBox*>(box);
            for (QAbstractButton* button :
                 QList<QAbstractButton*>{question->defaultButton()} + question->buttons()) {
                seen << button->text();
            }
            question->defaultButton()->click();
        });
        QVERIFY(!desktop.askYesNo(nullptr, "Rétablir", "Rétablir ?"));
        const TempFile image(vardane::test::standardImage());
        std::filesystem::create_directory(image.folder() / "dossier");
        answer([&](QWidget* dialog) {
            qobject_cast<QFileDialog*>(dialog)->setDirectory(QString::fromStdString(image.folder().string()));
            // The folder is read in the background; its rows come a moment later.
            QTimer::singleShot(300, [&, dialog] {
                const auto* model = dialog->findChild<QTreeView*>("treeView")->model();
                const QModelIndex folder = dialog->findChild<QTreeView*>("treeView")->rootIndex();
                for (int row = 0; row < model->rowCount(folder); ++row) {
                    seen << model->index(row, 1, folder).data().toString() + '/' +
                                model->index(row, 2, folder).data().toString();
                }
                seen << model->index(1, 3, folder).data().toString().section(' ', 0, 0);
                qobject_cast<QFileDialog*>(dialog)->reject();
            });
        });
        QVERIFY(!desktop.chooseFile(nullptr, "Fichier BIOS (*.rom)|*.rom|Tout Fichiers (*.*)|*.*"));
        QCOMPARE(seen, (QStringList{QString::fromUtf8("Perdu\u00A0? Oui\u00A0: le\u00A0fichier."), "&Non",
                                    "&Oui", "&Non", "/Dossier", "64,00 Kio/inconnu",
                                    QDate::currentDate().toString("dd/MM/yyyy")}));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
