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
#include <vector>

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

// The steps of an open, in order.
enum class OpenStep { size, read, version, pcir, sideBand, clockKey, clocks, done };

struct OpenResult {
    OpenStatus status = OpenStatus::unreadable;
    OpenStep stoppedAt = OpenStep::size;  // the step that failed, or done
    std::optional<std::int64_t> size;     // the file's, when it could be found
    // Every shown field and kept offset that the scan reached. filePath and
    // fileTitle are always set; checksumText and StK1 are not opening's.
    ImageState state;
    // The two anchors the ImageState does not keep, for telling where fields lie.
    std::optional<std::int64_t> versionMark;
    std::optional<std::int64_t> pcirMark;
    std::string chipKey;
    std::optional<std::uint16_t> memClockWord;
    std::optional<std::uint16_t> coreClockWord;
    // The whole file as it was read, once its size passed: the scan ran on
    // these bytes, and the checksum and comparisons take them from here.
    std::vector<std::uint8_t> bytes;
};

// The message the window shows for an open that did not end accepted.
[[nodiscard]] constexpr std::string_view openMessage(OpenStatus status)
{
    return status == OpenStatus::rejected ? kNotAnImageMessage : kOpenFailedMessage;
}

[[nodiscard]] bool sizeIsImage(std::int64_t size);

// The anchor scan alone, over the first bytes of an accepted file (it reads
// no further than offset 0xF2D). A read that would reach past `bytes` fails
// the open at that step. Sets every field but filePath, fileTitle and fileSize.
[[nodiscard]] OpenResult scanImage(std::span<const std::uint8_t> bytes, std::string_view decimalSeparator);

// Reads the file once and scans it.
[[nodiscard]] OpenResult openImage(const std::filesystem::path& path, std::string_view decimalSeparator);

}  // namespace vardane
