#include "compare/wording.h"

#include "checksum/checksum.h"
#include "image/gpu_table.h"
#include "image/layout.h"
#include "system/system.h"
#include "text/encoding.h"
#include "text/numbers.h"

namespace vardane {
namespace {

constexpr std::string_view kClockUnit = " Mhz";
constexpr std::string_view kSizeUnit = " Octets";

std::string_view statusName(OpenStatus status)
{
    switch (status) {
        case OpenStatus::accepted:
            return "accepted";
        case OpenStatus::failed:
            return "failed";
        case OpenStatus::rejected:
            return "rejected";
        case OpenStatus::unreadable:
            break;
    }
    return "unreadable";
}

// Why a file could not be read, in the one word `info --json` gives it.
std::string_view reasonName(Refusal why)
{
    switch (why) {
        case Refusal::locked:
        case Refusal::lockedByReader:
            return "locked";
        case Refusal::denied:
            return "denied";
        case Refusal::absent:
            return "absent";
        case Refusal::notRegular:
            return "notRegular";
        default:
            return "readError";
    }
}

template <typename Integer>
FactValue numberOrNone(const std::optional<Integer>& value)
{
    return value ? FactValue(static_cast<std::int64_t>(*value)) : FactValue();
}

// "" before the scan reached the byte, "???" when it found none.
std::string sideBandText(const ImageFacts& facts)
{
    if (facts.stoppedAt < OpenStep::sideBand) {
        return {};
    }
    switch (facts.sideBand) {
        case SideBand::on:
            return std::string(kSbaOn);
        case SideBand::off:
            return std::string(kSbaOff);
        case SideBand::undecided:
            break;
    }
    return std::string(kSbaUnknown);
}

std::string clockRow(const ClockProfile& profile, const ImageFacts& facts, std::string_view separator)
{
    const std::optional<std::uint16_t>& word = facts.*profile.wordRead;
    return word ? clockText(shownHundredths(profile, *word), separator) : std::string();
}

}  // namespace

Facts factsOf(const ImageFacts& facts, std::string_view decimalSeparator)
{
    using enum FactKey;
    const auto sum = wasRead(facts) ? regionSum(facts.bytes) : std::nullopt;
    const bool sizeShown = facts.status == OpenStatus::accepted || facts.status == OpenStatus::failed;
    return Facts({{
        {status, std::string(statusName(facts.status))},
        {message, facts.status == OpenStatus::accepted ? FactValue()
                                                       : FactValue(std::string(openMessage(facts.status)))},
        {reason, facts.readFailure ? FactValue(std::string(reasonName(*facts.readFailure))) : FactValue()},
        {fileTitle, shownName(system::nameOf(facts.filePath.filename()))},
        {fileSize, sizeShown ? std::to_string(*facts.size) + std::string(kSizeUnit) : std::string()},
        {headerText, decodeWindows1252(facts.headerText)},
        {versionText, decodeWindows1252(facts.versionText)},
        {chipKey, facts.chipKey},
        {gpuName, std::string(gpuNameForChipKey(facts.chipKey))},
        {sbaState, sideBandText(facts)},
        {memClockText, clockRow(kMemoryClockProfile, facts, decimalSeparator)},
        {coreClockText, clockRow(kCoreClockProfile, facts, decimalSeparator)},
        {headerlengh, numberOrNone(facts.headerlengh)},
        {SBAVrt, numberOrNone(facts.SBAVrt)},
        {Octclef, numberOrNone(facts.Octclef)},
        {memClockWord, numberOrNone(facts.memClockWord)},
        {coreClockWord, numberOrNone(facts.coreClockWord)},
        {checksum, sum ? FactValue(ChecksumFact{*sum}) : FactValue()},
    }});
}

std::string factText(const FactValue& value, bool withSum)
{
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return std::to_string(*number);
    }
    if (const auto* checksum = std::get_if<ChecksumFact>(&value)) {
        std::string state(checksum->sum == 0 ? kChecksumValid : kChecksumInvalid);
        return withSum ? state + " (" + std::to_string(checksum->sum) + ")" : state;
    }
    return {};
}

std::string_view checksumText(ChecksumState state)
{
    switch (state) {
        case ChecksumState::valid:
            return kChecksumValid;
        case ChecksumState::invalid:
            return kChecksumInvalid;
        case ChecksumState::invalidByToggle:
            return "Non Valide !";
        case ChecksumState::unknown:
            break;
    }
    return kChecksumUnknown;
}

std::string clockText(std::uint32_t hundredths, std::string_view decimalSeparator)
{
    return formatHundredths(hundredths, decimalSeparator) + std::string(kClockUnit);
}

std::string clockAppliedMessage(const ClockProfile& profile, std::string_view clock)
{
    constexpr std::string_view kMemory = "La frequence Mémoire est maintenant portée à ";
    constexpr std::string_view kCore = "La frequence du GPU est maintenant portée à ";
    constexpr std::string_view kEnd = " Mhz (DDR)";
    return std::string(profile.clock == Clock::memory ? kMemory : kCore).append(clock).append(kEnd);
}

std::string_view sideBandToggledMessage(SideBand now)
{
    return now == SideBand::on
               ? "Le SideBand Adressing a bien été activé dans le BIOS. Pensez a revalidez le Checksum..."
               : "Le SideBand Adressing a bien été désactivé dans le BIOS. Pensez a revalidez le Checksum...";
}

std::string shownName(std::string_view name)
{
    constexpr std::string_view kHex = "0123456789abcdef";
    const bool backslashIsSeparator = system::backslashSeparates();
    std::string shown;
    while (!name.empty()) {
        const auto sequence = firstUtf8Sequence(name);
        if (sequence && !isUnsafeToShow(sequence->codePoint) &&
            (sequence->codePoint != '\\' || backslashIsSeparator)) {
            shown += name.substr(0, sequence->length);
            name.remove_prefix(sequence->length);
            continue;
        }
        const auto byte = static_cast<unsigned char>(name.front());
        shown += "\\x";
        shown += kHex[byte / 16];
        shown += kHex[byte % 16];
        name.remove_prefix(1);
    }
    return shown;
}

}  // namespace vardane
