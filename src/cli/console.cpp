#include "cli/console.h"

#include "cli/texts.h"
#include "qt/qt_text.h"

namespace vardane::cli {

std::string printable(std::string_view utf8)
{
    return withStandIns(qtText(utf8)).toStdString();
}

std::string hexText(std::uint64_t value, int digits)
{
    return QString::asprintf("0x%0*llX", digits, static_cast<unsigned long long>(value)).toStdString();
}

int refuse(Console& console, std::string_view reason)
{
    console.err << kProgramName << " : " << printable(console.reasonPrefix) << printable(reason) << '\n';
    return kExitRefused;
}

int refuseWrite(Console& console, std::string_view reason)
{
    if (reason == kFileMayBeDamaged) {
        return refuse(console, reason);
    }
    return refuse(console, std::string(reason) + std::string(kNothingWritten));
}

}  // namespace vardane::cli
