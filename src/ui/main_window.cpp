#include "ui/main_window.h"

#include "checksum/checksum.h"
#include "compare/wording.h"
#include "qt/paths.h"
#include "qt/qt_text.h"
#include "system/system.h"
#include "ui/about_dialog.h"
#include "ui/changes_window.h"
#include "ui/clock_dialog.h"
#include "ui/header_dialog.h"
#include "ui/sba_dialog.h"
#include "ui/texts.h"
#include "ui/twips.h"
#include "version.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>

#include <algorithm>
#include <filesystem>
#include <string_view>

namespace vardane::ui {

namespace {

constexpr int kClientWidth = 6435;
constexpr int kClientHeight = 3765;
constexpr int kChecksumRowPointSize = 12;
const QColor kValueColour(128, 0, 128);

constexpr const char* kOpenFilter = "Fichier BIOS (*.rom)|*.rom|Tout Fichiers (*.*)|*.*";
constexpr const char* kNotAnImageTitle = "Erreur Fatale ! ;-)";

constexpr const char* kCannotReadAgainText =
    "Le fichier ne peut plus être lu : la fenêtre montre ce qu'il contenait à sa dernière lecture.";
constexpr const char* kNotReadAtOpenText =
    "Ce fichier n'a pas pu être lu à son ouverture. Pour le lire de nouveau, choisissez Fichier > Fermer, "
    "puis Ouvrir.";

// Where each row of the facts stands, top to bottom: the fact it shows, its
// caption and its value.
struct Row {
    FactKey key;
    const char* captionName;
    Twips captionPlace;
    const char* valueName;
    Twips valuePlace;
};
constexpr std::array<Row, 9> kRows{{
    {FactKey::fileTitle, "Label1", {240, 120, 1215, 255}, "Text4", {1440, 120, 2535, 255}},
    {FactKey::fileSize, "Label2", {240, 480, 1215, 255}, "Text1", {1560, 480, 1935, 255}},
    {FactKey::headerText, "Label3", {240, 840, 1335, 255}, "Text2", {1560, 840, 4815, 255}},
    {FactKey::versionText, "Label4", {240, 1200, 1335, 255}, "text3", {1680, 1200, 4695, 255}},
    {FactKey::gpuName, "Label9", {240, 1560, 1095, 255}, "Label10", {1440, 1560, 1695, 255}},
    {FactKey::sbaState, "Label5", {240, 1920, 2055, 255}, "Text5", {2400, 1920, 615, 255}},
    {FactKey::memClockText, "Label6", {240, 2280, 2055, 255}, "Text6", {2400, 2280, 1335, 255}},
    {FactKey::coreClockText, "Label7", {240, 2640, 1335, 255}, "Text9", {1560, 2640, 1575, 255}},
    {FactKey::checksum, "Label8", {2280, 3240, 1335, 375}, "Text7", {3720, 3240, 1455, 375}},
}};

// Why the file on show could not be read again; the rows show its last read.
QString readAgainFailedText(Refusal why)
{
    return why == Refusal::replaced ? causeText(why) : qtText(kCannotReadAgainText) + '\n' + causeText(why);
}

// The checksum row tells what the checksum commands found, not the bytes' sum.
std::string rowText(const Facts& facts, FactKey key, ChecksumState checksum)
{
    return key == FactKey::checksum ? std::string(checksumText(checksum)) : factText(facts[key]);
}

// Labels have no frame, so one that grows past its designed box changes
// nothing on screen but keeps its text whole in whatever font the desktop
// gives: captions grow to their text, and values, the last thing on their
// row, run to the window's edge.
void growToText(QLabel* caption)
{
    const QSize hint = caption->sizeHint();
    caption->resize(std::max(caption->width(), hint.width()), std::max(caption->height(), hint.height()));
}

void runToEdge(QLabel* value, int edge)
{
    value->resize(std::max(value->width(), edge - value->x()),
                  std::max(value->height(), value->fontMetrics().height()));
}

}  // namespace

MainWindow::MainWindow(UiServices& services) : services_(services)
{
    setObjectName("Form1");
    setWindowTitle(QString("Vardane %1 Alpha").arg(qtText(kVersion)));
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true);
    buildClientArea();
    buildMenus();
    updateActions();
    // The rows stand at fixed places: a larger window would only add a grey field.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildClientArea()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    setClientSizeInTwips(client, kClientWidth, kClientHeight);

