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

using vardane::test::TempFile;

namespace {

const QString kStartUp = "Ouvrir exit about |||||||||???";
const QString kOpenItems = "mnuClose exit sba mnuheader memfreq corefreq mnucheckvalid about |";

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
    [[nodiscard]] QString shown(const char* label) const { return window->findChild<QLabel*>(label)->text(); }
    void open(const TempFile& file)
    {
        services.fileAnswers.push_back(
            {pathOf(file), QString::fromStdString(file.path().filename().string())});
        trigger("Ouvrir");
    }
    // The enabled menu items, then every value field, as the user sees them.
    [[nodiscard]] QString seen() const
    {
        QStringList seen;
        for (const QAction* title : window->menuBar()->actions()) {
            for (const QAction* action : title->menu()->actions()) {
                if (action->isEnabled() && !action->isSeparator()) {
                    seen << action->objectName();
                }
            }
        }
        QStringList values;
        for (const char* name :
             {"Text4", "Text1", "Text2", "text3", "Label10", "Text5", "Text6", "Text9", "Text7"}) {
            values << shown(name);
        }
        return seen.join(' ') + " |" + values.join('|');
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
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    // Control characters show as blanks. A verification offers the correction,
    // which rewrites 0xBBFF alone and withdraws itself; Close empties every
    // field and withdraws the correction again.
    void openShowsTheFactsAndTheChecksumCommandsWork()
    {
        Session s;
        QCOMPARE(s.seen(), kStartUp);
        const TempFile file(vardane::test::standardImage().checksumTo(0x37));
        const auto before = file.contents();
        s.open(file);
        QCOMPARE(s.seen(), kOpenItems + "image.rom|65536 Octets|Vardane test header" + QString(31, ' ') +
                               "|NV15 BIOS 3.15.01.08.00 (test)     |GeForce2 Ultra|NON|366 Mhz|143 Mhz|???");
        s.trigger("mnucheckvalid");
        QCOMPARE(s.shown("Text7"), QString("Non Valide"));
        QCOMPARE(s.window->state().StK1, std::optional<std::uint8_t>(0x37));
        s.trigger("mnucorrcheck");
        QVERIFY(file.contents() == vardane::test::standardImage().checksumTo(0).bytes());
        QVERIFY(s.seen().endsWith("|Valide") && !s.seen().contains("mnucorrcheck"));
        s.trigger("mnucheckvalid");
        QCOMPARE(s.window->state().StK1, std::optional<std::uint8_t>(0));
        s.window->enableChecksumCorrection();
        s.trigger("mnuClose");
        QCOMPARE(s.seen(), kStartUp);
        QVERIFY(s.services.messages.empty());
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
        QStringList seenDuringMessages;
        s.services.whileMessageShown = [&](const auto& shown) {
            seenDuringMessages << shown.title + " " + s.seen();
        };
        s.services.fileAnswers.push_back({pathOf(small), "small.rom"});
        s.open(bare);
        s.trigger("mnucheckvalid");
        QCOMPARE(seenDuringMessages,
                 (QStringList{"Erreur Fatale ! ;-) " + kStartUp.section('|', 0, 0) + "|small.rom||||||||???",
                              "Probleme " + kOpenItems + "bare.rom|46127 Octets||||???|||???",
                              "Probleme " + kOpenItems + "bare.rom|46127 Octets||||???|||???"}));
        QCOMPARE(s.services.messages[0].text + s.services.messages[1].text,
                 QString("Ce fichier n'est pas un BIOS de GeForce ...Erreur lors de l'ouverture du fichier"));
        s.trigger("mnuClose");
        s.trigger("Ouvrir");  // and cancel
        QCOMPARE(s.services.fileDialogs, 3);
        QCOMPARE(s.seen(), kStartUp);
    }

    // Asked for again, an open dialog is raised as it is; closed, it loads
    // afresh. Exit closes frmSBA only; the about box, one however often asked
    // for, outlives the main window until its own button closes it.
    void dialogsLiveBesideTheMainWindow()
    {
        Session s;
        const TempFile file(vardane::test::standardImage());
        s.open(file);
        for (const auto& [item, name] : {std::pair{"memfreq", "frmfreqmem"},
                                         std::pair{"corefreq", "frmfreqCore"}, std::pair{"sba", "frmSBA"},
                                         std::pair{"mnuheader", "frmheader"}, std::pair{"about", "frmAbt"}}) {
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
                visibleWindow("frmfreqmem") != nullptr);
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
        QVERIFY(s.seen().startsWith(kOpenItems + "image.rom|"));
        QVERIFY(!s.drop({QUrl::fromLocalFile(pathOf(image))}));
        s.trigger("mnuClose");
        s.window->openFile(QString::fromStdString(image.folder().string()));
        QVERIFY(s.services.messages.size() == 1 && s.services.fileDialogs == 1);
        QVERIFY(!s.drop({QUrl::fromLocalFile(pathOf(image)), QUrl::fromLocalFile(pathOf(image))}));
        QVERIFY(!s.drop({QUrl("https://vardane.invalid/image.rom")}));
        QVERIFY(s.drop({QUrl::fromLocalFile(pathOf(image))}));
        QVERIFY(s.seen().startsWith(kOpenItems + "image.rom|"));
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
        desktop.showMessage(nullptr, vardane::ui::MessageIcon::critical, "Probleme", "texte");
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
