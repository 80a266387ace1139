#include "ui/main_window.h"
#include "ui/ui_services.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    vardane::ui::DesktopServices services;
    // Deletes itself when closed; dialogs may outlive it, and the program
    // ends with the last window.
    auto* window = new vardane::ui::MainWindow(services);
    window->show();
    return QApplication::exec();
}
