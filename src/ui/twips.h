// Window layouts are given in twips (1/1440 inch): 15 twips are one pixel at
// 96 dpi, and the screen's logical dpi scales them.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QWidget>

namespace vardane::ui {

// Left, top, width and height, from the top-left corner of the client area.
struct Twips {
    int left, top, width, height;
};

[[nodiscard]] inline int twipsToPixels(const QWidget* widget, int twips)
{
    return (twips * widget->logicalDpiX() + 720) / 1440;
}

inline void placeInTwips(QWidget* widget, Twips place)
{
    widget->setGeometry(twipsToPixels(widget, place.left), twipsToPixels(widget, place.top),
                        twipsToPixels(widget, place.width), twipsToPixels(widget, place.height));
}

// Gives a window a fixed client area of width x height twips.
inline void setClientSizeInTwips(QWidget* window, int width, int height)
{
    window->setFixedSize(twipsToPixels(window, width), twipsToPixels(window, height));
}

// A label of plain text, so that no text of an image is read as markup.
inline QLabel* addLabel(QWidget* parent, const char* objectName, const QString& caption, Twips place)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    placeInTwips(label, place);
    return label;
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
