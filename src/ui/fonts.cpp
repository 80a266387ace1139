#include "ui/fonts.h"

#include <QStringList>

namespace vardane::ui {

QFont windowsFont(DrawnWith family, qreal points, bool bold, bool italic)
{
    QFont font;
    switch (family) {
        case DrawnWith::arial:
            font.setFamilies({"Arial", "Liberation Sans", "Nimbus Sans", "Helvetica"});
            font.setStyleHint(QFont::SansSerif);
            break;
        case DrawnWith::msSansSerif:
            font.setFamilies(
                {"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans", "Nimbus Sans"});
            font.setStyleHint(QFont::SansSerif);
            break;
        case DrawnWith::timesNewRoman:
            font.setFamilies({"Times New Roman", "Liberation Serif", "Nimbus Roman", "Times"});
            font.setStyleHint(QFont::Serif);
            break;
    }
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

}  // namespace vardane::ui
