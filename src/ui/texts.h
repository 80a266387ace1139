// Texts that more than one window shows.
#pragma once

namespace vardane::ui {

inline constexpr const char* kAppliedTitle = "Modification effectuée";

// The one refusal after which the file may not be as it was.
inline constexpr const char* kMayBeDamagedText =
    "L'écriture a échoué en cours de route et les anciens octets n'ont pas pu être remis en place : "
    "le fichier est peut-être endommagé.\nRestaurez-en une copie avant de le flasher.";

}  // namespace vardane::ui
