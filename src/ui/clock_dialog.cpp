#include "ui/clock_dialog.h"

#include "qt/qt_text.h"
#include "ui/texts.h"

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
constexpr const char* kSliderName = "Nouvelle fréquence";
constexpr const char* kText1Name = "Fréquence choisie";
constexpr const char* kText2Name = "Fréquence actuelle";
constexpr const char* kRefusedTitle = "Modification non effectuée";
constexpr const char* kSliderApartText =
    "La fréquence actuelle est hors de la plage du curseur : choisissez la nouvelle fréquence avec le "
    "curseur. Rien n'a été écrit.";

const QColor kGreen(0, 192, 0);
const QColor kOrange(255, 128, 0);
const QColor kRed(255, 0, 0);

}  // namespace

// Text1 of both dialogs and Text2 of the memory dialog are wider than first
// drawn, and Label1 moves right with Text1: at their first widths a chosen
// 1000 showed as "100", and clocks such as "366 Mhz", "333,34 Mhz (DDR)" or
// "125,5 Mhz" lost their end.
const ClockWindow kMemoryClockWindow{
    .profile = kMemoryClockProfile,
    .name = "frmfreqmem",
    .caption = "Modification Freq Mémoire",
    .row = FactKey::memClockText,
    .currentCaption = "La frequence actuelle de la RAM est fixée à :",
    .unitCaption = "Mhz (DDR)",
    .openingSuffix = " (DDR)",
    .appliedText2Suffix = " Mhz (DDR)",
    .normal = {"200 Mhz", "600 Mhz"},
    .ouf = {"100 Mhz", "1 Ghz"},
    .orangeAbove = 460,
    .redAbove = 530,
    .opensGreen = true,
    .smallStep = 2,
    .largeStep = 5,
    .tickInterval = 20,
    .clientWidth = 5865,
    .clientHeight = 2745,
    .label2 = {120, 240, 3375, 375},
    .text2 = {3480, 240, 1575, 285},
    .slider1 = {720, 720, 4215, 615},
    .label3 = {0, 800, 615, 255},
    .label4 = {5040, 795, 675, 255},
    .text1 = {2400, 1440, 960, 285},
    .label1 = {3390, 1440, 975, 255},
    .command1 = {1920, 2160, 1695, 375},
    .check1 = {4320, 2280, 1095, 255},
};

const ClockWindow kCoreClockWindow{
    .profile = kCoreClockProfile,
    .name = "frmfreqCore",
    .caption = "Modificarion freq core",
    .row = FactKey::coreClockText,
    .currentCaption = "La fréquence actuelle du Core est fixée à :",
    .unitCaption = "Mhz (DDR)",
    .openingSuffix = "",
    .appliedText2Suffix = " Mhz",
    .normal = {"75 Mhz", "350 Mhz"},
    .ouf = {"20 Mhz", "450 Mhz"},
    .orangeAbove = 250,
    .redAbove = 290,
    .opensGreen = false,
    .smallStep = 1,
    .largeStep = 5,
    .tickInterval = 25,
    .clientWidth = 5970,
    .clientHeight = 2835,
    .label2 = {240, 240, 3135, 375},
    .text2 = {3480, 240, 2175, 375},
    .slider1 = {600, 960, 4695, 375},
    .label3 = {0, 1080, 615, 375},
    .label4 = {5280, 1080, 615, 375},
    .text1 = {2280, 1680, 960, 375},
    .label1 = {3270, 1680, 855, 255},
    .command1 = {2040, 2160, 1695, 375},
    .check1 = {4200, 2160, 1215, 375},
};

namespace {

void setTextColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// A box the user reads but never types into or tabs to, on the scroll-bar grey.
QLineEdit* makeShownBox(QWidget* parent, const char* name, const char* accessibleName, Twips place)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(qtText(accessibleName));
    placeInTwips(box, place);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    setTextColour(box, QPalette::Base, box->palette().color(QPalette::Button));
    return box;
}

// From the start: should a clock ever be wider than its box, the number
// matters more than the unit.
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

ClockDialog::ClockDialog(const ClockWindow& window, DialogHost& host, const KnownFile& file)
    : HostedDialog(host, file),
      window_(window),
      octclef_(host.facts().Octclef),
      wordSeen_(host.facts().*window.profile.wordRead)
{
    setObjectName(window_.name);
    setWindowTitle(qtText(window_.caption));
    createControls();
    Form_Load(host.shownRow(window_.row));
}

