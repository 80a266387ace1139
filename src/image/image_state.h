// The record of the open image, owned by the main window for the whole run,
// and the captions under which the window and vardane-cli show its facts.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vardane {

inline constexpr std::string_view kSbaOn = "OUI";
inline constexpr std::string_view kSbaOff = "NON";
inline constexpr std::string_view kSbaUnknown = "???";
inline constexpr std::string_view kChecksumUnknown = "???";
inline constexpr std::string_view kChecksumValid = "Valide";
inline constexpr std::string_view kChecksumInvalid = "Non Valide";

struct ImageState {
    std::string filePath;

    // Shown texts, UTF-8. headerText and versionText keep all 50 and 35
    // characters, control characters included.
    std::string fileTitle;
    std::string fileSize;
    std::string headerText;
    std::string versionText;
    std::string gpuName;
    std::string sbaState;
    std::string memClockText;
    std::string coreClockText;
    std::string checksumText{kChecksumUnknown};

    // Kept offsets, absent when this image lacks the anchor.
    std::optional<std::int64_t> headerlengh;  // offset of HeaderText
    std::optional<std::int64_t> SBAVrt;       // offset of SbaByte
    std::optional<std::int64_t> Octclef;      // offset of the "r7" clock key

    // The sum found by the last checksum verification of this run.
    std::optional<std::uint8_t> StK1;
};

inline constexpr std::string_view kFileTitleCaption = "Nom du fichier :";
inline constexpr std::string_view kFileSizeCaption = "Taille du fichier :";
inline constexpr std::string_view kHeaderCaption = "Entête du BIOS :";
inline constexpr std::string_view kVersionCaption = "Version du BIOS :";
inline constexpr std::string_view kGpuCaption = "Type de GPU :";
inline constexpr std::string_view kSbaCaption = "SideBand Adressing Activé :";
inline constexpr std::string_view kMemClockCaption = "Frequence Mémoire (DDR) :";
inline constexpr std::string_view kCoreClockCaption = "Frequence Core :";
inline constexpr std::string_view kChecksumCaption = "CheckSum : ";  // its blank is part of it

// The facts the main window shows, one row each, top to bottom.
struct ShownField {
    std::string ImageState::*field;
    std::string_view caption;
};
inline constexpr std::array<ShownField, 9> kShownFields{{
    {&ImageState::fileTitle, kFileTitleCaption},
    {&ImageState::fileSize, kFileSizeCaption},
    {&ImageState::headerText, kHeaderCaption},
    {&ImageState::versionText, kVersionCaption},
    {&ImageState::gpuName, kGpuCaption},
    {&ImageState::sbaState, kSbaCaption},
    {&ImageState::memClockText, kMemClockCaption},
    {&ImageState::coreClockText, kCoreClockCaption},
    {&ImageState::checksumText, kChecksumCaption},
}};

}  // namespace vardane
