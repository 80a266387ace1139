#include "cli/commands.h"
#include "cli/facts.h"
#include "cli/megahertz.h"
#include "cli/texts.h"
#include "compare/wording.h"
#include "editors/clock.h"
#include "editors/header.h"
#include "editors/sideband.h"
#include "image/open_image.h"
#include "system/system.h"
#include "text/encoding.h"
#include "text/numbers.h"

namespace vardane::cli {
namespace {

// Every edit starts from a fresh open, as the window's editors start from the
// image on show, and refuses an open that does not vouch for the anchors: a
// scan that failed only for want of "r7" still vouches for those it found,
// and each editor refuses when its own offset is absent; one that stopped
// earlier vouches for nothing. A file that could not be read says why. The
// edit writes only into the file that this open read.
template <typename Edit>
int withOpenImage(const std::string& given, Console& console, Edit edit)
{
    const ImageFacts opened = openImage(system::pathNamed(given).value_or(std::filesystem::path()));
    if (opened.readFailure) {
        return refuseWrite(console, *opened.readFailure);
    }
    const auto file = knownFile(opened);
    if (!file || opened.stoppedAt < OpenStep::clockKey) {
        return refuseWrite(console, openMessage(opened.status));
    }
    return edit(*file, opened);
}

std::string rangeText(const ClockRange& range)
{
    return " (" + std::to_string(range.minimum) + " Mhz - " + std::to_string(range.maximum) + " Mhz)";
}

int setClock(const ClockProfile& profile, const CommandArguments& arguments, Console& console)
{
    const std::string& typed = arguments.operands[0];
    const auto mhz = parseMegahertz(typed);
    if (!mhz) {
        return refuseWrite(console, std::string(kBadMegahertz) + typed);
    }
    const ClockRange& range = arguments.flag ? profile.ouf : profile.normal;
    return withOpenImage(
        arguments.operands[1], console, [&](const KnownFile& file, const ImageFacts& opened) {
            const auto word = writeClock(profile, file, opened.Octclef, *mhz, range);
            if (!word) {
                return refuseWrite(console, word.error(),
                                   word.error() == Refusal::clockOutOfRange ? typed + rangeText(range) : "");
            }
            // The clock reported is the one the written word stands for, which is
            // what the card will run at.
            console.out << clockAppliedMessage(profile, formatHundredths(shownHundredths(profile, *word),
                                                                         console.decimalSeparator))
                        << '\n'
                        << kRevalidateChecksum << '\n';
            return kExitSuccess;
        });
}

// A text that is not UTF-8 has no characters to encode.
Outcome<std::vector<std::uint8_t>> headerBytes(std::string_view typed, std::size_t width)
{
    const auto text = decodeUtf8(typed);
    if (!text) {
        return refused(Refusal::unrepresentable);
    }
    return encodeHeaderText(*text, width);
}

}  // namespace

int runSetMem(const CommandArguments& arguments, Console& console)
{
    return setClock(kMemoryClockProfile, arguments, console);
}

int runSetCore(const CommandArguments& arguments, Console& console)
{
    return setClock(kCoreClockProfile, arguments, console);
}

int runSba(const CommandArguments& arguments, Console& console)
{
    const std::string& asked = arguments.operands[0];
    if (asked != "on" && asked != "off") {
        return refuseWrite(console, std::string(kBadSbaArgument) + asked);
    }
    const bool on = asked == "on";
    return withOpenImage(arguments.operands[1], console,
                         [&](const KnownFile& file, const ImageFacts& opened) {
                             if (opened.sideBand == (on ? SideBand::on : SideBand::off)) {
                                 console.out << (on ? kSbaAlreadyOn : kSbaAlreadyOff) << '\n';
                                 return kExitSuccess;
                             }
                             const auto toggled = toggleSideBand(file, opened.sideBand, opened.SBAVrt);
                             if (!toggled) {
                                 return refuseWrite(console, toggled.error());
                             }
                             console.out << sideBandToggledMessage(*toggled) << '\n';
                             return kExitSuccess;
                         });
}

int runHeader(const CommandArguments& arguments, Console& console)
{
    return withOpenImage(
        arguments.operands[1], console, [&](const KnownFile& file, const ImageFacts& opened) {
            const auto field = readHeaderField(file, opened.headerlengh);
            if (!field) {
                return refuseWrite(console, field.error());
            }
            const auto bytes = headerBytes(arguments.operands[0], field->width());
            if (!bytes) {
                return refuseWrite(
                    console, bytes.error(),
                    bytes.error() == Refusal::textTooLong ? std::to_string(field->width()) : "");
            }
            const auto written = writeHeaderField(file, *field, *bytes);
            if (!written) {
                return refuseWrite(console, written.error());
            }
            console.out << kHeaderWritten << field->width() << kBytes << '\n'
                        << nameOf(FactKey::headerText).caption << ' ' << printable(decodeWindows1252(*bytes))
                        << '\n'
                        << kRevalidateChecksum << '\n';
            return kExitSuccess;
        });
}

}  // namespace vardane::cli