    QPalette valuePalette = client->palette();
    valuePalette.setColor(QPalette::WindowText, kValueColour);
    QFont checksumFont = client->font();
    checksumFont.setPointSize(kChecksumRowPointSize);
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        QLabel* caption = addLabel(client, kRows[i].captionName, qtText(nameOf(kRows[i].key).caption),
                                   kRows[i].captionPlace);
        QLabel* value = addLabel(client, kRows[i].valueName, QString(), kRows[i].valuePlace);
        value->setPalette(valuePalette);
        valueLabels_[i] = value;
        // The checksum row stands apart: larger type, and its value in the ordinary colour.
        if (kRows[i].key == FactKey::checksum) {
            caption->setFont(checksumFont);
            value->setFont(checksumFont);
            value->setPalette(client->palette());
        }
        growToText(caption);
        runToEdge(value, client->width());
    }
    showRows();
    addRuleInTwips(client, "Line1", 3000, 6480);
}

QMenu* MainWindow::addMenu(const char* objectName, const char* caption)
{
    QMenu* menu = menuBar()->addMenu(qtText(caption));
    menu->setObjectName(objectName);
    return menu;
}

QAction* MainWindow::addItem(QMenu* menu, const char* objectName, const char* caption)
{
    QAction* item = menu->addAction(qtText(caption));
    item->setObjectName(objectName);
    return item;
}

void MainWindow::buildMenus()
{
    QMenu* fichier = addMenu("fichier", "&Fichier");
    items_.Ouvrir = addItem(fichier, "Ouvrir", "&Ouvrir");
    items_.Save = addItem(fichier, "Save", "&Enregistrer");
    items_.SaveAS = addItem(fichier, "SaveAS", "Enregistrer &sous");
    items_.mnuchanges = addItem(fichier, "mnuchanges", "&Modifications");
    items_.mnuClose = addItem(fichier, "mnuClose", "&Fermer");
    fichier->addSeparator()->setObjectName("mnusep");
    items_.exit = addItem(fichier, "exit", "&Quitter");

    QMenu* avance = addMenu("avance", "&Avancé");
    items_.sba = addItem(avance, "sba", "&Activer / Desactiver le SideBand Adressing");
    items_.mnuheader = addItem(avance, "mnuheader", "Modifier l'&entête du BIOS");
    items_.memfreq = addItem(avance, "memfreq", "Modifier la fréquence &mémoire");
    items_.corefreq = addItem(avance, "corefreq", "Modifier la fréquence du &Core");

    QMenu* mnucheck = addMenu("mnucheck", "&CheckSum");
    items_.mnucheckvalid = addItem(mnucheck, "mnucheckvalid", "&Verifier la validité du Checksum");
    items_.mnucorrcheck = addItem(mnucheck, "mnucorrcheck", "Corriger le checksum");

    QMenu* help = addMenu("help", "&?");
    items_.about = addItem(help, "about", "&A propos");

    connect(items_.Ouvrir, &QAction::triggered, this, &MainWindow::Ouvrir_Click);
    connect(items_.mnuchanges, &QAction::triggered, this, &MainWindow::mnuchanges_Click);
    connect(items_.mnuClose, &QAction::triggered, this, &MainWindow::mnuClose_Click);
    connect(items_.exit, &QAction::triggered, this, &MainWindow::exit_Click);
    connect(items_.sba, &QAction::triggered, this, &MainWindow::sba_Click);
    connect(items_.mnuheader, &QAction::triggered, this, &MainWindow::mnuheader_Click);
    connect(items_.memfreq, &QAction::triggered, this, &MainWindow::memfreq_Click);
    connect(items_.corefreq, &QAction::triggered, this, &MainWindow::corefreq_Click);
    connect(items_.mnucheckvalid, &QAction::triggered, this, &MainWindow::mnucheckvalid_Click);
    connect(items_.mnucorrcheck, &QAction::triggered, this, &MainWindow::mnucorrcheck_Click);
    connect(items_.about, &QAction::triggered, this, &MainWindow::about_Click);
}

// Enregistrer and Enregistrer sous stay disabled: every change is in the file
// the moment it is applied.
void MainWindow::updateActions()
{
    const bool open = imageOnShow_.has_value();
    items_.Ouvrir->setEnabled(!open);
    for (QAction* item : {items_.mnuchanges, items_.mnuClose, items_.sba, items_.mnuheader, items_.memfreq,
                          items_.corefreq, items_.mnucheckvalid}) {
        item->setEnabled(open);
    }
    items_.mnucorrcheck->setEnabled(open && correctionOffered_);
    items_.Save->setEnabled(false);
    items_.SaveAS->setEnabled(false);
}

