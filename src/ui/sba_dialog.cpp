#include "ui/sba_dialog.h"

#include "editors/sideband.h"
#include "image/image_state.h"
#include "qt/qt_text.h"
#include "ui/texts.h"
#include "ui/twips.h"

#include <QFont>
#include <QLabel>
#include <QPushButton>

namespace vardane::ui {

namespace {

constexpr const char* kCaption = "Modification du SBA";
constexpr const char* kLead = "Le SideBand Adressing est actuellement";
constexpr const char* kDisabledWord = "Desactivé";
constexpr const char* kEnabledWord = "Activé";
constexpr const char* kInitialButton = "Activer le SBA";
constexpr const char* kEnableButton = "Activer";
constexpr const char* kDisableButton = "Desactiver";
constexpr const char* kChecksumAfterToggle = "Non Valide !";
constexpr int kStateWordPointSize = 24;

constexpr const char* kRefusedTitle = "Modification du SBA impossible";

}  // namespace

SbaDialog::SbaDialog(DialogHost& host) : HostedDialog(host)
{
    setObjectName("frmSBA");
    setWindowTitle(qtText(kCaption));
    setClientSizeInTwips(this, 4680, 2280);

    addLabel(this, "Label1", qtText(kLead), {720, 240, 3015, 255});
    stateWord_ = addLabel(this, "Label2", qtText(kDisabledWord), {1200, 600, 2175, 495});
    QFont large = stateWord_->font();
    large.setPointSize(kStateWordPointSize);
    stateWord_->setFont(large);

    addRuleInTwips(this, "Line1", 1440, 4680);

    command1_ = new QPushButton(qtText(kInitialButton), this);
    command1_->setObjectName("Command1");
    placeInTwips(command1_, {1080, 1680, 2415, 495});
    command1_->setFocus();
    connect(command1_, &QPushButton::clicked, this, &SbaDialog::Command1_Click);

    Form_Load(host.state().sbaState);
}

void SbaDialog::Form_Load(const std::string& state)
{
    if (state == kSbaOff) {
        stateWord_->setText(qtText(kDisabledWord));
        command1_->setText(qtText(kEnableButton));
    } else if (state == kSbaOn) {
        stateWord_->setText(qtText(kEnabledWord));
        command1_->setText(qtText(kDisableButton));
    }
}

// The decision rests on the main window's state text at this moment, not on
// this dialog's captions, which may date from an image closed since.
void SbaDialog::Command1_Click()
{
    DialogHost* main = host();
    if (main == nullptr) {
        close();
        return;
    }
    const ImageState& state = main->state();
    const SideBand decided = state.sbaState == kSbaOn    ? SideBand::on
                             : state.sbaState == kSbaOff ? SideBand::off
                                                         : SideBand::undecided;
    const auto toggled = toggleSideBand(state.filePath, decided, state.SBAVrt);
    if (toggled) {
        main->imageWritten();
        main->showField(&ImageState::checksumText, kChecksumAfterToggle);
        main->enableChecksumCorrection();
        // The message box runs a modal loop in which either window may close.
        const QPointer<QWidget> mainWindow = main->hostWindow();
        const QPointer<SbaDialog> self(this);
        services().showMessage(this, MessageIcon::information, qtText(kAppliedTitle),
                               qtText(toggled->message));
        if (mainWindow != nullptr) {
            main->showField(&ImageState::sbaState,
                            std::string(toggled->newState == SideBand::on ? kSbaOn : kSbaOff));
        }
        if (self == nullptr) {
            return;
        }
    } else if (toggled.error() != Refusal::sbaUndecided) {
        services().showMessage(this, MessageIcon::critical, qtText(kRefusedTitle),
                               refusalText(toggled.error()));
    }
    close();
}

}  // namespace vardane::ui
