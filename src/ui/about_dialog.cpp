#include "ui/about_dialog.h"

#include "qt/qt_text.h"
#include "ui/emblem.h"
#include "ui/fonts.h"
#include "ui/twips.h"
#include "version.h"

#include <QLabel>
#include <QPushButton>

namespace vardane::ui {

namespace {

constexpr const char* kShortName = "QLTX";
constexpr const char* kCredit = "Équipe Vardane";
constexpr const char* kRelease = "Public Release";
constexpr const char* kDisclaimer =
    "Avertissement : Du aux manipulations particulierement sensibles que ce programme effectue, je décline "
    "toute responsabilité en ce qui concerne l'utilisation de ce programme. Vous l'utiliser a vos risques et "
    "périls...";
constexpr const char* kOk = "Ok";
constexpr const char* kWebSite = "vardane.invalid";

constexpr const char* kEmblemName = "Emblème de Vardane : une carte graphique";
constexpr int kPictureSide = 40;

}  // namespace

AboutDialog::AboutDialog()
{
    setObjectName("frmAbt");
    setWindowTitle(QString("Vardane %1 Alpha").arg(qtText(kVersion)));
    setClientSizeInTwips(this, 6135, 3945);

    QLabel* picture = addLabel(this, "Picture1", {}, {360, 120, 615, 615});
    picture->setPixmap(paintEmblem(kPictureSide));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setAccessibleName(qtText(kEmblemName));

    using enum DrawnWith;
    addLabel(this, "Label2", qtText(kShortName), {1680, 0, 3135, 975})->setFont(windowsFont(arial, 48, true));
    addLabel(this, "Label3", QString("Version %1 Alpha").arg(qtText(kVersion)), {2160, 1080, 2175, 255})
        ->setFont(windowsFont(msSansSerif, 12, false, true));
    addLabel(this, "Label4", qtText(kCredit), {3360, 1800, 2655, 495})
        ->setFont(windowsFont(timesNewRoman, 20.25));
    addLabel(this, "Label5", qtText(kRelease), {120, 2040, 2175, 255})
        ->setFont(windowsFont(msSansSerif, 8.25, true, true));
    addRuleInTwips(this, "Line1", 2400, 6240);
    addLabel(this, "Label1", qtText(kDisclaimer), {120, 2520, 4575, 855})->setWordWrap(true);

    auto* ok = new QPushButton(qtText(kOk), this);
    ok->setObjectName("Command1");
    placeInTwips(ok, {4920, 2640, 1095, 375});
    connect(ok, &QPushButton::clicked, this, &QWidget::close);

    addRuleInTwips(this, "Line2", 3360, 6120);
    addLabel(this, "Label6", qtText(kWebSite), {1680, 3480, 3015, 375})
        ->setFont(windowsFont(msSansSerif, 13.5, true));
}

}  // namespace vardane::ui
