// Where texts cross between the core and Qt, for the windows.
#pragma once

#include "text/encoding.h"

#include <QList>
#include <QString>
#include <string>
#include <string_view>

namespace vardane {

[[nodiscard]] inline QString qtText(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The characters of a text as the core takes them.
[[nodiscard]] inline std::u32string codePoints(const QString& text)
{
    const QList<uint> ucs4 = text.toUcs4();
    return {ucs4.begin(), ucs4.end()};
}

// Characters unsafe to show that a text may hold (NUL, CR, LF and the like)
// shown as the stand-in, "?" unless a view asks otherwise, so that they can
// neither break a line nor make the text read as another. Each is one UTF-16
// unit.
[[nodiscard]] inline QString withStandIns(QString text, QChar standIn = u'?')
{
    for (QChar& character : text) {
        if (isUnsafeToShow(character.unicode())) {
            character = standIn;
        }
    }
    return text;
}

}  // namespace vardane
