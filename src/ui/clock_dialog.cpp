#include "ui/clock_dialog.h"

#include "image/open_image.h"
#include "qt/qt_text.h"
#include "ui/texts.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <algorithm>
#include <optional>

namespace vardane::ui {

namespace {

constexpr const char* kApplyCaption = "Appliquer";
constexpr const char* kOufModeCaption = "Ouf Mode";
constexpr const char* kRefusedTitle = "Modification non effectuée";
constexpr const char* kMainWindowGoneText =
    "La fenêtre principale est fermée : aucune image n'est ouverte, rien n'a été écrit.";
constexpr const char* kNoImageText = "Aucune image n'est ouverte : rien n'a été écrit.";
constexpr const char* kSliderApartText =
    "La fréquence actuelle est hors de la plage du curseur : choisissez la nouvelle fréquence avec le "
    "curseur. Rien n'a été écrit.";
constexpr const char* kNoClockKeyText =
    "Cette image n'a pas de repère de fréquences (\"r7\") : rien n'a été écrit.";
constexpr const char* kOpenIncompleteText =
    "Cette image n'a pas pu être ouverte entièrement : l'emplacement des fréquences est inconnu, rien "
    "n'a été écrit.";
constexpr const char* kBadNumberText =
    "Cette fréquence ne peut pas être écrite dans le BIOS : rien n'a été écrit.";
constexpr const char* kWriteFailedText =
    "Impossible d'écrire dans le fichier de l'image (introuvable, protégé ou modifié depuis son "
    "ouverture) : rien n'a été écrit.";

}  // namespace

// Text1 and Text2 of the memory dialog are wider than first drawn, and Label1
// moves right with Text1: at their first widths a chosen 1000 showed as "100"
// and a clock such as "333,34 Mhz (DDR)" lost its end.
const ClockWindow kMemoryClockWindow{
    .profile = kMemoryClockProfile,
    .clientWidth = 5865,
    .clientHeight = 2745,
    .label2 = {120, 240, 3375, 375},
    .text2 = {3480, 240, 1575, 285},
    .slider1 = {720, 720, 4215, 615},
    .label3 = {0, 800, 615, 255},
    .label4 = {5040, 795, 675, 255},
    .text1 = {2400, 1440, 555, 285},
    .label1 = {2985, 1440, 975, 255},
    .command1 = {1920, 2160, 1695, 375},
    .check1 = {4320, 2280, 1095, 255},
};

const ClockWindow kCoreClockWindow{
    .profile = kCoreClockProfile,
    .clientWidth = 5970,
    .clientHeight = 2835,
    .label2 = {240, 240, 3135, 375},
    .text2 = {3480, 240, 2175, 375},
    .slider1 = {600, 960, 4695, 375},
    .label3 = {0, 1080, 615, 375},
    .label4 = {5280, 1080, 615, 375},
    .text1 = {2280, 1680, 735, 375},
    .label1 = {3120, 1680, 855, 255},
    .command1 = {2040, 2160, 1695, 375},
    .check1 = {4200, 2160, 1215, 375},
};

namespace {

const char* refusalText(ClockError error)
{
    switch (error) {
        case ClockError::noClockKey:
            return kNoClockKeyText;
        case ClockError::badNumber:
            return kBadNumberText;
        case ClockError::damaged:
            return kMayBeDamagedText;
        case ClockError::writeFailed:
            break;
    }
    return kWriteFailedText;
}

std::optional<QColor> toQColor(ClockColour colour)
{
    const auto rgb = [](const Rgb& c) { return QColor(c.red, c.green, c.blue); };
    switch (colour) {
        case ClockColour::green:
            return rgb(kGreen);
        case ClockColour::orange:
            return rgb(kOrange);
        case ClockColour::red:
            return rgb(kRed);
        case ClockColour::initial:
            break;
    }
    return std::nullopt;
}

void setTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// A box the user reads but never types into or tabs to, on the scroll-bar grey.
QLineEdit* makeShownBox(QWidget* parent, const char* name, Twips place)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    placeInTwips(box, place);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    setTextColour(box, QPalette::Base, box->palette().color(QPalette::Button));
    return box;
}

// From the start: the boxes are narrower than a clock with its unit, and the
// number matters more than the unit.
void showFromStart(QLineEdit* box, const QString& text)
{
    box->setText(text);
    box->setCursorPosition(0);
}

// Top-aligned, so a caption lines up with the box beside it.
QLabel* addTopLabel(QWidget* parent, const char* name, const QString& caption, Twips place)
{
    QLabel* label = addLabel(parent, name, caption, place);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

}  // namespace

ClockDialog::ClockDialog(const ClockWindow& window, DialogHost& host)
    : HostedDialog(host), profile_(window.profile)
{
    setObjectName(qtText(profile_.dialogName));
    setWindowTitle(qtText(profile_.caption));
    createControls(window);
    Form_Load(host.state().*profile_.stateText);
}

void ClockDialog::createControls(const ClockWindow& layout)
{
    setClientSizeInTwips(this, layout.clientWidth, layout.clientHeight);
    addTopLabel(this, "Label2", qtText(profile_.currentCaption), layout.label2);
    text2_ = makeShownBox(this, "Text2", layout.text2);

    slider1_ = new QSlider(Qt::Horizontal, this);
    slider1_->setObjectName("Slider1");
    placeInTwips(slider1_, layout.slider1);
    slider1_->setSingleStep(profile_.smallStep);
    slider1_->setPageStep(profile_.largeStep);
    slider1_->setTickInterval(profile_.tickInterval);
    slider1_->setTickPosition(QSlider::TicksBelow);
    slider1_->setFocusPolicy(Qt::StrongFocus);

    label3_ = addTopLabel(this, "Label3", {}, layout.label3);
    label4_ = addTopLabel(this, "Label4", {}, layout.label4);
    text1_ = makeShownBox(this, "Text1", layout.text1);
    label1_ = addTopLabel(this, "Label1", qtText(profile_.unitCaption), layout.label1);

    command1_ = new QPushButton(kApplyCaption, this);
    command1_->setObjectName("Command1");
    placeInTwips(command1_, layout.command1);
    check1_ = new QCheckBox(kOufModeCaption, this);
    check1_->setObjectName("Check1");
    placeInTwips(check1_, layout.check1);

    setTabOrder(slider1_, command1_);
    setTabOrder(command1_, check1_);

    connect(slider1_, &QSlider::actionTriggered, this, &ClockDialog::Slider1_Scroll);
    connect(check1_, &QCheckBox::toggled, this, &ClockDialog::Check1_Click);
    connect(command1_, &QPushButton::clicked, this, &ClockDialog::Command1_Click);
}

void ClockDialog::Form_Load(const std::string& clockText)
{
    showRange(profile_.normal);
    // A clock outside the range (an unusual image) leaves the slider at the
    // nearer end; the texts still show what the image holds.
    const long long wanted = roundHalfEven(leadingNumber(clockText));
    slider1_->setValue(
        static_cast<int>(std::clamp<long long>(wanted, profile_.normal.minimum, profile_.normal.maximum)));
    showFromStart(text2_, QString::fromStdString(clockText) + qtText(profile_.openingSuffix));
    showFromStart(text1_, QString::fromStdString(clockText));
    showColour(profile_.opensGreen ? ClockColour::green : ClockColour::initial);
}

// Wired to actionTriggered, which only the user's moves raise (keys, track
// clicks, dragging, the wheel); the dialog's own setValue and setRange do not.
void ClockDialog::Slider1_Scroll(int action)
{
    if (action == QAbstractSlider::SliderNoAction) {
        return;
    }
    const int position = slider1_->sliderPosition();
    showFromStart(text1_, QString::number(position));
    showColour(colourAfterMove(profile_, position, colour_));
}

void ClockDialog::Check1_Click(bool ticked)
{
    if (ticked) {
        showRange(profile_.ouf);
        return;
    }
    const ClockRange& normal = profile_.normal;
    const int position = slider1_->value();
    const int clamped = std::clamp(position, normal.minimum, normal.maximum);
    if (clamped != position) {
        slider1_->setValue(clamped);
        showFromStart(text1_, QString::number(clamped));
    }
    showRange(normal);
}

void ClockDialog::Command1_Click()
{
    if (const char* reason = reasonNotToWrite()) {
        refuse(reason);
        return;
    }
    DialogHost& hostNow = *host();
    const ImageState& state = hostNow.state();
    const auto applied =
        applyClock(profile_, state.filePath, state.Octclef, chosenNumber(), slider1_->value());
    if (!applied) {
        refuse(refusalText(applied.error()));
        return;
    }

    showFromStart(text2_, QString::fromStdString(applied->text2));
    // The message box runs a modal loop in which either window may close.
    const QPointer<ClockDialog> self(this);
    const QPointer<QWidget> hostWindow = hostNow.hostWindow();
    const auto stateText = profile_.stateText;
    services().showMessage(this, MessageIcon::information, qtText(kAppliedTitle),
                           QString::fromStdString(applied->message));
    if (hostWindow != nullptr) {
        hostNow.showField(stateText, applied->stateText);
    }
    if (self != nullptr) {
        close();
    }
}

void ClockDialog::showRange(const ClockRange& range)
{
    slider1_->setMinimum(range.minimum);
    slider1_->setMaximum(range.maximum);
    label3_->setText(qtText(range.minimumCaption));
    label4_->setText(qtText(range.maximumCaption));
}

void ClockDialog::showColour(ClockColour colour)
{
    colour_ = colour;
    if (const auto shown = toQColor(colour)) {
        setTextColour(text1_, QPalette::Text, *shown);
        setTextColour(label1_, QPalette::WindowText, *shown);
    }
}

void ClockDialog::refuse(const QString& text)
{
    services().showMessage(this, MessageIcon::critical, kRefusedTitle, text);
}

double ClockDialog::chosenNumber() const
{
    return leadingNumber(text1_->text().toStdString());
}

const char* ClockDialog::reasonNotToWrite() const
{
    if (host() == nullptr) {
        return kMainWindowGoneText;
    }
    if (!host()->imageOnShow()) {
        return kNoImageText;
    }
    // No slider move can give an image without the key a place to write.
    const ImageState& state = host()->state();
    if (!state.Octclef) {
        return clockKeySearched(state) ? kNoClockKeyText : kOpenIncompleteText;
    }
    // Only a starting clock the slider could not take leaves them apart; the
    // word would then come from one clock and the report from another.
    if (roundHalfEven(chosenNumber()) != slider1_->value()) {
        return kSliderApartText;
    }
    return nullptr;
}

}  // namespace vardane::ui
