#include "cli/console.h"

#include "cli/texts.h"
#include "qt/qt_text.h"

#include <QString>

namespace vardane::cli {

std::string printable(std::string_view utf8)
{
    QString text = qtText(utf8);
    for (QChar& character : text) {
        if (character.category() == QChar::Other_Control) {
            character = u'?';
        }
    }
    return text.toStdString();
}

int refuse(Console& console, std::string_view reason)
{
    console.err << kProgramName << " : " << printable(reason) << '\n';
    return kExitRefused;
}

int refuseWrite(Console& console, std::string_view reason)
{
    return refuse(console, std::string(reason) + std::string(kNothingWritten));
}

}  // namespace vardane::cli
