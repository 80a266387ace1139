// The record of the open image, owned by the main window for the whole run.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vardane {

inline constexpr const char* kSbaOn = "OUI";
inline constexpr const char* kSbaOff = "NON";
inline constexpr const char* kSbaUnknown = "???";
inline constexpr const char* kChecksumUnknown = "???";
inline constexpr const char* kChecksumValid = "Valide";
inline constexpr const char* kChecksumInvalid = "Non Valide";

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
    std::string checksumText = kChecksumUnknown;

    // Kept offsets, absent when this image lacks the anchor.
    std::optional<std::int64_t> headerlengh;  // offset of HeaderText
    std::optional<std::int64_t> SBAVrt;       // offset of SbaByte
    std::optional<std::int64_t> Octclef;      // offset of the "r7" clock key

    // The sum found by the last checksum verification of this run.
    std::optional<std::uint8_t> StK1;
};

}  // namespace vardane
