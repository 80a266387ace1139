// What an operation did: its result, or the one reason it refused. Every
// operation of the core that can fail returns an Outcome; none throws across
// the core's boundary and none prints.
#pragma once

#include <tl/expected.hpp>

namespace vardane {

// Every refusal but `damaged` means that nothing was written.
enum class Refusal {
    // The file.
    absent,          // no file has that name, or it is not a name the system can look up
    notRegular,      // it names a folder, a FIFO or a device, no image file
    denied,          // the user has no right to read it
    readError,       // the system failed to read it
    notWritable,     // it cannot be opened for writing, or the system refused the write
    noSpace,         // the disk is full, or the user's quota is used up
    locked,          // another program is writing it, and kept it too long
    lockedByReader,  // another program is reading it, and kept it too long
    replaced,        // the name now leads to another file than the one read first
    notAnImage,      // its size lies outside the image window
    tooShort,        // it does not hold the bytes to read or to write
    changed,         // it no longer holds what was read or loaded before the write
    damaged,         // a write failed part-way and the old bytes could not be put back
    // The image or the value asked for.
    noClockKey,        // no "r7" anchor: the clock words have no place
    clockOutOfRange,   // outside the range asked for, or no 16-bit word stands for it
    sbaUndecided,      // the state text is neither "OUI" nor "NON"
    noSbaByte,         // no SideBand Addressing byte was found
    noHeader,          // no "Version" anchor: the header has no place
    noHeaderField,     // no carriage return among the 51 bytes from the header start
    emptyHeaderField,  // the carriage return stands at the header start
    textTooLong,       // more characters than the header field is wide
    unrepresentable,   // a character that Windows-1252 has no byte for
    controlCharacter,  // a control character, which would break the header's framing
    lengthChanged,     // the file's length is not the one the original bytes had
};

template <typename T = void>
using Outcome = tl::expected<T, Refusal>;

[[nodiscard]] inline tl::unexpected<Refusal> refused(Refusal why)
{
    return tl::unexpected<Refusal>(why);
}

}  // namespace vardane
