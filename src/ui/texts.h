// Texts that more than one window shows, and the one place where the windows
// turn a refusal of the core into words.
#pragma once

#include "image/outcome.h"

#include <QString>

namespace vardane::ui {

inline constexpr const char* kAppliedTitle = "Modification effectuée";
inline constexpr const char* kProblemTitle = "Probleme";

// Why an operation refused, in one sentence.
[[nodiscard]] QString causeText(Refusal refusal);

// A refusal's words, and that the file is as it was.
[[nodiscard]] QString withNothingWritten(const QString& text);

// What the user reads when an operation refused: why, and whether the file
// is as it was.
[[nodiscard]] QString refusalText(Refusal refusal);

// The shown value of a row, as a screen reader announces it: with its caption.
[[nodiscard]] QString captioned(std::string_view caption, const QString& value);

}  // namespace vardane::ui
