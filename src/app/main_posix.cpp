#include "app/window_start.h"

#include <cstdlib>

namespace {

constexpr vardane::CommandLineTexts kTexts{
    "Usage : vardane [IMAGE]\n"
    "Inspecte et modifie l'image du BIOS vidéo d'une carte GeForce.\n"
    "\n"
    "  IMAGE          l'image à ouvrir au démarrage, comme le ferait « Ouvrir »\n"
    "  -h, --help     affiche cette aide\n"
    "  -v, --version  affiche la version\n"
    "\n"
    "Sans écran, vardane-cli fait le même travail en ligne de commande (vardane-cli --help).\n",
    "vardane : arguments incorrects (vardane --help)\n",
};

// Without a display Qt would abort with English lines about its platform
// plugins; the user is told in one French line, and where to turn.
bool displayReachable()
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char* argv[])
{
    return vardane::startWindow(argc, argv, displayReachable(), vardane::tellOnStream, kTexts);
}
