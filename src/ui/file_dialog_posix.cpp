#include "ui/ui_services.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLocale>
#include <QStringList>

namespace vardane::ui {
namespace {

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

}  // namespace

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

}  // namespace vardane::ui