void MainWindow::showRows()
{
    const Facts facts = factsOf(state_.facts, system::userDecimalSeparator());
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        QLabel* label = valueLabels_.at(i);
        // Control characters are drawn as blanks: a carriage return in a
        // header must not push the row apart.
        label->setText(withStandIns(qtText(rowText(facts, kRows[i].key, state_.checksum)), u' '));
        label->setAccessibleName(captioned(nameOf(kRows[i].key).caption, label->text()));
    }
}

std::string MainWindow::shownRow(FactKey key) const
{
    return rowText(factsOf(state_.facts, system::userDecimalSeparator()), key, state_.checksum);
}

void MainWindow::Ouvrir_Click()
{
    while (const auto chosen = services_.chooseFile(this, qtText(kOpenFilter))) {
        if (openChosen(corePath(*chosen)) != OpenStatus::rejected) {
            return;
        }
    }
}

void MainWindow::openFile(const std::filesystem::path& path)
{
    if (openChosen(path) == OpenStatus::rejected) {
        Ouvrir_Click();
    }
}

OpenStatus MainWindow::openChosen(const std::filesystem::path& path)
{
    auto opened = std::make_shared<const ImageFacts>(openImage(path));
    state_ = {*opened, ChecksumState::unknown};
    if (opened->status == OpenStatus::accepted || opened->status == OpenStatus::failed) {
        imageOnShow_ = ++opensSoFar_;
        original_ = opened;
        replaced_ = false;
        updateActions();
    }
    showRows();
    switch (opened->status) {
        case OpenStatus::rejected:
            services_.showMessage(this, MessageIcon::critical, qtText(kNotAnImageTitle),
                                  qtText(kNotAnImageMessage));
            break;
        case OpenStatus::unreadable:
        case OpenStatus::failed: {
            QString text = qtText(kOpenFailedMessage);
            if (opened->readFailure) {
                text += '\n' + causeText(*opened->readFailure);
            }
            showProblem(text);
            break;
        }
        case OpenStatus::accepted:
            break;
    }
    return opened->status;
}

std::optional<KnownFile> MainWindow::fileToActOn()
{
    const auto file = knownFile(state_.facts);
    if (file && !replaced_) {
        return file;
    }
    showProblem(file ? causeText(Refusal::replaced) : qtText(kNotReadAtOpenText));
    return std::nullopt;
}

template <typename Dialog, typename Make>
Dialog* MainWindow::showDialog(DialogSlot<Dialog>& slot, Make make)
{
    const auto file = fileToActOn();
    if (!file) {
        return nullptr;
    }
    // Its Apply could only refuse.
    if (Dialog* open = slot.current(); open != nullptr && !open->loadedOn(imageOnShow_)) {
        open->close();
    }
    return slot.show([&] { return make(*file); });
}

// A file that another file has replaced under its name is not read: its facts
// are another file's.
Outcome<void> MainWindow::readAgain()
{
    ImageFacts now = openImage(fileRef(state_.facts));
    if (ChangesWindow* changes = changesWindow_.current()) {
        changes->list(now);
    }
    if (now.readFailure == Refusal::replaced) {
        markReplaced();
    }
    if (!wasRead(now)) {
        setChecksum(ChecksumState::unknown, false);
        return refused(now.readFailure.value_or(Refusal::notAnImage));
    }
    // What the checksum commands found holds only for the bytes they read.
    if (now.bytes != state_.facts.bytes) {
        setChecksum(ChecksumState::unknown, false);
    }
    state_.facts = std::move(now);
    showRows();
    return {};
}

void MainWindow::tellReadAgainFailed(Refusal why)
{
    showProblem(readAgainFailedText(why));
}

void MainWindow::markReplaced()
{
    replaced_ = true;
    setChecksum(ChecksumState::unknown, false);
}

void MainWindow::setChecksum(ChecksumState state, bool offerCorrection)
{
    state_.checksum = state;
    correctionOffered_ = offerCorrection;
    updateActions();
    showRows();
}

void MainWindow::showProblem(const QString& text)
{
    services_.showMessage(this, MessageIcon::critical, kProblemTitle, text);
}

