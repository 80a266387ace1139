#include "app/window_start.h"
#include "qt/paths.h"
#include "ui/emblem.h"
#include "ui/fonts.h"
#include "ui/main_window.h"
#include "ui/ui_services.h"
#include "version.h"

#include <QApplication>
#include <QIcon>
#include <QTranslator>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr const char* kUnknownOption = "vardane : option inconnue : ";
constexpr const char* kSeeHelp = " (vardane --help)\n";
constexpr const char* kNoDisplay =
    "vardane : aucun écran n'est accessible pour ouvrir la fenêtre ; sans écran, vardane-cli fait le même "
    "travail en ligne de commande (vardane-cli --help)\n";
constexpr int kRefused = 2;

// Qt's own options, which QApplication takes away from the command line:
// those followed by a value, then those alone.
constexpr std::array<std::string_view, 14> kQtOptionsWithValue{
    "platform",    "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "style",  "stylesheet",
    "display",     "geometry",           "name",          "title"};
constexpr std::array<std::string_view, 5> kQtOptions{"reverse", "widgetcount", "nograb", "dograb", "sync"};

struct Arguments {
    bool help = false;
    bool version = false;
    std::string unknown;  // the first option neither ours nor Qt's
    std::vector<std::string> images;
};

bool isOneOf(std::string_view name, auto names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// The command line as main receives it, before any display is needed, so
// that help, version and every refusal work on a machine without one.
Arguments parse(int argc, char* argv[])
{
    Arguments parsed;
    bool optionsOver = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (optionsOver || argument.size() < 2 || argument.front() != '-') {
            parsed.images.emplace_back(argument);
        } else if (argument == "--") {
            optionsOver = true;
        } else if (argument == "-h" || argument == "--help") {
            parsed.help = true;
        } else if (argument == "-v" || argument == "--version") {
            parsed.version = true;
        } else {
            std::string_view name = argument.substr(argument.starts_with("--") ? 2 : 1);
            name = name.substr(0, name.find('='));
            if (isOneOf(name, kQtOptionsWithValue) && argument.find('=') == std::string_view::npos) {
                ++i;
            } else if (!isOneOf(name, kQtOptionsWithValue) && !isOneOf(name, kQtOptions) &&
                       parsed.unknown.empty()) {
                parsed.unknown = argument;
            }
        }
    }
    return parsed;
}

void refuseWithoutDisplay(QtMsgType type, const QMessageLogContext& /*context*/, const QString& /*message*/)
{
    if (type == QtFatalMsg) {
        static_cast<void>(vardane::tellOnStream(stderr, kNoDisplay));
        std::_Exit(kRefused);
    }
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

bool vardane::tellOnStream(std::FILE* stream, const std::string& text)
{
    return std::fputs(text.c_str(), stream) >= 0 && std::fflush(stream) == 0;
}

int vardane::startWindow(int& argc, char* argv[], bool displayReachable, Tell tell,
                         const CommandLineTexts& texts)
{
    const auto refuse = [tell](const std::string& text) {
        static_cast<void>(tell(stderr, text));
        return kRefused;
    };
    const Arguments arguments = parse(argc, argv);
    if (!arguments.unknown.empty()) {
        return refuse(kUnknownOption + arguments.unknown + kSeeHelp);
    }
    if (arguments.images.size() > 1) {
        return refuse(texts.severalImages);
    }
    if (arguments.help) {
        return tell(stdout, texts.usage) ? 0 : kRefused;
    }
    if (arguments.version) {
        return tell(stdout, "vardane " + std::string(vardane::kVersion) + '\n') ? 0 : kRefused;
    }
    if (!displayReachable) {
        return refuse(kNoDisplay);
    }

    // A display named but out of reach fails inside Qt: only its fatal line
    // is answered, in French, and its warnings about plugins are not shown.
    qInstallMessageHandler(refuseWithoutDisplay);
    QApplication application(argc, argv);
    qInstallMessageHandler(nullptr);
    QGuiApplication::setDesktopFileName("invalid.vardane.Vardane");

    const auto french = vardane::ui::speakFrench();
    QApplication::setFont(vardane::ui::windowsFont(vardane::ui::DrawnWith::arial, 8.25));
    QApplication::setWindowIcon(windowIcon());
    vardane::ui::DesktopServices services;
    // Deletes itself when closed; dialogs may outlive it, and the program
    // ends with the last window.
    auto* window = new vardane::ui::MainWindow(services);
    window->show();
    if (!arguments.images.empty()) {
        window->openFile(vardane::argumentPath(arguments.images.front()));
    }
    return QApplication::exec();
}
