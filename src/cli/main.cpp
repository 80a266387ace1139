#include "cli/commands.h"
#include "cli/texts.h"
#include "qt/qt_text.h"

#include <QCoreApplication>
#include <QLocale>
#include <iostream>

int main(int argc, char* argv[])
{
    const QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(vardane::qtText(vardane::cli::kProgramName));
    QCoreApplication::setApplicationVersion(QStringLiteral(VARDANE_VERSION));
    // QLocale reads LC_ALL, then LC_NUMERIC, then LANG, as the window does, and
    // needs no locale installed on the system to know French uses a comma.
    vardane::cli::Console console{
        std::cin, std::cout, std::cerr, QLocale::system().decimalPoint().toStdString(), {}};
    return vardane::cli::run(QCoreApplication::arguments(), console);
}
