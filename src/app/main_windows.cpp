#include "app/box_windows.h"
#include "app/window_start.h"
#include "system/arguments_windows.h"
#include "text/encoding.h"

#include <windows.h>

#include <string>
#include <vector>

// The C runtime expands `*` and `?` in the arguments (see
// arguments_windows.h): a pattern that names several images is refused as
// several names are.
extern "C" {
int _dowildcard = -1;
}

namespace {

// For a box, in a proportional font: no columns lined up with spaces. The
// no-break spaces keep each colon with its word, as French sets it.
constexpr vardane::CommandLineTexts kTexts{
    "Usage\u00A0: vardane [IMAGE]\n"
    "Inspecte et modifie l'image du BIOS vidéo d'une carte GeForce.\n"
    "\n"
    "IMAGE\u00A0: l'image à ouvrir au démarrage, comme le ferait «\u00A0Ouvrir\u00A0»\u00A0; "
    "une image déposée sur vardane.exe s'ouvre de même.\n"
    "-h, --help ou /?\u00A0: affiche cette aide.\n"
    "-v, --version\u00A0: affiche la version.\n"
    "\n"
    "vardane-cli.exe fait le même travail en ligne de commande (vardane-cli --help).\n",
    "vardane\u00A0: Vardane ouvre une image à la fois\u00A0: déposez-en une seule sur vardane.exe, ou "
    "choisissez-la par Fichier > Ouvrir.\n",
};

// A program of the desktop has standard streams only where they are
// redirected: started from Explorer, with images dropped on its icon, it has
// none, and on older Windows the console's cannot be written. Its help,
// version and refusals then show in a box instead of going nowhere; a stream
// that is there but failed still makes help or the version a refusal.
bool tell(std::FILE* stream, const std::string& text)
{
    const HANDLE handle = GetStdHandle(stream == stdout ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    const bool hasStream = handle != nullptr && handle != INVALID_HANDLE_VALUE;
    if (hasStream && vardane::tellOnStream(stream, text)) {
        return true;
    }
    // The text is WTF-8 made from the command line's UTF-16, so it always converts.
    const std::u16string units = vardane::utf16FromWtf8(text).value_or(std::u16string());
    const std::wstring wide(units.begin(), units.end());
    vardane::showBox(wide, stream == stdout ? MB_ICONINFORMATION : MB_ICONERROR);
    return !hasStream;
}

}  // namespace

// Windows always has a display.
int wmain(int argc, wchar_t* argv[])
{
    std::vector<std::string> arguments = vardane::system::wtf8Arguments(argc, argv);
    std::vector<char*> bytes;
    for (std::string& argument : arguments) {
        bytes.push_back(argument.data());
    }
    bytes.push_back(nullptr);
    // Not argc: with "/?" the words are those typed, unexpanded.
    int count = static_cast<int>(arguments.size());
    return vardane::startWindow(count, bytes.data(), true, tell, kTexts);
}
