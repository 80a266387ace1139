#include "ui/sba_dialog.h"

#include "editors/sideband.h"
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
constexpr int kStateWordPointSize = 24;

constexpr const char* kRefusedTitle = "Modification du SBA impossible";

}  // namespace

SbaDialog::SbaDialog(DialogHost& host, const KnownFile& file)
    : HostedDialog(host, file), loaded_(host.facts().sideBand), sbaOffset_(host.facts().SBAVrt)
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

    Form_Load();
}

void SbaDialog::Form_Load()
{
    if (loaded_ == SideBand::off) {
        stateWord_->setText(qtText(kDisabledWord));
        command1_->setText(qtText(kEnableButton));
    } else if (loaded_ == SideBand::on) {
        stateWord_->setText(qtText(kEnabledWord));
        command1_->setText(qtText(kDisableButton));
    }
}

// The decision rests on the state this dialog loaded, which its captions
// say: a button that reads "Activer" never disables. The byte is written only
// into the image it was loaded on, and only while it holds that state.
void SbaDialog::Command1_Click()
{
    if (loaded_ == SideBand::undecided) {
        close();
        return;
    }
    DialogHost* main = hostOfLoadedImage(kRefusedTitle);
    if (main == nullptr) {
        return;
    }
    const auto toggled = toggleSideBand(file(), loaded_, sbaOffset_);
    if (!toggled) {
        refuse(kRefusedTitle, toggled.error());
        close();
        return;
    }
    finishWrite([](DialogHost& host) { host.imageWritten(Writer::sideBand); }, qtText(kAppliedTitle),
                qtText(sideBandToggledMessage(*toggled)));
}

}  // namespace vardane::ui
