// The record of the image on show, owned by the main window for the whole
// run: the facts of its file as last read, and what the checksum commands
// last found. Its rows are worded from these (factsOf, checksumText), never
// kept as text.
#pragma once

#include "image/open_image.h"

namespace vardane {

enum class ChecksumState {
    unknown,          // "???": not verified since the image was opened or read again
    valid,            // "Valide"
    invalid,          // "Non Valide"
    invalidByToggle,  // "Non Valide !", as the SideBand toggle says it
};

struct ImageState {
    ImageFacts facts;  // filePath, headerlengh, SBAVrt and Octclef among them
    ChecksumState checksum = ChecksumState::unknown;
};

}  // namespace vardane
