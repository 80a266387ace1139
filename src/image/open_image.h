// Opening an image: the size test, then one scan of the anchors that fills the
// ImageState step by step. Opening only reads.
#pragma once

#include "image/image_state.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vardane {

// What the user is told when an open does not end accepted: the first for a
// rejected size, the second for every other failure.
inline constexpr std::string_view kNotAnImageMessage = "Ce fichier n'est pas un BIOS de GeForce ...";
inline constexpr std::string_view kOpenFailedMessage = "Erreur lors de l'ouverture du fichier";

enum class OpenStatus {
    accepted,    // every step ran
    failed,      // the size passed, then a step failed; the fields before it are kept
    rejected,    // the size lies outside the image window
    unreadable,  // the size could not be found
};

struct OpenResult {
    OpenStatus status = OpenStatus::unreadable;
    // Every shown field and kept offset that the scan reached. filePath and
    // fileTitle are always set; checksumText and StK1 are not opening's.
    ImageState state;
    // The two anchors the ImageState does not keep, for telling where fields lie.
    std::optional<std::int64_t> versionMark;
    std::optional<std::int64_t> pcirMark;
    std::string chipKey;
    std::optional<std::uint16_t> memClockWord;
    std::optional<std::uint16_t> coreClockWord;
};

[[nodiscard]] bool sizeIsImage(std::int64_t size);

// The anchor scan alone, over the first bytes of an accepted file (at most
// kOpenScanLength of them). A read that would reach past `prefix` fails the
// open at that step. Sets every field but filePath, fileTitle and fileSize.
[[nodiscard]] OpenResult scanImage(std::span<const std::uint8_t> prefix, std::string_view decimalSeparator);

// decimalSeparator is the user's locale's, as the caller reads it.
[[nodiscard]] OpenResult openImage(const std::filesystem::path& path, std::string_view decimalSeparator);

// Whether the open went as far as looking for "r7": only then does an absent
// Octclef mean that the image has no key. The SideBand step, right before,
// always leaves a state text.
[[nodiscard]] inline bool clockKeySearched(const ImageState& state)
{
    return !state.sbaState.empty();
}

}  // namespace vardane
