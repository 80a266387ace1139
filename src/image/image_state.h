// The record of the open image, owned by the main window for the whole run:
// the rows it shows, worded from the facts of its open (see factsOf), and
// the offsets the editors write at.
#pragma once

#include "compare/wording.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vardane {

struct ImageState {
    std::filesystem::path filePath;

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
};

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
