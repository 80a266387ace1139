#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/megahertz.h"
#include "cli/texts.h"
#include "editors/clock.h"
#include "editors/header.h"
#include "editors/sideband.h"
#include "image/expected.h"
#include "image/open_image.h"
#include "image/text.h"
#include "qt/qt_text.h"

namespace vardane::cli {
namespace {

// Every edit starts from a fresh open, as the window's editors start from the
// ImageState. A scan that failed only for want of "r7" still vouches for the
// anchors it found, and each editor refuses when its own offset is absent; one
// that stopped earlier (unreadable, or "Version" too close to the start)
// vouches for nothing.
Expected<OpenResult, std::string> openForEdit(const std::filesystem::path& path, const std::string& separator)
{
    OpenResult opened = openImage(path, separator);
    switch (opened.status) {
        case OpenStatus::accepted:
            return opened;
        case OpenStatus::failed:
            if (clockKeySearched(opened.state)) {
                return opened;
            }
            break;
        case OpenStatus::rejected:
            return Unexpected{std::string(kNotAnImageMessage)};
        case OpenStatus::unreadable:
            break;
    }
    return Unexpected{std::string(kOpenFailedMessage)};
}

int refuseIo(Console& console, IoError error)
{
    switch (error) {
        case IoError::contentChanged:
            return refuseWrite(console, kFileChanged);
        case IoError::missing:
        case IoError::notRegularFile:
        case IoError::readFailed:
            return refuseWrite(console, kCannotRead);
        case IoError::cannotOpen:
        case IoError::outOfRange:
        case IoError::writeFailed:
        case IoError::flushFailed:  // ImageFile has put the old bytes back
            break;
        case IoError::damaged:
            return refuseWrite(console, kFileMayBeDamaged);
    }
    return refuseWrite(console, kCannotWrite);
}

std::string rangeText(const ClockRange& range)
{
    return std::string(range.minimumCaption) + " - " + std::string(range.maximumCaption);
}

int setClock(const ClockProfile& profile, const CommandArguments& parsed, Console& console)
{
    const std::string typed = parsed.positionals[0].toStdString();
    const auto mhz = parseMegahertz(typed);
    if (!mhz) {
        return refuseWrite(console, std::string(kBadMegahertz) + typed);
    }
    const ClockRange& range = parsed.flag ? profile.ouf : profile.normal;
    if (*mhz < range.minimum || *mhz > range.maximum) {
        return refuseWrite(console,
                           std::string(kMegahertzOutOfRange) + typed + " (" + rangeText(range) + ")");
    }
    const auto word = wordForClock(profile, *mhz);
    if (!word) {
        return refuseWrite(console, std::string(kBadMegahertz) + typed);
    }
    const std::filesystem::path path = imagePath(parsed.positionals[1]);
    const auto opened = openForEdit(path, console.decimalSeparator);
    if (!opened) {
        return refuseWrite(console, opened.error());
    }
    if (!opened->state.Octclef) {
        return refuseWrite(console, std::string(kOpenFailedMessage) + " : " + std::string(kNoClockKey));
    }
    const std::int64_t octclef = *opened->state.Octclef;
    const auto written = writeClockWord(path, octclef + profile.word.distance, *word, clockKeyAt(octclef));
    if (!written) {
        return refuseIo(console, written.error());
    }
    // The clock reported is the one the written word stands for, which is
    // what the card will run at.
    console.out << profile.messagePrefix
                << formatHundredths(shownHundredths(profile, *word), console.decimalSeparator)
                << profile.messageSuffix << '\n'
                << kRevalidateChecksum << '\n';
    return kExitSuccess;
}

std::string_view reason(SbaError error)
{
    switch (error) {
        case SbaError::undecided:
        case SbaError::noOffset:
            return kSbaUndecided;
        case SbaError::changed:
            return kFileChanged;
        case SbaError::damaged:
            return kFileMayBeDamaged;
        case SbaError::unreachable:
            break;
    }
    return kCannotWrite;
}

std::string_view reason(HeaderError error)
{
    switch (error) {
        case HeaderError::noHeader:
            return kNoHeader;
        case HeaderError::noField:
            return kNoHeaderField;
        case HeaderError::emptyField:
            return kEmptyHeaderField;
        case HeaderError::changed:
            return kFileChanged;
        case HeaderError::tooLong:
            return kHeaderTooLong;
        case HeaderError::unrepresentable:
            return kUnrepresentable;
        case HeaderError::controlCharacter:
            return kControlCharacter;
        case HeaderError::damaged:
            return kFileMayBeDamaged;
        case HeaderError::unreachable:
            break;
    }
    return kCannotWrite;
}

int sba(const CommandArguments& parsed, Console& console)
{
    const QString& asked = parsed.positionals[0];
    if (asked != "on" && asked != "off") {
        return refuseWrite(console, std::string(kBadSbaArgument) + asked.toStdString());
    }
    const std::filesystem::path path = imagePath(parsed.positionals[1]);
    const auto opened = openForEdit(path, console.decimalSeparator);
    if (!opened) {
        return refuseWrite(console, opened.error());
    }
    const std::string& state = opened->state.sbaState;
    const bool askedOn = asked == "on";
    if (state == (askedOn ? kSbaOn : kSbaOff)) {
        console.out << (askedOn ? kSbaAlreadyOn : kSbaAlreadyOff) << '\n';
        return kExitSuccess;
    }
    const auto toggled = toggleSideBand(path, state, opened->state.SBAVrt);
    if (!toggled) {
        return refuseWrite(console, reason(toggled.error()));
    }
    console.out << toggled->message << '\n';
    return kExitSuccess;
}

int header(const CommandArguments& parsed, Console& console)
{
    const std::filesystem::path path = imagePath(parsed.positionals[1]);
    const auto opened = openForEdit(path, console.decimalSeparator);
    if (!opened) {
        return refuseWrite(console, opened.error());
    }
    const auto field = readHeaderField(path, opened->state.headerlengh);
    if (!field) {
        return refuseWrite(console, reason(field.error()));
    }
    const auto bytes = encodeHeaderText(codePoints(parsed.positionals[0]), field->width);
    if (!bytes) {
        const std::string width = bytes.error() == HeaderError::tooLong ? std::to_string(field->width) : "";
        return refuseWrite(console, std::string(reason(bytes.error())) + width);
    }
    const auto written = writeHeaderField(path, *field, *bytes);
    if (!written) {
        return refuseWrite(console, reason(written.error()));
    }
    console.out << kHeaderWritten << field->width << kBytes << '\n'
                << kHeaderCaption << ' ' << printable(decodeWindows1252(*bytes)) << '\n'
                << kRevalidateChecksum << '\n';
    return kExitSuccess;
}

}  // namespace

int runSetMem(const QStringList& arguments, Console& console)
{
    return withArguments(
        arguments, {"set-mem [--ouf] MHZ IMAGE", "ouf", kOufOption, 2}, console,
        [](const CommandArguments& parsed, Console& c) { return setClock(kMemoryClockProfile, parsed, c); });
}

int runSetCore(const QStringList& arguments, Console& console)
{
    return withArguments(
        arguments, {"set-core [--ouf] MHZ IMAGE", "ouf", kOufOption, 2}, console,
        [](const CommandArguments& parsed, Console& c) { return setClock(kCoreClockProfile, parsed, c); });
}

int runSba(const QStringList& arguments, Console& console)
{
    return withArguments(arguments, {"sba on|off IMAGE", {}, {}, 2}, console, sba);
}

int runHeader(const QStringList& arguments, Console& console)
{
    return withArguments(arguments, {"header TEXTE IMAGE", {}, {}, 2}, console, header);
}

}  // namespace vardane::cli
