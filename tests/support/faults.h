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
    int refusedOpens = 0;          // opens refused as to a user without rights to the file
    int interruptedReads = 0;      // reads cut short by a signal before reading
    int shortReads = 0;            // reads giving one byte only
    int shortWrites = 0;           // writes writing one byte only
    int writesBeforeFailure = -1;  // writes that go through before the rest fail
    system::Failure writeFailure = system::Failure::other;  // how those fail
    int failedFlushes = 0;
    std::optional<std::chrono::milliseconds> lockPatience{};  // a shorter wait for a lock
    // Runs once, after the next read, as if another program acted then.
    std::function<void()> afterNextRead{};
};

// Cleared again by the test that plants it.
extern PlantedFaults faults;

}  // namespace vardane::test
