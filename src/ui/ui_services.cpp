#include "ui/ui_services.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QStringList>
#include <QTranslator>

namespace vardane::ui {

namespace {

constexpr QChar kNoBreakSpace(0x00A0);

// The seam takes the classic "label|pattern|label|pattern" filter text; Qt
// wants one "label (patterns)" a choice and reads the patterns from the
// parentheses.
QStringList toQtFilters(const QString& filter)
{
    const QStringList parts = filter.split('|');
    QStringList choices;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& label = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        choices << (label.contains('(' + patterns + ')') ? label : label + " (" + patterns + ')');
    }
    return choices;
}

// The rows of Qt's file dialog format their sizes and dates with the system's
// locale and leave "Folder" untranslated; these are formatted here with the
// program's locale, French, like every other word of the dialog.
class FrenchRows final : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || files == nullptr) {
            return QIdentityProxyModel::data(index, role);
        }
        const QFileInfo file = files->fileInfo(mapToSource(index));
        const QLocale french;
        switch (index.column()) {
            case kSize:
                return file.isDir() ? QString() : french.formattedDataSize(file.size());
            case kType:
                return file.isDir() ? QStringLiteral("Dossier") : QIdentityProxyModel::data(index, role);
            case kDate:
                return french.toString(file.lastModified(), QLocale::ShortFormat);
            default:
                return QIdentityProxyModel::data(index, role);
        }
    }

private:
    static constexpr int kSize = 1;
    static constexpr int kType = 2;
    static constexpr int kDate = 3;
};

QMessageBox::Icon toQtIcon(MessageIcon icon)
{
    return icon == MessageIcon::critical ? QMessageBox::Critical : QMessageBox::Information;
}

}  // namespace

std::unique_ptr<QTranslator> speakFrench()
{
    // Only Qt's own widgets format with the default locale: the clock texts
    // follow their own rule, and no other text of the program goes through it.
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    // Where no Qt is installed (Windows), the program carries Qt's French.
    auto french = std::make_unique<QTranslator>();
    const QLocale locale(QLocale::French);
    if (french->load(locale, "qtbase", "_", ":/translations") ||
        french->load(locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(french.get());
    }
    return french;
}

QString withFrenchSpacing(const QString& text)
{
    QStringList paragraphs = text.split('\n');
    for (QString& paragraph : paragraphs) {
        for (const QChar mark : {u'?', u'!', u':', u';'}) {
            paragraph.replace(QString(' ') + mark, QString(kNoBreakSpace) + mark);
        }
        const qsizetype lastSpace = paragraph.lastIndexOf(' ');
        if (lastSpace > 0) {
            paragraph[lastSpace] = kNoBreakSpace;
        }
    }
    return paragraphs.join('\n');
}

std::optional<QString> DesktopServices::chooseFile(QWidget* parent, const QString& filter)
{
    // Qt's own dialog, not the desktop's: only it speaks French whatever the
    // user's locale, as every other word of the program does.
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(toQtFilters(filter));
    dialog.setProxyModel(new FrenchRows(&dialog));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front();
}

void DesktopServices::showMessage(QWidget* parent, MessageIcon icon, const QString& title,
                                  const QString& text)
{
    QMessageBox box(toQtIcon(icon), title, withFrenchSpacing(text), QMessageBox::Ok, parent);
    box.exec();
}

bool DesktopServices::askYesNo(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Question, title, withFrenchSpacing(text), QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace vardane::ui
