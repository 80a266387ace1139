// Faults the system could answer with, planted on the files the core opens:
// every test binary links this file's openFile, which hands out the system's
// own files wrapped so that each call passes through unchanged until a test
// plants a fault.
#pragma once

#include "system/system.h"

#include <chrono>
#include <functional>
#include <optional>

namespace vardane::test {

struct PlantedFaults {
    int refusedOpens = 0;         // opens refused as to a user without rights to the file
    int interruptedReads = 0;     // reads cut short by a signal before reading
    int shortReads = 0;           // reads giving one byte only
    int shortWrites = 0;          // writes that go through writing one byte only
    int writesBeforeFailure = 0;  // writes that go through before the failing ones
    int failedWrites = 0;         // writes that then fail, after which writes go through again
    system::Failure writeFailure = system::Failure::other;  // how those fail
    int failedFlushes = 0;
    std::optional<std::chrono::milliseconds> lockPatience{};  // a shorter wait for a lock
    // Each runs once, after the next read or flush, as if another program acted then.
    std::function<void()> afterNextRead{};
    std::function<void()> afterNextFlush{};
};

// Cleared again by the test that plants it.
extern PlantedFaults faults;

}  // namespace vardane::test
