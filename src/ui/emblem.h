// Vardane's own picture: a small graphics card in black, greys and green,
// painted in code so it costs no file and no decoder at start-up.
#pragma once

#include <QPixmap>

namespace vardane::ui {

[[nodiscard]] QPixmap paintEmblem(int side);

}  // namespace vardane::ui
