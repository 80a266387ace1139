#include "ui/ui_services.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QStringList>
#include <QTranslator>

namespace vardane::ui {

namespace {

constexpr QChar kNoBreakSpace(0x00A0);

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
