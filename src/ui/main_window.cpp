#include "ui/main_window.h"

#include "checksum/checksum.h"
#include "editors/clock.h"
#include "image/open_image.h"
#include "qt/qt_text.h"
#include "ui/about_dialog.h"
#include "ui/clock_dialog.h"
#include "ui/header_dialog.h"
#include "ui/sba_dialog.h"
#include "ui/twips.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyle>

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

struct Twips {
    int left, top, width, height;
};

QString offsetText(const std::optional<std::int64_t>& offset)
{
    return offset ? QString::number(*offset) : QString();
}

const char* checksumFailureText(ChecksumError error)
{
    switch (error) {
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

// A value keeps every character of its field in text(), control characters
// included, but draws them as blanks on one line: a carriage return in a
// header must not push the text out of its row, nor a NUL draw a box.
class ValueLabel final : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* /*event*/) override
    {
        QString shown = text();
        for (QChar& character : shown) {
            if (character.category() == QChar::Other_Control) {
                character = QChar(u' ');
            }
        }
        QPainter painter(this);
        style()->drawItemText(&painter, contentsRect(), static_cast<int>(alignment()), palette(), isEnabled(),
                              shown, foregroundRole());
    }
};

template <typename Label = QLabel>
QLabel* makeLabel(QWidget* parent, const char* objectName, const QString& caption, Twips place)
{
    auto* label = new Label(caption, parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    placeInTwips(label, place.left, place.top, place.width, place.height);
    return label;
}

}  // namespace

MainWindow::MainWindow(UiServices& services) : services_(services)
{
    setObjectName("Form1");
    setWindowTitle(qtText(kWindowCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    buildClientArea();
    buildMenus();
}

MainWindow::~MainWindow() = default;

std::string MainWindow::decimalSeparator() const
{
    return QLocale::system().decimalPoint().toStdString();
}

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
        QLabel* ValueFields::*field;
    };
    // clang-format off
    static constexpr std::array<Row, 9> kRows{{
        {"Label1", "Nom du fichier :", {240, 120, 1215, 255}, "Text4", {1440, 120, 2535, 255},
         &ValueFields::fileTitle},
        {"Label2", "Taille du fichier :", {240, 480, 1215, 255}, "Text1", {1560, 480, 1935, 255},
         &ValueFields::fileSize},
        {"Label3", "Entête du BIOS :", {240, 840, 1335, 255}, "Text2", {1560, 840, 4815, 255},
         &ValueFields::headerText},
        {"Label4", "Version du BIOS :", {240, 1200, 1335, 255}, "text3", {1680, 1200, 4695, 255},
         &ValueFields::versionText},
        {"Label9", "Type de GPU :", {240, 1560, 1095, 255}, "Label10", {1440, 1560, 1695, 255},
         &ValueFields::gpuName},
        {"Label5", "SideBand Adressing Activé :", {240, 1920, 2055, 255}, "Text5", {2400, 1920, 615, 255},
         &ValueFields::sbaState},
        {"Label6", "Frequence Mémoire (DDR) :", {240, 2280, 2055, 255}, "Text6", {2400, 2280, 1335, 255},
         &ValueFields::memClockText},
        {"Label7", "Frequence Core :", {240, 2640, 1335, 255}, "Text9", {1560, 2640, 1575, 255},
         &ValueFields::coreClockText},
        {"Label8", "CheckSum : ", {2280, 3240, 1335, 375}, "Text7", {3720, 3240, 1455, 375},
         &ValueFields::checksumText},
    }};
    // clang-format on

    QPalette valuePalette = client->palette();
    valuePalette.setColor(QPalette::WindowText, kValueColour);
    for (const Row& row : kRows) {
        makeLabel(client, row.captionName, qtText(row.caption), row.captionPlace);
        fields_.*row.field = makeLabel<ValueLabel>(client, row.valueName, QString(), row.valuePlace);
        (fields_.*row.field)->setPalette(valuePalette);
    }

    // The checksum row stands apart: larger type, and its value in the ordinary colour.
    QFont checksumFont = client->font();
    checksumFont.setPointSize(kChecksumRowPointSize);
    client->findChild<QLabel*>("Label8")->setFont(checksumFont);
    fields_.checksumText->setFont(checksumFont);
    fields_.checksumText->setPalette(client->palette());
    fields_.checksumText->setText(qtText(state_.checksumText));
    for (const Row& row : kRows) {
        growToText(client->findChild<QLabel*>(row.captionName));
        runToEdge(fields_.*row.field, client->width());
    }

    addRuleInTwips(client, "Line1", 3000, 6480);

    holders_.StK1 = new QLineEdit(qtText(kStK1Initial), client);
    holders_.StK1->setObjectName("StK1");
    holders_.SBAVrt = makeLabel(client, "Label11", QString(), {240, kHolderTop, 1215, 255});
    holders_.Octclef = makeLabel(client, "Label12", QString(), {1560, kHolderTop, 1215, 255});
    holders_.headerlengh = makeLabel(client, "Label13", QString(), {2880, kHolderTop, 1215, 255});
    placeInTwips(holders_.StK1, 4200, kHolderTop, 1215, 285);
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
    for (;;) {
        const std::optional<ChosenFile> chosen = services_.chooseFile(this, qtText(kOpenFilter));
        if (!chosen) {
            return;
        }
        showField(&ImageState::fileTitle, fields_.fileTitle, chosen->title.toStdString());

        const std::filesystem::path path(QFile::encodeName(chosen->path).toStdString());
        const OpenResult opened = openImage(path, decimalSeparator());
        switch (opened.status) {
            case OpenStatus::rejected:
                services_.showMessage(this, MessageIcon::critical, qtText(kNotAnImageTitle),
                                      qtText(kNotAnImageMessage));
                continue;
            case OpenStatus::unreadable:
                reportOpenFailure();
                return;
            case OpenStatus::accepted:
            case OpenStatus::failed:
                state_.filePath = path.string();
                switchToImageOpen();
                showOpenedFields(opened.state);
                if (opened.status == OpenStatus::failed) {
                    reportOpenFailure();
                }
                return;
        }
    }
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
    imageOpen_ = true;
    ++imageGeneration_;
}

