// Window layouts are given in twips (1/1440 inch): 15 twips are one pixel at
// 96 dpi, and the screen's logical dpi scales them.
#pragma once

#include <QFrame>
#include <QWidget>

namespace vardane::ui {

[[nodiscard]] inline int twipsToPixels(const QWidget* widget, int twips)
{
    return (twips * widget->logicalDpiX() + 720) / 1440;
}

// Places a child at left, top, width, height given in twips.
inline void placeInTwips(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsToPixels(widget, left), twipsToPixels(widget, top), twipsToPixels(widget, width),
                        twipsToPixels(widget, height));
}

// Gives a window a fixed client area of width x height twips.
inline void setClientSizeInTwips(QWidget* window, int width, int height)
{
    window->setFixedSize(twipsToPixels(window, width), twipsToPixels(window, height));
}

// A horizontal rule from (0, top) to (width, top), in twips.
inline QFrame* addRuleInTwips(QWidget* parent, const char* objectName, int top, int width)
{
    auto* rule = new QFrame(parent);
    rule->setObjectName(objectName);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    rule->setGeometry(0, twipsToPixels(rule, top) - 1, twipsToPixels(rule, width), 2);
    return rule;
}

}  // namespace vardane::ui
