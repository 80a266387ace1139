#include "checksum/checksum.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/images.h"
#include "cli/texts.h"
#include "image/open_image.h"

namespace vardane::cli {
namespace {

std::string_view reason(ChecksumError error)
{
    switch (error) {
        case ChecksumError::notAnImage:
            return kNotAnImageMessage;
        case ChecksumError::regionMissing:
            return kChecksumRegionMissing;
        case ChecksumError::writeFailed:
            return kCannotWrite;
        case ChecksumError::changed:
            return kFileChanged;
        case ChecksumError::damaged:
            return kFileMayBeDamaged;
        case ChecksumError::unreachable:
            break;
    }
    return kCannotRead;
}

void printState(std::ostream& out, bool valid)
{
    out << kChecksumCaption << (valid ? kChecksumValid : kChecksumInvalid) << '\n';
}

int verify(const ImageArgument& image, Console& console)
{
    const auto sum = verifyChecksum(image.path);
    if (!sum) {
        return refuse(console, reason(sum.error()));
    }
    console.out << kSumCaption << int{*sum} << " (" << hexText(*sum, 2) << ")\n";
    printState(console.out, *sum == 0);
    return *sum == 0 ? kExitSuccess : kExitInvalidChecksum;
}

int fix(const ImageArgument& image, Console& console)
{
    const auto correction = correctChecksum(image.path);
    if (!correction) {
        return refuseWrite(console, reason(correction.error()));
    }
    if (correction->written) {
        console.out << kByteWritten << hexText(correction->byteAfter, 2) << kByteWas
                    << hexText(correction->byteBefore, 2) << '\n';
    } else {
        console.out << kNothingToFix << '\n';
    }
    printState(console.out, true);
    return kExitSuccess;
}

template <int (*OnEach)(const ImageArgument&, Console&)>
int onEachImage(const CommandArguments& parsed, Console& console)
{
    return forEachImage(parsed.positionals, console, Headers::perImage,
                        [](const ImageArgument& image, Console& one, bool) { return OnEach(image, one); });
}

}  // namespace

int runVerify(const QStringList& arguments, Console& console)
{
    return withArguments(arguments, {"verify IMAGE...", {}, {}, 1, true}, console, onEachImage<verify>);
}

int runFix(const QStringList& arguments, Console& console)
{
    return withArguments(arguments, {"fix IMAGE...", {}, {}, 1, true}, console, onEachImage<fix>);
}

}  // namespace vardane::cli
