#include "ui/main_window.h"

#include "checksum/checksum.h"
#include "image/text.h"
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
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>

#include <algorithm>
#include <filesystem>

namespace vardane::ui {

namespace {

constexpr int kClientWidth = 6435;
constexpr int kClientHeight = 3765;
constexpr int kChecksumRowPointSize = 12;
const QColor kValueColour(128, 0, 128);

constexpr const char* kOpenFilter = "Fichier BIOS (*.rom)|*.rom|Tout Fichiers (*.*)|*.*";
constexpr const char* kNotAnImageTitle = "Erreur Fatale ! ;-)";

// Where each row of the facts stands, in the order of kShownFields.
struct Row {
    const char* captionName;
    Twips captionPlace;
    const char* valueName;
    Twips valuePlace;
};
constexpr std::array<Row, kShownFields.size()> kRows{{
    {"Label1", {240, 120, 1215, 255}, "Text4", {1440, 120, 2535, 255}},
    {"Label2", {240, 480, 1215, 255}, "Text1", {1560, 480, 1935, 255}},
    {"Label3", {240, 840, 1335, 255}, "Text2", {1560, 840, 4815, 255}},
    {"Label4", {240, 1200, 1335, 255}, "text3", {1680, 1200, 4695, 255}},
    {"Label9", {240, 1560, 1095, 255}, "Label10", {1440, 1560, 1695, 255}},
    {"Label5", {240, 1920, 2055, 255}, "Text5", {2400, 1920, 615, 255}},
    {"Label6", {240, 2280, 2055, 255}, "Text6", {2400, 2280, 1335, 255}},
    {"Label7", {240, 2640, 1335, 255}, "Text9", {1560, 2640, 1575, 255}},
    {"Label8", {2280, 3240, 1335, 375}, "Text7", {3720, 3240, 1455, 375}},
}};

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
        QLabel* caption =
            addLabel(client, kRows[i].captionName, qtText(kShownFields[i].caption), kRows[i].captionPlace);
        QLabel* value = addLabel(client, kRows[i].valueName, QString(), kRows[i].valuePlace);
        value->setPalette(valuePalette);
        valueLabels_[i] = value;
        // The checksum row stands apart: larger type, and its value in the ordinary colour.
        if (kShownFields[i].field == &ImageState::checksumText) {
            caption->setFont(checksumFont);
            value->setFont(checksumFont);
            value->setPalette(client->palette());
        }
        growToText(caption);
        runToEdge(value, client->width());
        showRow(i, state_.*kShownFields[i].field);
    }
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

void MainWindow::Ouvrir_Click()
{
    while (const auto chosen = services_.chooseFile(this, qtText(kOpenFilter))) {
        if (openChosen(*chosen) != OpenStatus::rejected) {
            return;
        }
    }
}

void MainWindow::openFile(const QString& path)
{
    const QFileInfo file(path);
    if (openChosen({file.absoluteFilePath(), file.fileName()}) == OpenStatus::rejected) {
        Ouvrir_Click();
    }
}

OpenStatus MainWindow::openChosen(const ChosenFile& chosen)
{
    showField(&ImageState::fileTitle, chosen.title.toStdString());
    const std::filesystem::path path(QFile::encodeName(chosen.path).toStdString());
    auto opened = std::make_shared<const ImageFacts>(openImage(path));
    switch (opened->status) {
        case OpenStatus::rejected:
            services_.showMessage(this, MessageIcon::critical, qtText(kNotAnImageTitle),
                                  qtText(kNotAnImageMessage));
            break;
        case OpenStatus::unreadable:
            services_.showMessage(this, MessageIcon::critical, kProblemTitle, qtText(kOpenFailedMessage));
            break;
        case OpenStatus::accepted:
        case OpenStatus::failed:
            state_.filePath = path;
            imageOnShow_ = ++opensSoFar_;
            original_ = opened;
            updateActions();
            showOpened(*opened);
            if (opened->status == OpenStatus::failed) {
                services_.showMessage(this, MessageIcon::critical, kProblemTitle, qtText(kOpenFailedMessage));
            }
            break;
    }
    return opened->status;
}

void MainWindow::showOpened(const ImageFacts& opened)
{
    std::size_t row = 0;
    for (const Fact& fact : factsOf(opened, system::userDecimalSeparator())) {
        if (!fact.caption.empty() && kShownFields.at(row).field != &ImageState::checksumText) {
            showField(kShownFields.at(row).field, factText(fact.value));
        }
        row += fact.caption.empty() ? 0 : 1;
    }
    state_.headerlengh = opened.headerlengh;
    state_.SBAVrt = opened.SBAVrt;
    state_.Octclef = opened.Octclef;
}

void MainWindow::reloadImage()
{
    imageOnShow_ = ++opensSoFar_;
    correctionOffered_ = false;
    updateActions();
    showOpened(openImage(state_.filePath));
    showField(&ImageState::checksumText, std::string(kChecksumUnknown));
}

// One local file, and only while Open could take it: a second image is
// opened only after Close.
void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!imageOnShow_ && urls.size() == 1 && urls.front().isLocalFile()) {
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
    const QString path = event->mimeData()->urls().front().toLocalFile();
    QMetaObject::invokeMethod(
        this, [this, path] { openFile(path); }, Qt::QueuedConnection);
}

