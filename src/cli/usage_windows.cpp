#include "cli/usage.h"

namespace vardane::cli {

SystemUsage systemUsage()
{
    return {
        .listLines = "un par ligne, en UTF-8 (avec ou sans BOM) ou en UTF-16 avec son BOM ; un retour chariot\n"
                     "avant le saut de ligne termine la ligne ;\n",
        .shownNames =
            "Dans un chemin affiché, un octet qui n'est pas de l'UTF-8 et un caractère de contrôle,\n"
            "de direction ou invisible s'écrivent \\xHH ; la barre oblique inverse sépare les dossiers.\n",
        .locks = "Les écritures se font à tour de rôle (verrou LockFileEx)",
    };
}

}  // namespace vardane::cli
