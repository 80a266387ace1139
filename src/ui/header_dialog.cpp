#include "ui/header_dialog.h"

#include "image/layout.h"
#include "qt/qt_text.h"
#include "text/encoding.h"
#include "ui/texts.h"
#include "ui/twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include <utility>

namespace vardane::ui {

namespace {

constexpr const char* kCaption = "Modification du Header";
constexpr const char* kInstruction =
    "Pour modifier le Header, modifier le dans la fenetre ci-dessous, puis cliquez sur \"Appliquer\", "
    "n'oubliez pas de revalider le cheksum par la suite...";
constexpr const char* kApply = "Appliquer";

constexpr const char* kRefusedTitle = "Modification du Header impossible";
constexpr const char* kBoxName = "Nouvel entête du BIOS";

// The field's characters as the box shows them, without the spaces that pad
// it: a full box would refuse every key. Apply pads them back.
QString shownText(const std::vector<std::uint8_t>& bytes)
{
    QString shown = withStandIns(qtText(decodeWindows1252(bytes)));
    while (shown.endsWith(QChar(layout::kHeaderFieldPad))) {
        shown.chop(1);
    }
    return shown;
}

// Lets into the box only what the field can take: one Windows-1252 byte per
// character, no control character, no more characters than the field's width.
class FieldTextValidator final : public QValidator {
public:
    FieldTextValidator(std::size_t width, QObject* parent) : QValidator(parent), width_(width) {}

    State validate(QString& input, int& /*position*/) const override
    {
        return encodeHeaderText(codePoints(input), width_) ? Acceptable : Invalid;
    }

private:
    std::size_t width_;
};

}  // namespace

HeaderDialog* HeaderDialog::load(DialogHost& host, const KnownFile& file)
{
    auto field = readHeaderField(file, host.facts().headerlengh);
    if (!field) {
        host.services().showMessage(host.hostWindow(), MessageIcon::critical, qtText(kRefusedTitle),
                                    host.imageRefused(field.error()));
        return nullptr;
    }
    return new HeaderDialog(host, file, std::move(field).value());
}

HeaderDialog::HeaderDialog(DialogHost& host, const KnownFile& file, HeaderField field)
    : HostedDialog(host, file), field_(std::move(field)), loadedText_(shownText(field_.bytes))
{
    setObjectName("frmheader");
    setWindowTitle(qtText(kCaption));
    setClientSizeInTwips(this, 4680, 2250);

    addLabel(this, "Label1", qtText(kInstruction), {240, 120, 4335, 735})->setWordWrap(true);

    text1_ = new QLineEdit(this);
    text1_->setObjectName("Text1");
    text1_->setAccessibleName(qtText(kBoxName));
    placeInTwips(text1_, {240, 960, 4215, 375});
    text1_->setMaxLength(static_cast<int>(field_.width()));
    text1_->setValidator(new FieldTextValidator(field_.width(), text1_));
    text1_->setText(loadedText_);
    text1_->setCursorPosition(0);

    auto* command1 = new QPushButton(qtText(kApply), this);
    command1->setObjectName("Command1");
    placeInTwips(command1, {1200, 1680, 2175, 375});
    connect(command1, &QPushButton::clicked, this, &HeaderDialog::Command1_Click);
}

// The field's width means nothing in another image, and a retry cannot
// succeed once the file no longer holds the loaded field.
void HeaderDialog::Command1_Click()
{
    DialogHost* main = hostOfLoadedImage(kRefusedTitle);
    if (main == nullptr) {
        return;
    }
    const QString edited = text1_->text();
    const auto bytes = edited == loadedText_ ? Outcome<std::vector<std::uint8_t>>(field_.bytes)
                                             : encodeHeaderText(codePoints(edited), field_.width());
    if (!bytes) {
        refuse(kRefusedTitle, bytes.error());
        return;
    }
    const auto written = writeHeaderField(file(), field_, *bytes);
    if (!written) {
        refuse(kRefusedTitle, written.error());
        if (written.error() == Refusal::changed || written.error() == Refusal::replaced) {
            close();
        }
        return;
    }
    finishWrite([](DialogHost& host) { host.imageWritten(Writer::header); });
}

}  // namespace vardane::ui
