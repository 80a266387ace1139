// Opening an image: the size test, then one scan of the anchors that finds the
// image's facts step by step. Opening only reads.
#pragma once

#include "image/image_file.h"
#include "image/outcome.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vardane {

enum class OpenStatus {
    accepted,    // every step ran
    failed,      // the size passed, then a step failed; the facts before it are kept
    rejected,    // the size lies outside the image window
    unreadable,  // the size could not be found
};

// The steps of an open, in order.
enum class OpenStep { size, read, version, pcir, sideBand, clockKey, clocks, done };

// The SideBand Addressing byte: found enabled (0xFB) or disabled (0x7F), or
// not found at all.
enum class SideBand { undecided, off, on };

// What an open found, as the file holds it: values, never the texts a window
// shows (those are worded from these, see factsOf). A fact that the scan did
// not reach is empty or absent.
struct ImageFacts {
    std::filesystem::path filePath;  // as the open was given it
    // The file the read found under that name; none when it could not be read.
    std::optional<system::FileIdentity> identity;
    OpenStatus status = OpenStatus::unreadable;
    OpenStep stoppedAt = OpenStep::size;    // the step that failed, or done
    std::optional<std::int64_t> size;       // the file's, when it could be found
    std::optional<Refusal> readFailure;     // why the file could not be sized or read, when it could not
    std::vector<std::uint8_t> headerText;   // the 50 bytes of HeaderText
    std::vector<std::uint8_t> versionText;  // the 35 bytes of VersionText
    std::string chipKey;                    // four hex digits, "" without "PCIR"
    SideBand sideBand = SideBand::undecided;
    std::optional<std::uint16_t> memClockWord;
    std::optional<std::uint16_t> coreClockWord;
    // Where the anchors put the fields: the three kept offsets the editors
    // write at, and the two anchors that only tell where fields lie.
    std::optional<std::int64_t> headerlengh;  // offset of HeaderText
    std::optional<std::int64_t> SBAVrt;       // offset of SbaByte
    std::optional<std::int64_t> Octclef;      // offset of the "r7" clock key
    std::optional<std::int64_t> versionMark;
    std::optional<std::int64_t> pcirMark;
    // The whole file as it was read, once its size passed: the scan ran on
    // these bytes, and the checksum and comparisons take them from here.
    std::vector<std::uint8_t> bytes;
};

// Whether the file could be read: an open that stopped at the size or at the
// read found nothing in it.
[[nodiscard]] constexpr bool wasRead(const ImageFacts& facts)
{
    return facts.stoppedAt > OpenStep::read;
}

[[nodiscard]] bool sizeIsImage(std::int64_t size);

// The anchor scan alone, over the first bytes of an accepted file (it reads
// no further than offset 0xF2D). A read that would reach past `bytes` fails
// the open at that step. Finds every fact but the path, the size and the bytes.
[[nodiscard]] ImageFacts scanImage(std::span<const std::uint8_t> bytes);

// Reads the file once and scans it. A known file is read only while its name
// still leads to it.
[[nodiscard]] ImageFacts openImage(const FileRef& file);

// The file the facts were read from, for the writes that follow; none when
// the open could not read it.
[[nodiscard]] std::optional<KnownFile> knownFile(const ImageFacts& facts);

// The same for the reads that follow: by its identity once a read found it.
[[nodiscard]] FileRef fileRef(const ImageFacts& facts);

}  // namespace vardane
