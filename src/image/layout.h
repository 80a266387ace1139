// The video BIOS image as Vardane sees it: a flat run of bytes with three marker
// anchors, one flag byte, and fields at fixed distances from them. Offsets are
// 0-based from the start of the file; numbers are little-endian; text is
// Windows-1252, one byte per character.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vardane::layout {

// Candidate start offsets of an anchor, both ends included.
struct Window {
    std::int64_t first;
    std::int64_t last;
};

// What a field's offset is counted from.
enum class Anchor { versionMark, pcirMark, sbaByte, clockKey, fileStart };

// A field lies `distance` bytes from its anchor (before it when negative) and
// is `length` bytes long.
struct Field {
    std::string_view name;
    Anchor anchor;
    std::int64_t distance;
    std::size_t length;
};

// A file is taken as an image when its size lies in this window; nothing else
// tells a GeForce BIOS image from another file.
inline constexpr std::int64_t kMinImageSize = 46127;   // 0xB42F
inline constexpr std::int64_t kMaxImageSize = 132000;  // 0x203A0

// VersionMark: "Version"; the header text lies before it, the version text after.
inline constexpr std::array<std::uint8_t, 7> kVersionMark{'V', 'e', 'r', 's', 'i', 'o', 'n'};
inline constexpr Window kVersionWindow{0x000, 0x1F3};
inline constexpr Field kHeaderText{"HeaderText", Anchor::versionMark, -0x51, 50};
inline constexpr Field kVersionText{"VersionText", Anchor::versionMark, 7, 35};

// The header field ends at the first carriage return among the 51 bytes from
// the header start; its width is that byte's index.
inline constexpr std::size_t kHeaderFieldSearchLength = 51;
inline constexpr std::uint8_t kHeaderFieldEnd = 0x0D;
inline constexpr std::uint8_t kHeaderFieldPad = 0x20;

// PcirMark: the PCI Data Structure signature. A match in the second window
// replaces any match in the first. The chip bytes are the vendor identifier's
// high byte and the device identifier's low byte.
inline constexpr std::array<std::uint8_t, 4> kPcirMark{'P', 'C', 'I', 'R'};
inline constexpr std::array<Window, 2> kPcirWindows{Window{0x02E, 0x207}, Window{0xDAB, 0xF09}};
inline constexpr Field kChipBytes{"ChipBytes", Anchor::pcirMark, 5, 2};

// SbaByte: the last byte of the window equal to one of the two values.
inline constexpr Window kSbaWindow{0x7BC, 0x884};
inline constexpr Field kSbaByte{"SbaByte", Anchor::sbaByte, 0, 1};
inline constexpr std::uint8_t kSbaEnabled = 0xFB;
inline constexpr std::uint8_t kSbaDisabled = 0x7F;

// ClockKey: "r7"; both clock words lie before it. Unit of a word: 10 kHz.
inline constexpr std::array<std::uint8_t, 2> kClockKey{'r', '7'};
inline constexpr Window kClockKeyWindow{0xDF4, 0xF2C};
inline constexpr Field kCoreClockWord{"CoreClockWord", Anchor::clockKey, -0x46, 2};
inline constexpr Field kMemClockWord{"MemClockWord", Anchor::clockKey, -0x1A, 2};
// The memory clock is told as its DDR rate: twice the clock its word holds.
inline constexpr int kMemClockDdrFactor = 2;

// Opening never reads past this offset (the last byte of "r7" at its last
// candidate), so it reads [0, kOpenScanLength) at most.
inline constexpr std::int64_t kOpenScanLast = 0xF2D;
inline constexpr std::size_t kOpenScanLength = kOpenScanLast + 1;

// ChecksumRegion and its last byte: fixed, whatever the file's size.
inline constexpr std::int64_t kChecksumRegionStart = 0x0000;
inline constexpr std::size_t kChecksumRegionLength = 0xBC00;
inline constexpr Field kChecksumByte{"ChecksumByte", Anchor::fileStart, 0xBBFF, 1};

// Every field the tool reads or writes, in the order of the file's anchors.
inline constexpr std::array kFields{kHeaderText,   kVersionText,   kChipBytes,   kSbaByte,
                                    kMemClockWord, kCoreClockWord, kChecksumByte};

}  // namespace vardane::layout
