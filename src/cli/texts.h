// The fixed French texts of vardane-cli. The captions of the facts are the
// main window's and come from the core; these are the CLI's own.
#pragma once

#include <string_view>

namespace vardane::cli {

inline constexpr std::string_view kProgramName = "vardane-cli";

inline constexpr std::string_view kUsageTitle = "Usage :\n";
// The notes after the commands, around the three lines that each system says
// its own way (usage.h).
inline constexpr std::string_view kUsageListStart =
    "IMAGE... : une ou plusieurs images, ou - pour lire les chemins sur l'entrée standard,\n";
inline constexpr std::string_view kUsageListEnd =
    "chaque image est alors précédée d'une ligne ==> CHEMIN <== (avec --json, un objet JSON\n"
    "par ligne, avec son chemin). Une liste vide ne traite aucune image (statut 0) ; une\n"
    "liste illisible est refusée (statut 2), et une ligne de plus de 4096 octets aussi.\n";
inline constexpr std::string_view kUsageStatus =
    "MHZ s'écrit avec un point : 460, 333.5.\n"
    "Statut : 0 réussite, 1 checksum non valide (verify) ou images différentes (diff),\n"
    "2 refus : rien n'est écrit, sauf si le refus dit que le fichier est peut-être endommagé ;\n"
    "une sortie standard perdue arrête la commande sans défaire ce qu'elle a déjà écrit.\n";
inline constexpr std::string_view kUsageLocksEnd =
    " : un verrou tenu plus de 2 s par\nun autre programme fait refuser la commande.\n";

// Refusals of the command line: one line each on standard error.
inline constexpr std::string_view kMissingCommand = "commande manquante (vardane-cli --help)";
inline constexpr std::string_view kUnknownCommand = "commande inconnue : ";
inline constexpr std::string_view kUnknownOption = "option inconnue : ";
inline constexpr std::string_view kOptionsBeforeCommand = "la commande vient avant ses options : ";
inline constexpr std::string_view kWrongArguments = "arguments incorrects, attendu : vardane-cli ";
inline constexpr std::string_view kStandardInputAlone = "- se donne seul, sans autre image";
inline constexpr std::string_view kNulInPath =
    "chemin contenant un caractère nul (un par ligne, sans -print0)";
// Only a Windows list gives one, from a tool that saved it in another
// character set, or from cmd in its code page.
inline constexpr std::string_view kNotUtf8Name =
    "chemin qui n'est pas de l'UTF-8 : enregistrez la liste en UTF-8 (dans cmd, tapez d'abord chcp 65001)";
inline constexpr std::string_view kLineTooLong =
    "ligne de plus de 4096 octets, qui ne peut nommer aucun fichier";

// Refusals of standard input and output.
inline constexpr std::string_view kCannotWriteOutput = "impossible d'écrire sur la sortie standard";
inline constexpr std::string_view kCannotReadList = "impossible de lire la liste des images : ";
inline constexpr std::string_view kListIsFolder = "l'entrée standard est un dossier";
inline constexpr std::string_view kListClosed = "l'entrée standard est fermée";
inline constexpr std::string_view kListReadFailed = "erreur de lecture de l'entrée standard";

// The words of the core's refusals (see reasonFor).
inline constexpr std::string_view kAbsent = "ce fichier n'existe pas";
inline constexpr std::string_view kNotRegular =
    "ce n'est pas un fichier ordinaire (dossier, tube ou périphérique)";
inline constexpr std::string_view kDenied = "vous n'avez pas le droit de lire ce fichier";
inline constexpr std::string_view kReadError = "le système n'a pas pu lire le fichier";
inline constexpr std::string_view kCannotWrite = "impossible d'écrire dans le fichier";
inline constexpr std::string_view kNoSpace = "plus de place sur le disque (ou quota atteint)";
inline constexpr std::string_view kLocked = "un autre programme est en train d'écrire dans ce fichier";
inline constexpr std::string_view kLockedByReader = "un autre programme est en train de lire ce fichier";
inline constexpr std::string_view kReplaced =
    "le fichier de ce nom a été remplacé par un autre depuis sa lecture";
inline constexpr std::string_view kChecksumRegionMissing =
    "fichier trop court pour la zone du checksum (0x0000..0xBBFF)";
inline constexpr std::string_view kFileChanged = "le fichier a changé depuis sa lecture";
inline constexpr std::string_view kFileMayBeDamaged =
    "l'écriture a échoué en cours de route et les anciens octets n'ont pas pu être remis : le fichier "
    "est peut-être endommagé, restaurez-en une copie";
inline constexpr std::string_view kNoClockKey =
    "Erreur lors de l'ouverture du fichier : pas de marqueur \"r7\" dans l'image";
inline constexpr std::string_view kMegahertzOutOfRange = "fréquence hors plage : ";
inline constexpr std::string_view kSbaUndecided = "état du SideBand Adressing indéterminé : ???";
inline constexpr std::string_view kNoHeader = "pas de marqueur \"Version\" dans l'image, pas d'entête";
inline constexpr std::string_view kNoHeaderField = "pas de retour chariot dans les 51 octets de l'entête";
inline constexpr std::string_view kEmptyHeaderField = "le champ de l'entête a une largeur de 0";
inline constexpr std::string_view kHeaderTooLong = "texte trop long pour le champ de l'entête, largeur ";
inline constexpr std::string_view kUnrepresentable = "caractère impossible à écrire en Windows-1252";
inline constexpr std::string_view kControlCharacter = "caractère de contrôle interdit dans l'entête";
inline constexpr std::string_view kLengthChanged = "la longueur du fichier a changé";
inline constexpr std::string_view kNothingWritten = " (rien n'a été écrit)";

inline constexpr std::string_view kSumCaption = "Somme : ";
inline constexpr std::string_view kByteWritten = "Octet écrit en 0xBBFF : ";
inline constexpr std::string_view kByteWas = ", au lieu de ";
inline constexpr std::string_view kNothingToFix = "Rien à écrire : la somme est déjà 0";

inline constexpr std::string_view kBadMegahertz =
    "fréquence invalide (un nombre avec un point, par exemple 333.5) : ";
inline constexpr std::string_view kRevalidateChecksum =
    "Le checksum n'est pas corrigé : lancez vardane-cli fix IMAGE";

inline constexpr std::string_view kBadSbaArgument = "on ou off attendu : ";
inline constexpr std::string_view kSbaAlreadyOn =
    "Le SideBand Adressing est déjà activé : rien n'a été écrit";
inline constexpr std::string_view kSbaAlreadyOff =
    "Le SideBand Adressing est déjà désactivé : rien n'a été écrit";

inline constexpr std::string_view kHeaderWritten = "Entête écrite : ";
inline constexpr std::string_view kBytes = " octets";

inline constexpr std::string_view kIdentical = "Images identiques";
inline constexpr std::string_view kDifferingBytes = "Octets ";
inline constexpr std::string_view kLengths = "Longueurs : ";
inline constexpr std::string_view kChangedTo = " -> ";

}  // namespace vardane::cli
