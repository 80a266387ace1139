#include "ui/changes_window.h"

#include "compare/compare.h"
#include "qt/qt_text.h"
#include "system/system.h"
#include "text/encoding.h"
#include "ui/texts.h"
#include "ui/twips.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <span>
#include <utility>

namespace vardane::ui {

namespace {

constexpr const char* kCaption = "Modifications de l'image";
constexpr const char* kRestore = "&Rétablir l'original";
constexpr const char* kListName = "Modifications depuis l'ouverture";
constexpr const char* kNoChange = "Aucune modification";
constexpr const char* kBytes = "Octets %1..%2 : %3 → %4 (%5)";
constexpr const char* kLengths = "Longueur : %1 → %2 octets";
constexpr const char* kRestoreTitle = "Rétablir l'original";
constexpr const char* kRestoreQuestion =
    "Remettre dans le fichier les octets qu'il avait à l'ouverture ? Les modifications listées seront "
    "perdues.";
constexpr const char* kRestoredText = "Le fichier contient de nouveau les octets qu'il avait à l'ouverture.";
constexpr const char* kRefusedTitle = "Rétablissement impossible";
constexpr std::size_t kBytesShown = 16;  // of a run; a longer one ends with "..."

QString offsetText(std::int64_t offset)
{
    return "0x" + QString::number(offset, 16).toUpper().rightJustified(4, '0');
}

QString bytesText(std::span<const std::uint8_t> bytes)
{
    QStringList shown;
    for (const std::uint8_t byte : bytes.first(std::min(bytes.size(), kBytesShown))) {
        shown << QString("%1").arg(byte, 2, 16, QChar('0')).toUpper();
    }
    return shown.join(' ') + (bytes.size() > kBytesShown ? " ..." : "");
}

QString runText(const DifferingRun& run, std::span<const std::uint8_t> before,
                std::span<const std::uint8_t> now)
{
    const auto first = static_cast<std::size_t>(run.first);
    const auto length = static_cast<std::size_t>(run.last - run.first + 1);
    QStringList fields;
    for (const std::string_view field : run.fields) {
        fields << qtText(field);
    }
    return QString(kBytes).arg(offsetText(run.first), offsetText(run.last),
                               bytesText(before.subspan(first, length)),
                               bytesText(now.subspan(first, length)), fields.join(", "));
}

QString factLine(const DifferingFact& fact)
{
    // The checksum with its sum, so that two invalid sums read apart; a text
    // without the blanks that pad it, which the bytes below show.
    const auto shown = [](const FactValue& value) {
        QString text = withStandIns(qtText(factText(value, true)), u' ');
        while (text.endsWith(' ')) {
            text.chop(1);
        }
        return text;
    };
    return captioned(nameOf(fact.key).caption, shown(fact.a) + " → " + shown(fact.b));
}

}  // namespace

ChangesWindow::ChangesWindow(DialogHost& host, const KnownFile& file,
                             std::shared_ptr<const ImageFacts> original)
    : HostedDialog(host, file), original_(std::move(original))
{
    setObjectName("frmModifications");
    setWindowTitle(QString::fromUtf8(kCaption));
    resize(twipsToPixels(this, 9600), twipsToPixels(this, 4200));

    list1_ = new QListWidget(this);
    list1_->setObjectName("List1");
    list1_->setAccessibleName(QString::fromUtf8(kListName));
    command1_ = new QPushButton(QString::fromUtf8(kRestore), this);
    command1_->setObjectName("Command1");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list1_);
    layout->addWidget(command1_, 0, Qt::AlignRight);
    connect(command1_, &QPushButton::clicked, this, &ChangesWindow::Command1_Click);
}

void ChangesWindow::list(const ImageFacts& now)
{
    list1_->clear();
    lastRead_.clear();
    command1_->setEnabled(false);
    if (!wasRead(now)) {
        list1_->addItem(causeText(now.readFailure.value_or(Refusal::notAnImage)));
        return;
    }
    lastRead_ = now.bytes;
    const Differences differences = compareImages(*original_, now, system::userDecimalSeparator());
    for (const DifferingFact& fact : differences.facts) {
        if (!nameOf(fact.key).caption.empty()) {
            list1_->addItem(factLine(fact));
        }
    }
    for (const DifferingRun& run : differences.runs) {
        list1_->addItem(runText(run, original_->bytes, lastRead_));
    }
    if (differences.sizeA != differences.sizeB) {
        list1_->addItem(
            QString(kLengths).arg(differences.sizeA.value_or(0)).arg(differences.sizeB.value_or(0)));
    }
    if (differences.identical) {
        list1_->addItem(QString::fromUtf8(kNoChange));
    }
    command1_->setEnabled(!differences.identical);
}

// As an editor does after its write, the window closes once its work is
// done, and the main window shows the image as after an Open.
void ChangesWindow::Command1_Click()
{
    if (!services().askYesNo(this, QString::fromUtf8(kRestoreTitle), QString::fromUtf8(kRestoreQuestion))) {
        return;
    }
    DialogHost* main = host();
    if (main == nullptr) {
        return;
    }
    const auto restored = restoreOriginal(file(), original_->bytes, lastRead_);
    if (!restored) {
        refuse(kRefusedTitle, restored.error());
        return;
    }
    finishWrite([](DialogHost& host) { host.imageRestored(); }, QString::fromUtf8(kRestoreTitle),
                QString::fromUtf8(kRestoredText));
}

}  // namespace vardane::ui
