// The windows were drawn with Windows fonts; where those are missing, their
// metric twins keep every text inside the place drawn for it.
#pragma once

#include <QFont>

namespace vardane::ui {

enum class DrawnWith { arial, msSansSerif, timesNewRoman };

[[nodiscard]] QFont windowsFont(DrawnWith family, qreal points, bool bold = false, bool italic = false);

}  // namespace vardane::ui
