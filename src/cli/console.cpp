#include "cli/console.h"

#include "cli/texts.h"
#include "compare/wording.h"
#include "text/encoding.h"

namespace vardane::cli {
namespace {

// Offsets and bytes of the image are upper case, as the window writes them.
constexpr std::string_view kUpperHex = "0123456789ABCDEF";

}  // namespace

std::string_view reasonFor(Refusal why)
{
    switch (why) {
        case Refusal::absent:
            return kAbsent;
        case Refusal::notRegular:
            return kNotRegular;
        case Refusal::denied:
            return kDenied;
        case Refusal::readError:
            return kReadError;
        case Refusal::notWritable:
            return kCannotWrite;
        case Refusal::noSpace:
            return kNoSpace;
        case Refusal::locked:
            return kLocked;
        case Refusal::lockedByReader:
            return kLockedByReader;
        case Refusal::replaced:
            return kReplaced;
        case Refusal::notAnImage:
            return kNotAnImageMessage;
        case Refusal::tooShort:
            // Every field lies inside the checksum region, so a file too short
            // for any read or write is too short for the region.
            return kChecksumRegionMissing;
        case Refusal::changed:
            return kFileChanged;
        case Refusal::damaged:
            return kFileMayBeDamaged;
        case Refusal::noClockKey:
            return kNoClockKey;
        case Refusal::clockOutOfRange:
            return kMegahertzOutOfRange;
        case Refusal::sbaUndecided:
        case Refusal::noSbaByte:
            return kSbaUndecided;
        case Refusal::noHeader:
            return kNoHeader;
        case Refusal::noHeaderField:
            return kNoHeaderField;
        case Refusal::emptyHeaderField:
            return kEmptyHeaderField;
        case Refusal::textTooLong:
            return kHeaderTooLong;
        case Refusal::unrepresentable:
            return kUnrepresentable;
        case Refusal::controlCharacter:
            return kControlCharacter;
        case Refusal::lengthChanged:
            break;
    }
    return kLengthChanged;
}

int refuse(const Console& console, std::string_view reason)
{
    console.err << std::string(kProgramName) + " : " + console.reasonPrefix + printable(reason) + '\n';
    return kExitRefused;
}

int refuseWrite(const Console& console, std::string_view reason)
{
    return refuse(console, std::string(reason) + std::string(kNothingWritten));
}

int refuseWrite(const Console& console, Refusal why, std::string_view detail)
{
    if (why == Refusal::damaged) {
        return refuse(console, reasonFor(why));
    }
    return refuseWrite(console, std::string(reasonFor(why)) + std::string(detail));
}

std::string printable(std::string_view text)
{
    std::string shown;
    while (!text.empty()) {
        const auto sequence = firstUtf8Sequence(text);
        const std::size_t length = sequence ? sequence->length : 1;
        if (sequence && !isUnsafeToShow(sequence->codePoint)) {
            shown += text.substr(0, length);
        } else {
            shown += '?';
        }
        text.remove_prefix(length);
    }
    return shown;
}

std::string hexText(std::uint64_t value, int digits)
{
    std::string text;
    for (int shown = 0; shown < digits || value != 0; ++shown, value /= 16) {
        text.insert(text.begin(), kUpperHex[value % 16]);
    }
    return "0x" + text;
}

}  // namespace vardane::cli
