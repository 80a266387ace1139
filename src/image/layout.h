// The video BIOS image as Vardane sees it: a flat run of bytes with three marker
// anchors, one flag byte, and fields at fixed distances from them. Offsets are
// 0-based from the start of the file; numbers are little-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vardane::layout {

// Candidate start offsets of an anchor, both ends included.
struct Window {
    std::int64_t first;
    std::int64_t last;
};

// A file is taken as an image when its size lies in this window; nothing else
// tells a GeForce BIOS image from another file.
inline constexpr std::int64_t kMinImageSize = 46127;   // 0xB42F
inline constexpr std::int64_t kMaxImageSize = 132000;  // 0x203A0

// VersionMark: "Version"; the header text lies before it, the version text after.
inline constexpr std::array<std::uint8_t, 7> kVersionMark{'V', 'e', 'r', 's', 'i', 'o', 'n'};
inline constexpr Window kVersionWindow{0x000, 0x1F3};
inline constexpr std::int64_t kHeaderTextBeforeVersion = 0x51;  // HeaderText at v - 81
inline constexpr std::size_t kHeaderTextLength = 50;
inline constexpr std::int64_t kVersionTextAfterVersion = 7;  // VersionText at v + 7
inline constexpr std::size_t kVersionTextLength = 35;

// The header field ends at the first carriage return among the 51 bytes from
// the header start; its width is that byte's index.
inline constexpr std::size_t kHeaderFieldSearchLength = 51;
inline constexpr std::uint8_t kHeaderFieldEnd = 0x0D;
inline constexpr std::uint8_t kHeaderFieldPad = 0x20;

// PcirMark: the PCI Data Structure signature. A match in the second window
// replaces any match in the first.
inline constexpr std::array<std::uint8_t, 4> kPcirMark{'P', 'C', 'I', 'R'};
inline constexpr std::array<Window, 2> kPcirWindows{Window{0x02E, 0x207}, Window{0xDAB, 0xF09}};
inline constexpr std::int64_t kChipBytesAfterPcir = 5;  // vendor high byte, device low byte
inline constexpr std::size_t kChipBytesLength = 2;

// SbaByte: the last byte of the window equal to one of the two values.
inline constexpr Window kSbaWindow{0x7BC, 0x884};
inline constexpr std::uint8_t kSbaEnabled = 0xFB;
inline constexpr std::uint8_t kSbaDisabled = 0x7F;

// ClockKey: "r7"; both clock words lie before it. Unit of a word: 10 kHz.
inline constexpr std::array<std::uint8_t, 2> kClockKey{'r', '7'};
inline constexpr Window kClockKeyWindow{0xDF4, 0xF2C};
inline constexpr std::int64_t kCoreClockWordBeforeKey = 0x46;  // CoreClockWord at k - 70
inline constexpr std::int64_t kMemClockWordBeforeKey = 0x1A;   // MemClockWord at k - 26
inline constexpr std::size_t kClockWordLength = 2;

// Opening never reads past this offset (the last byte of "r7" at its last
// candidate), so it reads [0, kOpenScanLength) at most.
inline constexpr std::int64_t kOpenScanLast = 0xF2D;
inline constexpr std::size_t kOpenScanLength = kOpenScanLast + 1;

// ChecksumRegion and ChecksumByte: fixed, whatever the file's size.
inline constexpr std::int64_t kChecksumRegionStart = 0x0000;
inline constexpr std::size_t kChecksumRegionLength = 0xBC00;
inline constexpr std::int64_t kChecksumByte = 0xBBFF;

}  // namespace vardane::layout