void MainWindow::showField(std::string ImageState::*field, const std::string& value)
{
    state_.*field = value;
    const auto row = std::find_if(kShownFields.begin(), kShownFields.end(),
                                  [field](const ShownField& shown) { return shown.field == field; });
    showRow(static_cast<std::size_t>(row - kShownFields.begin()), value);
}

void MainWindow::showRow(std::size_t row, const std::string& value)
{
    QLabel* label = valueLabels_.at(row);
    // Control characters are drawn as blanks: a carriage return in a header
    // must not push the row apart.
    label->setText(withStandIns(qtText(value), u' '));
    label->setAccessibleName(captioned(kShownFields.at(row).caption, label->text()));
}

void MainWindow::enableChecksumCorrection()
{
    correctionOffered_ = true;
    updateActions();
}

void MainWindow::imageWritten()
{
    if (ChangesWindow* changes = changesWindow_.current()) {
        changes->refresh();
    }
}

void MainWindow::reportFailure(Refusal refusal)
{
    services_.showMessage(this, MessageIcon::critical, kProblemTitle, refusalText(refusal));
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
    correctionOffered_ = false;
    original_.reset();
    updateActions();
    for (const ShownField& shown : kShownFields) {
        showField(shown.field, {});
    }
    showField(&ImageState::checksumText, std::string(kChecksumUnknown));
}

void MainWindow::exit_Click()
{
    const QPointer<SbaDialog> sbaDialog = sbaDialog_.current();
    close();
    if (sbaDialog != nullptr) {
        sbaDialog->close();
    }
}

void MainWindow::mnuchanges_Click()
{
    changesWindow_.show([this] { return new ChangesWindow(*this, original_); })->refresh();
}

void MainWindow::sba_Click()
{
    sbaDialog_.show([this] { return new SbaDialog(*this); });
}

void MainWindow::mnuheader_Click()
{
    headerDialog_.show([this] { return HeaderDialog::load(*this); });
}

void MainWindow::memfreq_Click()
{
    memClockDialog_.show([this] { return new ClockDialog(kMemoryClockWindow, *this); });
}

void MainWindow::corefreq_Click()
{
    coreClockDialog_.show([this] { return new ClockDialog(kCoreClockWindow, *this); });
}

void MainWindow::about_Click()
{
    aboutDialog_.show([] { return new AboutDialog; });
}

void MainWindow::mnucheckvalid_Click()
{
    const auto sum = verifyChecksum(state_.filePath);
    if (!sum) {
        reportFailure(sum.error());
        return;
    }
    showField(&ImageState::checksumText, std::string(*sum == 0 ? kChecksumValid : kChecksumInvalid));
    if (*sum != 0) {
        enableChecksumCorrection();
    }
}

void MainWindow::mnucorrcheck_Click()
{
    const auto corrected = correctChecksum(state_.filePath);
    if (!corrected) {
        reportFailure(corrected.error());
        return;
    }
    showField(&ImageState::checksumText, std::string(kChecksumValid));
    correctionOffered_ = false;
    updateActions();
    if (corrected->written) {
        imageWritten();
    }
}

}  // namespace vardane::ui
