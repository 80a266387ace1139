#include "ui/main_window.h"

#include "checksum/checksum.h"
#include "image/open_image.h"
#include "qt/qt_text.h"
#include "ui/about_dialog.h"
#include "ui/clock_dialog.h"
#include "ui/header_dialog.h"
#include "ui/sba_dialog.h"
#include "ui/texts.h"
#include "ui/twips.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>

#include <algorithm>
#include <array>
#include <filesystem>

namespace vardane::ui {

namespace {

constexpr const char* kWindowCaption = "Vardane 0.23 Alpha";
constexpr int kClientWidth = 6435;
constexpr int kClientHeight = 3765;
constexpr int kHolderTop = 4200;  // below the client area: never on screen
constexpr int kChecksumRowPointSize = 12;
const QColor kValueColour(128, 0, 128);

constexpr const char* kOpenFilter = "Fichier BIOS (*.rom)|*.rom|Tout Fichiers (*.*)|*.*";
constexpr const char* kNotAnImageTitle = "Erreur Fatale ! ;-)";
constexpr const char* kProblemTitle = "Probleme";
constexpr const char* kStK1Initial = "Text9";

constexpr const char* kChecksumTooShortText =
    "Ce fichier est trop court pour contenir la zone du checksum (0x0000 à 0xBBFF).\n"
    "Le fichier n'a pas été modifié.";
constexpr const char* kChecksumNotAnImageText =
    "La taille de ce fichier a changé depuis son ouverture : ce n'est plus un BIOS de GeForce.\n"
    "Le fichier n'a pas été modifié.";
constexpr const char* kChecksumUnreachableText =
    "Impossible d'accéder au fichier (déplacé, supprimé ou verrouillé depuis son ouverture ?).\n"
    "Le fichier n'a pas été modifié.";
constexpr const char* kChecksumWriteFailedText =
    "Impossible d'écrire dans le fichier.\nLe fichier n'a pas été modifié.";
constexpr const char* kChecksumChangedText =
    "Le fichier a été modifié par un autre programme pendant la correction.\n"
    "Le fichier n'a pas été modifié.";

QString offsetText(const std::optional<std::int64_t>& offset)
{
    return offset ? QString::number(*offset) : QString();
}

const char* checksumFailureText(ChecksumError error)
{
    switch (error) {
        case ChecksumError::damaged:
            return kMayBeDamagedText;
        case ChecksumError::regionMissing:
            return kChecksumTooShortText;
        case ChecksumError::notAnImage:
            return kChecksumNotAnImageText;
        case ChecksumError::unreachable:
            return kChecksumUnreachableText;
        case ChecksumError::writeFailed:
            return kChecksumWriteFailedText;
        case ChecksumError::changed:
            return kChecksumChangedText;
    }
    return kChecksumUnreachableText;
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
    setWindowTitle(qtText(kWindowCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    setAcceptDrops(true);
    buildClientArea();
    buildMenus();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildClientArea()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    setClientSizeInTwips(client, kClientWidth, kClientHeight);

    struct Row {
        const char* captionName;
        const char* caption;
        Twips captionPlace;
        const char* valueName;
        Twips valuePlace;
        std::string ImageState::*field;
    };
    // clang-format off
    static constexpr std::array<Row, 9> kRows{{
        {"Label1", "Nom du fichier :", {240, 120, 1215, 255}, "Text4", {1440, 120, 2535, 255},
         &ImageState::fileTitle},
        {"Label2", "Taille du fichier :", {240, 480, 1215, 255}, "Text1", {1560, 480, 1935, 255},
         &ImageState::fileSize},
        {"Label3", "Entête du BIOS :", {240, 840, 1335, 255}, "Text2", {1560, 840, 4815, 255},
         &ImageState::headerText},
        {"Label4", "Version du BIOS :", {240, 1200, 1335, 255}, "text3", {1680, 1200, 4695, 255},
         &ImageState::versionText},
        {"Label9", "Type de GPU :", {240, 1560, 1095, 255}, "Label10", {1440, 1560, 1695, 255},
         &ImageState::gpuName},
        {"Label5", "SideBand Adressing Activé :", {240, 1920, 2055, 255}, "Text5", {2400, 1920, 615, 255},
         &ImageState::sbaState},
        {"Label6", "Frequence Mémoire (DDR) :", {240, 2280, 2055, 255}, "Text6", {2400, 2280, 1335, 255},
         &ImageState::memClockText},
        {"Label7", "Frequence Core :", {240, 2640, 1335, 255}, "Text9", {1560, 2640, 1575, 255},
         &ImageState::coreClockText},
        {"Label8", "CheckSum : ", {2280, 3240, 1335, 375}, "Text7", {3720, 3240, 1455, 375},
         &ImageState::checksumText},
    }};
    // clang-format on

    QPalette valuePalette = client->palette();
    valuePalette.setColor(QPalette::WindowText, kValueColour);
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        const Row& row = kRows[i];
        addLabel(client, row.captionName, qtText(row.caption), row.captionPlace);
        QLabel* value = addLabel(client, row.valueName, QString(), row.valuePlace);
        value->setPalette(valuePalette);
        valueLabels_[i] = {row.field, value};
    }

    // The checksum row stands apart: larger type, and its value in the ordinary colour.
    QLabel* checksumValue = valueLabels_.back().second;
    QFont checksumFont = client->font();
    checksumFont.setPointSize(kChecksumRowPointSize);
    client->findChild<QLabel*>("Label8")->setFont(checksumFont);
    checksumValue->setFont(checksumFont);
    checksumValue->setPalette(client->palette());
    checksumValue->setText(qtText(state_.checksumText));
    for (std::size_t i = 0; i < kRows.size(); ++i) {
        growToText(client->findChild<QLabel*>(kRows[i].captionName));
        runToEdge(valueLabels_[i].second, client->width());
    }

    addRuleInTwips(client, "Line1", 3000, 6480);

    holders_.StK1 = new QLineEdit(qtText(kStK1Initial), client);
    holders_.StK1->setObjectName("StK1");
    holders_.SBAVrt = addLabel(client, "Label11", QString(), {240, kHolderTop, 1215, 255});
    holders_.Octclef = addLabel(client, "Label12", QString(), {1560, kHolderTop, 1215, 255});
    holders_.headerlengh = addLabel(client, "Label13", QString(), {2880, kHolderTop, 1215, 255});
    placeInTwips(holders_.StK1, {4200, kHolderTop, 1215, 285});
    for (QWidget* holder : std::initializer_list<QWidget*>{holders_.StK1, holders_.SBAVrt, holders_.Octclef,
                                                           holders_.headerlengh}) {
        holder->hide();
    }
}

QMenu* MainWindow::addMenu(const char* objectName, const char* caption)
{
    QMenu* menu = menuBar()->addMenu(qtText(caption));
    menu->setObjectName(objectName);
    return menu;
}

QAction* MainWindow::addItem(QMenu* menu, const char* objectName, const char* caption, bool enabled)
{
    QAction* item = menu->addAction(qtText(caption));
    item->setObjectName(objectName);
    item->setEnabled(enabled);
    return item;
}

void MainWindow::buildMenus()
{
    QMenu* fichier = addMenu("fichier", "&Fichier");
    items_.Ouvrir = addItem(fichier, "Ouvrir", "&Ouvrir", true);
    items_.Save = addItem(fichier, "Save", "&Enregistrer", false);
    items_.SaveAS = addItem(fichier, "SaveAS", "Enregistrer &sous", false);
    items_.mnuClose = addItem(fichier, "mnuClose", "&Fermer", false);
    fichier->addSeparator()->setObjectName("mnusep");
    items_.exit = addItem(fichier, "exit", "&Quitter", true);

    QMenu* avance = addMenu("avance", "&Avancé");
    items_.sba = addItem(avance, "sba", "&Activer / Desactiver le SideBand Adressing", false);
    items_.mnuheader = addItem(avance, "mnuheader", "Modifier l'&entête du BIOS", false);
    items_.memfreq = addItem(avance, "memfreq", "Modifier la fréquence &mémoire", false);
    items_.corefreq = addItem(avance, "corefreq", "Modifier la fréquence du &Core", false);

    QMenu* mnucheck = addMenu("mnucheck", "&CheckSum");
    items_.mnucheckvalid = addItem(mnucheck, "mnucheckvalid", "&Verifier la validité du Checksum", false);
    items_.mnucorrcheck = addItem(mnucheck, "mnucorrcheck", "Corriger le checksum", false);

    QMenu* help = addMenu("help", "&?");
    items_.about = addItem(help, "about", "&A propos", true);

    connect(items_.Ouvrir, &QAction::triggered, this, &MainWindow::Ouvrir_Click);
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
    const OpenResult opened = openImage(path, QLocale::system().decimalPoint().toStdString());
    switch (opened.status) {
        case OpenStatus::rejected:
            services_.showMessage(this, MessageIcon::critical, qtText(kNotAnImageTitle),
                                  qtText(kNotAnImageMessage));
            break;
        case OpenStatus::unreadable:
            reportOpenFailure();
            break;
        case OpenStatus::accepted:
        case OpenStatus::failed:
            state_.filePath = path.string();
            switchToImageOpen();
            showOpenedFields(opened.state);
            if (opened.status == OpenStatus::failed) {
                reportOpenFailure();
            }
            break;
    }
    return opened.status;
}

// One local file, and only while Open could take it: a second image is
// opened only after Close.
void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (items_.Ouvrir->isEnabled() && urls.size() == 1 && urls.front().isLocalFile()) {
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

void MainWindow::reportOpenFailure()
{
    services_.showMessage(this, MessageIcon::critical, qtText(kProblemTitle), qtText(kOpenFailedMessage));
}

void MainWindow::switchToImageOpen()
{
    state_.headerlengh.reset();
    state_.SBAVrt.reset();
    state_.Octclef.reset();
    for (QAction* item : {items_.mnucheckvalid, items_.sba, items_.memfreq, items_.mnuClose, items_.corefreq,
                          items_.mnuheader}) {
        item->setEnabled(true);
    }
    items_.Ouvrir->setEnabled(false);
    imageOnShow_ = ++opensSoFar_;
}

void MainWindow::showOpenedFields(const ImageState& opened)
{
    for (const auto field :
         {&ImageState::fileSize, &ImageState::versionText, &ImageState::headerText, &ImageState::gpuName,
          &ImageState::sbaState, &ImageState::memClockText, &ImageState::coreClockText}) {
        showField(field, opened.*field);
    }
    state_.headerlengh = opened.headerlengh;
    state_.SBAVrt = opened.SBAVrt;
    state_.Octclef = opened.Octclef;
    showHiddenHolders();
}

void MainWindow::showField(std::string ImageState::*field, const std::string& value)
{
    state_.*field = value;
    const auto shown = std::find_if(valueLabels_.begin(), valueLabels_.end(),
                                    [field](const auto& pair) { return pair.first == field; });
    Q_ASSERT(shown != valueLabels_.end());
    // Control characters are drawn as blanks: a carriage return in a header
    // must not push the row apart.
    shown->second->setText(withStandIns(qtText(value), u' '));
}

void MainWindow::showHiddenHolders()
{
    holders_.StK1->setText(state_.StK1 ? QString::number(*state_.StK1) : qtText(kStK1Initial));
    holders_.SBAVrt->setText(offsetText(state_.SBAVrt));
    holders_.Octclef->setText(offsetText(state_.Octclef));
    holders_.headerlengh->setText(offsetText(state_.headerlengh));
}

void MainWindow::switchToNoImage()
{
    items_.mnuClose->setEnabled(false);
    items_.Ouvrir->setEnabled(true);
    for (QAction* item : {items_.mnucorrcheck, items_.sba, items_.memfreq, items_.mnucheckvalid,
                          items_.corefreq, items_.mnuheader}) {
        item->setEnabled(false);
    }
    imageOnShow_.reset();
}

void MainWindow::mnuClose_Click()
{
    switchToNoImage();
    for (const auto field : {&ImageState::fileSize, &ImageState::headerText, &ImageState::versionText,
                             &ImageState::fileTitle, &ImageState::sbaState, &ImageState::memClockText}) {
        showField(field, {});
    }
    showField(&ImageState::checksumText, kChecksumUnknown);
    showField(&ImageState::coreClockText, {});
    showField(&ImageState::gpuName, {});
}

void MainWindow::exit_Click()
{
    const QPointer<SbaDialog> sbaDialog = sbaDialog_.current();
    close();
    if (sbaDialog != nullptr) {
        sbaDialog->close();
    }
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
        reportChecksumFailure(sum.error());
        return;
    }
    state_.StK1 = *sum;
    showHiddenHolders();
    if (*sum == 0) {
        showField(&ImageState::checksumText, kChecksumValid);
    } else {
        showField(&ImageState::checksumText, kChecksumInvalid);
        enableChecksumCorrection();
    }
}

void MainWindow::mnucorrcheck_Click()
{
    const auto corrected = correctChecksum(state_.filePath);
    if (!corrected) {
        reportChecksumFailure(corrected.error());
        return;
    }
    showField(&ImageState::checksumText, kChecksumValid);
    items_.mnucorrcheck->setEnabled(false);
}

void MainWindow::reportChecksumFailure(ChecksumError error)
{
    services_.showMessage(this, MessageIcon::critical, qtText(kProblemTitle),
                          qtText(checksumFailureText(error)));
}

void MainWindow::enableChecksumCorrection()
{
    items_.mnucorrcheck->setEnabled(true);
}

}  // namespace vardane::ui
