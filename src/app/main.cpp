#include "ui/emblem.h"
#include "ui/fonts.h"
#include "ui/main_window.h"
#include "ui/ui_services.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>
#include <cstdio>
#include <optional>

namespace {

constexpr const char* kUsage =
    "Usage : vardane [IMAGE]\n"
    "Inspecte et modifie l'image du BIOS vidéo d'une carte GeForce.\n"
    "\n"
    "  IMAGE          l'image à ouvrir au démarrage, comme le ferait « Ouvrir »\n"
    "  -h, --help     affiche cette aide\n"
    "  -v, --version  affiche la version\n";
constexpr const char* kBadArguments = "vardane : arguments incorrects (vardane --help)\n";

struct Arguments {
    bool help = false;
    bool version = false;
    QStringList images;
};

std::optional<Arguments> parse(const QStringList& arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption help({"h", "help"}, {});
    const QCommandLineOption version({"v", "version"}, {});
    parser.addOption(help);
    parser.addOption(version);
    if (!parser.parse(arguments) || parser.positionalArguments().size() > 1) {
        return std::nullopt;
    }
    return Arguments{parser.isSet(help), parser.isSet(version), parser.positionalArguments()};
}

QStringList fromArgv(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    return arguments;
}

bool answered(const Arguments& arguments)
{
    if (arguments.help) {
        std::fputs(kUsage, stdout);
    } else if (arguments.version) {
        std::printf("vardane %s\n", VARDANE_VERSION);
    }
    return arguments.help || arguments.version;
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
    // Help and version need no display, so they are answered before the
    // application connects to one, unless Qt's own options (such as
    // -platform) are there: only the application takes those away.
    if (const auto early = parse(fromArgv(argc, argv)); early && answered(*early)) {
        return 0;
    }
    QApplication application(argc, argv);
    const auto arguments = parse(QApplication::arguments());
    if (!arguments) {
        std::fputs(kBadArguments, stderr);
        return 2;
    }
    if (answered(*arguments)) {
        return 0;
    }

    // Every word of the program is French, so Qt's own (the file dialog, the
    // text boxes' menus) are too, whatever the user's locale. Without the
    // translation the program still runs, with those words in English.
    QTranslator qtFrench;
    if (qtFrench.load(QLocale(QLocale::French), "qtbase", "_",
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtFrench);
    }
    QApplication::setFont(vardane::ui::windowsFont(vardane::ui::DrawnWith::arial, 8.25));
    QApplication::setWindowIcon(windowIcon());
    vardane::ui::DesktopServices services;
    // Deletes itself when closed; dialogs may outlive it, and the program
    // ends with the last window.
    auto* window = new vardane::ui::MainWindow(services);
    window->show();
    if (!arguments->images.isEmpty()) {
        window->openFile(arguments->images.front());
    }
    return QApplication::exec();
}
