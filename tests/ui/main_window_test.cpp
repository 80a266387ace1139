// Form1 driven headless, as a user drives it: through its menu items, with
// the file dialog and message boxes answered by FakeServices.
#include "ui/main_window.h"
#include "fakes.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <set>

using vardane::test::Standard;
using vardane::test::TempFile;
using vardane::ui::MessageIcon;

namespace {

const std::set<QString> kStartUpItems{"Ouvrir", "exit", "about"};
const std::set<QString> kImageOpenItems{"mnuClose",  "exit",    "about",    "sba",
                                        "mnuheader", "memfreq", "corefreq", "mnucheckvalid"};
const QStringList kStartUpFields{"", "", "", "", "", "", "", "", "???"};

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

struct Session {
    Session() { window->show(); }
    ~Session()
    {
        QApplication::closeAllWindows();
        flushDeletes();
        delete window.data();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    vardane::test::FakeServices services;
    QPointer<vardane::ui::MainWindow> window = new vardane::ui::MainWindow(services);

    void trigger(const char* item) const { window->findChild<QAction*>(item)->trigger(); }
    [[nodiscard]] bool enabled(const char* item) const
    {
        return window->findChild<QAction*>(item)->isEnabled();
    }
    [[nodiscard]] QString shown(const char* label) const { return window->findChild<QLabel*>(label)->text(); }
    void open(const TempFile& file)
    {
        services.fileAnswers.push_back({QString::fromStdString(file.path().string()),
                                        QString::fromStdString(file.path().filename().string())});
        trigger("Ouvrir");
    }
    [[nodiscard]] QWidget* showDialog(const char* item, const char* name) const
    {
        flushDeletes();
        trigger(item);
        return visibleWindow(name);
    }
    [[nodiscard]] std::set<QString> enabledItems() const
    {
        std::set<QString> names;
        for (const QAction* title : window->menuBar()->actions()) {
            for (const QAction* action : title->menu()->actions()) {
                if (action->isEnabled() && !action->isSeparator()) {
                    names.insert(action->objectName());
                }
            }
        }
        return names;
    }
    [[nodiscard]] QStringList valueFields() const
    {
        QStringList values;
        for (const char* name :
             {"Text4", "Text1", "Text2", "text3", "Label10", "Text5", "Text6", "Text9", "Text7"}) {
            values << shown(name);
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
        return enter.isAccepted() && QApplication::sendEvent(window, &dropped);
    }
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    // Control characters of the texts show as "?"; Close empties every field
    // and withdraws the correction a verification had offered.
    void openFillsEveryFieldAndCloseEmptiesThem()
    {
        Session s;
        QCOMPARE(s.enabledItems(), kStartUpItems);
        QCOMPARE(s.valueFields(), kStartUpFields);
        const TempFile file(vardane::test::standardImage().checksumTo(0x37));
        s.open(file);
        QVERIFY(s.services.messages.empty());
        QCOMPARE(s.valueFields(),
                 (QStringList{"image.rom", "65536 Octets", "Vardane test header" + QString(29, ' ') + "??",
                              "NV15 BIOS 3.15.01.08.00 (test)?????", "GeForce2 Ultra", "NON", "366 Mhz",
                              "143 Mhz", "???"}));
        QCOMPARE(s.enabledItems(), kImageOpenItems);
        s.trigger("mnucheckvalid");
        QVERIFY(s.enabled("mnucorrcheck"));
        s.trigger("mnuClose");
        QCOMPARE(s.enabledItems(), kStartUpItems);
        QCOMPARE(s.valueFields(), kStartUpFields);
    }

    // A file of the wrong size is refused and the dialog comes back, the menus
    // unchanged; an open that fails later switches them all the same and keeps
    // the fields read so far. A cancelled dialog changes nothing.
    void openRejectsThenFailsPartWay()
    {
        Session s;
        const TempFile small(vardane::test::TestImage(40000), "small.rom");
        const TempFile bare(vardane::test::TestImage(46127), "bare.rom");
        std::vector<std::set<QString>> itemsDuringMessages;
        s.services.whileMessageShown = [&](const auto&) { itemsDuringMessages.push_back(s.enabledItems()); };
        s.services.fileAnswers.push_back({QString::fromStdString(small.path().string()), "small.rom"});
        s.open(bare);
        QCOMPARE(s.services.fileDialogs, 2);
        QCOMPARE(itemsDuringMessages, (std::vector{kStartUpItems, kImageOpenItems}));
        QCOMPARE(s.services.messages[0].title + s.services.messages[0].text,
                 QString("Erreur Fatale ! ;-)Ce fichier n'est pas un BIOS de GeForce ..."));
        QCOMPARE(s.services.messages[1].title + s.services.messages[1].text,
                 QString("ProblemeErreur lors de l'ouverture du fichier"));
        QCOMPARE(s.valueFields(),
                 QStringList({"bare.rom", "46127 Octets", "", "", "", "???", "", "", "???"}));
        s.trigger("mnuClose");
        s.trigger("Ouvrir");
        QCOMPARE(s.valueFields(), kStartUpFields);
        QCOMPARE(s.services.messages.size(), std::size_t{2});
    }

    // Verification shows the state and offers the correction; the correction
    // rewrites 0xBBFF alone and withdraws itself; a file too short for the
    // region is refused in words and nothing shown changes.
    void checksumCommands()
    {
        Session s;
        const TempFile file(vardane::test::standardImage().checksumTo(0x37));
        const auto before = file.contents();
        s.open(file);
        s.trigger("mnucheckvalid");
        QCOMPARE(s.shown("Text7"), QString("Non Valide"));
        QCOMPARE(s.window->state().StK1, std::optional<std::uint8_t>(0x37));
        s.trigger("mnucorrcheck");
        QCOMPARE(vardane::test::differingOffsets(before, file.contents()), std::vector<std::size_t>{0xBBFF});
        QCOMPARE(s.shown("Text7"), QString("Valide"));
        QVERIFY(!s.enabled("mnucorrcheck"));
        s.trigger("mnucheckvalid");
        QCOMPARE(s.window->state().StK1, std::optional<std::uint8_t>(0));
        QVERIFY(s.services.messages.empty());

        s.trigger("mnuClose");
        const TempFile small(vardane::test::standardImage(47000));
        s.open(small);
        s.trigger("mnucheckvalid");
        QVERIFY(s.services.messages.size() == 1 && s.services.messages[0].title == "Probleme");
        QCOMPARE(s.shown("Text7"), QString("???"));
        QVERIFY(!s.enabled("mnucorrcheck"));
    }

    // Asked for again, an open dialog is raised as it is; closed, it loads
    // afresh. Exit closes frmSBA only; the about box, one however often asked
    // for, outlives the main window until its own button closes it.
    void dialogsLiveBesideTheMainWindow()
    {
        Session s;
        const TempFile file(vardane::test::standardImage());
        s.open(file);
        for (const auto& [item, name] :
             {std::pair{"memfreq", "frmfreqmem"}, std::pair{"corefreq", "frmfreqCore"},
              std::pair{"sba", "frmSBA"}, std::pair{"mnuheader", "frmheader"}}) {
            const QPointer<QWidget> first = s.showDialog(item, name);
            QVERIFY(first != nullptr);
            QCOMPARE(s.showDialog(item, name), first.data());
            first->close();
            flushDeletes();
            QVERIFY(first.isNull());
            QVERIFY(s.showDialog(item, name) != nullptr);
        }
        const QPointer<QWidget> about = s.showDialog("about", "frmAbt");
        QCOMPARE(s.showDialog("about", "frmAbt"), about.data());
        s.trigger("exit");
        flushDeletes();
        QVERIFY(s.window == nullptr);
        QVERIFY(visibleWindow("frmSBA") == nullptr && visibleWindow("frmfreqmem") != nullptr);
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
        const QString path = QString::fromStdString(image.path().string());
        s.window->openFile(path);
        QCOMPARE(s.window->state().filePath, image.path().string());
        QCOMPARE(s.shown("Text4"), QString("image.rom"));
        QVERIFY(!s.drop({QUrl::fromLocalFile(path)}));

        s.trigger("mnuClose");
        s.window->openFile(QString::fromStdString(image.folder().string()));
        QVERIFY(s.services.messages.size() == 1 && s.services.messages[0].title == "Erreur Fatale ! ;-)");
        QCOMPARE(s.services.fileDialogs, 1);
        QVERIFY(!s.drop({QUrl::fromLocalFile(path), QUrl::fromLocalFile(path)}));
        QVERIFY(!s.drop({QUrl("https://vardane.invalid/image.rom")}));
        QCOMPARE(s.enabledItems(), kStartUpItems);
        QVERIFY(s.drop({QUrl::fromLocalFile(path)}));
        QCOMPARE(s.shown("Text6"), QString("366 Mhz"));
        QCOMPARE(s.enabledItems(), kImageOpenItems);
    }

    // The desktop's own message box and file dialog, answered by a timer.
    void desktopServicesShowTheRealDialogs()
    {
        vardane::ui::DesktopServices desktop;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            icon = box->icon();
            box->accept();
        });
        desktop.showMessage(nullptr, MessageIcon::critical, "Probleme", "texte");
        QCOMPARE(icon, QMessageBox::Critical);
        QStringList filters;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            filters = dialog->nameFilters();
            dialog->reject();
        });
        QVERIFY(!desktop.chooseFile(nullptr, "Fichier BIOS (*.rom)|*.rom|Tout Fichiers (*.*)|*.*"));
        QCOMPARE(filters, (QStringList{"Fichier BIOS (*.rom)", "Tout Fichiers (*.*)"}));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
