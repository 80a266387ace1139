#include "checksum/checksum.h"
#include "cli/commands.h"
#include "cli/images.h"
#include "cli/texts.h"
#include "compare/wording.h"

namespace vardane::cli {
namespace {

void printState(std::ostream& out, bool valid)
{
    out << nameOf(FactKey::checksum).caption << (valid ? kChecksumValid : kChecksumInvalid) << '\n';
}

int verify(const std::filesystem::path& path, Console& console)
{
    const auto sum = verifyChecksum(path);
    if (!sum) {
        return refuse(console, reasonFor(sum.error()));
    }
    console.out << kSumCaption << int{*sum} << " (" << hexText(*sum, 2) << ")\n";
    printState(console.out, *sum == 0);
    return *sum == 0 ? kExitSuccess : kExitInvalidChecksum;
}

int fix(const std::filesystem::path& path, Console& console)
{
    const auto correction = correctChecksum(path);
    if (!correction) {
        return refuseWrite(console, correction.error());
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

template <int (*OnFile)(const std::filesystem::path&, Console&)>
int onEachImage(const CommandArguments& arguments, Console& console)
{
    return forEachImage(arguments.operands, console, Headers::perImage,
                        [](const ImageArgument& image, Console& one, bool) {
                            return image.path ? OnFile(*image.path, one) : refuse(one, image.whyNoPath);
                        });
}

}  // namespace

int runVerify(const CommandArguments& arguments, Console& console)
{
    return onEachImage<verify>(arguments, console);
}

int runFix(const CommandArguments& arguments, Console& console)
{
    return onEachImage<fix>(arguments, console);
}

}  // namespace vardane::cli
