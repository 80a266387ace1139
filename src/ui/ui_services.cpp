#include "ui/ui_services.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

namespace vardane::ui {

namespace {

// The seam takes the classic "label|pattern|label|pattern" filter text; Qt
// wants "label (patterns);;label (patterns)" and reads the patterns from the
// parentheses.
QString toQtFilter(const QString& filter)
{
    const QStringList parts = filter.split('|');
    QStringList choices;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& label = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        choices << (label.contains('(' + patterns + ')') ? label : label + " (" + patterns + ')');
    }
    return choices.join(";;");
}

QMessageBox::Icon toQtIcon(MessageIcon icon)
{
    return icon == MessageIcon::critical ? QMessageBox::Critical : QMessageBox::Information;
}

}  // namespace

std::optional<ChosenFile> DesktopServices::chooseFile(QWidget* parent, const QString& filter)
{
    // Qt's own dialog, not the desktop's: only it speaks French whatever the
    // user's locale, as every other word of the program does.
    const QString path = QFileDialog::getOpenFileName(parent, QString(), QString(), toQtFilter(filter),
                                                      nullptr, QFileDialog::DontUseNativeDialog);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return ChosenFile{path, QFileInfo(path).fileName()};
}

void DesktopServices::showMessage(QWidget* parent, MessageIcon icon, const QString& title,
                                  const QString& text)
{
    QMessageBox box(toQtIcon(icon), title, text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace vardane::ui