void ClockDialog::createControls()
{
    const ClockWindow& w = window_;
    setClientSizeInTwips(this, w.clientWidth, w.clientHeight);
    addTopLabel(this, "Label2", qtText(w.currentCaption), w.label2);
    text2_ = makeShownBox(this, "Text2", kText2Name, w.text2);

    slider1_ = new QSlider(Qt::Horizontal, this);
    slider1_->setObjectName("Slider1");
    slider1_->setAccessibleName(qtText(kSliderName));
    placeInTwips(slider1_, w.slider1);
    slider1_->setSingleStep(w.smallStep);
    slider1_->setPageStep(w.largeStep);
    slider1_->setTickInterval(w.tickInterval);
    slider1_->setTickPosition(QSlider::TicksBelow);
    slider1_->setFocusPolicy(Qt::StrongFocus);

    label3_ = addTopLabel(this, "Label3", {}, w.label3);
    label4_ = addTopLabel(this, "Label4", {}, w.label4);
    text1_ = makeShownBox(this, "Text1", kText1Name, w.text1);
    label1_ = addTopLabel(this, "Label1", qtText(w.unitCaption), w.label1);

    command1_ = new QPushButton(kApplyCaption, this);
    command1_->setObjectName("Command1");
    placeInTwips(command1_, w.command1);
    check1_ = new QCheckBox(kOufModeCaption, this);
    check1_->setObjectName("Check1");
    placeInTwips(check1_, w.check1);

    setTabOrder(slider1_, command1_);
    setTabOrder(command1_, check1_);
    slider1_->setFocus();

    connect(slider1_, &QSlider::actionTriggered, this, &ClockDialog::Slider1_Scroll);
    connect(check1_, &QCheckBox::toggled, this, &ClockDialog::Check1_Click);
    connect(command1_, &QPushButton::clicked, this, &ClockDialog::Command1_Click);
}

void ClockDialog::Form_Load(const std::string& clockText)
{
    showRange(false);
    // A clock outside the range (an unusual image) leaves the slider at the
    // nearer end; the texts still show what the image holds.
    const ClockRange& normal = window_.profile.normal;
    const long long wanted = roundHalfEven(leadingNumber(clockText));
    slider1_->setValue(static_cast<int>(std::clamp<long long>(wanted, normal.minimum, normal.maximum)));
    showFromStart(text2_, QString::fromStdString(clockText) + qtText(window_.openingSuffix));
    showFromStart(text1_, QString::fromStdString(clockText));
    showColour(window_.opensGreen ? Colour::green : Colour::initial);
}

// Wired to actionTriggered, which only the user's moves raise (keys, track
// clicks, dragging, the wheel); the dialog's own setValue and setRange do not.
// At exactly the orange threshold no test applies and the colour stays.
void ClockDialog::Slider1_Scroll(int action)
{
    if (action == QAbstractSlider::SliderNoAction) {
        return;
    }
    const int position = slider1_->sliderPosition();
    showFromStart(text1_, QString::number(position));
    Colour colour = colour_;
    if (position > window_.orangeAbove) {
        colour = Colour::orange;
    }
    if (position > window_.redAbove) {
        colour = Colour::red;
    }
    if (position < window_.orangeAbove) {
        colour = Colour::green;
    }
    showColour(colour);
}

void ClockDialog::Check1_Click(bool ticked)
{
    if (!ticked) {
        const ClockRange& normal = window_.profile.normal;
        const int position = slider1_->value();
        const int clamped = std::clamp(position, normal.minimum, normal.maximum);
        if (clamped != position) {
            slider1_->setValue(clamped);
            showFromStart(text1_, QString::number(clamped));
        }
    }
    showRange(ticked);
}

void ClockDialog::Command1_Click()
{
    DialogHost* main = hostOfLoadedImage(kRefusedTitle);
    if (main == nullptr) {
        return;
    }
    // Only a starting clock the slider could not take leaves them apart; the
    // word would then come from one clock and the report from another.
    if (roundHalfEven(chosenNumber()) != slider1_->value()) {
        refuse(kRefusedTitle, qtText(kSliderApartText));
        return;
    }
    const ClockProfile& profile = window_.profile;
    const auto written = writeClock(profile, file(), octclef_, chosenNumber(),
                                    check1_->isChecked() ? profile.ouf : profile.normal, wordSeen_);
    if (!written) {
        refuse(kRefusedTitle, written.error());
        // Loaded again, it starts from what the file now holds.
        if (written.error() == Refusal::changed || written.error() == Refusal::replaced) {
            close();
        }
        return;
    }
    const std::string shown = std::to_string(slider1_->value());
    showFromStart(text2_, qtText(shown + window_.appliedText2Suffix));
    finishWrite([](DialogHost& host) { host.imageWritten(Writer::clock); }, qtText(kAppliedTitle),
                qtText(clockAppliedMessage(profile, shown)));
}

void ClockDialog::showRange(bool ouf)
{
    const ClockRange& range = ouf ? window_.profile.ouf : window_.profile.normal;
    const RangeCaptions& captions = ouf ? window_.ouf : window_.normal;
    slider1_->setMinimum(range.minimum);
    slider1_->setMaximum(range.maximum);
    label3_->setText(qtText(captions.minimum));
    label4_->setText(qtText(captions.maximum));
}

void ClockDialog::showColour(Colour colour)
{
    colour_ = colour;
    const QColor* shown = colour == Colour::green    ? &kGreen
                          : colour == Colour::orange ? &kOrange
                          : colour == Colour::red    ? &kRed
                                                     : nullptr;
    if (shown != nullptr) {
        setTextColour(text1_, QPalette::Text, *shown);
        setTextColour(label1_, QPalette::WindowText, *shown);
    }
}

double ClockDialog::chosenNumber() const
{
    return leadingNumber(text1_->text().toStdString());
}

}  // namespace vardane::ui
