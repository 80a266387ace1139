#include "ui/texts.h"

#include "qt/qt_text.h"

namespace vardane::ui {

namespace {

constexpr const char* kNothingWritten = "\nVardane n'y a rien écrit.";

const char* reason(Refusal refusal)
{
    switch (refusal) {
        case Refusal::absent:
            return "Ce fichier n'existe pas (déplacé ou supprimé ?).";
        case Refusal::notRegular:
            return "Ce n'est pas un fichier ordinaire (dossier, tube ou périphérique).";
        case Refusal::denied:
            return "Vous n'avez pas le droit de lire ce fichier.";
        case Refusal::readError:
            return "Le système n'a pas pu lire le fichier.";
        case Refusal::notWritable:
            return "Impossible d'écrire dans le fichier (protégé en écriture ?).";
        case Refusal::noSpace:
            return "Le disque est plein, ou le quota de l'utilisateur est atteint : le fichier ne peut "
                   "pas être écrit.";
        case Refusal::locked:
            return "Un autre programme est en train d'écrire dans ce fichier : réessayez dans un instant.";
        case Refusal::lockedByReader:
            return "Un autre programme est en train de lire ce fichier : réessayez dans un instant.";
        case Refusal::replaced:
            return "Le fichier de ce nom a été remplacé par un autre depuis son ouverture. Pour travailler "
                   "sur le nouveau, choisissez Fichier > Fermer, puis Ouvrir.";
        case Refusal::notAnImage:
            return "La taille de ce fichier a changé depuis son ouverture : ce n'est plus un BIOS de "
                   "GeForce.";
        case Refusal::tooShort:
            return "Ce fichier est trop court pour contenir la zone du checksum (0x0000 à 0xBBFF).";
        case Refusal::changed:
            return "Le fichier a été modifié par un autre programme depuis sa lecture : la fenêtre "
                   "principale montre maintenant ce qu'il contient.";
        case Refusal::damaged:
            return "L'écriture a échoué en cours de route et les anciens octets n'ont pas pu être remis en "
                   "place : le fichier est peut-être endommagé.\nRestaurez-en une copie avant de le flasher.";
        case Refusal::noClockKey:
            return "L'emplacement des fréquences est inconnu : cette image n'a pas de repère « r7 », ou n'a "
                   "pas pu être ouverte jusqu'à lui.";
        case Refusal::clockOutOfRange:
            return "Cette fréquence est hors de la plage du curseur : choisissez-la avec le curseur.";
        case Refusal::sbaUndecided:
        case Refusal::noSbaByte:
            return "Aucun octet de SideBand Adressing n'a été trouvé dans ce BIOS.";
        case Refusal::noHeader:
            return "Ce BIOS n'a pas d'entête modifiable : le repère « Version » est introuvable.";
        case Refusal::noHeaderField:
            return "L'entête de ce BIOS ne se termine par aucun retour chariot dans ses 51 premiers octets : "
                   "sa longueur est inconnue.";
        case Refusal::emptyHeaderField:
            return "L'entête de ce BIOS est vide (un retour chariot dès son premier octet) : il ne peut pas "
                   "être modifié sans déplacer ce qui le suit.";
        case Refusal::textTooLong:
        case Refusal::unrepresentable:
        case Refusal::controlCharacter:
            return "Ce texte ne peut pas être écrit dans l'entête : chaque caractère doit exister dans "
                   "le jeu Windows-1252, sans caractère de contrôle, et le texte ne doit pas être plus long "
                   "que l'entête.";
        case Refusal::lengthChanged:
            return "La longueur du fichier n'est plus celle qu'il avait à l'ouverture : aucune écriture ne "
                   "change la longueur d'un fichier.";
    }
    return "";
}

}  // namespace

QString causeText(Refusal refusal)
{
    return QString::fromUtf8(reason(refusal));
}

QString withNothingWritten(const QString& text)
{
    return text + QString::fromUtf8(kNothingWritten);
}

QString refusalText(Refusal refusal)
{
    return refusal == Refusal::damaged ? causeText(refusal) : withNothingWritten(causeText(refusal));
}

QString captioned(std::string_view caption, const QString& value)
{
    return (qtText(caption).trimmed() + ' ' + value).trimmed();
}

}  // namespace vardane::ui
