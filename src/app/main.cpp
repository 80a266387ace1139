#include "ui/emblem.h"
#include "ui/main_window.h"
#include "ui/ui_services.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

namespace {

// The windows were laid out for an 8-point Windows sans serif; Arial and its
// metric twins keep their texts inside the places drawn for them.
QFont classicFont()
{
    QFont font;
    font.setFamilies({"Arial", "Liberation Sans", "Nimbus Sans", "Helvetica"});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    return font;
}

QIcon windowIcon()
{
    QIcon icon;
    for (const int side : {16, 32, 48}) {
        icon.addPixmap(vardane::ui::paintEmblem(side));
    }
    return icon;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setFont(classicFont());
    QApplication::setWindowIcon(windowIcon());
    vardane::ui::DesktopServices services;
    // Deletes itself when closed; dialogs may outlive it, and the program
    // ends with the last window.
    auto* window = new vardane::ui::MainWindow(services);
    window->show();
    return QApplication::exec();
}
