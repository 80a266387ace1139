// The facts of an image in words: the rows that the main window and
// vardane-cli show, under the window's captions, and the keys under which
// `vardane-cli info --json` gives them. Worded here once for both.
#pragma once

#include "image/image_state.h"
#include "image/open_image.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vardane {

inline constexpr std::string_view kSbaOn = "OUI";
inline constexpr std::string_view kSbaOff = "NON";
inline constexpr std::string_view kSbaUnknown = "???";
inline constexpr std::string_view kChecksumUnknown = "???";
inline constexpr std::string_view kChecksumValid = "Valide";
inline constexpr std::string_view kChecksumInvalid = "Non Valide";

inline constexpr std::string_view kFileTitleCaption = "Nom du fichier :";
inline constexpr std::string_view kFileSizeCaption = "Taille du fichier :";
inline constexpr std::string_view kHeaderCaption = "Entête du BIOS :";
inline constexpr std::string_view kVersionCaption = "Version du BIOS :";
inline constexpr std::string_view kGpuCaption = "Type de GPU :";
inline constexpr std::string_view kSbaCaption = "SideBand Adressing Activé :";
inline constexpr std::string_view kMemClockCaption = "Frequence Mémoire (DDR) :";
inline constexpr std::string_view kCoreClockCaption = "Frequence Core :";
inline constexpr std::string_view kChecksumCaption = "CheckSum : ";  // its blank is part of it

// A fact's value: none (null), a number, a text, or the region's sum.
struct ChecksumFact {
    std::uint8_t sum;
    friend bool operator==(const ChecksumFact&, const ChecksumFact&) = default;
};
using FactValue = std::variant<std::monostate, std::int64_t, std::string, ChecksumFact>;

struct Fact {
    std::string_view key;      // as `vardane-cli info --json` names it
    std::string_view caption;  // the window's row, or empty
    FactValue value;
};

// Every fact of an open, in a fixed order: status, message, why the file could
// not be read (none when it was), the window's rows
// from the file's name to the clocks, the chip key among them, the kept
// offsets, the clock words, and the checksum of the bytes read (none when they
// do not hold the whole region). The captioned ones are the main window's
// rows, top to bottom. A fact the open did not reach is "" or none.
[[nodiscard]] std::vector<Fact> factsOf(const ImageFacts& facts, std::string_view decimalSeparator);

// A value as a line shows it: a text as it is, a number in decimal, none as
// "", and the checksum as the window's state text, with its sum if asked.
[[nodiscard]] std::string factText(const FactValue& value, bool withSum = false);

// The checksum row of the main window.
[[nodiscard]] std::string_view checksumText(ChecksumState state);

// A clock in hundredths of a MHz as its row shows it: "366 Mhz", "333,34 Mhz".
[[nodiscard]] std::string clockText(std::uint32_t hundredths, std::string_view decimalSeparator);

// A path or a file name as every row and line shows it: valid UTF-8 as it is,
// and each byte that is not, each character unsafe to show and a backslash
// that is no separator as \xHH, so that two names never look alike, a name
// stays on one line and cannot act on a terminal, and any name is valid UTF-8.
[[nodiscard]] std::string shownName(std::string_view name);

}  // namespace vardane
