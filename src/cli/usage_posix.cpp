#include "cli/usage.h"

namespace vardane::cli {

SystemUsage systemUsage()
{
    return {
        .listLines =
            "un par ligne, exactement les octets avant le saut de ligne (un retour chariot compris) ;\n",
        .shownNames =
            "Dans un chemin affiché, un octet qui n'est pas de l'UTF-8, un caractère de contrôle,\n"
            "de direction ou invisible, et la barre oblique inverse s'écrivent \\xHH.\n",
        .locks = "Les écritures se font à tour de rôle (verrous fcntl)",
    };
}

}  // namespace vardane::cli
