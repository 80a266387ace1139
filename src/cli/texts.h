// The fixed French texts of vardane-cli. The captions are the main window's,
// so a line of `info` reads like the row the window shows.
#pragma once

#include <string_view>

namespace vardane::cli {

inline constexpr std::string_view kProgramName = "vardane-cli";

inline constexpr std::string_view kFileTitleCaption = "Nom du fichier :";
inline constexpr std::string_view kFileSizeCaption = "Taille du fichier :";
inline constexpr std::string_view kHeaderCaption = "Entête du BIOS :";
inline constexpr std::string_view kVersionCaption = "Version du BIOS :";
inline constexpr std::string_view kGpuCaption = "Type de GPU :";
inline constexpr std::string_view kSbaCaption = "SideBand Adressing Activé :";
inline constexpr std::string_view kMemClockCaption = "Frequence Mémoire (DDR) :";
inline constexpr std::string_view kCoreClockCaption = "Frequence Core :";
inline constexpr std::string_view kChecksumCaption = "CheckSum : ";

inline constexpr std::string_view kUsage =
    "Usage :\n"
    "  vardane-cli info [--json] IMAGE...      montre ce que la fenêtre montre à l'ouverture\n"
    "  vardane-cli verify IMAGE...             vérifie le checksum (statut 1 s'il n'est pas valide)\n"
    "  vardane-cli fix IMAGE...                corrige le checksum (réécrit l'octet 0xBBFF)\n"
    "  vardane-cli diff [--json] IMAGE_A IMAGE_B   ce qui diffère entre deux images (statut 1)\n"
    "  vardane-cli set-mem [--ouf] MHZ IMAGE   fréquence mémoire DDR (200..600, --ouf : 100..1000)\n"
    "  vardane-cli set-core [--ouf] MHZ IMAGE  fréquence du core (75..350, --ouf : 20..450)\n"
    "  vardane-cli sba on|off IMAGE            active ou désactive le SideBand Adressing\n"
    "  vardane-cli header TEXTE IMAGE          réécrit l'entête du BIOS\n"
    "  vardane-cli --help | --version\n"
    "IMAGE... : une ou plusieurs images, ou - pour lire les chemins sur l'entrée standard,\n"
    "un par ligne ; chaque image est alors précédée d'une ligne ==> CHEMIN <== (avec --json,\n"
    "un objet JSON par ligne, avec son chemin).\n"
    "MHZ s'écrit avec un point : 460, 333.5.\n"
    "Statut : 0 réussite, 1 checksum non valide (verify) ou images différentes (diff),\n"
    "2 refus : rien n'est écrit, sauf si le refus dit que le fichier est peut-être endommagé.\n";
inline constexpr std::string_view kHelpOption = "Affiche cette aide.";
inline constexpr std::string_view kVersionOption = "Affiche la version.";
inline constexpr std::string_view kJsonOption = "Du JSON au lieu des lignes.";
inline constexpr std::string_view kOufOption = "Plage étendue du \"Ouf Mode\".";

// Refusals: one line each on standard error.
inline constexpr std::string_view kMissingCommand = "commande manquante (vardane-cli --help)";
inline constexpr std::string_view kUnknownCommand = "commande inconnue : ";
inline constexpr std::string_view kUnknownOption = "option inconnue : ";
inline constexpr std::string_view kArgumentsBeforeCommand = "la commande vient avant ses options : ";
inline constexpr std::string_view kBadProgramArguments = "arguments incorrects (vardane-cli --help)";
inline constexpr std::string_view kWrongArguments = "arguments incorrects, attendu : vardane-cli ";
inline constexpr std::string_view kStandardInputAlone = "- se donne seul, sans autre image";
inline constexpr std::string_view kNulInPath =
    "chemin contenant un caractère nul (un par ligne, sans -print0)";
inline constexpr std::string_view kNothingWritten = " (rien n'a été écrit)";

inline constexpr std::string_view kChecksumRegionMissing =
    "fichier trop court pour la zone du checksum (0x0000..0xBBFF)";
inline constexpr std::string_view kCannotRead = "impossible de lire le fichier";
inline constexpr std::string_view kCannotWrite = "impossible d'écrire dans le fichier";
inline constexpr std::string_view kFileChanged = "le fichier a changé depuis sa lecture";
// Said instead of "nothing was written": the only refusal after which the
// file may not be as it was.
inline constexpr std::string_view kFileMayBeDamaged =
    "l'écriture a échoué en cours de route et les anciens octets n'ont pas pu être remis : le fichier "
    "est peut-être endommagé, restaurez-en une copie";

inline constexpr std::string_view kSumCaption = "Somme : ";
inline constexpr std::string_view kByteWritten = "Octet écrit en 0xBBFF : ";
inline constexpr std::string_view kByteWas = ", au lieu de ";
inline constexpr std::string_view kNothingToFix = "Rien à écrire : la somme est déjà 0";

inline constexpr std::string_view kBadMegahertz =
    "fréquence invalide (un nombre avec un point, par exemple 333.5) : ";
inline constexpr std::string_view kMegahertzOutOfRange = "fréquence hors plage : ";
inline constexpr std::string_view kNoClockKey = "pas de marqueur \"r7\" dans l'image";
inline constexpr std::string_view kRevalidateChecksum =
    "Le checksum n'est pas corrigé : lancez vardane-cli fix IMAGE";

inline constexpr std::string_view kBadSbaArgument = "on ou off attendu : ";
inline constexpr std::string_view kSbaUndecided = "état du SideBand Adressing indéterminé : ???";
inline constexpr std::string_view kSbaAlreadyOn =
    "Le SideBand Adressing est déjà activé : rien n'a été écrit";
inline constexpr std::string_view kSbaAlreadyOff =
    "Le SideBand Adressing est déjà désactivé : rien n'a été écrit";

inline constexpr std::string_view kNoHeader = "pas de marqueur \"Version\" dans l'image, pas d'entête";
inline constexpr std::string_view kNoHeaderField = "pas de retour chariot dans les 51 octets de l'entête";
inline constexpr std::string_view kEmptyHeaderField = "le champ de l'entête a une largeur de 0";
inline constexpr std::string_view kHeaderTooLong = "texte trop long pour le champ de l'entête, largeur ";
inline constexpr std::string_view kUnrepresentable = "caractère impossible à écrire en Windows-1252";
inline constexpr std::string_view kControlCharacter = "caractère de contrôle interdit dans l'entête";
inline constexpr std::string_view kHeaderWritten = "Entête écrite : ";
inline constexpr std::string_view kBytes = " octets";

inline constexpr std::string_view kIdentical = "Images identiques";
inline constexpr std::string_view kDifferingBytes = "Octets ";
inline constexpr std::string_view kLengths = "Longueurs : ";
inline constexpr std::string_view kChangedTo = " -> ";

}  // namespace vardane::cli