void MainWindow::showOpenedFields(const ImageState& opened)
{
    showField(&ImageState::fileSize, fields_.fileSize, opened.fileSize);
    showField(&ImageState::versionText, fields_.versionText, opened.versionText);
    showField(&ImageState::headerText, fields_.headerText, opened.headerText);
    showField(&ImageState::gpuName, fields_.gpuName, opened.gpuName);
    showField(&ImageState::sbaState, fields_.sbaState, opened.sbaState);
    showField(&ImageState::memClockText, fields_.memClockText, opened.memClockText);
    showField(&ImageState::coreClockText, fields_.coreClockText, opened.coreClockText);
    state_.headerlengh = opened.headerlengh;
    state_.SBAVrt = opened.SBAVrt;
    state_.Octclef = opened.Octclef;
    showHiddenHolders();
}

void MainWindow::showField(std::string ImageState::*field, QLabel* label, const std::string& value)
{
    state_.*field = value;
    label->setText(qtText(value));
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
    imageOpen_ = false;
    ++imageGeneration_;
}

void MainWindow::mnuClose_Click()
{
    switchToNoImage();
    showField(&ImageState::fileSize, fields_.fileSize, {});
    showField(&ImageState::headerText, fields_.headerText, {});
    showField(&ImageState::versionText, fields_.versionText, {});
    showField(&ImageState::fileTitle, fields_.fileTitle, {});
    showField(&ImageState::sbaState, fields_.sbaState, {});
    showField(&ImageState::memClockText, fields_.memClockText, {});
    setChecksumText(kChecksumUnknown);
    showField(&ImageState::coreClockText, fields_.coreClockText, {});
    showField(&ImageState::gpuName, fields_.gpuName, {});
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
    memClockDialog_.show([this] { return new ClockDialog(kMemoryClockProfile, *this); });
}

void MainWindow::corefreq_Click()
{
    coreClockDialog_.show([this] { return new ClockDialog(kCoreClockProfile, *this); });
}

void MainWindow::about_Click()
{
    aboutDialog_.show([] { return new AboutDialog; });
}

void MainWindow::mnucheckvalid_Click()
{
    const auto sum = verifyChecksum(state_.filePath);
    if (!sum) {
        services_.showMessage(this, MessageIcon::critical, qtText(kProblemTitle),
                              qtText(checksumFailureText(sum.error())));
        return;
    }
    state_.StK1 = *sum;
    showHiddenHolders();
    if (*sum == 0) {
        setChecksumText(kChecksumValid);
    } else {
        setChecksumText(kChecksumInvalid);
        enableChecksumCorrection();
    }
}

void MainWindow::mnucorrcheck_Click()
{
    const auto corrected = correctChecksum(state_.filePath);
    if (!corrected) {
        services_.showMessage(this, MessageIcon::critical, qtText(kProblemTitle),
                              qtText(checksumFailureText(corrected.error())));
        return;
    }
    setChecksumText(kChecksumValid);
    items_.mnucorrcheck->setEnabled(false);
}

void MainWindow::setSbaState(const std::string& value)
{
    showField(&ImageState::sbaState, fields_.sbaState, value);
}

void MainWindow::setMemClockText(const std::string& value)
{
    showField(&ImageState::memClockText, fields_.memClockText, value);
}

void MainWindow::setCoreClockText(const std::string& value)
{
    showField(&ImageState::coreClockText, fields_.coreClockText, value);
}

void MainWindow::setHeaderText(const std::string& value)
{
    showField(&ImageState::headerText, fields_.headerText, value);
}

void MainWindow::setChecksumText(const std::string& value)
{
    showField(&ImageState::checksumText, fields_.checksumText, value);
}

void MainWindow::enableChecksumCorrection()
{
    items_.mnucorrcheck->setEnabled(true);
}

}  // namespace vardane::ui
