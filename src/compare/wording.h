// The image in words, once for both front ends: the facts of an open as the
// rows of the main window and the lines of vardane-cli show them, under the
// window's captions and the keys of `vardane-cli info --json`, and the
// messages both print when an open fails or an edit is made.
#pragma once

#include "editors/clock.h"
#include "image/image_state.h"
#include "image/open_image.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace vardane {

inline constexpr std::string_view kSbaOn = "OUI";
inline constexpr std::string_view kSbaOff = "NON";
inline constexpr std::string_view kSbaUnknown = "???";
inline constexpr std::string_view kChecksumUnknown = "???";
inline constexpr std::string_view kChecksumValid = "Valide";
inline constexpr std::string_view kChecksumInvalid = "Non Valide";

// What the user is told when an open does not end accepted: the first for a
// rejected size, the second for every other failure.
inline constexpr std::string_view kNotAnImageMessage = "Ce fichier n'est pas un BIOS de GeForce ...";
inline constexpr std::string_view kOpenFailedMessage = "Erreur lors de l'ouverture du fichier";

// The facts of an open, each spelled as `vardane-cli info --json` names it.
enum class FactKey {
    status,
    message,
    reason,
    fileTitle,
    fileSize,
    headerText,
    versionText,
    chipKey,
    gpuName,
    sbaState,
    memClockText,
    coreClockText,
    headerlengh,
    SBAVrt,
    Octclef,
    memClockWord,
    coreClockWord,
    checksum,
};

struct FactName {
    FactKey key;
    std::string_view json;     // its key in `vardane-cli info --json`
    std::string_view caption;  // its row in the main window, or empty
};

// Every fact in the order of FactKey, which is the order of the window's rows
// among them.
inline constexpr std::array<FactName, 18> kFactNames{{
    {FactKey::status, "status", {}},
    {FactKey::message, "message", {}},
    {FactKey::reason, "reason", {}},
    {FactKey::fileTitle, "fileTitle", "Nom du fichier :"},
    {FactKey::fileSize, "fileSize", "Taille du fichier :"},
    {FactKey::headerText, "headerText", "Entête du BIOS :"},
    {FactKey::versionText, "versionText", "Version du BIOS :"},
    {FactKey::chipKey, "chipKey", {}},
    {FactKey::gpuName, "gpuName", "Type de GPU :"},
    {FactKey::sbaState, "sbaState", "SideBand Adressing Activé :"},
    {FactKey::memClockText, "memClockText", "Frequence Mémoire (DDR) :"},
    {FactKey::coreClockText, "coreClockText", "Frequence Core :"},
    {FactKey::headerlengh, "headerlengh", {}},
    {FactKey::SBAVrt, "SBAVrt", {}},
    {FactKey::Octclef, "Octclef", {}},
    {FactKey::memClockWord, "memClockWord", {}},
    {FactKey::coreClockWord, "coreClockWord", {}},
    {FactKey::checksum, "checksum", "CheckSum : "},  // its blank is part of it
}};

// Each fact stands at the place of its key, where nameOf finds it.
static_assert([] {
    for (std::size_t i = 0; i < kFactNames.size(); ++i) {
        if (static_cast<std::size_t>(kFactNames[i].key) != i) {
            return false;
        }
    }
    return true;
}());

[[nodiscard]] constexpr const FactName& nameOf(FactKey key)
{
    return kFactNames[static_cast<std::size_t>(key)];
}

// A fact's value: none (null), a number, a text, or the region's sum.
struct ChecksumFact {
    std::uint8_t sum;
    friend bool operator==(const ChecksumFact&, const ChecksumFact&) = default;
};
using FactValue = std::variant<std::monostate, std::int64_t, std::string, ChecksumFact>;

struct Fact {
    FactKey key;
    FactValue value;
};

// Every fact of an open, one for each key in the order of FactKey.
class Facts {
public:
    using Values = std::array<Fact, kFactNames.size()>;

    explicit Facts(const Values& facts) : facts_(facts) {}

    [[nodiscard]] const FactValue& operator[](FactKey key) const { return at(key).value; }
    [[nodiscard]] FactValue& operator[](FactKey key) { return facts_[static_cast<std::size_t>(key)].value; }
    [[nodiscard]] Values::const_iterator begin() const { return facts_.begin(); }
    [[nodiscard]] Values::const_iterator end() const { return facts_.end(); }

private:
    [[nodiscard]] const Fact& at(FactKey key) const { return facts_[static_cast<std::size_t>(key)]; }

    Values facts_;
};

// Every fact of an open: its status and message, why the file could not be
// read (none when it was), the window's rows from the file's name to the
// clocks, the chip key among them, the kept offsets, the clock words, and the
// checksum of the bytes read (none when they do not hold the whole region).
// A fact the open did not reach is "" or none.
[[nodiscard]] Facts factsOf(const ImageFacts& facts, std::string_view decimalSeparator);

// The message for an open that did not end accepted.
[[nodiscard]] constexpr std::string_view openMessage(OpenStatus status)
{
    return status == OpenStatus::rejected ? kNotAnImageMessage : kOpenFailedMessage;
}

// A value as a line shows it: a text as it is, a number in decimal, none as
// "", and the checksum as the window's state text, with its sum if asked.
[[nodiscard]] std::string factText(const FactValue& value, bool withSum = false);

// The checksum row of the main window.
[[nodiscard]] std::string_view checksumText(ChecksumState state);

// A clock in hundredths of a MHz as its row shows it: "366 Mhz", "333,34 Mhz".
[[nodiscard]] std::string clockText(std::uint32_t hundredths, std::string_view decimalSeparator);

// The message that confirms a clock written, the clock given as it is shown.
[[nodiscard]] std::string clockAppliedMessage(const ClockProfile& profile, std::string_view clock);

// The message that confirms the SideBand byte written, by the state it now holds.
[[nodiscard]] std::string_view sideBandToggledMessage(SideBand now);

// A path or a file name as every row and line shows it: valid UTF-8 as it is,
// and each byte that is not, each character unsafe to show and a backslash
// that is no separator as \xHH, so that two names never look alike, a name
// stays on one line and cannot act on a terminal, and any name is valid UTF-8.
[[nodiscard]] std::string shownName(std::string_view name);

}  // namespace vardane
