#include "app/window_start.h"

#include <cstdlib>

namespace {

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
    return vardane::startWindow(argc, argv, displayReachable(), vardane::tellOnStream);
}