// What a verification would say now, in the writer's words, and the
// correction offered exactly when the image is not valid.
void MainWindow::imageWritten(Writer writer)
{
    if (const auto again = readAgain(); !again) {
        tellReadAgainFailed(again.error());
        return;
    }
    const auto sum = regionSum(state_.facts.bytes);
    if (!sum || *sum == 0) {
        setChecksum(sum ? ChecksumState::valid : ChecksumState::unknown, false);
    } else {
        setChecksum(writer == Writer::sideBand ? ChecksumState::invalidByToggle : ChecksumState::invalid,
                    true);
    }
}

QString MainWindow::imageRefused(Refusal why)
{
    if (why == Refusal::replaced) {
        markReplaced();
    } else if (why == Refusal::changed) {
        if (const auto again = readAgain(); !again) {
            return withNothingWritten(readAgainFailedText(again.error()));
        }
        setChecksum(ChecksumState::unknown, false);
    }
    return refusalText(why);
}

// As after an Open: a dialog loaded on the image before cannot write into it.
void MainWindow::imageRestored()
{
    imageOnShow_ = ++opensSoFar_;
    if (const auto again = readAgain(); !again) {
        tellReadAgainFailed(again.error());
        return;
    }
    setChecksum(ChecksumState::unknown, false);
}

// One local file, and only while Open could take it: a second image is
// opened only after Close.
void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!imageOnShow_ && urls.size() == 1 && droppedPath(urls.front())) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
}

// The file opens once the drop is over: its messages and dialog are modal,
// and the file manager would wait for them.
void MainWindow::dropEvent(QDropEvent* event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
    const auto path = droppedPath(event->mimeData()->urls().front());
    QMetaObject::invokeMethod(
        this, [this, path] { openFile(path.value_or(std::filesystem::path())); }, Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // The list of changes belongs to the open image, and the program must
    // still end when this window closes.
    if (ChangesWindow* changes = changesWindow_.current()) {
        changes->close();
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::mnuClose_Click()
{
    if (ChangesWindow* changes = changesWindow_.current()) {
        changes->close();
    }
    imageOnShow_.reset();
    original_.reset();
    replaced_ = false;
    state_ = {};
    setChecksum(ChecksumState::unknown, false);
}

void MainWindow::exit_Click()
{
    const QPointer<SbaDialog> sbaDialog = sbaDialog_.current();
    close();
    if (sbaDialog != nullptr) {
        sbaDialog->close();
    }
}

// The list says why when the file cannot be read again.
void MainWindow::mnuchanges_Click()
{
    if (showDialog(changesWindow_,
                   [this](const KnownFile& file) { return new ChangesWindow(*this, file, original_); })) {
        static_cast<void>(readAgain());
    }
}

void MainWindow::sba_Click()
{
    showDialog(sbaDialog_, [this](const KnownFile& file) { return new SbaDialog(*this, file); });
}

void MainWindow::mnuheader_Click()
{
    showDialog(headerDialog_, [this](const KnownFile& file) { return HeaderDialog::load(*this, file); });
}

void MainWindow::memfreq_Click()
{
    showDialog(memClockDialog_,
               [this](const KnownFile& file) { return new ClockDialog(kMemoryClockWindow, *this, file); });
}

void MainWindow::corefreq_Click()
{
    showDialog(coreClockDialog_,
               [this](const KnownFile& file) { return new ClockDialog(kCoreClockWindow, *this, file); });
}

void MainWindow::about_Click()
{
    aboutDialog_.show([] { return new AboutDialog; });
}

// A sum of 0 leaves the correction as it was: an earlier command may have
// offered it.
void MainWindow::mnucheckvalid_Click()
{
    const auto file = fileToActOn();
    if (!file) {
        return;
    }
    const auto sum = verifyChecksum(*file);
    if (!sum) {
        showProblem(imageRefused(sum.error()));
        return;
    }
    if (*sum == 0) {
        setChecksum(ChecksumState::valid, correctionOffered_);
    } else {
        setChecksum(ChecksumState::invalid, true);
    }
}

// The row then says what the file holds once corrected, as after every other
// writer: another program may have changed it since.
void MainWindow::mnucorrcheck_Click()
{
    const auto file = fileToActOn();
    if (!file) {
        return;
    }
    const auto corrected = correctChecksum(*file);
    if (!corrected) {
        showProblem(imageRefused(corrected.error()));
    } else if (corrected->written) {
        imageWritten(Writer::checksum);
    } else {
        setChecksum(ChecksumState::valid, false);
    }
}

}  // namespace vardane::ui
